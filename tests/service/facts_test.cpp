// Version record and strings, processor facts, and the x87 sine and cosine.
#include <gtest/gtest.h>
#include <math.h>
#include <string.h>
#include <string>
#include "tests/support/zem_test.h"
#include "zem_service.h"

extern "C" int zem_l2_code_from_leaf2(const unsigned int regs[4]);

namespace {

const std::string kVersion =
    "Zem Numerics Library Version 7.2.1 Product Build 021505.03 for 32-bit applications ";

TEST(Version, Record)
{
    ZEMVersion v;
    memset(&v, 0xab, sizeof v);
    ZEMGetVersion(&v);
    EXPECT_EQ(v.major, 7);
    EXPECT_EQ(v.minor, 2);
    EXPECT_EQ(v.update, 1);
    EXPECT_STREQ(v.product_status, "Product");
    EXPECT_STREQ(v.build, "021505.03");
    EXPECT_STREQ(v.processor, "Tier-1 processor");
    ZEMVersion w;
    _ZEM_SERV_getversion(&w);
    EXPECT_EQ(w.major * 100 + w.minor * 10 + w.update, 721);
    EXPECT_EQ(w.build, v.build);
    EXPECT_STREQ(_ZEM_SERV_gettargetprocessor(), "Tier-1 processor");
    EXPECT_STREQ(gettargetplatform(), "32-bit");
    EXPECT_EQ(dll_cpu_version(), 1);
}

// A buffer with a guard region after `len` bytes.
struct Guarded {
    char bytes[256];
    explicit Guarded() { memset(bytes, '#', sizeof bytes); }
    std::string head(int n) const { return std::string(bytes, (size_t)n); }
    bool guard_intact(int from) const
    {
        for (size_t i = (size_t)from; i < sizeof bytes; ++i)
            if (bytes[i] != '#')
                return false;
        return true;
    }
};

class VersionString : public testing::TestWithParam<int> {};

TEST_P(VersionString, FortranFormBlankPaddedWithoutNul)
{
    const int len = GetParam();
    const int s = (int)kVersion.size();
    for (auto fn : {zemgetversionstring_, _ZEM_SERV_getversionstring}) {
        Guarded g;
        fn(g.bytes, len);
        std::string expected = len > s ? kVersion + std::string((size_t)(len - s), ' ') : kVersion.substr(0, (size_t)len);
        EXPECT_EQ(g.head(len), expected);
        EXPECT_TRUE(g.guard_intact(len));
    }
}

TEST_P(VersionString, CFormTerminatedAndZeroFilled)
{
    const int len = GetParam();
    const int s = (int)kVersion.size();
    for (auto fn : {ZEMGetVersionString, ZEMGETVERSIONSTRING, zemgetversionstring, _ZEM_SERV_getversionstring_c}) {
        Guarded g;
        fn(g.bytes, len);
        std::string expected = len - 1 >= s ? kVersion + std::string((size_t)(len - s), '\0')
                                            : kVersion.substr(0, (size_t)(len - 1)) + std::string(1, '\0');
        EXPECT_EQ(g.head(len), expected);
        EXPECT_TRUE(g.guard_intact(len));
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, VersionString, testing::Values(1, 2, 10, 82, 83, 84, 85, 100, 200));

TEST(VersionString, TextIsEightyThreeCharacters)
{
    EXPECT_EQ(kVersion.size(), 83u);
    char buf[128];
    ZEMGetVersionString(buf, (int)sizeof buf);
    EXPECT_EQ(std::string(buf), kVersion);
}

TEST(VersionString, NonPositiveLengthWritesNothing)
{
    Guarded g;
    ZEMGetVersionString(g.bytes, 0);
    zemgetversionstring_(g.bytes, -3);
    EXPECT_TRUE(g.guard_intact(0));
}

TEST(BuildDate, KeepsDigitsInOrder)
{
    char out[32];
    _ZEM_SERV_build_date("Dec 3 2026", out);
    EXPECT_STREQ(out, "32026");
    _ZEM_SERV_build_date("no digits", out);
    EXPECT_STREQ(out, "");
    _ZEM_SERV_build_date("12:34:56", out);
    EXPECT_STREQ(out, "123456");
}

struct Leaf2Case {
    unsigned int regs[4];
    int code;
};

class SecondLevelCache : public testing::TestWithParam<Leaf2Case> {};

TEST_P(SecondLevelCache, FromDescriptors) { EXPECT_EQ(zem_l2_code_from_leaf2(GetParam().regs), GetParam().code); }

INSTANTIATE_TEST_SUITE_P(
    Descriptors, SecondLevelCache,
    testing::Values(Leaf2Case{{0x00000001, 0, 0, 0x00000043}, 3},     // EDX holds 0x43: 512 KB
                    Leaf2Case{{0x00000001, 0, 0, 0x00430000}, 3},     // any byte of EDX
                    Leaf2Case{{0x00000040, 0, 0, 0}, -1},             // EAX's lowest byte is the count
                    Leaf2Case{{0x00004001, 0, 0, 0}, 0},              // no second-level cache
                    Leaf2Case{{0x00000001, 0x79, 0x85, 0}, 5},        // later register overrides
                    Leaf2Case{{0x00000001, 0x85, 0x79, 0}, 1},
                    Leaf2Case{{0x00000001, 0, 0, 0x80000043}, -1},    // bit 31: no descriptors
                    Leaf2Case{{0x0082a001, 0, 0, 0}, 2},
                    Leaf2Case{{0x00000001, 0x7c000000, 0, 0}, 4},
                    Leaf2Case{{0x00FEFF01, 0, 0, 0}, -1}));           // descriptors in another leaf

TEST(ProcessorFacts, CachedAnswersAgreeWithQueries)
{
    int ht = _ZEM_SERV_getcpuht();
    EXPECT_TRUE(ht == 0 || ht == 1);
    EXPECT_EQ(_ZEM_SERV_verifyht(), ht);
    EXPECT_EQ(_ZEM_SERV_verifyht(), ht);
    unsigned int regs[4];
    _ZEM_SERV_getcputlbcache(regs);
    EXPECT_EQ(_ZEM_SERV_l2cache(), zem_l2_code_from_leaf2(regs));
}

// The x87 constant the large arguments are reduced by: 2^62 * pi.
long double reduction_constant()
{
    const unsigned char bytes[10] = {0x35, 0xC2, 0x68, 0x21, 0xA2, 0xDA, 0x0F, 0xC9, 0x3E, 0x40};
    long double k = 0;
    memcpy(&k, bytes, sizeof bytes);
    return k;
}

class X87Trig : public testing::TestWithParam<double> {};

TEST_P(X87Trig, MatchesLibraryWithinExtendedRounding)
{
    // The instruction reduces by a 66-bit pi (an error growing like
    // |x| * 2^-66), and emulated x87 units may compute the function in
    // double precision only: hence the tolerance.
    auto tol = [](long double x) { return (double)(4e-16L + fabsl(x) * 0x1p-62L); };
    const double x = GetParam();
    EXPECT_NEAR((double)_ZEM_SERV_sin(x), (double)sinl(x), tol(x)) << x;
    EXPECT_NEAR((double)_ZEM_SERV_cos(x), (double)cosl(x), tol(x)) << x;
    const float xf = (float)x;
    EXPECT_NEAR((double)_ZEM_SERV_sinf(xf), (double)sinl(xf), tol(xf)) << xf;
    EXPECT_NEAR((double)_ZEM_SERV_cosf(xf), (double)cosl(xf), tol(xf)) << xf;
}

INSTANTIATE_TEST_SUITE_P(Arguments, X87Trig,
                         testing::Values(0.0, 1.0, -1.0, 0.5, 3.141592653589793, 1e-300, 100.0, -12345.678, 1e6));

// From 2^63 on, the argument is first reduced modulo 2^62*pi; the
// instruction then reduces the remainder (up to 2^61*pi) by its own
// internal pi, whose 66 bits allow an error of about |r| * 2^-66.
TEST(X87Trig, LargeArgumentsReducedByPartialRemainder)
{
    if (zem_test::x87_emulated())
        GTEST_SKIP() << "emulated x87: partial remainders are not exact";
    const long double k = reduction_constant();
    for (double x : {1e19, -3e20, 1e300, 9.3e18, 1.5e30}) {
        long double r = remainderl((long double)x, k);
        long double s = _ZEM_SERV_sin(x), c = _ZEM_SERV_cos(x);
        const double bound = (double)(fabsl(r) * 0x1p-64L) + 1e-15;
        EXPECT_NEAR((double)s, (double)sinl(r), bound) << x;
        EXPECT_NEAR((double)c, (double)cosl(r), bound) << x;
        EXPECT_NEAR((double)(s * s + c * c), 1.0, 1e-14) << x;
    }
    float xf = 1e30f;
    long double rf = remainderl(xf, k);
    EXPECT_NEAR((double)_ZEM_SERV_sinf(xf), (double)sinl(rf), (double)(fabsl(rf) * 0x1p-64L) + 1e-15);
}

TEST(X87Trig, SpecialValues)
{
    EXPECT_TRUE(isnan((double)_ZEM_SERV_sin(NAN)));
    EXPECT_TRUE(isnan((double)_ZEM_SERV_cos(INFINITY)));
    EXPECT_TRUE(signbit((double)_ZEM_SERV_sin(-0.0)));
    EXPECT_EQ((double)_ZEM_SERV_cos(0.0), 1.0);
}

} // namespace
