// One-dimensional entry points that run through the FFT engine, and the
// engine plan kinds commit chooses from. An entry transforms one line of
// the record's length from src to dst with the record's context and the
// thread's scratch, then applies the record's scale for its direction.
#include "dft/kernel/default/f_dft/dfti_plan.h"
#include "fxrs.h"

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
    case 4: fxrsFFTFree_C_32fc(static_cast<FxrsFFTCtx_C_32fc *>(ctx)); break;
    case 7: fxrsFFTFree_C_64fc(static_cast<FxrsFFTCtx_C_64fc *>(ctx)); break;
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

// The power-of-two complex FFT of the engine, one family per precision.
template <class R> struct FftFamily;
template <> struct FftFamily<float> {
    typedef FxrsFFTCtx_C_32fc Ctx;
    typedef Fxrs32fc C;
    static void *&ctx(DftiRecord *r) { return r->ctx_c32; }
    static float scale(const DftiRecord *r, bool fwd) { return fwd ? r->fwd_scale_s : r->bwd_scale_s; }
    static int init(Ctx **c, int order) { return fxrsFFTInitAlloc_C_32fc(c, order, FXR_FFT_NODIV_BY_ANY, 0); }
    static int bufsize(const Ctx *c, int *n) { return fxrsFFTGetBufSize_C_32fc(c, n); }
    static int run(bool fwd, const C *s, C *d, const Ctx *c, uint8_t *w)
    {
        return fwd ? fxrsFFTFwd_CToC_32fc(s, d, c, w) : fxrsFFTInv_CToC_32fc(s, d, c, w);
    }
};
template <> struct FftFamily<double> {
    typedef FxrsFFTCtx_C_64fc Ctx;
    typedef Fxrs64fc C;
    static void *&ctx(DftiRecord *r) { return r->ctx_c64; }
    static double scale(const DftiRecord *r, bool fwd) { return fwd ? r->fwd_scale_d : r->bwd_scale_d; }
    static int init(Ctx **c, int order) { return fxrsFFTInitAlloc_C_64fc(c, order, FXR_FFT_NODIV_BY_ANY, 0); }
    static int bufsize(const Ctx *c, int *n) { return fxrsFFTGetBufSize_C_64fc(c, n); }
    static int run(bool fwd, const C *s, C *d, const Ctx *c, uint8_t *w)
    {
        return fwd ? fxrsFFTFwd_CToC_64fc(s, d, c, w) : fxrsFFTInv_CToC_64fc(s, d, c, w);
    }
};

template <class R> int fft_init(DftiRecord *r)
{
    typedef FftFamily<R> F;
    typename F::Ctx *c = nullptr;
    int st = F::init(&c, r->log2_length);
    if (st != fxrStsNoErr)
        return transfer_engine_status(st);
    F::ctx(r) = c;
    int size = 0;
    st = F::bufsize(c, &size);
    r->work_size = size;
    return transfer_engine_status(st);
}

template <class R, bool FWD> int fft_entry(const void *src, void *dst, DftiRecord *r, uint8_t *scratch)
{
    typedef FftFamily<R> F;
    int st = F::run(FWD, static_cast<const typename F::C *>(src), static_cast<typename F::C *>(dst),
                    static_cast<const typename F::Ctx *>(F::ctx(r)), scratch);
    if (st != fxrStsNoErr)
        return transfer_engine_status(st);
    scale_reals(static_cast<R *>(dst), 2 * (ptrdiff_t)r->length, F::scale(r, FWD));
    return DFTI_NO_ERROR;
}

} // namespace

} // namespace zem_dfti

// The exported names of the entry points the records point at.
using namespace zem_dfti;
extern "C" {
int _ZEM_DFT_xfxrs_fft_fwd_32fc(const void *s, void *d, DftiRecord *r, uint8_t *w)
{
    return fft_entry<float, true>(s, d, r, w);
}
int _ZEM_DFT_xfxrs_fft_inv_32fc(const void *s, void *d, DftiRecord *r, uint8_t *w)
{
    return fft_entry<float, false>(s, d, r, w);
}
int _ZEM_DFT_xfxrs_fft_fwd_64fc(const void *s, void *d, DftiRecord *r, uint8_t *w)
{
    return fft_entry<double, true>(s, d, r, w);
}
int _ZEM_DFT_xfxrs_fft_inv_64fc(const void *s, void *d, DftiRecord *r, uint8_t *w)
{
    return fft_entry<double, false>(s, d, r, w);
}
}

namespace zem_dfti {

namespace {
const EngineKind kFftSingle = {fft_init<float>, _ZEM_DFT_xfxrs_fft_fwd_32fc, _ZEM_DFT_xfxrs_fft_inv_32fc};
const EngineKind kFftDouble = {fft_init<double>, _ZEM_DFT_xfxrs_fft_fwd_64fc, _ZEM_DFT_xfxrs_fft_inv_64fc};
bool power_of_two(int n) { return n > 0 && (n & (n - 1)) == 0; }
} // namespace

// Powers of two run through the engine's FFT directly (its natural order
// also serves the scrambled ordering, which lets the forward result stay
// in any order that the backward transform takes back). Other lengths
// have no engine plan yet: null.
const EngineKind *engine_kind_complex(const DftiRecord *r, bool single, bool)
{
    if (!power_of_two(r->length))
        return nullptr;
    return single ? &kFftSingle : &kFftDouble;
}

} // namespace zem_dfti
