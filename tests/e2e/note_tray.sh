#!/bin/bash
# A note from the tray, as a person makes one: double-click the tray icon, a
# note appears in the middle of the screen; draw on it with the pen; the tab is
# cyan with a black outline; drag the tab and the note moves with its drawing;
# right-click the body and the note's menu opens; "終了" in the tray menu ends
# the program with code 0.
. "$(dirname "$0")/lib.sh"

start_app_ready
read -r screen_w screen_h < <(probe screen)

tray_new_note
read -r left top right bottom < <(window_rect Inkslip0) || fail "the first note is not Inkslip0"
width=$((right - left))
height=$((bottom - top))
[ "$width" = 202 ] && [ "$height" = 223 ] || fail "note window ${width}x${height}, expected 202x223"
[ "$left" = $(((screen_w - width) / 2)) ] && [ "$top" = $(((screen_h - height) / 2)) ] ||
    fail "note at ($left, $top), not centred on the ${screen_w}x${screen_h} screen"

# The empty drawing area is white.
area="$((left + 1)) $((top + 22)) 200 200"
[ "$(count_color $area ffffff)" = 40000 ] || fail "the new note's drawing area is not all white"

# A pen stroke from (30, 60) to (170, 150) in the note's window.
drag $((left + 30)) $((top + 60)) $((left + 170)) $((top + 150)) 12
wait_until 5 bbox_color $area 000000 || fail "no stroke on the note"
read -r sx1 sy1 sx2 sy2 < <(bbox_color $area 000000)
[ $((sx1 - left)) -le 31 ] && [ $((sx2 - left)) -ge 169 ] && [ $((sy1 - top)) -le 61 ] &&
    [ $((sy2 - top)) -ge 149 ] || fail "the stroke ($sx1, $sy1)-($sx2, $sy2) misses (30, 60) or (170, 150)"
stroke_pixels=$(count_color $area 000000)

screenshot stroke
shot=$E2E_ARTIFACTS/$E2E_NAME-stroke.png
[ "$(shot_pixel "$shot" $((left + 10)) $((top + 10)))" = 00ffff ] || fail "the tab is not cyan"
# Right of the tab, above the body, the note has no pixels: the desktop shows.
[ "$(shot_pixel "$shot" $((left + 60)) $((top + 10)))" = "$DESKTOP_COLOR" ] ||
    fail "the note's shape covers the space right of its tab"
for point in "$left $((top + 10))" "$((left + 21)) $((top + 10))" "$((left + 10)) $top" \
    "$((left + 100)) $((top + 21))" "$left $((top + 100))" "$((right - 1)) $((top + 100))" \
    "$((left + 100)) $((bottom - 1))"; do
    read -r px py <<<"$point"
    [ "$(shot_pixel "$shot" "$px" "$py")" = 000000 ] || fail "no black outline at ($px, $py)"
done
for dy in 104 105 106; do
    [ "$(shot_pixel "$shot" $((left + 100)) $((top + dy)))" = 000000 ] && break
    [ $dy = 106 ] && fail "the screenshot does not show the stroke"
done

# Drag by the tab: the note follows, with its drawing.
dx=-250
dy=-180
drag $((left + 10)) $((top + 10)) $((left + 10 + dx)) $((top + 10 + dy)) 10
read -r left top right bottom <<<"$((left + dx)) $((top + dy)) $((right + dx)) $((bottom + dy))"
wait_output 5 "$left $top $right $bottom" window_rect Inkslip0 ||
    fail "the note did not follow its tab: now at $(window_rect Inkslip0)"
area="$((left + 1)) $((top + 22)) 200 200"
wait_output 5 "$stroke_pixels" count_color $area 000000 ||
    fail "the moved note does not show its stroke"

# Right-click the body: the note's popup menu opens at the pointer; a click
# elsewhere closes it.
click $((left + 100)) $((top + 120)) 3
read -r ml mt mr mb < <(wait_menu 10) || fail "no popup menu after a right click on the body"
screenshot note-menu
[ $((ml - left - 100)) -ge -2 ] && [ $((ml - left - 100)) -le 2 ] || fail "the menu is at $ml, not at the pointer"
click 900 700
wait_window "$MENU_CLASS" - 5 --visible --gone || fail "the menu did not close"

tray_exit
