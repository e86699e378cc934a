// The serial double-precision matrix-multiply driver: tiles of 128 x 128 of
// C, groups of 16 rows (then 8, 4, and the row-edge routine), depth blocks
// of 64, remainders by the padded, 48-, 32- and 16-deep kernels.
#include "blas/kernel/default/level3/gemm_plan.h"

namespace {

// The one to three rows left by the row groups of a depth block go to the
// row-edge routines, every other piece to the depth-edge routines.
struct DoubleTraits : ZEM_GEMM_REAL_TRAITS(d, double, m) {
    static constexpr zem_gemm::Shape<Kernel> kernels[] = {ZEM_GEMM_KERNELS_D(ZEM_GEMM_SHAPE)};
    static constexpr int P = 4, apack_rows = 16; // rows of a micro-panel, of the packed block
    static constexpr int tile_m = 128, tile_n = 128;

    // beta = 0 stores zeros (C is not read), 1 leaves C, anything else
    // multiplies; four rows at a time, then row by row.
    static void scale(int mb, int nb, double beta, double *c, ptrdiff_t ldc)
    {
        if (beta == 1.0)
            return;
        for (ptrdiff_t j = 0; j < nb; ++j) {
            double *cj = c + j * ldc;
            int i = 0;
            if (beta == 0.0) {
                for (; i + 4 <= mb; i += 4)
                    cj[i] = cj[i + 1] = cj[i + 2] = cj[i + 3] = 0.0;
                for (; i < mb; ++i)
                    cj[i] = 0.0;
            } else {
                for (; i + 4 <= mb; i += 4) {
                    cj[i] *= beta;
                    cj[i + 1] *= beta;
                    cj[i + 2] *= beta;
                    cj[i + 3] *= beta;
                }
                for (; i < mb; ++i)
                    cj[i] *= beta;
            }
        }
    }
};

} // namespace

extern "C" ZEM_API void _ZEM_BLAS_xdgemm ZEM_P_GEMM(double, double)
{
    zem_gemm::gemm<DoubleTraits>(transa, transb, m, n, k, alpha, a, lda, b, ldb, beta, c, ldc);
}
