// Serial against parallel: with two threads the long one-dimensional
// transforms split into pieces and the two-dimensional ones share their
// columns and rows; the results are the serial ones to the last bit.
// Every test runs in a process of its own, set to parallel mode first.
#include <stdlib.h>

#include <omp.h>

#include <gtest/gtest.h>

#include "tests/dft/legacy/legacy_util.h"
#include "tests/support/zem_test.h"

using namespace legacy_test;

template <class T> class LegacyThreads : public ::testing::Test {
protected:
    zem_test::FreshProcess fresh_;
    LegacyThreads() { setenv("ZEM_SERIAL", "NO", 1); }
};
typedef ::testing::Types<float, double> Precisions;
TYPED_TEST_SUITE(LegacyThreads, Precisions);

namespace {
// fn's result with one thread and with two.
template <class T, class F> void expect_same(const std::vector<T> &in, F fn, const char *what)
{
    std::vector<T> one = in, two = in;
    omp_set_num_threads(1);
    fn(one.data());
    omp_set_num_threads(2);
    fn(two.data());
    EXPECT_TRUE(one == two) << what;
}
} // namespace

TYPED_TEST(LegacyThreads, OneDimensionalPieces)
{
    typedef TypeParam T;
    typedef Fft<T> F;
    std::vector<int> orders = {11, 12, 13};
    if (sizeof(void *) == 8)
        orders.insert(orders.end(), {16, 17});
    for (int p : orders) {
        SCOPED_TRACE(p);
        const int n = 1 << p;
        std::vector<T> w(table_reals<T>(n)), wr(2 * (size_t)n), x = legacy_data<T>(2 * (size_t)n + 2, p);
        F::c1d(x.data(), n, 0, w.data());
        F::r1d(true, false, x.data(), n, 0, wr.data());
        for (int s : {-1, -2, 1, 2})
            expect_same(x, [&](T *d) { F::c1d(d, n, s, w.data()); }, "interleaved");
        expect_same(x, [&](T *d) { F::c1dc(d, d + n, n, -1, w.data()); }, "split");
        expect_same(x, [&](T *d) { F::r1d(true, false, d, n, -1, wr.data()); }, "real forward");
        expect_same(x, [&](T *d) { F::r1d(false, false, d, n, 1, wr.data()); }, "real backward");
    }
}

TYPED_TEST(LegacyThreads, TwoDimensionalPhases)
{
    typedef TypeParam T;
    typedef Fft<T> F;
    const int m = 64, n = 32;
    const std::vector<T> x = legacy_data<T>(2 * (size_t)(m + 2) * (n + 2), 5);
    for (int s : {-1, 2})
        expect_same(x, [&](T *d) { F::c2d(d, m, n, s); }, "complex");
    expect_same(x, [&](T *d) { F::c2dc(d, d + m * n, m, n, -1); }, "complex split");
    // the real ones share their columns and rows whatever their size
    for (int rm : {m, 4})
        for (bool split : {false, true}) {
            expect_same(x, [&](T *d) { F::r2d(true, split, d, rm, 8); }, "real forward");
            expect_same(x, [&](T *d) { F::r2d(false, split, d, rm, 8); }, "real backward");
        }
}
