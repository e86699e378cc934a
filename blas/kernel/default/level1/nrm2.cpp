// Euclidean norms snrm2, dnrm2, scnrm2, dznrm2.
//
// The norm is the square root of the plain sum of squares: no scaling pass.
// Squares of double values are summed in x87 extended precision, whose
// exponent range cannot overflow or underflow on them. The single-precision
// unit-stride path sums in SSE single-precision lanes, so there a square
// beyond the single-precision range makes the result infinite, while the
// strided path (extended precision) stays finite.
#include <stdint.h>
#include <xmmintrin.h>
#include "blas/kernel/default/level1/rot_sparse.h"

using namespace zem_l1;

namespace {

// Sum of squares of n contiguous floats: elements up to 16-byte alignment
// in extended precision; that sum, rounded to single precision, seeds lane 0
// of accumulator A; then 16 elements per step (1-4 and 9-12 into A, 5-8 and
// 13-16 into B), at most one step of 8 and one of 4; the lanes of A + B
// combine as (C0 + C2) + (C1 + C3); the last fewer than four elements are
// added in extended precision.
long double sumsq_sse(const float *x, ptrdiff_t n)
{
    long double head = 0.0L;
    ptrdiff_t i = 0;
    while (i < n && (reinterpret_cast<uintptr_t>(x + i) & 15) != 0) {
        head += sq(x[i]);
        ++i;
    }
    if (i == n)
        return head;

    __m128 a = _mm_set_ss(static_cast<float>(head));
    __m128 b = _mm_setzero_ps();
    for (; n - i >= 16; i += 16) {
        __m128 v0 = _mm_load_ps(x + i);
        __m128 v1 = _mm_load_ps(x + i + 4);
        __m128 v2 = _mm_load_ps(x + i + 8);
        __m128 v3 = _mm_load_ps(x + i + 12);
        a = _mm_add_ps(a, _mm_mul_ps(v0, v0));
        b = _mm_add_ps(b, _mm_mul_ps(v1, v1));
        a = _mm_add_ps(a, _mm_mul_ps(v2, v2));
        b = _mm_add_ps(b, _mm_mul_ps(v3, v3));
    }
    if (n - i >= 8) {
        __m128 v0 = _mm_load_ps(x + i);
        __m128 v1 = _mm_load_ps(x + i + 4);
        a = _mm_add_ps(a, _mm_mul_ps(v0, v0));
        b = _mm_add_ps(b, _mm_mul_ps(v1, v1));
        i += 8;
    }
    if (n - i >= 4) {
        __m128 v0 = _mm_load_ps(x + i);
        a = _mm_add_ps(a, _mm_mul_ps(v0, v0));
        i += 4;
    }
    float lane[4];
    _mm_storeu_ps(lane, _mm_add_ps(a, b));
    float body = (lane[0] + lane[2]) + (lane[1] + lane[3]);

    long double sum = body;
    for (; i < n; ++i)
        sum += sq(x[i]);
    return sum;
}

// Strided real vector (far-end start for a negative increment): four
// extended accumulators over elements 1..4 of each group, combined as
// s3 + s0 + s1 + s2, then the remaining elements.
template <typename T>
long double sumsq_strided4(const T *x, ptrdiff_t n, ptrdiff_t inc)
{
    const T *p = first_element(x, n, inc);
    long double s0 = 0.0L, s1 = 0.0L, s2 = 0.0L, s3 = 0.0L;
    ptrdiff_t i = 0;
    for (; n - i >= 4; i += 4, p += 4 * inc) {
        prefetch(p, 8 * inc);
        s0 += sq(p[0]);
        s1 += sq(p[inc]);
        s2 += sq(p[2 * inc]);
        s3 += sq(p[3 * inc]);
    }
    long double sum = s3 + s0 + s1 + s2;
    for (; i < n; ++i, p += inc)
        sum += sq(*p);
    return sum;
}

// Complex vector: the four components of two elements per step into four
// extended accumulators, combined as s3 + s0 + s1 + s2, then the last
// element's two components.
template <typename C>
long double sumsq_complex(const C *x, ptrdiff_t n, ptrdiff_t inc)
{
    const C *p = first_element(x, n, inc);
    long double s0 = 0.0L, s1 = 0.0L, s2 = 0.0L, s3 = 0.0L;
    ptrdiff_t i = 0;
    for (; n - i >= 2; i += 2, p += 2 * inc) {
        prefetch(p, 4 * inc);
        s0 += sq(p[0].real);
        s1 += sq(p[0].imag);
        s2 += sq(p[inc].real);
        s3 += sq(p[inc].imag);
    }
    long double sum = s3 + s0 + s1 + s2;
    if (i < n) {
        sum += sq(p->real);
        sum += sq(p->imag);
    }
    return sum;
}

// dnrm2 with unit stride (an increment of -1 covers the same elements):
// per group of four, elements 1 and 3 into one accumulator, element 2 into
// the final sum, element 4 into a third; the sum is then
// (element-2 sum) + (elements-1-and-3 sum) + (element-4 sum). The loop is
// written for the x87 stack (fld, square, faddp into the accumulator):
// the accumulator of elements 1 and 3 takes two dependent adds per group
// and bounds the speed, so nothing else may compete for the issue slots.
long double sumsq_double_unit(const double *x, ptrdiff_t n)
{
    long double s13 = 0.0L, sum = 0.0L, s4 = 0.0L;
    ptrdiff_t groups = n / 4;
    if (groups > 0) {
        const double *p = x;
        // st(0) = s13, st(1) = sum, st(2) = s4 between the steps
        __asm__("fldz\n\tfldz\n\tfldz\n\t" ZEM_X87_GROUPS4("fmul %%st(0), %%st\n\t", 1, 2, 1, 3)
                "fstpt %[s13]\n\tfstpt %[sum]\n\tfstpt %[s4]"
                : [p] "+r"(p), [g] "+r"(groups), [s13] "=m"(s13), [sum] "=m"(sum), [s4] "=m"(s4)
                : // the loop reads all of x: "memory" below says so portably
                : ZEM_X87_CLOBBERS, "memory");
    }
    sum = sum + s13 + s4;
    for (ptrdiff_t i = n / 4 * 4; i < n; ++i)
        sum += sq(x[i]);
    return sum;
}

// dnrm2 with any other increment: two elements per step, the first into
// one accumulator, the second into the final sum, which then adds the first.
long double sumsq_double_strided(const double *x, ptrdiff_t n, ptrdiff_t inc)
{
    const double *p = first_element(x, n, inc);
    long double s1 = 0.0L, sum = 0.0L;
    ptrdiff_t i = 0;
    for (; n - i >= 2; i += 2, p += 2 * inc) {
        prefetch(p, 8 * inc);
        s1 += sq(p[0]);
        sum += sq(p[inc]);
    }
    sum += s1;
    if (i < n)
        sum += sq(*p);
    return sum;
}

} // namespace

extern "C" ZEM_API float _ZEM_BLAS_snrm2(const int *n, const float *x, const int *incx)
{
    ptrdiff_t nn = *n, inc = *incx;
    if (nn < 1)
        return 0.0f;
    long double sum = inc == 1 ? sumsq_sse(x, nn) : sumsq_strided4(x, nn, inc);
    return static_cast<float>(xsqrt(sum));
}

extern "C" ZEM_API double _ZEM_BLAS_dnrm2(const int *n, const double *x, const int *incx)
{
    ptrdiff_t nn = *n, inc = *incx;
    if (nn < 1)
        return 0.0;
    long double sum = (inc == 1 || inc == -1) ? sumsq_double_unit(x, nn) : sumsq_double_strided(x, nn, inc);
    return static_cast<double>(xsqrt(sum));
}

extern "C" ZEM_API float _ZEM_BLAS_scnrm2(const int *n, const ZEM_Complex8 *x, const int *incx)
{
    ptrdiff_t nn = *n, inc = *incx;
    if (nn < 1)
        return 0.0f;
    // With unit stride the components form one contiguous float vector.
    long double sum = inc == 1 ? sumsq_sse(&x->real, 2 * nn) : sumsq_complex(x, nn, inc);
    return static_cast<float>(xsqrt(sum));
}

extern "C" ZEM_API double _ZEM_BLAS_dznrm2(const int *n, const ZEM_Complex16 *x, const int *incx)
{
    ptrdiff_t nn = *n, inc = *incx;
    if (nn < 1)
        return 0.0;
    // Unit stride (either sign) walks the elements from the base.
    if (inc == -1)
        inc = 1;
    return static_cast<double>(xsqrt(sumsq_complex(x, nn, inc)));
}
