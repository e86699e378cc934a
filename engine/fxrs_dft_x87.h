// Radix-2..5 stages and first stages of the double-precision DFT on the
// x87 unit. Every sum and product stays in extended precision, but a
// butterfly is split into the half that yields the real parts and the
// half that yields the imaginary parts, so that the values in flight fit
// the eight x87 registers: an 80-bit spill and reload costs a dozen
// multiplies. The butterfly constants are doubles, as exact as the
// twiddle tables beside them, and enter as memory operands.
#ifndef ZEM_ENGINE_FXRS_DFT_X87_H
#define ZEM_ENGINE_FXRS_DFT_X87_H

#include <stddef.h>

namespace fxrs {
namespace dft {
namespace x87 {

typedef long double X;

// cos and sin of 2 pi/3, 2 pi/5, 4 pi/5, rounded to double, read at each
// use (kept in registers they would crowd out the data)
constexpr double kK[5] = {0.86602540378443864676, 0.30901699437494742410, -0.80901699437494742410,
                          0.95105651629515357212, 0.58778525229247312917};
enum { kS3, kC51, kC52, kS51, kS52 };

template <bool P> inline X pm(X a, X b) { return P ? a + b : a - b; }

// A load at each use: the compiler would otherwise keep a value it reads
// twice in a register, and with too few of those it parks it as 80 bits.
inline X ld(const double *p) { return *(const volatile double *)p; }
inline X k(int i) { return ld(kK + i); }

// Real and imaginary part of the point at x times w (times conj(w) for
// the inverse).
template <bool Inv> inline X twr(const double *x, const double *w)
{
    return Inv ? ld(x) * ld(w) + ld(x + 1) * ld(w + 1) : ld(x) * ld(w) - ld(x + 1) * ld(w + 1);
}
template <bool Inv> inline X twi(const double *x, const double *w)
{
    return Inv ? ld(x + 1) * ld(w) - ld(x) * ld(w + 1) : ld(x) * ld(w + 1) + ld(x + 1) * ld(w);
}

// Legs j and k (offsets in doubles) of the point at x, twiddled by wj and
// wk: the real parts' sum and difference, then the imaginary parts'.
template <bool Inv>
inline void legs(const double *x, ptrdiff_t j, ptrdiff_t k, const double *wj, const double *wk, X &sr,
                 X &dr, X &si, X &di)
{
    {
        const X yj = twr<Inv>(x + j, wj), yk = twr<Inv>(x + k, wk);
        sr = yj + yk, dr = yj - yk;
    }
    const X yj = twi<Inv>(x + j, wj), yk = twi<Inv>(x + k, wk);
    si = yj + yk, di = yj - yk;
}

// One half of the 5-point butterfly: x0 (read at each use) and the pair
// sums and differences of one part (the differences of the other part),
// into o[k m2]. P: the sign of the b terms in output 1 (real half
// forward: +).
template <bool P> inline void half5(const double *x0, X s1, X s2, X d1, X d2, double *o, ptrdiff_t m2)
{
    o[0] = (double)(ld(x0) + s1 + s2);
    const X a1 = ld(x0) + s1 * k(kC51) + s2 * k(kC52);
    const X a2 = ld(x0) + s1 * k(kC52) + s2 * k(kC51);
    const X b1 = d1 * k(kS51) + d2 * k(kS52);
    o[m2] = (double)pm<P>(a1, b1);
    o[4 * m2] = (double)pm<!P>(a1, b1);
    const X b2 = d1 * k(kS52) - d2 * k(kS51);
    o[2 * m2] = (double)pm<P>(a2, b2);
    o[3 * m2] = (double)pm<!P>(a2, b2);
}

// One half of the 3-point butterfly (t: pair sum of this part, e: pair
// difference of the other part); x0 is read before o[0] is written.
template <bool P> inline void half3(const double *x0, X t, X e, double *o, ptrdiff_t m2)
{
    const X m = ld(x0) - t * (X)0.5;
    o[0] = (double)(ld(x0) + t);
    const X d = e * k(kS3);
    o[m2] = (double)pm<P>(m, d);
    o[2 * m2] = (double)pm<!P>(m, d);
}

// Stage of radix F on `blocks` blocks of F m points, in may equal out:
// for each q < m the F points at q + p m, times w^(p q) (tw: F-1 complex
// values per q), through the F-point butterfly, back to q + r m. Every
// input is read before its place is written.
template <bool Inv, int F>
void stage(const double *in, double *out, ptrdiff_t m, ptrdiff_t blocks, const double *tw)
{
    const ptrdiff_t m2 = 2 * m;
    for (ptrdiff_t b = 0; b < blocks; ++b) {
        const double *x = in + b * F * m2;
        double *o = out + b * F * m2;
        const double *t = tw;
        for (ptrdiff_t q = 0; q < m; ++q, x += 2, o += 2, t += 2 * (F - 1)) {
            if constexpr (F == 2) {
                const X yr = twr<Inv>(x + m2, t), yi = twi<Inv>(x + m2, t);
                const X ar = ld(x), ai = ld(x + 1);
                o[0] = (double)(ar + yr);
                o[m2] = (double)(ar - yr);
                o[1] = (double)(ai + yi);
                o[m2 + 1] = (double)(ai - yi);
            } else if constexpr (F == 3) {
                X tr, ti, er, ei;
                legs<Inv>(x, m2, 2 * m2, t, t + 2, tr, er, ti, ei);
                half3<!Inv>(x, tr, ei, o, m2);
                half3<Inv>(x + 1, ti, er, o + 1, m2);
            } else if constexpr (F == 4) {
                X cr, ci, er, ei;
                legs<Inv>(x, m2, 3 * m2, t, t + 4, cr, er, ci, ei);
                const X y2r = twr<Inv>(x + 2 * m2, t + 2), y2i = twi<Inv>(x + 2 * m2, t + 2);
                {
                    const X ar = ld(x) + y2r, br = ld(x) - y2r;
                    o[0] = (double)(ar + cr);
                    o[2 * m2] = (double)(ar - cr);
                    o[m2] = (double)pm<!Inv>(br, ei);
                    o[3 * m2] = (double)pm<Inv>(br, ei);
                }
                const X ai = ld(x + 1) + y2i, bi = ld(x + 1) - y2i;
                o[1] = (double)(ai + ci);
                o[2 * m2 + 1] = (double)(ai - ci);
                o[m2 + 1] = (double)pm<Inv>(bi, er);
                o[3 * m2 + 1] = (double)pm<!Inv>(bi, er);
            } else {
                X s1r, s1i, d1r, d1i, s2r, s2i, d2r, d2i;
                legs<Inv>(x, m2, 4 * m2, t, t + 6, s1r, d1r, s1i, d1i);
                legs<Inv>(x, 2 * m2, 3 * m2, t + 2, t + 4, s2r, d2r, s2i, d2i);
                // x0 kept aside: in place, o[0] overwrites it
                const double x0[2] = {x[0], x[1]};
                half5<!Inv>(x0, s1r, s2r, d1i, d2i, o, m2);
                half5<Inv>(x0 + 1, s1i, s2i, d1r, d2r, o + 1, m2);
            }
        }
    }
}

// First stage for p = 3 or 5: nb p-point DFTs of the points
// src[is (idx[c] + j span)], j < p, each written contiguously as block c
// (out never overlaps src).
template <bool Inv, int F>
void leaves(const double *src, ptrdiff_t is, double *out, ptrdiff_t nb, ptrdiff_t span,
            const int32_t *idx)
{
    const ptrdiff_t js = 2 * is * span;
    for (ptrdiff_t c = 0; c < nb; ++c) {
        const double *x = src + 2 * is * idx[c];
        double *o = out + 2 * c * F;
        if constexpr (F == 3) {
            const double *x1 = x + js, *x2 = x + 2 * js;
            half3<!Inv>(x, ld(x1) + ld(x2), ld(x1 + 1) - ld(x2 + 1), o, 2);
            half3<Inv>(x + 1, ld(x1 + 1) + ld(x2 + 1), ld(x1) - ld(x2), o + 1, 2);
        } else {
            const double *x1 = x + js, *x2 = x + 2 * js, *x3 = x + 3 * js, *x4 = x + 4 * js;
            half5<!Inv>(x, ld(x1) + ld(x4), ld(x2) + ld(x3), ld(x1 + 1) - ld(x4 + 1),
                        ld(x2 + 1) - ld(x3 + 1), o, 2);
            half5<Inv>(x + 1, ld(x1 + 1) + ld(x4 + 1), ld(x2 + 1) + ld(x3 + 1), ld(x1) - ld(x4),
                       ld(x2) - ld(x3), o + 1, 2);
        }
    }
}

} // namespace x87
} // namespace dft
} // namespace fxrs

#endif
