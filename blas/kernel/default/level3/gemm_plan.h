/* The serial matrix-multiply plan of all four types. C is taken tile by
 * tile: beta is applied to the tile (single complex: the tile is copied
 * into a work tile with beta), then each depth block is multiplied in: op(B)
 * read in place or copied into the B buffer, groups of rows of op(A)
 * packed and handed to the inner kernels, the rows left over to the
 * unblocked edge routine. The depth remainder (k mod the depth block) then
 * runs over all of C, or over each tile for the work-tile type: padded to
 * the full depth when the type pads and the remainder is deep enough,
 * else the deepest shallower kernel that fits, and the edge routine for
 * what no kernel takes.
 *
 * Each type's traits (in its driver file, xsgemm.cpp ... xzgemm.cpp) name
 * the element types, the block sizes, the kernel table (expanded from the
 * type's kernel list in gemm_kernels.h), the packing and copy routines,
 * how beta is applied and which edge routine serves which operations.
 *
 * Work memory comes in one piece from the per-thread cache of
 * _ZEM_SERV_allocate (not the stack, so OpenMP workers need no larger
 * stacks); its layout follows from the block sizes (Workspace below). When
 * it cannot be obtained the driver still computes the full product with
 * the unblocked routines.
 *
 * The files of the matrix multiply: gemm_omp.cpp (serial or parallel),
 * this plan, x<t>gemm.cpp (each type's traits and serial driver),
 * gemm_kernels.h (declarations and each type's kernel list),
 * gemm_inner_<t>.cpp (inner kernels), gemm_pack_real.cpp, gemm_pack_z.cpp
 * and gemm_pack_c.cpp (packing of op(A), copies of op(B)), gemm_tile_c.cpp
 * (the single-complex work tile), gemm_edge_real.cpp and
 * gemm_edge_complex.cpp (the unblocked edge routines). */
#ifndef ZEM_BLAS_LEVEL3_GEMM_PLAN_H
#define ZEM_BLAS_LEVEL3_GEMM_PLAN_H

#include <limits.h>
#include <stdint.h>

#include "blas/kernel/default/level3/gemm_kernels.h"

namespace zem_gemm {

// A leading dimension as the drivers read it: max(ld, 0).
inline ptrdiff_t ld_of(const int *ld)
{
    return *ld < 0 ? 0 : (ptrdiff_t)*ld;
}

// One entry of a kernel table: the rows and depth the kernel takes.
template <class K>
struct Shape {
    int rows, depth;
    K kernel;
};
#define ZEM_GEMM_SHAPE(x, R, K) {R, K, ZEM_GEMM_KERNEL_NAME(x, R, K)},

// The number of leading kernels of full depth: the row groups.
template <class K, size_t L>
constexpr int full_depth_count(const Shape<K> (&t)[L], int depth)
{
    int c = 0;
    while (c < (int)L && t[c].depth == depth)
        ++c;
    return c;
}

// The largest packed block (rows times depth) of a kernel table.
template <class K, size_t L>
constexpr size_t largest_block(const Shape<K> (&t)[L])
{
    size_t b = 0;
    for (size_t i = 0; i < L; ++i)
        if ((size_t)t[i].rows * (size_t)t[i].depth > b)
            b = (size_t)t[i].rows * (size_t)t[i].depth;
    return b;
}

// The work memory of one call: the address returned by the allocator is
// rounded down to a multiple of 64 (the base); the packed A block (room
// for apack_rows rows at full depth) starts 64 bytes after the base,
// followed by the B buffer (columns of ldbuf values, for the widest column
// block) and the C work tile of the types that have one; 64 bytes more
// cover the rounding.
template <class Tr>
struct Workspace {
    static constexpr size_t align = 64;
    static constexpr size_t b_cols = Tr::tile_n > Tr::rem_cols ? Tr::tile_n : Tr::rem_cols;
    static constexpr size_t a_off = align;
    static constexpr size_t b_off = a_off + (size_t)Tr::apack_rows * Tr::depth * sizeof(typename Tr::E);
    static constexpr size_t t_off = b_off + b_cols * (size_t)Tr::ldbuf * sizeof(typename Tr::PB);
    static constexpr size_t bytes = t_off + Tr::tile_bytes + align;
    static_assert(largest_block(Tr::kernels) <= (size_t)Tr::apack_rows * Tr::depth, "every kernel's block fits");
    static_assert(b_off % align == 0 && t_off % align == 0, "every region starts on a 64-byte boundary");
};

template <class Tr>
struct Plan {
    typedef typename Tr::E E;   // element of A, B and C
    typedef typename Tr::PA PA; // component of the packed A block
    typedef typename Tr::PB PB; // component of the B buffer
    typedef typename Tr::Edge Edge;
    typedef Shape<typename Tr::Kernel> Sh;

    static constexpr int D = Tr::depth;
    static constexpr int groups = full_depth_count(Tr::kernels, D);
    static constexpr int kernel_count = (int)(sizeof(Tr::kernels) / sizeof(Tr::kernels[0]));

    // Where the products go: C itself (column-major, ld apart), or the
    // work tile that holds C(i0.., j0..) in strips of Tr::strip rows: a
    // strip keeps its columns ld = strip elements apart and the strips
    // follow each other strip_size elements apart, so that a kernel walks
    // its columns through consecutive memory whatever the caller's ldc.
    struct Target {
        E *p;
        ptrdiff_t ld, i0, j0;
        ptrdiff_t strip_size; // 0: plain column-major
        E *at(ptrdiff_t i, ptrdiff_t j) const
        {
            const ptrdiff_t r = i - i0;
            if (strip_size)
                return p + r / ld * strip_size + r % ld + (j - j0) * ld;
            return p + r + (j - j0) * ld;
        }
        // Rows from i that stay in one strip (all of them in plain C).
        int rows_from(ptrdiff_t i, int rows) const
        {
            const ptrdiff_t left = strip_size ? ld - (i - i0) % ld : rows;
            return rows < left ? rows : (int)left;
        }
    };

    Op oa, ob;
    char ta, tb; // the letters as given (the complex edge routines take them)
    int m, n, k;
    E alpha, beta;
    const E *A, *B;
    E *C;
    ptrdiff_t lda, ldb, ldc;
    PA *apack;
    PB *bbuf;
    E *work; // the C work tile, in strips (Target)
    Edge depth_edge, row_edge;

    // op(A)(i, p), op(B)(p, j), C(i, j)
    const E *a_at(ptrdiff_t i, ptrdiff_t p) const { return oa == N ? A + i + p * lda : A + p + i * lda; }
    const E *b_at(ptrdiff_t p, ptrdiff_t j) const { return ob == N ? B + p + j * ldb : B + j + p * ldb; }
    E *c_at(ptrdiff_t i, ptrdiff_t j) const { return C + i + j * ldc; }
    Target whole() const { return Target{C, ldc, 0, 0, 0}; }

    // Packs op(A)(i.., p0..) of rows x depth (micro-panel stride kp).
    void pack(ptrdiff_t i, ptrdiff_t p0, int rows, int depth, int kp) const
    {
        Tr::pack(oa, a_at(i, p0), lda, rows, depth, kp, apack, alpha);
    }

    // Source of op(B)(p0:p0+depth-1, j0:j0+nb-1) for the kernels: B itself
    // where the type reads it in place, else the B buffer after a copy
    // (zero-padded to depth kp).
    const PB *b_source(ptrdiff_t p0, ptrdiff_t j0, int nb, int depth, int kp, ptrdiff_t &ld) const
    {
        if (ob == N && kp == depth) {
            if (const PB *p = Tr::in_place(b_at(p0, j0))) {
                ld = ldb;
                return p;
            }
        }
        Tr::copy_b(ob, nb, depth, kp, b_at(p0, j0), ldb, bbuf);
        ld = Tr::ldbuf;
        return bbuf;
    }

    // The edge routine over rows i0.., columns j0.., depth p0.., in blocks
    // of at most edge_rows by edge_cols.
    void edge(Edge fn, const Target &t, ptrdiff_t i0, int rows, ptrdiff_t j0, int cols, ptrdiff_t p0, int depth) const
    {
        if (rows <= 0 || cols <= 0 || depth <= 0)
            return;
        for (int jj = 0; jj < cols; jj += Tr::edge_cols) {
            const int nb = cols - jj < Tr::edge_cols ? cols - jj : Tr::edge_cols;
            for (int ii = 0; ii < rows;) {
                const int mb = t.rows_from(i0 + ii, rows - ii < Tr::edge_rows ? rows - ii : Tr::edge_rows);
                Tr::edge(fn, *this, mb, nb, depth, a_at(i0 + ii, p0), b_at(p0, j0 + jj), t.at(i0 + ii, j0 + jj),
                         t.ld);
                ii += mb;
            }
        }
    }

    // Groups of sh.rows rows from i0 while they fit in i0..i_end-1, at
    // depth `depth` (stride kp) from p0; returns the first row left over.
    ptrdiff_t kernel_rows(const Sh &sh, bool once, const Target &t, ptrdiff_t i0, ptrdiff_t i_end, ptrdiff_t jb, int nb,
                          ptrdiff_t p0, int depth, int kp, const PB *bs, ptrdiff_t ldbs) const
    {
        ptrdiff_t i = i0;
        while (i + sh.rows <= i_end) {
            pack(i, p0, sh.rows, depth, kp);
            Tr::call(sh.kernel, nb, apack, bs, ldbs, t.at(i, jb), t.ld, alpha);
            i += sh.rows;
            if (once)
                break;
        }
        return i;
    }

    // One depth block p0..p0+D-1 on the tile rows ib.., columns jb..: the
    // first row group as often as it fits, each later one at most once,
    // the rows left by the row-edge routine.
    void main_block(const Target &t, ptrdiff_t ib, int mb, ptrdiff_t jb, int nb, ptrdiff_t p0) const
    {
        ptrdiff_t ldbs;
        const PB *bs = b_source(p0, jb, nb, D, D, ldbs);
        ptrdiff_t i = ib;
        for (int s = 0; s < groups; ++s)
            i = kernel_rows(Tr::kernels[s], s > 0, t, i, ib + mb, jb, nb, p0, D, D, bs, ldbs);
        edge(row_edge, t, i, (int)(ib + mb - i), jb, nb, p0, D);
    }

    // The depth remainder k0..k0+r-1 over rows i0.., columns j0...
    void remainder(const Target &t, ptrdiff_t i0, int mr, ptrdiff_t j0, int nc, int k0, int r) const
    {
        const Sh *sh = nullptr;
        int kd = 0, kp = 0;
        if (Tr::pad_from > 0 && r >= Tr::pad_from) {
            // padded to the full depth with the first kernel
            sh = &Tr::kernels[0];
            kd = r;
            kp = D;
            if constexpr (Tr::pad_from > 0) {
                // depth positions r..D-1 of every micro-panel of the A
                // buffer stay 0 (the padded packing does not write them)
                for (int g = 0; g < sh->rows / Tr::P; ++g)
                    for (int p = r; p < D; ++p)
                        for (int q = 0; q < Tr::P; ++q)
                            apack[g * Tr::P * D + p * Tr::P + q] = PA(0);
            }
        } else {
            for (int s = groups; s < kernel_count && !sh; ++s)
                if (Tr::kernels[s].depth <= r)
                    sh = &Tr::kernels[s];
            kd = kp = sh ? sh->depth : 0;
        }
        if (sh) {
            for (ptrdiff_t jb = j0; jb < j0 + nc; jb += Tr::rem_cols) {
                const int nb = j0 + nc - jb < Tr::rem_cols ? (int)(j0 + nc - jb) : Tr::rem_cols;
                ptrdiff_t ldbs;
                const PB *bs = b_source(k0, jb, nb, kd, kp, ldbs);
                const ptrdiff_t i = kernel_rows(*sh, false, t, i0, i0 + mr, jb, nb, k0, kd, kp, bs, ldbs);
                edge(depth_edge, t, i, (int)(i0 + mr - i), jb, nb, k0, kd);
            }
        }
        edge(depth_edge, t, i0, mr, j0, nc, k0 + kd, r - kd);
    }

    // beta on the tile: in place, or while copying it into the work tile.
    Target tile_in(ptrdiff_t ib, int mb, ptrdiff_t jb, int nb) const
    {
        if constexpr (Tr::work_tile) {
            Tr::copy_in(mb, nb, c_at(ib, jb), ldc, work, Tr::strip * Tr::tile_n, beta);
            return Target{work, Tr::strip, ib, jb, Tr::strip * Tr::tile_n};
        } else {
            Tr::scale(mb, nb, beta, c_at(ib, jb), ldc);
            return whole();
        }
    }

    void tile_out(ptrdiff_t ib, int mb, ptrdiff_t jb, int nb) const
    {
        if constexpr (Tr::work_tile)
            Tr::copy_out(mb, nb, c_at(ib, jb), ldc, work, Tr::strip * Tr::tile_n);
    }

    void run() const
    {
        const int k0 = k / D * D, r = k - k0;
        for (int jb = 0; jb < n; jb += Tr::tile_n) {
            const int nb = n - jb < Tr::tile_n ? n - jb : Tr::tile_n;
            for (int ib = 0; ib < m; ib += Tr::tile_m) {
                const int mb = m - ib < Tr::tile_m ? m - ib : Tr::tile_m;
                const Target t = tile_in(ib, mb, jb, nb);
                for (int p0 = 0; p0 < k0; p0 += D)
                    main_block(t, ib, mb, jb, nb, p0);
                if (Tr::work_tile && r > 0)
                    remainder(t, ib, mb, jb, nb, k0, r);
                tile_out(ib, mb, jb, nb);
            }
        }
        if (!Tr::work_tile && r > 0)
            remainder(whole(), 0, m, 0, n, k0, r);
    }

    // Without blocking: the work-tile type hands the whole product to its
    // unblocked routine; the others apply beta tile by tile and then run
    // the edge routine over all of C.
    void run_unblocked() const
    {
        if constexpr (Tr::work_tile) {
            Tr::unblocked(*this);
        } else {
            for (int jb = 0; jb < n; jb += Tr::tile_n) {
                const int nb = n - jb < Tr::tile_n ? n - jb : Tr::tile_n;
                for (int ib = 0; ib < m; ib += Tr::tile_m) {
                    const int mb = m - ib < Tr::tile_m ? m - ib : Tr::tile_m;
                    Tr::scale(mb, nb, beta, c_at(ib, jb), ldc);
                }
            }
            edge(depth_edge, whole(), 0, m, 0, n, 0, k);
        }
    }
};

// The serial driver of the type Tr: the thirteen gemm arguments.
template <class Tr>
void gemm(const char *transa, const char *transb, const int *m, const int *n, const int *k, const typename Tr::E *alpha,
          const typename Tr::E *a, const int *lda, const typename Tr::E *b, const int *ldb, const typename Tr::E *beta,
          typename Tr::E *c, const int *ldc)
{
    typedef Workspace<Tr> W;
    Plan<Tr> pl;
    pl.m = *m;
    pl.n = *n;
    pl.k = *k < 0 ? 0 : *k;
    if (pl.m <= 0 || pl.n <= 0)
        return;
    pl.ta = *transa;
    pl.tb = *transb;
    pl.oa = op_of(pl.ta);
    pl.ob = op_of(pl.tb);
    pl.alpha = *alpha;
    pl.beta = *beta;
    pl.A = a;
    pl.B = b;
    pl.C = c;
    pl.lda = ld_of(lda);
    pl.ldb = ld_of(ldb);
    pl.ldc = ld_of(ldc);
    pl.depth_edge = Tr::edge_for(pl.oa, pl.ob, false);
    pl.row_edge = Tr::edge_for(pl.oa, pl.ob, true);
    pl.apack = nullptr;
    pl.bbuf = nullptr;
    pl.work = nullptr;
    void *mem = Tr::blocked(pl.m, pl.n, pl.k) ? _ZEM_SERV_allocate(W::bytes) : nullptr;
    if (!mem) {
        pl.run_unblocked();
        return;
    }
    char *base = (char *)((uintptr_t)mem & ~(uintptr_t)(W::align - 1));
    pl.apack = (typename Tr::PA *)(base + W::a_off);
    pl.bbuf = (typename Tr::PB *)(base + W::b_off);
    pl.work = (typename Tr::E *)(base + W::t_off);
    pl.run();
    _ZEM_SERV_deallocate(mem);
}

// The real types: op(A) packed with alpha folded in (the *p forms pad the
// micro-panels to a longer stride), op(B) read in place or copied by the
// gtrb* routines (zero-padded by the *p forms), depth-edge routines (E..)
// and row-edge routines (R.., for the rows a depth block's row groups
// leave) chosen by whether op(A) and op(B) are transposes. The routines
// are template arguments, so every call stays a direct call.
template <class T_, auto Gtran, auto Gtrat, auto Gtranp, auto Gtratp, auto Gtrbn, auto Gtrbnp, auto Gtrbtp, auto Enn,
          auto Ent, auto Etn, auto Ett, auto Rnn, auto Rnt, auto Rtn, auto Rtt>
struct RealTraits {
    typedef T_ E, PA, PB;
    typedef void (*Kernel)(int, const E *, const E *, ptrdiff_t, E *, ptrdiff_t);
    typedef void (*Edge)(int, int, int, E, const E *, ptrdiff_t, const E *, ptrdiff_t, E *, ptrdiff_t);
    static constexpr bool work_tile = false;
    static constexpr int depth = 64;
    static constexpr ptrdiff_t ldbuf = 64;
    static constexpr int rem_cols = 256;           // column blocks of the remainder pass
    static constexpr int edge_rows = 32, edge_cols = 256;
    static constexpr int pad_from = 58;            // remainders padded to the full depth
    static constexpr size_t tile_bytes = 0;

    static constexpr bool blocked(int, int, int k) { return k > 0; }

    static void pack(Op oa, const E *a, ptrdiff_t lda, int rows, int depth, int kp, E *buf, E alpha)
    {
        if (kp == depth)
            (oa == N ? Gtran : Gtrat)(a, lda, rows, depth, buf, alpha);
        else
            (oa == N ? Gtranp : Gtratp)(a, lda, rows, depth, kp, buf, alpha);
    }
    static const E *in_place(const E *b) { return b; }
    static void copy_b(Op ob, int nb, int depth, int kp, const E *b, ptrdiff_t ldb, E *buf)
    {
        if (kp == depth)
            Gtrbn(nb, depth, b, ldb, buf, ldbuf);
        else
            (ob == N ? Gtrbnp : Gtrbtp)(nb, depth, kp, b, ldb, buf, ldbuf);
    }
    template <class K>
    static void call(K kernel, int nb, const E *ap, const E *b, ptrdiff_t ldb, E *c, ptrdiff_t ldc, const E &)
    {
        kernel(nb, ap, b, ldb, c, ldc);
    }
    static Edge edge_for(Op oa, Op ob, bool rows)
    {
        static const Edge depth_edges[2][2] = {{Enn, Ent}, {Etn, Ett}}, row_edges[2][2] = {{Rnn, Rnt}, {Rtn, Rtt}};
        return (rows ? row_edges : depth_edges)[oa != N][ob != N];
    }
    template <class P>
    static void edge(Edge fn, const P &pl, int mb, int nb, int kb, const E *a, const E *b, E *c, ptrdiff_t ldc)
    {
        fn(mb, nb, kb, pl.alpha, a, pl.lda, b, pl.ldb, c, ldc);
    }
};

// The real traits base of type letter x: its packing routines, its
// depth-edge routines and, as row-edge routines, those of suffix r (m: the
// row-edge routines, k: the depth-edge routines again).
#define ZEM_GEMM_REAL_TRAITS(x, T, r)                                                                            \
    zem_gemm::RealTraits<T, _ZEM_BLAS_##x##gtran, _ZEM_BLAS_##x##gtrat, _ZEM_BLAS_##x##gtranp,                  \
                         _ZEM_BLAS_##x##gtratp, _ZEM_BLAS_##x##gtrbn, _ZEM_BLAS_##x##gtrbnp, _ZEM_BLAS_##x##gtrbtp, \
                         _ZEM_BLAS_##x##pst_nnk, _ZEM_BLAS_##x##pst_ntk, _ZEM_BLAS_##x##pst_tnk,                  \
                         _ZEM_BLAS_##x##pst_ttk, _ZEM_BLAS_##x##pst_nn##r, _ZEM_BLAS_##x##pst_nt##r,              \
                         _ZEM_BLAS_##x##pst_tn##r, _ZEM_BLAS_##x##pst_tt##r>

} // namespace zem_gemm

#endif
