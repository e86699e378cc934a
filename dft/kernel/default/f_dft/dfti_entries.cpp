// One-dimensional entry points (the FFT engine's complex, out-of-order and
// real transforms, and the radix-4 kernels) and the plan kinds commit
// chooses from. An entry transforms one line of the record's length from
// src to dst with the record's context and the thread's scratch, then
// applies the record's scale for its direction.
#include <string.h>

#include <type_traits>

#include "dft/kernel/default/f_dft/dfti_plan.h"
#include "dft/kernel/fft_kernels.h"
#include "fxrs.h"
#include "service/serv.h"

extern "C" {
void _ZEM_BLAS_sscal(const int *n, const float *alpha, float *x, const int *incx);
void _ZEM_BLAS_dscal(const int *n, const double *alpha, double *x, const int *incx);
}

namespace zem_dfti {

int transfer_engine_status(int engine_status)
{
    if (engine_status == fxrStsNoErr)
        return DFTI_NO_ERROR;
    return engine_status == fxrStsMemAllocErr ? DFTI_MEMORY_ERROR : DFTI_ZEM_INTERNAL_ERROR;
}

void free_engine_context(void *ctx)
{
    if (ctx == nullptr)
        return;
    switch (*static_cast<const int32_t *>(ctx)) {
    case 13: fxrsDFTFree_C_32fc(static_cast<FxrsDFTCtx_C_32fc *>(ctx)); break;
    case 15: fxrsDFTFree_R_32f(static_cast<FxrsDFTCtx_R_32f *>(ctx)); break;
    case 16: fxrsDFTFree_C_64fc(static_cast<FxrsDFTCtx_C_64fc *>(ctx)); break;
    case 18: fxrsDFTFree_R_64f(static_cast<FxrsDFTCtx_R_64f *>(ctx)); break;
    case 0x4C4D535D: fxrsDFTOutOrdFree_C_32fc(static_cast<FxrsDFTOutOrdCtx_C_32fc *>(ctx)); break;
    case 0x4C4D535E: fxrsDFTOutOrdFree_C_64fc(static_cast<FxrsDFTOutOrdCtx_C_64fc *>(ctx)); break;
    default: break;
    }
}

namespace {

// Scales `count` reals at x unless the scale is exactly one.
void scale_reals(float *x, ptrdiff_t count, float s)
{
    if (s == 1.0f)
        return;
    int n = (int)count, one = 1;
    _ZEM_BLAS_sscal(&n, &s, x, &one);
}
void scale_reals(double *x, ptrdiff_t count, double s)
{
    if (s == 1.0)
        return;
    int n = (int)count, one = 1;
    _ZEM_BLAS_dscal(&n, &s, x, &one);
}

// The engine's complex DFT, natural or out of order, and its real DFT,
// one family per precision.
template <class R> struct Fam;
template <> struct Fam<float> {
    typedef Fxrs32fc C;
    typedef FxrsDFTCtx_C_32fc Ctx;
    typedef FxrsDFTOutOrdCtx_C_32fc OCtx;
    typedef FxrsDFTCtx_R_32f RCtx;
    typedef FxrStatus (*RealFn)(const float *, float *, const RCtx *, uint8_t *);
    static void *&ctx(DftiRecord *r) { return r->ctx_c32; }
    static void *&octx(DftiRecord *r) { return r->ctx_outord_c32; }
    static void *&rctx(DftiRecord *r) { return r->ctx_r32; }
    static float scale(const DftiRecord *r, bool fwd) { return fwd ? r->fwd_scale_s : r->bwd_scale_s; }
    static int init(Ctx **c, int n) { return fxrsDFTInitAlloc_C_32fc(c, n, FXR_FFT_NODIV_BY_ANY, 0); }
    static int bufsize(const Ctx *c, int *n) { return fxrsDFTGetBufSize_C_32fc(c, n); }
    static int run(bool fwd, const C *s, C *d, const Ctx *c, uint8_t *w)
    {
        return fwd ? fxrsDFTFwd_CToC_32fc(s, d, c, w) : fxrsDFTInv_CToC_32fc(s, d, c, w);
    }
    static int init(OCtx **c, int n) { return fxrsDFTOutOrdInitAlloc_C_32fc(c, n, FXR_FFT_NODIV_BY_ANY, 0); }
    static int bufsize(const OCtx *c, int *n) { return fxrsDFTOutOrdGetBufSize_C_32fc(c, n); }
    static int run(bool fwd, const C *s, C *d, const OCtx *c, uint8_t *w)
    {
        return fwd ? fxrsDFTOutOrdFwd_CToC_32fc(s, d, c, w) : fxrsDFTOutOrdInv_CToC_32fc(s, d, c, w);
    }
    static int init(RCtx **c, int n) { return fxrsDFTInitAlloc_R_32f(c, n, FXR_FFT_NODIV_BY_ANY, 0); }
    static int bufsize(const RCtx *c, int *n) { return fxrsDFTGetBufSize_R_32f(c, n); }
    static constexpr RealFn kFwd[3] = {fxrsDFTFwd_RToCCS_32f, fxrsDFTFwd_RToPack_32f, fxrsDFTFwd_RToPerm_32f};
    static constexpr RealFn kInv[3] = {fxrsDFTInv_CCSToR_32f, fxrsDFTInv_PackToR_32f, fxrsDFTInv_PermToR_32f};
};
template <> struct Fam<double> {
    typedef Fxrs64fc C;
    typedef FxrsDFTCtx_C_64fc Ctx;
    typedef FxrsDFTOutOrdCtx_C_64fc OCtx;
    typedef FxrsDFTCtx_R_64f RCtx;
    typedef FxrStatus (*RealFn)(const double *, double *, const RCtx *, uint8_t *);
    static void *&ctx(DftiRecord *r) { return r->ctx_c64; }
    static void *&octx(DftiRecord *r) { return r->ctx_outord_c64; }
    static void *&rctx(DftiRecord *r) { return r->ctx_r64; }
    static double scale(const DftiRecord *r, bool fwd) { return fwd ? r->fwd_scale_d : r->bwd_scale_d; }
    static int init(Ctx **c, int n) { return fxrsDFTInitAlloc_C_64fc(c, n, FXR_FFT_NODIV_BY_ANY, 0); }
    static int bufsize(const Ctx *c, int *n) { return fxrsDFTGetBufSize_C_64fc(c, n); }
    static int run(bool fwd, const C *s, C *d, const Ctx *c, uint8_t *w)
    {
        return fwd ? fxrsDFTFwd_CToC_64fc(s, d, c, w) : fxrsDFTInv_CToC_64fc(s, d, c, w);
    }
    static int init(OCtx **c, int n) { return fxrsDFTOutOrdInitAlloc_C_64fc(c, n, FXR_FFT_NODIV_BY_ANY, 0); }
    static int bufsize(const OCtx *c, int *n) { return fxrsDFTOutOrdGetBufSize_C_64fc(c, n); }
    static int run(bool fwd, const C *s, C *d, const OCtx *c, uint8_t *w)
    {
        return fwd ? fxrsDFTOutOrdFwd_CToC_64fc(s, d, c, w) : fxrsDFTOutOrdInv_CToC_64fc(s, d, c, w);
    }
    static int init(RCtx **c, int n) { return fxrsDFTInitAlloc_R_64f(c, n, FXR_FFT_NODIV_BY_ANY, 0); }
    static int bufsize(const RCtx *c, int *n) { return fxrsDFTGetBufSize_R_64f(c, n); }
    static constexpr RealFn kFwd[3] = {fxrsDFTFwd_RToCCS_64f, fxrsDFTFwd_RToPack_64f, fxrsDFTFwd_RToPerm_64f};
    static constexpr RealFn kInv[3] = {fxrsDFTInv_CCSToR_64f, fxrsDFTInv_PackToR_64f, fxrsDFTInv_PermToR_64f};
};

// Context creation: the natural-order DFT (OUT = false) or the
// out-of-order one; the buffer size becomes the record's work size.
template <class R, bool OUT> int dft_init(DftiRecord *r)
{
    typedef Fam<R> F;
    typedef typename std::conditional<OUT, typename F::OCtx, typename F::Ctx>::type Ctx;
    Ctx *c = nullptr;
    int st = F::init(&c, r->length);
    if (st != fxrStsNoErr)
        return transfer_engine_status(st);
    (OUT ? F::octx(r) : F::ctx(r)) = c;
    int size = 0;
    st = F::bufsize(c, &size);
    r->work_size = size;
    return transfer_engine_status(st);
}

template <class R, bool OUT, bool FWD>
int dft_entry(const void *src, void *dst, DftiRecord *r, uint8_t *scratch)
{
    typedef Fam<R> F;
    typedef typename std::conditional<OUT, typename F::OCtx, typename F::Ctx>::type Ctx;
    int st = F::run(FWD, static_cast<const typename F::C *>(src), static_cast<typename F::C *>(dst),
                    static_cast<const Ctx *>(OUT ? F::octx(r) : F::ctx(r)), scratch);
    if (st != fxrStsNoErr)
        return transfer_engine_status(st);
    scale_reals(static_cast<R *>(dst), 2 * (ptrdiff_t)r->length, F::scale(r, FWD));
    return DFTI_NO_ERROR;
}

int format_index(int packed_format)
{
    return packed_format == DFTI_PACK_FORMAT ? 1 : (packed_format == DFTI_PERM_FORMAT ? 2 : 0);
}

// The packed-format engine functions, without scaling (slots 12 to 15).
template <class R, int FMT, bool FWD>
int packed_entry(const void *src, void *dst, DftiRecord *r, uint8_t *scratch)
{
    typedef Fam<R> F;
    auto fn = FWD ? F::kFwd[FMT] : F::kInv[FMT];
    ptrdiff_t n = r->length;
    if (!FWD && FMT == 1 && src == dst && n % 2 == 0 && n > 1) {
        // In place, the Pack source becomes its Perm form here (the
        // highest frequency moves from the end to index 1, the pairs one
        // up), and the Perm inverse runs on it.
        R *x = static_cast<R *>(dst);
        R top = x[n - 1];
        memmove(x + 2, x + 1, (size_t)(n - 2) * sizeof(R));
        x[1] = top;
        fn = F::kInv[2];
    }
    int st = fn(static_cast<const R *>(src), static_cast<R *>(dst),
                static_cast<const typename F::RCtx *>(F::rctx(r)), scratch);
    return transfer_engine_status(st);
}

template <class R> int real_init(DftiRecord *r)
{
    typedef Fam<R> F;
    typename F::RCtx *c = nullptr;
    int st = F::init(&c, r->length);
    if (st != fxrStsNoErr)
        return transfer_engine_status(st);
    F::rctx(r) = c;
    int size = 0;
    st = F::bufsize(c, &size);
    if (size > r->work_size)
        r->work_size = size;
    return transfer_engine_status(st);
}

// Real forward: the packed-format transform, then the scale over the
// values that can be non-zero.
template <class R> int real_fwd_entry(const void *src, void *dst, DftiRecord *r, uint8_t *scratch)
{
    bool single = sizeof(R) == sizeof(float);
    int st = r->entry[single ? kEntrySPackFwd : kEntryDPackFwd](src, dst, r, scratch);
    if (st != DFTI_NO_ERROR)
        return st;
    ptrdiff_t n = r->length + (r->packed_format == DFTI_CCS_FORMAT ? 1 : 0);
    scale_reals(static_cast<R *>(dst), n, Fam<R>::scale(r, true));
    return DFTI_NO_ERROR;
}

// Real backward: the packed-format inverse; in place from CCS the real
// past the signal is cleared; then the scale.
template <class R> int real_bwd_entry(const void *src, void *dst, DftiRecord *r, uint8_t *scratch)
{
    bool single = sizeof(R) == sizeof(float);
    int st = r->entry[single ? kEntrySPackInv : kEntryDPackInv](src, dst, r, scratch);
    if (st != DFTI_NO_ERROR)
        return st;
    if (r->packed_format == DFTI_CCS_FORMAT && r->placement == DFTI_INPLACE)
        static_cast<R *>(dst)[r->length] = 0;
    scale_reals(static_cast<R *>(dst), r->length, Fam<R>::scale(r, false));
    return DFTI_NO_ERROR;
}

// ---- the radix-4 kernels ------------------------------------------------

template <class R> struct Kern;
template <> struct Kern<float> {
    static void fwd(float *x, int p, const float *t, int P) { zem_dft::fwd_c({x, nullptr}, false, p, t, P); }
    static void bwd(float *x, int p, const float *t, float s, int P) { zem_dft::bwd_c({x, nullptr}, false, p, t, s, P); }
    static void bitrev(float *x, int p) { zem_dft::bitrev_c({x, nullptr}, false, p); }
    static const float *table(const DftiRecord *r) { return static_cast<const float *>(r->coef_table[0]); }
};
template <> struct Kern<double> {
    static void fwd(double *x, int p, const double *t, int P) { zem_dft::fwd_z({x, nullptr}, false, p, t, P); }
    static void bwd(double *x, int p, const double *t, double s, int P) { zem_dft::bwd_z({x, nullptr}, false, p, t, s, P); }
    static void bitrev(double *x, int p) { zem_dft::bitrev_z({x, nullptr}, false, p); }
    static const double *table(const DftiRecord *r) { return static_cast<const double *>(r->coef_table[1]); }
};

// The radix-4 sequence on one line in `pieces` pieces (1: this thread
// only). Forward leaves bit-reversed order unless the record is ordered;
// backward takes that order back; the scale of the direction applies.
template <class R, bool FWD> int radix4(const void *src, void *dst, DftiRecord *r, int pieces)
{
    ptrdiff_t n = r->length;
    R *x = static_cast<R *>(dst);
    if (src != dst)
        memcpy(x, src, (size_t)n * 2 * sizeof(R));
    int p = r->log2_length;
    bool ordered = r->ordering == DFTI_ORDERED;
    R s = Fam<R>::scale(r, FWD);
    if (FWD) {
        Kern<R>::fwd(x, p, Kern<R>::table(r), pieces);
        if (ordered)
            Kern<R>::bitrev(x, p);
        scale_reals(x, 2 * n, s);
    } else {
        if (ordered)
            Kern<R>::bitrev(x, p);
        Kern<R>::bwd(x, p, Kern<R>::table(r), s, pieces);
    }
    return DFTI_NO_ERROR;
}

template <class R, bool FWD> int radix4_entry(const void *src, void *dst, DftiRecord *r, uint8_t *)
{
    return radix4<R, FWD>(src, dst, r, 1);
}

// The parallel form: as many pieces as the largest power of two not above
// the thread count fixed at commit.
template <class R, bool FWD> int radix4_par_entry(const void *src, void *dst, DftiRecord *r, uint8_t *)
{
    int pieces = 1;
    while (pieces * 2 <= r->thread_count && pieces * 2 <= r->length)
        pieces *= 2;
    return radix4<R, FWD>(src, dst, r, pieces);
}

template <class R> int radix4_init(DftiRecord *r)
{
    ptrdiff_t n = r->length;
    // (3n/2 + 32) complex elements in single precision; double precision
    // keeps room for the table's alignment as well.
    const size_t three_n = zem_size_mul(3, n);
    size_t bytes = zem_size_mul(sizeof(R) == sizeof(float) ? zem_size_add(three_n / 2, 32) : zem_size_add(three_n, 64), 8);
    void *t = zem_allocate(bytes);
    if (t == nullptr)
        return DFTI_MEMORY_ERROR;
    r->coef_table[sizeof(R) == sizeof(float) ? 0 : 1] = t;
    if (sizeof(R) == sizeof(float))
        _ZEM_DFT_coef4r22(r->log2_length, static_cast<float *>(t));
    else
        _ZEM_DFT_coef4r22_z(r->log2_length, static_cast<double *>(t));
    return DFTI_NO_ERROR;
}

} // namespace

} // namespace zem_dfti

// The names of the entry points the records point at.
using namespace zem_dfti;
#define ZEM_DFTI_ENTRY(name, ...)                                                      \
    extern "C" int name(const void *s, void *d, DftiRecord *r, uint8_t *w)             \
    {                                                                                  \
        return __VA_ARGS__(s, d, r, w);                                                \
    }
ZEM_DFTI_ENTRY(_ZEM_DFT_xfxrs_fwd_32fc, dft_entry<float, false, true>)
ZEM_DFTI_ENTRY(_ZEM_DFT_xfxrs_inv_32fc, dft_entry<float, false, false>)
ZEM_DFTI_ENTRY(_ZEM_DFT_xfxrs_fwd_64fc, dft_entry<double, false, true>)
ZEM_DFTI_ENTRY(_ZEM_DFT_xfxrs_inv_64fc, dft_entry<double, false, false>)
ZEM_DFTI_ENTRY(_ZEM_DFT_xfxrs_fwd_rev_32fc, dft_entry<float, true, true>)
ZEM_DFTI_ENTRY(_ZEM_DFT_xfxrs_inv_rev_32fc, dft_entry<float, true, false>)
ZEM_DFTI_ENTRY(_ZEM_DFT_xfxrs_fwd_rev_64fc, dft_entry<double, true, true>)
ZEM_DFTI_ENTRY(_ZEM_DFT_xfxrs_inv_rev_64fc, dft_entry<double, true, false>)
ZEM_DFTI_ENTRY(_ZEM_DFT_xfxrs_fwd_rtocomplex_32f, real_fwd_entry<float>)
ZEM_DFTI_ENTRY(_ZEM_DFT_xfxrs_inv_complextor_32f, real_bwd_entry<float>)
ZEM_DFTI_ENTRY(_ZEM_DFT_xfxrs_fwd_rtocomplex_64f, real_fwd_entry<double>)
ZEM_DFTI_ENTRY(_ZEM_DFT_xfxrs_inv_complextor_64f, real_bwd_entry<double>)
ZEM_DFTI_ENTRY(_ZEM_DFT_xcdft1df, radix4_entry<float, true>)
ZEM_DFTI_ENTRY(_ZEM_DFT_xcdft1db, radix4_entry<float, false>)
ZEM_DFTI_ENTRY(_ZEM_DFT_xzdft1df, radix4_entry<double, true>)
ZEM_DFTI_ENTRY(_ZEM_DFT_xzdft1db, radix4_entry<double, false>)
ZEM_DFTI_ENTRY(_ZEM_DFT_c1d_forw_dft, radix4_par_entry<float, true>)
ZEM_DFTI_ENTRY(_ZEM_DFT_c1d_back_dft, radix4_par_entry<float, false>)
ZEM_DFTI_ENTRY(_ZEM_DFT_z1d_forw_dft, radix4_par_entry<double, true>)
ZEM_DFTI_ENTRY(_ZEM_DFT_z1d_back_dft, radix4_par_entry<double, false>)
#undef ZEM_DFTI_ENTRY

namespace zem_dfti {

namespace {
const EngineKind kKinds[2][2] = {
    // natural order, out of order; single then double
    {{dft_init<float, false>, _ZEM_DFT_xfxrs_fwd_32fc, _ZEM_DFT_xfxrs_inv_32fc},
     {dft_init<float, true>, _ZEM_DFT_xfxrs_fwd_rev_32fc, _ZEM_DFT_xfxrs_inv_rev_32fc}},
    {{dft_init<double, false>, _ZEM_DFT_xfxrs_fwd_64fc, _ZEM_DFT_xfxrs_inv_64fc},
     {dft_init<double, true>, _ZEM_DFT_xfxrs_fwd_rev_64fc, _ZEM_DFT_xfxrs_inv_rev_64fc}},
};
const RadixKind kRadix[2] = {
    {radix4_init<float>, _ZEM_DFT_xcdft1df, _ZEM_DFT_xcdft1db, _ZEM_DFT_c1d_forw_dft, _ZEM_DFT_c1d_back_dft},
    {radix4_init<double>, _ZEM_DFT_xzdft1df, _ZEM_DFT_xzdft1db, _ZEM_DFT_z1d_forw_dft, _ZEM_DFT_z1d_back_dft},
};
const DftiEntry kPacked[2][3][2] = {
    {{packed_entry<float, 0, true>, packed_entry<float, 0, false>},
     {packed_entry<float, 1, true>, packed_entry<float, 1, false>},
     {packed_entry<float, 2, true>, packed_entry<float, 2, false>}},
    {{packed_entry<double, 0, true>, packed_entry<double, 0, false>},
     {packed_entry<double, 1, true>, packed_entry<double, 1, false>},
     {packed_entry<double, 2, true>, packed_entry<double, 2, false>}},
};
const RealKind kReal[2] = {
    {real_init<float>, _ZEM_DFT_xfxrs_fwd_rtocomplex_32f, _ZEM_DFT_xfxrs_inv_complextor_32f},
    {real_init<double>, _ZEM_DFT_xfxrs_fwd_rtocomplex_64f, _ZEM_DFT_xfxrs_inv_complextor_64f},
};
} // namespace

// Natural order for ordered and real descriptors, the out-of-order DFT
// otherwise (its forward result may stay scrambled).
const EngineKind *engine_kind_complex(const DftiRecord *r, bool single, bool ordered)
{
    bool natural = ordered || r->forward_domain == DFTI_REAL;
    return &kKinds[single ? 0 : 1][natural ? 0 : 1];
}

const RadixKind *radix_kind(bool single) { return &kRadix[single ? 0 : 1]; }
const RealKind *real_kind(bool single) { return &kReal[single ? 0 : 1]; }
DftiEntry packed_function(bool single, int packed_format, bool forward)
{
    return kPacked[single ? 0 : 1][format_index(packed_format)][forward ? 0 : 1];
}

} // namespace zem_dfti
