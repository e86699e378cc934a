// Symmetric and Hermitian rank-1 and rank-2 updates in full and packed
// storage (?syr, ?spr, ?her, ?hpr, ?syr2, ?spr2, ?her2, ?hpr2), column by
// column over the stored triangle. Hermitian diagonals stay real: their
// imaginary parts are set to zero, as the Hermitian definitions ask.
#include <type_traits>

#include "blas/kernel/default/level2/level2.h"

namespace zem_l2 {
namespace {

// Column j of the stored triangle, as a pointer to its element in row i0
// (0 for upper, j for lower), the following rows consecutive.
template <class T>
struct full_cols {
    T *a;
    ptrdiff_t lda;
    T *col(ptrdiff_t j, ptrdiff_t i0) const { return a + i0 + j * lda; }
};
template <class T, bool UP>
struct packed_cols {
    T *a;
    ptrdiff_t n;
    T *col(ptrdiff_t j, ptrdiff_t i0) const
    {
        return UP ? a + i0 + j * (j + 1) / 2 : a + (i0 - j) + j * n - j * (j - 1) / 2;
    }
};

// c(i) += x(i)·t for len rows. Unit increments run contiguously with a
// prefetch every fourth element.
template <class T>
void col1(T *c, ptrdiff_t len, const T *x, ptrdiff_t inc, typename element<T>::value t)
{
    typedef element<T> E;
    if constexpr (std::is_same<T, float>::value || std::is_same<T, ZEM_Complex8>::value) {
        if (inc == 1) {
            const ptrdiff_t done = update_sse<T, false>(c, len, x, x, t, t);
            c += done, x += done, len -= done;
        }
    }
    if (inc == 1) {
        for (ptrdiff_t i = 0; i < len; ++i) {
            if ((i & 3) == 0)
                prefetch(c, i + 16);
            E::store(c[i], E::load(c[i]) + E::load(x[i]) * t);
        }
    } else {
        for (ptrdiff_t i = 0; i < len; ++i)
            E::store(c[i], E::load(c[i]) + E::load(x[i * inc]) * t);
    }
}

// c(i) += x(i)·t1 + y(i)·t2 for len rows.
template <class T>
void col2(T *c, ptrdiff_t len, const T *x, ptrdiff_t ix, const T *y, ptrdiff_t iy, typename element<T>::value t1,
          typename element<T>::value t2)
{
    typedef element<T> E;
    if constexpr (std::is_same<T, float>::value || std::is_same<T, ZEM_Complex8>::value) {
        if (ix == 1 && iy == 1) {
            const ptrdiff_t done = update_sse<T, true>(c, len, x, y, t1, t2);
            c += done, x += done, y += done, len -= done;
        }
    }
    if constexpr (std::is_same<T, ZEM_Complex16>::value) {
        if (ix == 1 && iy == 1) {
            const xreal t[4] = {t1.re, t1.im, t2.re, t2.im};
            zaxpy2_x87(c, len, x, y, t);
            return;
        }
    }
    if (ix == 1 && iy == 1) {
        for (ptrdiff_t i = 0; i < len; ++i) {
            if ((i & 3) == 0)
                prefetch(c, i + 16);
            E::store(c[i], (E::load(c[i]) + E::load(x[i]) * t1) + E::load(y[i]) * t2);
        }
    } else {
        for (ptrdiff_t i = 0; i < len; ++i)
            E::store(c[i], (E::load(c[i]) + E::load(x[i * ix]) * t1) + E::load(y[i * iy]) * t2);
    }
}

// A := alpha·x·x' + A; HERM: A := alpha·x·x^H + A with a real alpha.
// x at its element 1.
template <class T, bool HERM, class S>
void rank1(bool up, ptrdiff_t n, typename element<T>::work alpha, const T *x, ptrdiff_t inc, const S &s)
{
    typedef element<T> E;
    typedef typename E::value V;
    for (ptrdiff_t j = 0; j < n; ++j) {
        const V xj = E::load(x[j * inc]);
        const ptrdiff_t i0 = up ? 0 : j;
        T *c = s.col(j, i0), &d = c[j - i0];
        if (!is_zero(xj)) {
            const V t = cj<HERM>(xj) * alpha;
            if (!HERM) {
                col1(c, up ? j + 1 : n - j, x + i0 * inc, inc, t);
            } else {
                if (up)
                    col1(c, j, x, inc, t);
                else
                    col1(c + 1, n - j - 1, x + (j + 1) * inc, inc, t);
                E::store(d, real_part(E::load(d)) + real_part(xj * t));
            }
        } else if (HERM) {
            E::store(d, real_part(E::load(d)));
        }
    }
}

// A := alpha·x·y' + alpha·y·x' + A; HERM: alpha·x·y^H + conj(alpha)·y·x^H.
template <class T, bool HERM, class S>
void rank2(bool up, ptrdiff_t n, typename element<T>::value alpha, const T *x, ptrdiff_t ix, const T *y, ptrdiff_t iy,
           const S &s)
{
    typedef element<T> E;
    typedef typename E::value V;
    for (ptrdiff_t j = 0; j < n; ++j) {
        const V xj = E::load(x[j * ix]), yj = E::load(y[j * iy]);
        const ptrdiff_t i0 = up ? 0 : j;
        T *c = s.col(j, i0), &d = c[j - i0];
        if (!is_zero(xj) || !is_zero(yj)) {
            const V t1 = alpha * cj<HERM>(yj);
            const V t2 = cj<HERM>(alpha * xj);
            if (!HERM) {
                col2(c, up ? j + 1 : n - j, x + i0 * ix, ix, y + i0 * iy, iy, t1, t2);
            } else {
                if (up)
                    col2(c, j, x, ix, y, iy, t1, t2);
                else
                    col2(c + 1, n - j - 1, x + (j + 1) * ix, ix, y + (j + 1) * iy, iy, t1, t2);
                E::store(d, real_part(E::load(d)) + real_part(xj * t1 + yj * t2));
            }
        } else if (HERM) {
            E::store(d, real_part(E::load(d)));
        }
    }
}

template <class T, bool HERM>
void syr(const char *uplo, const int *n, const typename element<T>::comp *alpha, const T *x, const int *incx, T *a,
         const int *lda)
{
    const ptrdiff_t nn = *n;
    const typename element<T>::work al = *alpha;
    if (nn <= 0 || al == 0)
        return;
    full_cols<T> s = {a, *lda};
    rank1<T, HERM>(is_upper(uplo), nn, al, x + first_offset(nn, *incx), *incx, s);
}

template <class T, bool HERM>
void spr(const char *uplo, const int *n, const typename element<T>::comp *alpha, const T *x, const int *incx, T *ap)
{
    const ptrdiff_t nn = *n;
    const typename element<T>::work al = *alpha;
    if (nn <= 0 || al == 0)
        return;
    const T *x1 = x + first_offset(nn, *incx);
    if (is_upper(uplo))
        rank1<T, HERM>(true, nn, al, x1, *incx, packed_cols<T, true>{ap, nn});
    else
        rank1<T, HERM>(false, nn, al, x1, *incx, packed_cols<T, false>{ap, nn});
}

template <class T, bool HERM>
void syr2(const char *uplo, const int *n, const T *alpha, const T *x, const int *incx, const T *y,
          const int *incy, T *a, const int *lda)
{
    const ptrdiff_t nn = *n;
    const typename element<T>::value al = element<T>::load(*alpha);
    if (nn <= 0 || is_zero(al))
        return;
    full_cols<T> s = {a, *lda};
    rank2<T, HERM>(is_upper(uplo), nn, al, x + first_offset(nn, *incx), *incx, y + first_offset(nn, *incy), *incy, s);
}

template <class T, bool HERM>
void spr2(const char *uplo, const int *n, const T *alpha, const T *x, const int *incx, const T *y,
          const int *incy, T *ap)
{
    const ptrdiff_t nn = *n;
    const typename element<T>::value al = element<T>::load(*alpha);
    if (nn <= 0 || is_zero(al))
        return;
    const T *x1 = x + first_offset(nn, *incx), *y1 = y + first_offset(nn, *incy);
    if (is_upper(uplo))
        rank2<T, HERM>(true, nn, al, x1, *incx, y1, *incy, packed_cols<T, true>{ap, nn});
    else
        rank2<T, HERM>(false, nn, al, x1, *incx, y1, *incy, packed_cols<T, false>{ap, nn});
}

} // namespace
} // namespace zem_l2

using namespace zem_l2;

#define ZEM_L2_RANK(r1, p1, r2, p2, T, R, HERM)                                                        \
    extern "C" ZEM_API void _ZEM_BLAS_##r1 ZEM_P_SYR(T, R) { syr<T, HERM>(uplo, n, alpha, x, incx, a, lda); } \
    extern "C" ZEM_API void _ZEM_BLAS_##p1 ZEM_P_SPR(T, R) { spr<T, HERM>(uplo, n, alpha, x, incx, ap); }    \
    extern "C" ZEM_API void _ZEM_BLAS_##r2 ZEM_P_SYR2(T, R)                                                \
    {                                                                                                      \
        syr2<T, HERM>(uplo, n, alpha, x, incx, y, incy, a, lda);                                           \
    }                                                                                                      \
    extern "C" ZEM_API void _ZEM_BLAS_##p2 ZEM_P_SPR2(T, R)                                                \
    {                                                                                                      \
        spr2<T, HERM>(uplo, n, alpha, x, incx, y, incy, ap);                                               \
    }

ZEM_L2_RANK(ssyr, sspr, ssyr2, sspr2, float, float, false)
ZEM_L2_RANK(dsyr, dspr, dsyr2, dspr2, double, double, false)
ZEM_L2_RANK(cher, chpr, cher2, chpr2, ZEM_Complex8, float, true)
ZEM_L2_RANK(zher, zhpr, zher2, zhpr2, ZEM_Complex16, double, true)
