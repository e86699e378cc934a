// Unblocked edge routines of the real matrix-multiply drivers: the depth
// remainders and the rows a kernel cannot take. Sums start from zero in
// the accumulator type (x87 extended for double, single for float); then
// C = alpha*sum + C.
#include <xmmintrin.h>

#include "blas/kernel/default/level3/gemm_kernels.h"

namespace {

template <class T, class ACC, bool TA, bool TB>
void edge(int mb, int nb, int kb, T alpha, const T *a, ptrdiff_t lda, const T *b, ptrdiff_t ldb, T *c,
          ptrdiff_t ldc)
{
    const ACC al = alpha;
    for (ptrdiff_t j = 0; j < nb; ++j) {
        T *cj = c + j * ldc;
        // B(p, j) for op(B) = B or B^T
        const T *bj = TB ? b + j : b + j * ldb;
        const ptrdiff_t bs = TB ? ldb : 1;
        ptrdiff_t i = 0;
        for (; i + 4 <= mb; i += 4) {
            ACC s0 = 0, s1 = 0, s2 = 0, s3 = 0;
            for (ptrdiff_t p = 0; p < kb; ++p) {
                const ACC bv = bj[p * bs];
                if (TA) {
                    s0 += (ACC)a[p + i * lda] * bv;
                    s1 += (ACC)a[p + (i + 1) * lda] * bv;
                    s2 += (ACC)a[p + (i + 2) * lda] * bv;
                    s3 += (ACC)a[p + (i + 3) * lda] * bv;
                } else {
                    const T *ap = a + i + p * lda;
                    s0 += (ACC)ap[0] * bv;
                    s1 += (ACC)ap[1] * bv;
                    s2 += (ACC)ap[2] * bv;
                    s3 += (ACC)ap[3] * bv;
                }
            }
            cj[i] = (T)(al * s0 + cj[i]);
            cj[i + 1] = (T)(al * s1 + cj[i + 1]);
            cj[i + 2] = (T)(al * s2 + cj[i + 2]);
            cj[i + 3] = (T)(al * s3 + cj[i + 3]);
        }
        for (; i < mb; ++i) {
            ACC s = 0;
            for (ptrdiff_t p = 0; p < kb; ++p)
                s += (ACC)(TA ? a[p + i * lda] : a[i + p * lda]) * (ACC)bj[p * bs];
            cj[i] = (T)(al * s + cj[i]);
        }
    }
}

// Single precision with op(A) = A: four consecutive rows in one SSE
// register, V registers of rows by NC columns at a time (enough
// independent sums to hide the latency of addps); the same sums in the
// same order as above.
template <bool TB, int V, int NC>
inline void edge_block(int kb, const __m128 al, const float *a, ptrdiff_t lda, const float *b, ptrdiff_t ldb,
                       float *c, ptrdiff_t ldc)
{
    __m128 s[NC][V];
    for (int q = 0; q < NC; ++q)
        for (int v = 0; v < V; ++v)
            s[q][v] = _mm_setzero_ps();
    for (ptrdiff_t p = 0; p < kb; ++p) {
        __m128 av[V];
        for (int v = 0; v < V; ++v)
            av[v] = _mm_loadu_ps(a + 4 * v + p * lda);
        for (int q = 0; q < NC; ++q) {
            const __m128 bv = _mm_set1_ps(TB ? b[q + p * ldb] : b[p + q * ldb]);
            for (int v = 0; v < V; ++v)
                s[q][v] = _mm_add_ps(s[q][v], _mm_mul_ps(av[v], bv));
        }
    }
    for (int q = 0; q < NC; ++q)
        for (int v = 0; v < V; ++v) {
            float *cq = c + q * ldc + 4 * v;
            _mm_storeu_ps(cq, _mm_add_ps(_mm_mul_ps(al, s[q][v]), _mm_loadu_ps(cq)));
        }
}

template <bool TB>
void edge_sse(int mb, int nb, int kb, float alpha, const float *a, ptrdiff_t lda, const float *b, ptrdiff_t ldb,
              float *c, ptrdiff_t ldc)
{
    const __m128 al = _mm_set1_ps(alpha);
    const int m4 = mb / 4 * 4;
    ptrdiff_t j = 0;
    // B(p, j0 + q): b + q*ldb for op(B) = B, b + q for B^T
    for (; j + 4 <= nb; j += 4) {
        const float *bj = TB ? b + j : b + j * ldb;
        ptrdiff_t i = 0;
        for (; i + 8 <= m4; i += 8)
            edge_block<TB, 2, 4>(kb, al, a + i, lda, bj, ldb, c + i + j * ldc, ldc);
        for (; i < m4; i += 4)
            edge_block<TB, 1, 4>(kb, al, a + i, lda, bj, ldb, c + i + j * ldc, ldc);
    }
    for (; j < nb; ++j) {
        const float *bj = TB ? b + j : b + j * ldb;
        for (ptrdiff_t i = 0; i < m4; i += 4)
            edge_block<TB, 1, 1>(kb, al, a + i, lda, bj, ldb, c + i + j * ldc, ldc);
    }
    // the rows after the last group of four, one at a time
    for (ptrdiff_t jj = 0; jj < nb; ++jj) {
        float *cj = c + jj * ldc;
        const float *bj = TB ? b + jj : b + jj * ldb;
        const ptrdiff_t bs = TB ? ldb : 1;
        for (ptrdiff_t i = m4; i < mb; ++i) {
            float sum = 0;
            for (ptrdiff_t p = 0; p < kb; ++p)
                sum += a[i + p * lda] * bj[p * bs];
            cj[i] = alpha * sum + cj[i];
        }
    }
}

template <>
void edge<float, float, false, false>(int mb, int nb, int kb, float alpha, const float *a, ptrdiff_t lda,
                                      const float *b, ptrdiff_t ldb, float *c, ptrdiff_t ldc)
{
    edge_sse<false>(mb, nb, kb, alpha, a, lda, b, ldb, c, ldc);
}
template <>
void edge<float, float, false, true>(int mb, int nb, int kb, float alpha, const float *a, ptrdiff_t lda,
                                     const float *b, ptrdiff_t ldb, float *c, ptrdiff_t ldc)
{
    edge_sse<true>(mb, nb, kb, alpha, a, lda, b, ldb, c, ldc);
}

} // namespace

#define ZEM_EDGE(name, T, ACC, TA, TB)                                                                 \
    extern "C" void name(int mb, int nb, int kb, T alpha, const T *a, ptrdiff_t lda, const T *b,      \
                         ptrdiff_t ldb, T *c, ptrdiff_t ldc)                                           \
    {                                                                                                  \
        edge<T, ACC, TA, TB>(mb, nb, kb, alpha, a, lda, b, ldb, c, ldc);                               \
    }
#define ZEM_EDGE4(x, T, ACC, s)                           \
    ZEM_EDGE(_ZEM_BLAS_##x##pst_nn##s, T, ACC, false, false) \
    ZEM_EDGE(_ZEM_BLAS_##x##pst_nt##s, T, ACC, false, true)  \
    ZEM_EDGE(_ZEM_BLAS_##x##pst_tn##s, T, ACC, true, false)  \
    ZEM_EDGE(_ZEM_BLAS_##x##pst_tt##s, T, ACC, true, true)

// Depth-edge routines (any piece) and row-edge routines (the one to three
// bottom rows of a tile at depth 64) of double precision; single precision
// uses its depth-edge routines for both.
ZEM_EDGE4(d, double, long double, k)
ZEM_EDGE4(d, double, long double, m)
ZEM_EDGE4(s, float, float, k)
