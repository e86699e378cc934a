// Inner kernels of single-complex gemm, on SSE. The packed block (alpha
// folded in) and the B buffer hold groups of eight floats: the real parts,
// then the imaginary parts, of four consecutive depth indices. A row of
// the block against a column of the buffer is therefore four-lane
// products: re += ar*br - ai*bi, im += ar*bi + ai*br, with plain mulps,
// addps and subps. Four rows share each loaded group of B; at the end of a
// column the lanes of the four rows are summed by a 4x4 transpose and
// added to the work tile.
#include <xmmintrin.h>

#include "blas/kernel/default/level3/gemm_kernels.h"

namespace {

// Four rows (row stride 2*K floats) of one column.
template <int K>
__attribute__((always_inline)) inline void rows4(const float *a, const float *b, ZEM_Complex8 *t)
{
    __m128 r0 = _mm_setzero_ps(), r1 = r0, r2 = r0, r3 = r0;
    __m128 i0 = r0, i1 = r0, i2 = r0, i3 = r0;
    constexpr int RS = 2 * K;
    for (int q = 0; q < 2 * K; q += 8) {
        const __m128 br = _mm_load_ps(b + q), bi = _mm_load_ps(b + q + 4);
#define ZEM_ROW(n)                                                                 \
    {                                                                              \
        const __m128 ar = _mm_load_ps(a + n * RS + q), ai = _mm_load_ps(a + n * RS + q + 4); \
        r##n = _mm_add_ps(r##n, _mm_mul_ps(ar, br));                               \
        r##n = _mm_sub_ps(r##n, _mm_mul_ps(ai, bi));                               \
        i##n = _mm_add_ps(i##n, _mm_mul_ps(ar, bi));                               \
        i##n = _mm_add_ps(i##n, _mm_mul_ps(ai, br));                               \
    }
        ZEM_ROW(0) ZEM_ROW(1) ZEM_ROW(2) ZEM_ROW(3)
#undef ZEM_ROW
    }
    _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
    _MM_TRANSPOSE4_PS(i0, i1, i2, i3);
    const __m128 re = _mm_add_ps(_mm_add_ps(r0, r1), _mm_add_ps(r2, r3));
    const __m128 im = _mm_add_ps(_mm_add_ps(i0, i1), _mm_add_ps(i2, i3));
    float *tf = &t->real;
    _mm_storeu_ps(tf, _mm_add_ps(_mm_loadu_ps(tf), _mm_unpacklo_ps(re, im)));
    _mm_storeu_ps(tf + 4, _mm_add_ps(_mm_loadu_ps(tf + 4), _mm_unpackhi_ps(re, im)));
}

template <int R, int K>
void kernel(int nb, const float *ap, const float *bbuf, ptrdiff_t ldbuf, ZEM_Complex8 *t, ptrdiff_t ldt)
{
    for (int j = 0; j < nb; ++j) {
        _mm_prefetch((const char *)(bbuf + ldbuf), _MM_HINT_T0);
        for (int r = 0; r < R; r += 4)
            rows4<K>(ap + r * 2 * K, bbuf, t + r);
        bbuf += ldbuf;
        t += ldt;
    }
}

} // namespace

#define ZEM_CKERNEL(x, R, K)                                         \
    extern "C" void ZEM_GEMM_KERNEL_NAME(x, R, K) ZEM_GEMM_KERNEL_ARGS_c \
    {                                                                \
        kernel<R, K>(nb, ap, bbuf, ldbuf, t, ldt);                   \
    }
ZEM_GEMM_KERNELS_C(ZEM_CKERNEL)
