// gemm for s, d, c, z against the long-double reference: every depth
// remainder branch, row edges, tile borders, all transposition pairs,
// special alpha and beta, degenerate sizes, and the entry's argument check.
#include "tests/blas/level3/gemm_case.h"

#include <omp.h>

#include "blas/interface/entry.h"
#include "tests/support/alloc_fail.h"
#include "tests/support/zem_test.h"
#include "zem_service.h"

using namespace gemm_test;

namespace {

// One thread, so that every problem reaches the serial driver whole (the
// split is tested in gemm_threads_test.cpp).
template <class T>
class Gemm : public ::testing::Test {
protected:
    void SetUp() override { omp_set_num_threads(1); }
    void TearDown() override { omp_set_num_threads(2); }
};
TYPED_TEST_SUITE(Gemm, ElementTypes);

// Depth remainders: none, padded (58-63), 48, 32, 16 and edge-only, for
// every type's blocking (64 and 32 deep), with rows that leave row edges.
TYPED_TEST(Gemm, DepthRemainderBranches)
{
    for (int k : {0, 1, 3, 15, 16, 23, 24, 31, 32, 47, 48, 57, 58, 63, 64, 65, 111, 112, 127, 128})
        for (const char *t : {"NN", "TT", "NT", "CC", "CN"}) {
            if (!Api<TypeParam>::cplx && (t[0] == 'C' || t[1] == 'C'))
                continue;
            // 32 + 8 + 4 + 1 and 16 + 16 + 8 + 4 + 1
            Problem p(45, 7, k, t[0], t[1]);
            p.alpha = {0.75, Api<TypeParam>::cplx ? -0.5 : 0};
            p.beta = {0.5, 0};
            p.seed = k + 100 * t[0] + t[1];
            run_and_check<TypeParam>(p);
        }
}

TYPED_TEST(Gemm, RowEdgesAndTileBorders)
{
    std::vector<int> ms;
    for (int m = 1; m <= 17; ++m)
        ms.push_back(m);
    for (int m : {31, 33, 127, 128, 129})
        ms.push_back(m);
    for (int m : ms)
        for (const char *t : {"NN", "TN"}) {
            Problem p(m, 5, 70, t[0], t[1]);
            p.beta = {-1, 0};
            p.seed = m;
            run_and_check<TypeParam>(p);
        }
}

TYPED_TEST(Gemm, ColumnsAcrossTiles)
{
    for (int n : {1, 4, 63, 64, 65, 127, 128, 129, 191, 192, 193, 255, 256, 257})
        for (const char *t : {"NN", "NT"}) {
            if (t[1] == 'T' && n != 1 && n != 128 && n != 257)
                continue;
            Problem p(20, n, 66, t[0], t[1]);
            p.beta = {1, 0};
            p.seed = n;
            run_and_check<TypeParam>(p);
        }
}

// A row block of more than one tile (256 rows for single, 512 for single
// complex) with depth blocks and remainders.
TYPED_TEST(Gemm, RowsAcrossTiles)
{
    Problem p(530, 9, 100);
    p.beta = {0.25, 0};
    run_and_check<TypeParam>(p);
}

TYPED_TEST(Gemm, AllTranspositionPairs)
{
    for (char ta : ops<TypeParam>())
        for (char tb : ops<TypeParam>())
            for (bool lower : {false, true}) {
                Problem p(45, 33, 77, lower ? (char)tolower(ta) : ta, lower ? (char)tolower(tb) : tb);
                p.pad = 5;
                p.alpha = {1.25, Api<TypeParam>::cplx ? 0.5 : 0};
                p.beta = {-0.5, Api<TypeParam>::cplx ? 0.25 : 0};
                p.seed = 31 * ta + tb;
                run_and_check<TypeParam>(p);
            }
    // real types treat any letter other than N as a transpose
    if (!Api<TypeParam>::cplx) {
        Problem p(20, 19, 70, 'C', 'c');
        run_and_check<TypeParam>(p);
    }
}

TYPED_TEST(Gemm, AlphaAndBetaValues)
{
    const bool cplx = Api<TypeParam>::cplx;
    for (cx alpha : {cx{0, 0}, cx{1, 0}, cx{-1, 0}, cx{0.3, cplx ? -1.1 : 0}})
        for (cx beta : {cx{0, 0}, cx{1, 0}, cx{-1, 0}, cx{1.7, cplx ? 0.4 : 0}})
            for (int k : {5, 64, 90}) {
                Problem p(37, 21, k);
                p.alpha = alpha;
                p.beta = beta;
                p.seed = k;
                run_and_check<TypeParam>(p);
            }
}

// beta = 0 overwrites C without reading it: NaN in C does not survive.
TYPED_TEST(Gemm, BetaZeroIgnoresNaNInC)
{
    for (int k : {0, 5, 64, 70})
        for (int m : {3, 40}) {
            Problem p(m, 6, k);
            p.nan_c = true;
            p.beta = {0, 0};
            p.alpha = {k == 5 ? 0 : 2.0, 0};
            run_and_check<TypeParam>(p);
        }
}

// alpha = 0 is multiplied through: an infinity in A reaches C as NaN.
TYPED_TEST(Gemm, AlphaZeroStillSeesInfinity)
{
    for (int m : {3, 40}) {
        Problem p(m, 5, 70);
        p.alpha = {0, 0};
        p.beta = {1, 0};
        Run<TypeParam> r(p);
        r.A.v[1] = put<TypeParam>(cx{std::numeric_limits<ld>::infinity(), 0});
        r.call();
        const cx c10 = get(r.C.v[1]);
        EXPECT_TRUE(std::isnan((double)c10.re)) << Api<TypeParam>::prefix << " m=" << m;
        const cx c00 = get(r.C.v[0]), w00 = get(r.C0.v[0]);
        EXPECT_EQ((double)c00.re, (double)w00.re);
    }
}

// k = 0 leaves beta*C; m = 0 or n = 0 leaves C alone whatever beta is.
TYPED_TEST(Gemm, DegenerateSizes)
{
    for (cx beta : {cx{0, 0}, cx{2, 0}}) {
        Problem p(35, 20, 0);
        p.beta = beta;
        run_and_check<TypeParam>(p);
    }
    for (int m : {0, 7})
        for (int n : {0, 7}) {
            if (m && n)
                continue;
            Problem p(m, n, 9);
            p.beta = {0, 0};
            p.pad = 4;
            Run<TypeParam> r(p);
            r.call();
            EXPECT_EQ(0, memcmp(r.C.v.data(), r.C0.v.data(), r.C.v.size() * sizeof(TypeParam)));
        }
}

// Whichever of its work-memory requests fails (one per serial driver, so
// per thread), the product is still computed (unblocked) and the memory
// given back.
TYPED_TEST(Gemm, WithoutWorkMemory)
{
    for (int k : {70, 130}) {
        Problem p(45, 20, k, 'T', 'N');
        p.beta = {0.5, 0};
        zem_test::for_each_failing_allocation([&] { run_and_check<TypeParam>(p); });
    }
}

// Single complex: any dimension below 4 runs unblocked; 4 x 4 x 4 takes the
// workspace path with everything done on the work tile.
TEST(GemmSingleComplex, SmallAndWorkspacePaths)
{
    for (int m : {3, 4, 5})
        for (int n : {3, 4})
            for (int k : {3, 4, 17})
                for (cx beta : {cx{0, 0}, cx{1, 0}, cx{0.5, -2}}) {
                    Problem p(m, n, k, 'T', 'C');
                    p.alpha = {0.5, 0.5};
                    p.beta = beta;
                    run_and_check<ZEM_Complex8>(p);
                }
}

// The checked entry rejects a bad argument with one line and no change.
TEST(GemmEntry, BadArgumentReportedAndCUntouched)
{
    double a[4] = {1, 2, 3, 4}, c[4] = {5, 6, 7, 8};
    const double al = 1, be = 0;
    const int two = 2, one = 1, minus = -1;
    std::string out = zem_test::captured_stdout([&] { DGEMM("X", "N", &two, &two, &two, &al, a, &two, a, &two, &be, c, &two); });
    EXPECT_EQ(zem_test::param_line(1, "DGEMM "), out);
    out = zem_test::captured_stdout([&] { sgemm_("N", "N", &minus, &two, &two, nullptr, nullptr, &one, nullptr, &one, nullptr, nullptr, &one); });
    EXPECT_EQ(zem_test::param_line(3, "SGEMM "), out);
    out = zem_test::captured_stdout([&] { zgemm("N", "T", &two, &two, &two, nullptr, nullptr, &two, nullptr, &one, nullptr, nullptr, &two); });
    EXPECT_EQ(zem_test::param_line(10, "ZGEMM "), out);
    out = zem_test::captured_stdout([&] { CGEMM("n", "c", &two, &two, &two, nullptr, nullptr, &two, nullptr, &two, nullptr, nullptr, &one); });
    EXPECT_EQ(zem_test::param_line(13, "CGEMM "), out);
    EXPECT_EQ(5, c[0]);
    EXPECT_EQ(8, c[3]);
    // the unchecked form computes a valid call
    _ZEM_BLAS_F77_DGEMM("N", "N", &two, &two, &two, &al, a, &two, a, &two, &be, c, &two);
    EXPECT_EQ(7, c[0]);
    EXPECT_EQ(22, c[3]);
}

} // namespace
