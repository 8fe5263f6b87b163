#!/bin/bash
# Single instance: a second start while the first copy runs ends at once with
# code 0 and leaves exactly one main window; once the first copy has exited, a
# new start succeeds.
. "$(dirname "$0")/lib.sh"

start_app_ready
first=$APP_RUN
start_app
expect_exit 0 15
count=$(window_count Inkslip -)
[ "$count" = 1 ] || fail "$count \"Inkslip\" main windows while the first copy runs"
app_running "$first" || fail "the first copy ended when the second started"
# The second copy touched no file: the INI file appears only when the first exits.
[ ! -e "$APP_INI" ] || fail "an INI file was written while the first copy runs"

exit_app_by_command "$first"
wait_window Inkslip - 10 --gone || fail "the main window outlived its program"

start_app_ready
count=$(window_count Inkslip -)
[ "$count" = 1 ] || fail "$count \"Inkslip\" main windows after the restart"
exit_app_by_command
