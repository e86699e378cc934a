// Bit-reversal permutation of complex arrays, driven by the swap list of
// the middle n-2 index bits (see init_tab_bitrev). A pair (i, r) stands for
// four exchanges of the index with top bit h and bottom bit l:
//   2i <-> 2r, N/2+2i+1 <-> N/2+2r+1, 2i+1 <-> N/2+2r, N/2+2i <-> 2r+1,
// a self-reversed i (and i = 0) for the one exchange 2i+1 <-> N/2+2i.
#include <string.h>
#include <xmmintrin.h>

#include "engine/fxrs_internal.h"

namespace fxrs {
namespace {

// One complex element moved as a whole (8 bytes single, 16 double).
template <size_t B> struct Elem {
    unsigned char b[B];
};

// Offsets in the table are in scalars: 4i is complex element 2i, so an
// offset o is element o/2. Here everything counts elements.
template <typename E> inline void swap_e(E *d, int64_t a, int64_t b)
{
    E t;
    memcpy(&t, d + a, sizeof(E));
    memcpy(d + a, d + b, sizeof(E));
    memcpy(d + b, &t, sizeof(E));
}

template <typename E> inline void copy_e(const E *s, E *d, int64_t to, int64_t from)
{
    memcpy(d + to, s + from, sizeof(E));
}

template <typename E> void bitrev1(E *d, int64_t N, const int32_t *t)
{
    const int64_t M = N / 4, h = N / 2;
    swap_e(d, 1, h);
    for (const int32_t *p = t; *p; p += 2) {
        const int64_t a = p[0] / 2, b = p[1] / 2;
        swap_e(d, a, b);
        swap_e(d, h + a + 1, h + b + 1);
        swap_e(d, a + 1, h + b);
        swap_e(d, h + a, b + 1);
    }
    for (const int32_t *q = t + M - 1; q >= t && *q; --q)
        swap_e(d, *q / 2 + 1, h + *q / 2);
}

template <typename E> void bitrev2(const E *s, E *d, int64_t N, const int32_t *t)
{
    const int64_t M = N / 4, h = N / 2;
    copy_e(s, d, 0, 0);
    copy_e(s, d, 1, h);
    copy_e(s, d, h, 1);
    copy_e(s, d, h + 1, h + 1);
    for (const int32_t *p = t; *p; p += 2) {
        const int64_t a = p[0] / 2, b = p[1] / 2;
        copy_e(s, d, a, b);
        copy_e(s, d, b, a);
        copy_e(s, d, h + a + 1, h + b + 1);
        copy_e(s, d, h + b + 1, h + a + 1);
        copy_e(s, d, a + 1, h + b);
        copy_e(s, d, h + b, a + 1);
        copy_e(s, d, h + a, b + 1);
        copy_e(s, d, b + 1, h + a);
    }
    for (const int32_t *q = t + M - 1; q >= t && *q; --q) {
        const int64_t a = *q / 2;
        copy_e(s, d, a, a);
        copy_e(s, d, h + a + 1, h + a + 1);
        copy_e(s, d, a + 1, h + a);
        copy_e(s, d, h + a, a + 1);
    }
}

// Cache-blocked permutation for large arrays. An index of n bits is split
// into its top b bits h, middle bits m and bottom b bits l; (h, m, l) goes
// to (rev l, rev m, rev h). For each pair m, rev m the two tiles of 2^b rows
// of 2^b contiguous elements are gathered into L1-resident buffers,
// transposed on the way, and written back as contiguous rows. The same
// permutation as the swap list, with every element read and written once.
const int kTileBits = 5;

template <typename E> struct Tiles {
    alignas(16) E a[1 << (2 * kTileBits)];
    alignas(16) E b[1 << (2 * kTileBits)];
};

inline uint32_t rev_bits(uint32_t x, int bits)
{
    uint32_t r = 0;
    for (int i = 0; i < bits; ++i, x >>= 1)
        r = (r << 1) | (x & 1);
    return r;
}

template <typename E>
void gather(const E *s, E *t, int64_t m, int64_t rowStride, const uint8_t *rb)
{
    const int B = 1 << kTileBits;
    for (int h = 0; h < B; ++h) {
        const E *row = s + h * rowStride + m * B;
        for (int l = 0; l < B; ++l)
            t[rb[l] * B + rb[h]] = row[l];
    }
}

// Single-precision complex elements, two at a time: rows h and h + B/2 land
// in the adjacent tile columns rev(h), rev(h) + 1, so elements l, l + 1 of
// the two rows make two 16-byte stores into tile rows rev(l), rev(l + 1).
void gather(const Elem<8> *s, Elem<8> *t, int64_t m, int64_t rowStride, const uint8_t *rb)
{
    const int B = 1 << kTileBits;
    float *tf = (float *)t;
    for (int h = 0; h < B / 2; ++h) {
        const float *r0 = (const float *)(s + h * rowStride + m * B);
        const float *r1 = (const float *)(s + (h + B / 2) * rowStride + m * B);
        float *col = tf + 2 * rb[h];
        for (int l = 0; l < B; l += 2) {
            const __m128 a = _mm_loadu_ps(r0 + 2 * l), b = _mm_loadu_ps(r1 + 2 * l);
            _mm_store_ps(col + 2 * B * rb[l], _mm_movelh_ps(a, b));
            _mm_store_ps(col + 2 * B * rb[l + 1], _mm_movehl_ps(b, a));
        }
    }
}

template <typename E> void put(E *d, const E *t, int64_t m, int64_t rowStride)
{
    const int B = 1 << kTileBits;
    for (int r = 0; r < B; ++r)
        memcpy(d + r * rowStride + m * B, t + r * B, B * sizeof(E));
}

// In place when s == d.
template <typename E> void bitrev_blocked(const E *s, E *d, int64_t N, Tiles<E> *t)
{
    int n = 0;
    while (((int64_t)1 << n) < N)
        ++n;
    const int mb = n - 2 * kTileBits;
    const int64_t rowStride = N >> kTileBits, M = (int64_t)1 << mb;
    uint8_t rb[1 << kTileBits];
    for (int i = 0; i < (1 << kTileBits); ++i)
        rb[i] = (uint8_t)rev_bits(i, kTileBits);
    const int64_t seg = ((int64_t)sizeof(E) << kTileBits) / 64; // cache lines per row
    for (int64_t m = 0; m < M; ++m) {
        const int64_t mr = rev_bits((uint32_t)m, mb);
        if (mr < m)
            continue;
        // fetch the next pair's rows while this one is moved
        if (m + 1 < M) {
            const int64_t nm[2] = {m + 1, rev_bits((uint32_t)(m + 1), mb)};
            for (int u = 0; u < 2; ++u)
                for (int h = 0; h < (1 << kTileBits); ++h) {
                    const char *row = (const char *)(s + h * rowStride + nm[u] * (1 << kTileBits));
                    for (int64_t c = 0; c < seg; ++c)
                        _mm_prefetch(row + 64 * c, _MM_HINT_T0);
                }
        }
        gather(s, t->a, m, rowStride, rb);
        if (mr != m) {
            gather(s, t->b, mr, rowStride, rb);
            put(d, t->b, m, rowStride);
        }
        put(d, t->a, mr, rowStride);
    }
}

// Orders from which the blocked permutation pays off.
const int64_t kBlockedFrom = (int64_t)1 << 13;

typedef Elem<8> E8;
typedef Elem<16> E16;

} // namespace

template <typename E> void permute(const E *src, E *dst, int64_t N, const int32_t *tab)
{
    if (N >= kBlockedFrom) {
        Tiles<E> t; // 16 KB (single) or 32 KB (double) on the stack
        bitrev_blocked(src, dst, N, &t);
    } else if (src == dst) {
        bitrev1(dst, N, tab);
    } else {
        bitrev2(src, dst, N, tab);
    }
}

void BitRev1_C(float *data, int64_t N, const int32_t *tab)
{
    permute((const E8 *)data, (E8 *)data, N, tab);
}
void BitRev2_C(const float *src, float *dst, int64_t N, const int32_t *tab)
{
    permute((const E8 *)src, (E8 *)dst, N, tab);
}
void BitRev1_Z(double *data, int64_t N, const int32_t *tab)
{
    permute((const E16 *)data, (E16 *)data, N, tab);
}
void BitRev2_Z(const double *src, double *dst, int64_t N, const int32_t *tab)
{
    permute((const E16 *)src, (E16 *)dst, N, tab);
}

} // namespace fxrs
