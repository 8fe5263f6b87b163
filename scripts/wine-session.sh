# Sourced by the test, run, benchmark and seeded-fault scripts (which set
# `root` first): what they all do first - install what is missing and settle
# BUILD_DIR (default build/, relative to the sources) - and the Wine session:
# a private prefix copied from a template, its own wineserver and, when
# asked, its own Xvfb display. Everything started here is stopped by its own
# ids in wine_session_stop.
"$root/scripts/setup.sh" || exit 1
BUILD_DIR=${BUILD_DIR:-$root/build}
case $BUILD_DIR in /*) ;; *) BUILD_DIR=$root/$BUILD_DIR ;; esac

# Which Windows build runs here: the shipped 32-bit one when this machine can
# run 32-bit code (32-bit Wine), else the 64-bit build of the same sources.
if [ -z "${INKSLIP_TEST_ARCH:-}" ]; then
    if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
        INKSLIP_TEST_ARCH=i686
    else
        INKSLIP_TEST_ARCH=x86_64
    fi
fi
export INKSLIP_TEST_ARCH
# The build tree of that build: the shipped one itself, or a tree of its own.
if [ "$INKSLIP_TEST_ARCH" = i686 ]; then
    INKSLIP_RUN_BUILD_DIR=$BUILD_DIR
else
    INKSLIP_RUN_BUILD_DIR=$BUILD_DIR/$INKSLIP_TEST_ARCH
fi
if [ "$INKSLIP_TEST_ARCH" = i686 ]; then
    export WINEARCH=win32
    INKSLIP_WINE=wine
else
    export WINEARCH=win64
    export WINELOADER=/usr/lib/wine/wine64
    INKSLIP_WINE=/usr/lib/wine/wine64
fi
export INKSLIP_WINE
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=ja_JP.UTF-8

WINE_SESSION_XVFB_PID=
WINE_SESSION_DIR=

# wine_template_prefix DIR [FROM]: makes the template prefix once (per build
# tree); a copy of FROM when that is a ready one already.
wine_template_prefix() {
    local template=$1 from=${2:-}
    if [ -f "$template/.inkslip-ready" ]; then
        return 0
    fi
    rm -rf "$template"
    if [ -n "$from" ] && [ -f "$from/.inkslip-ready" ]; then
        cp -a "$from" "$template" && return 0
        rm -rf "$template"
    fi
    mkdir -p "$template"
    (
        export WINEPREFIX=$template
        unset DISPLAY
        "$INKSLIP_WINE" wineboot -i >/dev/null 2>&1 || true
        # Without an unmanaged X11 driver, dragging by an HTCAPTION area under
        # Xvfb enters a move loop that never ends.
        "$INKSLIP_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
        # Dialogs use the Japanese proportional font the tests install.
        "$INKSLIP_WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
            /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic /f >/dev/null 2>&1
        "$INKSLIP_WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
            /v 'ＭＳ ゴシック' /t REG_SZ /d IPAGothic /f >/dev/null 2>&1
        wineserver -w
    )
    # A prefix that wineboot could not make is not marked ready, so the next
    # run makes it again instead of using a broken one.
    if [ ! -f "$template/system.reg" ]; then
        echo "wine-session: could not make the Wine prefix $template" >&2
        return 1
    fi
    touch "$template/.inkslip-ready"
}

# wine_session_display: starts a virtual display (1024x768x24) of its own and
# exports DISPLAY; wine_session_stop_display ends it.
wine_session_display() {
    local display_file waited
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset \
        3>"$display_file" >/dev/null 2>&1 &
    WINE_SESSION_XVFB_PID=$!
    for ((waited = 0; waited < 100; waited++)); do
        [ -s "$display_file" ] && break
        sleep 0.1
    done
    if [ ! -s "$display_file" ]; then
        echo "wine-session: Xvfb did not start" >&2
        rm -f "$display_file"
        return 1
    fi
    export DISPLAY=:$(head -n1 "$display_file")
    rm -f "$display_file"
}

wine_session_stop_display() {
    if [ -n "$WINE_SESSION_XVFB_PID" ]; then
        kill "$WINE_SESSION_XVFB_PID" 2>/dev/null || true
        wait "$WINE_SESSION_XVFB_PID" 2>/dev/null || true
        WINE_SESSION_XVFB_PID=
    fi
}

# wine_session_start TEMPLATE: copies the template into a fresh prefix, starts
# a virtual display and a persistent wineserver, and warms Wine up so that its
# helper processes do not hold the output pipes of the first real program.
wine_session_start() {
    WINE_SESSION_DIR=$(mktemp -d /tmp/inkslip-wine.XXXXXX)
    cp -a "$1" "$WINE_SESSION_DIR/prefix"
    export WINEPREFIX=$WINE_SESSION_DIR/prefix
    wine_session_display || return 1
    wineserver -p
    "$INKSLIP_WINE" cmd /c exit >"$WINE_SESSION_DIR/warmup.log" 2>&1 || true
}

wine_session_stop() {
    if [ -n "${WINEPREFIX:-}" ] && [ -n "$WINE_SESSION_DIR" ]; then
        wineserver -k 2>/dev/null || true
        timeout 30 wineserver -w 2>/dev/null || true
    fi
    wine_session_stop_display
    if [ -n "$WINE_SESSION_DIR" ] && [ -z "${INKSLIP_KEEP_PREFIX:-}" ]; then
        rm -rf "$WINE_SESSION_DIR"
    fi
    WINE_SESSION_DIR=
}
