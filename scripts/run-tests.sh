#!/bin/bash
# Builds everything and runs the whole test suite under Wine on a private
# virtual display. Extra arguments go to ctest (for example -R canvas).
# The last line printed is CTest's summary.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

. "$root/scripts/wine-session.sh"

# A full run (no arguments) builds strictly. A filtered run (ctest arguments,
# as while working on one part) keeps going past build failures elsewhere and
# skips the 32-bit build when that is not the architecture under test.
build_options=()
filtered=
if [ $# -gt 0 ]; then
    filtered=1
    build_options=(-- -k 0)
fi
build() {
    if [ -n "$filtered" ]; then
        "$root/scripts/build.sh" "${build_options[@]}" || echo "run-tests: the build had failures; running the selected tests anyway"
    else
        "$root/scripts/build.sh" || exit 1
    fi
}

# The shipped 32-bit program is always built; its tests run in the tree of the
# architecture this machine can run.
test_build=$INKSLIP_RUN_BUILD_DIR
if [ -z "$filtered" ] || [ "$INKSLIP_TEST_ARCH" = i686 ]; then
    BUILD_DIR=$BUILD_DIR ARCH=i686 build
fi
if [ "$INKSLIP_TEST_ARCH" = i686 ]; then
    echo "run-tests: testing the shipped 32-bit build ($BUILD_DIR/inkslip.exe) under 32-bit Wine"
else
    echo "run-tests: this machine cannot run 32-bit code; testing the $INKSLIP_TEST_ARCH build of the same sources"
    BUILD_DIR=$test_build ARCH=$INKSLIP_TEST_ARCH build
fi

trap wine_session_stop EXIT
trap 'exit 130' INT TERM
wine_template_prefix "$test_build/wine-template" || exit 1
wine_session_start "$test_build/wine-template" || exit 1
export INKSLIP_BUILD_DIR=$test_build
export INKSLIP_SHIP_BUILD_DIR=$BUILD_DIR
export INKSLIP_SOURCE_DIR=$root

cd "$test_build"
ctest --output-on-failure --timeout 300 "$@" > "$test_build/ctest.log" 2>&1
status=$?
# Everything CTest said (failures in full), with its summary as the last line.
grep -v -e 'tests passed, .* tests failed out of' "$test_build/ctest.log" | tail -n 400
grep -e 'tests passed, .* tests failed out of' "$test_build/ctest.log" | tail -n1
exit $status
