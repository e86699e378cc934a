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

// A column-major matrix of rows x cols with leading dimension ld.
template <class T>
struct Mat {
    int rows = 0, cols = 0, ld = 1;
    std::vector<T> v;
    Mat() = default;
    Mat(int r, int c, int pad, unsigned seed) : rows(r), cols(c), ld(r + pad > 0 ? r + pad : 1)
    {
        v.resize((size_t)ld * (c > 0 ? c : 1));
        std::mt19937 g(seed);
        std::uniform_real_distribution<double> u(-1.0, 1.0);
        for (auto &x : v)
            x = put<T>(cx{(long double)u(g), Api<T>::cplx ? (long double)u(g) : 0.0L});
    }
    std::vector<cx> wide() const
    {
        std::vector<cx> w(v.size());
        for (size_t i = 0; i < v.size(); ++i)
            w[i] = get(v[i]);
        return w;
    }
};

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
        A = Mat<T>(an ? p.m : p.k, an ? p.k : p.m, p.pad, p.seed);
        B = Mat<T>(bn ? p.k : p.n, bn ? p.n : p.k, p.pad, p.seed + 7);
        C = Mat<T>(p.m, p.n, p.pad, p.seed + 13);
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
        const ld t = tol<T>(p.k);
        int bad = 0;
        for (int j = 0; j < p.n && bad < 5; ++j) {
            for (int i = 0; i < C.ld && bad < 5; ++i) {
                const size_t at = (size_t)i + (size_t)j * C.ld;
                const cx got = get(C.v[at]);
                if (i >= p.m) {
                    if (memcmp(&C.v[at], &C0.v[at], sizeof(T)) != 0) {
                        ++bad;
                        ADD_FAILURE() << what << ": row " << i << " beyond m changed in column " << j;
                    }
                    continue;
                }
                const testing::AssertionResult near = close(got, c[at], {mag[at], 0}, t);
                if (!near) {
                    ++bad;
                    ADD_FAILURE() << what << ": C(" << i << "," << j << ") " << near.message();
                }
            }
        }
    }
};

template <class T>
void run_and_check(const Problem &p)
{
    Run<T> r(p);
    r.call();
    r.check();
}

// The transposition letters of a type: four pairs for real, nine for complex.
template <class T>
std::vector<char> letters()
{
    return Api<T>::cplx ? std::vector<char>{'N', 'T', 'C'} : std::vector<char>{'N', 'T'};
}

} // namespace gemm_test

#endif
