// The dsyrk kernel: the rank-k update with one diagonal block of C per thread and
// the rectangles beside them by the splitting gemm.
#include "blas/kernel/default/level3/rank_update_omp.h"

ZEM_RANK_K_KERNEL(dsyrk, double, double)
