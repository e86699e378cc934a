// y := y + alpha*x for the four element types.
#include "blas/kernel/default/level1/dense_vec.h"

namespace zem_l1 {
namespace {

// Real data on the x87 unit, U (4 or 8) elements per step. UNIT: both
// increments 1, with one prefetch per vector per step PF elements ahead;
// otherwise each element is prefetched four strides ahead.
template <class R, int U, bool UNIT, int PF>
void axpy_x87(ptrdiff_t n, xreal a, const R *x, ptrdiff_t ix, ptrdiff_t incx, R *y, ptrdiff_t iy, ptrdiff_t incy)
{
    if (UNIT)
        incx = incy = 1;
#define ZEM_AXPY1(k) y[iy + (k) * incy] = (R)((xreal)x[ix + (k) * incx] * a + y[iy + (k) * incy])
    ptrdiff_t i = 0;
    for (; i + U <= n; i += U) {
        if (UNIT) {
            prefetch(x, ix + PF);
            prefetch(y, iy + PF);
        } else {
            prefetch_next4(x, ix, incx);
            prefetch_next4(y, iy, incy);
        }
        ZEM_AXPY1(0);
        ZEM_AXPY1(1);
        ZEM_AXPY1(2);
        ZEM_AXPY1(3);
        if (U == 8) {
            if (!UNIT) {
                prefetch_next4(x, ix + 4 * incx, incx);
                prefetch_next4(y, iy + 4 * incy, incy);
            }
            ZEM_AXPY1(4);
            ZEM_AXPY1(5);
            ZEM_AXPY1(6);
            ZEM_AXPY1(7);
        }
        ix += U * incx;
        iy += U * incy;
    }
    for (; i < n; ++i) {
        ZEM_AXPY1(0);
        ix += incx;
        iy += incy;
    }
#undef ZEM_AXPY1
}

// One complex element on the x87 unit: re += xr*ar - xi*ai,
// im += xr*ai + xi*ar with the full complex product.
template <class T>
inline void caxpy1(xreal ar, xreal ai, const T &x, T &y)
{
    xreal xr = x.real, xi = x.imag;
    xreal re = (xreal)y.real + xr * ar - xi * ai;
    xreal im = (xreal)y.imag + xr * ai + xi * ar;
    y.real = (typename element<T>::comp)re;
    y.imag = (typename element<T>::comp)im;
}

// Complex data on the x87 unit, two elements per step.
template <class T>
void caxpy_x87(ptrdiff_t n, xreal ar, xreal ai, const T *x, ptrdiff_t ix, ptrdiff_t incx, T *y, ptrdiff_t iy,
               ptrdiff_t incy)
{
    ptrdiff_t i = 0;
    for (; i + 2 <= n; i += 2) {
        prefetch(x, ix + 4 * incx);
        prefetch(x, ix + 5 * incx);
        prefetch(y, iy + 4 * incy);
        prefetch(y, iy + 5 * incy);
        caxpy1(ar, ai, x[ix], y[iy]);
        caxpy1(ar, ai, x[ix + incx], y[iy + incy]);
        ix += 2 * incx;
        iy += 2 * incy;
    }
    if (i < n)
        caxpy1(ar, ai, x[ix], y[iy]);
}

// saxpy, unit stride: 4 single-precision lanes, eight elements per step,
// then four, then single elements.
template <bool AX, bool AY>
ptrdiff_t saxpy_lanes(ptrdiff_t n, float a, const float *x, float *y)
{
    const __m128 va = _mm_set1_ps(a);
    ptrdiff_t i = 0;
    for (; i + 8 <= n; i += 8) {
        __m128 y0 = _mm_add_ps(ld<AY>(y + i), _mm_mul_ps(va, ld<AX>(x + i)));
        __m128 y1 = _mm_add_ps(ld<AY>(y + i + 4), _mm_mul_ps(va, ld<AX>(x + i + 4)));
        st<AY>(y + i, y0);
        st<AY>(y + i + 4, y1);
    }
    if (i + 4 <= n) {
        st<AY>(y + i, _mm_add_ps(ld<AY>(y + i), _mm_mul_ps(va, ld<AX>(x + i))));
        i += 4;
    }
    return i;
}

void saxpy_unit(ptrdiff_t n, float a, const float *x, float *y)
{
    ptrdiff_t i = 0;
    ptrdiff_t peel = peel_count(y, sizeof(float), 16);
    if (peel > n)
        peel = n;
    for (; i < peel; ++i)
        y[i] = y[i] + a * x[i];
    ptrdiff_t done;
    if (peel < 0)
        done = saxpy_lanes<false, false>(n, a, x, y);
    else if (misalign(x + i, 16) == 0)
        done = i + saxpy_lanes<true, true>(n - i, a, x + i, y + i);
    else
        done = i + saxpy_lanes<false, true>(n - i, a, x + i, y + i);
    for (i = done; i < n; ++i)
        y[i] = y[i] + a * x[i];
}

// caxpy, unit stride: two complex elements per register in storage order
// (our lane assignment), four per step; each lane pair gets
// (y + x*ar) + swap(x)*(-ai, +ai) in single precision.
template <bool AX, bool AY>
ptrdiff_t caxpy_lanes(ptrdiff_t n, float ar, float ai, const ZEM_Complex8 *xc, ZEM_Complex8 *yc)
{
    const float *x = (const float *)xc;
    float *y = (float *)yc;
    const __m128 var = _mm_set1_ps(ar);
    const __m128 vai = _mm_setr_ps(-ai, ai, -ai, ai);
    ptrdiff_t i = 0;
    for (; i + 4 <= n; i += 4) {
        __m128 x0 = ld<AX>(x + 2 * i), x1 = ld<AX>(x + 2 * i + 4);
        __m128 s0 = _mm_shuffle_ps(x0, x0, _MM_SHUFFLE(2, 3, 0, 1));
        __m128 s1 = _mm_shuffle_ps(x1, x1, _MM_SHUFFLE(2, 3, 0, 1));
        __m128 y0 = _mm_add_ps(_mm_add_ps(ld<AY>(y + 2 * i), _mm_mul_ps(x0, var)), _mm_mul_ps(s0, vai));
        __m128 y1 = _mm_add_ps(_mm_add_ps(ld<AY>(y + 2 * i + 4), _mm_mul_ps(x1, var)), _mm_mul_ps(s1, vai));
        st<AY>(y + 2 * i, y0);
        st<AY>(y + 2 * i + 4, y1);
    }
    if (i + 2 <= n) {
        __m128 x0 = ld<AX>(x + 2 * i);
        __m128 s0 = _mm_shuffle_ps(x0, x0, _MM_SHUFFLE(2, 3, 0, 1));
        st<AY>(y + 2 * i, _mm_add_ps(_mm_add_ps(ld<AY>(y + 2 * i), _mm_mul_ps(x0, var)), _mm_mul_ps(s0, vai)));
        i += 2;
    }
    return i;
}

void caxpy_unit(ptrdiff_t n, float ar, float ai, const ZEM_Complex8 *x, ZEM_Complex8 *y)
{
    ptrdiff_t i = 0;
    ptrdiff_t peel = peel_count(y, sizeof(ZEM_Complex8), 16);
    if (peel > n)
        peel = n;
    for (; i < peel; ++i)
        caxpy1((xreal)ar, (xreal)ai, x[i], y[i]);
    ptrdiff_t done;
    if (peel < 0)
        done = caxpy_lanes<false, false>(n, ar, ai, x, y);
    else if (misalign(x + i, 16) == 0)
        done = i + caxpy_lanes<true, true>(n - i, ar, ai, x + i, y + i);
    else
        done = i + caxpy_lanes<false, true>(n - i, ar, ai, x + i, y + i);
    for (i = done; i < n; ++i)
        caxpy1((xreal)ar, (xreal)ai, x[i], y[i]);
}

} // namespace
} // namespace zem_l1

using namespace zem_l1;

extern "C" ZEM_API void _ZEM_BLAS_saxpy ZEM_P_AXPY(float, float)
{
    ptrdiff_t nn = *n;
    float a = *alpha;
    int ix = *incx, iy = *incy;
    // +0 and -0 leave y alone; a NaN alpha goes on and writes NaN.
    if (nn <= 0 || a == 0.0f)
        return;
    if (ix == iy && (ix == 1 || ix == -1)) {
        // Both walked the same way: pairing element i with element i is the
        // same as walking both forward.
        saxpy_unit(nn, a, x, y);
    } else if ((iy == 1 || iy == -1) && ix != 1 && ix != -1) {
        // y forward; x keeps its pairing through the negated increment.
        ptrdiff_t ex = iy < 0 ? -(ptrdiff_t)ix : (ptrdiff_t)ix;
        ptrdiff_t sx = ex < 0 ? (1 - nn) * ex : 0;
        axpy_x87<float, 8, false, 0>(nn, (xreal)a, x, sx, ex, y, 0, 1);
    } else {
        // Everything else, unit increments of opposite signs included.
        axpy_x87<float, 4, false, 0>(nn, (xreal)a, x, first_offset(*n, ix), ix, y, first_offset(*n, iy), iy);
    }
}

extern "C" ZEM_API void _ZEM_BLAS_daxpy ZEM_P_AXPY(double, double)
{
    ptrdiff_t nn = *n;
    double a = *alpha;
    int ix = *incx, iy = *incy;
    if (nn <= 0 || a == 0.0)
        return;
    if (ix == 1 && iy == 1)
        axpy_x87<double, 4, true, 8>(nn, (xreal)a, x, 0, 1, y, 0, 1);
    else
        axpy_x87<double, 4, false, 0>(nn, (xreal)a, x, first_offset(*n, ix), ix, y, first_offset(*n, iy), iy);
}

extern "C" ZEM_API void _ZEM_BLAS_caxpy ZEM_P_AXPY(ZEM_Complex8, float)
{
    ptrdiff_t nn = *n;
    float ar = alpha->real, ai = alpha->imag;
    int ix = *incx, iy = *incy;
    if (nn <= 0 || (ar == 0.0f && ai == 0.0f))
        return;
    if (ix == iy && (ix == 1 || ix == -1))
        caxpy_unit(nn, ar, ai, x, y);
    else
        caxpy_x87(nn, (xreal)ar, (xreal)ai, x, first_offset(*n, ix), ix, y, first_offset(*n, iy), iy);
}

extern "C" ZEM_API void _ZEM_BLAS_zaxpy ZEM_P_AXPY(ZEM_Complex16, double)
{
    ptrdiff_t nn = *n;
    double ar = alpha->real, ai = alpha->imag;
    int ix = *incx, iy = *incy;
    if (nn <= 0 || (ar == 0.0 && ai == 0.0))
        return;
    if (ix == iy && (ix == 1 || ix == -1))
        caxpy_x87(nn, (xreal)ar, (xreal)ai, x, 0, 1, y, 0, 1);
    else
        caxpy_x87(nn, (xreal)ar, (xreal)ai, x, first_offset(*n, ix), ix, y, first_offset(*n, iy), iy);
}
