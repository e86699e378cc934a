/* Matrix helpers of the dense vector kernels, used by the level-3 drivers.
 * All arguments by reference. A negative lda counts as 0; nothing happens
 * when n < 1, and no column is touched when m < 1. */
#ifndef ZEM_BLAS_LEVEL1_H
#define ZEM_BLAS_LEVEL1_H

#include "zem_service.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Multiplies each of the n columns of the m-by-n column-major matrix a by
 * alpha, in single precision. */
ZEM_API void _ZEM_BLAS_sscalm(const int *m, const int *n, const float *alpha, float *a, const int *lda);

/* Sets the m-by-n column-major matrix a to zero. */
ZEM_API void _ZEM_BLAS_sscalmz(const int *m, const int *n, float *a, const int *lda);

#ifdef __cplusplus
}
#endif

#endif
