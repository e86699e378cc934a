// Symmetric (real types) and Hermitian (complex types) products in full
// (?symv, ?hemv), band (?sbmv, ?hbmv) and packed (?spmv, ?hpmv) storage,
// reading only the stored triangle: the other triangle holds NaN, and so
// does the imaginary part of a Hermitian diagonal, which counts as zero.
#include "tests/reference/level2_ref.h"
#include "tests/support/element_api.h"

using namespace zem_test;
using l2_ref::mat;

namespace {

template <class T>
class Symmetric : public testing::Test {};
TYPED_TEST_SUITE(Symmetric, ElementTypes);

enum Storage { kFull, kBand, kPacked };

struct Shape {
    Storage st;
    int n, k, ld;
};

struct Scalars {
    cx alpha, beta;
};
const Scalars kScalars[] = {{{0.75L, -0.5L}, {1.25L, 0.5L}}, {{-1.5L, 0.25L}, {0, 0}}, {{0.5L, 1}, {1, 0}}};
const int kIncs[][2] = {{1, 1}, {-1, 2}, {2, -1}, {-2, -3}};

// The stored array: random values in the stored triangle (band), NaN
// everywhere else and in the imaginary parts of a Hermitian diagonal.
template <class T>
std::vector<T> make_stored(std::mt19937 &g, const Shape &s, bool up)
{
    size_t size = s.st == kPacked ? (s.n > 0 ? (size_t)s.n * (s.n + 1) / 2 : 1) : (size_t)s.ld * (s.n > 0 ? s.n : 1);
    std::vector<T> a(size, nan_value<T>());
    size_t p = 0;
    for (int j = 0; j < s.n; ++j)
        for (int i = 0; i < s.n; ++i) {
            if (up ? i > j : i < j)
                continue;
            if (s.st == kBand && std::abs(i - j) > s.k)
                continue;
            size_t at = s.st == kFull ? i + (size_t)j * s.ld
                        : s.st == kBand ? (up ? s.k + i - j : i - j) + (size_t)j * s.ld
                                        : p++;
            a[at] = rnd<T>(g);
            if (i == j && Api<T>::cplx)
                a[at] = put<T>({get(a[at]).re, NAN});
        }
    return a;
}

template <class T>
mat dense_of(const Shape &s, char uplo, const std::vector<T> &a)
{
    std::vector<cx> im = image(a);
    bool herm = Api<T>::cplx;
    if (s.st == kFull)
        return l2_ref::from_sym(uplo, s.n, im.data(), s.ld, herm);
    if (s.st == kBand)
        return l2_ref::from_sym_band(uplo, s.n, s.k, im.data(), s.ld, herm);
    return l2_ref::from_sym_packed(uplo, s.n, im.data(), herm);
}

template <class T>
void check_case(std::mt19937 &g, const Shape &s, char uplo, int ix, int iy, Scalars sc)
{
    if (!Api<T>::cplx)
        sc.alpha.im = sc.beta.im = 0;
    SCOPED_TRACE(testing::Message() << "storage=" << s.st << " n=" << s.n << " k=" << s.k << " uplo=" << uplo
                                    << " incx=" << ix << " incy=" << iy << " beta=" << (double)sc.beta.re);
    std::vector<T> a = make_stored<T>(g, s, uplo == 'U' || uplo == 'u'), a0 = a;
    std::vector<T> x = rnd_vec<T>(span(s.n, ix), g), x0 = x, y = rnd_vec<T>(span(s.n, iy), g);
    const bool beta0 = sc.beta.re == 0 && sc.beta.im == 0;
    if (beta0)
        for (int i = 0; i < s.n; ++i)
            y[pos(s.n, iy, i)] = nan_value<T>();
    std::vector<T> y0 = y;
    mat d = dense_of(s, uplo, a);
    std::vector<cx> xl = gather(x, s.n, ix), want = gather(y, s.n, iy), bound = absv(want), xa = absv(xl);
    l2_ref::matvec(s.n, s.n, sc.alpha, d, xl.data(), sc.beta, want.data());
    l2_ref::matvec(s.n, s.n, l2_ref::cabs(sc.alpha), absv(d), xa.data(), l2_ref::cabs(sc.beta), bound.data());

    T alpha = put<T>(sc.alpha), beta = put<T>(sc.beta);
    int n = s.n, k = s.k, ld = s.ld;
    const char u[2] = {uplo, 0};
    if (s.st == kFull)
        Api<T>::symv(u, &n, &alpha, a.data(), &ld, x.data(), &ix, &beta, y.data(), &iy);
    else if (s.st == kBand)
        Api<T>::sbmv(u, &n, &k, &alpha, a.data(), &ld, x.data(), &ix, &beta, y.data(), &iy);
    else
        Api<T>::spmv(u, &n, &alpha, a.data(), x.data(), &ix, &beta, y.data(), &iy);
    expect_vec(y, y0, s.n, iy, want, bound, tol<T>(s.n));
    EXPECT_TRUE(same_bits(a.data(), a0.data(), a.size() * sizeof(T)));
    EXPECT_TRUE(same_bits(x.data(), x0.data(), x.size() * sizeof(T)));
}

template <class T>
void all_cases(std::mt19937 &g, const Shape &s)
{
    int c = 0;
    for (char uplo : {'U', 'l'})
        for (auto &inc : kIncs)
            for (const Scalars &sc : kScalars)
                if (s.n < 60 || ++c % 2)
                    check_case<T>(g, s, uplo, inc[0], inc[1], sc);
}

TYPED_TEST(Symmetric, FullStorage)
{
    std::mt19937 g(61);
    for (int n : {0, 1, 3, 4, 5, 8, 31, 33, 65, 100})
        all_cases<TypeParam>(g, Shape{kFull, n, 0, n + 2});
}

TYPED_TEST(Symmetric, BandStorage)
{
    std::mt19937 g(62);
    for (int n : {0, 1, 7, 33, 66})
        for (int k : {0, 1, 4, n + 3})
            all_cases<TypeParam>(g, Shape{kBand, n, k, k + 2});
}

TYPED_TEST(Symmetric, PackedStorage)
{
    std::mt19937 g(63);
    for (int n : {0, 1, 2, 7, 33, 66})
        all_cases<TypeParam>(g, Shape{kPacked, n, 0, 0});
}

// alpha = 0: neither A nor x is read; y := beta·y.
TYPED_TEST(Symmetric, AlphaZeroReadsNeitherMatrixNorVector)
{
    typedef TypeParam T;
    int n = 9, k = 2, ld = 9, one = 1;
    std::vector<T> a(81, nan_value<T>()), x(9, nan_value<T>());
    for (int form = 0; form < 3; ++form) {
        std::vector<T> y(9, nan_value<T>());
        T alpha = put<T>({0, 0}), beta = put<T>({0, 0});
        if (form == 0)
            Api<T>::symv("U", &n, &alpha, a.data(), &ld, x.data(), &one, &beta, y.data(), &one);
        else if (form == 1)
            Api<T>::sbmv("L", &n, &k, &alpha, a.data(), &ld, x.data(), &one, &beta, y.data(), &one);
        else
            Api<T>::spmv("U", &n, &alpha, a.data(), x.data(), &one, &beta, y.data(), &one);
        for (const T &v : y) {
            EXPECT_EQ(get(v).re, 0);
            EXPECT_EQ(get(v).im, 0);
        }
    }
}

} // namespace
