// Plain long-double references for the norms, plane rotations and sparse
// level-1 routines. Vectors are arrays of long double components (one per
// real element, two per complex element); a strided vector is given by the
// element offsets of its elements 1..n, and every operation runs element by
// element in that order, so repeated offsets see earlier updates.
#ifndef ZEM_TEST_ROT_SPARSE_REF_H
#define ZEM_TEST_ROT_SPARSE_REF_H

#include <complex>
#include <cstddef>
#include <vector>

#include "tests/reference/element.h"

namespace rs_ref {

typedef long double ld;
typedef std::complex<long double> cld;

// Offsets of elements 1..n of a vector with increment inc (a negative
// increment starts at the far end).
std::vector<std::ptrdiff_t> offsets(int n, int inc);

ld nrm2(const ld *x, const std::vector<std::ptrdiff_t> &off, int comps);

void rot(ld *x, const std::vector<std::ptrdiff_t> &xo, ld *y, const std::vector<std::ptrdiff_t> &yo, int comps,
         ld c, ld s);

// param = (flag, h11, h21, h12, h22) with the flag's implied entries.
void rotm(ld *x, const std::vector<std::ptrdiff_t> &xo, ld *y, const std::vector<std::ptrdiff_t> &yo,
          const ld param[5]);
// The full matrix (h11, h12; h21, h22) that param stands for.
void rotm_matrix(const ld param[5], ld h[2][2]);

struct Givens {
    ld r, z, c, s;
};
Givens rotg(ld a, ld b);

struct ComplexGivens {
    cld r, s;
    ld c;
};
ComplexGivens crotg(cld a, cld b);

// Sparse: indices are 1-based into y.
void axpyi(int comps, const ld *a, const ld *x, const std::vector<int> &indx, ld *y);
cld doti(int comps, const ld *x, const std::vector<int> &indx, const ld *y, bool conjugate);
void gthr(int comps, ld *y, ld *x, const std::vector<int> &indx, bool zero);
void sctr(int comps, const ld *x, const std::vector<int> &indx, ld *y);
void roti(ld *x, const std::vector<int> &indx, ld *y, ld c, ld s);

} // namespace rs_ref

#endif
