// The complex plans of the any-length DFT, both directions, both
// precisions: fixed kernels up to 4 points, the factored (mixed-radix,
// decimation in time) plan, the convolution plan and the direct plan.
// None of them scales; the callers do.
#include <string.h>
#include "engine/fxrs_dft_sse.h"
#include "engine/fxrs_dft_x87.h"

namespace fxrs {
namespace {

using namespace dft;

// ---- fixed kernels, 1 to 4 points ------------------------------------------

template <bool Inv, typename S> void small(const S *src, S *dst, int n)
{
    typedef typename Work<S>::W W;
    Z<W> x[4];
    for (int i = 0; i < n; ++i)
        x[i] = ld<W>(src, i);
    if (n == 2)
        bfly2<Inv>(x);
    else if (n == 3)
        bfly3<Inv>(x);
    else if (n == 4)
        bfly4<Inv>(x);
    for (int i = 0; i < n; ++i)
        st(dst, i, x[i]);
}

// ---- factored plan ------------------------------------------------------------

// Stage i on `blocks` consecutive blocks of f*m elements: for each q < m
// the f inputs at q + p m, times w^(p q), through the f-point butterfly,
// back to q + r m. in may equal out.
template <bool Inv, int F, typename S>
void stage(const S *in, S *out, int f, ptrdiff_t m, ptrdiff_t blocks, const S *tw, const S *dir)
{
    typedef typename Work<S>::W W;
    const int ff = F ? F : f;
    Z<W> x[F ? F : kDftFactorLimit];
    for (ptrdiff_t b = 0; b < blocks; ++b) {
        const S *ib = in + 2 * b * ff * m;
        S *ob = out + 2 * b * ff * m;
        const S *t = tw;
        for (ptrdiff_t q = 0; q < m; ++q, t += 2 * (ff - 1)) {
            x[0] = ld<W>(ib, q);
            for (int p = 1; p < ff; ++p)
                x[p] = twiddle<Inv>(ld<W>(ib, q + p * m), ld<W>(t, p - 1));
            bfly<Inv, F>(x, ff, dir);
            for (int r = 0; r < ff; ++r)
                st(ob, q + r * m, x[r]);
        }
    }
}

// ---- single precision, four complex values side by side -----------------------

// A radix-F stage (F = 2..5) with the grouped twiddle layout: per group
// of four q, per leg p = 1..F-1, four real parts then four imaginary.
// Four q side by side; the q beyond the last whole group (all of them
// when m < 4) four blocks side by side, the same arithmetic lane by lane.
template <bool Inv, int F>
void stage_sse(const float *in, float *out, ptrdiff_t m, ptrdiff_t blocks, const float *tw)
{
    const ptrdiff_t groups = m / 4, bs = 2 * F * m;
    for (ptrdiff_t b = 0; b < blocks; ++b) {
        const float *ib = in + b * bs;
        float *ob = out + b * bs;
        const float *t = tw;
        for (ptrdiff_t g = 0; g < groups; ++g, t += 8 * (F - 1)) {
            const ptrdiff_t q = 4 * g;
            V x[F];
            x[0] = vload(ib + 2 * q);
            for (int p = 1; p < F; ++p)
                x[p] = vtwiddle<Inv>(vload(ib + 2 * (q + p * m)), _mm_load_ps(t + 8 * (p - 1)),
                                     _mm_load_ps(t + 8 * (p - 1) + 4));
            bfly_fixed<Inv, F>(x);
            for (int r = 0; r < F; ++r)
                vstore(ob + 2 * (q + r * m), x[r]);
        }
    }
    const float *t = tw + groups * 8 * (F - 1);
    ptrdiff_t b = 0;
    for (; b + 4 <= blocks; b += 4)
        for (ptrdiff_t q = 4 * groups; q < m; ++q) {
            const int lane = (int)(q & 3);
            V x[F];
            for (int p = 0; p < F; ++p) {
                const float *s = in + b * bs + 2 * (q + p * m);
                x[p] = vgather(s, s + bs, s + 2 * bs, s + 3 * bs);
                if (p > 0)
                    x[p] = vtwiddle<Inv>(x[p], _mm_set1_ps(t[8 * (p - 1) + lane]),
                                         _mm_set1_ps(t[8 * (p - 1) + 4 + lane]));
            }
            bfly_fixed<Inv, F>(x);
            for (int r = 0; r < F; ++r) {
                float *o = out + b * bs + 2 * (q + r * m);
                vscatter(x[r], o, o + bs, o + 2 * bs, o + 3 * bs);
            }
        }
    for (; b < blocks; ++b) {
        const float *ib = in + b * bs;
        float *ob = out + b * bs;
        for (ptrdiff_t q = 4 * groups; q < m; ++q) {
            const int lane = (int)(q & 3);
            Z<float> x[F];
            x[0] = ld<float>(ib, q);
            for (int p = 1; p < F; ++p)
                x[p] = twiddle<Inv>(ld<float>(ib, q + p * m),
                                    Z<float>{t[8 * (p - 1) + lane], t[8 * (p - 1) + 4 + lane]});
            bfly_fixed<Inv, F>(x);
            for (int r = 0; r < F; ++r)
                st(ob, q + r * m, x[r]);
        }
    }
}

// The first stage for p = 3 or 5, four blocks at a time.
template <bool Inv, int F>
void leaves_sse(const float *src, ptrdiff_t is, float *out, ptrdiff_t nb, ptrdiff_t span,
                const int32_t *idx)
{
    ptrdiff_t c = 0;
    const ptrdiff_t js = 2 * is * span;
    for (; c + 4 <= nb; c += 4) {
        // long strided transforms read their inputs from far apart: ask
        // for those of two groups ahead
        if (is > 1 && c + 12 <= nb)
            for (int k = 8; k < 12; ++k)
                for (int j = 0; j < F; ++j)
                    _mm_prefetch((const char *)(src + 2 * is * idx[c + k] + j * js), _MM_HINT_T0);
        const float *s0 = src + 2 * is * idx[c], *s1 = src + 2 * is * idx[c + 1];
        const float *s2 = src + 2 * is * idx[c + 2], *s3 = src + 2 * is * idx[c + 3];
        V x[F];
        for (int j = 0; j < F; ++j)
            x[j] = vgather(s0 + j * js, s1 + j * js, s2 + j * js, s3 + j * js);
        bfly_fixed<Inv, F>(x);
        float *o = out + 2 * c * F;
        for (int r = 0; r < F; ++r)
            vscatter(x[r], o + 2 * r, o + 2 * (F + r), o + 2 * (2 * F + r), o + 2 * (3 * F + r));
    }
    for (; c < nb; ++c) {
        const float *s = src + 2 * is * idx[c];
        Z<float> x[F];
        for (int j = 0; j < F; ++j)
            x[j] = ld<float>(s, is * j * span);
        bfly_fixed<Inv, F>(x);
        for (int r = 0; r < F; ++r)
            st(out + 2 * c * F, r, x[r]);
    }
}

template <bool Inv, typename S>
void run_stage(const DftFactor &r, const S *in, S *out, ptrdiff_t blocks)
{
    const S *tw = (const S *)r.twd, *dir = (const S *)r.dir;
    if constexpr (sizeof(S) == 4) {
        switch (r.f) {
        case 2: stage_sse<Inv, 2>(in, out, r.m, blocks, tw); return;
        case 3: stage_sse<Inv, 3>(in, out, r.m, blocks, tw); return;
        case 4: stage_sse<Inv, 4>(in, out, r.m, blocks, tw); return;
        case 5: stage_sse<Inv, 5>(in, out, r.m, blocks, tw); return;
        default: break;
        }
    } else {
        switch (r.f) {
        case 2: x87::stage<Inv, 2>(in, out, r.m, blocks, tw); return;
        case 3: x87::stage<Inv, 3>(in, out, r.m, blocks, tw); return;
        case 4: x87::stage<Inv, 4>(in, out, r.m, blocks, tw); return;
        case 5: x87::stage<Inv, 5>(in, out, r.m, blocks, tw); return;
        default: break;
        }
    }
    switch (r.f) {
    case 2: stage<Inv, 2>(in, out, 2, r.m, blocks, tw, dir); break;
    case 3: stage<Inv, 3>(in, out, 3, r.m, blocks, tw, dir); break;
    case 4: stage<Inv, 4>(in, out, 4, r.m, blocks, tw, dir); break;
    case 5: stage<Inv, 5>(in, out, 5, r.m, blocks, tw, dir); break;
    default: stage<Inv, 0>(in, out, r.f, r.m, blocks, tw, dir); break;
    }
}

// The first stage: nb p-point DFTs of the inputs src[is (idx[c] + j span)],
// j < p, each written contiguously as block c.
template <bool Inv, int F, typename S>
void leaves(const S *src, ptrdiff_t is, S *out, int p, ptrdiff_t nb, ptrdiff_t span,
            const int32_t *idx, const S *dir)
{
    typedef typename Work<S>::W W;
    const int pp = F ? F : p;
    Z<W> x[F ? F : kDftFactorLimit];
    for (ptrdiff_t c = 0; c < nb; ++c) {
        const S *s = src + 2 * is * idx[c];
        for (int j = 0; j < pp; ++j)
            x[j] = ld<W>(s, is * j * span);
        bfly<Inv, F>(x, pp, dir);
        S *o = out + 2 * c * pp;
        for (int r = 0; r < pp; ++r)
            st(o, r, x[r]);
    }
}

template <bool Inv, typename S>
void first_stage(const S *src, ptrdiff_t is, S *lo, int p, ptrdiff_t nb, const int32_t *idx,
                 const S *dir)
{
    if constexpr (sizeof(S) == 4) {
        if (p == 3)
            return leaves_sse<Inv, 3>(src, is, lo, nb, nb, idx);
        if (p == 5)
            return leaves_sse<Inv, 5>(src, is, lo, nb, nb, idx);
    } else {
        if (p == 3)
            return x87::leaves<Inv, 3>(src, is, lo, nb, nb, idx);
        if (p == 5)
            return x87::leaves<Inv, 5>(src, is, lo, nb, nb, idx);
    }
    switch (p) {
    case 3: leaves<Inv, 3>(src, is, lo, 3, nb, nb, idx, dir); break;
    case 5: leaves<Inv, 5>(src, is, lo, 5, nb, nb, idx, dir); break;
    default: leaves<Inv, 0>(src, is, lo, p, nb, nb, idx, dir); break;
    }
}

template <typename S> struct Fact {
    const DftCtx<S> *c;
    int L; // factor count
    int k; // first stage run iteratively
};

// The sub-transform at depth d (length f_d m_d, inputs src[j is]) into
// out; the sub-results of its children go to tmp (tmp may equal out).
template <bool Inv, typename S>
void fact_level(const Fact<S> &z, int d, const S *src, ptrdiff_t is, S *tmp, S *out)
{
    const DftFactor *rec = z.c->rec;
    const int L = z.L;
    if (d == z.k) {
        const DftFactor &last = rec[L - 1];
        const int p = last.f;
        const ptrdiff_t n = d == 0 ? z.c->clen : rec[d - 1].m;
        const ptrdiff_t nb = n / p;
        S *lo = L - 2 >= d ? tmp : out;
        const S *dir = (const S *)last.dir;
        first_stage<Inv>(src, is, lo, p, nb, z.c->inIdx, dir);
        for (int i = L - 2; i >= d; --i)
            run_stage<Inv>(rec[i], tmp, i == d ? out : tmp, n / ((ptrdiff_t)rec[i].f * rec[i].m));
        return;
    }
    const int f = rec[d].f;
    const ptrdiff_t m = rec[d].m;
    for (int b = 0; b < f; ++b) {
        S *sub = tmp + 2 * b * m;
        fact_level<Inv>(z, d + 1, src + 2 * b * is, is * f, sub, sub);
    }
    run_stage<Inv>(rec[d], tmp, out, 1);
}

template <bool Inv, typename S> void fact(const DftCtx<S> *c, const S *src, S *dst, S *work)
{
    Fact<S> z{c, c->nFactM2 + 2, c->iterStage};
    fact_level<Inv>(z, 0, src, 1, src == dst ? work : dst, dst);
}

// ---- convolution plan ---------------------------------------------------------

template <typename S> FxrStatus inner_fft(const S *a, S *b, const void *ctx, bool inv, uint8_t *w)
{
    if constexpr (sizeof(S) == 4) {
        const FxrsFFTCtx_C_32fc *c = (const FxrsFFTCtx_C_32fc *)ctx;
        return inv ? fxrsFFTInv_CToC_32fc((const Fxrs32fc *)a, (Fxrs32fc *)b, c, w)
                   : fxrsFFTFwd_CToC_32fc((const Fxrs32fc *)a, (Fxrs32fc *)b, c, w);
    } else {
        const FxrsFFTCtx_C_64fc *c = (const FxrsFFTCtx_C_64fc *)ctx;
        return inv ? fxrsFFTInv_CToC_64fc((const Fxrs64fc *)a, (Fxrs64fc *)b, c, w)
                   : fxrsFFTFwd_CToC_64fc((const Fxrs64fc *)a, (Fxrs64fc *)b, c, w);
    }
}

// The DFT as a circular convolution of length M: chirp times input,
// filtered by the stored spectrum, times chirp again; the inverse is the
// forward result read backwards.
// d[k] = a[k] b[k], k < n (d may be a or b); four at a time in single
// precision.
template <typename S> void cmul_n(const S *a, const S *b, S *d, ptrdiff_t n)
{
    typedef typename Work<S>::W W;
    ptrdiff_t k = 0;
    if constexpr (sizeof(S) == 4)
        for (; k + 4 <= n; k += 4) {
            const V y = vload(b + 2 * k);
            vstore(d + 2 * k, vtwiddle<false>(vload(a + 2 * k), y.re, y.im));
        }
    for (; k < n; ++k)
        st(d, k, mul(ld<W>(a, k), ld<W>(b, k)));
}

template <typename S> int conv(const DftCtx<S> *c, const S *src, S *dst, bool inv, S *work)
{
    const ptrdiff_t n = c->clen, M = c->convM;
    const S *ch = (const S *)c->tab[kTabChirp], *h = (const S *)c->tab[kTabFilter];
    S *b = work;
    uint8_t *inner = (uint8_t *)(work + 2 * M);
    cmul_n(src, ch, b, n);
    memset(b + 2 * n, 0, (size_t)(M - n) * 2 * sizeof(S));
    int st1 = inner_fft<S>(b, b, c->convFft, false, inner);
    if (st1 != fxrStsNoErr)
        return st1;
    cmul_n(b, h, b, M);
    st1 = inner_fft<S>(b, b, c->convFft, true, inner);
    if (st1 != fxrStsNoErr)
        return st1;
    cmul_n(b, ch, dst, n);
    if (inv && n >= 3) {
        for (ptrdiff_t k = 1, j = n - 1; k < j; ++k, --j) {
            S r = dst[2 * k], i = dst[2 * k + 1];
            dst[2 * k] = dst[2 * j];
            dst[2 * k + 1] = dst[2 * j + 1];
            dst[2 * j] = r;
            dst[2 * j + 1] = i;
        }
    }
    return fxrStsNoErr;
}

// ---- direct plan ----------------------------------------------------------------

template <bool Inv, typename S> void direct(const DftCtx<S> *c, const S *src, S *dst)
{
    typedef typename Work<S>::W W;
    Z<W> x[kDftRealDirectMax + 1];
    const int n = c->clen;
    for (int i = 0; i < n; ++i)
        x[i] = ld<W>(src, i);
    bfly_any<Inv>(x, n, (const S *)c->tab[kTabDir]);
    for (int i = 0; i < n; ++i)
        st(dst, i, x[i]);
}

template <bool Inv, typename S> int run(const DftCtx<S> *c, const S *src, S *dst, void *work)
{
    switch (c->plan) {
    case kDftPlanSmall:
        small<Inv>(src, dst, c->clen);
        return fxrStsNoErr;
    case kDftPlanFact:
        fact<Inv>(c, src, dst, (S *)work);
        return fxrStsNoErr;
    case kDftPlanConv:
        return conv(c, src, dst, Inv, (S *)work);
    default:
        direct<Inv>(c, src, dst);
        return fxrStsNoErr;
    }
}

} // namespace

template <typename S> int dft_complex_run(const DftCtx<S> *c, const S *src, S *dst, bool inv, void *work)
{
    return inv ? run<true>(c, src, dst, work) : run<false>(c, src, dst, work);
}
template int dft_complex_run<float>(const DftCtx<float> *, const float *, float *, bool, void *);
template int dft_complex_run<double>(const DftCtx<double> *, const double *, double *, bool,
                                     void *);

} // namespace fxrs
