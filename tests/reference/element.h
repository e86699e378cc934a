// The references compute on long-double complex values; these convert the
// library's four element types to and from them.
#ifndef ZEM_TEST_REFERENCE_ELEMENT_H
#define ZEM_TEST_REFERENCE_ELEMENT_H

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

} // namespace zem_ref

#endif
