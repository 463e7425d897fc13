#!/bin/sh
# Sets up what is missing, builds every preset and runs every test: natively, under the
# sanitizers, the Windows build under Wine, the concurrency test under ThreadSanitizer, and
# a short run of every fuzz target.
set -eu
cd "$(dirname "$0")/.."
sh tools/setup.sh

JOBS=$(nproc 2>/dev/null || echo 2)
status=0
. tools/wine-env.sh
WINE_TESTS=ON
wine_runs_i686 || WINE_TESTS=OFF
for preset in native sanitize win32; do
    echo "=== $preset: build"
    cmake --preset "$preset" -DLUMARA_WINE_TESTS=$WINE_TESTS >/dev/null
    cmake --build --preset "$preset" -j "$JOBS"
done

for preset in native sanitize; do
    echo "=== $preset: test"
    ctest --preset "$preset" -j "$JOBS" || status=1
done

if [ "$WINE_TESTS" = ON ]; then
    echo "=== win32: test under Wine"
    wine_start "$PWD/build/win32"
    ctest --preset win32 -j "$JOBS" || status=1
    wine_stop
else
    cat <<EOF
=== win32: NOT TESTED UNDER WINE
    This machine cannot start 32-bit programs (its kernel refuses i386 executables: Wine's
    loader fails with "Exec format error"), so the Windows suites, the test host, the soak and
    the archive's programs under Wine do not run here. Everything is built for Windows; only
    the checks that need no Wine run (the DLL's exports and imports, the release archive).
EOF
    ctest --preset win32 -j "$JOBS" || status=1

    cat <<EOF
=== win64-standin: x86_64 STAND-INS of the Windows programs under 64-bit Wine
    The same plug-in sources and test host built for x86_64, so the Windows glue (windows,
    dialogs, timers, files, threads) still runs under Wine. These are not the shipped i686
    DLL: its calling conventions, stack balance and 32-bit layout are NOT exercised here.
EOF
    cmake --preset win64-standin >/dev/null
    cmake --build --preset win64-standin -j "$JOBS"
    wine_start "$PWD/build/win64-standin" /usr/lib/wine/wine64
    ctest --preset win64-standin -j "$JOBS" || status=1
    wine_stop
fi

echo "=== tsan: the concurrent host test under ThreadSanitizer"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$JOBS"
TZ=JST-9 TSAN_OPTIONS=halt_on_error=1 build/tsan/tests/test_hardening --gtest_filter='ConcurrentHostTest.*' || status=1

echo "=== fuzz: a minute per target"
sh tools/fuzz.sh 60 || status=1

exit $status
