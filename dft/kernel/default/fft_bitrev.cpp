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
#include "dft/kernel/fft_kernels.h"

namespace zem_dft {
namespace {

const unsigned char kRev4[16] = {0, 8, 4, 12, 2, 10, 6, 14, 1, 9, 5, 13, 3, 11, 7, 15};
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
    U A[16][16], B[16][16];
    ptrdiff_t mr = 0;
    for (ptrdiff_t m = 0; m < mid; ++m, mr = m < mid ? (mb ? rev_next(mr, mb) : 0) : 0) {
        if (m > mr)
            continue;
        U *ta = x + (m << 4), *tb = x + (mr << 4);
        for (int a = 0; a < 16; ++a)
            for (int c = 0; c < 16; ++c)
                A[a][c] = ta[((ptrdiff_t)a << hi) + c];
        if (m != mr)
            for (int a = 0; a < 16; ++a)
                for (int c = 0; c < 16; ++c)
                    B[a][c] = tb[((ptrdiff_t)a << hi) + c];
        const U(*fromA)[16] = m != mr ? B : A;
        for (int a = 0; a < 16; ++a)
            for (int c = 0; c < 16; ++c)
                ta[((ptrdiff_t)a << hi) + c] = fromA[kRev4[c]][kRev4[a]];
        if (m != mr)
            for (int a = 0; a < 16; ++a)
                for (int c = 0; c < 16; ++c)
                    tb[((ptrdiff_t)a << hi) + c] = A[kRev4[c]][kRev4[a]];
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
