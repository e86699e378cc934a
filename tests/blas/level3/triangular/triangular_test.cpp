// trsm and trmm for s, d, c, z against the long-double reference: every
// side, uplo, op and diag across the borders of the blocking levels and of
// the leaves, pieces of the other dimension, special alpha, degenerate
// sizes.
#include "tests/blas/level3/triangular/tri_case.h"

#include <omp.h>

using namespace tri_test;

namespace {

// One thread: every problem reaches the serial driver whole (the split is
// tested in triangular_threads_test.cpp).
template <class T>
class Triangular : public ::testing::Test {
protected:
    void SetUp() override { omp_set_num_threads(1); }
    void TearDown() override { omp_set_num_threads(2); }
};
typedef ::testing::Types<float, double, ZEM_Complex8, ZEM_Complex16> AllTypes;
TYPED_TEST_SUITE(Triangular, AllTypes);

// Orders around the leaf (16, 32) and level borders (64, 128), all options.
TYPED_TEST(Triangular, AllOptionsAcrossLeafBorders)
{
#if defined(__x86_64__)
    const std::vector<int> orders{1, 3, 15, 16, 17, 31, 32, 33, 63, 64, 65, 127, 128, 129};
#else
    const std::vector<int> orders{1, 3, 16, 17, 32, 33, 65, 129};
#endif
    for (bool solve : {true, false})
        for (int k : orders)
            all_options<TypeParam>(solve, k, 6, cx{0.75, Api<TypeParam>::cplx ? -0.5 : 0}, 100 * k + solve);
}

// Side R with the order in n: the same borders with several rows of B.
TYPED_TEST(Triangular, RightSideOrders)
{
    for (bool solve : {true, false})
        for (int k : {31, 33, 65})
            all_options<TypeParam>(solve, 9, k, cx{1, 0}, 7 * k + solve);
}

// The upper blocking levels (256, 512) and the 1024-wide pieces: fewer
// options, larger orders (the largest on x86_64 only, where they are cheap).
TYPED_TEST(Triangular, LargeOrders)
{
#if defined(__x86_64__)
    const std::vector<int> orders{255, 256, 257, 511, 513, 1025};
#else
    const std::vector<int> orders{255, 257};
#endif
    unsigned seed = 1;
    for (int k : orders)
        for (bool solve : {true, false})
            for (int v = 0; v < 4; ++v) {
                // each side sees op(A) = A and its transpose (both
                // directions of substitution); the stored triangle
                // alternates with the order
                Problem p;
                p.solve = solve;
                p.side = (v + k) % 2 ? 'L' : 'R';
                p.uplo = v & 1 ? 'L' : 'U';
                p.op = v & 2 ? (Api<TypeParam>::cplx ? 'C' : 'T') : 'N';
                p.diag = k % 2 ? 'N' : 'U';
                p.m = p.side == 'L' ? k : 3;
                p.n = p.side == 'L' ? 3 : k;
                p.alpha = {-1, 0};
                p.seed = seed++;
                run_and_check<TypeParam>(p);
            }
}

// The other dimension in several pieces (1024, 2048 at the top of dtrmm;
// 128, 256 and 512 for ztrmm).
TYPED_TEST(Triangular, OtherDimensionInPieces)
{
#if defined(__x86_64__)
    const std::vector<int> others{129, 257, 513, 1025, 2049};
#else
    const std::vector<int> others{129, 257, 1025};
#endif
    unsigned seed = 5;
    for (int w : others)
        for (bool solve : {true, false})
            for (char side : {'L', 'R'})
                for (char uplo : {'U', 'L'}) {
                    Problem p;
                    p.solve = solve;
                    p.side = side;
                    p.uplo = uplo;
                    p.op = uplo == 'U' ? 'N' : 'T';
                    p.m = side == 'L' ? 40 : w;
                    p.n = side == 'L' ? w : 40;
                    p.alpha = {0.5, 0};
                    p.pad = 0;
                    p.seed = seed++;
                    run_and_check<TypeParam>(p);
                }
}

// alpha = 0 stores zeros without reading A (NaN everywhere in it); alpha =
// 1, -1 and a complex value; lower-case option letters.
TYPED_TEST(Triangular, SpecialAlphaAndLetters)
{
    const bool cplx = Api<TypeParam>::cplx;
    for (bool solve : {true, false}) {
        for (int k : {5, 40}) {
            Problem p;
            p.solve = solve;
            p.m = k;
            p.n = 45 - k;
            p.alpha = {0, 0};
            p.nan_in_a = true;
            for (char side : {'L', 'R'}) {
                p.side = side;
                run_and_check<TypeParam>(p);
            }
        }
        all_options<TypeParam>(solve, 20, 19, cx{-1, 0}, 3);
        if (cplx)
            all_options<TypeParam>(solve, 35, 4, cx{0, 1}, 4);
        Problem p;
        p.solve = solve;
        p.side = 'r';
        p.uplo = 'l';
        p.op = cplx ? 'c' : 't';
        p.diag = 'u';
        p.m = 34;
        p.n = 33;
        Run<TypeParam> low(p);
        low.call();
        p.side = 'R';
        p.uplo = 'L';
        p.op = cplx ? 'C' : 'T';
        p.diag = 'U';
        Run<TypeParam> up(p);
        up.call();
        EXPECT_EQ(0, memcmp(low.B.v.data(), up.B.v.data(), up.B.v.size() * sizeof(TypeParam)));
        up.check();
    }
}

// m = 0 or n = 0: B untouched, A not read.
TYPED_TEST(Triangular, EmptyProblems)
{
    for (bool solve : {true, false})
        for (char side : {'L', 'R'})
            for (int mn : {0, 1}) {
                Problem p;
                p.solve = solve;
                p.side = side;
                p.m = mn ? 0 : 7;
                p.n = mn ? 7 : 0;
                p.alpha = {0, 0};
                p.nan_in_a = true;
                Run<TypeParam> r(p);
                r.call();
                EXPECT_EQ(0, memcmp(r.B.v.data(), r.B0.v.data(), r.B.v.size() * sizeof(TypeParam)))
                    << describe(Api<TypeParam>::prefix, p);
            }
}

} // namespace
