/* Shared pieces of the norm, plane-rotation and sparse level-1 kernels:
 * the general single-precision rotation and the extended-precision
 * square helpers (element traits and the far-end start: element.h). */
#ifndef ZEM_LEVEL1_ROT_SPARSE_H
#define ZEM_LEVEL1_ROT_SPARSE_H

#include <stddef.h>
#include "blas/interface/entry.h"
#include "blas/kernel/default/element.h"

extern "C" {
/* x' := c*x + s*y, y' := c*y - s*x over n pairs, single precision; the
 * general case behind srot (which handles s = 0 itself). */
ZEM_API void _ZEM_BLAS_srotin(const int *n, float *x, const int *incx, float *y, const int *incy,
                              const float *c, const float *s);
}

namespace zem_l1 {

using zem_kernel::element;
using zem_kernel::first_element;
using zem_kernel::prefetch;

inline long double sq(long double v) { return v * v; }

/* The x87 square root of an extended value. */
inline long double xsqrt(long double v) { return __builtin_sqrtl(v); }

} // namespace zem_l1

#endif
