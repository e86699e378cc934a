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

// ===========================================================================
// Real FFT and any-length DFT
// ===========================================================================

namespace fxrs {

// A block of `bytes` from the engine's allocator, or null when the count
// does not fit the allocator's signed 32-bit length (never a short block).
inline uint8_t *alloc_bytes(int64_t bytes)
{
    return bytes > 0 && bytes <= INT32_MAX ? fxrsMalloc_8u((int)bytes) : nullptr;
}

enum : int32_t {
    kKindDftC32 = 13,
    kKindDftR32 = 15,
    kKindDftC64 = 16,
    kKindDftR64 = 18,
    kKindDftOutOrd32 = 0x4C4D535D,
    kKindDftOutOrd64 = 0x4C4D535E,
};

// Flag decoding shared by every family: false for an unknown code. N is
// the transform length; sqrtExt: 1/sqrt(N) from the extended square root
// (the FFT) instead of the C library's (the DFT).
template <typename S>
bool decode_norm_flag(int flag, int64_t N, bool sqrtExt, int32_t *fwd, int32_t *inv, S *scale);

// The complex tables of order m into an FFT context (the complex family
// with m = order, the real family with m = order - 1). A status; on
// failure c owns what was built.
int build_complex_32(FftCtx<float> *c, int m, const float *base, int B);
int build_complex_64(FftCtx<double> *c, int m, const double *base, int B);
// Releases the tables of an FFT context.
template <typename S> void free_fft_tables(FftCtx<S> *c);
// InitAlloc of the complex and real FFT families (kind selects).
template <typename S, typename Ctx>
FxrStatus fft_init_alloc(Ctx **out, int order, int flag, int hint, int32_t kind);
// The two recombination tables of a real FFT context of order n from the
// base sine table of order n.
template <typename S> int build_real_rec(FftCtx<S> *c, const S *base, int n);
// The power-of-two complex transform of order m (the context's order, or
// the half order of a real context) with the context's plan and scaling;
// work: the context's work buffer, 16-byte aligned.
template <typename S> void fft_run(const FftCtx<S> *c, int m, const S *s, S *d, bool inv, void *work);
// Free and GetBufSize of every FFT family.
template <typename S> FxrStatus fft_free(FftCtx<S> *c, int32_t kind);
template <typename S> FxrStatus fft_buf_size(const FftCtx<S> *c, int32_t kind, int *size);

// ---- plan limits of the any-length DFT ------------------------------------
constexpr int kDftSmallMax = 4;        // lengths up to this run fixed kernels
constexpr int kDftDirectMax = 150;     // complex direct plan up to this length
constexpr int kDftRealDirectMax = 180; // odd real direct plan up to this length
constexpr int kDftFactorLimit = 150;   // trial divisors and last factor stay below 151
constexpr int kDftMaxFactors = 20;
// Sub-transforms at least this long are split depth first.
inline int32_t dft_recursion_threshold(bool dbl) { return dbl ? 501 : 2001; }
// Out-of-order contexts leave their output digit-reversed from this length.
inline int32_t dft_outord_threshold(bool dbl) { return dbl ? 5001 : 2001; }

enum DftPlanKind : int32_t {
    kDftPlanSmall = 0,
    kDftPlanPow2 = 1,
    kDftPlanFact = 2,
    kDftPlanConv = 3,
    kDftPlanDirect = 4,
};

// Indices of the five owned table pointers.
enum { kTabDir = 0, kTabFwdRec = 1, kTabInvRec = 2, kTabChirp = 3, kTabFilter = 4 };

// One stage of the factored plan: factor f, remaining length m (the
// stage combines f sub-results of length m), stride product s of the
// factors before it, block count c of its iterative run, the direct
// table of f (f > 5) and the stage twiddles w^(p q), q < m, p = 1..f-1.
struct DftFactor {
    int32_t f, m, s, c;
    void *dir;
    void *twd;
};

// The DFT context of every DFT family (complex, real, out-of-order).
template <typename S> struct DftCtx {
    int32_t kind;
    int32_t len;
    int32_t fwdScaled;
    int32_t invScaled;
    S scale;
    int32_t hint;
    int32_t workSize;    // bytes, with 16 bytes of alignment slack (0: none)
    int32_t pow2;        // 1: the embedded FFT context runs the transform
    int32_t outOrd;      // 1: forward output / inverse input digit-reversed
    int32_t oddRealFact; // 1: odd real length through the factored plan
    int32_t convM;       // power of two of the convolution plan
    void *tab[5];        // direct, forward and inverse recombination, chirp, filter
    void *fft;           // embedded FFT context (power of two)
    void *convFft;       // FFT context of the convolution plan
    int32_t fact;        // 1: factored plan
    int32_t nFactM2;     // factor count minus two
    int32_t *inIdx;      // input offsets of the first stage's blocks
    DftFactor rec[kDftMaxFactors];
    // The plan chosen at InitAlloc, which the transforms only dispatch on.
    int32_t plan;        // DftPlanKind of the complex transform
    int32_t clen;        // its length (N, or N/2 for an even real length)
    int32_t maxFactor;   // G: largest factor above 5, else 0
    int32_t iterStage;   // first stage whose sub-length is below the threshold
    void *outTwd;        // out-of-order: e^(-2 pi i k/N), k < N
};

// Builds the complex plan of length n into c (plan, clen, tables, stored
// inner sizes); directMax: the longest length for the direct plan.
// Returns a status; on failure c owns what was built (free_dft_tables).
template <typename S> int dft_plan_complex(DftCtx<S> *c, int32_t n, int32_t directMax, bool outOrd);
template <typename S> void free_dft_tables(DftCtx<S> *c);
// Bytes of work the complex plan of c needs (without the 16 bytes slack).
template <typename S> int64_t dft_complex_work(const DftCtx<S> *c);
// The complex plan of c, unscaled, src -> dst (may be equal); work: at
// least dft_complex_work bytes, 16-byte aligned. Returns a status (only
// the convolution plan's inner FFT can fail).
template <typename S> int dft_complex_run(const DftCtx<S> *c, const S *src, S *dst, bool inv, void *work);
// The out-of-order forward and inverse of a factored plan.
template <typename S> void dft_outord_run(const DftCtx<S> *c, const S *src, S *dst, bool inv, void *work);

// Real transforms through the half length: the half-length spectrum (M
// complex, in place) to Perm of the real length 2M, and a Perm spectrum to
// the half-length input of the inverse complex transform (src may equal
// dst). Tables: forward (0.5 cos, 0.5 - 0.5 sin), inverse (cos, -sin).
template <typename S> void real_fwd_recombine(S *d, int64_t M, const S *tab);
template <typename S> void real_inv_recombine(const S *s, S *d, int64_t M, const S *tab);
// Odd real lengths (not a power of two), Perm out (forward) or in
// (inverse), unscaled: the factored, convolution or direct plan of c; work
// at least real_odd_work bytes, 16-byte aligned. The inverse never writes
// src unless it is dst. Returns a status (only the convolution plan's
// inner FFT can fail).
template <typename S> int64_t real_odd_work(const DftCtx<S> *c);
template <typename S> int real_odd_run(const DftCtx<S> *c, const S *src, S *dst, bool inv, void *work);
// Fixed real kernels, N = 1, 2, 3, 4, 8, Perm in and out; scale 0: none.
template <typename S> void real_small(const S *in, S *out, int N, bool inv, S scale);

// e^(-2 pi i k/n), k < n, as (re, im) pairs; null when out of memory.
template <typename S> S *dft_base_table(int64_t n);

// Scales count values in place; the double form in extended precision.
template <typename S> inline void scale_values(S s, S *d, int64_t count)
{
    if constexpr (sizeof(S) == 4)
        rbMpy1_32f(s, d, count);
    else
        rbMpy1_64f(s, d, count);
}

// The caller's work buffer rounded up to 16 bytes, or one of our own.
struct WorkBuf {
    uint8_t *own = nullptr;
    void *ptr = nullptr;
    bool get(int32_t size, uint8_t *caller)
    {
        if (size <= 0)
            return true;
        if (caller) {
            ptr = (void *)(((uintptr_t)caller + 15) & ~(uintptr_t)15);
            return true;
        }
        own = fxrsMalloc_8u(size);
        ptr = own;
        return own != nullptr;
    }
    ~WorkBuf() { fxrsFree(own); }
};

// The exported InitAlloc, Free and GetBufSize of one context family,
// forwarding to impl_init_alloc, impl_free and impl_buf_size (impl: fft or
// dft); arg names the length argument.
#define ZEM_ENGINE_CONTEXT(Init, Free, Size, Ctx, S, Kind, impl)                                \
    extern "C" ZEM_API FxrStatus Init(Ctx **ctx, int arg, int flag, int hint)                  \
    {                                                                                          \
        return impl##_init_alloc<S>(ctx, arg, flag, hint, Kind);                               \
    }                                                                                          \
    extern "C" ZEM_API FxrStatus Free(Ctx *ctx) { return impl##_free<S>(ctx, Kind); }          \
    extern "C" ZEM_API FxrStatus Size(const Ctx *ctx, int *size)                               \
    {                                                                                          \
        return impl##_buf_size<S>(ctx, Kind, size);                                            \
    }

// The prologue every transform starts with: the context, its kind tag and
// the data pointers, then the work buffer of the context's size.
template <typename Ctx>
FxrStatus transform_prologue(const Ctx *c, int32_t kind, const void *src, const void *dst,
                             uint8_t *buf, WorkBuf *w)
{
    if (!c)
        return fxrStsNullPtrErr;
    if (c->kind != kind)
        return fxrStsContextMatchErr;
    if (!src || !dst)
        return fxrStsNullPtrErr;
    return w->get(c->workSize, buf) ? fxrStsNoErr : fxrStsMemAllocErr;
}

} // namespace fxrs

struct FxrsFFTCtx_R_32f : fxrs::FftCtx<float> {};
struct FxrsFFTCtx_R_64f : fxrs::FftCtx<double> {};
struct FxrsDFTCtx_C_32fc : fxrs::DftCtx<float> {};
struct FxrsDFTCtx_C_64fc : fxrs::DftCtx<double> {};
struct FxrsDFTCtx_R_32f : fxrs::DftCtx<float> {};
struct FxrsDFTCtx_R_64f : fxrs::DftCtx<double> {};
struct FxrsDFTOutOrdCtx_C_32fc : fxrs::DftCtx<float> {};
struct FxrsDFTOutOrdCtx_C_64fc : fxrs::DftCtx<double> {};

#endif
