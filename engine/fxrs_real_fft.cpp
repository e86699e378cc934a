// Real transforms through a complex transform of half the length: the
// recombination passes between the half-length spectrum and the Perm
// layout, the fixed real kernels of up to 8 points, and the power-of-two
// real FFT.
#include "engine/fxrs_dft_sse.h"

// The double-precision passes leave the x87 registers one double at a
// time; pairing those stores through SSE registers (as the vectoriser would
// on x86_64) only adds round trips through memory. The single-precision
// passes are written with SSE intrinsics and are not affected.
#pragma GCC optimize("no-tree-slp-vectorize")

namespace fxrs {

using namespace dft;

// (0.5 cos(2 pi j/N), 0.5 - 0.5 sin(2 pi j/N)) and (cos, -sin), j < N/4,
// from the base sine table of order n.
template <typename S> int build_real_rec(FftCtx<S> *c, const S *base, int n)
{
    const int64_t N = (int64_t)1 << n, J = N / 4;
    S *fw = (S *)alloc_bytes(J * 2 * (int64_t)sizeof(S));
    S *iv = (S *)alloc_bytes(J * 2 * (int64_t)sizeof(S));
    c->realRec = fw;
    c->ccsRec = iv;
    if (!fw || !iv)
        return fxrStsMemAllocErr;
    for (int64_t j = 0; j < J; ++j) {
        const S cs = base[J - j], sn = base[j];
        fw[2 * j] = (S)(0.5 * cs);
        fw[2 * j + 1] = (S)(0.5 - 0.5 * sn);
        iv[2 * j] = cs;
        iv[2 * j + 1] = -sn;
    }
    return fxrStsNoErr;
}
template int build_real_rec<float>(FftCtx<float> *, const float *, int);
template int build_real_rec<double>(FftCtx<double> *, const double *, int);

// The half-length spectrum Z (M complex, in place) to the Perm layout of
// the real length 2M; each step takes the pair (k, M-k).
template <typename S> void real_fwd_recombine(S *d, int64_t M, const S *tab)
{
    typedef typename Work<S>::W W;
    const W a = d[0], b = d[1];
    d[0] = (S)(a + b);
    d[1] = (S)(a - b);
    int64_t k = 1;
    if constexpr (sizeof(S) == 4) {
        // four pairs at a time: k..k+3 with M-k..M-k-3
        for (; 2 * (k + 3) < M; k += 4) {
            const V A = vload(d + 2 * k), B = vrev(vload(d + 2 * (M - k - 3))), T = vload(tab + 2 * k);
            const __m128 dd = _mm_sub_ps(A.re, B.re), ss = _mm_add_ps(A.im, B.im);
            const __m128 p = _mm_add_ps(_mm_mul_ps(T.im, dd), _mm_mul_ps(T.re, ss));
            const __m128 q = _mm_sub_ps(_mm_mul_ps(T.im, ss), _mm_mul_ps(T.re, dd));
            vstore(d + 2 * k, V{_mm_add_ps(B.re, p), _mm_sub_ps(q, B.im)});
            vstore(d + 2 * (M - k - 3), vrev(V{_mm_sub_ps(A.re, p), _mm_sub_ps(q, A.im)}));
        }
    }
    for (; 2 * k < M; ++k) {
        const W dd = (W)d[2 * k] - (W)d[2 * (M - k)];
        const W ss = (W)d[2 * k + 1] + (W)d[2 * (M - k) + 1];
        const W p = dd * (W)tab[2 * k + 1] + ss * (W)tab[2 * k];
        const W q = ss * (W)tab[2 * k + 1] - dd * (W)tab[2 * k];
        // The pair is read again rather than kept: in double precision the
        // eight x87 registers cannot hold it beside p and q, and spilling
        // extended values costs more than reloading two doubles.
        __asm__("" ::: "memory");
        const Z<W> A = ld<W>(d, k), B = ld<W>(d, M - k);
        st(d, k, Z<W>{B.re + p, q - B.im});
        st(d, M - k, Z<W>{A.re - p, q - A.im});
    }
    if ((M & 1) == 0)
        d[M + 1] = -d[M + 1];
}
template void real_fwd_recombine<float>(float *, int64_t, const float *);
template void real_fwd_recombine<double>(double *, int64_t, const double *);

// A Perm spectrum of the real length 2M to the half-length spectrum that
// the inverse complex transform turns into 2M x; src may equal dst.
template <typename S> void real_inv_recombine(const S *s, S *d, int64_t M, const S *tab)
{
    typedef typename Work<S>::W W;
    const W a = s[0], b = s[1];
    int64_t k = 1;
    if constexpr (sizeof(S) == 4) {
        for (; 2 * (k + 3) < M; k += 4) {
            const V A = vload(s + 2 * k), B = vrev(vload(s + 2 * (M - k - 3))), C = vload(tab + 2 * k);
            const __m128 dd = _mm_sub_ps(A.re, B.re), ss = _mm_add_ps(A.im, B.im);
            const __m128 u = _mm_sub_ps(_mm_mul_ps(C.im, dd), _mm_mul_ps(C.re, ss));
            const __m128 v = _mm_add_ps(_mm_mul_ps(C.re, dd), _mm_mul_ps(C.im, ss));
            const __m128 sr = _mm_add_ps(A.re, B.re), di = _mm_sub_ps(A.im, B.im);
            vstore(d + 2 * k, V{_mm_add_ps(sr, u), _mm_add_ps(di, v)});
            vstore(d + 2 * (M - k - 3), vrev(V{_mm_sub_ps(sr, u), _mm_sub_ps(v, di)}));
        }
    }
    for (; 2 * k < M; ++k) {
        const W dd = (W)s[2 * k] - (W)s[2 * (M - k)];
        const W ss = (W)s[2 * k + 1] + (W)s[2 * (M - k) + 1];
        const W u = dd * (W)tab[2 * k + 1] - ss * (W)tab[2 * k];
        const W v = dd * (W)tab[2 * k] + ss * (W)tab[2 * k + 1];
        __asm__("" ::: "memory"); // read the pair again, as in the forward pass
        const Z<W> A = ld<W>(s, k), B = ld<W>(s, M - k);
        st(d, k, Z<W>{A.re + B.re + u, A.im - B.im + v});
        st(d, M - k, Z<W>{A.re + B.re - u, v - (A.im - B.im)});
    }
    if ((M & 1) == 0)
        st(d, M / 2, Z<W>{2 * (W)s[M], -2 * (W)s[M + 1]});
    d[0] = (S)(a + b);
    d[1] = (S)(a - b);
}
template void real_inv_recombine<float>(const float *, float *, int64_t, const float *);
template void real_inv_recombine<double>(const double *, double *, int64_t, const double *);

// Fixed real kernels for N = 1, 2, 3, 4, 8 (Perm in and out), the scale
// applied when scale != 0. Direct sums over exact constants.
template <typename S> void real_small(const S *in, S *out, int N, bool inv, S scale)
{
    typedef typename Work<S>::W W;
    // cos(2 pi k/8), sin(2 pi k/8)
    const W h = (W)0.70710678118654752440084436210485L;
    const W c8[8] = {1, h, 0, -h, -1, -h, 0, h}, s8[8] = {0, h, 1, h, 0, -h, -1, -h};
    const W c3[3] = {1, -0.5, -0.5}, s3[3] = {0, K<W>::s3, -K<W>::s3};
    auto cs = [&](int64_t jk, W *c, W *s) {
        if (N == 3) {
            *c = c3[jk % 3];
            *s = s3[jk % 3];
        } else {
            const int u = (int)((jk * (8 / N)) % 8);
            *c = c8[u];
            *s = s8[u];
        }
    };
    const int H = N / 2; // highest non-redundant index
    W x[8];
    if (!inv) {
        for (int j = 0; j < N; ++j)
            x[j] = in[j];
        W re[5], im[5];
        for (int k = 0; k <= H; ++k) {
            re[k] = im[k] = 0;
            for (int j = 0; j < N; ++j) {
                W c, s;
                cs((int64_t)j * k, &c, &s);
                re[k] += x[j] * c;
                im[k] -= x[j] * s;
            }
        }
        const W sc = scale != 0 ? (W)scale : (W)1;
        out[0] = (S)(re[0] * sc);
        if (N % 2 == 0 && N > 1)
            out[1] = (S)(re[H] * sc);
        const int first = N % 2 == 0 ? 2 : 1;
        for (int k = 1; 2 * k < N; ++k) {
            out[first + 2 * (k - 1)] = (S)(re[k] * sc);
            out[first + 2 * (k - 1) + 1] = (S)(im[k] * sc);
        }
        return;
    }
    // full Hermitian spectrum from Perm
    W re[8], im[8];
    re[0] = in[0];
    im[0] = 0;
    const int first = N % 2 == 0 ? 2 : 1;
    if (N % 2 == 0 && N > 1) {
        re[H] = in[1];
        im[H] = 0;
    }
    for (int k = 1; 2 * k < N; ++k) {
        re[k] = in[first + 2 * (k - 1)];
        im[k] = in[first + 2 * (k - 1) + 1];
        re[N - k] = re[k];
        im[N - k] = -im[k];
    }
    const W sc = scale != 0 ? (W)scale : (W)1;
    for (int j = 0; j < N; ++j) {
        x[j] = 0;
        for (int k = 0; k < N; ++k) {
            W c, s;
            cs((int64_t)j * k, &c, &s);
            x[j] += re[k] * c - im[k] * s;
        }
    }
    for (int j = 0; j < N; ++j)
        out[j] = (S)(x[j] * sc);
}
template void real_small<float>(const float *, float *, int, bool, float);
template void real_small<double>(const double *, double *, int, bool, double);

namespace {

template <bool Inv, typename S>
FxrStatus rfft(const S *src, S *dst, const FftCtx<S> *c, uint8_t *buf, int32_t kind)
{
    WorkBuf w;
    const FxrStatus st = transform_prologue(c, kind, src, dst, buf, &w);
    if (st != fxrStsNoErr)
        return st;
    const int n = c->order;
    if (n < kSmallOrders) {
        const bool scaled = (Inv ? c->invScaled : c->fwdScaled) != 0;
        real_small(src, dst, 1 << n, Inv, scaled ? c->scale : (S)0);
        return fxrStsNoErr;
    }
    const int64_t M = (int64_t)1 << (n - 1);
    if (!Inv) {
        fft_run(c, n - 1, src, dst, false, w.ptr);
        real_fwd_recombine(dst, M, (const S *)c->realRec);
    } else {
        real_inv_recombine(src, dst, M, (const S *)c->ccsRec);
        fft_run(c, n - 1, dst, dst, true, w.ptr);
    }
    return fxrStsNoErr;
}

} // namespace
} // namespace fxrs

using namespace fxrs;

#define ZEM_RFFT(Name, Inv, S, Ctx, Kind)                                                      \
    extern "C" ZEM_API FxrStatus Name(const S *src, S *dst, const Ctx *ctx, uint8_t *buf)      \
    {                                                                                          \
        return rfft<Inv, S>(src, dst, ctx, buf, Kind);                                         \
    }

ZEM_ENGINE_CONTEXT(fxrsFFTInitAlloc_R_32f, fxrsFFTFree_R_32f, fxrsFFTGetBufSize_R_32f,
                   FxrsFFTCtx_R_32f, float, kKindFftR32, fft)
ZEM_ENGINE_CONTEXT(fxrsFFTInitAlloc_R_64f, fxrsFFTFree_R_64f, fxrsFFTGetBufSize_R_64f,
                   FxrsFFTCtx_R_64f, double, kKindFftR64, fft)
ZEM_RFFT(fxrsFFTFwd_RToPerm_32f, false, float, FxrsFFTCtx_R_32f, kKindFftR32)
ZEM_RFFT(fxrsFFTInv_PermToR_32f, true, float, FxrsFFTCtx_R_32f, kKindFftR32)
ZEM_RFFT(fxrsFFTFwd_RToPerm_64f, false, double, FxrsFFTCtx_R_64f, kKindFftR64)
ZEM_RFFT(fxrsFFTInv_PermToR_64f, true, double, FxrsFFTCtx_R_64f, kKindFftR64)

#undef ZEM_RFFT
