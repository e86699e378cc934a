/* Shared pieces of the norm, plane-rotation and sparse level-1 kernels:
 * element traits over the four data types, the far-end start of a vector
 * with a negative increment, and the general single-precision rotation. */
#ifndef ZEM_LEVEL1_ROT_SPARSE_H
#define ZEM_LEVEL1_ROT_SPARSE_H

#include <stddef.h>
#include "blas/interface/entry.h"

extern "C" {
/* x' := c*x + s*y, y' := c*y - s*x over n pairs, single precision; the
 * general case behind srot (which handles s = 0 itself). */
ZEM_API void _ZEM_BLAS_srotin(const int *n, float *x, const int *incx, float *y, const int *incy,
                              const float *c, const float *s);
}

namespace zem_l1 {

/* Element 1 of a vector of n elements with increment inc: the base for
 * inc >= 0, the far end (offset (1-n)*inc) for inc < 0. */
template <typename T>
inline T *first_element(T *base, ptrdiff_t n, ptrdiff_t inc)
{
    return inc < 0 ? base + (1 - n) * inc : base;
}

/* Real element type, the component type of the storage and the type in
 * which the kernel computes: single precision stays single, double
 * precision runs in x87 extended precision and is rounded when stored. */
template <typename T> struct elem;
template <> struct elem<float> {
    typedef float comp;
    typedef float work;
    static const bool complex = false;
};
template <> struct elem<double> {
    typedef double comp;
    typedef long double work;
    static const bool complex = false;
};
template <> struct elem<ZEM_Complex8> {
    typedef float comp;
    typedef float work;
    static const bool complex = true;
};
template <> struct elem<ZEM_Complex16> {
    typedef double comp;
    typedef long double work;
    static const bool complex = true;
};

inline long double sq(long double v) { return v * v; }

/* The x87 square root of an extended value. */
inline long double xsqrt(long double v) { return __builtin_sqrtl(v); }

} // namespace zem_l1

#endif
