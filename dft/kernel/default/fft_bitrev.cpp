// Bit-reversal permutation in place. Lengths 4, 8 and 16 use fixed swap
// lists, lengths up to 128 swap the pairs (i, rev i), i < rev i, with the
// reversed index advanced by a reversed-carry counter. Longer ones are cut
// into tiles by their top four and bottom four index bits: the tile with
// middle bits m trades places with the tile whose middle bits are m
// reversed, point (a, m, c) going to (rev c, rev m, rev a). A tile is 16
// runs of 16 consecutive points; both tiles of a pair are read run by run
// into local buffers and written back run by run in their new order, so
// every access to the data is sequential within a run, whatever the
// distance between the runs.
#include <string.h>
#include <xmmintrin.h>

#include "dft/kernel/fft_kernels.h"

namespace zem_dft {
namespace {

constexpr unsigned char kRev4[16] = {0, 8, 4, 12, 2, 10, 6, 14, 1, 9, 5, 13, 3, 11, 7, 15};
const unsigned char kSwaps4[][2] = {{1, 2}};
const unsigned char kSwaps8[][2] = {{1, 4}, {3, 6}};
const unsigned char kSwaps16[][2] = {{1, 8}, {2, 4}, {3, 12}, {5, 10}, {7, 14}, {11, 13}};

// A complex value moved as one, with the alignment of its parts only.
template <class T> struct Pair {
    T re, im;
};

// Reversed-carry increment of r over `bits` bits.
inline ptrdiff_t rev_next(ptrdiff_t r, int bits)
{
    ptrdiff_t bit = (ptrdiff_t)1 << (bits - 1);
    while (r & bit) {
        r ^= bit;
        bit >>= 1;
    }
    return r | bit;
}

// Writes run a of a tile from the buffer F: t[a][c] = F[rev c][rev a].
template <class U> inline void put_tile(U *t, ptrdiff_t hi, const U (*F)[16])
{
    for (int a = 0; a < 16; ++a)
        for (int c = 0; c < 16; ++c)
            t[((ptrdiff_t)a << hi) + c] = F[kRev4[c]][kRev4[a]];
}
// Single-precision complex points two at a time: runs a and a + 8 read the
// adjacent buffer columns rev a, rev a + 1, so points c, c + 1 of both runs
// come from two 16-byte loads.
inline void put_tile(Pair<float> *t, ptrdiff_t hi, const Pair<float> (*F)[16])
{
    for (int a = 0; a < 8; ++a) {
        float *r0 = (float *)(t + ((ptrdiff_t)a << hi)), *r1 = (float *)(t + ((ptrdiff_t)(a + 8) << hi));
        const Pair<float> *f = &F[0][kRev4[a]];
#pragma GCC unroll 8
        for (int c = 0; c < 16; c += 2) {
            const __m128 u = _mm_load_ps((const float *)(f + 16 * kRev4[c]));
            const __m128 v = _mm_load_ps((const float *)(f + 16 * kRev4[c + 1]));
            _mm_storeu_ps(r0 + 2 * c, _mm_movelh_ps(u, v));
            _mm_storeu_ps(r1 + 2 * c, _mm_movehl_ps(v, u));
        }
    }
}

template <class U>
void permute(U *x, int p)
{
    if (p <= 1)
        return;
    if (p <= 4) {
        const unsigned char(*s)[2] = p == 2 ? kSwaps4 : p == 3 ? kSwaps8 : kSwaps16;
        const int count = p == 2 ? 1 : p == 3 ? 2 : 6;
        for (int q = 0; q < count; ++q) {
            U t = x[s[q][0]];
            x[s[q][0]] = x[s[q][1]];
            x[s[q][1]] = t;
        }
        return;
    }
    if (p < 8) {
        ptrdiff_t r = 0;
        for (ptrdiff_t i = 0; i < ((ptrdiff_t)1 << p); ++i, r = i < ((ptrdiff_t)1 << p) ? rev_next(r, p) : 0)
            if (i < r) {
                U t = x[i];
                x[i] = x[r];
                x[r] = t;
            }
        return;
    }
    const int mb = p - 8, hi = p - 4;
    const ptrdiff_t mid = (ptrdiff_t)1 << mb;
    alignas(16) U A[16][16];
    alignas(16) U B[16][16];
    ptrdiff_t mr = 0;
    for (ptrdiff_t m = 0; m < mid; ++m, mr = m < mid ? (mb ? rev_next(mr, mb) : 0) : 0) {
        if (m > mr)
            continue;
        U *ta = x + (m << 4), *tb = x + (mr << 4);
        for (int a = 0; a < 16; ++a)
            memcpy(A[a], ta + ((ptrdiff_t)a << hi), sizeof A[a]);
        if (m != mr)
            for (int a = 0; a < 16; ++a)
                memcpy(B[a], tb + ((ptrdiff_t)a << hi), sizeof B[a]);
        put_tile(ta, hi, m != mr ? B : A);
        if (m != mr)
            put_tile(tb, hi, A);
    }
}

} // namespace

void bitrev_c(Buf<float> x, bool split, int p)
{
    if (split) {
        permute(x.a, p);
        permute(x.b, p);
    } else {
        permute((Pair<float> *)x.a, p);
    }
}

void bitrev_z(Buf<double> x, bool split, int p)
{
    if (split) {
        permute(x.a, p);
        permute(x.b, p);
    } else {
        permute((Pair<double> *)x.a, p);
    }
}

} // namespace zem_dft
