// When the fixed-argument FFT routines use threads, and how many.
#include <omp.h>

#include "dft/kernel/default/f_fft/legacy_fft.h"

namespace zem_dft {

// One-dimensional transforms of 2^p points: serial below 2^11 points, in
// serial mode, inside a parallel region or with one thread; otherwise the
// largest power of two of threads that leaves every piece 2^10 points.
int fft_pieces(int p)
{
    if (p < kMinParallelLg1D || _ZEM_SERV_in_serial() == 1 || omp_in_parallel())
        return 1;
    const int threads = omp_get_max_threads();
    if (threads < 2)
        return 1;
    int lgP = 0;
    while ((2 << lgP) <= threads)
        ++lgP;
    if (p - lgP < kMinPieceLg)
        lgP = p - kMinPieceLg;
    return lgP < 1 ? 1 : 1 << lgP;
}

// Two-dimensional transforms: serial in serial mode or inside a parallel
// region, and the complex ones (sized) also when log2 m + log2 n is below
// 11; otherwise every thread.
int fft2d_threads(int lgm, int lgn, bool sized)
{
    if ((sized && lgm + lgn < kMinParallelLg2D) || _ZEM_SERV_in_serial() == 1 || omp_in_parallel())
        return 1;
    const int threads = omp_get_max_threads();
    return threads < 2 ? 1 : threads;
}

} // namespace zem_dft
