// The serial single-complex matrix-multiply driver. Problems with m, n or k
// below 4 go to the unblocked routine. Otherwise, for tiles of 512 rows by
// 192 columns, C is copied (with beta) into a work tile, op(B) is copied
// per depth block of 64 into the split real/imaginary layout, groups of 8
// rows (then one of 4) of alpha*op(A) are packed and multiplied into the
// work tile, the depth remainder by the deepest of the 48-, 32- and
// 16-deep kernels that fits, the rows and depth left over by the unblocked
// routine, and the tile is copied back.
#include "blas/kernel/default/level3/gemm_plan.h"

namespace {

typedef ZEM_Complex8 X;

struct SingleComplexTraits {
    typedef X E;
    typedef float PA, PB; // groups of four real parts, then four imaginary parts
    typedef void(*Kernel) ZEM_GEMM_KERNEL_ARGS_c;
    typedef void (*Edge)(char, char, int, int, int, X, const X *, ptrdiff_t, const X *, ptrdiff_t, X, X *, ptrdiff_t);
    static constexpr zem_gemm::Shape<Kernel> kernels[] = {ZEM_GEMM_KERNELS_C(ZEM_GEMM_SHAPE)};
    static constexpr bool work_tile = true;
    static constexpr int depth = 64;
    // The work tile holds strips of eight rows, each strip column-major
    // with eight elements per column, so that a kernel's eight rows of
    // consecutive columns are consecutive in memory (a tile of 512 rows
    // kept column-major would put its columns 4096 bytes apart, all in the
    // same cache sets). Inside a strip the unblocked routine works on it
    // like on C with ldc = 8; pieces never cross a strip.
    static constexpr int tile_m = 512, tile_n = 192, rem_cols = tile_n, strip = 8;
    static constexpr ptrdiff_t ldbuf = 2 * depth; // floats per B buffer column
    static constexpr int edge_rows = INT_MAX, edge_cols = INT_MAX;
    static constexpr int pad_from = 0;
    static constexpr int apack_rows = 32; // room in the packed block; a group takes at most 8
    static constexpr size_t tile_bytes = (size_t)tile_m * tile_n * sizeof(X);

    // Blocking does not pay when any dimension is below 4.
    static constexpr bool blocked(int m, int n, int k) { return m >= 4 && n >= 4 && k >= 4; }

    // Packing and B copies by operation: N, T, C.
    static constexpr decltype(&_ZEM_BLAS_cgtran) packs[3] = {_ZEM_BLAS_cgtran, _ZEM_BLAS_cgtrat, _ZEM_BLAS_cgtrac};
    static constexpr decltype(&_ZEM_BLAS_cgcopybn) copies[3] = {_ZEM_BLAS_cgcopybn, _ZEM_BLAS_cgcopybt,
                                                                _ZEM_BLAS_cgcopybc};

    static void pack(zem_gemm::Op oa, const X *a, ptrdiff_t lda, int rows, int depth, int, float *buf, X alpha)
    {
        packs[oa](a, lda, rows, depth, buf, alpha);
    }
    // op(B) is always copied into the split layout.
    static const float *in_place(const X *) { return nullptr; }
    static void copy_b(zem_gemm::Op ob, int nb, int depth, int, const X *b, ptrdiff_t ldb, float *buf)
    {
        copies[ob](nb, depth, b, ldb, buf, ldbuf);
    }
    static void call(Kernel kernel, int nb, const float *ap, const float *b, ptrdiff_t ldb, X *t, ptrdiff_t ldt,
                     const X &)
    {
        kernel(nb, ap, b, ldb, t, ldt);
    }

    // One unblocked routine for every piece, adding to the work tile.
    static Edge edge_for(zem_gemm::Op, zem_gemm::Op, bool) { return _ZEM_BLAS_cgemmpst; }
    template <class P>
    static void edge(Edge fn, const P &pl, int mb, int nb, int kb, const X *a, const X *b, X *t, ptrdiff_t ldt)
    {
        fn(pl.ta, pl.tb, mb, nb, kb, pl.alpha, a, pl.lda, b, pl.ldb, X{1.0f, 0.0f}, t, ldt);
    }

    // The tile copied into the work tile with beta (0, 1 or other), in
    // strips of eight rows, and back.
    static void copy_in(int mb, int nb, const X *c, ptrdiff_t ldc, X *t, ptrdiff_t ldt, X beta)
    {
        if (beta.real == 0.0f && beta.imag == 0.0f)
            _ZEM_BLAS_ccopycf0(mb, nb, c, ldc, t, ldt, beta);
        else if (beta.real == 1.0f && beta.imag == 0.0f)
            _ZEM_BLAS_ccopycf1(mb, nb, c, ldc, t, ldt, beta);
        else
            _ZEM_BLAS_ccopycf(mb, nb, c, ldc, t, ldt, beta);
    }
    static void copy_out(int mb, int nb, X *c, ptrdiff_t ldc, const X *t, ptrdiff_t ldt)
    {
        _ZEM_BLAS_ccopycr(mb, nb, c, ldc, t, ldt);
    }

    // Small problems, or no workspace: the unblocked routine on all of C
    // with the caller's beta (it needs no workspace and gives the same
    // product).
    template <class P>
    static void unblocked(const P &pl)
    {
        _ZEM_BLAS_cgemmpst(pl.ta, pl.tb, pl.m, pl.n, pl.k, pl.alpha, pl.A, pl.lda, pl.B, pl.ldb, pl.beta, pl.C, pl.ldc);
    }
};

} // namespace

extern "C" ZEM_API void _ZEM_BLAS_xcgemm ZEM_P_GEMM(ZEM_Complex8, float)
{
    zem_gemm::gemm<SingleComplexTraits>(transa, transb, m, n, k, alpha, a, lda, b, ldb, beta, c, ldc);
}
