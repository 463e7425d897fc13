#!/bin/sh
# Runs an x86_64 Windows program under 64-bit Wine with a throw-away prefix in the build tree.
# LUMARA_WINEPREFIX is set by tools/test-all.sh; the fallback keeps ad-hoc ctest runs working.
: "${LUMARA_WINEPREFIX:=$PWD/wineprefix}"
export WINEPREFIX="$LUMARA_WINEPREFIX"
export WINEDEBUG=-all TZ=JST-9 LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
exec /usr/lib/wine/wine64 "$@"
