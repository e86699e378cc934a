// Matrix-vector kernels: element arithmetic shared by every level-2
// routine, and the internal kernels that the level-2 drivers call.
//
// Double-precision data (d, z) are computed in the x87 extended format
// (long double) and rounded when stored; single-precision data (s, c) in
// single precision. Complex values are carried as (re, im) pairs of the
// computing type.
#ifndef ZEM_BLAS_LEVEL2_H
#define ZEM_BLAS_LEVEL2_H

#include <stddef.h>
#include <string.h>
#include <xmmintrin.h>

#include "blas/interface/entry.h"
#include "blas/kernel/default/element.h"

extern "C" {

// ---- gemv block and remainder kernels -----------------------------------
// Argument list of ?gemv. m is the number of rows of the block (64 for the
// block kernels, any count for the remainder kernel ?gemvpst); a points at
// the block's first row. x and y point at the first element the kernel
// uses (for a negative increment: the far end of the caller's vector) and
// are stepped by incx and incy. beta is ignored: the driver has applied it.
// The oo kernels assume incx = incy = 1; trans is read by ?gemvpst only.
#define ZEM_L2_GEMV_KERNEL(name, T) ZEM_API void name ZEM_P_GEMV(T, T);
ZEM_L2_GEMV_KERNEL(_ZEM_BLAS_sgemvnoo, float)
ZEM_L2_GEMV_KERNEL(_ZEM_BLAS_sgemvnaa, float)
ZEM_L2_GEMV_KERNEL(_ZEM_BLAS_sgemvtoo, float)
ZEM_L2_GEMV_KERNEL(_ZEM_BLAS_sgemvtaa, float)
ZEM_L2_GEMV_KERNEL(_ZEM_BLAS_sgemvpst, float)
ZEM_L2_GEMV_KERNEL(_ZEM_BLAS_dgemvnoo, double)
ZEM_L2_GEMV_KERNEL(_ZEM_BLAS_dgemvnoo_def, double)
ZEM_L2_GEMV_KERNEL(_ZEM_BLAS_dgemvnaa, double)
ZEM_L2_GEMV_KERNEL(_ZEM_BLAS_dgemvtoo, double)
ZEM_L2_GEMV_KERNEL(_ZEM_BLAS_dgemvtoo_def, double)
ZEM_L2_GEMV_KERNEL(_ZEM_BLAS_dgemvtaa, double)
ZEM_L2_GEMV_KERNEL(_ZEM_BLAS_dgemvpst, double)
ZEM_L2_GEMV_KERNEL(_ZEM_BLAS_cgemvnoo, ZEM_Complex8)
ZEM_L2_GEMV_KERNEL(_ZEM_BLAS_cgemvnaa, ZEM_Complex8)
ZEM_L2_GEMV_KERNEL(_ZEM_BLAS_cgemvtoo, ZEM_Complex8)
ZEM_L2_GEMV_KERNEL(_ZEM_BLAS_cgemvtaa, ZEM_Complex8)
ZEM_L2_GEMV_KERNEL(_ZEM_BLAS_cgemvcoo, ZEM_Complex8)
ZEM_L2_GEMV_KERNEL(_ZEM_BLAS_cgemvcaa, ZEM_Complex8)
ZEM_L2_GEMV_KERNEL(_ZEM_BLAS_cgemvpst, ZEM_Complex8)
ZEM_L2_GEMV_KERNEL(_ZEM_BLAS_zgemvnoo, ZEM_Complex16)
ZEM_L2_GEMV_KERNEL(_ZEM_BLAS_zgemvnaa, ZEM_Complex16)
ZEM_L2_GEMV_KERNEL(_ZEM_BLAS_zgemvtoo, ZEM_Complex16)
ZEM_L2_GEMV_KERNEL(_ZEM_BLAS_zgemvtaa, ZEM_Complex16)
ZEM_L2_GEMV_KERNEL(_ZEM_BLAS_zgemvcoo, ZEM_Complex16)
ZEM_L2_GEMV_KERNEL(_ZEM_BLAS_zgemvcaa, ZEM_Complex16)
ZEM_L2_GEMV_KERNEL(_ZEM_BLAS_zgemvpst, ZEM_Complex16)
#undef ZEM_L2_GEMV_KERNEL

// ---- unblocked triangular kernels ---------------------------------------
// _ZEM_BLAS_?trsv_<uplo><trans><diag>: solves op(A)·x = b in place for the
// n-by-n triangle of A (one diagonal block of the blocked solve).
// x points at the first element used (the far end for a negative incx).
#define ZEM_L2_TRSV_KERNEL(p, v, T) \
    ZEM_API void _ZEM_BLAS_##p##trsv_##v(const int *n, const T *a, const int *lda, T *x, const int *incx);
#define ZEM_L2_TRSV_REAL(p, T)                                                                    \
    ZEM_L2_TRSV_KERNEL(p, unn, T) ZEM_L2_TRSV_KERNEL(p, unu, T) ZEM_L2_TRSV_KERNEL(p, utn, T)     \
    ZEM_L2_TRSV_KERNEL(p, utu, T) ZEM_L2_TRSV_KERNEL(p, lnn, T) ZEM_L2_TRSV_KERNEL(p, lnu, T)     \
    ZEM_L2_TRSV_KERNEL(p, ltn, T) ZEM_L2_TRSV_KERNEL(p, ltu, T)
#define ZEM_L2_TRSV_CPLX(p, T) \
    ZEM_L2_TRSV_REAL(p, T)     \
    ZEM_L2_TRSV_KERNEL(p, ucn, T) ZEM_L2_TRSV_KERNEL(p, ucu, T) ZEM_L2_TRSV_KERNEL(p, lcn, T) ZEM_L2_TRSV_KERNEL(p, lcu, T)
ZEM_L2_TRSV_REAL(s, float)
ZEM_L2_TRSV_REAL(d, double)
ZEM_L2_TRSV_CPLX(c, ZEM_Complex8)
ZEM_L2_TRSV_CPLX(z, ZEM_Complex16)
#undef ZEM_L2_TRSV_CPLX
#undef ZEM_L2_TRSV_REAL
#undef ZEM_L2_TRSV_KERNEL

// _ZEM_BLAS_?trmv_in: x := op(T)·x for one diagonal triangle, with the
// argument list of ?trmv; x points at the first element used.
ZEM_API void _ZEM_BLAS_strmv_in ZEM_P_TRMV(float, float);
ZEM_API void _ZEM_BLAS_dtrmv_in ZEM_P_TRMV(double, double);
ZEM_API void _ZEM_BLAS_ctrmv_in ZEM_P_TRMV(ZEM_Complex8, float);
ZEM_API void _ZEM_BLAS_ztrmv_in ZEM_P_TRMV(ZEM_Complex16, double);

// _ZEM_BLAS_?gerin: the column update a(1:m) := a(1:m) + t·x. Returns at
// once when t is zero (either sign); x points at the first element used.
ZEM_API void _ZEM_BLAS_sgerin(const int *m, const float *t, const float *x, const int *incx, float *a);
ZEM_API void _ZEM_BLAS_dgerin(const int *m, const double *t, const double *x, const int *incx, double *a);
ZEM_API void _ZEM_BLAS_cgerin(const int *m, const ZEM_Complex8 *t, const ZEM_Complex8 *x, const int *incx,
                              ZEM_Complex8 *a);
ZEM_API void _ZEM_BLAS_zgerin(const int *m, const ZEM_Complex16 *t, const ZEM_Complex16 *x, const int *incx,
                              ZEM_Complex16 *a);

} // extern "C"

namespace zem_l2 {

using zem_kernel::cv;
using zem_kernel::element;
using zem_kernel::first_offset;
using zem_kernel::is_conjtrans;
using zem_kernel::is_nonunit;
using zem_kernel::is_notrans;
using zem_kernel::is_upper;
using zem_kernel::prefetch;
using zem_kernel::xreal;

// c(i) := (c(i) + x(i)·t1) + y(i)·t2 over m rows of unit-stride double
// complex vectors, in extended precision, each half rounded when stored;
// t = (t1.re, t1.im, t2.re, t2.im). The column update of ?her2/?syr2.
void zaxpy2_x87(ZEM_Complex16 *c, ptrdiff_t m, const ZEM_Complex16 *x, const ZEM_Complex16 *y, const xreal t[4]);
// The double-complex block kernels on the x87 unit, for any row count and
// increments (x and y at the first element used): y += alpha·A·x, and
// y += alpha·op(A)ᵀ·x with op = conj when CJ.
void zgemv_n_x87(ptrdiff_t m, ptrdiff_t n, cv<xreal> alpha, const ZEM_Complex16 *a, ptrdiff_t lda,
                 const ZEM_Complex16 *x, ptrdiff_t incx, ZEM_Complex16 *y, ptrdiff_t incy);
template <bool CJ>
void zgemv_t_x87(ptrdiff_t m, ptrdiff_t n, cv<xreal> alpha, const ZEM_Complex16 *a, ptrdiff_t lda,
                 const ZEM_Complex16 *x, ptrdiff_t incx, ZEM_Complex16 *y, ptrdiff_t incy);

// ---- element arithmetic (values of element<T>::value) ----------------------

static inline float conj(float v) { return v; }
static inline long double conj(long double v) { return v; }
template <class A>
static inline cv<A> conj(cv<A> v) { return {v.re, -v.im}; }

// A NaN counts as not zero.
static inline bool is_zero(float v) { return v == 0; }
static inline bool is_zero(long double v) { return v == 0; }
template <class A>
static inline bool is_zero(cv<A> v) { return v.re == 0 && v.im == 0; }

static inline float real_part(float v) { return v; }
static inline long double real_part(long double v) { return v; }
template <class A>
static inline cv<A> real_part(cv<A> v) { return {v.re, 0}; }

// Quotients in extended precision (its wider exponent range keeps the
// complex quotient free of intermediate overflow), rounded to the type.
static inline float quot(float a, float b) { return (float)((long double)a / (long double)b); }
static inline long double quot(long double a, long double b) { return a / b; }
template <class A>
static inline cv<A> quot(cv<A> a, cv<A> b)
{
    long double ar = a.re, ai = a.im, br = b.re, bi = b.im;
    long double d = br * br + bi * bi;
    if (bi == 0)
        return {(A)(ar / br), (A)(ai / br)};
    return {(A)((ar * br + ai * bi) / d), (A)((ai * br - ar * bi) / d)};
}

// conj when C is true, else the value itself.
template <bool C, class V>
static inline V cj(V v) { return C ? conj(v) : v; }

// Exactly one (real one, or (1, 0)).
template <class T>
static inline bool is_one(const T &v)
{
    return is_zero(element<T>::load(v) - element<T>::one());
}

// y := beta·y over n elements (y at its base, far-end rule), zero when beta
// is zero (NaN and infinity in y are overwritten). Nothing when beta is one.
template <class T>
static inline void scale_y(ptrdiff_t n, const T *beta, T *y, int incy)
{
    typedef element<T> E;
    if (is_one(*beta))
        return;
    typename E::value b = E::load(*beta);
    ptrdiff_t inc = incy;
    T *p = y + first_offset(n, incy);
    if (is_zero(b)) {
        typename E::value zero{};
        for (ptrdiff_t i = 0; i < n; ++i, p += inc)
            E::store(*p, zero);
    } else {
        for (ptrdiff_t i = 0; i < n; ++i, p += inc)
            E::store(*p, b * E::load(*p));
    }
}

// Single precision and single complex on SSE, four floats at a time, unit
// increments: c := c + x·t1 (+ y·t2 when Y) over len elements, the same
// products and sums as an element loop (complex: (xr·tr - xi·ti,
// xi·tr + xr·ti)); returns how many elements it did, the rest being left
// to the caller's element loop. The column update of the rank-1 and
// rank-2 routines.
template <class T, bool Y>
inline ptrdiff_t update_sse(T *c, ptrdiff_t len, const T *x, const T *y, typename element<T>::value t1,
                            typename element<T>::value t2)
{
    typedef element<T> E;
    constexpr int per = E::is_complex ? 2 : 1; // floats per element
    float *cf = (float *)c;
    const float *xf = (const float *)x, *yf = (const float *)y;
    float p1[2], p2[2];
    memcpy(p1, &t1, per * sizeof(float));
    memcpy(p2, &t2, per * sizeof(float));
    const __m128 r1 = _mm_set1_ps(p1[0]), r2 = _mm_set1_ps(p2[0]);
    const __m128 i1 = per == 2 ? _mm_setr_ps(-p1[1], p1[1], -p1[1], p1[1]) : r1;
    const __m128 i2 = per == 2 ? _mm_setr_ps(-p2[1], p2[1], -p2[1], p2[1]) : r2;
    auto prod = [&](__m128 v, __m128 r, __m128 i) {
        return per == 2 ? _mm_add_ps(_mm_mul_ps(v, r), _mm_mul_ps(_mm_shuffle_ps(v, v, _MM_SHUFFLE(2, 3, 0, 1)), i))
                        : _mm_mul_ps(v, r);
    };
    auto step = [&](ptrdiff_t i) {
        __m128 v = _mm_add_ps(_mm_loadu_ps(cf + i), prod(_mm_loadu_ps(xf + i), r1, i1));
        if (Y)
            v = _mm_add_ps(v, prod(_mm_loadu_ps(yf + i), r2, i2));
        _mm_storeu_ps(cf + i, v);
    };
    const ptrdiff_t n = per * len;
    ptrdiff_t i = 0;
    for (; i + 16 <= n; i += 16) { // a cache line of c per iteration
        prefetch(cf, i + 64);
        step(i);
        step(i + 4);
        step(i + 8);
        step(i + 12);
    }
    for (; i + 4 <= n; i += 4)
        step(i);
    return i / per;
}

} // namespace zem_l2

#endif
