// Real descriptors against the long-double reference: one and two
// dimensions, the CCS, Pack and Perm layouts, in and out of place,
// strides and batches; forward results packed as the layouts say, and the
// backward transform of the reference spectrum giving the data back.
#include <vector>

#include "dft/kernel/default/f_dft/dfti_record.h"
#include "tests/dft/dfti/dfti_test_util.h"

namespace {

using dfti_test::cld;
using dfti_test::Desc;

struct RCase {
    int precision;
    std::vector<int> n; // slowest first
    int format;
    bool in_place;
    int howmany;
    int s0; // stride of dimension 0
};

std::ostream &operator<<(std::ostream &o, const RCase &c)
{
    o << (c.precision == DFTI_SINGLE ? "single" : "double") << " n=";
    for (int v : c.n)
        o << v << ',';
    return o << " format " << c.format << (c.in_place ? " in" : " out") << " x" << c.howmany << " s0=" << c.s0;
}

ptrdiff_t packed(int fmt, ptrdiff_t n) { return fmt == DFTI_CCS_FORMAT ? n + 2 : n; }

// The packed layout of the half spectrum z[0..n/2] of n reals.
std::vector<cld> pack1d(const std::vector<cld> &z, int fmt, int n)
{
    // CCS of odd n defines n + 1 values of its n + 2.
    std::vector<long double> v(fmt == DFTI_CCS_FORMAT && n % 2 == 1 ? n + 1 : packed(fmt, n), 0);
    if (fmt == DFTI_CCS_FORMAT) {
        for (int k = 0; k <= n / 2; ++k) {
            v[2 * k] = z[k].real();
            if (2 * k + 1 < (int)v.size())
                v[2 * k + 1] = z[k].imag();
        }
    } else {
        bool perm = fmt == DFTI_PERM_FORMAT && n % 2 == 0;
        v[0] = z[0].real();
        int first = perm ? 2 : 1;
        for (int k = 1; k < (n + 1) / 2; ++k) {
            v[first + 2 * (k - 1)] = z[k].real();
            v[first + 2 * (k - 1) + 1] = z[k].imag();
        }
        if (n % 2 == 0 && n > 1)
            v[perm ? 1 : n - 1] = z[n / 2].real();
    }
    std::vector<cld> out(v.size());
    for (size_t i = 0; i < v.size(); ++i)
        out[i] = cld(v[i], 0);
    return out;
}

// Expected packed grid (rows x width reals) of the real data x (n0 fast),
// with the mask of the places the transform defines.
void expected_grid(const std::vector<cld> &x, int n0, int n1, int fmt, std::vector<long double> &grid,
                   std::vector<char> &defined, ptrdiff_t &rows, ptrdiff_t &width)
{
    std::vector<cld> X = dfti_test::reference_nd(x, n1 > 1 ? std::vector<int>{n0, n1} : std::vector<int>{n0}, -1);
    width = packed(fmt, n0);
    rows = n1 > 1 ? packed(fmt, n1) : 1;
    grid.assign(rows * width, 0);
    defined.assign(rows * width, 0);
    auto put = [&](ptrdiff_t r, ptrdiff_t c, long double v) {
        grid[r * width + c] = v;
        defined[r * width + c] = 1;
    };
    if (n1 == 1) {
        std::vector<cld> row = pack1d(X, fmt, n0);
        for (ptrdiff_t c = 0; c < (ptrdiff_t)row.size(); ++c)
            put(0, c, row[c].real());
        return;
    }
    auto column = [&](int k0, ptrdiff_t c) {
        std::vector<cld> z(n1);
        for (int k1 = 0; k1 < n1; ++k1)
            z[k1] = X[k1 * n0 + k0];
        std::vector<cld> p = pack1d(z, fmt, n1);
        for (ptrdiff_t r = 0; r < (ptrdiff_t)p.size(); ++r)
            put(r, c, p[r].real());
    };
    column(0, 0);
    if (n0 % 2 == 0)
        column(n0 / 2, fmt == DFTI_CCS_FORMAT ? n0 : (fmt == DFTI_PACK_FORMAT ? n0 - 1 : 1));
    int start = fmt == DFTI_CCS_FORMAT ? 2 : (fmt == DFTI_PACK_FORMAT ? 1 : (n0 % 2 == 0 ? 2 : 1));
    for (int k0 = 1; k0 <= (n0 - 1) / 2; ++k0)
        for (int k1 = 0; k1 < n1; ++k1) {
            put(k1, start + 2 * (k0 - 1), X[k1 * n0 + k0].real());
            put(k1, start + 2 * (k0 - 1) + 1, X[k1 * n0 + k0].imag());
        }
    if (fmt == DFTI_CCS_FORMAT)
        for (int k1 = 0; k1 < n1; ++k1) {
            put(k1, 1, 0);
            if (n0 % 2 == 0)
                put(k1, n0 + 1, 0);
        }
}

// Where element (row r, real c) of transform t lies.
struct Grid {
    ptrdiff_t offset, s0, s1, dist, span;
    ptrdiff_t at(int t, ptrdiff_t r, ptrdiff_t c) const { return offset + t * dist + r * s1 + c * s0; }
};

Grid make_grid(ptrdiff_t rows, ptrdiff_t width, int s0, int howmany)
{
    Grid g;
    g.offset = s0 > 1 ? 3 : 0;
    g.s0 = s0;
    g.s1 = s0 * width + (s0 > 1 ? 5 : 0);
    g.dist = g.s1 * rows + (s0 > 1 ? 7 : 0);
    g.span = g.offset + g.dist * howmany;
    return g;
}

void set_grid(DFTI_DESCRIPTOR_HANDLE h, int dims, int strides, int distance, const Grid &g)
{
    int s[3] = {(int)g.offset, (int)g.s1, (int)g.s0};
    if (dims == 1)
        s[1] = (int)g.s0;
    ASSERT_EQ(DftiSetValue(h, strides, s), 0);
    ASSERT_EQ(DftiSetValue(h, distance, (int)g.dist), 0);
}

class RealTransforms : public ::testing::TestWithParam<RCase> {};

template <class R> void run_real(const RCase &c)
{
    const int dims = (int)c.n.size();
    const int n0 = c.n.back(), n1 = dims == 2 ? c.n[0] : 1;
    const double tol = sizeof(R) == 4 ? 3e-6 : 1e-14;
    // Data, reference grids of every transform.
    std::vector<std::vector<cld>> x(c.howmany);
    std::vector<std::vector<long double>> grid(c.howmany);
    std::vector<char> defined;
    ptrdiff_t rows = 0, width = 0;
    for (int t = 0; t < c.howmany; ++t) {
        x[t] = dfti_test::random_complex((size_t)n0 * n1, 31u * t + (unsigned)(n0 * n1));
        for (auto &v : x[t])
            v = cld(v.real(), 0);
        expected_grid(x[t], n0, n1, c.format, grid[t], defined, rows, width);
    }
    // Real side: n1 rows of n0 reals (in place: the packed grid's room).
    Grid real = c.in_place ? make_grid(rows, width, c.s0, c.howmany) : make_grid(n1, n0, c.s0, c.howmany);
    Grid pack = c.in_place ? real : make_grid(rows, width, 1, c.howmany);

    Desc d;
    ASSERT_EQ(dims == 1 ? DftiCreateDescriptor(&d.h, c.precision, DFTI_REAL, 1, n0)
                        : DftiCreateDescriptor(&d.h, c.precision, DFTI_REAL, 2, c.n.data()),
              0);
    ASSERT_EQ(DftiSetValue(d.h, DFTI_PACKED_FORMAT, c.format), 0);
    ASSERT_EQ(DftiSetValue(d.h, DFTI_NUMBER_OF_TRANSFORMS, c.howmany), 0);
    ASSERT_EQ(DftiSetValue(d.h, DFTI_PLACEMENT, c.in_place ? DFTI_INPLACE : DFTI_NOT_INPLACE), 0);
    ASSERT_EQ(DftiSetValue(d.h, DFTI_BACKWARD_SCALE, 1.0 / (n0 * n1)), 0);

    for (int forward = 1; forward >= 0; --forward) {
        const Grid &gi = forward ? real : pack, &go = forward ? pack : real;
        set_grid(d.h, dims, DFTI_INPUT_STRIDES, DFTI_INPUT_DISTANCE, gi);
        set_grid(d.h, dims, DFTI_OUTPUT_STRIDES, DFTI_OUTPUT_DISTANCE, go);
        ASSERT_EQ(DftiCommitDescriptor(d.h), 0);
        std::vector<R> a(std::max(gi.span, go.span) + 8, (R)555), b(go.span + 8, (R)555);
        for (int t = 0; t < c.howmany; ++t)
            for (ptrdiff_t r = 0; r < (forward ? n1 : rows); ++r)
                for (ptrdiff_t k = 0; k < (forward ? n0 : width); ++k)
                    a[gi.at(t, r, k)] = forward ? (R)x[t][r * n0 + k].real() : (R)grid[t][r * width + k];
        std::vector<R> original = a;
        int st = c.in_place ? (forward ? DftiComputeForward(d.h, a.data()) : DftiComputeBackward(d.h, a.data()))
                            : (forward ? DftiComputeForward(d.h, a.data(), b.data())
                                       : DftiComputeBackward(d.h, a.data(), b.data()));
        ASSERT_EQ(st, 0) << (forward ? "forward" : "backward");
        const std::vector<R> &y = c.in_place ? a : b;
        for (int t = 0; t < c.howmany; ++t) {
            long double err = 0, mag = 0;
            if (forward) {
                for (ptrdiff_t r = 0; r < rows; ++r)
                    for (ptrdiff_t k = 0; k < width; ++k)
                        if (defined[r * width + k]) {
                            long double e = grid[t][r * width + k];
                            err = std::max(err, fabsl(e - y[go.at(t, r, k)]));
                            mag = std::max(mag, fabsl(e));
                        }
            } else {
                for (ptrdiff_t r = 0; r < n1; ++r)
                    for (ptrdiff_t k = 0; k < n0; ++k) {
                        long double e = x[t][r * n0 + k].real();
                        err = std::max(err, fabsl(e - y[go.at(t, r, k)]));
                        mag = std::max(mag, fabsl(e));
                    }
            }
            EXPECT_LT((double)(err / mag), tol * (1 + std::log2((double)n0 * n1)))
                << (forward ? "forward" : "backward") << " transform " << t;
        }
        if (!c.in_place) {
            EXPECT_TRUE(a == original) << "the input changed";
        }
    }
}

TEST_P(RealTransforms, MatchTheReference)
{
    if (GetParam().precision == DFTI_SINGLE)
        run_real<float>(GetParam());
    else
        run_real<double>(GetParam());
}

const int S = DFTI_SINGLE, D = DFTI_DOUBLE, CCS = DFTI_CCS_FORMAT, PACK = DFTI_PACK_FORMAT,
          PERM = DFTI_PERM_FORMAT;
INSTANTIATE_TEST_SUITE_P(
    OneDimension, RealTransforms,
    ::testing::Values(RCase{S, {8}, CCS, true, 1, 1}, RCase{D, {1}, CCS, true, 1, 1},
                      RCase{S, {15}, PACK, false, 1, 1}, RCase{D, {12}, PERM, true, 1, 1},
                      RCase{S, {1000}, CCS, false, 3, 2}, RCase{D, {4096}, PACK, true, 2, 1},
                      RCase{S, {6}, PERM, false, 4, 3}, RCase{D, {17}, CCS, true, 2, 2},
                      RCase{S, {16384}, CCS, true, 1, 1}));
INSTANTIATE_TEST_SUITE_P(
    TwoDimensions, RealTransforms,
    ::testing::Values(RCase{S, {3, 4}, CCS, true, 1, 1}, RCase{D, {3, 4}, CCS, false, 1, 1},
                      RCase{S, {8, 5}, CCS, false, 2, 1}, RCase{D, {6, 7}, CCS, true, 1, 2},
                      RCase{S, {16, 16}, PACK, true, 1, 1}, RCase{D, {5, 10}, PACK, false, 1, 2},
                      RCase{S, {9, 12}, PERM, false, 1, 1}, RCase{D, {8, 9}, PERM, true, 3, 1},
                      RCase{S, {64, 128}, CCS, false, 1, 1}, RCase{D, {96, 64}, PERM, true, 1, 1},
                      RCase{S, {40, 64}, PACK, false, 1, 2}));

TEST(Real, InPlaceCcsBackwardClearsTheRealPastTheSignal)
{
    Desc d;
    ASSERT_EQ(DftiCreateDescriptor(&d.h, DFTI_SINGLE, DFTI_REAL, 1, 8), 0);
    ASSERT_EQ(DftiCommitDescriptor(d.h), 0);
    EXPECT_EQ(d.h->direct_path, 1);
    std::vector<float> x = {1, 2, 3, 4, 5, 6, 7, 8, 9, 9};
    ASSERT_EQ(DftiComputeForward(d.h, x.data()), 0);
    EXPECT_EQ(x[0], 36.0f);
    EXPECT_EQ(x[1], 0.0f);
    EXPECT_EQ(x[8], -4.0f);
    ASSERT_EQ(DftiComputeBackward(d.h, x.data()), 0);
    EXPECT_EQ(x[8], 0.0f);
    EXPECT_NEAR(x[7], 64.0f, 1e-4);
}

TEST(Real, TwoDimensionalCcsOfFourByThreeWritesFiveRowsOfSix)
{
    Desc d;
    int n[2] = {3, 4};
    ASSERT_EQ(DftiCreateDescriptor(&d.h, DFTI_DOUBLE, DFTI_REAL, 2, n), 0);
    int s[3] = {0, 6, 1};
    ASSERT_EQ(DftiSetValue(d.h, DFTI_INPUT_STRIDES, s), 0);
    ASSERT_EQ(DftiCommitDescriptor(d.h), 0);
    std::vector<double> x(5 * 6 + 6, 9.0);
    for (int r = 0; r < 3; ++r)
        for (int k = 0; k < 4; ++k)
            x[r * 6 + k] = 1.0;
    ASSERT_EQ(DftiComputeForward(d.h, x.data()), 0);
    EXPECT_EQ(x[0], 12.0);       // the sum
    EXPECT_EQ(x[4 * 6 + 0], 0.0); // row 4: imaginary part of the column transform
    EXPECT_EQ(x[30], 9.0);       // nothing past five rows
    EXPECT_EQ(x[4 * 6 + 2], 9.0); // complex columns hold three rows
}

TEST(Real, CreateAndCommitRules)
{
    Desc d3;
    int n3[3] = {2, 2, 2};
    EXPECT_EQ(DftiCreateDescriptor(&d3.h, DFTI_SINGLE, DFTI_REAL, 3, n3), 6);
    Desc d;
    ASSERT_EQ(DftiCreateDescriptor(&d.h, DFTI_DOUBLE, DFTI_REAL, 1, 1 << 13), 0);
    ASSERT_EQ(DftiCommitDescriptor(d.h), 0);
    EXPECT_EQ(d.h->direct_candidate, 0); // double CCS only up to 4096
    ASSERT_EQ(DftiSetValue(d.h, DFTI_PACKED_FORMAT, DFTI_PERM_FORMAT), 0);
    ASSERT_EQ(DftiCommitDescriptor(d.h), 0);
    EXPECT_EQ(d.h->direct_candidate, 1);
    ASSERT_EQ(DftiSetValue(d.h, DFTI_NUMBER_OF_USER_THREADS, 4), 0);
    ASSERT_EQ(DftiCommitDescriptor(d.h), 0);
    EXPECT_EQ(d.h->thread_count, 1);
    EXPECT_EQ(d.h->direct_path, 0);
    EXPECT_NE(d.h->user_slots, nullptr);
    EXPECT_NE(d.h->ctx_r64, nullptr);
}

} // namespace
