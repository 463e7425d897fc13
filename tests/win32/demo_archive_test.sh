#!/bin/sh
# The release archive as a user runs it: unpacked into an empty folder, lumara-demo.exe
# plays the sample into the DLL beside it and saves its picture; its first lines say which
# plug-in files it starts from, and --fresh sets an earlier run's aside.
#   demo_archive_test.sh WINE_RUN ARCHIVE.zip SAMPLE.ts WORK_DIR
set -u
WINE_RUN=$1
ZIP=$2
SAMPLE=$3
WORK=$4
. "$(dirname "$0")/script_checks.sh"
rm -rf "$WORK" && mkdir -p "$WORK/user" && cd "$WORK/user" || exit 1
cmake -E tar xf "$ZIP" && cp "$SAMPLE" sample.ts || exit 1
play() {  # the demo's standard error is text mode: CR LF line ends
    "$WINE_RUN" ./lumara-demo.exe sample.ts --speed 10 --seconds 8 --print "$@" >rows.txt 2>raw.txt
    s=$?
    tr -d '\r' <raw.txt >log.txt
    return $s
}

play --png .
status=$?
if [ "$status" -eq 0 ] && [ -s main-window.png ] && [ "$(wc -l <rows.txt)" -ge 6 ]; then ok
else fail "first run: status $status, $(cat log.txt)"; fi
if [ "$(grep -c '^starting without .*Moxel_LumaraList\.\(ini\|dat\|upd\)$' log.txt)" -eq 3 ]; then ok
else fail "an empty folder: the first lines name no file to start from: $(head -3 log.txt)"; fi

play
if grep -q '^starting from .*Moxel_LumaraList\.dat ([0-9]* bytes)$' log.txt; then ok
else fail "second run: the earlier run's cache not named: $(head -3 log.txt)"; fi

play --fresh
if [ "$(grep -c '^set aside as .*\.bak$' log.txt)" -ge 2 ] && [ "$(grep -c '^starting without' log.txt)" -eq 3 ] &&
   [ -s Moxel_LumaraList.dat.bak ]; then ok
else fail "--fresh: $(head -6 log.txt)"; fi

report demo_archive
