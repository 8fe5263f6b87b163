#!/bin/bash
# Nothing drawn is lost: every change of a note reaches its files within a few
# seconds, so a kill (as a crash or a power cut would) loses nothing. A stroke,
# a second note, a move by the tab with a lock, and an undo with Ctrl+Z each
# come back after a kill; an idle program writes nothing, and a stroke on one
# note writes that note's files only. The data folder holds N.dat and N.bmp
# and nothing else.
. "$(dirname "$0")/lib.sh"

# note_state CLASS: "left top black-pixels-in-drawing-area black-pixels-in-tab"
# of a note with a 200 x 200 drawing area.
note_state() {
    local l t r b
    read -r l t r b < <(window_rect "$1") || return 1
    echo "$l $t $(count_color $((l + 1)) $((t + 22)) 200 200 000000)" \
        "$(count_color $((l + 1)) $((t + 1)) 20 20 000000)"
}

# restart_after_kill CLASS...: waits for the changes to be written, kills the
# program and starts it again; the notes must come back as they were.
restart_after_kill() {
    local class states=()
    for class in "$@"; do states+=("$(note_state "$class")"); done
    sleep 3
    kill_app
    start_app_ready
    wait_note_count $# 15 || fail "after the kill $(note_count) notes came back, not $#"
    local index=0
    for class in "$@"; do
        wait_output 5 "${states[$index]}" note_state "$class" ||
            fail "$class came back as $(note_state "$class"), not ${states[$index]}"
        index=$((index + 1))
    done
}

# data_state: every file of the data folder with its checksum and write time.
data_state() { (cd "$APP_DATA" && for f in *; do echo "$f $(md5sum <"$f") $(stat -c %Y.%y "$f")"; done); }

start_app_ready
tray_new_note
read -r l t r b < <(window_rect Inkslip0) || fail "the first note is not Inkslip0"
drag $((l + 30)) $((t + 80)) $((l + 170)) $((t + 80)) 8
wait_until 5 bbox_color $((l + 1)) $((t + 22)) 200 200 000000 || fail "no stroke on the note"
restart_after_kill Inkslip0
screenshot stroke-after-kill

# A second note, moved by its tab clear of the first: both come back.
tray_new_note
read -r l t r b < <(window_rect Inkslip1) || fail "the second note is not Inkslip1"
drag $((l + 10)) $((t + 10)) 160 130 10
wait_output 5 "150 120 352 343" window_rect Inkslip1 || fail "note 1 did not move: $(window_rect Inkslip1)"
restart_after_kill Inkslip0 Inkslip1

# The second note locked from its menu.
click 250 250 3
menu_choose 0
wait_until 5 test "$(count_color 151 121 20 20 000000)" -gt 0 || fail "no padlock after the lock"
restart_after_kill Inkslip0 Inkslip1
[ "$(od -An -tx1 -j6 -N2 "$APP_DATA/1.dat" | tr -d ' ')" = 0100 ] || fail "1.dat is not locked"

# A second stroke on the first note, undone with Ctrl+Z: the undone picture
# is what comes back.
read -r l t r b < <(window_rect Inkslip0)
before=$(note_state Inkslip0)
drag $((l + 100)) $((t + 40)) $((l + 100)) $((t + 200)) 8
wait_until 5 not output_is "$before" note_state Inkslip0 || fail "no second stroke"
sleep 3
focus_at $((l + 150)) $((t + 150)) || fail "cannot focus the note"
xdotool key ctrl+z
wait_output 5 "$before" note_state Inkslip0 || fail "Ctrl+Z did not undo the stroke"
restart_after_kill Inkslip0 Inkslip1

# Idle: no file changes. A stroke on note 0 rewrites 0.dat and 0.bmp only.
idle=$(data_state)
sleep 6
[ "$(data_state)" = "$idle" ] || fail "an idle program wrote: $(diff <(echo "$idle") <(data_state))"
read -r l t r b < <(window_rect Inkslip0)
drag $((l + 30)) $((t + 150)) $((l + 170)) $((t + 150)) 8
sleep 3
changed=$(diff <(echo "$idle") <(data_state) | sed -n 's/^> \([^ ]*\) .*/\1/p' | sort | tr '\n' ' ')
[ "$changed" = "0.bmp 0.dat " ] || fail "a stroke on note 0 rewrote: '$changed'"
files=$(ls -A "$APP_DATA" | sort | tr '\n' ' ')
[ "$files" = "0.bmp 0.dat 1.bmp 1.dat " ] || fail "the data folder holds: '$files'"
exit_app_by_command
