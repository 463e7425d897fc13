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

SHOTS=$ROOT/build/win32/screenshots
mkdir -p "$SHOTS"
DEMO_DIR=$ROOT/build/win32/tools/demo_host
DEFAULTS=""
[ -n "${DISPLAY:-}" ] || DEFAULTS="--seconds 20 --speed 10"

. tools/wine-env.sh
if ! wine_runs_i686; then
    echo "main: this machine cannot start 32-bit programs (Wine's i386 loader fails with" >&2
    echo "      \"Exec format error\"): the demo cannot run here. Built for Windows:" >&2
    echo "      build/win32/LumaraList-*.zip (the DLL, lumara-demo.exe, lumara-inspect.exe)." >&2
    exit 1
fi
wine_start "$ROOT/build/win32"
trap wine_stop EXIT
trap "exit 130" INT TERM

echo "=== LumaraList in the demo host: $STREAM"
[ -n "$DEFAULTS" ] && echo "    (no display: Xvfb, $DEFAULTS)" || echo "    (close the demo host's window to finish)"
echo "=== rows of the list (service | now | next)"
status=0
# --fresh: the plug-in's files of an earlier run (another capture's services) set aside.
(cd "$DEMO_DIR" && wine ./lumara-demo.exe "$(winepath -w "$STREAM")" --fresh $DEFAULTS "$@" \
    --png "$(winepath -w "$SHOTS")" --print) || status=$?
[ -f "$SHOTS/main-window.png" ] && echo "=== picture of the list window: $SHOTS/main-window.png"
exit $status
