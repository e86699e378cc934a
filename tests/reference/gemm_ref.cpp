#include "tests/reference/gemm_ref.h"

#include <cmath>

namespace gemm_ref {

namespace {

// element (i, j) of op(X), X stored with leading dimension ld
cx op_at(char t, const cx *x, std::ptrdiff_t ld, int i, int j)
{
    if (t == 'N')
        return x[i + j * ld];
    cx v = x[j + i * ld];
    if (t == 'C')
        v.im = -v.im;
    return v;
}

using zem_ref::mul;

ld absc(cx a) { return zem_ref::cabs(a).re; }

} // namespace

void gemm(char ta, char tb, int m, int n, int k, cx alpha, const cx *a, std::ptrdiff_t lda, const cx *b,
          std::ptrdiff_t ldb, cx beta, cx *c, std::ptrdiff_t ldc)
{
    const bool beta0 = beta.re == 0 && beta.im == 0;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < m; ++i) {
            cx s{0, 0};
            for (int p = 0; p < k; ++p) {
                cx t = mul(op_at(ta, a, lda, i, p), op_at(tb, b, ldb, p, j));
                s.re += t.re;
                s.im += t.im;
            }
            cx r = mul(alpha, s);
            cx &cij = c[i + j * ldc];
            if (!beta0) {
                cx t = mul(beta, cij);
                r.re += t.re;
                r.im += t.im;
            }
            cij = r;
        }
}

void magnitude(char ta, char tb, int m, int n, int k, cx alpha, const cx *a, std::ptrdiff_t lda, const cx *b,
               std::ptrdiff_t ldb, cx beta, const cx *c, std::ptrdiff_t ldc, ld *mag, std::ptrdiff_t ldm)
{
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < m; ++i) {
            ld s = 0;
            for (int p = 0; p < k; ++p)
                s += absc(op_at(ta, a, lda, i, p)) * absc(op_at(tb, b, ldb, p, j));
            ld r = absc(alpha) * s;
            if (beta.re != 0 || beta.im != 0)
                r += absc(beta) * absc(c[i + j * ldc]);
            mag[i + j * ldm] = r;
        }
}

} // namespace gemm_ref
