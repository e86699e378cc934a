// The split-array complex FFT routines: real parts and imaginary parts in
// two arrays, the same passes as the interleaved ones.
#include "dft/kernel/default/f_fft/fft_checks.h"
#include "dft/kernel/default/f_fft/legacy_fft.h"

using namespace zem_dft;

#define ZEM_SPLIT_1D(UP, lo, T, NAME)                                                    \
    extern "C" ZEM_API int _ZEM_DFT_errchk_##lo(T *re, T *im, const int *n, const int *isign, T *wsave) \
    {                                                                                    \
        if (int s = check_1d<T>(NAME, *n, *isign, wsave, 3, false))                      \
            return s;                                                                    \
        if (re == nullptr)                                                               \
            return report(NAME, 1);                                                      \
        return im == nullptr ? report(NAME, 2) : 0;                                      \
    }                                                                                    \
    extern "C" ZEM_API void _ZEM_DFT_##lo(T *re, T *im, const int *n, const int *isign, T *wsave) \
    {                                                                                    \
        fft1d<T>(Buf<T>{re, im}, true, *n, *isign, wsave);                               \
    }                                                                                    \
    ZEM_FFT_ENTRY(UP, lo, (T * re, T * im, const int *n, const int *isign, T *wsave),    \
                  (re, im, n, isign, wsave))

ZEM_SPLIT_1D(CFFT1DC, cfft1dc, float, "CFFT1DC")
ZEM_SPLIT_1D(ZFFT1DC, zfft1dc, double, "ZFFT1DC")

#define ZEM_SPLIT_2D(UP, lo, T, NAME)                                                    \
    extern "C" ZEM_API int _ZEM_DFT_errchk_##lo(T *re, T *im, const int *m, const int *n, const int *isign) \
    {                                                                                    \
        if (int s = check_2d(NAME, *m, *n, isign, 3))                                    \
            return s;                                                                    \
        if (re == nullptr)                                                               \
            return report(NAME, 1);                                                      \
        return im == nullptr ? report(NAME, 2) : 0;                                      \
    }                                                                                    \
    extern "C" ZEM_API void _ZEM_DFT_##lo(T *re, T *im, const int *m, const int *n, const int *isign) \
    {                                                                                    \
        if (re != nullptr && im != nullptr)                                              \
            fft2d<T>(Buf<T>{re, im}, true, *m, *n, *isign, NAME);                        \
    }                                                                                    \
    ZEM_FFT_ENTRY(UP, lo, (T * re, T * im, const int *m, const int *n, const int *isign), \
                  (re, im, m, n, isign))

ZEM_SPLIT_2D(CFFT2DC, cfft2dc, float, "CFFT2DC")
ZEM_SPLIT_2D(ZFFT2DC, zfft2dc, double, "ZFFT2DC")
