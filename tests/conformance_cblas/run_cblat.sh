#!/usr/bin/env bash
# Runs one of Debian's reference CBLAS testers against this library (found
# as libblas.so.3 in libdir) and judges its report.
#   run_cblat.sh tester libdir workdir cc globals [input]
# globals: a small object defining the data the testers expect from their
# C library (preloaded). Without an input file (level 1) every subprogram
# must report PASS; with one (levels 2 and 3) every routine set to T must
# pass its computational tests in each layout the input asks for.
set -uo pipefail
tester=$1 libdir=$2 work=$3 cc=$4 globals=$5 input=${6:-}
mkdir -p "$work" && cd "$work" || exit 1
export LD_LIBRARY_PATH=$libdir
resolved=$(ldd "$tester" | awk '$1 == "libblas.so.3" {print $3}')
if [ "$(readlink -f "$resolved")" != "$(readlink -f "$libdir/libblas.so.3")" ]; then
  echo "libblas.so.3 resolves to '$resolved', not to our library"; exit 1
fi

# The testers resolve every routine at start-up. Routines the library does
# not have yet (set to F in the input, never called) get a placeholder that
# stops the program, in an object preloaded into this test alone.
preload=$globals
defined=$( (nm -D --defined-only "$libdir/libblas.so.3"; nm -D --defined-only "$globals") | awk '{print $NF}')
missing=()
for s in $(nm -D "$tester" | awk '$1 == "U" && $2 !~ /@/ {print $2}'); do
  grep -qx -- "$s" <<< "$defined" || missing+=("$s")
done
if [ ${#missing[@]} -gt 0 ]; then
  {
    echo '#include <stdio.h>'
    echo '#include <stdlib.h>'
    for s in "${missing[@]}"; do
      echo "void $s(void) { fputs(\"$s is not in the library under test\\n\", stderr); exit(3); }"
    done
  } > absent.c
  "$cc" -shared -fPIC -o absent.so absent.c || exit 1
  preload="$preload $PWD/absent.so"
fi

rc=0
if [ -n "$input" ]; then
  LD_PRELOAD=$preload "$tester" < "$input" > output.txt 2>&1 || rc=$?
else
  LD_PRELOAD=$preload "$tester" > output.txt 2>&1 || rc=$?
fi
cat output.txt
status=0
[ "$rc" -eq 0 ] || { echo "tester exit status $rc"; status=1; }
if grep -E "FAIL|FATAL|SUSPECT|WRONG|\*\*\*\*\*\*" output.txt; then status=1; fi
if [ -z "$input" ]; then
  tests=$(grep -c 'Test of subprogram' output.txt)
  passes=$(grep -c -- '----- PASS -----' output.txt)
  [ "$tests" -gt 0 ] && [ "$tests" -eq "$passes" ] || { echo "$passes of $tests subprograms passed"; status=1; }
  exit $status
fi
# The layout line of the input: 2 asks for both layouts.
layouts=$(awk '/TO TEST ROW-MAJOR/ {print ($1 == 2) ? 2 : 1}' "$input")
routines=$(awk '$2 == "T" && $1 ~ /^cblas_/ {print $1}' "$input")
[ -n "$routines" ] || { echo "no routine set to T"; status=1; }
for r in $routines; do
  n=$(grep -c -E "^ *$r +PASSED THE .*COMPUTATIONAL TESTS" output.txt)
  [ "$n" -ge "$layouts" ] || { echo "$r: $n of $layouts layouts passed"; status=1; }
done
exit $status
