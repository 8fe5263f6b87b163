#!/bin/bash
# The README's run command on a machine without a display: `make run` builds
# what is missing, starts its own virtual display and the program in its own
# prefix; the tray icon appears, and "終了" from the tray menu ends the program
# and make with code 0.
set -uo pipefail
: "${INKSLIP_SOURCE_DIR:?run through scripts/run-tests.sh}" "${INKSLIP_SHIP_BUILD_DIR:?}"
run_log=$(mktemp "${TMPDIR:-/tmp}/inkslip-make-run.XXXXXX")
run_folder=$(mktemp -d "${TMPDIR:-/tmp}/inkslip-make-run-folder.XXXXXX")
# In a session of its own, so that a failure can end all it started; in a
# folder of its own, so that the notes of a person's own runs stay untouched.
(
    unset DISPLAY WINEPREFIX
    BUILD_DIR=$INKSLIP_SHIP_BUILD_DIR RUN_FOLDER=$run_folder exec setsid make -C "$INKSLIP_SOURCE_DIR" run
) </dev/null >"$run_log" 2>&1 &
make_pid=$!
prefix=
make_run_cleanup() {
    local status=$?
    # Everything Wine runs in make run's prefix ends, so that make run ends.
    kill -0 $make_pid 2>/dev/null && [ -n "$prefix" ] && WINEPREFIX=$prefix wineserver -k
    timeout 30 tail -s 0.1 --pid=$make_pid -f /dev/null || kill -TERM -- -$make_pid
    [ $status -ne 0 ] && cat "$run_log"
    # (lib.sh's copy of the program in make run's prefix is not used.)
    rm -rf "$run_log" "$run_folder" "${APP_DIR:-}"
    declare -F e2e_cleanup >/dev/null || exit $status
    (exit $status)
    e2e_cleanup
}
trap make_run_cleanup EXIT

# What make run says it uses: its virtual display and its prefix.
for ((waited = 0; waited < 1800; waited++)); do
    grep -q '^run: starting ' "$run_log" && break
    kill -0 $make_pid 2>/dev/null || break
    sleep 0.1
done
display=$(sed -n 's/^run: no display found; started a virtual one at \(:[0-9]*\) .*/\1/p' "$run_log")
prefix=$(sed -n 's/^run: Wine prefix //p' "$run_log")
[ -n "$display" ] && [ -n "$prefix" ] || exit 1
export DISPLAY=$display WINEPREFIX=$prefix
. "$(dirname "$0")/lib.sh"
trap make_run_cleanup EXIT
log "make run started the program on $display (prefix $prefix)"

wait_dialog "$PALETTE_TITLE" 20 || fail "no tool palette shown"
tray_icon_point
click "$TRAY_X" "$TRAY_Y" 3
wait_window '#32768' - 10 --visible || fail "no tray menu"
screenshot tray-menu
menu_choose -1 tray
wait_until 30 not kill -0 $make_pid || fail "make run did not end after 終了"
wait $make_pid
status=$?
[ "$status" = 0 ] || fail "make run ended with $status"
grep -q '^run: inkslip.exe ended with exit code 0$' "$run_log" || fail "the program's exit code was not 0"
