# Sourced by the Wine test scripts: one Wine prefix for all their runs (ctest's comes from
# tools/wine-env.sh), and a count of their checks. Needs WORK set.
: "${LUMARA_WINEPREFIX:=$WORK.wineprefix}"
export LUMARA_WINEPREFIX
passed=0
failed=0
ok() { passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }
# The closing line; the script's status is whether every check passed.
report() {
    echo "$1: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}
