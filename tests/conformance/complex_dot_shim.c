/* The reference level-1 testers for complex data expect cdotc, cdotu,
 * zdotc and zdotu to return their value the way gfortran returns complex
 * function results (by value). This library stores the result through a
 * hidden first argument instead. Preloaded into the tester only, this shim
 * supplies by-value forms on top of the library's own kernels, so that every
 * other complex routine is still checked by the reference programs. */
#include <complex.h>

typedef struct { float re, im; } c8;
typedef struct { double re, im; } c16;

void _ZEM_BLAS_F77_CDOTC(c8 *, const int *, const void *, const int *, const void *, const int *);
void _ZEM_BLAS_F77_CDOTU(c8 *, const int *, const void *, const int *, const void *, const int *);
void _ZEM_BLAS_F77_ZDOTC(c16 *, const int *, const void *, const int *, const void *, const int *);
void _ZEM_BLAS_F77_ZDOTU(c16 *, const int *, const void *, const int *, const void *, const int *);

#define BY_VALUE(name, kernel, rtype, ctype, make)                                          \
    ctype name(const int *n, const void *x, const int *incx, const void *y, const int *incy) \
    {                                                                                       \
        rtype r;                                                                            \
        kernel(&r, n, x, incx, y, incy);                                                    \
        return make(r.re, r.im);                                                            \
    }

BY_VALUE(cdotc_, _ZEM_BLAS_F77_CDOTC, c8, float complex, CMPLXF)
BY_VALUE(cdotu_, _ZEM_BLAS_F77_CDOTU, c8, float complex, CMPLXF)
BY_VALUE(zdotc_, _ZEM_BLAS_F77_ZDOTC, c16, double complex, CMPLX)
BY_VALUE(zdotu_, _ZEM_BLAS_F77_ZDOTU, c16, double complex, CMPLX)
