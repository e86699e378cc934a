/* Sparse level 1: axpyi, doti, dotci, dotui, gthr, gthrz, sctr, roti over
 * an index base, shared by the Fortran forms (1-based indices) and the C
 * forms (0-based). A sparse vector is nz values x with indices indx into
 * the dense vector y; indices are not checked, and repeated ones are
 * processed in order (a later update sees the earlier one). */
#ifndef ZEM_LEVEL1_SPARSE_H
#define ZEM_LEVEL1_SPARSE_H

#include "blas/kernel/default/level1/rot_sparse.h"

namespace zem_l1 {
namespace sparse {

// Element indx(i) of y, the indices counting from `base` (1 for the
// Fortran forms, 0 for the C forms).
template <int base, typename T>
inline T &at(T *y, const int *indx, ptrdiff_t i)
{
    return y[static_cast<ptrdiff_t>(indx[i]) - base];
}

// Looks ahead in the index array every 8th element and in the value array
// every 4th.
template <typename T>
inline void look_ahead(const T *x, const int *indx, ptrdiff_t i)
{
    if ((i & 7) == 0)
        prefetch(indx, i + 64);
    if ((i & 3) == 0)
        prefetch(x, i + 32);
}

template <int base, typename T>
void axpyi(ptrdiff_t nz, const T *a, const T *x, const int *indx, T *y)
{
    typedef typename element<T>::work W;
    if (nz < 1)
        return;
    if constexpr (element<T>::is_complex) {
        if (a->real == 0 && a->imag == 0)
            return;
        const W ar = a->real, ai = a->imag;
        for (ptrdiff_t i = 0; i < nz; ++i) {
            look_ahead(x, indx, i);
            const W xr = x[i].real, xi = x[i].imag;
            T &yv = at<base>(y, indx, i);
            const W re = yv.real + (ar * xr - ai * xi);
            const W im = yv.imag + (ar * xi + ai * xr);
            yv.real = static_cast<typename element<T>::comp>(re);
            yv.imag = static_cast<typename element<T>::comp>(im);
        }
    } else {
        if (*a == 0)
            return;
        const W av = *a;
        for (ptrdiff_t i = 0; i < nz; ++i) {
            look_ahead(x, indx, i);
            T &yv = at<base>(y, indx, i);
            yv = static_cast<T>(yv + av * x[i]);
        }
    }
}

template <int base, typename T>
T doti(ptrdiff_t nz, const T *x, const int *indx, const T *y)
{
    typename element<T>::work sum = 0;
    for (ptrdiff_t i = 0; i < nz; ++i) {
        look_ahead(x, indx, i);
        sum += x[i] * static_cast<typename element<T>::work>(at<base>(y, indx, i));
    }
    return static_cast<T>(sum);
}

// conj(x(i)) * y(indx(i)) summed when conjugate, x(i) * y(indx(i)) otherwise.
template <int base, typename C, bool conjugate>
void dotxi(C *result, ptrdiff_t nz, const C *x, const int *indx, const C *y)
{
    typedef typename element<C>::work W;
    typedef typename element<C>::comp R;
    W re = 0, im = 0;
    for (ptrdiff_t i = 0; i < nz; ++i) {
        look_ahead(x, indx, i);
        const W xr = x[i].real, xi = x[i].imag;
        const C &yv = at<base>(y, indx, i);
        const W yr = yv.real, yi = yv.imag;
        if (conjugate) {
            re += xr * yr + xi * yi;
            im += xr * yi - xi * yr;
        } else {
            re += xr * yr - xi * yi;
            im += xr * yi + xi * yr;
        }
    }
    result->real = static_cast<R>(re);
    result->imag = static_cast<R>(im);
}

template <int base, typename T>
void gthr(ptrdiff_t nz, const T *y, T *x, const int *indx)
{
    for (ptrdiff_t i = 0; i < nz; ++i) {
        look_ahead(x, indx, i);
        x[i] = at<base>(y, indx, i);
    }
}

template <int base, typename T>
void gthrz(ptrdiff_t nz, T *y, T *x, const int *indx)
{
    for (ptrdiff_t i = 0; i < nz; ++i) {
        look_ahead(x, indx, i);
        T &yv = at<base>(y, indx, i);
        x[i] = yv;
        yv = T();
    }
}

template <int base, typename T>
void sctr(ptrdiff_t nz, const T *x, const int *indx, T *y)
{
    for (ptrdiff_t i = 0; i < nz; ++i) {
        look_ahead(x, indx, i);
        at<base>(y, indx, i) = x[i];
    }
}

template <int base, typename T>
void roti(ptrdiff_t nz, T *x, const int *indx, T *y, const T *c, const T *s)
{
    typedef typename element<T>::work W;
    if (nz < 1 || (*c == 1 && *s == 0))
        return;
    const W cv = *c, sv = *s;
    for (ptrdiff_t i = 0; i < nz; ++i) {
        look_ahead(x, indx, i);
        const W xv = x[i];
        T &yv = at<base>(y, indx, i);
        const W yo = yv;
        x[i] = static_cast<T>(cv * xv + sv * yo);
        yv = static_cast<T>(-sv * xv + cv * yo);
    }
}

} // namespace sparse
} // namespace zem_l1

#endif
