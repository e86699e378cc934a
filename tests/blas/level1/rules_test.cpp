// Special values, degenerate arguments and the entry names of the dense
// vector routines, and the block scaling helpers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "blas/interface/entry.h"
#include "blas/kernel/default/level1/level1.h"
#include "zem_blas.h"
#include "tests/support/zem_test.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const float kNaNf = std::numeric_limits<float>::quiet_NaN();

template <class T>
bool same_bits(const T &a, const T &b)
{
    return memcmp(&a, &b, sizeof(T)) == 0;
}

TEST(Axpy, SignedZeroAlphaLeavesYUntouched)
{
    for (double a : {0.0, -0.0}) {
        for (int inc : {1, 2, -1}) {
            double x[8] = {1, 2, 3, 4, 5, 6, 7, 8}, y[8] = {kNaN, -0.0, 1, 2, 3, 4, 5, 6}, y0[8];
            memcpy(y0, y, sizeof y);
            int n = 4;
            daxpy_(&n, &a, x, &inc, y, &inc);
            EXPECT_EQ(0, memcmp(y, y0, sizeof y));
            float xs[8] = {1, 2, 3, 4, 5, 6, 7, 8}, ys[8] = {kNaNf, -0.0f, 1, 2, 3, 4, 5, 6}, ys0[8];
            memcpy(ys0, ys, sizeof ys);
            float as = (float)a;
            saxpy_(&n, &as, xs, &inc, ys, &inc);
            EXPECT_EQ(0, memcmp(ys, ys0, sizeof ys));
        }
    }
    ZEM_Complex16 zx[3] = {{1, 2}, {3, 4}, {5, 6}}, zy[3] = {{kNaN, -0.0}, {1, 1}, {2, 2}}, zy0[3];
    ZEM_Complex8 cx_[3] = {{1, 2}, {3, 4}, {5, 6}}, cy[3] = {{kNaNf, -0.0f}, {1, 1}, {2, 2}}, cy0[3];
    memcpy(zy0, zy, sizeof zy);
    memcpy(cy0, cy, sizeof cy);
    ZEM_Complex16 za = {-0.0, 0.0};
    ZEM_Complex8 ca = {0.0f, -0.0f};
    int n = 3, one = 1;
    zaxpy_(&n, &za, zx, &one, zy, &one);
    caxpy_(&n, &ca, cx_, &one, cy, &one);
    EXPECT_EQ(0, memcmp(zy, zy0, sizeof zy));
    EXPECT_EQ(0, memcmp(cy, cy0, sizeof cy));
}

TEST(Axpy, NaNAlphaWritesNaN)
{
    // Unit stride (lanes, peeled and remaining elements), y-only unit, and
    // the general strided path.
    for (int ix : {1, 2, -3})
        for (int iy : {1, -1, 2}) {
            std::vector<float> x(64, 1.0f), y(64, 2.0f);
            int n = 19;
            saxpy_(&n, &kNaNf, x.data() + 1, &ix, y.data() + 1, &iy);
            int hit = 0;
            for (int i = 0; i < n; ++i)
                hit += std::isnan(y[1 + (size_t)i * (iy < 0 ? -iy : iy)]);
            EXPECT_EQ(n, hit) << "incx " << ix << " incy " << iy;
            EXPECT_EQ(2.0f, y[0]);
        }
}

TEST(Scal, ZeroIncrementScalesFirstElementNTimes)
{
    double x[3] = {1.5, 7, 7};
    float s[3] = {1.5f, 7, 7};
    int n = 5, zero = 0;
    double a = 2;
    float as = 2;
    dscal_(&n, &a, x, &zero);
    sscal_(&n, &as, s, &zero);
    EXPECT_EQ(48.0, x[0]);
    EXPECT_EQ(48.0f, s[0]);
    EXPECT_EQ(7.0, x[1]);
    EXPECT_EQ(7.0f, s[1]);
}

TEST(Scal, NegativeIncrementScalesTheSameElements)
{
    for (int n : {1, 6, 13}) {
        std::vector<double> a(40), b(40);
        std::vector<float> c(40), d(40);
        for (int i = 0; i < 40; ++i)
            a[i] = b[i] = c[i] = d[i] = 1.0f + i * 0.25f;
        int p = 2, m = -2;
        double al = -1.75;
        float als = -1.75f;
        dscal_(&n, &al, a.data(), &p);
        dscal_(&n, &al, b.data(), &m);
        sscal_(&n, &als, c.data(), &p);
        sscal_(&n, &als, d.data(), &m);
        EXPECT_EQ(a, b);
        EXPECT_EQ(c, d);
    }
}

TEST(Scal, NoShortcutForZeroAlpha)
{
    double x[2] = {kNaN, std::numeric_limits<double>::infinity()};
    double a = 0.0;
    int n = 2, one = 1;
    dscal_(&n, &a, x, &one);
    EXPECT_TRUE(std::isnan(x[0]));
    EXPECT_TRUE(std::isnan(x[1]));
}

TEST(Scal, ComplexUnitAlphaDoesNoArithmetic)
{
    for (int inc : {1, 2}) {
        // Odd start: the single-element and the 16-byte paths both run.
        std::vector<ZEM_Complex8> x(40);
        for (size_t i = 0; i < x.size(); ++i)
            x[i] = (i % 3 == 0) ? ZEM_Complex8{-0.0f, kNaNf} : ZEM_Complex8{kNaNf, -0.0f};
        std::vector<ZEM_Complex8> x0 = x;
        ZEM_Complex8 one = {1.0f, 0.0f};
        int n = 17;
        cscal_(&n, &one, x.data() + 1, &inc);
        EXPECT_EQ(0, memcmp(x.data(), x0.data(), x.size() * sizeof(ZEM_Complex8)));
    }
    // (1, -0) is not the exact pattern: arithmetic happens (-0 + -0*-0 ...).
    ZEM_Complex8 y[1] = {{-0.0f, 0.0f}}, alpha = {1.0f, -0.0f};
    int n = 1, inc = 1;
    cscal_(&n, &alpha, y, &inc);
    EXPECT_FALSE(std::signbit(y[0].real));
}

TEST(IndexRoutines, DegenerateArguments)
{
    double x[4] = {1, 5, 2, 3};
    int n0 = 0, n1 = 1, n4 = 4, zero = 0, neg = -1, one = 1;
    EXPECT_EQ(0, idamax_(&n4, x, &zero));
    EXPECT_EQ(0, idamax_(&n4, x, &neg));
    EXPECT_EQ(0, idamax_(&n0, x, &one));
    EXPECT_EQ(0, idamin_(&n4, x, &zero));
    // n = 1 does not read x.
    EXPECT_EQ(1, idamax_(&n1, (const double *)nullptr, &one));
    EXPECT_EQ(1, isamin_(&n1, (const float *)nullptr, &one));
    EXPECT_EQ(1, icamax_(&n1, (const ZEM_Complex8 *)nullptr, &one));
    EXPECT_EQ(1, izamin_(&n1, (const ZEM_Complex16 *)nullptr, &one));
}

struct IndexCase {
    std::vector<double> v;
    int imax, imin;
};

class IndexValues : public testing::TestWithParam<IndexCase> {};

TEST_P(IndexValues, AllTypesAgree)
{
    const IndexCase &c = GetParam();
    int n = (int)c.v.size(), one = 1;
    std::vector<float> s(c.v.begin(), c.v.end());
    std::vector<ZEM_Complex8> cv;
    std::vector<ZEM_Complex16> zv;
    for (double v : c.v) {
        // Split each magnitude over both parts with mixed signs.
        cv.push_back({(float)(-v / 4), (float)(v * 3 / 4)});
        zv.push_back({v * 3 / 4, -v / 4});
    }
    EXPECT_EQ(c.imax, idamax_(&n, c.v.data(), &one));
    EXPECT_EQ(c.imax, isamax_(&n, s.data(), &one));
    EXPECT_EQ(c.imax, icamax_(&n, cv.data(), &one));
    EXPECT_EQ(c.imax, izamax_(&n, zv.data(), &one));
    EXPECT_EQ(c.imin, idamin_(&n, c.v.data(), &one));
    EXPECT_EQ(c.imin, isamin_(&n, s.data(), &one));
    EXPECT_EQ(c.imin, icamin_(&n, cv.data(), &one));
    EXPECT_EQ(c.imin, izamin_(&n, zv.data(), &one));
}

INSTANTIATE_TEST_SUITE_P(
    TiesAndNaN, IndexValues,
    testing::Values(IndexCase{{1, 3, 3, 2}, 2, 1}, IndexCase{{3, 1, 3}, 1, 2}, IndexCase{{-3, 1, 3}, 1, 2},
                    IndexCase{{kNaN, 2}, 1, 1}, IndexCase{{2, kNaN}, 1, 1}, // a NaN first candidate wins the merge: nothing compares greater
                    IndexCase{{kNaN, 1, 5, 0.5}, 1, 1},
                    // candidate 2 holds NaN and is never replaced (the 9 is lost);
                    // the merge passes over it
                    IndexCase{{1, kNaN, 3, 4, 2, 9, 1, 1}, 4, 1},
                    // a NaN element never replaces a candidate
                    IndexCase{{1, 2, 3, 4, kNaN, kNaN, kNaN, kNaN, kNaN}, 4, 1},
                    // equal magnitudes in different candidates: smallest index
                    IndexCase{{1, 1, 7, 1, 7, 0.5, 7, 1, 7, 0.5}, 3, 6},
                    IndexCase{{-2, 2, -2, 2, -2}, 1, 1}, IndexCase{{0, -0.0, 5}, 3, 1}));

// Long vectors (the lane path of the single-precision routines): a NaN
// never replaces a candidate, a NaN candidate is never replaced.
template <class R>
void long_nan_cases()
{
    const int n = 3001, one = 1;
    const R nan = std::numeric_limits<R>::quiet_NaN();
    auto imax = [&](std::vector<R> &v) {
        return sizeof(R) == 4 ? isamax_(&n, (const float *)v.data(), &one) : idamax_(&n, (const double *)v.data(), &one);
    };
    auto imin = [&](std::vector<R> &v) {
        return sizeof(R) == 4 ? isamin_(&n, (const float *)v.data(), &one) : idamin_(&n, (const double *)v.data(), &one);
    };
    std::vector<R> v(n, (R)1);
    v[0] = nan; // candidate 1 is NaN: it wins the merge
    v[1500] = 9;
    EXPECT_EQ(1, imax(v));
    EXPECT_EQ(1, imin(v));
    v.assign(n, (R)-1);
    v[5] = nan;   // element 6 meets candidate 2 and is ignored
    v[1509] = 7;  // element 1510, candidate 2, in a later block
    v[2047] = -7; // equal magnitude later: the first stays
    EXPECT_EQ(1510, imax(v));
    v[1509] = (R)0.5;
    v[2999] = (R)-0.25; // element 3000, candidate 4
    EXPECT_EQ(3000, imin(v));
    v.assign(n, (R)1);
    v[1] = nan;   // candidate 2 starts as NaN and keeps it
    v[9] = 5;     // lost with it
    v[22] = -3;   // element 23, candidate 3
    v[3000] = 4;  // after the last full group: meets candidate 4
    EXPECT_EQ(3001, imax(v));
    v[3000] = 2;
    EXPECT_EQ(23, imax(v));
    v[9] = (R)0.5;
    v[30] = (R)0.25; // element 31, candidate 3
    EXPECT_EQ(31, imin(v));
}

TEST(IndexRoutines, LongVectorsWithNaN)
{
    long_nan_cases<float>();
    long_nan_cases<double>();
}

TEST(IndexRoutines, ComplexMagnitudeIsSumOfAbsoluteParts)
{
    ZEM_Complex8 c[2] = {{3, 0}, {2, 2}};
    ZEM_Complex16 z[2] = {{-3, 0}, {2, -2}};
    int n = 2, one = 1;
    EXPECT_EQ(2, icamax_(&n, c, &one));
    EXPECT_EQ(2, izamax_(&n, z, &one));
    EXPECT_EQ(1, icamin_(&n, c, &one));
    EXPECT_EQ(1, izamin_(&n, z, &one));
}

TEST(Dot, DegenerateLengths)
{
    float x[2] = {1, 2}, sb = 2.5f;
    int n0 = 0, neg = -3, one = 1;
    EXPECT_EQ(2.5f, sdsdot_(&n0, &sb, x, &one, x, &one));
    EXPECT_EQ(2.5f, sdsdot_(&neg, &sb, x, &one, x, &one));
    EXPECT_EQ(0.0, dsdot_(&n0, x, &one, x, &one));
    EXPECT_EQ(0.0f, sdot_(&n0, x, &one, x, &one));
    ZEM_Complex8 r = {5, 5};
    ZEM_Complex8 cxv[1] = {{1, 1}};
    cdotc_(&r, &neg, cxv, &one, cxv, &one);
    EXPECT_EQ(0.0f, r.real);
    EXPECT_EQ(0.0f, r.imag);
    ZEM_Complex16 zr = {5, 5};
    ZEM_Complex16 zxv[1] = {{1, 1}};
    zdotu_(&zr, &n0, zxv, &one, zxv, &one);
    EXPECT_EQ(0.0, zr.real);
    EXPECT_EQ(0.0, zr.imag);
}

TEST(Dot, ReversedUnitIncrementsGiveTheSameSum)
{
    for (int n : {5, 7, 23}) {
        std::vector<double> x(n), y(n);
        std::vector<float> xs(n), ys(n);
        for (int i = 0; i < n; ++i) {
            x[i] = xs[i] = 1.0f / (i + 3);
            y[i] = ys[i] = 1.0f - 1.0f / (2 * i + 5);
        }
        int p = 1, m = -1;
        double a = ddot_(&n, x.data(), &p, y.data(), &p), b = ddot_(&n, x.data(), &m, y.data(), &m);
        EXPECT_TRUE(same_bits(a, b)) << n;
        float c = sdot_(&n, xs.data(), &p, ys.data(), &p), d = sdot_(&n, xs.data(), &m, ys.data(), &m);
        EXPECT_TRUE(same_bits(c, d)) << n;
    }
}

TEST(Dot, DoubleSumsAreExtended)
{
    // Accumulators 1, 2^-60, -1, 0 combine as s3 + s0 + s1 + s2: the small
    // term survives in extended precision and would vanish in double.
    double x[8] = {1, 9, 0x1p-60, 9, -1, 9, 0, 9}, y[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    int n = 4, one = 1, two = 2;
    EXPECT_EQ(0x1p-60, ddot_(&n, x, &two, y, &one));
    double u[4] = {1, 0x1p-60, -1, 0};
    EXPECT_EQ(0x1p-60, ddot_(&n, u, &one, y, &one));
    float s[4] = {1, 0x1p-40f, -1, 0}, t[4] = {1, 1, 1, 1};
    EXPECT_EQ(0x1p-40, dsdot_(&n, s, &one, t, &one));
}

TEST(Asum, NegativeUnitIncrementEqualsPositive)
{
    std::vector<float> s(37);
    std::vector<double> d(37);
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = d[i] = (i % 2 ? -1.0f : 1.0f) / (float)(i + 1);
    int n = 37, p = 1, m = -1;
    EXPECT_EQ(sasum_(&n, s.data(), &p), sasum_(&n, s.data(), &m));
    EXPECT_EQ(dasum_(&n, d.data(), &p), dasum_(&n, d.data(), &m));
}

TEST(Copy, UnalignedThousandDoublesExact)
{
    std::vector<unsigned char> a(8 * 1000 + 64), b(8 * 1000 + 64);
    double *x = (double *)(((uintptr_t)a.data() + 31) & ~(uintptr_t)31) + 1;
    double *y = (double *)(((uintptr_t)b.data() + 31) & ~(uintptr_t)31) + 3;
    for (int i = 0; i < 1000; ++i)
        x[i] = std::sin(i + 0.5);
    int n = 1000, one = 1;
    dcopy_(&n, x, &one, y, &one);
    EXPECT_EQ(0, memcmp(x, y, 8 * 1000));
}

TEST(Copy, MovesBitsNotValues)
{
    // A signalling NaN would come out quiet from an arithmetic load.
    uint64_t snan = 0x7ff0000000000001ull;
    uint32_t snanf = 0x7f800001u;
    for (int inc : {1, -2}) {
        double x[8], y[8] = {0};
        float xs[8], ys[8] = {0};
        for (int i = 0; i < 8; ++i) {
            memcpy(&x[i], &snan, 8);
            memcpy(&xs[i], &snanf, 4);
        }
        int n = 4;
        dcopy_(&n, x, &inc, y, &inc);
        scopy_(&n, xs, &inc, ys, &inc);
        dswap_(&n, x, &inc, y, &inc);
        EXPECT_EQ(0, memcmp(&y[0], &snan, 8));
        EXPECT_EQ(0, memcmp(&x[0], &snan, 8));
        EXPECT_EQ(0, memcmp(&ys[0], &snanf, 4));
    }
}

TEST(Entries, ThreeNamesAreOneFunction)
{
    EXPECT_EQ((void *)&DAXPY, (void *)&daxpy);
    EXPECT_EQ((void *)&DAXPY, (void *)&daxpy_);
    EXPECT_EQ((void *)&ICAMAX, (void *)&icamax_);
    EXPECT_EQ((void *)&ZDOTC, (void *)&zdotc);
    EXPECT_EQ((void *)&SDSDOT, (void *)&sdsdot_);
}

TEST(Entries, NegativeLengthPrintsNothingAndChangesNothing)
{
    double x[3] = {1, 2, 3}, y[3] = {4, 5, 6};
    int n = -5, one = 1;
    double a = 2;
    std::string out = zem_test::captured_stdout([&] {
        daxpy(&n, &a, x, &one, y, &one);
        dscal(&n, &a, x, &one);
        dcopy(&n, x, &one, y, &one);
        dswap(&n, x, &one, y, &one);
    });
    EXPECT_EQ("", out);
    EXPECT_EQ(4, y[0]);
    EXPECT_EQ(6, y[2]);
    EXPECT_EQ(1, x[0]);
}

TEST(Entries, UncheckedFormsReachTheKernels)
{
    double x[2] = {1, 2}, y[2] = {10, 20};
    int n = 2, one = 1;
    double a = 3;
    _ZEM_BLAS_F77_DAXPY(&n, &a, x, &one, y, &one);
    EXPECT_EQ(13, y[0]);
    EXPECT_EQ(26, y[1]);
    EXPECT_EQ(5.0, _ZEM_BLAS_F77_DDOT(&n, x, &one, x, &one));
    EXPECT_EQ(2, _ZEM_BLAS_F77_IDAMAX(&n, x, &one));
}

// sscalm / sscalmz over block shapes and start alignments.
TEST(BlockScaling, ScalesAndZeroesExactlyTheBlock)
{
    for (int m : {0, 1, 7, 8, 11, 19, 33})
        for (int n : {0, 1, 3})
            for (int lda : {m, m + 1, m + 6})
                for (int off = 0; off < 4; ++off) {
                    SCOPED_TRACE(testing::Message() << m << "x" << n << " lda " << lda << " off " << off);
                    int cols = n > 0 ? n : 1;
                    std::vector<float> buf((size_t)(lda > 0 ? lda : 1) * cols + 32, 0), want;
                    float *a = (float *)(((uintptr_t)buf.data() + 15) & ~(uintptr_t)15) + off;
                    for (size_t i = 0; i < buf.size(); ++i)
                        buf[i] = 0.5f + (float)(i % 13);
                    want = buf;
                    float *w = want.data() + (a - buf.data());
                    float alpha = -1.5f;
                    for (int j = 0; j < n; ++j)
                        for (int i = 0; i < m; ++i)
                            w[(size_t)j * lda + i] *= alpha;
                    _ZEM_BLAS_sscalm(&m, &n, &alpha, a, &lda);
                    EXPECT_EQ(want, buf);
                    for (int j = 0; j < n; ++j)
                        for (int i = 0; i < m; ++i)
                            w[(size_t)j * lda + i] = 0.0f;
                    _ZEM_BLAS_sscalmz(&m, &n, a, &lda);
                    EXPECT_EQ(want, buf);
                }
}

TEST(BlockScaling, NegativeLdaActsAsZero)
{
    std::vector<float> a(20, 2.0f);
    int m = 10, n = 3, lda = -4;
    float alpha = 2.0f;
    _ZEM_BLAS_sscalm(&m, &n, &alpha, a.data(), &lda);
    EXPECT_EQ(16.0f, a[0]);
    EXPECT_EQ(16.0f, a[9]);
    EXPECT_EQ(2.0f, a[10]);
}

} // namespace
