// _ZEM_BLAS_strsm: the serial driver once, or slabs of B on OpenMP threads
// (gate m or n above 16 and the split dimension above 16, ceiling chunks).
#include "blas/kernel/default/level3/tri3_split.h"

extern "C" ZEM_API void _ZEM_BLAS_strsm ZEM_P_TRMM(float, float)
{
    zem_tri3::split<float, _ZEM_BLAS_xstrsm, zem_tri3::kEitherAndSplit, zem_tri3::kCeiling, true>(
        side, uplo, transa, diag, m, n, alpha, a, lda, b, ldb);
}
