// The isign and table protocol and every argument check, with the error
// lines byte for byte.
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "tests/dft/legacy/legacy_util.h"
#include "tests/support/alloc_fail.h"
#include "tests/support/zem_test.h"

using namespace legacy_test;
using zem_test::captured_stdout;
using zem_test::param_line;

template <class T> class LegacyErrors : public ::testing::Test {};
typedef ::testing::Types<float, double> Precisions;
TYPED_TEST_SUITE(LegacyErrors, Precisions);

namespace {
// Routine names as the routines print them.
template <class T> std::string nm(const char *single, const char *dbl) { return sizeof(T) == 4 ? single : dbl; }

struct Case {
    std::function<void()> call;
    int position;
    std::string name;
};

void expect_lines(const std::vector<Case> &cases)
{
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case &c = cases[i];
        EXPECT_EQ(captured_stdout(c.call), c.position ? param_line(c.position, c.name) : std::string()) << "case " << i;
    }
}
} // namespace

TYPED_TEST(LegacyErrors, OneDimensionalComplex)
{
    typedef TypeParam T;
    typedef Fft<T> F;
    std::vector<T> x(64, (T)1), re(16, (T)1), im(16, (T)1), w8(table_reals<T>(8)), w16(table_reals<T>(16));
    F::c1d(x.data(), 8, 0, w8.data());
    F::c1d(x.data(), 16, 0, w16.data());
    const std::vector<T> before = x;
    T *d = x.data(), *w = w16.data();
    const std::string c = nm<T>("CFFT1D  ", "ZFFT1D  "), s = nm<T>("CFFT1DC", "ZFFT1DC");
    expect_lines({
        {[&] { F::c1d(nullptr, 1, -1, nullptr); }, 0, c},
        {[&] { F::c1d(nullptr, 0, 5, nullptr); }, 0, c},
        {[&] { F::c1d(d, 12, -1, w); }, 2, c},
        {[&] { F::c1d(d, -16, -1, w); }, 2, c},
        {[&] { F::c1d(d, 16, 3, w); }, 3, c},
        {[&] { F::c1d(d, 16, -3, w); }, 3, c},
        {[&] { F::c1d(d, 16, 1, nullptr); }, 4, c},
        {[&] { F::c1d(d, 16, -1, w8.data()); }, 4, c},
        {[&] { F::c1d(nullptr, 16, -1, w); }, 1, c},
        {[&] { F::c1d(nullptr, 16, 0, w); }, 1, c},
        {[&] { F::c1dc(nullptr, nullptr, 1, 0, nullptr); }, 0, s},
        {[&] { F::c1dc(re.data(), im.data(), 6, -1, w); }, 3, s},
        {[&] { F::c1dc(re.data(), im.data(), 16, 4, w); }, 4, s},
        {[&] { F::c1dc(re.data(), im.data(), 16, 2, nullptr); }, 5, s},
        {[&] { F::c1dc(re.data(), im.data(), 16, 2, w8.data()); }, 5, s},
        {[&] { F::c1dc(nullptr, im.data(), 16, 2, w); }, 1, s},
        {[&] { F::c1dc(re.data(), nullptr, 16, 2, w); }, 2, s},
    });
    EXPECT_EQ(x, before) << "a refused call computed";
}

TYPED_TEST(LegacyErrors, TwoDimensionalComplex)
{
    typedef TypeParam T;
    typedef Fft<T> F;
    std::vector<T> x(2 * 64), re(64), im(64);
    const std::string c = nm<T>("CFFT2D  ", "ZFFT2D  "), s = nm<T>("CFFT2DC", "ZFFT2DC");
    T *d = x.data(), *r = re.data(), *i = im.data();
    expect_lines({
        {[&] { F::c2d(d, 6, 8, -1); }, 2, c},
        {[&] { F::c2d(d, 0, 8, -1); }, 2, c},
        {[&] { F::c2d(d, 8, -8, -1); }, 3, c},
        {[&] { F::c2d(d, 8, 8, 0); }, 4, c},
        {[&] { F::c2d(d, 8, 8, 3); }, 4, c},
        {[&] { F::c2d(nullptr, 8, 8, 1); }, 1, c},
        {[&] { F::c2dc(r, i, 6, 8, -1); }, 3, s},
        {[&] { F::c2dc(r, i, 8, 12, -1); }, 4, s},
        {[&] { F::c2dc(r, i, 8, 8, 0); }, 5, s},
        {[&] { F::c2dc(nullptr, i, 8, 8, 2); }, 1, s},
        {[&] { F::c2dc(r, nullptr, 8, 8, -2); }, 2, s},
    });
}

TYPED_TEST(LegacyErrors, Real)
{
    typedef TypeParam T;
    typedef Fft<T> F;
    std::vector<T> x(34, (T)1), w16(32), w32(64), a(10 * 10);
    F::r1d(true, false, x.data(), 16, 0, w16.data());
    F::r1d(true, false, x.data(), 32, 0, w32.data());
    std::vector<T> wrongEnd = w32;
    wrongEnd[63] = 15;
    T *d = x.data();
    for (bool fwd : {true, false})
        for (bool split : {false, true}) {
            std::string name = fwd ? nm<T>("SCFFT1D", "DZFFT1D") : nm<T>("CSFFT1D", "ZDFFT1D");
            name += split ? "C" : " ";
            SCOPED_TRACE(name);
            expect_lines({
                {[&] { F::r1d(fwd, split, nullptr, 1, 1, nullptr); }, 0, name},
                {[&] { F::r1d(fwd, split, d, 16, 1, w16.data()); }, 0, name},
                {[&] { F::r1d(fwd, split, d, 24, 1, w16.data()); }, 2, name},
                {[&] { F::r1d(fwd, split, d, 16, -3, w16.data()); }, 3, name},
                {[&] { F::r1d(fwd, split, d, 16, 1, nullptr); }, 4, name},
                {[&] { F::r1d(fwd, split, d, 32, 1, w16.data()); }, 4, name},
                {[&] { F::r1d(fwd, split, d, 32, -1, wrongEnd.data()); }, 4, name},
                {[&] { F::r1d(fwd, split, nullptr, 32, 2, w32.data()); }, 1, name},
            });
            std::string name2 = fwd ? nm<T>("SCFFT2D", "DZFFT2D") : nm<T>("CSFFT2D", "ZDFFT2D");
            name2 += split ? "C" : " ";
            expect_lines({
                {[&] { F::r2d(fwd, split, a.data(), 3, 8); }, 2, name2},
                {[&] { F::r2d(fwd, split, a.data(), 8, 0); }, 3, name2},
                {[&] { F::r2d(fwd, split, nullptr, 8, 8); }, 1, name2},
            });
        }
}

// Whichever request for temporary memory fails (the two-dimensional tables
// and rows, the split real temporary), the routine reports it and leaves
// the data alone; otherwise it computes what it computes with memory.
TYPED_TEST(LegacyErrors, OutOfWorkMemory)
{
    typedef TypeParam T;
    typedef Fft<T> F;
    const int m = 16, n = 8;
    const std::vector<T> x0 = legacy_data<T>(2 * (m + 2) * n, 5);
    std::vector<T> w(2 * n);
    std::vector<T> scratch(n + 2);
    F::r1d(true, true, scratch.data(), n, 0, w.data());
    struct Routine {
        std::string name;
        std::function<void(T *)> call;
    };
    std::vector<Routine> routines = {
        {nm<T>("CFFT2D  ", "ZFFT2D  "), [&](T *x) { F::c2d(x, m, n, -1); }},
        {nm<T>("CFFT2DC", "ZFFT2DC"), [&](T *x) { F::c2dc(x, x + m * n, m, n, 1); }},
    };
    for (bool fwd : {true, false})
        for (bool split : {false, true}) {
            routines.push_back({(fwd ? nm<T>("SCFFT2D", "DZFFT2D") : nm<T>("CSFFT2D", "ZDFFT2D")) + (split ? "C" : " "),
                                [&, fwd, split](T *x) { F::r2d(fwd, split, x, m, n); }});
            if (split)
                routines.push_back({fwd ? nm<T>("SCFFT1DC", "DZFFT1DC") : nm<T>("CSFFT1DC", "ZDFFT1DC"),
                                    [&, fwd](T *x) { F::r1d(fwd, true, x, n, 1, w.data()); }});
        }
    for (const Routine &c : routines) {
        SCOPED_TRACE(c.name);
        std::vector<T> want = x0;
        c.call(want.data());
        zem_test::for_each_failing_allocation([&] {
            std::vector<T> x = x0;
            const std::string out = captured_stdout([&] { c.call(x.data()); });
            if (zem_test::alloc_failed()) {
                EXPECT_EQ(out, zem_test::internal_line(0, c.name));
                EXPECT_TRUE(x == x0) << "data written";
            } else {
                EXPECT_EQ(out, "");
                EXPECT_TRUE(x == want);
            }
        });
    }
}

// Dimensions whose tables pass 32-bit byte counts (and, on i386, the
// address space) are reported like any failed request, without touching
// the data; requests above 64 MiB are refused here, so nothing large is
// ever touched.
TYPED_TEST(LegacyErrors, SizesBeyondThirtyTwoBits)
{
    typedef TypeParam T;
    typedef Fft<T> F;
    zem_test::AllocLimit limit(64 << 20);
    std::vector<T> x(64, (T)1);
    const std::vector<T> x0 = x;
    const int big = 1 << 30;
    EXPECT_EQ(captured_stdout([&] { F::c2d(x.data(), big, 2, 1); }), zem_test::internal_line(0, nm<T>("CFFT2D  ", "ZFFT2D  ")));
    EXPECT_EQ(captured_stdout([&] { F::c2dc(x.data(), x.data() + 32, 2, big, -1); }),
              zem_test::internal_line(0, nm<T>("CFFT2DC", "ZFFT2DC")));
    EXPECT_EQ(captured_stdout([&] { F::r2d(true, false, x.data(), big, 2); }),
              zem_test::internal_line(0, nm<T>("SCFFT2D ", "DZFFT2D ")));
    EXPECT_EQ(captured_stdout([&] { F::r2d(false, true, x.data(), 2, big); }),
              zem_test::internal_line(0, nm<T>("CSFFT2DC", "ZDFFT2DC")));
    EXPECT_TRUE(x == x0) << "data written";
}
