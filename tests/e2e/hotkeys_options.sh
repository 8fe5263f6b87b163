#!/bin/bash
# Hot keys, the options dialog, the size dialog and the version box, used as a
# person would. With Ctrl+Alt+N for a new note and Ctrl+Alt+H for hide all in
# the INI file and no size question for hot-key notes: Ctrl+Alt+N makes a note;
# Ctrl+Alt+H hides and shows the notes; the options dialog changes the default
# size and the next note has it; the tray's "新規作成" proposes it in the size
# dialog. Screenshots of the palette, options dialog, size dialog and version
# box stay as artefacts.
. "$(dirname "$0")/lib.sh"

# tray_dialog ITEM TITLE LABEL: opens a dialog from the tray menu and keeps a screenshot.
tray_dialog() {
    tray_choose "$1"
    wait_dialog "$2" 10 || fail "no dialog \"$2\" from the tray menu"
    screenshot "$3" "$2"
}

start_with_hotkeys_and_first_note

# Ctrl+Alt+H hides every note, and again shows them.
hotkey ctrl+alt+h
wait_note_count 0 10 || fail "Ctrl+Alt+H did not hide the note"
hotkey ctrl+alt+h
wait_note_count 1 10 || fail "Ctrl+Alt+H did not show the note again"

# Options from the tray menu: default size 260 x 180.
OPTIONS=オプション
tray_dialog -3 "$OPTIONS" options
[ "$(control_text "$OPTIONS" 1020) $(control_text "$OPTIONS" 1021)" = "200 200" ] ||
    fail "the options dialog does not show 200 x 200"
[ "$(is_checked "$OPTIONS" 1027)" = 1 ] || fail "\"ホットキーを使用\" is not checked"
probe set-text "$OPTIONS" 1020 260 >/dev/null
probe set-text "$OPTIONS" 1021 180 >/dev/null
close_dialog "$OPTIONS" 1

# The next note has the new size: the hot key still works after the dialog.
hotkey ctrl+alt+n
wait_note_count 2 10 || fail "Ctrl+Alt+N after the options dialog made no note"
read -r l t r b < <(window_rect Inkslip1) || fail "the second note is not Inkslip1"
[ $((r - l)) = 262 ] && [ $((b - t)) = 203 ] || fail "the new note is $((r - l))x$((b - t)), expected 262x203"

# The tray menu's "新規作成" asks for the size, proposing the new default.
tray_dialog 0 "$SIZE_DIALOG_TITLE" size-dialog
[ "$(control_text "$SIZE_DIALOG_TITLE" 1013) $(control_text "$SIZE_DIALOG_TITLE" 1014)" = "260 180" ] ||
    fail "the size dialog does not propose 260 x 180"
close_dialog "$SIZE_DIALOG_TITLE" 2
[ "$(note_count)" = 2 ] || fail "a cancelled size dialog made a note"

# The version box.
VERSION=バージョン情報
tray_dialog -2 "$VERSION" version
texts=$(probe controls "$VERSION")
grep -q 'Version 0, 5, 0, 1' <<<"$texts" && grep -q 'Inkslip' <<<"$texts" || fail "the version box says: $texts"
close_dialog "$VERSION" 1

tray_exit
ini_has DefaultSizeX=260 DefaultSizeY=180 'modifiers 0=3' 'virtual 0=78' 'modifiers 1=3' 'virtual 1=72' \
    IsUseHotkey=1 IsNoSizing=1
