#!/bin/sh
# Called by bench/report: lumara-inspect.exe (i686, the release archive's build) under Wine
# beside the native tool on one all-EIT capture, whole process (CPU time and peak resident
# size, as /usr/bin/time sees the Wine process), and the cost of the Windows hardening flags
# (stack protector, ASLR, DEP) on the DLL's own code: the win32-bench intake, store, text and
# row benchmarks built with and without them, under Wine. Appends a section to
# docs/performance.md; progress on stderr.
#   bench/inspect_win32.sh RESULTS_DIR NATIVE_INSPECT MAKE_EIT_CAPTURE CAPTURE_MB REPETITIONS MIN_TIME
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=$1/inspect-win32
NATIVE=$2
MAKE_CAPTURE=$3
MB=$4
REPS=$5
MIN_TIME=$6
HARDENED=$ROOT/build/win32-bench
PLAIN=$ROOT/build/win32-bench-unhardened
BENCHES="intake_bench eit_store_bench aribtext_bench build_rows_bench"
mkdir -p "$OUT"
: >"$OUT/runs.txt"
: >"$OUT/bench.txt"

cmake --preset win32-bench >&2
cmake -S "$ROOT" -B "$PLAIN" --preset win32-bench -DLUMARA_HARDEN=OFF >&2
# shellcheck disable=SC2086
cmake --build "$HARDENED" -j2 --target lumara-inspect $BENCHES >&2
# shellcheck disable=SC2086
cmake --build "$PLAIN" -j2 --target $BENCHES >&2

. "$ROOT/tools/wine-env.sh"
wine_start "$HARDENED" >&2
timed() {  # NAME COMMAND...
    name=$1
    shift
    /usr/bin/time -f "%U %S %M" -o "$OUT/time.txt" "$@" >/dev/null 2>>"$OUT/stderr.log" ||
        echo "inspect_win32: $name failed, see $OUT/stderr.log" >&2
    echo "$name $(tail -n 1 "$OUT/time.txt")" >>"$OUT/runs.txt"
}
capture=$(mktemp /tmp/lumara-eit-XXXXXX.ts)
trap 'rm -f "$capture"; wine_stop' EXIT INT TERM
echo "inspect_win32: lumara-inspect native and i686 under Wine on a ${MB} MB all-EIT capture" >&2
"$MAKE_CAPTURE" "$capture" "$MB" >&2
cat "$capture" >/dev/null
for run in $(seq "$REPS"); do
    timed native "$NATIVE" stream "$capture" --quiet
    timed wine wine "$HARDENED/tools/lumara-inspect.exe" stream "$(winepath -w "$capture")" --quiet
done
rm -f "$capture"

for build in "$PLAIN" "$HARDENED"; do
    tag=$( [ "$build" = "$HARDENED" ] && echo hardened || echo plain )
    for b in $BENCHES; do
        echo "inspect_win32: $b ($tag) under Wine" >&2
        (cd "$build/bench" && wine "$b.exe" --benchmark_repetitions="$REPS" --benchmark_report_aggregates_only=true \
            --benchmark_min_time="$MIN_TIME" --benchmark_format=json) 2>>"$OUT/stderr.log" |
            awk -v tag="$tag" '
                /"name":/ { n = $0; sub(/^[^:]*: *"/, "", n); median = sub(/_median",?[[:space:]]*$/, "", n) }
                !median { next }
                /"cpu_time":/ { v = $2; sub(/,$/, "", v); cpu = v + 0 }
                /"time_unit":/ { u = $0; gsub(/.*: *"|".*/, "", u); s = (u == "ns" ? 1e-6 : u == "us" ? 1e-3 : u == "s" ? 1e3 : 1)
                                 print tag, n, "ms", cpu * s }
                /"bytes_per_second":/ { v = $2; sub(/,$/, "", v); print tag, n, "MB/s", v / 1e6 }' >>"$OUT/bench.txt" ||
            echo "inspect_win32: $b ($tag) failed under Wine" >&2
    done
done

wine_version=$(wine --version 2>/dev/null || echo "?")
awk -v doc="$ROOT/docs/performance.md" -v wine="$wine_version" -v mb="$MB" -v reps="$REPS" '
function median(list,    n, a, i, j, t) {
    n = split(list, a, " ")
    for (i = 2; i <= n; ++i) for (j = i; j > 1 && a[j - 1] + 0 > a[j] + 0; --j) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
    return n == 0 ? "" : (n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2)
}
function fixed(x) { return x >= 100 ? sprintf("%.0f", x) : x >= 10 ? sprintf("%.1f", x) : x >= 1 ? sprintf("%.2f", x) : sprintf("%.3g", x) }
FILENAME ~ /runs.txt$/ { cpu[$1] = cpu[$1] " " ($2 + $3) * 1000; rss[$1] = rss[$1] " " $4 / 1000; next }
# A rate where the benchmark gives one, else the CPU time of a call.
{ key = $2; if (!(key in unit)) order[++n] = key; if ($3 == "MB/s" || !(key in unit)) unit[key] = $3
  if ($3 == unit[key]) value[$1, key] = $4 }
END {
    print "## lumara-inspect for Windows, and the hardening flags\n" >>doc
    print "Written by `bench/inspect_win32.sh` (called by `bench/report`). The i686 `lumara-inspect.exe` of the" >>doc
    print "release archive under " wine " beside the native tool, on one " mb " MB all-EIT capture (page-cached)," >>doc
    print "whole process as `/usr/bin/time` sees it (the Wine process, its start-up included); medians of " reps " runs.\n" >>doc
    print "| Program | CPU (user + system) | Peak resident size |" >>doc
    print "|---|---|---|" >>doc
    printf "| `lumara-inspect stream`, native | %s ms | %s MB |\n", fixed(median(cpu["native"])), fixed(median(rss["native"])) >>doc
    printf "| `lumara-inspect.exe stream`, i686 under Wine | %s ms | %s MB |\n\n", fixed(median(cpu["wine"])), fixed(median(rss["wine"])) >>doc
    print "The DLL'"'"'s code built by the `win32-bench` preset without (`LUMARA_HARDEN=OFF`) and with" >>doc
    print "`-fstack-protector-strong`, `--dynamicbase` and `--nxcompat`, under Wine (medians):\n" >>doc
    print "| Benchmark | Without | With | With / without |" >>doc
    print "|---|---|---|---|" >>doc
    for (i = 1; i <= n; ++i) {
        k = order[i]; p = value["plain", k]; h = value["hardened", k]
        printf "| %s (%s) | %s | %s | %s |\n", k, unit[k], p == "" ? "n/a" : fixed(p), h == "" ? "n/a" : fixed(h),
            (p == "" || h == "" || p == 0) ? "" : sprintf("%.3f", h / p) >>doc
    }
    print "" >>doc
}' "$OUT/runs.txt" "$OUT/bench.txt"
