#!/bin/bash
# Notes last between runs. From a fresh program folder (no data folder): two
# notes from the tray, a different stroke on each, one moved by its tab, the
# other locked from its menu; exit from the tray menu writes 0.dat, 0.bmp,
# 1.dat, 1.bmp. The next start brings both back where they were, with their
# drawings, the second still locked. Peeling the first off and exiting leaves
# only the locked one for the next start. A kill does not lose the notes either.
. "$(dirname "$0")/lib.sh"

[ ! -e "$APP_DATA" ] || fail "the program folder already has a data folder"

# note_state CLASS: "left top black-pixels-in-drawing-area black-pixels-in-tab"
# of a note with a 200 x 200 drawing area.
note_state() {
    local l t r b
    read -r l t r b < <(window_rect "$1") || return 1
    echo "$l $t $(count_color $((l + 1)) $((t + 22)) 200 200 000000)" \
        "$(count_color $((l + 1)) $((t + 1)) 20 20 000000)"
}

# new_note_with_stroke CLASS X1 Y1 X2 Y2: a note from the tray with a stroke
# between those points of its window; leaves its left and top in l and t.
new_note_with_stroke() {
    tray_new_note
    read -r l t r b < <(window_rect "$1") || fail "the new note is not $1"
    drag $((l + $2)) $((t + $3)) $((l + $4)) $((t + $5)) 8
    wait_until 5 bbox_color $((l + 1)) $((t + 22)) 200 200 000000 || fail "no stroke on $1"
}

start_app_ready

# Note 0: a horizontal stroke, then moved by its tab to (150, 120), clear of
# where the tool palette opens.
new_note_with_stroke Inkslip0 30 80 170 80
drag $((l + 10)) $((t + 10)) 160 130 10
wait_output 5 "150 120 352 343" window_rect Inkslip0 ||
    fail "note 0 did not move to (150, 120): $(window_rect Inkslip0)"

# Note 1: a vertical stroke, then locked from its popup menu.
new_note_with_stroke Inkslip1 100 40 100 200
[ "$(count_color $((l + 1)) $((t + 1)) 20 20 000000)" = 0 ] || fail "an unlocked tab shows black"
click $((l + 150)) $((t + 180)) 3
menu_choose 0
padlock() { [ "$(count_color $((l + 1)) $((t + 1)) 20 20 000000)" -gt 0 ]; }
wait_until 5 padlock || fail "no padlock on note 1 after the lock command"
screenshot before-exit

state0=$(note_state Inkslip0)
state1=$(note_state Inkslip1)
read -r sx0 sy0 black0 _ <<<"$state0"
read -r sx1 sy1 black1 _ <<<"$state1"
log "note 0: $state0; note 1: $state1"

tray_exit

# The data folder was made, and holds the two pairs and nothing else.
files=$(ls "$APP_DATA" 2>/dev/null | sort | tr '\n' ' ')
[ "$files" = "0.bmp 0.dat 1.bmp 1.dat " ] || fail "data folder holds: '$files'"
expected1=$(printf '%02x%02x%02x%02x01000100' $((sx1 & 255)) $((sx1 >> 8)) $((sy1 & 255)) $((sy1 >> 8)))
for pair in "0 9600780000000000" "1 $expected1"; do
    read -r n bytes <<<"$pair"
    dat=$(od -An -tx1 -v "$APP_DATA/$n.dat" | tr -d ' \n')
    [ "$dat" = "$bytes" ] || fail "$n.dat is $dat, expected $bytes"
done
# N.bmp is the 200 x 200 drawing area without tab and frame: the strokes sit one
# pixel left of and 22 pixels above where they were drawn in the window.
for n in 0 1; do
    size=$(identify -format '%w %h' "$APP_DATA/$n.bmp" 2>/dev/null)
    [ "$size" = "200 200" ] || fail "$n.bmp is '$size', expected 200 200"
done
[ "$(shot_pixel "$APP_DATA/0.bmp" 99 58)" = 000000 ] || fail "0.bmp lacks the stroke at (99, 58)"
[ "$(shot_pixel "$APP_DATA/0.bmp" 99 150)" = ffffff ] || fail "0.bmp is not white at (99, 150)"
[ "$(shot_pixel "$APP_DATA/1.bmp" 99 100)" = 000000 ] || fail "1.bmp lacks the stroke at (99, 100)"
bmp_black() { convert "$1" txt:- 2>/dev/null | grep -c '#000000'; }
[ "$(bmp_black "$APP_DATA/0.bmp")" = "$black0" ] || fail "0.bmp differs from the note on screen"
[ "$(bmp_black "$APP_DATA/1.bmp")" = "$black1" ] || fail "1.bmp differs from the note on screen"

# Second run: both notes come back as they were.
start_app_ready
wait_note_count 2 15 || fail "the two notes did not come back"
restored() { [ "$(note_state Inkslip0)" = "$state0" ] && [ "$(note_state Inkslip1)" = "$state1" ]; }
wait_until 5 restored || fail "restored notes differ: 0: $(note_state Inkslip0), 1: $(note_state Inkslip1)"
screenshot restored
# The locked note takes no drawing.
drag $((sx1 + 30)) $((sy1 + 60)) $((sx1 + 170)) $((sy1 + 60)) 6
sleep 0.2
[ "$(note_state Inkslip1)" = "$state1" ] || fail "the locked note took a stroke"

# Peel note 0 off (second item of its menu); it does not come back.
click $((sx0 + 100)) $((sy0 + 150)) 3
menu_choose 1
wait_note_count 1 10 || fail "note 0 is still there after peeling it off"
[ ! -e "$APP_DATA/0.dat" ] || fail "0.dat is still there after peeling note 0 off"
tray_exit
[ -e "$APP_DATA/1.dat" ] && [ ! -e "$APP_DATA/0.dat" ] || fail "data folder after the peel: $(ls "$APP_DATA")"

# Third run: only the locked note; then killed while running, the next start
# still has it.
for run in exit kill; do
    [ $run = kill ] && kill_app
    start_app_ready
    wait_note_count 1 15 || fail "the locked note did not come back (after $run)"
    wait_output 5 "$state1" note_state Inkslip1 ||
        fail "after $run the locked note came back as $(note_state Inkslip1)"
    [ "$(window_count Inkslip0)" = 0 ] || fail "the peeled note came back"
done
# Wine's tray may still show the killed copy's icon first: exit by command.
exit_app_by_command
