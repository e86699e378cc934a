// The serial double-precision matrix-multiply driver: tiles of 128 x 128 of
// C, groups of 16 rows (then 8, 4, and the row-edge routine), depth blocks
// of 64, remainders by the padded, 48-, 32- and 16-deep kernels.
#include "blas/kernel/default/level3/gemm_real_driver.h"

namespace {

struct DoubleTraits : zem_gemm::RealPacking<double, _ZEM_BLAS_dgtran, _ZEM_BLAS_dgtrat, _ZEM_BLAS_dgtranp, _ZEM_BLAS_dgtratp,
                                           _ZEM_BLAS_dgtrbn, _ZEM_BLAS_dgtrbnp, _ZEM_BLAS_dgtrbtp> {
    static constexpr int P = 4;
    static constexpr int tile_m = 128, tile_n = 128;
    static constexpr size_t apack_elems = 1024;
    static constexpr bool rows_by_row_edge = true;
    static constexpr int main_count = 3;
    static const zem_gemm::Shape<double> main_shapes[3];
    static const zem_gemm::Shape<double> padded, rem48, rem32, rem16;
    static const zem_gemm::Edge<double> depth_edges[2][2], row_edges[2][2];

    // beta = 0 stores zeros (C is not read), 1 leaves C, anything else
    // multiplies; four rows at a time, then row by row.
    static void scale(int mb, int nb, T beta, T *c, ptrdiff_t ldc)
    {
        if (beta == 1.0)
            return;
        for (ptrdiff_t j = 0; j < nb; ++j) {
            T *cj = c + j * ldc;
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

const zem_gemm::Shape<double> DoubleTraits::main_shapes[3] = {
    {16, _ZEM_BLAS_din16_64}, {8, _ZEM_BLAS_din8_64}, {4, _ZEM_BLAS_din4_64}};
const zem_gemm::Shape<double> DoubleTraits::padded = {16, _ZEM_BLAS_din16_64};
const zem_gemm::Shape<double> DoubleTraits::rem48 = {16, _ZEM_BLAS_din16_48};
const zem_gemm::Shape<double> DoubleTraits::rem32 = {32, _ZEM_BLAS_din32_32};
const zem_gemm::Shape<double> DoubleTraits::rem16 = {32, _ZEM_BLAS_din32_16};
const zem_gemm::Edge<double> DoubleTraits::depth_edges[2][2] = {{_ZEM_BLAS_dpst_nnk, _ZEM_BLAS_dpst_ntk},
                                                                {_ZEM_BLAS_dpst_tnk, _ZEM_BLAS_dpst_ttk}};
const zem_gemm::Edge<double> DoubleTraits::row_edges[2][2] = {{_ZEM_BLAS_dpst_nnm, _ZEM_BLAS_dpst_ntm},
                                                              {_ZEM_BLAS_dpst_tnm, _ZEM_BLAS_dpst_ttm}};

} // namespace

extern "C" ZEM_API void _ZEM_BLAS_xdgemm ZEM_P_GEMM(double, double)
{
    zem_gemm::real_gemm<DoubleTraits>(transa, transb, m, n, k, alpha, a, lda, b, ldb, beta, c, ldc);
}
