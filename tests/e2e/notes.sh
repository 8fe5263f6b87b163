#!/bin/bash
# Start, exit and notes that last: one instance, the main window hidden; a
# note from the tray drawn on; "終了" writes the INI file (the defaults, in
# order) and the note, which comes back. Every change (stroke, new note, move,
# lock, undo) survives a kill; an idle program writes nothing, a stroke
# rewrites its note's pair only, and the data folder holds N.dat and N.bmp only.
. "$(dirname "$0")/lib.sh"

# note_look CLASS...: "left top checksum-of-its-pixels" of each note, one a line.
note_look() {
    local class l t r b
    for class in "$@"; do
        read -r l t r b < <(window_rect "$class") || return 1
        echo "$l $t $(screen_sum "$l" "$t" $((r - l)) $((b - t)))"
    done
}

# stroke CLASS X1 Y1 X2 Y2: a pen stroke between those points of the note's window.
stroke() {
    local l t r b before
    read -r l t r b < <(window_rect "$1") || fail "no note $1"
    before=$(note_look "$1")
    drag $((l + $2)) $((t + $3)) $((l + $4)) $((t + $5)) 8
    wait_until 5 not output_is "$before" note_look "$1" || fail "the stroke did not show on $1"
}

# data_state: every file of the data folder with its write time.
data_state() { (cd "$APP_DATA" 2>/dev/null && stat -c '%n %y' -- *); }

# wait_saved: until the data folder has stayed the same for 2.5 s, over twice
# the time within which the program writes a changed note.
wait_saved() {
    local state previous= quiet=0 deadline=$((SECONDS + 20))
    while [ $quiet -lt 25 ]; do
        [ $SECONDS -lt $deadline ] || fail "the data folder keeps changing"
        state=$(data_state)
        if [ "$state" = "$previous" ]; then quiet=$((quiet + 1)); else quiet=0 previous=$state; fi
        nap 0.1
    done
}

# restart_after_kill CLASS...: once the changes are written, kills the program
# by its pid (as a crash or the task manager would) and starts it again; those
# notes must come back as they were.
restart_after_kill() {
    local before
    wait_saved
    before=$(note_look "$@")
    kill -9 "$APP_PID"
    wait_until 20 not kill -0 "$APP_PID" || fail "pid $APP_PID did not go away"
    wait "$APP_PID" 2>/dev/null # (quietly: the shell would report the kill)
    wait_window Inkslip - 10 --gone || fail "the killed copy's main window stays"
    start_app_ready
    wait_output 15 "$before" note_look "$@" || fail "after the kill: $(note_look "$@"), not $before"
}

# The first start, its main window still hidden at the end of the start-up; a
# second one while it runs.
start_app_ready
first=$APP_PID
probe list Inkslip -
[ ${#PROBE_OUTPUT[@]} = 1 ] && [[ ${PROBE_OUTPUT[0]} == 0$'\t'*$'\tInkslip\tTitle' ]] ||
    fail "expected one hidden main window \"Title\", got: ${PROBE_OUTPUT[*]}"
start_app
expect_exit 0 15
APP_PID=$first
kill -0 "$APP_PID" || fail "the first copy ended when the second started"
[ ! -e "$APP_INI" ] || fail "an INI file was written while the first copy runs"

# A note from the tray, drawn on, written at the exit with the INI file.
tray_icon_point
click "$TRAY_X" "$TRAY_Y" 1 --repeat 2 --delay 80
close_dialog "$SIZE_DIALOG_TITLE"
wait_output 10 1 note_count || fail "no note after the size dialog"
stroke Inkslip0 30 80 170 80
screenshot stroke
look=$(note_look Inkslip0)
tray_exit
expected=$(printf '%s\n' '[tool]' DrawMode=DRAW_PEN PenSize=1 EraseSize=5 PenColor=ff000000 IsHide=0 \
    '[paper]' DefaultSizeX=200 DefaultSizeY=200 DataFolderPath= OutputFolderPath= IsTopmost=0 IsHide=0 \
    IsDelWarning=0 IsNoSizing=0 BgColor=ffffffff '[hotkey]' IsUseHotkey=0 'modifiers 0=0' 'virtual 0=0' \
    'modifiers 1=0' 'virtual 1=0')
# Line ends and blank lines between sections are the profile writer's business.
actual=$(tr -d '\r' <"$APP_INI" | sed -e 's/[[:space:]]*=[[:space:]]*/=/' | grep -v '^[[:space:]]*$')
[ "$actual" = "$expected" ] || fail "inkslip.ini is not the defaults in order: $(diff <(echo "$expected") <(echo "$actual"))"
start_app_ready
wait_output 15 "$look" note_look Inkslip0 || fail "the note came back as $(note_look Inkslip0), not $look"

stroke Inkslip0 30 120 170 120
restart_after_kill Inkslip0
# A second note (from the tray menu), moved by its tab clear of the first.
tray_choose 0
close_dialog "$SIZE_DIALOG_TITLE"
wait_output 10 2 note_count || fail "no second note"
read -r l t r b < <(window_rect Inkslip1)
drag $((l + 10)) $((t + 10)) 160 130 10
wait_output 5 "150 120 352 343" window_rect Inkslip1 || fail "note 1 did not move: $(window_rect Inkslip1)"
restart_after_kill Inkslip0 Inkslip1

# A stroke written, then undone with Ctrl+Z: the undone picture comes back.
before=$(note_look Inkslip0)
stroke Inkslip0 100 40 100 200
wait_saved
read -r l t r b < <(window_rect Inkslip0)
focus_at $((l + 150)) $((t + 150)) || fail "cannot focus the note"
xdotool key ctrl+z
wait_output 5 "$before" note_look Inkslip0 || fail "Ctrl+Z did not undo the stroke"
restart_after_kill Inkslip0 Inkslip1

# Note 1 locked from its menu (the padlock changes its look) and written; then
# idle, nothing is written; a stroke on note 0 rewrites 0.dat and 0.bmp only.
before=$(note_look Inkslip1)
note_menu 250 250 0
wait_until 5 not output_is "$before" note_look Inkslip1 || fail "no padlock after the lock"
wait_saved
idle=$(data_state)
wait_until 3 not output_is "$idle" data_state && fail "an idle program wrote: $(data_state)"
stroke Inkslip0 30 150 170 150
wait_saved
changed=$(diff <(echo "$idle") <(data_state) | sed -n 's/^> \([^ ]*\) .*/\1/p' | sort | tr '\n' ' ')
[ "$changed" = "0.bmp 0.dat " ] || fail "a stroke on note 0 rewrote: '$changed'"
files=$(ls -A "$APP_DATA" | tr '\n' ' ')
[ "$files" = "0.bmp 0.dat 1.bmp 1.dat " ] || fail "the data folder holds: '$files'"
restart_after_kill Inkslip0 Inkslip1
tray_exit
