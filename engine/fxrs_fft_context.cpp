// FFT contexts of the complex families: InitAlloc, Free, GetBufSize.
#include <limits.h>
#include <math.h>

#include "engine/fxrs_internal.h"

namespace fxrs {
namespace {

// Flag decoding; false for an unknown code.
template <typename S> bool decode_flag(FftCtx<S> *c, int flag)
{
    const int64_t N = (int64_t)1 << c->order;
    switch (flag) {
    case FXR_FFT_DIV_FWD_BY_N:
        c->fwdScaled = 1;
        c->scale = (S)1.0 / (S)N;
        return true;
    case FXR_FFT_DIV_INV_BY_N:
        c->invScaled = 1;
        c->scale = (S)1.0 / (S)N;
        return true;
    case FXR_FFT_DIV_BY_SQRTN:
        c->fwdScaled = c->invScaled = 1;
        c->scale = (S)(1.0L / sqrtl((long double)N));
        return true;
    case FXR_FFT_NODIV_BY_ANY:
        return true;
    default:
        return false;
    }
}

template <typename S> void free_tables(FftCtx<S> *c)
{
    fxrsFree(c->bitRev);
    fxrsFree(c->twd);
    fxrsFree(c->realRec);
    fxrsFree(c->ccsRec);
}

// The complex tables of order m into c (the real family will call this
// with the half order): permutation table, then the L1 table or the
// large-order block. Returns a status; on failure c owns what was built.
int build_complex_32(FftCtx<float> *c, int m, const float *base, int B)
{
    c->plan = fft_plan_kind(m, false);
    if (c->plan == kFftPlanNorm) {
        c->bitRev = init_tab_bitrev_norm(m);
    } else {
        c->bitRev = init_tab_bitrev(m);
    }
    if (!c->bitRev)
        return fxrStsMemAllocErr;
    if (c->plan != kFftPlanLarge) {
        c->twd = fxrsMalloc_8u((int)size_twd_l1_32f(m));
        if (!c->twd)
            return fxrStsMemAllocErr;
        init_twd_l1_32f(m, base, B, (float *)c->twd);
        c->workSize = (int32_t)round16((int64_t)8 << m);
        return fxrStsNoErr;
    }
    large_plan(m, false, &c->large);
    return init_twd_large_32f(c, m, base, B);
}

int build_complex_64(FftCtx<double> *c, int m, const double *base, int B)
{
    c->plan = fft_plan_kind(m, true);
    c->bitRev = init_tab_bitrev(m);
    if (!c->bitRev)
        return fxrStsMemAllocErr;
    if (c->plan != kFftPlanLarge) {
        c->twd = fxrsMalloc_8u((int)size_twd_l1_64f(m));
        if (!c->twd)
            return fxrStsMemAllocErr;
        init_twd_l1_64f(m, base, B, (double *)c->twd);
        c->workSize = 0;
        return fxrStsNoErr;
    }
    large_plan(m, true, &c->large);
    return init_twd_large_64f(c, m, base, B);
}

template <typename S, typename Ctx>
FxrStatus init_alloc(Ctx **out, int order, int flag, int hint, int32_t kind)
{
    if (!out)
        return fxrStsNullPtrErr;
    if (order < 0 || order > 30)
        return fxrStsFftOrderErr;
    FftCtx<S> *c = (FftCtx<S> *)fxrsMalloc_8u((int)sizeof(Ctx));
    if (!c)
        return fxrStsMemAllocErr;
    fxrsZero_8u((uint8_t *)c, (int)sizeof(Ctx));
    c->kind = kind;
    c->order = order;
    c->hint = hint;
    c->owned = 1;
    if (!decode_flag(c, flag)) {
        fxrsFree(c);
        return fxrStsFftFlagErr;
    }
    // Tables that cannot be sized in 32 bits cannot be allocated.
    const bool dbl = sizeof(S) == 8;
    c->plan = fft_plan_kind(order, dbl);
    if (c->plan == kFftPlanLarge) {
        if (!large_fits(order, dbl)) {
            fxrsFree(c);
            return fxrStsMemAllocErr;
        }
    }
    if (c->plan != kFftPlanSmall) {
        S *base = base_sine_table<S>(order);
        int st = fxrStsMemAllocErr;
        if (base) {
            if constexpr (sizeof(S) == 4)
                st = build_complex_32(c, order, base, order);
            else
                st = build_complex_64(c, order, base, order);
            fxrsFree(base);
        }
        if (st != fxrStsNoErr) {
            free_tables(c);
            fxrsFree(c);
            return st;
        }
    }
    *out = (Ctx *)c;
    return fxrStsNoErr;
}

template <typename S> FxrStatus free_ctx(FftCtx<S> *c, int32_t kind)
{
    if (!c)
        return fxrStsNullPtrErr;
    if (c->kind != kind)
        return fxrStsContextMatchErr;
    c->kind = 0;
    if (c->owned == 1) {
        free_tables(c);
        fxrsFree(c);
    }
    return fxrStsNoErr;
}

template <typename S> FxrStatus buf_size(const FftCtx<S> *c, int32_t kind, int *size)
{
    if (!c || !size)
        return fxrStsNullPtrErr;
    if (c->kind != kind)
        return fxrStsContextMatchErr;
    *size = c->workSize > 0 ? c->workSize + 16 : 0;
    return fxrStsNoErr;
}

} // namespace
} // namespace fxrs

using namespace fxrs;

extern "C" ZEM_API FxrStatus fxrsFFTInitAlloc_C_32fc(FxrsFFTCtx_C_32fc **ctx, int order,
                                                     int flag, int hint)
{
    return init_alloc<float>(ctx, order, flag, hint, kKindFftC32);
}

extern "C" ZEM_API FxrStatus fxrsFFTInitAlloc_C_64fc(FxrsFFTCtx_C_64fc **ctx, int order,
                                                     int flag, int hint)
{
    return init_alloc<double>(ctx, order, flag, hint, kKindFftC64);
}

extern "C" ZEM_API FxrStatus fxrsFFTFree_C_32fc(FxrsFFTCtx_C_32fc *ctx)
{
    return free_ctx<float>(ctx, kKindFftC32);
}

extern "C" ZEM_API FxrStatus fxrsFFTFree_C_64fc(FxrsFFTCtx_C_64fc *ctx)
{
    return free_ctx<double>(ctx, kKindFftC64);
}

extern "C" ZEM_API FxrStatus fxrsFFTGetBufSize_C_32fc(const FxrsFFTCtx_C_32fc *ctx,
                                                      int *size)
{
    return buf_size<float>(ctx, kKindFftC32, size);
}

extern "C" ZEM_API FxrStatus fxrsFFTGetBufSize_C_64fc(const FxrsFFTCtx_C_64fc *ctx,
                                                      int *size)
{
    return buf_size<double>(ctx, kKindFftC64, size);
}
