// Double-precision large-order plans (order 10 and up) on bit-reversed,
// interleaved data, in extended precision: the two-level plan (radix-4 on
// 512-element blocks, then radix-2 passes over the whole length) and the
// blocked plan (K rows of R elements, then columns four at a time through
// the work buffer).
#include "engine/fxrs_internal.h"

// Results leave the x87 registers one double at a time; pairing the stores
// through SSE registers (which the vectoriser would do on x86_64) only adds
// round trips through memory.
#pragma GCC optimize("no-tree-slp-vectorize")

namespace fxrs {
namespace {

typedef long double X;

struct Run {
    const FftCtx<double> *c;
    LargePlan p;
    double *buf;
    bool scaled;
    bool inv;
};

inline void radix4(const Run &r, double *d, int order, const double *tw)
{
    if (r.inv)
        cRadix4Inv_64fc(d, order, tw, order);
    else
        cRadix4Fwd_64fc(d, order, tw, order);
}

// Radix-2 passes doubling the span from 512 up to L; the table holds
// w_L^j for j < L/4 and is read at stride L/(2 span).
template <bool Inv> void two_level_passes(double *data, ptrdiff_t L, const double *tw)
{
    for (ptrdiff_t span = kLeafLen64; span < L; span *= 2) {
        const ptrdiff_t stride = L / (2 * span), q = span / 2;
        for (ptrdiff_t b = 0; b < L; b += 2 * span) {
            double *e = data + 2 * b, *o = e + 2 * span;
            for (ptrdiff_t j = 0; j < span; ++j) {
                const ptrdiff_t t = (j < q ? j : j - q) * stride;
                X wr = tw[2 * t], wi = tw[2 * t + 1];
                if (j >= q) { // w^(j + span/2) = -i w^j
                    X u = wr;
                    wr = wi;
                    wi = -u;
                }
                if (Inv)
                    wi = -wi;
                X orr = o[2 * j], oi = o[2 * j + 1];
                X tr = orr * wr - oi * wi, ti = orr * wi + oi * wr;
                X er = e[2 * j], ei = e[2 * j + 1];
                e[2 * j] = (double)(er + tr);
                e[2 * j + 1] = (double)(ei + ti);
                o[2 * j] = (double)(er - tr);
                o[2 * j + 1] = (double)(ei - ti);
            }
        }
    }
}

template <bool Inv>
void blk_merge_mpy(const double *col, double *buf, const double *m, ptrdiff_t R, ptrdiff_t K)
{
    for (ptrdiff_t a = 0; a < K; ++a, m += 8) {
        const double *s = col + 2 * R * a;
        for (int c = 0; c < 4; ++c) {
            X xr = s[2 * c], xi = s[2 * c + 1], wr = m[2 * c], wi = m[2 * c + 1];
            if (Inv)
                wi = -wi;
            double *v = buf + 2 * K * c + 2 * a;
            v[0] = (double)(xr * wr - xi * wi);
            v[1] = (double)(xr * wi + xi * wr);
        }
    }
}

void blk_split(double *col, const double *buf, ptrdiff_t R, ptrdiff_t K)
{
    for (ptrdiff_t q = 0; q < K; ++q) {
        double *d = col + 2 * R * q;
        for (int c = 0; c < 4; ++c) {
            d[2 * c] = buf[2 * K * c + 2 * q];
            d[2 * c + 1] = buf[2 * K * c + 2 * q + 1];
        }
    }
}

void level(const Run &r, double *d, int depth)
{
    const LargePlan &p = r.p;
    if (depth == p.depths) {
        const int leaf = p.leafOrder;
        const ptrdiff_t L = (ptrdiff_t)1 << leaf;
        const double *l1 = (const double *)r.c->twd;
        if (p.leafTwoLevel) {
            for (ptrdiff_t b = 0; b < L; b += kLeafLen64) {
                radix4(r, d + 2 * b, kLeafOrder64, l1);
                if (r.scaled)
                    rbMpy1_64f(r.c->scale, d + 2 * b, 2 * kLeafLen64);
            }
            if (r.inv)
                two_level_passes<true>(d, L, (const double *)r.c->twdL2);
            else
                two_level_passes<false>(d, L, (const double *)r.c->twdL2);
        } else {
            radix4(r, d, leaf, l1);
            if (r.scaled)
                rbMpy1_64f(r.c->scale, d, 2 * L);
        }
        return;
    }
    const int k = p.k[depth];
    const ptrdiff_t K = (ptrdiff_t)1 << k, R = (ptrdiff_t)1 << (p.n[depth] - k);
    for (ptrdiff_t a = 0; a < K; ++a)
        level(r, d + 2 * R * a, depth + 1);
    const double *m = (const double *)r.c->blkMerge[depth];
    const double *l1 = (const double *)r.c->blkL1[depth];
    for (ptrdiff_t j0 = 0; j0 < R; j0 += 4, m += 8 * K) {
        if (r.inv)
            blk_merge_mpy<true>(d + 2 * j0, r.buf, m, R, K);
        else
            blk_merge_mpy<false>(d + 2 * j0, r.buf, m, R, K);
        for (int c = 0; c < 4; ++c)
            radix4(r, r.buf + 2 * K * c, k, l1);
        blk_split(d + 2 * j0, r.buf, R, K);
    }
}

} // namespace

void cFftLarge_64fc(const FftCtx<double> *c, double *data, bool inv, double *buf)
{
    Run r;
    r.c = c;
    r.p = c->large; // chosen when the context was built
    r.buf = buf;
    r.inv = inv;
    r.scaled = (inv ? c->invScaled : c->fwdScaled) != 0;
    level(r, data, 0);
}

} // namespace fxrs
