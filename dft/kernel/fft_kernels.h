// The power-of-two complex transform kernels shared by the fixed-argument
// FFT routines (and, later, the descriptor interface): coefficient tables,
// the forward sequence (decimation in frequency, natural-order input,
// bit-reversed output), the backward sequence (bit-reversed input,
// natural-order output, scaled on its last pass), bit reversal, and the
// recombination passes of the real transforms. Everything works in place.
//
// Data come in two forms: interleaved complex (real, imaginary, real, ...)
// in `a`, or split arrays (real parts in `a`, imaginary parts in `b`).
#ifndef ZEM_DFT_FFT_KERNELS_H
#define ZEM_DFT_FFT_KERNELS_H

#include <stddef.h>
#include <stdint.h>

namespace zem_dft {

// One radix pass of the plan: radix 2 or 4 over blocks of 2^lg points;
// its twiddles start `tw` reals after the table's aligned start.
struct Level {
    int radix;
    int lg;
    ptrdiff_t tw;
};

// The pass sequence of one length 2^p. Passes over blocks longer than
// 2^leafLg run block after block (depth first); the in-cache leaf runs
// its passes over the whole leaf and closes with an untabled pass over
// 2^finalLg points (single precision: 16-point groups; double: 4 or 2).
struct Plan {
    int p;
    int nlev;
    int leafLg;
    int finalLg;
    ptrdiff_t tableReals; // reals the twiddles take after the aligned start
    Level lev[40];
};

// Lengths above this stay on one leaf; the in-cache sizes of the two
// precisions and the block sizes of the long transforms.
constexpr int kLeafLgSingle = 10;      // 1024 points
constexpr int kLeafLgSingleLong = 9;   // 512-point blocks above 32768
constexpr int kBlockLgSingleLong = 15; // 32768 points
constexpr int kLeafLgDouble = 9;       // 512 points
constexpr int kBlockLgDoubleLong = 13; // 8192: one-level against two-level split
// Pieces of a parallel transform keep at least this many points (log2).
constexpr int kMinPieceLg = 10;

void make_plan(int p, bool dbl, Plan *pl);

// log2 n for a positive power of two n, else -1.
int log2_exact(long long n);

// The aligned start of the twiddles inside a table: the first 32-byte
// boundary past the two-element header.
template <class T> inline T *twiddle_start(T *tab)
{
    uintptr_t u = ((uintptr_t)(tab + 2) + 31) & ~(uintptr_t)31;
    return (T *)u;
}
template <class T> inline const T *twiddle_start(const T *tab)
{
    return twiddle_start(const_cast<T *>(tab));
}

// Data of one transform: interleaved (b unused) or split.
template <class T> struct Buf {
    T *a;
    T *b;
};

// ---- sequences (p = log2 n; tab = the table built for 2^p) ------------
// pieces = 1 runs on the calling thread; pieces = P >= 2 splits the
// transform into P independent pieces after its first passes and runs
// them on P OpenMP threads (the caller has made the threading decision).
void fwd_c(Buf<float> x, bool split, int p, const float *tab, int pieces);
void bwd_c(Buf<float> x, bool split, int p, const float *tab, float scale, int pieces);
void fwd_z(Buf<double> x, bool split, int p, const double *tab, int pieces);
void bwd_z(Buf<double> x, bool split, int p, const double *tab, double scale, int pieces);

// Bit-reversal permutation of 2^p points in place.
void bitrev_c(Buf<float> x, bool split, int p);
void bitrev_z(Buf<double> x, bool split, int p);

// Real transforms: the recombination of a half-length spectrum into the
// n + 2 stored reals (forward) and back (backward, with its factor 0.5
// folded into the table), n = 2^(p+1) reals, table from real_table_*.
void real_fwd_c(float *x, int n, const float *rtab);
void real_bwd_c(float *x, int n, const float *rtab);
void real_fwd_z(double *x, int n, const double *rtab);
void real_bwd_z(double *x, int n, const double *rtab);
// Start of the recombination pairs inside the table at wsave + 3n/2.
const float *real_pairs_c(const float *wsave, int n);
const double *real_pairs_z(const double *wsave, int n);

} // namespace zem_dft

// ---- table builders (p = log2 of the complex length) -------------------
extern "C" {
void _ZEM_DFT_coef4r22(int p, float *tab);
void _ZEM_DFT_coef4r22c(int p, float *tab);
void _ZEM_DFT_coef4r22_z(int p, double *tab);
void _ZEM_DFT_coef4r22_zc(int p, double *tab);
// Recombination pairs of the real transforms of n points at wsave + 3n/2,
// and the marker n/2 in element 2n - 1.
void _ZEM_DFT_csreccoef(int n, float *wsave);
void _ZEM_DFT_zdreccoef(int n, double *wsave);
void _ZEM_DFT_zdreccoefc(int n, double *wsave);
}

#endif
