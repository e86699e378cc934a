// Serial drivers of the symmetric and Hermitian rank-k and rank-2k updates
// (syrk, herk, syr2k, her2k). C's triangle is scaled by beta once; then,
// for each diagonal block, the full square product of the block is formed
// by one gemm into the work block W and its triangle is folded into C, and
// the rectangle of the triangle beside the block gets one gemm (two for the
// rank-2k forms) with beta 1. Everything but the folding is the serial gemm
// driver of the type.
//
// W comes from the per-thread work-memory cache rather than the stack, so
// that OpenMP worker threads need no larger stacks. Should it be
// unavailable, each column of the diagonal block is multiplied straight
// into C instead (same result, slower).
#include "blas/kernel/default/level3/sym_common.h"

namespace {

using namespace zem_sym;

// C's block triangle += the triangle of W (rank k), of W + W^T (symmetric
// rank 2k) or of W + W^H (Hermitian rank 2k). Hermitian diagonal: the real
// part is added and the imaginary part set to 0, so that the diagonal is
// exactly real (the block product's imaginary parts there are rounding).
template <class E, bool TWO, bool HERM>
void fold(bool upper, int b, const E *W, ptrdiff_t ldw, E *c, ptrdiff_t ldc)
{
    for (ptrdiff_t j = 0; j < b; ++j) {
        const ptrdiff_t i0 = upper ? 0 : j, i1 = upper ? j + 1 : b;
        E *cj = c + j * ldc;
        for (ptrdiff_t i = i0; i < i1; ++i) {
            E d = W[i + j * ldw];
            if (TWO)
                d = add(d, HERM ? conj(W[j + i * ldw]) : W[j + i * ldw]);
            if (HERM && i == j)
                cj[i] = El<E>::make(El<E>::re(cj[i]) + El<E>::re(d), 0);
            else
                cj[i] = add(cj[i], d);
        }
    }
}

struct Update {
    bool upper, notrans;
    int n, k;
    ptrdiff_t lda, ldb, ldc;
};

template <class E, bool TWO, bool HERM>
void rank_update(const Update &u, int nb, E alpha, const E *A, const E *B, E beta, E *C)
{
    const int n = u.n, k = u.k;
    if (n <= 0)
        return;
    const bool nothing = is_zero(alpha) || k <= 0;
    if (nothing && is_one(beta))
        return;
    scale_triangle<E, HERM>(u.upper, n, beta, C, u.ldc);
    if (nothing)
        return;

    const GemmFn<E> g = Gemms<E>::xgemm;
    const E zero = El<E>::make(0, 0), one = El<E>::make(1, 0);
    const E alpha2 = HERM ? conj(alpha) : alpha; // of the exchanged term
    const char ct = HERM ? 'C' : 'T';
    // op(A) is n x k; rows i.. of op(A) start at A + i (trans N) or at
    // column i of A. Products take op(A) rows as they are (ta) and the
    // other operand's rows transposed (tb).
    const char ta = u.notrans ? 'N' : ct, tb = u.notrans ? ct : 'N';
    const ptrdiff_t lda = u.lda, ldb = u.ldb, ldc = u.ldc;
    auto rowA = [&](ptrdiff_t i) { return u.notrans ? A + i : A + i * lda; };
    auto rowB = [&](ptrdiff_t i) { return u.notrans ? B + i : B + i * ldb; };

    E *W = (E *)_ZEM_SERV_allocate(sizeof(E) * (size_t)nb * (size_t)nb);
    for (int j0 = 0; j0 < n; j0 += nb) {
        const int b = nb < n - j0 ? nb : n - j0, j1 = j0 + b, rest = n - j1;
        E *cb = C + j0 + j0 * ldc;
        if (W != nullptr) {
            call_gemm(g, ta, tb, b, b, k, alpha, rowA(j0), lda, rowB(j0), ldb, zero, W, nb);
            fold<E, TWO, HERM>(u.upper, b, W, nb, cb, ldc);
        } else {
            for (int j = 0; j < b; ++j) {
                const int r0 = u.upper ? 0 : j, cnt = u.upper ? j + 1 : b - j;
                E *cj = cb + r0 + j * ldc;
                call_gemm(g, ta, tb, cnt, 1, k, alpha, rowA(j0 + r0), lda, rowB(j0 + j), ldb, one, cj, ldc);
                if (TWO)
                    call_gemm(g, ta, tb, cnt, 1, k, alpha2, rowB(j0 + r0), ldb, rowA(j0 + j), lda, one, cj, ldc);
                if (HERM)
                    cb[j + j * ldc] = El<E>::make(El<E>::re(cb[j + j * ldc]), 0);
            }
        }
        if (rest <= 0)
            continue;
        if (u.upper) {
            E *cr = C + j0 + j1 * ldc; // C(j0:j1-1, j1:n-1)
            call_gemm(g, ta, tb, b, rest, k, alpha, rowA(j0), lda, rowB(j1), ldb, one, cr, ldc);
            if (TWO)
                call_gemm(g, ta, tb, b, rest, k, alpha2, rowB(j0), ldb, rowA(j1), lda, one, cr, ldc);
        } else {
            E *cr = C + j1 + j0 * ldc; // C(j1:n-1, j0:j1-1)
            call_gemm(g, ta, tb, rest, b, k, alpha, rowA(j1), lda, rowB(j0), ldb, one, cr, ldc);
            if (TWO)
                call_gemm(g, ta, tb, rest, b, k, alpha2, rowB(j1), ldb, rowA(j0), lda, one, cr, ldc);
        }
    }
    if (W != nullptr)
        _ZEM_SERV_deallocate(W);
}

template <class E, bool HERM, class AR, class BR>
void syrk(int nb_n, int nb_t, const char *uplo, const char *trans, const int *n, const int *k, const AR *alpha,
          const E *a, const int *lda, const BR *beta, E *c, const int *ldc)
{
    const Update u{is_upper(uplo), is_notrans(trans), *n, *k, ld_of(lda), ld_of(lda), ld_of(ldc)};
    rank_update<E, false, HERM>(u, u.notrans ? nb_n : nb_t, to_el<E>(*alpha), a, a, to_el<E>(*beta), c);
}

template <class E, bool HERM, class BR>
void syr2k(int nb, const char *uplo, const char *trans, const int *n, const int *k, const E *alpha, const E *a,
           const int *lda, const E *b, const int *ldb, const BR *beta, E *c, const int *ldc)
{
    const Update u{is_upper(uplo), is_notrans(trans), *n, *k, ld_of(lda), ld_of(ldb), ld_of(ldc)};
    rank_update<E, true, HERM>(u, nb, *alpha, a, b, to_el<E>(*beta), c);
}

} // namespace

// Diagonal block sizes: trans N and otherwise (rank k); one size (rank 2k).
#define ZEM_XSYRK(lo, T, R, HERM, NB_N, NB_T)                           \
    extern "C" ZEM_API void _ZEM_BLAS_x##lo ZEM_P_SYRK(T, R)             \
    {                                                                    \
        syrk<T, HERM>(NB_N, NB_T, uplo, trans, n, k, alpha, a, lda, beta, c, ldc); \
    }
#define ZEM_XSYR2K(lo, T, R, HERM)                                          \
    extern "C" ZEM_API void _ZEM_BLAS_x##lo ZEM_P_SYR2K(T, R)               \
    {                                                                       \
        syr2k<T, HERM>(128, uplo, trans, n, k, alpha, a, lda, b, ldb, beta, c, ldc); \
    }

ZEM_XSYRK(ssyrk, float, float, false, 64, 64)
ZEM_XSYRK(dsyrk, double, double, false, 128, 64)
ZEM_XSYRK(csyrk, ZEM_Complex8, ZEM_Complex8, false, 64, 64)
ZEM_XSYRK(zsyrk, ZEM_Complex16, ZEM_Complex16, false, 32, 32)
ZEM_XSYRK(cherk, ZEM_Complex8, float, true, 64, 64)
ZEM_XSYRK(zherk, ZEM_Complex16, double, true, 32, 32)
ZEM_XSYR2K(ssyr2k, float, float, false)
ZEM_XSYR2K(dsyr2k, double, double, false)
ZEM_XSYR2K(csyr2k, ZEM_Complex8, ZEM_Complex8, false)
ZEM_XSYR2K(zsyr2k, ZEM_Complex16, ZEM_Complex16, false)
ZEM_XSYR2K(cher2k, ZEM_Complex8, float, true)
ZEM_XSYR2K(zher2k, ZEM_Complex16, double, true)
