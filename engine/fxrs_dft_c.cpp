// Complex DFT transforms, ordered and out-of-order, both precisions: the
// prologue, the work-buffer protocol, the plan dispatch and the scaling.
#include "engine/fxrs_internal.h"

namespace fxrs {
namespace {

template <typename S> FxrStatus pow2_run(const DftCtx<S> *c, const S *s, S *d, bool inv, uint8_t *buf)
{
    if constexpr (sizeof(S) == 4) {
        const FxrsFFTCtx_C_32fc *f = (const FxrsFFTCtx_C_32fc *)c->fft;
        return inv ? fxrsFFTInv_CToC_32fc((const Fxrs32fc *)s, (Fxrs32fc *)d, f, buf)
                   : fxrsFFTFwd_CToC_32fc((const Fxrs32fc *)s, (Fxrs32fc *)d, f, buf);
    } else {
        const FxrsFFTCtx_C_64fc *f = (const FxrsFFTCtx_C_64fc *)c->fft;
        return inv ? fxrsFFTInv_CToC_64fc((const Fxrs64fc *)s, (Fxrs64fc *)d, f, buf)
                   : fxrsFFTFwd_CToC_64fc((const Fxrs64fc *)s, (Fxrs64fc *)d, f, buf);
    }
}

template <bool Inv, typename S, typename C, typename Ctx>
FxrStatus cdft(const C *src, C *dst, const Ctx *ctx, uint8_t *buf, int32_t kind)
{
    const DftCtx<S> *c = ctx;
    WorkBuf w;
    const FxrStatus st0 = transform_prologue(c, kind, src, dst, buf, &w);
    if (st0 != fxrStsNoErr)
        return st0;
    const S *s = (const S *)src;
    S *d = (S *)dst;
    if (c->plan == kDftPlanPow2)
        return pow2_run(c, s, d, Inv, (uint8_t *)w.ptr);
    if (c->outOrd) {
        dft_outord_run(c, s, d, Inv, w.ptr);
    } else {
        const int st = dft_complex_run(c, s, d, Inv, w.ptr);
        if (st != fxrStsNoErr)
            return st;
    }
    if (Inv ? c->invScaled : c->fwdScaled)
        scale_values(c->scale, d, 2 * (int64_t)c->len);
    return fxrStsNoErr;
}

} // namespace
} // namespace fxrs

using namespace fxrs;

#define ZEM_DFT_C(Name, Inv, S, C, Ctx, Kind)                                                  \
    extern "C" ZEM_API FxrStatus Name(const C *src, C *dst, const Ctx *ctx, uint8_t *buf)      \
    {                                                                                          \
        return cdft<Inv, S>(src, dst, ctx, buf, Kind);                                         \
    }

ZEM_DFT_C(fxrsDFTFwd_CToC_32fc, false, float, Fxrs32fc, FxrsDFTCtx_C_32fc, kKindDftC32)
ZEM_DFT_C(fxrsDFTInv_CToC_32fc, true, float, Fxrs32fc, FxrsDFTCtx_C_32fc, kKindDftC32)
ZEM_DFT_C(fxrsDFTFwd_CToC_64fc, false, double, Fxrs64fc, FxrsDFTCtx_C_64fc, kKindDftC64)
ZEM_DFT_C(fxrsDFTInv_CToC_64fc, true, double, Fxrs64fc, FxrsDFTCtx_C_64fc, kKindDftC64)
ZEM_DFT_C(fxrsDFTOutOrdFwd_CToC_32fc, false, float, Fxrs32fc, FxrsDFTOutOrdCtx_C_32fc,
          kKindDftOutOrd32)
ZEM_DFT_C(fxrsDFTOutOrdInv_CToC_32fc, true, float, Fxrs32fc, FxrsDFTOutOrdCtx_C_32fc,
          kKindDftOutOrd32)
ZEM_DFT_C(fxrsDFTOutOrdFwd_CToC_64fc, false, double, Fxrs64fc, FxrsDFTOutOrdCtx_C_64fc,
          kKindDftOutOrd64)
ZEM_DFT_C(fxrsDFTOutOrdInv_CToC_64fc, true, double, Fxrs64fc, FxrsDFTOutOrdCtx_C_64fc,
          kKindDftOutOrd64)

#undef ZEM_DFT_C
