#!/bin/bash
# Configures and builds the program, the tests and the benchmarks for one
# architecture. BUILD_DIR chooses the tree (default: build); ARCH is i686 (the
# shipped program, default) or x86_64. Extra arguments go to cmake --build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
arch=${ARCH:-i686}
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" "$@"
