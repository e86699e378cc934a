/* Zem Numerics Library: BLAS with Fortran conventions.
 *
 * Every argument is passed by reference; option characters are pointers
 * to strings of which only the first byte counts (hidden Fortran string
 * lengths after the last argument are ignored). Every routine is exported
 * under three names: DGEMM, dgemm and dgemm_. Complex-valued functions
 * (cdotc and kin) store their result through a hidden first argument.
 *
 * The prototypes come from the routine table zem_blas.def.
 */
#ifndef ZEM_BLAS_H
#define ZEM_BLAS_H

#include "zem_service.h"

#ifndef ZEM_COMPLEX_TYPES_DEFINED
#define ZEM_COMPLEX_TYPES_DEFINED
typedef struct { float real, imag; } ZEM_Complex8;
typedef struct { double real, imag; } ZEM_Complex16;
#endif

/* ---- argument lists of the routine shapes -------------------------- */
/* ZEM_P_<shape>(T, R): parameter list; ZEM_A_<shape>: argument names. */
#define ZEM_I const int *

#define ZEM_P_AXPY(T, R) (ZEM_I n, const T *alpha, const T *x, ZEM_I incx, T *y, ZEM_I incy)
#define ZEM_A_AXPY (n, alpha, x, incx, y, incy)
#define ZEM_P_COPY(T, R) (ZEM_I n, const T *x, ZEM_I incx, T *y, ZEM_I incy)
#define ZEM_A_COPY (n, x, incx, y, incy)
#define ZEM_P_SWAP(T, R) (ZEM_I n, T *x, ZEM_I incx, T *y, ZEM_I incy)
#define ZEM_A_SWAP (n, x, incx, y, incy)
#define ZEM_P_SCAL(T, R) (ZEM_I n, const R *alpha, T *x, ZEM_I incx)
#define ZEM_A_SCAL (n, alpha, x, incx)
#define ZEM_P_DOT(T, R) (ZEM_I n, const T *x, ZEM_I incx, const T *y, ZEM_I incy)
#define ZEM_A_DOT (n, x, incx, y, incy)
#define ZEM_P_SDSDOT(T, R) (ZEM_I n, const float *sb, const T *x, ZEM_I incx, const T *y, ZEM_I incy)
#define ZEM_A_SDSDOT (n, sb, x, incx, y, incy)
#define ZEM_P_DOTC(T, R) (T *result, ZEM_I n, const T *x, ZEM_I incx, const T *y, ZEM_I incy)
#define ZEM_A_DOTC (result, n, x, incx, y, incy)
#define ZEM_P_ASUM(T, R) (ZEM_I n, const T *x, ZEM_I incx)
#define ZEM_A_ASUM (n, x, incx)
#define ZEM_P_ROT(T, R) (ZEM_I n, T *x, ZEM_I incx, T *y, ZEM_I incy, const R *c, const R *s)
#define ZEM_A_ROT (n, x, incx, y, incy, c, s)
#define ZEM_P_ROTG(T, R) (T *a, T *b, R *c, T *s)
#define ZEM_A_ROTG (a, b, c, s)
#define ZEM_P_ROTM(T, R) (ZEM_I n, T *x, ZEM_I incx, T *y, ZEM_I incy, const T *param)
#define ZEM_A_ROTM (n, x, incx, y, incy, param)
#define ZEM_P_ROTMG(T, R) (T *d1, T *d2, T *x1, const T *y1, T *param)
#define ZEM_A_ROTMG (d1, d2, x1, y1, param)

#define ZEM_P_AXPYI(T, R) (ZEM_I nz, const T *a, const T *x, ZEM_I indx, T *y)
#define ZEM_A_AXPYI (nz, a, x, indx, y)
#define ZEM_P_DOTI(T, R) (ZEM_I nz, const T *x, ZEM_I indx, const T *y)
#define ZEM_A_DOTI (nz, x, indx, y)
#define ZEM_P_DOTCI(T, R) (T *result, ZEM_I nz, const T *x, ZEM_I indx, const T *y)
#define ZEM_A_DOTCI (result, nz, x, indx, y)
#define ZEM_P_GTHR(T, R) (ZEM_I nz, const T *y, T *x, ZEM_I indx)
#define ZEM_A_GTHR (nz, y, x, indx)
#define ZEM_P_GTHRZ(T, R) (ZEM_I nz, T *y, T *x, ZEM_I indx)
#define ZEM_A_GTHRZ (nz, y, x, indx)
#define ZEM_P_SCTR(T, R) (ZEM_I nz, const T *x, ZEM_I indx, T *y)
#define ZEM_A_SCTR (nz, x, indx, y)
#define ZEM_P_ROTI(T, R) (ZEM_I nz, T *x, ZEM_I indx, T *y, const T *c, const T *s)
#define ZEM_A_ROTI (nz, x, indx, y, c, s)

#define ZEM_P_GEMV(T, R) (const char *trans, ZEM_I m, ZEM_I n, const T *alpha, const T *a, ZEM_I lda, \
                          const T *x, ZEM_I incx, const T *beta, T *y, ZEM_I incy)
#define ZEM_A_GEMV (trans, m, n, alpha, a, lda, x, incx, beta, y, incy)
#define ZEM_P_GBMV(T, R) (const char *trans, ZEM_I m, ZEM_I n, ZEM_I kl, ZEM_I ku, const T *alpha, \
                          const T *a, ZEM_I lda, const T *x, ZEM_I incx, const T *beta, T *y, ZEM_I incy)
#define ZEM_A_GBMV (trans, m, n, kl, ku, alpha, a, lda, x, incx, beta, y, incy)
#define ZEM_P_GER(T, R) (ZEM_I m, ZEM_I n, const T *alpha, const T *x, ZEM_I incx, const T *y, ZEM_I incy, \
                         T *a, ZEM_I lda)
#define ZEM_A_GER (m, n, alpha, x, incx, y, incy, a, lda)
#define ZEM_P_SYMV(T, R) (const char *uplo, ZEM_I n, const T *alpha, const T *a, ZEM_I lda, const T *x, \
                          ZEM_I incx, const T *beta, T *y, ZEM_I incy)
#define ZEM_A_SYMV (uplo, n, alpha, a, lda, x, incx, beta, y, incy)
#define ZEM_P_SBMV(T, R) (const char *uplo, ZEM_I n, ZEM_I k, const T *alpha, const T *a, ZEM_I lda, \
                          const T *x, ZEM_I incx, const T *beta, T *y, ZEM_I incy)
#define ZEM_A_SBMV (uplo, n, k, alpha, a, lda, x, incx, beta, y, incy)
#define ZEM_P_SPMV(T, R) (const char *uplo, ZEM_I n, const T *alpha, const T *ap, const T *x, ZEM_I incx, \
                          const T *beta, T *y, ZEM_I incy)
#define ZEM_A_SPMV (uplo, n, alpha, ap, x, incx, beta, y, incy)
#define ZEM_P_SYR(T, R) (const char *uplo, ZEM_I n, const R *alpha, const T *x, ZEM_I incx, T *a, ZEM_I lda)
#define ZEM_A_SYR (uplo, n, alpha, x, incx, a, lda)
#define ZEM_P_SPR(T, R) (const char *uplo, ZEM_I n, const R *alpha, const T *x, ZEM_I incx, T *ap)
#define ZEM_A_SPR (uplo, n, alpha, x, incx, ap)
#define ZEM_P_SYR2(T, R) (const char *uplo, ZEM_I n, const T *alpha, const T *x, ZEM_I incx, const T *y, \
                          ZEM_I incy, T *a, ZEM_I lda)
#define ZEM_A_SYR2 (uplo, n, alpha, x, incx, y, incy, a, lda)
#define ZEM_P_SPR2(T, R) (const char *uplo, ZEM_I n, const T *alpha, const T *x, ZEM_I incx, const T *y, \
                          ZEM_I incy, T *ap)
#define ZEM_A_SPR2 (uplo, n, alpha, x, incx, y, incy, ap)
#define ZEM_P_TRMV(T, R) (const char *uplo, const char *trans, const char *diag, ZEM_I n, const T *a, \
                          ZEM_I lda, T *x, ZEM_I incx)
#define ZEM_A_TRMV (uplo, trans, diag, n, a, lda, x, incx)
#define ZEM_P_TBMV(T, R) (const char *uplo, const char *trans, const char *diag, ZEM_I n, ZEM_I k, \
                          const T *a, ZEM_I lda, T *x, ZEM_I incx)
#define ZEM_A_TBMV (uplo, trans, diag, n, k, a, lda, x, incx)
#define ZEM_P_TPMV(T, R) (const char *uplo, const char *trans, const char *diag, ZEM_I n, const T *ap, \
                          T *x, ZEM_I incx)
#define ZEM_A_TPMV (uplo, trans, diag, n, ap, x, incx)

#define ZEM_P_GEMM(T, R) (const char *transa, const char *transb, ZEM_I m, ZEM_I n, ZEM_I k, \
                          const T *alpha, const T *a, ZEM_I lda, const T *b, ZEM_I ldb, const T *beta, \
                          T *c, ZEM_I ldc)
#define ZEM_A_GEMM (transa, transb, m, n, k, alpha, a, lda, b, ldb, beta, c, ldc)
#define ZEM_P_SYMM(T, R) (const char *side, const char *uplo, ZEM_I m, ZEM_I n, const T *alpha, \
                          const T *a, ZEM_I lda, const T *b, ZEM_I ldb, const T *beta, T *c, ZEM_I ldc)
#define ZEM_A_SYMM (side, uplo, m, n, alpha, a, lda, b, ldb, beta, c, ldc)
#define ZEM_P_SYRK(T, R) (const char *uplo, const char *trans, ZEM_I n, ZEM_I k, const R *alpha, \
                          const T *a, ZEM_I lda, const R *beta, T *c, ZEM_I ldc)
#define ZEM_A_SYRK (uplo, trans, n, k, alpha, a, lda, beta, c, ldc)
#define ZEM_P_SYR2K(T, R) (const char *uplo, const char *trans, ZEM_I n, ZEM_I k, const T *alpha, \
                           const T *a, ZEM_I lda, const T *b, ZEM_I ldb, const R *beta, T *c, ZEM_I ldc)
#define ZEM_A_SYR2K (uplo, trans, n, k, alpha, a, lda, b, ldb, beta, c, ldc)
#define ZEM_P_TRMM(T, R) (const char *side, const char *uplo, const char *transa, const char *diag, \
                          ZEM_I m, ZEM_I n, const T *alpha, const T *a, ZEM_I lda, T *b, ZEM_I ldb)
#define ZEM_A_TRMM (side, uplo, transa, diag, m, n, alpha, a, lda, b, ldb)

#define ZEM_P_LASR(T, R) (ZEM_I m, ZEM_I n, const R *c, const R *s, T *a, ZEM_I lda)
#define ZEM_A_LASR (m, n, c, s, a, lda)
#define ZEM_P_SEXY(T, R) (ZEM_I len, ZEM_I n, const T *x, const T *y, T *c)
#define ZEM_A_SEXY (len, n, x, y, c)

/* ---- prototypes of the exported routines --------------------------- */
#ifdef __cplusplus
extern "C" {
#endif

#define ZEM_PROTO_N(...)
#define ZEM_PROTO_Y(kind, UP, lo, RET, SHAPE, T, R) \
    ZEM_API RET UP ZEM_P_##SHAPE(T, R);             \
    ZEM_API RET lo ZEM_P_##SHAPE(T, R);             \
    ZEM_API RET lo##_ ZEM_P_##SHAPE(T, R);
#define ZEM_ROUTINE(have, kind, UP, lo, RET, SHAPE, T, R, chk) ZEM_PROTO_##have(kind, UP, lo, RET, SHAPE, T, R)
#include "zem_blas.def"
#undef ZEM_ROUTINE
#undef ZEM_PROTO_Y
#undef ZEM_PROTO_N

#ifdef __cplusplus
}
#endif
#endif
