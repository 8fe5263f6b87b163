#!/bin/bash
# Notes survive their own dialogs, used as a person would. A note's "サイズ変更"
# and the tray's "新規作成" open two size dialogs at once; each sizes its own
# note. The options dialog asked for twice stays one dialog, and the hot key
# works after it. "終了" while a note's save dialog is open closes the dialog,
# saves every note and ends with code 0, without a fault. A data folder so long
# that N.dat just fits the path limit keeps its notes.
. "$(dirname "$0")/lib.sh"

# A data folder whose N.dat paths are 258 characters long.
folder='C:\e2e\dialogs\'
linux_folder=$APP_DIR/
while [ ${#folder} -lt 253 ]; do
    room=$((253 - ${#folder}))
    segment=$(printf "%0$((room > 80 ? 40 : room - 1))d" 0 | tr 0 d)
    folder+="$segment\\"
    linux_folder+="$segment/"
done
printf '%s\r\n' '[paper]' "DataFolderPath=$folder" 'IsNoSizing=1' '[hotkey]' 'IsUseHotkey=1' 'modifiers 0=3' \
    'virtual 0=78' >"$APP_INI"
APP_DATA=${linux_folder%/}

start_app_ready
tray_new_note
read -r l t r b < <(window_rect Inkslip0) || fail "the first note is not Inkslip0"
drag $((l + 30)) $((t + 80)) $((l + 170)) $((t + 80)) 8

# Two size dialogs: the note's own, then the tray's for a new note.
click $((l + 100)) $((t + 150)) 3
menu_choose 2
wait_dialog "$SIZE_DIALOG_TITLE" 10 || fail "no size dialog for the note"
tray_choose 0
wait_output 10 2 window_count '#32770' "$SIZE_DIALOG_TITLE" --visible || fail "no second size dialog"
screenshot two-size-dialogs
# The newest is first: the new note's, answered 100 x 60.
probe set-text "$SIZE_DIALOG_TITLE" 1013 100 >/dev/null
probe set-text "$SIZE_DIALOG_TITLE" 1014 60 >/dev/null
click_control "$SIZE_DIALOG_TITLE" 1
wait_note_count 2 10 || fail "the new note's size dialog made no note"
# The notes came to the front with the tray's click: the note's own dialog is
# moved clear of them by its caption.
drag_dialog "$SIZE_DIALOG_TITLE" 650 300
probe set-text "$SIZE_DIALOG_TITLE" 1013 300 >/dev/null
probe set-text "$SIZE_DIALOG_TITLE" 1014 250 >/dev/null
close_dialog "$SIZE_DIALOG_TITLE" 1
wait_output 5 "302 273" window_size Inkslip0 || fail "the resized note is $(window_size Inkslip0)"
[ "$(window_size Inkslip1)" = "102 83" ] || fail "the new note is $(window_size Inkslip1)"

# The options dialog, asked for twice, is one dialog; OK keeps the hot key.
OPTIONS=オプション
tray_choose -3
wait_dialog "$OPTIONS" 10 || fail "no options dialog"
tray_choose -3
sleep 0.5
[ "$(window_count '#32770' "$OPTIONS" --visible)" = 1 ] || fail "a second options dialog opened"
close_dialog "$OPTIONS" 1
hotkey ctrl+alt+n
wait_note_count 3 10 || fail "Ctrl+Alt+N made no note after the options dialog"

# "終了" while the first note's save dialog is open (clicked where the other
# notes do not cover it).
click $((l + 250)) $((t + 240)) 3
menu_choose 3
wait_dialog ファイル出力先指定 10 || fail "no save dialog"
screenshot save-dialog
tray_choose -1
expect_exit 0 20
! grep -qiE 'unhandled|page fault|exception' "$E2E_TMP/run$APP_RUN.log" ||
    fail "Wine reports a fault: $(cat "$E2E_TMP/run$APP_RUN.log")"
files=$(ls -A "$APP_DATA" | sort | tr '\n' ' ')
[ "$files" = "0.bmp 0.dat 1.bmp 1.dat 2.bmp 2.dat " ] || fail "the long data folder holds: '$files'"

# They come back from the long folder.
start_app_ready
wait_note_count 3 15 || fail "the notes did not come back from the long data folder"
[ "$(window_size Inkslip0)" = "302 273" ] || fail "note 0 came back as $(window_size Inkslip0)"
exit_app_by_command
