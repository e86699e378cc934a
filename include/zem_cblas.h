/* Zem Numerics Library: the BLAS with C conventions (cblas_*).
 *
 * Scalars, dimensions and increments are passed by value, complex scalars
 * and complex arrays through void pointers; options are the enumerations
 * below; level-2 and level-3 functions take the storage order first and
 * accept row-major as well as column-major matrices. Level-2 and level-3
 * functions check their arguments on every call and report the first bad
 * one through cblas_xerbla with its 1-based position in the C argument
 * list; a rejected call changes nothing. Level-1 functions never check
 * and never print. Sparse functions take 0-based indices.
 *
 * The prototypes come from the table zem_cblas.def; the argument list of
 * each form is ZEM_CP_<form>(p) below.
 */
#ifndef ZEM_CBLAS_H
#define ZEM_CBLAS_H

#include <stddef.h>
#include "zem_service.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef enum CBLAS_LAYOUT { CblasRowMajor = 101, CblasColMajor = 102 } CBLAS_LAYOUT;
#define CBLAS_ORDER CBLAS_LAYOUT
typedef enum CBLAS_TRANSPOSE { CblasNoTrans = 111, CblasTrans = 112, CblasConjTrans = 113 } CBLAS_TRANSPOSE;
typedef enum CBLAS_UPLO { CblasUpper = 121, CblasLower = 122 } CBLAS_UPLO;
typedef enum CBLAS_DIAG { CblasNonUnit = 131, CblasUnit = 132 } CBLAS_DIAG;
typedef enum CBLAS_SIDE { CblasLeft = 141, CblasRight = 142 } CBLAS_SIDE;
#define CBLAS_INDEX size_t

/* The option characters behind the enumerations, indexed by the value
 * minus the first value: N T C; for row-major rank-k updates T N N
 * (symmetric) and C N N (Hermitian); U L; L R; N U. */
ZEM_API extern const char *const _ZEM_SERV_ftrans[3];
ZEM_API extern const char *const _ZEM_SERV_ftrans_r[3];
ZEM_API extern const char *const _ZEM_SERV_ftrans_c[3];
ZEM_API extern const char *const _ZEM_SERV_fuplo[2];
ZEM_API extern const char *const _ZEM_SERV_fside[2];
ZEM_API extern const char *const _ZEM_SERV_fdiag[2];

/* ---- the C types of each precision ---------------------------------- */
/* ZEM_CB_A: array element; ZEM_CB_S: scalar argument (a value when real,
 * a pointer when complex); ZEM_CB_R: the real type of the precision. */
#define ZEM_CB_A_s float
#define ZEM_CB_A_d double
#define ZEM_CB_A_c void
#define ZEM_CB_A_z void
#define ZEM_CB_S_s const float
#define ZEM_CB_S_d const double
#define ZEM_CB_S_c const void *
#define ZEM_CB_S_z const void *
#define ZEM_CB_R_s float
#define ZEM_CB_R_d double
#define ZEM_CB_R_c float
#define ZEM_CB_R_z double

#define ZEM_CB_ORDER const CBLAS_LAYOUT layout
#define ZEM_CB_TRANS(n) const CBLAS_TRANSPOSE n
#define ZEM_CB_UPLO const CBLAS_UPLO Uplo
#define ZEM_CB_DIAG const CBLAS_DIAG Diag
#define ZEM_CB_SIDE const CBLAS_SIDE Side

/* ---- result types and argument lists of the forms ------------------- */
#define ZEM_CR_AXPY(p) void
#define ZEM_CP_AXPY(p) (const int N, ZEM_CB_S_##p alpha, const ZEM_CB_A_##p *X, const int incX, \
                        ZEM_CB_A_##p *Y, const int incY)
#define ZEM_CR_COPY(p) void
#define ZEM_CP_COPY(p) (const int N, const ZEM_CB_A_##p *X, const int incX, ZEM_CB_A_##p *Y, const int incY)
#define ZEM_CR_SWAP(p) void
#define ZEM_CP_SWAP(p) (const int N, ZEM_CB_A_##p *X, const int incX, ZEM_CB_A_##p *Y, const int incY)
#define ZEM_CR_SCAL(p) void
#define ZEM_CP_SCAL(p) (const int N, ZEM_CB_S_##p alpha, ZEM_CB_A_##p *X, const int incX)
#define ZEM_CR_RSCAL(p) void
#define ZEM_CP_RSCAL(p) (const int N, const ZEM_CB_R_##p alpha, ZEM_CB_A_##p *X, const int incX)
#define ZEM_CR_DOT(p) ZEM_CB_R_##p
#define ZEM_CP_DOT(p) (const int N, const ZEM_CB_A_##p *X, const int incX, const ZEM_CB_A_##p *Y, const int incY)
#define ZEM_CR_SDSDOT(p) float
#define ZEM_CP_SDSDOT(p) (const int N, const float alpha, const float *X, const int incX, const float *Y, \
                          const int incY)
#define ZEM_CR_DSDOT(p) double
#define ZEM_CP_DSDOT(p) (const int N, const float *X, const int incX, const float *Y, const int incY)
#define ZEM_CR_DOTSUB(p) void
#define ZEM_CP_DOTSUB(p) (const int N, const void *X, const int incX, const void *Y, const int incY, void *dot)
#define ZEM_CR_NORM(p) ZEM_CB_R_##p
#define ZEM_CP_NORM(p) (const int N, const ZEM_CB_A_##p *X, const int incX)
#define ZEM_CR_INDEX(p) CBLAS_INDEX
#define ZEM_CP_INDEX(p) (const int N, const ZEM_CB_A_##p *X, const int incX)
#define ZEM_CR_ROT(p) void
#define ZEM_CP_ROT(p) (const int N, ZEM_CB_A_##p *X, const int incX, ZEM_CB_A_##p *Y, const int incY, \
                       const ZEM_CB_R_##p c, const ZEM_CB_R_##p s)
#define ZEM_CR_ROTG(p) void
#define ZEM_CP_ROTG(p) (ZEM_CB_A_##p *a, ZEM_CB_A_##p *b, ZEM_CB_R_##p *c, ZEM_CB_A_##p *s)
#define ZEM_CR_ROTM(p) void
#define ZEM_CP_ROTM(p) (const int N, ZEM_CB_A_##p *X, const int incX, ZEM_CB_A_##p *Y, const int incY, \
                        const ZEM_CB_A_##p *P)
#define ZEM_CR_ROTMG(p) void
#define ZEM_CP_ROTMG(p) (ZEM_CB_A_##p *d1, ZEM_CB_A_##p *d2, ZEM_CB_A_##p *b1, const ZEM_CB_A_##p b2, \
                         ZEM_CB_A_##p *P)

#define ZEM_CR_AXPYI(p) void
#define ZEM_CP_AXPYI(p) (const int N, ZEM_CB_S_##p alpha, const ZEM_CB_A_##p *X, const int *indx, ZEM_CB_A_##p *Y)
#define ZEM_CR_DOTI(p) ZEM_CB_R_##p
#define ZEM_CP_DOTI(p) (const int N, const ZEM_CB_A_##p *X, const int *indx, const ZEM_CB_A_##p *Y)
#define ZEM_CR_DOTCI(p) void
#define ZEM_CP_DOTCI(p) (const int N, const void *X, const int *indx, const void *Y, void *dot)
#define ZEM_CR_DOTUI(p) void
#define ZEM_CP_DOTUI(p) ZEM_CP_DOTCI(p)
#define ZEM_CR_GTHR(p) void
#define ZEM_CP_GTHR(p) (const int N, const ZEM_CB_A_##p *Y, ZEM_CB_A_##p *X, const int *indx)
#define ZEM_CR_GTHRZ(p) void
#define ZEM_CP_GTHRZ(p) (const int N, ZEM_CB_A_##p *Y, ZEM_CB_A_##p *X, const int *indx)
#define ZEM_CR_SCTR(p) void
#define ZEM_CP_SCTR(p) (const int N, const ZEM_CB_A_##p *X, const int *indx, ZEM_CB_A_##p *Y)
#define ZEM_CR_ROTI(p) void
#define ZEM_CP_ROTI(p) (const int N, ZEM_CB_A_##p *X, const int *indx, ZEM_CB_A_##p *Y, const ZEM_CB_R_##p c, \
                        const ZEM_CB_R_##p s)

#define ZEM_CR_GEMV(p) void
#define ZEM_CP_GEMV(p) (ZEM_CB_ORDER, ZEM_CB_TRANS(TransA), const int M, const int N, ZEM_CB_S_##p alpha, \
                        const ZEM_CB_A_##p *A, const int lda, const ZEM_CB_A_##p *X, const int incX,       \
                        ZEM_CB_S_##p beta, ZEM_CB_A_##p *Y, const int incY)
#define ZEM_CR_GBMV(p) void
#define ZEM_CP_GBMV(p) (ZEM_CB_ORDER, ZEM_CB_TRANS(TransA), const int M, const int N, const int KL, const int KU, \
                        ZEM_CB_S_##p alpha, const ZEM_CB_A_##p *A, const int lda, const ZEM_CB_A_##p *X,         \
                        const int incX, ZEM_CB_S_##p beta, ZEM_CB_A_##p *Y, const int incY)
#define ZEM_CR_GER(p) void
#define ZEM_CP_GER(p) (ZEM_CB_ORDER, const int M, const int N, ZEM_CB_S_##p alpha, const ZEM_CB_A_##p *X, \
                       const int incX, const ZEM_CB_A_##p *Y, const int incY, ZEM_CB_A_##p *A, const int lda)
#define ZEM_CR_GERC(p) void
#define ZEM_CP_GERC(p) ZEM_CP_GER(p)
#define ZEM_CR_SYMV(p) void
#define ZEM_CP_SYMV(p) (ZEM_CB_ORDER, ZEM_CB_UPLO, const int N, ZEM_CB_S_##p alpha, const ZEM_CB_A_##p *A,  \
                        const int lda, const ZEM_CB_A_##p *X, const int incX, ZEM_CB_S_##p beta,             \
                        ZEM_CB_A_##p *Y, const int incY)
#define ZEM_CR_SBMV(p) void
#define ZEM_CP_SBMV(p) (ZEM_CB_ORDER, ZEM_CB_UPLO, const int N, const int K, ZEM_CB_S_##p alpha,           \
                        const ZEM_CB_A_##p *A, const int lda, const ZEM_CB_A_##p *X, const int incX,         \
                        ZEM_CB_S_##p beta, ZEM_CB_A_##p *Y, const int incY)
#define ZEM_CR_SPMV(p) void
#define ZEM_CP_SPMV(p) (ZEM_CB_ORDER, ZEM_CB_UPLO, const int N, ZEM_CB_S_##p alpha, const ZEM_CB_A_##p *Ap, \
                        const ZEM_CB_A_##p *X, const int incX, ZEM_CB_S_##p beta, ZEM_CB_A_##p *Y,           \
                        const int incY)
#define ZEM_CR_SYR(p) void
#define ZEM_CP_SYR(p) (ZEM_CB_ORDER, ZEM_CB_UPLO, const int N, const ZEM_CB_R_##p alpha, const ZEM_CB_A_##p *X, \
                       const int incX, ZEM_CB_A_##p *A, const int lda)
#define ZEM_CR_SPR(p) void
#define ZEM_CP_SPR(p) (ZEM_CB_ORDER, ZEM_CB_UPLO, const int N, const ZEM_CB_R_##p alpha, const ZEM_CB_A_##p *X, \
                       const int incX, ZEM_CB_A_##p *Ap)
#define ZEM_CR_SYR2(p) void
#define ZEM_CP_SYR2(p) (ZEM_CB_ORDER, ZEM_CB_UPLO, const int N, ZEM_CB_S_##p alpha, const ZEM_CB_A_##p *X, \
                        const int incX, const ZEM_CB_A_##p *Y, const int incY, ZEM_CB_A_##p *A, const int lda)
#define ZEM_CR_SPR2(p) void
#define ZEM_CP_SPR2(p) (ZEM_CB_ORDER, ZEM_CB_UPLO, const int N, ZEM_CB_S_##p alpha, const ZEM_CB_A_##p *X, \
                        const int incX, const ZEM_CB_A_##p *Y, const int incY, ZEM_CB_A_##p *Ap)
#define ZEM_CR_TRMV(p) void
#define ZEM_CP_TRMV(p) (ZEM_CB_ORDER, ZEM_CB_UPLO, ZEM_CB_TRANS(TransA), ZEM_CB_DIAG, const int N,         \
                        const ZEM_CB_A_##p *A, const int lda, ZEM_CB_A_##p *X, const int incX)
#define ZEM_CR_TBMV(p) void
#define ZEM_CP_TBMV(p) (ZEM_CB_ORDER, ZEM_CB_UPLO, ZEM_CB_TRANS(TransA), ZEM_CB_DIAG, const int N,         \
                        const int K, const ZEM_CB_A_##p *A, const int lda, ZEM_CB_A_##p *X, const int incX)
#define ZEM_CR_TPMV(p) void
#define ZEM_CP_TPMV(p) (ZEM_CB_ORDER, ZEM_CB_UPLO, ZEM_CB_TRANS(TransA), ZEM_CB_DIAG, const int N,         \
                        const ZEM_CB_A_##p *Ap, ZEM_CB_A_##p *X, const int incX)

#define ZEM_CR_GEMM(p) void
#define ZEM_CP_GEMM(p) (ZEM_CB_ORDER, ZEM_CB_TRANS(TransA), ZEM_CB_TRANS(TransB), const int M, const int N,  \
                        const int K, ZEM_CB_S_##p alpha, const ZEM_CB_A_##p *A, const int lda,               \
                        const ZEM_CB_A_##p *B, const int ldb, ZEM_CB_S_##p beta, ZEM_CB_A_##p *C, const int ldc)
#define ZEM_CR_SYMM(p) void
#define ZEM_CP_SYMM(p) (ZEM_CB_ORDER, ZEM_CB_SIDE, ZEM_CB_UPLO, const int M, const int N, ZEM_CB_S_##p alpha, \
                        const ZEM_CB_A_##p *A, const int lda, const ZEM_CB_A_##p *B, const int ldb,           \
                        ZEM_CB_S_##p beta, ZEM_CB_A_##p *C, const int ldc)
#define ZEM_CR_SYRK(p) void
#define ZEM_CP_SYRK(p) (ZEM_CB_ORDER, ZEM_CB_UPLO, ZEM_CB_TRANS(Trans), const int N, const int K,           \
                        ZEM_CB_S_##p alpha, const ZEM_CB_A_##p *A, const int lda, ZEM_CB_S_##p beta,         \
                        ZEM_CB_A_##p *C, const int ldc)
#define ZEM_CR_HERK(p) void
#define ZEM_CP_HERK(p) (ZEM_CB_ORDER, ZEM_CB_UPLO, ZEM_CB_TRANS(Trans), const int N, const int K,           \
                        const ZEM_CB_R_##p alpha, const ZEM_CB_A_##p *A, const int lda,                       \
                        const ZEM_CB_R_##p beta, ZEM_CB_A_##p *C, const int ldc)
#define ZEM_CR_SYR2K(p) void
#define ZEM_CP_SYR2K(p) (ZEM_CB_ORDER, ZEM_CB_UPLO, ZEM_CB_TRANS(Trans), const int N, const int K,          \
                         ZEM_CB_S_##p alpha, const ZEM_CB_A_##p *A, const int lda, const ZEM_CB_A_##p *B,    \
                         const int ldb, ZEM_CB_S_##p beta, ZEM_CB_A_##p *C, const int ldc)
#define ZEM_CR_HER2K(p) void
#define ZEM_CP_HER2K(p) (ZEM_CB_ORDER, ZEM_CB_UPLO, ZEM_CB_TRANS(Trans), const int N, const int K,          \
                         ZEM_CB_S_##p alpha, const ZEM_CB_A_##p *A, const int lda, const ZEM_CB_A_##p *B,    \
                         const int ldb, const ZEM_CB_R_##p beta, ZEM_CB_A_##p *C, const int ldc)
#define ZEM_CR_TRMM(p) void
#define ZEM_CP_TRMM(p) (ZEM_CB_ORDER, ZEM_CB_SIDE, ZEM_CB_UPLO, ZEM_CB_TRANS(TransA), ZEM_CB_DIAG,          \
                        const int M, const int N, ZEM_CB_S_##p alpha, const ZEM_CB_A_##p *A, const int lda,   \
                        ZEM_CB_A_##p *B, const int ldb)

/* ---- prototypes ------------------------------------------------------ */
#define ZEM_CBLAS(UP, name, FORM, p) ZEM_API ZEM_CR_##FORM(p) cblas_##name ZEM_CP_##FORM(p);
#include "zem_cblas.def"
#undef ZEM_CBLAS

#ifdef __cplusplus
}
#endif
#endif
