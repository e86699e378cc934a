// The serial single-complex matrix-multiply driver. Problems with m, n or k
// below 4 go to the unblocked routine. Otherwise, for tiles of 512 rows by
// 192 columns, C is copied (with beta) into a work tile, op(B) is copied
// per depth block of 64 into the split real/imaginary layout, groups of 8
// rows (then one of 4) of alpha*op(A) are packed and multiplied into the
// work tile, the rows and depth left over go to the unblocked routine, and
// the tile is copied back.
#include "blas/kernel/default/level3/gemm_real_driver.h"

namespace {

typedef ZEM_Complex8 X;
typedef void (*CKernel)(int, const float *, const float *, ptrdiff_t, X *, ptrdiff_t);

enum Op { N = 0, T = 1, C = 2 };

inline Op op_of(const char *t)
{
    return (*t == 'N' || *t == 'n') ? N : (*t == 'T' || *t == 't') ? T : C;
}

// The workspace: one block of kWorkBytes from the per-thread cache; base is
// its address rounded down to 64 bytes.
const size_t kWorkBytes = 901248;
const size_t kOffA = 64, kOffB = 16448, kOffTile = 114752;
const int kTileM = 512, kTileN = 192, kDepth = 64;
const ptrdiff_t kLdBuf = 2 * kDepth; // floats per B buffer column
// The work tile is plain column-major, 512 complex elements per column, so
// that the unblocked routine can work on it like on C; the strips of eight
// rows are the order of the copies, not a layout.
const ptrdiff_t kLdT = kTileM;

struct CPlan {
    Op oa, ob;
    char ta, tb;
    int m, n, k;
    X alpha;
    const X *A, *B;
    X *C;
    ptrdiff_t lda, ldb, ldc;
    float *apack, *bbuf;
    X *tile;

    const X *a_at(ptrdiff_t i, ptrdiff_t p) const { return oa == N ? A + i + p * lda : A + p + i * lda; }
    const X *b_at(ptrdiff_t p, ptrdiff_t j) const { return ob == N ? B + p + j * ldb : B + j + p * ldb; }

    void pack(ptrdiff_t i, ptrdiff_t p0, int rows, int depth) const
    {
        if (oa == N)
            _ZEM_BLAS_cgtran(a_at(i, p0), lda, rows, depth, apack, alpha);
        else if (oa == T)
            _ZEM_BLAS_cgtrat(a_at(i, p0), lda, rows, depth, apack, alpha);
        else
            _ZEM_BLAS_cgtrac(a_at(i, p0), lda, rows, depth, apack, alpha);
    }

    void copy_b(ptrdiff_t p0, ptrdiff_t j0, int nb, int depth) const
    {
        if (ob == N)
            _ZEM_BLAS_cgcopybn(nb, depth, b_at(p0, j0), ldb, bbuf, kLdBuf);
        else if (ob == T)
            _ZEM_BLAS_cgcopybt(nb, depth, b_at(p0, j0), ldb, bbuf, kLdBuf);
        else
            _ZEM_BLAS_cgcopybc(nb, depth, b_at(p0, j0), ldb, bbuf, kLdBuf);
    }

    // work tile rows i.. (tile coordinates) += alpha * op(A) op(B), unblocked
    void rest(ptrdiff_t ib, ptrdiff_t i, int rows, ptrdiff_t jb, int cols, ptrdiff_t p0, int depth) const
    {
        if (rows > 0 && depth > 0)
            _ZEM_BLAS_cgemmpst(ta, tb, rows, cols, depth, alpha, a_at(ib + i, p0), lda, b_at(p0, jb), ldb,
                               X{1.0f, 0.0f}, tile + i, kLdT);
    }

    // Depth block p0..p0+depth-1 on the tile at (ib, jb): returns nothing;
    // depth is 64 (kernels of 8 and 4 rows) or 48, 32, 16 (8 rows only).
    void block(ptrdiff_t ib, int mb, ptrdiff_t jb, int nb, ptrdiff_t p0, int depth, CKernel k8, CKernel k4) const
    {
        copy_b(p0, jb, nb, depth);
        int i = 0;
        for (; i + 8 <= mb; i += 8) {
            pack(ib + i, p0, 8, depth);
            k8(nb, apack, bbuf, kLdBuf, tile + i, kLdT);
        }
        if (k4 && i + 4 <= mb) {
            pack(ib + i, p0, 4, depth);
            k4(nb, apack, bbuf, kLdBuf, tile + i, kLdT);
            i += 4;
        }
        rest(ib, i, mb - i, jb, nb, p0, depth);
    }

    void run(X beta) const
    {
        const bool beta0 = beta.real == 0.0f && beta.imag == 0.0f;
        const bool beta1 = beta.real == 1.0f && beta.imag == 0.0f;
        const int k0 = k / kDepth * kDepth, r = k - k0, r16 = r / 16 * 16;
        for (int jb = 0; jb < n; jb += kTileN) {
            const int nb = n - jb < kTileN ? n - jb : kTileN;
            for (int ib = 0; ib < m; ib += kTileM) {
                const int mb = m - ib < kTileM ? m - ib : kTileM;
                X *c = C + ib + jb * ldc;
                // copied in strips of eight rows
                if (beta0)
                    _ZEM_BLAS_ccopycf0(mb, nb, c, ldc, tile, kLdT, beta);
                else if (beta1)
                    _ZEM_BLAS_ccopycf1(mb, nb, c, ldc, tile, kLdT, beta);
                else
                    _ZEM_BLAS_ccopycf(mb, nb, c, ldc, tile, kLdT, beta);
                for (int p0 = 0; p0 < k0; p0 += kDepth)
                    block(ib, mb, jb, nb, p0, kDepth, _ZEM_BLAS_cin8_64, _ZEM_BLAS_cin4_64);
                if (r16 >= 16)
                    block(ib, mb, jb, nb, k0, r16,
                          r16 >= 48 ? _ZEM_BLAS_cin8_48 : r16 >= 32 ? _ZEM_BLAS_cin8_32 : _ZEM_BLAS_cin8_16, nullptr);
                rest(ib, 0, mb, jb, nb, k0 + r16, r - r16);
                _ZEM_BLAS_ccopycr(mb, nb, c, ldc, tile, kLdT);
            }
        }
    }
};

} // namespace

extern "C" ZEM_API void _ZEM_BLAS_xcgemm ZEM_P_GEMM(ZEM_Complex8, float)
{
    const int mm = *m, nn = *n, kk = *k < 0 ? 0 : *k;
    if (mm <= 0 || nn <= 0)
        return;
    const ptrdiff_t la = zem_gemm::ld_of(lda), lb = zem_gemm::ld_of(ldb), lc = zem_gemm::ld_of(ldc);
    if (mm < 4 || nn < 4 || kk < 4) {
        _ZEM_BLAS_cgemmpst(*transa, *transb, mm, nn, kk, *alpha, a, la, b, lb, *beta, c, lc);
        return;
    }
    void *mem = _ZEM_SERV_allocate(kWorkBytes);
    if (!mem) {
        // No workspace: the unblocked routine needs none and gives the
        // same product.
        _ZEM_BLAS_cgemmpst(*transa, *transb, mm, nn, kk, *alpha, a, la, b, lb, *beta, c, lc);
        return;
    }
    char *base = (char *)((uintptr_t)mem & ~(uintptr_t)63);
    CPlan pl;
    pl.oa = op_of(transa);
    pl.ob = op_of(transb);
    pl.ta = *transa;
    pl.tb = *transb;
    pl.m = mm;
    pl.n = nn;
    pl.k = kk;
    pl.alpha = *alpha;
    pl.A = a;
    pl.B = b;
    pl.C = c;
    pl.lda = la;
    pl.ldb = lb;
    pl.ldc = lc;
    pl.apack = (float *)(base + kOffA);
    pl.bbuf = (float *)(base + kOffB);
    pl.tile = (X *)(base + kOffTile);
    pl.run(*beta);
    _ZEM_SERV_deallocate(mem);
}
