// y := x for the four element types. Data are moved, never computed: the
// unit-stride path streams around the caches with non-temporal stores.
#include "blas/kernel/default/level1/dense_vec.h"

namespace zem_l1 {
namespace {

const size_t kBlock = 4096; // bytes pre-touched and then copied as one block

// Copies `bytes` (a multiple of 32) from x to the 16-byte aligned y with
// non-temporal stores; x aligned to 16 bytes when AX.
template <bool AX>
void stream_copy(const char *x, char *y, size_t bytes)
{
    while (bytes >= kBlock) {
        for (size_t k = 0; k < kBlock; k += 32)
            prefetch<zem_kernel::Stream>(x, k);
        for (size_t k = 0; k < kBlock; k += 64) {
            __m128 a = ld<AX>((const float *)(x + k));
            __m128 b = ld<AX>((const float *)(x + k + 16));
            __m128 c = ld<AX>((const float *)(x + k + 32));
            __m128 d = ld<AX>((const float *)(x + k + 48));
            _mm_stream_ps((float *)(y + k), a);
            _mm_stream_ps((float *)(y + k + 16), b);
            _mm_stream_ps((float *)(y + k + 32), c);
            _mm_stream_ps((float *)(y + k + 48), d);
        }
        x += kBlock;
        y += kBlock;
        bytes -= kBlock;
    }
    for (; bytes >= 32; bytes -= 32) {
        prefetch<zem_kernel::Stream>(x, 128);
        __m128 a = ld<AX>((const float *)x);
        __m128 b = ld<AX>((const float *)(x + 16));
        _mm_stream_ps((float *)y, a);
        _mm_stream_ps((float *)(y + 16), b);
        x += 32;
        y += 32;
    }
    _mm_sfence();
}

template <class T>
void copy_kernel(int n_, const T *xt, int incx, T *yt, int incy)
{
    typedef raw<sizeof(T)> E;
    const E *x = (const E *)xt;
    E *y = (E *)yt;
    ptrdiff_t n = n_;
    if (n <= 0)
        return;
    if (incx == 1 && incy == 1) {
        ptrdiff_t peel = peel_count(y, sizeof(E), 32);
        if (peel < 0) {
            // y can never be 16-byte aligned (an element-misaligned base):
            // plain unaligned moves.
            ptrdiff_t i = 0;
            const ptrdiff_t per = 16 / (ptrdiff_t)sizeof(E);
            for (; i + per <= n; i += per)
                _mm_storeu_ps((float *)(y + i), _mm_loadu_ps((const float *)(x + i)));
            for (; i < n; ++i)
                y[i] = x[i];
            return;
        }
        if (peel > n)
            peel = n;
        ptrdiff_t i = 0;
        for (; i < peel; ++i)
            y[i] = x[i];
        size_t bytes = (size_t)(n - i) * sizeof(E) & ~(size_t)31;
        if (bytes) {
            if (misalign(x + i, 16) == 0)
                stream_copy<true>((const char *)(x + i), (char *)(y + i), bytes);
            else
                stream_copy<false>((const char *)(x + i), (char *)(y + i), bytes);
            i += (ptrdiff_t)(bytes / sizeof(E));
        }
        for (; i < n; ++i)
            y[i] = x[i];
        return;
    }
    ptrdiff_t ix = first_offset(n_, incx), iy = first_offset(n_, incy);
    ptrdiff_t i = 0;
    for (; i + 4 <= n; i += 4) {
        for (int u = 0; u < 4; ++u) {
            prefetch<zem_kernel::Stream>(x, ix + 4 * (ptrdiff_t)incx);
            prefetch<zem_kernel::Stream>(y, iy + 4 * (ptrdiff_t)incy);
            y[iy] = x[ix];
            ix += incx;
            iy += incy;
        }
    }
    for (; i < n; ++i) {
        y[iy] = x[ix];
        ix += incx;
        iy += incy;
    }
}

} // namespace
} // namespace zem_l1

using namespace zem_l1;

extern "C" ZEM_API void _ZEM_BLAS_scopy ZEM_P_COPY(float, float) { copy_kernel(*n, x, *incx, y, *incy); }
extern "C" ZEM_API void _ZEM_BLAS_dcopy ZEM_P_COPY(double, double) { copy_kernel(*n, x, *incx, y, *incy); }
extern "C" ZEM_API void _ZEM_BLAS_ccopy ZEM_P_COPY(ZEM_Complex8, float) { copy_kernel(*n, x, *incx, y, *incy); }
extern "C" ZEM_API void _ZEM_BLAS_zcopy ZEM_P_COPY(ZEM_Complex16, double) { copy_kernel(*n, x, *incx, y, *incy); }
