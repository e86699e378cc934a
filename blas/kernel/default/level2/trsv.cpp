// Triangular solve in full storage, x := op(A)^-1·x: diagonal blocks of 32
// solved by the unblocked kernels ?trsv_<uplo><trans><diag>, the rest of x
// updated with ?gemv after each block.
#include "blas/kernel/default/level2/triangular.h"

namespace zem_l2 {
namespace {

const int kSolveBlock = 32;

template <class T>
struct trsv_block {
    template <bool UP, int TR, bool UNIT>
    struct in {
        static void run(const int *n, const T *a, const int *lda, T *x, const int *incx)
        {
            full_store<T> s = {a, *lda, (ptrdiff_t)*n - 1};
            tri_sv<T, full_store<T>, UP, TR, UNIT>(*n, s, x, *incx);
        }
    };
};

template <class T>
void trsv_driver(const char *uplo, const char *trans, const int *n, const T *a, const int *lda,
                 T *x, const int *incx, void (*kern)(const int *, const T *, const int *, T *, const int *),
                 void (*gemv) ZEM_P_GEMV(T, T))
{
    typedef element<T> E;
    const ptrdiff_t nn = *n;
    if (nn <= 0)
        return;
    const bool up = is_upper(uplo), notr = is_notrans(trans);
    const ptrdiff_t ld = *lda, inc = *incx;
    T *x1 = x + first_offset(nn, *incx);
    // Solving forwards (from the first block down) or backwards; the block
    // that is not full is the last one solved.
    const bool fwd = up != notr;
    const ptrdiff_t q = nn / kSolveBlock, r = nn % kSolveBlock;
    T minus_one, one;
    E::store(one, E::one());
    E::store(minus_one, E::one() - E::one() - E::one());
    const char tch = *trans;
    for (ptrdiff_t blk = 0; blk < q + (r ? 1 : 0); ++blk) {
        const int b = blk < q ? kSolveBlock : (int)r;
        const ptrdiff_t s = fwd ? blk * kSolveBlock : (blk < q ? nn - (blk + 1) * kSolveBlock : 0);
        kern(&b, a + s + s * ld, lda, x1 + s * inc, incx);
        T *xb = sub_base(x1, s, b, inc);
        int mm, nc;
        if (notr) {
            // x_rest := x_rest - A(rest, block)·x_block
            const ptrdiff_t r0 = up ? 0 : s + b, rl = up ? s : nn - s - b;
            mm = (int)rl;
            nc = b;
            if (rl > 0)
                gemv(&tch, &mm, &nc, &minus_one, a + r0 + s * ld, lda, xb, incx, &one, sub_base(x1, r0, rl, inc),
                     incx);
        } else {
            // x_rest := x_rest - op(A(block, rest))·x_block
            const ptrdiff_t c0 = up ? s + b : 0, cl = up ? nn - s - b : s;
            mm = b;
            nc = (int)cl;
            if (cl > 0)
                gemv(&tch, &mm, &nc, &minus_one, a + s + c0 * ld, lda, xb, incx, &one, sub_base(x1, c0, cl, inc),
                     incx);
        }
    }
}

} // namespace
} // namespace zem_l2

using namespace zem_l2;

#define ZEM_L2_TRSV_KERNEL(p, v, TY, UP, TR, UNIT)                                                    \
    extern "C" ZEM_API void _ZEM_BLAS_##p##trsv_##v(const int *n, const TY *a, const int *lda, TY *x, \
                                                    const int *incx)                                  \
    {                                                                                                 \
        trsv_block<TY>::in<UP, TR, UNIT>::run(n, a, lda, x, incx);                                    \
    }
#define ZEM_L2_TRSV_REAL(p, TY)                                                                            \
    ZEM_L2_TRSV_KERNEL(p, unn, TY, true, op::N, false) ZEM_L2_TRSV_KERNEL(p, unu, TY, true, op::N, true)   \
    ZEM_L2_TRSV_KERNEL(p, utn, TY, true, op::T, false) ZEM_L2_TRSV_KERNEL(p, utu, TY, true, op::T, true)   \
    ZEM_L2_TRSV_KERNEL(p, lnn, TY, false, op::N, false) ZEM_L2_TRSV_KERNEL(p, lnu, TY, false, op::N, true) \
    ZEM_L2_TRSV_KERNEL(p, ltn, TY, false, op::T, false) ZEM_L2_TRSV_KERNEL(p, ltu, TY, false, op::T, true)
#define ZEM_L2_TRSV_CPLX(p, TY)                                                                            \
    ZEM_L2_TRSV_REAL(p, TY)                                                                                \
    ZEM_L2_TRSV_KERNEL(p, ucn, TY, true, op::C, false) ZEM_L2_TRSV_KERNEL(p, ucu, TY, true, op::C, true)   \
    ZEM_L2_TRSV_KERNEL(p, lcn, TY, false, op::C, false) ZEM_L2_TRSV_KERNEL(p, lcu, TY, false, op::C, true)

ZEM_L2_TRSV_REAL(s, float)
ZEM_L2_TRSV_REAL(d, double)
ZEM_L2_TRSV_CPLX(c, ZEM_Complex8)
ZEM_L2_TRSV_CPLX(z, ZEM_Complex16)

// The diagonal-block kernel for the option letters given.
#define ZEM_L2_TRSV_PICK(p, cplx)                                                     \
    const bool up = is_upper(uplo), unit = !is_nonunit(diag);                         \
    const bool nt = is_notrans(trans), ct = cplx && is_conjtrans(trans);              \
    (void)ct;                                                                         \
    kern = up ? (nt ? (unit ? _ZEM_BLAS_##p##trsv_unu : _ZEM_BLAS_##p##trsv_unn)      \
                    : (unit ? _ZEM_BLAS_##p##trsv_utu : _ZEM_BLAS_##p##trsv_utn))     \
              : (nt ? (unit ? _ZEM_BLAS_##p##trsv_lnu : _ZEM_BLAS_##p##trsv_lnn)      \
                    : (unit ? _ZEM_BLAS_##p##trsv_ltu : _ZEM_BLAS_##p##trsv_ltn));

extern "C" ZEM_API void _ZEM_BLAS_strsv ZEM_P_TRMV(float, float)
{
    void (*kern)(const int *, const float *, const int *, float *, const int *);
    ZEM_L2_TRSV_PICK(s, false)
    trsv_driver(uplo, trans, n, a, lda, x, incx, kern, _ZEM_BLAS_sgemv);
}

extern "C" ZEM_API void _ZEM_BLAS_dtrsv ZEM_P_TRMV(double, double)
{
    void (*kern)(const int *, const double *, const int *, double *, const int *);
    ZEM_L2_TRSV_PICK(d, false)
    trsv_driver(uplo, trans, n, a, lda, x, incx, kern, _ZEM_BLAS_dgemv);
}

extern "C" ZEM_API void _ZEM_BLAS_ctrsv ZEM_P_TRMV(ZEM_Complex8, float)
{
    void (*kern)(const int *, const ZEM_Complex8 *, const int *, ZEM_Complex8 *, const int *);
    ZEM_L2_TRSV_PICK(c, true)
    if (ct)
        kern = up ? (unit ? _ZEM_BLAS_ctrsv_ucu : _ZEM_BLAS_ctrsv_ucn) : (unit ? _ZEM_BLAS_ctrsv_lcu : _ZEM_BLAS_ctrsv_lcn);
    trsv_driver(uplo, trans, n, a, lda, x, incx, kern, _ZEM_BLAS_cgemv);
}

extern "C" ZEM_API void _ZEM_BLAS_ztrsv ZEM_P_TRMV(ZEM_Complex16, double)
{
    void (*kern)(const int *, const ZEM_Complex16 *, const int *, ZEM_Complex16 *, const int *);
    ZEM_L2_TRSV_PICK(z, true)
    if (ct)
        kern = up ? (unit ? _ZEM_BLAS_ztrsv_ucu : _ZEM_BLAS_ztrsv_ucn) : (unit ? _ZEM_BLAS_ztrsv_lcu : _ZEM_BLAS_ztrsv_lcn);
    trsv_driver(uplo, trans, n, a, lda, x, incx, kern, _ZEM_BLAS_zgemv);
}
