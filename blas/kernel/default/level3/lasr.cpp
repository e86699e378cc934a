// Plane-rotation sequences applied from the left, A := P*A, one routine
// per pivot (variable, top, bottom) and direction (forward, backward), for
// s, d, c, z. Rotations are real; a complex column is two real lanes (real
// and imaginary parts) rotated alike.
//
// Columns go in groups of four: the whole sequence runs over the group,
// with the row that consecutive rotations share (the pivot row, or for the
// variable pivot the row the next rotation also touches) carried in
// registers; then the columns left over one at a time. The rows and
// rotations a few steps ahead are prefetched every fourth row. Every
// rotation is applied, c = 1 and s = 0 included, so an infinity in the
// other row still makes NaN.
#include "blas/interface/entry.h"
#include "blas/kernel/default/element.h"

namespace {

enum Pivot { kVariable, kTop, kBottom };

// The sequence on L lanes; lane l's row i is p[l][i * rs].
template <class R, int L, Pivot P, bool FWD>
void sweep(int m, const R *c, const R *s, R *const *p, ptrdiff_t rs)
{
    R x[L];
    const ptrdiff_t last = (ptrdiff_t)(m - 1) * rs;
    // the carried row: row 1 (top; variable forward), row m (bottom;
    // variable backward)
    const ptrdiff_t carried = (P == kTop || (P == kVariable && FWD)) ? 0 : last;
    for (int l = 0; l < L; ++l)
        x[l] = p[l][carried];
    for (int step = 0; step < m - 1; ++step) {
        const int k = FWD ? step : m - 2 - step;
        const R ck = c[k], sk = s[k];
        const ptrdiff_t rk = (ptrdiff_t)k * rs, rk1 = rk + rs;
        if ((step & 3) == 0) { // every fourth row: the rows and rotations 16 ahead
            const ptrdiff_t ahead = FWD ? 16 : -16;
            zem_kernel::prefetch(c, k + ahead);
            zem_kernel::prefetch(s, k + ahead);
            for (int l = 0; l < L; ++l)
                zem_kernel::prefetch(p[l], rk + ahead * rs);
        }
        for (int l = 0; l < L; ++l) {
            R *q = p[l];
            if (P == kVariable && FWD) { // rows k, k+1; row k+1 goes on
                const R t = q[rk1];
                q[rk] = sk * t + ck * x[l];
                x[l] = ck * t - sk * x[l];
            } else if (P == kVariable) { // rows k, k+1; row k goes on
                const R t = x[l], u = q[rk];
                q[rk1] = ck * t - sk * u;
                x[l] = sk * t + ck * u;
            } else if (P == kTop) { // rows 1, k+1
                const R t = q[rk1];
                q[rk1] = ck * t - sk * x[l];
                x[l] = sk * t + ck * x[l];
            } else { // rows k, m
                const R t = q[rk];
                q[rk] = sk * x[l] + ck * t;
                x[l] = ck * x[l] - sk * t;
            }
        }
    }
    const ptrdiff_t back = (P == kTop || (P == kVariable && !FWD)) ? 0 : last;
    for (int l = 0; l < L; ++l)
        p[l][back] = x[l];
}

// W is the number of real lanes per column: 1 (real) or 2 (complex).
template <class R, int W, Pivot P, bool FWD>
void lasr(const int *pm, const int *pn, const R *c, const R *s, R *a, const int *plda)
{
    const int m = *pm, n = *pn;
    if (m < 2 || n < 1)
        return;
    const ptrdiff_t lda = (*plda < 0 ? 0 : (ptrdiff_t)*plda) * W; // in reals
    int j = 0;
    for (; j + 4 <= n; j += 4) {
        R *p[4 * W];
        for (int l = 0; l < 4 * W; ++l)
            p[l] = a + (j + l / W) * lda + l % W;
        sweep<R, 4 * W, P, FWD>(m, c, s, p, W);
    }
    for (; j < n; ++j) {
        R *p[W];
        for (int l = 0; l < W; ++l)
            p[l] = a + j * lda + l;
        sweep<R, W, P, FWD>(m, c, s, p, W);
    }
}

} // namespace

#define ZEM_LASR(x, T, R, W, v, P, FWD)                                            \
    extern "C" ZEM_API void _ZEM_BLAS_##x##lasr_l##v ZEM_P_LASR(T, R)              \
    {                                                                              \
        lasr<R, W, P, FWD>(m, n, c, s, (R *)a, lda);                              \
    }
#define ZEM_LASR_SIX(x, T, R, W)                      \
    ZEM_LASR(x, T, R, W, vf, kVariable, true)         \
    ZEM_LASR(x, T, R, W, vb, kVariable, false)        \
    ZEM_LASR(x, T, R, W, tf, kTop, true)              \
    ZEM_LASR(x, T, R, W, tb, kTop, false)             \
    ZEM_LASR(x, T, R, W, bf, kBottom, true)           \
    ZEM_LASR(x, T, R, W, bb, kBottom, false)

ZEM_LASR_SIX(s, float, float, 1)
ZEM_LASR_SIX(d, double, double, 1)
ZEM_LASR_SIX(c, ZEM_Complex8, float, 2)
ZEM_LASR_SIX(z, ZEM_Complex16, double, 2)
