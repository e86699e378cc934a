// y := alpha·op(A)·x + beta·y: the four drivers, their 64-row block kernels
// (oo for unit increments, aa for any others; n, t and, for complex data, c)
// and the remainder kernel ?gemvpst.
#include <xmmintrin.h>

#include <type_traits>

#include "blas/kernel/default/level2/level2.h"

namespace zem_l2 {
namespace {

const int kBlock = 64;
// How far ahead (in columns) the prefetching kernels fetch the rows of the
// block: far enough to cover the memory latency while the columns between
// are processed.
const ptrdiff_t kColumnsAhead = 24;
// Where a block has fewer columns than that (the panels of a large matrix,
// the last columns of any), the kernels prefetch down the same columns
// instead, this many bytes ahead: the rows of the blocks that follow. The
// hardware prefetcher alone keeps up with neither eight interleaved column
// streams nor a block's short runs; 1 KB ahead (768 to 2048 all did about
// as well) took a 4000 x 4000 matrix from 10-12 to 17-23 GFLOPS in single
// and single complex and from 2.6 to 3.1 in double.
const ptrdiff_t kBytesDown = 1024;
template <class T>
inline ptrdiff_t ahead_of(ptrdiff_t j, ptrdiff_t cols, ptrdiff_t n, ptrdiff_t lda)
{
    return j + kColumnsAhead + cols <= n ? kColumnsAhead * lda : kBytesDown / (ptrdiff_t)sizeof(T);
}

// ---- generic kernels (every type, any increments) --------------------------

// y(0..m) += alpha·A·x, columns in pairs: with t0 = alpha·x(j) and
// t1 = alpha·x(j+1), y(i) := (a(i,j)·t0 + y(i)) + a(i,j+1)·t1, stored once
// per pair. PF: non-temporal prefetches of both columns 64 bytes ahead, and
// of the same rows some columns ahead, so that a matrix streaming from
// memory arrives in time.
template <class T, bool PF>
void gemv_n(ptrdiff_t m, ptrdiff_t n, typename element<T>::value alpha, const T *a, ptrdiff_t lda, const T *x,
            ptrdiff_t incx, T *y, ptrdiff_t incy)
{
    typedef element<T> E;
    typedef typename E::value V;
    const ptrdiff_t ahead = 64 / (ptrdiff_t)sizeof(T);
    ptrdiff_t j = 0;
    for (; j + 2 <= n; j += 2) {
        const V t0 = alpha * E::load(x[j * incx]);
        const V t1 = alpha * E::load(x[(j + 1) * incx]);
        const T *a0 = a + j * lda, *a1 = a0 + lda;
        ptrdiff_t i = 0;
        if (PF) {
            const ptrdiff_t far = ahead_of<T>(j, 2, n, lda);
            if (far && m > 0) {
                prefetch(a0 + far + m - 1);
                prefetch(a1 + far + m - 1);
            }
            for (; i + ahead <= m; i += ahead) {
                prefetch<zem_kernel::Stream>(a0 + i + ahead);
                prefetch<zem_kernel::Stream>(a1 + i + ahead);
                if (far) {
                    prefetch(a0 + far + i);
                    prefetch(a1 + far + i);
                }
                for (ptrdiff_t k = i; k < i + ahead; ++k) {
                    T &yi = y[k * incy];
                    E::store(yi, (E::load(a0[k]) * t0 + E::load(yi)) + E::load(a1[k]) * t1);
                }
            }
        }
        for (; i < m; ++i) {
            T &yi = y[i * incy];
            E::store(yi, (E::load(a0[i]) * t0 + E::load(yi)) + E::load(a1[i]) * t1);
        }
    }
    if (j < n) {
        const V t0 = alpha * E::load(x[j * incx]);
        const T *a0 = a + j * lda;
        for (ptrdiff_t i = 0; i < m; ++i) {
            T &yi = y[i * incy];
            E::store(yi, E::load(a0[i]) * t0 + E::load(yi));
        }
    }
}

// y(j) += alpha·sum over i of op(a(i,j))·x(i), each sum formed from 0 in row
// order; y(j+1) is updated before y(j). Two pairs of columns run side by
// side (four independent sums), which changes no result. CJ: conj(a).
template <class T, bool CJ, bool PF>
void gemv_t(ptrdiff_t m, ptrdiff_t n, typename element<T>::value alpha, const T *a, ptrdiff_t lda, const T *x,
            ptrdiff_t incx, T *y, ptrdiff_t incy)
{
    typedef element<T> E;
    typedef typename E::value V;
    const ptrdiff_t ahead = 64 / (ptrdiff_t)sizeof(T);
    ptrdiff_t j = 0;
    for (; j + 4 <= n; j += 4) {
        const T *a0 = a + j * lda, *a1 = a0 + lda, *a2 = a1 + lda, *a3 = a2 + lda;
        V s0{}, s1{}, s2{}, s3{};
        const ptrdiff_t far = PF ? ahead_of<T>(j, 4, n, lda) : 0;
        if (far && m > 0) {
            prefetch(a0 + far + m - 1);
            prefetch(a1 + far + m - 1);
            prefetch(a2 + far + m - 1);
            prefetch(a3 + far + m - 1);
        }
        for (ptrdiff_t i = 0; i < m; ++i) {
            if (PF && (i & (ahead - 1)) == 0) {
                prefetch<zem_kernel::Stream>(a0 + i + ahead);
                prefetch<zem_kernel::Stream>(a1 + i + ahead);
                prefetch<zem_kernel::Stream>(a2 + i + ahead);
                prefetch<zem_kernel::Stream>(a3 + i + ahead);
                if (far) {
                    prefetch(a0 + far + i);
                    prefetch(a1 + far + i);
                    prefetch(a2 + far + i);
                    prefetch(a3 + far + i);
                }
            }
            const V xi = E::load(x[i * incx]);
            s0 = s0 + cj<CJ>(E::load(a0[i])) * xi;
            s1 = s1 + cj<CJ>(E::load(a1[i])) * xi;
            s2 = s2 + cj<CJ>(E::load(a2[i])) * xi;
            s3 = s3 + cj<CJ>(E::load(a3[i])) * xi;
        }
        T &y0 = y[j * incy], &y1 = y[(j + 1) * incy], &y2 = y[(j + 2) * incy], &y3 = y[(j + 3) * incy];
        E::store(y1, E::load(y1) + s1 * alpha);
        E::store(y0, E::load(y0) + s0 * alpha);
        E::store(y3, E::load(y3) + s3 * alpha);
        E::store(y2, E::load(y2) + s2 * alpha);
    }
    for (; j + 2 <= n; j += 2) {
        const T *a0 = a + j * lda, *a1 = a0 + lda;
        V s0{}, s1{};
        for (ptrdiff_t i = 0; i < m; ++i) {
            const V xi = E::load(x[i * incx]);
            s0 = s0 + cj<CJ>(E::load(a0[i])) * xi;
            s1 = s1 + cj<CJ>(E::load(a1[i])) * xi;
        }
        T &y0 = y[j * incy], &y1 = y[(j + 1) * incy];
        E::store(y1, E::load(y1) + s1 * alpha);
        E::store(y0, E::load(y0) + s0 * alpha);
    }
    if (j < n) {
        const T *a0 = a + j * lda;
        V s0{};
        for (ptrdiff_t i = 0; i < m; ++i)
            s0 = s0 + cj<CJ>(E::load(a0[i])) * E::load(x[i * incx]);
        T &y0 = y[j * incy];
        E::store(y0, E::load(y0) + s0 * alpha);
    }
}

// ---- single precision with SSE (unit increments) ---------------------------

inline __m128 madd(__m128 acc, const float *p, __m128 t) { return _mm_add_ps(_mm_mul_ps(_mm_loadu_ps(p), t), acc); }

// Lane k of the result is the sum of the four lanes of s[k] (k < 4).
inline __m128 sum_lanes(__m128 s0, __m128 s1, __m128 s2, __m128 s3)
{
    __m128 t0 = _mm_unpacklo_ps(s0, s1), t1 = _mm_unpackhi_ps(s0, s1);
    __m128 t2 = _mm_unpacklo_ps(s2, s3), t3 = _mm_unpackhi_ps(s2, s3);
    return _mm_add_ps(_mm_add_ps(_mm_movelh_ps(t0, t2), _mm_movehl_ps(t2, t0)),
                      _mm_add_ps(_mm_movelh_ps(t1, t3), _mm_movehl_ps(t3, t1)));
}

// Prefetches of the rows 0..m-1 of the four columns c0..c3 pf elements
// ahead (the same rows further columns on, or further rows down the same
// columns): the line of the last row before the row loop (a block that does
// not start on a cache line spans one line more per column), then in the
// row loop the line of every 16th row.
inline void prefetch_last(const float *c0, const float *c1, const float *c2, const float *c3, ptrdiff_t pf,
                          ptrdiff_t m)
{
    if (pf && m > 0) {
        prefetch(c0 + pf + m - 1);
        prefetch(c1 + pf + m - 1);
        prefetch(c2 + pf + m - 1);
        prefetch(c3 + pf + m - 1);
    }
}
inline void prefetch_row(const float *c0, const float *c1, const float *c2, const float *c3, ptrdiff_t at)
{
    prefetch(c0 + at);
    prefetch(c1 + at);
    prefetch(c2 + at);
    prefetch(c3 + at);
}

// The N block kernel on unit increments: the pair formula of gemv_n, two
// pairs per pass while y stays in a register (single precision stores lose
// nothing, so the result is that of one pair after the other). Four columns
// per pass: wider passes stream worse from memory. The same rows of the
// columns kColumnsAhead further on (in a narrow block: the rows further
// down) are prefetched so that a matrix streaming from memory arrives in
// time.
void sgemv_n_sse(ptrdiff_t m, ptrdiff_t n, float alpha, const float *a, ptrdiff_t lda, const float *x, float *y)
{
    ptrdiff_t j = 0;
    for (; j + 4 <= n; j += 4) {
        const float t0 = alpha * x[j], t1 = alpha * x[j + 1], t2 = alpha * x[j + 2], t3 = alpha * x[j + 3];
        const __m128 v0 = _mm_set1_ps(t0), v1 = _mm_set1_ps(t1), v2 = _mm_set1_ps(t2), v3 = _mm_set1_ps(t3);
        const float *a0 = a + j * lda, *a1 = a0 + lda, *a2 = a1 + lda, *a3 = a2 + lda;
        const ptrdiff_t pf = ahead_of<float>(j, 4, n, lda);
        prefetch_last(a0, a1, a2, a3, pf, m);
        auto rows8 = [&](ptrdiff_t i) {
            __m128 y0 = _mm_loadu_ps(y + i), y1 = _mm_loadu_ps(y + i + 4);
            y0 = madd(madd(y0, a0 + i, v0), a1 + i, v1);
            y1 = madd(madd(y1, a0 + i + 4, v0), a1 + i + 4, v1);
            y0 = madd(madd(y0, a2 + i, v2), a3 + i, v3);
            y1 = madd(madd(y1, a2 + i + 4, v2), a3 + i + 4, v3);
            _mm_storeu_ps(y + i, y0);
            _mm_storeu_ps(y + i + 4, y1);
        };
        ptrdiff_t i = 0;
        for (; i + 16 <= m; i += 16) { // one cache line of each column
            prefetch_row(a0, a1, a2, a3, pf + i);
            rows8(i);
            rows8(i + 8);
        }
        for (; i + 8 <= m; i += 8)
            rows8(i);
        for (; i < m; ++i) {
            float v = (a0[i] * t0 + y[i]) + a1[i] * t1;
            y[i] = (a2[i] * t2 + v) + a3[i] * t3;
        }
    }
    if (j < n)
        gemv_n<float, false>(m, n - j, alpha, a + j * lda, lda, x + j, 1, y, 1);
}

// The T block kernel on unit increments: four column sums in four SSE
// accumulators (lane l sums the rows equal to l modulo 4), the lanes
// combined at the end, then the rows that do not fill a group of four;
// y(j+1) is updated before y(j) as in the generic kernel.
void sgemv_t_sse(ptrdiff_t m, ptrdiff_t n, float alpha, const float *a, ptrdiff_t lda, const float *x, float *y)
{
    ptrdiff_t j = 0;
    const ptrdiff_t m4 = m & ~(ptrdiff_t)3;
    if (m4 == m) {
        // Eight columns per pass while the row count is a multiple of four:
        // half the loads of x per element of A.
        const __m128 al = _mm_set1_ps(alpha);
        for (; j + 8 <= n; j += 8) {
            const float *a0 = a + j * lda, *a1 = a0 + lda, *a2 = a1 + lda, *a3 = a2 + lda;
            const float *a4 = a3 + lda, *a5 = a4 + lda, *a6 = a5 + lda, *a7 = a6 + lda;
            const ptrdiff_t pf = ahead_of<float>(j, 8, n, lda);
            prefetch_last(a0, a1, a2, a3, pf, m);
            prefetch_last(a4, a5, a6, a7, pf, m);
            __m128 s0 = _mm_setzero_ps(), s1 = _mm_setzero_ps(), s2 = _mm_setzero_ps(), s3 = _mm_setzero_ps();
            __m128 s4 = _mm_setzero_ps(), s5 = _mm_setzero_ps(), s6 = _mm_setzero_ps(), s7 = _mm_setzero_ps();
            for (ptrdiff_t i = 0; i < m4; i += 4) {
                if (pf && (i & 15) == 0) {
                    prefetch_row(a0, a1, a2, a3, pf + i);
                    prefetch_row(a4, a5, a6, a7, pf + i);
                }
                const __m128 xv = _mm_loadu_ps(x + i);
                s0 = madd(s0, a0 + i, xv);
                s1 = madd(s1, a1 + i, xv);
                s2 = madd(s2, a2 + i, xv);
                s3 = madd(s3, a3 + i, xv);
                s4 = madd(s4, a4 + i, xv);
                s5 = madd(s5, a5 + i, xv);
                s6 = madd(s6, a6 + i, xv);
                s7 = madd(s7, a7 + i, xv);
            }
            // y(j..j+7) += s·alpha, lane by lane
            _mm_storeu_ps(y + j, _mm_add_ps(_mm_loadu_ps(y + j), _mm_mul_ps(sum_lanes(s0, s1, s2, s3), al)));
            _mm_storeu_ps(y + j + 4, _mm_add_ps(_mm_loadu_ps(y + j + 4), _mm_mul_ps(sum_lanes(s4, s5, s6, s7), al)));
        }
    }
    for (; j + 4 <= n; j += 4) {
        const float *a0 = a + j * lda, *a1 = a0 + lda, *a2 = a1 + lda, *a3 = a2 + lda;
        const ptrdiff_t pf = ahead_of<float>(j, 4, n, lda);
        prefetch_last(a0, a1, a2, a3, pf, m);
        __m128 s0 = _mm_setzero_ps(), s1 = _mm_setzero_ps(), s2 = _mm_setzero_ps(), s3 = _mm_setzero_ps();
        for (ptrdiff_t i = 0; i < m4; i += 4) {
            if (pf && (i & 15) == 0)
                prefetch_row(a0, a1, a2, a3, pf + i);
            const __m128 xv = _mm_loadu_ps(x + i);
            s0 = madd(s0, a0 + i, xv);
            s1 = madd(s1, a1 + i, xv);
            s2 = madd(s2, a2 + i, xv);
            s3 = madd(s3, a3 + i, xv);
        }
        const __m128 r = sum_lanes(s0, s1, s2, s3);
        if (m4 == m) {
            // y(j..j+3) += s·alpha, lane by lane
            _mm_storeu_ps(y + j, _mm_add_ps(_mm_loadu_ps(y + j), _mm_mul_ps(r, _mm_set1_ps(alpha))));
            continue;
        }
        float s[4];
        _mm_storeu_ps(s, r);
        for (ptrdiff_t i = m4; i < m; ++i) {
            s[0] += a0[i] * x[i];
            s[1] += a1[i] * x[i];
            s[2] += a2[i] * x[i];
            s[3] += a3[i] * x[i];
        }
        y[j + 1] += s[1] * alpha;
        y[j] += s[0] * alpha;
        y[j + 3] += s[3] * alpha;
        y[j + 2] += s[2] * alpha;
    }
    if (j < n)
        gemv_t<float, false, false>(m, n - j, alpha, a + j * lda, lda, x, 1, y + j, 1);
}

// ---- single-precision complex with SSE (unit increments) ----------------
// A register holds two complex elements (re, im, re, im).

// The N block kernel: y += a(:,j)·t(j), t(j) = alpha·x(j), two rows per
// register, four columns per pass (the last 1 to 3 as one shorter pass),
// one cache line of each column per iteration. Each product a·t is
// (a·tr) + swap(a)·(-ti, ti); as swap(a)·s = swap(a·swap(s)), a pass sums
// the a·tr terms onto y and the a·(ti, -ti) terms in a second register
// that is swapped once and added at the end, instead of swapping every
// element of A.
struct CTerm {
    __m128 r, is; // (tr, tr, tr, tr) and (ti, -ti, ti, -ti) of t = alpha·x(j)
    CTerm() = default;
    CTerm(cv<float> t) : r(_mm_set1_ps(t.re)), is(_mm_setr_ps(t.im, -t.im, t.im, -t.im)) {}
};

// Rows i/2 and i/2 + 1 (ONE: row i/2 alone, in the low lanes, so that an
// odd last row gets exactly the arithmetic of the others and a row's
// result never depends on the row count).
template <int C, bool ONE = false>
inline void cgemv_n_rows(const float *const *col, const CTerm *t, float *yf, ptrdiff_t i)
{
    auto load = [&](const float *p) {
        return ONE ? _mm_loadl_pi(_mm_setzero_ps(), (const __m64 *)p) : _mm_loadu_ps(p);
    };
    __m128 v = load(yf + i), q = _mm_setzero_ps();
#pragma GCC unroll 4
    for (int c = 0; c < C; ++c) {
        const __m128 ac = load(col[c] + i);
        v = _mm_add_ps(v, _mm_mul_ps(ac, t[c].r));
        q = _mm_add_ps(q, _mm_mul_ps(ac, t[c].is));
    }
    v = _mm_add_ps(v, _mm_shuffle_ps(q, q, _MM_SHUFFLE(2, 3, 0, 1)));
    if (ONE)
        _mm_storel_pi((__m64 *)(yf + i), v);
    else
        _mm_storeu_ps(yf + i, v);
}

template <int C>
inline void cgemv_n_pass(ptrdiff_t m2, ptrdiff_t pf, const float *const *col, const CTerm *t, float *yf)
{
    if (m2 > 0)
#pragma GCC unroll 4
        for (int c = 0; c < C; ++c)
            prefetch(col[c] + pf + 2 * m2 - 1);
    ptrdiff_t i = 0;
    for (; i + 16 <= 2 * m2; i += 16) {
#pragma GCC unroll 4
        for (int c = 0; c < C; ++c)
            prefetch(col[c] + pf + i);
        cgemv_n_rows<C>(col, t, yf, i);
        cgemv_n_rows<C>(col, t, yf, i + 4);
        cgemv_n_rows<C>(col, t, yf, i + 8);
        cgemv_n_rows<C>(col, t, yf, i + 12);
    }
    for (; i < 2 * m2; i += 4)
        cgemv_n_rows<C>(col, t, yf, i);
}

// C columns from column j on (C = 4, or the last 1 to 3).
template <int C>
inline void cgemv_n_cols(ptrdiff_t m, ptrdiff_t j, ptrdiff_t n, cv<float> alpha, const ZEM_Complex8 *a,
                         ptrdiff_t lda, const ZEM_Complex8 *x, float *yf)
{
    typedef element<ZEM_Complex8> E;
    const ptrdiff_t m2 = m & ~(ptrdiff_t)1;
    CTerm t[C];
    const float *col[C];
#pragma GCC unroll 4
    for (int c = 0; c < C; ++c) {
        t[c] = alpha * E::load(x[j + c]);
        col[c] = (const float *)(a + (j + c) * lda);
    }
    cgemv_n_pass<C>(m2, 2 * ahead_of<ZEM_Complex8>(j, C, n, lda), col, t, yf);
    if (m2 < m)
        cgemv_n_rows<C, true>(col, t, yf, 2 * m2);
}

void cgemv_n_sse(ptrdiff_t m, ptrdiff_t n, cv<float> alpha, const ZEM_Complex8 *a, ptrdiff_t lda,
                 const ZEM_Complex8 *x, ZEM_Complex8 *y)
{
    float *yf = (float *)y;
    ptrdiff_t j = 0;
    for (; j + 4 <= n; j += 4)
        cgemv_n_cols<4>(m, j, n, alpha, a, lda, x, yf);
    // The last columns as one shorter pass of the same formula: columns of
    // zeros added to the right of a matrix then leave every result as it
    // was (callers rely on it, the reflector updates of the eigenvalue
    // routines for one).
    switch (n - j) {
    case 3:
        cgemv_n_cols<3>(m, j, n, alpha, a, lda, x, yf);
        break;
    case 2:
        cgemv_n_cols<2>(m, j, n, alpha, a, lda, x, yf);
        break;
    case 1:
        cgemv_n_cols<1>(m, j, n, alpha, a, lda, x, yf);
        break;
    }
}

// The T and C block kernels: four columns at a time (then two), each with
// two sums of lane products, p = a·x and q = a·swap(x), whose lanes combine
// at the end to the real part (p0 - p1 + p2 - p3; for C p0 + p1 + p2 + p3)
// and the imaginary part (q0 + q1 + q2 + q3; for C q0 - q1 + q2 - q3) of
// the sum; one cache line of each column per iteration. An odd last row is
// added to the sums, an unpaired last column goes to the generic kernel.
template <bool CJ, int C>
inline void cgemv_t_cols(ptrdiff_t m, ptrdiff_t pf, cv<float> alpha, const ZEM_Complex8 *a, ptrdiff_t lda,
                         const ZEM_Complex8 *x, ZEM_Complex8 *y)
{
    typedef element<ZEM_Complex8> E;
    const ptrdiff_t m2 = m & ~(ptrdiff_t)1;
    const float *xf = (const float *)x;
    const float *col[C];
    __m128 p[C], q[C];
#pragma GCC unroll 4
    for (int c = 0; c < C; ++c) {
        col[c] = (const float *)(a + c * lda);
        p[c] = q[c] = _mm_setzero_ps();
        if (m > 0)
            prefetch(col[c] + pf + 2 * m - 1);
    }
#define ZEM_CT_STEP(i)                                                                                 \
    {                                                                                                  \
        const __m128 xv = _mm_loadu_ps(xf + (i)), xs = _mm_shuffle_ps(xv, xv, _MM_SHUFFLE(2, 3, 0, 1)); \
        _Pragma("GCC unroll 4") for (int c = 0; c < C; ++c) {                                          \
            const __m128 v = _mm_loadu_ps(col[c] + (i));                                               \
            p[c] = _mm_add_ps(p[c], _mm_mul_ps(v, xv));                                                \
            q[c] = _mm_add_ps(q[c], _mm_mul_ps(v, xs));                                                \
        }                                                                                              \
    }
    ptrdiff_t i = 0;
    for (; i + 16 <= 2 * m2; i += 16) {
#pragma GCC unroll 4
        for (int c = 0; c < C; ++c)
            prefetch(col[c] + pf + i);
        ZEM_CT_STEP(i)
        ZEM_CT_STEP(i + 4)
        ZEM_CT_STEP(i + 8)
        ZEM_CT_STEP(i + 12)
    }
    for (; i < 2 * m2; i += 4)
        ZEM_CT_STEP(i)
#undef ZEM_CT_STEP
    // signs that fold the lanes: re uses (+, -, +, -) or all +, im the other
    const __m128 alt = _mm_setr_ps(1, -1, 1, -1), one = _mm_set1_ps(1);
    const __m128 sre = CJ ? one : alt, sim = CJ ? alt : one;
#pragma GCC unroll 2
    for (int c = 0; c < C; c += 2) {
        // lane k of r: re, im of column c, then of column c + 1
        const __m128 r = sum_lanes(_mm_mul_ps(p[c], sre), _mm_mul_ps(q[c], sim), _mm_mul_ps(p[c + 1], sre),
                                   _mm_mul_ps(q[c + 1], sim));
        float s[4];
        _mm_storeu_ps(s, r);
        cv<float> s0 = {s[0], s[1]}, s1 = {s[2], s[3]};
        if (m2 < m) {
            const cv<float> xi = E::load(x[m2]);
            s0 = s0 + cj<CJ>(E::load(a[m2 + c * lda])) * xi;
            s1 = s1 + cj<CJ>(E::load(a[m2 + (c + 1) * lda])) * xi;
        }
        E::store(y[c + 1], E::load(y[c + 1]) + s1 * alpha);
        E::store(y[c], E::load(y[c]) + s0 * alpha);
    }
}

template <bool CJ>
void cgemv_t_sse(ptrdiff_t m, ptrdiff_t n, cv<float> alpha, const ZEM_Complex8 *a, ptrdiff_t lda,
                 const ZEM_Complex8 *x, ZEM_Complex8 *y)
{
    ptrdiff_t j = 0;
#ifdef __x86_64__
    // four columns need ten registers: 64-bit code only
    for (; j + 4 <= n; j += 4)
        cgemv_t_cols<CJ, 4>(m, 2 * ahead_of<ZEM_Complex8>(j, 4, n, lda), alpha, a + j * lda, lda, x, y + j);
#endif
    for (; j + 2 <= n; j += 2)
        cgemv_t_cols<CJ, 2>(m, 2 * ahead_of<ZEM_Complex8>(j, 2, n, lda), alpha, a + j * lda, lda, x, y + j);
    if (j < n)
        gemv_t<ZEM_Complex8, CJ, false>(m, 1, alpha, a + j * lda, lda, x, 1, y + j, 1);
}

// ---- the driver ---------------------------------------------------------------

template <class T>
struct gemv_set {
    void (*noo) ZEM_P_GEMV(T, T);
    void (*naa) ZEM_P_GEMV(T, T);
    void (*too) ZEM_P_GEMV(T, T);
    void (*taa) ZEM_P_GEMV(T, T);
    void (*coo) ZEM_P_GEMV(T, T);
    void (*caa) ZEM_P_GEMV(T, T);
    void (*pst) ZEM_P_GEMV(T, T);
};

// The double-precision kernels without prefetching serve the mid-sized
// shapes where the prefetches cost more than they bring.
bool dgemv_n_plain(int m, int n)
{
    if (!(n < 150 && m >= 250))
        return false;
    return n <= 60 || (n <= 70 && m <= 700) || (n > 70 && n <= 90 && m <= 600) ||
           (n > 90 && n <= 110 && m <= 500) || (n > 110 && n <= 130 && m <= 400) || (n > 130 && m <= 300);
}
bool dgemv_t_plain(int m, int n)
{
    if (!(n < 125 && m >= 275))
        return false;
    return n <= 60 || (n <= 75 && m <= 800) || (n > 75 && n <= 90 && m <= 650) ||
           (n > 90 && n <= 105 && m <= 550) || (n > 105 && m <= 450);
}

// A matrix larger than this many bytes is walked in panels of
// kPanelColumns columns: every 64-row block of one panel, then the next
// panel. A walk of all columns per block reads 64 rows of one column and
// jumps a column ahead: once the matrix outgrows the last-level cache,
// nearly every such run lands on a page that has left the TLB, and the
// hardware prefetcher sees thousands of short runs instead of a few long
// streams. Within a panel each column is read front to back, eight
// streams at a time. Every row (N) or column (T) still receives its terms
// in the same order, so the results are those of the plain walk; eight
// columns are a whole number of the widest column group of any block
// kernel, so the single-precision lane sums do not change either.
const size_t kPanelMatrixBytes = (size_t)8 << 20;
const ptrdiff_t kPanelColumns = 8;

inline ptrdiff_t panel_width(ptrdiff_t m, ptrdiff_t n, size_t size)
{
    return (size_t)m * (size_t)n * size < kPanelMatrixBytes ? n : kPanelColumns;
}

template <class T>
void gemv_driver(const char *trans, const int *m, const int *n, const T *alpha, const T *a, const int *lda,
                 const T *x, const int *incx, const T *beta, T *y, const int *incy, gemv_set<T> k)
{
    typedef element<T> E;
    const ptrdiff_t mm = *m, nn = *n;
    if (mm <= 0 || nn <= 0)
        return;
    const bool alpha0 = is_zero(E::load(*alpha));
    if (alpha0 && is_one(*beta))
        return;
    const bool notr = _ZEM_SERV_lsame(trans, "N") != 0;
    const bool conjt = E::is_complex && _ZEM_SERV_lsame(trans, "C") != 0;
    scale_y(notr ? mm : nn, beta, y, *incy);
    if (alpha0)
        return;

    const ptrdiff_t m64 = mm / kBlock * kBlock;
    const int ix = *incx, iy = *incy;
    const bool oo = ix == 1 && iy == 1;
    const int block = kBlock;
    // First elements used: the far ends for negative increments.
    const T *x1 = x + first_offset(notr ? nn : mm, ix);
    T *y1 = y + first_offset(notr ? mm : nn, iy);

    const ptrdiff_t ld = *lda;
    const ptrdiff_t width = panel_width(mm, nn, sizeof(T));
    void (*f) ZEM_P_GEMV(T, T) = notr ? (oo ? k.noo : k.naa) : conjt ? (oo ? k.coo : k.caa) : (oo ? k.too : k.taa);
    for (ptrdiff_t j = 0; j < nn; j += width) {
        const int w = (int)(nn - j < width ? nn - j : width);
        const T *aj = a + j * ld;
        if (notr) {
            const T *xj = x1 + j * ix;
            for (ptrdiff_t i = 0; i < m64; i += kBlock)
                f(trans, &block, &w, alpha, aj + i, lda, xj, incx, beta, y1 + i * iy, incy);
            if (mm > m64) {
                const int rest = (int)(mm - m64);
                k.pst(trans, &rest, &w, alpha, aj + m64, lda, xj, incx, beta, y1 + m64 * iy, incy);
            }
        } else {
            T *yj = y1 + j * iy;
            for (ptrdiff_t i = 0; i < m64; i += kBlock)
                f(trans, &block, &w, alpha, aj + i, lda, x1 + i * ix, incx, beta, yj, incy);
            if (mm > m64) {
                const int rest = (int)(mm - m64);
                k.pst(trans, &rest, &w, alpha, aj + m64, lda, x1 + m64 * ix, incx, beta, yj, incy);
            }
        }
    }
}

template <class T>
void gemv_pst(const char *trans, const int *m, const int *n, const T *alpha, const T *a, const int *lda,
              const T *x, const int *incx, T *y, const int *incy)
{
    typename element<T>::value al = element<T>::load(*alpha);
    if (sizeof(T) == sizeof(float) && *incx == 1 && *incy == 1) {
        // single precision, unit increments: the SSE column kernels
        if (_ZEM_SERV_lsame(trans, "N"))
            sgemv_n_sse(*m, *n, *(const float *)alpha, (const float *)a, *lda, (const float *)x, (float *)y);
        else
            sgemv_t_sse(*m, *n, *(const float *)alpha, (const float *)a, *lda, (const float *)x, (float *)y);
        return;
    }
    if (sizeof(T) == sizeof(double) && !element<T>::is_complex && *incx == 1 && *incy == 1) {
        // double precision, unit increments: the prefetching kernels (the
        // triangular solves send all their transposed updates here)
        if (_ZEM_SERV_lsame(trans, "N"))
            gemv_n<T, true>(*m, *n, al, a, *lda, x, 1, y, 1);
        else
            gemv_t<T, false, true>(*m, *n, al, a, *lda, x, 1, y, 1);
        return;
    }
    if constexpr (std::is_same<T, ZEM_Complex8>::value) {
        // single complex, unit increments: the SSE block kernels
        if (*incx == 1 && *incy == 1) {
            if (_ZEM_SERV_lsame(trans, "N"))
                cgemv_n_sse(*m, *n, al, a, *lda, x, y);
            else if (_ZEM_SERV_lsame(trans, "C"))
                cgemv_t_sse<true>(*m, *n, al, a, *lda, x, y);
            else
                cgemv_t_sse<false>(*m, *n, al, a, *lda, x, y);
            return;
        }
    }
    if constexpr (std::is_same<T, ZEM_Complex16>::value) {
        // double complex: the x87 kernels of the blocks
        if (_ZEM_SERV_lsame(trans, "N"))
            zgemv_n_x87(*m, *n, al, a, *lda, x, *incx, y, *incy);
        else if (_ZEM_SERV_lsame(trans, "C"))
            zgemv_t_x87<true>(*m, *n, al, a, *lda, x, *incx, y, *incy);
        else
            zgemv_t_x87<false>(*m, *n, al, a, *lda, x, *incx, y, *incy);
        return;
    }
    if (_ZEM_SERV_lsame(trans, "N"))
        gemv_n<T, false>(*m, *n, al, a, *lda, x, *incx, y, *incy);
    else if (element<T>::is_complex && _ZEM_SERV_lsame(trans, "C"))
        gemv_t<T, true, false>(*m, *n, al, a, *lda, x, *incx, y, *incy);
    else
        gemv_t<T, false, false>(*m, *n, al, a, *lda, x, *incx, y, *incy);
}

} // namespace
} // namespace zem_l2

using namespace zem_l2;

#define ZEM_L2_GEMV_DEF(name, T, body)                                                                      \
    extern "C" ZEM_API void name(const char *trans, const int *m, const int *n, const T *alpha, const T *a, \
                                 const int *lda, const T *x, const int *incx, const T *beta, T *y,          \
                                 const int *incy)                                                           \
    {                                                                                                       \
        (void)trans;                                                                                        \
        (void)beta;                                                                                         \
        (void)incx;                                                                                         \
        (void)incy;                                                                                         \
        body;                                                                                               \
    }

#define ZEM_L2_N(T, PF, ix, iy) gemv_n<T, PF>(*m, *n, element<T>::load(*alpha), a, *lda, x, ix, y, iy)
#define ZEM_L2_T(T, CJ, PF, ix, iy) gemv_t<T, CJ, PF>(*m, *n, element<T>::load(*alpha), a, *lda, x, ix, y, iy)

ZEM_L2_GEMV_DEF(_ZEM_BLAS_sgemvnoo, float, sgemv_n_sse(*m, *n, *alpha, a, *lda, x, y))
ZEM_L2_GEMV_DEF(_ZEM_BLAS_sgemvnaa, float, ZEM_L2_N(float, false, *incx, *incy))
ZEM_L2_GEMV_DEF(_ZEM_BLAS_sgemvtoo, float, sgemv_t_sse(*m, *n, *alpha, a, *lda, x, y))
ZEM_L2_GEMV_DEF(_ZEM_BLAS_sgemvtaa, float, ZEM_L2_T(float, false, false, *incx, *incy))
ZEM_L2_GEMV_DEF(_ZEM_BLAS_sgemvpst, float, gemv_pst(trans, m, n, alpha, a, lda, x, incx, y, incy))

ZEM_L2_GEMV_DEF(_ZEM_BLAS_dgemvnoo, double, ZEM_L2_N(double, true, 1, 1))
ZEM_L2_GEMV_DEF(_ZEM_BLAS_dgemvnoo_def, double, ZEM_L2_N(double, false, 1, 1))
ZEM_L2_GEMV_DEF(_ZEM_BLAS_dgemvnaa, double, ZEM_L2_N(double, false, *incx, *incy))
ZEM_L2_GEMV_DEF(_ZEM_BLAS_dgemvtoo, double, ZEM_L2_T(double, false, true, 1, 1))
ZEM_L2_GEMV_DEF(_ZEM_BLAS_dgemvtoo_def, double, ZEM_L2_T(double, false, false, 1, 1))
ZEM_L2_GEMV_DEF(_ZEM_BLAS_dgemvtaa, double, ZEM_L2_T(double, false, false, *incx, *incy))
ZEM_L2_GEMV_DEF(_ZEM_BLAS_dgemvpst, double, gemv_pst(trans, m, n, alpha, a, lda, x, incx, y, incy))

ZEM_L2_GEMV_DEF(_ZEM_BLAS_cgemvnoo, ZEM_Complex8, cgemv_n_sse(*m, *n, element<ZEM_Complex8>::load(*alpha), a, *lda, x, y))
ZEM_L2_GEMV_DEF(_ZEM_BLAS_cgemvnaa, ZEM_Complex8, ZEM_L2_N(ZEM_Complex8, false, *incx, *incy))
ZEM_L2_GEMV_DEF(_ZEM_BLAS_cgemvtoo, ZEM_Complex8,
                cgemv_t_sse<false>(*m, *n, element<ZEM_Complex8>::load(*alpha), a, *lda, x, y))
ZEM_L2_GEMV_DEF(_ZEM_BLAS_cgemvtaa, ZEM_Complex8, ZEM_L2_T(ZEM_Complex8, false, false, *incx, *incy))
ZEM_L2_GEMV_DEF(_ZEM_BLAS_cgemvcoo, ZEM_Complex8,
                cgemv_t_sse<true>(*m, *n, element<ZEM_Complex8>::load(*alpha), a, *lda, x, y))
ZEM_L2_GEMV_DEF(_ZEM_BLAS_cgemvcaa, ZEM_Complex8, ZEM_L2_T(ZEM_Complex8, true, false, *incx, *incy))
ZEM_L2_GEMV_DEF(_ZEM_BLAS_cgemvpst, ZEM_Complex8, gemv_pst(trans, m, n, alpha, a, lda, x, incx, y, incy))

#define ZEM_L2_Z(f, ix, iy) f(*m, *n, element<ZEM_Complex16>::load(*alpha), a, *lda, x, ix, y, iy)
ZEM_L2_GEMV_DEF(_ZEM_BLAS_zgemvnoo, ZEM_Complex16, ZEM_L2_Z(zgemv_n_x87, 1, 1))
ZEM_L2_GEMV_DEF(_ZEM_BLAS_zgemvnaa, ZEM_Complex16, ZEM_L2_Z(zgemv_n_x87, *incx, *incy))
ZEM_L2_GEMV_DEF(_ZEM_BLAS_zgemvtoo, ZEM_Complex16, ZEM_L2_Z(zgemv_t_x87<false>, 1, 1))
ZEM_L2_GEMV_DEF(_ZEM_BLAS_zgemvtaa, ZEM_Complex16, ZEM_L2_Z(zgemv_t_x87<false>, *incx, *incy))
ZEM_L2_GEMV_DEF(_ZEM_BLAS_zgemvcoo, ZEM_Complex16, ZEM_L2_Z(zgemv_t_x87<true>, 1, 1))
ZEM_L2_GEMV_DEF(_ZEM_BLAS_zgemvcaa, ZEM_Complex16, ZEM_L2_Z(zgemv_t_x87<true>, *incx, *incy))
ZEM_L2_GEMV_DEF(_ZEM_BLAS_zgemvpst, ZEM_Complex16, gemv_pst(trans, m, n, alpha, a, lda, x, incx, y, incy))

extern "C" ZEM_API void _ZEM_BLAS_sgemv ZEM_P_GEMV(float, float)
{
    gemv_set<float> k = {_ZEM_BLAS_sgemvnoo, _ZEM_BLAS_sgemvnaa, _ZEM_BLAS_sgemvtoo, _ZEM_BLAS_sgemvtaa,
                         _ZEM_BLAS_sgemvtoo, _ZEM_BLAS_sgemvtaa, _ZEM_BLAS_sgemvpst};
    gemv_driver(trans, m, n, alpha, a, lda, x, incx, beta, y, incy, k);
}

extern "C" ZEM_API void _ZEM_BLAS_dgemv ZEM_P_GEMV(double, double)
{
    gemv_set<double> k = {_ZEM_BLAS_dgemvnoo, _ZEM_BLAS_dgemvnaa, _ZEM_BLAS_dgemvtoo, _ZEM_BLAS_dgemvtaa,
                          _ZEM_BLAS_dgemvtoo, _ZEM_BLAS_dgemvtaa, _ZEM_BLAS_dgemvpst};
    if (*m > 0 && *n > 0) {
        if (dgemv_n_plain(*m, *n))
            k.noo = _ZEM_BLAS_dgemvnoo_def;
        if (dgemv_t_plain(*m, *n))
            k.too = k.coo = _ZEM_BLAS_dgemvtoo_def;
    }
    gemv_driver(trans, m, n, alpha, a, lda, x, incx, beta, y, incy, k);
}

extern "C" ZEM_API void _ZEM_BLAS_cgemv ZEM_P_GEMV(ZEM_Complex8, float)
{
    gemv_set<ZEM_Complex8> k = {_ZEM_BLAS_cgemvnoo, _ZEM_BLAS_cgemvnaa, _ZEM_BLAS_cgemvtoo, _ZEM_BLAS_cgemvtaa,
                                _ZEM_BLAS_cgemvcoo, _ZEM_BLAS_cgemvcaa, _ZEM_BLAS_cgemvpst};
    gemv_driver(trans, m, n, alpha, a, lda, x, incx, beta, y, incy, k);
}

extern "C" ZEM_API void _ZEM_BLAS_zgemv ZEM_P_GEMV(ZEM_Complex16, double)
{
    gemv_set<ZEM_Complex16> k = {_ZEM_BLAS_zgemvnoo, _ZEM_BLAS_zgemvnaa, _ZEM_BLAS_zgemvtoo,
                                 _ZEM_BLAS_zgemvtaa, _ZEM_BLAS_zgemvcoo, _ZEM_BLAS_zgemvcaa,
                                 _ZEM_BLAS_zgemvpst};
    gemv_driver(trans, m, n, alpha, a, lda, x, incx, beta, y, incy, k);
}
