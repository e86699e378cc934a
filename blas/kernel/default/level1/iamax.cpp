// Index of the first element of largest (i?amax) or smallest (i?amin)
// magnitude, 1-based; magnitude abs(x), or abs(re) + abs(im) for complex
// data (formed in extended precision so that close magnitudes stay apart).
#include "blas/kernel/default/level1/dense_vec.h"

namespace zem_l1 {
namespace {

template <bool MAX, class M>
inline bool better(M v, M cand)
{
    // Any comparison with NaN is false: a NaN never replaces a candidate,
    // and a NaN candidate is never replaced.
    return MAX ? v > cand : v < cand;
}

template <class M>
struct Cand {
    M v;
    ptrdiff_t i; // 1-based index, 0 for none
};

template <bool MAX, class M>
inline void meet(Cand<M> &c, M v, ptrdiff_t i)
{
    if (better<MAX>(v, c.v)) {
        c.v = v;
        c.i = i;
    }
}

// Merge step: a better value, or an equal one with a smaller index.
template <bool MAX, class M>
inline void merge(Cand<M> &best, const Cand<M> &c)
{
    if (better<MAX>(c.v, best.v) || (c.v == best.v && c.i < best.i))
        best = c;
}

// Single precision, unit stride: the four candidates are the four lanes of
// an SSE register. maxps(v, c) yields v only when v > c (NaN on either side
// keeps c), minps(v, c) only when v < c: the candidate rule exactly. The
// values run ahead in blocks; for a lane whose value changed within a block,
// the index is that of the first element of the lane there with the new
// value (an equal value later never replaces, an earlier one would have
// been taken).
template <bool MAX>
inline __m128 pick(__m128 a, __m128 c)
{
    return MAX ? _mm_max_ps(a, c) : _mm_min_ps(a, c);
}

template <bool MAX>
void sgroups_sse(const float *x, ptrdiff_t k, ptrdiff_t end, Cand<float> c[4])
{
    const ptrdiff_t kBlock = 128;
    // A candidate's final value does not depend on the order in which its
    // elements come (the largest non-NaN value, or NaN if it started NaN),
    // so three more accumulators per block start from a value that loses
    // every comparison and join the candidates at the end of the block.
    const __m128 loser = _mm_set1_ps(MAX ? -1.0f : __builtin_inff());
    __m128 v = _mm_setr_ps(c[0].v, c[1].v, c[2].v, c[3].v);
    while (k < end) {
        ptrdiff_t stop = end - k > kBlock ? k + kBlock : end;
        __m128 before = v, v1 = loser, v2 = loser, v3 = loser;
        ptrdiff_t j = k;
        for (; j + 16 <= stop; j += 16) {
            v = pick<MAX>(abs_ps(_mm_loadu_ps(x + j)), v);
            v1 = pick<MAX>(abs_ps(_mm_loadu_ps(x + j + 4)), v1);
            v2 = pick<MAX>(abs_ps(_mm_loadu_ps(x + j + 8)), v2);
            v3 = pick<MAX>(abs_ps(_mm_loadu_ps(x + j + 12)), v3);
        }
        for (; j < stop; j += 4)
            v = pick<MAX>(abs_ps(_mm_loadu_ps(x + j)), v);
        v = pick<MAX>(v3, pick<MAX>(v2, pick<MAX>(v1, v)));
        // Lanes that may have changed (a NaN candidate always shows up here
        // and simply finds nothing below).
        int pending = _mm_movemask_ps(_mm_cmpneq_ps(v, before));
        if (pending) {
            // The first group of the block where a changed lane shows its
            // new value gives that lane's index.
            float nv[4];
            _mm_storeu_ps(nv, v);
            for (ptrdiff_t i = k; pending && i < stop; i += 4) {
                int hit = _mm_movemask_ps(_mm_cmpeq_ps(abs_ps(_mm_loadu_ps(x + i)), v)) & pending;
                for (int l = 0; hit; ++l, hit >>= 1)
                    if (hit & 1) {
                        c[l].v = nv[l];
                        c[l].i = i + l + 1;
                        pending &= ~(1 << l);
                    }
            }
        }
        k = stop;
    }
}

template <bool MAX, class T, class M>
inline ptrdiff_t groups_sse(const T *, ptrdiff_t k, ptrdiff_t, Cand<M> *)
{
    return k; // only single-precision real data have a lane path
}
template <bool MAX>
inline ptrdiff_t groups_sse(const float *x, ptrdiff_t k, ptrdiff_t n, Cand<float> *c)
{
    ptrdiff_t end = k + ((n - k) & ~(ptrdiff_t)3);
    sgroups_sse<MAX>(x, k, end, c);
    return end;
}

template <bool MAX, class T>
int iamx(int n_, const T *x, int incx)
{
    typedef decltype(mag(x[0])) M;
    if (n_ < 1 || incx < 1)
        return 0; // no far-end rule here: a non-positive increment gives 0
    if (n_ == 1)
        return 1;
    ptrdiff_t n = n_, inc = incx;
    if (!MAX && n < 4) {
        Cand<M> c = {mag(x[0]), 1};
        for (ptrdiff_t k = 1; k < n; ++k)
            meet<MAX>(c, mag(x[k * inc]), k + 1);
        return (int)c.i;
    }
    // Four candidates; element k (1-based) of a full group of four meets
    // candidate (k - 1) mod 4, the elements after the last full group meet
    // candidate 4.
    Cand<M> c0, c1, c2, c3;
    ptrdiff_t k, ix;
    if (n >= 4) {
        c0 = {mag(x[0]), 1};
        c1 = {mag(x[inc]), 2};
        c2 = {mag(x[2 * inc]), 3};
        c3 = {mag(x[3 * inc]), 4};
        k = 4;
        if (inc == 1 && n >= 16) {
            Cand<M> c[4] = {c0, c1, c2, c3};
            k = groups_sse<MAX>(x, k, n, c);
            c0 = c[0];
            c1 = c[1];
            c2 = c[2];
            c3 = c[3];
        }
        ix = k * inc;
        for (; k + 4 <= n; k += 4, ix += 4 * inc) {
            if (inc == 1)
                prefetch(x, ix + 16);
            else
                prefetch_next4(x, ix, inc);
            meet<MAX>(c0, mag(x[ix]), k + 1);
            meet<MAX>(c1, mag(x[ix + inc]), k + 2);
            meet<MAX>(c2, mag(x[ix + 2 * inc]), k + 3);
            meet<MAX>(c3, mag(x[ix + 3 * inc]), k + 4);
        }
    } else {
        // n = 2 or 3 (maximum only): candidates 2 to 4 start below any
        // magnitude, with index 0.
        c0 = {mag(x[0]), 1};
        c1 = c2 = c3 = {(M)-1, 0};
        k = 1;
        ix = inc;
    }
    for (; k < n; ++k, ix += inc)
        meet<MAX>(c3, mag(x[ix]), k + 1);
    merge<MAX>(c0, c1);
    merge<MAX>(c0, c2);
    merge<MAX>(c0, c3);
    return (int)c0.i;
}

} // namespace
} // namespace zem_l1

using namespace zem_l1;

extern "C" ZEM_API int _ZEM_BLAS_isamax ZEM_P_ASUM(float, float) { return iamx<true>(*n, x, *incx); }
extern "C" ZEM_API int _ZEM_BLAS_idamax ZEM_P_ASUM(double, double) { return iamx<true>(*n, x, *incx); }
extern "C" ZEM_API int _ZEM_BLAS_icamax ZEM_P_ASUM(ZEM_Complex8, float) { return iamx<true>(*n, x, *incx); }
extern "C" ZEM_API int _ZEM_BLAS_izamax ZEM_P_ASUM(ZEM_Complex16, double) { return iamx<true>(*n, x, *incx); }
extern "C" ZEM_API int _ZEM_BLAS_isamin ZEM_P_ASUM(float, float) { return iamx<false>(*n, x, *incx); }
extern "C" ZEM_API int _ZEM_BLAS_idamin ZEM_P_ASUM(double, double) { return iamx<false>(*n, x, *incx); }
extern "C" ZEM_API int _ZEM_BLAS_icamin ZEM_P_ASUM(ZEM_Complex8, float) { return iamx<false>(*n, x, *incx); }
extern "C" ZEM_API int _ZEM_BLAS_izamin ZEM_P_ASUM(ZEM_Complex16, double) { return iamx<false>(*n, x, *incx); }
