// Helpers of the symmetric level-3 tests: the parallel environment and
// one case's operands run with its thread count.
#ifndef ZEM_TEST_SYM_CASE_H
#define ZEM_TEST_SYM_CASE_H

#include <omp.h>

#include <cstdlib>
#include <limits>
#include <vector>

#include "tests/reference/level3_sym_ref.h"
#include "tests/support/alloc_fail.h"
#include "tests/support/element_api.h"
#include "zem_blas.h"
#include "zem_service.h"

namespace sym_test {

using namespace zem_test;
// The multi-threaded cases need OMP_NUM_THREADS in the environment (and
// ZEM_SERIAL unset) before the library's first threading decision, made
// once per process; thread counts are then set per call.
inline int parallel_environment()
{
    unsetenv("ZEM_SERIAL");
    const char *t = getenv("OMP_NUM_THREADS");
    return t && *t ? 0 : setenv("OMP_NUM_THREADS", "2", 1);
}

inline ld nan_ld() { return std::numeric_limits<ld>::quiet_NaN(); }

// One case of a rank update (uplo, trans, n, k) or of symm (side, uplo,
// m, n).
struct Case {
    char side = 'L', uplo = 'U', trans = 'N';
    int m = 1, n = 1, k = 1;
    cx alpha{0.75, 0}, beta{0.5, 0};
    bool nan_ab = false, nan_c = false; // NaN in A and B, in C
    int threads = 1;
    unsigned seed = 1;
};

// A (ar x ac), B (br x bc) and C (cr x cc) of a case, NaN where it asks;
// c0 is C before the call. run() calls with the case's thread count.
template <class E>
struct Operands {
    Mat<E> a, b, c, c0;
    Operands(const Case &p, int ar, int ac, int br, int bc, int cr, int cc)
        : a(ar, ac, p.seed), b(br, bc, p.seed + 5), c(cr, cc, p.seed + 9)
    {
        const cx nan{nan_ld(), nan_ld()};
        if (p.nan_ab) {
            a.fill(nan);
            b.fill(nan);
        }
        if (p.nan_c)
            c.fill(nan);
        c0 = c;
    }
    template <class F>
    void run(const Case &p, F &&call)
    {
        omp_set_num_threads(p.threads);
        call();
        omp_set_num_threads(2);
    }
};

// The typed suites restore two threads after every test.
template <class D>
class ThreadedTest : public ::testing::Test {
protected:
    void TearDown() override { omp_set_num_threads(2); }
};

} // namespace sym_test

#endif
