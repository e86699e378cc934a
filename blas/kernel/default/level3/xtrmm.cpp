// The serial triangular-multiply drivers _ZEM_BLAS_x?trmm: B := alpha op(A) B
// (side L) or alpha B op(A) (side R).
//
// alpha = 0 stores zeros in B without reading A. alpha is not applied
// beforehand: the leaves multiply their block by alpha op(A_diag) and the
// coupling products add alpha op(A_coupling) B_other (gemm beta 1). The
// diagonal blocks are visited so that every block still reads unmodified
// parts of B: an upper op(A) on the left from the first block forwards, a
// lower one backwards; mirrored on the right.
#include "blas/kernel/default/level3/triangular3.h"

namespace zem_tri3 {

namespace {

template <class T>
void multiply_level(const Call<T> &c, int lev, ptrdiff_t order, ptrdiff_t other, const T &alpha, const T *ad, T *b)
{
    constexpr int levels = (int)(sizeof(Plan<T>::trmm) / sizeof(Level));
    static_assert(Plan<T>::trmm[levels - 1].tri_l <= kLeafOrder && Plan<T>::trmm[levels - 1].tri_r <= kLeafOrder,
                  "the last level's blocks fit a leaf");
    if (lev == levels) {
        const int mm = (int)(c.left ? order : other), nn = (int)(c.left ? other : order);
        c.leaf(c.side, c.uplo, c.transa, c.diag, &mm, &nn, &alpha, ad, c.lda, b, c.ldb);
        return;
    }
    const Level &L = Plan<T>::trmm[lev];
    const ptrdiff_t bs = c.left ? L.tri_l : L.tri_r;
    const ptrdiff_t width = (c.left ? L.other_l : L.other_r) > 0 ? (c.left ? L.other_l : L.other_r) : other;
    const bool forward = c.left == c.upper;
    const ptrdiff_t blocks = (order + bs - 1) / bs;
    for (ptrdiff_t p0 = 0; p0 < other; p0 += width) {
        const ptrdiff_t pw = other - p0 < width ? other - p0 : width;
        T *bp = c.left ? b + p0 * c.lb : b + p0;
        for (ptrdiff_t t = 0; t < blocks; ++t) {
            const ptrdiff_t i0 = (forward ? t : blocks - 1 - t) * bs;
            const ptrdiff_t i1 = i0 + bs < order ? i0 + bs : order, w = i1 - i0;
            // the block also reads the not yet overwritten rest
            const ptrdiff_t r0 = forward ? i1 : 0, r1 = forward ? order : i0;
            if (c.left) {
                multiply_level(c, lev + 1, w, pw, alpha, ad + i0 + i0 * c.la, bp + i0);
                couple<T>(c.op, 'N', w, pw, r1 - r0, alpha, c.opa(ad, i0, r0), c.lda, bp + r0, c.ldb, bp + i0,
                          c.ldb);
            } else {
                multiply_level(c, lev + 1, w, pw, alpha, ad + i0 + i0 * c.la, bp + i0 * c.lb);
                couple<T>('N', c.op, pw, w, r1 - r0, alpha, bp + r0 * c.lb, c.ldb, c.opa(ad, r0, i0), c.lda,
                          bp + i0 * c.lb, c.ldb);
            }
        }
    }
}

template <class T>
void xtrmm(const char *side, const char *uplo, const char *transa, const char *diag, const int *m, const int *n,
           const T *alpha, const T *a, const int *lda, T *b, const int *ldb)
{
    const ptrdiff_t M = *m, N = *n;
    if (N <= 0 || M <= 0)
        return;
    if (zem_l2::is_zero(zem_kernel::element<T>::load(*alpha))) {
        zero(M, N, b, ld_of(ldb));
        return;
    }
    Call<T> c(side, uplo, transa, diag, lda, ldb);
    c.leaf = Plan<T>::trmm_leaf(Case{c.left, _ZEM_SERV_lsame(uplo, "U") != 0, c.op});
    multiply_level(c, 0, c.left ? M : N, c.left ? N : M, *alpha, a, b);
}

} // namespace

} // namespace zem_tri3

extern "C" ZEM_API void _ZEM_BLAS_xstrmm ZEM_P_TRMM(float, float)
{
    zem_tri3::xtrmm<float>(side, uplo, transa, diag, m, n, alpha, a, lda, b, ldb);
}
extern "C" ZEM_API void _ZEM_BLAS_xdtrmm ZEM_P_TRMM(double, double)
{
    zem_tri3::xtrmm<double>(side, uplo, transa, diag, m, n, alpha, a, lda, b, ldb);
}
extern "C" ZEM_API void _ZEM_BLAS_xctrmm ZEM_P_TRMM(ZEM_Complex8, float)
{
    zem_tri3::xtrmm<ZEM_Complex8>(side, uplo, transa, diag, m, n, alpha, a, lda, b, ldb);
}
extern "C" ZEM_API void _ZEM_BLAS_xztrmm ZEM_P_TRMM(ZEM_Complex16, double)
{
    zem_tri3::xtrmm<ZEM_Complex16>(side, uplo, transa, diag, m, n, alpha, a, lda, b, ldb);
}
