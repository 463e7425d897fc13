#!/bin/sh
# The week-long soak: seven simulated days of an evolving broadcast through LumaraList.dll in
# the Windows test host under Wine, checked every simulated hour against the broadcast's truth,
# the viewer restarted daily; then the cost at the broadcast's own pace, a few minutes with the
# plug-in and as long without it. Takes about an hour; the log and the figures go to
# build/win32/soak/.
#   tools/soak.sh [DAYS] [REALTIME_MINUTES]
set -eu
cd "$(dirname "$0")/.."
days=${1:-7}
minutes=${2:-10}
sh tools/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j2 --target lumara_soak

out=build/win32/soak
mkdir -p "$out"
. tools/wine-env.sh
wine_start "$PWD/build/win32"
status=0
(cd build/win32/tests/soak && wine lumara_soak.exe --days "$days" --restart-hours 24 --tune-hours 4) \
    >"$out/week.log" 2>&1 || status=1
for mode in with without; do
    flag=""
    [ "$mode" = without ] && flag=--without-plugin
    # shellcheck disable=SC2086
    (cd build/win32/tests/soak && wine lumara_soak.exe --realtime-minutes "$minutes" $flag) \
        >"$out/realtime-$mode.log" 2>&1 || status=1
done
wine_stop
grep -v '^  ' "$out/week.log" | tail -n 20
cat "$out/realtime-with.log" "$out/realtime-without.log"
exit $status
