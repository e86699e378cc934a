#!/usr/bin/env bash
# numpy and scipy (Debian's, through Debian's own python3) on our library as
# libblas.so.3, against the same calls on the system's BLAS; then numpy's own
# linear-algebra test module on both, where ours may not fail more tests.
#   python_client.sh <folder with our libblas.so.3> <this folder>
set -uo pipefail
sysblas=$1 here=$2 py=/usr/bin/python3
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
mkdir -p "$t/lapack"
ln -s /usr/lib/x86_64-linux-gnu/lapack/liblapack.so.3 "$t/lapack/liblapack.so.3"
run_ours() { LD_LIBRARY_PATH=$sysblas:$t/lapack OMP_NUM_THREADS=2 "$@"; }

loaded=$(run_ours $py "$here/linalg_client.py" which) || { echo "$loaded"; exit 1; }
for f in libblas.so.3 libzem_t1.so; do
  grep -qx "$(readlink -f "$sysblas/$f")" <<< "$loaded" || { echo "$f is not ours: $loaded"; exit 1; }
done
run_ours $py "$here/linalg_client.py" compute "$t/ours.npz" || exit 1
$py "$here/linalg_client.py" compute "$t/system.npz" || exit 1
$py "$here/linalg_client.py" compare "$t/ours.npz" "$t/system.npz" || exit 1

# numpy's linear-algebra tests: failures on ours no more than on the system's
npdir=$($py -c 'import numpy, os; print(os.path.dirname(numpy.__file__))')
summary() { grep -E '^(=+ )?[0-9]+ (passed|failed)' "$1" | tail -1; }
nfailed() { sed -nE 's/.* ([0-9]+) failed.*/\1/p; s/^=* ?([0-9]+) failed.*/\1/p' <<< "$1" | head -1; }
(cd "$t" && run_ours $py -m pytest -q -p no:cacheprovider "$npdir/linalg/tests" > ours.pytest 2>&1)
(cd "$t" && $py -m pytest -q -p no:cacheprovider "$npdir/linalg/tests" > system.pytest 2>&1)
so=$(summary "$t/ours.pytest") ss=$(summary "$t/system.pytest")
echo "numpy.linalg tests on ours: $so"
echo "numpy.linalg tests on the system's BLAS: $ss"
fo=$(nfailed "$so") fs=$(nfailed "$ss")
[ -n "$so" ] || { tail -20 "$t/ours.pytest"; exit 1; }
if [ "${fo:-0}" -gt "${fs:-0}" ]; then grep -E '^FAILED' "$t/ours.pytest" | head -20; exit 1; fi
exit 0
