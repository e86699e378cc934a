// The serial single-precision matrix-multiply driver: tiles of 256 x 256
// of C scaled by _ZEM_BLAS_sscalm / _ZEM_BLAS_sscalmz, groups of 32 rows
// (then one of 16, the rest by the depth-edge routine), depth blocks of 64,
// remainders by the padded, 48-, 32- and 16-deep kernels on 32 rows.
#include "blas/kernel/default/level1/level1.h"
#include "blas/kernel/default/level3/gemm_plan.h"

namespace {

// The depth-edge routines serve the rows left by the row groups too.
struct SingleTraits : ZEM_GEMM_REAL_TRAITS(s, float, k) {
    static constexpr zem_gemm::Shape<Kernel> kernels[] = {ZEM_GEMM_KERNELS_S(ZEM_GEMM_SHAPE)};
    static constexpr int P = 16, apack_rows = 32; // rows of a micro-panel, of the packed block
    static constexpr int tile_m = 256, tile_n = 256;

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
