// Triangular product in full storage, x := op(A)·x: diagonal blocks of 64
// multiplied by ?trmv_in, the rectangle beside each block added with ?gemv,
// blocks taken in the order that reads every element of x before it is
// overwritten.
#include "blas/kernel/default/level2/triangular.h"

namespace zem_l2 {
namespace {

const int kProductBlock = 64;

template <class T>
struct trmv_in_case {
    template <bool UP, int TR, bool UNIT>
    struct in {
        static void run(ptrdiff_t n, const T *a, ptrdiff_t lda, T *x, ptrdiff_t inc)
        {
            full_store<T> s = {a, lda, n - 1};
            tri_mv<T, full_store<T>, UP, TR, UNIT>(n, s, x, inc);
        }
    };
};

template <class T>
void trmv_in(const char *uplo, const char *trans, const char *diag, const int *n, const T *a, const int *lda,
             T *x, const int *incx)
{
    tri_dispatch<trmv_in_case<T>::template in, element<T>::is_complex>(uplo, trans, diag, (ptrdiff_t)*n, a,
                                                               (ptrdiff_t)*lda, x, (ptrdiff_t)*incx);
}

template <class T>
void trmv_driver(const char *uplo, const char *trans, const char *diag, const int *n, const T *a, const int *lda,
                 T *x, const int *incx, void (*in) ZEM_P_TRMV(T, T), void (*gemv) ZEM_P_GEMV(T, T))
{
    typedef element<T> E;
    const ptrdiff_t nn = *n;
    if (nn <= 0)
        return;
    const bool up = is_upper(uplo), notr = is_notrans(trans);
    const ptrdiff_t ld = *lda, inc = *incx;
    T *x1 = x + first_offset(nn, *incx);
    // Upper with no transpose and lower transposed need the elements below
    // each block: walk down. The others walk up. The block that is not full
    // comes last.
    const bool fwd = up == notr;
    const ptrdiff_t q = nn / kProductBlock, r = nn % kProductBlock;
    T one;
    E::store(one, E::one());
    const char tch = *trans;
    for (ptrdiff_t blk = 0; blk < q + (r ? 1 : 0); ++blk) {
        const int b = blk < q ? kProductBlock : (int)r;
        const ptrdiff_t s = fwd ? blk * kProductBlock : (blk < q ? nn - (blk + 1) * kProductBlock : 0);
        in(uplo, trans, diag, &b, a + s + s * ld, lda, x1 + s * inc, incx);
        T *xb = sub_base(x1, s, b, inc);
        // The part of x not yet overwritten: below the block when walking
        // down, above it when walking up.
        const ptrdiff_t r0 = fwd ? s + b : 0, rl = fwd ? nn - s - b : s;
        if (rl == 0)
            continue;
        int mm, nc;
        if (notr) {
            // x_block += A(block, rest)·x_rest
            mm = b;
            nc = (int)rl;
            gemv(&tch, &mm, &nc, &one, a + s + r0 * ld, lda, sub_base(x1, r0, rl, inc), incx, &one, xb, incx);
        } else {
            // x_block += op(A(rest, block))·x_rest
            mm = (int)rl;
            nc = b;
            gemv(&tch, &mm, &nc, &one, a + r0 + s * ld, lda, sub_base(x1, r0, rl, inc), incx, &one, xb, incx);
        }
    }
}

} // namespace
} // namespace zem_l2

using namespace zem_l2;

extern "C" ZEM_API void _ZEM_BLAS_strmv_in ZEM_P_TRMV(float, float) { trmv_in(uplo, trans, diag, n, a, lda, x, incx); }
extern "C" ZEM_API void _ZEM_BLAS_dtrmv_in ZEM_P_TRMV(double, double) { trmv_in(uplo, trans, diag, n, a, lda, x, incx); }
extern "C" ZEM_API void _ZEM_BLAS_ctrmv_in ZEM_P_TRMV(ZEM_Complex8, float)
{
    trmv_in(uplo, trans, diag, n, a, lda, x, incx);
}
extern "C" ZEM_API void _ZEM_BLAS_ztrmv_in ZEM_P_TRMV(ZEM_Complex16, double)
{
    trmv_in(uplo, trans, diag, n, a, lda, x, incx);
}

extern "C" ZEM_API void _ZEM_BLAS_strmv ZEM_P_TRMV(float, float)
{
    trmv_driver(uplo, trans, diag, n, a, lda, x, incx, _ZEM_BLAS_strmv_in, _ZEM_BLAS_sgemv);
}
extern "C" ZEM_API void _ZEM_BLAS_dtrmv ZEM_P_TRMV(double, double)
{
    trmv_driver(uplo, trans, diag, n, a, lda, x, incx, _ZEM_BLAS_dtrmv_in, _ZEM_BLAS_dgemv);
}
extern "C" ZEM_API void _ZEM_BLAS_ctrmv ZEM_P_TRMV(ZEM_Complex8, float)
{
    trmv_driver(uplo, trans, diag, n, a, lda, x, incx, _ZEM_BLAS_ctrmv_in, _ZEM_BLAS_cgemv);
}
extern "C" ZEM_API void _ZEM_BLAS_ztrmv ZEM_P_TRMV(ZEM_Complex16, double)
{
    trmv_driver(uplo, trans, diag, n, a, lda, x, incx, _ZEM_BLAS_ztrmv_in, _ZEM_BLAS_zgemv);
}
