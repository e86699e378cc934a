// Plain long-double references for the matrix-vector routines. Matrices
// are dense column-major arrays of complex long-double values (real data
// have imaginary part 0); vectors are contiguous, element 0 first. The
// stored forms (band, packed, one triangle) are first expanded to dense
// matrices, then multiplied or solved by straightforward loops.
#ifndef ZEM_TEST_LEVEL2_REF_H
#define ZEM_TEST_LEVEL2_REF_H

#include <vector>

#include "tests/reference/element.h"

namespace l2_ref {

using zem_ref::cx;
using zem_ref::ld;

typedef std::vector<cx> mat; // column-major, leading dimension = rows

using zem_ref::add;
using zem_ref::cabs;
using zem_ref::conj;
using zem_ref::mul;

// Dense m-by-n matrix from a general band (kl sub-, ku super-diagonals,
// a(i,j) in band row ku + i - j of column j).
mat from_band(int m, int n, int kl, int ku, const cx *ab, int ldab);
// Dense symmetric (herm: Hermitian, the diagonal's imaginary part ignored)
// matrix from its uplo triangle in full, band (k off-diagonals) or packed
// storage.
mat from_sym(char uplo, int n, const cx *a, int lda, bool herm);
mat from_sym_band(char uplo, int n, int k, const cx *ab, int ldab, bool herm);
mat from_sym_packed(char uplo, int n, const cx *ap, bool herm);
// Dense triangular matrix (zeros outside the triangle; ones on the diagonal
// when diag is 'U') from full, band or packed storage.
mat from_tri(char uplo, char diag, int n, const cx *a, int lda);
mat from_tri_band(char uplo, char diag, int n, int k, const cx *ab, int ldab);
mat from_tri_packed(char uplo, char diag, int n, const cx *ap);

// op(A) of an m-by-n dense matrix: 'N', 'T' or 'C'.
mat op(char trans, int m, int n, const mat &a);
// y := alpha·A·x + beta·y with A dense rows-by-cols (beta = 0 ignores y).
void matvec(int rows, int cols, cx alpha, const mat &a, const cx *x, cx beta, cx *y);
// x := A^-1·x for a dense triangular n-by-n A (substitution in the order
// the triangle asks for; lower when lower is true).
void trisolve(bool lower, int n, const mat &a, cx *x);
// A := A + alpha·x·y^T (conj: alpha·x·y^H) on a dense m-by-n matrix.
void rank1(int m, int n, cx alpha, const cx *x, const cx *y, bool conj_y, mat &a);

} // namespace l2_ref

#endif
