// The dense vector routines against the long-double references, over the
// four element types, increments {1, -1, 2, -3, 0}, lengths 0..40 (plus
// longer unit-stride vectors for the blocked copy and scaling paths) and
// start addresses in every 16-byte alignment class the type allows.
#include <gtest/gtest.h>

#include "tests/support/element_api.h"
#include "tests/reference/level1_ref.h"

using namespace zem_test;

namespace {

const int kIncs[] = {1, -1, 2, -3, 0};

template <class T>
std::vector<size_t> offsets()
{
    std::vector<size_t> o;
    for (size_t k = 0; k < 4; ++k)
        o.push_back(k * (sizeof(T) < 8 ? sizeof(T) : 8));
    // Complex single elements need only 4-byte alignment: such a start can
    // never reach a 16-byte boundary.
    if (sizeof(T) == 8 && Api<T>::cplx)
        o.push_back(4);
    return o;
}

bool unit(int inc) { return inc == 1 || inc == -1; }

std::vector<int> lengths(bool unit_stride)
{
    std::vector<int> l;
    for (int n = 0; n <= 40; ++n)
        l.push_back(n);
    if (unit_stride)
        for (int n : {97, 1000, 1031, 2100})
            l.push_back(n);
    return l;
}

// Calls f(n, incx, incy, offset_x, offset_y) for every case of a
// two-vector routine: all start pairs for unit increments, a few otherwise.
template <class T, class F>
void two_vector_cases(F body)
{
    auto f = [&](int n, int ix, int iy, size_t ox, size_t oy) {
        SCOPED_TRACE(testing::Message() << "n=" << n << " incx=" << ix << " incy=" << iy << " ox=" << ox
                                        << " oy=" << oy);
        body(n, ix, iy, ox, oy);
    };
    std::vector<size_t> off = offsets<T>();
    for (int ix : kIncs)
        for (int iy : kIncs)
            for (int n : lengths(unit(ix) && unit(iy))) {
                if (unit(ix) && unit(iy) && n <= 40) {
                    for (size_t ox : off)
                        for (size_t oy : off)
                            f(n, ix, iy, ox, oy);
                } else {
                    f(n, ix, iy, 0, 0);
                    f(n, ix, iy, off[1], off.back());
                }
            }
}

template <class T, class F>
void one_vector_cases(F f)
{
    for (int ix : kIncs)
        for (int n : lengths(unit(ix)))
            for (size_t ox : offsets<T>()) {
                SCOPED_TRACE(testing::Message() << "n=" << n << " incx=" << ix << " ox=" << ox);
                f(n, ix, ox);
            }
}

template <class T>
class Vectors : public testing::Test {};

TYPED_TEST_SUITE(Vectors, ElementTypes);

TYPED_TEST(Vectors, AxpyMatchesReference)
{
    typedef TypeParam T;
    std::mt19937 rng(11);
    const cx alphas[] = {{0.75L, Api<T>::cplx ? -1.25L : 0}, {-1.5L, Api<T>::cplx ? 0.5L : 0}};
    int k = 0;
    two_vector_cases<T>([&](int n, int ix, int iy, size_t ox, size_t oy) {
        cx a = alphas[k++ & 1];
        Strided<T> x(n, ix, ox, rng), y(n, iy, oy, rng);
        std::vector<unsigned char> xb = x.bytes(), yb = y.bytes();
        std::vector<cx> xi = x.image(), want = y.image();
        std::vector<cx> xa = absv(xi), bound = absv(want);
        l1_ref::axpy(n, a, xi.data() + 3, ix, want.data() + 3, iy);
        l1_ref::axpy(n, {std::fabs(a.re) + std::fabs(a.im), 0}, xa.data() + 3, ix, bound.data() + 3, iy);
        Api<T>::axpy(n, a, x.vec(), ix, y.vec(), iy);
        y.expect(yb, want, bound, tol<T>(n));
        EXPECT_EQ(xb, x.bytes());
    });
}

TYPED_TEST(Vectors, CopyAndSwapMoveExactly)
{
    typedef TypeParam T;
    std::mt19937 rng(12);
    two_vector_cases<T>([&](int n, int ix, int iy, size_t ox, size_t oy) {
        Strided<T> x(n, ix, ox, rng), y(n, iy, oy, rng);
        std::vector<cx> xi = x.image(), want = y.image();
        std::vector<unsigned char> xb = x.bytes(), yb = y.bytes();
        Api<T>::copy(n, x.vec(), ix, y.vec(), iy);
        l1_ref::copy(n, xi.data() + 3, ix, want.data() + 3, iy);
        y.expect(yb, want, want, 0);
        EXPECT_EQ(xb, x.bytes());

        // Swap on fresh data.
        Strided<T> u(n, ix, ox, rng), v(n, iy, oy, rng);
        std::vector<unsigned char> ub = u.bytes(), vb = v.bytes();
        std::vector<cx> wu = u.image(), wv = v.image();
        l1_ref::swap(n, wu.data() + 3, ix, wv.data() + 3, iy);
        Api<T>::swap(n, u.vec(), ix, v.vec(), iy);
        u.expect(ub, wu, wu, 0);
        v.expect(vb, wv, wv, 0);
    });
}

TYPED_TEST(Vectors, DotMatchesReference)
{
    typedef TypeParam T;
    std::mt19937 rng(13);
    two_vector_cases<T>([&](int n, int ix, int iy, size_t ox, size_t oy) {
        Strided<T> x(n, ix, ox, rng), y(n, iy, oy, rng);
        std::vector<cx> xi = x.image(), yi = y.image();
        std::vector<cx> xa = absv(xi), ya = absv(yi);
        cx bound = l1_ref::dot(n, xa.data() + 3, ix, ya.data() + 3, iy, false, {0, 0});
        for (bool conj : {false, true}) {
            if (conj && !Api<T>::cplx)
                break;
            cx want = l1_ref::dot(n, xi.data() + 3, ix, yi.data() + 3, iy, conj, {0, 0});
            cx got = Api<T>::dot(conj, n, x.vec(), ix, y.vec(), iy);
            EXPECT_TRUE(close(got, want, bound, tol<T>(n))) << (conj ? "conjugated" : "plain");
        }
    });
}

TYPED_TEST(Vectors, ScalMatchesReference)
{
    typedef TypeParam T;
    typedef typename Api<T>::R R;
    std::mt19937 rng(14);
    one_vector_cases<T>([&](int n, int ix, size_t ox) {
        // Complex alpha for cscal/zscal, then a real one (csscal/zdscal).
        const cx alphas[] = {{1.25L, Api<T>::cplx ? -0.5L : 0}, {-0.75L, 0}};
        for (int pass = 0; pass < 2; ++pass) {
            cx a = alphas[pass];
            Strided<T> x(n, ix, ox, rng);
            std::vector<unsigned char> xb = x.bytes();
            std::vector<cx> want = x.image(), bound = absv(want);
            l1_ref::scal(n, a, want.data() + 3, ix);
            l1_ref::scal(n, {std::fabs(a.re) + std::fabs(a.im), 0}, bound.data() + 3, ix);
            if (pass == 0)
                Api<T>::scal(n, a, x.vec(), ix);
            else
                Api<T>::rscal(n, (R)a.re, x.vec(), ix);
            x.expect(xb, want, bound, tol<T>(n));
        }
    });
}

TYPED_TEST(Vectors, AsumMatchesReference)
{
    typedef TypeParam T;
    std::mt19937 rng(15);
    one_vector_cases<T>([&](int n, int ix, size_t ox) {
        Strided<T> x(n, ix, ox, rng);
        std::vector<cx> xi = x.image();
        ld want = l1_ref::asum(n, xi.data() + 3, ix);
        EXPECT_TRUE(close({Api<T>::asum(n, x.vec(), ix), 0}, {want, 0}, {want, 0}, tol<T>(n)));
    });
}

TYPED_TEST(Vectors, IndexOfLargestAndSmallest)
{
    typedef TypeParam T;
    std::mt19937 rng(16);
    one_vector_cases<T>([&](int n, int ix, size_t ox) {
        Strided<T> x(n, ix, ox, rng);
        std::vector<cx> xi = x.image();
        EXPECT_EQ(l1_ref::iamax(n, xi.data() + 3, ix), Api<T>::iamax(n, x.vec(), ix));
        EXPECT_EQ(l1_ref::iamin(n, xi.data() + 3, ix), Api<T>::iamin(n, x.vec(), ix));
        if (n >= 6 && ix > 0) {
            // Ties: copy the winner further on; the first one stays the answer.
            int imax = l1_ref::iamax(n, xi.data() + 3, ix);
            int imin = l1_ref::iamin(n, xi.data() + 3, ix);
            T *v = x.vec();
            int later = n - 1 == imax - 1 || n - 1 == imin - 1 ? n - 2 : n - 1;
            if (later > imax - 1 && later > imin - 1) {
                v[(ptrdiff_t)later * ix] = v[(ptrdiff_t)(imax - 1) * ix];
                EXPECT_EQ(imax, Api<T>::iamax(n, v, ix));
                v[(ptrdiff_t)later * ix] = v[(ptrdiff_t)(imin - 1) * ix];
                EXPECT_EQ(imin, Api<T>::iamin(n, v, ix));
            }
        }
    });
}

// The mixed-precision dot products: single elements, extended sums.
TEST(MixedDot, DsdotAndSdsdotMatchReference)
{
    std::mt19937 rng(17);
    two_vector_cases<float>([&](int n, int ix, int iy, size_t ox, size_t oy) {
        Strided<float> x(n, ix, ox, rng), y(n, iy, oy, rng);
        std::vector<cx> xi = x.image(), yi = y.image();
        std::vector<cx> xa = absv(xi), ya = absv(yi);
        float sb = 0.375f;
        cx bound = l1_ref::dot(n, xa.data() + 3, ix, ya.data() + 3, iy, false, {sb, 0});
        cx want = l1_ref::dot(n, xi.data() + 3, ix, yi.data() + 3, iy, false, {0, 0});
        cx want_sb = l1_ref::dot(n, xi.data() + 3, ix, yi.data() + 3, iy, false, {sb, 0});
        double d = dsdot_(&n, x.vec(), &ix, y.vec(), &iy);
        float s = sdsdot_(&n, &sb, x.vec(), &ix, y.vec(), &iy);
        EXPECT_TRUE(close({d, 0}, want, bound, tol<double>(0)));
        // The extended sum rounded once to single precision.
        EXPECT_TRUE(close({s, 0}, want_sb, {std::fabs(want_sb.re), 0}, FLT_EPSILON));
    });
}

} // namespace
