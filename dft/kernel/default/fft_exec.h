// The order in which a plan's passes run, shared by both precisions and
// by the serial and parallel drivers. Passes over blocks longer than the
// leaf run block after block, depth first, so that each block is finished
// while it is still in cache; inside a leaf every pass runs over the whole
// leaf. The first pass that reads a point reads the caller's layout and
// the last one writes it; passes in between may keep a layout of their
// own (the single-precision kernels keep four real parts, then four
// imaginary parts). K supplies the passes:
//   K::pass(inv, level, data, points, twiddles, part, parts, mode, scale)
//   K::fin_fwd(plan, data, points, from_caller_layout)
//   K::first_inv(plan, data, points, to_caller_layout, scale)
//   K::at(data, k)  the data from point k on
#ifndef ZEM_DFT_FFT_EXEC_H
#define ZEM_DFT_FFT_EXEC_H

#include "dft/kernel/fft_kernels.h"

namespace zem_dft {

// Pass modes: read the caller's layout; write it (and scale: last pass).
enum { kInExt = 1, kOutExt = 2 };

template <class K> struct Exec {
    typedef typename K::T T;
    typedef typename K::D D;
    const Plan &pl;
    const T *tw;

    void pass(bool inv, int i, D x, ptrdiff_t len, int mode, T scale, int part = 0, int parts = 1) const
    {
        K::pass(inv, pl.lev[i], x, len, tw + pl.lev[i].tw, part, parts, mode, scale);
    }

    void leaf_fwd(D x, ptrdiff_t len, int i, bool inExt) const
    {
        for (; i < pl.nlev; ++i, inExt = false)
            pass(false, i, x, len, inExt ? kInExt : 0, 1);
        K::fin_fwd(pl, x, len, inExt);
    }

    // Forward passes i.. on the 2^lgS points at x.
    void fwd_seg(D x, int lgS, int i, bool inExt) const
    {
        const ptrdiff_t len = (ptrdiff_t)1 << lgS;
        if (lgS <= pl.leafLg) {
            leaf_fwd(x, len, i, inExt);
            return;
        }
        const int lg = pl.lev[i].lg;
        if (lg < lgS) {
            for (ptrdiff_t k = 0; k < len; k += (ptrdiff_t)1 << lg)
                fwd_seg(K::at(x, k), lg, i, inExt);
            return;
        }
        pass(false, i, x, len, inExt ? kInExt : 0, 1);
        fwd_seg(x, lgS, i + 1, false);
    }

    void leaf_inv(D x, ptrdiff_t len, int i, bool outExt, T scale) const
    {
        K::first_inv(pl, x, len, outExt && i >= pl.nlev, scale);
        for (int q = pl.nlev - 1; q >= i; --q)
            pass(true, q, x, len, q == i && outExt ? kOutExt : 0, scale);
    }

    // Backward passes down to i on the 2^lgS points at x (the mirror).
    void bwd_seg(D x, int lgS, int i, bool outExt, T scale) const
    {
        const ptrdiff_t len = (ptrdiff_t)1 << lgS;
        if (lgS <= pl.leafLg) {
            leaf_inv(x, len, i, outExt, scale);
            return;
        }
        const int lg = pl.lev[i].lg;
        if (lg < lgS) {
            for (ptrdiff_t k = 0; k < len; k += (ptrdiff_t)1 << lg)
                bwd_seg(K::at(x, k), lg, i, outExt, scale);
            return;
        }
        bwd_seg(x, lgS, i + 1, false, 1);
        pass(true, i, x, len, outExt ? kOutExt : 0, scale);
    }

    // The parallel forms: passes over blocks longer than a piece are shared
    // among the threads by ranges of butterflies, with a barrier after
    // each; then the pieces go to the threads whole. Defined in the tier's
    // parallel file.
    void fwd_par(D x, int pieces) const;
    void bwd_par(D x, T scale, int pieces) const;
};

// Range of butterflies [j0, j1) of `part` out of `parts` among J, in
// groups of four.
inline void part_range(ptrdiff_t J, int part, int parts, ptrdiff_t &j0, ptrdiff_t &j1)
{
    j0 = (J * part / parts) & ~(ptrdiff_t)3;
    j1 = part + 1 == parts ? J : (J * (part + 1) / parts) & ~(ptrdiff_t)3;
}

} // namespace zem_dft

#endif
