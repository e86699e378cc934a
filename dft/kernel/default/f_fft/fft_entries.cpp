// The interleaved fixed-argument FFT routines: complex one- and
// two-dimensional, real one- and two-dimensional, with their checks.
#include "dft/kernel/default/f_fft/fft_checks.h"
#include "dft/kernel/default/f_fft/legacy_fft.h"

using namespace zem_dft;

// ---- complex -----------------------------------------------------------------------
#define ZEM_COMPLEX_1D(UP, lo, C, T, NAME)                                               \
    extern "C" ZEM_API int _ZEM_DFT_errchk_##lo(C *r, const int *n, const int *isign, T *wsave) \
    {                                                                                    \
        if (int s = check_1d<T>(NAME, *n, *isign, wsave, 2, false))                      \
            return s;                                                                    \
        return r == nullptr ? report(NAME, 1) : 0;                                       \
    }                                                                                    \
    extern "C" ZEM_API void _ZEM_DFT_##lo(C *r, const int *n, const int *isign, T *wsave) \
    {                                                                                    \
        fft1d<T>(Buf<T>{(T *)r, nullptr}, false, *n, *isign, wsave);                     \
    }                                                                                    \
    ZEM_FFT_ENTRY(UP, lo, (C * r, const int *n, const int *isign, T *wsave), (r, n, isign, wsave))

ZEM_COMPLEX_1D(CFFT1D, cfft1d, ZEM_Complex8, float, "CFFT1D  ")
ZEM_COMPLEX_1D(ZFFT1D, zfft1d, ZEM_Complex16, double, "ZFFT1D  ")

#define ZEM_COMPLEX_2D(UP, lo, C, T, NAME)                                               \
    extern "C" ZEM_API int _ZEM_DFT_errchk_##lo(C *r, const int *m, const int *n, const int *isign) \
    {                                                                                    \
        if (int s = check_2d(NAME, *m, *n, isign, 2))                                    \
            return s;                                                                    \
        return r == nullptr ? report(NAME, 1) : 0;                                       \
    }                                                                                    \
    extern "C" ZEM_API void _ZEM_DFT_##lo(C *r, const int *m, const int *n, const int *isign) \
    {                                                                                    \
        if (r != nullptr)                                                                \
            fft2d<T>(Buf<T>{(T *)r, nullptr}, false, *m, *n, *isign, NAME);              \
    }                                                                                    \
    ZEM_FFT_ENTRY(UP, lo, (C * r, const int *m, const int *n, const int *isign), (r, m, n, isign))

ZEM_COMPLEX_2D(CFFT2D, cfft2d, ZEM_Complex8, float, "CFFT2D  ")
ZEM_COMPLEX_2D(ZFFT2D, zfft2d, ZEM_Complex16, double, "ZFFT2D  ")

// ---- real ----------------------------------------------------------------------------
#define ZEM_REAL_1D(UP, lo, T, FWD, NAME, CALL)                                         \
    extern "C" ZEM_API int _ZEM_DFT_errchk_##lo(T *r, const int *n, const int *isign, T *wsave) \
    {                                                                                    \
        if (int s = check_1d<T>(NAME, *n, *isign, wsave, 2, true))                       \
            return s;                                                                    \
        return r == nullptr ? report(NAME, 1) : 0;                                       \
    }                                                                                    \
    extern "C" ZEM_API void _ZEM_DFT_##lo(T *r, const int *n, const int *isign, T *wsave) { CALL; } \
    ZEM_FFT_ENTRY(UP, lo, (T * r, const int *n, const int *isign, T *wsave), (r, n, isign, wsave))

ZEM_REAL_1D(SCFFT1D, scfft1d, float, true, "SCFFT1D ", real1d_entry<float>(r, *n, *isign, wsave, true))
ZEM_REAL_1D(CSFFT1D, csfft1d, float, false, "CSFFT1D ", real1d_entry<float>(r, *n, *isign, wsave, false))
ZEM_REAL_1D(DZFFT1D, dzfft1d, double, true, "DZFFT1D ", real1d_entry<double>(r, *n, *isign, wsave, true))
ZEM_REAL_1D(ZDFFT1D, zdfft1d, double, false, "ZDFFT1D ", real1d_entry<double>(r, *n, *isign, wsave, false))
ZEM_REAL_1D(SCFFT1DC, scfft1dc, float, true, "SCFFT1DC",
            real1d_split_entry<float>(r, *n, *isign, wsave, true, "SCFFT1DC"))
ZEM_REAL_1D(CSFFT1DC, csfft1dc, float, false, "CSFFT1DC",
            real1d_split_entry<float>(r, *n, *isign, wsave, false, "CSFFT1DC"))
ZEM_REAL_1D(DZFFT1DC, dzfft1dc, double, true, "DZFFT1DC",
            real1d_split_entry<double>(r, *n, *isign, wsave, true, "DZFFT1DC"))
ZEM_REAL_1D(ZDFFT1DC, zdfft1dc, double, false, "ZDFFT1DC",
            real1d_split_entry<double>(r, *n, *isign, wsave, false, "ZDFFT1DC"))

#define ZEM_REAL_2D(UP, lo, T, FWD, SPLIT, NAME)                                        \
    extern "C" ZEM_API int _ZEM_DFT_errchk_##lo(T *r, const int *m, const int *n)       \
    {                                                                                    \
        if (int s = check_2d(NAME, *m, *n, nullptr, 2))                                  \
            return s;                                                                    \
        return r == nullptr ? report(NAME, 1) : 0;                                       \
    }                                                                                    \
    extern "C" ZEM_API void _ZEM_DFT_##lo(T *r, const int *m, const int *n)             \
    {                                                                                    \
        real2d<T>(r, *m, *n, FWD, SPLIT, NAME);                                          \
    }                                                                                    \
    ZEM_FFT_ENTRY(UP, lo, (T * r, const int *m, const int *n), (r, m, n))

ZEM_REAL_2D(SCFFT2D, scfft2d, float, true, false, "SCFFT2D ")
ZEM_REAL_2D(CSFFT2D, csfft2d, float, false, false, "CSFFT2D ")
ZEM_REAL_2D(DZFFT2D, dzfft2d, double, true, false, "DZFFT2D ")
ZEM_REAL_2D(ZDFFT2D, zdfft2d, double, false, false, "ZDFFT2D ")
ZEM_REAL_2D(SCFFT2DC, scfft2dc, float, true, true, "SCFFT2DC")
ZEM_REAL_2D(CSFFT2DC, csfft2dc, float, false, true, "CSFFT2DC")
ZEM_REAL_2D(DZFFT2DC, dzfft2dc, double, true, true, "DZFFT2DC")
ZEM_REAL_2D(ZDFFT2DC, zdfft2dc, double, false, true, "ZDFFT2DC")
