// The serial triangular-solve drivers _ZEM_BLAS_x?trsm: B := alpha op(A)^-1 B
// (side L) or alpha B op(A)^-1 (side R).
//
// alpha = 0 stores zeros in B without reading A; any other alpha but one
// scales B first, so the blocked solve runs with alpha one. At every level
// of the plan the diagonal blocks are visited in the order of
// substitution (backwards for an upper op(A) on the left, forwards on the
// right; the opposite for a lower one); each block is solved one level
// down and the part of B still to be solved loses the block's
// contribution through one gemm call (alpha -1, beta 1).
#include "blas/kernel/default/level3/triangular3.h"

namespace zem_tri3 {

namespace {

template <class T>
void solve_level(const Call<T> &c, int lev, ptrdiff_t order, ptrdiff_t other, const T *ad, T *b)
{
    constexpr int levels = (int)(sizeof(Plan<T>::trsm) / sizeof(Level));
    static_assert(Plan<T>::trsm[levels - 1].tri_l <= kLeafOrder && Plan<T>::trsm[levels - 1].tri_r <= kLeafOrder,
                  "the last level's blocks fit a leaf");
    if (lev == levels) {
        const int mm = (int)(c.left ? order : other), nn = (int)(c.left ? other : order);
        const T one = scalar<T>(1);
        c.leaf(c.side, c.uplo, c.transa, c.diag, &mm, &nn, &one, ad, c.lda, b, c.ldb);
        return;
    }
    const Level &L = Plan<T>::trsm[lev];
    const ptrdiff_t bs = c.left ? L.tri_l : L.tri_r;
    const ptrdiff_t width = (c.left ? L.other_l : L.other_r) > 0 ? (c.left ? L.other_l : L.other_r) : other;
    const bool forward = c.left != c.upper;
    const ptrdiff_t blocks = (order + bs - 1) / bs;
    const T minus_one = scalar<T>(-1);
    for (ptrdiff_t p0 = 0; p0 < other; p0 += width) {
        const ptrdiff_t pw = other - p0 < width ? other - p0 : width;
        T *bp = c.left ? b + p0 * c.lb : b + p0;
        for (ptrdiff_t t = 0; t < blocks; ++t) {
            const ptrdiff_t i0 = (forward ? t : blocks - 1 - t) * bs;
            const ptrdiff_t i1 = i0 + bs < order ? i0 + bs : order, w = i1 - i0;
            // the rest still to be solved: after the block, or before it
            const ptrdiff_t r0 = forward ? i1 : 0, r1 = forward ? order : i0;
            if (c.left) {
                solve_level(c, lev + 1, w, pw, ad + i0 + i0 * c.la, bp + i0);
                couple<T>(c.op, 'N', r1 - r0, pw, w, minus_one, c.opa(ad, r0, i0), c.lda, bp + i0, c.ldb, bp + r0,
                          c.ldb);
            } else {
                solve_level(c, lev + 1, w, pw, ad + i0 + i0 * c.la, bp + i0 * c.lb);
                couple<T>('N', c.op, pw, r1 - r0, w, minus_one, bp + i0 * c.lb, c.ldb, c.opa(ad, i0, r0), c.lda,
                          bp + r0 * c.lb, c.ldb);
            }
        }
    }
}

template <class T>
void xtrsm(const char *side, const char *uplo, const char *transa, const char *diag, const int *m, const int *n,
           const T *alpha, const T *a, const int *lda, T *b, const int *ldb)
{
    typedef zem_kernel::element<T> E;
    const ptrdiff_t M = *m, N = *n;
    if (N <= 0 || M <= 0)
        return;
    const ptrdiff_t lb = ld_of(ldb);
    const typename E::value al = E::load(*alpha);
    if (zem_l2::is_zero(al)) {
        zero(M, N, b, lb);
        return;
    }
    if (!zem_l2::is_one(*alpha)) {
        for (ptrdiff_t j = 0; j < N; ++j) {
            T *bj = b + j * lb;
            __builtin_prefetch(bj + lb);
            for (ptrdiff_t i = 0; i < M; ++i)
                E::store(bj[i], al * E::load(bj[i]));
        }
    }
    Call<T> c(side, uplo, transa, diag, lda, ldb);
    c.leaf = Plan<T>::trsm_leaf(Case{c.left, _ZEM_SERV_lsame(uplo, "U") != 0, c.op});
    solve_level(c, 0, c.left ? M : N, c.left ? N : M, a, b);
}

} // namespace

} // namespace zem_tri3

extern "C" ZEM_API void _ZEM_BLAS_xstrsm ZEM_P_TRMM(float, float)
{
    zem_tri3::xtrsm<float>(side, uplo, transa, diag, m, n, alpha, a, lda, b, ldb);
}
extern "C" ZEM_API void _ZEM_BLAS_xdtrsm ZEM_P_TRMM(double, double)
{
    zem_tri3::xtrsm<double>(side, uplo, transa, diag, m, n, alpha, a, lda, b, ldb);
}
extern "C" ZEM_API void _ZEM_BLAS_xctrsm ZEM_P_TRMM(ZEM_Complex8, float)
{
    zem_tri3::xtrsm<ZEM_Complex8>(side, uplo, transa, diag, m, n, alpha, a, lda, b, ldb);
}
extern "C" ZEM_API void _ZEM_BLAS_xztrsm ZEM_P_TRMM(ZEM_Complex16, double)
{
    zem_tri3::xtrsm<ZEM_Complex16>(side, uplo, transa, diag, m, n, alpha, a, lda, b, ldb);
}
