#!/bin/sh
# Refreshes the pictures in docs/screenshots/ from a run of the main job on the sample
# stream, on a virtual display so the result does not depend on the desktop.
set -eu
cd "$(dirname "$0")/.."
env -u DISPLAY sh tools/main.sh --seconds 20 --speed 10 >/dev/null
mkdir -p docs/screenshots
cp build/win32/screenshots/main-window.png docs/screenshots/main-window.png
echo "docs/screenshots/main-window.png"
