/* Triangular level 3, ?trsm and ?trmm: the serial drivers, their leaves
 * and the per-type plan that names them.
 *
 * A serial driver cuts the triangle of A into diagonal blocks, level by
 * level (the plan's table of block sizes), and the dimension of B that A
 * does not act on ("other": n for side L, m for side R) into pieces that
 * stay in cache with the diagonal block. Diagonal blocks go one level
 * down, the coupling between blocks is one call of the type's serial gemm
 * driver, and the bottom level is a leaf that works on A and B directly.
 *
 * Leaves take the eleven arguments of their routine, with m, n, alpha, A
 * and B of the block. */
#ifndef ZEM_BLAS_LEVEL3_TRIANGULAR3_H
#define ZEM_BLAS_LEVEL3_TRIANGULAR3_H

#include "blas/kernel/default/level2/level2.h"
#include "blas/kernel/default/level3/gemm_kernels.h"

extern "C" {

/* ---- serial drivers ---- */
ZEM_API void _ZEM_BLAS_xstrsm ZEM_P_TRMM(float, float);
ZEM_API void _ZEM_BLAS_xdtrsm ZEM_P_TRMM(double, double);
ZEM_API void _ZEM_BLAS_xctrsm ZEM_P_TRMM(ZEM_Complex8, float);
ZEM_API void _ZEM_BLAS_xztrsm ZEM_P_TRMM(ZEM_Complex16, double);
ZEM_API void _ZEM_BLAS_xstrmm ZEM_P_TRMM(float, float);
ZEM_API void _ZEM_BLAS_xdtrmm ZEM_P_TRMM(double, double);
ZEM_API void _ZEM_BLAS_xctrmm ZEM_P_TRMM(ZEM_Complex8, float);
ZEM_API void _ZEM_BLAS_xztrmm ZEM_P_TRMM(ZEM_Complex16, double);

/* ---- leaves (order of the triangle at most 32) ---- */
#define ZEM_TRI3_LEAF(name, T) ZEM_HIDDEN void name ZEM_P_TRMM(T, T);
/* solves: side L upper/lower with op(A) = A, side L transposed, side R */
ZEM_TRI3_LEAF(_ZEM_BLAS_dtrsmlun, double)
ZEM_TRI3_LEAF(_ZEM_BLAS_dtrsmlln, double)
ZEM_TRI3_LEAF(_ZEM_BLAS_dtrsmlt, double)
ZEM_TRI3_LEAF(_ZEM_BLAS_dtrsmrn, double)
ZEM_TRI3_LEAF(_ZEM_BLAS_dtrsmrt, double)
ZEM_TRI3_LEAF(_ZEM_BLAS_strsm_i, float)
ZEM_TRI3_LEAF(_ZEM_BLAS_strsm_blk, float)
ZEM_TRI3_LEAF(_ZEM_BLAS_strsmlt, float)
ZEM_TRI3_LEAF(_ZEM_BLAS_ctrsm_i, ZEM_Complex8)
ZEM_TRI3_LEAF(_ZEM_BLAS_ztrsmlun, ZEM_Complex16)
ZEM_TRI3_LEAF(_ZEM_BLAS_ztrsmlln, ZEM_Complex16)
ZEM_TRI3_LEAF(_ZEM_BLAS_ztrsmlt, ZEM_Complex16)
ZEM_TRI3_LEAF(_ZEM_BLAS_ztrsmrn, ZEM_Complex16)
ZEM_TRI3_LEAF(_ZEM_BLAS_ztrsmrt, ZEM_Complex16)
/* products: side L / R with op(A) = A, A^T, A^H */
ZEM_TRI3_LEAF(_ZEM_BLAS_dtrmln, double)
ZEM_TRI3_LEAF(_ZEM_BLAS_dtrmlt, double)
ZEM_TRI3_LEAF(_ZEM_BLAS_dtrmrn, double)
ZEM_TRI3_LEAF(_ZEM_BLAS_dtrmrt, double)
ZEM_TRI3_LEAF(_ZEM_BLAS_strmln, float)
ZEM_TRI3_LEAF(_ZEM_BLAS_strmlt, float)
ZEM_TRI3_LEAF(_ZEM_BLAS_strmm_inn, float)
ZEM_TRI3_LEAF(_ZEM_BLAS_ctrmln, ZEM_Complex8)
ZEM_TRI3_LEAF(_ZEM_BLAS_ctrmlt, ZEM_Complex8)
ZEM_TRI3_LEAF(_ZEM_BLAS_ctrmlc, ZEM_Complex8)
ZEM_TRI3_LEAF(_ZEM_BLAS_ctrmrn, ZEM_Complex8)
ZEM_TRI3_LEAF(_ZEM_BLAS_ctrmrt, ZEM_Complex8)
ZEM_TRI3_LEAF(_ZEM_BLAS_ctrmrc, ZEM_Complex8)
ZEM_TRI3_LEAF(_ZEM_BLAS_ztrmln, ZEM_Complex16)
ZEM_TRI3_LEAF(_ZEM_BLAS_ztrmlt, ZEM_Complex16)
ZEM_TRI3_LEAF(_ZEM_BLAS_ztrmlc, ZEM_Complex16)
ZEM_TRI3_LEAF(_ZEM_BLAS_ztrmrn, ZEM_Complex16)
ZEM_TRI3_LEAF(_ZEM_BLAS_ztrmrt, ZEM_Complex16)
ZEM_TRI3_LEAF(_ZEM_BLAS_ztrmrc, ZEM_Complex16)
#undef ZEM_TRI3_LEAF

} // extern "C"

namespace zem_tri3 {

/* The largest triangle a leaf takes. */
constexpr int kLeafOrder = 32;

template <class T>
using Routine = void (*)(const char *, const char *, const char *, const char *, const int *, const int *, const T *,
                         const T *, const int *, T *, const int *);
template <class T>
using Gemm = void (*)(const char *, const char *, const int *, const int *, const int *, const T *, const T *,
                      const int *, const T *, const int *, const T *, T *, const int *);

/* One blocking level: the diagonal block size and the width of the pieces
 * of the other dimension, for side L and side R. A width of 0 means the
 * whole dimension at once. */
struct Level {
    int tri_l, tri_r;
    int other_l, other_r;
};

/* Which leaf serves a case: side L or R, op(A) = A ('N'), A^T ('T') or
 * A^H ('C'), and, for side L with op(A) = A, whether A is upper. */
struct Case {
    bool left, upper;
    char op;
};

template <class T>
struct Plan;

template <>
struct Plan<double> {
    static constexpr Gemm<double> gemm = _ZEM_BLAS_xdgemm;
    static constexpr Level trsm[] = {{512, 512, 1024, 1024}, {128, 256, 1024, 1024}, {32, 32, 1024, 1024}};
    static constexpr Level trmm[] = {{128, 128, 2048, 2048}, {64, 64, 1024, 1024}, {32, 32, 1024, 1024}};
    static Routine<double> trsm_leaf(Case c)
    {
        if (!c.left)
            return c.op == 'N' ? _ZEM_BLAS_dtrsmrn : _ZEM_BLAS_dtrsmrt;
        if (c.op != 'N')
            return _ZEM_BLAS_dtrsmlt;
        return c.upper ? _ZEM_BLAS_dtrsmlun : _ZEM_BLAS_dtrsmlln;
    }
    static Routine<double> trmm_leaf(Case c)
    {
        if (c.left)
            return c.op == 'N' ? _ZEM_BLAS_dtrmln : _ZEM_BLAS_dtrmlt;
        return c.op == 'N' ? _ZEM_BLAS_dtrmrn : _ZEM_BLAS_dtrmrt;
    }
};

template <>
struct Plan<float> {
    static constexpr Gemm<float> gemm = _ZEM_BLAS_xsgemm;
    static constexpr Level trsm[] = {{512, 256, 1024, 1024}, {128, 128, 1024, 1024}, {32, 32, 1024, 1024}};
    /* side L ends in leaves of 32, side R in leaves of 16 */
    static constexpr Level trmm[] = {{128, 128, 1024, 1024}, {32, 16, 1024, 1024}};
    static Routine<float> trsm_leaf(Case c)
    {
        if (!c.left)
            return _ZEM_BLAS_strsm_blk;
        return c.op == 'N' ? _ZEM_BLAS_strsm_i : _ZEM_BLAS_strsmlt;
    }
    static Routine<float> trmm_leaf(Case c)
    {
        if (!c.left)
            return _ZEM_BLAS_strmm_inn;
        return c.op == 'N' ? _ZEM_BLAS_strmln : _ZEM_BLAS_strmlt;
    }
};

template <>
struct Plan<ZEM_Complex8> {
    static constexpr Gemm<ZEM_Complex8> gemm = _ZEM_BLAS_xcgemm;
    static constexpr Level trsm[] = {{256, 256, 1024, 1024}, {64, 64, 1024, 1024}, {32, 32, 1024, 1024}};
    static constexpr Level trmm[] = {{128, 128, 1024, 1024}, {64, 32, 1024, 1024}, {16, 16, 1024, 1024}};
    static Routine<ZEM_Complex8> trsm_leaf(Case) { return _ZEM_BLAS_ctrsm_i; }
    static Routine<ZEM_Complex8> trmm_leaf(Case c)
    {
        if (c.left)
            return c.op == 'N' ? _ZEM_BLAS_ctrmln : c.op == 'T' ? _ZEM_BLAS_ctrmlt : _ZEM_BLAS_ctrmlc;
        return c.op == 'N' ? _ZEM_BLAS_ctrmrn : c.op == 'T' ? _ZEM_BLAS_ctrmrt : _ZEM_BLAS_ctrmrc;
    }
};

template <>
struct Plan<ZEM_Complex16> {
    static constexpr Gemm<ZEM_Complex16> gemm = _ZEM_BLAS_xzgemm;
    /* one level of blocks of 32 over the whole other dimension */
    static constexpr Level trsm[] = {{32, 32, 0, 0}};
    static constexpr Level trmm[] = {{128, 64, 256, 512}, {32, 32, 128, 128}};
    static Routine<ZEM_Complex16> trsm_leaf(Case c)
    {
        if (!c.left)
            return c.op == 'N' ? _ZEM_BLAS_ztrsmrn : _ZEM_BLAS_ztrsmrt;
        if (c.op != 'N')
            return _ZEM_BLAS_ztrsmlt;
        return c.upper ? _ZEM_BLAS_ztrsmlun : _ZEM_BLAS_ztrsmlln;
    }
    static Routine<ZEM_Complex16> trmm_leaf(Case c)
    {
        if (c.left)
            return c.op == 'N' ? _ZEM_BLAS_ztrmln : c.op == 'T' ? _ZEM_BLAS_ztrmlt : _ZEM_BLAS_ztrmlc;
        return c.op == 'N' ? _ZEM_BLAS_ztrmrn : c.op == 'T' ? _ZEM_BLAS_ztrmrt : _ZEM_BLAS_ztrmrc;
    }
};

/* The operator letter of a call: 'N', 'T', or (complex only) 'C'. */
template <class T>
inline char op_letter(const char *transa)
{
    if (_ZEM_SERV_lsame(transa, "N"))
        return 'N';
    if (zem_kernel::element<T>::is_complex && !_ZEM_SERV_lsame(transa, "T"))
        return 'C';
    return 'T';
}

inline ptrdiff_t ld_of(const int *ld)
{
    return *ld < 0 ? 0 : (ptrdiff_t)*ld;
}

/* B(0:m-1, 0:n-1) := 0, A not read. */
template <class T>
void zero(ptrdiff_t m, ptrdiff_t n, T *b, ptrdiff_t ldb)
{
    for (ptrdiff_t j = 0; j < n; ++j)
        for (ptrdiff_t i = 0; i < m; ++i)
            b[i + j * ldb] = T{};
}

/* A real scalar as a value of the element type. */
template <class T>
inline T scalar(double v)
{
    return (T)v;
}
template <>
inline ZEM_Complex8 scalar<ZEM_Complex8>(double v)
{
    return ZEM_Complex8{(float)v, 0.0f};
}
template <>
inline ZEM_Complex16 scalar<ZEM_Complex16>(double v)
{
    return ZEM_Complex16{v, 0.0};
}

/* The fixed options of one call, read once by the serial driver. */
template <class T>
struct Call {
    const char *side, *uplo, *transa, *diag;
    const int *lda, *ldb;
    ptrdiff_t la, lb;
    bool left;
    bool upper; /* op(A) upper triangular */
    char op;
    Routine<T> leaf;

    Call(const char *side_, const char *uplo_, const char *transa_, const char *diag_, const int *lda_,
         const int *ldb_)
        : side(side_), uplo(uplo_), transa(transa_), diag(diag_), lda(lda_), ldb(ldb_), la(ld_of(lda_)),
          lb(ld_of(ldb_)), left(_ZEM_SERV_lsame(side_, "L") != 0), op(op_letter<T>(transa_)), leaf(nullptr)
    {
        upper = (_ZEM_SERV_lsame(uplo_, "U") != 0) == (op == 'N');
    }
    /* op(A)(r, k) relative to the block whose top-left element is at base */
    const T *opa(const T *base, ptrdiff_t r, ptrdiff_t k) const
    {
        return op == 'N' ? base + r + k * la : base + k + r * la;
    }
};

/* C := C + alpha op_a(A) op_b(B) through the serial gemm driver (m x n,
 * depth k); nothing when a size is zero. */
template <class T>
void couple(char ta, char tb, ptrdiff_t m, ptrdiff_t n, ptrdiff_t k, const T &alpha, const T *a, const int *lda,
            const T *b, const int *ldb, T *c, const int *ldc)
{
    if (m <= 0 || n <= 0 || k <= 0)
        return;
    const int mm = (int)m, nn = (int)n, kk = (int)k;
    const T one = scalar<T>(1);
    Plan<T>::gemm(&ta, &tb, &mm, &nn, &kk, &alpha, a, lda, b, ldb, &one, c, ldc);
}

/* The solve and product of the leaves, for every case; the named leaves
 * are thin wrappers. */
template <class T>
void leaf_solve(const char *side, const char *uplo, const char *transa, const char *diag, const int *m, const int *n,
                const T *a, const int *lda, T *b, const int *ldb);
template <class T>
void leaf_multiply(const char *side, const char *uplo, const char *transa, const char *diag, const int *m,
                   const int *n, const T *alpha, const T *a, const int *lda, T *b, const int *ldb);

} // namespace zem_tri3

#endif
