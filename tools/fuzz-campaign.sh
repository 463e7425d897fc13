#!/bin/sh
# The long fuzzing campaign: every target for SECONDS each (default 600), continuing the
# corpus kept in build/fuzz/work/corpus, then one line of figures per target for
# docs/reliability.md. Failing inputs are kept as regression cases, as tools/fuzz.sh does.
#   tools/fuzz-campaign.sh [SECONDS] [TARGET...]
# FUZZ_RUNS=N ends each target after N executions if that comes before SECONDS.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-600}
[ $# -gt 0 ] && shift
status=0
mkdir -p build/fuzz/work
sh tools/fuzz.sh "$seconds" "$@" >build/fuzz/work/campaign.log 2>&1 || status=1
cat build/fuzz/work/campaign.log
echo
echo "| target | seconds | executions | coverage (edges) | corpus inputs | findings |"
echo "|---|---|---|---|---|---|"
for log in build/fuzz/work/*.log; do
    target=$(basename "$log" .log)
    [ "$target" = campaign ] && continue
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    corpus=$(ls build/fuzz/work/corpus/"$target" 2>/dev/null | wc -l)
    findings=$(ls build/fuzz/work/artifacts/"$target" 2>/dev/null | wc -l)
    echo "| $target | $seconds | ${runs:-?} | ${cov:-?} | $corpus | $findings |"
done
exit $status
