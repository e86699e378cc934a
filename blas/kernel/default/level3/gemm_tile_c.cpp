// Single complex: the copies between a tile of C and the driver's work
// tile (storing 0, the value, or beta times the value), and back.
#include "blas/kernel/default/level3/gemm_kernels.h"

namespace {

enum Fill { ZERO, SAME, SCALED };

// The tile is filled strip by strip: eight rows, each column of a strip
// eight elements on from the last, the strips ldt elements apart.
template <Fill F>
void copy_in(int m, int n, const ZEM_Complex8 *c, ptrdiff_t ldc, ZEM_Complex8 *t, ptrdiff_t ldt, ZEM_Complex8 beta)
{
    for (int i0 = 0; i0 < m; i0 += 8) {
        const int h = m - i0 < 8 ? m - i0 : 8;
        for (ptrdiff_t j = 0; j < n; ++j) {
            const ZEM_Complex8 *s = c + j * ldc + i0;
            ZEM_Complex8 *d = t + i0 / 8 * ldt + j * 8;
            for (int i = 0; i < h; ++i) {
                if (F == ZERO) {
                    d[i].real = 0.0f;
                    d[i].imag = 0.0f;
                } else if (F == SAME) {
                    d[i] = s[i];
                } else {
                    const float xr = s[i].real, xi = s[i].imag;
                    d[i].real = beta.real * xr - beta.imag * xi;
                    d[i].imag = beta.real * xi + beta.imag * xr;
                }
            }
        }
    }
}

} // namespace

extern "C" void _ZEM_BLAS_ccopycf0(int m, int n, const ZEM_Complex8 *c, ptrdiff_t ldc, ZEM_Complex8 *t, ptrdiff_t ldt,
                                   ZEM_Complex8 beta)
{
    copy_in<ZERO>(m, n, c, ldc, t, ldt, beta);
}
extern "C" void _ZEM_BLAS_ccopycf1(int m, int n, const ZEM_Complex8 *c, ptrdiff_t ldc, ZEM_Complex8 *t, ptrdiff_t ldt,
                                   ZEM_Complex8 beta)
{
    copy_in<SAME>(m, n, c, ldc, t, ldt, beta);
}
extern "C" void _ZEM_BLAS_ccopycf(int m, int n, const ZEM_Complex8 *c, ptrdiff_t ldc, ZEM_Complex8 *t, ptrdiff_t ldt,
                                  ZEM_Complex8 beta)
{
    copy_in<SCALED>(m, n, c, ldc, t, ldt, beta);
}
extern "C" void _ZEM_BLAS_ccopycr(int m, int n, ZEM_Complex8 *c, ptrdiff_t ldc, const ZEM_Complex8 *t, ptrdiff_t ldt)
{
    for (int i0 = 0; i0 < m; i0 += 8) {
        const int h = m - i0 < 8 ? m - i0 : 8;
        for (ptrdiff_t j = 0; j < n; ++j)
            for (int i = 0; i < h; ++i)
                c[i0 + i + j * ldc] = t[i0 / 8 * ldt + j * 8 + i];
    }
}
