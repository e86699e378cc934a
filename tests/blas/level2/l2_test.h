// The matrix-vector routines of the four element types behind one
// interface for typed tests, random data, strided vector buffers and the
// comparisons with the long-double references.
#ifndef ZEM_TEST_LEVEL2_H
#define ZEM_TEST_LEVEL2_H

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "tests/reference/level2_ref.h"
#include "zem_blas.h"

namespace l2t {

using l2_ref::cx;
using l2_ref::ld;
using l2_ref::mat;

using zem_ref::get;
using zem_ref::put;

template <class T>
struct Api;

// Symmetric routines of real types and Hermitian ones of complex types
// share a slot (sym*, r*): they are the same operations for real data.
#define L2T_API(T_, R_, EPS, CPLX, P, geru_, gerc_, sy, sb, sp, r1, p1, r2, p2)               \
    template <>                                                                       \
    struct Api<T_> {                                                                  \
        typedef R_ R;                                                                 \
        static constexpr bool cplx = CPLX;                                            \
        static constexpr ld eps = EPS;                                                \
        static constexpr auto gemv = P##gemv_;                                        \
        static constexpr auto gbmv = P##gbmv_;                                        \
        static constexpr auto geru = geru_;                                           \
        static constexpr auto gerc = gerc_;                                           \
        static constexpr auto symv = sy;                                              \
        static constexpr auto sbmv = sb;                                              \
        static constexpr auto spmv = sp;                                              \
        static constexpr auto syr = r1;                                               \
        static constexpr auto spr = p1;                                               \
        static constexpr auto syr2 = r2;                                              \
        static constexpr auto spr2 = p2;                                              \
        static constexpr auto trmv = P##trmv_;                                        \
        static constexpr auto trsv = P##trsv_;                                        \
        static constexpr auto tbmv = P##tbmv_;                                        \
        static constexpr auto tbsv = P##tbsv_;                                        \
        static constexpr auto tpmv = P##tpmv_;                                        \
        static constexpr auto tpsv = P##tpsv_;                                        \
    };
L2T_API(float, float, FLT_EPSILON, false, s, sger_, sger_, ssymv_, ssbmv_, sspmv_, ssyr_, sspr_, ssyr2_, sspr2_)
L2T_API(double, double, DBL_EPSILON, false, d, dger_, dger_, dsymv_, dsbmv_, dspmv_, dsyr_, dspr_, dsyr2_, dspr2_)
L2T_API(ZEM_Complex8, float, FLT_EPSILON, true, c, cgeru_, cgerc_, chemv_, chbmv_, chpmv_, cher_, chpr_, cher2_, chpr2_)
L2T_API(ZEM_Complex16, double, DBL_EPSILON, true, z, zgeru_, zgerc_, zhemv_, zhbmv_, zhpmv_, zher_, zhpr_, zher2_,
        zhpr2_)
#undef L2T_API

typedef testing::Types<float, double, ZEM_Complex8, ZEM_Complex16> ElementTypes;

// Random values in [-1, 1] (both parts for complex types).
template <class T>
T rnd(std::mt19937 &g)
{
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    double re = u(g), im = Api<T>::cplx ? u(g) : 0;
    return put<T>({re, im});
}

template <class T>
std::vector<T> rnd_vec(size_t len, std::mt19937 &g)
{
    std::vector<T> v(len);
    for (T &e : v)
        e = rnd<T>(g);
    return v;
}

template <class T>
std::vector<cx> image(const std::vector<T> &b)
{
    std::vector<cx> v(b.size());
    for (size_t i = 0; i < b.size(); ++i)
        v[i] = get(b[i]);
    return v;
}

template <class T>
T nan_value()
{
    return put<T>({NAN, NAN});
}

// Vectors: n elements with increment inc in a buffer of 1 + (n-1)·|inc|
// elements; element i (0-based) at i·inc, or at (n-1-i)·|inc| for inc < 0.
inline size_t span(int n, int inc) { return n <= 0 ? 1 : 1 + (size_t)(n - 1) * (size_t)std::abs(inc); }
inline size_t pos(int n, int inc, int i) { return inc > 0 ? (size_t)i * inc : (size_t)(n - 1 - i) * (size_t)(-inc); }

template <class T>
std::vector<cx> gather(const std::vector<T> &b, int n, int inc)
{
    std::vector<cx> v(n > 0 ? n : 0);
    for (int i = 0; i < n; ++i)
        v[i] = get(b[pos(n, inc, i)]);
    return v;
}

inline std::vector<cx> absv(const std::vector<cx> &v)
{
    std::vector<cx> r(v.size());
    for (size_t i = 0; i < v.size(); ++i)
        r[i] = l2_ref::cabs(v[i]);
    return r;
}
inline mat absm(const mat &m) { return absv(m); }

inline bool same_bits(const void *a, const void *b, size_t n) { return std::memcmp(a, b, n) == 0; }

// got within tol·bound of want, part by part (bound.re bounds both parts).
inline testing::AssertionResult close(cx got, cx want, cx bound, ld tol)
{
    ld t = tol * bound.re + LDBL_MIN * 1e10L;
    if (std::fabs(got.re - want.re) <= t && std::fabs(got.im - want.im) <= t)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "got (" << (double)got.re << ", " << (double)got.im << ") want ("
                                       << (double)want.re << ", " << (double)want.im << ") bound "
                                       << (double)bound.re << " tol " << (double)tol;
}

// The vector in buffer `got` matches `want` element by element, and every
// buffer element that is not part of the vector kept its bits.
template <class T>
void expect_vec(const std::vector<T> &got, const std::vector<T> &before, int n, int inc,
                const std::vector<cx> &want, const std::vector<cx> &bound, ld tol)
{
    std::vector<bool> member(got.size(), false);
    for (int i = 0; i < n; ++i) {
        size_t p = pos(n, inc, i);
        member[p] = true;
        EXPECT_TRUE(close(get(got[p]), want[i], bound[i], tol)) << "element " << i;
    }
    for (size_t p = 0; p < got.size(); ++p) {
        if (!member[p]) {
            EXPECT_TRUE(same_bits(&got[p], &before[p], sizeof(T))) << "gap element " << p;
        }
    }
}

} // namespace l2t

#endif
