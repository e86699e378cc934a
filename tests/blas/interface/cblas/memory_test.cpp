// Work memory of the row-major complex cases: the conjugation rule takes
// a buffer from the library's cache or the C library (a failed request
// reports and changes nothing), the triangular routines take none, and
// the conjugate-transpose product computes A^H*x.
#include "tests/blas/interface/cblas/cblas_test.h"
#include "tests/support/alloc_fail.h"

namespace {

using namespace cbt;
using zem_test::captured_stdout;
using zem_test::internal_line;

const int kRow = CblasRowMajor;
const ZEM_Complex16 kAlpha = {0.5, -1}, kBeta = {2, 0.25};

TEST(CblasMemory, TriangularRoutinesNeedNone)
{
    std::mt19937 g(21);
    const Mat<C16> a = rnd_mat<C16>(5, 5, g, true);
    const auto x0 = rnd_strided<C16>(5, -2, g);
    const auto s = store(a, kRow, Store::dense, 5, Part{}, g);
    const auto sp = store(a, kRow, Store::packed, 0, Part{CblasUpper}, g);
    const auto sb = store(a, kRow, Store::band, 3, Part{CblasUpper, 0, 2}, g);
    for (int solve = 0; solve < 2; ++solve)
        for (int kind = 0; kind < 3; ++kind) {
            auto call = [&](std::vector<C16> &x) {
                const auto u = CblasUpper;
                const auto t = CblasConjTrans;
                const auto d = CblasNonUnit;
                const CBLAS_LAYOUT o = CblasRowMajor;
                if (kind == 0)
                    (solve ? cblas_ztrsv : cblas_ztrmv)(o, u, t, d, 5, s.data(), 5, x.data(), -2);
                else if (kind == 1)
                    (solve ? cblas_ztbsv : cblas_ztbmv)(o, u, t, d, 5, 2, sb.data(), 3, x.data(), -2);
                else
                    (solve ? cblas_ztpsv : cblas_ztpmv)(o, u, t, d, 5, sp.data(), x.data(), -2);
            };
            auto expected = x0;
            call(expected);
            auto x = x0;
            zem_test::NoMemory none;
            EXPECT_EQ(captured_stdout([&] { call(x); }), "") << kind << solve;
            EXPECT_TRUE(same_bits(x, expected)) << kind << solve;
        }
}

TEST(CblasMemory, FailedRequestReportsAndChangesNothing)
{
    std::mt19937 g(22);
    const auto a0 = rnd_vec<C16>(64, g), x = rnd_vec<C16>(8, g), y0 = rnd_vec<C16>(8, g);
    const double ralpha = 0.5;
    struct Case {
        const char *name;
        std::function<void(C16 *a, C16 *y)> call;
    } cases[] = {
        {"cblas_zgemv", [&](C16 *a, C16 *y) {
             cblas_zgemv(CblasRowMajor, CblasConjTrans, 3, 4, &kAlpha, a, 4, x.data(), 1, &kBeta, y, 1); }},
        {"cblas_zhemv", [&](C16 *a, C16 *y) {
             cblas_zhemv(CblasRowMajor, CblasUpper, 4, &kAlpha, a, 4, x.data(), 1, &kBeta, y, 1); }},
        {"cblas_zhpmv", [&](C16 *a, C16 *y) {
             cblas_zhpmv(CblasRowMajor, CblasLower, 4, &kAlpha, a, x.data(), 1, &kBeta, y, 1); }},
        {"cblas_zgerc", [&](C16 *a, C16 *) {
             cblas_zgerc(CblasRowMajor, 3, 4, &kAlpha, x.data(), 1, x.data(), 1, a, 4); }},
        {"cblas_zher", [&](C16 *a, C16 *) { cblas_zher(CblasRowMajor, CblasUpper, 4, ralpha, x.data(), 1, a, 4); }},
        {"cblas_zhpr", [&](C16 *a, C16 *) { cblas_zhpr(CblasRowMajor, CblasUpper, 4, ralpha, x.data(), 1, a); }},
        {"cblas_zher2", [&](C16 *a, C16 *) {
             cblas_zher2(CblasRowMajor, CblasLower, 4, &kAlpha, x.data(), 1, x.data(), 2, a, 4); }},
        {"cblas_zhpr2", [&](C16 *a, C16 *) {
             cblas_zhpr2(CblasRowMajor, CblasLower, 4, &kAlpha, x.data(), 1, x.data(), 2, a); }},
        {"cblas_zgbmv", [&](C16 *a, C16 *y) {
             cblas_zgbmv(CblasRowMajor, CblasConjTrans, 3, 4, 1, 2, &kAlpha, a, 4, x.data(), -1, &kBeta, y, 1); }},
        {"cblas_zhbmv", [&](C16 *a, C16 *y) {
             cblas_zhbmv(CblasRowMajor, CblasUpper, 4, 2, &kAlpha, a, 3, x.data(), 1, &kBeta, y, 1); }},
    };
    for (const Case &c : cases)
        zem_test::for_each_failing_allocation([&] {
            auto a = a0, y = y0;
            const std::string out = captured_stdout([&] { c.call(a.data(), y.data()); });
            if (zem_test::alloc_failed()) {
                EXPECT_EQ(out, internal_line(0, c.name));
                EXPECT_TRUE(same_bits(a, a0) && same_bits(y, y0)) << c.name;
            } else {
                EXPECT_EQ(out, "") << c.name;
            }
        });
}

// y := alpha*A^H*x + beta*y with A row-major 2-by-3, worked by hand.
TEST(CblasMemory, RowMajorConjugateTransposeProduct)
{
    const C16 a[6] = {{1, 1}, {2, 0}, {0, 3}, {0, -1}, {1, 2}, {4, 0}};
    const C16 x[2] = {{1, 0}, {0, 1}}, x0[2] = {x[0], x[1]};
    C16 y[3] = {{1, 1}, {0, 0}, {2, 0}};
    const C16 one = {1, 0};
    cblas_zgemv(CblasRowMajor, CblasConjTrans, 2, 3, &one, a, 3, x, 1, &one, y, 1);
    // y(j) + sum over i of conj(a(i, j)) * x(i).
    const C16 want[3] = {{1 + 1 - 1, 1 - 1 + 0}, {0 + 2 + 2, 0 + 0 + 1}, {2 + 0 + 0, 0 - 3 + 4}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(y[i].real, want[i].real) << i;
        EXPECT_DOUBLE_EQ(y[i].imag, want[i].imag) << i;
    }
    EXPECT_EQ(std::memcmp(x, x0, sizeof x), 0);
}

// A conjugated copy whose byte count passes 32 bits (and, on i386, the
// address space) is reported like any failed request, and nothing is
// written; requests above 64 MiB are refused here, so nothing large is
// ever touched.
TEST(CblasMemory, CopiesBeyondThirtyTwoBits)
{
    zem_test::AllocLimit limit(64 << 20);
    const C16 a[1] = {{1, 1}}, x[1] = {{2, 2}};
    C16 y[1] = {{3, 3}};
    const int big = 1 << 28;
    EXPECT_EQ(captured_stdout([&] { cblas_zgemv(CblasRowMajor, CblasConjTrans, big, 1, &kAlpha, a, 1, x, 1, &kBeta, y, 1); }),
              internal_line(0, "cblas_zgemv"));
    EXPECT_EQ(captured_stdout([&] { cblas_zgerc(CblasRowMajor, 1, big, &kAlpha, x, 1, x, 1, y, big); }),
              internal_line(0, "cblas_zgerc"));
    EXPECT_TRUE(y[0].real == 3 && y[0].imag == 3);
}

} // namespace
