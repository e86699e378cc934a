// Engine internals shared by its source files: the context record, the
// large-order plan description and the kernels the transforms are built of.
#ifndef ZEM_ENGINE_FXRS_INTERNAL_H
#define ZEM_ENGINE_FXRS_INTERNAL_H

#include <stddef.h>
#include <stdint.h>

#include "fxrs.h"

namespace fxrs {

// Kind tags: the first 32-bit word of every context.
enum : int32_t {
    kKindFftC32 = 4,
    kKindFftR32 = 6,
    kKindFftC64 = 7,
    kKindFftR64 = 9,
};

// ---- plan thresholds -----------------------------------------------------
// The orders at which the power-of-two plans change, named once: the
// context builder, the table builders and the transforms all read these.
//   order < kSmallOrders             fixed small kernels, no tables
//   single, order <= kNormMaxOrder32 radix-4 with the permutation folded in
//   single, order <= kLeafOrder32    permutation, then the in-cache radix-4
//   double, order <= kLeafOrder64    permutation, then the in-cache radix-4
//   above the leaf order             the large-order plans
constexpr int kSmallOrders = 4;
constexpr int kNormMaxOrder32 = 9;
constexpr int kLeafOrder32 = 10; // 1024 single complex elements: 8 KB
constexpr int kLeafOrder64 = 9;  // 512 double complex elements: 8 KB
constexpr int kLeafLen32 = 1 << kLeafOrder32;
constexpr int kLeafLen64 = 1 << kLeafOrder64;
inline int leaf_order(bool dbl) { return dbl ? kLeafOrder64 : kLeafOrder32; }

// The plan kind of a power-of-two transform, chosen once when the context
// is built and only dispatched on by the transforms.
enum FftPlanKind : int32_t {
    kFftPlanSmall = 0,  // fixed kernels
    kFftPlanNorm = 1,   // single: radix-4 with folded permutation
    kFftPlanLeaf = 2,   // permutation, in-cache radix-4
    kFftPlanLarge = 3,  // permutation, large-order plan
};
inline int32_t fft_plan_kind(int order, bool dbl)
{
    if (order < kSmallOrders)
        return kFftPlanSmall;
    if (!dbl && order <= kNormMaxOrder32)
        return kFftPlanNorm;
    if (order <= leaf_order(dbl))
        return kFftPlanLeaf;
    return kFftPlanLarge;
}

// A large-order plan unrolled: depth 0 .. depths-1 are blocked levels
// (order n[d], block order k[d]); below them a leaf of order leafOrder that
// is either the in-cache radix-4 transform or the two-level plan.
struct LargePlan {
    int depths;
    int n[3];
    int k[3];
    int leafOrder;
    bool leafTwoLevel;
};

// The FFT context shared by the complex and real families (the real
// family plans its complex tables for the half length and adds the two
// recombination tables). S is the family's scale type.
template <typename S> struct FftCtx {
    int32_t kind;
    int32_t order;
    int32_t fwdScaled;
    int32_t invScaled;
    S scale;
    int32_t hint;
    int32_t workSize;   // bytes one transform needs (0: none)
    int32_t owned;      // 1: tables and record came from InitAlloc
    int32_t *bitRev;    // plain or BitRevNorm permutation table
    void *twd;          // L1 table, or the block of the large-order tables
    void *twdL2;        // radix-2 step table of the two-level plan (inside twd)
    void *realRec;      // real family only
    void *ccsRec;       // real family only
    void *blkL1[3];     // per depth of the blocked plan: column radix-4 table
    void *blkMerge[3];  // per depth: inter-block twiddles
    int32_t plan;       // FftPlanKind of the complex transform
    LargePlan large;    // the large-order plan when plan is kFftPlanLarge
};

// ---- tables ----------------------------------------------------------------

// Block order per transform order 9..30 (index order - 9): 0 selects the
// two-level plan, k > 0 the blocked plan with 2^k columns.
extern const int8_t kBlockOrder32[22];
extern const int8_t kBlockOrder64[22];

void large_plan(int order, bool dbl, LargePlan *p);

// Base sine table s[k] = sin(2 pi k/N), k = 0..N/4, of order B.
template <typename T> T *base_sine_table(int order);
// cos and sin of 2 pi u / 2^B read from a base table of order B by symmetry.
template <typename T> void base_cs(const T *s, int B, int64_t u, T *c, T *sn);

int32_t *init_tab_bitrev(int order);
int32_t *init_tab_bitrev_norm(int order);
int64_t size_twd_l1_32f(int order);
int64_t size_twd_l1_64f(int order);
void init_twd_l1_32f(int order, const float *base, int baseOrder, float *dst);
void init_twd_l1_64f(int order, const double *base, int baseOrder, double *dst);

// Whether the tables of a large-order plan fit one block (a 32-bit size).
bool large_fits(int order, bool dbl);
// Builds every table of the large-order plan of complex order m into one
// block owned by c (twd; the other pointers point into it), reading the
// base table of order B >= m. Returns 0 or a status.
int init_twd_large_32f(FftCtx<float> *c, int m, const float *base, int B);
int init_twd_large_64f(FftCtx<double> *c, int m, const double *base, int B);

// ---- kernels -------------------------------------------------------------

// Small transforms, orders 0..3, complex in and out (src may equal dst).
typedef void (*SmallFn32)(const float *src, float *dst);
typedef void (*SmallNormFn32)(const float *src, float *dst, float scale);
typedef void (*SmallFn64)(const double *src, double *dst);
typedef void (*SmallNormFn64)(const double *src, double *dst, double scale);
extern const SmallFn32 tbl_cFFTfwd_small_32fc[4], tbl_cFFTinv_small_32fc[4];
extern const SmallNormFn32 tbl_cFFTfwd_norm_small_32fc[4], tbl_cFFTinv_norm_small_32fc[4];
extern const SmallFn64 tbl_cFFTfwd_small_64fc[4], tbl_cFFTinv_small_64fc[4];
extern const SmallNormFn64 tbl_cFFTfwd_norm_small_64fc[4], tbl_cFFTinv_norm_small_64fc[4];

// Bit-reversal permutation over n bits of N complex elements.
void BitRev1_C(float *data, int64_t N, const int32_t *tab);
void BitRev2_C(const float *src, float *dst, int64_t N, const int32_t *tab);
void BitRev1_Z(double *data, int64_t N, const int32_t *tab);
void BitRev2_Z(const double *src, double *dst, int64_t N, const int32_t *tab);

void rbMpy1_32f(float scale, float *data, int64_t count);
void rbMpy1_64f(double scale, double *data, int64_t count);

// Single radix-4, bit-reversed input, in place; final = 1: interleaved
// output, 0: blocked layout (groups of four: four real, four imaginary).
void cRadix4Fwd_32fc(float *data, int order, const float *twd, int final);
void cRadix4Inv_32fc(float *data, int order, const float *twd, int final);
// Natural-order input, interleaved natural-order output; the permutation is
// folded into the first pass. buf (8*N bytes) is used when src == dst.
void cRadix4FwdNorm_32fc(const float *src, float *dst, int order, const float *twd,
                         const int32_t *revNorm, float *buf);
void cRadix4InvNorm_32fc(const float *src, float *dst, int order, const float *twd,
                         const int32_t *revNorm, float *buf);
// Double radix-4 on the x87 unit, bit-reversed input, interleaved, in place;
// the table is the order-`tabOrder` L1 table read at a stride.
void cRadix4Fwd_64fc(double *data, int order, const double *twd, int tabOrder);
void cRadix4Inv_64fc(double *data, int order, const double *twd, int tabOrder);

// The large-order plan stored in c on bit-reversed data, with the
// tables of c; scaling by the context's flag for the direction inside.
void cFftLarge_32fc(const FftCtx<float> *c, float *data, bool inv, float *buf);
void cFftLarge_64fc(const FftCtx<double> *c, double *data, bool inv, double *buf);

inline int64_t round16(int64_t x) { return (x + 15) & ~(int64_t)15; }

} // namespace fxrs

struct FxrsFFTCtx_C_32fc : fxrs::FftCtx<float> {};
struct FxrsFFTCtx_C_64fc : fxrs::FftCtx<double> {};

#endif
