// The kernels of symm and hemm: run the serial driver once, or split B and
// C into slabs in an OpenMP parallel loop over the thread indices (floor
// chunk): slabs of columns for side L, where A acts on every column of B
// alone, and slabs of rows for side R.
//
// Decision: serial mode; m = 0 or n = 0; alpha = 0 (C := beta*C without
// reading A or B, which the serial driver does); the size gate m > 16 or
// n > 16; already inside a parallel region; T, the OpenMP maximum thread
// count, of 1. No stack-size request: the serial drivers take their work
// memory from the per-thread cache.
#ifndef ZEM_BLAS_LEVEL3_SYMM_OMP_H
#define ZEM_BLAS_LEVEL3_SYMM_OMP_H

#include <omp.h>

#include "blas/kernel/default/level3/sym_common.h"

namespace zem_sym {

template <class E>
using SymmFn = void (*)(const char *, const char *, const int *, const int *, const E *, const E *, const int *,
                        const E *, const int *, const E *, E *, const int *);

template <class E, SymmFn<E> X>
void symm_kernel(const char *side, const char *uplo, const int *m, const int *n, const E *alpha, const E *a,
                 const int *lda, const E *b, const int *ldb, const E *beta, E *c, const int *ldc)
{
    if (_ZEM_SERV_in_serial() == 1) {
        X(side, uplo, m, n, alpha, a, lda, b, ldb, beta, c, ldc);
        return;
    }
    const int M = *m, N = *n;
    if (M <= 0 || N <= 0 || (is_zero(*alpha) && is_one(*beta)))
        return;
    const int T = is_zero(*alpha) || !(M > 16 || N > 16) || omp_in_parallel() ? 1 : omp_get_max_threads();
    if (T <= 1) {
        X(side, uplo, m, n, alpha, a, lda, b, ldb, beta, c, ldc);
        return;
    }
    const bool left = is_left(side);
    const ptrdiff_t lb = ld_of(ldb), lc = ld_of(ldc);
    const int D = left ? N : M, chunk = D / T;
#pragma omp parallel for schedule(static)
    for (int t = 0; t < T; ++t) {
        // floor chunk: the last index takes the rest
        const ptrdiff_t s = (ptrdiff_t)t * chunk < D - 1 ? (ptrdiff_t)t * chunk : D - 1;
        const ptrdiff_t rest = (ptrdiff_t)D - (ptrdiff_t)t * chunk;
        const int cnt = t == T - 1 ? (int)(rest > 0 ? rest : 0) : chunk;
        if (cnt <= 0)
            continue;
        if (left) // columns of B and C
            X(side, uplo, m, &cnt, alpha, a, lda, b + s * lb, ldb, beta, c + s * lc, ldc);
        else // rows of B and C
            X(side, uplo, &cnt, n, alpha, a, lda, b + s, ldb, beta, c + s, ldc);
    }
}

} // namespace zem_sym

#define ZEM_SYMM_KERNEL(lo, T, R)                                                          \
    extern "C" ZEM_API void _ZEM_BLAS_##lo ZEM_P_SYMM(T, R)                                \
    {                                                                                      \
        zem_sym::symm_kernel<T, _ZEM_BLAS_x##lo>(side, uplo, m, n, alpha, a, lda, b, ldb, beta, c, ldc); \
    }

#endif
