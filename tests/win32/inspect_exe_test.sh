#!/bin/sh
# lumara-inspect.exe under Wine beside the native tool on the same files: the same report,
# JSON, XMLTV and cache bytes, the same messages and exit codes for bad input; then what only
# Windows has: binary standard streams, names outside the ANSI code page, sizes over 4 GB.
#   inspect_exe_test.sh WINE_RUN INSPECT.exe NATIVE_BUILD_DIR REALDATA_DIR WORK_DIR
set -u
WINE_RUN=$1
EXE=$2
NATIVE=$3/tools/lumara-inspect
REAL=$4
WORK=$5
DTD=/usr/share/xmltv/xmltv.dtd
export TZ=JST-9  # both tools show broadcast times as local times
. "$(dirname "$0")/script_checks.sh"
if [ ! -x "$NATIVE" ]; then echo "the native build (cmake --preset native) is needed first"; exit 1; fi
rm -rf "$WORK" && mkdir -p "$WORK" && cd "$WORK" || exit 1
cp "$3/sample.ts" "$3/sample.upd" . && cp "$EXE" inspect.exe || exit 1
win() { "$WINE_RUN" ./inspect.exe "$@"; }

# Both tools on one command line: every output file, standard output and standard error and
# the exit status must be the same bytes. Names are relative, so they read alike to both.
same() {  # WHAT OUTPUT_FILES ARGS...
    what=$1
    outputs=$2
    shift 2
    (cd native && "$NATIVE" "$@" >stdout 2>stderr; echo $? >status)
    (cd windows && "$WINE_RUN" ../inspect.exe "$@" >stdout 2>stderr; echo $? >status)
    for f in stdout stderr status $outputs; do
        if [ ! -e "native/$f" ] && [ ! -e "windows/$f" ] && [ "$f" != stdout ]; then :  # refused alike
        elif [ -e "native/$f" ] && cmp -s "native/$f" "windows/$f"; then :
        else fail "$what: $f differs"; diff "native/$f" "windows/$f" | head -5; return; fi
    done
    ok
}

# The sample stream, the cache it gives, a change log.
mkdir -p native windows
ln -s ../sample.ts ../sample.upd native/ && ln -s ../sample.ts ../sample.upd windows/
same "sample, report" "sample.xml sample.dat" stream sample.ts --xmltv sample.xml --save-cache sample.dat
same "sample, JSON" "" stream sample.ts --json
same "cache, JSON" "cache.xml" cache sample.dat --json --xmltv cache.xml
same "change log, JSON" "" changes sample.upd --json
same "change log, report" "" changes sample.upd
tv_validate_file --dtd-file "$DTD" windows/sample.xml >validate.log 2>&1 && ok || { fail "sample.xml not valid XMLTV"; cat validate.log; }

# The real captures with a TOT packet of 2020-05-10 20:00 JST in front, as the native test does.
printf '\107\100\024\020\000\163\160\013\346\143\040\000\000\360\000\033\214\046\362' >tot.ts
head -c 169 /dev/zero | tr '\0' '\377' >>tot.ts
for capture in "$REAL"/*.ts; do
    name=$(basename "$capture" .ts)
    cat tot.ts "$capture" >"native/$name.ts"
    cp "native/$name.ts" "windows/$name.ts"
    same "$name, JSON" "" stream "$name.ts" --json
    same "$name, XMLTV" "$name.xml" stream "$name.ts" --xmltv "$name.xml"
    if [ -e "windows/$name.xml" ]; then
        tv_validate_file --dtd-file "$DTD" "windows/$name.xml" >validate.log 2>&1 && ok || fail "$name.xml not valid XMLTV"
    fi
done

# Binary standard streams: piped input (0x1A and CR LF bytes in it) gives the same store;
# --xmltv - gives the file's bytes.
cat sample.ts | win stream - --json >piped.json
(cd windows && "$WINE_RUN" ../inspect.exe stream sample.ts --json >file.json)
if cmp -s piped.json windows/file.json; then ok; else fail "standard input gives another store"; fi
win stream sample.ts --xmltv - >stdout.xml
if cmp -s stdout.xml native/sample.xml; then ok; else fail "--xmltv - differs from the file"; fi

# A name outside the ANSI code page, for input and both outputs.
cp sample.ts '録画_ü.ts'
win stream '録画_ü.ts' --xmltv '番組_ü.xml' --save-cache 'キャッシュ_ü.dat' >report.txt 2>err.log
if [ $? -eq 0 ] && cmp -s '番組_ü.xml' native/sample.xml && cmp -s 'キャッシュ_ü.dat' native/sample.dat &&
   grep -q '^file: 録画_ü.ts ' report.txt; then ok
else fail "non-ANSI names: $(cat err.log)"; ls; fi

# The progress line: on a console (Wine makes one of a terminal), never in a redirected stream.
cat >feed.sh <<FEED
i=0
while [ \$i -lt 16 ]; do cat '$WORK/sample.ts'; i=\$((i + 1)); done | '$WINE_RUN' '$WORK/inspect.exe' stream - >/dev/null
FEED
script -qec "sh feed.sh" terminal.log >/dev/null 2>&1
if sed 's/\x1b\[[0-9;?]*[A-Za-z]//g' terminal.log | grep -q "MB/s"; then ok; else fail "no progress line on a console"; fi
sh feed.sh 2>piped.log
if [ -s piped.log ]; then fail "a progress line in a redirected stream: $(cat piped.log)"; else ok; fi

# Bad input: the same message and status, no output file left (the native test checks that
# the messages say why).
: >empty.ts
head -c 100000 /dev/urandom | tr '\107' '\000' >noise.ts
i=0; while [ $i -lt 50 ]; do printf '\107\037\377\020'; head -c 184 /dev/zero | tr '\0' '\377'; i=$((i + 1)); done >stuffing.ts
head -c $(($(wc -c <sample.ts) - 100)) sample.ts >truncated.ts
for f in empty.ts noise.ts stuffing.ts truncated.ts; do cp "$f" native/; cp "$f" windows/; done
for input in empty.ts noise.ts stuffing.ts missing.ts; do
    same "$input" "" stream "$input" --xmltv out.xml
    [ -z "$(ls native/out.xml* windows/out.xml* 2>/dev/null)" ] && ok || fail "$input: an output file was left"
done
same "truncated.ts" "truncated.xml" stream truncated.ts --xmltv truncated.xml
same "cache of noise" "" cache noise.ts --xmltv out.xml
same "unwritable XMLTV" "" stream sample.ts --xmltv no-such-dir/out.xml
same "unwritable cache" "" stream sample.ts --save-cache no-such-dir/out.dat

# Over 4 GB (sparse): the sample, a 4.3 GB hole, the sample, 1000 bytes of garbage, the
# sample. The second stretch skipped starts past 4 GiB; its offset and the byte counts must
# match the native tool's (a 32-bit size or offset would wrap).
cp sample.ts big.ts
truncate -s +4300000000 big.ts
cat sample.ts >>big.ts && head -c 1000 /dev/zero >>big.ts && cat sample.ts >>big.ts
rm -f native/big.ts windows/big.ts
ln -s ../big.ts native/big.ts && ln -s ../big.ts windows/big.ts
same "over 4 GB" "" stream big.ts --quiet
grep -q "^  1000 bytes at offset 43" windows/stdout && ok || fail "over 4 GB: $(grep -A3 skipped windows/stdout)"
rm -f big.ts

report inspect_exe
