// The references compute on long-double complex values (real data have
// imaginary part 0); these convert the library's four element types to and
// from them, and hold the arithmetic and the vector layout they share.
#ifndef ZEM_TEST_REFERENCE_ELEMENT_H
#define ZEM_TEST_REFERENCE_ELEMENT_H

#include <cmath>
#include <cstddef>

#include "zem_blas.h"

namespace zem_ref {

typedef long double ld;

struct cx {
    ld re, im;
};

inline cx get(const float &v) { return {v, 0}; }
inline cx get(const double &v) { return {v, 0}; }
inline cx get(const ZEM_Complex8 &v) { return {v.real, v.imag}; }
inline cx get(const ZEM_Complex16 &v) { return {v.real, v.imag}; }

template <class T>
T put(cx v);
template <>
inline float put<float>(cx v) { return (float)v.re; }
template <>
inline double put<double>(cx v) { return (double)v.re; }
template <>
inline ZEM_Complex8 put<ZEM_Complex8>(cx v) { return {(float)v.re, (float)v.im}; }
template <>
inline ZEM_Complex16 put<ZEM_Complex16>(cx v) { return {(double)v.re, (double)v.im}; }

inline cx add(cx a, cx b) { return {a.re + b.re, a.im + b.im}; }
inline cx mul(cx a, cx b) { return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re}; }
inline cx conj(cx a) { return {a.re, -a.im}; }
// (|re| + |im|, 0): the magnitude that bounds rounding errors.
inline cx cabs(cx a) { return {std::fabs(a.re) + std::fabs(a.im), 0}; }

// Where element i (0-based) of an n-vector with increment inc sits: at
// i*inc, or at (n-1-i)*|inc| when inc < 0 (the far end comes first).
inline std::ptrdiff_t at(int n, int inc, int i)
{
    return inc >= 0 ? (std::ptrdiff_t)i * inc : (std::ptrdiff_t)(n - 1 - i) * -(std::ptrdiff_t)inc;
}

} // namespace zem_ref

#endif
