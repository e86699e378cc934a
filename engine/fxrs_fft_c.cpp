// Power-of-two complex FFT, both directions and both precisions: the
// prologue, the work-buffer protocol and the choice of plan by order.
#include "engine/fxrs_internal.h"

namespace fxrs {
namespace {

// The caller's buffer rounded up to 16 bytes, or one of our own.
struct Work {
    uint8_t *own = nullptr;
    void *ptr = nullptr;
    bool get(int32_t size, uint8_t *caller)
    {
        if (size <= 0)
            return true;
        if (caller) {
            ptr = (void *)(((uintptr_t)caller + 15) & ~(uintptr_t)15);
            return true;
        }
        own = fxrsMalloc_8u(size);
        ptr = own;
        return own != nullptr;
    }
    ~Work() { fxrsFree(own); }
};

template <bool Inv>
FxrStatus fft32(const Fxrs32fc *src, Fxrs32fc *dst, const FftCtx<float> *c, uint8_t *buf)
{
    if (!c)
        return fxrStsNullPtrErr;
    if (c->kind != kKindFftC32)
        return fxrStsContextMatchErr;
    if (!src || !dst)
        return fxrStsNullPtrErr;
    const int n = c->order;
    const bool scaled = (Inv ? c->invScaled : c->fwdScaled) != 0;
    const float *s = (const float *)src;
    float *d = (float *)dst;
    if (c->plan == kFftPlanSmall) {
        if (scaled)
            (Inv ? tbl_cFFTinv_norm_small_32fc : tbl_cFFTfwd_norm_small_32fc)[n](s, d, c->scale);
        else
            (Inv ? tbl_cFFTinv_small_32fc : tbl_cFFTfwd_small_32fc)[n](s, d);
        return fxrStsNoErr;
    }
    Work w;
    if (!w.get(c->workSize, buf))
        return fxrStsMemAllocErr;
    float *wb = (float *)w.ptr;
    const int64_t N = (int64_t)1 << n;
    const float *l1 = (const float *)c->twd;
    if (c->plan == kFftPlanNorm) {
        if (Inv)
            cRadix4InvNorm_32fc(s, d, n, l1, c->bitRev, wb);
        else
            cRadix4FwdNorm_32fc(s, d, n, l1, c->bitRev, wb);
        if (scaled)
            rbMpy1_32f(c->scale, d, 2 * N);
        return fxrStsNoErr;
    }
    if (s == d)
        BitRev1_C(d, N, c->bitRev);
    else
        BitRev2_C(s, d, N, c->bitRev);
    if (c->plan == kFftPlanLeaf) {
        if (Inv)
            cRadix4Inv_32fc(d, n, l1, 1);
        else
            cRadix4Fwd_32fc(d, n, l1, 1);
        if (scaled)
            rbMpy1_32f(c->scale, d, 2 * N);
        return fxrStsNoErr;
    }
    cFftLarge_32fc(c, d, Inv, wb);
    return fxrStsNoErr;
}

template <bool Inv>
FxrStatus fft64(const Fxrs64fc *src, Fxrs64fc *dst, const FftCtx<double> *c, uint8_t *buf)
{
    if (!c)
        return fxrStsNullPtrErr;
    if (c->kind != kKindFftC64)
        return fxrStsContextMatchErr;
    if (!src || !dst)
        return fxrStsNullPtrErr;
    const int n = c->order;
    const bool scaled = (Inv ? c->invScaled : c->fwdScaled) != 0;
    const double *s = (const double *)src;
    double *d = (double *)dst;
    if (c->plan == kFftPlanSmall) {
        if (scaled)
            (Inv ? tbl_cFFTinv_norm_small_64fc : tbl_cFFTfwd_norm_small_64fc)[n](s, d, c->scale);
        else
            (Inv ? tbl_cFFTinv_small_64fc : tbl_cFFTfwd_small_64fc)[n](s, d);
        return fxrStsNoErr;
    }
    Work w;
    if (!w.get(c->workSize, buf))
        return fxrStsMemAllocErr;
    const int64_t N = (int64_t)1 << n;
    if (s == d)
        BitRev1_Z(d, N, c->bitRev);
    else
        BitRev2_Z(s, d, N, c->bitRev);
    if (c->plan == kFftPlanLeaf) {
        if (Inv)
            cRadix4Inv_64fc(d, n, (const double *)c->twd, n);
        else
            cRadix4Fwd_64fc(d, n, (const double *)c->twd, n);
        if (scaled)
            rbMpy1_64f(c->scale, d, 2 * N);
        return fxrStsNoErr;
    }
    cFftLarge_64fc(c, d, Inv, (double *)w.ptr);
    return fxrStsNoErr;
}

} // namespace
} // namespace fxrs

using namespace fxrs;

extern "C" ZEM_API FxrStatus fxrsFFTFwd_CToC_32fc(const Fxrs32fc *src, Fxrs32fc *dst,
                                                  const FxrsFFTCtx_C_32fc *ctx, uint8_t *buf)
{
    return fft32<false>(src, dst, ctx, buf);
}

extern "C" ZEM_API FxrStatus fxrsFFTInv_CToC_32fc(const Fxrs32fc *src, Fxrs32fc *dst,
                                                  const FxrsFFTCtx_C_32fc *ctx, uint8_t *buf)
{
    return fft32<true>(src, dst, ctx, buf);
}

extern "C" ZEM_API FxrStatus fxrsFFTFwd_CToC_64fc(const Fxrs64fc *src, Fxrs64fc *dst,
                                                  const FxrsFFTCtx_C_64fc *ctx, uint8_t *buf)
{
    return fft64<false>(src, dst, ctx, buf);
}

extern "C" ZEM_API FxrStatus fxrsFFTInv_CToC_64fc(const Fxrs64fc *src, Fxrs64fc *dst,
                                                  const FxrsFFTCtx_C_64fc *ctx, uint8_t *buf)
{
    return fft64<true>(src, dst, ctx, buf);
}
