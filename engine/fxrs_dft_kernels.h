// Butterflies of the any-length DFT, written once over the element type
// S (float or double in memory) and the working type W (float for the
// single family, the x87 long double for the double family).
#ifndef ZEM_ENGINE_FXRS_DFT_KERNELS_H
#define ZEM_ENGINE_FXRS_DFT_KERNELS_H

#include <stddef.h>

#include "engine/fxrs_internal.h"

namespace fxrs {
namespace dft {

template <typename S> struct Work;
template <> struct Work<float> {
    typedef float W;
};
template <> struct Work<double> {
    typedef long double W;
};

template <typename W> struct Z {
    typedef W Real;
    W re, im;
};
template <typename W> inline Z<W> operator+(Z<W> a, Z<W> b) { return {a.re + b.re, a.im + b.im}; }
template <typename W> inline Z<W> operator-(Z<W> a, Z<W> b) { return {a.re - b.re, a.im - b.im}; }
template <typename W> inline Z<W> operator*(Z<W> a, W s) { return {a.re * s, a.im * s}; }
template <typename W> inline Z<W> mul(Z<W> a, Z<W> b)
{
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}
// a times w, or times conj(w) for the inverse direction
template <bool Inv, typename W> inline Z<W> twiddle(Z<W> a, Z<W> w)
{
    if (Inv)
        return {a.re * w.re + a.im * w.im, a.im * w.re - a.re * w.im};
    return mul(a, w);
}
// times -i (forward) or +i (inverse)
template <bool Inv, typename W> inline Z<W> rot(Z<W> a)
{
    return Inv ? Z<W>{-a.im, a.re} : Z<W>{a.im, -a.re};
}

template <typename W, typename S> inline Z<W> ld(const S *p, ptrdiff_t i)
{
    return {(W)p[2 * i], (W)p[2 * i + 1]};
}
template <typename W, typename S> inline void st(S *p, ptrdiff_t i, Z<W> v)
{
    p[2 * i] = (S)v.re;
    p[2 * i + 1] = (S)v.im;
}

// cos and sin of 2 pi/3, 2 pi/5, 4 pi/5
template <typename W> struct K {
    static constexpr W s3 = (W)0.86602540378443864676372317075294L;
    static constexpr W c51 = (W)0.30901699437494742410229341718282L;
    static constexpr W c52 = (W)-0.80901699437494742410229341718282L;
    static constexpr W s51 = (W)0.95105651629515357211643933337938L;
    static constexpr W s52 = (W)0.58778525229247312916870595463907L;
};

// The radix-2/3/4/5 butterflies are written over any complex type CT
// with +, -, times a real constant and rot (Z<W> here, four complex
// values side by side in the SSE kernels).
template <bool Inv, typename CT> inline void bfly2(CT *x)
{
    CT a = x[0];
    x[0] = a + x[1];
    x[1] = a - x[1];
}

template <bool Inv, typename CT> inline void bfly3(CT *x)
{
    typedef typename CT::Real W;
    CT t = x[1] + x[2], d = rot<Inv>((x[1] - x[2]) * K<W>::s3);
    CT m = x[0] - t * (W)0.5;
    x[0] = x[0] + t;
    x[1] = m + d;
    x[2] = m - d;
}

template <bool Inv, typename CT> inline void bfly4(CT *x)
{
    CT a = x[0] + x[2], b = x[0] - x[2];
    CT c = x[1] + x[3], d = rot<Inv>(x[1] - x[3]);
    x[0] = a + c;
    x[2] = a - c;
    x[1] = b + d;
    x[3] = b - d;
}

template <bool Inv, typename CT> inline void bfly5(CT *x)
{
    typedef K<typename CT::Real> k;
    CT s1 = x[1] + x[4], d1 = x[1] - x[4], s2 = x[2] + x[3], d2 = x[2] - x[3];
    CT a1 = x[0] + s1 * k::c51 + s2 * k::c52;
    CT a2 = x[0] + s1 * k::c52 + s2 * k::c51;
    CT b1 = rot<Inv>(d1 * k::s51 + d2 * k::s52);
    CT b2 = rot<Inv>(d1 * k::s52 - d2 * k::s51);
    x[0] = x[0] + s1 + s2;
    x[1] = a1 + b1;
    x[4] = a1 - b1;
    x[2] = a2 + b2;
    x[3] = a2 - b2;
}

// Any length f by the symmetric direct method: pair sums and differences,
// then X_k and X_(f-k) together; an even f takes the middle element with
// alternating sign. dir: e^(-2 pi i k/f), k < f, as (re, im) pairs.
template <bool Inv, typename W, typename S> void bfly_any(Z<W> *x, int f, const S *dir)
{
    Z<W> s[96], d[96];
    const int h = (f - 1) / 2;
    const bool even = (f & 1) == 0;
    Z<W> x0 = x[0], dc = x[0];
    for (int j = 1; j <= h; ++j) {
        s[j - 1] = x[j] + x[f - j];
        d[j - 1] = x[j] - x[f - j];
        dc = dc + s[j - 1];
    }
    Z<W> mid = even ? x[f / 2] : Z<W>{0, 0};
    Z<W> nyq = x0;
    if (even) {
        for (int j = 1; j <= h; ++j)
            nyq = (j & 1) ? nyq - s[j - 1] : nyq + s[j - 1];
        nyq = ((f / 2) & 1) ? nyq - mid : nyq + mid;
        dc = dc + mid;
    }
    x[0] = dc;
    for (int k = 1; k <= h; ++k) {
        Z<W> a = x0, b = {0, 0};
        int idx = 0;
        for (int j = 1; j <= h; ++j) {
            idx += k;
            if (idx >= f)
                idx -= f;
            const W cs = (W)dir[2 * idx], sn = -(W)dir[2 * idx + 1];
            a = a + s[j - 1] * cs;
            b = b + d[j - 1] * sn;
        }
        if (even)
            a = (k & 1) ? a - mid : a + mid;
        const Z<W> ib = rot<Inv>(b);
        x[k] = a + ib;
        x[f - k] = a - ib;
    }
    if (even)
        x[f / 2] = nyq;
}

// The butterfly of a fixed radix F = 2..5 on any complex type.
template <bool Inv, int F, typename CT> inline void bfly_fixed(CT *x)
{
    if constexpr (F == 2)
        bfly2<Inv>(x);
    else if constexpr (F == 3)
        bfly3<Inv>(x);
    else if constexpr (F == 4)
        bfly4<Inv>(x);
    else
        bfly5<Inv>(x);
}

// The f-point butterfly for a compile-time radix F (0: any, with dir).
template <bool Inv, int F, typename W, typename S> inline void bfly(Z<W> *x, int f, const S *dir)
{
    if constexpr (F == 2)
        bfly2<Inv>(x);
    else if constexpr (F == 3)
        bfly3<Inv>(x);
    else if constexpr (F == 4)
        bfly4<Inv>(x);
    else if constexpr (F == 5)
        bfly5<Inv>(x);
    else
        bfly_any<Inv>(x, f, dir);
}

} // namespace dft
} // namespace fxrs

#endif
