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
: "${INKSLIP_BUILD_DIR:?run through scripts/run-tests.sh}"
: "${INKSLIP_WINE:?run through scripts/run-tests.sh}"
: "${WINEPREFIX:?run through scripts/run-tests.sh}"
: "${DISPLAY:?run through scripts/run-tests.sh}"
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

APP_PID=       # the Wine process of the running copy
APP_RUN=0      # counts starts; each has its own pid and exit-code files
APP_RC=        # exit code of the last copy waited for
E2E_FAILED=0

log() { printf '[%s %s] %s\n' "$(date +%T.%3N)" "$E2E_NAME" "$*"; }

# fail MESSAGE: ends the scenario (the EXIT trap cleans up). Called in a
# subshell, it has the main shell end too.
E2E_MAIN_PID=$$
fail() {
    log "FAIL: $*"
    E2E_FAILED=1
    if [ "$BASHPID" != "$E2E_MAIN_PID" ]; then
        kill -TERM "$E2E_MAIN_PID"
    fi
    exit 1
}

# alive PID: whether the process runs (a zombie does not).
alive() {
    local state=
    [ -r "/proc/$1/stat" ] || return 1
    read -r _ _ state _ <"/proc/$1/stat" 2>/dev/null || return 1
    [ "$state" != Z ]
}

# probe ARGS...: runs a winprobe command; prints its output, returns its exit
# code. A winprobe server started once per scenario answers through files (a
# Wine start per question costs about half a second); without it, or when it
# does not answer, a fresh winprobe runs. Output always goes through a file,
# never a pipe: a Wine helper started on the way (the desktop process) would
# otherwise hold the pipe open and hang the caller.
PROBE_DIR=$E2E_TMP/probe
PROBE_SERVER_PID=
# A descriptor nobody writes to: "read -t" on it is a sleep without a fork.
exec {PROBE_SLEEP_FD}<> <(:)
nap() { read -r -t "$1" -u "$PROBE_SLEEP_FD"; }

# probe_quiet ARGS...: as probe, but leaves the output lines in PROBE_OUTPUT
# instead of printing them (no subshell, for loops that poll).
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
    local out=$E2E_TMP/probe.out
    "$INKSLIP_WINE" "$WINPROBE_EXE" "$@" >"$out" 2>>"$E2E_TMP/probe.err" </dev/null
    local rc=$?
    mapfile -t PROBE_OUTPUT <"$out"
    return $rc
}

probe() {
    probe_quiet "$@"
    local rc=$?
    [ ${#PROBE_OUTPUT[@]} -gt 0 ] && printf '%s\n' "${PROBE_OUTPUT[@]}"
    return $rc
}

start_probe_server() {
    mkdir -p "$PROBE_DIR"
    local windows_dir="Z:${PROBE_DIR//\//\\}"
    "$INKSLIP_WINE" "$WINPROBE_EXE" serve "$windows_dir" >"$E2E_TMP/probe-server.log" 2>&1 </dev/null \
        {PROBE_SLEEP_FD}<&- &
    PROBE_SERVER_PID=$!
    if [ "$(probe screen)" = "" ]; then
        log "no winprobe server; starting winprobe per question"
        stop_probe_server
    fi
}

stop_probe_server() {
    local pid=$PROBE_SERVER_PID
    [ -n "$pid" ] || return 0
    PROBE_SERVER_PID=
    printf '%s\n' 0 quit . >"$PROBE_DIR/request"
    local waited=0
    while alive "$pid" && [ $waited -lt 50 ]; do
        nap 0.1
        waited=$((waited + 1))
    done
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}

# wait_until SECONDS COMMAND...: runs COMMAND until it succeeds; 1 on timeout.
wait_until() {
    local limit=$1
    shift
    local deadline=$((SECONDS + limit))
    while true; do
        "$@" >/dev/null 2>&1 && return 0
        [ $SECONDS -ge $deadline ] && return 1
        nap 0.1
    done
}

# ini_value SECTION KEY: the value in the program's INI file, if any.
ini_value() {
    [ -f "$APP_INI" ] || return 0
    tr -d '\r' <"$APP_INI" | awk -v section="[$1]" -v key="$2" '
        /^\[/ { inside = ($0 == section); next }
        inside && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }'
}

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
    local waited=0
    while [ ! -s "$run.pid" ]; do
        nap 0.05
        waited=$((waited + 1))
        [ $waited -gt 200 ] && fail "could not start the program"
    done
    APP_PID=$(cat "$run.pid")
    log "started inkslip.exe (run $APP_RUN, pid $APP_PID)"
}

# app_running: whether the last started copy still runs.
app_running() { [ -n "$APP_PID" ] && [ ! -e "$E2E_TMP/run$APP_RUN.rc" ]; }

# wait_app_exit SECONDS [RUN]: waits for a started copy (default: the last) to
# end; sets APP_RC.
wait_app_exit() {
    local run=${2:-$APP_RUN}
    local rc_file=$E2E_TMP/run$run.rc
    if ! wait_until "$1" test -s "$rc_file"; then
        return 1
    fi
    APP_RC=$(cat "$rc_file")
    [ "$run" = "$APP_RUN" ] && APP_PID=
    return 0
}

# kill_app: kills the running copy by its pid (as a crash or the task manager
# would) and waits for it to be gone.
kill_app() {
    [ -n "$APP_PID" ] || return 0
    if app_running; then
        log "killing pid $APP_PID"
        kill -9 "$APP_PID" 2>/dev/null
        wait_until 20 test -s "$E2E_TMP/run$APP_RUN.rc" || log "pid $APP_PID did not go away"
    fi
    APP_PID=
    # Let the server finish tearing the process down before the next start.
    wait_until 10 main_window_absent
}

# main_window_list: the "Inkslip" main windows (winprobe list format).
main_window_list() { probe list Inkslip -; }
main_window_absent() { [ "$(probe count-windows Inkslip -)" = 0 ]; }

# wait_main_window SECONDS: until the main window of the program exists.
wait_main_window() {
    probe wait-window Inkslip - "$(($1 * 1000))" >/dev/null
}

# start_app_ready: starts a copy and waits for its main window and for the end
# of its start-up, of which the tool palette's creation is a late step.
start_app_ready() {
    start_app
    wait_main_window 30 || fail "no \"Inkslip\" main window within 30 s"
    probe wait-window '#32770' "$PALETTE_TITLE" 10000 >/dev/null || log "no tool palette window"
    # It is shown a moment after its creation unless the settings hide it.
    if [ "$(ini_value tool IsHide)" != 1 ]; then
        probe wait-window '#32770' "$PALETTE_TITLE" 5000 --visible >/dev/null || log "the palette is not shown"
    fi
}

# exit_app_by_command: posts the exit command 40001 and waits for exit code 0.
exit_app_by_command() {
    probe post-command Inkslip 40001 >/dev/null || fail "cannot post the exit command"
    expect_exit 0 20
}

# expect_exit CODE SECONDS [RUN]: the copy (default: the last started) must end
# within the time with that code.
expect_exit() {
    wait_app_exit "$2" "${3:-$APP_RUN}" || fail "the program did not exit within $2 s"
    [ "$APP_RC" = "$1" ] || fail "exit code $APP_RC, expected $1"
    log "run ${3:-$APP_RUN} exited with code $APP_RC"
}

# --- windows -------------------------------------------------------------------

# window_rect CLASS [TITLE]: prints "left top right bottom" of the first visible match.
window_rect() { probe rect "$1" "${2:--}" --visible; }

# note_windows: the visible notes (classes Inkslip0, Inkslip1, ...).
note_windows() { probe list 'Inkslip*' - --visible | awk -F'\t' '$8 ~ /^Inkslip[0-9]+$/'; }
note_count() { note_windows | wc -l; }

# wait_note_count N SECONDS
wait_note_count() {
    local n=$1 limit=$2
    local deadline=$((SECONDS + limit))
    while true; do
        [ "$(note_count)" = "$n" ] && return 0
        [ $SECONDS -ge $deadline ] && return 1
        nap 0.1
    done
}

# note_rect CLASS: "left top right bottom" of that note's window (visible or not).
note_rect() { probe rect "$1"; }

# --- mouse and keys --------------------------------------------------------------

# drag X1 Y1 X2 Y2 [STEPS] [BUTTON]: a real drag, moves about 50 ms apart (faster
# moves are merged by the X server).
drag() {
    local x1=$1 y1=$2 x2=$3 y2=$4 steps=${5:-10} button=${6:-1} i
    xdotool mousemove "$x1" "$y1"
    nap 0.05
    xdotool mousedown "$button"
    for ((i = 1; i <= steps; i++)); do
        nap 0.05
        xdotool mousemove $((x1 + (x2 - x1) * i / steps)) $((y1 + (y2 - y1) * i / steps))
    done
    nap 0.05
    xdotool mouseup "$button"
}

# click X Y [BUTTON]
click() {
    xdotool mousemove "$1" "$2"
    nap 0.05
    xdotool click "${3:-1}"
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

# wait_dialog TITLE SECONDS: until a visible dialog with that title exists.
wait_dialog() { probe find-dialog "$1" "$(($2 * 1000))" >/dev/null; }

# click_control TITLE ID: a real click in the middle of a dialog's control.
click_control() {
    local l t r b
    read -r l t r b < <(probe control-rect "$1" "$2") || fail "no control $2 in \"$1\""
    click $(((l + r) / 2)) $(((t + b) / 2))
}

# drag_dialog TITLE X Y: drags a dialog by its caption so that its top-left
# corner lands at (X, Y).
drag_dialog() {
    local l t r b
    read -r l t r b < <(window_rect '#32770' "$1") || fail "no dialog \"$1\" to move"
    drag $((l + 40)) $((t + 8)) $(($2 + 40)) $(($3 + 8)) 8
    moved_to() { [ "$(window_rect '#32770' "$1" | cut -d' ' -f1-2)" = "$2 $3" ]; }
    wait_until 5 moved_to "$1" "$2" "$3" ||
        fail "\"$1\" did not move to ($2, $3): $(window_rect '#32770' "$1")"
}

# --- the tray icon -----------------------------------------------------------------
# With no tray on the virtual display, Wine shows its own tray window (class
# __winex11_standalone_tray, at the top left); the first icon sits 12 px from
# its left edge and 31 px from its top (5..20, 24..39 when it is at 0, 0).

TRAY_CLASS=__winex11_standalone_tray

# tray_icon_point: sets TRAY_X, TRAY_Y to the first icon; waits up to 20 s for
# the tray. A dialog of ours that covers the icon (the tool palette opens at the
# top left of the screen too) is first dragged out of the way by its caption.
TRAY_X=
TRAY_Y=
tray_icon_point() {
    probe wait-window "$TRAY_CLASS" - 20000 --visible >/dev/null || fail "no tray icon shown"
    local left top right bottom
    read -r left top right bottom < <(window_rect "$TRAY_CLASS") || fail "no tray icon shown"
    TRAY_X=$((left + 12))
    TRAY_Y=$((top + 31))
    local cover
    cover=$(probe window-at "$TRAY_X" "$TRAY_Y") || fail "nothing at the tray icon"
    if [ "$(cut -f8 <<<"$cover")" = '#32770' ]; then
        local title
        title=$(cut -f9 <<<"$cover")
        log "\"$title\" covers the tray icon: moving it aside"
        drag_dialog "$title" 700 300
    fi
}

tray_double_click() {
    tray_icon_point
    xdotool mousemove "$TRAY_X" "$TRAY_Y"
    nap 0.05
    xdotool click --repeat 2 --delay 80 1
}

tray_right_click() {
    tray_icon_point
    click "$TRAY_X" "$TRAY_Y" 3
}

MENU_CLASS='#32768'
PALETTE_TITLE=ツール
SIZE_DIALOG_TITLE=サイズ設定

# tray_new_note: a double click on the tray icon, then, when the size dialog
# comes up, a click on its OK button; waits for the new note to be shown.
tray_new_note() {
    local before
    before=$(note_count)
    tray_double_click
    local deadline=$((SECONDS + 15))
    while [ $SECONDS -lt $deadline ]; do
        [ "$(note_count)" -gt "$before" ] && return 0
        if wait_dialog "$SIZE_DIALOG_TITLE" 0; then
            click_control "$SIZE_DIALOG_TITLE" 1
            wait_until 5 wait_dialog_gone "$SIZE_DIALOG_TITLE" || fail "the size dialog did not close"
        fi
        nap 0.1
    done
    fail "no new note after a double click on the tray icon"
}

wait_dialog_gone() { probe wait-gone '#32770' "$1" 0 --visible >/dev/null; }

# wait_menu SECONDS: until a popup menu is open; prints its rect.
wait_menu() {
    probe wait-window "$MENU_CLASS" - "$(($1 * 1000))" --visible >/dev/null || return 1
    window_rect "$MENU_CLASS"
}

# menu_highlight_colors: sets MENU_HIGHLIGHT, the colours a highlighted menu
# item may have.
MENU_HIGHLIGHT=
menu_highlight_colors() {
    [ -n "$MENU_HIGHLIGHT" ] && return 0
    probe_quiet sys-color 13
    MENU_HIGHLIGHT=${PROBE_OUTPUT[0]:-}
    probe_quiet sys-color 29
    MENU_HIGHLIGHT=$MENU_HIGHLIGHT,${PROBE_OUTPUT[0]:-}
}

# menu_hover Y X LEFT TOP BOTTOM [TRIES]: moves the pointer onto the menu at
# that height and waits a moment (TRIES x 30 ms, default 6) for a highlighted
# item under it, read in a column just inside the menu's left edge. Sets
# MENU_BAND to its "y1 y2"; fails when nothing there is highlighted (a
# separator, say). Polls without subshells: this runs many times per choice.
MENU_BAND=
menu_hover() {
    local y=$1 x=$2 left=$3 top=$4 bottom=$5 tries=${6:-6}
    menu_highlight_colors
    xdotool mousemove "$x" "$y" mousemove $((x + 1)) "$y"
    local bx1 by1 bx2 by2
    while [ "$tries" -gt 0 ]; do
        nap 0.03
        if probe_quiet bbox-color $((left + 4)) "$top" 1 $((bottom - top)) "$MENU_HIGHLIGHT"; then
            read -r bx1 by1 bx2 by2 <<<"${PROBE_OUTPUT[0]}"
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
    local x=$(((left + right) / 2)) y direction steps b1 b2
    if [ "$n" -ge 0 ]; then
        y=$((top + 8))
        direction=1
        steps=$n
    else
        y=$((bottom - 9))
        direction=-1
        steps=$((-n - 1))
    fi
    menu_hover "$y" "$x" "$left" "$top" "$bottom" 100 ||
        fail "the menu does not highlight the item at y $y"
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
    probe wait-gone "$MENU_CLASS" - 5000 --visible >/dev/null || log "the menu stayed open"
}

# tray_exit: exit from the tray menu (its last item, "終了").
tray_exit() {
    tray_right_click
    menu_choose -1
}

# tray_choose N: an item of the tray menu (as menu_choose).
tray_choose() {
    tray_right_click
    menu_choose "$1"
}

# --- screenshots -------------------------------------------------------------------

# wait_still SECONDS [X Y W H]: until the screen (or the rectangle) looks the
# same twice 200 ms apart, so that a screenshot catches windows fully painted.
wait_still() {
    local limit=$1 area=("${@:2}") previous= current deadline=$((SECONDS + $1))
    [ ${#area[@]} -eq 4 ] || area=(0 0 1024 768)
    while [ $SECONDS -lt $deadline ]; do
        probe_quiet checksum "${area[@]}"
        current=${PROBE_OUTPUT[0]:-}
        [ -n "$current" ] && [ "$current" = "$previous" ] && return 0
        previous=$current
        nap 0.2
    done
    return 1
}

# screenshot LABEL: the whole virtual screen into e2e-artifacts/<scenario>-LABEL.png.
screenshot() {
    wait_still 3 || log "the screen kept changing; taking the screenshot anyway"
    local file=$E2E_ARTIFACTS/$E2E_NAME-$1.png
    import -window root "$file" 2>/dev/null || log "screenshot $1 failed"
    log "screenshot $file"
}

# screenshot_window LABEL CLASS [TITLE]: the whole screen as screenshot does,
# plus the window alone, cut out by its rectangle, as ...-LABEL-window.png.
screenshot_window() {
    screenshot "$1"
    local l t r b
    read -r l t r b < <(window_rect "$2" "${3:--}") || return 0
    convert "$E2E_ARTIFACTS/$E2E_NAME-$1.png" -crop "$((r - l))x$((b - t))+$l+$t" +repage \
        "$E2E_ARTIFACTS/$E2E_NAME-$1-window.png" 2>/dev/null
}

# shot_pixel FILE X Y: a pixel of a screenshot as rrggbb.
shot_pixel() {
    convert "$1" -format "%[hex:p{$2,$3}]" info:- 2>/dev/null | tr 'A-F' 'a-f' | cut -c1-6
}

# --- clean-up ------------------------------------------------------------------------

e2e_cleanup() {
    local status=$?
    # Only the scenario's own shell cleans up, not its subshells.
    [ "$BASHPID" = "$E2E_MAIN_PID" ] || exit $status
    [ $status -ne 0 ] && E2E_FAILED=1
    xdotool mouseup 1 2>/dev/null
    xdotool mouseup 3 2>/dev/null
    if [ $E2E_FAILED -ne 0 ]; then
        screenshot failure
        main_window_list >"$E2E_ARTIFACTS/$E2E_NAME-windows.txt" 2>/dev/null
        probe list >>"$E2E_ARTIFACTS/$E2E_NAME-windows.txt" 2>/dev/null
        [ -f "$APP_INI" ] && cp "$APP_INI" "$E2E_ARTIFACTS/$E2E_NAME-inkslip.ini"
        cat "$E2E_TMP"/run*.log 2>/dev/null | tail -n 50
    fi
    # Every copy this scenario started and that still runs, by its own pid.
    local run pid
    for ((run = 1; run <= APP_RUN; run++)); do
        [ -s "$E2E_TMP/run$run.pid" ] || continue
        [ -e "$E2E_TMP/run$run.rc" ] && continue
        pid=$(cat "$E2E_TMP/run$run.pid")
        log "killing leftover pid $pid"
        kill -9 "$pid" 2>/dev/null
        wait_until 20 test -s "$E2E_TMP/run$run.rc"
    done
    stop_probe_server
    rm -rf "$E2E_TMP"
    if [ $E2E_FAILED -eq 0 ]; then
        log "PASS"
    fi
    exit $status
}
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM

# A desktop-blue root window, so that a note's black outline stands out from the
# screen around it in pixels and screenshots.
convert -size 8x8 xc:'#3a6ea5' "$E2E_TMP/root.png" 2>/dev/null &&
    timeout 10 display -window root "$E2E_TMP/root.png" >/dev/null 2>&1

# Warm Wine up with the output in a file (see probe) before any pipe is used.
# The opening of the hot-key scenarios: Ctrl+Alt+N (new note) and Ctrl+Alt+H
# (hide all) and no size question for hot-key notes in the INI file, the pen
# colour PEN; the palette shows that colour and is moved off Wine's tray; a
# first note made by Ctrl+Alt+N has the default size.
PEN=2080c0

palette_rgb() {
    echo "$(probe get-text "$PALETTE_TITLE" 1012) $(probe get-text "$PALETTE_TITLE" 1013)" \
        "$(probe get-text "$PALETTE_TITLE" 1014)"
}

# hotkey KEYS: the keys pressed while a window of the program has the X focus
# (keys reach Wine only then); the palette's caption serves.
hotkey() {
    local l t r b
    read -r l t r b < <(window_rect '#32770' "$PALETTE_TITLE") || fail "no palette to focus"
    focus_at $((l + 30)) $((t + 8)) || fail "cannot focus the palette"
    xdotool key "$1"
}

start_with_hotkeys_and_first_note() {
    printf '%s\r\n' '[tool]' "PenColor=ff$PEN" '[paper]' 'IsNoSizing=1' '[hotkey]' 'IsUseHotkey=1' \
        'modifiers 0=3' 'virtual 0=78' 'modifiers 1=3' 'virtual 1=72' >"$APP_INI"
    start_app_ready
    wait_dialog "$PALETTE_TITLE" 10 || fail "no tool palette"
    [ "$(palette_rgb)" = "32 128 192" ] || fail "the palette shows $(palette_rgb), not the INI pen colour"
    # The palette opens at the top left, over Wine's tray; move it aside first.
    drag_dialog "$PALETTE_TITLE" 700 300
    screenshot_window palette '#32770' "$PALETTE_TITLE"

    hotkey ctrl+alt+n
    wait_note_count 1 10 || fail "Ctrl+Alt+N made no note"
    wait_dialog "$SIZE_DIALOG_TITLE" 0 && fail "the size dialog came up although IsNoSizing is 1"
    read -r l t r b < <(note_rect Inkslip0)
    [ $((r - l)) = 202 ] && [ $((b - t)) = 223 ] || fail "the hot-key note is $((r - l))x$((b - t))"
}

"$INKSLIP_WINE" "$WINPROBE_EXE" screen >"$E2E_TMP/warmup.out" 2>&1 </dev/null ||
    fail "winprobe does not run"
start_probe_server
# The desktop's colour as it now shows, read where no window of ours goes.
DESKTOP_COLOR=$(probe pixel 1023 767)
