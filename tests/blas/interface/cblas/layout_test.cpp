// A row-major call gives what the column-major call gives on the same
// logical problem, for every level-2 and level-3 form, every type and
// option; the input vectors come back bit for bit (the conjugate-transpose
// and Hermitian row-major cases work on conjugated copies or conjugate in
// place and back). Storage outside the part a routine reads is junk that
// differs between the layouts.
#include "tests/blas/interface/cblas/cblas_test.h"

namespace {

using namespace cbt;

template <class T> struct Layouts : testing::Test {};
TYPED_TEST_SUITE(Layouts, Types);

const int kOrders[2] = {CblasRowMajor, CblasColMajor};
const int kTrans[3] = {CblasNoTrans, CblasTrans, CblasConjTrans};
const int kUplo[2] = {CblasUpper, CblasLower};
const int kSide[2] = {CblasLeft, CblasRight};
const int kDiag[2] = {CblasNonUnit, CblasUnit};
const int kIncs[3] = {1, -2, 3};

#define CBT_LAYOUT (CBLAS_LAYOUT) order
#define CBT_ENUM(type, v) (CBLAS_##type)(v)

// Runs op(order) in both layouts and compares the logical results.
template <class T, class Op> void same_in_both(Op op, const std::string &what)
{
    std::vector<T> out[2];
    for (int o = 0; o < 2; ++o)
        out[o] = op(kOrders[o]);
    expect_close(out[0], out[1], tol<T>(60), what);
}

std::string tag(std::initializer_list<int> v)
{
    std::string s;
    for (int e : v)
        s += " " + std::to_string(e);
    return s;
}

// Matrix-vector products y := alpha*op(A)*x + beta*y, general and banded.
TYPED_TEST(Layouts, GeneralProducts)
{
    typedef TypeParam T;
    std::mt19937 g(11);
    const T alpha = rnd<T>(g), beta = rnd<T>(g);
    for (int ta : kTrans)
        for (auto [m, n] : {std::pair{5, 3}, {3, 6}, {0, 2}, {4, 0}})
            for (int inc : kIncs)
                for (int band = 0; band < 2; ++band) {
                    const int kl = band ? 1 : m - 1, ku = band ? 2 : n - 1;
                    const Part part = band ? Part{0, kl, ku} : Part{};
                    const Mat<T> a = rnd_mat<T>(m, n, g);
                    const int lx = ta == CblasNoTrans ? n : m, ly = ta == CblasNoTrans ? m : n;
                    const auto x = rnd_strided<T>(lx, inc, g), y = rnd_strided<T>(ly, -inc, g);
                    same_in_both<T>([&](int order) {
                        const int lda = band ? kl + ku + 2 : std::max(order == CblasRowMajor ? n : m, 1) + 1;
                        auto s = store(a, order, band ? Store::band : Store::dense, lda, part, g);
                        auto xx = x, yy = y;
                        if (band)
                            CBT_CALL(gbmv, gbmv, CBT_LAYOUT, CBT_ENUM(TRANSPOSE, ta), m, n, kl, ku, sc(alpha),
                                     s.data(), lda, xx.data(), inc, sc(beta), yy.data(), -inc);
                        else
                            CBT_CALL(gemv, gemv, CBT_LAYOUT, CBT_ENUM(TRANSPOSE, ta), m, n, sc(alpha), s.data(),
                                     lda, xx.data(), inc, sc(beta), yy.data(), -inc);
                        EXPECT_TRUE(same_bits(xx, x));
                        return yy;
                    }, (band ? "gbmv" : "gemv") + tag({ta, m, n, inc}));
                }
}

// Symmetric (real) and Hermitian (complex) products: full, band, packed.
TYPED_TEST(Layouts, SymmetricProducts)
{
    typedef TypeParam T;
    std::mt19937 g(12);
    const T alpha = rnd<T>(g), beta = rnd<T>(g);
    for (int ul : kUplo)
        for (int n : {0, 1, 6})
            for (int inc : kIncs)
                for (Store kind : {Store::dense, Store::band, Store::packed}) {
                    const int k = 2;
                    const Part part = kind == Store::band ? Part{ul, ul == CblasUpper ? 0 : k, ul == CblasUpper ? k : 0}
                                                          : Part{ul};
                    const Mat<T> a = rnd_mat<T>(n, n, g);
                    const auto x = rnd_strided<T>(n, inc, g), y = rnd_strided<T>(n, inc, g);
                    same_in_both<T>([&](int order) {
                        const int lda = kind == Store::band ? k + 2 : n + 1;
                        auto s = store(a, order, kind, lda, part, g);
                        auto xx = x, yy = y;
                        const auto u = CBT_ENUM(UPLO, ul);
                        if (kind == Store::dense)
                            CBT_CALL(symv, hemv, CBT_LAYOUT, u, n, sc(alpha), s.data(), lda, xx.data(), inc, sc(beta),
                                     yy.data(), inc);
                        else if (kind == Store::band)
                            CBT_CALL(sbmv, hbmv, CBT_LAYOUT, u, n, k, sc(alpha), s.data(), lda, xx.data(), inc,
                                     sc(beta), yy.data(), inc);
                        else
                            CBT_CALL(spmv, hpmv, CBT_LAYOUT, u, n, sc(alpha), s.data(), xx.data(), inc, sc(beta),
                                     yy.data(), inc);
                        EXPECT_TRUE(same_bits(xx, x));
                        return yy;
                    }, "symv/sbmv/spmv" + tag({ul, n, inc, int(kind)}));
                }
}

// Rank-1 and rank-2 updates: general (ger, geru, gerc), symmetric or
// Hermitian, full or packed.
TYPED_TEST(Layouts, RankUpdates)
{
    typedef TypeParam T;
    std::mt19937 g(13);
    const T alpha = rnd<T>(g);
    const R<T> ralpha = get(rnd<T>(g)).re;
    for (int inc : kIncs) {
        for (auto [m, n] : {std::pair{4, 3}, {2, 5}, {0, 3}})
            for (int conj = 0; conj <= int(cplx<T>); ++conj) {
                const Mat<T> a = rnd_mat<T>(m, n, g);
                const auto x = rnd_strided<T>(m, inc, g), y = rnd_strided<T>(n, -inc, g);
                same_in_both<T>([&](int order) {
                    const int lda = std::max(order == CblasRowMajor ? n : m, 1) + 2;
                    auto s = store(a, order, Store::dense, lda, Part{}, g);
                    auto xx = x, yy = y;
                    if (conj) {
                        if constexpr (cplx<T>)
                            CBT_CALL(ger, gerc, CBT_LAYOUT, m, n, sc(alpha), xx.data(), inc, yy.data(), -inc,
                                     s.data(), lda);
                    } else {
                        CBT_CALL(ger, geru, CBT_LAYOUT, m, n, sc(alpha), xx.data(), inc, yy.data(), -inc, s.data(),
                                 lda);
                    }
                    EXPECT_TRUE(same_bits(xx, x) && same_bits(yy, y));
                    return load(s, m, n, order, Store::dense, lda, Part{}).v;
                }, "ger" + tag({m, n, inc, conj}));
            }
        for (int ul : kUplo)
            for (int n : {0, 5})
                for (int two = 0; two < 2; ++two)
                    for (Store kind : {Store::dense, Store::packed}) {
                        const Mat<T> a = rnd_mat<T>(n, n, g);
                        const auto x = rnd_strided<T>(n, inc, g), y = rnd_strided<T>(n, -inc, g);
                        same_in_both<T>([&](int order) {
                            const int lda = n + 1;
                            auto s = store(a, order, kind, lda, Part{ul}, g);
                            auto xx = x, yy = y;
                            const auto u = CBT_ENUM(UPLO, ul);
                            if (kind == Store::dense && two)
                                CBT_CALL(syr2, her2, CBT_LAYOUT, u, n, sc(alpha), xx.data(), inc, yy.data(), -inc,
                                         s.data(), lda);
                            else if (kind == Store::dense)
                                CBT_CALL(syr, her, CBT_LAYOUT, u, n, ralpha, xx.data(), inc, s.data(), lda);
                            else if (two)
                                CBT_CALL(spr2, hpr2, CBT_LAYOUT, u, n, sc(alpha), xx.data(), inc, yy.data(), -inc,
                                         s.data());
                            else
                                CBT_CALL(spr, hpr, CBT_LAYOUT, u, n, ralpha, xx.data(), inc, s.data());
                            EXPECT_TRUE(same_bits(xx, x) && same_bits(yy, y));
                            // The imaginary parts of a Hermitian diagonal are set to zero, whatever was stored.
                            return load(s, n, n, order, kind, lda, Part{ul}).v;
                        }, "syr/spr" + tag({ul, n, inc, two, int(kind)}));
                    }
    }
}

// Triangular products and solves, full, band and packed.
TYPED_TEST(Layouts, Triangular)
{
    typedef TypeParam T;
    std::mt19937 g(14);
    for (int ul : kUplo)
        for (int ta : kTrans)
            for (int dg : kDiag)
                for (int n : {0, 1, 6})
                    for (int inc : {1, -2})
                        for (Store kind : {Store::dense, Store::band, Store::packed})
                            for (int solve = 0; solve < 2; ++solve) {
                                const int k = 2;
                                const Part part = kind == Store::band
                                                      ? Part{ul, ul == CblasUpper ? 0 : k, ul == CblasUpper ? k : 0}
                                                      : Part{ul};
                                const Mat<T> a = rnd_mat<T>(n, n, g, true);
                                const auto x = rnd_strided<T>(n, inc, g);
                                same_in_both<T>([&](int order) {
                                    const int lda = kind == Store::band ? k + 2 : n + 1;
                                    auto s = store(a, order, kind, lda, part, g);
                                    auto xx = x;
                                    const auto u = CBT_ENUM(UPLO, ul);
                                    const auto t = CBT_ENUM(TRANSPOSE, ta);
                                    const auto d = CBT_ENUM(DIAG, dg);
                                    if (kind == Store::dense && solve)
                                        CBT_CALL(trsv, trsv, CBT_LAYOUT, u, t, d, n, s.data(), lda, xx.data(), inc);
                                    else if (kind == Store::dense)
                                        CBT_CALL(trmv, trmv, CBT_LAYOUT, u, t, d, n, s.data(), lda, xx.data(), inc);
                                    else if (kind == Store::band && solve)
                                        CBT_CALL(tbsv, tbsv, CBT_LAYOUT, u, t, d, n, k, s.data(), lda, xx.data(), inc);
                                    else if (kind == Store::band)
                                        CBT_CALL(tbmv, tbmv, CBT_LAYOUT, u, t, d, n, k, s.data(), lda, xx.data(), inc);
                                    else if (solve)
                                        CBT_CALL(tpsv, tpsv, CBT_LAYOUT, u, t, d, n, s.data(), xx.data(), inc);
                                    else
                                        CBT_CALL(tpmv, tpmv, CBT_LAYOUT, u, t, d, n, s.data(), xx.data(), inc);
                                    return xx;
                                }, "tr/tb/tp" + tag({ul, ta, dg, n, inc, int(kind), solve}));
                            }
}

TYPED_TEST(Layouts, MatrixMultiply)
{
    typedef TypeParam T;
    std::mt19937 g(15);
    const T alpha = rnd<T>(g), beta = rnd<T>(g);
    for (int ta : kTrans)
        for (int tb : kTrans)
            for (auto [m, n, k] : {std::tuple{4, 3, 5}, {1, 6, 2}, {0, 2, 3}, {3, 3, 0}}) {
                const Mat<T> a = ta == CblasNoTrans ? rnd_mat<T>(m, k, g) : rnd_mat<T>(k, m, g);
                const Mat<T> b = tb == CblasNoTrans ? rnd_mat<T>(k, n, g) : rnd_mat<T>(n, k, g);
                const Mat<T> c = rnd_mat<T>(m, n, g);
                same_in_both<T>([&](int order) {
                    auto ld = [&](const Mat<T> &x) { return std::max(order == CblasRowMajor ? x.c : x.r, 1) + 1; };
                    const int lda = ld(a), ldb = ld(b), ldc = ld(c);
                    auto sa = store(a, order, Store::dense, lda, Part{}, g);
                    auto sb = store(b, order, Store::dense, ldb, Part{}, g);
                    auto s = store(c, order, Store::dense, ldc, Part{}, g);
                    CBT_CALL(gemm, gemm, CBT_LAYOUT, CBT_ENUM(TRANSPOSE, ta), CBT_ENUM(TRANSPOSE, tb), m, n, k,
                             sc(alpha), sa.data(), lda, sb.data(), ldb, sc(beta), s.data(), ldc);
                    return load(s, m, n, order, Store::dense, ldc, Part{}).v;
                }, "gemm" + tag({ta, tb, m, n, k}));
            }
}

#if ZEM_HAS_DSYMM && ZEM_HAS_ZHEMM
// C := alpha*A*B + beta*C or alpha*B*A + beta*C, A symmetric (and, for
// complex data, Hermitian) from one stored triangle.
TYPED_TEST(Layouts, SymmetricMultiply)
{
    typedef TypeParam T;
    std::mt19937 g(16);
    const T alpha = rnd<T>(g), beta = rnd<T>(g);
    for (int sd : kSide)
        for (int ul : kUplo)
            for (int herm = 0; herm <= int(cplx<T>); ++herm)
                for (auto [m, n] : {std::pair{4, 3}, {2, 5}, {0, 3}}) {
                    const int ka = sd == CblasLeft ? m : n;
                    const Mat<T> a = rnd_mat<T>(ka, ka, g), b = rnd_mat<T>(m, n, g), c = rnd_mat<T>(m, n, g);
                    same_in_both<T>([&](int order) {
                        const int lda = std::max(ka, 1) + 1, ldc = std::max(order == CblasRowMajor ? n : m, 1) + 2;
                        auto sa = store(a, order, Store::dense, lda, Part{ul}, g);
                        auto sb = store(b, order, Store::dense, ldc, Part{}, g);
                        auto s = store(c, order, Store::dense, ldc, Part{}, g);
                        const auto si = CBT_ENUM(SIDE, sd);
                        const auto u = CBT_ENUM(UPLO, ul);
                        if (herm)
                            CBT_CALL(symm, hemm, CBT_LAYOUT, si, u, m, n, sc(alpha), sa.data(), lda, sb.data(), ldc,
                                     sc(beta), s.data(), ldc);
                        else
                            CBT_CALL(symm, symm, CBT_LAYOUT, si, u, m, n, sc(alpha), sa.data(), lda, sb.data(), ldc,
                                     sc(beta), s.data(), ldc);
                        return load(s, m, n, order, Store::dense, ldc, Part{}).v;
                    }, "symm/hemm" + tag({sd, ul, herm, m, n}));
                }
}
#endif

#if ZEM_HAS_DSYRK && ZEM_HAS_ZHERK && ZEM_HAS_DSYR2K && ZEM_HAS_ZHER2K
// Rank-k and rank-2k updates of one triangle of C, symmetric and (for
// complex data) Hermitian, with the transpositions each accepts.
TYPED_TEST(Layouts, RankKUpdates)
{
    typedef TypeParam T;
    std::mt19937 g(17);
    const T alpha = rnd<T>(g), beta = rnd<T>(g);
    const R<T> ralpha = get(alpha).re, rbeta = get(beta).re;
    for (int ul : kUplo)
        for (int ta : kTrans)
            for (int herm = 0; herm <= int(cplx<T>); ++herm)
                for (int two = 0; two < 2; ++two)
                    for (auto [n, k] : {std::pair{4, 3}, {3, 5}, {0, 2}, {3, 0}}) {
                        if (cplx<T> && ta != CblasNoTrans && (ta == CblasConjTrans) != bool(herm))
                            continue;
                        const Mat<T> a = ta == CblasNoTrans ? rnd_mat<T>(n, k, g) : rnd_mat<T>(k, n, g);
                        const Mat<T> b = ta == CblasNoTrans ? rnd_mat<T>(n, k, g) : rnd_mat<T>(k, n, g);
                        const Mat<T> c = rnd_mat<T>(n, n, g);
                        same_in_both<T>([&](int order) {
                            const int lda = std::max(order == CblasRowMajor ? a.c : a.r, 1) + 1, ldc = n + 2;
                            auto sa = store(a, order, Store::dense, lda, Part{}, g);
                            auto sb = store(b, order, Store::dense, lda, Part{}, g);
                            auto s = store(c, order, Store::dense, ldc, Part{ul}, g);
                            const auto u = CBT_ENUM(UPLO, ul);
                            const auto t = CBT_ENUM(TRANSPOSE, ta);
                            if (herm && two)
                                CBT_CALL(syr2k, her2k, CBT_LAYOUT, u, t, n, k, sc(alpha), sa.data(), lda, sb.data(),
                                         lda, rbeta, s.data(), ldc);
                            else if (herm)
                                CBT_CALL(syrk, herk, CBT_LAYOUT, u, t, n, k, ralpha, sa.data(), lda, rbeta, s.data(),
                                         ldc);
                            else if (two)
                                CBT_CALL(syr2k, syr2k, CBT_LAYOUT, u, t, n, k, sc(alpha), sa.data(), lda, sb.data(),
                                         lda, sc(beta), s.data(), ldc);
                            else
                                CBT_CALL(syrk, syrk, CBT_LAYOUT, u, t, n, k, sc(alpha), sa.data(), lda, sc(beta),
                                         s.data(), ldc);
                            return load(s, n, n, order, Store::dense, ldc, Part{ul}).v;
                        }, "syrk/herk/syr2k/her2k" + tag({ul, ta, herm, two, n, k}));
                    }
}
#endif

#if ZEM_HAS_DTRMM && ZEM_HAS_DTRSM
// B := alpha*op(A)*B, alpha*B*op(A) and the solves, A triangular.
TYPED_TEST(Layouts, TriangularMultiplyAndSolve)
{
    typedef TypeParam T;
    std::mt19937 g(18);
    const T alpha = rnd<T>(g);
    for (int sd : kSide)
        for (int ul : kUplo)
            for (int ta : kTrans)
                for (int dg : kDiag)
                    for (int solve = 0; solve < 2; ++solve)
                        for (auto [m, n] : {std::pair{4, 3}, {2, 5}, {0, 3}}) {
                            const int ka = sd == CblasLeft ? m : n;
                            const Mat<T> a = rnd_mat<T>(ka, ka, g, true), b = rnd_mat<T>(m, n, g);
                            same_in_both<T>([&](int order) {
                                const int lda = std::max(ka, 1) + 1;
                                const int ldb = std::max(order == CblasRowMajor ? n : m, 1) + 1;
                                auto sa = store(a, order, Store::dense, lda, Part{ul}, g);
                                auto s = store(b, order, Store::dense, ldb, Part{}, g);
                                const auto si = CBT_ENUM(SIDE, sd);
                                const auto u = CBT_ENUM(UPLO, ul);
                                const auto t = CBT_ENUM(TRANSPOSE, ta);
                                const auto d = CBT_ENUM(DIAG, dg);
                                if (solve)
                                    CBT_CALL(trsm, trsm, CBT_LAYOUT, si, u, t, d, m, n, sc(alpha), sa.data(), lda,
                                             s.data(), ldb);
                                else
                                    CBT_CALL(trmm, trmm, CBT_LAYOUT, si, u, t, d, m, n, sc(alpha), sa.data(), lda,
                                             s.data(), ldb);
                                return load(s, m, n, order, Store::dense, ldb, Part{}).v;
                            }, "trmm/trsm" + tag({sd, ul, ta, dg, solve, m, n}));
                        }
}
#endif

} // namespace
