#!/bin/sh
# lumara-inspect as users run it: its XMLTV checked by the XMLTV project's own tools
# (tv_validate_file, and tv_sort for overlaps) on the sample stream, every real capture and
# a cache file; standard input; the progress line on a terminal only; bad input.
#   inspect_cli_test.sh LUMARA_INSPECT SAMPLE.ts REALDATA_DIR WORK_DIR
set -u
INSPECT=$1
SAMPLE=$2
REAL=$3
WORK=$4
DTD=/usr/share/xmltv/xmltv.dtd
passed=0
failed=0
ok() { passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }
rm -rf "$WORK" && mkdir -p "$WORK" && cd "$WORK" || exit 1

check_xmltv() {  # FILE WHAT
    if tv_validate_file --dtd-file "$DTD" "$1" >validate.log 2>&1; then ok; else fail "$2: not valid XMLTV"; cat validate.log; fi
    tv_sort --by-channel --duplicate-error --output /dev/null "$1" 2>sort.log
    if [ -s sort.log ]; then fail "$2: tv_sort objects"; cat sort.log; else ok; fi
}

# A run that must fail: status 1, the message that says why, no output file or temporary left.
check_refused() {  # MESSAGE ARGS...
    what=$1
    shift
    "$INSPECT" "$@" --xmltv out.xml >/dev/null 2>err.log
    status=$?
    if [ "$status" -eq 1 ] && grep -q "$what" err.log && [ -z "$(ls out.xml* 2>/dev/null)" ]; then ok
    else fail "$what: status $status, message '$(cat err.log)', files: $(ls out.xml* 2>/dev/null)"; fi
    rm -f out.xml*
}

"$INSPECT" stream "$SAMPLE" --xmltv sample.xml --save-cache sample.dat >/dev/null || fail "sample stream: status"
check_xmltv sample.xml "sample stream"
"$INSPECT" cache sample.dat --xmltv cache.xml >/dev/null || fail "cache file: status"
check_xmltv cache.xml "cache file"

# The real captures carry no clock: a TOT packet of 2020-05-10 20:00 JST goes first, read
# from standard input. Those without stored programmes are refused.
printf '\107\100\024\020\000\163\160\013\346\143\040\000\000\360\000\033\214\046\362' >tot.ts
head -c 169 /dev/zero | tr '\0' '\377' >>tot.ts
validated=0
for capture in "$REAL"/*.ts; do
    name=$(basename "$capture" .ts)
    cat tot.ts "$capture" | "$INSPECT" stream - --xmltv "$name.xml" >/dev/null 2>err.log
    status=$?
    if [ "$status" -eq 0 ]; then
        check_xmltv "$name.xml" "$name"
        validated=$((validated + 1))
    elif [ "$status" -eq 1 ] && grep -q "no programme data" err.log && [ -z "$(ls "$name".xml* 2>/dev/null)" ]; then ok
    else fail "$name: status $status: $(cat err.log)"; fi
done
[ "$validated" -gt 0 ] && ok || fail "no real capture gave programmes"

# Standard input gives the same report as the file.
"$INSPECT" stream "$SAMPLE" --json >file.json
cat "$SAMPLE" | "$INSPECT" stream - --json >stdin.json
if [ -s file.json ] && cmp -s file.json stdin.json; then ok; else fail "standard input: another report"; fi
"$INSPECT" stream "$SAMPLE" --xmltv - >stdout.xml
if cmp -s sample.xml stdout.xml; then ok; else fail "--xmltv -: another document"; fi

# Over 100 MB through a pipe: a progress line on a terminal, none otherwise or with --quiet.
cat >feed.sh <<FEED
i=0
while [ \$i -lt 16 ]; do cat '$SAMPLE'; i=\$((i + 1)); done | '$INSPECT' stream - "\$@" >/dev/null
FEED
script -qec "sh feed.sh" terminal.log >/dev/null 2>&1
if grep -Fq "$(printf 'MB/s\033[K\r\033[K')" terminal.log; then ok; else fail "no progress line on a terminal, or not cleared"; fi
script -qec "sh feed.sh --quiet" quiet.log >/dev/null 2>&1
if grep -q "MB/s" quiet.log; then fail "a progress line with --quiet"; else ok; fi
sh feed.sh 2>piped.log
if [ -s piped.log ]; then fail "standard error not a terminal, yet: $(cat piped.log)"; else ok; fi

# Bad input.
: >empty.ts
head -c 100000 /dev/urandom | tr '\107' '\000' >noise.ts
i=0; while [ $i -lt 50 ]; do printf '\107\037\377\020'; head -c 184 /dev/zero | tr '\0' '\377'; i=$((i + 1)); done >stuffing.ts
check_refused "is empty" stream empty.ts
check_refused "is not a transport stream" stream noise.ts
check_refused "only stuffing" stream stuffing.ts
check_refused "cannot read missing.ts" stream missing.ts
check_refused "cannot be read" stream .
check_refused "not an event cache" cache noise.ts
"$INSPECT" stream "$SAMPLE" --xmltv no-such-dir/out.xml >/dev/null 2>err.log
if [ $? -eq 1 ] && [ -s err.log ]; then ok; else fail "unwritable XMLTV path accepted"; fi
head -c $(($(wc -c <"$SAMPLE") - 100)) "$SAMPLE" >truncated.ts
"$INSPECT" stream truncated.ts --xmltv truncated.xml >/dev/null 2>err.log
status=$?
if [ "$status" -eq 3 ] && grep -q "ends inside a packet" err.log; then ok; else fail "truncated last packet: status $status"; fi
check_xmltv truncated.xml "truncated capture"

echo "inspect_cli: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
