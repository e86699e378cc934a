// Plain long-double references for the symmetric and Hermitian level-3
// routines and the plane-rotation sequences. Matrices are column-major
// arrays of complex long-double values (real data have imaginary part 0).
// Each reference also gives, per result element, the size of its terms
// (|alpha| sum |x||y| + |beta||c|): the scale of its rounding error.
#ifndef ZEM_TEST_LEVEL3_SYM_REF_H
#define ZEM_TEST_LEVEL3_SYM_REF_H

#include <cstddef>

#include "tests/reference/element.h"

namespace l3s_ref {

using zem_ref::cx;
using zem_ref::ld;

// The uplo triangle of the n x n matrix C := alpha·X·Y' + beta·C, where X
// is op(A) (n x k; op is the transpose for trans 'T', the conjugate
// transpose for 'C') and Y' is op(A)^T, or op(A)^H when herm. With two,
// the rank-2k form: alpha·op(A)·op(B)' + alpha2·op(B)·op(A)', alpha2 being
// alpha (symmetric) or conj(alpha) (Hermitian). Hermitian results have a
// real diagonal. (alpha = 0 or k = 0) with beta = 1 leaves C alone;
// beta = 0 does not read C. mag has leading dimension ldc.
void rank_update(char uplo, char trans, bool two, bool herm, int n, int k, cx alpha, const cx *a, std::ptrdiff_t lda,
                 const cx *b, std::ptrdiff_t ldb, cx beta, cx *c, std::ptrdiff_t ldc, ld *mag);

// C := alpha·A·B + beta·C (side 'L') or alpha·B·A + beta·C (side 'R'), B
// and C m x n, A symmetric (Hermitian: herm, the diagonal's imaginary part
// ignored) given by its uplo triangle.
void symm(char side, char uplo, bool herm, int m, int n, cx alpha, const cx *a, std::ptrdiff_t lda, const cx *b,
          std::ptrdiff_t ldb, cx beta, cx *c, std::ptrdiff_t ldc, ld *mag);

// A := P·A for the m-1 rotations (c(k), s(k)) applied from the left, as
// the textbook definition of the sequence: pivot 'V' (rows k, k+1), 'T'
// (rows 1, k+1) or 'B' (rows k, m); direct 'F' (k ascending) or 'B'.
void lasr(char pivot, char direct, int m, int n, const ld *c, const ld *s, cx *a, std::ptrdiff_t lda);

} // namespace l3s_ref

#endif
