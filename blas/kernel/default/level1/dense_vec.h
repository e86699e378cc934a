// Shared pieces of the dense vector kernels: how a vector is walked,
// alignment tests, SSE load/store selection and magnitudes. Element
// traits, the far-end start and the prefetch helper come from element.h.
#ifndef ZEM_L1_DENSE_VEC_H
#define ZEM_L1_DENSE_VEC_H

#include <stddef.h>
#include <stdint.h>
#include <string.h>
#include <xmmintrin.h>

#include "blas/interface/entry.h"
#include "blas/kernel/default/element.h"

namespace zem_l1 {

using zem_kernel::element;
using zem_kernel::first_element;
using zem_kernel::first_offset;
using zem_kernel::prefetch;
using zem_kernel::xreal;

static inline ptrdiff_t abs_inc(int inc) { return inc < 0 ? -(ptrdiff_t)inc : (ptrdiff_t)inc; }

#define ZEM_L1_INLINE inline __attribute__((always_inline))

// The four elements one step of four ahead of element `off`: a strided
// loop issues this once per step of four.
template <class T>
static ZEM_L1_INLINE void prefetch_next4(const T *base, ptrdiff_t off, ptrdiff_t inc)
{
    prefetch(base, off + 4 * inc);
    prefetch(base, off + 5 * inc);
    prefetch(base, off + 6 * inc);
    prefetch(base, off + 7 * inc);
}

static inline unsigned misalign(const void *p, unsigned a) { return (unsigned)((uintptr_t)p & (a - 1)); }

// Number of elements of size esz to handle singly before p is a-byte
// aligned, or -1 when stepping by esz never reaches that alignment.
static inline ptrdiff_t peel_count(const void *p, size_t esz, unsigned a)
{
    unsigned m = misalign(p, a);
    if (m == 0)
        return 0;
    if (m % esz != 0)
        return -1;
    return (ptrdiff_t)((a - m) / esz);
}

// SSE loads and stores, aligned or not as the template argument says.
template <bool A>
static inline __m128 ld(const float *p)
{
    return A ? _mm_load_ps(p) : _mm_loadu_ps(p);
}
template <bool A>
static inline void st(float *p, __m128 v)
{
    if (A)
        _mm_store_ps(p, v);
    else
        _mm_storeu_ps(p, v);
}

// Sum of the four lanes as (v0 + v2) + (v1 + v3), in single precision.
static inline float hsum_ps(__m128 v)
{
    __m128 h = _mm_add_ps(v, _mm_movehl_ps(v, v));                     // v0+v2, v1+v3
    __m128 s = _mm_add_ss(h, _mm_shuffle_ps(h, h, _MM_SHUFFLE(1, 1, 1, 1))); // + lane 1
    return _mm_cvtss_f32(s);
}

// abs() of every lane: the sign bit cleared.
static inline __m128 abs_ps(__m128 v) { return _mm_andnot_ps(_mm_set1_ps(-0.0f), v); }

// An element moved as integers: copies and swaps move bits, never compute
// (an x87 load would quieten a signalling NaN).
template <size_t S>
struct raw {
    uint32_t w[S / 4];
};

// Magnitude used by the sums of absolute values and the index routines:
// abs(x) for real data, abs(re) + abs(im) (in extended precision) for
// complex data.
static inline float mag(float v) { return __builtin_fabsf(v); }
static inline double mag(double v) { return __builtin_fabs(v); }
static inline xreal mag(const ZEM_Complex8 &v)
{
    return (xreal)__builtin_fabsf(v.real) + (xreal)__builtin_fabsf(v.imag);
}
static inline xreal mag(const ZEM_Complex16 &v)
{
    return (xreal)__builtin_fabs(v.real) + (xreal)__builtin_fabs(v.imag);
}

} // namespace zem_l1

#endif
