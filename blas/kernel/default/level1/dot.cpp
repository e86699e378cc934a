// Dot products: sdot, ddot, dsdot, sdsdot and the complex cdotc, cdotu,
// zdotc, zdotu (result through the hidden first argument).
#include "blas/kernel/default/level1/dense_vec.h"

namespace zem_l1 {
namespace {

// Four extended accumulators s0..s3 for elements 1, 2, 3, 4 modulo 4,
// STEP (4 or 8) elements per step, combined as s3 + s0 + s1 + s2; the
// elements after the last full step are then added to that sum in order.
// UNIT: both increments are 1 (known at compile time).
template <class R, int STEP, bool UNIT>
xreal dot_x87(ptrdiff_t n, const R *x, ptrdiff_t ix, ptrdiff_t incx, const R *y, ptrdiff_t iy, ptrdiff_t incy)
{
    if (UNIT)
        incx = incy = 1;
#define ZEM_P(k) ((xreal)x[ix + (k) * incx] * y[iy + (k) * incy])
    xreal s0 = 0, s1 = 0, s2 = 0, s3 = 0;
    ptrdiff_t i = 0;
    for (; i + STEP <= n; i += STEP) {
        if (UNIT) {
            prefetch(x, ix + 16);
            prefetch(y, iy + 16);
        } else {
            prefetch_next4(x, ix, incx);
            prefetch_next4(y, iy, incy);
        }
        s0 += ZEM_P(0);
        s1 += ZEM_P(1);
        s2 += ZEM_P(2);
        s3 += ZEM_P(3);
        if (STEP == 8) {
            if (!UNIT) {
                prefetch_next4(x, ix + 4 * incx, incx);
                prefetch_next4(y, iy + 4 * incy, incy);
            }
            s0 += ZEM_P(4);
            s1 += ZEM_P(5);
            s2 += ZEM_P(6);
            s3 += ZEM_P(7);
        }
        ix += STEP * incx;
        iy += STEP * incy;
    }
    xreal sum = s3 + s0 + s1 + s2;
    for (; i < n; ++i) {
        sum += ZEM_P(0);
        ix += incx;
        iy += incy;
    }
#undef ZEM_P
    return sum;
}

// Where the vectors start and how they step when exactly one increment is
// +-1 (or both are, with opposite signs): the unit-stride vector is walked
// forward, and the other keeps its pairing through a negated increment.
struct Walk {
    ptrdiff_t ix, incx, iy, incy;
};

Walk unit_walk(int n, int incx, int incy)
{
    Walk w;
    if (incx == 1 || incx == -1) {
        w.incx = 1;
        w.ix = 0;
        w.incy = incx < 0 ? -(ptrdiff_t)incy : (ptrdiff_t)incy;
        w.iy = w.incy < 0 ? ((ptrdiff_t)1 - n) * w.incy : 0;
    } else {
        w.incy = 1;
        w.iy = 0;
        w.incx = incy < 0 ? -(ptrdiff_t)incx : (ptrdiff_t)incx;
        w.ix = w.incx < 0 ? ((ptrdiff_t)1 - n) * w.incx : 0;
    }
    return w;
}

// sdot with incx = incy = +-1 and n > 8: two 4-lane accumulators A and B;
// per 16 elements, 1-4 and 9-12 go into A, 5-8 and 13-16 into B; then at
// most one step of 8 and one of 4; the lanes of A + B are summed as
// (C0 + C2) + (C1 + C3); the last elements are added singly.
template <bool AX, bool AY>
float sdot_lanes(ptrdiff_t n, const float *x, const float *y, float lane0)
{
    __m128 A = _mm_set_ss(lane0), B = _mm_setzero_ps();
    ptrdiff_t i = 0;
    for (; i + 16 <= n; i += 16) {
        A = _mm_add_ps(A, _mm_mul_ps(ld<AX>(x + i), ld<AY>(y + i)));
        B = _mm_add_ps(B, _mm_mul_ps(ld<AX>(x + i + 4), ld<AY>(y + i + 4)));
        A = _mm_add_ps(A, _mm_mul_ps(ld<AX>(x + i + 8), ld<AY>(y + i + 8)));
        B = _mm_add_ps(B, _mm_mul_ps(ld<AX>(x + i + 12), ld<AY>(y + i + 12)));
    }
    if (i + 8 <= n) {
        A = _mm_add_ps(A, _mm_mul_ps(ld<AX>(x + i), ld<AY>(y + i)));
        B = _mm_add_ps(B, _mm_mul_ps(ld<AX>(x + i + 4), ld<AY>(y + i + 4)));
        i += 8;
    }
    if (i + 4 <= n) {
        A = _mm_add_ps(A, _mm_mul_ps(ld<AX>(x + i), ld<AY>(y + i)));
        i += 4;
    }
    float sum = hsum_ps(_mm_add_ps(A, B));
    for (; i < n; ++i)
        sum += x[i] * y[i];
    return sum;
}

float sdot_sse(ptrdiff_t n, const float *x, const float *y)
{
    // Element-misaligned data never reach alignment: unaligned loads of both.
    if (misalign(x, 4) || misalign(y, 4))
        return sdot_lanes<false, false>(n, x, y, 0.0f);
    bool alike = misalign(x, 16) == misalign(y, 16);
    // Single products into lane 0 of A until y (and x, when aligned alike)
    // is 16-byte aligned.
    float lane0 = 0.0f;
    ptrdiff_t i = 0;
    for (; misalign(y + i, 16) != 0; ++i) {
        if (i == n)
            return lane0;
        lane0 += x[i] * y[i];
    }
    if (alike)
        return sdot_lanes<true, true>(n - i, x + i, y + i, lane0);
    return sdot_lanes<false, true>(n - i, x + i, y + i, lane0);
}

// Makes the next statement load its operands from memory again instead of
// keeping the earlier loads on the x87 stack: with four complex accumulators
// live, those copies would be spilled and reloaded in the 80-bit format.
static inline void reload_barrier() { __asm__ __volatile__("" ::: "memory"); }

// Complex products on the x87 unit: two complex accumulators (even and odd
// elements), STEP (2 or 4) elements per step; the first is added into the
// second, then the rest follows. dotc: re += xr*yr + xi*yi,
// im += xr*yi - yr*xi; dotu: re += xr*yr - xi*yi, im += xr*yi + xi*yr.
template <bool CONJ, class T, int STEP, bool UNIT>
void cdot_x87(ptrdiff_t n, const T *x, ptrdiff_t ix, ptrdiff_t incx, const T *y, ptrdiff_t iy, ptrdiff_t incy,
              xreal &re, xreal &im)
{
    if (UNIT)
        incx = incy = 1;
#define ZEM_CACC(r, m, k)                                                                        \
    do {                                                                                         \
        const T &a_ = x[ix + (k) * incx], &b_ = y[iy + (k) * incy];                              \
        if (CONJ) {                                                                              \
            r = r + (xreal)a_.real * b_.real + (xreal)a_.imag * b_.imag;                         \
            reload_barrier();                                                                    \
            m = m + (xreal)a_.real * b_.imag - (xreal)b_.real * a_.imag;                         \
        } else {                                                                                 \
            r = r + (xreal)a_.real * b_.real - (xreal)a_.imag * b_.imag;                         \
            reload_barrier();                                                                    \
            m = m + (xreal)a_.real * b_.imag + (xreal)a_.imag * b_.real;                         \
        }                                                                                        \
    } while (0)
    xreal r0 = 0, m0 = 0, r1 = 0, m1 = 0;
    ptrdiff_t i = 0;
    for (; i + STEP <= n; i += STEP) {
        if (UNIT) {
            prefetch(x, ix + 8);
            prefetch(y, iy + 8);
        } else {
            // each element of the step, four strides ahead
            prefetch(x, ix + 4 * incx);
            prefetch(x, ix + 5 * incx);
            prefetch(y, iy + 4 * incy);
            prefetch(y, iy + 5 * incy);
            if (STEP == 4) {
                prefetch(x, ix + 6 * incx);
                prefetch(x, ix + 7 * incx);
                prefetch(y, iy + 6 * incy);
                prefetch(y, iy + 7 * incy);
            }
        }
        ZEM_CACC(r0, m0, 0);
        ZEM_CACC(r1, m1, 1);
        if (STEP == 4) {
            ZEM_CACC(r0, m0, 2);
            ZEM_CACC(r1, m1, 3);
        }
        ix += STEP * incx;
        iy += STEP * incy;
    }
    r1 += r0;
    m1 += m0;
    for (; i < n; ++i) {
        ZEM_CACC(r1, m1, 0);
        ix += incx;
        iy += incy;
    }
#undef ZEM_CACC
    re = r1;
    im = m1;
}

// Single complex, unit stride, in SSE single precision (lane assignment and
// grouping are our choice): P sums x*y lane by lane (xr*yr, xi*yi), Q sums
// x*swap(y) (xr*yi, xi*yr), two of each over four complex elements per step. The four partial sums then give
// dotu = (rr - ii, ri + ir) and dotc = (rr + ii, ri - ir).
struct CPart {
    float rr, ii, ri, ir;
};

inline void cpart_add(CPart &p, const ZEM_Complex8 &x, const ZEM_Complex8 &y)
{
    p.rr += x.real * y.real;
    p.ii += x.imag * y.imag;
    p.ri += x.real * y.imag;
    p.ir += x.imag * y.real;
}

template <bool AX, bool AY>
CPart cdot_lanes(ptrdiff_t n, const ZEM_Complex8 *xc, const ZEM_Complex8 *yc, const CPart &peeled)
{
    const float *x = (const float *)xc, *y = (const float *)yc;
    __m128 PA = _mm_setr_ps(peeled.rr, peeled.ii, 0.0f, 0.0f), PB = _mm_setzero_ps();
    __m128 QA = _mm_setr_ps(peeled.ri, peeled.ir, 0.0f, 0.0f), QB = _mm_setzero_ps();
    ptrdiff_t i = 0;
    for (; i + 4 <= n; i += 4) {
        __m128 x0 = ld<AX>(x + 2 * i), y0 = ld<AY>(y + 2 * i);
        __m128 x1 = ld<AX>(x + 2 * i + 4), y1 = ld<AY>(y + 2 * i + 4);
        PA = _mm_add_ps(PA, _mm_mul_ps(x0, y0));
        QA = _mm_add_ps(QA, _mm_mul_ps(x0, _mm_shuffle_ps(y0, y0, _MM_SHUFFLE(2, 3, 0, 1))));
        PB = _mm_add_ps(PB, _mm_mul_ps(x1, y1));
        QB = _mm_add_ps(QB, _mm_mul_ps(x1, _mm_shuffle_ps(y1, y1, _MM_SHUFFLE(2, 3, 0, 1))));
    }
    if (i + 2 <= n) {
        __m128 x0 = ld<AX>(x + 2 * i), y0 = ld<AY>(y + 2 * i);
        PA = _mm_add_ps(PA, _mm_mul_ps(x0, y0));
        QA = _mm_add_ps(QA, _mm_mul_ps(x0, _mm_shuffle_ps(y0, y0, _MM_SHUFFLE(2, 3, 0, 1))));
        i += 2;
    }
    float p[4], q[4];
    _mm_storeu_ps(p, _mm_add_ps(PA, PB));
    _mm_storeu_ps(q, _mm_add_ps(QA, QB));
    CPart r = {p[0] + p[2], p[1] + p[3], q[0] + q[2], q[1] + q[3]};
    for (; i < n; ++i)
        cpart_add(r, xc[i], yc[i]);
    return r;
}

CPart cdot_sse(ptrdiff_t n, const ZEM_Complex8 *x, const ZEM_Complex8 *y)
{
    CPart p = {0.0f, 0.0f, 0.0f, 0.0f};
    if (misalign(x, 8) || misalign(y, 8))
        return cdot_lanes<false, false>(n, x, y, p);
    bool alike = misalign(x, 16) == misalign(y, 16);
    ptrdiff_t i = 0;
    for (; misalign(y + i, 16) != 0 && i < n; ++i)
        cpart_add(p, x[i], y[i]);
    if (alike)
        return cdot_lanes<true, true>(n - i, x + i, y + i, p);
    return cdot_lanes<false, true>(n - i, x + i, y + i, p);
}

template <bool CONJ>
void cdot_kernel(ZEM_Complex8 *result, int n, const ZEM_Complex8 *x, int incx, const ZEM_Complex8 *y, int incy)
{
    // The result is stored last: it may share memory with the inputs.
    if (n < 1) {
        result->real = 0.0f;
        result->imag = 0.0f;
        return;
    }
    bool ux = incx == 1 || incx == -1, uy = incy == 1 || incy == -1;
    xreal re, im;
    if (n > 8 && ux && incx == incy) {
        CPart p = cdot_sse(n, x, y);
        result->real = CONJ ? p.rr + p.ii : p.rr - p.ii;
        result->imag = CONJ ? p.ri - p.ir : p.ri + p.ir;
        return;
    }
    if (n > 8 && (ux || uy)) {
        Walk w = unit_walk(n, incx, incy);
        cdot_x87<CONJ, ZEM_Complex8, 4, false>(n, x, w.ix, w.incx, y, w.iy, w.incy, re, im);
    } else {
        cdot_x87<CONJ, ZEM_Complex8, 2, false>(n, x, first_offset(n, incx), incx, y, first_offset(n, incy), incy, re, im);
    }
    result->real = (float)re;
    result->imag = (float)im;
}

template <bool CONJ>
void zdot_kernel(ZEM_Complex16 *result, int n, const ZEM_Complex16 *x, int incx, const ZEM_Complex16 *y, int incy)
{
    xreal re = 0, im = 0;
    if (n >= 1) {
        if (incx == incy && (incx == 1 || incx == -1))
            cdot_x87<CONJ, ZEM_Complex16, 4, true>(n, x, 0, 1, y, 0, 1, re, im);
        else
            cdot_x87<CONJ, ZEM_Complex16, 2, false>(n, x, first_offset(n, incx), incx, y, first_offset(n, incy), incy,
                                             re, im);
    }
    result->real = (double)re;
    result->imag = (double)im;
}

// One extended accumulator from `start`, elements in order.
xreal dsdot_x87(int n, const float *x, int incx, const float *y, int incy, xreal start)
{
    xreal s = start;
    if (incx == incy && incx >= 1) {
        ptrdiff_t inc = incx;
        for (ptrdiff_t i = 0; i < n; ++i)
            s += (xreal)x[i * inc] * (xreal)y[i * inc];
        return s;
    }
    ptrdiff_t ix = first_offset(n, incx), iy = first_offset(n, incy);
    for (ptrdiff_t i = 0; i < n; ++i, ix += incx, iy += incy)
        s += (xreal)x[ix] * (xreal)y[iy];
    return s;
}

} // namespace
} // namespace zem_l1

using namespace zem_l1;

extern "C" ZEM_API float _ZEM_BLAS_sdot ZEM_P_DOT(float, float)
{
    int nn = *n, ix = *incx, iy = *incy;
    if (nn < 1)
        return 0.0f;
    bool ux = ix == 1 || ix == -1, uy = iy == 1 || iy == -1;
    if (nn <= 8 || (!ux && !uy))
        return (float)dot_x87<float, 4, false>(nn, x, first_offset(nn, ix), ix, y, first_offset(nn, iy), iy);
    if (ix == iy)
        return sdot_sse(nn, x, y);
    Walk w = unit_walk(nn, ix, iy);
    return (float)dot_x87<float, 8, false>(nn, x, w.ix, w.incx, y, w.iy, w.incy);
}

extern "C" ZEM_API double _ZEM_BLAS_ddot ZEM_P_DOT(double, double)
{
    int nn = *n, ix = *incx, iy = *incy;
    if (nn < 1)
        return 0.0;
    // Equal unit increments pair element i with element i: walked forward.
    if (ix == iy && (ix == 1 || ix == -1))
        return (double)dot_x87<double, 4, true>(nn, x, 0, 1, y, 0, 1);
    return (double)dot_x87<double, 4, false>(nn, x, first_offset(nn, ix), ix, y, first_offset(nn, iy), iy);
}

extern "C" ZEM_API double _ZEM_BLAS_dsdot ZEM_P_DOT(float, float)
{
    if (*n < 1)
        return 0.0;
    return (double)dsdot_x87(*n, x, *incx, y, *incy, 0);
}

extern "C" ZEM_API float _ZEM_BLAS_sdsdot ZEM_P_SDSDOT(float, float)
{
    if (*n < 1)
        return *sb;
    return (float)dsdot_x87(*n, x, *incx, y, *incy, (xreal)*sb);
}

extern "C" ZEM_API void _ZEM_BLAS_cdotc ZEM_P_DOTC(ZEM_Complex8, float)
{
    cdot_kernel<true>(result, *n, x, *incx, y, *incy);
}
extern "C" ZEM_API void _ZEM_BLAS_cdotu ZEM_P_DOTC(ZEM_Complex8, float)
{
    cdot_kernel<false>(result, *n, x, *incx, y, *incy);
}
extern "C" ZEM_API void _ZEM_BLAS_zdotc ZEM_P_DOTC(ZEM_Complex16, double)
{
    zdot_kernel<true>(result, *n, x, *incx, y, *incy);
}
extern "C" ZEM_API void _ZEM_BLAS_zdotu ZEM_P_DOTC(ZEM_Complex16, double)
{
    zdot_kernel<false>(result, *n, x, *incx, y, *incy);
}
