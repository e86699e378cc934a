// Unblocked complex products: _ZEM_BLAS_zpst_* (double complex, sums in
// x87 extended precision) for the pieces of the double-complex driver, and
// _ZEM_BLAS_cgemmpst (single complex, sums in single precision) for small
// problems and the pieces of the single-complex driver. Both apply beta
// fully: 0 overwrites C without reading it, 1 adds to C, anything else
// scales C first.
#include "blas/kernel/default/level3/gemm_kernels.h"

namespace {

using namespace zem_kernel::op;

template <Op OP, class E>
inline void load(const E *x, ptrdiff_t ld, ptrdiff_t r, ptrdiff_t col, decltype(E().real) &re,
                 decltype(E().real) &im)
{
    // element (r, col) of op(X)
    const E &v = OP == N ? x[r + col * ld] : x[col + r * ld];
    re = v.real;
    im = OP == C ? -v.imag : v.imag;
}

template <class E, class ACC, Op OA, Op OB>
void product(int m, int n, int k, E alpha, const E *a, ptrdiff_t lda, const E *b, ptrdiff_t ldb, E beta, E *c,
             ptrdiff_t ldc)
{
    typedef decltype(E().real) R;
    const bool beta0 = beta.real == 0 && beta.imag == 0;
    const bool beta1 = beta.real == 1 && beta.imag == 0;
    const ACC alr = alpha.real, ali = alpha.imag, btr = beta.real, bti = beta.imag;
    for (ptrdiff_t j = 0; j < n; ++j) {
        for (ptrdiff_t i = 0; i < m; ++i) {
            ACC sr = 0, si = 0;
            for (ptrdiff_t p = 0; p < k; ++p) {
                R ar, ai, br, bi;
                load<OA>(a, lda, i, p, ar, ai);
                load<OB>(b, ldb, p, j, br, bi);
                sr += (ACC)ar * br;
                sr -= (ACC)ai * bi;
                si += (ACC)ar * bi;
                si += (ACC)ai * br;
            }
            ACC tr = alr * sr - ali * si, ti = alr * si + ali * sr;
            E &cij = c[i + j * ldc];
            if (!beta0) {
                const ACC cr = cij.real, ci = cij.imag;
                if (beta1) {
                    tr += cr;
                    ti += ci;
                } else {
                    tr += btr * cr - bti * ci;
                    ti += btr * ci + bti * cr;
                }
            }
            cij.real = (R)tr;
            cij.imag = (R)ti;
        }
    }
}

} // namespace

#define ZEM_ZPST(ab, OA, OB)                                                                              \
    extern "C" void _ZEM_BLAS_zpst_##ab(char, char, int m, int n, int k, ZEM_Complex16 alpha,            \
                                        const ZEM_Complex16 *a, ptrdiff_t lda, const ZEM_Complex16 *b,    \
                                        ptrdiff_t ldb, ZEM_Complex16 beta, ZEM_Complex16 *c, ptrdiff_t ldc) \
    {                                                                                                     \
        product<ZEM_Complex16, long double, OA, OB>(m, n, k, alpha, a, lda, b, ldb, beta, c, ldc);        \
    }
ZEM_ZPST(nn, N, N)
ZEM_ZPST(nt, N, T)
ZEM_ZPST(nc, N, C)
ZEM_ZPST(tn, T, N)
ZEM_ZPST(tt, T, T)
ZEM_ZPST(tc, T, C)
ZEM_ZPST(cn, C, N)
ZEM_ZPST(ct, C, T)
ZEM_ZPST(cc, C, C)

extern "C" void _ZEM_BLAS_cgemmpst(char ta, char tb, int m, int n, int k, ZEM_Complex8 alpha, const ZEM_Complex8 *a,
                                   ptrdiff_t lda, const ZEM_Complex8 *b, ptrdiff_t ldb, ZEM_Complex8 beta,
                                   ZEM_Complex8 *c, ptrdiff_t ldc)
{
    const Op oa = zem_kernel::op_of(ta), ob = zem_kernel::op_of(tb);
#define ZEM_CASE(A, B)                                                                   \
    if (oa == A && ob == B)                                                              \
        return product<ZEM_Complex8, float, A, B>(m, n, k, alpha, a, lda, b, ldb, beta, c, ldc);
    ZEM_CASE(N, N) ZEM_CASE(N, T) ZEM_CASE(N, C)
    ZEM_CASE(T, N) ZEM_CASE(T, T) ZEM_CASE(T, C)
    ZEM_CASE(C, N) ZEM_CASE(C, T) ZEM_CASE(C, C)
#undef ZEM_CASE
}
