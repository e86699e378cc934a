/* The parallel split of ?trsm and ?trmm: run the serial driver once, or
 * share out B in slabs, columns for side L (A of order m acts on each
 * column alone), rows for side R, one slab per thread index of an OpenMP
 * loop with static schedule.
 *
 * Decision: serial mode; n = 0; alpha = 0 of a real solve (B set to zero,
 * A not read); the size gate of the routine; already inside a parallel
 * region; T, the OpenMP maximum thread count, of 1. Slabs follow the
 * routine's chunk rule: floor (c = D div T, the last index takes the
 * rest) or ceiling (c = (D - 1) div T + 1, indices past the end idle).
 * The serial drivers keep at most one leaf block (32 KB) on the stack and
 * take gemm work memory from the per-thread cache, so the worker threads'
 * default stacks suffice and no stack size is requested. */
#ifndef ZEM_BLAS_LEVEL3_TRI3_SPLIT_H
#define ZEM_BLAS_LEVEL3_TRI3_SPLIT_H

#include <omp.h>

#include "blas/interface/entry.h"
#include "blas/kernel/default/level3/triangular3.h"

namespace zem_tri3 {

/* Size gates: m > 16 or n > 16; that and the split dimension > 16; both. */
enum Gate { kEither, kEitherAndSplit, kBoth };
enum Chunk { kFloor, kCeiling };

constexpr int kGateSize = 16;

template <class T, Routine<T> X, Gate G, Chunk C, bool ZeroAlphaHere>
void split(const char *side, const char *uplo, const char *transa, const char *diag, const int *m, const int *n,
           const T *alpha, const T *a, const int *lda, T *b, const int *ldb)
{
    if (_ZEM_SERV_in_serial() == 1) {
        X(side, uplo, transa, diag, m, n, alpha, a, lda, b, ldb);
        return;
    }
    const int M = *m, N = *n;
    if (N == 0)
        return;
    if (ZeroAlphaHere && zem_l2::is_zero(zem_kernel::element<T>::load(*alpha))) {
        zero<T>(M, N, b, ld_of(ldb));
        return;
    }
    const bool left = _ZEM_SERV_lsame(side, "L") != 0;
    const int D = left ? N : M;
    const bool pass = G == kBoth ? (M > kGateSize && N > kGateSize)
                                 : (M > kGateSize || N > kGateSize) && (G == kEither || D > kGateSize);
    if (!pass || omp_in_parallel()) {
        X(side, uplo, transa, diag, m, n, alpha, a, lda, b, ldb);
        return;
    }
    const int T_ = omp_get_max_threads();
    if (T_ <= 1) {
        X(side, uplo, transa, diag, m, n, alpha, a, lda, b, ldb);
        return;
    }
    const ptrdiff_t lb = ld_of(ldb);
    const int chunk = C == kFloor ? D / T_ : (D - 1) / T_ + 1;
#pragma omp parallel for schedule(static)
    for (int t = 0; t < T_; ++t) {
        const ptrdiff_t at = (ptrdiff_t)t * chunk;
        const int s = (int)(at < D - 1 ? at : D - 1);
        int cnt;
        if (C == kFloor)
            cnt = t == T_ - 1 ? (int)(D - at > 0 ? D - at : 0) : chunk;
        else
            cnt = (int)(D - at < chunk ? D - at : chunk);
        if (cnt > 0) {
            if (left)
                X(side, uplo, transa, diag, m, &cnt, alpha, a, lda, b + s * lb, ldb);
            else
                X(side, uplo, transa, diag, &cnt, n, alpha, a, lda, b + s, ldb);
        }
    }
}

} // namespace zem_tri3

#endif
