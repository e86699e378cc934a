// Real DFT of odd length (not a power of two): the factored plan with
// real stages that compute only the non-redundant half of every
// sub-transform, the convolution plan on the real input and the direct
// plan. The forward forms write, the inverse forms read, the Perm layout
// [Re X0, Re X1, Im X1, ..., Re Xh, Im Xh], h = (N-1)/2; every
// intermediate sub-transform of odd length m is kept in the same layout
// in m reals. None of them scales; the callers do.
#include <string.h>

#include "engine/fxrs_dft_kernels.h"

namespace fxrs {
namespace {

using namespace dft;

// cos and sin of 2 pi j/p, j < p, for the real p-point kernels (p odd):
// exact constants for 3 and 5, else read from the direct table of p.
template <typename W> struct Trig {
    int p, h;
    W c[kDftRealDirectMax + 1], s[kDftRealDirectMax + 1];
    template <typename S> Trig(int len, const S *dir) : p(len), h((len - 1) / 2)
    {
        typedef K<W> k;
        if (p == 3 || p == 5) {
            const W c3[3] = {1, (W)-0.5, (W)-0.5}, s3[3] = {0, k::s3, -k::s3};
            const W c5[5] = {1, k::c51, k::c52, k::c52, k::c51};
            const W s5[5] = {0, k::s51, k::s52, -k::s52, -k::s51};
            for (int j = 0; j < p; ++j) {
                c[j] = p == 3 ? c3[j] : c5[j];
                s[j] = p == 3 ? s3[j] : s5[j];
            }
            return;
        }
        for (int j = 0; j < p; ++j) {
            c[j] = (W)dir[2 * j];
            s[j] = -(W)dir[2 * j + 1];
        }
    }
    // A_k = x0 + sum_j u_j cos(2 pi jk/p), B_k = sum_j v_j sin(2 pi jk/p),
    // j, k = 1..h; the index jk is advanced modulo p by addition.
    void sums(W x0, const W *u, const W *v, W *A, W *B) const
    {
        for (int k = 1; k <= h; ++k) {
            W a = x0, b = 0;
            int idx = 0;
            for (int j = 1; j <= h; ++j) {
                idx += k;
                if (idx >= p)
                    idx -= p;
                a += u[j] * c[idx];
                b += v[j] * s[idx];
            }
            A[k] = a;
            B[k] = b;
        }
    }
};

// Real p-point forward DFT of x (p reals) into Perm at o.
template <typename W, typename S> void rdft_fwd(const Trig<W> &t, const W *x, S *o)
{
    W u[kDftRealDirectMax / 2 + 1], v[kDftRealDirectMax / 2 + 1];
    W A[kDftRealDirectMax / 2 + 1], B[kDftRealDirectMax / 2 + 1];
    W dc = x[0];
    for (int j = 1; j <= t.h; ++j) {
        u[j] = x[j] + x[t.p - j];
        v[j] = x[j] - x[t.p - j];
        dc += u[j];
    }
    t.sums(x[0], u, v, A, B);
    o[0] = (S)dc;
    for (int k = 1; k <= t.h; ++k) {
        o[2 * k - 1] = (S)A[k];
        o[2 * k] = (S)-B[k];
    }
}

// Real p-point inverse DFT of a Perm spectrum at in into x (p reals).
template <typename W, typename S> void rdft_inv(const Trig<W> &t, const S *in, W *x)
{
    W u[kDftRealDirectMax / 2 + 1], v[kDftRealDirectMax / 2 + 1];
    W A[kDftRealDirectMax / 2 + 1], B[kDftRealDirectMax / 2 + 1];
    const W x0 = in[0];
    W dc = x0;
    for (int k = 1; k <= t.h; ++k) {
        u[k] = 2 * (W)in[2 * k - 1];
        v[k] = 2 * (W)in[2 * k];
        dc += u[k];
    }
    t.sums(x0, u, v, A, B);
    x[0] = dc;
    for (int j = 1; j <= t.h; ++j) {
        x[j] = A[j] - B[j];
        x[t.p - j] = A[j] + B[j];
    }
}

// The first stage: nb real p-point DFTs of src[is (idx[c] + j nb)], j < p,
// each written in Perm as block c of out; the inverse reads the blocks
// and writes dst[os (idx[c] + j nb)].
template <typename W, typename S>
void leaves_fwd(const Trig<W> &t, const S *src, ptrdiff_t is, S *out, ptrdiff_t nb, const int32_t *idx)
{
    W x[kDftRealDirectMax];
    for (ptrdiff_t c = 0; c < nb; ++c) {
        const S *s = src + is * idx[c];
        for (int j = 0; j < t.p; ++j)
            x[j] = s[is * j * nb];
        rdft_fwd(t, x, out + c * t.p);
    }
}
template <typename W, typename S>
void leaves_inv(const Trig<W> &t, const S *in, S *dst, ptrdiff_t os, ptrdiff_t nb, const int32_t *idx)
{
    W x[kDftRealDirectMax];
    for (ptrdiff_t c = 0; c < nb; ++c) {
        rdft_inv(t, in + c * t.p, x);
        S *d = dst + os * idx[c];
        for (int j = 0; j < t.p; ++j)
            d[os * j * nb] = (S)x[j];
    }
}

// Stage twiddle w^(p q) of a factor record as the complex plan stores it:
// single-precision radix-3/5 stages group four q per leg (four real parts,
// then four imaginary parts), other stages keep p = 1..f-1 per q.
template <typename W, typename S> inline Z<W> stage_twiddle(const DftFactor &r, int p, ptrdiff_t q)
{
    const S *t = (const S *)r.twd;
    if (sizeof(S) == 4 && r.f <= 5) {
        const S *g = t + (q / 4) * 8 * (r.f - 1) + 8 * (p - 1);
        return {(W)g[q & 3], (W)g[4 + (q & 3)]};
    }
    const S *g = t + 2 * (q * (r.f - 1) + p - 1);
    return {(W)g[0], (W)g[1]};
}

// The Perm element k of a block of odd length n: X_k for k <= (n-1)/2,
// else the conjugate of X_(n-k).
template <typename W, typename S> inline Z<W> perm_get(const S *b, ptrdiff_t k, ptrdiff_t n)
{
    if (k == 0)
        return {(W)b[0], 0};
    if (2 * k < n)
        return {(W)b[2 * k - 1], (W)b[2 * k]};
    return {(W)b[2 * (n - k) - 1], -(W)b[2 * (n - k)]};
}
template <typename W, typename S> inline void perm_put(S *b, ptrdiff_t k, ptrdiff_t n, Z<W> v)
{
    if (k == 0) {
        b[0] = (S)v.re;
    } else if (2 * k < n) {
        b[2 * k - 1] = (S)v.re;
        b[2 * k] = (S)v.im;
    } else {
        b[2 * (n - k) - 1] = (S)v.re;
        b[2 * (n - k)] = (S)-v.im;
    }
}

// Stage forward: in each of `blocks` blocks of f m reals the f Perm
// sub-spectra Y_p of length m (at p m) become the Perm spectrum of length
// f m: X[q + r m] = sum_p e^(-2 pi i p r/f) w^(p q) Y_p[q]. Only q <= (m-1)/2
// is computed; each X[q + r m] above the middle is stored as the conjugate
// at f m - q - r m. The inverse is the transposed pass. in != out.
template <bool Inv, int F, typename S>
void rstage(const DftFactor &r, const S *in, S *out, ptrdiff_t blocks)
{
    typedef typename Work<S>::W W;
    const int f = F ? F : r.f;
    const ptrdiff_t m = r.m, n = f * m;
    const S *dir = (const S *)r.dir;
    Z<W> x[F ? F : kDftFactorLimit];
    for (ptrdiff_t b = 0; b < blocks; ++b) {
        const S *ib = in + b * n;
        S *ob = out + b * n;
        for (ptrdiff_t q = 0; 2 * q < m; ++q) {
            if (!Inv) {
                x[0] = perm_get<W>(ib, q, m);
                for (int p = 1; p < f; ++p) {
                    const Z<W> y = perm_get<W>(ib + p * m, q, m);
                    x[p] = q ? mul(y, stage_twiddle<W, S>(r, p, q)) : y;
                }
                bfly<false, F>(x, f, dir);
                for (int k = 0; k < f; ++k)
                    if (q || 2 * k < f)
                        perm_put(ob, q + k * m, n, x[k]);
            } else {
                for (int k = 0; k < f; ++k)
                    x[k] = perm_get<W>(ib, q + k * m, n);
                bfly<true, F>(x, f, dir);
                perm_put(ob, q, m, x[0]);
                for (int p = 1; p < f; ++p)
                    perm_put(ob + p * m, q, m, q ? twiddle<true>(x[p], stage_twiddle<W, S>(r, p, q)) : x[p]);
            }
        }
    }
}

template <bool Inv, typename S> void run_rstage(const DftFactor &r, const S *in, S *out, ptrdiff_t blocks)
{
    switch (r.f) {
    case 3: rstage<Inv, 3>(r, in, out, blocks); break;
    case 5: rstage<Inv, 5>(r, in, out, blocks); break;
    default: rstage<Inv, 0>(r, in, out, blocks); break;
    }
}

// The factored plan: the first stage for every block of the iterative
// depth k (depth first through the recursion), then the combining stages
// depth first. Stage i writes buffer P(i), ping-ponging between the
// destination and the work area, so that the last stage lands in the
// destination; the inverse runs the passes in reverse order.
template <typename S> struct RealFact {
    typedef typename Work<S>::W W;
    const DftCtx<S> *c;
    int L, k;
    Trig<W> leaf;
    explicit RealFact(const DftCtx<S> *ctx)
        : c(ctx), L(ctx->nFactM2 + 2), k(ctx->iterStage),
          leaf(ctx->rec[L - 1].f, (const S *)ctx->rec[L - 1].dir)
    {
    }
    ptrdiff_t len_at(int d) const { return d == 0 ? c->clen : c->rec[d - 1].m; }
    ptrdiff_t blocks_at(int d, int i) const { return len_at(d) / ((ptrdiff_t)c->rec[i].f * c->rec[i].m); }

    void leaves(bool inv, int d, const S *in, S *out, ptrdiff_t stride) const
    {
        if (d == k) {
            const ptrdiff_t nb = len_at(d) / leaf.p;
            if (inv)
                leaves_inv(leaf, in, out, stride, nb, c->inIdx);
            else
                leaves_fwd(leaf, in, stride, out, nb, c->inIdx);
            return;
        }
        const DftFactor &r = c->rec[d];
        for (int b = 0; b < r.f; ++b) {
            if (inv)
                leaves(inv, d + 1, in + b * r.m, out + b * stride, stride * r.f);
            else
                leaves(inv, d + 1, in + b * stride, out + b * r.m, stride * r.f);
        }
    }
    // P(i) = buf[i & 1]: stage i reads P(i+1) and writes P(i).
    void stages_fwd(int d, ptrdiff_t off, S *const *buf) const
    {
        if (d == k) {
            for (int i = L - 2; i >= d; --i)
                run_rstage<false>(c->rec[i], buf[(i + 1) & 1] + off, buf[i & 1] + off, blocks_at(d, i));
            return;
        }
        for (int b = 0; b < c->rec[d].f; ++b)
            stages_fwd(d + 1, off + b * c->rec[d].m, buf);
        run_rstage<false>(c->rec[d], buf[(d + 1) & 1] + off, buf[d & 1] + off, 1);
    }
    // Q(i) = buf[(L-1-i) & 1], Q(0) = src: stage i reads Q(i), writes Q(i+1).
    void stages_inv(int d, ptrdiff_t off, const S *src, S *const *buf) const
    {
        auto from = [&](int i) -> const S * { return (i == 0 ? src : buf[(L - 1 - i) & 1]) + off; };
        if (d == k) {
            for (int i = d; i <= L - 2; ++i)
                run_rstage<true>(c->rec[i], from(i), buf[(L - 2 - i) & 1] + off, blocks_at(d, i));
            return;
        }
        run_rstage<true>(c->rec[d], from(d), buf[(L - 2 - d) & 1] + off, 1);
        for (int b = 0; b < c->rec[d].f; ++b)
            stages_inv(d + 1, off + b * c->rec[d].m, src, buf);
    }
};

template <typename S> void fact_fwd(const DftCtx<S> *c, const S *src, S *dst, S *work)
{
    const RealFact<S> z(c);
    S *const buf[2] = {dst, work};
    S *first = buf[(z.L - 1) & 1];
    if (src == first) { // the first stage cannot gather in place
        memcpy(work, src, (size_t)c->clen * sizeof(S));
        src = work;
    }
    z.leaves(false, 0, src, first, 1);
    z.stages_fwd(0, 0, buf);
}

template <typename S> void fact_inv(const DftCtx<S> *c, const S *src, S *dst, S *work)
{
    const RealFact<S> z(c);
    S *const buf[2] = {work, dst}; // Q(L-1) is the work area
    if (src == buf[(z.L - 2) & 1]) { // stage 0 would write over its input
        memcpy(work, src, (size_t)c->clen * sizeof(S));
        src = work;
    }
    z.stages_inv(0, 0, src, buf);
    z.leaves(true, 0, work, dst, 1);
}

// ---- convolution plan on real data ------------------------------------------

template <typename S> FxrStatus conv_fft(S *b, const void *ctx, bool inv, uint8_t *w)
{
    if constexpr (sizeof(S) == 4) {
        const FxrsFFTCtx_C_32fc *f = (const FxrsFFTCtx_C_32fc *)ctx;
        return inv ? fxrsFFTInv_CToC_32fc((Fxrs32fc *)b, (Fxrs32fc *)b, f, w)
                   : fxrsFFTFwd_CToC_32fc((Fxrs32fc *)b, (Fxrs32fc *)b, f, w);
    } else {
        const FxrsFFTCtx_C_64fc *f = (const FxrsFFTCtx_C_64fc *)ctx;
        return inv ? fxrsFFTInv_CToC_64fc((Fxrs64fc *)b, (Fxrs64fc *)b, f, w)
                   : fxrsFFTFwd_CToC_64fc((Fxrs64fc *)b, (Fxrs64fc *)b, f, w);
    }
}

// The forward DFT of the chirp-weighted sequence (real input, or the
// Hermitian sequence of a Perm spectrum for the inverse) as a circular
// convolution of length M; the inverse is the forward result read
// backwards, of which only the real parts are kept.
template <typename S> int conv(const DftCtx<S> *c, const S *src, S *dst, bool inv, S *work)
{
    typedef typename Work<S>::W W;
    const ptrdiff_t n = c->clen, M = c->convM;
    const S *ch = (const S *)c->tab[kTabChirp], *h = (const S *)c->tab[kTabFilter];
    S *b = work;
    for (ptrdiff_t k = 0; k < n; ++k) {
        const Z<W> x = inv ? perm_get<W>(src, k, n) : Z<W>{(W)src[k], 0};
        st(b, k, mul(x, ld<W>(ch, k)));
    }
    memset(b + 2 * n, 0, (size_t)(M - n) * 2 * sizeof(S));
    uint8_t *inner = (uint8_t *)(work + 2 * M);
    int s = conv_fft(b, c->convFft, false, inner);
    if (s != fxrStsNoErr)
        return s;
    for (ptrdiff_t k = 0; k < M; ++k)
        st(b, k, mul(ld<W>(b, k), ld<W>(h, k)));
    s = conv_fft(b, c->convFft, true, inner);
    if (s != fxrStsNoErr)
        return s;
    if (!inv) {
        for (ptrdiff_t k = 0; 2 * k < n; ++k)
            perm_put(dst, k, n, mul(ld<W>(b, k), ld<W>(ch, k)));
    } else {
        for (ptrdiff_t j = 0; j < n; ++j) {
            const ptrdiff_t k = j ? n - j : 0;
            dst[j] = (S)mul(ld<W>(b, k), ld<W>(ch, k)).re;
        }
    }
    return fxrStsNoErr;
}

// ---- direct plan ----------------------------------------------------------------

template <typename S> void direct(const DftCtx<S> *c, const S *src, S *dst, bool inv)
{
    typedef typename Work<S>::W W;
    const Trig<W> t(c->clen, (const S *)c->tab[kTabDir]);
    W x[kDftRealDirectMax];
    if (inv) {
        rdft_inv(t, src, x);
        for (int j = 0; j < t.p; ++j)
            dst[j] = (S)x[j];
    } else {
        for (int j = 0; j < t.p; ++j)
            x[j] = src[j];
        rdft_fwd(t, x, dst);
    }
}

} // namespace

// N reals for the factored plan's second buffer and the direct plan; the
// convolution plan needs its M complex values and the inner FFT's buffer.
template <typename S> int64_t real_odd_work(const DftCtx<S> *c)
{
    return c->plan == kDftPlanConv ? dft_complex_work(c) : (int64_t)c->clen * (int64_t)sizeof(S);
}
template int64_t real_odd_work<float>(const DftCtx<float> *);
template int64_t real_odd_work<double>(const DftCtx<double> *);

template <typename S> int real_odd_run(const DftCtx<S> *c, const S *src, S *dst, bool inv, void *work)
{
    switch (c->plan) {
    case kDftPlanFact:
        if (inv)
            fact_inv(c, src, dst, (S *)work);
        else
            fact_fwd(c, src, dst, (S *)work);
        return fxrStsNoErr;
    case kDftPlanConv:
        return conv(c, src, dst, inv, (S *)work);
    default:
        direct(c, src, dst, inv);
        return fxrStsNoErr;
    }
}
template int real_odd_run<float>(const DftCtx<float> *, const float *, float *, bool, void *);
template int real_odd_run<double>(const DftCtx<double> *, const double *, double *, bool, void *);

} // namespace fxrs
