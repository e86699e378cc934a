// The single-precision cross product C := X^T*Y, slices of rows in parallel.
#include "blas/kernel/default/level3/xsexy_omp.h"

extern "C" ZEM_API void _ZEM_BLAS_xssexy ZEM_P_SEXY(float, float)
{
    zem_sym::cross_product<float>(len, n, x, y, c);
}
