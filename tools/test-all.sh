#!/bin/sh
# Sets up what is missing, builds every preset and runs every test: natively, under the
# sanitizers, the Windows build under Wine, the concurrency test under ThreadSanitizer, and
# a short run of every fuzz target.
set -eu
cd "$(dirname "$0")/.."
sh tools/setup.sh

JOBS=$(nproc 2>/dev/null || echo 2)
status=0
for preset in native sanitize win32; do
    echo "=== $preset: build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$JOBS"
done

for preset in native sanitize; do
    echo "=== $preset: test"
    ctest --preset "$preset" -j "$JOBS" || status=1
done

echo "=== win32: test under Wine"
. tools/wine-env.sh
wine_start "$PWD/build/win32"
ctest --preset win32 -j "$JOBS" || status=1
wine_stop

echo "=== tsan: the concurrent host test under ThreadSanitizer"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$JOBS"
TZ=JST-9 TSAN_OPTIONS=halt_on_error=1 build/tsan/tests/test_hardening --gtest_filter='ConcurrentHostTest.*' || status=1

echo "=== fuzz: a minute per target"
sh tools/fuzz.sh 60 || status=1

exit $status
