#!/bin/bash
# First start with no INI file: the main window exists but is never shown, the
# exit command ends the program with code 0, and the INI file then holds every
# key with its default, in order.
. "$(dirname "$0")/lib.sh"

[ ! -e "$APP_INI" ] || fail "the program folder already holds an INI file"
start_app

# Watch the main window from the moment it exists: it must never be visible.
wait_window Inkslip - 30 || fail "no \"Inkslip\" main window within 30 s"
for i in 1 2 3 4 5; do
    probe_quiet list Inkslip -
    [ ${#PROBE_OUTPUT[@]} = 1 ] || fail "expected one main window, got: ${PROBE_OUTPUT[*]}"
    IFS=$'\t' read -r _ _ visible _ _ _ _ _ title <<<"${PROBE_OUTPUT[0]}"
    [ "$visible" = 0 ] || fail "the main window is visible: ${PROBE_OUTPUT[0]}"
    [ "$title" = Title ] || fail "main window title '$title'"
    sleep 0.1
done

exit_app_by_command
[ -f "$APP_INI" ] || fail "no inkslip.ini written beside the program"

expected=$(printf '%s\n' '[tool]' DrawMode=DRAW_PEN PenSize=1 EraseSize=5 PenColor=ff000000 IsHide=0 \
    '[paper]' DefaultSizeX=200 DefaultSizeY=200 DataFolderPath= OutputFolderPath= IsTopmost=0 IsHide=0 \
    IsDelWarning=0 IsNoSizing=0 BgColor=ffffffff '[hotkey]' IsUseHotkey=0 'modifiers 0=0' 'virtual 0=0' \
    'modifiers 1=0' 'virtual 1=0')
# Line ends and blank lines between sections are the profile writer's business.
actual=$(tr -d '\r' <"$APP_INI" | sed -e 's/[[:space:]]*=[[:space:]]*/=/' | grep -v '^[[:space:]]*$')
if [ "$actual" != "$expected" ]; then
    diff <(printf '%s\n' "$expected") <(printf '%s\n' "$actual")
    fail "inkslip.ini differs from the defaults in order"
fi

# No note was made, so no data files either.
[ -z "$(ls "$APP_DATA" 2>/dev/null)" ] || fail "data files written although no note was made"
