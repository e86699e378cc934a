// The zher2k kernel: the rank-2k update with one diagonal block of C per thread and
// the rectangles beside them by the splitting gemm.
#include "blas/kernel/default/level3/rank_update_omp.h"

ZEM_RANK_2K_KERNEL(zher2k, ZEM_Complex16, double)
