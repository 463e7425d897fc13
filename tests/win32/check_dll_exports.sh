#!/bin/sh
# Checks the plug-in library's table of exports and imports:
# exactly the undecorated GetIface and GetIface2, and Windows system DLLs only.
# Usage: check_dll_exports.sh OBJDUMP DLL
set -eu
# binutils translates its headings; read them in the C locale.
export LC_ALL=C
dump=$("$1" -p "$2")

exports=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
if [ "$exports" != "GetIface GetIface2 " ]; then
    echo "exports are: $exports"
    exit 1
fi

exec sh "$(dirname "$0")/check_imports.sh" "$1" "$2"
