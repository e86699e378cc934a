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

#ifdef __x86_64__
// One row of a group of eight floats: ar and ai loaded once into
// registers (x, y; z a temporary), then
// re = (re + ar*br) - ai*bi and im = (im + ar*bi) + ai*br. The compiler
// would load each packed group twice instead.
#define ZEM_CROW(off, re, im, x, y, z)                                                  \
    "movaps " off "(%[a]), %[" #x "]\n\t"                                              \
    "movaps 16+" off "(%[a]), %[" #y "]\n\t"                                           \
    "movaps %[" #x "], %[" #z "]\n\t"                                                   \
    "mulps %[br], %[" #z "]\n\t"                                                        \
    "addps %[" #z "], %[" #re "]\n\t"                                                   \
    "movaps %[" #y "], %[" #z "]\n\t"                                                   \
    "mulps %[bi], %[" #z "]\n\t"                                                        \
    "subps %[" #z "], %[" #re "]\n\t"                                                   \
    "mulps %[bi], %[" #x "]\n\t"                                                        \
    "addps %[" #x "], %[" #im "]\n\t"                                                   \
    "mulps %[br], %[" #y "]\n\t"                                                        \
    "addps %[" #y "], %[" #im "]\n\t"
#endif

// Four rows (row stride 2*K floats) of one column.
template <int K>
__attribute__((always_inline)) inline void rows4(const float *a, const float *b, ZEM_Complex8 *t)
{
    __m128 r0 = _mm_setzero_ps(), r1 = r0, r2 = r0, r3 = r0;
    __m128 i0 = r0, i1 = r0, i2 = r0, i3 = r0;
    constexpr int RS = 2 * K;
#ifdef __x86_64__
    {
        __m128 br, bi, x, y, z;
        ptrdiff_t n = K / 4;
        __asm__("1:\n\t"
                "movaps (%[b]), %[br]\n\t"
                "movaps 16(%[b]), %[bi]\n\t"
                ZEM_CROW("0", r0, i0, x, y, z)
                ZEM_CROW("%c[o1]", r1, i1, x, y, z)
                ZEM_CROW("%c[o2]", r2, i2, x, y, z)
                ZEM_CROW("%c[o3]", r3, i3, x, y, z)
                "add $32, %[a]\n\t"
                "add $32, %[b]\n\t"
                "dec %[n]\n\t"
                "jnz 1b"
                : [a] "+r"(a), [b] "+r"(b), [n] "+r"(n), [r0] "+x"(r0), [r1] "+x"(r1), [r2] "+x"(r2), [r3] "+x"(r3),
                  [i0] "+x"(i0), [i1] "+x"(i1), [i2] "+x"(i2), [i3] "+x"(i3), [br] "=&x"(br), [bi] "=&x"(bi),
                  [x] "=&x"(x), [y] "=&x"(y), [z] "=&x"(z)
                : [o1] "i"(4 * RS), [o2] "i"(8 * RS), [o3] "i"(12 * RS)
                : "memory", "cc");
    }
#else
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
#endif
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
