"""numpy and scipy as clients of whatever libblas.so.3 this process loads.

  linalg_client.py compute OUT.npz   run a fixed set of linear-algebra calls on
                                     seeded data and save every result
  linalg_client.py compare A B       compare two such files
  linalg_client.py which             print the libblas.so.3 this process loaded
"""
import os
import sys

import numpy as np


def loaded_blas():
    import scipy.linalg  # noqa: F401  (loads the Fortran BLAS wrappers too)
    with open("/proc/self/maps") as maps:
        paths = {os.path.realpath(line.split()[-1]) for line in maps if "/" in line}
    return sorted(p for p in paths if "blas" in os.path.basename(p) or "zem" in os.path.basename(p))


def compute():
    import scipy.linalg as sl
    from scipy.linalg import blas

    rng = np.random.default_rng(20261206)
    out = {}
    n = 67  # crosses the kernels' block borders, small enough to be quick
    for dt in (np.float32, np.float64, np.complex64, np.complex128):
        key = np.dtype(dt).char

        def rand(*shape):
            a = rng.standard_normal(shape)
            if np.iscomplexobj(np.zeros(1, dt)):
                a = a + 1j * rng.standard_normal(shape)
            return a.astype(dt)

        a, b, v = rand(n, n), rand(n, 5), rand(n)
        spd = a @ a.conj().T + n * np.eye(n, dtype=dt)
        out[key + "matmul"] = a @ rand(n, 33)
        out[key + "matvec"] = a @ v
        out[key + "vdot"] = np.array(np.vdot(v, v))
        out[key + "solve"] = np.linalg.solve(a, b)
        out[key + "inv"] = np.linalg.inv(a)
        out[key + "cholesky"] = np.linalg.cholesky(spd)
        q, r = np.linalg.qr(a)
        out[key + "qr"] = np.abs(r.diagonal())
        out[key + "svd"] = np.linalg.svd(a, compute_uv=False)
        out[key + "eigvals"] = np.sort_complex(np.linalg.eigvals(a).astype(np.complex128))
        out[key + "eigh"] = np.linalg.eigvalsh(spd)
        out[key + "lstsq"] = np.linalg.lstsq(rand(n + 20, n), rand(n + 20, 3), rcond=None)[0]
        out[key + "sl_solve"] = sl.solve(spd, b, assume_a="pos")
        out[key + "sl_lu"] = sl.lu_factor(a)[0]
        gemm, trsm, syrk = blas.get_blas_funcs(("gemm", "trsm", "syrk"), dtype=dt)
        out[key + "gemm"] = gemm(1.5, a, b, trans_a=1)
        out[key + "trsm"] = trsm(2.0, np.triu(a) + n * np.eye(n, dtype=dt), b, lower=0, trans_a=1)
        out[key + "syrk"] = np.triu(syrk(1.0, rand(n, 9)))
        if key in "FD":
            (herk,) = blas.get_blas_funcs(("herk",), dtype=dt)
            out[key + "herk"] = np.triu(herk(1.0, rand(n, 9)))
    return out


def main(argv):
    if argv[1] == "which":
        print("\n".join(loaded_blas()))
        return 0
    if argv[1] == "compute":
        print("blas loaded:", " ".join(loaded_blas()))
        np.savez(argv[2], **compute())
        return 0
    a, b = np.load(argv[2]), np.load(argv[3])
    bad = 0
    for k in sorted(a.files):
        x, y = a[k], b[k]
        single = k[0] in "fF"
        tol = (2e-3 if single else 1e-10) * max(1.0, float(np.max(np.abs(y))) if y.size else 1.0)
        err = float(np.max(np.abs(x - y))) if x.size else 0.0
        ok = x.shape == y.shape and err <= tol
        bad += not ok
        if not ok:
            print(f"{k}: differs by {err:.3g} (tolerance {tol:.3g})")
    print(f"{len(a.files) - bad} results agree, {bad} differ")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
