// The parallel one-dimensional radix-4 transform: the passes over blocks
// longer than a piece are shared among the threads by contiguous ranges
// of butterflies (a barrier after each), then the P independent pieces
// run as the iterations of a static OpenMP loop. The same passes as the
// serial order, so the results are the same to the last bit.
#ifndef ZEM_DFT_C1D_PAR_DFT_OMP_H
#define ZEM_DFT_C1D_PAR_DFT_OMP_H

#include <omp.h>

#include "dft/kernel/default/fft_exec.h"

namespace zem_dft {

template <class K> void Exec<K>::fwd_par(D x, int pieces) const
{
    const int lgPiece = pl.p - log2_exact(pieces);
    const ptrdiff_t n = (ptrdiff_t)1 << pl.p;
#pragma omp parallel num_threads(pieces)
    {
        const int t = omp_get_thread_num(), nt = omp_get_num_threads();
        int i = 0;
        for (; pl.lev[i].lg > lgPiece; ++i) {
            pass(false, i, x, n, i == 0 ? kInExt : 0, 1, t, nt);
#pragma omp barrier
        }
#pragma omp for schedule(static)
        for (int q = 0; q < pieces; ++q)
            fwd_seg(K::at(x, (ptrdiff_t)q << lgPiece), lgPiece, i, false);
    }
}

template <class K> void Exec<K>::bwd_par(D x, T scale, int pieces) const
{
    const int lgPiece = pl.p - log2_exact(pieces);
    const ptrdiff_t n = (ptrdiff_t)1 << pl.p;
    int first = 0;
    while (pl.lev[first].lg > lgPiece)
        ++first;
#pragma omp parallel num_threads(pieces)
    {
        const int t = omp_get_thread_num(), nt = omp_get_num_threads();
#pragma omp for schedule(static)
        for (int q = 0; q < pieces; ++q)
            bwd_seg(K::at(x, (ptrdiff_t)q << lgPiece), lgPiece, first, false, 1);
        for (int i = first - 1; i >= 0; --i) {
            pass(true, i, x, n, i == 0 ? kOutExt : 0, scale, t, nt);
#pragma omp barrier
        }
    }
}

} // namespace zem_dft

#endif
