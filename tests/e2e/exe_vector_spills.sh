#!/usr/bin/env bash
# Checks that karido.exe never moves a 32- or 64-byte vector register to or
# from the stack with an aligned move. 64-bit Windows aligns the stack to 16
# bytes only, and GCC for this target does not realign it for such spills, so
# an aligned spill of a ymm or zmm register faults on some calls and not
# others. The blit and conversion kernels must keep their wide vectors in
# registers (or spill them with unaligned moves).
#
# Usage: exe_vector_spills.sh PATH_TO_KARIDO_EXE OBJDUMP
set -uo pipefail

program=${1:-}
objdump=${2:-}
if [[ ! -f "$program" || -z "$objdump" ]]; then
    echo "usage: $0 PATH_TO_KARIDO_EXE OBJDUMP" >&2
    exit 2
fi

listing=$("$objdump" -d --no-show-raw-insn "$program") ||
    { echo "FAIL: $objdump cannot disassemble $program" >&2; exit 1; }
wide=$(grep -cE '%[yz]mm[0-9]+' <<<"$listing")
if ((wide == 0)); then
    # The kernels are chosen at run time; a build without them tests nothing.
    echo "FAIL: no 256- or 512-bit instruction in $program: the vector kernels are missing" >&2
    exit 1
fi
aligned='vmov(aps|apd|dqa|dqa32|dqa64)[[:space:]]+'
stack='-?(0x[0-9a-f]+)?\(%r[sb]p(,[^)]*)?\)'
spills=$(grep -E "${aligned}(%[yz]mm[0-9]+,${stack}|${stack},%[yz]mm[0-9]+)" <<<"$listing")
if [[ -n "$spills" ]]; then
    echo "FAIL: aligned wide-vector moves to or from the stack:" >&2
    head -20 <<<"$spills" >&2
    exit 1
fi
echo "exe_vector_spills: $wide wide-vector instructions, none an aligned stack move"
