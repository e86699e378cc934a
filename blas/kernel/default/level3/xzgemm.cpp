// The serial double-complex matrix-multiply driver: tiles of 128 rows by 64
// columns, depth blocks of 32, groups of 16 rows (then 8, 4, and the
// unblocked routine for one to three rows). A is packed without alpha; the
// kernels apply it. Remainder k mod 32: 24 or more by the 24-deep kernel,
// 16 or more by the 16-deep one on 32 rows, the rest unblocked; no
// padding.
#include "blas/kernel/default/level3/gemm_plan.h"

namespace {

typedef ZEM_Complex16 Z;

struct DoubleComplexTraits {
    typedef Z E, PB;
    typedef double PA; // real and imaginary parts adjacent
    typedef void(*Kernel) ZEM_GEMM_KERNEL_ARGS_z;
    typedef void (*Edge)(char, char, int, int, int, Z, const Z *, ptrdiff_t, const Z *, ptrdiff_t, Z, Z *, ptrdiff_t);
    static constexpr zem_gemm::Shape<Kernel> kernels[] = {ZEM_GEMM_KERNELS_Z(ZEM_GEMM_SHAPE)};
    static constexpr bool work_tile = false;
    static constexpr int depth = 32;
    static constexpr int tile_m = 128, tile_n = 64, rem_cols = 64;
    static constexpr ptrdiff_t ldbuf = 32; // complex elements per B buffer column
    static constexpr int edge_rows = INT_MAX, edge_cols = INT_MAX;
    static constexpr int pad_from = 0;
    static constexpr int apack_rows = 16; // rows of the packed block at full depth
    static constexpr size_t tile_bytes = 0;

    static constexpr bool blocked(int, int, int k) { return k > 0; }

    // Packing by operation N, T, C; B copies of B^T and B^H (B itself is
    // read in place).
    static constexpr decltype(&_ZEM_BLAS_zgtran) packs[3] = {_ZEM_BLAS_zgtran, _ZEM_BLAS_zgtrat, _ZEM_BLAS_zgtrac};

    static void pack(zem_gemm::Op oa, const Z *a, ptrdiff_t lda, int rows, int depth, int, double *buf, Z)
    {
        packs[oa](a, lda, rows, depth, buf);
    }
    static const Z *in_place(const Z *b) { return b; }
    static void copy_b(zem_gemm::Op ob, int nb, int depth, int, const Z *b, ptrdiff_t ldb, Z *buf)
    {
        (ob == zem_gemm::T ? _ZEM_BLAS_zgtrbt : _ZEM_BLAS_zgtrbc)(nb, depth, b, ldb, buf, ldbuf);
    }
    static void call(Kernel kernel, int nb, const double *ap, const Z *b, ptrdiff_t ldb, Z *c, ptrdiff_t ldc,
                     const Z &alpha)
    {
        kernel(nb, ap, b, ldb, c, ldc, &alpha);
    }

    // The unblocked product of the two operations, adding to C (beta = 1).
    static Edge edge_for(zem_gemm::Op oa, zem_gemm::Op ob, bool)
    {
        static const Edge e[3][3] = {{_ZEM_BLAS_zpst_nn, _ZEM_BLAS_zpst_nt, _ZEM_BLAS_zpst_nc},
                                     {_ZEM_BLAS_zpst_tn, _ZEM_BLAS_zpst_tt, _ZEM_BLAS_zpst_tc},
                                     {_ZEM_BLAS_zpst_cn, _ZEM_BLAS_zpst_ct, _ZEM_BLAS_zpst_cc}};
        return e[oa][ob];
    }
    template <class P>
    static void edge(Edge fn, const P &pl, int mb, int nb, int kb, const Z *a, const Z *b, Z *c, ptrdiff_t ldc)
    {
        fn(pl.ta, pl.tb, mb, nb, kb, pl.alpha, a, pl.lda, b, pl.ldb, Z{1.0, 0.0}, c, ldc);
    }

    // beta = 0 (both parts) stores zeros, 1 leaves C, anything else is a
    // complex multiply in extended precision.
    static void scale(int mb, int nb, Z beta, Z *c, ptrdiff_t ldc)
    {
        const bool zero = beta.real == 0.0 && beta.imag == 0.0;
        if (beta.real == 1.0 && beta.imag == 0.0)
            return;
        for (ptrdiff_t j = 0; j < nb; ++j) {
            Z *cj = c + j * ldc;
            for (ptrdiff_t i = 0; i < mb; ++i) {
                if (zero) {
                    cj[i].real = 0.0;
                    cj[i].imag = 0.0;
                } else {
                    const long double xr = cj[i].real, xi = cj[i].imag;
                    cj[i].real = (double)(beta.real * xr - beta.imag * xi);
                    cj[i].imag = (double)(beta.real * xi + beta.imag * xr);
                }
            }
        }
    }
};

} // namespace

extern "C" ZEM_API void _ZEM_BLAS_xzgemm ZEM_P_GEMM(ZEM_Complex16, double)
{
    zem_gemm::gemm<DoubleComplexTraits>(transa, transb, m, n, k, alpha, a, lda, b, ldb, beta, c, ldc);
}
