#!/usr/bin/env bash
# Checks that the Windows program runs on a machine with nothing installed:
# it is a GUI program (no console window opens with it) and it imports only
# libraries that every Windows has, so no library need lie beside it.
#
# Usage: exe_imports.sh PATH_TO_KARIDO_EXE OBJDUMP
set -uo pipefail

program=${1:-}
objdump=${2:-}
if [[ ! -f "$program" || -z "$objdump" ]]; then
    echo "usage: $0 PATH_TO_KARIDO_EXE OBJDUMP" >&2
    exit 2
fi

headers=$("$objdump" -p "$program") || { echo "FAIL: $objdump cannot read $program" >&2; exit 1; }
failures=0

if grep -q '^Subsystem.*(Windows GUI)' <<<"$headers"; then
    echo "ok:   a Windows GUI program"
else
    echo "FAIL: not a Windows GUI program: $(grep '^Subsystem' <<<"$headers")" >&2
    failures=$((failures + 1))
fi

# The system's own libraries: the kernel, windows and GDI, sound, and the
# C runtime that every Windows carries.
allowed='^(KERNEL32|USER32|GDI32|WINMM|msvcrt)\.dll$'
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | sort -u)
if [[ -z "$imports" ]]; then
    echo "FAIL: no imported library found in $program" >&2
    failures=$((failures + 1))
fi
while read -r library; do
    [[ -n "$library" ]] || continue
    if [[ "$library" =~ $allowed ]]; then
        echo "ok:   imports $library"
    else
        echo "FAIL: imports $library, which a Windows machine need not have" >&2
        failures=$((failures + 1))
    fi
done <<<"$imports"

if ((failures > 0)); then
    echo "exe_imports: $failures check(s) failed" >&2
    exit 1
fi
echo "exe_imports: all checks passed"
