// Inner kernels of double-precision gemm, on the x87 unit in extended
// precision: for each column j, R rows of C get the depth-K products of
// the packed block (micro-panels of four rows, alpha folded in) with
// B(0:K-1, j) added once. The depth loop is fully unrolled; each
// micro-panel keeps its four sums and b(p) on the x87 stack, and every
// product is a copy of b(p) multiplied by a from memory and added into its
// sum. A depth step is eight x87 operations against four sums, so each
// sum waits longer than the adder's latency for its next addition and the
// unit stays busy (about one flop per cycle).
#include "blas/kernel/default/level3/gemm_kernels.h"

namespace {

template <int K>
__attribute__((always_inline)) inline void panel(const double *a, const double *b, double *c)
{
    long double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
#pragma GCC unroll 64
    for (int p = 0; p < K; ++p) {
        s0 += (long double)a[4 * p] * b[p];
        s1 += (long double)a[4 * p + 1] * b[p];
        s2 += (long double)a[4 * p + 2] * b[p];
        s3 += (long double)a[4 * p + 3] * b[p];
    }
    c[0] = (double)(s0 + c[0]);
    c[1] = (double)(s1 + c[1]);
    c[2] = (double)(s2 + c[2]);
    c[3] = (double)(s3 + c[3]);
}

template <int R, int K>
void kernel(int nb, const double *ap, const double *b, ptrdiff_t ldb, double *c, ptrdiff_t ldc)
{
    for (int j = 0; j < nb; ++j) {
        __builtin_prefetch(b + ldb);
        __builtin_prefetch(b + ldb + 8);
        for (int g = 0; g < R / 4; ++g)
            panel<K>(ap + 4 * K * g, b, c + 4 * g);
        b += ldb;
        c += ldc;
    }
}

} // namespace

#define ZEM_DKERNEL(x, R, K)                                         \
    extern "C" void ZEM_GEMM_KERNEL_NAME(x, R, K) ZEM_GEMM_KERNEL_ARGS_d \
    {                                                                \
        kernel<R, K>(nb, ap, b, ldb, c, ldc);                        \
    }
ZEM_GEMM_KERNELS_D(ZEM_DKERNEL)
