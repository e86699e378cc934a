// Sparse level 1 with 1-based indices: axpyi, doti, dotci, dotui, gthr,
// gthrz, sctr, roti (the loops are in sparse.h).
#include "blas/kernel/default/level1/sparse.h"

using namespace zem_l1;

#define ZEM_SPARSE_FAMILY(p, T)                                                                          \
    extern "C" ZEM_API void _ZEM_BLAS_##p##axpyi(const int *nz, const T *a, const T *x, const int *indx, \
                                                 T *y)                                                  \
    {                                                                                                    \
        sparse::axpyi<1, T>(*nz, a, x, indx, y);                                                         \
    }                                                                                                    \
    extern "C" ZEM_API void _ZEM_BLAS_##p##gthr(const int *nz, const T *y, T *x, const int *indx)        \
    {                                                                                                    \
        sparse::gthr<1, T>(*nz, y, x, indx);                                                             \
    }                                                                                                    \
    extern "C" ZEM_API void _ZEM_BLAS_##p##gthrz(const int *nz, T *y, T *x, const int *indx)             \
    {                                                                                                    \
        sparse::gthrz<1, T>(*nz, y, x, indx);                                                            \
    }                                                                                                    \
    extern "C" ZEM_API void _ZEM_BLAS_##p##sctr(const int *nz, const T *x, const int *indx, T *y)        \
    {                                                                                                    \
        sparse::sctr<1, T>(*nz, x, indx, y);                                                             \
    }

ZEM_SPARSE_FAMILY(s, float)
ZEM_SPARSE_FAMILY(d, double)
ZEM_SPARSE_FAMILY(c, ZEM_Complex8)
ZEM_SPARSE_FAMILY(z, ZEM_Complex16)
#undef ZEM_SPARSE_FAMILY

extern "C" ZEM_API float _ZEM_BLAS_sdoti(const int *nz, const float *x, const int *indx, const float *y)
{
    return sparse::doti<1, float>(*nz, x, indx, y);
}

extern "C" ZEM_API double _ZEM_BLAS_ddoti(const int *nz, const double *x, const int *indx, const double *y)
{
    return sparse::doti<1, double>(*nz, x, indx, y);
}

extern "C" ZEM_API void _ZEM_BLAS_cdotci(ZEM_Complex8 *result, const int *nz, const ZEM_Complex8 *x,
                                         const int *indx, const ZEM_Complex8 *y)
{
    sparse::dotxi<1, ZEM_Complex8, true>(result, *nz, x, indx, y);
}

extern "C" ZEM_API void _ZEM_BLAS_zdotci(ZEM_Complex16 *result, const int *nz, const ZEM_Complex16 *x,
                                         const int *indx, const ZEM_Complex16 *y)
{
    sparse::dotxi<1, ZEM_Complex16, true>(result, *nz, x, indx, y);
}

extern "C" ZEM_API void _ZEM_BLAS_cdotui(ZEM_Complex8 *result, const int *nz, const ZEM_Complex8 *x,
                                         const int *indx, const ZEM_Complex8 *y)
{
    sparse::dotxi<1, ZEM_Complex8, false>(result, *nz, x, indx, y);
}

extern "C" ZEM_API void _ZEM_BLAS_zdotui(ZEM_Complex16 *result, const int *nz, const ZEM_Complex16 *x,
                                         const int *indx, const ZEM_Complex16 *y)
{
    sparse::dotxi<1, ZEM_Complex16, false>(result, *nz, x, indx, y);
}

extern "C" ZEM_API void _ZEM_BLAS_sroti(const int *nz, float *x, const int *indx, float *y, const float *c,
                                        const float *s)
{
    sparse::roti<1, float>(*nz, x, indx, y, c, s);
}

extern "C" ZEM_API void _ZEM_BLAS_droti(const int *nz, double *x, const int *indx, double *y, const double *c,
                                        const double *s)
{
    sparse::roti<1, double>(*nz, x, indx, y, c, s);
}
