// Double-precision radix-4 transform for lengths up to 512 (in cache), on
// the x87 unit in extended precision, in place on interleaved data in
// bit-reversed order (decimation in time).
#include "engine/fxrs_internal.h"

// Results leave the x87 registers one double at a time; pairing the stores
// through SSE registers (which the vectoriser would do on x86_64) only adds
// round trips through memory.
#pragma GCC optimize("no-tree-slp-vectorize")

namespace fxrs {
namespace {

typedef long double X;

// First pass: 4-point transforms of consecutive groups (bit-reversed).
template <bool Inv> void pass4(double *d, ptrdiff_t N)
{
    for (ptrdiff_t g = 0; g < N; g += 4, d += 8) {
        // the second pair first, then the real and the imaginary halves
        X s2r, s2i, s3r, s3i;
        {
            X a2r = d[4], a3r = d[6];
            s2r = a2r + a3r, s3r = a2r - a3r;
            X a2i = d[5], a3i = d[7];
            s2i = a2i + a3i, s3i = a2i - a3i;
        }
        {
            X a0r = d[0], a1r = d[2];
            X s0r = a0r + a1r, s1r = a0r - a1r;
            d[0] = (double)(s0r + s2r);
            d[4] = (double)(s0r - s2r);
            d[Inv ? 6 : 2] = (double)(s1r + s3i);
            d[Inv ? 2 : 6] = (double)(s1r - s3i);
        }
        {
            X a0i = d[1], a1i = d[3];
            X s0i = a0i + a1i, s1i = a0i - a1i;
            d[1] = (double)(s0i + s2i);
            d[5] = (double)(s0i - s2i);
            d[Inv ? 7 : 3] = (double)(s1i - s3r);
            d[Inv ? 3 : 7] = (double)(s1i + s3r);
        }
    }
}

// Radix-2 pass of length 8 (odd orders): E = first four, O = next four.
template <bool Inv> void pass2_8(double *d, ptrdiff_t N, X c)
{
    for (ptrdiff_t g = 0; g < N; g += 8, d += 16) {
        for (int k = 0; k < 4; ++k) {
            X er = d[2 * k], ei = d[2 * k + 1], orr = d[8 + 2 * k], oi = d[9 + 2 * k];
            X tr, ti;
            switch (k) {
            case 0:
                tr = orr, ti = oi;
                break;
            case 1: // w = (c, -c) forward, (c, c) inverse
                tr = Inv ? (orr - oi) * c : (orr + oi) * c;
                ti = Inv ? (orr + oi) * c : (oi - orr) * c;
                break;
            case 2: // w = -i forward, +i inverse
                tr = Inv ? -oi : oi;
                ti = Inv ? orr : -orr;
                break;
            default: // w = (-c, -c) forward, (-c, c) inverse
                tr = Inv ? -(orr + oi) * c : (oi - orr) * c;
                ti = Inv ? (orr - oi) * c : -(orr + oi) * c;
                break;
            }
            d[2 * k] = (double)(er + tr);
            d[2 * k + 1] = (double)(ei + ti);
            d[8 + 2 * k] = (double)(er - tr);
            d[9 + 2 * k] = (double)(ei - ti);
        }
    }
}

// Radix-4 stage of length L; w^(jm) at table row j * stride.
template <bool Inv> void stage(double *data, ptrdiff_t N, ptrdiff_t L, const double *tw,
                               ptrdiff_t stride)
{
    const ptrdiff_t Q = L / 4;
    for (ptrdiff_t b = 0; b < N; b += L) {
        double *p = data + 2 * b;
        const double *w = tw;
        for (ptrdiff_t j = 0; j < Q; ++j, p += 2, w += 6 * stride) {
            // Ordered so that at most eight values are live on the x87
            // stack: the odd pair first, then each real and imaginary half.
            const X sg = Inv ? -1 : 1;
            X t2r, t2i, t3r, t3i, b2r, b2i;
            {
                X ar = p[4 * Q], ai = p[4 * Q + 1], wr = w[0], wi = sg * w[1];
                X b1r = ar * wr - ai * wi, b1i = ar * wi + ai * wr;
                ar = p[6 * Q], ai = p[6 * Q + 1], wr = w[4], wi = sg * w[5];
                X b3r = ar * wr - ai * wi, b3i = ar * wi + ai * wr;
                t2r = b1r + b3r, t2i = b1i + b3i, t3r = b1r - b3r, t3i = b1i - b3i;
            }
            {
                X ar = p[2 * Q], ai = p[2 * Q + 1], wr = w[2], wi = sg * w[3];
                b2r = ar * wr - ai * wi, b2i = ar * wi + ai * wr;
            }
            {
                X b0r = p[0];
                X t0r = b0r + b2r, t1r = b0r - b2r;
                p[0] = (double)(t0r + t2r);
                p[4 * Q] = (double)(t0r - t2r);
                p[Inv ? 6 * Q : 2 * Q] = (double)(t1r + t3i);
                p[Inv ? 2 * Q : 6 * Q] = (double)(t1r - t3i);
            }
            {
                X b0i = p[1];
                X t0i = b0i + b2i, t1i = b0i - b2i;
                p[1] = (double)(t0i + t2i);
                p[4 * Q + 1] = (double)(t0i - t2i);
                p[(Inv ? 6 * Q : 2 * Q) + 1] = (double)(t1i - t3r);
                p[(Inv ? 2 * Q : 6 * Q) + 1] = (double)(t1i + t3r);
            }
        }
    }
}

template <bool Inv> void radix4(double *data, int order, const double *twd, int tabOrder)
{
    const ptrdiff_t N = (ptrdiff_t)1 << order, Nt = (ptrdiff_t)1 << tabOrder;
    pass4<Inv>(data, N);
    int s = 4;
    if (order & 1) {
        // cos(pi/4) is the real part of table row Nt/8
        pass2_8<Inv>(data, N, (X)twd[6 * (Nt / 8)]);
        s = 5;
    }
    for (; s <= order; s += 2) {
        const ptrdiff_t L = (ptrdiff_t)1 << s;
        stage<Inv>(data, N, L, twd, Nt / L);
    }
}

} // namespace

void cRadix4Fwd_64fc(double *data, int order, const double *twd, int tabOrder)
{
    radix4<false>(data, order, twd, tabOrder);
}
void cRadix4Inv_64fc(double *data, int order, const double *twd, int tabOrder)
{
    radix4<true>(data, order, twd, tabOrder);
}

void rbMpy1_64f(double scale, double *data, int64_t count)
{
    const X s = scale;
    for (int64_t i = 0; i < count; ++i)
        data[i] = (double)(data[i] * s);
}

} // namespace fxrs
