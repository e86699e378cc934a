/* Zem Numerics Library: the FFT engine.
 *
 * A self-contained transform engine with its own aligned allocator.
 * A transform is planned once into a context (InitAlloc), run any number
 * of times, from any number of threads, each with its own work buffer or
 * a null buffer, and released with the matching Free.
 *
 * Complex data are arrays of (real, imaginary) pairs in natural order.
 * The forward transform computes X[k] = sum_j x[j] exp(-2 pi i jk/N),
 * the inverse uses exp(+2 pi i jk/N); neither is scaled unless the
 * normalisation flag given at InitAlloc says so.
 */
#ifndef ZEM_FXRS_H
#define ZEM_FXRS_H

#include <stdint.h>

#ifndef ZEM_API
#define ZEM_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- status codes ---------------------------------------------------- */

typedef int FxrStatus;

enum {
    fxrStsNoErr = 0,
    fxrStsSizeErr = -6,          /* a length below 1 */
    fxrStsNullPtrErr = -8,       /* a required pointer is null */
    fxrStsMemAllocErr = -9,      /* an allocation failed */
    fxrStsFftOrderErr = -15,     /* FFT order outside 0..30 */
    fxrStsFftFlagErr = -16,      /* not one of the four normalisation flags */
    fxrStsContextMatchErr = -17  /* the context is of another kind */
};

/* ---- normalisation flags ------------------------------------------- */

enum {
    FXR_FFT_DIV_FWD_BY_N = 1,  /* forward result times 1/N */
    FXR_FFT_DIV_INV_BY_N = 2,  /* inverse result times 1/N */
    FXR_FFT_DIV_BY_SQRTN = 4,  /* both directions times 1/sqrt(N) */
    FXR_FFT_NODIV_BY_ANY = 8   /* no scaling */
};

/* ---- element types and context handles ------------------------------ */

typedef struct { float re, im; } Fxrs32fc;
typedef struct { double re, im; } Fxrs64fc;

/* Opaque contexts; the first 32-bit word of each is its kind tag. */
typedef struct FxrsFFTCtx_C_32fc FxrsFFTCtx_C_32fc;
typedef struct FxrsFFTCtx_C_64fc FxrsFFTCtx_C_64fc;

/* Prototypes shared by the families. FXRS_CONTEXT_API(Kind, Fam, arg)
 * declares the three context functions of one family, for example with
 * (DFT, R_32f, len):
 *   fxrsDFTInitAlloc_R_32f(FxrsDFTCtx_R_32f **ctx, int len, int flag, int hint)
 *   fxrsDFTFree_R_32f(FxrsDFTCtx_R_32f *ctx)
 *   fxrsDFTGetBufSize_R_32f(const FxrsDFTCtx_R_32f *ctx, int *size)
 * FXRS_TRANSFORM_API(name, Kind, Fam, In, Out) declares one transform
 *   name(const In *src, Out *dst, const FxrsKindCtx_Fam *ctx, uint8_t *buf) */
#define FXRS_CONTEXT_API(Kind, Fam, arg)                                                     \
    ZEM_API FxrStatus fxrs##Kind##InitAlloc_##Fam(Fxrs##Kind##Ctx_##Fam **ctx, int arg,     \
                                                  int flag, int hint);                      \
    ZEM_API FxrStatus fxrs##Kind##Free_##Fam(Fxrs##Kind##Ctx_##Fam *ctx);                   \
    ZEM_API FxrStatus fxrs##Kind##GetBufSize_##Fam(const Fxrs##Kind##Ctx_##Fam *ctx, int *size)
#define FXRS_TRANSFORM_API(name, Kind, Fam, In, Out)                                         \
    ZEM_API FxrStatus name(const In *src, Out *dst, const Fxrs##Kind##Ctx_##Fam *ctx, uint8_t *buf)

/* ---- memory ------------------------------------------------------------ */

/* A block of len bytes aligned to 32 bytes, or NULL (len < 1, or no
 * memory). Release it with fxrsFree, never with free. */
ZEM_API uint8_t *fxrsMalloc_8u(int len);
/* Releases a block of fxrsMalloc_8u; NULL does nothing. */
ZEM_API void fxrsFree(void *ptr);
/* Zero-fills len bytes at ptr (large fills bypass the caches). */
ZEM_API FxrStatus fxrsZero_8u(uint8_t *ptr, int len);

/* ---- power-of-two complex FFT, N = 2^order, order 0..30 -------------- */

/* Plans a transform; on success *ctx receives the new context, on any
 * failure nothing is allocated and *ctx is left as it was. Orders whose
 * tables would pass 2^31 bytes (single from 28, double from 27) fail with
 * fxrStsMemAllocErr. GetBufSize: bytes of work buffer one transform
 * needs (0: none). */
FXRS_CONTEXT_API(FFT, C_32fc, order);
FXRS_CONTEXT_API(FFT, C_64fc, order);

/* src and dst may be the same array. buf: a work buffer of the size
 * reported by GetBufSize (any alignment), or NULL to let the call
 * allocate and free one. Single-precision data need only 8-byte
 * alignment. */
FXRS_TRANSFORM_API(fxrsFFTFwd_CToC_32fc, FFT, C_32fc, Fxrs32fc, Fxrs32fc);
FXRS_TRANSFORM_API(fxrsFFTInv_CToC_32fc, FFT, C_32fc, Fxrs32fc, Fxrs32fc);
FXRS_TRANSFORM_API(fxrsFFTFwd_CToC_64fc, FFT, C_64fc, Fxrs64fc, Fxrs64fc);
FXRS_TRANSFORM_API(fxrsFFTInv_CToC_64fc, FFT, C_64fc, Fxrs64fc, Fxrs64fc);

/* ---- power-of-two real FFT, N = 2^order real values ----------------- */

/* The forward transform of N reals gives X[0..N/2] (X[N-k] is the
 * conjugate of X[k]) in the Perm layout of N reals:
 *   [Re X0, Re X(N/2), Re X1, Im X1, ..., Re X(N/2-1), Im X(N/2-1)]
 * (N = 1: [X0]; N = 2: [X0, X1]); the inverse reads Perm and writes N
 * reals. */
typedef struct FxrsFFTCtx_R_32f FxrsFFTCtx_R_32f;
typedef struct FxrsFFTCtx_R_64f FxrsFFTCtx_R_64f;
FXRS_CONTEXT_API(FFT, R_32f, order);
FXRS_CONTEXT_API(FFT, R_64f, order);
FXRS_TRANSFORM_API(fxrsFFTFwd_RToPerm_32f, FFT, R_32f, float, float);
FXRS_TRANSFORM_API(fxrsFFTInv_PermToR_32f, FFT, R_32f, float, float);
FXRS_TRANSFORM_API(fxrsFFTFwd_RToPerm_64f, FFT, R_64f, double, double);
FXRS_TRANSFORM_API(fxrsFFTInv_PermToR_64f, FFT, R_64f, double, double);

/* ---- any-length DFT, N >= 1 ------------------------------------------- */

/* Complex transforms of any length: fixed kernels up to 4 points, the
 * power-of-two FFT, a mixed-radix plan for lengths whose prime factors
 * are all below 151, a convolution through a power-of-two FFT for longer
 * lengths with a large prime factor, and a direct sum for short primes.
 * GetBufSize reports the bytes of work buffer one transform needs. */
typedef struct FxrsDFTCtx_C_32fc FxrsDFTCtx_C_32fc;
typedef struct FxrsDFTCtx_C_64fc FxrsDFTCtx_C_64fc;
typedef struct FxrsDFTCtx_R_32f FxrsDFTCtx_R_32f;
typedef struct FxrsDFTCtx_R_64f FxrsDFTCtx_R_64f;
typedef struct FxrsDFTOutOrdCtx_C_32fc FxrsDFTOutOrdCtx_C_32fc;
typedef struct FxrsDFTOutOrdCtx_C_64fc FxrsDFTOutOrdCtx_C_64fc;

FXRS_CONTEXT_API(DFT, C_32fc, len);
FXRS_CONTEXT_API(DFT, C_64fc, len);
FXRS_CONTEXT_API(DFT, R_32f, len);
FXRS_CONTEXT_API(DFT, R_64f, len);

FXRS_TRANSFORM_API(fxrsDFTFwd_CToC_32fc, DFT, C_32fc, Fxrs32fc, Fxrs32fc);
FXRS_TRANSFORM_API(fxrsDFTInv_CToC_32fc, DFT, C_32fc, Fxrs32fc, Fxrs32fc);
FXRS_TRANSFORM_API(fxrsDFTFwd_CToC_64fc, DFT, C_64fc, Fxrs64fc, Fxrs64fc);
FXRS_TRANSFORM_API(fxrsDFTInv_CToC_64fc, DFT, C_64fc, Fxrs64fc, Fxrs64fc);

/* Out-of-order complex DFT: for long mixed-radix lengths (from 2001
 * points in single, 5001 in double precision) the forward output, and the
 * inverse input, are in mixed-radix digit-reversed order, which saves the
 * reordering; forward then inverse restores the input. Other lengths give
 * natural order. */
FXRS_CONTEXT_API(DFTOutOrd, C_32fc, len);
FXRS_CONTEXT_API(DFTOutOrd, C_64fc, len);
FXRS_TRANSFORM_API(fxrsDFTOutOrdFwd_CToC_32fc, DFTOutOrd, C_32fc, Fxrs32fc, Fxrs32fc);
FXRS_TRANSFORM_API(fxrsDFTOutOrdInv_CToC_32fc, DFTOutOrd, C_32fc, Fxrs32fc, Fxrs32fc);
FXRS_TRANSFORM_API(fxrsDFTOutOrdFwd_CToC_64fc, DFTOutOrd, C_64fc, Fxrs64fc, Fxrs64fc);
FXRS_TRANSFORM_API(fxrsDFTOutOrdInv_CToC_64fc, DFTOutOrd, C_64fc, Fxrs64fc, Fxrs64fc);

/* Real DFT of any length. Layouts of the N/2+1 (even N) or (N+1)/2 (odd
 * N) non-redundant values:
 *   Perm (N reals): even N as for the real FFT; odd N
 *                   [Re X0, Re X1, Im X1, ..., Re X((N-1)/2), Im X((N-1)/2)]
 *   Pack (N reals): [Re X0, Re X1, Im X1, ..., Re X(N/2)] (odd N: as Perm)
 *   CCS  (N+2 reals for even N, N+1 for odd N): Re Xk, Im Xk for every k
 *                   from 0, the zero imaginary parts included.
 * The inverses never write their source. */
FXRS_TRANSFORM_API(fxrsDFTFwd_RToPerm_32f, DFT, R_32f, float, float);
FXRS_TRANSFORM_API(fxrsDFTFwd_RToPack_32f, DFT, R_32f, float, float);
FXRS_TRANSFORM_API(fxrsDFTFwd_RToCCS_32f, DFT, R_32f, float, float);
FXRS_TRANSFORM_API(fxrsDFTInv_PermToR_32f, DFT, R_32f, float, float);
FXRS_TRANSFORM_API(fxrsDFTInv_PackToR_32f, DFT, R_32f, float, float);
FXRS_TRANSFORM_API(fxrsDFTInv_CCSToR_32f, DFT, R_32f, float, float);
FXRS_TRANSFORM_API(fxrsDFTFwd_RToPerm_64f, DFT, R_64f, double, double);
FXRS_TRANSFORM_API(fxrsDFTFwd_RToPack_64f, DFT, R_64f, double, double);
FXRS_TRANSFORM_API(fxrsDFTFwd_RToCCS_64f, DFT, R_64f, double, double);
FXRS_TRANSFORM_API(fxrsDFTInv_PermToR_64f, DFT, R_64f, double, double);
FXRS_TRANSFORM_API(fxrsDFTInv_PackToR_64f, DFT, R_64f, double, double);
FXRS_TRANSFORM_API(fxrsDFTInv_CCSToR_64f, DFT, R_64f, double, double);

#ifdef __cplusplus
}
#endif
#endif
