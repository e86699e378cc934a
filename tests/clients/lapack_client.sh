#!/usr/bin/env bash
# Runs one of Debian's LAPACK test programs on the reference LAPACK twice:
# over our library as libblas.so.3, and over the reference BLAS; our run may
# not fail more tests than the reference run, nor crash.
#   lapack_client.sh <folder with our libblas.so.3> <program> <input file>...
set -uo pipefail
sysblas=$1 prog=$2; shift 2
lapackdir=/usr/lib/x86_64-linux-gnu/lapack blasdir=/usr/lib/x86_64-linux-gnu/blas
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
mkdir -p "$t/lapack" "$t/ref"
ln -s "$lapackdir/liblapack.so.3" "$t/lapack/liblapack.so.3"
ln -s "$blasdir/libblas.so.3" "$t/ref/libblas.so.3"
declare -A path=([ours]="$sysblas:$t/lapack" [ref]="$t/ref:$t/lapack")

resolved=$(LD_LIBRARY_PATH=${path[ours]} ldd "$prog" | awk '$1 == "libblas.so.3" {print $3}')
if [ "$(readlink -f "$resolved")" != "$(readlink -f "$sysblas/libblas.so.3")" ]; then
  echo "libblas.so.3 resolves to '$resolved', not to ours"; exit 1
fi

# failed tests and tests run, summed over the report
count() {
  awk '/tests failed to pass the threshold/ { for (i = 1; i <= NF; i++) if ($i == "out") { f += $(i-1); n += $(i+2) } }
       /passed the threshold/ { for (i = 1; i <= NF; i++) if ($i == "(") { n += $(i+1) } else if ($i ~ /^\(/) { v = substr($i, 2); if (v + 0 > 0) n += v } }
       /failed the tests of the error exits|error exits.*FAIL|Illegal value|\*\*\* .*failed/ { e++ }
       END { printf "%d %d %d\n", f, n, e }' "$1"
}
status=0
for input in "$@"; do
  name=$(basename "$input")
  for d in ours ref; do
    (cd "$t" && LD_LIBRARY_PATH=${path[$d]} timeout 900 "$prog" < "$input" > "$t/$d.$name.out" 2>&1)
    echo $? > "$t/$d.$name.rc"
  done
  read -r of on oe < <(count "$t/ours.$name.out")
  read -r rf rn re < <(count "$t/ref.$name.out")
  orc=$(cat "$t/ours.$name.rc") rrc=$(cat "$t/ref.$name.rc")
  printf '%s %s: ours %d failed of %d, %d error-exit faults, exit %d; reference %d failed of %d, %d error-exit faults, exit %d\n' \
    "$(basename "$prog")" "$name" "$of" "$on" "$oe" "$orc" "$rf" "$rn" "$re" "$rrc"
  if [ "$orc" -ne "$rrc" ] || [ "$of" -gt "$rf" ] || [ "$oe" -gt "$re" ] || [ "$on" -lt "$rn" ]; then
    status=1
    grep -E 'failed|FAIL|Illegal|\*\*\*' "$t/ours.$name.out" | head -20
    tail -5 "$t/ours.$name.out"
  fi
done
exit $status
