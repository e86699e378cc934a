// The plane-rotation sequences (six variants, four types) against the
// plain definition, and the cross product X^T*Y in serial and parallel
// mode.
#include <omp.h>

#include "tests/blas/level3/symmetric/sym_case.h"

using namespace sym_test;

namespace {

const int kEnvSet = parallel_environment();

template <class T, class R>
using LasrFn = void (*)(const int *, const int *, const R *, const R *, T *, const int *);

template <class T_, class R_, LasrFn<T_, R_> VF, LasrFn<T_, R_> VB, LasrFn<T_, R_> TF, LasrFn<T_, R_> TB,
          LasrFn<T_, R_> BF, LasrFn<T_, R_> BB>
struct Lasr {
    typedef T_ T;
    typedef R_ R;
    struct Variant {
        char pivot, direct;
        LasrFn<T, R> fn;
    };
    static std::vector<Variant> variants()
    {
        return {{'V', 'F', VF}, {'V', 'B', VB}, {'T', 'F', TF}, {'T', 'B', TB}, {'B', 'F', BF}, {'B', 'B', BB}};
    }
};
typedef ::testing::Types<
    Lasr<double, double, dlasr_lvf_, dlasr_lvb_, dlasr_ltf_, dlasr_ltb_, dlasr_lbf_, dlasr_lbb_>,
    Lasr<ZEM_Complex16, double, zlasr_lvf_, zlasr_lvb_, zlasr_ltf_, zlasr_ltb_, zlasr_lbf_, zlasr_lbb_>,
    Lasr<float, float, slasr_lvf_, slasr_lvb_, slasr_ltf_, slasr_ltb_, slasr_lbf_, slasr_lbb_>,
    Lasr<ZEM_Complex8, float, clasr_lvf_, clasr_lvb_, clasr_ltf_, clasr_ltb_, clasr_lbf_, clasr_lbb_>>
    LasrTypes;

template <class D>
class PlaneRotations : public ::testing::Test {};
TYPED_TEST_SUITE(PlaneRotations, LasrTypes);

// Grouped columns (four at a time) and the single columns left over give
// the definition's result, for every variant.
TYPED_TEST(PlaneRotations, EveryVariantMatchesDefinition)
{
    typedef typename TypeParam::T T;
    typedef typename TypeParam::R R;
    for (auto v : TypeParam::variants())
        for (int n : {1, 3, 4, 5, 7, 8})
            for (int m : {2, 3, 6, 17}) {
                Mat<T> a(m, n, m * 10 + n);
                std::vector<R> c(m - 1), s(m - 1);
                std::vector<ld> lc(m - 1), ls(m - 1);
                for (int k = 0; k < m - 1; ++k) {
                    const double th = 0.3 + 0.7 * k;
                    c[k] = (R)std::cos(th);
                    s[k] = (R)std::sin(th);
                    lc[k] = c[k];
                    ls[k] = s[k];
                }
                const Mat<T> a0 = a;
                v.fn(&m, &n, c.data(), s.data(), a.v.data(), &a.ld);
                std::vector<cx> want = a0.wide();
                l3s_ref::lasr(v.pivot, v.direct, m, n, lc.data(), ls.data(), want.data(), a.ld);
                std::vector<ld> mag(want.size(), 1);
                char what[64];
                snprintf(what, sizeof what, "lasr_l%c%c m=%d n=%d", tolower(v.pivot), tolower(v.direct), m, n);
                compare(what, a, a0, want, mag, 4 * zem_test::tol<T>(m - 2), [](int, int) { return true; });
            }
}

// m = 1 or n = 0: nothing changes and c, s are not read; a rotation with
// c = 1, s = 0 is still applied (0 times infinity is NaN).
TYPED_TEST(PlaneRotations, DegenerateAndIdentityRotations)
{
    typedef typename TypeParam::T T;
    typedef typename TypeParam::R R;
    for (auto v : TypeParam::variants()) {
        for (int mn : {0, 1}) {
            const int m = mn ? 1 : 4, n = mn ? 3 : 0;
            Mat<T> a(4, 3, 9);
            const Mat<T> a0 = a;
            v.fn(&m, &n, nullptr, nullptr, a.v.data(), &a.ld);
            EXPECT_EQ(0, memcmp(a.v.data(), a0.v.data(), a.v.size() * sizeof(T))) << v.pivot << v.direct;
        }
        const int m = 3, n = 5;
        Mat<T> a(m, n, 4);
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < m; ++i)
                a.v[i + (size_t)j * a.ld] = zem_ref::put<T>(cx{i == 1 ? INFINITY : 1.0L, 0});
        const R c[2] = {1, 1}, s[2] = {0, 0};
        v.fn(&m, &n, c, s, a.v.data(), &a.ld);
        // every variant's rotations touch row 1 with another row: a NaN
        // reaches the row rotated against the infinity
        bool nan_seen = false;
        for (int i = 0; i < m; ++i)
            nan_seen |= std::isnan((double)zem_ref::get(a.v[i + 4 * (size_t)a.ld]).re);
        EXPECT_TRUE(nan_seen) << v.pivot << v.direct;
    }
}

template <class T>
using SexyFn = void (*)(const int *, const int *, const T *, const T *, T *);

template <class T, SexyFn<T> FN>
struct Sexy {
    typedef T E;
    static void call(int len, int n, const std::vector<T> &x, const std::vector<T> &y, std::vector<T> &c)
    {
        FN(&len, &n, x.data(), y.data(), c.data());
    }
};
typedef ::testing::Types<Sexy<double, xdsexy_>, Sexy<float, xssexy_>> SexyTypes;

template <class D>
class CrossProduct : public ::testing::Test {
protected:
    void TearDown() override
    {
        omp_set_num_threads(2);
        _ZEM_SERV_set_parallel();
    }
};
TYPED_TEST_SUITE(CrossProduct, SexyTypes);

// C = X^T*Y within rounding in serial mode and with 1 to 3 threads, and
// bit for bit the same when repeated with the same thread count.
TYPED_TEST(CrossProduct, MatchesProductAndRepeats)
{
    typedef typename TypeParam::E T;
    ASSERT_EQ(0, kEnvSet);
    for (int mode : {0, 1, 2, 3}) // 0: serial mode, else the thread count
        for (int len : {0, 1, 2, 5, 301})
            for (int n : {1, 7, 33}) {
                if (mode == 0)
                    _ZEM_SERV_set_serial();
                else
                    omp_set_num_threads(mode);
                Mat<T> x(len, n, len + n, 0), y(len, n, len + 2 * n, 0);
                std::vector<T> c((size_t)n * n, (T)NAN), again((size_t)n * n, (T)NAN);
                TypeParam::call(len, n, x.v, y.v, c);
                TypeParam::call(len, n, x.v, y.v, again);
                _ZEM_SERV_set_parallel();
                omp_set_num_threads(2);
                EXPECT_EQ(0, memcmp(c.data(), again.data(), c.size() * sizeof(T))) << mode << " " << len;
                for (int j = 0; j < n; ++j)
                    for (int i = 0; i < n; ++i) {
                        ld want = 0, mag = 0;
                        for (int p = 0; p < len; ++p) {
                            const ld u = x.v[p + (size_t)i * x.ld], w = y.v[p + (size_t)j * y.ld];
                            want += u * w;
                            mag += std::fabs(u * w);
                        }
                        const ld got = c[i + (size_t)j * n];
                        ASSERT_LE(std::fabs(got - want), 2 * zem_test::tol<T>(len) * mag)
                            << "mode " << mode << " len " << len << " n " << n << " C(" << i << "," << j << ")";
                    }
            }
}

// Without work memory for the slices, one product over all rows (every
// request of the call failed in turn, serial and with two threads).
TYPED_TEST(CrossProduct, WithoutWorkMemory)
{
    typedef typename TypeParam::E T;
    const int len = 50, n = 3;
    Mat<T> x(len, n, 1, 0), y(len, n, 2, 0);
    std::vector<T> c(n * n);
    for (int threads : {1, 2}) {
        omp_set_num_threads(threads);
        zem_test::for_each_failing_allocation([&] {
            std::fill(c.begin(), c.end(), (T)NAN);
            TypeParam::call(len, n, x.v, y.v, c);
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < n; ++i) {
                    ld w = 0;
                    for (int p = 0; p < len; ++p)
                        w += (ld)x.v[p + (size_t)i * len] * y.v[p + (size_t)j * len];
                    EXPECT_NEAR((double)w, (double)c[i + (size_t)j * n], 1e-4) << i << "," << j;
                }
        });
    }
}

} // namespace
