// The engine's any-length DFT contexts (complex, out-of-order complex,
// real) on any length, flag and hint, and every transform of an accepted
// context on fuzzed data. Sources, destinations and work buffers are
// allocated at exactly their size (the address sanitizer guards both
// ends); a refused InitAlloc hands out no context; an accepted context
// computes with status 0, in and out of place, with and without a buffer,
// and frees cleanly.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "fxrs.h"

namespace {

struct Input {
    const uint8_t *p;
    size_t n;
    uint8_t byte() { return n ? (n--, *p++) : 0; }
    int word() { return (int)(int16_t)(byte() | byte() << 8); }
    // mostly a small valid code, sometimes anything
    int code() { return byte() < 200 ? byte() % 10 : (int)(byte() | byte() << 8 | byte() << 16 | byte() << 24); }
};

// An array of exactly `count` elements of T from the fuzzed bytes.
template <class T> T *filled(Input &in, size_t count)
{
    T *a = (T *)malloc(count * sizeof(T));
    uint8_t *b = (uint8_t *)a;
    for (size_t i = 0; i < count * sizeof(T); ++i)
        b[i] = in.n ? in.byte() : (uint8_t)(i * 37);
    return a;
}

void check(FxrStatus st)
{
    if (st != fxrStsNoErr)
        abort(); // an accepted context on valid buffers computes
}

// Work buffer of exactly the reported size, or none (the transform then
// allocates its own).
template <class Ctx> uint8_t *work(Input &in, const Ctx *c, FxrStatus (*size_of)(const Ctx *, int *))
{
    int size = -1;
    if (size_of(c, &size) != fxrStsNoErr || size < 0)
        abort();
    return size > 0 && (in.byte() & 1) ? (uint8_t *)malloc(size) : nullptr;
}

template <class Ctx, class T>
void complex_ctx(Input &in, int len, FxrStatus (*init)(Ctx **, int, int, int), FxrStatus (*size_of)(const Ctx *, int *),
                 FxrStatus (*fwd)(const T *, T *, const Ctx *, uint8_t *),
                 FxrStatus (*inv)(const T *, T *, const Ctx *, uint8_t *), FxrStatus (*release)(Ctx *))
{
    const int flag = in.code(), hint = in.code();
    Ctx *c = nullptr;
    if (init(&c, len, flag, hint) != fxrStsNoErr) {
        if (c != nullptr)
            abort(); // a refusal hands out no context
        return;
    }
    uint8_t *buf = work(in, c, size_of);
    T *x = filled<T>(in, len), *y = (T *)malloc(len * sizeof(T));
    check(fwd(x, y, c, buf));
    check(inv(y, y, c, buf));
    check(inv(x, x, c, nullptr));
    free(x);
    free(y);
    free(buf);
    check(release(c));
}

// Packed layouts: Perm and Pack take len reals, CCS len + 2 (odd: len + 1).
template <class Ctx, class T> struct RealForms {
    typedef FxrStatus (*Fn)(const T *, T *, const Ctx *, uint8_t *);
    Fn fwd[3], inv[3];
};

template <class Ctx, class T>
void real_ctx(Input &in, int len, FxrStatus (*init)(Ctx **, int, int, int), FxrStatus (*size_of)(const Ctx *, int *),
              const RealForms<Ctx, T> &forms, FxrStatus (*release)(Ctx *))
{
    const int flag = in.code(), hint = in.code();
    Ctx *c = nullptr;
    if (init(&c, len, flag, hint) != fxrStsNoErr) {
        if (c != nullptr)
            abort();
        return;
    }
    uint8_t *buf = work(in, c, size_of);
    const int form = in.byte() % 3;
    const size_t packed = form == 2 ? 2 * (size_t)(len / 2 + 1) : (size_t)len;
    T *x = filled<T>(in, len), *y = (T *)malloc(packed * sizeof(T)), *z = (T *)malloc(len * sizeof(T));
    check(forms.fwd[form](x, y, c, buf));
    check(forms.inv[form](y, z, c, buf));
    T *w = (T *)malloc(packed * sizeof(T)); // in place
    memcpy(w, x, len * sizeof(T));
    check(forms.fwd[form](w, w, c, nullptr));
    check(forms.inv[form](w, w, c, nullptr));
    free(x);
    free(y);
    free(z);
    free(w);
    free(buf);
    check(release(c));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in{data, size};
    const int which = in.byte() % 6;
    int len = in.word();
    if (len > 2048)
        len %= 2048; // long lengths only cost time
    switch (which) {
    case 0:
        complex_ctx(in, len, fxrsDFTInitAlloc_C_32fc, fxrsDFTGetBufSize_C_32fc, fxrsDFTFwd_CToC_32fc,
                    fxrsDFTInv_CToC_32fc, fxrsDFTFree_C_32fc);
        break;
    case 1:
        complex_ctx(in, len, fxrsDFTInitAlloc_C_64fc, fxrsDFTGetBufSize_C_64fc, fxrsDFTFwd_CToC_64fc,
                    fxrsDFTInv_CToC_64fc, fxrsDFTFree_C_64fc);
        break;
    case 2:
        complex_ctx(in, len, fxrsDFTOutOrdInitAlloc_C_32fc, fxrsDFTOutOrdGetBufSize_C_32fc,
                    fxrsDFTOutOrdFwd_CToC_32fc, fxrsDFTOutOrdInv_CToC_32fc, fxrsDFTOutOrdFree_C_32fc);
        break;
    case 3:
        complex_ctx(in, len, fxrsDFTOutOrdInitAlloc_C_64fc, fxrsDFTOutOrdGetBufSize_C_64fc,
                    fxrsDFTOutOrdFwd_CToC_64fc, fxrsDFTOutOrdInv_CToC_64fc, fxrsDFTOutOrdFree_C_64fc);
        break;
    case 4:
        real_ctx(in, len, fxrsDFTInitAlloc_R_32f, fxrsDFTGetBufSize_R_32f,
                 RealForms<FxrsDFTCtx_R_32f, float>{{fxrsDFTFwd_RToPerm_32f, fxrsDFTFwd_RToPack_32f, fxrsDFTFwd_RToCCS_32f},
                                                    {fxrsDFTInv_PermToR_32f, fxrsDFTInv_PackToR_32f, fxrsDFTInv_CCSToR_32f}},
                 fxrsDFTFree_R_32f);
        break;
    default:
        real_ctx(in, len, fxrsDFTInitAlloc_R_64f, fxrsDFTGetBufSize_R_64f,
                 RealForms<FxrsDFTCtx_R_64f, double>{{fxrsDFTFwd_RToPerm_64f, fxrsDFTFwd_RToPack_64f, fxrsDFTFwd_RToCCS_64f},
                                                     {fxrsDFTInv_PermToR_64f, fxrsDFTInv_PackToR_64f, fxrsDFTInv_CCSToR_64f}},
                 fxrsDFTFree_R_64f);
    }
    return 0;
}
