// Euclidean norms, plane rotations and modified rotations against the
// long-double references, over types, increments, lengths and alignments.
#include <cmath>
#include <algorithm>
#include <cstring>
#include <limits>
#include "tests/reference/rot_sparse_ref.h"
#include "tests/support/element_api.h"

extern "C" void _ZEM_BLAS_srotin(const int *n, float *x, const int *incx, float *y, const int *incy,
                                 const float *c, const float *s);

using namespace zem_test;

static const int kIncs[] = {1, -1, 2, -3, 0};

template <typename T> class Nrm2 : public testing::Test {};
template <typename T> class Rot : public testing::Test {};
TYPED_TEST_SUITE(Nrm2, ElementTypes);
TYPED_TEST_SUITE(Rot, ElementTypes);

TYPED_TEST(Nrm2, MatchesReferenceOverIncrementsLengthsAndAlignments)
{
    typedef TypeParam T;
    std::mt19937 g(11);
    for (int inc : kIncs)
        for (int n = 0; n <= 40; ++n)
            for (int shift = 0; shift < 4; ++shift) {
                SCOPED_TRACE(testing::Message() << "n=" << n << " inc=" << inc << " shift=" << shift);
                Strided<T> x(n, inc, shift * sizeof(T), g);
                std::vector<ld> before = x.parts();
                ld ref = rs_ref::nrm2(before.data(), x.off(), Api<T>::comps);
                ld got = Api<T>::nrm2(n, x.vec(), inc);
                // n squares and n sums
                EXPECT_LE(std::fabs(got - ref), tol<T>(2 * n) * ref);
                x.expect(before, 0);
            }
    Strided<T> x(3, 1, 0, g);
    EXPECT_EQ(Api<T>::nrm2(-1, x.vec(), 1), 0);
}

TEST(Nrm2Edges, DoubleNeedsNoScaling)
{
    double v[2] = {3, 4};
    int n = 2, one = 1, zero = 0, four = 4;
    EXPECT_EQ(dnrm2_(&n, v, &one), 5.0);
    double big[2] = {1e200, 1e200};
    EXPECT_NEAR(dnrm2_(&n, big, &one) / 1e200, std::sqrt(2.0), 1e-15);
    ZEM_Complex16 zbig[1] = {{1e300, -1e300}};
    EXPECT_NEAR(dznrm2_(&one, zbig, &one) / 1e300, std::sqrt(2.0), 1e-15);
    double tiny[3] = {3e-300, 4e-300, 0};
    int three = 3, two = 2;
    EXPECT_NEAR(dnrm2_(&three, tiny, &one) / 5e-300, 1.0, 1e-15);
    double w[1] = {-1.5};
    EXPECT_EQ(dnrm2_(&four, w, &zero), 3.0);
    EXPECT_EQ(dnrm2_(&zero, v, &one), 0.0);
    double strided[4] = {1e200, 7, 1e200, 7};
    EXPECT_NEAR(dnrm2_(&two, strided, &two) / 1e200, std::sqrt(2.0), 1e-15);
}

// The unit-stride single-precision path squares in SSE lanes and overflows;
// the strided path sums in extended precision and does not.
TEST(Nrm2Edges, SingleUnitStrideOverflowsStridedDoesNot)
{
    alignas(16) float x[40];
    for (float &v : x)
        v = 1e20f;
    int n = 20, one = 1, two = 2;
    EXPECT_EQ(snrm2_(&n, x, &one), std::numeric_limits<float>::infinity());
    EXPECT_NEAR(snrm2_(&n, x, &two) / 1e20f, std::sqrt(20.0f), 1e-5f);
    alignas(16) ZEM_Complex8 c[20];
    for (auto &v : c)
        v = {1e20f, 1e20f};
    EXPECT_EQ(scnrm2_(&n, c, &one), std::numeric_limits<float>::infinity());
    int ten = 10;
    EXPECT_NEAR(scnrm2_(&ten, c, &two) / 1e20f, std::sqrt(20.0f), 1e-5f);
}

TYPED_TEST(Rot, MatchesReferenceOverIncrementPairsAndLengths)
{
    typedef TypeParam T;
    typedef typename Api<T>::R R;
    std::mt19937 g(12);
    const R c = R(0.6), s = R(-0.8);
    for (int ix : kIncs)
        for (int iy : kIncs)
            for (int n = 0; n <= 40; n += (n < 12 ? 1 : 7))
                for (int shift = 0; shift < 3; ++shift) {
                    SCOPED_TRACE(testing::Message() << "n=" << n << " incx=" << ix << " incy=" << iy
                                                    << " shift=" << shift);
                    Strided<T> x(n, ix, shift * sizeof(T), g), y(n, iy, (2 - shift) * sizeof(T), g);
                    std::vector<ld> rx = x.parts(), ry = y.parts();
                    rs_ref::rot(rx.data(), x.off(), ry.data(), y.off(), Api<T>::comps, c, s);
                    Api<T>::rot(n, x.vec(), ix, y.vec(), iy, c, s);
                    // three roundings for each of up to n rotations of one
                    // pair (a zero increment)
                    x.expect(rx, tol<T>(3 * n));
                    y.expect(ry, tol<T>(3 * n));
                }
}

TEST(RotEdges, SrotIdentityLeavesBitsAlone)
{
    float x[4] = {std::numeric_limits<float>::quiet_NaN(), -0.0f, 1.0f, 2.0f};
    float y[4] = {std::numeric_limits<float>::infinity(), -0.0f, 3.0f, std::numeric_limits<float>::quiet_NaN()};
    float x0[4], y0[4];
    std::memcpy(x0, x, sizeof x);
    std::memcpy(y0, y, sizeof y);
    int n = 4, one = 1;
    for (float s : {0.0f, -0.0f}) {
        float c = 1;
        srot_(&n, x, &one, y, &one, &c, &s);
        EXPECT_EQ(std::memcmp(x, x0, sizeof x), 0);
        EXPECT_EQ(std::memcmp(y, y0, sizeof y), 0);
    }
}

// s = 0 with c != 1 scales both vectors (no product with the other one, so
// an infinity in y does not reach x).
TEST(RotEdges, SrotZeroSineScales)
{
    float x[3] = {1, 2, 3}, y[5] = {4, 0, std::numeric_limits<float>::infinity(), 0, 6};
    int n = 3, one = 1, two = -2;
    float c = 0.5f, s = 0;
    srot_(&n, x, &one, y, &two, &c, &s);
    EXPECT_EQ(x[0], 0.5f);
    EXPECT_EQ(x[1], 1.0f);
    EXPECT_EQ(x[2], 1.5f);
    EXPECT_EQ(y[0], 2.0f);
    EXPECT_EQ(y[2], std::numeric_limits<float>::infinity());
    EXPECT_EQ(y[4], 3.0f);
    EXPECT_EQ(y[1], 0.0f);
}

// The general kernel behind srot, also reached directly.
TEST(RotEdges, SrotinRotatesLikeReference)
{
    std::mt19937 g(5);
    for (int n : {1, 7, 33})
        for (int shift = 0; shift < 4; ++shift) {
            Strided<float> x(n, 1, shift * sizeof(float), g), y(n, 1, 0, g);
            std::vector<ld> rx = x.parts(), ry = y.parts();
            float c = 0.28f, s = 0.96f;
            int one = 1;
            rs_ref::rot(rx.data(), x.off(), ry.data(), y.off(), 1, c, s);
            _ZEM_BLAS_srotin(&n, x.vec(), &one, y.vec(), &one, &c, &s);
            x.expect(rx, tol<float>(0));
            y.expect(ry, tol<float>(0));
        }
}

template <typename T> class Rotm : public testing::Test {};
TYPED_TEST_SUITE(Rotm, RealTypes);

inline void rotm(int n, float *x, int ix, float *y, int iy, const float *p) { srotm_(&n, x, &ix, y, &iy, p); }
inline void rotm(int n, double *x, int ix, double *y, int iy, const double *p) { drotm_(&n, x, &ix, y, &iy, p); }

TYPED_TEST(Rotm, MatchesReferenceForEveryFlag)
{
    typedef TypeParam T;
    std::mt19937 g(13);
    for (T flag : {T(-2), T(-1), T(0), T(1)})
        for (int ix : kIncs)
            for (int iy : kIncs)
                for (int n : {0, 1, 3, 4, 5, 9, 17}) {
                    SCOPED_TRACE(testing::Message() << "flag=" << flag << " n=" << n << " incx=" << ix
                                                    << " incy=" << iy);
                    // Unused entries hold NaN: they must not be read.
                    const T nan = std::numeric_limits<T>::quiet_NaN();
                    T p[5] = {flag, T(0.5), T(-0.25), T(0.375), T(-0.75)};
                    if (flag == 0)
                        p[1] = p[4] = nan;
                    if (flag == 1)
                        p[2] = p[3] = nan;
                    if (flag == -2)
                        p[1] = p[2] = p[3] = p[4] = nan;
                    Strided<T> x(n, ix, sizeof(T), g), y(n, iy, 0, g);
                    std::vector<ld> rx = x.parts(), ry = y.parts();
                    ld lp[5] = {p[0], p[1], p[2], p[3], p[4]};
                    rs_ref::rotm(rx.data(), x.off(), ry.data(), y.off(), lp);
                    rotm(n, x.vec(), ix, y.vec(), iy, p);
                    // A zero increment applies H n times to one pair.
                    ld scale = 1;
                    for (ld v : rx)
                        scale = std::max(scale, std::fabs(v));
                    for (ld v : ry)
                        scale = std::max(scale, std::fabs(v));
                    // up to n applications of H, each up to four roundings
                    const ld t = tol<T>(4 * n) * scale;
                    x.expect(rx, t);
                    y.expect(ry, t);
                }
}
