// One-dimensional real routines: the n + 2 layout against the reference,
// round trips, and the split forms against the plain ones.
#include <gtest/gtest.h>

#include "tests/dft/legacy/legacy_util.h"

using namespace legacy_test;

template <class T> class LegacyReal : public ::testing::Test {};
typedef ::testing::Types<float, double> Precisions;
TYPED_TEST_SUITE(LegacyReal, Precisions);

TYPED_TEST(LegacyReal, ForwardBackwardAndSplitAtEveryOrder)
{
    typedef TypeParam T;
    typedef Fft<T> F;
    for (int p = 1; p <= max_order(); ++p) {
        SCOPED_TRACE(p);
        const int n = 1 << p, h = n / 2 + 1;
        const std::vector<T> x0 = legacy_data<T>((size_t)n, 100 + p);
        std::vector<T> w(2 * (size_t)n + 4, (T)-3);
        std::vector<T> x(x0);
        x.resize(n + 3, (T)42); // n + 2 written, one sentinel after them
        F::r1d(true, false, x.data(), n, 0, w.data());
        ASSERT_EQ(w[0], (T)(n / 2));
        ASSERT_EQ(w[2 * n - 1], (T)(n / 2));
        ASSERT_EQ(w[2 * n], (T)-3) << "the table outgrew its 2n reals";

        F::r1d(true, false, x.data(), n, -1, w.data());
        std::vector<cld> xc(n), got(h);
        for (int k = 0; k < n; ++k)
            xc[k] = x0[k];
        std::vector<cld> ref = zem_ref::dft(xc, -1);
        ref.resize(h);
        for (int k = 0; k < h; ++k)
            got[k] = cld(x[2 * k], x[2 * k + 1]);
        EXPECT_LE(rel_error(got, ref), tol<T>(p));
        EXPECT_EQ(x[1], (T)0);
        EXPECT_EQ(x[n + 1], (T)0);
        EXPECT_EQ(x[n + 2], (T)42);

        std::vector<T> s(x0);
        s.resize(n + 2);
        F::r1d(true, true, s.data(), n, 1, w.data());
        for (int k = 0; k < h; ++k) {
            ASSERT_EQ(s[k], x[2 * k]) << k;
            ASSERT_EQ(s[h + k], x[2 * k + 1]) << k;
        }

        F::r1d(false, false, x.data(), n, 1, w.data());
        F::r1d(false, true, s.data(), n, -2, w.data());
        std::vector<cld> back(n);
        for (int k = 0; k < n; ++k) {
            back[k] = x[k];
            ASSERT_EQ(s[k], x[k]) << k;
        }
        EXPECT_LE(rel_error(back, xc), tol<T>(p));
    }
}

TYPED_TEST(LegacyReal, TwoPointsNeedNoComplexTransform)
{
    typedef TypeParam T;
    T w[4], x[4] = {3, 5, 9, 9};
    Fft<T>::r1d(true, false, x, 2, 0, w);
    Fft<T>::r1d(true, false, x, 2, -1, w);
    EXPECT_EQ(x[0], (T)8);
    EXPECT_EQ(x[1], (T)0);
    EXPECT_EQ(x[2], (T)-2);
    EXPECT_EQ(x[3], (T)0);
    Fft<T>::r1d(false, false, x, 2, 1, w);
    EXPECT_EQ(x[0], (T)3);
    EXPECT_EQ(x[1], (T)5);
}
