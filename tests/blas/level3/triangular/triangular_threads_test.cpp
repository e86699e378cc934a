// trsm and trmm on two and three OpenMP threads against one thread: slabs
// of columns of B (side L) and of rows (side R), chunks that leave short or
// empty slabs, calls from inside the caller's own parallel region.
#include "tests/blas/level3/triangular/tri_case.h"

#include <omp.h>
#include <stdlib.h>

#include "zem_service.h"

using namespace tri_test;

namespace {

// Parallel mode needs OMP_NUM_THREADS in the environment (and ZEM_SERIAL
// not YES) before the library's first threading decision.
int parallel_environment()
{
    unsetenv("ZEM_SERIAL");
    const char *t = getenv("OMP_NUM_THREADS");
    return t && *t ? 0 : setenv("OMP_NUM_THREADS", "2", 1);
}
const int kEnvSet = parallel_environment();

template <class T>
class TriangularThreads : public ::testing::Test {};
typedef ::testing::Types<float, double, ZEM_Complex8, ZEM_Complex16> AllTypes;
TYPED_TEST_SUITE(TriangularThreads, AllTypes);

template <class T>
void with_threads(int t, const Run<T> &r, std::vector<T> &b)
{
    omp_set_num_threads(t);
    r.call(b);
    omp_set_num_threads(2);
}

// Each column (side L) of B goes through the same blocking whatever slab
// it is in, so the result equals one thread's bit for bit; row slabs
// (side R) change the gemm row groups and are compared with the reference.
TYPED_TEST(TriangularThreads, SlabsAgreeWithOneThread)
{
    ASSERT_EQ(0, kEnvSet);
    ASSERT_EQ(0, _ZEM_SERV_in_serial());
    struct Shape {
        int m, n;
    };
    unsigned seed = 11;
    for (Shape s : {Shape{70, 45}, Shape{17, 17}, Shape{33, 18}, Shape{130, 20}, Shape{20, 130}})
        for (bool solve : {true, false})
            for (char side : {'L', 'R'})
                for (char uplo : {'U', 'L'})
                    for (int threads : {2, 3}) {
                        Problem p;
                        p.solve = solve;
                        p.side = side;
                        p.uplo = uplo;
                        p.op = uplo == 'U' ? 'N' : Api<TypeParam>::cplx ? 'C' : 'T';
                        p.m = s.m;
                        p.n = s.n;
                        p.alpha = {0.5, Api<TypeParam>::cplx ? 0.25 : 0};
                        p.seed = seed++;
                        Run<TypeParam> r(p);
                        std::vector<TypeParam> serial = r.B.v;
                        with_threads(1, r, serial);
                        with_threads(threads, r, r.B.v);
                        r.check();
                        if (side == 'L') {
                            EXPECT_EQ(0, memcmp(serial.data(), r.B.v.data(), serial.size() * sizeof(TypeParam)))
                                << describe(Api<TypeParam>::prefix, p) << " threads " << threads;
                        }
                    }
}

// alpha = 0 on threads: zeros, A (all NaN) not read.
TYPED_TEST(TriangularThreads, ZeroAlpha)
{
    for (bool solve : {true, false})
        for (char side : {'L', 'R'}) {
            Problem p;
            p.solve = solve;
            p.side = side;
            p.m = 40;
            p.n = 50;
            p.alpha = {0, 0};
            p.nan_in_a = true;
            Run<TypeParam> r(p);
            with_threads(3, r, r.B.v);
            r.check();
        }
}

// Inside the caller's parallel region the routine runs serially on each
// caller thread and gives the serial result.
TYPED_TEST(TriangularThreads, InsideCallersParallelRegion)
{
    for (bool solve : {true, false}) {
        Problem p;
        p.solve = solve;
        p.side = 'R';
        p.m = 60;
        p.n = 50;
        Run<TypeParam> r(p);
        std::vector<TypeParam> serial = r.B.v;
        with_threads(1, r, serial);
        std::vector<std::vector<TypeParam>> outs(2, r.B.v);
#pragma omp parallel num_threads(2)
        {
            const int t = omp_get_thread_num();
            if (t < 2)
                r.call(outs[t]);
        }
        for (auto &o : outs)
            EXPECT_EQ(0, memcmp(serial.data(), o.data(), serial.size() * sizeof(TypeParam)));
    }
}

} // namespace
