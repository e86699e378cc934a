// Tables of the power-of-two FFT: the base sine table, the permutation
// tables, the in-cache (L1) twiddle tables of both families and the tables
// of the large-order plans.
#include <limits.h>
#include <math.h>

#include "engine/fxrs_internal.h"

namespace fxrs {

const int8_t kBlockOrder32[22] = {0, 0, 0, 0, 5, 6, 7, 8, 8, 8, 10,
                                  10, 10, 10, 8, 8, 10, 10, 10, 10, 10, 10};
const int8_t kBlockOrder64[22] = {0, 0, 0, 4, 5, 6, 7, 7, 8, 9, 9,
                                  9, 8, 8, 9, 9, 9, 9, 9, 9, 9, 9};

void large_plan(int order, bool dbl, LargePlan *p)
{
    const int8_t *t = dbl ? kBlockOrder64 : kBlockOrder32;
    const int leafMax = leaf_order(dbl);
    int m = order, d = 0;
    while (m > leafMax && m >= 9 && t[m - 9] > 0 && d < 3) {
        p->n[d] = m;
        p->k[d] = t[m - 9];
        m -= t[m - 9];
        ++d;
    }
    p->depths = d;
    p->leafOrder = m;
    p->leafTwoLevel = m > leafMax;
}

template <typename T> T *base_sine_table(int order)
{
    const int64_t N = (int64_t)1 << order, q = N / 4;
    const int64_t bytes = (q + 1) * (int64_t)sizeof(T);
    if (bytes > INT_MAX)
        return nullptr;
    T *s = (T *)fxrsMalloc_8u((int)bytes);
    if (!s)
        return nullptr;
    const double step = (double)((long double)6.283185307179586 / (long double)N);
    const int64_t e = N / 8;
    for (int64_t k = 0; k <= e && k <= q; ++k)
        s[k] = (T)sin((double)k * step);
    for (int64_t k = e + 1; k <= q; ++k)
        s[k] = (T)cos((double)(q - k) * step);
    return s;
}
template float *base_sine_table<float>(int);
template double *base_sine_table<double>(int);

template <typename T> void base_cs(const T *s, int B, int64_t u, T *c, T *sn)
{
    const int64_t N = (int64_t)1 << B, q = N / 4;
    u &= N - 1;
    if (u <= q) {
        *c = s[q - u];
        *sn = s[u];
    } else if (u <= 2 * q) {
        *c = -s[u - q];
        *sn = s[2 * q - u];
    } else if (u <= 3 * q) {
        *c = -s[3 * q - u];
        *sn = -s[u - 2 * q];
    } else {
        *c = s[u - 3 * q];
        *sn = -s[N - u];
    }
}
template void base_cs<float>(const float *, int, int64_t, float *, float *);
template void base_cs<double>(const double *, int, int64_t, double *, double *);

// Steps r to the bit reversal of the next index over `bits` bits.
static inline uint32_t next_rev(uint32_t r, int bits)
{
    if (bits == 0)
        return 0;
    uint32_t bit = (uint32_t)1 << (bits - 1);
    while (r & bit) {
        r ^= bit;
        bit >>= 1;
    }
    return r | bit;
}

// Swap list over the middle order-2 bits: pairs (4i, 4rev(i)), i < rev(i),
// from the front up to a 0; self-reversed 4i from slot M-1 downward.
int32_t *init_tab_bitrev(int order)
{
    const int64_t M = (int64_t)1 << (order - 2);
    const int64_t bytes = round16((M + 1) * 4);
    if (bytes > INT_MAX)
        return nullptr;
    int32_t *t = (int32_t *)fxrsMalloc_8u((int)bytes);
    if (!t)
        return nullptr;
    int64_t front = 0, back = M - 1;
    uint32_t r = 0;
    for (int64_t i = 0; i < M; ++i, r = next_rev(r, order - 2)) {
        if (i == 0)
            continue;
        if ((int64_t)r > i) {
            t[front++] = (int32_t)(4 * i);
            t[front++] = (int32_t)(4 * (int64_t)r);
        } else if ((int64_t)r == i) {
            t[back--] = (int32_t)(4 * i);
        }
    }
    for (int64_t i = front; i <= back; ++i)
        t[i] = 0;
    t[M] = 0;
    return t;
}

// Slot i = 2 rev(i) over order-2 bits, slots 0 and M zero.
int32_t *init_tab_bitrev_norm(int order)
{
    const int64_t M = (int64_t)1 << (order - 2);
    int32_t *t = (int32_t *)fxrsMalloc_8u((int)round16((M + 1) * 4));
    if (!t)
        return nullptr;
    uint32_t r = 0;
    for (int64_t i = 0; i < M; ++i, r = next_rev(r, order - 2))
        t[i] = (int32_t)(2 * r);
    t[M] = 0;
    return t;
}

int64_t size_twd_l1_32f(int order) { return ((8 << order) + 23) & ~15; }
int64_t size_twd_l1_64f(int order) { return ((16 << order) + 31) & ~15; }

// Per radix-4 stage L = 2^s (s = 4 + order%2, s+2, ..., order), per group of
// four butterflies j0..j0+3 and m = 1, 2, 3: four cos(2 pi jm/L), then four
// -sin(2 pi jm/L).
void init_twd_l1_32f(int order, const float *base, int B, float *dst)
{
    for (int s = 4 + (order & 1); s <= order; s += 2) {
        const int64_t L = (int64_t)1 << s, stride = (int64_t)1 << (B - s);
        for (int64_t j0 = 0; j0 < L / 4; j0 += 4)
            for (int m = 1; m <= 3; ++m) {
                for (int q = 0; q < 4; ++q) {
                    float c, sn;
                    base_cs(base, B, (j0 + q) * m * stride, &c, &sn);
                    dst[q] = c;
                    dst[4 + q] = -sn;
                }
                dst += 8;
            }
    }
}

// One row per j = 0..N/4: w^j, w^2j, w^3j as (cos, -sin) pairs, w = e^(-2 pi i/N).
void init_twd_l1_64f(int order, const double *base, int B, double *dst)
{
    const int64_t N = (int64_t)1 << order, stride = (int64_t)1 << (B - order);
    for (int64_t j = 0; j <= N / 4; ++j, dst += 6)
        for (int m = 1; m <= 3; ++m) {
            double c, sn;
            base_cs(base, B, j * m * stride, &c, &sn);
            dst[2 * m - 2] = c;
            dst[2 * m - 1] = -sn;
        }
}

namespace {

inline uint32_t rev_bits(uint32_t x, int bits)
{
    uint32_t r = 0;
    for (int i = 0; i < bits; ++i, x >>= 1)
        r = (r << 1) | (x & 1);
    return r;
}

// Byte sizes of the pieces of a large-order block, in layout order.
struct LargeSizes {
    int64_t leafL1, leafL2, blkL1[3], merge[3], total, work;
};

void large_sizes(const LargePlan &p, bool dbl, LargeSizes *z)
{
    const int64_t el = dbl ? 16 : 8;
    const int leaf = p.leafOrder;
    if (!p.leafTwoLevel) {
        z->leafL1 = dbl ? size_twd_l1_64f(leaf) : size_twd_l1_32f(leaf);
        z->leafL2 = 0;
        z->work = dbl ? 0 : round16((int64_t)8 << leaf);
    } else if (!dbl) {
        z->leafL1 = size_twd_l1_32f(kLeafOrder32);
        z->leafL2 = round16(((int64_t)1 << leaf) / 2 * 8);
        z->work = 8192;
    } else {
        z->leafL1 = size_twd_l1_64f(kLeafOrder64);
        z->leafL2 = ((int64_t)1 << leaf) / 4 * 16;
        z->work = 0;
    }
    z->total = z->leafL1 + z->leafL2;
    for (int d = p.depths - 1; d >= 0; --d) {
        const int64_t K = (int64_t)1 << p.k[d];
        z->blkL1[d] = dbl ? size_twd_l1_64f(p.k[d]) : size_twd_l1_32f(p.k[d]);
        z->merge[d] = round16(((int64_t)1 << p.n[d]) * el);
        z->total += z->blkL1[d] + z->merge[d];
        if (4 * K * el > z->work)
            z->work = 4 * K * el;
    }
}

template <typename T>
int init_large(FftCtx<T> *c, int order, const T *base, int B, bool dbl)
{
    LargePlan p;
    large_plan(order, dbl, &p);
    LargeSizes z;
    large_sizes(p, dbl, &z);
    if (z.total > INT_MAX || z.work > INT_MAX - 16)
        return fxrStsMemAllocErr;
    uint8_t *blk = fxrsMalloc_8u((int)z.total);
    if (!blk)
        return fxrStsMemAllocErr;
    c->twd = blk;
    c->workSize = (int32_t)z.work;
    uint8_t *at = blk;
    const int leaf = p.leafOrder;
    if (!p.leafTwoLevel) {
        if (dbl)
            init_twd_l1_64f(leaf, (const double *)base, B, (double *)at);
        else
            init_twd_l1_32f(leaf, (const float *)base, B, (float *)at);
    } else if (!dbl) {
        init_twd_l1_32f(kLeafOrder32, (const float *)base, B, (float *)at);
        float *t2 = (float *)(at + z.leafL1);
        c->twdL2 = t2;
        // stages L = 2^leaf down to twice the leaf: w^j, j < L/4, four re
        // then four im
        for (int s = leaf; s > kLeafOrder32; --s) {
            const int64_t L = (int64_t)1 << s;
            for (int64_t j0 = 0; j0 < L / 4; j0 += 4, t2 += 8)
                for (int q = 0; q < 4; ++q) {
                    float cs, sn;
                    base_cs((const float *)base, B, (j0 + q) << (B - s), &cs, &sn);
                    t2[q] = cs;
                    t2[4 + q] = -sn;
                }
        }
    } else {
        init_twd_l1_64f(kLeafOrder64, (const double *)base, B, (double *)at);
        double *t2 = (double *)(at + z.leafL1);
        c->twdL2 = t2;
        const int64_t L = (int64_t)1 << leaf;
        for (int64_t j = 0; j < L / 4; ++j) {
            double cs, sn;
            base_cs((const double *)base, B, j << (B - leaf), &cs, &sn);
            t2[2 * j] = cs;
            t2[2 * j + 1] = -sn;
        }
    }
    at += z.leafL1 + z.leafL2;
    for (int d = p.depths - 1; d >= 0; --d) {
        const int k = p.k[d];
        const int64_t K = (int64_t)1 << k, R = (int64_t)1 << (p.n[d] - k);
        const int sh = B - p.n[d];
        c->blkL1[d] = at;
        if (dbl)
            init_twd_l1_64f(k, (const double *)base, B, (double *)at);
        else
            init_twd_l1_32f(k, (const float *)base, B, (float *)at);
        at += z.blkL1[d];
        c->blkMerge[d] = at;
        T *m = (T *)at;
        // per group of four columns j0, per row a: w^(rev(a) j), j = j0..j0+3
        for (int64_t j0 = 0; j0 < R; j0 += 4)
            for (int64_t a = 0; a < K; ++a, m += 8) {
                const int64_t r = rev_bits((uint32_t)a, k);
                for (int q = 0; q < 4; ++q) {
                    T cs, sn;
                    base_cs(base, B, (r * (j0 + q)) << sh, &cs, &sn);
                    if (dbl) {
                        m[2 * q] = cs;
                        m[2 * q + 1] = -sn;
                    } else {
                        m[q] = cs;
                        m[4 + q] = -sn;
                    }
                }
            }
        at += z.merge[d];
    }
    return fxrStsNoErr;
}

} // namespace

bool large_fits(int order, bool dbl)
{
    LargePlan p;
    large_plan(order, dbl, &p);
    LargeSizes z;
    large_sizes(p, dbl, &z);
    return z.total <= INT_MAX && z.work <= INT_MAX - 16;
}

int init_twd_large_32f(FftCtx<float> *c, int m, const float *base, int B)
{
    return init_large<float>(c, m, base, B, false);
}
int init_twd_large_64f(FftCtx<double> *c, int m, const double *base, int B)
{
    return init_large<double>(c, m, base, B, true);
}

} // namespace fxrs
