// Generation of Givens rotations (real and complex) and of modified
// rotations.
#include <cmath>
#include <complex>
#include <limits>
#include "tests/reference/rot_sparse_ref.h"
#include "tests/support/element_api.h"

using namespace zem_test;

namespace {

inline void rotg(float *a, float *b, float *c, float *s) { srotg_(a, b, c, s); }
inline void rotg(double *a, double *b, double *c, double *s) { drotg_(a, b, c, s); }
inline void rotg(ZEM_Complex8 *a, ZEM_Complex8 *b, float *c, ZEM_Complex8 *s) { crotg_(a, b, c, s); }
inline void rotg(ZEM_Complex16 *a, ZEM_Complex16 *b, double *c, ZEM_Complex16 *s) { zrotg_(a, b, c, s); }
inline void rotmg(float *d1, float *d2, float *x1, const float *y1, float *p) { srotmg_(d1, d2, x1, y1, p); }
inline void rotmg(double *d1, double *d2, double *x1, const double *y1, double *p) { drotmg_(d1, d2, x1, y1, p); }
inline void rotm1(float *x, float *y, const float *p)
{
    int one = 1;
    srotm_(&one, x, &one, y, &one, p);
}
inline void rotm1(double *x, double *y, const double *p)
{
    int one = 1;
    drotm_(&one, x, &one, y, &one, p);
}

// |got - want| within k units of precision relative to |want| (or to
// `floor` when want is smaller).
template <typename R> void expect_rel(ld got, ld want, ld k, ld floor = 0)
{
    ld m = std::max(std::fabs(want), floor);
    EXPECT_LE(std::fabs(got - want), k * Api<R>::eps * m) << "got " << (double)got << " want " << (double)want;
}

} // namespace

template <typename T> class Rotg : public testing::Test {};
template <typename T> class Rotmg : public testing::Test {};
template <typename T> class ComplexRotg : public testing::Test {};
TYPED_TEST_SUITE(Rotg, RealTypes);
TYPED_TEST_SUITE(Rotmg, RealTypes);
TYPED_TEST_SUITE(ComplexRotg, ComplexTypes);

TYPED_TEST(Rotg, MatchesReference)
{
    typedef TypeParam T;
    std::vector<std::pair<T, T>> cases = {{3, 4},   {4, 3},      {-3, 4},     {3, -4},    {0, 5},
                                          {5, 0},   {-0.0, 2},   {7, -7},     {1e-20, 3e-20},
                                          {1e30, -2e30}, {-1, 1e-3}, {T(0.1), T(0.2)}};
    std::mt19937 g(21);
    std::uniform_real_distribution<double> u(-5, 5);
    for (int i = 0; i < 40; ++i)
        cases.push_back({T(u(g)), T(u(g))});
    for (auto ab : cases) {
        SCOPED_TRACE(testing::Message() << "a=" << ab.first << " b=" << ab.second);
        T a = ab.first, b = ab.second, c = -9, s = -9;
        rs_ref::Givens ref = rs_ref::rotg(ab.first, ab.second);
        rotg(&a, &b, &c, &s);
        expect_rel<T>(a, ref.r, 8);
        expect_rel<T>(c, ref.c, 8, 1);
        expect_rel<T>(s, ref.s, 8, 1);
        expect_rel<T>(b, ref.z, 16, 1);
    }
}

TYPED_TEST(Rotg, ZeroAndExactCases)
{
    typedef TypeParam T;
    T a = 0, b = 0, c = -9, s = -9;
    rotg(&a, &b, &c, &s);
    EXPECT_EQ(c, 1);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 0);
    a = 3, b = 4;
    rotg(&a, &b, &c, &s);
    EXPECT_EQ(a, 5);
    EXPECT_EQ(c, T(0.6));
    EXPECT_EQ(s, T(0.8));
    expect_rel<T>(b, 1 / 0.6L, 2);
    a = 0, b = -2;
    rotg(&a, &b, &c, &s);
    EXPECT_EQ(a, -2);
    EXPECT_EQ(c, 0);
    EXPECT_EQ(s, 1);
    EXPECT_EQ(b, 1);
}

TEST(RotgEdges, DoubleLargeValuesStayFinite)
{
    double a = 1e300, b = 1e300, c, s;
    drotg_(&a, &b, &c, &s);
    EXPECT_NEAR(a / 1e300, std::sqrt(2.0), 1e-15);
    EXPECT_NEAR(c, std::sqrt(0.5), 1e-15);
    EXPECT_NEAR(s, std::sqrt(0.5), 1e-15);
}

TYPED_TEST(ComplexRotg, ZeroFirstValueTakesSecond)
{
    typedef TypeParam T;
    typedef typename Api<T>::R R;
    T ca = {0, -0.0}, cb = {R(1.5), R(-2.5)}, s = {9, 9};
    R c = 9;
    rotg(&ca, &cb, &c, &s);
    EXPECT_EQ(c, 0);
    EXPECT_EQ(s.real, 1);
    EXPECT_EQ(s.imag, 0);
    EXPECT_EQ(ca.real, R(1.5));
    EXPECT_EQ(ca.imag, R(-2.5));
    EXPECT_EQ(cb.real, R(1.5));
    EXPECT_EQ(cb.imag, R(-2.5));
}

TYPED_TEST(ComplexRotg, MatchesReference)
{
    typedef TypeParam T;
    typedef typename Api<T>::R R;
    std::mt19937 g(22);
    std::uniform_real_distribution<double> u(-3, 3);
    std::vector<std::pair<T, T>> cases = {{{3, 4}, {0, 0}}, {{1, 0}, {0, 1}}, {{R(1e20), R(-1e20)}, {R(2e20), 0}},
                                          {{R(1e-20), 0}, {R(3e-20), R(4e-20)}}};
    for (int i = 0; i < 40; ++i)
        cases.push_back({{R(u(g)), R(u(g))}, {R(u(g)), R(u(g))}});
    for (auto p : cases) {
        T ca = p.first, cb = p.second, s;
        R c;
        rs_ref::ComplexGivens ref = rs_ref::crotg({ca.real, ca.imag}, {cb.real, cb.imag});
        rotg(&ca, &cb, &c, &s);
        SCOPED_TRACE(testing::Message() << "ca=" << p.first.real << "," << p.first.imag);
        ld rs = std::abs(ref.r);
        expect_rel<R>(c, ref.c, 16, 1);
        expect_rel<R>(s.real, ref.s.real(), 16, 1);
        expect_rel<R>(s.imag, ref.s.imag(), 16, 1);
        expect_rel<R>(ca.real, ref.r.real(), 16, rs);
        expect_rel<R>(ca.imag, ref.r.imag(), 16, rs);
        EXPECT_EQ(cb.real, p.second.real);
        EXPECT_EQ(cb.imag, p.second.imag);
    }
}

// Checks the defining relations of a modified rotation: with H from param,
// H^T diag(d1', d2') H = diag(d1, d2), H (x1, y1) = (x1', 0), and d1', d2'
// rescaled into [2^-24, 2^24].
TYPED_TEST(Rotmg, SatisfiesDefiningRelations)
{
    typedef TypeParam T;
    const T nan = std::numeric_limits<T>::quiet_NaN();
    int generated = 0;
    for (T d1 : {T(0.5), T(2), T(1e-9), T(3e8), T(0)})
        for (T d2 : {T(0.25), T(3), T(-0.5), T(1e-9), T(1e9)})
            for (T x1 : {T(1), T(-2), T(1e-3), T(0)})
                for (T y1 : {T(0.5), T(-3), T(1e4), T(0)}) {
                    SCOPED_TRACE(testing::Message() << d1 << " " << d2 << " " << x1 << " " << y1);
                    T dd1 = d1, dd2 = d2, xx1 = x1, p[5] = {nan, nan, nan, nan, nan};
                    rotmg(&dd1, &dd2, &xx1, &y1, p);
                    const ld q1 = ld(d1) * x1 * x1, q2 = ld(d2) * y1 * y1;
                    if (ld(d2) * y1 == 0) {
                        EXPECT_EQ(p[0], -2);
                        EXPECT_EQ(dd1, d1);
                        EXPECT_EQ(dd2, d2);
                        EXPECT_EQ(xx1, x1);
                        EXPECT_TRUE(std::isnan(p[1]) && std::isnan(p[4]));
                        continue;
                    }
                    if (!(std::fabs(q1) > std::fabs(q2)) && q2 < 0) {
                        EXPECT_EQ(p[0], -1);
                        for (T v : {p[1], p[2], p[3], p[4], dd1, dd2, xx1})
                            EXPECT_EQ(v, 0);
                        continue;
                    }
                    ++generated;
                    ASSERT_TRUE(p[0] == -1 || p[0] == 0 || p[0] == 1);
                    // Entries the flag implies are left alone.
                    if (p[0] == 0) {
                        EXPECT_TRUE(std::isnan(p[1]) && std::isnan(p[4]));
                    }
                    if (p[0] == 1) {
                        EXPECT_TRUE(std::isnan(p[2]) && std::isnan(p[3]));
                    }
                    ld lp[5] = {p[0], p[1], p[2], p[3], p[4]}, h[2][2];
                    rs_ref::rotm_matrix(lp, h);
                    const ld e[2] = {dd1, dd2};
                    for (int i = 0; i < 2; ++i)
                        for (int j = 0; j < 2; ++j) {
                            ld v = 0, mag = 0;
                            for (int k = 0; k < 2; ++k) {
                                v += h[k][i] * e[k] * h[k][j];
                                mag += std::fabs(h[k][i] * e[k] * h[k][j]);
                            }
                            ld want = i != j ? 0 : (i == 0 ? d1 : d2);
                            EXPECT_LE(std::fabs(v - want), 64 * Api<T>::eps * mag) << i << j;
                        }
                    ld zero = h[1][0] * x1 + h[1][1] * y1;
                    EXPECT_LE(std::fabs(zero), 8 * Api<T>::eps * (std::fabs(h[1][0] * x1) + std::fabs(h[1][1] * y1)));
                    ld lead = h[0][0] * x1 + h[0][1] * y1;
                    EXPECT_LE(std::fabs(xx1 - lead), 16 * Api<T>::eps * std::fabs(lead));
                    for (T d : {dd1, std::fabs(dd2)})
                        if (d != 0) {
                            EXPECT_GT(d, T(5.960464477539e-08));
                            EXPECT_LT(d, T(16777216));
                        }
                    // Applying param with ?rotm annihilates y1.
                    T ax = x1, ay = y1;
                    rotm1(&ax, &ay, p);
                    EXPECT_LE(std::fabs(ax - lead), 16 * Api<T>::eps * std::fabs(lead));
                }
    EXPECT_GT(generated, 100);
}

TYPED_TEST(Rotmg, NegativeD1ZeroesEverything)
{
    typedef TypeParam T;
    T d1 = -1, d2 = 2, x1 = 3, y1 = 4, p[5] = {9, 9, 9, 9, 9};
    rotmg(&d1, &d2, &x1, &y1, p);
    EXPECT_EQ(p[0], -1);
    for (T v : {p[1], p[2], p[3], p[4], d1, d2, x1})
        EXPECT_EQ(v, 0);
}

// Infinite input cannot be rescaled; the call still returns.
TYPED_TEST(Rotmg, InfiniteInputReturns)
{
    typedef TypeParam T;
    T inf = std::numeric_limits<T>::infinity();
    T d1 = inf, d2 = 1, x1 = 1, y1 = 1, p[5];
    rotmg(&d1, &d2, &x1, &y1, p);
    EXPECT_EQ(p[0], 0);
    EXPECT_EQ(d1, inf);
}
