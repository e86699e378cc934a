// Single-precision radix-4 transform for lengths up to 1024 (in cache),
// four butterflies at a time with SSE on the blocked layout: groups of four
// complex elements stored as four real parts, then four imaginary parts.
// Decimation in time: the input is in bit-reversed order (or, for the Norm
// forms, the permutation is folded into the first pass).
// Loads and stores of user data are unaligned-safe: single-precision data
// need only 8-byte alignment.
#include <string.h>
#include <xmmintrin.h>

#include "engine/fxrs_internal.h"

namespace fxrs {
namespace {

inline __m128 sgn(float a, float b, float c, float d) { return _mm_setr_ps(a, b, c, d); }

// 4-point transform of a0..a3 (bit-reversed order: x0, x2, x1, x3) given as
// interleaved pairs v0 = (a0, a1), v1 = (a2, a3); result in blocked form.
template <bool Inv> inline void dft4_bitrev(__m128 v0, __m128 v1, __m128 &re, __m128 &im)
{
    const __m128 alt = sgn(0.f, -0.f, 0.f, -0.f);
    const __m128 sA = sgn(0.f, 0.f, -0.f, -0.f), sB = sgn(0.f, -0.f, -0.f, 0.f);
    __m128 r = _mm_shuffle_ps(v0, v1, _MM_SHUFFLE(2, 0, 2, 0));
    __m128 i = _mm_shuffle_ps(v0, v1, _MM_SHUFFLE(3, 1, 3, 1));
    // S = (a0+a1, a0-a1, a2+a3, a2-a3)
    __m128 sr = _mm_add_ps(_mm_shuffle_ps(r, r, _MM_SHUFFLE(2, 2, 0, 0)),
                           _mm_xor_ps(_mm_shuffle_ps(r, r, _MM_SHUFFLE(3, 3, 1, 1)), alt));
    __m128 si = _mm_add_ps(_mm_shuffle_ps(i, i, _MM_SHUFFLE(2, 2, 0, 0)),
                           _mm_xor_ps(_mm_shuffle_ps(i, i, _MM_SHUFFLE(3, 3, 1, 1)), alt));
    __m128 ur = _mm_shuffle_ps(sr, sr, _MM_SHUFFLE(1, 0, 1, 0));
    __m128 ui = _mm_shuffle_ps(si, si, _MM_SHUFFLE(1, 0, 1, 0));
    __m128 tr = _mm_shuffle_ps(sr, si, _MM_SHUFFLE(3, 3, 2, 2));
    __m128 ti = _mm_shuffle_ps(si, sr, _MM_SHUFFLE(3, 3, 2, 2));
    tr = _mm_shuffle_ps(tr, tr, _MM_SHUFFLE(2, 0, 2, 0)); // (S2r, S3i, S2r, S3i)
    ti = _mm_shuffle_ps(ti, ti, _MM_SHUFFLE(2, 0, 2, 0)); // (S2i, S3r, S2i, S3r)
    re = _mm_add_ps(ur, _mm_xor_ps(tr, Inv ? sB : sA));
    im = _mm_add_ps(ui, _mm_xor_ps(ti, Inv ? sA : sB));
}

// Sources of the first pass: four complex values (a0, a1), (a2, a3) of
// group g in bit-reversed order.
struct Consecutive {
    const float *in;
    inline void load(ptrdiff_t g, __m128 &v0, __m128 &v1) const
    {
        v0 = _mm_loadu_ps(in + 8 * g);
        v1 = _mm_loadu_ps(in + 8 * g + 4);
    }
};
struct Folded {
    const float *in;
    const int32_t *rev;
    ptrdiff_t N; // complex length
    inline void load(ptrdiff_t g, __m128 &v0, __m128 &v1) const
    {
        const float *p = in + rev[g];
        __m128 z = _mm_setzero_ps();
        v0 = _mm_loadh_pi(_mm_loadl_pi(z, (const __m64 *)p), (const __m64 *)(p + N));
        v1 = _mm_loadh_pi(_mm_loadl_pi(z, (const __m64 *)(p + N / 2)),
                          (const __m64 *)(p + 3 * N / 2));
    }
};

// Radix-8 butterfly on groups g, g+1 of the source (bit-reversed order):
// the even half's 4-point transform E and the odd half's O combine into
// the two output groups E + w^k O (lo) and E - w^k O (hi), w = e^(-i pi/4).
template <bool Inv, typename Src>
inline void r8(const Src &s, ptrdiff_t g, __m128 &lr, __m128 &li, __m128 &hr, __m128 &hi)
{
    const float h = 0.7071067811865476f;
    const __m128 wr = _mm_setr_ps(1.f, h, 0.f, -h);
    const __m128 wi = Inv ? _mm_setr_ps(0.f, h, 1.f, h) : _mm_setr_ps(0.f, -h, -1.f, -h);
    __m128 v0, v1, er, ei, orr, oi;
    s.load(g, v0, v1);
    dft4_bitrev<Inv>(v0, v1, er, ei);
    s.load(g + 1, v0, v1);
    dft4_bitrev<Inv>(v0, v1, orr, oi);
    __m128 tr = _mm_sub_ps(_mm_mul_ps(orr, wr), _mm_mul_ps(oi, wi));
    __m128 ti = _mm_add_ps(_mm_mul_ps(orr, wi), _mm_mul_ps(oi, wr));
    lr = _mm_add_ps(er, tr);
    li = _mm_add_ps(ei, ti);
    hr = _mm_sub_ps(er, tr);
    hi = _mm_sub_ps(ei, ti);
}

template <bool Inv> inline void cmul(__m128 ar, __m128 ai, const float *w, __m128 &br, __m128 &bi)
{
    __m128 wr = _mm_load_ps(w), wi = _mm_load_ps(w + 4);
    if (!Inv) {
        br = _mm_sub_ps(_mm_mul_ps(ar, wr), _mm_mul_ps(ai, wi));
        bi = _mm_add_ps(_mm_mul_ps(ar, wi), _mm_mul_ps(ai, wr));
    } else {
        br = _mm_add_ps(_mm_mul_ps(ar, wr), _mm_mul_ps(ai, wi));
        bi = _mm_sub_ps(_mm_mul_ps(ai, wr), _mm_mul_ps(ar, wi));
    }
}

template <bool Inter> inline void store_group(float *p, __m128 re, __m128 im)
{
    if (Inter) {
        _mm_storeu_ps(p, _mm_unpacklo_ps(re, im));
        _mm_storeu_ps(p + 4, _mm_unpackhi_ps(re, im));
    } else {
        _mm_storeu_ps(p, re);
        _mm_storeu_ps(p + 4, im);
    }
}

// Four radix-4 butterflies: quarters a0..a3 (a2 times w^j, a1 times w^2j,
// a3 times w^3j), outputs to d + r * q2 floats, r = 0..3.
template <bool Inv, bool Inter>
inline void bfly4(__m128 b0r, __m128 b0i, __m128 a1r, __m128 a1i, __m128 a2r, __m128 a2i,
                  __m128 a3r, __m128 a3i, const float *w, float *d, ptrdiff_t q2)
{
    __m128 b1r, b1i, b2r, b2i, b3r, b3i;
    cmul<Inv>(a2r, a2i, w, b1r, b1i);
    cmul<Inv>(a1r, a1i, w + 8, b2r, b2i);
    cmul<Inv>(a3r, a3i, w + 16, b3r, b3i);
    __m128 t0r = _mm_add_ps(b0r, b2r), t0i = _mm_add_ps(b0i, b2i);
    __m128 t1r = _mm_sub_ps(b0r, b2r), t1i = _mm_sub_ps(b0i, b2i);
    __m128 t2r = _mm_add_ps(b1r, b3r), t2i = _mm_add_ps(b1i, b3i);
    __m128 t3r = _mm_sub_ps(b1r, b3r), t3i = _mm_sub_ps(b1i, b3i);
    store_group<Inter>(d, _mm_add_ps(t0r, t2r), _mm_add_ps(t0i, t2i));
    store_group<Inter>(d + 2 * q2, _mm_sub_ps(t0r, t2r), _mm_sub_ps(t0i, t2i));
    // forward: Y1 = T1 - i T3, Y3 = T1 + i T3; inverse the other way
    __m128 yar = _mm_add_ps(t1r, t3i), yai = _mm_sub_ps(t1i, t3r);
    __m128 ybr = _mm_sub_ps(t1r, t3i), ybi = _mm_add_ps(t1i, t3r);
    if (!Inv) {
        store_group<Inter>(d + q2, yar, yai);
        store_group<Inter>(d + 3 * q2, ybr, ybi);
    } else {
        store_group<Inter>(d + q2, ybr, ybi);
        store_group<Inter>(d + 3 * q2, yar, yai);
    }
}

// The first two stages in one pass: 4-point transforms with the 16-point
// stage (even orders), or 8-point transforms with the 32-point stage (odd
// orders). Reads the source, writes the blocked layout (interleaved when
// this is the last stage and Inter).
template <bool Inv, bool Inter, typename Src>
void first_pass(const Src &s, float *out, int order, const float *tw)
{
    const ptrdiff_t N = (ptrdiff_t)1 << order;
    if (!(order & 1)) {
        for (ptrdiff_t b = 0; b < N / 16; ++b) {
            // Four groups at once: transpose so that lane q holds group q,
            // run the 4-point transforms lane-wise, transpose back so that
            // lane j holds output j of a group (the blocked layout).
            __m128 v[8];
            for (int q = 0; q < 4; ++q)
                s.load(4 * b + q, v[2 * q], v[2 * q + 1]);
            __m128 pr[4], pi[4];
            for (int h = 0; h < 2; ++h) { // positions 0, 1 then 2, 3
                __m128 lo0 = _mm_unpacklo_ps(v[h], v[h + 2]), lo1 = _mm_unpacklo_ps(v[h + 4], v[h + 6]);
                __m128 hi0 = _mm_unpackhi_ps(v[h], v[h + 2]), hi1 = _mm_unpackhi_ps(v[h + 4], v[h + 6]);
                pr[2 * h] = _mm_movelh_ps(lo0, lo1);
                pi[2 * h] = _mm_movehl_ps(lo1, lo0);
                pr[2 * h + 1] = _mm_movelh_ps(hi0, hi1);
                pi[2 * h + 1] = _mm_movehl_ps(hi1, hi0);
            }
            // bit-reversed inputs x0, x2, x1, x3
            __m128 s0r = _mm_add_ps(pr[0], pr[1]), s0i = _mm_add_ps(pi[0], pi[1]);
            __m128 s1r = _mm_sub_ps(pr[0], pr[1]), s1i = _mm_sub_ps(pi[0], pi[1]);
            __m128 s2r = _mm_add_ps(pr[2], pr[3]), s2i = _mm_add_ps(pi[2], pi[3]);
            __m128 dr = _mm_sub_ps(pr[2], pr[3]), di = _mm_sub_ps(pi[2], pi[3]);
            // times -i (forward) or +i (inverse)
            __m128 s3r = Inv ? _mm_sub_ps(_mm_setzero_ps(), di) : di;
            __m128 s3i = Inv ? dr : _mm_sub_ps(_mm_setzero_ps(), dr);
            __m128 x0r = _mm_add_ps(s0r, s2r), x0i = _mm_add_ps(s0i, s2i);
            __m128 x1r = _mm_add_ps(s1r, s3r), x1i = _mm_add_ps(s1i, s3i);
            __m128 x2r = _mm_sub_ps(s0r, s2r), x2i = _mm_sub_ps(s0i, s2i);
            __m128 x3r = _mm_sub_ps(s1r, s3r), x3i = _mm_sub_ps(s1i, s3i);
            _MM_TRANSPOSE4_PS(x0r, x1r, x2r, x3r);
            _MM_TRANSPOSE4_PS(x0i, x1i, x2i, x3i);
            bfly4<Inv, Inter>(x0r, x0i, x1r, x1i, x2r, x2i, x3r, x3i, tw, out + 32 * b, 8);
        }
    } else {
        for (ptrdiff_t b = 0; b < N / 32; ++b) {
            __m128 lr[4], li[4], hr[4], hi[4];
            for (int q = 0; q < 4; ++q)
                r8<Inv>(s, 8 * b + 2 * q, lr[q], li[q], hr[q], hi[q]);
            float *d = out + 64 * b;
            bfly4<Inv, Inter>(lr[0], li[0], lr[1], li[1], lr[2], li[2], lr[3], li[3], tw, d, 16);
            bfly4<Inv, Inter>(hr[0], hi[0], hr[1], hi[1], hr[2], hi[2], hr[3], hi[3], tw + 24, d + 8,
                              16);
        }
    }
}

// One radix-4 stage of length L over the blocked data `in`, written to
// `out` (may be the same array), interleaved when Inter.
template <bool Inv, bool Inter>
void stage(const float *in, float *out, ptrdiff_t N, ptrdiff_t L, const float *tw)
{
    const ptrdiff_t Q = L / 4, q2 = 2 * Q;
    for (ptrdiff_t b = 0; b < N; b += L) {
        const float *w = tw;
        const float *s = in + 2 * b;
        float *d = out + 2 * b;
        for (ptrdiff_t j0 = 0; j0 < Q; j0 += 4, w += 24, s += 8, d += 8)
            bfly4<Inv, Inter>(_mm_loadu_ps(s), _mm_loadu_ps(s + 4), _mm_loadu_ps(s + q2),
                              _mm_loadu_ps(s + q2 + 4), _mm_loadu_ps(s + 2 * q2),
                              _mm_loadu_ps(s + 2 * q2 + 4), _mm_loadu_ps(s + 3 * q2),
                              _mm_loadu_ps(s + 3 * q2 + 4), w, d, q2);
    }
}

// The whole transform: first pass from `src` into `work`, the middle
// stages in place, the last one from `work` into `out`.
template <bool Inv, typename Src>
void run(const Src &src, float *work, float *out, int order, const float *twd, bool final)
{
    const ptrdiff_t N = (ptrdiff_t)1 << order;
    int s = 4 + (order & 1);
    if (s == order) {
        if (final)
            first_pass<Inv, true>(src, work, order, twd);
        else
            first_pass<Inv, false>(src, work, order, twd);
        if (work != out)
            memcpy(out, work, (size_t)N * 8);
        return;
    }
    first_pass<Inv, false>(src, work, order, twd);
    twd += 3 * ((ptrdiff_t)1 << s) / 2;
    for (s += 2; s <= order; s += 2) {
        const ptrdiff_t L = (ptrdiff_t)1 << s;
        if (s < order)
            stage<Inv, false>(work, work, N, L, twd);
        else if (final)
            stage<Inv, true>(work, out, N, L, twd);
        else
            stage<Inv, false>(work, out, N, L, twd);
        twd += 3 * L / 2;
    }
}

template <bool Inv> void radix4(float *data, int order, const float *twd, int final)
{
    run<Inv>(Consecutive{data}, data, data, order, twd, final != 0);
}

template <bool Inv>
void radix4_norm(const float *src, float *dst, int order, const float *twd,
                 const int32_t *rev, float *buf)
{
    const ptrdiff_t N = (ptrdiff_t)1 << order;
    run<Inv>(Folded{src, rev, N}, src == dst ? buf : dst, dst, order, twd, true);
}

} // namespace

void cRadix4Fwd_32fc(float *data, int order, const float *twd, int final)
{
    radix4<false>(data, order, twd, final);
}
void cRadix4Inv_32fc(float *data, int order, const float *twd, int final)
{
    radix4<true>(data, order, twd, final);
}
void cRadix4FwdNorm_32fc(const float *src, float *dst, int order, const float *twd,
                         const int32_t *rev, float *buf)
{
    radix4_norm<false>(src, dst, order, twd, rev, buf);
}
void cRadix4InvNorm_32fc(const float *src, float *dst, int order, const float *twd,
                         const int32_t *rev, float *buf)
{
    radix4_norm<true>(src, dst, order, twd, rev, buf);
}

void rbMpy1_32f(float scale, float *data, int64_t count)
{
    const __m128 s = _mm_set1_ps(scale);
    int64_t i = 0;
    for (; i + 4 <= count; i += 4)
        _mm_storeu_ps(data + i, _mm_mul_ps(_mm_loadu_ps(data + i), s));
    for (; i < count; ++i)
        data[i] *= scale;
}

} // namespace fxrs
