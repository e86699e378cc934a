// x <-> y for the four element types; data are moved, never computed.
#include "blas/kernel/default/level1/dense_vec.h"

namespace zem_l1 {
namespace {

// Exchanges `bytes` (a multiple of 64) between x and y, 64 bytes per step
// (four registers of each vector; the grouping is ours to choose, the
// result is the same bits either way); y aligned to 16 bytes when AY, x
// when AX.
template <bool AX, bool AY>
void swap_groups(char *x, char *y, size_t bytes)
{
    for (size_t k = 0; k < bytes; k += 64) {
        float *xf = (float *)(x + k), *yf = (float *)(y + k);
        __m128 y0 = ld<AY>(yf), y1 = ld<AY>(yf + 4), y2 = ld<AY>(yf + 8), y3 = ld<AY>(yf + 12);
        __m128 x0 = ld<AX>(xf), x1 = ld<AX>(xf + 4), x2 = ld<AX>(xf + 8), x3 = ld<AX>(xf + 12);
        st<AY>(yf, x0);
        st<AY>(yf + 4, x1);
        st<AY>(yf + 8, x2);
        st<AY>(yf + 12, x3);
        st<AX>(xf, y0);
        st<AX>(xf + 4, y1);
        st<AX>(xf + 8, y2);
        st<AX>(xf + 12, y3);
    }
}

template <class T>
void swap_kernel(int n_, T *xt, int incx, T *yt, int incy)
{
    typedef raw<sizeof(T)> E;
    E *x = (E *)xt, *y = (E *)yt;
    ptrdiff_t n = n_;
    if (n <= 0)
        return;
    if (incx == 1 && incy == 1) {
        ptrdiff_t peel = peel_count(y, sizeof(E), 32);
        ptrdiff_t i = 0;
        if (peel > n)
            peel = n;
        for (; i < peel; ++i) {
            E t = x[i];
            x[i] = y[i];
            y[i] = t;
        }
        size_t bytes = (size_t)(n - i) * sizeof(E) & ~(size_t)63;
        if (bytes) {
            if (peel < 0)
                swap_groups<false, false>((char *)(x + i), (char *)(y + i), bytes);
            else if (misalign(x + i, 16) == 0)
                swap_groups<true, true>((char *)(x + i), (char *)(y + i), bytes);
            else
                swap_groups<false, true>((char *)(x + i), (char *)(y + i), bytes);
            i += (ptrdiff_t)(bytes / sizeof(E));
        }
        for (; i < n; ++i) {
            E t = x[i];
            x[i] = y[i];
            y[i] = t;
        }
        return;
    }
    ptrdiff_t ix = first_offset(n_, incx), iy = first_offset(n_, incy);
    ptrdiff_t i = 0;
    for (; i + 4 <= n; i += 4) {
        for (int u = 0; u < 4; ++u) {
            prefetch(x, ix + 4 * (ptrdiff_t)incx);
            prefetch(y, iy + 4 * (ptrdiff_t)incy);
            E t = x[ix];
            x[ix] = y[iy];
            y[iy] = t;
            ix += incx;
            iy += incy;
        }
    }
    for (; i < n; ++i) {
        E t = x[ix];
        x[ix] = y[iy];
        y[iy] = t;
        ix += incx;
        iy += incy;
    }
}

} // namespace
} // namespace zem_l1

using namespace zem_l1;

extern "C" ZEM_API void _ZEM_BLAS_sswap ZEM_P_SWAP(float, float) { swap_kernel(*n, x, *incx, y, *incy); }
extern "C" ZEM_API void _ZEM_BLAS_dswap ZEM_P_SWAP(double, double) { swap_kernel(*n, x, *incx, y, *incy); }
extern "C" ZEM_API void _ZEM_BLAS_cswap ZEM_P_SWAP(ZEM_Complex8, float) { swap_kernel(*n, x, *incx, y, *incy); }
extern "C" ZEM_API void _ZEM_BLAS_zswap ZEM_P_SWAP(ZEM_Complex16, double) { swap_kernel(*n, x, *incx, y, *incy); }
