/* libblas.so.3 for programs built against the system BLAS.
 *
 * The library's own cdotc, cdotu, zdotc and zdotu store their result
 * through a hidden first argument. Programs and libraries compiled with
 * gfortran (LAPACK, numpy, scipy, the reference testers) expect a complex
 * function result returned the C way instead: by value. This small library
 * carries the soname libblas.so.3, gives those four functions in the
 * by-value form over the library's kernels, gives snrm2 and scnrm2 whose
 * squares never overflow or underflow (the library's own single-precision
 * norms square in single precision on their fast path, which LAPACK's
 * scaled problems would push out of range), gives the scaling routines the
 * system BLAS's rule that a non-positive increment scales nothing (the
 * library itself scales the elements of abs(incx)), adds the small helpers that
 * such programs also find in a system BLAS (scabs1, dcabs1, xerbla_array),
 * and depends on libzem_t1.so, which provides every other BLAS and cblas_
 * name to the same program. */
#include <complex.h>
#include <math.h>
#include <stddef.h>
#include <string.h>

#define EXPORT __attribute__((visibility("default")))

typedef struct { float re, im; } c8;
typedef struct { double re, im; } c16;

void _ZEM_BLAS_F77_CDOTC(c8 *, const int *, const void *, const int *, const void *, const int *);
void _ZEM_BLAS_F77_CDOTU(c8 *, const int *, const void *, const int *, const void *, const int *);
void _ZEM_BLAS_F77_ZDOTC(c16 *, const int *, const void *, const int *, const void *, const int *);
void _ZEM_BLAS_F77_ZDOTU(c16 *, const int *, const void *, const int *, const void *, const int *);

/* The pair is copied into the complex value as it lies in memory (real part
 * first), which keeps signed zeros, infinities and NaNs exactly and needs no
 * CMPLX macro, which not every compiler's complex.h provides. */
#define BY_VALUE(name, kernel, rtype, ctype)                                    \
    EXPORT ctype name(const int *n, const void *x, const int *incx,             \
                      const void *y, const int *incy)                           \
    {                                                                           \
        rtype r;                                                                \
        ctype v;                                                                \
        kernel(&r, n, x, incx, y, incy);                                        \
        memcpy(&v, &r, sizeof v);                                               \
        return v;                                                               \
    }

BY_VALUE(cdotc_, _ZEM_BLAS_F77_CDOTC, c8, float complex)
BY_VALUE(cdotu_, _ZEM_BLAS_F77_CDOTU, c8, float complex)
BY_VALUE(zdotc_, _ZEM_BLAS_F77_ZDOTC, c16, double complex)
BY_VALUE(zdotu_, _ZEM_BLAS_F77_ZDOTU, c16, double complex)

/* |re| + |im| of one complex number. */
EXPORT float scabs1_(const c8 *z) { return fabsf(z->re) + fabsf(z->im); }
EXPORT double dcabs1_(const c16 *z) { return fabs(z->re) + fabs(z->im); }
EXPORT float cblas_scabs1(const void *z) { return scabs1_((const c8 *)z); }
EXPORT double cblas_dcabs1(const void *z) { return dcabs1_((const c16 *)z); }

void xerbla_(const char *name, const int *info, int len);

/* xerbla for callers that hold the routine name in a character array of
 * any length (C callers of Fortran-style checks). */
EXPORT void xerbla_array_(const char *name, const int *len, const int *info)
{
    char buf[33];
    int n = *len < 0 ? 0 : (*len > 32 ? 32 : *len);
    memset(buf, ' ', sizeof buf);
    memcpy(buf, name, (size_t)n);
    buf[32] = '\0';
    xerbla_(buf, info, n > 6 ? n : 6);
}

/* Euclidean norms with the squares summed in extended precision: finite for
 * every finite input, as callers of a system BLAS rely on. */
static float norm2(const float *x, int n, int incx, int comps)
{
    if (n < 1 || incx == 0)
        return n < 1 ? 0.0f : sqrtf((float)n) * norm2(x, 1, 1, comps);
    long double sum = 0;
    ptrdiff_t step = (ptrdiff_t)incx * comps;
    const float *p = incx < 0 ? x - (ptrdiff_t)(n - 1) * step : x;
    for (int i = 0; i < n; i++, p += step)
        for (int c = 0; c < comps; c++)
            sum += (long double)p[c] * p[c];
    return (float)sqrtl(sum);
}
EXPORT float snrm2_(const int *n, const float *x, const int *incx) { return norm2(x, *n, *incx, 1); }
EXPORT float scnrm2_(const int *n, const void *x, const int *incx) { return norm2((const float *)x, *n, *incx, 2); }

/* ?scal: nothing to do for incx <= 0, as programs written against the
 * system BLAS expect; otherwise the library's kernels. */
#define SCAL(name, kernel, T, A)                                                    \
    void kernel(const int *, const A *, T *, const int *);                          \
    EXPORT void name(const int *n, const A *alpha, T *x, const int *incx)           \
    {                                                                               \
        if (*incx > 0)                                                              \
            kernel(n, alpha, x, incx);                                              \
    }
SCAL(sscal_, _ZEM_BLAS_F77_SSCAL, float, float)
SCAL(dscal_, _ZEM_BLAS_F77_DSCAL, double, double)
SCAL(cscal_, _ZEM_BLAS_F77_CSCAL, c8, c8)
SCAL(zscal_, _ZEM_BLAS_F77_ZSCAL, c16, c16)
SCAL(csscal_, _ZEM_BLAS_F77_CSSCAL, c8, float)
SCAL(zdscal_, _ZEM_BLAS_F77_ZDSCAL, c16, double)
