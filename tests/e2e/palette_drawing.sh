#!/bin/bash
# The tool palette and the notes' eyedropper, used as a person would. With
# Ctrl+Alt+N for a new note in the INI file and no size question for hot-key
# notes: Ctrl+Alt+N makes a note; the ellipse tool chosen in the palette leaves
# a filled ellipse in the pen colour; Alt-clicks on the note set the palette's
# R, G, B fields and draw nothing.
. "$(dirname "$0")/lib.sh"

start_with_hotkeys_and_first_note

# The ellipse tool, then a drag from (40, 60) to (160, 180) in the note.
click_control "$PALETTE_TITLE" 1016
wait_output 3 1 is_checked "$PALETTE_TITLE" 1016 || fail "the ellipse button is not pressed"
drag $((l + 40)) $((t + 60)) $((l + 160)) $((t + 180)) 10
area="$((l + 1)) $((t + 22)) 200 200"
wait_until 5 bbox_color $area $PEN || fail "no ellipse on the note"
read -r ex1 ey1 ex2 ey2 < <(bbox_color $area $PEN)
filled=$(count_color $area $PEN)
log "ellipse ($ex1, $ey1)-($ex2, $ey2), $filled pixels"
near() { [ $(($1 - $2)) -ge -3 ] && [ $(($1 - $2)) -le 3 ]; }
near "$ex1" $((l + 40)) && near "$ey1" $((t + 60)) && near "$ex2" $((l + 160)) && near "$ey2" $((t + 180)) ||
    fail "the ellipse does not fill the dragged box"
# A filled ellipse of 120 x 120 covers about 11300 pixels; its outline alone
# would be under 1000.
[ "$filled" -gt 10000 ] && [ "$filled" -lt 12500 ] || fail "the ellipse is not filled ($filled pixels)"
[ "$(pixel $((l + 100)) $((t + 120)))" = $PEN ] || fail "the ellipse's centre is not filled"
screenshot ellipse

# Alt-clicks pick colours into the palette's R, G, B fields: white beside the
# ellipse, then the ellipse's colour.
for pick in "20 200 255 255 255" "100 120 32 128 192"; do
    read -r x y rgb <<<"$pick"
    focus_at $((l + x)) $((t + y)) || fail "cannot focus the note"
    xdotool keydown alt
    nap 0.05
    xdotool click 1
    nap 0.05
    xdotool keyup alt
    wait_output 5 "$rgb" palette_rgb || fail "Alt-click at ($x, $y) gave $(palette_rgb), not $rgb"
done
[ "$(count_color $area $PEN)" = "$filled" ] || fail "an Alt-click drew on the note"

tray_exit
ini_has "PenColor=ff$PEN"
