// Bit-reversal permutation in place. Lengths 4, 8 and 16 use fixed swap
// lists. Longer ones are cut into tiles by their top b and bottom b index
// bits: the tile with middle bits m trades places with the tile whose
// middle bits are m reversed, point (a, m, c) going to (rev c, rev m,
// rev a). A tile is 2^b runs of 2^b consecutive points, so both tiles of
// a pair stay in cache while they are exchanged. The reversed middle
// index advances with a reversed-carry counter.
#include "dft/kernel/fft_kernels.h"

namespace zem_dft {
namespace {

const unsigned char kRev4[16] = {0, 8, 4, 12, 2, 10, 6, 14, 1, 9, 5, 13, 3, 11, 7, 15};
const unsigned char kSwaps4[][2] = {{1, 2}};
const unsigned char kSwaps8[][2] = {{1, 4}, {3, 6}};
const unsigned char kSwaps16[][2] = {{1, 8}, {2, 4}, {3, 12}, {5, 10}, {7, 14}, {11, 13}};

template <class T, bool Split> struct Swapper {
    T *a, *b;
    inline void operator()(ptrdiff_t i, ptrdiff_t j) const
    {
        if (Split) {
            T t = a[i];
            a[i] = a[j], a[j] = t;
            t = b[i];
            b[i] = b[j], b[j] = t;
        } else {
            T r = a[2 * i], m = a[2 * i + 1];
            a[2 * i] = a[2 * j], a[2 * i + 1] = a[2 * j + 1];
            a[2 * j] = r, a[2 * j + 1] = m;
        }
    }
};

template <class Sw>
void permute(const Sw &sw, int p)
{
    if (p <= 1)
        return;
    if (p <= 4) {
        const unsigned char(*s)[2] = p == 2 ? kSwaps4 : p == 3 ? kSwaps8 : kSwaps16;
        const int count = p == 2 ? 1 : p == 3 ? 2 : 6;
        for (int q = 0; q < count; ++q)
            sw(s[q][0], s[q][1]);
        return;
    }
    const int b = p >= 8 ? 4 : p / 2, mb = p - 2 * b, hi = p - b;
    const ptrdiff_t tile = (ptrdiff_t)1 << b, mid = (ptrdiff_t)1 << mb;
    ptrdiff_t mr = 0; // m reversed over mb bits
    for (ptrdiff_t m = 0; m < mid; ++m) {
        if (m <= mr) {
            for (ptrdiff_t a = 0; a < tile; ++a) {
                const ptrdiff_t ra = kRev4[a] >> (4 - b);
                for (ptrdiff_t c = 0; c < tile; ++c) {
                    const ptrdiff_t i = (a << hi) | (m << b) | c;
                    const ptrdiff_t j = ((ptrdiff_t)(kRev4[c] >> (4 - b)) << hi) | (mr << b) | ra;
                    if (m < mr || i < j)
                        sw(i, j);
                }
            }
        }
        if (mb > 0) { // reversed-carry increment
            ptrdiff_t bit = mid >> 1;
            while (mr & bit) {
                mr ^= bit;
                bit >>= 1;
            }
            mr |= bit;
        }
    }
}

} // namespace

void bitrev_c(Buf<float> x, bool split, int p)
{
    if (split)
        permute(Swapper<float, true>{x.a, x.b}, p);
    else
        permute(Swapper<float, false>{x.a, x.b}, p);
}

void bitrev_z(Buf<double> x, bool split, int p)
{
    if (split)
        permute(Swapper<double, true>{x.a, x.b}, p);
    else
        permute(Swapper<double, false>{x.a, x.b}, p);
}

} // namespace zem_dft
