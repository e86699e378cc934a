// Scaling (sscalm) and zeroing (sscalmz) of a column-major single-precision
// block, used by the level-3 drivers on their output tiles.
#include "blas/kernel/default/level1/dense_vec.h"
#include "blas/kernel/default/level1/level1.h"

namespace zem_l1 {
namespace {

// Per column: when the start is element-aligned and at least eight
// elements remain after the next 16-byte boundary, the elements before it
// singly; then groups of eight with aligned accesses; then the rest singly.
// Columns that cannot reach alignment, or are shorter, go singly.
template <bool ZERO>
void scale_block(int m_, int n_, float alpha, float *a, int lda_)
{
    if (n_ < 1 || m_ < 1)
        return;
    ptrdiff_t m = m_, ld = lda_ < 0 ? 0 : lda_;
    const __m128 va = _mm_set1_ps(alpha), zero = _mm_setzero_ps();
    for (ptrdiff_t j = 0; j < n_; ++j) {
        float *c = a + j * ld;
        ptrdiff_t i = 0;
        ptrdiff_t peel = peel_count(c, sizeof(float), 16);
        if (peel >= 0 && m - peel >= 8) {
            for (; i < peel; ++i)
                c[i] = ZERO ? 0.0f : c[i] * alpha;
            for (; i + 8 <= m; i += 8) {
                if (ZERO) {
                    _mm_store_ps(c + i, zero);
                    _mm_store_ps(c + i + 4, zero);
                } else {
                    _mm_store_ps(c + i, _mm_mul_ps(_mm_load_ps(c + i), va));
                    _mm_store_ps(c + i + 4, _mm_mul_ps(_mm_load_ps(c + i + 4), va));
                }
            }
        }
        for (; i < m; ++i)
            c[i] = ZERO ? 0.0f : c[i] * alpha;
    }
}

} // namespace
} // namespace zem_l1

extern "C" ZEM_API void _ZEM_BLAS_sscalm(const int *m, const int *n, const float *alpha, float *a, const int *lda)
{
    zem_l1::scale_block<false>(*m, *n, *alpha, a, *lda);
}

extern "C" ZEM_API void _ZEM_BLAS_sscalmz(const int *m, const int *n, float *a, const int *lda)
{
    zem_l1::scale_block<true>(*m, *n, 0.0f, a, *lda);
}
