// The C interface of the four element types behind one template call
// (CBT_CALL), random data, and logical matrices stored in either layout.
#ifndef ZEM_TEST_CBLAS_H
#define ZEM_TEST_CBLAS_H

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "tests/support/element_api.h"
#include "tests/support/zem_test.h"
#include "zem_cblas.h"
#include "zem_have.h"

namespace cbt {

using zem_test::Api;
using zem_test::get;
using zem_test::put;
using zem_test::rnd;
using zem_test::rnd_vec;
using zem_test::same_bits;
using zem_test::tol;
typedef ZEM_Complex8 C8;
typedef ZEM_Complex16 C16;
typedef zem_test::ElementTypes Types;
template <class T> constexpr bool cplx = Api<T>::cplx;
template <class T> using R = typename Api<T>::R;

// A scalar as the C interface takes it: the value when real, its address
// when complex.
template <class T> auto sc(const T &v)
{
    if constexpr (cplx<T>)
        return static_cast<const void *>(&v);
    else
        return v;
}

// Calls cblas_<p><real> or cblas_<p><complex> for the element type T.
#define CBT_CALL(real, complex, ...)                                    \
    do {                                                                \
        if constexpr (std::is_same_v<T, float>)                         \
            cblas_s##real(__VA_ARGS__);                                 \
        else if constexpr (std::is_same_v<T, double>)                   \
            cblas_d##real(__VA_ARGS__);                                 \
        else if constexpr (std::is_same_v<T, cbt::C8>)                  \
            cblas_c##complex(__VA_ARGS__);                              \
        else                                                            \
            cblas_z##complex(__VA_ARGS__);                              \
    } while (0)

// A strided vector of n elements: 1 + (n-1)|inc| random values.
template <class T> std::vector<T> rnd_strided(int n, int inc, std::mt19937 &g)
{
    return rnd_vec<T>(n > 0 ? 1 + (n - 1) * static_cast<size_t>(std::abs(inc)) : 1, g);
}

// A logical r-by-c matrix, element (i, j) at v[i*c + j].
template <class T> struct Mat {
    int r, c;
    std::vector<T> v;
    T &operator()(int i, int j) { return v[static_cast<size_t>(i) * c + j]; }
    const T &operator()(int i, int j) const { return v[static_cast<size_t>(i) * c + j]; }
};

// Random entries; `dominant` adds 4 to the diagonal (for solves).
template <class T> Mat<T> rnd_mat(int r, int c, std::mt19937 &g, bool dominant = false)
{
    Mat<T> m{r, c, rnd_vec<T>(static_cast<size_t>(r) * c, g)};
    for (int i = 0; dominant && i < std::min(r, c); ++i)
        m(i, i) = put<T>({get(m(i, i)).re + 4, get(m(i, i)).im});
    return m;
}

// Offsets of element (i, j) in the storage of each layout.
inline size_t dense_at(int order, int ld, int i, int j)
{
    return order == CblasColMajor ? i + static_cast<size_t>(j) * ld : static_cast<size_t>(i) * ld + j;
}
inline size_t band_at(int order, int ld, int kl, int ku, int i, int j)
{
    return order == CblasColMajor ? (ku + i - j) + static_cast<size_t>(j) * ld
                                  : static_cast<size_t>(i) * ld + (kl + j - i);
}
inline size_t packed_at(int order, int uplo, int n, int i, int j)
{
    const bool up = uplo == CblasUpper;
    if (order == CblasRowMajor) { // rows of the triangle, one after another
        std::swap(i, j);
        return up ? packed_at(CblasColMajor, CblasLower, n, i, j) : packed_at(CblasColMajor, CblasUpper, n, i, j);
    }
    return up ? i + static_cast<size_t>(j) * (j + 1) / 2
              : (i - j) + static_cast<size_t>(j) * (2 * static_cast<size_t>(n) - j + 1) / 2;
}

// Which elements a storage holds: all, one triangle, or a band.
struct Part {
    int uplo = 0, kl = -1, ku = -1;
    bool has(int i, int j) const
    {
        if (uplo == CblasUpper && i > j) return false;
        if (uplo == CblasLower && i < j) return false;
        if (kl >= 0 && (i - j > kl || j - i > ku)) return false;
        return true;
    }
};

enum class Store { dense, band, packed };

// The storage of m in one layout; what the part leaves out is random junk.
template <class T> std::vector<T> store(const Mat<T> &m, int order, Store kind, int ld, Part part, std::mt19937 &g)
{
    size_t len = kind == Store::packed ? static_cast<size_t>(m.r) * (m.r + 1) / 2 + 1
               : static_cast<size_t>(ld) * std::max(order == CblasColMajor ? m.c : m.r, 1);
    std::vector<T> s = rnd_vec<T>(len, g);
    for (int i = 0; i < m.r; ++i)
        for (int j = 0; j < m.c; ++j)
            if (part.has(i, j))
                s[kind == Store::dense  ? dense_at(order, ld, i, j)
                  : kind == Store::band ? band_at(order, ld, part.kl, part.ku, i, j)
                                        : packed_at(order, part.uplo, m.r, i, j)] = m(i, j);
    return s;
}

// The part of a logical matrix read back from a storage (the rest zero).
template <class T> Mat<T> load(const std::vector<T> &s, int r, int c, int order, Store kind, int ld, Part part)
{
    Mat<T> m{r, c, std::vector<T>(static_cast<size_t>(r) * c, put<T>({0, 0}))};
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j)
            if (part.has(i, j))
                m(i, j) = s[kind == Store::dense  ? dense_at(order, ld, i, j)
                            : kind == Store::band ? band_at(order, ld, part.kl, part.ku, i, j)
                                                  : packed_at(order, part.uplo, r, i, j)];
    return m;
}

// Every element of a within tol*(1 + |b|) of b.
template <class T> void expect_close(const std::vector<T> &a, const std::vector<T> &b, double tol, const std::string &what)
{
    ASSERT_EQ(a.size(), b.size()) << what;
    for (size_t i = 0; i < a.size(); ++i) {
        auto x = get(a[i]), y = get(b[i]);
        double d = std::hypot(double(x.re - y.re), double(x.im - y.im));
        double m = std::hypot(double(y.re), double(y.im));
        if (!(d <= tol * (1 + m))) {
            ADD_FAILURE() << what << ": element " << i << " is (" << double(x.re) << ", " << double(x.im)
                          << "), expected (" << double(y.re) << ", " << double(y.im) << ")";
            return;
        }
    }
}

} // namespace cbt

#endif
