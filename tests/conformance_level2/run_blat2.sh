#!/usr/bin/env bash
# Runs one reference level-2 tester against our library and checks its
# summary: every routine the input file enables passed both its error-exit
# and its computational tests, and the run reached its end.
#   run_blat2.sh TESTER INPUT LIBDIR WORKDIR
set -euo pipefail
tester=$1 input=$2 libdir=$3 work=$4
rm -rf "$work"
mkdir -p "$work"
cd "$work"
# Make sure the tester loads our library, not the system's.
deps=$(LD_LIBRARY_PATH="$libdir" ldd "$tester")
if [[ "$deps" != *"$libdir/libblas.so.3"* ]]; then
  echo "conformance: $tester does not load $libdir/libblas.so.3"
  exit 1
fi
# The summary goes to the file the input names on its first line.
summary=$(sed -n "1s/^'\([^']*\)'.*/\1/p" "$input")
LD_LIBRARY_PATH="$libdir" "$tester" < "$input" > tester.log 2>&1 || { cat tester.log; exit 1; }
cat "$summary"
want=$(grep -c " T PUT F FOR NO TEST" "$input")
comp=$(grep -c "PASSED THE COMPUTATIONAL TESTS" "$summary" || true)
errx=$(grep -c "PASSED THE TESTS OF ERROR-EXITS" "$summary" || true)
bad=$(grep -ciE "FAIL|\*\*\*|SUSPECT|ERROR-EXIT.*NOT" "$summary" || true)
if [ "$comp" -ne "$want" ] || [ "$errx" -ne "$want" ] || [ "$bad" -ne 0 ] || ! grep -q "END OF TESTS" "$summary"; then
  echo "conformance: $comp of $want routines passed the computational tests, $errx the error exits, $bad failure lines"
  exit 1
fi
echo "conformance: all $want routines passed"
