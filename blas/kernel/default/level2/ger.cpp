// Rank-1 update of a general matrix, A := alpha·x·op(y)' + A (?ger, ?geru,
// ?gerc), one column at a time through the column update ?gerin.
#include <type_traits>

#include "blas/kernel/default/level2/level2.h"

namespace zem_l2 {
namespace {

// a(0..m) += t·x(0..m); x at its first element used.
template <class T>
void gerin(const int *m, const T *t, const T *x, const int *incx, T *a)
{
    typedef element<T> E;
    typedef typename E::value V;
    const V tv = E::load(*t);
    if (is_zero(tv))
        return;
    const ptrdiff_t mm = *m;
    if constexpr (std::is_same<T, float>::value || std::is_same<T, ZEM_Complex8>::value) {
        if (*incx == 1) {
            const ptrdiff_t done = update_sse<T, false>(a, mm, x, x, tv, tv);
            for (ptrdiff_t i = done; i < mm; ++i)
                E::store(a[i], E::load(a[i]) + E::load(x[i]) * tv);
            return;
        }
    }
    if (*incx == 1) {
        ptrdiff_t i = 0;
        for (; i + 4 <= mm; i += 4) {
            E::store(a[i], E::load(a[i]) + E::load(x[i]) * tv);
            E::store(a[i + 1], E::load(a[i + 1]) + E::load(x[i + 1]) * tv);
            E::store(a[i + 2], E::load(a[i + 2]) + E::load(x[i + 2]) * tv);
            E::store(a[i + 3], E::load(a[i + 3]) + E::load(x[i + 3]) * tv);
        }
        for (; i < mm; ++i)
            E::store(a[i], E::load(a[i]) + E::load(x[i]) * tv);
    } else {
        const ptrdiff_t inc = *incx;
        for (ptrdiff_t i = 0; i < mm; ++i)
            E::store(a[i], E::load(a[i]) + E::load(x[i * inc]) * tv);
    }
}

template <class T, bool CJ>
void ger(const int *m, const int *n, const T *alpha, const T *x, const int *incx, const T *y, const int *incy,
         T *a, const int *lda, void (*col)(const int *, const T *, const T *, const int *, T *))
{
    typedef element<T> E;
    typedef typename E::value V;
    const ptrdiff_t mm = *m, nn = *n;
    if (mm <= 0 || nn <= 0)
        return;
    const V al = E::load(*alpha);
    if (is_zero(al))
        return;
    const ptrdiff_t ld = *lda < 0 ? 0 : *lda, iy = *incy;
    const T *x1 = x + first_offset(mm, *incx), *y1 = y + first_offset(nn, *incy);
    for (ptrdiff_t j = 0; j < nn; ++j) {
        const V yj = E::load(y1[j * iy]);
        if (is_zero(yj))
            continue;
        T t;
        E::store(t, cj<CJ>(yj) * al);
        col(m, &t, x1, incx, a + j * ld);
    }
}

} // namespace
} // namespace zem_l2

using namespace zem_l2;

extern "C" {

ZEM_API void _ZEM_BLAS_sgerin(const int *m, const float *t, const float *x, const int *incx, float *a)
{
    gerin(m, t, x, incx, a);
}
ZEM_API void _ZEM_BLAS_dgerin(const int *m, const double *t, const double *x, const int *incx, double *a)
{
    gerin(m, t, x, incx, a);
}
ZEM_API void _ZEM_BLAS_cgerin(const int *m, const ZEM_Complex8 *t, const ZEM_Complex8 *x, const int *incx,
                              ZEM_Complex8 *a)
{
    gerin(m, t, x, incx, a);
}
ZEM_API void _ZEM_BLAS_zgerin(const int *m, const ZEM_Complex16 *t, const ZEM_Complex16 *x, const int *incx,
                              ZEM_Complex16 *a)
{
    gerin(m, t, x, incx, a);
}

ZEM_API void _ZEM_BLAS_sger ZEM_P_GER(float, float)
{
    ger<float, false>(m, n, alpha, x, incx, y, incy, a, lda, _ZEM_BLAS_sgerin);
}
ZEM_API void _ZEM_BLAS_dger ZEM_P_GER(double, double)
{
    ger<double, false>(m, n, alpha, x, incx, y, incy, a, lda, _ZEM_BLAS_dgerin);
}
ZEM_API void _ZEM_BLAS_cgeru ZEM_P_GER(ZEM_Complex8, float)
{
    ger<ZEM_Complex8, false>(m, n, alpha, x, incx, y, incy, a, lda, _ZEM_BLAS_cgerin);
}
ZEM_API void _ZEM_BLAS_zgeru ZEM_P_GER(ZEM_Complex16, double)
{
    ger<ZEM_Complex16, false>(m, n, alpha, x, incx, y, incy, a, lda, _ZEM_BLAS_zgerin);
}
ZEM_API void _ZEM_BLAS_cgerc ZEM_P_GER(ZEM_Complex8, float)
{
    ger<ZEM_Complex8, true>(m, n, alpha, x, incx, y, incy, a, lda, _ZEM_BLAS_cgerin);
}
ZEM_API void _ZEM_BLAS_zgerc ZEM_P_GER(ZEM_Complex16, double)
{
    ger<ZEM_Complex16, true>(m, n, alpha, x, incx, y, incy, a, lda, _ZEM_BLAS_zgerin);
}

} // extern "C"
