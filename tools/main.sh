#!/bin/sh
# Sets up what is missing, builds, and runs the plug-in inside the demo host on the bundled
# sample stream (or on CAPTURE.ts): under Wine with a Japanese locale, on Xvfb when there is
# no display. Prints the list's rows as UTF-8 and writes a picture of the plug-in's window.
# Usage: tools/main.sh [CAPTURE.ts] [--seconds S] [--speed N]
# Without a display it runs for a bounded time; with one it runs until its window is closed.
set -eu
cd "$(dirname "$0")/.."
ROOT=$PWD
sh tools/setup.sh

STREAM=$ROOT/build/native/sample.ts
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then
    STREAM=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
    shift
fi

JOBS=$(nproc 2>/dev/null || echo 2)
echo "=== building (native tools and sample stream, Windows DLL and demo host)"
cmake --preset native >/dev/null
cmake --build --preset native -j "$JOBS" --target lumara-inspect sample_stream >/dev/null
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$JOBS" --target lumara-demo release_zip >/dev/null

. tools/wine-env.sh
BUILD=$ROOT/build/win32
LOADER=wine
if ! wine_runs_i686; then
    # The real DLL is built (build/win32/LumaraList-*.zip) but cannot start here; the same
    # sources built for x86_64 show what it does.
    echo "=== this machine cannot start 32-bit programs (Wine's i386 loader: \"Exec format error\")"
    echo "=== so the demo runs an x86_64 STAND-IN of the DLL and the demo host under 64-bit Wine;"
    echo "=== the shipped i686 programs are built in build/win32 but not run"
    BUILD=$ROOT/build/win64-standin
    LOADER=/usr/lib/wine/wine64
    cmake --preset win64-standin >/dev/null
    cmake --build --preset win64-standin -j "$JOBS" --target lumara-demo >/dev/null
fi

SHOTS=$BUILD/screenshots
mkdir -p "$SHOTS"
DEMO_DIR=$BUILD/tools/demo_host
DEFAULTS=""
[ -n "${DISPLAY:-}" ] || DEFAULTS="--seconds 20 --speed 10"

# Wine maps the Unix root to Z:, whichever loader runs.
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }

wine_start "$BUILD" "$LOADER"
trap wine_stop EXIT
trap "exit 130" INT TERM

echo "=== LumaraList in the demo host: $STREAM"
[ -n "$DEFAULTS" ] && echo "    (no display: Xvfb, $DEFAULTS)" || echo "    (close the demo host's window to finish)"
echo "=== rows of the list (service | now | next)"
status=0
# --fresh: the plug-in's files of an earlier run (another capture's services) set aside.
(cd "$DEMO_DIR" && "$LOADER" ./lumara-demo.exe "$(windows_path "$STREAM")" --fresh $DEFAULTS "$@" \
    --png "$(windows_path "$SHOTS")" --print) || status=$?
[ -f "$SHOTS/main-window.png" ] && echo "=== picture of the list window: $SHOTS/main-window.png"
exit $status
