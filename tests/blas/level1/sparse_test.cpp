// Sparse level 1 (1-based indices, repeated indices in order) against the
// long-double references.
#include <cmath>
#include <cstring>
#include <limits>
#include "tests/reference/rot_sparse_ref.h"
#include "tests/support/element_api.h"

using namespace zem_test;

namespace {

template <typename T> std::vector<ld> as_ld(const std::vector<T> &v) { return parts(v.data(), v.size()); }

template <typename T> void expect_near(const std::vector<T> &got, const std::vector<ld> &want, ld tol)
{
    std::vector<ld> g = as_ld(got);
    for (std::size_t k = 0; k < g.size(); ++k)
        EXPECT_LE(std::fabs(g[k] - want[k]), tol) << "component " << k;
}

const int kDense = 12;

} // namespace

template <typename T> class Sparse : public testing::Test {};
TYPED_TEST_SUITE(Sparse, ElementTypes);

TYPED_TEST(Sparse, MatchesReferenceWithRepeatedIndices)
{
    typedef TypeParam T;
    const int nc = Api<T>::comps;
    std::mt19937 g(31);
    std::uniform_int_distribution<int> pick(1, kDense);
    for (int nz = 0; nz <= 20; ++nz) {
        SCOPED_TRACE(testing::Message() << "nz=" << nz);
        std::vector<int> indx(nz);
        for (int &i : indx)
            i = pick(g);
        std::vector<T> x = rnd_vec<T>(nz, g), y = rnd_vec<T>(kDense, g);
        std::vector<ld> lx = as_ld(x), ly = as_ld(y);
        const T a = rnd<T>(g);
        // up to nz updates of one element of y, each two roundings (a
        // complex product's own ones are in the rule)
        const ld tol = zem_test::tol<T>(2 * nz);

        std::vector<T> yy = y;
        std::vector<ld> ry = ly, la = as_ld(std::vector<T>{a});
        rs_ref::axpyi(nc, la.data(), lx.data(), indx, ry.data());
        Api<T>::axpyi(nz, a, x.data(), indx.data(), yy.data());
        expect_near(yy, ry, tol);

        for (bool conj : {false, true}) {
            rs_ref::cld want = rs_ref::doti(nc, lx.data(), indx, ly.data(), conj && nc == 2);
            cx g = Api<T>::doti(conj, nz, x.data(), indx.data(), y.data());
            rs_ref::cld got(g.re, g.im);
            EXPECT_LE(std::abs(got - want), tol);
        }

        std::vector<T> xx(nz);
        std::vector<ld> rx(nz * nc);
        yy = y;
        Api<T>::gthr(nz, yy.data(), xx.data(), indx.data());
        rs_ref::gthr(nc, ly.data(), rx.data(), indx, false);
        expect_near(xx, rx, 0);
        expect_near(yy, ly, 0);

        ry = ly;
        rs_ref::gthr(nc, ry.data(), rx.data(), indx, true);
        Api<T>::gthrz(nz, yy.data(), xx.data(), indx.data());
        expect_near(xx, rx, 0);
        expect_near(yy, ry, 0);

        yy = y;
        ry = ly;
        rs_ref::sctr(nc, lx.data(), indx, ry.data());
        Api<T>::sctr(nz, x.data(), indx.data(), yy.data());
        expect_near(yy, ry, 0);
    }
}

template <typename T> class SparseRot : public testing::Test {};
TYPED_TEST_SUITE(SparseRot, RealTypes);

inline void roti(int nz, float *x, const int *ix, float *y, float c, float s) { sroti_(&nz, x, ix, y, &c, &s); }
inline void roti(int nz, double *x, const int *ix, double *y, double c, double s)
{
    droti_(&nz, x, ix, y, &c, &s);
}

TYPED_TEST(SparseRot, MatchesReferenceAndIdentityReturns)
{
    typedef TypeParam T;
    std::mt19937 g(32);
    std::uniform_int_distribution<int> pick(1, kDense);
    for (int nz = 0; nz <= 20; ++nz) {
        std::vector<int> indx(nz);
        for (int &i : indx)
            i = pick(g);
        std::vector<T> x = rnd_vec<T>(nz, g), y = rnd_vec<T>(kDense, g);
        std::vector<ld> rx = as_ld(x), ry = as_ld(y);
        rs_ref::roti(rx.data(), indx, ry.data(), T(0.8), T(-0.6));
        roti(nz, x.data(), indx.data(), y.data(), T(0.8), T(-0.6));
        // three roundings for each of up to nz rotations of one pair
        expect_near(x, rx, tol<T>(3 * nz));
        expect_near(y, ry, tol<T>(3 * nz));
    }
    // c = 1, s = 0 touches nothing: a NaN in y does not reach x.
    T x[2] = {1, -0.0}, y[3] = {std::numeric_limits<T>::quiet_NaN(), 2, 3};
    int indx[2] = {1, 3};
    roti(2, x, indx, y, 1, 0);
    EXPECT_EQ(x[0], 1);
    EXPECT_TRUE(std::signbit(x[1]));
    EXPECT_TRUE(std::isnan(y[0]));
}

TEST(SparseEdges, ZeroAlphaLeavesNaNAlone)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    double y[3] = {nan, 1, 2}, x[2] = {5, 6};
    int indx[2] = {1, 2}, nz = 2;
    for (double a : {0.0, -0.0}) {
        daxpyi_(&nz, &a, x, indx, y);
        EXPECT_TRUE(std::isnan(y[0]));
        EXPECT_EQ(y[1], 1);
    }
    ZEM_Complex8 cy[2] = {{std::numeric_limits<float>::quiet_NaN(), 0}, {1, 1}}, cx[2] = {{1, 1}, {2, 2}};
    ZEM_Complex8 ca = {0, -0.0f};
    caxpyi_(&nz, &ca, cx, indx, cy);
    EXPECT_TRUE(std::isnan(cy[0].real));
    EXPECT_EQ(cy[1].real, 1);
    // A NaN alpha is not zero: it proceeds.
    float sy[2] = {1, 2}, sx[2] = {1, 1}, sa = std::numeric_limits<float>::quiet_NaN();
    saxpyi_(&nz, &sa, sx, indx, sy);
    EXPECT_TRUE(std::isnan(sy[0]) && std::isnan(sy[1]));
}

TEST(SparseEdges, GatherAndZeroRepeatedIndex)
{
    double y[3] = {1, 2, 3}, x[2] = {9, 9};
    int indx[2] = {2, 2}, nz = 2;
    dgthrz_(&nz, y, x, indx);
    EXPECT_EQ(x[0], 2);
    EXPECT_EQ(x[1], 0);
    EXPECT_EQ(y[0], 1);
    EXPECT_EQ(y[1], 0);
    EXPECT_EQ(y[2], 3);
}

TEST(SparseEdges, EmptyInputReturnsZeroAndWritesNothing)
{
    double y[2] = {1, 2}, x[2] = {3, 4};
    int indx[2] = {1, 2};
    for (int nz : {0, -3}) {
        EXPECT_EQ(ddoti_(&nz, x, indx, y), 0.0);
        EXPECT_EQ(sdoti_(&nz, reinterpret_cast<float *>(x), indx, reinterpret_cast<float *>(y)), 0.0f);
        ZEM_Complex16 r = {7, 7};
        zdotui_(&r, &nz, reinterpret_cast<ZEM_Complex16 *>(x), indx, reinterpret_cast<ZEM_Complex16 *>(y));
        EXPECT_EQ(r.real, 0);
        EXPECT_EQ(r.imag, 0);
        ZEM_Complex8 q = {7, 7};
        cdotci_(&q, &nz, reinterpret_cast<ZEM_Complex8 *>(x), indx, reinterpret_cast<ZEM_Complex8 *>(y));
        EXPECT_EQ(q.real, 0);
        EXPECT_EQ(q.imag, 0);
        double a = 2, c = 0, s = 1;
        daxpyi_(&nz, &a, x, indx, y);
        dsctr_(&nz, x, indx, y);
        dgthrz_(&nz, y, x, indx);
        droti_(&nz, x, indx, y, &c, &s);
        EXPECT_EQ(y[0], 1);
        EXPECT_EQ(y[1], 2);
        EXPECT_EQ(x[0], 3);
        EXPECT_EQ(x[1], 4);
    }
}
