// The cross product C := X^T*Y of two tall len x n matrices (leading
// dimension len; C is n x n with leading dimension n), as a sum of partial
// products over slices of their rows. P slices: 2 in serial mode, one more
// than the OpenMP maximum thread count T otherwise; every slice has
// len div P rows but the last, which takes the rest. Each slice is one
// serial gemm into its own n x n part of the work memory, in a parallel
// loop over the slice indices (no size gate); then C is set to 0 and the
// partial results are added in ascending slice order, so the result
// depends only on P, not on which thread ran which slice.
//
// Should the work memory be unavailable, C is computed by one serial gemm
// over all rows instead.
#ifndef ZEM_BLAS_LEVEL3_XSEXY_OMP_H
#define ZEM_BLAS_LEVEL3_XSEXY_OMP_H

#include <omp.h>

#include "blas/kernel/default/level3/sym_common.h"

namespace zem_sym {

template <class E>
void cross_product(const int *plen, const int *pn, const E *x, const E *y, E *c)
{
    const int len = *plen > 0 ? *plen : 0, n = *pn;
    if (n <= 0)
        return;
    const GemmFn<E> g = Gemms<E>::xgemm;
    const bool serial = _ZEM_SERV_in_serial() == 1;
    const int T = serial ? 1 : omp_get_max_threads();
    const int P = serial ? 2 : T + 1, s = len / P;
    const size_t nn = (size_t)n * (size_t)n;
    E *W = (E *)zem_allocate(zem_size_mul(zem_size_mul(zem_size_mul(n, n), sizeof(E)), P));
    if (W == nullptr) {
        call_gemm<E>(g, 'T', 'N', n, n, len, 1, x, len, y, len, 0, c, n);
        return;
    }
    auto slice = [&](int t) {
        const int rows = t == P - 1 ? len - (P - 1) * s : s;
        const ptrdiff_t r0 = (ptrdiff_t)t * s;
        call_gemm<E>(g, 'T', 'N', n, n, rows, 1, x + r0, len, y + r0, len, 0, W + (size_t)t * nn, n);
    };
    if (serial) {
        slice(0);
        slice(1);
    } else {
#pragma omp parallel for schedule(static)
        for (int t = 0; t < P; ++t)
            slice(t);
    }
    for (size_t i = 0; i < nn; ++i)
        c[i] = 0;
    for (int t = 0; t < P; ++t) {
        const E *w = W + (size_t)t * nn;
        for (size_t i = 0; i < nn; ++i)
            c[i] += w[i];
    }
    _ZEM_SERV_deallocate(W);
}

} // namespace zem_sym

#endif
