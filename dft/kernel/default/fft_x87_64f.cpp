// Double-precision radix-4 kernels on the x87 unit: every sum and product
// in extended precision, rounded to double when stored. One butterfly at
// a time, on interleaved (stride 2) or split (stride 1) data in place.
#include "dft/kernel/default/fft_exec.h"
#include "dft/kernel/tier1/c1d_par_dft_omp.h"

// Results leave the x87 registers one double at a time; the vectoriser's
// pairing of stores through SSE registers only adds memory round trips.
#pragma GCC optimize("no-tree-slp-vectorize")

namespace zem_dft {
namespace {

typedef long double X;
typedef Buf<double> D;

// Point k: real part re[S k], imaginary part im[S k].
template <int S> struct Pts {
    double *re, *im;
    explicit Pts(D d) : re(d.a), im(S == 2 ? d.a + 1 : d.b) {}
};

// The loop of a radix-R pass over blocks of L points: butterfly j
// (j0 <= j < j1) of every block gets the real and imaginary parts of its
// first point, the distance Q to the next of its R points and its
// twiddles (R - 1 complex values).
template <int S, int R, class B>
inline void each_bfly(D d, ptrdiff_t len, ptrdiff_t L, const double *tw, ptrdiff_t j0, ptrdiff_t j1, B body)
{
    const Pts<S> x(d);
    const ptrdiff_t Q = S * (L / R);
    for (ptrdiff_t b = 0; b < len; b += L) {
        double *re = x.re + S * (b + j0), *im = x.im + S * (b + j0);
        const double *w = tw + 2 * (R - 1) * j0;
        for (ptrdiff_t j = j0; j < j1; ++j, re += S, im += S, w += 2 * (R - 1))
            body(re, im, Q, w);
    }
}

// Forward radix-4 pass (decimation in frequency) over blocks of L points:
// X0, X2 w^2j, X1 w^j, X3 w^3j into slots j, j+Q, j+2Q, j+3Q.
template <int S>
void r4f(D d, ptrdiff_t len, ptrdiff_t L, const double *tw, ptrdiff_t j0, ptrdiff_t j1)
{
    each_bfly<S, 4>(d, len, L, tw, j0, j1, [](double *re, double *im, ptrdiff_t Q, const double *w) {
        X t1r, t1i, t3r, t3i;
        {
            X a0r = re[0], a2r = re[2 * Q], a1r = re[Q], a3r = re[3 * Q];
            X t0r = a0r + a2r, t2r = a1r + a3r;
            t1r = a0r - a2r, t3r = a1r - a3r;
            X a0i = im[0], a2i = im[2 * Q], a1i = im[Q], a3i = im[3 * Q];
            X t0i = a0i + a2i, t2i = a1i + a3i;
            t1i = a0i - a2i, t3i = a1i - a3i;
            re[0] = (double)(t0r + t2r);
            im[0] = (double)(t0i + t2i);
            X yr = t0r - t2r, yi = t0i - t2i, c = w[2], s = w[3];
            re[Q] = (double)(yr * c - yi * s);
            im[Q] = (double)(yr * s + yi * c);
        }
        {
            X yr = t1r + t3i, yi = t1i - t3r, c = w[0], s = w[1];
            re[2 * Q] = (double)(yr * c - yi * s);
            im[2 * Q] = (double)(yr * s + yi * c);
        }
        {
            X yr = t1r - t3i, yi = t1i + t3r, c = w[4], s = w[5];
            re[3 * Q] = (double)(yr * c - yi * s);
            im[3 * Q] = (double)(yr * s + yi * c);
        }
    });
}

// Backward radix-4 pass (decimation in time), the mirror of r4f, with the
// scale on the outputs when Sc.
template <int S, bool Sc>
void r4i(D d, ptrdiff_t len, ptrdiff_t L, const double *tw, ptrdiff_t j0, ptrdiff_t j1, X sc)
{
    each_bfly<S, 4>(d, len, L, tw, j0, j1, [sc](double *re, double *im, ptrdiff_t Q, const double *w) {
        X u2r, u2i, u3r, u3i;
        {
            X ar = re[2 * Q], ai = im[2 * Q], c = w[0], s = w[1];
            X y1r = ar * c + ai * s, y1i = ai * c - ar * s;
            ar = re[3 * Q], ai = im[3 * Q], c = w[4], s = w[5];
            X y3r = ar * c + ai * s, y3i = ai * c - ar * s;
            u2r = y1r + y3r, u2i = y1i + y3i, u3r = y1r - y3r, u3i = y1i - y3i;
        }
        X ar = re[Q], ai = im[Q], c = w[2], s = w[3];
        X y2r = ar * c + ai * s, y2i = ai * c - ar * s;
        X y0r = re[0], y0i = im[0];
        X u0r = y0r + y2r, u0i = y0i + y2i, u1r = y0r - y2r, u1i = y0i - y2i;
        X o0r = u0r + u2r, o0i = u0i + u2i, o2r = u0r - u2r, o2i = u0i - u2i;
        X o1r = u1r - u3i, o1i = u1i + u3r, o3r = u1r + u3i, o3i = u1i - u3r;
        if (Sc) {
            o0r *= sc, o0i *= sc, o1r *= sc, o1i *= sc, o2r *= sc, o2i *= sc, o3r *= sc, o3i *= sc;
        }
        re[0] = (double)o0r, im[0] = (double)o0i;
        re[Q] = (double)o1r, im[Q] = (double)o1i;
        re[2 * Q] = (double)o2r, im[2 * Q] = (double)o2i;
        re[3 * Q] = (double)o3r, im[3 * Q] = (double)o3i;
    });
}

template <int S>
void r2f(D d, ptrdiff_t len, ptrdiff_t L, const double *tw, ptrdiff_t j0, ptrdiff_t j1)
{
    each_bfly<S, 2>(d, len, L, tw, j0, j1, [](double *re, double *im, ptrdiff_t H, const double *w) {
        X ar = re[0], br = re[H], ai = im[0], bi = im[H];
        re[0] = (double)(ar + br);
        im[0] = (double)(ai + bi);
        X yr = ar - br, yi = ai - bi, c = w[0], s = w[1];
        re[H] = (double)(yr * c - yi * s);
        im[H] = (double)(yr * s + yi * c);
    });
}

template <int S, bool Sc>
void r2i(D d, ptrdiff_t len, ptrdiff_t L, const double *tw, ptrdiff_t j0, ptrdiff_t j1, X sc)
{
    each_bfly<S, 2>(d, len, L, tw, j0, j1, [sc](double *re, double *im, ptrdiff_t H, const double *w) {
        X br = re[H], bi = im[H], c = w[0], s = w[1];
        X yr = br * c + bi * s, yi = bi * c - br * s;
        X ar = re[0], ai = im[0];
        X o0r = ar + yr, o0i = ai + yi, o1r = ar - yr, o1i = ai - yi;
        if (Sc) {
            o0r *= sc, o0i *= sc, o1r *= sc, o1i *= sc;
        }
        re[0] = (double)o0r, im[0] = (double)o0i;
        re[H] = (double)o1r, im[H] = (double)o1i;
    });
}

// The untabled closing pass: 4-point (finalLg 2) or 2-point (finalLg 1)
// transforms of consecutive points; forward into bit-reversed slots.
template <int S>
void fin_f(D d, ptrdiff_t len, int lg)
{
    const Pts<S> x(d);
    double *re = x.re, *im = x.im;
    if (lg == 1) {
        for (ptrdiff_t k = 0; k < len; k += 2, re += 2 * S, im += 2 * S) {
            X ar = re[0], br = re[S], ai = im[0], bi = im[S];
            re[0] = (double)(ar + br), re[S] = (double)(ar - br);
            im[0] = (double)(ai + bi), im[S] = (double)(ai - bi);
        }
        return;
    }
    for (ptrdiff_t k = 0; k < len; k += 4, re += 4 * S, im += 4 * S) {
        X a0r = re[0], a1r = re[S], a2r = re[2 * S], a3r = re[3 * S];
        X t0r = a0r + a2r, t1r = a0r - a2r, t2r = a1r + a3r, t3r = a1r - a3r;
        X a0i = im[0], a1i = im[S], a2i = im[2 * S], a3i = im[3 * S];
        X t0i = a0i + a2i, t1i = a0i - a2i, t2i = a1i + a3i, t3i = a1i - a3i;
        re[0] = (double)(t0r + t2r), re[S] = (double)(t0r - t2r);
        re[2 * S] = (double)(t1r + t3i), re[3 * S] = (double)(t1r - t3i);
        im[0] = (double)(t0i + t2i), im[S] = (double)(t0i - t2i);
        im[2 * S] = (double)(t1i - t3r), im[3 * S] = (double)(t1i + t3r);
    }
}

template <int S, bool Sc>
void first_i(D d, ptrdiff_t len, int lg, X sc)
{
    const Pts<S> x(d);
    double *re = x.re, *im = x.im;
    if (lg == 1) {
        for (ptrdiff_t k = 0; k < len; k += 2, re += 2 * S, im += 2 * S) {
            X ar = re[0], br = re[S], ai = im[0], bi = im[S];
            X o0r = ar + br, o1r = ar - br, o0i = ai + bi, o1i = ai - bi;
            if (Sc) {
                o0r *= sc, o1r *= sc, o0i *= sc, o1i *= sc;
            }
            re[0] = (double)o0r, re[S] = (double)o1r, im[0] = (double)o0i, im[S] = (double)o1i;
        }
        return;
    }
    for (ptrdiff_t k = 0; k < len; k += 4, re += 4 * S, im += 4 * S) {
        X y0r = re[0], y2r = re[S], y1r = re[2 * S], y3r = re[3 * S];
        X y0i = im[0], y2i = im[S], y1i = im[2 * S], y3i = im[3 * S];
        X u0r = y0r + y2r, u1r = y0r - y2r, u2r = y1r + y3r, u3r = y1r - y3r;
        X u0i = y0i + y2i, u1i = y0i - y2i, u2i = y1i + y3i, u3i = y1i - y3i;
        X o0r = u0r + u2r, o2r = u0r - u2r, o1r = u1r - u3i, o3r = u1r + u3i;
        X o0i = u0i + u2i, o2i = u0i - u2i, o1i = u1i + u3r, o3i = u1i - u3r;
        if (Sc) {
            o0r *= sc, o1r *= sc, o2r *= sc, o3r *= sc, o0i *= sc, o1i *= sc, o2i *= sc, o3i *= sc;
        }
        re[0] = (double)o0r, re[S] = (double)o1r, re[2 * S] = (double)o2r, re[3 * S] = (double)o3r;
        im[0] = (double)o0i, im[S] = (double)o1i, im[2 * S] = (double)o2i, im[3 * S] = (double)o3i;
    }
}

template <int S> struct K64 {
    typedef double T;
    typedef Buf<double> D;
    static D at(D x, ptrdiff_t k) { return S == 2 ? D{x.a + 2 * k, nullptr} : D{x.a + k, x.b + k}; }
    static void pass(bool inv, const Level &l, D x, ptrdiff_t len, const double *tw, int part, int parts,
                     int mode, double scale)
    {
        const ptrdiff_t L = (ptrdiff_t)1 << l.lg;
        ptrdiff_t j0, j1;
        part_range(l.radix == 4 ? L / 4 : L / 2, part, parts, j0, j1);
        if (!inv) {
            (l.radix == 4 ? r4f<S> : r2f<S>)(x, len, L, tw, j0, j1);
        } else {
            const bool sc = (mode & kOutExt) != 0;
            auto run = l.radix == 4 ? (sc ? r4i<S, true> : r4i<S, false>) : (sc ? r2i<S, true> : r2i<S, false>);
            run(x, len, L, tw, j0, j1, scale);
        }
    }
    static void fin_fwd(const Plan &pl, D x, ptrdiff_t len, bool) { fin_f<S>(x, len, pl.finalLg); }
    static void first_inv(const Plan &pl, D x, ptrdiff_t len, bool outExt, double scale)
    {
        (outExt ? first_i<S, true> : first_i<S, false>)(x, len, pl.finalLg, scale);
    }
};

// Lengths 2, 4 and 8 (8: a radix-2 pass with the table's cos(pi/4), then
// two 4-point transforms; backward the other way round).
template <int S>
void small(D d, int p, const double *tab, bool inv, X sc)
{
    const Pts<S> x(d);
    double *re = x.re, *im = x.im;
    if (p == 3) {
        const X c = twiddle_start(tab)[0], sg = inv ? -1 : 1;
        if (inv) {
            first_i<S, false>(d, 8, 2, 1);
        }
        for (int j = 0; j < 4; ++j) {
            X ar = re[S * j], ai = im[S * j], br = re[S * (j + 4)], bi = im[S * (j + 4)];
            if (inv) {
                X tr = br, ti = bi; // times conj(w8^j)
                if (j == 1) tr = (br + sg * bi) * c, ti = (bi - sg * br) * c;
                if (j == 2) tr = sg * bi, ti = -sg * br;
                if (j == 3) tr = (sg * bi - br) * c, ti = (-bi - sg * br) * c;
                re[S * j] = (double)((ar + tr) * sc), im[S * j] = (double)((ai + ti) * sc);
                re[S * (j + 4)] = (double)((ar - tr) * sc), im[S * (j + 4)] = (double)((ai - ti) * sc);
            } else {
                X yr = ar - br, yi = ai - bi, tr = yr, ti = yi;
                if (j == 1) tr = (yr + yi) * c, ti = (yi - yr) * c;
                if (j == 2) tr = yi, ti = -yr;
                if (j == 3) tr = (yi - yr) * c, ti = (-yi - yr) * c;
                re[S * j] = (double)(ar + br), im[S * j] = (double)(ai + bi);
                re[S * (j + 4)] = (double)tr, im[S * (j + 4)] = (double)ti;
            }
        }
        if (!inv)
            fin_f<S>(d, 8, 2);
        return;
    }
    if (!inv)
        fin_f<S>(d, (ptrdiff_t)1 << p, p);
    else if (sc == 1)
        first_i<S, false>(d, (ptrdiff_t)1 << p, p, 1);
    else
        first_i<S, true>(d, (ptrdiff_t)1 << p, p, sc);
}

template <int S>
void seq(D x, bool inv, int p, const double *tab, double scale, int pieces)
{
    if (p <= 3) {
        if (p >= 1)
            small<S>(x, p, tab, inv, inv ? scale : 1.0);
        return;
    }
    Plan pl;
    make_plan(p, true, &pl);
    const Exec<K64<S>> e{pl, twiddle_start(tab)};
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

} // namespace

void fwd_z(Buf<double> x, bool split, int p, const double *tab, int pieces)
{
    (split ? seq<1> : seq<2>)(x, false, p, tab, 1.0, pieces);
}
void bwd_z(Buf<double> x, bool split, int p, const double *tab, double scale, int pieces)
{
    (split ? seq<1> : seq<2>)(x, true, p, tab, scale, pieces);
}

} // namespace zem_dft
