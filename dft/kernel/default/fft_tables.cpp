// Pass plans of the radix-4 kernels and their coefficient tables.
//
// Table of a complex length n = 2^p: element 0 = n, element 1 = 0, the
// twiddles from the first 32-byte boundary past them, one group per
// tabled pass in plan order. A radix-4 pass over blocks of L points holds
// w^j, w^2j, w^3j (w = e^(-2 pi i / L), j < L/4) as cosine and negated
// sine: in single precision four j at a time (four cosines, four negated
// sines, for each of the three powers: aligned four-wide loads), in double
// precision one j at a time. A radix-2 pass holds w^j, j < L/2, the same
// way. Length 8 holds four copies of cos(2 pi / 8). Radix-4 passes take
// 3L/2 reals and radix-2 passes L reals, about 2n reals in all: the
// table fits its bound of 3n/2 + 32 complex elements (single) and
// 3n + 32 reals (double) with room to spare.
#include <math.h>

#include "dft/kernel/fft_kernels.h"

namespace zem_dft {

int log2_exact(long long n)
{
    if (n <= 0 || (n & (n - 1)) != 0)
        return -1;
    int p = 0;
    while ((1LL << p) < n)
        ++p;
    return p;
}

namespace {

void add(Plan *pl, int radix, int lg)
{
    Level &l = pl->lev[pl->nlev++];
    l.radix = radix;
    l.lg = lg;
    l.tw = pl->tableReals;
    pl->tableReals += radix == 4 ? 3 * ((ptrdiff_t)1 << lg) / 2 : (ptrdiff_t)1 << lg;
}

// Passes from blocks of 2^top down to blocks of 2^bottom: a radix-2 pass
// first when the count of levels is odd, radix-4 passes after it.
void add_levels(Plan *pl, int top, int bottom)
{
    int lg = top;
    if ((top - bottom) & 1)
        add(pl, 2, lg--);
    for (; lg > bottom; lg -= 2)
        add(pl, 4, lg);
}

} // namespace

void make_plan(int p, bool dbl, Plan *pl)
{
    pl->p = p;
    pl->nlev = 0;
    pl->tableReals = 0;
    pl->leafLg = p;
    if (p <= 3) {
        pl->finalLg = p;
        pl->tableReals = p == 3 ? 4 : 0;
        return;
    }
    if (!dbl) {
        // Single precision: leaves close with the 16-point pass, so their
        // tabled passes end at blocks of 16 (radix 2 first for odd lengths).
        pl->finalLg = 4;
        int leaf = p <= kLeafLgSingle ? p : p <= kBlockLgSingleLong ? kLeafLgSingle : kLeafLgSingleLong;
        if (p > kBlockLgSingleLong) {
            add_levels(pl, p, kBlockLgSingleLong);               // radix 2x2 over the whole array
            add_levels(pl, kBlockLgSingleLong, kLeafLgSingleLong); // within each 32768-point block
        } else if (p > kLeafLgSingle) {
            for (int lg = p; lg > kLeafLgSingle; --lg)           // radix 2 down to 1024-point blocks
                add(pl, 2, lg);
        }
        pl->leafLg = leaf;
        add_levels(pl, leaf, 4);
    } else {
        // Double precision: leaves run radix-4 passes down to blocks of 8
        // or 16 and close with an untabled radix-4 (even) or radix-2 (odd).
        int leaf = p <= kLeafLgDouble ? p : kLeafLgDouble;
        if (p > kBlockLgDoubleLong) {
            add_levels(pl, p, kBlockLgDoubleLong);
            add_levels(pl, kBlockLgDoubleLong, kLeafLgDouble);
        } else if (p > kLeafLgDouble) {
            add_levels(pl, p, kLeafLgDouble);
        }
        pl->leafLg = leaf;
        int lg = leaf;
        for (; lg >= 3; lg -= 2)
            add(pl, 4, lg);
        pl->finalLg = lg; // 2: radix 4 closes, 1: radix 2 closes
    }
}

namespace {

// Twiddles of one pass, G values of j at a time (4: single, 1: double).
template <class T>
void fill_level(const Level &l, T *w, int G)
{
    const ptrdiff_t L = (ptrdiff_t)1 << l.lg;
    const ptrdiff_t J = l.radix == 4 ? L / 4 : L / 2;
    const int powers = l.radix == 4 ? 3 : 1;
    const long double step = 8.0L * atanl(1.0L) / (long double)L;
    for (ptrdiff_t j0 = 0; j0 < J; j0 += G) {
        for (int m = 1; m <= powers; ++m) {
            for (int g = 0; g < G; ++g) {
                long double a = step * (long double)(m * (j0 + g));
                w[g] = (T)cosl(a);
                w[G + g] = (T)-sinl(a);
            }
            w += 2 * G;
        }
    }
}

template <class T>
void build(int p, T *tab, bool dbl)
{
    tab[0] = (T)((long long)1 << p);
    tab[1] = 0;
    T *w = twiddle_start(tab);
    if (p == 3) {
        const T c = (T)cosl(atanl(1.0L));
        w[0] = w[1] = w[2] = w[3] = c;
        return;
    }
    Plan pl;
    make_plan(p, dbl, &pl);
    for (int i = 0; i < pl.nlev; ++i)
        fill_level(pl.lev[i], w + pl.lev[i].tw, dbl ? 1 : 4);
}

// Pairs (0.5 cos(2 pi k/n), 0.5 (1 - sin(2 pi k/n))), k = 1 .. n/4 - 1.
template <class T>
T *pairs_start(T *wsave, int n)
{
    T *r = wsave + (ptrdiff_t)3 * n / 2;
    if (sizeof(T) < 8 && ((uintptr_t)r & 7) != 0)
        ++r;
    return r;
}

template <class T>
void build_real(int n, T *wsave)
{
    T *r = pairs_start(wsave, n);
    const long double step = 8.0L * atanl(1.0L) / (long double)n;
    for (int k = 1; k < n / 4; ++k) {
        long double a = step * (long double)k;
        r[2 * (k - 1)] = (T)(0.5L * cosl(a));
        r[2 * (k - 1) + 1] = (T)(0.5L * (1.0L - sinl(a)));
    }
    wsave[2 * (ptrdiff_t)n - 1] = (T)(n / 2);
}

} // namespace

const float *real_pairs_c(const float *wsave, int n) { return pairs_start(const_cast<float *>(wsave), n); }
const double *real_pairs_z(const double *wsave, int n) { return pairs_start(const_cast<double *>(wsave), n); }

} // namespace zem_dft

using namespace zem_dft;

// The split-array routines run the same passes on their two arrays and
// share the interleaved routines' table.
extern "C" void _ZEM_DFT_coef4r22(int p, float *tab) { build(p, tab, false); }
extern "C" void _ZEM_DFT_coef4r22c(int p, float *tab) { build(p, tab, false); }
extern "C" void _ZEM_DFT_coef4r22_z(int p, double *tab) { build(p, tab, true); }
extern "C" void _ZEM_DFT_coef4r22_zc(int p, double *tab) { build(p, tab, true); }
extern "C" void _ZEM_DFT_csreccoef(int n, float *wsave) { build_real(n, wsave); }
extern "C" void _ZEM_DFT_zdreccoef(int n, double *wsave) { build_real(n, wsave); }
extern "C" void _ZEM_DFT_zdreccoefc(int n, double *wsave) { build_real(n, wsave); }
