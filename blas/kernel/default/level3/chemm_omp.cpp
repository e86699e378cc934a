// The chemm kernel: the Hermitian product, split into slabs of columns (side L)
// or rows (side R) of B and C.
#include "blas/kernel/default/level3/symm_omp.h"

ZEM_SYMM_KERNEL(chemm, ZEM_Complex8, float)
