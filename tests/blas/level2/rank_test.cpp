// Rank-1 and rank-2 updates: ?ger, ?geru, ?gerc on general matrices and
// ?syr, ?spr, ?syr2, ?spr2 (real) / ?her, ?hpr, ?her2, ?hpr2 (complex) on
// one stored triangle. Only the stored part changes (the rest holds NaN and
// keeps its bits); a column whose multiplier is zero is not touched; a
// Hermitian diagonal comes out real even when it held a NaN imaginary part;
// alpha = 0 leaves the matrix alone even when x holds NaN.
#include "tests/reference/level2_ref.h"
#include "tests/support/element_api.h"

using namespace zem_test;
using l2_ref::mat;

namespace {

template <class T>
class RankUpdate : public testing::Test {};
TYPED_TEST_SUITE(RankUpdate, ElementTypes);

const int kIncs[][2] = {{1, 1}, {-1, 2}, {2, -1}, {-2, -2}};

template <class T>
void check_ger(std::mt19937 &g, int m, int n, int ix, int iy, cx alpha, bool conj)
{
    if (!Api<T>::cplx)
        alpha.im = 0;
    SCOPED_TRACE(testing::Message() << "m=" << m << " n=" << n << " incx=" << ix << " incy=" << iy
                                    << " conj=" << conj);
    const int lda = m + 2;
    std::vector<T> a = rnd_vec<T>((size_t)lda * (n > 0 ? n : 1), g);
    std::vector<T> x = rnd_vec<T>(span(m, ix), g), y = rnd_vec<T>(span(n, iy), g);
    // y(1) = 0: column 1 is not touched, so its NaN stays.
    if (n > 1) {
        y[pos(n, iy, 1)] = put<T>({0, 0});
        for (int i = 0; i < m; ++i)
            a[i + (size_t)lda] = nan_value<T>();
    }
    const std::vector<T> a0 = a;
    std::vector<cx> xl = gather(x, m, ix), yl = gather(y, n, iy);
    mat want((size_t)m * n), bound((size_t)m * n);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < m; ++i)
            want[i + (size_t)j * m] = get(a[i + (size_t)j * lda]);
    bound = absv(want);
    l2_ref::rank1(m, n, alpha, xl.data(), yl.data(), conj, want);
    std::vector<cx> xa = absv(xl), ya = absv(yl);
    l2_ref::rank1(m, n, l2_ref::cabs(alpha), xa.data(), ya.data(), false, bound);
    T al = put<T>(alpha);
    (conj ? Api<T>::gerc : Api<T>::geru)(&m, &n, &al, x.data(), &ix, y.data(), &iy, a.data(), &lda);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < lda; ++i) {
            size_t p = i + (size_t)j * lda;
            if (i >= m || j == 1)
                EXPECT_TRUE(same_bits(&a[p], &a0[p], sizeof(T))) << "(" << i << "," << j << ") touched";
            else
                EXPECT_TRUE(close(get(a[p]), want[i + (size_t)j * m], bound[i + (size_t)j * m], tol<T>(0)))
                    << "(" << i << "," << j << ")";
        }
}

TYPED_TEST(RankUpdate, General)
{
    std::mt19937 g(71);
    const int shapes[][2] = {{0, 3}, {3, 0}, {1, 1}, {7, 5}, {33, 65}, {100, 3}};
    for (auto &sh : shapes)
        for (auto &inc : kIncs)
            for (bool conj : {false, true})
                check_ger<TypeParam>(g, sh[0], sh[1], inc[0], inc[1], {0.75L, -1.25L}, conj);
}

// Symmetric / Hermitian updates in full (packed = false) or packed storage.
template <class T>
void check_sym_rank(std::mt19937 &g, bool packed, bool two, int n, char uplo, int ix, int iy, cx alpha)
{
    const bool herm = Api<T>::cplx, up = uplo == 'U' || uplo == 'u';
    if (!herm || !two)
        alpha.im = 0; // syr, spr, her, hpr take a real alpha
    SCOPED_TRACE(testing::Message() << (packed ? "packed" : "full") << (two ? " rank 2" : " rank 1") << " n=" << n
                                    << " uplo=" << uplo << " incx=" << ix << " incy=" << iy);
    const int lda = n + 1;
    const size_t size = packed ? (n > 0 ? (size_t)n * (n + 1) / 2 : 1) : (size_t)lda * (n > 0 ? n : 1);
    std::vector<T> a(size, nan_value<T>());
    std::vector<long> at((size_t)n * n, -1); // stored index of (i, j), -1 outside the triangle
    long p = 0;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
            if (up ? i <= j : i >= j) {
                long q = packed ? p++ : i + (long)j * lda;
                at[i + (size_t)j * n] = q;
                a[q] = rnd<T>(g);
                if (i == j && herm)
                    a[q] = put<T>({get(a[q]).re, NAN});
            }
    std::vector<T> x = rnd_vec<T>(span(n, ix), g), y = rnd_vec<T>(span(n, iy), g);
    if (n > 2) { // a zero multiplier in column 2
        x[pos(n, ix, 2)] = put<T>({0, 0});
        y[pos(n, iy, 2)] = put<T>({0, 0});
    }
    const std::vector<T> a0 = a;
    std::vector<cx> im = image(a);
    mat d = packed ? l2_ref::from_sym_packed(uplo, n, im.data(), herm) : l2_ref::from_sym(uplo, n, im.data(), lda, herm);
    mat bound = absv(d);
    std::vector<cx> xl = gather(x, n, ix), yl = gather(y, n, iy), xa = absv(xl), ya = absv(yl);
    cx aa = l2_ref::cabs(alpha);
    if (!two) {
        l2_ref::rank1(n, n, alpha, xl.data(), xl.data(), herm, d);
        l2_ref::rank1(n, n, aa, xa.data(), xa.data(), false, bound);
    } else {
        l2_ref::rank1(n, n, alpha, xl.data(), yl.data(), herm, d);
        l2_ref::rank1(n, n, herm ? l2_ref::conj(alpha) : alpha, yl.data(), xl.data(), herm, d);
        l2_ref::rank1(n, n, aa, xa.data(), ya.data(), false, bound);
        l2_ref::rank1(n, n, aa, ya.data(), xa.data(), false, bound);
    }
    const char u[2] = {uplo, 0};
    typename Api<T>::R ar = (typename Api<T>::R)alpha.re;
    T al = put<T>(alpha);
    if (!two && !packed)
        Api<T>::syr(u, &n, &ar, x.data(), &ix, a.data(), &lda);
    else if (!two)
        Api<T>::spr(u, &n, &ar, x.data(), &ix, a.data());
    else if (!packed)
        Api<T>::syr2(u, &n, &al, x.data(), &ix, y.data(), &iy, a.data(), &lda);
    else
        Api<T>::spr2(u, &n, &al, x.data(), &ix, y.data(), &iy, a.data());
    std::vector<bool> seen(size, false);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            long q = at[i + (size_t)j * n];
            if (q < 0)
                continue;
            seen[q] = true;
            cx got = get(a[q]), want = d[i + (size_t)j * n];
            if (i == j && herm) {
                EXPECT_EQ(got.im, 0) << "diagonal " << j << " not real";
                want.im = 0;
            }
            EXPECT_TRUE(close(got, want, bound[i + (size_t)j * n], tol<T>(2))) << "(" << i << "," << j << ")";
        }
    for (size_t q = 0; q < size; ++q) {
        if (!seen[q]) {
            EXPECT_TRUE(same_bits(&a[q], &a0[q], sizeof(T))) << "unstored element " << q << " touched";
        }
    }
}

TYPED_TEST(RankUpdate, SymmetricOrHermitian)
{
    std::mt19937 g(72);
    for (bool packed : {false, true})
        for (bool two : {false, true})
            for (int n : {0, 1, 3, 31, 33, 65})
                for (char uplo : {'U', 'l'})
                    for (auto &inc : kIncs)
                        check_sym_rank<TypeParam>(g, packed, two, n, uplo, inc[0], inc[1], {-0.625L, 1.5L});
}

// alpha = 0 returns before anything is read: x full of NaN leaves A alone.
TYPED_TEST(RankUpdate, AlphaZeroLeavesMatrixAlone)
{
    typedef TypeParam T;
    std::mt19937 g(73);
    int n = 6, lda = 6, one = 1;
    std::vector<T> a = rnd_vec<T>(36, g), x(6, nan_value<T>()), y(6, nan_value<T>());
    const std::vector<T> a0 = a;
    T al = put<T>({0, 0});
    typename Api<T>::R ar = 0;
    Api<T>::geru(&n, &n, &al, x.data(), &one, y.data(), &one, a.data(), &lda);
    Api<T>::gerc(&n, &n, &al, x.data(), &one, y.data(), &one, a.data(), &lda);
    Api<T>::syr("U", &n, &ar, x.data(), &one, a.data(), &lda);
    Api<T>::spr("L", &n, &ar, x.data(), &one, a.data());
    Api<T>::syr2("L", &n, &al, x.data(), &one, y.data(), &one, a.data(), &lda);
    Api<T>::spr2("U", &n, &al, x.data(), &one, y.data(), &one, a.data());
    EXPECT_TRUE(same_bits(a.data(), a0.data(), a.size() * sizeof(T)));
}

} // namespace
