// _ZEM_BLAS_strmm: the serial driver once, or slabs of B on OpenMP threads
// (gate m or n above 16, floor chunks).
#include "blas/kernel/default/level3/tri3_split.h"

extern "C" ZEM_API void _ZEM_BLAS_strmm ZEM_P_TRMM(float, float)
{
    zem_tri3::split<float, _ZEM_BLAS_xstrmm, zem_tri3::kEither, zem_tri3::kFloor, false>(
        side, uplo, transa, diag, m, n, alpha, a, lda, b, ldb);
}
