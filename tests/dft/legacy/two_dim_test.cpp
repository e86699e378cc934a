// Two-dimensional routines against the long-double reference: complex
// m x n in both data forms and every isign, real m x n in the
// (m + 2) x (n + 2) layout, plain and split.
#include <gtest/gtest.h>

#include "tests/dft/legacy/legacy_util.h"

using namespace legacy_test;

namespace {

// The 2-D transform of m x n values (first index fastest), columns then rows.
std::vector<cld> dft2(const std::vector<cld> &x, int m, int n, int sign)
{
    std::vector<cld> y(x), v;
    for (int j = 0; j < n; ++j) {
        v.assign(y.begin() + (ptrdiff_t)j * m, y.begin() + (ptrdiff_t)(j + 1) * m);
        v = zem_ref::dft(v, sign);
        std::copy(v.begin(), v.end(), y.begin() + (ptrdiff_t)j * m);
    }
    for (int i = 0; i < m; ++i) {
        v.resize(n);
        for (int j = 0; j < n; ++j)
            v[j] = y[i + (ptrdiff_t)j * m];
        v = zem_ref::dft(v, sign);
        for (int j = 0; j < n; ++j)
            y[i + (ptrdiff_t)j * m] = v[j];
    }
    return y;
}

const int kShapes[][2] = {{1, 8}, {8, 1}, {2, 2}, {4, 16}, {64, 32}, {16, 256}};

} // namespace

template <class T> class Legacy2D : public ::testing::Test {};
typedef ::testing::Types<float, double> Precisions;
TYPED_TEST_SUITE(Legacy2D, Precisions);

TYPED_TEST(Legacy2D, ComplexEveryIsignBothForms)
{
    typedef TypeParam T;
    for (auto &s : kShapes) {
        const int m = s[0], n = s[1], mn = m * n, p = log2(mn) + 1;
        SCOPED_TRACE(::testing::Message() << m << " x " << n);
        const std::vector<T> x = legacy_data<T>(2 * (size_t)mn, mn);
        std::vector<T> y = x, re(mn), im(mn);
        Fft<T>::c2d(y.data(), m, n, -1);
        EXPECT_LE(rel_error(to_cld(y), dft2(to_cld(x), m, n, -1)), tol<T>(p));
        for (int k = 0; k < mn; ++k)
            re[k] = x[2 * k], im[k] = x[2 * k + 1];
        Fft<T>::c2dc(re.data(), im.data(), m, n, -1);
        for (int k = 0; k < mn; ++k)
            ASSERT_TRUE(re[k] == y[2 * k] && im[k] == y[2 * k + 1]) << k;
        Fft<T>::c2d(y.data(), m, n, 1);
        EXPECT_LE(rel_error(to_cld(y), to_cld(x)), tol<T>(p));
        Fft<T>::c2dc(re.data(), im.data(), m, n, 1);
        for (int k = 0; k < mn; ++k)
            ASSERT_TRUE(re[k] == y[2 * k] && im[k] == y[2 * k + 1]) << k;
        y = x;
        Fft<T>::c2d(y.data(), m, n, -2);
        Fft<T>::c2d(y.data(), m, n, 2);
        EXPECT_LE(rel_error(to_cld(y), to_cld(x)), tol<T>(p));
    }
}

TYPED_TEST(Legacy2D, RealLayoutsAndRoundTrip)
{
    typedef TypeParam T;
    const int shapes[][2] = {{2, 2}, {2, 8}, {8, 4}, {16, 32}, {64, 64}};
    for (auto &s : shapes) {
        const int m = s[0], n = s[1], ld = m + 2, p = log2(m * n) + 1;
        for (bool split : {false, true}) {
            SCOPED_TRACE(::testing::Message() << m << " x " << n << (split ? " split" : ""));
            const std::vector<T> r = legacy_data<T>((size_t)m * n, m + n);
            std::vector<T> a((size_t)ld * (n + 2), (T)0);
            std::vector<cld> xc((size_t)m * n);
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < m; ++i)
                    a[i + j * ld] = r[i + j * m], xc[i + j * m] = r[i + j * m];
            Fft<T>::r2d(true, split, a.data(), m, n);
            const std::vector<cld> F = dft2(xc, m, n, -1);
            auto at = [&](int i, int j) { return (long double)a[i + (ptrdiff_t)j * ld]; };
            std::vector<cld> got, want;
            const int hm = m / 2, hn = n / 2;
            for (int row : {0, hm}) { // the real rows
                const int e = row == 0 ? 0 : split ? hm : m;
                for (int l = 0; l <= hn; ++l) {
                    got.push_back(split ? cld(at(e, l), at(e, hn + 1 + l)) : cld(at(e, 2 * l), at(e, 2 * l + 1)));
                    want.push_back(F[row + (ptrdiff_t)l * m]);
                }
            }
            for (int k = 1; k < hm; ++k) // the complex rows
                for (int j = 0; j < n; ++j) {
                    got.push_back(split ? cld(at(k, j), at(hm + 1 + k, j)) : cld(at(2 * k, j), at(2 * k + 1, j)));
                    want.push_back(F[k + (ptrdiff_t)j * m]);
                }
            EXPECT_LE(rel_error(got, want), tol<T>(p));
            Fft<T>::r2d(false, split, a.data(), m, n);
            got.clear();
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < m; ++i)
                    got.push_back(at(i, j));
            EXPECT_LE(rel_error(got, xc), tol<T>(p));
        }
    }
}
