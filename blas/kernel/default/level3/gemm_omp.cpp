// The gemm kernels _ZEM_BLAS_?gemm: run the serial driver once, or split C
// into slabs of rows (m > n) or columns (m <= n) and run the serial driver
// on every slab in an OpenMP parallel loop over the thread indices.
//
// Decision: quick return when m <= 0 or n <= 0; serial mode; the size gate
// (any of m, n, k above 16); already inside a parallel region; T, the
// OpenMP maximum thread count, of 1. No stack-size request is made: the
// serial drivers take their work memory from the per-thread cache, not
// from the stack. When the runtime gives the region fewer threads than T,
// the static schedule still runs all T indices with the same slabs, so
// the results do not depend on it. The regions are written with the
// compiler's OpenMP constructs.
#include <omp.h>

#include "blas/interface/entry.h"
#include "blas/kernel/default/level3/gemm_kernels.h"

namespace {

template <class E>
using Driver = void (*)(const char *, const char *, const int *, const int *, const int *, const E *, const E *,
                        const int *, const E *, const int *, const E *, E *, const int *);

template <class E, Driver<E> X>
void gemm(const char *transa, const char *transb, const int *m, const int *n, const int *k, const E *alpha,
          const E *a, const int *lda, const E *b, const int *ldb, const E *beta, E *c, const int *ldc)
{
    const int M = *m, N = *n, K = *k;
    if (M <= 0 || N <= 0)
        return;
    if (_ZEM_SERV_in_serial() == 1 || !(M > 16 || N > 16 || K > 16) || omp_in_parallel()) {
        X(transa, transb, m, n, k, alpha, a, lda, b, ldb, beta, c, ldc);
        return;
    }
    const int T = omp_get_max_threads();
    if (T <= 1) {
        X(transa, transb, m, n, k, alpha, a, lda, b, ldb, beta, c, ldc);
        return;
    }
    const bool a_plain = zem_gemm::op_of(*transa) == zem_gemm::N;
    const bool b_plain = zem_gemm::op_of(*transb) == zem_gemm::N;
    const ptrdiff_t la = *lda < 0 ? 0 : *lda, lb = *ldb < 0 ? 0 : *ldb, lc = *ldc < 0 ? 0 : *ldc;
    const bool rows = M > N;
    const int D = rows ? M : N, chunk = D / T;
#pragma omp parallel for schedule(static)
    for (int t = 0; t < T; ++t) {
        // floor chunk: the last index takes the rest
        const int s = (int)((ptrdiff_t)t * chunk < D - 1 ? (ptrdiff_t)t * chunk : D - 1);
        const ptrdiff_t rest = (ptrdiff_t)D - (ptrdiff_t)t * chunk;
        const int cnt = t == T - 1 ? (int)(rest > 0 ? rest : 0) : chunk;
        if (rows) {
            // rows of C; A by s rows (op(A) = A) or s columns
            X(transa, transb, &cnt, n, k, alpha, a_plain ? a + s : a + s * la, lda, b, ldb, beta, c + s, ldc);
        } else {
            // columns of C; B by s columns (op(B) = B) or s rows
            X(transa, transb, m, &cnt, k, alpha, a, lda, b_plain ? b + s * lb : b + s, ldb, beta, c + s * lc,
              ldc);
        }
    }
}

} // namespace

extern "C" ZEM_API void _ZEM_BLAS_sgemm ZEM_P_GEMM(float, float)
{
    gemm<float, _ZEM_BLAS_xsgemm>(transa, transb, m, n, k, alpha, a, lda, b, ldb, beta, c, ldc);
}
extern "C" ZEM_API void _ZEM_BLAS_dgemm ZEM_P_GEMM(double, double)
{
    gemm<double, _ZEM_BLAS_xdgemm>(transa, transb, m, n, k, alpha, a, lda, b, ldb, beta, c, ldc);
}
extern "C" ZEM_API void _ZEM_BLAS_cgemm ZEM_P_GEMM(ZEM_Complex8, float)
{
    gemm<ZEM_Complex8, _ZEM_BLAS_xcgemm>(transa, transb, m, n, k, alpha, a, lda, b, ldb, beta, c, ldc);
}
extern "C" ZEM_API void _ZEM_BLAS_zgemm ZEM_P_GEMM(ZEM_Complex16, double)
{
    gemm<ZEM_Complex16, _ZEM_BLAS_xzgemm>(transa, transb, m, n, k, alpha, a, lda, b, ldb, beta, c, ldc);
}
