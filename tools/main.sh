#!/bin/sh
# Sets up what is missing, builds, and runs the main job on the bundled sample stream.
set -eu
cd "$(dirname "$0")/.."
sh tools/setup.sh
cmake --preset native >/dev/null
cmake --build --preset native -j "$(nproc 2>/dev/null || echo 2)" --target lumara-inspect sample_stream
build/native/tools/lumara-inspect stream "${1:-build/native/sample.ts}"
