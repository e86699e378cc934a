/* The C interface over the Fortran-convention entries: one function
 * template per argument form (level 1, sparse, level 2, level 3). Each
 * takes the C name (for error reports), the unchecked entry
 * _ZEM_BLAS_F77_<ROUTINE> and the caller's arguments with scalars turned
 * into pointers; cblas.cpp instantiates them from zem_cblas.def.
 *
 * Level-2 and level-3 forms check their arguments on every call, report
 * the first bad one through cblas_xerbla and return before anything is
 * touched; otherwise a column-major call goes to the entry as it is and a
 * row-major call is rewritten as the column-major problem on the same
 * storage (a row-major matrix is the transpose of the column-major one).
 */
#ifndef ZEM_CBLAS_FORMS_H
#define ZEM_CBLAS_FORMS_H

#include <stdint.h>
#include <stdlib.h>
#include "zem_cblas.h"
#include "blas/interface/entry.h"
#include "blas/kernel/default/level1/sparse.h"

namespace zem_cb {

enum { RowMajor = 101, ColMajor = 102, NoTrans = 111, Trans = 112, ConjTrans = 113, Upper = 121, Lower = 122,
       NonUnit = 131, Unit = 132, Left = 141, Right = 142 };

template <typename T> struct num { typedef T real; static const bool complex = false; };
template <> struct num<ZEM_Complex8> { typedef float real; static const bool complex = true; };
template <> struct num<ZEM_Complex16> { typedef double real; static const bool complex = true; };

template <typename T> inline T conj(T v) { v.imag = -v.imag; return v; }

inline int max1(int v) { return v > 1 ? v : 1; }
inline bool bad_order(int o) { return o != RowMajor && o != ColMajor; }
inline bool bad_trans(int t) { return t != NoTrans && t != Trans && t != ConjTrans; }
inline bool bad_uplo(int u) { return u != Upper && u != Lower; }
inline bool bad_diag(int d) { return d != NonUnit && d != Unit; }
inline bool bad_side(int s) { return s != Left && s != Right; }

// Option characters of valid enumerations; `flip` gives the other
// triangle or side, as a row-major call needs.
inline const char *trans(int t) { return _ZEM_SERV_ftrans[t - NoTrans]; }
inline const char *uplo(int u, bool flip = false) { return _ZEM_SERV_fuplo[(u - Upper) ^ flip]; }
inline const char *side(int s, bool flip = false) { return _ZEM_SERV_fside[(s - Left) ^ flip]; }
inline const char *diag(int d) { return _ZEM_SERV_fdiag[d - NonUnit]; }

// Reports position `pos` of `name` when it is not 0; true when reported.
inline bool rejected(const char *name, int pos)
{
    if (pos != 0)
        cblas_xerbla(name, pos);
    return pos != 0;
}

// x := conj(x) in place over n elements |inc| apart.
template <typename T>
void conj_in_place(int n, T *x, int inc)
{
    const ptrdiff_t step = inc < 0 ? -static_cast<ptrdiff_t>(inc) : inc;
    for (ptrdiff_t i = 0; i < n; ++i)
        x[i * step].imag = -x[i * step].imag;
}

// Work memory of the conjugation rule: from the library's cache, or from
// the C library where a routine has always taken it from there.
enum class Mem { cache, heap };

// Holds conj(x) with unit increment, element order kept (a negative
// increment starts at the far end), in `count` vectors of n elements.
template <typename T>
struct ConjCopy {
    Mem mem;
    T *buf = nullptr;
    ConjCopy(Mem m) : mem(m) {}
    // False, after reporting, when the memory is not there.
    bool get(const char *name, int n, int count)
    {
        if (n <= 0)
            return true;
        // A size the address space cannot hold counts as a failed request.
        const bool fits = static_cast<size_t>(n) <= SIZE_MAX / (count * sizeof(T));
        const size_t bytes = static_cast<size_t>(n) * count * sizeof(T);
        if (fits)
            buf = static_cast<T *>(mem == Mem::cache ? _ZEM_SERV_allocate(bytes) : malloc(bytes));
        if (buf == nullptr) {
            int condition = 0;
            xerbla_(name, &condition);
            return false;
        }
        return true;
    }
    const T *fill(int which, int n, const T *x, int inc)
    {
        if (n <= 0)
            return x;
        T *dst = buf + static_cast<ptrdiff_t>(which) * n;
        const ptrdiff_t step = inc;
        const T *src = inc < 0 ? x - (n - 1) * step : x;
        for (ptrdiff_t i = 0; i < n; ++i)
            dst[i] = conj(src[i * step]);
        return dst;
    }
    ~ConjCopy()
    {
        if (buf != nullptr)
            mem == Mem::cache ? _ZEM_SERV_deallocate(buf) : free(buf);
    }
};

// y := alpha*conj(B)*x + beta*y computed as
// conj(y) := conj(alpha)*B*conj(x) + conj(beta)*conj(y), `product`
// calling the entry with (alpha', x', 1, beta') on B; nx and ny are the
// lengths of x and y.
template <typename T, typename Product>
void conj_product(const char *name, Mem mem, int nx, const T *x, int incx, int ny, T *y, int incy,
                  const T *alpha, const T *beta, Product product)
{
    ConjCopy<T> work(mem);
    if (!work.get(name, nx, 1))
        return;
    const T *xc = work.fill(0, nx, x, incx);
    const T ca = conj(*alpha), cb = conj(*beta);
    conj_in_place(ny, y, incy);
    product(&ca, xc, &cb);
    conj_in_place(ny, y, incy);
}

/* ---- level 1: no checks; the entry does the work ------------------- */

template <typename T, typename F>
void AXPY(const char *, F f, int n, const T *alpha, const T *x, int incx, T *y, int incy)
{ f(&n, alpha, x, &incx, y, &incy); }
template <typename T, typename F>
void COPY(const char *, F f, int n, const T *x, int incx, T *y, int incy) { f(&n, x, &incx, y, &incy); }
template <typename T, typename F>
void SWAP(const char *, F f, int n, T *x, int incx, T *y, int incy) { f(&n, x, &incx, y, &incy); }
template <typename T, typename F>
void SCAL(const char *, F f, int n, const T *alpha, T *x, int incx) { f(&n, alpha, x, &incx); }
template <typename T, typename F>
void RSCAL(const char *, F f, int n, const typename num<T>::real *alpha, T *x, int incx) { f(&n, alpha, x, &incx); }
template <typename T, typename F>
T DOT(const char *, F f, int n, const T *x, int incx, const T *y, int incy) { return f(&n, x, &incx, y, &incy); }
template <typename T, typename F>
float SDSDOT(const char *, F f, int n, const float *alpha, const float *x, int incx, const float *y, int incy)
{ return f(&n, alpha, x, &incx, y, &incy); }
template <typename T, typename F>
double DSDOT(const char *, F f, int n, const float *x, int incx, const float *y, int incy)
{ return f(&n, x, &incx, y, &incy); }
template <typename T, typename F>
void DOTSUB(const char *, F f, int n, const T *x, int incx, const T *y, int incy, T *dot)
{ f(dot, &n, x, &incx, y, &incy); }
template <typename T, typename F>
typename num<T>::real NORM(const char *, F f, int n, const T *x, int incx) { return f(&n, x, &incx); }
// 0-based; 0 for an empty vector or a non-positive increment.
template <typename T, typename F>
size_t INDEX(const char *, F f, int n, const T *x, int incx)
{
    if (n <= 0 || incx <= 0)
        return 0;
    return static_cast<size_t>(f(&n, x, &incx) - 1);
}
template <typename T, typename F>
void ROT(const char *, F f, int n, T *x, int incx, T *y, int incy, const typename num<T>::real *c,
         const typename num<T>::real *s)
{ f(&n, x, &incx, y, &incy, c, s); }
template <typename T, typename F>
void ROTG(const char *, F f, T *a, T *b, typename num<T>::real *c, T *s) { f(a, b, c, s); }
template <typename T, typename F>
void ROTM(const char *, F f, int n, T *x, int incx, T *y, int incy, const T *p) { f(&n, x, &incx, y, &incy, p); }
template <typename T, typename F>
void ROTMG(const char *, F f, T *d1, T *d2, T *b1, const T *b2, T *p) { f(d1, d2, b1, b2, p); }

/* ---- sparse level 1: computed here, indices from 0 ------------------ */

template <typename T, typename F>
void AXPYI(const char *, F, int n, const T *alpha, const T *x, const int *indx, T *y)
{ zem_l1::sparse::axpyi<0, T>(n, alpha, x, indx, y); }
template <typename T, typename F>
T DOTI(const char *, F, int n, const T *x, const int *indx, const T *y)
{ return zem_l1::sparse::doti<0, T>(n, x, indx, y); }
template <typename T, typename F>
void DOTCI(const char *, F, int n, const T *x, const int *indx, const T *y, T *dot)
{ zem_l1::sparse::dotxi<0, T, true>(dot, n, x, indx, y); }
template <typename T, typename F>
void DOTUI(const char *, F, int n, const T *x, const int *indx, const T *y, T *dot)
{ zem_l1::sparse::dotxi<0, T, false>(dot, n, x, indx, y); }
template <typename T, typename F>
void GTHR(const char *, F, int n, const T *y, T *x, const int *indx) { zem_l1::sparse::gthr<0, T>(n, y, x, indx); }
template <typename T, typename F>
void GTHRZ(const char *, F, int n, T *y, T *x, const int *indx) { zem_l1::sparse::gthrz<0, T>(n, y, x, indx); }
template <typename T, typename F>
void SCTR(const char *, F, int n, const T *x, const int *indx, T *y) { zem_l1::sparse::sctr<0, T>(n, x, indx, y); }
template <typename T, typename F>
void ROTI(const char *, F, int n, T *x, const int *indx, T *y, const T *c, const T *s)
{ zem_l1::sparse::roti<0, T>(n, x, indx, y, c, s); }

/* ---- level 2: the order is checked first ---------------------------- */

// Row-major general matrices: no transpose becomes T, the transposes N;
// a conjugate transpose of complex data is the conjugated matrix.
template <typename T, typename F>
void GEMV(const char *name, F f, int order, int ta, int m, int n, const T *alpha, const T *a, int lda,
          const T *x, int incx, const T *beta, T *y, int incy)
{
    const bool row = order == RowMajor;
    if (rejected(name, bad_order(order) ? 1 : bad_trans(ta) ? 2 : m < 0 ? 3 : n < 0 ? 4
                       : lda < max1(row ? n : m) ? 7 : incx == 0 ? 9 : incy == 0 ? 12 : 0))
        return;
    if (!row)
        return f(trans(ta), &m, &n, alpha, a, &lda, x, &incx, beta, y, &incy);
    if constexpr (num<T>::complex) {
        if (ta == ConjTrans)
            return conj_product(name, Mem::cache, m, x, incx, n, y, incy, alpha, beta,
                                [&](const T *ca, const T *xc, const T *cb) {
                                    const int one = 1;
                                    f(trans(NoTrans), &n, &m, ca, a, &lda, xc, &one, cb, y, &incy);
                                });
    }
    f(trans(ta == NoTrans ? Trans : NoTrans), &n, &m, alpha, a, &lda, x, &incx, beta, y, &incy);
}

template <typename T, typename F>
void GBMV(const char *name, F f, int order, int ta, int m, int n, int kl, int ku, const T *alpha, const T *a,
          int lda, const T *x, int incx, const T *beta, T *y, int incy)
{
    if (rejected(name, bad_order(order) ? 1 : bad_trans(ta) ? 2 : m < 0 ? 3 : n < 0 ? 4 : kl < 0 ? 5
                       : ku < 0 ? 6 : lda < kl + ku + 1 ? 9 : incx == 0 ? 11 : incy == 0 ? 14 : 0))
        return;
    if (order == ColMajor)
        return f(trans(ta), &m, &n, &kl, &ku, alpha, a, &lda, x, &incx, beta, y, &incy);
    if constexpr (num<T>::complex) {
        if (ta == ConjTrans)
            return conj_product(name, Mem::heap, m, x, incx, n, y, incy, alpha, beta,
                                [&](const T *ca, const T *xc, const T *cb) {
                                    const int one = 1;
                                    f(trans(NoTrans), &n, &m, &ku, &kl, ca, a, &lda, xc, &one, cb, y, &incy);
                                });
    }
    f(trans(ta == NoTrans ? Trans : NoTrans), &n, &m, &ku, &kl, alpha, a, &lda, x, &incx, beta, y, &incy);
}

inline int ger_check(int order, int m, int n, int incx, int incy, int lda)
{
    return bad_order(order) ? 1 : m < 0 ? 2 : n < 0 ? 3 : incx == 0 ? 6 : incy == 0 ? 8
           : lda < max1(order == RowMajor ? n : m) ? 10 : 0;
}

// A := alpha*x*y' + A; row-major it is B := alpha*y*x' + B.
template <typename T, typename F>
void GER(const char *name, F f, int order, int m, int n, const T *alpha, const T *x, int incx, const T *y,
         int incy, T *a, int lda)
{
    if (rejected(name, ger_check(order, m, n, incx, incy, lda)))
        return;
    if (order == ColMajor)
        return f(&m, &n, alpha, x, &incx, y, &incy, a, &lda);
    f(&n, &m, alpha, y, &incy, x, &incx, a, &lda);
}

// Row-major A := alpha*x*y^H + A is B := alpha*conj(y)*x^T + B: the
// unconjugated update with a conjugated copy of y.
template <typename T, typename F>
void GERC(const char *name, F f, int order, int m, int n, const T *alpha, const T *x, int incx, const T *y,
          int incy, T *a, int lda)
{
    if (rejected(name, ger_check(order, m, n, incx, incy, lda)))
        return;
    if (order == ColMajor)
        return f(&m, &n, alpha, x, &incx, y, &incy, a, &lda);
    if (m == 0)
        return;
    ConjCopy<T> work(Mem::cache);
    if (!work.get(name, n, 1))
        return;
    const int one = 1;
    // Routed through the unconjugated entry of the same precision.
    if constexpr (sizeof(T) == sizeof(ZEM_Complex8))
        _ZEM_BLAS_F77_CGERU(&n, &m, alpha, work.fill(0, n, y, incy), &one, x, &incx, a, &lda);
    else
        _ZEM_BLAS_F77_ZGERU(&n, &m, alpha, work.fill(0, n, y, incy), &one, x, &incx, a, &lda);
}

// Symmetric and Hermitian matrices in row-major order are the other
// triangle in column-major order; complex data here is Hermitian, whose
// transpose is its conjugate, so the products take the conjugation rule
// and the updates conjugated copies of their vectors.
template <typename T, typename F>
void SYMV(const char *name, F f, int order, int ul, int n, const T *alpha, const T *a, int lda, const T *x,
          int incx, const T *beta, T *y, int incy)
{
    if (rejected(name, bad_order(order) ? 1 : bad_uplo(ul) ? 2 : n < 0 ? 3 : lda < max1(n) ? 6
                       : incx == 0 ? 8 : incy == 0 ? 11 : 0))
        return;
    const bool row = order == RowMajor;
    if constexpr (num<T>::complex) {
        if (row)
            return conj_product(name, Mem::cache, n, x, incx, n, y, incy, alpha, beta,
                                [&](const T *ca, const T *xc, const T *cb) {
                                    const int one = 1;
                                    f(uplo(ul, true), &n, ca, a, &lda, xc, &one, cb, y, &incy);
                                });
    }
    f(uplo(ul, row), &n, alpha, a, &lda, x, &incx, beta, y, &incy);
}

template <typename T, typename F>
void SBMV(const char *name, F f, int order, int ul, int n, int k, const T *alpha, const T *a, int lda,
          const T *x, int incx, const T *beta, T *y, int incy)
{
    if (rejected(name, bad_order(order) ? 1 : bad_uplo(ul) ? 2 : n < 0 ? 3 : k < 0 ? 4 : lda < k + 1 ? 7
                       : incx == 0 ? 9 : incy == 0 ? 12 : 0))
        return;
    const bool row = order == RowMajor;
    if constexpr (num<T>::complex) {
        if (row)
            return conj_product(name, Mem::heap, n, x, incx, n, y, incy, alpha, beta,
                                [&](const T *ca, const T *xc, const T *cb) {
                                    const int one = 1;
                                    f(uplo(ul, true), &n, &k, ca, a, &lda, xc, &one, cb, y, &incy);
                                });
    }
    f(uplo(ul, row), &n, &k, alpha, a, &lda, x, &incx, beta, y, &incy);
}

template <typename T, typename F>
void SPMV(const char *name, F f, int order, int ul, int n, const T *alpha, const T *ap, const T *x, int incx,
          const T *beta, T *y, int incy)
{
    if (rejected(name, bad_order(order) ? 1 : bad_uplo(ul) ? 2 : n < 0 ? 3 : incx == 0 ? 7
                       : incy == 0 ? 10 : 0))
        return;
    const bool row = order == RowMajor;
    if constexpr (num<T>::complex) {
        if (row)
            return conj_product(name, Mem::cache, n, x, incx, n, y, incy, alpha, beta,
                                [&](const T *ca, const T *xc, const T *cb) {
                                    const int one = 1;
                                    f(uplo(ul, true), &n, ca, ap, xc, &one, cb, y, &incy);
                                });
    }
    f(uplo(ul, row), &n, alpha, ap, x, &incx, beta, y, &incy);
}

// Rank-1 updates: row-major Hermitian A := alpha*x*x^H + A is
// B := alpha*conj(x)*conj(x)^H + B on the other triangle. `update`
// receives the vector and its increment.
template <typename T, typename Update>
void rank1(const char *name, int order, int n, const T *x, int incx, Update update)
{
    if constexpr (num<T>::complex) {
        if (order == RowMajor) {
            ConjCopy<T> work(Mem::cache);
            if (work.get(name, n, 1))
                update(work.fill(0, n, x, incx), 1);
            return;
        }
    }
    update(x, incx);
}

template <typename T, typename F>
void SYR(const char *name, F f, int order, int ul, int n, const typename num<T>::real *alpha, const T *x,
         int incx, T *a, int lda)
{
    if (rejected(name, bad_order(order) ? 1 : bad_uplo(ul) ? 2 : n < 0 ? 3 : incx == 0 ? 6
                       : lda < max1(n) ? 8 : 0))
        return;
    rank1(name, order, n, x, incx,
          [&](const T *v, int inc) { f(uplo(ul, order == RowMajor), &n, alpha, v, &inc, a, &lda); });
}

template <typename T, typename F>
void SPR(const char *name, F f, int order, int ul, int n, const typename num<T>::real *alpha, const T *x,
         int incx, T *ap)
{
    if (rejected(name, bad_order(order) ? 1 : bad_uplo(ul) ? 2 : n < 0 ? 3 : incx == 0 ? 6 : 0))
        return;
    rank1(name, order, n, x, incx,
          [&](const T *v, int inc) { f(uplo(ul, order == RowMajor), &n, alpha, v, &inc, ap); });
}

// Rank-2 updates: row-major Hermitian A := alpha*x*y^H + conj(alpha)*y*x^H
// + A is the same update of the other triangle with conj(y) in the place
// of x and conj(x) in the place of y.
template <typename T, typename Update>
void rank2(const char *name, int order, int n, const T *x, int incx, const T *y, int incy, Update update)
{
    if constexpr (num<T>::complex) {
        if (order == RowMajor) {
            ConjCopy<T> work(Mem::cache);
            if (work.get(name, n, 2))
                update(work.fill(0, n, y, incy), 1, work.fill(1, n, x, incx), 1);
            return;
        }
    }
    update(x, incx, y, incy);
}

template <typename T, typename F>
void SYR2(const char *name, F f, int order, int ul, int n, const T *alpha, const T *x, int incx, const T *y,
          int incy, T *a, int lda)
{
    if (rejected(name, bad_order(order) ? 1 : bad_uplo(ul) ? 2 : n < 0 ? 3 : incx == 0 ? 6 : incy == 0 ? 8
                       : lda < max1(n) ? 10 : 0))
        return;
    rank2(name, order, n, x, incx, y, incy, [&](const T *u, int incu, const T *v, int incv) {
        f(uplo(ul, order == RowMajor), &n, alpha, u, &incu, v, &incv, a, &lda);
    });
}

template <typename T, typename F>
void SPR2(const char *name, F f, int order, int ul, int n, const T *alpha, const T *x, int incx, const T *y,
          int incy, T *ap)
{
    if (rejected(name, bad_order(order) ? 1 : bad_uplo(ul) ? 2 : n < 0 ? 3 : incx == 0 ? 6 : incy == 0 ? 8
                       : 0))
        return;
    rank2(name, order, n, x, incx, y, incy, [&](const T *u, int incu, const T *v, int incv) {
        f(uplo(ul, order == RowMajor), &n, alpha, u, &incu, v, &incv, ap);
    });
}

// Triangular matrices in row-major order: the other triangle, no
// transpose becomes T and the transposes N; a conjugate transpose of
// complex data conjugates x in place before and after, so no work memory
// is needed. `op` receives uplo and trans.
template <typename T, typename Op>
void triangular(int order, int ul, int ta, int n, T *x, int incx, Op op)
{
    if (order == ColMajor)
        return op(uplo(ul), trans(ta));
    const bool conjugated = num<T>::complex && ta == ConjTrans;
    if constexpr (num<T>::complex) {
        if (conjugated)
            conj_in_place(n, x, incx);
    }
    op(uplo(ul, true), trans(ta == NoTrans ? Trans : NoTrans));
    if constexpr (num<T>::complex) {
        if (conjugated)
            conj_in_place(n, x, incx);
    }
}

inline int tri_check(int order, int ul, int ta, int dg, int n)
{
    return bad_order(order) ? 1 : bad_uplo(ul) ? 2 : bad_trans(ta) ? 3 : bad_diag(dg) ? 4 : n < 0 ? 5 : 0;
}

template <typename T, typename F>
void TRMV(const char *name, F f, int order, int ul, int ta, int dg, int n, const T *a, int lda, T *x, int incx)
{
    int pos = tri_check(order, ul, ta, dg, n);
    if (rejected(name, pos ? pos : lda < max1(n) ? 7 : incx == 0 ? 9 : 0))
        return;
    triangular(order, ul, ta, n, x, incx,
               [&](const char *u, const char *t) { f(u, t, diag(dg), &n, a, &lda, x, &incx); });
}

template <typename T, typename F>
void TBMV(const char *name, F f, int order, int ul, int ta, int dg, int n, int k, const T *a, int lda, T *x,
          int incx)
{
    int pos = tri_check(order, ul, ta, dg, n);
    if (rejected(name, pos ? pos : k < 0 ? 6 : lda < k + 1 ? 8 : incx == 0 ? 10 : 0))
        return;
    triangular(order, ul, ta, n, x, incx,
               [&](const char *u, const char *t) { f(u, t, diag(dg), &n, &k, a, &lda, x, &incx); });
}

template <typename T, typename F>
void TPMV(const char *name, F f, int order, int ul, int ta, int dg, int n, const T *ap, T *x, int incx)
{
    int pos = tri_check(order, ul, ta, dg, n);
    if (rejected(name, pos ? pos : incx == 0 ? 8 : 0))
        return;
    triangular(order, ul, ta, n, x, incx,
               [&](const char *u, const char *t) { f(u, t, diag(dg), &n, ap, x, &incx); });
}

/* ---- level 3: options and dimensions, then the order, then the leading
 * dimensions (those of the row-major shape in row-major order) -------- */

template <typename T, typename F>
void GEMM(const char *name, F f, int order, int ta, int tb, int m, int n, int k, const T *alpha, const T *a,
          int lda, const T *b, int ldb, const T *beta, T *c, int ldc)
{
    const bool row = order == RowMajor;
    const int cols_a = ta == NoTrans ? k : m, cols_b = tb == NoTrans ? n : k;
    const int rows_a = ta == NoTrans ? m : k, rows_b = tb == NoTrans ? k : n;
    if (rejected(name, bad_trans(ta) ? 2 : bad_trans(tb) ? 3 : m < 0 ? 4 : n < 0 ? 5 : k < 0 ? 6
                       : bad_order(order) ? 1 : lda < max1(row ? cols_a : rows_a) ? 9
                       : ldb < max1(row ? cols_b : rows_b) ? 11 : ldc < max1(row ? n : m) ? 14 : 0))
        return;
    if (!row)
        return f(trans(ta), trans(tb), &m, &n, &k, alpha, a, &lda, b, &ldb, beta, c, &ldc);
    f(trans(tb), trans(ta), &n, &m, &k, alpha, b, &ldb, a, &lda, beta, c, &ldc);
}

// ?symm and ?hemm: row-major C := alpha*A*B + beta*C is
// C' := alpha*B'*A' + beta*C' on the other triangle of A' = A^T, which for
// a Hermitian A is again the Hermitian matrix the stored triangle defines.
template <typename T, typename F>
void SYMM(const char *name, F f, int order, int sd, int ul, int m, int n, const T *alpha, const T *a, int lda,
          const T *b, int ldb, const T *beta, T *c, int ldc)
{
    const bool row = order == RowMajor;
    if (rejected(name, bad_side(sd) ? 2 : bad_uplo(ul) ? 3 : m < 0 ? 4 : n < 0 ? 5 : bad_order(order) ? 1
                       : lda < max1(sd == Left ? m : n) ? 8 : ldb < max1(row ? n : m) ? 10
                       : ldc < max1(row ? n : m) ? 13 : 0))
        return;
    if (!row)
        return f(side(sd), uplo(ul), &m, &n, alpha, a, &lda, b, &ldb, beta, c, &ldc);
    f(side(sd, true), uplo(ul, true), &n, &m, alpha, a, &lda, b, &ldb, beta, c, &ldc);
}

// Which transposition a rank-k update accepts: complex symmetric updates
// take N and T, Hermitian ones N and C, real ones all three.
inline bool bad_ktrans(int t, bool complex, bool hermitian)
{
    if (!complex)
        return bad_trans(t);
    return t != NoTrans && t != (hermitian ? ConjTrans : Trans);
}

// The checks of ?syrk (no B: ldb is null) and ?syr2k.
inline int rank_k_check(int order, int ul, int t, int n, int k, int lda, const int *ldb, int ldc, bool complex,
                        bool hermitian)
{
    const bool row = order == RowMajor;
    const int ld_ab = max1((t == NoTrans) != row ? n : k);
    return bad_uplo(ul) ? 2 : bad_ktrans(t, complex, hermitian) ? 3 : n < 0 ? 4 : k < 0 ? 5
           : bad_order(order) ? 1 : lda < ld_ab ? 8 : ldb && *ldb < ld_ab ? 10
           : ldc < max1(n) ? (ldb ? 13 : 11) : 0;
}

// The transposition of a row-major rank-k update.
inline const char *rank_k_trans(int order, int t, bool hermitian)
{
    if (order == ColMajor)
        return trans(t);
    return (hermitian ? _ZEM_SERV_ftrans_c : _ZEM_SERV_ftrans_r)[t - NoTrans];
}

template <typename T, typename F>
void SYRK(const char *name, F f, int order, int ul, int t, int n, int k, const T *alpha, const T *a, int lda,
          const T *beta, T *c, int ldc)
{
    if (rejected(name, rank_k_check(order, ul, t, n, k, lda, nullptr, ldc, num<T>::complex, false)))
        return;
    f(uplo(ul, order == RowMajor), rank_k_trans(order, t, false), &n, &k, alpha, a, &lda, beta, c, &ldc);
}

template <typename T, typename F>
void HERK(const char *name, F f, int order, int ul, int t, int n, int k, const typename num<T>::real *alpha,
          const T *a, int lda, const typename num<T>::real *beta, T *c, int ldc)
{
    if (rejected(name, rank_k_check(order, ul, t, n, k, lda, nullptr, ldc, true, true)))
        return;
    f(uplo(ul, order == RowMajor), rank_k_trans(order, t, true), &n, &k, alpha, a, &lda, beta, c, &ldc);
}

template <typename T, typename F>
void SYR2K(const char *name, F f, int order, int ul, int t, int n, int k, const T *alpha, const T *a, int lda,
           const T *b, int ldb, const T *beta, T *c, int ldc)
{
    if (rejected(name, rank_k_check(order, ul, t, n, k, lda, &ldb, ldc, num<T>::complex, false)))
        return;
    f(uplo(ul, order == RowMajor), rank_k_trans(order, t, false), &n, &k, alpha, a, &lda, b, &ldb, beta, c,
      &ldc);
}

// Row-major C := alpha*A*B^H + conj(alpha)*B*A^H + beta*C is the
// column-major update of the other triangle with conj(alpha).
template <typename T, typename F>
void HER2K(const char *name, F f, int order, int ul, int t, int n, int k, const T *alpha, const T *a, int lda,
           const T *b, int ldb, const typename num<T>::real *beta, T *c, int ldc)
{
    if (rejected(name, rank_k_check(order, ul, t, n, k, lda, &ldb, ldc, true, true)))
        return;
    const bool row = order == RowMajor;
    const T al = row ? conj(*alpha) : *alpha;
    f(uplo(ul, row), rank_k_trans(order, t, true), &n, &k, &al, a, &lda, b, &ldb, beta, c, &ldc);
}

// ?trmm and ?trsm: row-major B := alpha*op(A)*B is B' := alpha*B'*op(A')
// with A' = A^T on the other triangle; the transposition stays.
template <typename T, typename F>
void TRMM(const char *name, F f, int order, int sd, int ul, int ta, int dg, int m, int n, const T *alpha,
          const T *a, int lda, T *b, int ldb)
{
    const bool row = order == RowMajor;
    if (rejected(name, bad_side(sd) ? 2 : bad_uplo(ul) ? 3 : bad_trans(ta) ? 4 : bad_diag(dg) ? 5 : m < 0 ? 6
                       : n < 0 ? 7 : bad_order(order) ? 1 : lda < max1(sd == Left ? m : n) ? 10
                       : ldb < max1(row ? n : m) ? 12 : 0))
        return;
    if (!row)
        return f(side(sd), uplo(ul), trans(ta), diag(dg), &m, &n, alpha, a, &lda, b, &ldb);
    f(side(sd, true), uplo(ul, true), trans(ta), diag(dg), &n, &m, alpha, a, &lda, b, &ldb);
}

} // namespace zem_cb

#endif
