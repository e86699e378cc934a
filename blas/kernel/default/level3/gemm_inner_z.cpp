// Inner kernels of double-complex gemm, on the x87 unit in extended
// precision, in inline assembly. The packed block holds micro-panels of
// two rows (real and imaginary parts adjacent, no alpha). For each column j
// a micro-panel keeps six sums on the x87 stack (the two products of each
// real part kept apart, so that every step is an addition) over a depth
// loop of four steps per iteration; then alpha is applied: 1 adds the sums
// to C, -1 subtracts them (both inside the assembly), anything else
// multiplies them by alpha first. B(0:K-1, j) is read with unit stride,
// columns ldb apart.
#include "blas/kernel/default/level3/gemm_kernels.h"

namespace {

enum AlphaKind { ONE, MINUS_ONE, GENERAL };

// One depth step s of the loop body: a at 32*s bytes, b at 16*s bytes.
// The six sums sit at st(0) .. st(5): re0 (a.re*b.re), re0' (a.im*b.im),
// im0, re1, re1', im1; each product is load, multiply from memory, add.
#define ZEM_ZMA(ao, bo, acc) \
    "fldl " #ao "(%[a])\n\t" "fmull " #bo "(%[b])\n\t" "faddp %%st, %%st(" #acc ")\n\t"
#define ZEM_ZSTEP(s)                                                                              \
    ZEM_ZMA(s*32+0, s*16+0, 1) ZEM_ZMA(s*32+8, s*16+8, 2) ZEM_ZMA(s*32+0, s*16+8, 3)             \
    ZEM_ZMA(s*32+8, s*16+0, 3) ZEM_ZMA(s*32+16, s*16+0, 4) ZEM_ZMA(s*32+24, s*16+8, 5)          \
    ZEM_ZMA(s*32+16, s*16+8, 6) ZEM_ZMA(s*32+24, s*16+0, 6)

// The loop over depth k (a multiple of 4) for one micro-panel (two rows)
// against one column, then the six sums folded into four:
// re0 - re0' by fchs and faddp, leaving st(0) = im0, st(1) = re1 - re1',
// st(2) = re0 - re0', st(3) = im1.
#define ZEM_ZLOOP                                                     \
    "fldz\n\tfldz\n\tfldz\n\tfldz\n\tfldz\n\tfldz\n\t"            \
    "1:\n\t" ZEM_ZSTEP(0) ZEM_ZSTEP(1) ZEM_ZSTEP(2) ZEM_ZSTEP(3)     \
    "add $128, %[a]\n\t"                                             \
    "add $64, %[b]\n\t"                                              \
    "dec %[n]\n\t"                                                   \
    "jnz 1b\n\t"                                                     \
    "fxch %%st(1)\n\tfchs\n\tfaddp %%st, %%st(1)\n\t"                \
    "fxch %%st(3)\n\tfchs\n\tfaddp %%st, %%st(2)\n\t"
#define ZEM_ZCLOBBER "st", "st(1)", "st(2)", "st(3)", "st(4)", "st(5)", "st(6)", "st(7)", "memory", "cc"

// alpha = 1 (SIGN empty) or -1 (SIGN "fchs"): each folded sum is added to
// (subtracted from) its element of C in extended precision and stored
// rounded: im0, re1, re0, im1 in stack order.
#define ZEM_ZUPDATE(SIGN)                                           \
    SIGN "faddl 8(%[c])\n\tfstpl 8(%[c])\n\t"                      \
    SIGN "faddl 16(%[c])\n\tfstpl 16(%[c])\n\t"                    \
    SIGN "faddl (%[c])\n\tfstpl (%[c])\n\t"                        \
    SIGN "faddl 24(%[c])\n\tfstpl 24(%[c])\n\t"

union Slot {
    long double v; // 16 bytes apart on both builds
    char raw[16];
};

template <int K, AlphaKind AK>
__attribute__((always_inline)) inline void panel(const double *a, const ZEM_Complex16 *b, ZEM_Complex16 *c,
                                                 long double alr, long double ali)
{
    int n = K / 4;
    if (AK == ONE) {
        __asm__ volatile(ZEM_ZLOOP ZEM_ZUPDATE("")
                         : [a] "+r"(a), [b] "+r"(b), [n] "+r"(n)
                         : [c] "r"(c)
                         : ZEM_ZCLOBBER);
    } else if (AK == MINUS_ONE) {
        __asm__ volatile(ZEM_ZLOOP ZEM_ZUPDATE("fchs\n\t")
                         : [a] "+r"(a), [b] "+r"(b), [n] "+r"(n)
                         : [c] "r"(c)
                         : ZEM_ZCLOBBER);
    } else {
        Slot o[4];
        __asm__ volatile(ZEM_ZLOOP "fstpt 16(%[o])\n\t"
                                   "fstpt 32(%[o])\n\t"
                                   "fstpt (%[o])\n\t"
                                   "fstpt 48(%[o])\n\t"
                         : [a] "+r"(a), [b] "+r"(b), [n] "+r"(n)
                         : [o] "r"(o)
                         : ZEM_ZCLOBBER);
        const long double r0 = o[0].v, i0 = o[1].v, r1 = o[2].v, i1 = o[3].v;
        c[0].real = (double)(c[0].real + (alr * r0 - ali * i0));
        c[0].imag = (double)(c[0].imag + (alr * i0 + ali * r0));
        c[1].real = (double)(c[1].real + (alr * r1 - ali * i1));
        c[1].imag = (double)(c[1].imag + (alr * i1 + ali * r1));
    }
}

template <int R, int K, AlphaKind AK>
void columns(int nb, const double *ap, const ZEM_Complex16 *b, ptrdiff_t ldb, ZEM_Complex16 *c, ptrdiff_t ldc,
             long double alr, long double ali)
{
    for (int j = 0; j < nb; ++j) {
        __builtin_prefetch(b + ldb);
        __builtin_prefetch(b + ldb + 4);
        for (int g = 0; g < R / 2; ++g)
            panel<K, AK>(ap + 4 * K * g, b, c + 2 * g, alr, ali);
        b += ldb;
        c += ldc;
    }
}

template <int R, int K>
void kernel(int nb, const double *ap, const ZEM_Complex16 *b, ptrdiff_t ldb, ZEM_Complex16 *c, ptrdiff_t ldc,
            const ZEM_Complex16 *alpha)
{
    if (alpha->imag == 0 && alpha->real == 1)
        columns<R, K, ONE>(nb, ap, b, ldb, c, ldc, 1, 0);
    else if (alpha->imag == 0 && alpha->real == -1)
        columns<R, K, MINUS_ONE>(nb, ap, b, ldb, c, ldc, -1, 0);
    else
        columns<R, K, GENERAL>(nb, ap, b, ldb, c, ldc, alpha->real, alpha->imag);
}

} // namespace

#define ZEM_ZKERNEL(x, R, K)                                         \
    extern "C" void ZEM_GEMM_KERNEL_NAME(x, R, K) ZEM_GEMM_KERNEL_ARGS_z \
    {                                                                \
        kernel<R, K>(nb, ap, b, ldb, c, ldc, alpha);                 \
    }
ZEM_GEMM_KERNELS_Z(ZEM_ZKERNEL)
