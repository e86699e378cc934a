// Serial drivers of the symmetric and Hermitian products (symm, hemm):
// C := alpha*A*B + beta*C (side L) or alpha*B*A + beta*C (side R) with A
// stored as one triangle. The order of A is cut into diagonal blocks of
// 128; each block is expanded to a full square W and multiplied by one
// gemm with the caller's beta, and the coupling with the other blocks is
// two gemm calls with beta 1 that read the stored triangle directly, one
// as it stands and one transposed (conjugate-transposed for hemm). Each
// block row (side L) or column (side R) of C is thus scaled exactly once.
// The single-precision driver scales all of C first and passes beta 1.
//
// W comes from the per-thread work-memory cache; should it be unavailable,
// the diagonal block is taken in columns of A, each of which is expanded
// into a small stack buffer instead.
#include "blas/kernel/default/level3/sym_common.h"

namespace {

using namespace zem_sym;

constexpr int kBlock = 128;

// W(0:b-1, c0:c0+w-1) := columns c0.. of the full matrix of the diagonal
// block a (order b) stored in its upper or lower triangle. Hermitian:
// mirrored elements are conjugated, the diagonal is real.
template <class E, bool HERM>
void expand(bool upper, int b, int c0, int w, const E *a, ptrdiff_t lda, E *W, ptrdiff_t ldw)
{
    for (ptrdiff_t j = c0; j < c0 + w; ++j) {
        E *wj = W + (j - c0) * ldw;
        for (ptrdiff_t i = 0; i < b; ++i) {
            const bool stored = upper ? i <= j : i >= j;
            E v = stored ? a[i + j * lda] : a[j + i * lda];
            if (HERM)
                v = i == j ? El<E>::make(El<E>::re(v), 0) : stored ? v : conj(v);
            wj[i] = v;
        }
    }
}

template <class E>
void scale_all(int m, int n, E beta, E *c, ptrdiff_t ldc)
{
    if (is_one(beta))
        return;
    const bool zero = is_zero(beta);
    for (ptrdiff_t j = 0; j < n; ++j)
        for (ptrdiff_t i = 0; i < m; ++i)
            c[i + j * ldc] = zero ? El<E>::make(0, 0) : mul(c[i + j * ldc], beta);
}

template <class E, bool HERM, bool SCALE_FIRST>
void symm(const char *side, const char *uplo, const int *pm, const int *pn, const E *palpha, const E *a,
          const int *plda, const E *b, const int *pldb, const E *pbeta, E *c, const int *pldc)
{
    const int m = *pm, n = *pn;
    const E alpha = *palpha;
    E beta = *pbeta;
    if (m <= 0 || n <= 0 || (is_zero(alpha) && is_one(beta)))
        return;
    const ptrdiff_t lda = ld_of(plda), ldb = ld_of(pldb), ldc = ld_of(pldc);
    if (is_zero(alpha)) { // A and B are not read
        scale_all(m, n, beta, c, ldc);
        return;
    }
    const E one = El<E>::make(1, 0);
    if (SCALE_FIRST) {
        const int lc = (int)ldc;
        _ZEM_BLAS_sgescal(&m, &n, (const float *)&beta, (float *)c, &lc);
        beta = one;
    }
    const bool left = is_left(side), upper = is_upper(uplo);
    const GemmFn<E> g = Gemms<E>::xgemm;
    const char ct = HERM ? 'C' : 'T';
    const int na = left ? m : n; // order of A

    E *W = (E *)_ZEM_SERV_allocate(sizeof(E) * kBlock * kBlock);
    E col[kBlock];
    for (int i0 = 0; i0 < na; i0 += kBlock) {
        const int bs = kBlock < na - i0 ? kBlock : na - i0, i1 = i0 + bs, after = na - i1;
        const E *ad = a + i0 + i0 * lda;
        // the diagonal block, with the caller's beta
        const int step = W != nullptr ? bs : 1;
        for (int c0 = 0; c0 < bs; c0 += step) {
            E *w = W != nullptr ? W : col;
            expand<E, HERM>(upper, bs, c0, step, ad, lda, w, kBlock);
            // side L takes rows c0.. of the block: the whole of W, or the
            // (conjugate) transpose of one expanded column
            if (left)
                call_gemm(g, W != nullptr ? 'N' : ct, 'N', step, n, bs, alpha, w, kBlock, b + i0, ldb, beta,
                          c + i0 + c0, ldc);
            else
                call_gemm(g, 'N', 'N', m, step, bs, alpha, b + i0 * ldb, ldb, w, kBlock, beta, c + (i0 + c0) * ldc,
                          ldc);
        }
        // coupling with the blocks before and after, read from the stored triangle
        if (left) {
            E *ci = c + i0;
            if (upper) { // A(I, after) stored; A(I, before) = A(before, I)^T
                if (after > 0)
                    call_gemm(g, 'N', 'N', bs, n, after, alpha, a + i0 + i1 * lda, lda, b + i1, ldb, one, ci, ldc);
                if (i0 > 0)
                    call_gemm(g, ct, 'N', bs, n, i0, alpha, a + i0 * lda, lda, b, ldb, one, ci, ldc);
            } else { // A(I, before) stored; A(I, after) = A(after, I)^T
                if (i0 > 0)
                    call_gemm(g, 'N', 'N', bs, n, i0, alpha, a + i0, lda, b, ldb, one, ci, ldc);
                if (after > 0)
                    call_gemm(g, ct, 'N', bs, n, after, alpha, a + i1 + i0 * lda, lda, b + i1, ldb, one, ci, ldc);
            }
        } else {
            E *ci = c + i0 * ldc;
            if (upper) { // A(before, I) stored; A(after, I) = A(I, after)^T
                if (i0 > 0)
                    call_gemm(g, 'N', 'N', m, bs, i0, alpha, b, ldb, a + i0 * lda, lda, one, ci, ldc);
                if (after > 0)
                    call_gemm(g, 'N', ct, m, bs, after, alpha, b + i1 * ldb, ldb, a + i0 + i1 * lda, lda, one, ci,
                              ldc);
            } else { // A(after, I) stored; A(before, I) = A(I, before)^T
                if (after > 0)
                    call_gemm(g, 'N', 'N', m, bs, after, alpha, b + i1 * ldb, ldb, a + i1 + i0 * lda, lda, one, ci,
                              ldc);
                if (i0 > 0)
                    call_gemm(g, 'N', ct, m, bs, i0, alpha, b, ldb, a + i0, lda, one, ci, ldc);
            }
        }
    }
    if (W != nullptr)
        _ZEM_SERV_deallocate(W);
}

} // namespace

extern "C" ZEM_API void _ZEM_BLAS_sgescal(const int *m, const int *n, const float *beta, float *c, const int *ldc)
{
    scale_all<float>(*m, *n, *beta, c, ld_of(ldc));
}

#define ZEM_XSYMM(lo, T, R, HERM, FIRST)                                            \
    extern "C" ZEM_API void _ZEM_BLAS_x##lo ZEM_P_SYMM(T, R)                        \
    {                                                                               \
        symm<T, HERM, FIRST>(side, uplo, m, n, alpha, a, lda, b, ldb, beta, c, ldc); \
    }
ZEM_XSYMM(ssymm, float, float, false, true)
ZEM_XSYMM(dsymm, double, double, false, false)
ZEM_XSYMM(csymm, ZEM_Complex8, float, false, false)
ZEM_XSYMM(zsymm, ZEM_Complex16, double, false, false)
ZEM_XSYMM(chemm, ZEM_Complex8, float, true, false)
ZEM_XSYMM(zhemm, ZEM_Complex16, double, true, false)
