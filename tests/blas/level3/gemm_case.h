// One gemm problem with random operands, run through the library's checked
// entry and compared with the long-double reference, for the four types.
#ifndef ZEM_TEST_GEMM_CASE_H
#define ZEM_TEST_GEMM_CASE_H

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "tests/reference/gemm_ref.h"
#include "tests/support/element_api.h"

namespace gemm_test {

using namespace zem_test;

struct Problem {
    char ta = 'N', tb = 'N';
    int m = 1, n = 1, k = 1;
    cx alpha{1, 0}, beta{0, 0};
    int pad = 3;         // extra rows of every leading dimension
    bool nan_c = false;  // C starts as NaN (with beta = 0)
    unsigned seed = 1;
    Problem() = default;
    Problem(int m_, int n_, int k_, char ta_ = 'N', char tb_ = 'N') : ta(ta_), tb(tb_), m(m_), n(n_), k(k_) {}
};

template <class T>
std::string describe(const Problem &p)
{
    char buf[200];
    snprintf(buf, sizeof buf, "%sgemm ta=%c tb=%c m=%d n=%d k=%d alpha=(%g,%g) beta=(%g,%g)", Api<T>::prefix, p.ta, p.tb, p.m, p.n,
             p.k, (double)p.alpha.re, (double)p.alpha.im, (double)p.beta.re, (double)p.beta.im);
    return buf;
}

// Runs the problem; returns C as computed by the library.
template <class T>
struct Run {
    Mat<T> A, B, C, C0;
    Problem p;
    explicit Run(const Problem &pr) : p(pr)
    {
        const bool an = p.ta == 'N' || p.ta == 'n', bn = p.tb == 'N' || p.tb == 'n';
        A = Mat<T>(an ? p.m : p.k, an ? p.k : p.m, p.seed, p.pad);
        B = Mat<T>(bn ? p.k : p.n, bn ? p.n : p.k, p.seed + 7, p.pad);
        C = Mat<T>(p.m, p.n, p.seed + 13, p.pad);
        if (p.nan_c)
            for (auto &x : C.v)
                x = nan_value<T>();
        C0 = C;
    }
    void call(Mat<T> &c) const
    {
        const T al = put<T>(p.alpha), be = put<T>(p.beta);
        Api<T>::gemm(&p.ta, &p.tb, &p.m, &p.n, &p.k, &al, A.v.data(), &A.ld, B.v.data(), &B.ld, &be, c.v.data(), &c.ld);
    }
    void call() { call(C); }

    // Every element within rounding of the reference; the rows beyond m of
    // every column untouched.
    void check() const
    {
        const std::string what = describe<T>(p);
        auto a = A.wide(), b = B.wide(), c = C0.wide();
        std::vector<ld> mag((size_t)C.ld * (p.n > 0 ? p.n : 1), 0);
        char ta = (char)toupper(p.ta), tb = (char)toupper(p.tb);
        if (!Api<T>::cplx) {
            ta = ta == 'N' ? 'N' : 'T';
            tb = tb == 'N' ? 'N' : 'T';
        }
        gemm_ref::magnitude(ta, tb, p.m, p.n, p.k, p.alpha, a.data(), A.ld, b.data(), B.ld, p.beta, c.data(), C.ld,
                            mag.data(), C.ld);
        gemm_ref::gemm(ta, tb, p.m, p.n, p.k, p.alpha, a.data(), A.ld, b.data(), B.ld, p.beta, c.data(), C.ld);
        // the error's two parts each within tol of the bound
        compare(what, C, C0, c, mag, 2 * tol<T>(p.k), [](int, int) { return true; });
    }
};

template <class T>
void run_and_check(const Problem &p)
{
    Run<T> r(p);
    r.call();
    r.check();
}

} // namespace gemm_test

#endif
