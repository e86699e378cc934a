// Unblocked triangular products and solves, x := op(A)·x and
// x := op(A)^-1·x, column by column, for full, band and packed storage.
// Shared by the diagonal-block kernels of ?trmv and ?trsv and by ?tbmv,
// ?tbsv, ?tpmv and ?tpsv. A unit diagonal is never read.
#ifndef ZEM_BLAS_LEVEL2_TRIANGULAR_H
#define ZEM_BLAS_LEVEL2_TRIANGULAR_H

#include "blas/kernel/default/level2/level2.h"

namespace zem_l2 {

// Storage of the triangle: at(i, j) is the element in row i, column j
// (0-based) of the triangle; k is the number of off-diagonals stored (n - 1
// for full and packed storage).
template <class T>
struct full_store {
    const T *a;
    ptrdiff_t lda, k;
    const T &at(ptrdiff_t i, ptrdiff_t j) const { return a[i + j * lda]; }
};
template <class T, bool UP>
struct band_store {
    const T *a;
    ptrdiff_t lda, k;
    // upper: diagonal in band row k; lower: diagonal in band row 0
    const T &at(ptrdiff_t i, ptrdiff_t j) const { return UP ? a[(k + i - j) + j * lda] : a[(i - j) + j * lda]; }
};
template <class T, bool UP>
struct packed_store {
    const T *a;
    ptrdiff_t n, k;
    const T &at(ptrdiff_t i, ptrdiff_t j) const
    {
        return UP ? a[i + j * (j + 1) / 2] : a[(i - j) + j * n - j * (j - 1) / 2];
    }
};

namespace op = zem_kernel::op;

// Base address (far-end rule) of the len elements from element k (0-based)
// of a vector whose element 1 is at x1.
template <class T>
inline T *sub_base(T *x1, ptrdiff_t k, ptrdiff_t len, ptrdiff_t inc)
{
    return x1 + (k + (inc < 0 ? len - 1 : 0)) * inc;
}

// x := op(A)·x. x points at element 1 and is stepped by inc.
template <class T, class S, bool UP, int TR, bool UNIT>
void tri_mv(ptrdiff_t n, const S &s, T *x, ptrdiff_t inc)
{
    typedef element<T> E;
    typedef typename E::value V;
    const bool CJ = TR == op::C;
    const ptrdiff_t k = s.k;
    if (TR == op::N) {
        if (UP) {
            for (ptrdiff_t j = 0; j < n; ++j) {
                T &xj = x[j * inc];
                const V t = E::load(xj);
                if (is_zero(t))
                    continue;
                for (ptrdiff_t i = j > k ? j - k : 0; i < j; ++i)
                    E::store(x[i * inc], E::load(x[i * inc]) + t * E::load(s.at(i, j)));
                if (!UNIT)
                    E::store(xj, t * E::load(s.at(j, j)));
            }
        } else {
            for (ptrdiff_t j = n - 1; j >= 0; --j) {
                T &xj = x[j * inc];
                const V t = E::load(xj);
                if (is_zero(t))
                    continue;
                for (ptrdiff_t i = (n - 1 - j > k ? j + k : n - 1); i > j; --i)
                    E::store(x[i * inc], E::load(x[i * inc]) + t * E::load(s.at(i, j)));
                if (!UNIT)
                    E::store(xj, t * E::load(s.at(j, j)));
            }
        }
    } else {
        if (UP) {
            for (ptrdiff_t j = n - 1; j >= 0; --j) {
                T &xj = x[j * inc];
                V t = E::load(xj);
                if (!UNIT)
                    t = t * cj<CJ>(E::load(s.at(j, j)));
                for (ptrdiff_t i = j - 1, lo = j > k ? j - k : 0; i >= lo; --i)
                    t = t + cj<CJ>(E::load(s.at(i, j))) * E::load(x[i * inc]);
                E::store(xj, t);
            }
        } else {
            for (ptrdiff_t j = 0; j < n; ++j) {
                T &xj = x[j * inc];
                V t = E::load(xj);
                if (!UNIT)
                    t = t * cj<CJ>(E::load(s.at(j, j)));
                for (ptrdiff_t i = j + 1, hi = (n - 1 - j > k ? j + k : n - 1); i <= hi; ++i)
                    t = t + cj<CJ>(E::load(s.at(i, j))) * E::load(x[i * inc]);
                E::store(xj, t);
            }
        }
    }
}

// x := op(A)^-1·x. x points at element 1 and is stepped by inc.
template <class T, class S, bool UP, int TR, bool UNIT>
void tri_sv(ptrdiff_t n, const S &s, T *x, ptrdiff_t inc)
{
    typedef element<T> E;
    typedef typename E::value V;
    const bool CJ = TR == op::C;
    const ptrdiff_t k = s.k;
    if (TR == op::N) {
        if (UP) {
            for (ptrdiff_t j = n - 1; j >= 0; --j) {
                T &xj = x[j * inc];
                V t = E::load(xj);
                if (is_zero(t))
                    continue;
                if (!UNIT) {
                    t = quot(t, E::load(s.at(j, j)));
                    E::store(xj, t);
                    t = E::load(xj);
                }
                for (ptrdiff_t i = j - 1, lo = j > k ? j - k : 0; i >= lo; --i)
                    E::store(x[i * inc], E::load(x[i * inc]) - t * E::load(s.at(i, j)));
            }
        } else {
            for (ptrdiff_t j = 0; j < n; ++j) {
                T &xj = x[j * inc];
                V t = E::load(xj);
                if (is_zero(t))
                    continue;
                if (!UNIT) {
                    t = quot(t, E::load(s.at(j, j)));
                    E::store(xj, t);
                    t = E::load(xj);
                }
                for (ptrdiff_t i = j + 1, hi = (n - 1 - j > k ? j + k : n - 1); i <= hi; ++i)
                    E::store(x[i * inc], E::load(x[i * inc]) - t * E::load(s.at(i, j)));
            }
        }
    } else {
        if (UP) {
            for (ptrdiff_t j = 0; j < n; ++j) {
                T &xj = x[j * inc];
                V t = E::load(xj);
                for (ptrdiff_t i = j > k ? j - k : 0; i < j; ++i)
                    t = t - cj<CJ>(E::load(s.at(i, j))) * E::load(x[i * inc]);
                if (!UNIT)
                    t = quot(t, cj<CJ>(E::load(s.at(j, j))));
                E::store(xj, t);
            }
        } else {
            for (ptrdiff_t j = n - 1; j >= 0; --j) {
                T &xj = x[j * inc];
                V t = E::load(xj);
                for (ptrdiff_t i = (n - 1 - j > k ? j + k : n - 1); i > j; --i)
                    t = t - cj<CJ>(E::load(s.at(i, j))) * E::load(x[i * inc]);
                if (!UNIT)
                    t = quot(t, cj<CJ>(E::load(s.at(j, j))));
                E::store(xj, t);
            }
        }
    }
}

// Runs F<UP, TR, UNIT>::run(args...) for the option letters given:
// 'U'/'u' upper, else lower; 'N'/'n' no transpose, 'C'/'c' conjugate
// transpose (complex only; the transpose for real data), else transpose;
// diag 'N'/'n' non-unit, else unit.
template <template <bool, int, bool> class F, bool CPLX, class... Args>
void tri_dispatch(const char *uplo, const char *trans, const char *diag, Args... args)
{
    const bool up = is_upper(uplo), unit = !is_nonunit(diag);
    const int tr = is_notrans(trans) ? op::N : (CPLX && is_conjtrans(trans)) ? op::C : op::T;
#define ZEM_L2_TRI_CASE(U, R)                     \
    if (up == U && tr == R) {                     \
        if (unit)                                 \
            F<U, R, true>::run(args...);          \
        else                                      \
            F<U, R, false>::run(args...);         \
        return;                                   \
    }
    ZEM_L2_TRI_CASE(true, op::N)
    ZEM_L2_TRI_CASE(true, op::T)
    ZEM_L2_TRI_CASE(false, op::N)
    ZEM_L2_TRI_CASE(false, op::T)
    if (CPLX) {
        ZEM_L2_TRI_CASE(true, op::C)
        ZEM_L2_TRI_CASE(false, op::C)
    }
#undef ZEM_L2_TRI_CASE
}

} // namespace zem_l2

#endif
