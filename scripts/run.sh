#!/bin/bash
# Builds inkslip.exe and runs it under Wine: on $DISPLAY when there is one,
# otherwise on a virtual display started for this run. The Wine prefix
# (wine-user in the build tree) is kept between runs, and so are the INI file
# and the notes beside the program (the run folder in the build tree, or
# RUN_FOLDER). Ends with the program's exit code.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-session.sh"

BUILD_DIR=$BUILD_DIR ARCH=i686 "$root/scripts/build.sh" --target inkslip || exit 1
program_build=$INKSLIP_RUN_BUILD_DIR
if [ "$INKSLIP_TEST_ARCH" != i686 ]; then
    echo "run: this machine cannot run 32-bit code; running the $INKSLIP_TEST_ARCH build of the same sources"
    BUILD_DIR=$program_build ARCH=$INKSLIP_TEST_ARCH "$root/scripts/build.sh" --target inkslip || exit 1
fi

# The tests' template prefix, when they have made one, saves making it again.
prefix=$program_build/wine-user
wine_template_prefix "$prefix" "$program_build/wine-template" || exit 1
export WINEPREFIX=$prefix
echo "run: Wine prefix $prefix"

cleanup() {
    # Whatever Wine still runs in this prefix (its desktop and tray helpers).
    wineserver -k 2>/dev/null
    timeout 30 wineserver -w 2>/dev/null
    wine_session_stop_display
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -z "${DISPLAY:-}" ]; then
    wine_session_display || { echo "run: no display found, and a virtual one did not start" >&2; exit 1; }
    echo "run: no display found; started a virtual one at $DISPLAY" \
         "(look at it with: import -display $DISPLAY -window root screen.png)"
fi

run_folder=${RUN_FOLDER:-$program_build/run}
mkdir -p "$run_folder"
cp "$program_build/inkslip.exe" "$run_folder/inkslip.exe"
echo "run: starting $run_folder/inkslip.exe (exit from its tray icon's menu: 終了)"
cd "$run_folder" || exit 1
"$INKSLIP_WINE" "$run_folder/inkslip.exe"
status=$?
echo "run: inkslip.exe ended with exit code $status"
exit $status
