// Products with symmetric, Hermitian and general band matrices:
// y := alpha·A·x + beta·y for ?symv, ?hemv (full storage), ?sbmv, ?hbmv
// (band), ?spmv, ?hpmv (packed) and ?gbmv. Only the stored triangle or
// band is read; Hermitian diagonals count by their real parts.
#include <type_traits>

#include "blas/kernel/default/level2/triangular.h"

namespace zem_l2 {
namespace {

template <class T, bool HERM>
inline typename element<T>::value diag_value(const T &d)
{
    typename element<T>::value v = element<T>::load(d);
    return HERM ? real_part(v) : v;
}

// The column loop over any storage (s.at(i, j) of the stored triangle, s.k
// off-diagonals); x and y at their element 1.
template <class T, bool HERM, class S>
void sym_mv(bool up, ptrdiff_t n, typename element<T>::value alpha, const S &s, const T *x, ptrdiff_t ix, T *y,
            ptrdiff_t iy)
{
    typedef element<T> E;
    typedef typename E::value V;
    const ptrdiff_t k = s.k;
    for (ptrdiff_t j = 0; j < n; ++j) {
        const V t1 = alpha * E::load(x[j * ix]);
        V t2{};
        T &yj = y[j * iy];
        if (up) {
            for (ptrdiff_t i = j > k ? j - k : 0; i < j; ++i) {
                const V aij = E::load(s.at(i, j));
                E::store(y[i * iy], E::load(y[i * iy]) + t1 * aij);
                t2 = t2 + cj<HERM>(aij) * E::load(x[i * ix]);
            }
            E::store(yj, (E::load(yj) + t1 * diag_value<T, HERM>(s.at(j, j))) + alpha * t2);
        } else {
            E::store(yj, E::load(yj) + t1 * diag_value<T, HERM>(s.at(j, j)));
            for (ptrdiff_t i = j + 1, hi = (n - 1 - j > k ? j + k : n - 1); i <= hi; ++i) {
                const V aij = E::load(s.at(i, j));
                E::store(y[i * iy], E::load(y[i * iy]) + t1 * aij);
                t2 = t2 + cj<HERM>(aij) * E::load(x[i * ix]);
            }
            E::store(yj, E::load(yj) + alpha * t2);
        }
    }
}

// The gemv block kernels on unit increments, N, T and C (real data: T for
// C), for the rectangle beside a group's diagonal triangle; double
// precision keeps its own two-pass loop, already at the x87 unit's pace.
template <class T>
struct rect_kernels;
#define ZEM_RECT(T, p, c) \
    template <>           \
    struct rect_kernels<T> { static constexpr void (*k[3]) ZEM_P_GEMV(T, T) = {p##noo, p##too, p##c##oo}; };
ZEM_RECT(float, _ZEM_BLAS_sgemv, t)
ZEM_RECT(ZEM_Complex8, _ZEM_BLAS_cgemv, c)
ZEM_RECT(ZEM_Complex16, _ZEM_BLAS_zgemv, c)
#undef ZEM_RECT

// Full storage with unit increments: four columns at a time. The rows
// outside the group's 4-by-4 diagonal triangle take one pass that updates
// y once for all four columns and one that forms the four column sums (for
// s, c and z the gemv block kernels, which add alpha times the sums to y
// at once); the small triangle then follows the column loop.
template <class T, bool HERM>
void symv_unit(bool up, ptrdiff_t n, typename element<T>::value alpha, const T *a, ptrdiff_t lda, const T *x, T *y)
{
    T alpha_t;
    element<T>::store(alpha_t, alpha); // alpha came in as a T: exact
    typedef element<T> E;
    typedef typename E::value V;
    const ptrdiff_t n4 = n / 4 * 4;
    for (ptrdiff_t j0 = 0; j0 < n4; j0 += 4) {
        const T *c0 = a + j0 * lda, *c1 = c0 + lda, *c2 = c1 + lda, *c3 = c2 + lda;
        const V t0 = alpha * E::load(x[j0]), t1 = alpha * E::load(x[j0 + 1]), t2 = alpha * E::load(x[j0 + 2]),
                t3 = alpha * E::load(x[j0 + 3]);
        // The multipliers of the rectangle pass, held in the element type:
        // with the four sums, x(i) and y(i) they would overflow the eight
        // x87 registers; in memory they are direct operands.
        T m0, m1, m2, m3;
        E::store(m0, t0);
        E::store(m1, t1);
        E::store(m2, t2);
        E::store(m3, t3);
        V s0{}, s1{}, s2{}, s3{};
        const ptrdiff_t r0 = up ? 0 : j0 + 4, r1 = up ? j0 : n;
        if constexpr (!std::is_same<T, double>::value) {
            if (r1 > r0) {
                // lda and the row count fit in int: they came from the caller's n and lda
                const int rows = (int)(r1 - r0), four = 4, ld = (int)lda, one = 1;
                const auto *k = rect_kernels<T>::k;
                k[0]("N", &rows, &four, &alpha_t, c0 + r0, &ld, x + j0, &one, &alpha_t, y + r0, &one);
                k[HERM ? 2 : 1]("T", &rows, &four, &alpha_t, c0 + r0, &ld, x + r0, &one, &alpha_t, y + j0, &one);
            }
        } else {
            // Two passes over the rows, the second finding the columns in
            // cache: each keeps few values live (the x87 stack has eight
            // places).
            for (ptrdiff_t i = r0; i < r1; ++i)
                E::store(y[i], (((E::load(y[i]) + E::load(m0) * E::load(c0[i])) + E::load(m1) * E::load(c1[i])) +
                             E::load(m2) * E::load(c2[i])) +
                                E::load(m3) * E::load(c3[i]));
            for (ptrdiff_t i = r0; i < r1; ++i) {
                const V xi = E::load(x[i]);
                s0 = s0 + cj<HERM>(E::load(c0[i])) * xi;
                s1 = s1 + cj<HERM>(E::load(c1[i])) * xi;
                s2 = s2 + cj<HERM>(E::load(c2[i])) * xi;
                s3 = s3 + cj<HERM>(E::load(c3[i])) * xi;
            }
        }
        V t[4] = {t0, t1, t2, t3}, s[4] = {s0, s1, s2, s3};
        for (int c = 0; c < 4; ++c) {
            const ptrdiff_t j = j0 + c;
            const T *col = a + j * lda;
            if (up) {
                for (ptrdiff_t i = j0; i < j; ++i) {
                    const V aij = E::load(col[i]);
                    E::store(y[i], E::load(y[i]) + t[c] * aij);
                    s[c] = s[c] + cj<HERM>(aij) * E::load(x[i]);
                }
                E::store(y[j], (E::load(y[j]) + t[c] * diag_value<T, HERM>(col[j])) + alpha * s[c]);
            } else {
                E::store(y[j], E::load(y[j]) + t[c] * diag_value<T, HERM>(col[j]));
                for (ptrdiff_t i = j + 1; i < j0 + 4; ++i) {
                    const V aij = E::load(col[i]);
                    E::store(y[i], E::load(y[i]) + t[c] * aij);
                    s[c] = s[c] + cj<HERM>(aij) * E::load(x[i]);
                }
            }
        }
        if (!up)
            for (int c = 0; c < 4; ++c)
                E::store(y[j0 + c], E::load(y[j0 + c]) + alpha * s[c]);
    }
    // The last n mod 4 columns one by one.
    for (ptrdiff_t j = n4; j < n; ++j) {
        const T *col = a + j * lda;
        const V t1 = alpha * E::load(x[j]);
        V t2{};
        if (up) {
            for (ptrdiff_t i = 0; i < j; ++i) {
                const V aij = E::load(col[i]);
                E::store(y[i], E::load(y[i]) + t1 * aij);
                t2 = t2 + cj<HERM>(aij) * E::load(x[i]);
            }
            E::store(y[j], (E::load(y[j]) + t1 * diag_value<T, HERM>(col[j])) + alpha * t2);
        } else {
            E::store(y[j], E::load(y[j]) + t1 * diag_value<T, HERM>(col[j]));
            for (ptrdiff_t i = j + 1; i < n; ++i) {
                const V aij = E::load(col[i]);
                E::store(y[i], E::load(y[i]) + t1 * aij);
                t2 = t2 + cj<HERM>(aij) * E::load(x[i]);
            }
            E::store(y[j], E::load(y[j]) + alpha * t2);
        }
    }
}

// n = 0 returns; alpha = 0 with beta = 1 returns; y := beta·y; alpha = 0
// returns. Returns true when the product itself remains to be added.
template <class T>
bool prepare_y(ptrdiff_t leny, const T *alpha, const T *beta, T *y, int incy)
{
    const bool alpha0 = is_zero(element<T>::load(*alpha));
    if (alpha0 && is_one(*beta))
        return false;
    scale_y(leny, beta, y, incy);
    return !alpha0;
}

template <class T, bool HERM>
void symv(const char *uplo, const int *n, const T *alpha, const T *a, const int *lda, const T *x, const int *incx,
          const T *beta, T *y, const int *incy)
{
    const ptrdiff_t nn = *n;
    if (nn <= 0 || !prepare_y(nn, alpha, beta, y, *incy))
        return;
    const bool up = is_upper(uplo);
    const typename element<T>::value al = element<T>::load(*alpha);
    if (*incx == 1 && *incy == 1) {
        symv_unit<T, HERM>(up, nn, al, a, *lda, x, y);
        return;
    }
    full_store<T> s = {a, *lda, nn - 1};
    sym_mv<T, HERM>(up, nn, al, s, x + first_offset(nn, *incx), *incx, y + first_offset(nn, *incy), *incy);
}

template <class T, bool HERM>
void sbmv(const char *uplo, const int *n, const int *k, const T *alpha, const T *a, const int *lda, const T *x,
          const int *incx, const T *beta, T *y, const int *incy)
{
    const ptrdiff_t nn = *n;
    if (nn <= 0 || !prepare_y(nn, alpha, beta, y, *incy))
        return;
    const typename element<T>::value al = element<T>::load(*alpha);
    const T *x1 = x + first_offset(nn, *incx);
    T *y1 = y + first_offset(nn, *incy);
    if (is_upper(uplo))
        sym_mv<T, HERM>(true, nn, al, band_store<T, true>{a, *lda, *k}, x1, *incx, y1, *incy);
    else
        sym_mv<T, HERM>(false, nn, al, band_store<T, false>{a, *lda, *k}, x1, *incx, y1, *incy);
}

template <class T, bool HERM>
void spmv(const char *uplo, const int *n, const T *alpha, const T *ap, const T *x, const int *incx, const T *beta,
          T *y, const int *incy)
{
    const ptrdiff_t nn = *n;
    if (nn <= 0 || !prepare_y(nn, alpha, beta, y, *incy))
        return;
    const typename element<T>::value al = element<T>::load(*alpha);
    const T *x1 = x + first_offset(nn, *incx);
    T *y1 = y + first_offset(nn, *incy);
    if (is_upper(uplo))
        sym_mv<T, HERM>(true, nn, al, packed_store<T, true>{ap, nn, nn - 1}, x1, *incx, y1, *incy);
    else
        sym_mv<T, HERM>(false, nn, al, packed_store<T, false>{ap, nn, nn - 1}, x1, *incx, y1, *incy);
}

// y := alpha·op(A)·x + beta·y for an m-by-n band matrix with kl sub- and
// ku super-diagonals; a(i,j) sits in band row ku + i - j of column j.
template <class T>
void gbmv(const char *trans, const int *m, const int *n, const int *kl, const int *ku, const T *alpha, const T *a,
          const int *lda, const T *x, const int *incx, const T *beta, T *y, const int *incy)
{
    typedef element<T> E;
    typedef typename E::value V;
    const ptrdiff_t mm = *m, nn = *n;
    if (mm <= 0 || nn <= 0)
        return;
    const bool notr = _ZEM_SERV_lsame(trans, "N") != 0;
    const bool cjt = E::is_complex && _ZEM_SERV_lsame(trans, "C") != 0;
    const ptrdiff_t lenx = notr ? nn : mm, leny = notr ? mm : nn;
    if (!prepare_y(leny, alpha, beta, y, *incy))
        return;
    const V al = E::load(*alpha);
    const ptrdiff_t ld = *lda, l = *kl, u = *ku, ix = *incx, iy = *incy;
    const T *x1 = x + first_offset(lenx, *incx);
    T *y1 = y + first_offset(leny, *incy);
    for (ptrdiff_t j = 0; j < nn; ++j) {
        const ptrdiff_t i0 = j > u ? j - u : 0, i1 = (j + l < mm - 1) ? j + l : mm - 1;
        const T *col = a + j * ld + u - j; // col[i] is a(i,j)
        if (notr) {
            const V t = al * E::load(x1[j * ix]);
            for (ptrdiff_t i = i0; i <= i1; ++i)
                E::store(y1[i * iy], E::load(y1[i * iy]) + t * E::load(col[i]));
        } else {
            V t{};
            if (cjt)
                for (ptrdiff_t i = i0; i <= i1; ++i)
                    t = t + conj(E::load(col[i])) * E::load(x1[i * ix]);
            else
                for (ptrdiff_t i = i0; i <= i1; ++i)
                    t = t + E::load(col[i]) * E::load(x1[i * ix]);
            E::store(y1[j * iy], E::load(y1[j * iy]) + al * t);
        }
    }
}

} // namespace
} // namespace zem_l2

using namespace zem_l2;

#define ZEM_L2_SYMV(sy, sb, sp, T, R, HERM)                                                          \
    extern "C" ZEM_API void _ZEM_BLAS_##sy ZEM_P_SYMV(T, R)                                          \
    {                                                                                                \
        symv<T, HERM>(uplo, n, alpha, a, lda, x, incx, beta, y, incy);                               \
    }                                                                                                \
    extern "C" ZEM_API void _ZEM_BLAS_##sb ZEM_P_SBMV(T, R)                                          \
    {                                                                                                \
        sbmv<T, HERM>(uplo, n, k, alpha, a, lda, x, incx, beta, y, incy);                            \
    }                                                                                                \
    extern "C" ZEM_API void _ZEM_BLAS_##sp ZEM_P_SPMV(T, R)                                          \
    {                                                                                                \
        spmv<T, HERM>(uplo, n, alpha, ap, x, incx, beta, y, incy);                                   \
    }

ZEM_L2_SYMV(ssymv, ssbmv, sspmv, float, float, false)
ZEM_L2_SYMV(dsymv, dsbmv, dspmv, double, double, false)
ZEM_L2_SYMV(chemv, chbmv, chpmv, ZEM_Complex8, float, true)
ZEM_L2_SYMV(zhemv, zhbmv, zhpmv, ZEM_Complex16, double, true)

#define ZEM_L2_GBMV(p, T, R)                                                                         \
    extern "C" ZEM_API void _ZEM_BLAS_##p##gbmv ZEM_P_GBMV(T, R)                                     \
    {                                                                                                \
        gbmv<T>(trans, m, n, kl, ku, alpha, a, lda, x, incx, beta, y, incy);                         \
    }
ZEM_L2_GBMV(s, float, float)
ZEM_L2_GBMV(d, double, double)
ZEM_L2_GBMV(c, ZEM_Complex8, float)
ZEM_L2_GBMV(z, ZEM_Complex16, double)
