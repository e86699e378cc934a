// Power-of-two complex FFT, both directions and both precisions: the
// prologue, the work-buffer protocol and the choice of plan by order.
#include "engine/fxrs_internal.h"

namespace fxrs {
namespace {

// The 1024-point leaf reads its input through the permutation instead of
// permuting it first: slot i holds 2 rev(i) over the middle 8 index bits,
// the offset the radix-4 kernel's folded first pass expects. Same values,
// one pass over the data fewer.
struct LeafRev {
    int32_t t[kLeafLen32 / 4 + 1] = {};
    constexpr LeafRev()
    {
        for (int i = 0; i < kLeafLen32 / 4; ++i) {
            int r = 0;
            for (int b = 0; b < kLeafOrder32 - 2; ++b)
                r |= ((i >> b) & 1) << (kLeafOrder32 - 3 - b);
            t[i] = 2 * r;
        }
    }
};
constexpr LeafRev kLeafRev;

// The complex transform of order m (the context's order, or the half
// order of a real context) from s to d with the work buffer wb; scaling by
// the context's flag for the direction over the 2^(m+1) values.
template <bool Inv> void run32(const FftCtx<float> *c, int m, const float *s, float *d, float *wb)
{
    const bool scaled = (Inv ? c->invScaled : c->fwdScaled) != 0;
    const int64_t N = (int64_t)1 << m;
    const float *l1 = (const float *)c->twd;
    switch (c->plan) {
    case kFftPlanSmall:
        if (scaled)
            (Inv ? tbl_cFFTinv_norm_small_32fc : tbl_cFFTfwd_norm_small_32fc)[m](s, d, c->scale);
        else
            (Inv ? tbl_cFFTinv_small_32fc : tbl_cFFTfwd_small_32fc)[m](s, d);
        return;
    case kFftPlanNorm:
        if (Inv)
            cRadix4InvNorm_32fc(s, d, m, l1, c->bitRev, wb);
        else
            cRadix4FwdNorm_32fc(s, d, m, l1, c->bitRev, wb);
        if (scaled)
            rbMpy1_32f(c->scale, d, 2 * N);
        return;
    case kFftPlanLeaf:
        if (Inv)
            cRadix4InvNorm_32fc(s, d, m, l1, kLeafRev.t, wb);
        else
            cRadix4FwdNorm_32fc(s, d, m, l1, kLeafRev.t, wb);
        if (scaled)
            rbMpy1_32f(c->scale, d, 2 * N);
        return;
    default:
        break;
    }
    if (s == d)
        BitRev1_C(d, N, c->bitRev);
    else
        BitRev2_C(s, d, N, c->bitRev);
    cFftLarge_32fc(c, d, Inv, wb);
}

template <bool Inv> void run64(const FftCtx<double> *c, int m, const double *s, double *d, double *wb)
{
    const bool scaled = (Inv ? c->invScaled : c->fwdScaled) != 0;
    if (c->plan == kFftPlanSmall) {
        if (scaled)
            (Inv ? tbl_cFFTinv_norm_small_64fc : tbl_cFFTfwd_norm_small_64fc)[m](s, d, c->scale);
        else
            (Inv ? tbl_cFFTinv_small_64fc : tbl_cFFTfwd_small_64fc)[m](s, d);
        return;
    }
    const int64_t N = (int64_t)1 << m;
    if (s == d)
        BitRev1_Z(d, N, c->bitRev);
    else
        BitRev2_Z(s, d, N, c->bitRev);
    if (c->plan == kFftPlanLeaf) {
        if (Inv)
            cRadix4Inv_64fc(d, m, (const double *)c->twd, m);
        else
            cRadix4Fwd_64fc(d, m, (const double *)c->twd, m);
        if (scaled)
            rbMpy1_64f(c->scale, d, 2 * N);
        return;
    }
    cFftLarge_64fc(c, d, Inv, wb);
}

template <bool Inv, typename S, typename C>
FxrStatus fft(const C *src, C *dst, const FftCtx<S> *c, uint8_t *buf, int32_t kind)
{
    WorkBuf w;
    const FxrStatus st = transform_prologue(c, kind, src, dst, buf, &w);
    if (st != fxrStsNoErr)
        return st;
    fft_run<S>(c, c->order, (const S *)src, (S *)dst, Inv, w.ptr);
    return fxrStsNoErr;
}

} // namespace

template <typename S> void fft_run(const FftCtx<S> *c, int m, const S *s, S *d, bool inv, void *work)
{
    if constexpr (sizeof(S) == 4) {
        if (inv)
            run32<true>(c, m, s, d, (float *)work);
        else
            run32<false>(c, m, s, d, (float *)work);
    } else {
        if (inv)
            run64<true>(c, m, s, d, (double *)work);
        else
            run64<false>(c, m, s, d, (double *)work);
    }
}
template void fft_run<float>(const FftCtx<float> *, int, const float *, float *, bool, void *);
template void fft_run<double>(const FftCtx<double> *, int, const double *, double *, bool, void *);

} // namespace fxrs

using namespace fxrs;

extern "C" ZEM_API FxrStatus fxrsFFTFwd_CToC_32fc(const Fxrs32fc *src, Fxrs32fc *dst,
                                                  const FxrsFFTCtx_C_32fc *ctx, uint8_t *buf)
{
    return fft<false, float>(src, dst, ctx, buf, kKindFftC32);
}

extern "C" ZEM_API FxrStatus fxrsFFTInv_CToC_32fc(const Fxrs32fc *src, Fxrs32fc *dst,
                                                  const FxrsFFTCtx_C_32fc *ctx, uint8_t *buf)
{
    return fft<true, float>(src, dst, ctx, buf, kKindFftC32);
}

extern "C" ZEM_API FxrStatus fxrsFFTFwd_CToC_64fc(const Fxrs64fc *src, Fxrs64fc *dst,
                                                  const FxrsFFTCtx_C_64fc *ctx, uint8_t *buf)
{
    return fft<false, double>(src, dst, ctx, buf, kKindFftC64);
}

extern "C" ZEM_API FxrStatus fxrsFFTInv_CToC_64fc(const Fxrs64fc *src, Fxrs64fc *dst,
                                                  const FxrsFFTCtx_C_64fc *ctx, uint8_t *buf)
{
    return fft<true, double>(src, dst, ctx, buf, kKindFftC64);
}
