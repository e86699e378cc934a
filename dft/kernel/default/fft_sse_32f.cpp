// Single-precision radix-4 kernels with SSE: four butterflies at a time.
// Between the first and the last pass the data keep a blocked layout
// (groups of four points: four real parts, then four imaginary parts),
// so that every pass in between is plain vertical arithmetic; the first
// pass reads the caller's layout and the last one writes it. Split arrays
// are already in that shape and keep it throughout. User data need only
// 4-byte alignment: their loads and stores are unaligned-safe.
#include <xmmintrin.h>

#include <type_traits>

#include "dft/kernel/default/fft_exec.h"
#include "dft/kernel/tier1/c1d_par_dft_omp.h"

namespace zem_dft {
namespace {

typedef Buf<float> D;

// ---- layouts: a group of four points from point k on ----------------------
struct Inter { // the caller's interleaved complex values
    static constexpr bool kSplit = false;
    static inline void ld(const D &d, ptrdiff_t k, __m128 &r, __m128 &i)
    {
        const float *p = d.a + 2 * k;
        __m128 x = _mm_loadu_ps(p), y = _mm_loadu_ps(p + 4);
        r = _mm_shuffle_ps(x, y, _MM_SHUFFLE(2, 0, 2, 0));
        i = _mm_shuffle_ps(x, y, _MM_SHUFFLE(3, 1, 3, 1));
    }
    static inline void st(const D &d, ptrdiff_t k, __m128 r, __m128 i)
    {
        float *p = d.a + 2 * k;
        _mm_storeu_ps(p, _mm_unpacklo_ps(r, i));
        _mm_storeu_ps(p + 4, _mm_unpackhi_ps(r, i));
    }
};
struct Blocked { // four real parts, four imaginary parts, in the same floats
    static constexpr bool kSplit = false;
    static inline void ld(const D &d, ptrdiff_t k, __m128 &r, __m128 &i)
    {
        r = _mm_loadu_ps(d.a + 2 * k);
        i = _mm_loadu_ps(d.a + 2 * k + 4);
    }
    static inline void st(const D &d, ptrdiff_t k, __m128 r, __m128 i)
    {
        _mm_storeu_ps(d.a + 2 * k, r);
        _mm_storeu_ps(d.a + 2 * k + 4, i);
    }
};
struct Split { // real parts in a, imaginary parts in b
    static constexpr bool kSplit = true;
    static inline void ld(const D &d, ptrdiff_t k, __m128 &r, __m128 &i)
    {
        r = _mm_loadu_ps(d.a + k);
        i = _mm_loadu_ps(d.b + k);
    }
    static inline void st(const D &d, ptrdiff_t k, __m128 r, __m128 i)
    {
        _mm_storeu_ps(d.a + k, r);
        _mm_storeu_ps(d.b + k, i);
    }
};

struct V { // four complex values
    __m128 r, i;
};
inline V add(V a, V b) { return V{_mm_add_ps(a.r, b.r), _mm_add_ps(a.i, b.i)}; }
inline V sub(V a, V b) { return V{_mm_sub_ps(a.r, b.r), _mm_sub_ps(a.i, b.i)}; }
// a times w (Conj: times conj(w)), w given by its real and imaginary parts.
template <bool Conj> inline V mul(V a, __m128 c, __m128 s)
{
    if (!Conj)
        return V{_mm_sub_ps(_mm_mul_ps(a.r, c), _mm_mul_ps(a.i, s)),
                 _mm_add_ps(_mm_mul_ps(a.r, s), _mm_mul_ps(a.i, c))};
    return V{_mm_add_ps(_mm_mul_ps(a.r, c), _mm_mul_ps(a.i, s)),
             _mm_sub_ps(_mm_mul_ps(a.i, c), _mm_mul_ps(a.r, s))};
}
inline V scl(V a, __m128 s) { return V{_mm_mul_ps(a.r, s), _mm_mul_ps(a.i, s)}; }
template <class L> inline V ld(const D &d, ptrdiff_t k)
{
    V v;
    L::ld(d, k, v.r, v.i);
    return v;
}
template <class L> inline void st(const D &d, ptrdiff_t k, V v) { L::st(d, k, v.r, v.i); }

// Radix-4 forward butterfly (decimation in frequency): outputs in
// bit-reversed order of their index, X0, X2, X1, X3.
inline void dif4(V a0, V a1, V a2, V a3, V &y0, V &y1, V &y2, V &y3)
{
    V t0 = add(a0, a2), t1 = sub(a0, a2), t2 = add(a1, a3), t3 = sub(a1, a3);
    y0 = add(t0, t2);
    y1 = sub(t0, t2);
    y2 = V{_mm_add_ps(t1.r, t3.i), _mm_sub_ps(t1.i, t3.r)}; // t1 - i t3
    y3 = V{_mm_sub_ps(t1.r, t3.i), _mm_add_ps(t1.i, t3.r)}; // t1 + i t3
}
// Its inverse counterpart (decimation in time, inputs X0, X2, X1, X3).
inline void dit4(V y0, V y1, V y2, V y3, V &x0, V &x1, V &x2, V &x3)
{
    V u0 = add(y0, y1), u1 = sub(y0, y1), u2 = add(y2, y3), u3 = sub(y2, y3);
    x0 = add(u0, u2);
    x2 = sub(u0, u2);
    x1 = V{_mm_sub_ps(u1.r, u3.i), _mm_add_ps(u1.i, u3.r)}; // u1 + i u3
    x3 = V{_mm_add_ps(u1.r, u3.i), _mm_sub_ps(u1.i, u3.r)}; // u1 - i u3
}

// ---- tabled passes ---------------------------------------------------------
template <class In, class Out, bool Sc>
void r4f(D d, ptrdiff_t len, ptrdiff_t L, const float *tw, ptrdiff_t j0, ptrdiff_t j1)
{
    const ptrdiff_t Q = L / 4;
    for (ptrdiff_t b = 0; b < len; b += L) {
        const float *w = tw + 6 * j0;
        for (ptrdiff_t j = j0; j < j1; j += 4, w += 24) {
            const ptrdiff_t k = b + j;
            V y0, y1, y2, y3;
            dif4(ld<In>(d, k), ld<In>(d, k + Q), ld<In>(d, k + 2 * Q), ld<In>(d, k + 3 * Q), y0, y1, y2, y3);
            st<Out>(d, k, y0);
            st<Out>(d, k + Q, mul<false>(y1, _mm_load_ps(w + 8), _mm_load_ps(w + 12)));
            st<Out>(d, k + 2 * Q, mul<false>(y2, _mm_load_ps(w), _mm_load_ps(w + 4)));
            st<Out>(d, k + 3 * Q, mul<false>(y3, _mm_load_ps(w + 16), _mm_load_ps(w + 20)));
        }
    }
}

template <class In, class Out, bool Sc>
void r4i(D d, ptrdiff_t len, ptrdiff_t L, const float *tw, ptrdiff_t j0, ptrdiff_t j1, __m128 s)
{
    const ptrdiff_t Q = L / 4;
    for (ptrdiff_t b = 0; b < len; b += L) {
        const float *w = tw + 6 * j0;
        for (ptrdiff_t j = j0; j < j1; j += 4, w += 24) {
            const ptrdiff_t k = b + j;
            V x0, x1, x2, x3;
            dit4(ld<In>(d, k), mul<true>(ld<In>(d, k + Q), _mm_load_ps(w + 8), _mm_load_ps(w + 12)),
                 mul<true>(ld<In>(d, k + 2 * Q), _mm_load_ps(w), _mm_load_ps(w + 4)),
                 mul<true>(ld<In>(d, k + 3 * Q), _mm_load_ps(w + 16), _mm_load_ps(w + 20)), x0, x1, x2, x3);
            if (Sc) {
                x0 = scl(x0, s), x1 = scl(x1, s), x2 = scl(x2, s), x3 = scl(x3, s);
            }
            st<Out>(d, k, x0);
            st<Out>(d, k + Q, x1);
            st<Out>(d, k + 2 * Q, x2);
            st<Out>(d, k + 3 * Q, x3);
        }
    }
}

template <class In, class Out, bool Sc>
void r2f(D d, ptrdiff_t len, ptrdiff_t L, const float *tw, ptrdiff_t j0, ptrdiff_t j1)
{
    const ptrdiff_t H = L / 2;
    for (ptrdiff_t b = 0; b < len; b += L) {
        const float *w = tw + 2 * j0;
        for (ptrdiff_t j = j0; j < j1; j += 4, w += 8) {
            const ptrdiff_t k = b + j;
            V a0 = ld<In>(d, k), a1 = ld<In>(d, k + H);
            st<Out>(d, k, add(a0, a1));
            st<Out>(d, k + H, mul<false>(sub(a0, a1), _mm_load_ps(w), _mm_load_ps(w + 4)));
        }
    }
}

template <class In, class Out, bool Sc>
void r2i(D d, ptrdiff_t len, ptrdiff_t L, const float *tw, ptrdiff_t j0, ptrdiff_t j1, __m128 s)
{
    const ptrdiff_t H = L / 2;
    for (ptrdiff_t b = 0; b < len; b += L) {
        const float *w = tw + 2 * j0;
        for (ptrdiff_t j = j0; j < j1; j += 4, w += 8) {
            const ptrdiff_t k = b + j;
            V a0 = ld<In>(d, k), a1 = mul<true>(ld<In>(d, k + H), _mm_load_ps(w), _mm_load_ps(w + 4));
            V x0 = add(a0, a1), x1 = sub(a0, a1);
            if (Sc) {
                x0 = scl(x0, s), x1 = scl(x1, s);
            }
            st<Out>(d, k, x0);
            st<Out>(d, k + H, x1);
        }
    }
}

// ---- the untabled 16-point passes closing (forward) and opening
// (backward) every leaf: the 16-point stage across four groups, then the
// 4-point stage inside each group after a 4x4 transposition. -------------------
const float kC1 = 0.92387953251128675613f, kS1 = 0.38268343236508977173f, kH = 0.70710678118654752440f;

struct W16 { // w^j, w^2j, w^3j of length 16 for j = 0..3, lane j
    __m128 c1, s1, c2, s2, c3, s3;
    W16()
        : c1(_mm_setr_ps(1, kC1, kH, kS1)), s1(_mm_setr_ps(0, -kS1, -kH, -kC1)),
          c2(_mm_setr_ps(1, kH, 0, -kH)), s2(_mm_setr_ps(0, -kH, -1, -kH)),
          c3(_mm_setr_ps(1, kS1, -kH, -kC1)), s3(_mm_setr_ps(0, -kC1, -kH, kS1))
    {
    }
};

inline void transpose(V &a, V &b, V &c, V &e)
{
    _MM_TRANSPOSE4_PS(a.r, b.r, c.r, e.r);
    _MM_TRANSPOSE4_PS(a.i, b.i, c.i, e.i);
}

template <class In, class Out>
void fin16(D d, ptrdiff_t len)
{
    const W16 w;
    for (ptrdiff_t k = 0; k < len; k += 16) {
        V g0, g1, g2, g3;
        dif4(ld<In>(d, k), ld<In>(d, k + 4), ld<In>(d, k + 8), ld<In>(d, k + 12), g0, g1, g2, g3);
        g1 = mul<false>(g1, w.c2, w.s2);
        g2 = mul<false>(g2, w.c1, w.s1);
        g3 = mul<false>(g3, w.c3, w.s3);
        transpose(g0, g1, g2, g3);
        V h0, h1, h2, h3;
        dif4(g0, g1, g2, g3, h0, h1, h2, h3);
        if (std::is_same<Out, Inter>::value) {
            // lane q of h0..h3 is group q: transpose and interleave at once
            float *p = d.a + 2 * k;
            const __m128 a0 = _mm_unpacklo_ps(h0.r, h0.i), a1 = _mm_unpackhi_ps(h0.r, h0.i);
            const __m128 b0 = _mm_unpacklo_ps(h1.r, h1.i), b1 = _mm_unpackhi_ps(h1.r, h1.i);
            const __m128 c0 = _mm_unpacklo_ps(h2.r, h2.i), c1 = _mm_unpackhi_ps(h2.r, h2.i);
            const __m128 e0 = _mm_unpacklo_ps(h3.r, h3.i), e1 = _mm_unpackhi_ps(h3.r, h3.i);
            _mm_storeu_ps(p, _mm_movelh_ps(a0, b0));
            _mm_storeu_ps(p + 4, _mm_movelh_ps(c0, e0));
            _mm_storeu_ps(p + 8, _mm_movehl_ps(b0, a0));
            _mm_storeu_ps(p + 12, _mm_movehl_ps(e0, c0));
            _mm_storeu_ps(p + 16, _mm_movelh_ps(a1, b1));
            _mm_storeu_ps(p + 20, _mm_movelh_ps(c1, e1));
            _mm_storeu_ps(p + 24, _mm_movehl_ps(b1, a1));
            _mm_storeu_ps(p + 28, _mm_movehl_ps(e1, c1));
        } else {
            transpose(h0, h1, h2, h3);
            st<Out>(d, k, h0);
            st<Out>(d, k + 4, h1);
            st<Out>(d, k + 8, h2);
            st<Out>(d, k + 12, h3);
        }
    }
}

template <class In, class Out, bool Sc>
void first16(D d, ptrdiff_t len, __m128 s)
{
    const W16 w;
    for (ptrdiff_t k = 0; k < len; k += 16) {
        V g0 = ld<In>(d, k), g1 = ld<In>(d, k + 4), g2 = ld<In>(d, k + 8), g3 = ld<In>(d, k + 12);
        transpose(g0, g1, g2, g3);
        V h0, h1, h2, h3;
        dit4(g0, g1, g2, g3, h0, h1, h2, h3);
        transpose(h0, h1, h2, h3);
        V x0, x1, x2, x3;
        dit4(h0, mul<true>(h1, w.c2, w.s2), mul<true>(h2, w.c1, w.s1), mul<true>(h3, w.c3, w.s3), x0, x1, x2,
             x3);
        if (Sc) {
            x0 = scl(x0, s), x1 = scl(x1, s), x2 = scl(x2, s), x3 = scl(x3, s);
        }
        st<Out>(d, k, x0);
        st<Out>(d, k + 4, x1);
        st<Out>(d, k + 8, x2);
        st<Out>(d, k + 12, x3);
    }
}

// ---- the pass policy for the executor: Ext is the caller's layout, Int
// the one kept in between. --------------------------------------------------
template <class Ext, class Int> struct K32 {
    typedef float T;
    typedef Buf<float> D;
    static D at(D x, ptrdiff_t k)
    {
        return Int::kSplit ? D{x.a + k, x.b + k} : D{x.a + 2 * k, nullptr};
    }
    static void pass(bool inv, const Level &l, D x, ptrdiff_t len, const float *tw, int part, int parts,
                     int mode, float scale)
    {
        const ptrdiff_t L = (ptrdiff_t)1 << l.lg;
        ptrdiff_t j0, j1;
        part_range(l.radix == 4 ? L / 4 : L / 2, part, parts, j0, j1);
        const __m128 s = _mm_set1_ps(scale);
        if (!inv) {
            auto run = l.radix == 4 ? (mode & kInExt ? r4f<Ext, Int, false> : r4f<Int, Int, false>)
                                    : (mode & kInExt ? r2f<Ext, Int, false> : r2f<Int, Int, false>);
            run(x, len, L, tw, j0, j1);
        } else {
            auto run = l.radix == 4 ? (mode & kOutExt ? r4i<Int, Ext, true> : r4i<Int, Int, false>)
                                    : (mode & kOutExt ? r2i<Int, Ext, true> : r2i<Int, Int, false>);
            run(x, len, L, tw, j0, j1, s);
        }
    }
    static void fin_fwd(const Plan &, D x, ptrdiff_t len, bool inExt)
    {
        (inExt ? fin16<Ext, Ext> : fin16<Int, Ext>)(x, len);
    }
    static void first_inv(const Plan &, D x, ptrdiff_t len, bool outExt, float scale)
    {
        (outExt ? first16<Ext, Ext, true> : first16<Ext, Int, false>)(x, len, _mm_set1_ps(scale));
    }
};

// ---- lengths up to 8: plain code on the scalar unit --------------------------
struct Pt {
    float r, i;
};
struct Small {
    D d;
    bool split;
    Pt get(int k) const { return split ? Pt{d.a[k], d.b[k]} : Pt{d.a[2 * k], d.a[2 * k + 1]}; }
    void put(int k, Pt v) const
    {
        if (split)
            d.a[k] = v.r, d.b[k] = v.i;
        else
            d.a[2 * k] = v.r, d.a[2 * k + 1] = v.i;
    }
};

// Forward 4-point transform of points k, k+s, k+2s, k+3s into bit-reversed
// slots; the backward one from them, scaled.
void small4(const Small &x, int k, int s, bool inv, float sc)
{
    Pt a0 = x.get(k), a1 = x.get(k + s), a2 = x.get(k + 2 * s), a3 = x.get(k + 3 * s);
    if (!inv) {
        Pt t0{a0.r + a2.r, a0.i + a2.i}, t1{a0.r - a2.r, a0.i - a2.i};
        Pt t2{a1.r + a3.r, a1.i + a3.i}, t3{a1.r - a3.r, a1.i - a3.i};
        x.put(k, Pt{t0.r + t2.r, t0.i + t2.i});
        x.put(k + s, Pt{t0.r - t2.r, t0.i - t2.i});
        x.put(k + 2 * s, Pt{t1.r + t3.i, t1.i - t3.r});
        x.put(k + 3 * s, Pt{t1.r - t3.i, t1.i + t3.r});
    } else {
        Pt u0{a0.r + a1.r, a0.i + a1.i}, u1{a0.r - a1.r, a0.i - a1.i};
        Pt u2{a2.r + a3.r, a2.i + a3.i}, u3{a2.r - a3.r, a2.i - a3.i};
        x.put(k, Pt{(u0.r + u2.r) * sc, (u0.i + u2.i) * sc});
        x.put(k + s, Pt{(u1.r - u3.i) * sc, (u1.i + u3.r) * sc});
        x.put(k + 2 * s, Pt{(u0.r - u2.r) * sc, (u0.i - u2.i) * sc});
        x.put(k + 3 * s, Pt{(u1.r + u3.i) * sc, (u1.i - u3.r) * sc});
    }
}

// w8^j times v (conjugate for the backward transform), c = cos(pi/4).
Pt w8(Pt v, int j, float c, bool inv)
{
    const float sg = inv ? -1.f : 1.f;
    switch (j) {
    case 0: return v;
    case 1: return Pt{(v.r + sg * v.i) * c, (v.i - sg * v.r) * c};
    case 2: return Pt{sg * v.i, -sg * v.r};
    default: return Pt{(sg * v.i - v.r) * c, (-v.i - sg * v.r) * c};
    }
}

void small(D d, bool split, int p, const float *tab, bool inv, float sc)
{
    const Small x{d, split};
    if (p == 1) {
        Pt a = x.get(0), b = x.get(1);
        x.put(0, Pt{(a.r + b.r) * sc, (a.i + b.i) * sc});
        x.put(1, Pt{(a.r - b.r) * sc, (a.i - b.i) * sc});
    } else if (p == 2) {
        small4(x, 0, 1, inv, sc);
    } else if (p == 3) {
        const float c = twiddle_start(tab)[0];
        if (inv) {
            small4(x, 0, 1, true, 1);
            small4(x, 4, 1, true, 1);
        }
        for (int j = 0; j < 4; ++j) {
            Pt a = x.get(j), b = x.get(j + 4);
            if (!inv) {
                x.put(j, Pt{a.r + b.r, a.i + b.i});
                x.put(j + 4, w8(Pt{a.r - b.r, a.i - b.i}, j, c, false));
            } else {
                b = w8(b, j, c, true);
                x.put(j, Pt{(a.r + b.r) * sc, (a.i + b.i) * sc});
                x.put(j + 4, Pt{(a.r - b.r) * sc, (a.i - b.i) * sc});
            }
        }
        if (!inv) {
            small4(x, 0, 1, false, 1);
            small4(x, 4, 1, false, 1);
        }
    }
}

template <class Kp>
void run(D x, bool inv, int p, const float *tab, float scale, int pieces)
{
    Plan pl;
    make_plan(p, false, &pl);
    const Exec<Kp> e{pl, twiddle_start(tab)};
    if (!inv) {
        if (pieces > 1)
            e.fwd_par(x, pieces);
        else
            e.fwd_seg(x, p, 0, true);
    } else {
        if (pieces > 1)
            e.bwd_par(x, scale, pieces);
        else
            e.bwd_seg(x, p, 0, true, scale);
    }
}

void seq(D x, bool split, bool inv, int p, const float *tab, float scale, int pieces)
{
    if (p <= 3) {
        if (p >= 1)
            small(x, split, p, tab, inv, inv ? scale : 1.f);
        return;
    }
    if (split)
        run<K32<Split, Split>>(x, inv, p, tab, scale, pieces);
    else
        run<K32<Inter, Blocked>>(x, inv, p, tab, scale, pieces);
}

} // namespace

void fwd_c(Buf<float> x, bool split, int p, const float *tab, int pieces)
{
    seq(x, split, false, p, tab, 1.f, pieces);
}
void bwd_c(Buf<float> x, bool split, int p, const float *tab, float scale, int pieces)
{
    seq(x, split, true, p, tab, scale, pieces);
}

} // namespace zem_dft
