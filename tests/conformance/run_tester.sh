#!/usr/bin/env bash
# Runs one of Debian's reference BLAS test programs against our library and
# judges its report.
#   run_tester.sh <program> <dir holding our libblas.so.3 link> [input file]
# ZEM_TESTER_PRELOAD, when set, is preloaded into the program alone.
# The program's libblas.so.3 must resolve to our library; every subprogram it
# tests must report PASS (level 1) or pass its computational tests and
# error exits (levels 2 and 3).
set -uo pipefail
prog=$1 linkdir=$2 input=${3:-}
export LD_LIBRARY_PATH=$linkdir${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
resolved=$(ldd "$prog" | awk '$1 == "libblas.so.3" {print $3}')
if [ "$(readlink -f "$resolved")" != "$(readlink -f "$linkdir/libblas.so.3")" ]; then
  echo "libblas.so.3 resolves to '$resolved', not to our library"; exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
preload=(env)
[ -n "${ZEM_TESTER_PRELOAD:-}" ] && preload=(env "LD_PRELOAD=$ZEM_TESTER_PRELOAD")
if [ -n "$input" ]; then "${preload[@]}" "$prog" < "$input" > out.txt 2>&1; else "${preload[@]}" "$prog" > out.txt 2>&1; fi
rc=$?
# Level 2 and 3 programs write their report to the file named in the input.
report=out.txt
for f in *.SUMM *.summ SBLAT*.SUMM DBLAT*.SUMM CBLAT*.SUMM ZBLAT*.SUMM; do [ -f "$f" ] && report=$f; done
cat "$report"
[ "$report" != out.txt ] && cat out.txt
if [ $rc -ne 0 ]; then echo "exit status $rc"; exit 1; fi
if grep -q -E 'FAIL|FATAL|\*\*\*\*\*\*' "$report" out.txt; then echo "reported failures"; exit 1; fi
tests=$(grep -c 'Test of subprogram' out.txt)
passes=$(grep -c -- '----- PASS -----' out.txt)
if [ -z "$input" ] && { [ "$tests" -eq 0 ] || [ "$tests" -ne "$passes" ]; }; then
  echo "$passes of $tests subprograms passed"; exit 1
fi
exit 0
