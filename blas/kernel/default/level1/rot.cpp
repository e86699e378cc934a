// Applying a plane rotation: srot (and its general kernel srotin), drot,
// csrot, zdrot. Each pair (x, y) becomes (c*x + s*y, c*y - s*x); the new y
// is stored first, both from the old values.
#include <stdint.h>
#include <xmmintrin.h>
#include "blas/kernel/default/level1/rot_sparse.h"

using namespace zem_l1;

namespace {

// Contiguous single-precision vectors in SSE lanes: single elements until y
// is 16-byte aligned, then four pairs per group (aligned loads of x too when
// x is aligned alike, unaligned ones otherwise), then the remainder. Single
// elements use the same single-precision operations as the lanes.
void rot_sse(float *x, float *y, ptrdiff_t n, float c, float s)
{
    ptrdiff_t i = 0;
    for (; i < n && (reinterpret_cast<uintptr_t>(y + i) & 15) != 0; ++i) {
        const float xv = x[i], yv = y[i];
        y[i] = c * yv - s * xv;
        x[i] = c * xv + s * yv;
    }
    const __m128 vc = _mm_set1_ps(c), vs = _mm_set1_ps(s);
    if ((reinterpret_cast<uintptr_t>(x + i) & 15) == 0) {
        for (; n - i >= 4; i += 4) {
            __m128 xv = _mm_load_ps(x + i), yv = _mm_load_ps(y + i);
            _mm_store_ps(y + i, _mm_sub_ps(_mm_mul_ps(vc, yv), _mm_mul_ps(vs, xv)));
            _mm_store_ps(x + i, _mm_add_ps(_mm_mul_ps(vc, xv), _mm_mul_ps(vs, yv)));
        }
    } else {
        for (; n - i >= 4; i += 4) {
            __m128 xv = _mm_loadu_ps(x + i), yv = _mm_load_ps(y + i);
            _mm_store_ps(y + i, _mm_sub_ps(_mm_mul_ps(vc, yv), _mm_mul_ps(vs, xv)));
            _mm_storeu_ps(x + i, _mm_add_ps(_mm_mul_ps(vc, xv), _mm_mul_ps(vs, yv)));
        }
    }
    for (; i < n; ++i) {
        const float xv = x[i], yv = y[i];
        y[i] = c * yv - s * xv;
        x[i] = c * xv + s * yv;
    }
}

// Any increments (far-end start for negative ones), in x87 extended
// precision, rounded when stored. Pairs are taken strictly one after the
// other, so a zero increment sees every earlier update.
template <typename T>
void rot_x87(T *x, ptrdiff_t incx, T *y, ptrdiff_t incy, ptrdiff_t n, long double c, long double s)
{
    T *px = first_element(x, n, incx);
    T *py = first_element(y, n, incy);
#pragma GCC unroll 4
    for (ptrdiff_t i = 0; i < n; ++i, px += incx, py += incy) {
        const long double xv = *px, yv = *py;
        *py = static_cast<T>(c * yv - s * xv);
        *px = static_cast<T>(c * xv + s * yv);
    }
}

// Unit increments: contiguous, four pairs per step.
template <typename T>
void rot_x87_unit(T *x, T *y, ptrdiff_t n, long double c, long double s)
{
    ptrdiff_t i = 0;
    for (; n - i >= 4; i += 4) {
        prefetch(x, i + 16);
        prefetch(y, i + 16);
        for (int k = 0; k < 4; ++k) {
            const long double xv = x[i + k], yv = y[i + k];
            y[i + k] = static_cast<T>(c * yv - s * xv);
            x[i + k] = static_cast<T>(c * xv + s * yv);
        }
    }
    for (; i < n; ++i) {
        const long double xv = x[i], yv = y[i];
        y[i] = static_cast<T>(c * yv - s * xv);
        x[i] = static_cast<T>(c * xv + s * yv);
    }
}

// Complex vectors with a real rotation: both component streams alike.
template <typename C, typename R>
void rot_complex_strided(C *x, ptrdiff_t incx, C *y, ptrdiff_t incy, ptrdiff_t n, long double c, long double s)
{
    rot_x87<R>(&x->real, 2 * incx, &y->real, 2 * incy, n, c, s);
    rot_x87<R>(&x->imag, 2 * incx, &y->imag, 2 * incy, n, c, s);
}

} // namespace

// The general single-precision rotation: SSE lanes when both increments
// are the same unit step (+1 or -1 pair the same elements), else x87 with
// each result rounded to single precision. (The grouping is left to the
// implementer: four pairs per SSE step after aligning y, the strided pairs
// one at a time so that a zero increment sees every earlier update.)
extern "C" ZEM_API void _ZEM_BLAS_srotin(const int *n, float *x, const int *incx, float *y, const int *incy,
                                         const float *c, const float *s)
{
    const ptrdiff_t nn = *n, ix = *incx, iy = *incy;
    if (nn < 1)
        return;
    if (ix == iy && (ix == 1 || ix == -1))
        rot_sse(x, y, nn, *c, *s);
    else
        rot_x87(x, ix, y, iy, nn, *c, *s);
}

// s = 0: c = 1 is the identity and leaves both vectors bit for bit alone;
// any other c scales x and then y by c.
extern "C" ZEM_API void _ZEM_BLAS_srot(const int *n, float *x, const int *incx, float *y, const int *incy,
                                       const float *c, const float *s)
{
    if (*s == 0.0f) {
        if (*c == 1.0f)
            return;
        _ZEM_BLAS_sscal(n, c, x, incx);
        _ZEM_BLAS_sscal(n, c, y, incy);
        return;
    }
    _ZEM_BLAS_srotin(n, x, incx, y, incy, c, s);
}

extern "C" ZEM_API void _ZEM_BLAS_drot(const int *n, double *x, const int *incx, double *y, const int *incy,
                                       const double *c, const double *s)
{
    const ptrdiff_t nn = *n, ix = *incx, iy = *incy;
    if (nn < 1)
        return;
    if (ix == 1 && iy == 1)
        rot_x87_unit(x, y, nn, *c, *s);
    else
        rot_x87(x, ix, y, iy, nn, *c, *s);
}

extern "C" ZEM_API void _ZEM_BLAS_csrot(const int *n, ZEM_Complex8 *x, const int *incx, ZEM_Complex8 *y,
                                        const int *incy, const float *c, const float *s)
{
    const ptrdiff_t nn = *n, ix = *incx, iy = *incy;
    if (nn < 1)
        return;
    // Equal unit steps: the components are two contiguous float vectors.
    if (ix == iy && (ix == 1 || ix == -1))
        rot_sse(&x->real, &y->real, 2 * nn, *c, *s);
    else
        rot_complex_strided<ZEM_Complex8, float>(x, ix, y, iy, nn, *c, *s);
}

extern "C" ZEM_API void _ZEM_BLAS_zdrot(const int *n, ZEM_Complex16 *x, const int *incx, ZEM_Complex16 *y,
                                        const int *incy, const double *c, const double *s)
{
    const ptrdiff_t nn = *n, ix = *incx, iy = *incy;
    if (nn < 1)
        return;
    if (ix == 1 && iy == 1)
        rot_x87_unit(&x->real, &y->real, 2 * nn, *c, *s);
    else
        rot_complex_strided<ZEM_Complex16, double>(x, ix, y, iy, nn, *c, *s);
}
