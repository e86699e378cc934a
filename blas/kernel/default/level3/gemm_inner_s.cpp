// Inner kernels of single-precision gemm, on SSE: for each column j, R rows
// of C get the depth-K products of the packed block (micro-panels of 16
// rows, alpha folded in) with B(0:K-1, j). One SSE register holds the sums
// of four rows; per depth index b is broadcast once (movss + shufps) and
// multiplied into the row vectors (mulps from memory, addps: SSE1 only).
//
// Inline assembly, because the compiler hoists the broadcasts of the
// unrolled depth loop and spills them. 64-bit code keeps the 32 rows of a
// column in eight registers; 32-bit code has eight registers in all and
// takes one micro-panel (four registers) at a time. The depth loop runs
// four steps per iteration (K is a multiple of 16).
#include <xmmintrin.h>

#include "blas/kernel/default/level3/gemm_kernels.h"

namespace {

// One depth step s (0..3) of the loop body: b at 4*s, panel rows at 64*s.
#define ZEM_BCAST(s) "movss " #s "*4(%[b]), %%xmm4\n\t" "shufps $0, %%xmm4, %%xmm4\n\t"
// The product is formed in a copy of the broadcast with the packed
// values as the memory operand of mulps (the register copy costs no
// execution unit), which keeps more steps in flight than a separate load.
#define ZEM_MADD(base, s, v, acc)                                 \
    "movaps %%xmm4, %%xmm5\n\t"                                   \
    "mulps " #s "*64+" #v "*16(%[" #base "]), %%xmm5\n\t"         \
    "addps %%xmm5, %%" #acc "\n\t"
#define ZEM_STEP4(s)                                              \
    ZEM_BCAST(s) ZEM_MADD(a, s, 0, xmm0) ZEM_MADD(a, s, 1, xmm1) \
    ZEM_MADD(a, s, 2, xmm2) ZEM_MADD(a, s, 3, xmm3)
#define ZEM_STEP8(s)                                                 \
    ZEM_STEP4(s) ZEM_MADD(a2, s, 0, xmm6) ZEM_MADD(a2, s, 1, xmm7) \
    ZEM_MADD(a2, s, 2, xmm8) ZEM_MADD(a2, s, 3, xmm9)
#define ZEM_ADDC(off, acc)                      \
    "movups " #off "(%[c]), %%xmm5\n\t"         \
    "addps %%xmm5, %%" #acc "\n\t"              \
    "movups %%" #acc ", " #off "(%[c])\n\t"

// 16 rows (one micro-panel) of one column.
inline void panel16(const float *a, const float *b, float *c, int k)
{
    int n = k / 4;
    __asm__ volatile("xorps %%xmm0, %%xmm0\n\t"
                     "xorps %%xmm1, %%xmm1\n\t"
                     "xorps %%xmm2, %%xmm2\n\t"
                     "xorps %%xmm3, %%xmm3\n\t"
                     "1:\n\t" ZEM_STEP4(0) ZEM_STEP4(1) ZEM_STEP4(2) ZEM_STEP4(3)
                     "add $16, %[b]\n\t"
                     "add $256, %[a]\n\t"
                     "dec %[n]\n\t"
                     "jnz 1b\n\t" ZEM_ADDC(0, xmm0) ZEM_ADDC(16, xmm1) ZEM_ADDC(32, xmm2) ZEM_ADDC(48, xmm3)
                     : [a] "+r"(a), [b] "+r"(b), [n] "+r"(n)
                     : [c] "r"(c)
                     : "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "memory", "cc");
}

#ifdef __x86_64__
// 32 rows (two micro-panels, the second 16*k floats on) of one column.
inline void panel32(const float *a, const float *b, float *c, int k)
{
    int n = k / 4;
    const float *a2 = a + 16 * k;
    __asm__ volatile("xorps %%xmm0, %%xmm0\n\t"
                     "xorps %%xmm1, %%xmm1\n\t"
                     "xorps %%xmm2, %%xmm2\n\t"
                     "xorps %%xmm3, %%xmm3\n\t"
                     "xorps %%xmm6, %%xmm6\n\t"
                     "xorps %%xmm7, %%xmm7\n\t"
                     "xorps %%xmm8, %%xmm8\n\t"
                     "xorps %%xmm9, %%xmm9\n\t"
                     "1:\n\t" ZEM_STEP8(0) ZEM_STEP8(1) ZEM_STEP8(2) ZEM_STEP8(3)
                     "add $16, %[b]\n\t"
                     "add $256, %[a]\n\t"
                     "add $256, %[a2]\n\t"
                     "dec %[n]\n\t"
                     "jnz 1b\n\t" ZEM_ADDC(0, xmm0) ZEM_ADDC(16, xmm1) ZEM_ADDC(32, xmm2) ZEM_ADDC(48, xmm3)
                     ZEM_ADDC(64, xmm6) ZEM_ADDC(80, xmm7) ZEM_ADDC(96, xmm8) ZEM_ADDC(112, xmm9)
                     : [a] "+r"(a), [a2] "+r"(a2), [b] "+r"(b), [n] "+r"(n)
                     : [c] "r"(c)
                     : "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8", "xmm9", "memory",
                       "cc");
}
#endif

template <int R, int K>
void kernel(int nb, const float *ap, const float *b, ptrdiff_t ldb, float *c, ptrdiff_t ldc)
{
    for (int j = 0; j < nb; ++j) {
        // the next column of B (K floats) and of C (R floats)
        for (int q = 0; q <= K; q += 16)
            _mm_prefetch((const char *)(b + ldb + q), _MM_HINT_T0);
        for (int q = 0; q <= R; q += 16)
            _mm_prefetch((const char *)(c + ldc + q), _MM_HINT_T0);
        int r = 0;
#ifdef __x86_64__
        for (; r + 32 <= R; r += 32)
            panel32(ap + r * K, b, c + r, K);
#endif
        for (; r < R; r += 16)
            panel16(ap + r * K, b, c + r, K);
        b += ldb;
        c += ldc;
    }
}

} // namespace

#define ZEM_SKERNEL(x, R, K)                                         \
    extern "C" void ZEM_GEMM_KERNEL_NAME(x, R, K) ZEM_GEMM_KERNEL_ARGS_s \
    {                                                                \
        kernel<R, K>(nb, ap, b, ldb, c, ldc);                        \
    }
ZEM_GEMM_KERNELS_S(ZEM_SKERNEL)
