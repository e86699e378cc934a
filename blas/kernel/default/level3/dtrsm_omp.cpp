// _ZEM_BLAS_dtrsm: the serial driver once, or slabs of B on OpenMP threads
// (gate m or n above 16, floor chunks).
#include "blas/kernel/default/level3/tri3_split.h"

extern "C" ZEM_API void _ZEM_BLAS_dtrsm ZEM_P_TRMM(double, double)
{
    zem_tri3::split<double, _ZEM_BLAS_xdtrsm, zem_tri3::kEither, zem_tri3::kFloor, true>(
        side, uplo, transa, diag, m, n, alpha, a, lda, b, ldb);
}
