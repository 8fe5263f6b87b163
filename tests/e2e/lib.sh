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

# fail MESSAGE: ends the scenario (the EXIT trap cleans up).
fail() {
    log "FAIL: $*"
    E2E_FAILED=1
    exit 1
}

# probe ARGS...: runs a winprobe command; prints its output, returns its exit
# code. A winprobe server started once per scenario answers through files (a
# Wine start per question costs about half a second); without it, or when it
# does not answer, a fresh winprobe runs. Output always goes through a file,
# never a pipe: a Wine helper started on the way (the desktop process) would
# otherwise hold the pipe open and hang the caller.
PROBE_DIR=$E2E_TMP/probe
PROBE_SERVER_PID=
probe() {
    if [ -n "$PROBE_SERVER_PID" ]; then
        rm -f "$PROBE_DIR/answer.ready"
        printf '%s\n' "$@" >"$PROBE_DIR/request"
        mv "$PROBE_DIR/request" "$PROBE_DIR/request.ready"
        local deadline=$((SECONDS + 120))
        while [ ! -e "$PROBE_DIR/answer.ready" ]; do
            if [ $SECONDS -ge $deadline ] || ! kill -0 "$PROBE_SERVER_PID" 2>/dev/null; then
                log "the winprobe server stopped answering"
                PROBE_SERVER_PID=
                probe "$@"
                return
            fi
            sleep 0.01
        done
        local rc
        { read -r rc; cat; } <"$PROBE_DIR/answer.ready"
        return "$rc"
    fi
    local out=$E2E_TMP/probe.out
    "$INKSLIP_WINE" "$WINPROBE_EXE" "$@" >"$out" 2>>"$E2E_TMP/probe.err" </dev/null
    local rc=$?
    cat "$out"
    return $rc
}

start_probe_server() {
    mkdir -p "$PROBE_DIR"
    local windows_dir="Z:${PROBE_DIR//\//\\}"
    "$INKSLIP_WINE" "$WINPROBE_EXE" serve "$windows_dir" >"$E2E_TMP/probe-server.log" 2>&1 </dev/null &
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
    printf 'quit\n' >"$PROBE_DIR/request" && mv "$PROBE_DIR/request" "$PROBE_DIR/request.ready"
    local waited=0
    while kill -0 "$pid" 2>/dev/null && [ $waited -lt 50 ]; do
        sleep 0.1
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
        sleep 0.1
    done
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
        "$INKSLIP_WINE" "$APP_DIR/inkslip.exe" >"$run.log" 2>&1 </dev/null &
        echo $! >"$run.pid"
        wait $!
        echo $? >"$run.rc"
    ) 2>>"$run.shell.err" &
    local waited=0
    while [ ! -s "$run.pid" ]; do
        sleep 0.05
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

# start_app_ready: starts a copy and waits for its main window.
start_app_ready() {
    start_app
    wait_main_window 30 || fail "no \"Inkslip\" main window within 30 s"
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
        sleep 0.1
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
    sleep 0.05
    xdotool mousedown "$button"
    for ((i = 1; i <= steps; i++)); do
        sleep 0.05
        xdotool mousemove $((x1 + (x2 - x1) * i / steps)) $((y1 + (y2 - y1) * i / steps))
    done
    sleep 0.05
    xdotool mouseup "$button"
}

# click X Y [BUTTON]
click() {
    xdotool mousemove "$1" "$2"
    sleep 0.05
    xdotool click "${3:-1}"
}

# focus_at X Y: gives the X focus to the Wine window under the point, so that
# keys and hot keys reach the program.
focus_at() {
    xdotool mousemove "$1" "$2"
    sleep 0.05
    local WINDOW=
    eval "$(xdotool getmouselocation --shell)"
    [ -n "$WINDOW" ] || return 1
    xdotool windowfocus --sync "$WINDOW"
}

# --- the tray icon -----------------------------------------------------------------
# With no tray on the virtual display, Wine shows its own tray window (class
# __winex11_standalone_tray, at the top left); the first icon sits 12 px from
# its left edge and 31 px from its top (5..20, 24..39 when it is at 0, 0).

TRAY_CLASS=__winex11_standalone_tray

# tray_icon_point: prints "x y" of the first icon; waits up to 20 s for the tray.
tray_icon_point() {
    probe wait-window "$TRAY_CLASS" - 20000 --visible >/dev/null || return 1
    local left top right bottom
    read -r left top right bottom < <(window_rect "$TRAY_CLASS") || return 1
    echo "$((left + 12)) $((top + 31))"
}

tray_double_click() {
    local x y
    read -r x y < <(tray_icon_point) || fail "no tray icon shown"
    xdotool mousemove "$x" "$y"
    sleep 0.05
    xdotool click --repeat 2 --delay 80 1
}

tray_right_click() {
    local x y
    read -r x y < <(tray_icon_point) || fail "no tray icon shown"
    click "$x" "$y" 3
}

MENU_CLASS='#32768'

# wait_menu SECONDS: until a popup menu is open; prints its rect.
wait_menu() {
    probe wait-window "$MENU_CLASS" - "$(($1 * 1000))" --visible >/dev/null || return 1
    window_rect "$MENU_CLASS"
}

# menu_highlight_colors: the colours a highlighted menu item may have.
MENU_HIGHLIGHT=
menu_highlight_colors() {
    if [ -z "$MENU_HIGHLIGHT" ]; then
        MENU_HIGHLIGHT="$(probe sys-color 13),$(probe sys-color 29)"
    fi
    echo "$MENU_HIGHLIGHT"
}

# menu_highlight_band LEFT TOP BOTTOM: "y1 y2" of the highlighted item, read in
# a column just inside the menu's left edge.
menu_highlight_band() {
    local band
    band=$(probe bbox-color $(($1 + 4)) "$2" 1 $(($3 - $2)) "$(menu_highlight_colors)") || return 1
    echo "$band" | awk '{print $2, $4}'
}

# menu_choose INDEX|last: clicks an item of the open popup menu: INDEX counts
# from 0 at the top (only items before the first separator), "last" is the
# bottom item. The pointer is first moved onto the item and its highlight
# awaited, so the click lands on the item the menu tracks.
menu_choose() {
    local which=$1 left top right bottom
    read -r left top right bottom < <(wait_menu 10) || fail "no popup menu opened"
    local x=$(((left + right) / 2)) y y1 y2
    if [ "$which" = last ]; then
        y=$((bottom - 10))
    else
        # Hover the first item to learn the item height from its highlight.
        xdotool mousemove "$x" $((top + 8))
        sleep 0.05
        xdotool mousemove $((x + 1)) $((top + 8))
        wait_until 3 menu_highlight_band "$left" "$top" "$bottom" ||
            fail "the menu does not highlight its first item"
        read -r y1 y2 < <(menu_highlight_band "$left" "$top" "$bottom")
        local height=$((y2 - y1 + 1))
        y=$((y1 + which * height + height / 2))
    fi
    xdotool mousemove "$x" "$y"
    sleep 0.05
    xdotool mousemove $((x + 1)) "$y"
    on_item() {
        local b1 b2
        read -r b1 b2 < <(menu_highlight_band "$left" "$top" "$bottom") || return 1
        [ "$b1" -le "$y" ] && [ "$y" -le "$b2" ]
    }
    wait_until 3 on_item || log "no highlight seen under the pointer at y $y; clicking anyway"
    xdotool click 1
    probe wait-gone "$MENU_CLASS" - 5000 --visible >/dev/null || log "the menu stayed open"
}

# tray_exit: exit from the tray menu (its last item, "終了").
tray_exit() {
    tray_right_click
    menu_choose last
}

# --- screenshots -------------------------------------------------------------------

# screenshot LABEL: the whole virtual screen into e2e-artifacts/<scenario>-LABEL.png.
screenshot() {
    local file=$E2E_ARTIFACTS/$E2E_NAME-$1.png
    import -window root "$file" 2>/dev/null || log "screenshot $1 failed"
    log "screenshot $file"
}

# shot_pixel FILE X Y: a pixel of a screenshot as rrggbb.
shot_pixel() {
    convert "$1" -format "%[hex:p{$2,$3}]" info:- 2>/dev/null | tr 'A-F' 'a-f' | cut -c1-6
}

# --- clean-up ------------------------------------------------------------------------

e2e_cleanup() {
    local status=$?
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
    display -window root "$E2E_TMP/root.png" >/dev/null 2>&1
DESKTOP_COLOR=3a6ea5

# Warm Wine up with the output in a file (see probe) before any pipe is used.
"$INKSLIP_WINE" "$WINPROBE_EXE" screen >"$E2E_TMP/warmup.out" 2>&1 </dev/null ||
    fail "winprobe does not run"
start_probe_server
