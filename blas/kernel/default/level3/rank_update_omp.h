// The kernels of the rank-k and rank-2k updates: run the serial driver
// once, or give every thread one diagonal block of C's triangle in an
// OpenMP parallel loop over the thread indices (ceiling chunk of n) and
// then update the rectangles beside the blocks with the splitting gemm of
// the type, in the calling thread after the region.
//
// Decision: serial mode; n = 0 and the quick return for (alpha = 0 or
// k = 0) with beta = 1; alpha = 0 or k = 0 (only the triangle is scaled,
// A and B are not read, so the serial driver does it); the size gate
// n > 16; already inside a parallel region; T, the OpenMP maximum thread
// count, of 1. No stack-size request is made: the serial drivers take
// their work memory from the per-thread cache, not from the stack.
//
// The Hermitian kernels scale the whole triangle by beta (real diagonal)
// before the region and pass beta 1 on; the symmetric ones hand beta to
// the diagonal blocks and to the first gemm of each rectangle.
#ifndef ZEM_BLAS_LEVEL3_RANK_UPDATE_OMP_H
#define ZEM_BLAS_LEVEL3_RANK_UPDATE_OMP_H

#include <omp.h>

#include "blas/kernel/default/level3/sym_common.h"

namespace zem_sym {

// slab(s, cnt, beta_one) runs the serial driver on rows and columns
// s .. s+cnt-1 of C, with beta 1 when beta_one.
template <class E, bool TWO, bool HERM, class Slab>
void rank_kernel(const char *uplo, const char *trans, int n, int k, E alpha, const E *A, const int *lda,
                 const E *B, const int *ldb, E beta, E *C, const int *ldc, Slab slab)
{
    if (_ZEM_SERV_in_serial() == 1) {
        slab(0, n, false);
        return;
    }
    if (n <= 0)
        return;
    const bool nothing = is_zero(alpha) || k <= 0;
    if (nothing && is_one(beta))
        return;
    if (nothing || n <= 16 || omp_in_parallel()) {
        slab(0, n, false);
        return;
    }
    const int T = omp_get_max_threads();
    if (T <= 1) {
        slab(0, n, false);
        return;
    }
    const bool upper = is_upper(uplo), notrans = is_notrans(trans);
    const ptrdiff_t la = ld_of(lda), lb = ld_of(ldb), lc = ld_of(ldc);
    if (HERM)
        scale_triangle<E, true>(upper, n, beta, C, lc);
    const int chunk = (n - 1) / T + 1;
#pragma omp parallel for schedule(static)
    for (int t = 0; t < T; ++t) {
        // ceiling chunk: indices past the end do nothing
        const ptrdiff_t s = (ptrdiff_t)t * chunk;
        if (s < n)
            slab(s, (int)(n - s < chunk ? n - s : chunk), HERM);
    }

    // The rectangle beside each slab but the last, by the splitting gemm.
    const GemmFn<E> g = Gemms<E>::gemm;
    const E one = El<E>::make(1, 0), beta_r = HERM ? one : beta;
    const E alpha2 = HERM ? conj(alpha) : alpha;
    const char ct = HERM ? 'C' : 'T', ta = notrans ? 'N' : ct, tb = notrans ? ct : 'N';
    auto rowA = [&](ptrdiff_t i) { return notrans ? A + i : A + i * la; };
    auto rowB = [&](ptrdiff_t i) { return notrans ? B + i : B + i * lb; };
    for (int t = 0; t < T - 1; ++t) {
        const ptrdiff_t r0 = (ptrdiff_t)t * chunk, r1 = r0 + chunk;
        if (r1 >= n)
            break;
        const int h = chunk, w = (int)(n - r1);
        if (upper) {
            E *cr = C + r0 + r1 * lc; // C(r0:r1-1, r1:n-1)
            call_gemm(g, ta, tb, h, w, k, alpha, rowA(r0), la, rowB(r1), lb, beta_r, cr, lc);
            if (TWO)
                call_gemm(g, ta, tb, h, w, k, alpha2, rowB(r0), lb, rowA(r1), la, one, cr, lc);
        } else {
            E *cr = C + r1 + r0 * lc; // C(r1:n-1, r0:r1-1)
            call_gemm(g, ta, tb, w, h, k, alpha, rowA(r1), la, rowB(r0), lb, beta_r, cr, lc);
            if (TWO)
                call_gemm(g, ta, tb, w, h, k, alpha2, rowB(r1), lb, rowA(r0), la, one, cr, lc);
        }
    }
}

} // namespace zem_sym

// The kernel _ZEM_BLAS_<lo> of a rank-k update; slabs move C by s rows and
// columns and A by s rows of op(A).
#define ZEM_RANK_K_KERNEL(lo, T, R)                                                                  \
    extern "C" ZEM_API void _ZEM_BLAS_##lo ZEM_P_SYRK(T, R)                                          \
    {                                                                                                \
        using namespace zem_sym;                                                                     \
        constexpr bool herm = !std::is_same<T, R>::value && El<T>::cplx;                           \
        const bool nt = is_notrans(trans);                                                                 \
        const ptrdiff_t la = ld_of(lda), lc = ld_of(ldc);                                            \
        const R one = El<R>::make(1, 0);                                                             \
        rank_kernel<T, false, herm>(uplo, trans, *n, *k, to_el<T>(*alpha), a, lda, a, lda, to_el<T>(*beta), c, \
                                    ldc, [&](ptrdiff_t s, int cnt, bool beta_one) {                  \
                                        _ZEM_BLAS_x##lo(uplo, trans, &cnt, k, alpha, nt ? a + s : a + s * la, \
                                                        lda, beta_one ? &one : beta, c + s * (lc + 1), ldc); \
                                    });                                                              \
    }

// The kernel of a rank-2k update; A and B move alike.
#define ZEM_RANK_2K_KERNEL(lo, T, R)                                                                 \
    extern "C" ZEM_API void _ZEM_BLAS_##lo ZEM_P_SYR2K(T, R)                                         \
    {                                                                                                \
        using namespace zem_sym;                                                                     \
        constexpr bool herm = !std::is_same<T, R>::value && El<T>::cplx;                           \
        const bool nt = is_notrans(trans);                                                                 \
        const ptrdiff_t la = ld_of(lda), lb = ld_of(ldb), lc = ld_of(ldc);                           \
        const R one = El<R>::make(1, 0);                                                             \
        rank_kernel<T, true, herm>(uplo, trans, *n, *k, *alpha, a, lda, b, ldb, to_el<T>(*beta), c, ldc, \
                                   [&](ptrdiff_t s, int cnt, bool beta_one) {                        \
                                       _ZEM_BLAS_x##lo(uplo, trans, &cnt, k, alpha, nt ? a + s : a + s * la, \
                                                       lda, nt ? b + s : b + s * lb, ldb,            \
                                                       beta_one ? &one : beta, c + s * (lc + 1), ldc); \
                                   });                                                               \
    }

#endif
