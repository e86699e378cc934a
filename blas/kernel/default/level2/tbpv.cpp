// Triangular band and packed products and solves (?tbmv, ?tbsv, ?tpmv,
// ?tpsv): the column-oriented algorithms of triangular.h on band or packed
// storage.
#include "blas/kernel/default/level2/triangular.h"

namespace zem_l2 {
namespace {

template <class T, bool SOLVE>
struct band_case {
    template <bool UP, int TR, bool UNIT>
    struct in {
        static void run(ptrdiff_t n, ptrdiff_t k, const T *a, ptrdiff_t lda, T *x, ptrdiff_t inc)
        {
            band_store<T, UP> s = {a, lda, k};
            if (SOLVE)
                tri_sv<T, band_store<T, UP>, UP, TR, UNIT>(n, s, x, inc);
            else
                tri_mv<T, band_store<T, UP>, UP, TR, UNIT>(n, s, x, inc);
        }
    };
};

template <class T, bool SOLVE>
struct packed_case {
    template <bool UP, int TR, bool UNIT>
    struct in {
        static void run(ptrdiff_t n, const T *ap, T *x, ptrdiff_t inc)
        {
            packed_store<T, UP> s = {ap, n, n - 1};
            if (SOLVE)
                tri_sv<T, packed_store<T, UP>, UP, TR, UNIT>(n, s, x, inc);
            else
                tri_mv<T, packed_store<T, UP>, UP, TR, UNIT>(n, s, x, inc);
        }
    };
};

template <class T, bool SOLVE>
void tb(const char *uplo, const char *trans, const char *diag, const int *n, const int *k, const T *a,
        const int *lda, T *x, const int *incx)
{
    const ptrdiff_t nn = *n;
    if (nn <= 0)
        return;
    tri_dispatch<band_case<T, SOLVE>::template in, element<T>::is_complex>(uplo, trans, diag, nn, (ptrdiff_t)*k, a,
                                                                  (ptrdiff_t)*lda, x + first_offset(nn, *incx),
                                                                  (ptrdiff_t)*incx);
}

template <class T, bool SOLVE>
void tp(const char *uplo, const char *trans, const char *diag, const int *n, const T *ap, T *x, const int *incx)
{
    const ptrdiff_t nn = *n;
    if (nn <= 0)
        return;
    tri_dispatch<packed_case<T, SOLVE>::template in, element<T>::is_complex>(uplo, trans, diag, nn, ap,
                                                                    x + first_offset(nn, *incx), (ptrdiff_t)*incx);
}

} // namespace
} // namespace zem_l2

using namespace zem_l2;

#define ZEM_L2_TB(p, T, R)                                                                          \
    extern "C" ZEM_API void _ZEM_BLAS_##p##tbmv ZEM_P_TBMV(T, R)                                    \
    {                                                                                               \
        tb<T, false>(uplo, trans, diag, n, k, a, lda, x, incx);                                     \
    }                                                                                               \
    extern "C" ZEM_API void _ZEM_BLAS_##p##tbsv ZEM_P_TBMV(T, R)                                    \
    {                                                                                               \
        tb<T, true>(uplo, trans, diag, n, k, a, lda, x, incx);                                      \
    }                                                                                               \
    extern "C" ZEM_API void _ZEM_BLAS_##p##tpmv ZEM_P_TPMV(T, R)                                    \
    {                                                                                               \
        tp<T, false>(uplo, trans, diag, n, ap, x, incx);                                            \
    }                                                                                               \
    extern "C" ZEM_API void _ZEM_BLAS_##p##tpsv ZEM_P_TPMV(T, R)                                    \
    {                                                                                               \
        tp<T, true>(uplo, trans, diag, n, ap, x, incx);                                             \
    }

ZEM_L2_TB(s, float, float)
ZEM_L2_TB(d, double, double)
ZEM_L2_TB(c, ZEM_Complex8, float)
ZEM_L2_TB(z, ZEM_Complex16, double)
