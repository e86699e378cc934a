// What the fixed-argument FFT tests share: the routines of each precision
// behind one interface, data, the long-double references, error measures.
#ifndef ZEM_TEST_LEGACY_UTIL_H
#define ZEM_TEST_LEGACY_UTIL_H

#include <math.h>

#include <complex>
#include <random>
#include <vector>

#include "tests/reference/dft_ref.h"
#include "zem_fft.h"

namespace legacy_test {

using zem_ref::cld;

#define LEGACY_TEST_ROUTINES(T, C, c1, c1c, c2, c2c, rf, rb, rfc, rbc, r2f, r2b, r2fc, r2bc)            \
    typedef T R;                                                                                    \
    static void c1d(T *x, int n, int s, T *w) { c1((C *)x, &n, &s, w); }                            \
    static void c1dc(T *re, T *im, int n, int s, T *w) { c1c(re, im, &n, &s, w); }                  \
    static void c2d(T *x, int m, int n, int s) { c2((C *)x, &m, &n, &s); }                          \
    static void c2dc(T *re, T *im, int m, int n, int s) { c2c(re, im, &m, &n, &s); }                \
    static void r1d(bool fwd, bool split, T *x, int n, int s, T *w)                                  \
    {                                                                                               \
        (fwd ? (split ? rfc : rf) : (split ? rbc : rb))(x, &n, &s, w);                               \
    }                                                                                               \
    static void r2d(bool fwd, bool split, T *x, int m, int n)                                       \
    {                                                                                               \
        (fwd ? (split ? r2fc : r2f) : (split ? r2bc : r2b))(x, &m, &n);                              \
    }

template <class T> struct Fft;
template <> struct Fft<float> {
    static constexpr double eps = 5.96e-8;
    LEGACY_TEST_ROUTINES(float, ZEM_Complex8, cfft1d_, cfft1dc_, cfft2d_, cfft2dc_, scfft1d_, csfft1d_,
                         scfft1dc_, csfft1dc_, scfft2d_, csfft2d_, scfft2dc_, csfft2dc_)
};
template <> struct Fft<double> {
    static constexpr double eps = 1.11e-16;
    LEGACY_TEST_ROUTINES(double, ZEM_Complex16, zfft1d_, zfft1dc_, zfft2d_, zfft2dc_, dzfft1d_, zdfft1d_,
                         dzfft1dc_, zdfft1dc_, dzfft2d_, zdfft2d_, dzfft2dc_, zdfft2dc_)
};

// Complex table size the routines ask of their callers, in reals.
template <class T> inline size_t table_reals(int n) { return sizeof(T) == 4 ? 3 * n + 64 : 3 * n + 32; }

// Interleaved random values in [-1, 1), the same for every run.
template <class T> std::vector<T> legacy_data(size_t count, unsigned seed)
{
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> d(-1, 1);
    std::vector<T> v(count);
    for (T &x : v)
        x = (T)d(gen);
    return v;
}

template <class T> std::vector<cld> to_cld(const std::vector<T> &x)
{
    std::vector<cld> c(x.size() / 2);
    for (size_t k = 0; k < c.size(); ++k)
        c[k] = cld(x[2 * k], x[2 * k + 1]);
    return c;
}

// RMS of (got - want) over the RMS of want.
inline double rel_error(const std::vector<cld> &got, const std::vector<cld> &want)
{
    long double e = 0, w = 0;
    for (size_t k = 0; k < want.size(); ++k) {
        e += std::norm(got[k] - want[k]);
        w += std::norm(want[k]);
    }
    return (double)sqrtl(e / (w > 0 ? w : 1));
}

// Tolerance of a transform of 2^p points in the precision of T.
template <class T> double tol(int p) { return 8 * Fft<T>::eps * (p + 1); }

inline size_t bit_reverse(size_t i, int p)
{
    size_t r = 0;
    for (int b = 0; b < p; ++b)
        r |= ((i >> b) & 1) << (p - 1 - b);
    return r;
}

// Orders tested up to: everything on x86_64, less under emulation and
// under the sanitizers.
inline int max_order()
{
#ifdef __SANITIZE_ADDRESS__
    return 16;
#else
    return sizeof(void *) == 8 ? 20 : 16;
#endif
}

} // namespace legacy_test
#endif
