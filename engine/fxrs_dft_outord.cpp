// Out-of-order factored DFT: decimation in frequency without the final
// reordering. The first stage takes the last factor found, q1, over the
// natural-order input at stride N/q1 without twiddles; every later stage
// splits each block by its radix after multiplying leg t of block kappa
// by w_N^(Q t kappa) (Q: the stage's stride, kappa: the frequency offset
// the block stands for). X[k], k = r1 + q1 r2 + q1 q2 r3 + ..., ends at
// r1 N/q1 + r2 N/(q1 q2) + .... The inverse runs the adjoint stages in
// reverse order and takes that order back to natural order.
#include <string.h>

#include "engine/fxrs_dft_kernels.h"

namespace fxrs {
namespace {

using namespace dft;

template <typename S> struct Run {
    const DftCtx<S> *c;
    const S *w; // e^(-2 pi i k/N)
    int L;
};

// Stage l (radix rec[L-l].f) on one block of `span` elements at p.
template <bool Inv, int F, typename S>
void stage(const Run<S> &z, S *p, ptrdiff_t span, int64_t kappa, const DftFactor &r)
{
    typedef typename Work<S>::W W;
    const int q = F ? F : r.f;
    const ptrdiff_t Q = span / q;
    const S *dir = (const S *)r.dir;
    Z<W> x[F ? F : kDftFactorLimit], tw[F ? F : kDftFactorLimit];
    for (int t = 1; t < q; ++t)
        tw[t] = ld<W>(z.w, (int64_t)Q * t * kappa);
    for (ptrdiff_t n = 0; n < Q; ++n) {
        if (!Inv) {
            x[0] = ld<W>(p, n);
            for (int t = 1; t < q; ++t)
                x[t] = kappa ? mul(ld<W>(p, n + t * Q), tw[t]) : ld<W>(p, n + t * Q);
            bfly<false, F>(x, q, dir);
            for (int t = 0; t < q; ++t)
                st(p, n + t * Q, x[t]);
        } else {
            for (int t = 0; t < q; ++t)
                x[t] = ld<W>(p, n + t * Q);
            bfly<true, F>(x, q, dir);
            st(p, n, x[0]);
            for (int t = 1; t < q; ++t)
                st(p, n + t * Q, kappa ? twiddle<true>(x[t], tw[t]) : x[t]);
        }
    }
}

template <bool Inv, typename S>
void run_stage(const Run<S> &z, S *p, ptrdiff_t span, int64_t kappa, const DftFactor &r)
{
    switch (r.f) {
    case 2: stage<Inv, 2>(z, p, span, kappa, r); break;
    case 3: stage<Inv, 3>(z, p, span, kappa, r); break;
    case 4: stage<Inv, 4>(z, p, span, kappa, r); break;
    case 5: stage<Inv, 5>(z, p, span, kappa, r); break;
    default: stage<Inv, 0>(z, p, span, kappa, r); break;
    }
}

// Stages l.. on the block at p, depth first; P: product of the radices of
// the stages before l.
template <bool Inv, typename S>
void level(const Run<S> &z, int l, S *p, ptrdiff_t span, int64_t kappa, int64_t P)
{
    if (l > z.L)
        return;
    const DftFactor &r = z.c->rec[z.L - l];
    const ptrdiff_t Q = span / r.f;
    if (!Inv)
        run_stage<false>(z, p, span, kappa, r);
    for (int t = 0; t < r.f; ++t)
        level<Inv>(z, l + 1, p + 2 * t * Q, Q, kappa + P * t, P * r.f);
    if (Inv)
        run_stage<true>(z, p, span, kappa, r);
}

} // namespace

template <typename S> void dft_outord_run(const DftCtx<S> *c, const S *src, S *dst, bool inv, void *)
{
    Run<S> z{c, (const S *)c->outTwd, c->nFactM2 + 2};
    if (src != dst)
        memcpy(dst, src, (size_t)c->len * 2 * sizeof(S));
    if (inv)
        level<true>(z, 1, dst, c->len, 0, 1);
    else
        level<false>(z, 1, dst, c->len, 0, 1);
}
template void dft_outord_run<float>(const DftCtx<float> *, const float *, float *, bool, void *);
template void dft_outord_run<double>(const DftCtx<double> *, const double *, double *, bool,
                                     void *);

} // namespace fxrs
