// ?gemv and ?gbmv against the long-double reference over the operations,
// shapes that cross the 64-row block border, increments of either sign,
// and the scalar cases beta = 0 (NaN in y overwritten), beta = 1 and
// alpha = 0 (neither A nor x read).
#include "tests/reference/level2_ref.h"
#include "tests/support/element_api.h"

#include "blas/kernel/default/level2/level2.h"

using namespace zem_test;
using l2_ref::mat;

namespace {

template <class T>
class Gemv : public testing::Test {};
TYPED_TEST_SUITE(Gemv, ElementTypes);

struct Scalars {
    cx alpha, beta;
};

template <class T>
std::vector<char> transes()
{
    if (Api<T>::cplx)
        return {'N', 't', 'C'};
    return {'n', 'T', 'C'};
}

const int kIncs[][2] = {{1, 1}, {-1, 1}, {1, -1}, {2, -2}, {-2, 3}};
const Scalars kScalars[] = {{{0.75L, -0.5L}, {1.25L, 0.5L}}, {{-1.5L, 0.25L}, {0, 0}}, {{0.5L, 1}, {1, 0}}};

// One call of ?gemv (gb: ?gbmv with kl sub- and ku super-diagonals, kl < 0
// meaning plain ?gemv) on random data, checked against the reference.
template <class T>
void check_gemv(std::mt19937 &g, char trans, int m, int n, int kl, int ku, int ix, int iy, Scalars s)
{
    if (!Api<T>::cplx)
        s.alpha.im = s.beta.im = 0;
    SCOPED_TRACE(testing::Message() << "trans=" << trans << " m=" << m << " n=" << n << " kl=" << kl << " ku=" << ku
                                    << " incx=" << ix << " incy=" << iy << " alpha=(" << (double)s.alpha.re << ","
                                    << (double)s.alpha.im << ") beta=(" << (double)s.beta.re << ","
                                    << (double)s.beta.im << ")");
    const bool band = kl >= 0;
    const bool notr = trans == 'N' || trans == 'n';
    const int lenx = notr ? n : m, leny = notr ? m : n;
    const int lda = band ? kl + ku + 1 + 2 : m + 3;
    const int cols = n > 0 ? n : 1;
    std::vector<T> a = rnd_vec<T>((size_t)lda * cols, g), x = rnd_vec<T>(span(lenx, ix), g);
    std::vector<T> y = rnd_vec<T>(span(leny, iy), g);
    const bool beta0 = s.beta.re == 0 && s.beta.im == 0;
    if (beta0)
        for (int i = 0; i < leny; ++i)
            y[pos(leny, iy, i)] = nan_value<T>();
    const std::vector<T> a0 = a, x0 = x, y0 = y;

    mat dense = band ? l2_ref::from_band(m, n, kl, ku, image(a).data(), lda) : mat();
    if (!band) {
        dense.resize((size_t)m * n);
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < m; ++i)
                dense[i + (size_t)j * m] = get(a[i + (size_t)j * lda]);
    }
    mat opa = l2_ref::op(Api<T>::cplx ? trans : (trans == 'C' ? 'T' : trans), m, n, dense);
    std::vector<cx> xl = gather(x, lenx, ix), want = gather(y, leny, iy), bound = absv(want);
    l2_ref::matvec(leny, lenx, s.alpha, opa, xl.data(), s.beta, want.data());
    std::vector<cx> xa = absv(xl);
    l2_ref::matvec(leny, lenx, l2_ref::cabs(s.alpha), absv(opa), xa.data(), l2_ref::cabs(s.beta), bound.data());

    T alpha = put<T>(s.alpha), beta = put<T>(s.beta);
    const char tr[2] = {trans, 0};
    if (band)
        Api<T>::gbmv(tr, &m, &n, &kl, &ku, &alpha, a.data(), &lda, x.data(), &ix, &beta, y.data(), &iy);
    else
        Api<T>::gemv(tr, &m, &n, &alpha, a.data(), &lda, x.data(), &ix, &beta, y.data(), &iy);

    expect_vec(y, y0, leny, iy, want, bound, tol<T>(lenx));
    EXPECT_TRUE(same_bits(a.data(), a0.data(), a.size() * sizeof(T)));
    EXPECT_TRUE(same_bits(x.data(), x0.data(), x.size() * sizeof(T)));
}

TYPED_TEST(Gemv, MatchesReference)
{
    typedef TypeParam T;
    std::mt19937 g(41);
    const int shapes[][2] = {{1, 1}, {3, 7}, {31, 33}, {63, 65}, {64, 64}, {65, 2}, {100, 37}, {129, 130}, {7, 129}};
    for (char t : transes<T>())
        for (auto &sh : shapes)
            for (auto &inc : kIncs)
                for (const Scalars &s : kScalars)
                    check_gemv<T>(g, t, sh[0], sh[1], -1, 0, inc[0], inc[1], s);
}

// Matrices over 8 MB are walked in panels of eight columns: a column count
// that leaves a short last panel, rows that leave a remainder block.
TYPED_TEST(Gemv, LargeMatricesInPanels)
{
    typedef TypeParam T;
    std::mt19937 g(46);
    const int m = 701, n = (int)((8u << 20) / (sizeof(T) * 701)) + 13;
    for (char t : transes<T>())
        check_gemv<T>(g, t, m, n, -1, 0, t == 'C' ? -1 : 1, t == 'C' ? 2 : 1, kScalars[0]);
}

// Columns of zeros added to the right of A leave y = A·x + y bit for bit
// as it was: the eigenvalue routines compute the same reflector update
// over more or fewer trailing columns and expect equal results.
TYPED_TEST(Gemv, ZeroColumnsChangeNothing)
{
    typedef TypeParam T;
    std::mt19937 g(47);
    const T one = put<T>(cx{1, 0});
    for (int m : {1, 6, 69})
        for (int n = 1; n <= 9; ++n) {
            std::vector<T> a = rnd_vec<T>((size_t)m * (n + 5), g), x = rnd_vec<T>(n + 5, g), y0 = rnd_vec<T>(m, g);
            std::fill(a.begin() + (size_t)m * n, a.end(), put<T>(cx{0, 0}));
            std::vector<T> want = y0;
            Api<T>::gemv("N", &m, &n, &one, a.data(), &m, x.data(), &kIncs[0][0], &one, want.data(), &kIncs[0][0]);
            for (int more = 1; more <= 5; ++more) {
                std::vector<T> y = y0;
                const int wide = n + more;
                Api<T>::gemv("N", &m, &wide, &one, a.data(), &m, x.data(), &kIncs[0][0], &one, y.data(),
                             &kIncs[0][0]);
                EXPECT_TRUE(same_bits(y, want)) << "m=" << m << " n=" << n << " + " << more;
            }
        }
}

TYPED_TEST(Gemv, BandMatchesReference)
{
    typedef TypeParam T;
    std::mt19937 g(42);
    const int shapes[][2] = {{1, 1}, {7, 5}, {5, 9}, {33, 65}, {66, 31}};
    const int bands[][2] = {{0, 0}, {1, 2}, {3, 0}, {0, 1}, {70, 70}};
    for (char t : transes<T>())
        for (auto &sh : shapes)
            for (auto &b : bands)
                for (auto &inc : kIncs)
                    check_gemv<T>(g, t, sh[0], sh[1], b[0], b[1], inc[0], inc[1], kScalars[(b[0] + inc[0] + 8) % 3]);
}

// m = 0 or n = 0: y is not touched, not even by beta = 0.
TYPED_TEST(Gemv, EmptyShapesTouchNothing)
{
    typedef TypeParam T;
    std::mt19937 g(43);
    const int shapes[][2] = {{0, 5}, {5, 0}, {0, 0}};
    for (auto &sh : shapes) {
        int m = sh[0], n = sh[1], one = 1, lda = 6, kl = 1, ku = 1, ldb = 3;
        std::vector<T> a = rnd_vec<T>(64, g), x = rnd_vec<T>(8, g), y(8, nan_value<T>());
        std::vector<T> y0 = y;
        T alpha = put<T>({2, 0}), beta = put<T>({0, 0});
        Api<T>::gemv("N", &m, &n, &alpha, a.data(), &lda, x.data(), &one, &beta, y.data(), &one);
        Api<T>::gemv("T", &m, &n, &alpha, a.data(), &lda, x.data(), &one, &beta, y.data(), &one);
        Api<T>::gbmv("N", &m, &n, &kl, &ku, &alpha, a.data(), &ldb, x.data(), &one, &beta, y.data(), &one);
        EXPECT_TRUE(same_bits(y.data(), y0.data(), y.size() * sizeof(T)));
    }
}

// alpha = 0: A and x hold NaN and are never read; y := beta·y (zeros for
// beta = 0, whatever y held).
TYPED_TEST(Gemv, AlphaZeroReadsNeitherMatrixNorVector)
{
    typedef TypeParam T;
    for (char t : {'N', 'T'})
        for (int band = 0; band < 2; ++band)
            for (cx b : {cx{0, 0}, cx{2, 0}, cx{1, 0}}) {
                int m = 70, n = 9, lda = 72, kl = 2, ku = 3, ldb = 6, ix = 1, iy = -2;
                std::vector<T> a(72 * 9, nan_value<T>()), x(80, nan_value<T>());
                std::vector<T> y(span(t == 'N' ? m : n, iy), put<T>({1.5, -0.5}));
                if (b.re == 0)
                    y.assign(y.size(), nan_value<T>());
                T alpha = put<T>({0, 0}), beta = put<T>(b);
                const char tr[2] = {t, 0};
                if (band)
                    Api<T>::gbmv(tr, &m, &n, &kl, &ku, &alpha, a.data(), &ldb, x.data(), &ix, &beta, y.data(), &iy);
                else
                    Api<T>::gemv(tr, &m, &n, &alpha, a.data(), &lda, x.data(), &ix, &beta, y.data(), &iy);
                for (size_t i = 0; i < y.size(); i += 2) {
                    cx v = get(y[i]);
                    if (b.re == 0) {
                        EXPECT_EQ(v.re, 0);
                        EXPECT_EQ(v.im, 0);
                    } else {
                        EXPECT_EQ(v.re, 1.5L * b.re);
                        EXPECT_EQ(v.im, Api<T>::cplx ? -0.5L * b.re : 0);
                    }
                }
            }
}

// The double-precision block kernels with and without prefetching compute
// the same bits; the driver picks either by shape and both agree with the
// reference (300 x 100 takes the plain N kernel, 1000 x 100 the other).
TEST(GemvKernels, PrefetchingAndPlainDoubleKernelsAgree)
{
    std::mt19937 g(44);
    int m = 64, n = 37, lda = 70, one = 1;
    std::vector<double> a = rnd_vec<double>(70 * 37, g), x = rnd_vec<double>(64, g), y = rnd_vec<double>(64, g);
    std::vector<double> y1 = y, y2 = y;
    double alpha = 0.7, beta = 0;
    _ZEM_BLAS_dgemvnoo("N", &m, &n, &alpha, a.data(), &lda, x.data(), &one, &beta, y1.data(), &one);
    _ZEM_BLAS_dgemvnoo_def("N", &m, &n, &alpha, a.data(), &lda, x.data(), &one, &beta, y2.data(), &one);
    EXPECT_TRUE(same_bits(y1.data(), y2.data(), 64 * sizeof(double)));
    y1 = y2 = y;
    _ZEM_BLAS_dgemvtoo("T", &m, &n, &alpha, a.data(), &lda, x.data(), &one, &beta, y1.data(), &one);
    _ZEM_BLAS_dgemvtoo_def("T", &m, &n, &alpha, a.data(), &lda, x.data(), &one, &beta, y2.data(), &one);
    EXPECT_TRUE(same_bits(y1.data(), y2.data(), 37 * sizeof(double)));
    for (int mm : {300, 1000})
        check_gemv<double>(g, 'N', mm, 100, -1, 0, 1, 1, kScalars[0]);
    for (int mm : {300, 1000})
        check_gemv<double>(g, 'T', mm, 100, -1, 0, 1, 1, kScalars[1]);
}

// The remainder kernel alone handles any row count, increment and operation.
TYPED_TEST(Gemv, RemainderKernelAlone)
{
    typedef TypeParam T;
    std::mt19937 g(45);
    int m = 13, n = 5, lda = 13, ix = -2, iy = 3;
    std::vector<T> a = rnd_vec<T>(13 * 5, g), x = rnd_vec<T>(span(13, ix), g), y = rnd_vec<T>(span(13, iy), g);
    std::vector<T> y0 = y;
    T alpha = put<T>({1.25, 0.5}), beta = put<T>({1, 0});
    // The kernel takes x and y at the first element used: the far end of x.
    void (*pst) ZEM_P_GEMV(T, T) = nullptr;
    if constexpr (std::is_same<T, float>::value)
        pst = _ZEM_BLAS_sgemvpst;
    else if constexpr (std::is_same<T, double>::value)
        pst = _ZEM_BLAS_dgemvpst;
    else if constexpr (std::is_same<T, ZEM_Complex8>::value)
        pst = _ZEM_BLAS_cgemvpst;
    else
        pst = _ZEM_BLAS_zgemvpst;
    pst("N", &m, &n, &alpha, a.data(), &lda, x.data() + (n - 1) * 2, &ix, &beta, y.data(), &iy);
    mat dense = image(a);
    std::vector<cx> xl = gather(x, n, ix), want = gather(y0, m, iy), bound = absv(want), xa = absv(xl);
    l2_ref::matvec(m, n, get(alpha), dense, xl.data(), {1, 0}, want.data());
    l2_ref::matvec(m, n, l2_ref::cabs(get(alpha)), absv(dense), xa.data(), {1, 0}, bound.data());
    expect_vec(y, y0, m, iy, want, bound, tol<T>(n));
}

} // namespace
