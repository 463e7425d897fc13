# Sourced by the scripts that run Windows programs: a throw-away Wine prefix in the build
# tree, Japanese locale and fonts, and a display (Xvfb when there is none).
# Usage: . tools/wine-env.sh; wine_start BUILD_DIR [LOADER]; ...; wine_stop
# LOADER is wine, or /usr/lib/wine/wine64 for the x86_64 stand-in (build/win64-standin): a
# prefix is made and used by one loader only.

wine_env() {
    export LUMARA_WINEPREFIX="$1/wineprefix"
    export WINEPREFIX="$LUMARA_WINEPREFIX" WINEDEBUG=-all TZ=JST-9 LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
}

# Starts Xvfb if there is no display; sets XVFB_PID.
wine_display() {
    XVFB_PID=""
    if [ -z "${DISPLAY:-}" ]; then
        for n in 91 92 93 94 95 96 97 98 99; do
            [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
            Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
            XVFB_PID=$!
            export DISPLAY=":$n"
            sleep 1
            break
        done
    fi
}

# A persistent wineserver and a warm prefix make each test process cost ~0.05 s instead of
# ~2.5 s. Wine's background services start here, detached from ctest's output pipes.
wine_start() {
    wine_env "$1"
    loader=${2:-wine}
    wine_display
    first=0
    [ -d "$WINEPREFIX" ] || first=1
    mkdir -p "$WINEPREFIX"
    wineserver -p
    "$loader" cmd /c exit </dev/null >/dev/null 2>&1 || true
    # Without a window manager, Wine waits 2 s for every managed window it hides or destroys.
    "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
    if [ "$first" -eq 1 ]; then
        for face in "MS Shell Dlg" "MS Shell Dlg 2" "MS UI Gothic" "Tahoma" "MS Gothic" "MS PGothic"; do
            "$loader" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d IPAGothic /f </dev/null >/dev/null 2>&1 || true
        done
    fi
}

# Whether this machine starts 32-bit programs: Wine's i386 loader is one. Some kernels (or
# virtual machines) have no 32-bit support, and every i686 program fails with "Exec format error".
wine_runs_i686() {
    wine --version >/dev/null 2>&1
}

wine_stop() {
    wineserver -k 2>/dev/null || true
    if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
}
