// The level-2 entries around the kernels: the checked names reject a bad
// argument with one error line and leave every output alone, the unchecked
// form never checks, and a configuration file that turns the input check
// off lets a bad trans through silently. Each case runs in its own process
// (the configuration file is read once per process).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "blas/interface/entry.h"
#include "tests/support/zem_test.h"

namespace {

using zem_test::captured_stdout;
using zem_test::FreshProcess;
using zem_test::param_line;

typedef void (*dgemv_fn) ZEM_P_GEMV(double, double);

struct Call {
    std::string trans = "N";
    int m = 3, n = 2, lda = 3, incx = 1, incy = 1;
};

// Runs fn on a 3-by-2 problem and returns its output; y keeps its bits when
// the call is rejected.
std::string run(dgemv_fn fn, const Call &c, std::vector<double> &y)
{
    static const double a[6] = {1, 2, 3, 4, 5, 6}, x[3] = {1, 1, 1};
    const double alpha = 1, beta = 0;
    y.assign(3, NAN);
    return captured_stdout(
        [&] { fn(c.trans.c_str(), &c.m, &c.n, &alpha, a, &c.lda, x, &c.incx, &beta, y.data(), &c.incy); });
}

TEST(Level2Entries, CheckedNamesRejectBadArgumentsWithoutTouchingY)
{
    FreshProcess fresh;
    struct Bad {
        Call call;
        int position;
    };
    std::vector<Bad> bad(5);
    bad[0].call.trans = "X", bad[0].position = 1;
    bad[1].call.m = -1, bad[1].position = 2;
    bad[2].call.n = -1, bad[2].position = 3;
    bad[3].call.lda = 2, bad[3].position = 6;
    bad[4].call.incx = 0, bad[4].position = 8;
    for (dgemv_fn fn : {DGEMV, dgemv, dgemv_})
        for (const Bad &b : bad) {
            std::vector<double> y;
            EXPECT_EQ(run(fn, b.call, y), param_line(b.position, "DGEMV ")) << "position " << b.position;
            for (double v : y)
                EXPECT_TRUE(std::isnan(v));
        }
    Call c;
    c.incy = 0;
    std::vector<double> y;
    EXPECT_EQ(run(dgemv_, c, y), param_line(11, "DGEMV "));
    // A valid call prints nothing and computes.
    EXPECT_EQ(run(dgemv_, Call(), y), "");
    EXPECT_EQ(y[0], 5);
    EXPECT_EQ(y[2], 9);
}

TEST(Level2Entries, UncheckedFormDoesNotCheck)
{
    FreshProcess fresh;
    Call c;
    c.trans = "X"; // not N: taken as a transpose, y has n elements
    std::vector<double> y;
    EXPECT_EQ(run(_ZEM_BLAS_F77_DGEMV, c, y), "");
    EXPECT_EQ(y[0], 6);
    EXPECT_EQ(y[1], 15);
    EXPECT_TRUE(std::isnan(y[2]));
}

TEST(Level2Entries, InputCheckOffLetsBadTransThrough)
{
    FreshProcess fresh;
    fresh.dir().write("zem.cfg", "ZEM_INPUT_CHECK = OFF\n");
    Call c;
    c.trans = "X";
    std::vector<double> y;
    EXPECT_EQ(run(dgemv_, c, y), "");
    EXPECT_EQ(cfg_check, 0);
    EXPECT_EQ(y[0], 6);
    EXPECT_EQ(y[1], 15);
}

// Every level-2 routine reports through xerbla_ under its padded name.
TEST(Level2Entries, EveryRoutineReportsItsName)
{
    FreshProcess fresh;
    const int bad = -1, one = 1, zero = 0;
    float fs[4] = {0};
    double ds[4] = {0};
    ZEM_Complex8 cs[4] = {};
    ZEM_Complex16 zs[4] = {};
    EXPECT_EQ(captured_stdout([&] { strmv_("U", "N", "N", &bad, fs, &one, fs, &one); }), param_line(4, "STRMV "));
    EXPECT_EQ(captured_stdout([&] { dtbsv_("U", "N", "N", &one, &bad, ds, &one, ds, &one); }),
              param_line(5, "DTBSV "));
    EXPECT_EQ(captured_stdout([&] { chpr_("X", &one, fs, cs, &one, cs); }), param_line(1, "CHPR  "));
    EXPECT_EQ(captured_stdout([&] { zher2_("U", &bad, zs, zs, &one, zs, &one, zs, &one); }),
              param_line(2, "ZHER2 "));
    EXPECT_EQ(captured_stdout([&] { cgerc_(&one, &one, cs, cs, &one, cs, &one, cs, &bad); }),
              param_line(9, "CGERC "));
    EXPECT_EQ(captured_stdout([&] { sspmv_("L", &one, fs, fs, fs, &zero, fs, fs, &one); }), param_line(6, "SSPMV "));
}

} // namespace
