#!/bin/bash
# The README's run command on a machine without a display: `make run` builds
# what is missing, starts its own virtual display and the program in its own
# prefix; the tray icon appears, and "終了" from the tray menu ends the program
# and make with code 0.
set -uo pipefail
: "${INKSLIP_SOURCE_DIR:?run through scripts/run-tests.sh}" "${INKSLIP_SHIP_BUILD_DIR:?run through scripts/run-tests.sh}"

run_log=$(mktemp "${TMPDIR:-/tmp}/inkslip-make-run.XXXXXX")
run_status=$run_log.status
run_folder=$(mktemp -d "${TMPDIR:-/tmp}/inkslip-make-run-folder.XXXXXX")
# In a process group of its own, so that a failure can end all it started.
export run_log run_status run_folder
setsid bash -c '
    unset DISPLAY WINEPREFIX
    # A folder of its own: the notes of a person'"'"'s own runs stay untouched.
    BUILD_DIR=$INKSLIP_SHIP_BUILD_DIR RUN_FOLDER=$run_folder make -C "$INKSLIP_SOURCE_DIR" run \
        </dev/null >"$run_log" 2>&1
    echo $? >"$run_status"' &
make_group=$!

# What make run says it uses: its virtual display and its prefix.
for ((waited = 0; waited < 1800; waited++)); do
    grep -q '^run: starting ' "$run_log" && break
    [ -s "$run_status" ] && break
    sleep 0.1
done
display=$(sed -n 's/^run: no display found; started a virtual one at \(:[0-9]*\) .*/\1/p' "$run_log")
prefix=$(sed -n 's/^run: Wine prefix //p' "$run_log")
if [ -z "$display" ] || [ -z "$prefix" ] || [ -s "$run_status" ]; then
    cat "$run_log"
    echo "make run did not start the program on a virtual display of its own"
    kill -TERM -- -"$make_group" 2>/dev/null
    rm -rf "$run_log" "$run_status" "$run_folder"
    exit 1
fi
export DISPLAY=$display WINEPREFIX=$prefix

. "$(dirname "$0")/lib.sh"
log "make run started the program on $display (prefix $prefix)"
# On failure the scenario's clean-up shows what make run said.
# On failure the scenario's clean-up shows what make run said and ends the
# program (everything Wine runs in make run's prefix), so that make run ends.
make_run_cleanup() {
    local status=$?
    if [ ! -s "$run_status" ]; then
        WINEPREFIX=$prefix wineserver -k 2>/dev/null
        wait_until 30 test -s "$run_status" || kill -TERM -- -"$make_group" 2>/dev/null
    fi
    [ $status -ne 0 ] && cat "$run_log"
    rm -rf "$run_log" "$run_status" "$run_folder"
    (exit $status)
    e2e_cleanup
}
trap make_run_cleanup EXIT

wait_dialog "$PALETTE_TITLE" 20 || fail "no tool palette shown"
tray_icon_point
click "$TRAY_X" "$TRAY_Y" 3
wait_menu 10 >/dev/null || fail "no tray menu"
screenshot tray-menu
menu_choose -1
wait_until 30 test -s "$run_status" || fail "make run did not end after 終了"
status=$(cat "$run_status")
[ "$status" = 0 ] || fail "make run ended with $status"
grep -q '^run: inkslip.exe ended with exit code 0$' "$run_log" || fail "the program's exit code was not 0"
