// The serial double-precision matrix-multiply driver: tiles of 128 x 128 of
// C, groups of 16 rows (then 8, 4, and the row-edge routine), depth blocks
// of 64, remainders by the padded, 48-, 32- and 16-deep kernels.
#include "blas/kernel/default/level3/gemm_plan.h"

namespace {

struct DoubleTraits : zem_gemm::RealTraits<double, _ZEM_BLAS_dgtran, _ZEM_BLAS_dgtrat, _ZEM_BLAS_dgtranp,
                                           _ZEM_BLAS_dgtratp, _ZEM_BLAS_dgtrbn, _ZEM_BLAS_dgtrbnp, _ZEM_BLAS_dgtrbtp> {
    typedef void(*Kernel) ZEM_GEMM_KERNEL_ARGS_d;
    static constexpr zem_gemm::Shape<Kernel> kernels[] = {ZEM_GEMM_KERNELS_D(ZEM_GEMM_SHAPE)};
    static constexpr int P = 4; // rows of a micro-panel
    static constexpr int tile_m = 128, tile_n = 128;
    static constexpr size_t apack_bytes = zem_gemm::largest_block(kernels) * sizeof(double);

    // The one to three rows left by the row groups of a depth block go to
    // the row-edge routines, every other piece to the depth-edge routines.
    static Edge edge_for(zem_gemm::Op oa, zem_gemm::Op ob, bool rows)
    {
        static const Edge k[2][2] = {{_ZEM_BLAS_dpst_nnk, _ZEM_BLAS_dpst_ntk}, {_ZEM_BLAS_dpst_tnk, _ZEM_BLAS_dpst_ttk}};
        static const Edge m[2][2] = {{_ZEM_BLAS_dpst_nnm, _ZEM_BLAS_dpst_ntm}, {_ZEM_BLAS_dpst_tnm, _ZEM_BLAS_dpst_ttm}};
        return (rows ? m : k)[oa != zem_gemm::N][ob != zem_gemm::N];
    }

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
