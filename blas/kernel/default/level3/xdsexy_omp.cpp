// The double-precision cross product C := X^T*Y, slices of rows in parallel.
#include "blas/kernel/default/level3/xsexy_omp.h"

extern "C" ZEM_API void _ZEM_BLAS_xdsexy ZEM_P_SEXY(double, double)
{
    zem_sym::cross_product<double>(len, n, x, y, c);
}
