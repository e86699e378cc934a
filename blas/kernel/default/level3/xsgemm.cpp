// The serial single-precision matrix-multiply driver: tiles of 256 x 256
// of C scaled by _ZEM_BLAS_sscalm / _ZEM_BLAS_sscalmz, groups of 32 rows
// (then one of 16, the rest by the depth-edge routine), depth blocks of 64,
// remainders by the padded, 48-, 32- and 16-deep kernels on 32 rows.
#include "blas/kernel/default/level1/level1.h"
#include "blas/kernel/default/level3/gemm_plan.h"

namespace {

struct SingleTraits : zem_gemm::RealTraits<float, _ZEM_BLAS_sgtran, _ZEM_BLAS_sgtrat, _ZEM_BLAS_sgtranp,
                                           _ZEM_BLAS_sgtratp, _ZEM_BLAS_sgtrbn, _ZEM_BLAS_sgtrbnp, _ZEM_BLAS_sgtrbtp> {
    typedef void(*Kernel) ZEM_GEMM_KERNEL_ARGS_s;
    static constexpr zem_gemm::Shape<Kernel> kernels[] = {ZEM_GEMM_KERNELS_S(ZEM_GEMM_SHAPE)};
    static constexpr int P = 16; // rows of a micro-panel
    static constexpr int tile_m = 256, tile_n = 256;
    static constexpr size_t apack_bytes = zem_gemm::largest_block(kernels) * sizeof(float);

    // The depth-edge routines serve the rows left by the row groups too.
    static Edge edge_for(zem_gemm::Op oa, zem_gemm::Op ob, bool)
    {
        static const Edge e[2][2] = {{_ZEM_BLAS_spst_nnk, _ZEM_BLAS_spst_ntk}, {_ZEM_BLAS_spst_tnk, _ZEM_BLAS_spst_ttk}};
        return e[oa != zem_gemm::N][ob != zem_gemm::N];
    }

    // beta = 0 stores zeros; any other value multiplies (1 included).
    static void scale(int mb, int nb, float beta, float *c, ptrdiff_t ldc)
    {
        // ldc fits in int: it came from the caller's int argument
        const int ld = (int)ldc;
        if (beta == 0.0f)
            _ZEM_BLAS_sscalmz(&mb, &nb, c, &ld);
        else
            _ZEM_BLAS_sscalm(&mb, &nb, &beta, c, &ld);
    }
};

} // namespace

extern "C" ZEM_API void _ZEM_BLAS_xsgemm ZEM_P_GEMM(float, float)
{
    zem_gemm::gemm<SingleTraits>(transa, transb, m, n, k, alpha, a, lda, b, ldb, beta, c, ldc);
}
