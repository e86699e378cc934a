// Shared pieces of the symmetric and Hermitian level-3 routines (rank-k and
// rank-2k updates, symm and hemm, the cross product): element arithmetic
// for the four types, the serial and the splitting gemm of each type, and
// the declarations of the serial drivers that the parallel regions call.
//
// Everything here multiplies through the gemm drivers; the few element
// operations are the scaling of a triangle and the folding of a diagonal
// block into C.
#ifndef ZEM_BLAS_LEVEL3_SYM_COMMON_H
#define ZEM_BLAS_LEVEL3_SYM_COMMON_H

#include <stddef.h>

#include <type_traits>

#include "blas/interface/entry.h"
#include "blas/kernel/default/element.h"
#include "blas/kernel/default/level3/gemm_kernels.h"

namespace zem_sym {

template <class E>
using GemmFn = void (*)(const char *, const char *, const int *, const int *, const int *, const E *, const E *,
                        const int *, const E *, const int *, const E *, E *, const int *);

// The element traits of the library (component type, complex or not) with
// what these routines add: the serial and the splitting gemm of the type,
// and element values made from and taken apart into components.
template <class E>
struct El {
    typedef typename zem_kernel::element<E>::comp R;
    static constexpr bool cplx = zem_kernel::element<E>::is_complex;
    static E make(R re, R im)
    {
        if constexpr (cplx)
            return E{re, im};
        else
            return (void)im, re;
    }
    static R re(const E &x)
    {
        if constexpr (cplx)
            return x.real;
        else
            return x;
    }
    static R im(const E &x)
    {
        if constexpr (cplx)
            return x.imag;
        else
            return (void)x, 0;
    }
};

template <class E>
struct Gemms;
template <>
struct Gemms<float> {
    static constexpr GemmFn<float> xgemm = _ZEM_BLAS_xsgemm, gemm = _ZEM_BLAS_sgemm;
};
template <>
struct Gemms<double> {
    static constexpr GemmFn<double> xgemm = _ZEM_BLAS_xdgemm, gemm = _ZEM_BLAS_dgemm;
};
template <>
struct Gemms<ZEM_Complex8> {
    static constexpr GemmFn<ZEM_Complex8> xgemm = _ZEM_BLAS_xcgemm, gemm = _ZEM_BLAS_cgemm;
};
template <>
struct Gemms<ZEM_Complex16> {
    static constexpr GemmFn<ZEM_Complex16> xgemm = _ZEM_BLAS_xzgemm, gemm = _ZEM_BLAS_zgemm;
};

template <class E>
inline bool is_zero(const E &x)
{
    return El<E>::re(x) == 0 && El<E>::im(x) == 0;
}
template <class E>
inline bool is_one(const E &x)
{
    return El<E>::re(x) == 1 && El<E>::im(x) == 0;
}
template <class E>
inline E conj(const E &x)
{
    return El<E>::make(El<E>::re(x), -El<E>::im(x));
}
template <class E>
inline E add(const E &x, const E &y)
{
    return El<E>::make(El<E>::re(x) + El<E>::re(y), El<E>::im(x) + El<E>::im(y));
}
template <class E>
inline E mul(const E &x, const E &y)
{
    if (!El<E>::cplx)
        return El<E>::make(El<E>::re(x) * El<E>::re(y), 0);
    const auto a = El<E>::re(x), b = El<E>::im(x), c = El<E>::re(y), d = El<E>::im(y);
    return El<E>::make(a * c - b * d, a * d + b * c);
}
template <class E>
inline E scale(const E &x, typename El<E>::R r)
{
    return El<E>::make(El<E>::re(x) * r, El<E>::im(x) * r);
}

// A scalar argument as an element: real alpha and beta of the Hermitian
// routines become (x, 0).
template <class E, class A>
inline E to_el(const A &x)
{
    if constexpr (std::is_same<E, A>::value)
        return x;
    else
        return El<E>::make(x, 0);
}

using zem_kernel::is_notrans;
using zem_kernel::is_upper;
inline bool is_left(const char *t) { return zem_kernel::is_letter(t, 'L'); }
inline ptrdiff_t ld_of(const int *ld) { return *ld < 0 ? 0 : (ptrdiff_t)*ld; }

// Calls gemm with sizes and leading dimensions by value.
template <class E>
inline void call_gemm(GemmFn<E> f, char ta, char tb, int m, int n, int k, E alpha, const E *a, ptrdiff_t lda,
                      const E *b, ptrdiff_t ldb, E beta, E *c, ptrdiff_t ldc)
{
    const int la = (int)lda, lb = (int)ldb, lc = (int)ldc;
    f(&ta, &tb, &m, &n, &k, &alpha, a, &la, b, &lb, &beta, c, &lc);
}

// The upper or lower triangle of the n x n block c: zeroed when beta = 0,
// multiplied by beta when beta is not 1. Hermitian: beta is real, and the
// imaginary part of every diagonal element becomes 0 in any case.
template <class E, bool HERM>
void scale_triangle(bool upper, int n, E beta, E *c, ptrdiff_t ldc)
{
    const bool zero = is_zero(beta), one = is_one(beta);
    for (ptrdiff_t j = 0; j < n; ++j) {
        E *cj = c + j * ldc;
        const ptrdiff_t i0 = upper ? 0 : j, i1 = upper ? j + 1 : n;
        if (zero) {
            for (ptrdiff_t i = i0; i < i1; ++i)
                cj[i] = El<E>::make(0, 0);
        } else if (!one) {
            for (ptrdiff_t i = i0; i < i1; ++i)
                cj[i] = HERM ? scale(cj[i], El<E>::re(beta)) : mul(cj[i], beta);
        }
        if (HERM)
            cj[j] = El<E>::make(El<E>::re(cj[j]), 0);
    }
}

} // namespace zem_sym

// Serial drivers, the same arguments as their kernels. The parallel regions
// run them on slabs; the library's other level-3 code may call them too.
extern "C" {
#define ZEM_SYM_DRIVER(lo, SHAPE, T, R) ZEM_API void _ZEM_BLAS_x##lo ZEM_P_##SHAPE(T, R);
ZEM_SYM_DRIVER(ssyrk, SYRK, float, float)
ZEM_SYM_DRIVER(dsyrk, SYRK, double, double)
ZEM_SYM_DRIVER(csyrk, SYRK, ZEM_Complex8, ZEM_Complex8)
ZEM_SYM_DRIVER(zsyrk, SYRK, ZEM_Complex16, ZEM_Complex16)
ZEM_SYM_DRIVER(cherk, SYRK, ZEM_Complex8, float)
ZEM_SYM_DRIVER(zherk, SYRK, ZEM_Complex16, double)
ZEM_SYM_DRIVER(ssyr2k, SYR2K, float, float)
ZEM_SYM_DRIVER(dsyr2k, SYR2K, double, double)
ZEM_SYM_DRIVER(csyr2k, SYR2K, ZEM_Complex8, ZEM_Complex8)
ZEM_SYM_DRIVER(zsyr2k, SYR2K, ZEM_Complex16, ZEM_Complex16)
ZEM_SYM_DRIVER(cher2k, SYR2K, ZEM_Complex8, float)
ZEM_SYM_DRIVER(zher2k, SYR2K, ZEM_Complex16, double)
ZEM_SYM_DRIVER(ssymm, SYMM, float, float)
ZEM_SYM_DRIVER(dsymm, SYMM, double, double)
ZEM_SYM_DRIVER(csymm, SYMM, ZEM_Complex8, float)
ZEM_SYM_DRIVER(zsymm, SYMM, ZEM_Complex16, double)
ZEM_SYM_DRIVER(chemm, SYMM, ZEM_Complex8, float)
ZEM_SYM_DRIVER(zhemm, SYMM, ZEM_Complex16, double)
#undef ZEM_SYM_DRIVER
ZEM_API void _ZEM_BLAS_sgescal(const int *m, const int *n, const float *beta, float *c, const int *ldc);
}

#endif
