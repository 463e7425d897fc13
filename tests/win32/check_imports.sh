#!/bin/sh
# Checks that a Windows program or library imports Windows system DLLs only, so it runs
# without any runtime beside it.
# Usage: check_imports.sh OBJDUMP FILE
set -eu
export LC_ALL=C
status=0
for dll in $("$1" -p "$2" | sed -n 's/^.*DLL Name: //p'); do
    case $(printf '%s' "$dll" | tr 'A-Z' 'a-z') in
        kernel32.dll|user32.dll|gdi32.dll|comctl32.dll|advapi32.dll|shell32.dll|msvcrt.dll|ole32.dll) ;;
        *) echo "$2 imports a non-system DLL: $dll"; status=1 ;;
    esac
done
exit $status
