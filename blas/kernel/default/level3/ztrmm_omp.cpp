// _ZEM_BLAS_ztrmm: the serial driver once, or slabs of B on OpenMP threads
// (gate m and n above 16, ceiling chunks).
#include "blas/kernel/default/level3/tri3_split.h"

extern "C" ZEM_API void _ZEM_BLAS_ztrmm ZEM_P_TRMM(ZEM_Complex16, double)
{
    zem_tri3::split<ZEM_Complex16, _ZEM_BLAS_xztrmm, zem_tri3::kBoth, zem_tri3::kCeiling, false>(
        side, uplo, transa, diag, m, n, alpha, a, lda, b, ldb);
}
