/* Building blocks of the matrix-multiply drivers: packing and copy
 * routines, register-blocked inner kernels, edge routines, and the serial
 * drivers themselves. Internal to the library (hidden), except the serial
 * drivers, which the later level-3 routines and the tests call.
 *
 * Conventions of this header: sizes and leading dimensions by value,
 * leading dimensions already widened to ptrdiff_t and never negative.
 *
 * Packed A block (real types and double complex): R rows by K depth in
 * micro-panels of P rows; element (r, p) at P*K*(r/P) + P*p + r%P (a
 * padded block uses its stride Kp in place of K). P is 4 for double, 16
 * for single, 2 for double complex (real and imaginary parts adjacent).
 * Single complex uses groups of eight floats instead: the real parts, then
 * the imaginary parts, of four consecutive depth indices of one row (A) or
 * one column (B); row i of a packed block starts at i*2*K floats.
 */
#ifndef ZEM_BLAS_LEVEL3_GEMM_KERNELS_H
#define ZEM_BLAS_LEVEL3_GEMM_KERNELS_H

#include <stddef.h>

#include "blas/kernel/default/element.h"
#include "zem_blas.h"
#include "zem_service.h"

#define ZEM_HIDDEN __attribute__((visibility("hidden")))

#ifdef __cplusplus
extern "C" {
#endif

/* ---- serial drivers: the thirteen gemm arguments, by reference ---- */
ZEM_API void _ZEM_BLAS_xsgemm ZEM_P_GEMM(float, float);
ZEM_API void _ZEM_BLAS_xdgemm ZEM_P_GEMM(double, double);
ZEM_API void _ZEM_BLAS_xcgemm ZEM_P_GEMM(ZEM_Complex8, float);
ZEM_API void _ZEM_BLAS_xzgemm ZEM_P_GEMM(ZEM_Complex16, double);

/* ---- packing of op(A), alpha folded in (d, s, c) ---- */
/* a at A(i0, p0) for op(A) = A; at stored A(p0, i0) for the transposes. */
#define ZEM_DECL_PACK_A(x, T)                                                                    \
    ZEM_HIDDEN void _ZEM_BLAS_##x##gtran(const T *a, ptrdiff_t lda, int mb, int kb, T *buf, T alpha); \
    ZEM_HIDDEN void _ZEM_BLAS_##x##gtrat(const T *a, ptrdiff_t lda, int mb, int kb, T *buf, T alpha); \
    ZEM_HIDDEN void _ZEM_BLAS_##x##gtranp(const T *a, ptrdiff_t lda, int mb, int kb, int kp, T *buf, T alpha); \
    ZEM_HIDDEN void _ZEM_BLAS_##x##gtratp(const T *a, ptrdiff_t lda, int mb, int kb, int kp, T *buf, T alpha); \
    /* B copies: buf[j*ldbuf + p] = op(B)(p, j) */                                                 \
    ZEM_HIDDEN void _ZEM_BLAS_##x##gtrbn(int n, int kb, const T *b, ptrdiff_t ldb, T *buf, ptrdiff_t ldbuf); \
    ZEM_HIDDEN void _ZEM_BLAS_##x##gtrbnp(int n, int kb, int kp, const T *b, ptrdiff_t ldb, T *buf, ptrdiff_t ldbuf); \
    ZEM_HIDDEN void _ZEM_BLAS_##x##gtrbtp(int n, int kb, int kp, const T *b, ptrdiff_t ldb, T *buf, ptrdiff_t ldbuf);
ZEM_DECL_PACK_A(d, double)
ZEM_DECL_PACK_A(s, float)
#undef ZEM_DECL_PACK_A

/* Double complex: packed without alpha; B copies of op(B) = B^T, B^H. */
ZEM_HIDDEN void _ZEM_BLAS_zgtran(const ZEM_Complex16 *a, ptrdiff_t lda, int mb, int kb, double *buf);
ZEM_HIDDEN void _ZEM_BLAS_zgtrat(const ZEM_Complex16 *a, ptrdiff_t lda, int mb, int kb, double *buf);
ZEM_HIDDEN void _ZEM_BLAS_zgtrac(const ZEM_Complex16 *a, ptrdiff_t lda, int mb, int kb, double *buf);
ZEM_HIDDEN void _ZEM_BLAS_zgtrbt(int n, int kb, const ZEM_Complex16 *b, ptrdiff_t ldb, ZEM_Complex16 *buf, ptrdiff_t ldbuf);
ZEM_HIDDEN void _ZEM_BLAS_zgtrbc(int n, int kb, const ZEM_Complex16 *b, ptrdiff_t ldb, ZEM_Complex16 *buf, ptrdiff_t ldbuf);

/* Single complex: split layout; kb a multiple of 4. Row (column) stride of
 * the packed block (buffer) is 2*kb floats (ldbuf for B). */
ZEM_HIDDEN void _ZEM_BLAS_cgtran(const ZEM_Complex8 *a, ptrdiff_t lda, int mb, int kb, float *buf, ZEM_Complex8 alpha);
ZEM_HIDDEN void _ZEM_BLAS_cgtrat(const ZEM_Complex8 *a, ptrdiff_t lda, int mb, int kb, float *buf, ZEM_Complex8 alpha);
ZEM_HIDDEN void _ZEM_BLAS_cgtrac(const ZEM_Complex8 *a, ptrdiff_t lda, int mb, int kb, float *buf, ZEM_Complex8 alpha);
ZEM_HIDDEN void _ZEM_BLAS_cgcopybn(int n, int kb, const ZEM_Complex8 *b, ptrdiff_t ldb, float *buf, ptrdiff_t ldbuf);
ZEM_HIDDEN void _ZEM_BLAS_cgcopybt(int n, int kb, const ZEM_Complex8 *b, ptrdiff_t ldb, float *buf, ptrdiff_t ldbuf);
ZEM_HIDDEN void _ZEM_BLAS_cgcopybc(int n, int kb, const ZEM_Complex8 *b, ptrdiff_t ldb, float *buf, ptrdiff_t ldbuf);

/* ---- inner kernels ----
 * Each type's kernels, listed once: X(type letter, R rows, K depth) names
 * _ZEM_BLAS_<x>in<R>_<K>. The declarations below, the definitions in the
 * gemm_inner_<x>.cpp files and the drivers' kernel tables all expand
 * these lists. A driver takes the kernels of full depth (the depth block)
 * as its row groups, in this order: the first as often as it fits, each
 * later one at most once; the shallower ones serve the depth remainder,
 * the deepest that fits. */
#define ZEM_GEMM_KERNELS_S(X) X(s, 32, 64) X(s, 16, 64) X(s, 32, 48) X(s, 32, 32) X(s, 32, 16)
#define ZEM_GEMM_KERNELS_D(X) X(d, 16, 64) X(d, 8, 64) X(d, 4, 64) X(d, 16, 48) X(d, 32, 32) X(d, 32, 16)
#define ZEM_GEMM_KERNELS_C(X) X(c, 8, 64) X(c, 4, 64) X(c, 8, 48) X(c, 8, 32) X(c, 8, 16)
#define ZEM_GEMM_KERNELS_Z(X) X(z, 16, 32) X(z, 8, 32) X(z, 4, 32) X(z, 16, 24) X(z, 32, 16)

#define ZEM_GEMM_KERNEL_NAME(x, R, K) _ZEM_BLAS_##x##in##R##_##K

/* Real types: C(0:R-1, j) += Apack * B(0:K-1, j), j < nb. */
#define ZEM_GEMM_KERNEL_ARGS_s (int nb, const float *ap, const float *b, ptrdiff_t ldb, float *c, ptrdiff_t ldc)
#define ZEM_GEMM_KERNEL_ARGS_d (int nb, const double *ap, const double *b, ptrdiff_t ldb, double *c, ptrdiff_t ldc)
/* Single complex: tile(0:R-1, j) += Apack * Bbuf(:, j) on the work tile;
 * Bbuf columns ldbuf floats apart, tile columns ldt complex apart. */
#define ZEM_GEMM_KERNEL_ARGS_c \
    (int nb, const float *ap, const float *bbuf, ptrdiff_t ldbuf, ZEM_Complex8 *t, ptrdiff_t ldt)
/* Double complex: C(0:R-1, j) += alpha * Apack * B(0:K-1, j). */
#define ZEM_GEMM_KERNEL_ARGS_z                                                                          \
    (int nb, const double *ap, const ZEM_Complex16 *b, ptrdiff_t ldb, ZEM_Complex16 *c, ptrdiff_t ldc, \
     const ZEM_Complex16 *alpha)

#define ZEM_GEMM_DECL_KERNEL(x, R, K) ZEM_HIDDEN void ZEM_GEMM_KERNEL_NAME(x, R, K) ZEM_GEMM_KERNEL_ARGS_##x;
ZEM_GEMM_KERNELS_S(ZEM_GEMM_DECL_KERNEL)
ZEM_GEMM_KERNELS_D(ZEM_GEMM_DECL_KERNEL)
ZEM_GEMM_KERNELS_C(ZEM_GEMM_DECL_KERNEL)
ZEM_GEMM_KERNELS_Z(ZEM_GEMM_DECL_KERNEL)
#undef ZEM_GEMM_DECL_KERNEL

/* ---- edge routines: C += alpha * op(A) * op(B) on an mb x nb x kb piece,
 * unpacked operands; a at op(A)(0, 0), b at op(B)(0, 0) ---- */
#define ZEM_DECL_EDGE(name, T)                                                                   \
    ZEM_HIDDEN void name(int mb, int nb, int kb, T alpha, const T *a, ptrdiff_t lda, const T *b, \
                         ptrdiff_t ldb, T *c, ptrdiff_t ldc);
#define ZEM_DECL_EDGE4(x, T, s)     \
    ZEM_DECL_EDGE(_ZEM_BLAS_##x##pst_nn##s, T) \
    ZEM_DECL_EDGE(_ZEM_BLAS_##x##pst_nt##s, T) \
    ZEM_DECL_EDGE(_ZEM_BLAS_##x##pst_tn##s, T) \
    ZEM_DECL_EDGE(_ZEM_BLAS_##x##pst_tt##s, T)
ZEM_DECL_EDGE4(d, double, k)
ZEM_DECL_EDGE4(d, double, m)
ZEM_DECL_EDGE4(s, float, k)
#undef ZEM_DECL_EDGE4
#undef ZEM_DECL_EDGE

/* Unblocked double-complex product, the thirteen gemm arguments by value;
 * the letters name op(A) and op(B). */
#define ZEM_DECL_ZPST(ab)                                                                            \
    ZEM_HIDDEN void _ZEM_BLAS_zpst_##ab(char ta, char tb, int m, int n, int k, ZEM_Complex16 alpha, \
                                        const ZEM_Complex16 *a, ptrdiff_t lda, const ZEM_Complex16 *b, \
                                        ptrdiff_t ldb, ZEM_Complex16 beta, ZEM_Complex16 *c, ptrdiff_t ldc);
ZEM_DECL_ZPST(nn) ZEM_DECL_ZPST(nt) ZEM_DECL_ZPST(nc)
ZEM_DECL_ZPST(tn) ZEM_DECL_ZPST(tt) ZEM_DECL_ZPST(tc)
ZEM_DECL_ZPST(cn) ZEM_DECL_ZPST(ct) ZEM_DECL_ZPST(cc)
#undef ZEM_DECL_ZPST

/* Unblocked single-complex gemm with full beta handling (0, 1, other). */
ZEM_HIDDEN void _ZEM_BLAS_cgemmpst(char ta, char tb, int m, int n, int k, ZEM_Complex8 alpha,
                                   const ZEM_Complex8 *a, ptrdiff_t lda, const ZEM_Complex8 *b, ptrdiff_t ldb,
                                   ZEM_Complex8 beta, ZEM_Complex8 *c, ptrdiff_t ldc);

/* Copies between a C tile and the single-complex work tile (strips of
 * eight rows, eight elements per strip column, strips ldt complex elements
 * apart): 0, the value, or beta times the value; and back. */
ZEM_HIDDEN void _ZEM_BLAS_ccopycf0(int m, int n, const ZEM_Complex8 *c, ptrdiff_t ldc, ZEM_Complex8 *t, ptrdiff_t ldt,
                                   ZEM_Complex8 beta);
ZEM_HIDDEN void _ZEM_BLAS_ccopycf1(int m, int n, const ZEM_Complex8 *c, ptrdiff_t ldc, ZEM_Complex8 *t, ptrdiff_t ldt,
                                   ZEM_Complex8 beta);
ZEM_HIDDEN void _ZEM_BLAS_ccopycf(int m, int n, const ZEM_Complex8 *c, ptrdiff_t ldc, ZEM_Complex8 *t, ptrdiff_t ldt,
                                  ZEM_Complex8 beta);
ZEM_HIDDEN void _ZEM_BLAS_ccopycr(int m, int n, ZEM_Complex8 *c, ptrdiff_t ldc, const ZEM_Complex8 *t, ptrdiff_t ldt);

#ifdef __cplusplus
}
#endif

#ifdef __cplusplus
namespace zem_gemm {
// op(A), op(B): N, T or C, decoded by op_of
using namespace zem_kernel::op;
using zem_kernel::Op;
using zem_kernel::op_of;
} // namespace zem_gemm
#endif

#endif
