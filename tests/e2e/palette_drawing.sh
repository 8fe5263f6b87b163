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
wait_until 3 test "$(probe is-checked "$PALETTE_TITLE" 1016)" = 1 || fail "the ellipse button is not pressed"
drag $((l + 40)) $((t + 60)) $((l + 160)) $((t + 180)) 10
area="$((l + 1)) $((t + 22)) 200 200"
wait_until 5 probe bbox-color $area $PEN || fail "no ellipse on the note"
read -r ex1 ey1 ex2 ey2 < <(probe bbox-color $area $PEN)
filled=$(probe count-color $area $PEN)
log "ellipse ($ex1, $ey1)-($ex2, $ey2), $filled pixels"
near() { [ $(($1 - $2)) -ge -3 ] && [ $(($1 - $2)) -le 3 ]; }
near "$ex1" $((l + 40)) && near "$ey1" $((t + 60)) && near "$ex2" $((l + 160)) && near "$ey2" $((t + 180)) ||
    fail "the ellipse does not fill the dragged box"
# A filled ellipse of 120 x 120 covers about 11300 pixels; its outline alone
# would be under 1000.
[ "$filled" -gt 10000 ] && [ "$filled" -lt 12500 ] || fail "the ellipse is not filled ($filled pixels)"
[ "$(probe pixel $((l + 100)) $((t + 120)))" = $PEN ] || fail "the ellipse's centre is not filled"
screenshot ellipse

# Alt-clicks pick colours into the palette's R, G, B fields: white beside the
# ellipse, then the ellipse's colour.
alt_click() {
    focus_at "$1" "$2" || fail "cannot focus the note"
    xdotool keydown alt
    nap 0.05
    xdotool click 1
    nap 0.05
    xdotool keyup alt
}
alt_click $((l + 20)) $((t + 200))
wait_until 5 test "$(palette_rgb)" = "255 255 255" || fail "Alt-click on white gave $(palette_rgb)"
alt_click $((l + 100)) $((t + 120))
wait_until 5 test "$(palette_rgb)" = "32 128 192" || fail "Alt-click on the ellipse gave $(palette_rgb)"
[ "$(probe count-color $area $PEN)" = "$filled" ] || fail "an Alt-click drew on the note"
log "Alt-clicks set the palette to 255 255 255, then 32 128 192"

tray_exit
expect_exit 0 20
grep -qx "PenColor=ff$PEN" < <(tr -d '\r' <"$APP_INI") || fail "inkslip.ini lacks PenColor=ff$PEN"
