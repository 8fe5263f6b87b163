# Sourced by the end-to-end scenarios: the real inkslip.exe from a private
# folder, driven as a person would (xdotool, winprobe, ImageMagick). Every wait
# has a time limit; all a scenario started is stopped when it ends.
set -uo pipefail

E2E_NAME=$(basename "$0" .sh)
: "${INKSLIP_BUILD_DIR:?run through scripts/run-tests.sh}" "${INKSLIP_WINE:?}" "${WINEPREFIX:?}" "${DISPLAY:?}"
INKSLIP_EXE=$INKSLIP_BUILD_DIR/inkslip.exe
WINPROBE_EXE=$INKSLIP_BUILD_DIR/tests/e2e/winprobe.exe
E2E_ARTIFACTS=$INKSLIP_BUILD_DIR/e2e-artifacts
mkdir -p "$E2E_ARTIFACTS"
rm -f "$E2E_ARTIFACTS/$E2E_NAME"-*
E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/inkslip-e2e-$E2E_NAME.XXXXXX")
E2E_MAIN_PID=$$
# The program's folder lives in the throw-away prefix, so its INI file and data
# folder start empty every run.
APP_DIR=$WINEPREFIX/drive_c/e2e/$E2E_NAME
rm -rf "$APP_DIR"
mkdir -p "$APP_DIR"
cp "$INKSLIP_EXE" "$APP_DIR/inkslip.exe"
APP_INI=$APP_DIR/inkslip.ini
APP_DATA=$APP_DIR/data
APP_PIDS=() # every copy started, the last is APP_PID; each logs to E2E_TMP/PID.log
PALETTE_TITLE=ツール
SIZE_DIALOG_TITLE=サイズ設定

log() { printf '[%s %s] %s\n' "$(date +%T.%3N)" "$E2E_NAME" "$*"; }
# fail MESSAGE: ends the scenario (the EXIT trap cleans up), also from a subshell.
fail() {
    log "FAIL: $*"
    [ "$BASHPID" != "$E2E_MAIN_PID" ] && kill -TERM "$E2E_MAIN_PID"
    exit 1
}
# A descriptor nobody writes to: "read -t" on it is a sleep without a fork.
exec {NAP_FD}<> <(:)
nap() { read -r -t "$1" -u "$NAP_FD"; }
# wait_until SECONDS COMMAND...: runs COMMAND until it succeeds; 1 on timeout.
wait_until() {
    local deadline=$((SECONDS + $1))
    until "${@:2}" >/dev/null 2>&1; do
        [ $SECONDS -lt $deadline ] || return 1
        nap 0.1
    done
    return 0
}
not() { ! "$@"; }
# wait_output SECONDS EXPECTED COMMAND...: until COMMAND prints EXPECTED.
output_is() { [ "$("${@:2}")" = "$1" ]; }
wait_output() { wait_until "$1" output_is "${@:2}"; }

# probe ARGS...: a winprobe command (see winprobe.cpp), answered by the one
# winprobe of the scenario; leaves the output lines in PROBE_OUTPUT (no
# subshell, for loops that poll) and returns the command's exit code.
coproc PROBE { exec "$INKSLIP_WINE" "$WINPROBE_EXE" 2>>"$E2E_TMP/winprobe.err" {NAP_FD}<&-; }
probe() {
    local line
    PROBE_OUTPUT=()
    [ -n "${PROBE_PID:-}" ] && printf '%s\n' "$@" . >&"${PROBE[1]}" || fail "winprobe is gone"
    while IFS= read -r -t 60 line <&"${PROBE[0]}"; do
        [[ $line == =* ]] && return "${line#=}"
        PROBE_OUTPUT+=("$line")
    done
    fail "winprobe stopped answering"
}

# --- windows ----------------------------------------------------------------------
# wait_window CLASS TITLE SECONDS [--visible] [--gone]: until a top-level window
# matches (with --gone: until none does); the matches are left in PROBE_OUTPUT.
wait_window() { probe list "$1" "$2" "$(($3 * 1000))" "${@:4}"; }
wait_dialog() { wait_window '#32770' "$1" "$2" --visible; }
# first_rect: "left top right bottom" of the first window in PROBE_OUTPUT.
first_rect() {
    local visible l t r b rest
    read -r visible l t r b rest <<<"${PROBE_OUTPUT[0]:-}" && [ -n "$b" ] && echo "$l $t $r $b"
}
# window_rect CLASS [TITLE] [--visible]: of the first match; 1 if none.
window_rect() { probe list "$@" && first_rect; }
window_count() { probe list "$@"; echo ${#PROBE_OUTPUT[@]}; }
# window_size CLASS: "width height" of the first match.
window_size() {
    local l t r b
    read -r l t r b < <(window_rect "$1") && echo "$((r - l)) $((b - t))"
}
# note_count: the visible notes (classes Inkslip0, Inkslip1, ...).
note_count() {
    probe list - - --visible
    printf '%s\n' "${PROBE_OUTPUT[@]}" | grep -cE $'\tInkslip[0-9]+\t'
}

# screen_sum X Y W H: a checksum of the pixels of that rectangle of the screen.
screen_sum() { probe pixels "$@" && echo "${PROBE_OUTPUT[0]}"; }

# --- the program ------------------------------------------------------------------
# start_app: starts a copy from APP_DIR in the background; sets APP_PID.
start_app() {
    (cd "$APP_DIR" && exec "$INKSLIP_WINE" inkslip.exe >"$E2E_TMP/$BASHPID.log" 2>&1 </dev/null {NAP_FD}<&-) &
    APP_PID=$!
    APP_PIDS+=("$APP_PID")
    log "started inkslip.exe (pid $APP_PID)"
}
# start_app_ready: starts a copy and waits for its main window and for the tool
# palette, which is shown at the end of the start-up.
start_app_ready() {
    start_app
    wait_window Inkslip - 30 || fail "no \"Inkslip\" main window within 30 s"
    wait_dialog "$PALETTE_TITLE" 10 || fail "no tool palette shown"
}
# expect_exit CODE SECONDS: the last copy started must end within the time
# with that code (the shell keeps the code of a child it has reaped).
expect_exit() {
    wait_until "$2" not kill -0 "$APP_PID" || fail "the program did not exit within $2 s"
    wait "$APP_PID"
    local code=$?
    [ "$code" = "$1" ] || fail "exit code $code, expected $1"
    log "pid $APP_PID exited with code $code"
}

# --- mouse, keys, dialogs, menus and the tray ------------------------------------
# drag X1 Y1 X2 Y2 [STEPS]: a real drag, moves about 50 ms apart (faster moves
# are merged by the X server).
drag() {
    local x1=$1 y1=$2 x2=$3 y2=$4 steps=${5:-10} i moves=()
    for ((i = 1; i <= steps; i++)); do
        moves+=(sleep 0.05 mousemove $((x1 + (x2 - x1) * i / steps)) $((y1 + (y2 - y1) * i / steps)))
    done
    xdotool mousemove "$x1" "$y1" sleep 0.05 mousedown 1 "${moves[@]}" sleep 0.05 mouseup 1
}
# click X Y [BUTTON [CLICK-OPTIONS...]]
click() { xdotool mousemove "$1" "$2" sleep 0.05 click "${@:4}" "${3:-1}"; }
# focus_at X Y: gives the X focus to the Wine window under the point: keys
# reach the program only then.
focus_at() {
    local WINDOW=
    eval "$(xdotool mousemove "$1" "$2" sleep 0.05 getmouselocation --shell)"
    [ -n "$WINDOW" ] && timeout 5 xdotool windowfocus --sync "$WINDOW"
}

# close_dialog TITLE [KEY...]: focuses the topmost dialog of that title by its
# caption, types the keys (xdotool names) and Enter; the dialog must close.
close_dialog() {
    local l t r b count
    wait_dialog "$1" 10 || fail "no dialog \"$1\" to close"
    count=${#PROBE_OUTPUT[@]}
    read -r l t r b < <(first_rect)
    click $((l + 40)) $((t + 8))
    focus_at $((l + 40)) $((t + 8)) || fail "cannot focus \"$1\""
    xdotool key "${@:2}" Return
    wait_output 5 $((count - 1)) window_count '#32770' "$1" --visible || fail "\"$1\" did not close on Enter"
}

# menu_choose N [tray]: item N of the open popup menu by keys from its first
# item: Down N times, or Up -N times (-1 is the last), then Enter. Keys reach a
# note's menu through the focused note, the tray menu's through the menu.
menu_choose() {
    local left top right bottom keys=() i
    wait_window '#32768' - 10 --visible || fail "no popup menu opened"
    read -r left top right bottom < <(first_rect)
    if [ "${2:-}" = tray ]; then
        focus_at $((left + 30)) $((top + 8)) || fail "cannot focus the menu"
    else
        xdotool mousemove $((left + 30)) $((top + 8)) sleep 0.05
    fi
    for ((i = 0; i < ${1#-}; i++)); do
        if [ "$1" -gt 0 ]; then keys+=(Down); else keys+=(Up); fi
    done
    xdotool key "${keys[@]}" Return
    wait_window '#32768' - 5 --visible --gone || fail "the menu stayed open"
}
# note_menu X Y N: the item N (as menu_choose) of the menu of the note at X Y.
note_menu() {
    focus_at "$1" "$2" || fail "cannot focus the note at $1 $2"
    click "$1" "$2" 3
    menu_choose "$3"
}

# tray_icon_point: sets TRAY_X, TRAY_Y to the tray icon (12, 31 inside Wine's
# tray window), the window moved first from the top left, where dialogs open.
tray_icon_point() {
    local l t r b width height
    wait_window __winex11_standalone_tray - 20 --visible || fail "no tray icon shown"
    read -r l t r b < <(first_rect)
    read -r width height < <(xdotool getdisplaygeometry)
    TRAY_X=$((width - r + l + 12))
    TRAY_Y=$((height - b + t + 31))
    [ "$r $b" = "$width $height" ] && return
    probe move __winex11_standalone_tray $((TRAY_X - 12)) $((TRAY_Y - 31))
    wait_output 5 "$((TRAY_X - 12)) $((TRAY_Y - 31)) $width $height" \
        window_rect __winex11_standalone_tray - --visible || fail "Wine's tray window did not move"
}
# tray_choose N: an item of the tray menu (as menu_choose).
tray_choose() {
    tray_icon_point
    click "$TRAY_X" "$TRAY_Y" 3
    menu_choose "$1" tray
}
# tray_exit: "終了", the tray menu's last item, ends the program with code 0.
tray_exit() {
    tray_choose -1
    expect_exit 0 20
}

# --- screenshots and clean-up -----------------------------------------------------
# screenshot LABEL: once the screen looks the same twice 200 ms apart (windows
# fully painted), the whole screen into e2e-artifacts/<scenario>-LABEL.png.
screen_still() {
    local first
    first=$(screen_sum 0 0 1024 768)
    nap 0.2
    [ "$(screen_sum 0 0 1024 768)" = "$first" ]
}
screenshot() {
    wait_until 3 screen_still
    import -window root "$E2E_ARTIFACTS/$E2E_NAME-$1.png" || log "screenshot $1 failed"
}

e2e_cleanup() {
    local status=$? pid
    # Only the scenario's own shell cleans up, not its subshells.
    [ "$BASHPID" = "$E2E_MAIN_PID" ] || exit $status
    xdotool mouseup 1 mouseup 3 2>/dev/null
    [ $status -ne 0 ] && tail -n 50 "$E2E_TMP"/*.log
    if [ $status -ne 0 ] && [ -n "${PROBE_PID:-}" ]; then
        screenshot failure
        probe list && printf '%s\n' "${PROBE_OUTPUT[@]}" >"$E2E_ARTIFACTS/$E2E_NAME-windows.txt"
    fi
    for pid in "${APP_PIDS[@]}"; do
        kill -0 "$pid" 2>/dev/null || continue
        log "killing leftover pid $pid"
        kill -9 "$pid"
        wait_until 20 not kill -0 "$pid" && wait "$pid" 2>/dev/null
    done
    # The end of its input ends winprobe (unless make run's prefix ended it).
    if [ -n "${PROBE_PID:-}" ]; then
        pid=$PROBE_PID
        exec {PROBE[1]}>&-
        wait_until 5 not kill -0 "$pid" || kill -9 "$pid"
    fi
    rm -rf "$E2E_TMP"
    [ $status -eq 0 ] && log "PASS"
    exit $status
}
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM

# A desktop-blue root window: the notes' black outlines stand out in screenshots.
convert -size 8x8 xc:'#3a6ea5' "$E2E_TMP/root.png" && timeout 10 display -window root "$E2E_TMP/root.png"
