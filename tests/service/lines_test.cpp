// Option characters and the exact bytes of every error line.
#include <gtest/gtest.h>
#include "tests/support/zem_test.h"
#include "zem_service.h"

using zem_test::captured_stdout;

struct LsameCase {
    const char *a, *b;
    int expected;
};

class Lsame : public testing::TestWithParam<LsameCase> {};

TEST_P(Lsame, ComparesFirstByteCaseInsensitivelyForLettersOnly)
{
    const LsameCase &c = GetParam();
    EXPECT_EQ(_ZEM_SERV_lsame(c.a, c.b), c.expected) << c.a << " vs " << c.b;
    EXPECT_EQ(lsame_(c.a, c.b), c.expected);
    EXPECT_EQ(LSAME(c.a, c.b), c.expected);
    EXPECT_EQ(lsame(c.a, c.b), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Characters, Lsame,
    testing::Values(LsameCase{"a", "A", -1}, LsameCase{"A", "a", -1}, LsameCase{"T", "transpose", -1},
                    LsameCase{"t", "Trans", -1}, LsameCase{"1", "1", -1}, LsameCase{"[", "{", 0},
                    LsameCase{"{", "[", 0}, LsameCase{"@", "`", 0}, LsameCase{"N", "T", 0},
                    LsameCase{"z", "Z", -1}, LsameCase{"Z", "z", -1}, LsameCase{"\xc1", "\xe1", 0},
                    LsameCase{"\xe1", "\xe1", -1}, LsameCase{" ", " ", -1}, LsameCase{"A", "B", 0}));

struct LineCase {
    int code;
    const char *name;
};

class XerblaLine : public testing::TestWithParam<LineCase> {};

TEST_P(XerblaLine, PrintsExactBytes)
{
    const LineCase &c = GetParam();
    std::string expected = c.code > 0 ? zem_test::param_line(c.code, c.name)
                                      : zem_test::internal_line(c.code, c.name);
    for (auto fn : {xerbla_, XERBLA, xerbla})
        EXPECT_EQ(captured_stdout([&] { fn(c.name, &c.code, (int)strlen(c.name)); }), expected);
}

INSTANTIATE_TEST_SUITE_P(Codes, XerblaLine,
                         testing::Values(LineCase{1, "DGEMM "}, LineCase{3, "DGEMM "},
                                         LineCase{13, "CHER2K"}, LineCase{0, "CSFFT2D "},
                                         LineCase{-1, "DGER  "}, LineCase{-2147483647, "X"},
                                         LineCase{2147483647, "cblas_dgemm"}, LineCase{5, ""}));

TEST(XerblaLine, ParameterThreeOfDgemmByteForByte)
{
    const int code = 3;
    EXPECT_EQ(captured_stdout([&] { xerbla_("DGEMM ", &code); }),
              "ZEM ERROR : Parameter  3  was incorrect on entry to  DGEMM \n");
}

TEST(XerblaLine, InternalConditionZeroAndMinusOne)
{
    const int zero = 0, minus = -1;
    EXPECT_EQ(captured_stdout([&] { xerbla_("ZFFT1D  ", &zero); }),
              "ZEM INTERNAL ERROR : Condition  0  detected in function  ZFFT1D  \n");
    EXPECT_EQ(captured_stdout([&] { xerbla_("ZFFT1D  ", &minus); }),
              "ZEM INTERNAL ERROR : Condition  -1  detected in function  ZFFT1D  \n");
}

TEST(CblasXerbla, PrintsParameterFormWithGivenPosition)
{
    EXPECT_EQ(captured_stdout([] { cblas_xerbla("cblas_dgemm", 9); }),
              "ZEM ERROR : Parameter  9  was incorrect on entry to  cblas_dgemm\n");
    // Positions are printed as given, even where xerbla_ would use the
    // internal form.
    EXPECT_EQ(captured_stdout([] { cblas_xerbla("cblas_sger", 0); }),
              "ZEM ERROR : Parameter  0  was incorrect on entry to  cblas_sger\n");
}

TEST(Stubs, AssertAndRuntimeErrorReturnQuietly)
{
    EXPECT_EQ(captured_stdout([] {
                  _assert("x > 0", "file.c", 12);
                  f_rterr();
              }),
              "");
}
