/* The serial matrix-multiply plan shared by the single and double real
 * drivers: C is scaled by beta and multiplied tile by tile in depth blocks
 * of 64 (packed op(A) times op(B), in place or copied), the depth
 * remainder k mod 64 then runs over all of C with the padded, 48-, 32- or
 * 16-deep kernels, and whatever a kernel cannot take goes to the edge
 * routines. The traits class of each type names its sizes and routines.
 *
 * Work memory: the packed A block and the B buffer come from the
 * per-thread cache of _ZEM_SERV_allocate rather than the stack, so that
 * OpenMP worker threads need no larger stacks (the OpenMP runtime in use
 * has no call to raise them once started). When the memory cannot be
 * obtained the driver still computes the full product, with the unblocked
 * edge routines alone. */
#ifndef ZEM_BLAS_LEVEL3_GEMM_REAL_DRIVER_H
#define ZEM_BLAS_LEVEL3_GEMM_REAL_DRIVER_H

#include <stdint.h>

#include "blas/kernel/default/level3/gemm_kernels.h"

namespace zem_gemm {

template <class T>
using Kernel = void (*)(int, const T *, const T *, ptrdiff_t, T *, ptrdiff_t);
template <class T>
using Edge = void (*)(int, int, int, T, const T *, ptrdiff_t, const T *, ptrdiff_t, T *, ptrdiff_t);

// A kernel and the number of rows it takes.
template <class T>
struct Shape {
    int rows;
    Kernel<T> kernel;
};

inline bool is_n(const char *t)
{
    return *t == 'N' || *t == 'n';
}

inline ptrdiff_t ld_of(const int *ld)
{
    return *ld < 0 ? 0 : (ptrdiff_t)*ld;
}

// Rounds an address up to a multiple of 64 bytes.
template <class T>
inline T *align64(void *p)
{
    return (T *)(((uintptr_t)p + 63) & ~(uintptr_t)63);
}

// The packing routines of one real type, as the base of its traits class:
// gtra* pack a block of op(A) times alpha, gtrb* copy a block of op(B), and
// the *p forms pad the depth with zeros. They are compile-time constants,
// so every call stays a direct call.
template <class T_, auto Gtran, auto Gtrat, auto Gtranp, auto Gtratp, auto Gtrbn, auto Gtrbnp, auto Gtrbtp>
struct RealPacking {
    typedef T_ T;
    static constexpr auto gtran = Gtran, gtrat = Gtrat;
    static constexpr auto gtranp = Gtranp, gtratp = Gtratp;
    static constexpr auto gtrbn = Gtrbn;
    static constexpr auto gtrbnp = Gtrbnp, gtrbtp = Gtrbtp;
};

template <class Tr>
struct RealPlan {
    typedef typename Tr::T T;

    bool at, bt; // op(A), op(B) are transposes
    int m, n, k;
    T alpha, beta;
    const T *A, *B;
    T *C;
    ptrdiff_t lda, ldb, ldc;
    T *apack, *bbuf;
    Edge<T> depth_edge, row_edge;

    // op(A)(i, p) and op(B)(p, j)
    const T *a_at(ptrdiff_t i, ptrdiff_t p) const { return at ? A + p + i * lda : A + i + p * lda; }
    const T *b_at(ptrdiff_t p, ptrdiff_t j) const { return bt ? B + j + p * ldb : B + p + j * ldb; }
    T *c_at(ptrdiff_t i, ptrdiff_t j) const { return C + i + j * ldc; }

    void pack(ptrdiff_t i, ptrdiff_t p0, int rows, int depth, int kp) const
    {
        if (kp == depth) {
            if (at)
                Tr::gtrat(a_at(i, p0), lda, rows, depth, apack, alpha);
            else
                Tr::gtran(a_at(i, p0), lda, rows, depth, apack, alpha);
        } else {
            if (at)
                Tr::gtratp(a_at(i, p0), lda, rows, depth, kp, apack, alpha);
            else
                Tr::gtranp(a_at(i, p0), lda, rows, depth, kp, apack, alpha);
        }
    }

    // Source of op(B)(p0:p0+depth-1, j0:j0+nb-1) for the kernels: B itself,
    // or the B buffer after a copy of the transpose.
    const T *b_source(ptrdiff_t p0, ptrdiff_t j0, int nb, int depth, ptrdiff_t &ld) const
    {
        if (!bt) {
            ld = ldb;
            return b_at(p0, j0);
        }
        Tr::gtrbn(nb, depth, b_at(p0, j0), ldb, bbuf, 64);
        ld = 64;
        return bbuf;
    }

    // The depth-edge routine over rows i0.., columns j0.., depth p0.., in
    // blocks of 32 rows by 256 columns.
    void edge_blocks(ptrdiff_t i0, int rows, ptrdiff_t j0, int cols, ptrdiff_t p0, int depth) const
    {
        if (rows <= 0 || cols <= 0 || depth <= 0)
            return;
        for (int jj = 0; jj < cols; jj += 256) {
            const int nb = cols - jj < 256 ? cols - jj : 256;
            for (int ii = 0; ii < rows; ii += 32) {
                const int mb = rows - ii < 32 ? rows - ii : 32;
                depth_edge(mb, nb, depth, alpha, a_at(i0 + ii, p0), lda, b_at(p0, j0 + jj), ldb,
                           c_at(i0 + ii, j0 + jj), ldc);
            }
        }
    }

    // One depth block of 64 on the tile rows ib.., columns jb...
    void main_block(ptrdiff_t ib, int mb, ptrdiff_t jb, int nb, ptrdiff_t p0) const
    {
        ptrdiff_t ldbs;
        const T *bs = b_source(p0, jb, nb, 64, ldbs);
        ptrdiff_t i = ib;
        int e = mb;
        for (int s = 0; s < Tr::main_count; ++s) {
            const Shape<T> &sh = Tr::main_shapes[s];
            // the first shape as often as it fits, the others once
            while (e >= sh.rows) {
                pack(i, p0, sh.rows, 64, 64);
                sh.kernel(nb, apack, bs, ldbs, c_at(i, jb), ldc);
                i += sh.rows;
                e -= sh.rows;
                if (s > 0)
                    break;
            }
        }
        if (e > 0)
            (Tr::rows_by_row_edge ? row_edge : depth_edge)(e, nb, 64, alpha, a_at(i, p0), lda, b_at(p0, jb), ldb,
                                                           c_at(i, jb), ldc);
    }

    // The depth remainder k0..k-1 over all of C (already scaled by beta).
    void remainder(int k0, int r) const
    {
        if (r >= 58) {
            const Shape<T> &sh = Tr::padded;
            // depth positions r..63 of every micro-panel of the A buffer stay 0
            for (int g = 0; g < sh.rows / Tr::P; ++g)
                for (int p = r; p < 64; ++p)
                    for (int q = 0; q < Tr::P; ++q)
                        apack[g * Tr::P * 64 + p * Tr::P + q] = T(0);
            for (int jb = 0; jb < n; jb += 256) {
                const int nb = n - jb < 256 ? n - jb : 256;
                if (bt)
                    Tr::gtrbtp(nb, r, 64, b_at(k0, jb), ldb, bbuf, 64);
                else
                    Tr::gtrbnp(nb, r, 64, b_at(k0, jb), ldb, bbuf, 64);
                int i = 0;
                for (; i + sh.rows <= m; i += sh.rows) {
                    pack(i, k0, sh.rows, r, 64);
                    sh.kernel(nb, apack, bbuf, 64, c_at(i, jb), ldc);
                }
                edge_blocks(i, m - i, jb, nb, k0, r);
            }
            return;
        }
        const Shape<T> *sh = nullptr;
        int kd = 0;
        if (r >= 48) {
            sh = &Tr::rem48;
            kd = 48;
        } else if (r >= 32) {
            sh = &Tr::rem32;
            kd = 32;
        } else if (r >= 16) {
            sh = &Tr::rem16;
            kd = 16;
        }
        if (sh) {
            for (int jb = 0; jb < n; jb += 256) {
                const int nb = n - jb < 256 ? n - jb : 256;
                ptrdiff_t ldbs;
                const T *bs = b_source(k0, jb, nb, kd, ldbs);
                int i = 0;
                for (; i + sh->rows <= m; i += sh->rows) {
                    pack(i, k0, sh->rows, kd, kd);
                    sh->kernel(nb, apack, bs, ldbs, c_at(i, jb), ldc);
                }
                edge_blocks(i, m - i, jb, nb, k0, kd);
            }
        }
        edge_blocks(0, m, 0, n, k0 + kd, r - kd);
    }

    void run() const
    {
        const int q = k / 64, k0 = 64 * q, r = k - k0;
        for (int jb = 0; jb < n; jb += Tr::tile_n) {
            const int nb = n - jb < Tr::tile_n ? n - jb : Tr::tile_n;
            for (int ib = 0; ib < m; ib += Tr::tile_m) {
                const int mb = m - ib < Tr::tile_m ? m - ib : Tr::tile_m;
                Tr::scale(mb, nb, beta, c_at(ib, jb), ldc);
                for (int p0 = 0; p0 < k0; p0 += 64)
                    main_block(ib, mb, jb, nb, p0);
            }
        }
        if (r > 0)
            remainder(k0, r);
    }

    // Without work memory: beta, then the whole product by the edge routine.
    void run_unblocked() const
    {
        for (int jb = 0; jb < n; jb += Tr::tile_n) {
            const int nb = n - jb < Tr::tile_n ? n - jb : Tr::tile_n;
            for (int ib = 0; ib < m; ib += Tr::tile_m) {
                const int mb = m - ib < Tr::tile_m ? m - ib : Tr::tile_m;
                Tr::scale(mb, nb, beta, c_at(ib, jb), ldc);
            }
        }
        edge_blocks(0, m, 0, n, 0, k);
    }
};

template <class Tr>
void real_gemm(const char *transa, const char *transb, const int *m, const int *n, const int *k,
               const typename Tr::T *alpha, const typename Tr::T *a, const int *lda, const typename Tr::T *b,
               const int *ldb, const typename Tr::T *beta, typename Tr::T *c, const int *ldc)
{
    typedef typename Tr::T T;
    RealPlan<Tr> pl;
    pl.at = !is_n(transa);
    pl.bt = !is_n(transb);
    pl.m = *m;
    pl.n = *n;
    pl.k = *k < 0 ? 0 : *k;
    if (pl.m <= 0 || pl.n <= 0)
        return;
    pl.alpha = *alpha;
    pl.beta = *beta;
    pl.A = a;
    pl.B = b;
    pl.C = c;
    pl.lda = ld_of(lda);
    pl.ldb = ld_of(ldb);
    pl.ldc = ld_of(ldc);
    pl.depth_edge = Tr::depth_edges[pl.at][pl.bt];
    pl.row_edge = Tr::row_edges[pl.at][pl.bt];
    const size_t abytes = Tr::apack_elems * sizeof(T), bbytes = 256 * 64 * sizeof(T);
    void *mem = pl.k > 0 ? _ZEM_SERV_allocate(abytes + bbytes + 64) : nullptr;
    if (!mem) {
        pl.apack = pl.bbuf = nullptr;
        pl.run_unblocked();
        return;
    }
    pl.apack = align64<T>(mem);
    pl.bbuf = pl.apack + Tr::apack_elems;
    pl.run();
    _ZEM_SERV_deallocate(mem);
}

} // namespace zem_gemm

#endif
