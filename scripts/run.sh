#!/bin/bash
# Builds inkslip.exe and runs it under Wine: on $DISPLAY when there is one,
# otherwise on a virtual display started for this run. The Wine prefix
# (wine-user in the build tree) is kept between runs, and so are the INI file
# and the notes beside the program.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$root/build}
"$root/scripts/setup.sh" || exit 1
. "$root/scripts/wine-session.sh"

BUILD_DIR=$BUILD_DIR ARCH=i686 "$root/scripts/build.sh" inkslip || exit 1
program_build=$BUILD_DIR
if [ "$INKSLIP_TEST_ARCH" != i686 ]; then
    echo "run: this machine cannot run 32-bit code; running the $INKSLIP_TEST_ARCH build of the same sources"
    program_build=$BUILD_DIR/$INKSLIP_TEST_ARCH
    BUILD_DIR=$program_build ARCH=$INKSLIP_TEST_ARCH "$root/scripts/build.sh" inkslip || exit 1
fi

prefix=$program_build/wine-user
wine_template_prefix "$prefix"
export WINEPREFIX=$prefix
xvfb_pid=
if [ -z "${DISPLAY:-}" ]; then
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$display_file" >/dev/null 2>&1 &
    xvfb_pid=$!
    while [ ! -s "$display_file" ]; do sleep 0.1; done
    export DISPLAY=:$(head -n1 "$display_file")
    rm -f "$display_file"
    echo "run: no display found; started a virtual one at $DISPLAY" \
         "(look at it with: import -display $DISPLAY -window root screen.png)"
fi
cleanup() {
    WINEPREFIX=$prefix wineserver -k 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkdir -p "$program_build/run"
cp "$program_build/inkslip.exe" "$program_build/run/inkslip.exe"
echo "run: starting $program_build/run/inkslip.exe (exit from its tray icon's menu: 終了)"
"$INKSLIP_WINE" "$program_build/run/inkslip.exe"
status=$?
wineserver -w
exit $status
