// One-dimensional complex routines: every isign against the long-double
// reference at every order up to 2^20 (the kernels' block borders are at
// 2^9, 2^10, 2^11, 2^13, 2^15 and 2^16), bit-reversed against natural
// order, and the split-array forms against the interleaved ones.
#include <string.h>

#include <gtest/gtest.h>

#include "tests/dft/legacy/legacy_util.h"

using namespace legacy_test;

template <class T> class LegacyComplex : public ::testing::Test {};
typedef ::testing::Types<float, double> Precisions;
TYPED_TEST_SUITE(LegacyComplex, Precisions);

TYPED_TEST(LegacyComplex, EveryIsignAtEveryOrder)
{
    typedef TypeParam T;
    typedef Fft<T> F;
    for (int p = 1; p <= max_order(); ++p) {
        SCOPED_TRACE(p);
        const int n = 1 << p;
        const std::vector<T> x = legacy_data<T>(2 * (size_t)n, p);
        std::vector<T> w(table_reals<T>(n) + 8, (T)-7);
        std::vector<T> y = x;
        F::c1d(y.data(), n, 0, w.data());
        ASSERT_EQ(y, x) << "building the table touched the data";
        ASSERT_EQ(w[0], (T)n);
        ASSERT_EQ(w[1], (T)0);
        for (size_t k = table_reals<T>(n); k < w.size(); ++k)
            ASSERT_EQ(w[k], (T)-7) << "the table outgrew its bound";

        F::c1d(y.data(), n, -1, w.data());
        const std::vector<cld> X = to_cld(x);
        EXPECT_LE(rel_error(to_cld(y), zem_ref::dft(X, -1)), tol<T>(p));

        std::vector<T> z = x;
        F::c1d(z.data(), n, -2, w.data());
        for (size_t k = 0; k < (size_t)n; ++k) {
            const size_t r = bit_reverse(k, p);
            ASSERT_EQ(z[2 * r], y[2 * k]) << k;
            ASSERT_EQ(z[2 * r + 1], y[2 * k + 1]) << k;
        }
        const std::vector<T> zrev = z;
        F::c1d(z.data(), n, 2, w.data());
        EXPECT_LE(rel_error(to_cld(z), X), tol<T>(p));

        std::vector<T> u = x;
        F::c1d(u.data(), n, 1, w.data());
        std::vector<cld> back = zem_ref::dft(X, 1);
        for (cld &v : back)
            v /= (long double)n;
        EXPECT_LE(rel_error(to_cld(u), back), tol<T>(p));

        // the split-array form runs the same arithmetic
        std::vector<T> re(n), im(n);
        auto split = [&](const std::vector<T> &v) {
            for (int k = 0; k < n; ++k)
                re[k] = v[2 * k], im[k] = v[2 * k + 1];
        };
        auto same = [&](const std::vector<T> &v, const char *what) {
            for (int k = 0; k < n; ++k)
                if (re[k] != v[2 * k] || im[k] != v[2 * k + 1])
                    return ::testing::AssertionFailure() << what << " differs at " << k;
            return ::testing::AssertionSuccess();
        };
        split(x);
        F::c1dc(re.data(), im.data(), n, -1, w.data());
        EXPECT_TRUE(same(y, "forward"));
        split(x);
        F::c1dc(re.data(), im.data(), n, -2, w.data());
        EXPECT_TRUE(same(zrev, "bit-reversed forward"));
        F::c1dc(re.data(), im.data(), n, 2, w.data());
        EXPECT_TRUE(same(z, "backward from bit-reversed order"));
        split(x);
        F::c1dc(re.data(), im.data(), n, 1, w.data());
        EXPECT_TRUE(same(u, "backward"));
    }
}

// Data need only the alignment of their element type, tables none beyond
// it: the table start moves up to its own 32-byte boundary.
TYPED_TEST(LegacyComplex, UnalignedDataAndTable)
{
    typedef TypeParam T;
    for (int p : {4, 9, 12}) {
        const int n = 1 << p;
        std::vector<T> mem(2 * (size_t)n + 8), wmem(table_reals<T>(n) + 8);
        T *x = mem.data() + 2 + (sizeof(T) == 4), *w = wmem.data() + 1;
        const std::vector<T> in = legacy_data<T>(2 * (size_t)n, 7);
        memcpy(x, in.data(), in.size() * sizeof(T));
        Fft<T>::c1d(x, n, 0, w);
        Fft<T>::c1d(x, n, -1, w);
        std::vector<T> got(x, x + 2 * n);
        EXPECT_LE(rel_error(to_cld(got), zem_ref::dft(to_cld(in), -1)), tol<T>(p)) << p;
    }
}
