// The engine's own memory: a 32-byte aligned allocator over the C library
// and a zero fill that bypasses the caches for large blocks.
#include <stddef.h>
#include <stdlib.h>
#include <stdint.h>
#include <xmmintrin.h>
#include <mmintrin.h>

#include "fxrs.h"

namespace {
// The raw address of a block is kept in the slot just below the aligned
// address: one 32-bit word on i386, a pointer-wide slot on x86_64.
constexpr size_t kSlot = sizeof(void *) < 4 ? 4 : sizeof(void *);
constexpr size_t kExtra = 32 + kSlot;  // 36 bytes on i386, 40 on x86_64
constexpr int kStreamFrom = 20480;     // fills from this size bypass the caches
} // namespace

extern "C" ZEM_API uint8_t *fxrsMalloc_8u(int len)
{
    if (len < 1)
        return nullptr;
    void *raw = malloc((size_t)len + kExtra);
    if (!raw)
        return nullptr;
    uintptr_t a = ((uintptr_t)raw + kExtra - 1) & ~(uintptr_t)31;
    ((void **)a)[-1] = raw;
    return (uint8_t *)a;
}

extern "C" ZEM_API void fxrsFree(void *ptr)
{
    if (!ptr)
        return;
    free(((void **)ptr)[-1]);
}

extern "C" ZEM_API FxrStatus fxrsZero_8u(uint8_t *ptr, int len)
{
    if (!ptr)
        return fxrStsNullPtrErr;
    if (len < 1)
        return fxrStsSizeErr;
    uint8_t *p = ptr, *end = ptr + len;
    while (((uintptr_t)p & 7) && p < end)
        *p++ = 0;
    ptrdiff_t words = (end - p) / 8;
    if (len >= kStreamFrom) {
        __m64 z = _mm_setzero_si64();
        __m64 *q = (__m64 *)p;
        for (ptrdiff_t i = 0; i < words; ++i)
            _mm_stream_pi(q + i, z);
        _mm_empty();
        _mm_sfence();
    } else {
        uint64_t *q = (uint64_t *)p;
        for (ptrdiff_t i = 0; i < words; ++i)
            q[i] = 0;
    }
    p += words * 8;
    while (p < end)
        *p++ = 0;
    return fxrStsNoErr;
}
