#!/bin/sh
# Runs every fuzz target for SECONDS each (default 60) on its seed corpus and prints its
# figures. A target that fails keeps its input in tests/fuzz/regressions/<target>/, which the
# ordinary suite replays, and makes this script fail.
#   tools/fuzz.sh [SECONDS] [TARGET...]
# FUZZ_RUNS=N ends each target after N executions if that comes before SECONDS.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-60}
[ $# -gt 0 ] && shift
sh tools/setup.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc 2>/dev/null || echo 2)"

work=build/fuzz/work
rm -rf "$work/seeds"
build/fuzz/tests/fuzz/lumara-fuzz-seeds "$work/seeds"

targets=${*:-$(cd build/fuzz/tests/fuzz && ls fuzz_* | sed 's/^fuzz_//')}
status=0
for target in $targets; do
    corpus="$work/corpus/$target"
    artifacts="$work/artifacts/$target"
    mkdir -p "$corpus" "$artifacts" "$work/seeds/$target"
    log="$work/$target.log"
    echo "=== fuzz_$target: ${seconds}s"
    if build/fuzz/tests/fuzz/fuzz_"$target" "$corpus" "$work/seeds/$target" -max_total_time="$seconds" ${FUZZ_RUNS:+-runs="$FUZZ_RUNS"} \
        -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
        echo "fuzz_$target: ok, $runs executions, coverage $cov edges"
    else
        status=1
        echo "fuzz_$target: FAILED"
        tail -40 "$log"
        mkdir -p "tests/fuzz/regressions/$target"
        for f in "$artifacts"/*; do
            [ -f "$f" ] && cp "$f" "tests/fuzz/regressions/$target/" && echo "kept $f as a regression input"
        done
    fi
done
[ $status -eq 0 ] && echo "fuzz: all targets passed"
exit $status
