// x := alpha*x: sscal, dscal, cscal, zscal and the real-alpha csscal, zdscal.
// Every scaling walks forward from x with the absolute increment; each
// element is scaled on its own, so these are the elements (and results) the
// far-end rule gives. No special case for alpha = 0 or 1 (0*NaN stays NaN),
// except cscal's exact (1, 0).
#include "blas/kernel/default/level1/dense_vec.h"

namespace zem_l1 {
namespace {

// Unit stride in single precision: blocks of 24, at most one block of 16
// or 8, then 4, then single elements.
template <bool A>
ptrdiff_t sscal_lanes(ptrdiff_t n, float a, float *x)
{
    const __m128 va = _mm_set1_ps(a);
    ptrdiff_t i = 0;
    for (; i + 24 <= n; i += 24) {
        __m128 v0 = _mm_mul_ps(ld<A>(x + i), va), v1 = _mm_mul_ps(ld<A>(x + i + 4), va);
        __m128 v2 = _mm_mul_ps(ld<A>(x + i + 8), va), v3 = _mm_mul_ps(ld<A>(x + i + 12), va);
        __m128 v4 = _mm_mul_ps(ld<A>(x + i + 16), va), v5 = _mm_mul_ps(ld<A>(x + i + 20), va);
        st<A>(x + i, v0);
        st<A>(x + i + 4, v1);
        st<A>(x + i + 8, v2);
        st<A>(x + i + 12, v3);
        st<A>(x + i + 16, v4);
        st<A>(x + i + 20, v5);
    }
    if (i + 16 <= n) {
        for (int k = 0; k < 16; k += 4)
            st<A>(x + i + k, _mm_mul_ps(ld<A>(x + i + k), va));
        i += 16;
    } else if (i + 8 <= n) {
        st<A>(x + i, _mm_mul_ps(ld<A>(x + i), va));
        st<A>(x + i + 4, _mm_mul_ps(ld<A>(x + i + 4), va));
        i += 8;
    }
    if (i + 4 <= n) {
        st<A>(x + i, _mm_mul_ps(ld<A>(x + i), va));
        i += 4;
    }
    return i;
}

void sscal_unit(ptrdiff_t n, float a, float *x)
{
    ptrdiff_t peel = peel_count(x, sizeof(float), 16);
    ptrdiff_t i = 0;
    if (peel > n)
        peel = n;
    for (; i < peel; ++i)
        x[i] = x[i] * a;
    if (peel < 0)
        i = sscal_lanes<false>(n, a, x);
    else
        i += sscal_lanes<true>(n - i, a, x + i);
    for (; i < n; ++i)
        x[i] = x[i] * a;
}

// Real elements on the x87 unit, U (4 or 5) per step, each prefetched
// four strides ahead (one prefetch per step at unit stride).
template <class R, int U>
void scal_x87(ptrdiff_t n, xreal a, R *x, ptrdiff_t inc)
{
#define ZEM_SCAL1(k) x[ix + (k) * inc] = (R)((xreal)x[ix + (k) * inc] * a)
    ptrdiff_t i = 0, ix = 0;
    for (; i + U <= n; i += U) {
        if (inc == 1) {
            prefetch(x, ix + 16);
        } else {
            prefetch_next4(x, ix, inc);
            if (U == 5)
                prefetch(x, ix + 8 * inc);
        }
        ZEM_SCAL1(0);
        ZEM_SCAL1(1);
        ZEM_SCAL1(2);
        ZEM_SCAL1(3);
        if (U == 5)
            ZEM_SCAL1(4);
        ix += U * inc;
    }
    for (; i < n; ++i, ix += inc)
        ZEM_SCAL1(0);
#undef ZEM_SCAL1
}

// Complex elements times a real alpha on the x87 unit, two per step.
template <class T>
inline void rmul1(xreal a, T &x)
{
    typedef typename element<T>::comp R;
    x.real = (R)((xreal)x.real * a);
    x.imag = (R)((xreal)x.imag * a);
}

template <class T>
void cscal_real_x87(ptrdiff_t n, xreal a, T *x, ptrdiff_t inc)
{
    ptrdiff_t i = 0, ix = 0;
    for (; i + 2 <= n; i += 2, ix += 2 * inc) {
        prefetch(x, ix + 4 * inc);
        prefetch(x, ix + 5 * inc);
        rmul1(a, x[ix]);
        rmul1(a, x[ix + inc]);
    }
    if (i < n)
        rmul1(a, x[ix]);
}

// One complex element times a complex alpha on the x87 unit, from the old
// values: im := re*ai + im*ar, re := re*ar - im*ai.
template <class T>
inline void cmul1(xreal ar, xreal ai, T &x)
{
    typedef typename element<T>::comp R;
    xreal re = x.real, im = x.imag;
    x.imag = (R)(re * ai + im * ar);
    x.real = (R)(re * ar - im * ai);
}

template <class T>
void cscal_x87(ptrdiff_t n, xreal ar, xreal ai, T *x, ptrdiff_t inc)
{
    ptrdiff_t i = 0, ix = 0;
    for (; i + 2 <= n; i += 2, ix += 2 * inc) {
        prefetch(x, ix + 4 * inc);
        prefetch(x, ix + 5 * inc);
        cmul1(ar, ai, x[ix]);
        cmul1(ar, ai, x[ix + inc]);
    }
    if (i < n)
        cmul1(ar, ai, x[ix]);
}

// cscal, unit stride: two complex elements per register; each lane pair
// gets x*ar + swap(x)*(-ai, +ai).
template <bool A>
ptrdiff_t cscal_lanes(ptrdiff_t n, float ar, float ai, ZEM_Complex8 *xc)
{
    float *x = (float *)xc;
    const __m128 var = _mm_set1_ps(ar);
    const __m128 vai = _mm_setr_ps(-ai, ai, -ai, ai);
    ptrdiff_t i = 0;
    for (; i + 4 <= n; i += 4) {
        __m128 x0 = ld<A>(x + 2 * i), x1 = ld<A>(x + 2 * i + 4);
        __m128 s0 = _mm_shuffle_ps(x0, x0, _MM_SHUFFLE(2, 3, 0, 1));
        __m128 s1 = _mm_shuffle_ps(x1, x1, _MM_SHUFFLE(2, 3, 0, 1));
        st<A>(x + 2 * i, _mm_add_ps(_mm_mul_ps(x0, var), _mm_mul_ps(s0, vai)));
        st<A>(x + 2 * i + 4, _mm_add_ps(_mm_mul_ps(x1, var), _mm_mul_ps(s1, vai)));
    }
    if (i + 2 <= n) {
        __m128 x0 = ld<A>(x + 2 * i);
        __m128 s0 = _mm_shuffle_ps(x0, x0, _MM_SHUFFLE(2, 3, 0, 1));
        st<A>(x + 2 * i, _mm_add_ps(_mm_mul_ps(x0, var), _mm_mul_ps(s0, vai)));
        i += 2;
    }
    return i;
}

// One element the way the lanes compute it, so that a result never depends
// on where the element falls against the 16-byte boundary (signed zeros and
// underflows included).
inline void cmul1_lane(float ar, float ai, ZEM_Complex8 &x)
{
    const float re = x.real, im = x.imag;
    x.real = re * ar + im * -ai;
    x.imag = im * ar + re * ai;
}

void cscal_unit(ptrdiff_t n, float ar, float ai, ZEM_Complex8 *x)
{
    ptrdiff_t peel = peel_count(x, sizeof(ZEM_Complex8), 16);
    ptrdiff_t i = 0;
    if (peel > n)
        peel = n;
    for (; i < peel; ++i)
        cmul1_lane(ar, ai, x[i]);
    if (peel < 0)
        i = cscal_lanes<false>(n, ar, ai, x);
    else
        i += cscal_lanes<true>(n - i, ar, ai, x + i);
    for (; i < n; ++i)
        cmul1_lane(ar, ai, x[i]);
}

} // namespace
} // namespace zem_l1

using namespace zem_l1;

extern "C" ZEM_API void _ZEM_BLAS_sscal ZEM_P_SCAL(float, float)
{
    ptrdiff_t nn = *n, inc = abs_inc(*incx);
    if (nn <= 0)
        return;
    if (inc == 1)
        sscal_unit(nn, *alpha, x);
    else
        scal_x87<float, 5>(nn, (xreal)*alpha, x, inc);
}

extern "C" ZEM_API void _ZEM_BLAS_dscal ZEM_P_SCAL(double, double)
{
    ptrdiff_t nn = *n, inc = abs_inc(*incx);
    if (nn <= 0)
        return;
    scal_x87<double, 4>(nn, (xreal)*alpha, x, inc);
}

extern "C" ZEM_API void _ZEM_BLAS_csscal ZEM_P_SCAL(ZEM_Complex8, float)
{
    ptrdiff_t nn = *n, inc = abs_inc(*incx);
    if (nn <= 0)
        return;
    if (inc == 1)
        sscal_unit(2 * nn, *alpha, (float *)x); // both parts scale alike
    else
        cscal_real_x87(nn, (xreal)*alpha, x, inc);
}

extern "C" ZEM_API void _ZEM_BLAS_zdscal ZEM_P_SCAL(ZEM_Complex16, double)
{
    ptrdiff_t nn = *n, inc = abs_inc(*incx);
    if (nn <= 0)
        return;
    cscal_real_x87(nn, (xreal)*alpha, x, inc);
}

extern "C" ZEM_API void _ZEM_BLAS_cscal ZEM_P_SCAL(ZEM_Complex8, ZEM_Complex8)
{
    ptrdiff_t nn = *n, inc = abs_inc(*incx);
    if (nn <= 0)
        return;
    // Exactly (1.0, 0.0), compared bit for bit: no arithmetic at all, so
    // NaNs and signed zeros in x stay as they are.
    uint32_t bits[2];
    memcpy(bits, alpha, sizeof bits);
    if (bits[0] == 0x3f800000u && bits[1] == 0u)
        return;
    if (inc == 1)
        cscal_unit(nn, alpha->real, alpha->imag, x);
    else
        cscal_x87(nn, (xreal)alpha->real, (xreal)alpha->imag, x, inc);
}

extern "C" ZEM_API void _ZEM_BLAS_zscal ZEM_P_SCAL(ZEM_Complex16, ZEM_Complex16)
{
    ptrdiff_t nn = *n, inc = abs_inc(*incx);
    if (nn <= 0)
        return;
    cscal_x87(nn, (xreal)alpha->real, (xreal)alpha->imag, x, inc);
}
