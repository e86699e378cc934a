// Single-precision large-order plans (order 11 and up) on bit-reversed
// data: the two-level plan (depth-first radix-2 steps over 1024-element
// radix-4 blocks) and the blocked plan (K rows of R elements: row
// transforms, then the column transforms, several columns side by side, one
// per vector lane).
// Between passes the data stay in the blocked layout; the top level writes
// interleaved output.
#include <xmmintrin.h>

#include "engine/fxrs_internal.h"

namespace fxrs {
namespace {

struct Run {
    const FftCtx<float> *c;
    LargePlan p;
    float *buf;
    bool scaled;
    bool inv;
};

inline void store_group(float *p, __m128 re, __m128 im, bool interleave)
{
    if (interleave) {
        _mm_storeu_ps(p, _mm_unpacklo_ps(re, im));
        _mm_storeu_ps(p + 4, _mm_unpackhi_ps(re, im));
    } else {
        _mm_storeu_ps(p, re);
        _mm_storeu_ps(p + 4, im);
    }
}

inline void radix4(const Run &r, float *d, int order, const float *tw, int final)
{
    if (r.inv)
        cRadix4Inv_32fc(d, order, tw, final);
    else
        cRadix4Fwd_32fc(d, order, tw, final);
}

// Radix-2 combining pass of length L: X[j] = E[j] + w^j O[j],
// X[j + L/2] = E[j] - w^j O[j]; the table holds w^j for j < L/4 and
// w^(j + L/4) = -i w^j.
template <bool Inv> void step_r2(float *d, ptrdiff_t L, const float *tw, bool final)
{
    const ptrdiff_t H = L / 2, Q = L / 4;
    for (int half = 0; half < 2; ++half) {
        float *e = d + 2 * half * Q, *o = e + 2 * H;
        for (ptrdiff_t j = 0; j < Q; j += 4) {
            const float *w = tw + 2 * j;
            __m128 wr = _mm_load_ps(w), wi = _mm_load_ps(w + 4);
            __m128 orr = _mm_loadu_ps(o + 2 * j), oi = _mm_loadu_ps(o + 2 * j + 4);
            __m128 tr, ti;
            if (!Inv) {
                tr = _mm_sub_ps(_mm_mul_ps(orr, wr), _mm_mul_ps(oi, wi));
                ti = _mm_add_ps(_mm_mul_ps(orr, wi), _mm_mul_ps(oi, wr));
            } else {
                tr = _mm_add_ps(_mm_mul_ps(orr, wr), _mm_mul_ps(oi, wi));
                ti = _mm_sub_ps(_mm_mul_ps(oi, wr), _mm_mul_ps(orr, wi));
            }
            if (half) { // times -i (forward) or +i (inverse)
                __m128 t = tr;
                if (!Inv) {
                    tr = ti;
                    ti = _mm_sub_ps(_mm_setzero_ps(), t);
                } else {
                    tr = _mm_sub_ps(_mm_setzero_ps(), ti);
                    ti = t;
                }
            }
            __m128 er = _mm_loadu_ps(e + 2 * j), ei = _mm_loadu_ps(e + 2 * j + 4);
            store_group(e + 2 * j, _mm_add_ps(er, tr), _mm_add_ps(ei, ti), final);
            store_group(o + 2 * j, _mm_sub_ps(er, tr), _mm_sub_ps(ei, ti), final);
        }
    }
}

// Two-level plan of length L, depth first: every 1024-element block is
// finished while it is in cache.
void step(const Run &r, float *d, ptrdiff_t L, const float *tw, bool final)
{
    const ptrdiff_t H = L / 2;
    if (H == kLeafLen32) {
        const float *l1 = (const float *)r.c->twd;
        for (int h = 0; h < 2; ++h) {
            radix4(r, d + 2 * h * H, kLeafOrder32, l1, 0);
            if (r.scaled)
                rbMpy1_32f(r.c->scale, d + 2 * h * H, 2 * H);
        }
    } else {
        step(r, d, H, tw + L / 2, false);
        step(r, d + 2 * H, H, tw + L / 2, false);
    }
    if (r.inv)
        step_r2<true>(d, L, tw, final);
    else
        step_r2<false>(d, L, tw, final);
}

// Columns four at a time: the four columns j0..j0+3 are the four lanes of
// the rows' blocked groups, so the K-point column transforms run side by
// side, one column per lane, on K vectors (four real parts, four imaginary
// parts) gathered into the work buffer.

struct V {
    __m128 r, i;
};
inline V ld(const float *p) { return {_mm_load_ps(p), _mm_load_ps(p + 4)}; }
inline void st(float *p, V v)
{
    _mm_store_ps(p, v.r);
    _mm_store_ps(p + 4, v.i);
}
inline V add(V a, V b) { return {_mm_add_ps(a.r, b.r), _mm_add_ps(a.i, b.i)}; }
inline V sub(V a, V b) { return {_mm_sub_ps(a.r, b.r), _mm_sub_ps(a.i, b.i)}; }
// times -i (forward) or +i (inverse)
template <bool Inv> inline V rot(V a)
{
    const __m128 z = _mm_setzero_ps();
    return Inv ? V{_mm_sub_ps(z, a.i), a.r} : V{a.i, _mm_sub_ps(z, a.r)};
}
// times w (forward) or conj(w) (inverse), w = (wr, wi) broadcast
template <bool Inv> inline V mul(V a, __m128 wr, __m128 wi)
{
    if (!Inv)
        return {_mm_sub_ps(_mm_mul_ps(a.r, wr), _mm_mul_ps(a.i, wi)),
                _mm_add_ps(_mm_mul_ps(a.r, wi), _mm_mul_ps(a.i, wr))};
    return {_mm_add_ps(_mm_mul_ps(a.r, wr), _mm_mul_ps(a.i, wi)),
            _mm_sub_ps(_mm_mul_ps(a.i, wr), _mm_mul_ps(a.r, wi))};
}

// 4-point transform of bit-reversed a0..a3 (x0, x2, x1, x3).
template <bool Inv> inline void dft4v(V a0, V a1, V a2, V a3, V *y)
{
    V s0 = add(a0, a1), s1 = sub(a0, a1), s2 = add(a2, a3), s3 = rot<Inv>(sub(a2, a3));
    y[0] = add(s0, s2);
    y[2] = sub(s0, s2);
    y[1] = add(s1, s3);
    y[3] = sub(s1, s3);
}

// The K-point transforms of 4W columns j0 .. j0+4W-1, four per vector,
// side by side: buffer element a holds W vectors (four real parts, four
// imaginary parts each). The first pass gathers the rows' groups (rows are
// in bit-reversed order) times the merge twiddles w_N^(rev(a) j) into the
// buffer; the middle stages run in the buffer (stage twiddles from the
// order-k radix-4 table); the last stage writes row q directly:
// interleaved at the top level, blocked below. With W = 2 every cache line
// of a row is visited once, which matters because rows a power-of-two
// apart share the same few cache sets.
template <bool Inv, int W>
void columns(float *col, float *buf, const float *m, ptrdiff_t R, int k, const float *tw,
             bool final)
{
    const ptrdiff_t K = (ptrdiff_t)1 << k, rs = 2 * R, E = 8 * W;
    auto row = [&](ptrdiff_t a, int w) {
        const float *p = col + rs * a + 8 * w, *t = m + 8 * K * w + 8 * a;
        return mul<Inv>(V{_mm_loadu_ps(p), _mm_loadu_ps(p + 4)}, _mm_load_ps(t),
                        _mm_load_ps(t + 4));
    };
    for (int w = 0; w < W; ++w) {
        if (!(k & 1)) {
            for (ptrdiff_t a = 0; a < K; a += 4) {
                V y[4];
                dft4v<Inv>(row(a, w), row(a + 1, w), row(a + 2, w), row(a + 3, w), y);
                for (int q = 0; q < 4; ++q)
                    st(buf + E * (a + q) + 8 * w, y[q]);
            }
        } else {
            const float h = 0.7071067811865476f;
            const __m128 hv = _mm_set1_ps(h), mh = _mm_set1_ps(-h);
            for (ptrdiff_t a = 0; a < K; a += 8) {
                V e[4], o[4];
                dft4v<Inv>(row(a, w), row(a + 1, w), row(a + 2, w), row(a + 3, w), e);
                dft4v<Inv>(row(a + 4, w), row(a + 5, w), row(a + 6, w), row(a + 7, w), o);
                // w8^1 = (h, -h), w8^2 = -i, w8^3 = (-h, -h) forward; conjugates inverse
                V t[4] = {o[0], mul<Inv>(o[1], hv, mh), rot<Inv>(o[2]), mul<Inv>(o[3], mh, mh)};
                for (int q = 0; q < 4; ++q) {
                    st(buf + E * (a + q) + 8 * w, add(e[q], t[q]));
                    st(buf + E * (a + 4 + q) + 8 * w, sub(e[q], t[q]));
                }
            }
        }
    }
    for (int s = 4 + (k & 1); s <= k; s += 2) {
        const ptrdiff_t L = (ptrdiff_t)1 << s, Q = L / 4;
        const bool last = s == k;
        for (ptrdiff_t b = 0; b < K; b += L) {
            const float *tq = tw;
            for (ptrdiff_t j0 = 0; j0 < Q; j0 += 4, tq += 24) {
                const __m128 c1 = _mm_load_ps(tq), s1 = _mm_load_ps(tq + 4);
                const __m128 c2 = _mm_load_ps(tq + 8), s2 = _mm_load_ps(tq + 12);
                const __m128 c3 = _mm_load_ps(tq + 16), s3 = _mm_load_ps(tq + 20);
#define FXRS_LANE(q)                                                                        \
    {                                                                                       \
        const int sh = _MM_SHUFFLE(q, q, q, q);                                             \
        const __m128 w1r = _mm_shuffle_ps(c1, c1, sh), w1i = _mm_shuffle_ps(s1, s1, sh);    \
        const __m128 w2r = _mm_shuffle_ps(c2, c2, sh), w2i = _mm_shuffle_ps(s2, s2, sh);    \
        const __m128 w3r = _mm_shuffle_ps(c3, c3, sh), w3i = _mm_shuffle_ps(s3, s3, sh);    \
        const ptrdiff_t i = b + j0 + q;                                                     \
        for (int w = 0; w < W; ++w) {                                                       \
            float *p = buf + E * i + 8 * w;                                                 \
            V b0 = ld(p);                                                                   \
            V b1 = mul<Inv>(ld(p + 2 * E * Q), w1r, w1i);                                   \
            V b2 = mul<Inv>(ld(p + E * Q), w2r, w2i);                                       \
            V b3 = mul<Inv>(ld(p + 3 * E * Q), w3r, w3i);                                   \
            V t0 = add(b0, b2), t1 = sub(b0, b2), t2 = add(b1, b3), t3 = rot<Inv>(sub(b1, b3)); \
            V y0 = add(t0, t2), y1 = add(t1, t3), y2 = sub(t0, t2), y3 = sub(t1, t3);     \
            if (last) {                                                                     \
                float *d = col + rs * i + 8 * w;                                            \
                store_group(d, y0.r, y0.i, final);                                          \
                store_group(d + rs * Q, y1.r, y1.i, final);                                 \
                store_group(d + 2 * rs * Q, y2.r, y2.i, final);                             \
                store_group(d + 3 * rs * Q, y3.r, y3.i, final);                             \
            } else {                                                                        \
                st(p, y0);                                                                  \
                st(p + E * Q, y1);                                                          \
                st(p + 2 * E * Q, y2);                                                      \
                st(p + 3 * E * Q, y3);                                                      \
            }                                                                               \
        }                                                                                   \
    }
                FXRS_LANE(0)
                FXRS_LANE(1)
                FXRS_LANE(2)
                FXRS_LANE(3)
#undef FXRS_LANE
            }
        }
        tw += 3 * L / 2;
    }
}

// Column groups of a blocked level, eight columns at a time in a stack
// buffer of up to 64 KB (K up to 1024); four at a time in the work buffer
// otherwise.
template <bool Inv>
void all_columns(float *d, float *buf, const float *m, ptrdiff_t R, int k, const float *l1,
                 bool final)
{
    const ptrdiff_t K = (ptrdiff_t)1 << k;
    if (K <= 1024 && R >= 8) {
        alignas(16) float wide[16 * 1024];
        for (ptrdiff_t j0 = 0; j0 < R; j0 += 8, m += 16 * K)
            columns<Inv, 2>(d + 2 * j0, wide, m, R, k, l1, final);
    } else {
        for (ptrdiff_t j0 = 0; j0 < R; j0 += 4, m += 8 * K)
            columns<Inv, 1>(d + 2 * j0, buf, m, R, k, l1, final);
    }
}

void level(const Run &r, float *d, int depth, bool final)
{
    const LargePlan &p = r.p;
    if (depth == p.depths) {
        const int leaf = p.leafOrder;
        const ptrdiff_t L = (ptrdiff_t)1 << leaf;
        if (p.leafTwoLevel) {
            step(r, d, L, (const float *)r.c->twdL2, final);
        } else {
            radix4(r, d, leaf, (const float *)r.c->twd, final);
            if (r.scaled)
                rbMpy1_32f(r.c->scale, d, 2 * L);
        }
        return;
    }
    const int k = p.k[depth];
    const ptrdiff_t K = (ptrdiff_t)1 << k, R = (ptrdiff_t)1 << (p.n[depth] - k);
    for (ptrdiff_t a = 0; a < K; ++a)
        level(r, d + 2 * R * a, depth + 1, false);
    const float *m = (const float *)r.c->blkMerge[depth];
    const float *l1 = (const float *)r.c->blkL1[depth];
    if (r.inv)
        all_columns<true>(d, r.buf, m, R, k, l1, final);
    else
        all_columns<false>(d, r.buf, m, R, k, l1, final);
}

} // namespace

void cFftLarge_32fc(const FftCtx<float> *c, float *data, bool inv, float *buf)
{
    Run r;
    r.c = c;
    r.p = c->large; // chosen when the context was built
    r.buf = buf;
    r.inv = inv;
    r.scaled = (inv ? c->invScaled : c->fwdScaled) != 0;
    level(r, data, 0, true);
}

} // namespace fxrs
