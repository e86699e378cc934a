#!/usr/bin/env bash
# Runs one of Debian's reference BLAS test programs against our library and
# judges its report.
#   run_tester.sh <program> <dir holding our libblas.so.3 link> <input file or -> [preload...]
# The preloaded objects are loaded into the program alone. The program's
# libblas.so.3 must resolve to our library. Without an input file (level 1)
# every subprogram the program tests must report PASS; with one, every
# routine the input switches on must pass its computational tests (in both
# storage orders when a C interface program's input asks for both) and its
# error exits (when the input asks for them), and the run must reach its end.
set -uo pipefail
prog=$(readlink -f "$1") linkdir=$(readlink -f "$2") input=$3
[ "$input" = - ] || input=$(readlink -f "$input")
shift 3
preload=$(for p in "$@"; do readlink -f "$p"; done | paste -sd:)
export LD_LIBRARY_PATH=$linkdir${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
resolved=$(ldd "$prog" | awk '$1 == "libblas.so.3" {print $3}')
if [ "$(readlink -f "$resolved")" != "$(readlink -f "$linkdir/libblas.so.3")" ]; then
  echo "libblas.so.3 resolves to '$resolved', not to our library"; exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
if [ "$input" = - ]; then
  LD_PRELOAD=$preload "$prog" < /dev/null > out.txt 2>&1
else
  LD_PRELOAD=$preload "$prog" < "$input" > out.txt 2>&1
fi
rc=$?
# The report: the summary file the input names on its first line, if any,
# then what the program printed.
report=out.txt
if [ "$input" != - ]; then
  summary=$(sed -n "1s/^'\([^']*\)'.*/\1/p" "$input")
  [ -n "$summary" ] && [ -f "$summary" ] && { cat "$summary" out.txt > report.txt; report=report.txt; }
fi
cat "$report"
status=0
[ $rc -eq 0 ] || { echo "exit status $rc"; status=1; }
# (An input that switches the error exits off is told so; that is no failure.)
if grep -v 'ERROR-EXITS WILL NOT BE TESTED' "$report" | grep -E 'FAIL|FATAL|SUSPECT|WRONG|NOT BE TESTED|\*\*\*\*\*\*' > /dev/null; then
  echo "reported failures"; status=1
fi
if [ "$input" = - ]; then
  tests=$(grep -c 'Test of subprogram' "$report")
  passes=$(grep -c -- '----- PASS -----' "$report")
  if [ "$tests" -eq 0 ] || [ "$tests" -ne "$passes" ]; then echo "$passes of $tests subprograms passed"; status=1; fi
  exit $status
fi
grep -q "END OF TESTS" "$report" || { echo "no END OF TESTS line"; status=1; }
routines=$(awk '$2 == "T" && $1 ~ /^(cblas_)?[A-Za-z][A-Za-z0-9]+$/ {print $1}' "$input")
exits=$(awk '/T TO TEST ERROR EXITS/ {print $1}' "$input")
layouts=$(awk '/TO TEST ROW-MAJOR/ {print ($1 == 2) ? 2 : 1}' "$input")
[ -n "$routines" ] || { echo "no routine switched on"; status=1; }
for r in $routines; do
  passed=$(grep -c -E "(^| )$r +PASSED THE .*COMPUTATIONAL TESTS" "$report")
  [ "$passed" -ge "${layouts:-1}" ] || { echo "$r: computational tests not passed"; status=1; }
  if [ "$exits" = T ]; then
    grep -q -E "(^| )$r +PASSED THE TESTS OF ERROR-EXITS" "$report" || { echo "$r: error exits not passed"; status=1; }
  fi
done
exit $status
