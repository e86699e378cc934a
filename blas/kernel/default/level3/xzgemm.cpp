// The serial double-complex matrix-multiply driver: tiles of 128 rows by 64
// columns, depth blocks of 32, groups of 16 rows (then 8, 4, and the
// unblocked routine for one to three rows). A is packed without alpha; the
// kernels apply it. Remainder k mod 32: 24 or more by the 24-deep kernel,
// 16 or more by the 16-deep one on 32 rows, the rest unblocked.
//
// Work memory (packed A block and B buffer) comes from the per-thread
// cache of _ZEM_SERV_allocate, not the stack, so OpenMP workers need no
// larger stacks; without it the whole product runs unblocked.
#include "blas/kernel/default/level3/gemm_real_driver.h"

namespace {

typedef ZEM_Complex16 Z;
typedef void (*ZKernel)(int, const double *, const Z *, ptrdiff_t, Z *, ptrdiff_t, const Z *);
typedef void (*ZEdge)(char, char, int, int, int, Z, const Z *, ptrdiff_t, const Z *, ptrdiff_t, Z, Z *, ptrdiff_t);

enum Op { N = 0, T = 1, C = 2 };

inline Op op_of(const char *t)
{
    return (*t == 'N' || *t == 'n') ? N : (*t == 'T' || *t == 't') ? T : C;
}

const ZEdge edges[3][3] = {{_ZEM_BLAS_zpst_nn, _ZEM_BLAS_zpst_nt, _ZEM_BLAS_zpst_nc},
                           {_ZEM_BLAS_zpst_tn, _ZEM_BLAS_zpst_tt, _ZEM_BLAS_zpst_tc},
                           {_ZEM_BLAS_zpst_cn, _ZEM_BLAS_zpst_ct, _ZEM_BLAS_zpst_cc}};

const int kTileM = 128, kTileN = 64, kDepth = 32;
const size_t kApack = 512 * 2; // doubles: 16 x 32 or 32 x 16 complex
const ptrdiff_t kLdBuf = 32;   // complex elements per B buffer column

struct ZPlan {
    Op oa, ob;
    char ta, tb;
    int m, n, k;
    Z alpha;
    const Z *A, *B;
    Z *C;
    ptrdiff_t lda, ldb, ldc;
    double *apack;
    Z *bbuf;
    ZEdge edge;

    const Z *a_at(ptrdiff_t i, ptrdiff_t p) const { return oa == N ? A + i + p * lda : A + p + i * lda; }
    const Z *b_at(ptrdiff_t p, ptrdiff_t j) const { return ob == N ? B + p + j * ldb : B + j + p * ldb; }
    Z *c_at(ptrdiff_t i, ptrdiff_t j) const { return C + i + j * ldc; }

    void pack(ptrdiff_t i, ptrdiff_t p0, int rows, int depth) const
    {
        if (oa == N)
            _ZEM_BLAS_zgtran(a_at(i, p0), lda, rows, depth, apack);
        else if (oa == T)
            _ZEM_BLAS_zgtrat(a_at(i, p0), lda, rows, depth, apack);
        else
            _ZEM_BLAS_zgtrac(a_at(i, p0), lda, rows, depth, apack);
    }

    const Z *b_source(ptrdiff_t p0, ptrdiff_t j0, int nb, int depth, ptrdiff_t &ld) const
    {
        if (ob == N) {
            ld = ldb;
            return b_at(p0, j0);
        }
        if (ob == T)
            _ZEM_BLAS_zgtrbt(nb, depth, b_at(p0, j0), ldb, bbuf, kLdBuf);
        else
            _ZEM_BLAS_zgtrbc(nb, depth, b_at(p0, j0), ldb, bbuf, kLdBuf);
        ld = kLdBuf;
        return bbuf;
    }

    // C(i0.., j0..) += alpha * op(A)(i0.., p0..) op(B)(p0.., j0..), unblocked
    void rest(ptrdiff_t i0, int rows, ptrdiff_t j0, int cols, ptrdiff_t p0, int depth) const
    {
        if (rows > 0 && cols > 0 && depth > 0)
            edge(ta, tb, rows, cols, depth, alpha, a_at(i0, p0), lda, b_at(p0, j0), ldb, Z{1.0, 0.0},
                 c_at(i0, j0), ldc);
    }

    // Groups of `rows` with kernel `kern` at depth `depth` from p0 over the
    // rows ib..ib+mb-1; returns the first row left over.
    ptrdiff_t groups(ptrdiff_t ib, int mb, ptrdiff_t jb, int nb, ptrdiff_t p0, int depth, int rows, ZKernel kern,
                     const Z *bs, ptrdiff_t ldbs, bool once) const
    {
        ptrdiff_t i = ib;
        while (i + rows <= ib + mb) {
            pack(i, p0, rows, depth);
            kern(nb, apack, bs, ldbs, c_at(i, jb), ldc, &alpha);
            i += rows;
            if (once)
                break;
        }
        return i;
    }

    void scale(ptrdiff_t ib, int mb, ptrdiff_t jb, int nb, Z beta) const
    {
        const bool zero = beta.real == 0.0 && beta.imag == 0.0;
        if (beta.real == 1.0 && beta.imag == 0.0)
            return;
        for (ptrdiff_t j = 0; j < nb; ++j) {
            Z *cj = c_at(ib, jb + j);
            for (ptrdiff_t i = 0; i < mb; ++i) {
                if (zero) {
                    cj[i].real = 0.0;
                    cj[i].imag = 0.0;
                } else {
                    const long double xr = cj[i].real, xi = cj[i].imag;
                    cj[i].real = (double)(beta.real * xr - beta.imag * xi);
                    cj[i].imag = (double)(beta.real * xi + beta.imag * xr);
                }
            }
        }
    }

    void run(Z beta) const
    {
        const int k0 = k / kDepth * kDepth, r = k - k0;
        for (int jb = 0; jb < n; jb += kTileN) {
            const int nb = n - jb < kTileN ? n - jb : kTileN;
            for (int ib = 0; ib < m; ib += kTileM) {
                const int mb = m - ib < kTileM ? m - ib : kTileM;
                scale(ib, mb, jb, nb, beta);
                if (!apack)
                    continue;
                for (int p0 = 0; p0 < k0; p0 += kDepth) {
                    ptrdiff_t ldbs;
                    const Z *bs = b_source(p0, jb, nb, kDepth, ldbs);
                    ptrdiff_t i = groups(ib, mb, jb, nb, p0, kDepth, 16, _ZEM_BLAS_zin16_32, bs, ldbs, false);
                    i = groups(i, (int)(ib + mb - i), jb, nb, p0, kDepth, 8, _ZEM_BLAS_zin8_32, bs, ldbs, true);
                    i = groups(i, (int)(ib + mb - i), jb, nb, p0, kDepth, 4, _ZEM_BLAS_zin4_32, bs, ldbs, true);
                    rest(i, (int)(ib + mb - i), jb, nb, p0, kDepth);
                }
            }
        }
        if (!apack) {
            rest(0, m, 0, n, 0, k);
            return;
        }
        if (r == 0)
            return;
        int kd = 0, rows = 0;
        ZKernel kern = nullptr;
        if (r >= 24) {
            kd = 24;
            rows = 16;
            kern = _ZEM_BLAS_zin16_24;
        } else if (r >= 16) {
            kd = 16;
            rows = 32;
            kern = _ZEM_BLAS_zin32_16;
        }
        if (kern)
            for (int jb = 0; jb < n; jb += kTileN) {
                const int nb = n - jb < kTileN ? n - jb : kTileN;
                ptrdiff_t ldbs;
                const Z *bs = b_source(k0, jb, nb, kd, ldbs);
                ptrdiff_t i = groups(0, m, jb, nb, k0, kd, rows, kern, bs, ldbs, false);
                rest(i, (int)(m - i), jb, nb, k0, kd);
            }
        rest(0, m, 0, n, k0 + kd, r - kd);
    }
};

} // namespace

extern "C" ZEM_API void _ZEM_BLAS_xzgemm ZEM_P_GEMM(ZEM_Complex16, double)
{
    ZPlan pl;
    pl.m = *m;
    pl.n = *n;
    pl.k = *k < 0 ? 0 : *k;
    if (pl.m <= 0 || pl.n <= 0)
        return;
    pl.oa = op_of(transa);
    pl.ob = op_of(transb);
    pl.ta = *transa;
    pl.tb = *transb;
    pl.alpha = *alpha;
    pl.A = a;
    pl.B = b;
    pl.C = c;
    pl.lda = zem_gemm::ld_of(lda);
    pl.ldb = zem_gemm::ld_of(ldb);
    pl.ldc = zem_gemm::ld_of(ldc);
    pl.edge = edges[pl.oa][pl.ob];
    void *mem = pl.k > 0 ? _ZEM_SERV_allocate(kApack * sizeof(double) + kTileN * kLdBuf * sizeof(Z) + 64) : nullptr;
    pl.apack = mem ? zem_gemm::align64<double>(mem) : nullptr;
    pl.bbuf = mem ? (Z *)(pl.apack + kApack) : nullptr;
    pl.run(*beta);
    if (mem)
        _ZEM_SERV_deallocate(mem);
}
