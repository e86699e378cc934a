#!/usr/bin/env bash
# Runs one reference level-3 tester on its input file against this library
# (found as libblas.so.3 in libdir) and checks its summary: every routine
# set to T must pass its computational tests and its error exits.
#   run_blat3.sh tester input libdir workdir cc letter
set -euo pipefail
tester=$1 input=$2 libdir=$3 work=$4 cc=$5 letter=$6
mkdir -p "$work"
cd "$work"

# The testers are linked to resolve every routine at start-up. Routines the
# library does not have yet (set to F, never called) get a placeholder that
# stops the program, in a preloaded object of this test only.
missing=()
defined=$(nm -D --defined-only "$libdir/libblas.so.3" | awk '{print $NF}')
for s in $(nm -D "$tester" | awk '$1 == "U" && $2 !~ /@/ {print $2}'); do
  grep -qx -- "$s" <<< "$defined" || missing+=("$s")
done
preload=
if [ ${#missing[@]} -gt 0 ]; then
  {
    echo '#include <stdio.h>'
    echo '#include <stdlib.h>'
    for s in "${missing[@]}"; do
      echo "void $s(void) { fputs(\"$s is not in the library under test\\n\", stderr); exit(3); }"
    done
  } > absent.c
  "$cc" -shared -fPIC -o absent.so absent.c
  preload=$PWD/absent.so
fi

# The first line of the input names the summary file.
summary=$(head -n 1 "$input" | sed -E "s/^'([^']*)'.*/\1/")
rm -f "$summary"
rc=0
LD_PRELOAD=$preload LD_LIBRARY_PATH="$libdir" "$tester" < "$input" > output.txt 2>&1 || rc=$?
cat output.txt
[ -f "$summary" ] || { echo "no summary file $summary"; exit 1; }
cat "$summary"
routines=$(awk '$2 == "T" && $1 ~ /^[SDCZ][A-Z0-9]+$/ {print $1}' "$input")
status=0
[ "$rc" -eq 0 ] || { echo "tester exit status $rc"; status=1; }
grep -q "END OF TESTS" "$summary" || { echo "no END OF TESTS line"; status=1; }
if grep -E "FAIL|FATAL|SUSPECT|WRONG|NOT BE TESTED" "$summary"; then status=1; fi
for r in $routines; do
  grep -q "$r *PASSED THE COMPUTATIONAL TESTS" "$summary" || { echo "$r: computational tests not passed"; status=1; }
  grep -q "$r *PASSED THE TESTS OF ERROR-EXITS" "$summary" || { echo "$r: error exits not passed"; status=1; }
done
[ -n "$routines" ] || { echo "no routine set to T"; status=1; }
exit $status
