#!/bin/bash
# Single instance: a second start while the first copy runs ends at once with
# code 0 and leaves exactly one main window; once the first copy has exited, a
# new start succeeds.
. "$(dirname "$0")/lib.sh"

start_app_ready
first=$APP_RUN

start_app
second=$APP_RUN
expect_exit 0 15 "$second"
count=$(probe count-windows Inkslip -)
[ "$count" = 1 ] || fail "$count \"Inkslip\" main windows while the first copy runs"
app_running_run() { [ ! -e "$E2E_TMP/run$1.rc" ]; }
app_running_run "$first" || fail "the first copy ended when the second started"
# The second copy touched no file: the INI file appears only when the first exits.
[ ! -e "$APP_INI" ] || fail "an INI file was written while the first copy runs"

probe post-command Inkslip 40001 >/dev/null || fail "cannot post the exit command"
expect_exit 0 20 "$first"
wait_until 10 main_window_absent || fail "the main window outlived its program"

start_app_ready
count=$(probe count-windows Inkslip -)
[ "$count" = 1 ] || fail "$count \"Inkslip\" main windows after the restart"
exit_app_by_command
