// The C forms check their arguments even when the configuration file
// turns the input check of the Fortran-convention entries off.
#include <gtest/gtest.h>

#include "tests/support/zem_test.h"
#include "zem.h"

namespace {

using zem_test::captured_stdout;
using zem_test::FreshProcess;
using zem_test::param_line;

TEST(CblasConfig, ChecksStayOnWhenTheFileTurnsThemOff)
{
    FreshProcess fresh;
    fresh.dir().write("zem.cfg", "ZEM_INPUT_CHECK = OFF\n");
    double a[4] = {1, 2, 3, 4}, x[2] = {1, 1}, y[2] = {5, 6};
    const int n = 2, inc = 1;
    const double one = 1;
    // The Fortran-convention entry lets a bad trans through silently ...
    EXPECT_EQ(captured_stdout([&] { dgemv_("X", &n, &n, &one, a, &n, x, &inc, &one, y, &inc); }), "");
    // ... the C forms still report.
    EXPECT_EQ(captured_stdout([&] {
        cblas_dgemv(CblasColMajor, (CBLAS_TRANSPOSE)0, 2, 2, 1, a, 2, x, 1, 1, y, 1);
    }), param_line(2, "cblas_dgemv"));
    EXPECT_EQ(captured_stdout([&] {
        cblas_dgemm(CblasColMajor, CblasNoTrans, CblasNoTrans, 2, 2, 2, 1, a, 1, a, 2, 1, a, 2);
    }), param_line(9, "cblas_dgemm"));
}

} // namespace
