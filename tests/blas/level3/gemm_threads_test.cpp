// gemm with two OpenMP threads against the serial result, calls from inside
// the caller's own parallel region, and 64-bit element offsets.
#include "tests/blas/level3/gemm_case.h"

#include <omp.h>
#include <stdlib.h>
#include <sys/mman.h>

#include "zem_service.h"

using namespace gemm_test;

namespace {

// Parallel mode needs OMP_NUM_THREADS in the environment (and ZEM_SERIAL
// not YES) before the library's first threading decision, made once per
// process; the thread count itself is set per call below.
int parallel_environment()
{
    unsetenv("ZEM_SERIAL");
    const char *t = getenv("OMP_NUM_THREADS");
    return t && *t ? 0 : setenv("OMP_NUM_THREADS", "2", 1);
}
const int kEnvSet = parallel_environment();

template <class T>
class GemmThreads : public ::testing::Test {};
TYPED_TEST_SUITE(GemmThreads, ElementTypes);

template <class T>
void with_threads(int t, Run<T> &r, Mat<T> &c)
{
    omp_set_num_threads(t);
    r.call(c);
    omp_set_num_threads(2);
}

// Slabs whose borders coincide with the drivers' tiles and row groups give
// the serial result bit for bit: column slabs always, row slabs of 128.
TYPED_TEST(GemmThreads, TwoThreadsEqualSerial)
{
    ASSERT_EQ(0, kEnvSet);
    ASSERT_EQ(0, _ZEM_SERV_in_serial());
    struct Shape {
        int m, n, k;
        char ta, tb;
        bool bit_equal;
    };
    for (Shape s : {Shape{40, 300, 70, 'N', 'N', true}, Shape{256, 20, 70, 'T', 'N', true},
                    Shape{17, 1, 1, 'N', 'T', true}, Shape{3, 2, 100, 'N', 'N', true},
                    Shape{301, 20, 40, 'N', 'T', false}, Shape{20, 20, 20, 'T', 'T', true}}) {
        Problem p(s.m, s.n, s.k, s.ta, s.tb);
        p.alpha = {0.5, Api<TypeParam>::cplx ? 0.25 : 0};
        p.beta = {1.5, 0};
        Run<TypeParam> r(p);
        Mat<TypeParam> serial = r.C;
        with_threads(1, r, serial);
        with_threads(2, r, r.C);
        r.check();
        if (s.bit_equal) {
            EXPECT_EQ(0, memcmp(serial.v.data(), r.C.v.data(), serial.v.size() * sizeof(TypeParam)))
                << describe<TypeParam>(p);
        }
    }
}

// More threads than the machine has: floor chunks with a longer last slab
// (17 rows on 4 threads: 4, 4, 4, 5) and empty slabs (3 rows on 8 threads:
// chunk 0, the last index takes all).
TYPED_TEST(GemmThreads, ManyThreadsSmallSlabs)
{
    struct Shape {
        int m, n, k;
        bool bit_equal; // slabs small enough for the unblocked routines only
    };
    for (Shape s : {Shape{17, 1, 1, true}, Shape{3, 2, 100, true}, Shape{1, 40, 3, true}, Shape{33, 5, 70, false}})
        for (int t : {3, 4, 8}) {
            Problem p(s.m, s.n, s.k);
            p.beta = {-2, 0};
            Run<TypeParam> r(p);
            Mat<TypeParam> serial = r.C;
            with_threads(1, r, serial);
            with_threads(t, r, r.C);
            r.check();
            if (s.bit_equal) {
                EXPECT_EQ(0, memcmp(serial.v.data(), r.C.v.data(), serial.v.size() * sizeof(TypeParam)))
                    << describe<TypeParam>(p) << " threads " << t;
            }
        }
}

// Inside the caller's parallel region the routine runs serially on each
// caller thread and gives the serial result.
TYPED_TEST(GemmThreads, InsideCallersParallelRegion)
{
    Problem p(70, 50, 80);
    Run<TypeParam> r(p);
    Mat<TypeParam> serial = r.C;
    with_threads(1, r, serial);
    std::vector<Mat<TypeParam>> outs(2, r.C);
#pragma omp parallel num_threads(2)
    {
        const int t = omp_get_thread_num();
        if (t < 2)
            r.call(outs[t]);
    }
    for (auto &o : outs)
        EXPECT_EQ(0, memcmp(serial.v.data(), o.v.data(), serial.v.size() * sizeof(TypeParam)));
}

#if defined(__x86_64__)
// A leading dimension times the column count beyond 2^31 elements: the
// matrices are reserved with MAP_NORESERVE, so only touched pages count.
template <class T>
T *reserve(size_t elems, size_t &bytes)
{
    bytes = elems * sizeof(T);
    void *p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    return p == MAP_FAILED ? nullptr : (T *)p;
}

TYPED_TEST(GemmThreads, OffsetsBeyond32Bits)
{
    typedef TypeParam T;
    const int m = 40, n = 65, k = 65;
    const int ld = (1 << 25) + 64; // 64 columns apart: more than 2^31 elements
    const size_t elems = (size_t)ld * 65;
    size_t ba, bb, bc;
    T *A = reserve<T>(elems, ba), *B = reserve<T>(elems, bb), *C = reserve<T>(elems, bc);
    if (!A || !B || !C) {
        if (A) munmap(A, ba);
        if (B) munmap(B, bb);
        if (C) munmap(C, bc);
        GTEST_SKIP() << "cannot reserve the address space";
    }
    // compact copies: A m x k ('N'), B stored n x k ('T'), C m x n
    Mat<T> a(m, k, 5, 0), b(n, k, 6, 0), c(m, n, 7, 0);
    for (size_t j = 0; j < (size_t)k; ++j)
        for (size_t i = 0; i < (size_t)m; ++i)
            A[i + j * ld] = a.v[i + j * m];
    for (size_t j = 0; j < (size_t)k; ++j)
        for (size_t i = 0; i < (size_t)n; ++i)
            B[i + j * ld] = b.v[i + j * n];
    for (size_t j = 0; j < (size_t)n; ++j)
        for (size_t i = 0; i < (size_t)m; ++i)
            C[i + j * ld] = c.v[i + j * m];
    const T al = put<T>(cx{1, 0}), be = put<T>(cx{-1, 0});
    Api<T>::gemm("N", "T", &m, &n, &k, &al, A, &ld, B, &ld, &be, C, &ld);
    Api<T>::gemm("N", "T", &m, &n, &k, &al, a.v.data(), &a.ld, b.v.data(), &b.ld, &be, c.v.data(), &c.ld);
    bool same = true;
    for (size_t j = 0; j < (size_t)n; ++j)
        for (size_t i = 0; i < (size_t)m; ++i)
            same = same && memcmp(&C[i + j * ld], &c.v[i + j * m], sizeof(T)) == 0;
    EXPECT_TRUE(same) << Api<T>::prefix;
    EXPECT_EQ(0, memcmp(&C[m + (size_t)64 * ld], &C[m + 1 + (size_t)64 * ld], sizeof(T))); // untouched zeros
    munmap(A, ba);
    munmap(B, bb);
    munmap(C, bc);
}
#endif

} // namespace
