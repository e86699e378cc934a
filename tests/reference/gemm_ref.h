// Plain long-double reference for the matrix product
// C := alpha*op(A)*op(B) + beta*C on column-major complex matrices (real
// data have imaginary part 0). op is 'N' (as is), 'T' (transpose) or 'C'
// (conjugate transpose). beta = 0 overwrites C without reading it.
#ifndef ZEM_TEST_GEMM_REF_H
#define ZEM_TEST_GEMM_REF_H

#include <cstddef>

#include "tests/reference/element.h"

namespace gemm_ref {

using zem_ref::cx;
using zem_ref::ld;

void gemm(char ta, char tb, int m, int n, int k, cx alpha, const cx *a, std::ptrdiff_t lda, const cx *b,
          std::ptrdiff_t ldb, cx beta, cx *c, std::ptrdiff_t ldc);

// The size of the terms of each result element, |alpha| sum |a||b| +
// |beta| |c|, computed before C changes: the scale of its rounding error.
void magnitude(char ta, char tb, int m, int n, int k, cx alpha, const cx *a, std::ptrdiff_t lda, const cx *b,
               std::ptrdiff_t ldb, cx beta, const cx *c, std::ptrdiff_t ldc, ld *mag, std::ptrdiff_t ldm);

} // namespace gemm_ref

#endif
