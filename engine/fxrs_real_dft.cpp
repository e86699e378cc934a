// Real DFT of any length in the Perm, Pack and CCS layouts. Even lengths
// run the complex plan of half the length and recombine; odd lengths run
// the real forms of the factored, convolution or direct plan.
#include <string.h>

#include "engine/fxrs_internal.h"

namespace fxrs {
namespace {

enum Layout { kPerm, kPack, kCcs };

template <typename S> FxrStatus pow2_run(const DftCtx<S> *c, const S *s, S *d, bool inv, uint8_t *buf)
{
    if constexpr (sizeof(S) == 4) {
        const FxrsFFTCtx_R_32f *f = (const FxrsFFTCtx_R_32f *)c->fft;
        return inv ? fxrsFFTInv_PermToR_32f(s, d, f, buf) : fxrsFFTFwd_RToPerm_32f(s, d, f, buf);
    } else {
        const FxrsFFTCtx_R_64f *f = (const FxrsFFTCtx_R_64f *)c->fft;
        return inv ? fxrsFFTInv_PermToR_64f(s, d, f, buf) : fxrsFFTFwd_RToPerm_64f(s, d, f, buf);
    }
}

// Perm in dst to the requested layout, in place.
template <typename S> void from_perm(S *d, int64_t N, Layout lay)
{
    if (lay == kPack && N % 2 == 0 && N > 1) {
        const S nyq = d[1];
        memmove(d + 1, d + 2, (size_t)(N - 2) * sizeof(S));
        d[N - 1] = nyq;
    } else if (lay == kCcs) {
        if (N % 2 == 0) {
            d[N] = d[1];
            d[N + 1] = 0;
            d[1] = 0;
        } else {
            memmove(d + 2, d + 1, (size_t)(N - 1) * sizeof(S));
            d[1] = 0;
        }
    }
}

// The Perm form of a packed source written into dst (src is not written).
template <typename S> void to_perm(const S *s, S *d, int64_t N, Layout lay)
{
    if (lay == kPack && N % 2 == 0 && N > 1) {
        // s and d may be the same array: read both ends before the move.
        const S first = s[0], last = s[N - 1];
        memmove(d + 2, s + 1, (size_t)(N - 2) * sizeof(S));
        d[0] = first;
        d[1] = last;
    } else if (lay == kCcs) {
        d[0] = s[0];
        if (N % 2 == 0) {
            if (N > 1)
                d[1] = s[N];
            memmove(d + 2, s + 2, (size_t)(N - 2) * sizeof(S));
        } else {
            memmove(d + 1, s + 2, (size_t)(N - 1) * sizeof(S));
        }
    } else if (s != d) {
        memmove(d, s, (size_t)N * sizeof(S));
    }
}

template <typename S>
FxrStatus fwd(const S *src, S *dst, const DftCtx<S> *c, uint8_t *buf, int32_t kind, Layout lay)
{
    WorkBuf w;
    int st = transform_prologue(c, kind, src, dst, buf, &w);
    if (st != fxrStsNoErr)
        return st;
    const int64_t N = c->len;
    if (N <= kDftSmallMax) {
        real_small(src, dst, (int)N, false, c->fwdScaled ? c->scale : (S)0);
    } else if (c->plan == kDftPlanPow2) {
        st = pow2_run(c, src, dst, false, (uint8_t *)w.ptr);
        if (st != fxrStsNoErr)
            return st;
    } else {
        if (N & 1) {
            st = real_odd_run(c, src, dst, false, w.ptr);
        } else {
            st = dft_complex_run(c, src, dst, false, w.ptr);
            if (st == fxrStsNoErr)
                real_fwd_recombine(dst, N / 2, (const S *)c->tab[kTabFwdRec]);
        }
        if (st == fxrStsNoErr && c->fwdScaled)
            scale_values(c->scale, dst, N);
    }
    from_perm(dst, N, lay);
    return st;
}

template <typename S>
FxrStatus inv(const S *src, S *dst, const DftCtx<S> *c, uint8_t *buf, int32_t kind, Layout lay)
{
    WorkBuf w;
    int st = transform_prologue(c, kind, src, dst, buf, &w);
    if (st != fxrStsNoErr)
        return st;
    const int64_t N = c->len;
    if (lay != kPerm) {
        to_perm(src, dst, N, lay);
        src = dst;
    }
    if (N <= kDftSmallMax) {
        real_small(src, dst, (int)N, true, c->invScaled ? c->scale : (S)0);
        return fxrStsNoErr;
    }
    if (c->plan == kDftPlanPow2)
        return pow2_run(c, src, dst, true, (uint8_t *)w.ptr);
    if (N & 1) {
        st = real_odd_run(c, src, dst, true, w.ptr);
    } else {
        real_inv_recombine(src, dst, N / 2, (const S *)c->tab[kTabInvRec]);
        st = dft_complex_run(c, dst, dst, true, w.ptr);
    }
    if (st != fxrStsNoErr)
        return st;
    if (c->invScaled)
        scale_values(c->scale, dst, N);
    return fxrStsNoErr;
}

} // namespace
} // namespace fxrs

using namespace fxrs;

#define ZEM_RDFT(Name, Dir, Lay, S, Ctx, Kind)                                                 \
    extern "C" ZEM_API FxrStatus Name(const S *src, S *dst, const Ctx *ctx, uint8_t *buf)      \
    {                                                                                          \
        return Dir<S>(src, dst, ctx, buf, Kind, Lay);                                          \
    }

ZEM_RDFT(fxrsDFTFwd_RToPerm_32f, fwd, kPerm, float, FxrsDFTCtx_R_32f, kKindDftR32)
ZEM_RDFT(fxrsDFTFwd_RToPack_32f, fwd, kPack, float, FxrsDFTCtx_R_32f, kKindDftR32)
ZEM_RDFT(fxrsDFTFwd_RToCCS_32f, fwd, kCcs, float, FxrsDFTCtx_R_32f, kKindDftR32)
ZEM_RDFT(fxrsDFTInv_PermToR_32f, inv, kPerm, float, FxrsDFTCtx_R_32f, kKindDftR32)
ZEM_RDFT(fxrsDFTInv_PackToR_32f, inv, kPack, float, FxrsDFTCtx_R_32f, kKindDftR32)
ZEM_RDFT(fxrsDFTInv_CCSToR_32f, inv, kCcs, float, FxrsDFTCtx_R_32f, kKindDftR32)
ZEM_RDFT(fxrsDFTFwd_RToPerm_64f, fwd, kPerm, double, FxrsDFTCtx_R_64f, kKindDftR64)
ZEM_RDFT(fxrsDFTFwd_RToPack_64f, fwd, kPack, double, FxrsDFTCtx_R_64f, kKindDftR64)
ZEM_RDFT(fxrsDFTFwd_RToCCS_64f, fwd, kCcs, double, FxrsDFTCtx_R_64f, kKindDftR64)
ZEM_RDFT(fxrsDFTInv_PermToR_64f, inv, kPerm, double, FxrsDFTCtx_R_64f, kKindDftR64)
ZEM_RDFT(fxrsDFTInv_PackToR_64f, inv, kPack, double, FxrsDFTCtx_R_64f, kKindDftR64)
ZEM_RDFT(fxrsDFTInv_CCSToR_64f, inv, kCcs, double, FxrsDFTCtx_R_64f, kKindDftR64)

#undef ZEM_RDFT
