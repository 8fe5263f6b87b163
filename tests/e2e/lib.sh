# Shared by the end-to-end scenarios (sourced). Each scenario runs the real
# inkslip.exe under Wine on the test run's virtual display, from a private copy
# of the program's folder, and acts on it as a person would: xdotool for the
# mouse and keys, winprobe (a test-only console program in the same Wine
# prefix) to find windows and read pixels, ImageMagick for screenshots.
#
# Needs what scripts/run-tests.sh exports: DISPLAY, WINEPREFIX, INKSLIP_WINE,
# INKSLIP_BUILD_DIR (the tree holding inkslip.exe). CMake passes INKSLIP_EXE and
# WINPROBE_EXE. Every wait has a time limit; whatever a scenario started is
# stopped by its process id when the scenario ends, also on failure.

set -uo pipefail

E2E_NAME=$(basename "$0" .sh)
: "${INKSLIP_BUILD_DIR:?run through scripts/run-tests.sh}" "${INKSLIP_WINE:?run through scripts/run-tests.sh}" \
    "${WINEPREFIX:?run through scripts/run-tests.sh}" "${DISPLAY:?run through scripts/run-tests.sh}"
INKSLIP_EXE=${INKSLIP_EXE:-$INKSLIP_BUILD_DIR/inkslip.exe}
WINPROBE_EXE=${WINPROBE_EXE:-$INKSLIP_BUILD_DIR/tests/e2e/winprobe.exe}
E2E_ARTIFACTS=$INKSLIP_BUILD_DIR/e2e-artifacts
mkdir -p "$E2E_ARTIFACTS"
rm -f "$E2E_ARTIFACTS/$E2E_NAME"-*

# Private folders of this scenario: the program's folder lives in the throw-away
# prefix, so its INI file and data folder start empty every run.
E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/inkslip-e2e-$E2E_NAME.XXXXXX")
APP_DIR=$WINEPREFIX/drive_c/e2e/$E2E_NAME
rm -rf "$APP_DIR"
mkdir -p "$APP_DIR"
cp "$INKSLIP_EXE" "$APP_DIR/inkslip.exe"
APP_INI=$APP_DIR/inkslip.ini
APP_DATA=$APP_DIR/data

APP_PID=  # the Wine process of the running copy
APP_RUN=0 # counts starts; each has its own pid and exit-code files
E2E_FAILED=0

log() { printf '[%s %s] %s\n' "$(date +%T.%3N)" "$E2E_NAME" "$*"; }

# fail MESSAGE: ends the scenario (the EXIT trap cleans up). Called in a
# subshell, it has the main shell end too.
E2E_MAIN_PID=$$
fail() {
    log "FAIL: $*"
    E2E_FAILED=1
    [ "$BASHPID" != "$E2E_MAIN_PID" ] && kill -TERM "$E2E_MAIN_PID"
    exit 1
}

# alive PID: whether the process runs (a zombie does not).
alive() {
    local state=
    [ -r "/proc/$1/stat" ] || return 1
    read -r _ _ state _ <"/proc/$1/stat" 2>/dev/null || return 1
    [ "$state" != Z ]
}

# A descriptor nobody writes to: "read -t" on it is a sleep without a fork.
exec {PROBE_SLEEP_FD}<> <(:)
nap() { read -r -t "$1" -u "$PROBE_SLEEP_FD"; }

# probe_quiet ARGS...: runs a winprobe command (see winprobe.cpp), leaves its
# output lines in PROBE_OUTPUT (no subshell, for loops that poll) and returns
# its exit code. A winprobe server started once per scenario answers through
# files (a Wine start per question costs about half a second); without it, or
# when it does not answer, a fresh winprobe runs. Output always goes through a
# file, never a pipe: a Wine helper started on the way (the desktop process)
# would otherwise hold the pipe open and hang the caller.
PROBE_DIR=$E2E_TMP/probe
PROBE_SERVER_PID=
PROBE_OUTPUT=()
probe_quiet() {
    PROBE_OUTPUT=()
    if [ -n "$PROBE_SERVER_PID" ]; then
        # Unique also across the subshells of command substitutions.
        local sequence=$BASHPID-$EPOCHREALTIME
        printf '%s\n' "$sequence" "$@" . >"$PROBE_DIR/request"
        local deadline=$((SECONDS + 120)) lines=()
        while true; do
            if [ -e "$PROBE_DIR/answer.ready" ]; then
                mapfile -t lines <"$PROBE_DIR/answer.ready"
                [ "${lines[0]:-}" = "$sequence" ] && break
            fi
            if [ $SECONDS -ge $deadline ] || ! alive "$PROBE_SERVER_PID"; then
                log "the winprobe server stopped answering"
                PROBE_SERVER_PID=
                probe_quiet "$@"
                return
            fi
            nap 0.005
        done
        PROBE_OUTPUT=("${lines[@]:2}")
        return "${lines[1]}"
    fi
    "$INKSLIP_WINE" "$WINPROBE_EXE" "$@" >"$E2E_TMP/probe.out" 2>>"$E2E_TMP/probe.err" </dev/null
    local rc=$?
    mapfile -t PROBE_OUTPUT <"$E2E_TMP/probe.out"
    return $rc
}

# probe ARGS...: as probe_quiet, but prints the output lines.
probe() {
    probe_quiet "$@"
    local rc=$?
    [ ${#PROBE_OUTPUT[@]} -gt 0 ] && printf '%s\n' "${PROBE_OUTPUT[@]}"
    return $rc
}

start_probe_server() {
    mkdir -p "$PROBE_DIR"
    "$INKSLIP_WINE" "$WINPROBE_EXE" serve "Z:${PROBE_DIR//\//\\}" >"$E2E_TMP/probe-server.log" 2>&1 \
        </dev/null {PROBE_SLEEP_FD}<&- &
    PROBE_SERVER_PID=$!
    [ -n "$(probe screen)" ] || { log "no winprobe server; a winprobe per question" && stop_probe_server; }
}

stop_probe_server() {
    local pid=$PROBE_SERVER_PID
    [ -n "$pid" ] || return 0
    PROBE_SERVER_PID=
    printf '%s\n' 0 quit . >"$PROBE_DIR/request"
    wait_until 5 not alive "$pid"
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}

# wait_until SECONDS COMMAND...: runs COMMAND until it succeeds; 1 on timeout.
wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    while true; do
        "$@" >/dev/null 2>&1 && return 0
        [ $SECONDS -ge $deadline ] && return 1
        nap 0.1
    done
}

not() { ! "$@"; }

# wait_output SECONDS EXPECTED COMMAND...: until COMMAND prints EXPECTED.
output_is() { [ "$("${@:2}")" = "$1" ]; }
wait_output() { wait_until "$1" output_is "${@:2}"; }

# --- windows and pixels ----------------------------------------------------------

# wait_window CLASS TITLE SECONDS [--visible] [--gone]: until a top-level window
# matches (with --gone: until none does); the matches are left in PROBE_OUTPUT.
wait_window() { probe_quiet list "$1" "$2" "$(($3 * 1000))" "${@:4}"; }
wait_dialog() { wait_window '#32770' "$1" "$2" --visible; }

# first_rect: "left top right bottom" of the first window in PROBE_OUTPUT.
first_rect() {
    local fields
    IFS=$'\t' read -ra fields <<<"${PROBE_OUTPUT[0]:-}"
    [ ${#fields[@]} -ge 7 ] && echo "${fields[@]:3:4}"
}

# window_rect CLASS [TITLE] [--visible]: of the first match; 1 if none.
window_rect() { probe_quiet list "$@" && first_rect; }
dialog_rect() { window_rect '#32770' "$1" --visible; }
window_count() { probe_quiet list "$@"; echo ${#PROBE_OUTPUT[@]}; }
# window_size CLASS: "width height" of the first match.
window_size() {
    local l t r b
    read -r l t r b < <(window_rect "$1") && echo "$((r - l)) $((b - t))"
}

# note_count: the visible notes (classes Inkslip0, Inkslip1, ...).
note_count() { probe list 'Inkslip*' - --visible | grep -cE $'\tInkslip[0-9]+\t'; }
wait_note_count() { wait_output "$2" "$1" note_count; }

# pixels X Y W H [COLOURS]: reads a rectangle of the screen into PIXEL (its
# first pixel, rrggbb), CHECKSUM, MATCHES (its pixels of those colours,
# rrggbb[,rrggbb...]) and BBOX (their "left top right bottom"); 1 if none match.
pixels() {
    probe_quiet pixels "$@"
    local rc=$?
    read -r PIXEL CHECKSUM MATCHES BBOX <<<"${PROBE_OUTPUT[0]:-}"
    return $rc
}
pixel() { pixels "$1" "$2" 1 1 && echo "$PIXEL"; }
count_color() { pixels "$@"; echo "$MATCHES"; }
bbox_color() { pixels "$@" && echo "$BBOX"; }

# --- the program ---------------------------------------------------------------

# start_app: starts a copy from APP_DIR in the background; sets APP_PID.
start_app() {
    APP_RUN=$((APP_RUN + 1))
    local run=$E2E_TMP/run$APP_RUN
    # A subshell is the parent that reaps the program and keeps its exit code;
    # the program's own pid is kept for killing.
    (
        cd "$APP_DIR" || exit 1
        "$INKSLIP_WINE" "$APP_DIR/inkslip.exe" >"$run.log" 2>&1 </dev/null {PROBE_SLEEP_FD}<&- &
        echo $! >"$run.pid"
        wait $!
        echo $? >"$run.rc"
    ) 2>>"$run.shell.err" &
    wait_until 10 test -s "$run.pid" || fail "could not start the program"
    APP_PID=$(cat "$run.pid")
    log "started inkslip.exe (run $APP_RUN, pid $APP_PID)"
}

# app_running [RUN]: whether a started copy (default: the last) still runs.
app_running() { [ ! -e "$E2E_TMP/run${1:-$APP_RUN}.rc" ]; }

# start_app_ready: starts a copy and waits for its main window and for the end
# of its start-up, of which the tool palette's creation is a late step; it is
# shown a moment after its creation (no scenario hides it).
start_app_ready() {
    start_app
    wait_window Inkslip - 30 || fail "no \"Inkslip\" main window within 30 s"
    wait_window '#32770' "$PALETTE_TITLE" 10 || log "no tool palette window"
    wait_dialog "$PALETTE_TITLE" 5 || log "the palette is not shown"
}

# expect_exit CODE SECONDS [RUN]: the copy (default: the last started) must end
# within the time with that code.
expect_exit() {
    local run=${3:-$APP_RUN} rc
    wait_until "$2" test -s "$E2E_TMP/run$run.rc" || fail "the program did not exit within $2 s"
    rc=$(cat "$E2E_TMP/run$run.rc")
    [ "$run" = "$APP_RUN" ] && APP_PID=
    [ "$rc" = "$1" ] || fail "exit code $rc, expected $1"
    log "run $run exited with code $rc"
}

# exit_app_by_command [RUN]: posts the exit command 40001 and waits for exit code 0.
exit_app_by_command() {
    probe post-command Inkslip 40001 >/dev/null || fail "cannot post the exit command"
    expect_exit 0 20 "${1:-$APP_RUN}"
}

# kill_app: kills the running copy by its pid (as a crash or the task manager
# would) and waits for it to be gone.
kill_app() {
    if [ -n "$APP_PID" ] && app_running; then
        log "killing pid $APP_PID"
        kill -9 "$APP_PID" 2>/dev/null
        wait_until 20 test -s "$E2E_TMP/run$APP_RUN.rc" || log "pid $APP_PID did not go away"
    fi
    APP_PID=
    # Let the server finish tearing the process down before the next start.
    wait_window Inkslip - 10 --gone
}

# --- mouse and keys --------------------------------------------------------------

# drag X1 Y1 X2 Y2 [STEPS]: a real drag, moves about 50 ms apart (faster moves
# are merged by the X server).
drag() {
    local x1=$1 y1=$2 x2=$3 y2=$4 steps=${5:-10} i
    xdotool mousemove "$x1" "$y1"
    nap 0.05
    xdotool mousedown 1
    for ((i = 1; i <= steps; i++)); do
        nap 0.05
        xdotool mousemove $((x1 + (x2 - x1) * i / steps)) $((y1 + (y2 - y1) * i / steps))
    done
    nap 0.05
    xdotool mouseup 1
}

# click X Y [BUTTON [CLICK-OPTIONS...]]
click() {
    xdotool mousemove "$1" "$2"
    nap 0.05
    xdotool click "${@:4}" "${3:-1}"
}

# focus_at X Y: gives the X focus to the Wine window under the point, so that
# keys and hot keys reach the program.
focus_at() {
    xdotool mousemove "$1" "$2"
    nap 0.05
    local WINDOW=
    eval "$(xdotool getmouselocation --shell)"
    [ -n "$WINDOW" ] || return 1
    timeout 5 xdotool windowfocus --sync "$WINDOW"
}

# --- dialogs -------------------------------------------------------------------------

# control TITLE ID: sets CONTROL to the fields of that control of a visible
# dialog (id visible checked left top right bottom class text); 1 if none.
CONTROL=()
control() {
    probe_quiet controls "$1" || return 1
    local line
    for line in "${PROBE_OUTPUT[@]}"; do
        IFS=$'\t' read -ra CONTROL <<<"$line"
        [ "${CONTROL[0]}" = "$2" ] && return 0
    done
    return 1
}
control_text() { control "$1" "$2" && echo "${CONTROL[8]:-}"; }
is_checked() { control "$1" "$2" && echo "${CONTROL[2]}"; }

# click_control TITLE ID: a real click in the middle of a dialog's visible control.
click_control() {
    control "$1" "$2" && [ "${CONTROL[1]}" = 1 ] || fail "no control $2 in \"$1\""
    click $(((CONTROL[3] + CONTROL[5]) / 2)) $(((CONTROL[4] + CONTROL[6]) / 2))
}

# close_dialog TITLE ID: clicks that button of the dialog; it must close.
close_dialog() {
    click_control "$1" "$2"
    wait_window '#32770' "$1" 5 --visible --gone || fail "\"$1\" did not close after a click on control $2"
}

# drag_dialog TITLE X Y: drags a dialog by its caption so that its top-left
# corner lands at (X, Y).
drag_dialog() {
    local l t r b
    read -r l t r b < <(dialog_rect "$1") || fail "no dialog \"$1\" to move"
    drag $((l + 40)) $((t + 8)) $(($2 + 40)) $(($3 + 8)) 8
    wait_output 5 "$2 $3 $(($2 + r - l)) $(($3 + b - t))" dialog_rect "$1" ||
        fail "\"$1\" did not move to ($2, $3): $(dialog_rect "$1")"
}

# --- the tray icon and menus ---------------------------------------------------------
# With no tray on the virtual display, Wine shows its own tray window (class
# __winex11_standalone_tray, at the top left); the first icon sits 12 px from
# its left edge and 31 px from its top (5..20, 24..39 when it is at 0, 0).

TRAY_CLASS=__winex11_standalone_tray
MENU_CLASS='#32768'
PALETTE_TITLE=ツール
SIZE_DIALOG_TITLE=サイズ設定

# tray_icon_point: sets TRAY_X, TRAY_Y to the first icon; waits up to 20 s for
# the tray. Wine's tray window opens at the top left of the screen, where our
# dialogs open too, and which of them is above changes as they are shown: it is
# moved once to the bottom right corner, where nothing of ours goes.
TRAY_X=
TRAY_Y=
tray_icon_point() {
    wait_window "$TRAY_CLASS" - 20 --visible || fail "no tray icon shown"
    local left top right bottom screen_w screen_h
    read -r left top right bottom < <(first_rect) || fail "no tray icon shown"
    read -r screen_w screen_h < <(probe screen)
    if [ "$right" != "$screen_w" ] || [ "$bottom" != "$screen_h" ]; then
        probe move "$TRAY_CLASS" $((screen_w - right + left)) $((screen_h - bottom + top)) >/dev/null
        wait_output 5 "$((screen_w - right + left)) $((screen_h - bottom + top)) $screen_w $screen_h" \
            window_rect "$TRAY_CLASS" - --visible || fail "Wine's tray window did not move"
        read -r left top right bottom < <(window_rect "$TRAY_CLASS" - --visible)
    fi
    TRAY_X=$((left + 12))
    TRAY_Y=$((top + 31))
}

# tray_new_note: a double click on the tray icon, then, when the size dialog
# comes up, a click on its OK button; waits for the new note to be shown.
tray_new_note() {
    local before deadline=$((SECONDS + 15))
    before=$(note_count)
    tray_icon_point
    click "$TRAY_X" "$TRAY_Y" 1 --repeat 2 --delay 80
    while [ $SECONDS -lt $deadline ]; do
        [ "$(note_count)" -gt "$before" ] && return 0
        wait_dialog "$SIZE_DIALOG_TITLE" 0 && close_dialog "$SIZE_DIALOG_TITLE" 1
        nap 0.1
    done
    fail "no new note after a double click on the tray icon"
}

# wait_menu SECONDS: until a popup menu is open; prints its rect.
wait_menu() { wait_window "$MENU_CLASS" - "$1" --visible && first_rect; }

# menu_hover Y X LEFT TOP BOTTOM [TRIES]: moves the pointer onto the menu at
# that height and waits a moment (TRIES x 30 ms, default 6) for a highlighted
# item under it, read in a column just inside the menu's left edge. Sets
# MENU_BAND to its "y1 y2"; fails when nothing there is highlighted (a
# separator, say). Polls without subshells: this runs many times per choice.
MENU_BAND=
MENU_HIGHLIGHT=
menu_hover() {
    local y=$1 x=$2 left=$3 top=$4 bottom=$5 tries=${6:-6} bx1 by1 bx2 by2
    # The colours a highlighted menu item may have.
    [ -n "$MENU_HIGHLIGHT" ] || MENU_HIGHLIGHT=$(probe sys-color 13),$(probe sys-color 29)
    xdotool mousemove "$x" "$y" mousemove $((x + 1)) "$y"
    while [ "$tries" -gt 0 ]; do
        nap 0.03
        if pixels $((left + 4)) "$top" 1 $((bottom - top)) "$MENU_HIGHLIGHT"; then
            read -r bx1 by1 bx2 by2 <<<"$BBOX"
            if [ "$by1" -le "$y" ] && [ "$y" -le "$by2" ]; then
                MENU_BAND="$by1 $by2"
                return 0
            fi
        fi
        tries=$((tries - 1))
    done
    return 1
}

# menu_choose N: clicks an item of the open popup menu. N >= 0 counts items
# from the top (0 is the first), N < 0 from the bottom (-1 is the last);
# separators are not counted. Item heights are not assumed: the pointer walks
# from item to item, each found by its highlight, so the click lands on the
# item the menu itself tracks.
menu_choose() {
    local n=$1 left top right bottom
    read -r left top right bottom < <(wait_menu 10) || fail "no popup menu opened"
    local x=$(((left + right) / 2)) y=$((top + 8)) direction=1 steps=$n b1 b2
    [ "$n" -lt 0 ] && y=$((bottom - 9)) direction=-1 steps=$((-n - 1))
    menu_hover "$y" "$x" "$left" "$top" "$bottom" 100 || fail "the menu does not highlight the item at y $y"
    read -r b1 b2 <<<"$MENU_BAND"
    while [ "$steps" -gt 0 ]; do
        if [ $direction -gt 0 ]; then y=$((b2 + 2)); else y=$((b1 - 2)); fi
        # Over a separator nothing is highlighted: go on until the next item.
        until menu_hover "$y" "$x" "$left" "$top" "$bottom"; do
            y=$((y + 3 * direction))
            [ "$y" -gt "$top" ] && [ "$y" -lt "$bottom" ] || fail "ran off the menu looking for item $n"
        done
        read -r b1 b2 <<<"$MENU_BAND"
        steps=$((steps - 1))
    done
    xdotool mousemove "$x" $(((b1 + b2) / 2)) click 1
    wait_window "$MENU_CLASS" - 5 --visible --gone || log "the menu stayed open"
}

# tray_choose N: an item of the tray menu (as menu_choose).
tray_choose() {
    tray_icon_point
    click "$TRAY_X" "$TRAY_Y" 3
    menu_choose "$1"
}

# tray_exit: exit from the tray menu (its last item, "終了"), with code 0.
tray_exit() {
    tray_choose -1
    expect_exit 0 20
}

# --- screenshots -------------------------------------------------------------------

# wait_still SECONDS: until the screen looks the same twice 200 ms apart, so
# that a screenshot catches windows fully painted.
wait_still() {
    local previous= deadline=$((SECONDS + $1))
    while [ $SECONDS -lt $deadline ]; do
        pixels 0 0 1024 768
        [ -n "$CHECKSUM" ] && [ "$CHECKSUM" = "$previous" ] && return 0
        previous=$CHECKSUM
        nap 0.2
    done
    return 1
}

# screenshot LABEL [TITLE]: the whole virtual screen into
# e2e-artifacts/<scenario>-LABEL.png; with a dialog's TITLE, also that dialog
# alone, cut out by its rectangle, as ...-LABEL-window.png.
screenshot() {
    wait_still 3 || log "the screen kept changing; taking the screenshot anyway"
    local file=$E2E_ARTIFACTS/$E2E_NAME-$1.png l t r b
    import -window root "$file" 2>/dev/null || log "screenshot $1 failed"
    log "screenshot $file"
    [ $# -gt 1 ] && read -r l t r b < <(dialog_rect "$2") || return 0
    convert "$file" -crop "$((r - l))x$((b - t))+$l+$t" +repage "${file%.png}-window.png" 2>/dev/null
}

# shot_pixel FILE X Y: a pixel of a screenshot as rrggbb.
shot_pixel() {
    convert "$1" -format "%[hex:p{$2,$3}]" info:- 2>/dev/null | tr 'A-F' 'a-f' | cut -c1-6
}

# --- the hot-key scenarios ---------------------------------------------------------
# Their opening: Ctrl+Alt+N (new note) and Ctrl+Alt+H (hide all) and no size
# question for hot-key notes in the INI file, the pen colour PEN; the palette
# shows that colour and is moved off Wine's tray; a first note made by
# Ctrl+Alt+N has the default size. Leaves its rectangle in l t r b.
PEN=2080c0

# palette_rgb: the palette's R, G, B fields.
palette_rgb() {
    probe controls "$PALETTE_TITLE" | awk -F'\t' '{ text[$1] = $9 } END { print text[1012], text[1013], text[1014] }'
}

# hotkey KEYS: the keys pressed while a window of the program has the X focus
# (keys reach Wine only then); the palette's caption serves.
hotkey() {
    local l t r b
    read -r l t r b < <(dialog_rect "$PALETTE_TITLE") || fail "no palette to focus"
    focus_at $((l + 30)) $((t + 8)) || fail "cannot focus the palette"
    xdotool key "$1"
}

start_with_hotkeys_and_first_note() {
    printf '%s\r\n' '[tool]' "PenColor=ff$PEN" '[paper]' 'IsNoSizing=1' '[hotkey]' 'IsUseHotkey=1' \
        'modifiers 0=3' 'virtual 0=78' 'modifiers 1=3' 'virtual 1=72' >"$APP_INI"
    start_app_ready
    wait_dialog "$PALETTE_TITLE" 10 || fail "no tool palette"
    [ "$(palette_rgb)" = "32 128 192" ] || fail "the palette shows $(palette_rgb), not the INI pen colour"
    # Moved by its caption as a person would, clear of Wine's tray window.
    drag_dialog "$PALETTE_TITLE" 700 300
    screenshot palette "$PALETTE_TITLE"

    hotkey ctrl+alt+n
    wait_note_count 1 10 || fail "Ctrl+Alt+N made no note"
    wait_dialog "$SIZE_DIALOG_TITLE" 0 && fail "the size dialog came up although IsNoSizing is 1"
    read -r l t r b < <(window_rect Inkslip0)
    [ $((r - l)) = 202 ] && [ $((b - t)) = 223 ] || fail "the hot-key note is $((r - l))x$((b - t))"
}

# ini_has LINE...: the program's INI file holds each of those lines.
ini_has() {
    local line
    for line in "$@"; do grep -qx "$line" < <(tr -d '\r' <"$APP_INI") || fail "inkslip.ini lacks $line"; done
}

# --- clean-up ------------------------------------------------------------------------

e2e_cleanup() {
    local status=$? run pid
    # Only the scenario's own shell cleans up, not its subshells.
    [ "$BASHPID" = "$E2E_MAIN_PID" ] || exit $status
    [ $status -ne 0 ] && E2E_FAILED=1
    xdotool mouseup 1 mouseup 3 2>/dev/null
    if [ $E2E_FAILED -ne 0 ]; then
        screenshot failure
        probe list >"$E2E_ARTIFACTS/$E2E_NAME-windows.txt" 2>/dev/null
        [ -f "$APP_INI" ] && cp "$APP_INI" "$E2E_ARTIFACTS/$E2E_NAME-inkslip.ini"
        cat "$E2E_TMP"/run*.log 2>/dev/null | tail -n 50
    fi
    # Every copy this scenario started and that still runs, by its own pid.
    for ((run = 1; run <= APP_RUN; run++)); do
        [ -s "$E2E_TMP/run$run.pid" ] && app_running $run || continue
        pid=$(cat "$E2E_TMP/run$run.pid")
        log "killing leftover pid $pid"
        kill -9 "$pid" 2>/dev/null
        wait_until 20 test -s "$E2E_TMP/run$run.rc"
    done
    stop_probe_server
    rm -rf "$E2E_TMP"
    [ $E2E_FAILED -eq 0 ] && log "PASS"
    exit $status
}
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM

# A desktop-blue root window, so that a note's black outline stands out from the
# screen around it in pixels and screenshots.
convert -size 8x8 xc:'#3a6ea5' "$E2E_TMP/root.png" 2>/dev/null &&
    timeout 10 display -window root "$E2E_TMP/root.png" >/dev/null 2>&1

# Warm Wine up with the output in a file (see probe_quiet) before any pipe is used.
"$INKSLIP_WINE" "$WINPROBE_EXE" screen >"$E2E_TMP/warmup.out" 2>&1 </dev/null || fail "winprobe does not run"
start_probe_server
# The desktop's colour as it now shows, read where no window of ours goes.
DESKTOP_COLOR=$(pixel 1023 767)
