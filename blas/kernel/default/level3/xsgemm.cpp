// The serial single-precision matrix-multiply driver: tiles of 256 x 256
// of C scaled by _ZEM_BLAS_sscalm / _ZEM_BLAS_sscalmz, groups of 32 rows
// (then one of 16, the rest by the depth-edge routine), depth blocks of 64,
// remainders by the padded, 48-, 32- and 16-deep kernels on 32 rows.
#include "blas/kernel/default/level1/level1.h"
#include "blas/kernel/default/level3/gemm_real_driver.h"

namespace {

struct SingleTraits : zem_gemm::RealPacking<float, _ZEM_BLAS_sgtran, _ZEM_BLAS_sgtrat, _ZEM_BLAS_sgtranp, _ZEM_BLAS_sgtratp,
                                           _ZEM_BLAS_sgtrbn, _ZEM_BLAS_sgtrbnp, _ZEM_BLAS_sgtrbtp> {
    static constexpr int P = 16;
    static constexpr int tile_m = 256, tile_n = 256;
    static constexpr size_t apack_elems = 32 * 64;
    static constexpr bool rows_by_row_edge = false;
    static constexpr int main_count = 2;
    static const zem_gemm::Shape<float> main_shapes[2];
    static const zem_gemm::Shape<float> padded, rem48, rem32, rem16;
    static const zem_gemm::Edge<float> depth_edges[2][2], row_edges[2][2];

    // beta = 0 stores zeros; any other value multiplies (1 included).
    static void scale(int mb, int nb, T beta, T *c, ptrdiff_t ldc)
    {
        // ldc fits in int: it came from the caller's int argument
        const int ld = (int)ldc;
        if (beta == 0.0f)
            _ZEM_BLAS_sscalmz(&mb, &nb, c, &ld);
        else
            _ZEM_BLAS_sscalm(&mb, &nb, &beta, c, &ld);
    }
};

const zem_gemm::Shape<float> SingleTraits::main_shapes[2] = {{32, _ZEM_BLAS_sin32_64}, {16, _ZEM_BLAS_sin16_64}};
const zem_gemm::Shape<float> SingleTraits::padded = {32, _ZEM_BLAS_sin32_64};
const zem_gemm::Shape<float> SingleTraits::rem48 = {32, _ZEM_BLAS_sin32_48};
const zem_gemm::Shape<float> SingleTraits::rem32 = {32, _ZEM_BLAS_sin32_32};
const zem_gemm::Shape<float> SingleTraits::rem16 = {32, _ZEM_BLAS_sin32_16};
const zem_gemm::Edge<float> SingleTraits::depth_edges[2][2] = {{_ZEM_BLAS_spst_nnk, _ZEM_BLAS_spst_ntk},
                                                               {_ZEM_BLAS_spst_tnk, _ZEM_BLAS_spst_ttk}};
const zem_gemm::Edge<float> SingleTraits::row_edges[2][2] = {{_ZEM_BLAS_spst_nnk, _ZEM_BLAS_spst_ntk},
                                                             {_ZEM_BLAS_spst_tnk, _ZEM_BLAS_spst_ttk}};

} // namespace

extern "C" ZEM_API void _ZEM_BLAS_xsgemm ZEM_P_GEMM(float, float)
{
    zem_gemm::real_gemm<SingleTraits>(transa, transb, m, n, k, alpha, a, lda, b, ldb, beta, c, ldc);
}
