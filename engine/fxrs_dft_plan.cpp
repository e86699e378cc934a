// Planning of the any-length DFT: the base table, the factor test, the
// tables of the factored and the convolution plans, and their release.
#include <limits.h>
#include <math.h>
#include <string.h>

#include "engine/fxrs_dft_kernels.h"

namespace fxrs {

template <typename S> S *dft_base_table(int64_t n)
{
    const int64_t bytes = n * 2 * (int64_t)sizeof(S);
    if (n < 1 || bytes > INT_MAX)
        return nullptr;
    S *w = (S *)fxrsMalloc_8u((int)bytes);
    if (!w)
        return nullptr;
    // The first half from the extended-precision functions, the second
    // half as its conjugate; angles reduced to the first quadrant so
    // that symmetric entries are exactly symmetric.
    const long double twoPi = 6.283185307179586476925286766559L;
    for (int64_t k = 0; 2 * k <= n; ++k) {
        long double c, s;
        if (4 * k <= n) {
            if (8 * k <= n) {
                const long double a = twoPi * (long double)k / (long double)n;
                c = cosl(a);
                s = sinl(a);
            } else { // angle pi/2 - a'
                const long double a = twoPi * (long double)(n - 4 * k) / (long double)(4 * n);
                c = sinl(a);
                s = cosl(a);
            }
        } else { // pi - a'
            const long double a = twoPi * (long double)(n - 2 * k) / (long double)(2 * n);
            if (4 * (n - 2 * k) <= n) {
                c = -cosl(a);
                s = sinl(a);
            } else {
                const long double b = twoPi * (long double)(4 * k - n) / (long double)(4 * n);
                c = -sinl(b);
                s = cosl(b);
            }
        }
        w[2 * k] = (S)c;
        w[2 * k + 1] = (S)-s;
        if (k > 0 && 2 * k != n) {
            w[2 * (n - k)] = (S)c;
            w[2 * (n - k) + 1] = (S)s;
        }
    }
    return w;
}
template float *dft_base_table<float>(int64_t);
template double *dft_base_table<double>(int64_t);

namespace {

// Factor test: 4s first, one 2 (which becomes the leading factor), then
// odd trial divisors below 151; the remaining factor must stay below 151
// and there must be at least two factors. Writes f[], returns the count
// or 0.
int factor_test(int32_t n, int32_t *f)
{
    int L = 0;
    while (n % 4 == 0 && L < kDftMaxFactors) {
        f[L++] = 4;
        n /= 4;
    }
    if (n % 2 == 0 && L < kDftMaxFactors) {
        f[L++] = 4;
        n /= 2;
        f[0] = 2;
    }
    if (n == 1)
        return 0; // a power of two: not for this plan
    if (n < 9) {
        if (L == 0)
            return 0;
        f[L++] = n;
        return L;
    }
    int32_t p = 3;
    while (n >= p * p) {
        if (n % p == 0) {
            if (L >= kDftMaxFactors - 1)
                return 0;
            f[L++] = p;
            n /= p;
        } else {
            p += 2;
            if (p > kDftFactorLimit)
                return 0;
        }
    }
    if (L == 0 || n > kDftFactorLimit)
        return 0;
    f[L++] = n;
    return L;
}

template <typename S> S *alloc_c(int64_t count)
{
    const int64_t bytes = count * 2 * (int64_t)sizeof(S);
    return (S *)alloc_bytes(bytes);
}

template <typename S> int plan_fact(DftCtx<S> *c, const int32_t *f, int L, bool outOrd)
{
    const int64_t n = c->clen;
    const bool dbl = sizeof(S) == 8;
    S *base = dft_base_table<S>(n);
    if (!base)
        return fxrStsMemAllocErr;
    c->fact = 1;
    c->plan = kDftPlanFact;
    c->nFactM2 = L - 2;
    int64_t rest = n, s = 1;
    for (int i = 0; i < L; ++i) {
        DftFactor &r = c->rec[i];
        r.f = f[i];
        rest /= f[i];
        r.m = (int32_t)rest;
        r.s = (int32_t)s;
        s *= f[i];
        if (f[i] > 5 && f[i] > c->maxFactor)
            c->maxFactor = f[i];
    }
    // first stage whose sub-length is below the recursion threshold
    const int64_t T = dft_recursion_threshold(dbl);
    int k = 0;
    while (k < L - 1 && (k == 0 ? n : c->rec[k - 1].m) >= T)
        ++k;
    c->iterStage = k;
    for (int i = 0; i < L; ++i) {
        DftFactor &r = c->rec[i];
        r.c = i <= k ? 1 : (i == k + 1 ? c->rec[k].f : c->rec[i - 1].c * c->rec[i - 1].f);
    }
    c->outOrd = outOrd && n >= dft_outord_threshold(dbl);
    int st = fxrStsNoErr;
    for (int i = 0; i < L && st == fxrStsNoErr; ++i) {
        DftFactor &r = c->rec[i];
        if (r.f > 5) {
            if (i > 0 && c->rec[i - 1].f == r.f) {
                r.dir = c->rec[i - 1].dir; // shared, freed once
            } else {
                S *d = alloc_c<S>(r.f);
                if (!d) {
                    st = fxrStsMemAllocErr;
                    break;
                }
                for (int64_t j = 0; j < r.f; ++j) {
                    const int64_t at = j * (n / r.f);
                    d[2 * j] = base[2 * at];
                    d[2 * j + 1] = base[2 * at + 1];
                }
                r.dir = d;
            }
        }
        if (i == L - 1 || c->outOrd)
            continue;
        // stage twiddles w^(p q), w = e^(-2 pi i/(f m)): base index p q s.
        // The single-precision radix-2..5 stages read them grouped: per
        // four q, per leg p, four real parts then four imaginary parts.
        const bool grouped = sizeof(S) == 4 && r.f <= 5;
        const int64_t groups = (r.m + 3) / 4;
        S *t = alloc_c<S>(grouped ? groups * 4 * (r.f - 1) : (int64_t)r.m * (r.f - 1));
        if (!t) {
            st = fxrStsMemAllocErr;
            break;
        }
        r.twd = t;
        if (grouped) {
            for (int64_t g = 0; g < groups; ++g)
                for (int64_t p = 1; p < r.f; ++p, t += 8)
                    for (int64_t lane = 0; lane < 4; ++lane) {
                        const int64_t q = 4 * g + lane;
                        const int64_t at = q < r.m ? (p * q * r.s) % n : 0;
                        t[lane] = q < r.m ? base[2 * at] : 0;
                        t[4 + lane] = q < r.m ? base[2 * at + 1] : 0;
                    }
            continue;
        }
        for (int64_t q = 0; q < r.m; ++q)
            for (int64_t p = 1; p < r.f; ++p, t += 2) {
                const int64_t at = (p * q * r.s) % n;
                t[0] = base[2 * at];
                t[1] = base[2 * at + 1];
            }
    }
    if (st == fxrStsNoErr && c->outOrd) {
        c->outTwd = base; // kept: the out-of-order stages read it directly
        return fxrStsNoErr;
    }
    if (st == fxrStsNoErr) {
        // input offsets of the first stage's blocks at the iterative depth:
        // the mixed-radix digit reversal over f_k .. f_(L-2)
        const int64_t nk = k == 0 ? n : c->rec[k - 1].m;
        const int64_t nb = nk / f[L - 1];
        int32_t *idx = (int32_t *)alloc_bytes(nb * 4);
        if (!idx) {
            st = fxrStsMemAllocErr;
        } else {
            c->inIdx = idx;
            idx[0] = 0;
            int64_t size = 1;
            for (int d = L - 2; d >= k; --d) {
                const int fd = f[d];
                // entry b S + t = b + f T[t]: build from the top down
                for (int64_t b = fd - 1; b >= 0; --b)
                    for (int64_t t = size - 1; t >= 0; --t)
                        idx[b * size + t] = (int32_t)(b + fd * (int64_t)idx[t]);
                size *= fd;
            }
        }
    }
    fxrsFree(base);
    return st;
}

template <typename S> int plan_conv(DftCtx<S> *c, int32_t hint)
{
    typedef typename dft::Work<S>::W W;
    (void)hint;
    const int64_t n = c->clen;
    int64_t M = 1;
    int order = 0;
    while (M < 2 * n - 1) {
        M *= 2;
        ++order;
    }
    c->plan = kDftPlanConv;
    c->convM = (int32_t)M;
    int st;
    if constexpr (sizeof(S) == 4)
        st = fxrsFFTInitAlloc_C_32fc((FxrsFFTCtx_C_32fc **)&c->convFft, order,
                                     FXR_FFT_NODIV_BY_ANY, 0);
    else
        st = fxrsFFTInitAlloc_C_64fc((FxrsFFTCtx_C_64fc **)&c->convFft, order,
                                     FXR_FFT_NODIV_BY_ANY, 0);
    if (st != fxrStsNoErr)
        return st;
    S *base = dft_base_table<S>(2 * n);
    S *ch = alloc_c<S>(n), *h = alloc_c<S>(M);
    c->tab[kTabChirp] = ch;
    c->tab[kTabFilter] = h;
    if (!base || !ch || !h) {
        fxrsFree(base);
        return fxrStsMemAllocErr;
    }
    // c[k] = e^(-pi i k^2/n) = base_2n[k^2 mod 2n]
    for (int64_t k = 0, at = 0; k < n; ++k) {
        ch[2 * k] = base[2 * at];
        ch[2 * k + 1] = base[2 * at + 1];
        at += 2 * k + 1;
        while (at >= 2 * n)
            at -= 2 * n;
    }
    fxrsFree(base);
    memset(h, 0, (size_t)M * 2 * sizeof(S));
    for (int64_t k = 0; k < n; ++k) {
        h[2 * k] = ch[2 * k];
        h[2 * k + 1] = -ch[2 * k + 1];
        if (k > 0) {
            h[2 * (M - k)] = h[2 * k];
            h[2 * (M - k) + 1] = h[2 * k + 1];
        }
    }
    if constexpr (sizeof(S) == 4)
        st = fxrsFFTFwd_CToC_32fc((Fxrs32fc *)h, (Fxrs32fc *)h, (FxrsFFTCtx_C_32fc *)c->convFft,
                                  nullptr);
    else
        st = fxrsFFTFwd_CToC_64fc((Fxrs64fc *)h, (Fxrs64fc *)h, (FxrsFFTCtx_C_64fc *)c->convFft,
                                  nullptr);
    if (st != fxrStsNoErr)
        return st;
    const W inv = (W)1 / (W)M;
    for (int64_t k = 0; k < 2 * M; ++k)
        h[k] = (S)((W)h[k] * inv);
    return fxrStsNoErr;
}

template <typename S> int conv_inner_size(const DftCtx<S> *c)
{
    int sz = 0;
    if constexpr (sizeof(S) == 4)
        fxrsFFTGetBufSize_C_32fc((const FxrsFFTCtx_C_32fc *)c->convFft, &sz);
    else
        fxrsFFTGetBufSize_C_64fc((const FxrsFFTCtx_C_64fc *)c->convFft, &sz);
    return sz;
}

} // namespace

template <typename S> int dft_plan_complex(DftCtx<S> *c, int32_t n, int32_t directMax, bool outOrd)
{
    c->clen = n;
    if (n <= kDftSmallMax) {
        c->plan = kDftPlanSmall;
        return fxrStsNoErr;
    }
    int32_t f[kDftMaxFactors];
    const int L = factor_test(n, f);
    if (L >= 2)
        return plan_fact(c, f, L, outOrd);
    if (n > directMax)
        return plan_conv(c, c->hint);
    c->plan = kDftPlanDirect;
    c->tab[kTabDir] = dft_base_table<S>(n);
    return c->tab[kTabDir] ? fxrStsNoErr : fxrStsMemAllocErr;
}
template int dft_plan_complex<float>(DftCtx<float> *, int32_t, int32_t, bool);
template int dft_plan_complex<double>(DftCtx<double> *, int32_t, int32_t, bool);

template <typename S> int64_t dft_complex_work(const DftCtx<S> *c)
{
    const int64_t el = 2 * sizeof(S);
    switch (c->plan) {
    case kDftPlanFact:
        return c->outOrd ? el * c->maxFactor : el * ((int64_t)c->clen + c->maxFactor);
    case kDftPlanConv:
        return conv_inner_size(c) + el * c->convM;
    case kDftPlanDirect:
        return el * c->clen;
    default:
        return 0;
    }
}
template int64_t dft_complex_work<float>(const DftCtx<float> *);
template int64_t dft_complex_work<double>(const DftCtx<double> *);

template <typename S> void free_dft_tables(DftCtx<S> *c)
{
    if (c->fft) {
        if constexpr (sizeof(S) == 4) {
            if (c->kind == kKindDftR32)
                fxrsFFTFree_R_32f((FxrsFFTCtx_R_32f *)c->fft);
            else
                fxrsFFTFree_C_32fc((FxrsFFTCtx_C_32fc *)c->fft);
        } else {
            if (c->kind == kKindDftR64)
                fxrsFFTFree_R_64f((FxrsFFTCtx_R_64f *)c->fft);
            else
                fxrsFFTFree_C_64fc((FxrsFFTCtx_C_64fc *)c->fft);
        }
    }
    for (int i = 0; i < 5; ++i)
        fxrsFree(c->tab[i]);
    fxrsFree(c->inIdx);
    fxrsFree(c->outTwd);
    if (c->convFft) {
        if constexpr (sizeof(S) == 4)
            fxrsFFTFree_C_32fc((FxrsFFTCtx_C_32fc *)c->convFft);
        else
            fxrsFFTFree_C_64fc((FxrsFFTCtx_C_64fc *)c->convFft);
    }
    for (int i = 0; i < kDftMaxFactors; ++i) {
        fxrsFree(c->rec[i].twd);
        if (!(i > 0 && c->rec[i].dir == c->rec[i - 1].dir))
            fxrsFree(c->rec[i].dir);
    }
}
template void free_dft_tables<float>(DftCtx<float> *);
template void free_dft_tables<double>(DftCtx<double> *);

} // namespace fxrs
