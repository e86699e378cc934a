// The engine's context constructors on any arguments, and the transforms on
// every context they accept: a refused argument returns a status and no
// context, an accepted one computes inside its buffers and frees cleanly.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <vector>
#include "fxrs.h"

namespace {

struct Input {
    const uint8_t *p;
    size_t n;
    uint8_t byte() { return n ? (n--, *p++) : 0; }
    int value()
    {
        uint8_t b = byte();
        return b < 128 ? (int)(int8_t)byte() : (int)(b % 40) - 5;
    }
};

template <class Ctx, class T>
void power_of_two(Input &in, FxrStatus (*init)(Ctx **, int, int, int), FxrStatus (*bufsize)(const Ctx *, int *),
                  FxrStatus (*fwd)(const T *, T *, const Ctx *, uint8_t *),
                  FxrStatus (*inv)(const T *, T *, const Ctx *, uint8_t *), FxrStatus (*release)(Ctx *))
{
    int order = in.value(), flag = in.value(), hint = in.value();
    if (order > 12 && order <= 30)
        order %= 13; // large valid orders only cost time
    Ctx *ctx = nullptr;
    FxrStatus st = init(&ctx, order, flag, hint);
    if (st != 0) {
        if (ctx != nullptr)
            abort(); // a refusal hands out no context
        return;
    }
    int size = -1;
    if (bufsize(ctx, &size) != 0 || size < 0)
        abort();
    size_t len = (size_t)1 << order;
    std::vector<T> src(len), dst(len);
    for (size_t i = 0; i < len; i++)
        memset(&src[i], (int)(i * 13 + in.byte()), sizeof(T) / 2);
    uint8_t *buf = size ? (uint8_t *)fxrsMalloc_8u(size) : nullptr;
    fwd(src.data(), dst.data(), ctx, buf);
    inv(dst.data(), dst.data(), ctx, in.byte() & 1 ? buf : nullptr);
    fxrsFree(buf);
    release(ctx);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in{data, size};
    if (in.byte() & 1)
        power_of_two(in, fxrsFFTInitAlloc_C_32fc, fxrsFFTGetBufSize_C_32fc, fxrsFFTFwd_CToC_32fc,
                     fxrsFFTInv_CToC_32fc, fxrsFFTFree_C_32fc);
    else
        power_of_two(in, fxrsFFTInitAlloc_C_64fc, fxrsFFTGetBufSize_C_64fc, fxrsFFTFwd_CToC_64fc,
                     fxrsFFTInv_CToC_64fc, fxrsFFTFree_C_64fc);
    return 0;
}
