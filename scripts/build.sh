#!/bin/bash
# Configures and builds the program, the tests and the benchmarks for one
# architecture, optimised (the release build; inkslip.exe is stripped).
# BUILD_DIR chooses the tree (default: build); ARCH is i686 (the shipped
# program, default) or x86_64. Extra arguments go to cmake --build (for
# example --target inkslip).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
arch=${ARCH:-i686}
# A tree configured earlier with another build type is set to Release again.
if [ ! -f "$build/build.ninja" ] ||
    ! grep -qx 'CMAKE_BUILD_TYPE:STRING=Release' "$build/CMakeCache.txt" 2>/dev/null; then
    cmake -S "$root" -B "$build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" "$@"
