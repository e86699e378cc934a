// DFT contexts of every family (complex, real, out-of-order complex):
// InitAlloc with the plan choice, Free, GetBufSize.
#include <limits.h>

#include "engine/fxrs_internal.h"

namespace fxrs {
namespace {

// k when n = 2^k, else -1 (lengths above 2^30 included: no shift of 1
// reaches past bit 30).
int log2_exact(int32_t n)
{
    return n > 0 && (n & (n - 1)) == 0 ? __builtin_ctz((uint32_t)n) : -1;
}

// Stores the work size with its 16 bytes of alignment slack.
template <typename S> int set_work(DftCtx<S> *c, int64_t bytes)
{
    if (bytes <= 0) {
        c->workSize = 0;
        return fxrStsNoErr;
    }
    if (bytes > INT_MAX - 16)
        return fxrStsMemAllocErr;
    c->workSize = (int32_t)(bytes + 16);
    return fxrStsNoErr;
}

// The power-of-two FFT family a DFT family embeds: complex or real.
template <typename S, bool Real> struct EmbeddedFft;
#define ZEM_EMBEDDED_FFT(S, Real, Fam)                                                         \
    template <> struct EmbeddedFft<S, Real> {                                                  \
        typedef FxrsFFTCtx_##Fam Ctx;                                                          \
        static constexpr auto init = fxrsFFTInitAlloc_##Fam;                                   \
        static constexpr auto size = fxrsFFTGetBufSize_##Fam;                                  \
    };
ZEM_EMBEDDED_FFT(float, false, C_32fc)
ZEM_EMBEDDED_FFT(double, false, C_64fc)
ZEM_EMBEDDED_FFT(float, true, R_32f)
ZEM_EMBEDDED_FFT(double, true, R_64f)
#undef ZEM_EMBEDDED_FFT

// The plans every family shares: the fixed kernels up to 4 points and the
// embedded FFT of a power of two (its buffer size is the DFT's). Returns
// true when one of them took the length, with the status in *st.
template <bool Real, typename S> bool plan_small_or_pow2(DftCtx<S> *c, int flag, int *st)
{
    typedef EmbeddedFft<S, Real> Fft;
    const int32_t n = c->len;
    *st = fxrStsNoErr;
    if (n <= kDftSmallMax) {
        c->plan = kDftPlanSmall;
        c->clen = n;
        return true;
    }
    const int order = log2_exact(n);
    if (order < 0)
        return false;
    c->plan = kDftPlanPow2;
    c->clen = n;
    c->pow2 = 1;
    typename Fft::Ctx **fft = (typename Fft::Ctx **)&c->fft;
    int size = 0;
    *st = Fft::init(fft, order, flag, c->hint);
    if (*st == fxrStsNoErr)
        Fft::size(*fft, &size);
    c->workSize = size;
    return true;
}

template <typename S> int plan_complex_ctx(DftCtx<S> *c, int flag, bool outOrd)
{
    int st;
    if (plan_small_or_pow2<false>(c, flag, &st))
        return st;
    st = dft_plan_complex(c, c->len, kDftDirectMax, outOrd);
    if (st == fxrStsNoErr)
        st = set_work(c, dft_complex_work(c));
    return st;
}

// Forward (0.5 cos, 0.5 - 0.5 sin) and inverse (cos, -sin) recombination
// tables of an even real length, (N+3)/4 entries each.
template <typename S> int build_rec_tables(DftCtx<S> *c)
{
    const int64_t N = c->len, J = (N + 3) / 4;
    S *base = dft_base_table<S>(N);
    S *fw = (S *)alloc_bytes(J * 2 * (int64_t)sizeof(S));
    S *iv = (S *)alloc_bytes(J * 2 * (int64_t)sizeof(S));
    c->tab[kTabFwdRec] = fw;
    c->tab[kTabInvRec] = iv;
    if (!base || !fw || !iv) {
        fxrsFree(base);
        return fxrStsMemAllocErr;
    }
    for (int64_t j = 0; j < J; ++j) {
        const S cs = base[2 * j], msn = base[2 * j + 1];
        fw[2 * j] = (S)(0.5 * cs);
        fw[2 * j + 1] = (S)(0.5 + 0.5 * msn);
        iv[2 * j] = cs;
        iv[2 * j + 1] = msn;
    }
    fxrsFree(base);
    return fxrStsNoErr;
}

template <typename S> int plan_real_ctx(DftCtx<S> *c, int flag)
{
    int st;
    if (plan_small_or_pow2<true>(c, flag, &st))
        return st;
    const int32_t n = c->len;
    if (n & 1) {
        // odd: the real forms of the factored, convolution or direct plan
        st = dft_plan_complex(c, n, kDftRealDirectMax, false);
        if (st != fxrStsNoErr)
            return st;
        c->oddRealFact = c->fact;
        return set_work(c, real_odd_work(c));
    }
    st = dft_plan_complex(c, n / 2, kDftDirectMax, false);
    if (st == fxrStsNoErr)
        st = build_rec_tables(c);
    if (st == fxrStsNoErr)
        st = set_work(c, dft_complex_work(c));
    return st;
}

template <typename S, typename Ctx>
FxrStatus dft_init_alloc(Ctx **out, int len, int flag, int hint, int32_t kind)
{
    if (!out)
        return fxrStsNullPtrErr;
    if (len < 1)
        return fxrStsSizeErr;
    DftCtx<S> *c = (DftCtx<S> *)fxrsMalloc_8u((int)sizeof(Ctx));
    if (!c)
        return fxrStsMemAllocErr;
    fxrsZero_8u((uint8_t *)c, (int)sizeof(Ctx));
    c->kind = kind;
    c->len = len;
    c->hint = hint;
    if (!decode_norm_flag<S>(flag, len, false, &c->fwdScaled, &c->invScaled, &c->scale)) {
        fxrsFree(c);
        return fxrStsFftFlagErr;
    }
    const bool real = kind == kKindDftR32 || kind == kKindDftR64;
    const bool outOrd = kind == kKindDftOutOrd32 || kind == kKindDftOutOrd64;
    const int st = real ? plan_real_ctx(c, flag) : plan_complex_ctx(c, flag, outOrd);
    if (st != fxrStsNoErr) {
        free_dft_tables(c);
        c->kind = 0;
        fxrsFree(c);
        return st;
    }
    *out = (Ctx *)c;
    return fxrStsNoErr;
}

template <typename S> FxrStatus dft_free(DftCtx<S> *c, int32_t kind)
{
    if (!c)
        return fxrStsNullPtrErr;
    if (c->kind != kind)
        return fxrStsContextMatchErr;
    free_dft_tables(c);
    c->kind = 0;
    fxrsFree(c);
    return fxrStsNoErr;
}

template <typename S> FxrStatus dft_buf_size(const DftCtx<S> *c, int32_t kind, int *size)
{
    if (!c || !size)
        return fxrStsNullPtrErr;
    if (c->kind != kind)
        return fxrStsContextMatchErr;
    *size = c->workSize;
    return fxrStsNoErr;
}

} // namespace
} // namespace fxrs

using namespace fxrs;

ZEM_ENGINE_CONTEXT(fxrsDFTInitAlloc_C_32fc, fxrsDFTFree_C_32fc, fxrsDFTGetBufSize_C_32fc,
                   FxrsDFTCtx_C_32fc, float, kKindDftC32, dft)
ZEM_ENGINE_CONTEXT(fxrsDFTInitAlloc_C_64fc, fxrsDFTFree_C_64fc, fxrsDFTGetBufSize_C_64fc,
                   FxrsDFTCtx_C_64fc, double, kKindDftC64, dft)
ZEM_ENGINE_CONTEXT(fxrsDFTInitAlloc_R_32f, fxrsDFTFree_R_32f, fxrsDFTGetBufSize_R_32f,
                   FxrsDFTCtx_R_32f, float, kKindDftR32, dft)
ZEM_ENGINE_CONTEXT(fxrsDFTInitAlloc_R_64f, fxrsDFTFree_R_64f, fxrsDFTGetBufSize_R_64f,
                   FxrsDFTCtx_R_64f, double, kKindDftR64, dft)
ZEM_ENGINE_CONTEXT(fxrsDFTOutOrdInitAlloc_C_32fc, fxrsDFTOutOrdFree_C_32fc,
                   fxrsDFTOutOrdGetBufSize_C_32fc, FxrsDFTOutOrdCtx_C_32fc, float, kKindDftOutOrd32, dft)
ZEM_ENGINE_CONTEXT(fxrsDFTOutOrdInitAlloc_C_64fc, fxrsDFTOutOrdFree_C_64fc,
                   fxrsDFTOutOrdGetBufSize_C_64fc, FxrsDFTOutOrdCtx_C_64fc, double, kKindDftOutOrd64, dft)

