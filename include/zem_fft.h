/* Zem Numerics Library: fixed-argument FFT routines.
 *
 * Power-of-two lengths, in place, every argument by reference; each
 * routine is exported under three names (CFFT1D, cfft1d, cfft1d_).
 *
 * One-dimensional routines keep their coefficient table in wsave, an
 * array of reals of the data's precision that the caller owns and fills
 * with a first call with isign = 0 for the length it will use; element 0
 * then holds the length. Complex routines need (3n/2 + 32) complex
 * elements of wsave in single precision and 3n + 32 reals in double; the
 * real routines need 2n reals.
 *
 * Complex isign: 0 builds the table; -1 forward (exponent sign negative),
 * natural order, not scaled; -2 forward, result in bit-reversed order;
 * +1 backward from natural order, scaled by 1/n; +2 backward from
 * bit-reversed order (as left by -2), scaled by 1/n. The two-dimensional
 * complex routines (m x n, first index fastest) take +-1 and +-2 and build
 * their tables themselves.
 *
 * Real routines: the forward ones (SC, DZ) turn n reals into the n/2 + 1
 * non-redundant complex values, stored in n + 2 reals (real part, then
 * imaginary part; elements 1 and n + 1 are 0); the backward ones (CS, ZD)
 * turn them back, divided by n. isign 0 builds the table, any other value
 * with abs(isign) <= 2 computes. Their C forms store the n/2 + 1 real
 * parts first, then the n/2 + 1 imaginary parts. Two-dimensional real
 * routines: m x n reals in an array of (m + 2) x (n + 2) with leading
 * dimension m + 2; each column is transformed into m + 2 reals, then the
 * rows of frequency 0 and m/2 as real sequences (n + 2 reals along the
 * row) and the complex rows as complex sequences of n points. The C forms
 * keep every column and the two real rows in the split order.
 *
 * The split-array complex routines (names ending in C) take the real
 * parts and the imaginary parts in two arrays.
 */
#ifndef ZEM_FFT_H
#define ZEM_FFT_H

#include "zem_service.h"

#ifndef ZEM_COMPLEX_TYPES_DEFINED
#define ZEM_COMPLEX_TYPES_DEFINED
typedef struct { float real, imag; } ZEM_Complex8;
typedef struct { double real, imag; } ZEM_Complex16;
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define ZEM_FFT_THREE(UP, lo, params) \
    ZEM_API void UP params;           \
    ZEM_API void lo params;           \
    ZEM_API void lo##_ params;

ZEM_FFT_THREE(CFFT1D, cfft1d, (ZEM_Complex8 *r, const int *n, const int *isign, float *wsave))
ZEM_FFT_THREE(ZFFT1D, zfft1d, (ZEM_Complex16 *r, const int *n, const int *isign, double *wsave))
ZEM_FFT_THREE(CFFT1DC, cfft1dc, (float *re, float *im, const int *n, const int *isign, float *wsave))
ZEM_FFT_THREE(ZFFT1DC, zfft1dc, (double *re, double *im, const int *n, const int *isign, double *wsave))
ZEM_FFT_THREE(CFFT2D, cfft2d, (ZEM_Complex8 *r, const int *m, const int *n, const int *isign))
ZEM_FFT_THREE(ZFFT2D, zfft2d, (ZEM_Complex16 *r, const int *m, const int *n, const int *isign))
ZEM_FFT_THREE(CFFT2DC, cfft2dc, (float *re, float *im, const int *m, const int *n, const int *isign))
ZEM_FFT_THREE(ZFFT2DC, zfft2dc, (double *re, double *im, const int *m, const int *n, const int *isign))
ZEM_FFT_THREE(SCFFT1D, scfft1d, (float *r, const int *n, const int *isign, float *wsave))
ZEM_FFT_THREE(CSFFT1D, csfft1d, (float *r, const int *n, const int *isign, float *wsave))
ZEM_FFT_THREE(DZFFT1D, dzfft1d, (double *r, const int *n, const int *isign, double *wsave))
ZEM_FFT_THREE(ZDFFT1D, zdfft1d, (double *r, const int *n, const int *isign, double *wsave))
ZEM_FFT_THREE(SCFFT1DC, scfft1dc, (float *r, const int *n, const int *isign, float *wsave))
ZEM_FFT_THREE(CSFFT1DC, csfft1dc, (float *r, const int *n, const int *isign, float *wsave))
ZEM_FFT_THREE(DZFFT1DC, dzfft1dc, (double *r, const int *n, const int *isign, double *wsave))
ZEM_FFT_THREE(ZDFFT1DC, zdfft1dc, (double *r, const int *n, const int *isign, double *wsave))
ZEM_FFT_THREE(SCFFT2D, scfft2d, (float *r, const int *m, const int *n))
ZEM_FFT_THREE(CSFFT2D, csfft2d, (float *r, const int *m, const int *n))
ZEM_FFT_THREE(DZFFT2D, dzfft2d, (double *r, const int *m, const int *n))
ZEM_FFT_THREE(ZDFFT2D, zdfft2d, (double *r, const int *m, const int *n))
ZEM_FFT_THREE(SCFFT2DC, scfft2dc, (float *r, const int *m, const int *n))
ZEM_FFT_THREE(CSFFT2DC, csfft2dc, (float *r, const int *m, const int *n))
ZEM_FFT_THREE(DZFFT2DC, dzfft2dc, (double *r, const int *m, const int *n))
ZEM_FFT_THREE(ZDFFT2DC, zdfft2dc, (double *r, const int *m, const int *n))

/* The routines proper (no entry prologue, no argument check) and their
 * argument checks (nonzero: stop; an error line has been printed unless
 * the length was 0 or 1). */
ZEM_API void _ZEM_DFT_cfft1d(ZEM_Complex8 *r, const int *n, const int *isign, float *wsave);
ZEM_API void _ZEM_DFT_zfft1d(ZEM_Complex16 *r, const int *n, const int *isign, double *wsave);
ZEM_API void _ZEM_DFT_cfft1dc(float *re, float *im, const int *n, const int *isign, float *wsave);
ZEM_API void _ZEM_DFT_zfft1dc(double *re, double *im, const int *n, const int *isign, double *wsave);
ZEM_API void _ZEM_DFT_cfft2d(ZEM_Complex8 *r, const int *m, const int *n, const int *isign);
ZEM_API void _ZEM_DFT_zfft2d(ZEM_Complex16 *r, const int *m, const int *n, const int *isign);
ZEM_API void _ZEM_DFT_cfft2dc(float *re, float *im, const int *m, const int *n, const int *isign);
ZEM_API void _ZEM_DFT_zfft2dc(double *re, double *im, const int *m, const int *n, const int *isign);
ZEM_API void _ZEM_DFT_scfft1d(float *r, const int *n, const int *isign, float *wsave);
ZEM_API void _ZEM_DFT_csfft1d(float *r, const int *n, const int *isign, float *wsave);
ZEM_API void _ZEM_DFT_dzfft1d(double *r, const int *n, const int *isign, double *wsave);
ZEM_API void _ZEM_DFT_zdfft1d(double *r, const int *n, const int *isign, double *wsave);
ZEM_API void _ZEM_DFT_scfft1dc(float *r, const int *n, const int *isign, float *wsave);
ZEM_API void _ZEM_DFT_csfft1dc(float *r, const int *n, const int *isign, float *wsave);
ZEM_API void _ZEM_DFT_dzfft1dc(double *r, const int *n, const int *isign, double *wsave);
ZEM_API void _ZEM_DFT_zdfft1dc(double *r, const int *n, const int *isign, double *wsave);
ZEM_API void _ZEM_DFT_scfft2d(float *r, const int *m, const int *n);
ZEM_API void _ZEM_DFT_csfft2d(float *r, const int *m, const int *n);
ZEM_API void _ZEM_DFT_dzfft2d(double *r, const int *m, const int *n);
ZEM_API void _ZEM_DFT_zdfft2d(double *r, const int *m, const int *n);
ZEM_API void _ZEM_DFT_scfft2dc(float *r, const int *m, const int *n);
ZEM_API void _ZEM_DFT_csfft2dc(float *r, const int *m, const int *n);
ZEM_API void _ZEM_DFT_dzfft2dc(double *r, const int *m, const int *n);
ZEM_API void _ZEM_DFT_zdfft2dc(double *r, const int *m, const int *n);
ZEM_API int _ZEM_DFT_errchk_cfft1d(ZEM_Complex8 *r, const int *n, const int *isign, float *wsave);
ZEM_API int _ZEM_DFT_errchk_zfft1d(ZEM_Complex16 *r, const int *n, const int *isign, double *wsave);
ZEM_API int _ZEM_DFT_errchk_cfft1dc(float *re, float *im, const int *n, const int *isign, float *wsave);
ZEM_API int _ZEM_DFT_errchk_zfft1dc(double *re, double *im, const int *n, const int *isign, double *wsave);
ZEM_API int _ZEM_DFT_errchk_cfft2d(ZEM_Complex8 *r, const int *m, const int *n, const int *isign);
ZEM_API int _ZEM_DFT_errchk_zfft2d(ZEM_Complex16 *r, const int *m, const int *n, const int *isign);
ZEM_API int _ZEM_DFT_errchk_cfft2dc(float *re, float *im, const int *m, const int *n, const int *isign);
ZEM_API int _ZEM_DFT_errchk_zfft2dc(double *re, double *im, const int *m, const int *n, const int *isign);
ZEM_API int _ZEM_DFT_errchk_scfft1d(float *r, const int *n, const int *isign, float *wsave);
ZEM_API int _ZEM_DFT_errchk_csfft1d(float *r, const int *n, const int *isign, float *wsave);
ZEM_API int _ZEM_DFT_errchk_dzfft1d(double *r, const int *n, const int *isign, double *wsave);
ZEM_API int _ZEM_DFT_errchk_zdfft1d(double *r, const int *n, const int *isign, double *wsave);
ZEM_API int _ZEM_DFT_errchk_scfft1dc(float *r, const int *n, const int *isign, float *wsave);
ZEM_API int _ZEM_DFT_errchk_csfft1dc(float *r, const int *n, const int *isign, float *wsave);
ZEM_API int _ZEM_DFT_errchk_dzfft1dc(double *r, const int *n, const int *isign, double *wsave);
ZEM_API int _ZEM_DFT_errchk_zdfft1dc(double *r, const int *n, const int *isign, double *wsave);
ZEM_API int _ZEM_DFT_errchk_scfft2d(float *r, const int *m, const int *n);
ZEM_API int _ZEM_DFT_errchk_csfft2d(float *r, const int *m, const int *n);
ZEM_API int _ZEM_DFT_errchk_dzfft2d(double *r, const int *m, const int *n);
ZEM_API int _ZEM_DFT_errchk_zdfft2d(double *r, const int *m, const int *n);
ZEM_API int _ZEM_DFT_errchk_scfft2dc(float *r, const int *m, const int *n);
ZEM_API int _ZEM_DFT_errchk_csfft2dc(float *r, const int *m, const int *n);
ZEM_API int _ZEM_DFT_errchk_dzfft2dc(double *r, const int *m, const int *n);
ZEM_API int _ZEM_DFT_errchk_zdfft2dc(double *r, const int *m, const int *n);

#undef ZEM_FFT_THREE

#ifdef __cplusplus
}
#endif
#endif
