// Sparse level 1 with 1-based indices: axpyi, doti, dotci, dotui, gthr,
// gthrz, sctr, roti. A sparse vector is nz values x with indices indx into
// the dense vector y; indices are not checked, and repeated ones are
// processed in order (a later update sees the earlier one).
#include "blas/kernel/default/level1/rot_sparse.h"

using namespace zem_l1;

namespace {

// Element indx(i) of y.
template <typename T>
inline T &at(T *y, const int *indx, ptrdiff_t i)
{
    return y[static_cast<ptrdiff_t>(indx[i]) - 1];
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

template <typename T>
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
            T &yv = at(y, indx, i);
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
            T &yv = at(y, indx, i);
            yv = static_cast<T>(yv + av * x[i]);
        }
    }
}

template <typename T>
T doti(ptrdiff_t nz, const T *x, const int *indx, const T *y)
{
    typename element<T>::work sum = 0;
    for (ptrdiff_t i = 0; i < nz; ++i) {
        look_ahead(x, indx, i);
        sum += x[i] * static_cast<typename element<T>::work>(at(y, indx, i));
    }
    return static_cast<T>(sum);
}

// conj(x(i)) * y(indx(i)) summed when conjugate, x(i) * y(indx(i)) otherwise.
template <typename C, bool conjugate>
void dotxi(C *result, ptrdiff_t nz, const C *x, const int *indx, const C *y)
{
    typedef typename element<C>::work W;
    typedef typename element<C>::comp R;
    W re = 0, im = 0;
    for (ptrdiff_t i = 0; i < nz; ++i) {
        look_ahead(x, indx, i);
        const W xr = x[i].real, xi = x[i].imag;
        const C &yv = at(y, indx, i);
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

template <typename T>
void gthr(ptrdiff_t nz, const T *y, T *x, const int *indx)
{
    for (ptrdiff_t i = 0; i < nz; ++i) {
        look_ahead(x, indx, i);
        x[i] = at(y, indx, i);
    }
}

template <typename T>
void gthrz(ptrdiff_t nz, T *y, T *x, const int *indx)
{
    for (ptrdiff_t i = 0; i < nz; ++i) {
        look_ahead(x, indx, i);
        T &yv = at(y, indx, i);
        x[i] = yv;
        yv = T();
    }
}

template <typename T>
void sctr(ptrdiff_t nz, const T *x, const int *indx, T *y)
{
    for (ptrdiff_t i = 0; i < nz; ++i) {
        look_ahead(x, indx, i);
        at(y, indx, i) = x[i];
    }
}

template <typename T>
void roti(ptrdiff_t nz, T *x, const int *indx, T *y, const T *c, const T *s)
{
    typedef typename element<T>::work W;
    if (nz < 1 || (*c == 1 && *s == 0))
        return;
    const W cv = *c, sv = *s;
    for (ptrdiff_t i = 0; i < nz; ++i) {
        look_ahead(x, indx, i);
        const W xv = x[i];
        T &yv = at(y, indx, i);
        const W yo = yv;
        x[i] = static_cast<T>(cv * xv + sv * yo);
        yv = static_cast<T>(-sv * xv + cv * yo);
    }
}

} // namespace

#define ZEM_SPARSE_FAMILY(p, T)                                                                          \
    extern "C" ZEM_API void _ZEM_BLAS_##p##axpyi(const int *nz, const T *a, const T *x, const int *indx, \
                                                 T *y)                                                  \
    {                                                                                                    \
        axpyi<T>(*nz, a, x, indx, y);                                                                    \
    }                                                                                                    \
    extern "C" ZEM_API void _ZEM_BLAS_##p##gthr(const int *nz, const T *y, T *x, const int *indx)        \
    {                                                                                                    \
        gthr<T>(*nz, y, x, indx);                                                                        \
    }                                                                                                    \
    extern "C" ZEM_API void _ZEM_BLAS_##p##gthrz(const int *nz, T *y, T *x, const int *indx)             \
    {                                                                                                    \
        gthrz<T>(*nz, y, x, indx);                                                                       \
    }                                                                                                    \
    extern "C" ZEM_API void _ZEM_BLAS_##p##sctr(const int *nz, const T *x, const int *indx, T *y)        \
    {                                                                                                    \
        sctr<T>(*nz, x, indx, y);                                                                        \
    }

ZEM_SPARSE_FAMILY(s, float)
ZEM_SPARSE_FAMILY(d, double)
ZEM_SPARSE_FAMILY(c, ZEM_Complex8)
ZEM_SPARSE_FAMILY(z, ZEM_Complex16)
#undef ZEM_SPARSE_FAMILY

extern "C" ZEM_API float _ZEM_BLAS_sdoti(const int *nz, const float *x, const int *indx, const float *y)
{
    return doti<float>(*nz, x, indx, y);
}

extern "C" ZEM_API double _ZEM_BLAS_ddoti(const int *nz, const double *x, const int *indx, const double *y)
{
    return doti<double>(*nz, x, indx, y);
}

extern "C" ZEM_API void _ZEM_BLAS_cdotci(ZEM_Complex8 *result, const int *nz, const ZEM_Complex8 *x,
                                         const int *indx, const ZEM_Complex8 *y)
{
    dotxi<ZEM_Complex8, true>(result, *nz, x, indx, y);
}

extern "C" ZEM_API void _ZEM_BLAS_zdotci(ZEM_Complex16 *result, const int *nz, const ZEM_Complex16 *x,
                                         const int *indx, const ZEM_Complex16 *y)
{
    dotxi<ZEM_Complex16, true>(result, *nz, x, indx, y);
}

extern "C" ZEM_API void _ZEM_BLAS_cdotui(ZEM_Complex8 *result, const int *nz, const ZEM_Complex8 *x,
                                         const int *indx, const ZEM_Complex8 *y)
{
    dotxi<ZEM_Complex8, false>(result, *nz, x, indx, y);
}

extern "C" ZEM_API void _ZEM_BLAS_zdotui(ZEM_Complex16 *result, const int *nz, const ZEM_Complex16 *x,
                                         const int *indx, const ZEM_Complex16 *y)
{
    dotxi<ZEM_Complex16, false>(result, *nz, x, indx, y);
}

extern "C" ZEM_API void _ZEM_BLAS_sroti(const int *nz, float *x, const int *indx, float *y, const float *c,
                                        const float *s)
{
    roti<float>(*nz, x, indx, y, c, s);
}

extern "C" ZEM_API void _ZEM_BLAS_droti(const int *nz, double *x, const int *indx, double *y, const double *c,
                                        const double *s)
{
    roti<double>(*nz, x, indx, y, c, s);
}
