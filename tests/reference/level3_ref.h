// Plain long-double references for the triangular level-3 routines on
// dense column-major complex long-double matrices (real data have
// imaginary part 0). A is read only in its uplo triangle; diag 'U' takes
// ones for its diagonal without reading it. op is 'N', 'T' or 'C'.
#ifndef ZEM_TEST_LEVEL3_REF_H
#define ZEM_TEST_LEVEL3_REF_H

#include <cstddef>

#include "tests/reference/element.h"

namespace l3_ref {

using zem_ref::cx;
using zem_ref::ld;

// B := alpha op(A) B (side 'L', A m x m) or alpha B op(A) (side 'R', A n x n).
void ref_trmm(char side, char uplo, char op, char diag, int m, int n, cx alpha, const cx *a, std::ptrdiff_t lda,
              cx *b, std::ptrdiff_t ldb);

// B := X with op(A) X = alpha B (side 'L') or X op(A) = alpha B (side 'R'),
// by substitution with divisions.
void ref_trsm(char side, char uplo, char op, char diag, int m, int n, cx alpha, const cx *a, std::ptrdiff_t lda,
              cx *b, std::ptrdiff_t ldb);

} // namespace l3_ref

#endif
