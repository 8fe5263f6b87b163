#!/bin/bash
# Builds inkslip.exe and runs it under Wine: on $DISPLAY when there is one,
# otherwise on a virtual display started for this run. The Wine prefix
# (build/wine-user) is kept between runs, so the INI file and notes persist
# beside the program in build/.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$root/build}
"$root/scripts/setup.sh" || exit 1
"$root/scripts/build.sh" inkslip || exit 1

. "$root/scripts/wine-session.sh"
prefix=$BUILD_DIR/wine-user
wine_template_prefix "$prefix"
export WINEPREFIX=$prefix
if [ -z "${DISPLAY:-}" ]; then
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$display_file" >/dev/null 2>&1 &
    xvfb_pid=$!
    trap 'kill $xvfb_pid 2>/dev/null; rm -f "$display_file"' EXIT
    while [ ! -s "$display_file" ]; do sleep 0.1; done
    export DISPLAY=:$(head -n1 "$display_file")
    echo "run: no display found; started a virtual one at $DISPLAY (screenshot: import -display $DISPLAY -window root shot.png)"
fi
echo "run: starting inkslip.exe (exit it from its tray icon's menu)"
wine "$BUILD_DIR/inkslip.exe"
status=$?
wineserver -w
exit $status
