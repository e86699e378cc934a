// Sums of magnitudes: sasum, dasum, and scasum, dzasum with the complex
// magnitude abs(re) + abs(im) (not the modulus).
#include "blas/kernel/default/level1/dense_vec.h"

namespace zem_l1 {
namespace {

// Unit stride, x87: four accumulators for elements 1..4 modulo 4, combined
// as s3 + s0 + s1 + s2, then the remaining elements. Each accumulator is one
// chain of dependent extended adds, so the loop is written for the x87
// stack directly (fld, fabs, faddp into the element's accumulator): the
// compiler's version takes every magnitude through SSE and the stack
// memory and spends the issue slots the four chains need.
xreal asum_unit_x87(ptrdiff_t n, const double *x)
{
    xreal s0 = 0, s1 = 0, s2 = 0, s3 = 0;
    ptrdiff_t groups = n / 4;
    if (groups > 0) {
        const double *p = x;
        // st(0)..st(3) hold s0..s3 between the steps
        __asm__("fldz\n\tfldz\n\tfldz\n\tfldz\n\t" ZEM_X87_GROUPS4("fabs\n\t", 1, 2, 3, 4)
                "fstpt %[s0]\n\tfstpt %[s1]\n\tfstpt %[s2]\n\tfstpt %[s3]"
                : [p] "+r"(p), [g] "+r"(groups), [s0] "=m"(s0), [s1] "=m"(s1), [s2] "=m"(s2), [s3] "=m"(s3)
                : // the loop reads all of x: "memory" below says so portably
                : ZEM_X87_CLOBBERS, "memory");
    }
    xreal s = s3 + s0 + s1 + s2;
    for (ptrdiff_t i = n / 4 * 4; i < n; ++i)
        s += (xreal)mag(x[i]);
    return s;
}

// Strided, x87, far-end start: two accumulators (even and odd elements),
// four elements per step (two for complex data), then the rest.
template <class T>
xreal asum_strided_x87(int n_, const T *x, int inc_)
{
    const bool two = element<T>::is_complex;
    ptrdiff_t n = n_, inc = inc_, ix = first_offset(n_, inc_);
    xreal s0 = 0, s1 = 0;
    ptrdiff_t i = 0;
    if (two) {
        for (; i + 2 <= n; i += 2, ix += 2 * inc) {
            prefetch(x, ix + 4 * inc);
            prefetch(x, ix + 5 * inc);
            s0 += (xreal)mag(x[ix]);
            s1 += (xreal)mag(x[ix + inc]);
        }
    } else {
        for (; i + 4 <= n; i += 4, ix += 4 * inc) {
            prefetch_next4(x, ix, inc);
            s0 += (xreal)mag(x[ix]);
            s1 += (xreal)mag(x[ix + inc]);
            s0 += (xreal)mag(x[ix + 2 * inc]);
            s1 += (xreal)mag(x[ix + 3 * inc]);
        }
    }
    xreal sum = s0 + s1;
    for (; i < n; ++i, ix += inc)
        sum += (xreal)mag(x[ix]);
    return sum;
}

// Unit stride in SSE single precision: four 4-lane accumulators (our
// choice, also for scasum, which sums all parts alike), 16 elements per
// step, then groups of four, then single elements.
template <bool A>
float sasum_lanes(ptrdiff_t n, const float *x, float lane0)
{
    __m128 a0 = _mm_set_ss(lane0), a1 = _mm_setzero_ps(), a2 = _mm_setzero_ps(), a3 = _mm_setzero_ps();
    ptrdiff_t i = 0;
    for (; i + 16 <= n; i += 16) {
        a0 = _mm_add_ps(a0, abs_ps(ld<A>(x + i)));
        a1 = _mm_add_ps(a1, abs_ps(ld<A>(x + i + 4)));
        a2 = _mm_add_ps(a2, abs_ps(ld<A>(x + i + 8)));
        a3 = _mm_add_ps(a3, abs_ps(ld<A>(x + i + 12)));
    }
    for (; i + 4 <= n; i += 4)
        a0 = _mm_add_ps(a0, abs_ps(ld<A>(x + i)));
    float s = hsum_ps(_mm_add_ps(_mm_add_ps(a0, a1), _mm_add_ps(a2, a3)));
    for (; i < n; ++i)
        s += __builtin_fabsf(x[i]);
    return s;
}

float sasum_sse(ptrdiff_t n, const float *x)
{
    ptrdiff_t peel = peel_count(x, sizeof(float), 16);
    if (peel < 0)
        return sasum_lanes<false>(n, x, 0.0f);
    if (peel > n)
        peel = n;
    float lane0 = 0.0f;
    for (ptrdiff_t i = 0; i < peel; ++i)
        lane0 += __builtin_fabsf(x[i]);
    return sasum_lanes<true>(n - peel, x + peel, lane0);
}

} // namespace
} // namespace zem_l1

using namespace zem_l1;

// incx = -1 reads the same elements as +1: both take the unit-stride path.

extern "C" ZEM_API float _ZEM_BLAS_sasum ZEM_P_ASUM(float, float)
{
    if (*n <= 0)
        return 0.0f;
    if (*incx == 1 || *incx == -1)
        return sasum_sse(*n, x);
    return (float)asum_strided_x87(*n, x, *incx);
}

extern "C" ZEM_API double _ZEM_BLAS_dasum ZEM_P_ASUM(double, double)
{
    if (*n <= 0)
        return 0.0;
    if (*incx == 1 || *incx == -1)
        return (double)asum_unit_x87(*n, x);
    return (double)asum_strided_x87(*n, x, *incx);
}

extern "C" ZEM_API float _ZEM_BLAS_scasum ZEM_P_ASUM(ZEM_Complex8, float)
{
    if (*n <= 0)
        return 0.0f;
    // abs(re) + abs(im) summed over all elements is the sum over all parts.
    if (*incx == 1 || *incx == -1)
        return sasum_sse(2 * (ptrdiff_t)*n, (const float *)x);
    return (float)asum_strided_x87(*n, x, *incx);
}

extern "C" ZEM_API double _ZEM_BLAS_dzasum ZEM_P_ASUM(ZEM_Complex16, double)
{
    if (*n <= 0)
        return 0.0;
    if (*incx == 1 || *incx == -1)
        return (double)asum_unit_x87(2 * (ptrdiff_t)*n, (const double *)x);
    return (double)asum_strided_x87(*n, x, *incx);
}
