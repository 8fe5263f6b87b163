#!/bin/bash
# The hot keys and every dialog (each with a screenshot), the notes in a data
# folder whose N.dat paths are 258 characters long: Ctrl+Alt+N and Ctrl+Alt+H,
# two size dialogs at once, the options dialog asked for twice, and "終了"
# while a save dialog is open (code 0, no fault, every note back).
. "$(dirname "$0")/lib.sh"

# C:\e2e\dialogs\ (the program's folder) and 237 characters and a backslash,
# then 0.dat: 258 characters.
segment=$(printf 'd%.0s' {1..237})
APP_DATA=$APP_DIR/$segment
folder="C:\\e2e\\dialogs\\$segment\\"
printf '%s\r\n' '[paper]' "DataFolderPath=$folder" 'IsNoSizing=1' '[hotkey]' 'IsUseHotkey=1' 'modifiers 0=3' \
    'virtual 0=78' 'modifiers 1=3' 'virtual 1=72' >"$APP_INI"

# hotkey KEYS: pressed while the palette has the X focus (keys reach Wine only
# while one of its windows has it).
hotkey() {
    local l t r b
    read -r l t r b < <(window_rect '#32770' "$PALETTE_TITLE" --visible) || fail "no palette to focus"
    focus_at $((l + 30)) $((t + 8)) || fail "cannot focus the palette"
    xdotool key "$1"
}

start_app_ready
screenshot palette
hotkey ctrl+alt+n
wait_output 10 1 note_count || fail "Ctrl+Alt+N made no note"
hotkey ctrl+alt+h
wait_output 10 0 note_count || fail "Ctrl+Alt+H did not hide the note"
hotkey ctrl+alt+h
wait_output 10 1 note_count || fail "Ctrl+Alt+H did not show the note again"
read -r l t r b < <(window_rect Inkslip0)

# Two size dialogs at once: the tray's for a new note, then the note's own,
# which is the topmost; each answers for its own note. From OK, where the focus
# starts, Tab Tab reaches the width box and Tab the height box, each with its
# text all selected.
tray_choose 0
wait_dialog "$SIZE_DIALOG_TITLE" 10 || fail "no size dialog from the tray"
note_menu $((l + 100)) $((t + 150)) 2
wait_output 10 2 window_count '#32770' "$SIZE_DIALOG_TITLE" --visible || fail "no size dialog for the note"
screenshot two-size-dialogs
close_dialog "$SIZE_DIALOG_TITLE" Tab Tab 3 0 0 Tab 2 5 0
wait_output 5 "302 273" window_size Inkslip0 || fail "the resized note is $(window_size Inkslip0)"
close_dialog "$SIZE_DIALOG_TITLE" Tab Tab 1 0 0 Tab 6 0
wait_output 10 2 note_count || fail "the tray's size dialog made no note"
[ "$(window_size Inkslip1)" = "102 83" ] || fail "the new note is $(window_size Inkslip1)"

# The options dialog, asked for twice, is one dialog; after its OK the hot key
# still makes a note.
tray_choose -3
wait_dialog オプション 10 || fail "no options dialog"
tray_choose -3
wait_output 1 2 window_count '#32770' オプション --visible && fail "a second options dialog opened"
screenshot options
close_dialog オプション
hotkey ctrl+alt+n
wait_output 10 3 note_count || fail "Ctrl+Alt+N made no note after the options dialog"

tray_choose -2
wait_dialog バージョン情報 10 || fail "no version box"
screenshot version
close_dialog バージョン情報

# "終了" while note 0's save dialog is open, right after a stroke on it (where
# the other notes do not cover it), which only the exit can then save.
area="$((l + 210)) $((t + 225)) 90 45"
before=$(screen_sum $area)
drag $((l + 220)) $((t + 235)) $((l + 290)) $((t + 250)) 6
wait_until 5 not output_is "$before" screen_sum $area || fail "no stroke on note 0"
stroke=$(screen_sum $area)
note_menu $((l + 250)) $((t + 240)) 3
wait_dialog ファイル出力先指定 10 || fail "no save dialog"
screenshot save-dialog
tray_exit
! grep -qiE 'unhandled|page fault|exception' "$E2E_TMP/$APP_PID.log" ||
    fail "Wine reports a fault: $(cat "$E2E_TMP/$APP_PID.log")"
files=$(ls -A "$APP_DATA" | tr '\n' ' ')
[ "$files" = "0.bmp 0.dat 1.bmp 1.dat 2.bmp 2.dat " ] || fail "the long data folder holds: '$files'"
start_app_ready
wait_output 15 3 note_count || fail "the notes did not come back from the long data folder"
[ "$(window_size Inkslip0)" = "302 273" ] || fail "note 0 came back as $(window_size Inkslip0)"
wait_output 5 "$stroke" screen_sum $area || fail "note 0 came back without its last stroke"
tray_exit
