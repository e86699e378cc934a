// Triangular products and solves in full (?trmv, ?trsv), band (?tbmv,
// ?tbsv) and packed (?tpmv, ?tpsv) storage, over uplo, trans and diag,
// increments of either sign, sizes across the 32- and 64-element block
// borders and band widths 0, 1 and beyond n. A unit diagonal holds NaN and
// must never be read. Products are compared with the reference; solutions
// by their residual, op(A)·x - b, against |op(A)|·|x| + |b|.
#include "tests/reference/level2_ref.h"
#include "tests/support/element_api.h"

using namespace zem_test;
using l2_ref::mat;

namespace {

template <class T>
class Triangular : public testing::Test {};
TYPED_TEST_SUITE(Triangular, ElementTypes);

template <class T>
std::vector<char> transes()
{
    return Api<T>::cplx ? std::vector<char>{'N', 'T', 'C'} : std::vector<char>{'N', 't', 'C'};
}

const int kIncs[] = {1, -1, 2, -2};

// Which stored element is (i, j) of the triangle: (row, column) in the
// storage's own indexing, for full (lda), band (k) and packed storage.
enum Storage { kFull, kBand, kPacked };

struct Shape {
    Storage st;
    int n, k, ld; // k: band width; ld: lda for full and band storage
};

size_t stored_size(const Shape &s)
{
    if (s.st == kPacked)
        return s.n > 0 ? (size_t)s.n * (s.n + 1) / 2 : 1;
    return (size_t)s.ld * (s.n > 0 ? s.n : 1);
}

// Index in the stored array of element (i, j) of the triangle, or -1 when
// the storage does not hold it.
long stored_index(const Shape &s, bool up, int i, int j)
{
    if (up ? i > j : i < j)
        return -1;
    switch (s.st) {
    case kFull:
        return i + (long)j * s.ld;
    case kBand:
        if (std::abs(i - j) > s.k)
            return -1;
        return (up ? s.k + i - j : i - j) + (long)j * s.ld;
    default: {
        long off = 0;
        for (int c = 0; c < j; ++c)
            off += up ? c + 1 : s.n - c;
        return off + (up ? i : i - j);
    }
    }
}

// Random triangle that is well conditioned for solving: diagonal of modulus
// about 1 to 2, off-diagonal elements scaled by 1/n. A unit diagonal is NaN.
template <class T>
std::vector<T> make_triangle(std::mt19937 &g, const Shape &s, bool up, bool unit, bool solve)
{
    std::vector<T> a = rnd_vec<T>(stored_size(s), g);
    for (int j = 0; j < s.n; ++j)
        for (int i = 0; i < s.n; ++i) {
            long p = stored_index(s, up, i, j);
            if (p < 0)
                continue;
            cx v = get(a[p]);
            if (i == j)
                a[p] = unit ? nan_value<T>() : solve ? put<T>({v.re < 0 ? v.re - 1 : v.re + 1, v.im}) : a[p];
            else if (solve)
                a[p] = put<T>({v.re / s.n, v.im / s.n});
        }
    return a;
}

template <class T>
mat dense_of(const Shape &s, char uplo, char diag, const std::vector<T> &a)
{
    std::vector<cx> im = image(a);
    if (s.st == kFull)
        return l2_ref::from_tri(uplo, diag, s.n, im.data(), s.ld);
    if (s.st == kBand)
        return l2_ref::from_tri_band(uplo, diag, s.n, s.k, im.data(), s.ld);
    return l2_ref::from_tri_packed(uplo, diag, s.n, im.data());
}

template <class T>
void call(bool solve, const Shape &s, const char *u, const char *t, const char *d, const T *a, T *x, int inc)
{
    int n = s.n, k = s.k, ld = s.ld;
    switch (s.st) {
    case kFull:
        (solve ? Api<T>::trsv : Api<T>::trmv)(u, t, d, &n, a, &ld, x, &inc);
        break;
    case kBand:
        (solve ? Api<T>::tbsv : Api<T>::tbmv)(u, t, d, &n, &k, a, &ld, x, &inc);
        break;
    default:
        (solve ? Api<T>::tpsv : Api<T>::tpmv)(u, t, d, &n, a, x, &inc);
    }
}

template <class T>
void check_case(std::mt19937 &g, const Shape &s, bool solve, char uplo, char trans, char diag, int inc)
{
    SCOPED_TRACE(testing::Message() << (solve ? "solve" : "product") << " storage=" << s.st << " n=" << s.n
                                    << " k=" << s.k << " uplo=" << uplo << " trans=" << trans << " diag=" << diag
                                    << " inc=" << inc);
    const bool up = uplo == 'U' || uplo == 'u', unit = diag == 'U' || diag == 'u';
    std::vector<T> a = make_triangle<T>(g, s, up, unit, solve), a0 = a;
    std::vector<T> x = rnd_vec<T>(span(s.n, inc), g), x0 = x;
    const char ops = Api<T>::cplx ? trans : (trans == 'C' || trans == 'c' ? 'T' : trans);
    mat opa = l2_ref::op(ops, s.n, s.n, dense_of(s, uplo, diag, a));
    const char u[2] = {uplo, 0}, t[2] = {trans, 0}, d[2] = {diag, 0};
    call(solve, s, u, t, d, a.data(), x.data(), inc);
    const ld err = tol<T>(s.n);
    std::vector<cx> xl = gather(x0, s.n, inc);
    if (!solve) {
        std::vector<cx> want(s.n), bound(s.n), xa = absv(xl);
        l2_ref::matvec(s.n, s.n, {1, 0}, opa, xl.data(), {0, 0}, want.data());
        l2_ref::matvec(s.n, s.n, {1, 0}, absv(opa), xa.data(), {0, 0}, bound.data());
        expect_vec(x, x0, s.n, inc, want, bound, err);
    } else {
        // residual r = op(A)·x - b, bound |op(A)|·|x| + |b|
        std::vector<cx> got = gather(x, s.n, inc), r = xl, bound = absv(xl), ga = absv(got);
        l2_ref::matvec(s.n, s.n, {1, 0}, opa, got.data(), {-1, 0}, r.data());
        l2_ref::matvec(s.n, s.n, {1, 0}, absv(opa), ga.data(), {1, 0}, bound.data());
        for (int i = 0; i < s.n; ++i)
            EXPECT_TRUE(close(r[i], {0, 0}, bound[i], err)) << "residual " << i;
        // the gaps between the elements keep their bits
        std::vector<T> masked = x;
        for (int i = 0; i < s.n; ++i)
            masked[pos(s.n, inc, i)] = x0[pos(s.n, inc, i)];
        EXPECT_TRUE(same_bits(masked.data(), x0.data(), x.size() * sizeof(T)));
    }
    EXPECT_TRUE(same_bits(a.data(), a0.data(), a.size() * sizeof(T))) << "matrix changed";
}

template <class T>
void all_options(std::mt19937 &g, const Shape &s, bool solve, const int *incs, int nincs)
{
    for (char uplo : {'U', 'l'})
        for (char trans : transes<T>())
            for (char diag : {'N', 'u'})
                for (int k = 0; k < nincs; ++k)
                    check_case<T>(g, s, solve, uplo, trans, diag, incs[k]);
}

TYPED_TEST(Triangular, FullStorage)
{
    std::mt19937 g(51);
    for (int n : {0, 1, 2, 5, 31, 32, 33, 63, 64, 65, 100, 129})
        for (bool solve : {false, true})
            all_options<TypeParam>(g, Shape{kFull, n, 0, n + 2}, solve, kIncs, n > 65 ? 2 : 4);
}

TYPED_TEST(Triangular, BandStorage)
{
    std::mt19937 g(52);
    for (int n : {0, 1, 7, 33, 66})
        for (int k : {0, 1, 4, n + 3})
            for (bool solve : {false, true})
                all_options<TypeParam>(g, Shape{kBand, n, k, k + 3}, solve, kIncs, 4);
}

TYPED_TEST(Triangular, PackedStorage)
{
    std::mt19937 g(53);
    for (int n : {0, 1, 2, 7, 33, 66})
        for (bool solve : {false, true})
            all_options<TypeParam>(g, Shape{kPacked, n, n > 0 ? n - 1 : 0, 0}, solve, kIncs, 4);
}

// The blocked solve agrees with the unblocked one up to rounding:
// n = 100 takes three blocks of 32 and one of 4.
TEST(TriangularBlocks, BlockedSolveMatchesUnblocked)
{
    std::mt19937 g(54);
    const int n = 100, ld = 100, one = 1;
    for (char uplo : {'U', 'L'})
        for (char trans : {'N', 'T'}) {
            Shape s{kFull, n, 0, ld};
            std::vector<double> a = make_triangle<double>(g, s, uplo == 'U', false, true);
            std::vector<double> x = rnd_vec<double>(n, g), xb = x, xp = x;
            const char u[2] = {uplo, 0}, t[2] = {trans, 0};
            dtrsv_(u, t, "N", &n, a.data(), &ld, xb.data(), &one);
            // the same system in packed storage: the unblocked column algorithm
            std::vector<double> ap;
            for (int j = 0; j < n; ++j)
                for (int i = (uplo == 'U' ? 0 : j); i < (uplo == 'U' ? j + 1 : n); ++i)
                    ap.push_back(a[i + (size_t)j * ld]);
            dtpsv_(u, t, "N", &n, ap.data(), xp.data(), &one);
            for (int i = 0; i < n; ++i)
                EXPECT_NEAR(xb[i], xp[i], 1e-13 * (1 + std::fabs(xp[i]))) << uplo << trans << " element " << i;
        }
}

} // namespace
