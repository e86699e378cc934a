// FFT contexts of the complex families: InitAlloc, Free, GetBufSize.
#include <limits.h>
#include <math.h>

#include "engine/fxrs_internal.h"

namespace fxrs {

template <typename S>
bool decode_norm_flag(int flag, int64_t N, bool sqrtExt, int32_t *fwd, int32_t *inv, S *scale)
{
    switch (flag) {
    case FXR_FFT_DIV_FWD_BY_N:
        *fwd = 1;
        *scale = (S)1.0 / (S)N;
        return true;
    case FXR_FFT_DIV_INV_BY_N:
        *inv = 1;
        *scale = (S)1.0 / (S)N;
        return true;
    case FXR_FFT_DIV_BY_SQRTN:
        *fwd = *inv = 1;
        if (sqrtExt)
            *scale = (S)(1.0L / sqrtl((long double)N));
        else
            *scale = (S)(1.0 / sqrt((double)N));
        return true;
    case FXR_FFT_NODIV_BY_ANY:
        return true;
    default:
        return false;
    }
}
template bool decode_norm_flag<float>(int, int64_t, bool, int32_t *, int32_t *, float *);
template bool decode_norm_flag<double>(int, int64_t, bool, int32_t *, int32_t *, double *);

template <typename S> void free_fft_tables(FftCtx<S> *c)
{
    fxrsFree(c->bitRev);
    fxrsFree(c->twd);
    fxrsFree(c->realRec);
    fxrsFree(c->ccsRec);
}
template void free_fft_tables<float>(FftCtx<float> *);
template void free_fft_tables<double>(FftCtx<double> *);

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

namespace {

template <typename S> bool decode_flag(FftCtx<S> *c, int flag)
{
    return decode_norm_flag<S>(flag, (int64_t)1 << c->order, true, &c->fwdScaled,
                               &c->invScaled, &c->scale);
}

template <typename S> void free_tables(FftCtx<S> *c) { free_fft_tables(c); }

} // namespace

template <typename S, typename Ctx>
FxrStatus fft_init_alloc(Ctx **out, int order, int flag, int hint, int32_t kind)
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
    // The real family plans its complex half: order - 1.
    const bool real = kind == kKindFftR32 || kind == kKindFftR64;
    const int m = real ? order - 1 : order;
    // Tables that cannot be sized in 32 bits cannot be allocated.
    const bool dbl = sizeof(S) == 8;
    c->plan = real && order < kSmallOrders ? kFftPlanSmall : fft_plan_kind(m, dbl);
    if (c->plan == kFftPlanLarge) {
        if (!large_fits(m, dbl)) {
            fxrsFree(c);
            return fxrStsMemAllocErr;
        }
    }
    if (order >= kSmallOrders) {
        S *base = base_sine_table<S>(order);
        int st = fxrStsMemAllocErr;
        if (base) {
            if constexpr (sizeof(S) == 4)
                st = build_complex_32(c, m, base, order);
            else
                st = build_complex_64(c, m, base, order);
            if (st == fxrStsNoErr && real)
                st = build_real_rec<S>(c, base, order);
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

template FxrStatus fft_init_alloc<float, FxrsFFTCtx_R_32f>(FxrsFFTCtx_R_32f **, int, int, int,
                                                           int32_t);
template FxrStatus fft_init_alloc<double, FxrsFFTCtx_R_64f>(FxrsFFTCtx_R_64f **, int, int, int,
                                                            int32_t);

template <typename S> FxrStatus fft_free(FftCtx<S> *c, int32_t kind)
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

template <typename S> FxrStatus fft_buf_size(const FftCtx<S> *c, int32_t kind, int *size)
{
    if (!c || !size)
        return fxrStsNullPtrErr;
    if (c->kind != kind)
        return fxrStsContextMatchErr;
    *size = c->workSize > 0 ? c->workSize + 16 : 0;
    return fxrStsNoErr;
}

template FxrStatus fft_free<float>(FftCtx<float> *, int32_t);
template FxrStatus fft_free<double>(FftCtx<double> *, int32_t);
template FxrStatus fft_buf_size<float>(const FftCtx<float> *, int32_t, int *);
template FxrStatus fft_buf_size<double>(const FftCtx<double> *, int32_t, int *);

} // namespace fxrs

using namespace fxrs;

extern "C" ZEM_API FxrStatus fxrsFFTInitAlloc_C_32fc(FxrsFFTCtx_C_32fc **ctx, int order,
                                                     int flag, int hint)
{
    return fft_init_alloc<float>(ctx, order, flag, hint, kKindFftC32);
}

extern "C" ZEM_API FxrStatus fxrsFFTInitAlloc_C_64fc(FxrsFFTCtx_C_64fc **ctx, int order,
                                                     int flag, int hint)
{
    return fft_init_alloc<double>(ctx, order, flag, hint, kKindFftC64);
}

extern "C" ZEM_API FxrStatus fxrsFFTFree_C_32fc(FxrsFFTCtx_C_32fc *ctx)
{
    return fft_free<float>(ctx, kKindFftC32);
}

extern "C" ZEM_API FxrStatus fxrsFFTFree_C_64fc(FxrsFFTCtx_C_64fc *ctx)
{
    return fft_free<double>(ctx, kKindFftC64);
}

extern "C" ZEM_API FxrStatus fxrsFFTGetBufSize_C_32fc(const FxrsFFTCtx_C_32fc *ctx,
                                                      int *size)
{
    return fft_buf_size<float>(ctx, kKindFftC32, size);
}

extern "C" ZEM_API FxrStatus fxrsFFTGetBufSize_C_64fc(const FxrsFFTCtx_C_64fc *ctx,
                                                      int *size)
{
    return fft_buf_size<double>(ctx, kKindFftC64, size);
}
