// The exported cblas_ functions, generated from zem_cblas.def: each one
// converts its C arguments and hands them to the form of cblas_forms.h
// with its C name and its unchecked Fortran-convention entry. A function
// exists only when its routine's line in zem_blas.def says Y (zem_have.h
// is generated from that table by the build).
#include "blas/interface/cblas_forms.h"
#include "zem_have.h"

extern "C" {
const char *const _ZEM_SERV_ftrans[3] = {"N", "T", "C"};
const char *const _ZEM_SERV_ftrans_r[3] = {"T", "N", "N"};
const char *const _ZEM_SERV_ftrans_c[3] = {"C", "N", "N"};
const char *const _ZEM_SERV_fuplo[2] = {"U", "L"};
const char *const _ZEM_SERV_fside[2] = {"L", "R"};
const char *const _ZEM_SERV_fdiag[2] = {"N", "U"};
}

// The element type of each precision inside the library.
#define ZEM_CB_T_s float
#define ZEM_CB_T_d double
#define ZEM_CB_T_c ZEM_Complex8
#define ZEM_CB_T_z ZEM_Complex16

// Arrays as typed pointers; scalars as pointers (real ones by address).
#define ZEM_CB_IN(p, v) static_cast<const ZEM_CB_T_##p *>(v)
#define ZEM_CB_OUT(p, v) static_cast<ZEM_CB_T_##p *>(v)
#define ZEM_CB_SP_s(v) &(v)
#define ZEM_CB_SP_d(v) &(v)
#define ZEM_CB_SP_c(v) static_cast<const ZEM_Complex8 *>(v)
#define ZEM_CB_SP_z(v) static_cast<const ZEM_Complex16 *>(v)
#define ZEM_CB_SP(p, v) ZEM_CB_SP_##p(v)

// The arguments each form passes on, named as in ZEM_CP_<form>.
#define ZEM_CX_AXPY(p) N, ZEM_CB_SP(p, alpha), ZEM_CB_IN(p, X), incX, ZEM_CB_OUT(p, Y), incY
#define ZEM_CX_COPY(p) N, ZEM_CB_IN(p, X), incX, ZEM_CB_OUT(p, Y), incY
#define ZEM_CX_SWAP(p) N, ZEM_CB_OUT(p, X), incX, ZEM_CB_OUT(p, Y), incY
#define ZEM_CX_SCAL(p) N, ZEM_CB_SP(p, alpha), ZEM_CB_OUT(p, X), incX
#define ZEM_CX_RSCAL(p) N, &alpha, ZEM_CB_OUT(p, X), incX
#define ZEM_CX_DOT(p) N, ZEM_CB_IN(p, X), incX, ZEM_CB_IN(p, Y), incY
#define ZEM_CX_SDSDOT(p) N, &alpha, X, incX, Y, incY
#define ZEM_CX_DSDOT(p) N, X, incX, Y, incY
#define ZEM_CX_DOTSUB(p) N, ZEM_CB_IN(p, X), incX, ZEM_CB_IN(p, Y), incY, ZEM_CB_OUT(p, dot)
#define ZEM_CX_NORM(p) N, ZEM_CB_IN(p, X), incX
#define ZEM_CX_INDEX(p) N, ZEM_CB_IN(p, X), incX
#define ZEM_CX_ROT(p) N, ZEM_CB_OUT(p, X), incX, ZEM_CB_OUT(p, Y), incY, &c, &s
#define ZEM_CX_ROTG(p) ZEM_CB_OUT(p, a), ZEM_CB_OUT(p, b), c, ZEM_CB_OUT(p, s)
#define ZEM_CX_ROTM(p) N, X, incX, Y, incY, P
#define ZEM_CX_ROTMG(p) d1, d2, b1, &b2, P

#define ZEM_CX_AXPYI(p) N, ZEM_CB_SP(p, alpha), ZEM_CB_IN(p, X), indx, ZEM_CB_OUT(p, Y)
#define ZEM_CX_DOTI(p) N, ZEM_CB_IN(p, X), indx, ZEM_CB_IN(p, Y)
#define ZEM_CX_DOTCI(p) N, ZEM_CB_IN(p, X), indx, ZEM_CB_IN(p, Y), ZEM_CB_OUT(p, dot)
#define ZEM_CX_DOTUI(p) ZEM_CX_DOTCI(p)
#define ZEM_CX_GTHR(p) N, ZEM_CB_IN(p, Y), ZEM_CB_OUT(p, X), indx
#define ZEM_CX_GTHRZ(p) N, ZEM_CB_OUT(p, Y), ZEM_CB_OUT(p, X), indx
#define ZEM_CX_SCTR(p) N, ZEM_CB_IN(p, X), indx, ZEM_CB_OUT(p, Y)
#define ZEM_CX_ROTI(p) N, X, indx, Y, &c, &s

#define ZEM_CX_GEMV(p) layout, TransA, M, N, ZEM_CB_SP(p, alpha), ZEM_CB_IN(p, A), lda, ZEM_CB_IN(p, X), incX, \
                       ZEM_CB_SP(p, beta), ZEM_CB_OUT(p, Y), incY
#define ZEM_CX_GBMV(p) layout, TransA, M, N, KL, KU, ZEM_CB_SP(p, alpha), ZEM_CB_IN(p, A), lda,              \
                       ZEM_CB_IN(p, X), incX, ZEM_CB_SP(p, beta), ZEM_CB_OUT(p, Y), incY
#define ZEM_CX_GER(p) layout, M, N, ZEM_CB_SP(p, alpha), ZEM_CB_IN(p, X), incX, ZEM_CB_IN(p, Y), incY,        \
                      ZEM_CB_OUT(p, A), lda
#define ZEM_CX_GERC(p) ZEM_CX_GER(p)
#define ZEM_CX_SYMV(p) layout, Uplo, N, ZEM_CB_SP(p, alpha), ZEM_CB_IN(p, A), lda, ZEM_CB_IN(p, X), incX,     \
                       ZEM_CB_SP(p, beta), ZEM_CB_OUT(p, Y), incY
#define ZEM_CX_SBMV(p) layout, Uplo, N, K, ZEM_CB_SP(p, alpha), ZEM_CB_IN(p, A), lda, ZEM_CB_IN(p, X), incX,  \
                       ZEM_CB_SP(p, beta), ZEM_CB_OUT(p, Y), incY
#define ZEM_CX_SPMV(p) layout, Uplo, N, ZEM_CB_SP(p, alpha), ZEM_CB_IN(p, Ap), ZEM_CB_IN(p, X), incX,         \
                       ZEM_CB_SP(p, beta), ZEM_CB_OUT(p, Y), incY
#define ZEM_CX_SYR(p) layout, Uplo, N, &alpha, ZEM_CB_IN(p, X), incX, ZEM_CB_OUT(p, A), lda
#define ZEM_CX_SPR(p) layout, Uplo, N, &alpha, ZEM_CB_IN(p, X), incX, ZEM_CB_OUT(p, Ap)
#define ZEM_CX_SYR2(p) layout, Uplo, N, ZEM_CB_SP(p, alpha), ZEM_CB_IN(p, X), incX, ZEM_CB_IN(p, Y), incY,    \
                       ZEM_CB_OUT(p, A), lda
#define ZEM_CX_SPR2(p) layout, Uplo, N, ZEM_CB_SP(p, alpha), ZEM_CB_IN(p, X), incX, ZEM_CB_IN(p, Y), incY,    \
                       ZEM_CB_OUT(p, Ap)
#define ZEM_CX_TRMV(p) layout, Uplo, TransA, Diag, N, ZEM_CB_IN(p, A), lda, ZEM_CB_OUT(p, X), incX
#define ZEM_CX_TBMV(p) layout, Uplo, TransA, Diag, N, K, ZEM_CB_IN(p, A), lda, ZEM_CB_OUT(p, X), incX
#define ZEM_CX_TPMV(p) layout, Uplo, TransA, Diag, N, ZEM_CB_IN(p, Ap), ZEM_CB_OUT(p, X), incX

#define ZEM_CX_GEMM(p) layout, TransA, TransB, M, N, K, ZEM_CB_SP(p, alpha), ZEM_CB_IN(p, A), lda,            \
                       ZEM_CB_IN(p, B), ldb, ZEM_CB_SP(p, beta), ZEM_CB_OUT(p, C), ldc
#define ZEM_CX_SYMM(p) layout, Side, Uplo, M, N, ZEM_CB_SP(p, alpha), ZEM_CB_IN(p, A), lda, ZEM_CB_IN(p, B),  \
                       ldb, ZEM_CB_SP(p, beta), ZEM_CB_OUT(p, C), ldc
#define ZEM_CX_SYRK(p) layout, Uplo, Trans, N, K, ZEM_CB_SP(p, alpha), ZEM_CB_IN(p, A), lda,                  \
                       ZEM_CB_SP(p, beta), ZEM_CB_OUT(p, C), ldc
#define ZEM_CX_HERK(p) layout, Uplo, Trans, N, K, &alpha, ZEM_CB_IN(p, A), lda, &beta, ZEM_CB_OUT(p, C), ldc
#define ZEM_CX_SYR2K(p) layout, Uplo, Trans, N, K, ZEM_CB_SP(p, alpha), ZEM_CB_IN(p, A), lda,                 \
                        ZEM_CB_IN(p, B), ldb, ZEM_CB_SP(p, beta), ZEM_CB_OUT(p, C), ldc
#define ZEM_CX_HER2K(p) layout, Uplo, Trans, N, K, ZEM_CB_SP(p, alpha), ZEM_CB_IN(p, A), lda,                 \
                        ZEM_CB_IN(p, B), ldb, &beta, ZEM_CB_OUT(p, C), ldc
#define ZEM_CX_TRMM(p) layout, Side, Uplo, TransA, Diag, M, N, ZEM_CB_SP(p, alpha), ZEM_CB_IN(p, A), lda,     \
                       ZEM_CB_OUT(p, B), ldb

#define ZEM_CB_DEFINE_N(UP, name, FORM, p)
#define ZEM_CB_DEFINE_Y(UP, name, FORM, p)                                                       \
    extern "C" ZEM_API ZEM_CR_##FORM(p) cblas_##name ZEM_CP_##FORM(p)                            \
    {                                                                                            \
        return zem_cb::FORM<ZEM_CB_T_##p>("cblas_" #name, _ZEM_BLAS_F77_##UP, ZEM_CX_##FORM(p)); \
    }
#define ZEM_CB_PICK(have) ZEM_CB_DEFINE_##have
#define ZEM_CB_DEFINE(have) ZEM_CB_PICK(have)
#define ZEM_CBLAS(UP, name, FORM, p) ZEM_CB_DEFINE(ZEM_HAVE_##UP)(UP, name, FORM, p)
#include "zem_cblas.def"
#undef ZEM_CBLAS
