// Plain long-double references for the dense vector routines. Every vector
// is an array of complex long-double values (real data have imaginary part
// 0); element i (0-based) of an n-vector with increment inc sits at
// i*inc, or at (n-1-i)*|inc| when inc < 0. Operations run element by
// element in order, so a zero increment sees earlier updates.
#ifndef ZEM_TEST_LEVEL1_REF_H
#define ZEM_TEST_LEVEL1_REF_H

#include <cstddef>

#include "tests/reference/element.h"

namespace l1_ref {

using zem_ref::cx;
using zem_ref::ld;

using zem_ref::at;

// y := y + alpha*x
void axpy(int n, cx alpha, const cx *x, int incx, cx *y, int incy);
// x := alpha*x
void scal(int n, cx alpha, cx *x, int incx);
// y := x, and x <-> y, moving whole elements
void copy(int n, const cx *x, int incx, cx *y, int incy);
void swap(int n, cx *x, int incx, cx *y, int incy);
// start + sum of x(i)*y(i), with x conjugated when conj
cx dot(int n, const cx *x, int incx, const cx *y, int incy, bool conj, cx start);
// sum of abs(re) + abs(im)
ld asum(int n, const cx *x, int incx);
// first index (1-based) of the largest / smallest abs(re) + abs(im);
// 0 when n < 1 or incx < 1
int iamax(int n, const cx *x, int incx);
int iamin(int n, const cx *x, int incx);

} // namespace l1_ref

#endif
