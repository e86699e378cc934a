// One trsm or trmm problem with random operands, run through the library's
// Fortran entry and compared with the long-double reference.
//
// A is well conditioned (diagonal of size 1 to 2, off-diagonals below 1/k
// for order k), its other triangle holds NaN, and so does its diagonal when
// diag is 'U': reading either would show in the result.
#ifndef ZEM_TEST_TRI_CASE_H
#define ZEM_TEST_TRI_CASE_H

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "tests/reference/level3_ref.h"
#include "tests/support/element_api.h"

namespace tri_test {

using namespace zem_test;

typedef void (*Entry)(const char *, const char *, const char *, const char *, const int *, const int *,
                      const void *, const void *, const int *, void *, const int *);

struct Problem {
    bool solve = true; // trsm, else trmm
    char side = 'L', uplo = 'U', op = 'N', diag = 'N';
    int m = 1, n = 1;
    cx alpha{1, 0};
    int pad = 2;          // extra rows of both leading dimensions
    bool nan_in_a = false; // NaN everywhere in A (for alpha = 0)
    unsigned seed = 1;
    int order() const { return side == 'L' ? m : n; }
};

inline std::string describe(const char *prefix, const Problem &p)
{
    char buf[200];
    snprintf(buf, sizeof buf, "%s%s side=%c uplo=%c op=%c diag=%c m=%d n=%d alpha=(%g,%g)", prefix,
             p.solve ? "trsm" : "trmm", p.side, p.uplo, p.op, p.diag, p.m, p.n, (double)p.alpha.re,
             (double)p.alpha.im);
    return buf;
}

template <class T>
struct Run {
    Problem p;
    Mat<T> A, B, B0;

    explicit Run(const Problem &pr) : p(pr)
    {
        const int k = p.order() > 0 ? p.order() : 0;
        A = Mat<T>(k, k > 0 ? k : 1, p.seed, p.pad);
        B = Mat<T>(p.m, p.n, p.seed + 1, p.pad);
        B0 = B;
        const ld nan = std::numeric_limits<ld>::quiet_NaN();
        for (int j = 0; j < k; ++j)
            for (int i = 0; i < A.ld; ++i) {
                T &a = A.v[i + (size_t)j * A.ld];
                cx v = get(a);
                v = cx{v.re / k, v.im / k};
                const bool in = p.uplo == 'U' ? i <= j : i >= j;
                if (i == j) {
                    const ld s = 1 + std::fabs(v.re * k); // size 1 to 2, random sign and phase
                    v = cx{v.re < 0 ? -s : s, v.im * k};
                }
                if (!in || (i == j && p.diag == 'U') || i >= k || p.nan_in_a)
                    v = cx{nan, nan};
                a = put<T>(v);
            }
    }

    void call(std::vector<T> &b) const
    {
        const T al = put<T>(p.alpha);
        const char side[2] = {p.side, 0}, uplo[2] = {p.uplo, 0}, op[2] = {p.op, 0}, diag[2] = {p.diag, 0};
        ((Entry)(p.solve ? Api<T>::trsm : Api<T>::trmm))(side, uplo, op, diag, &p.m, &p.n, &al, A.v.data(), &A.ld,
                                                          b.data(), &B.ld);
    }
    void call() { call(B.v); }

    // Every element within rounding of the reference, relative to the
    // largest (exact zeros for alpha = 0); rows beyond m untouched.
    void check() const
    {
        const bool zero_alpha = p.alpha.re == 0 && p.alpha.im == 0;
        std::vector<cx> a = A.wide(), b = B0.wide();
        if (!zero_alpha) {
            if (p.solve)
                l3_ref::ref_trsm(p.side, p.uplo, p.op, p.diag, p.m, p.n, p.alpha, a.data(), A.ld, b.data(), B.ld);
            else
                l3_ref::ref_trmm(p.side, p.uplo, p.op, p.diag, p.m, p.n, p.alpha, a.data(), A.ld, b.data(), B.ld);
        }
        ld top = 0;
        for (int j = 0; j < p.n; ++j)
            for (int i = 0; i < p.m; ++i) {
                cx &w = b[i + (size_t)j * B.ld];
                w = zero_alpha ? cx{0, 0} : w;
                top = std::fmax(top, std::fabs(w.re) + std::fabs(w.im));
            }
        compare(describe(Api<T>::prefix, p), B, B0, b, std::vector<ld>(b.size(), top), 4 * tol<T>(p.order()),
                [](int, int) { return true; });
    }
};

template <class T>
void run_and_check(const Problem &p)
{
    Run<T> r(p);
    r.call();
    r.check();
}

// Every side, uplo, op and diag of one routine at sizes m x n.
template <class T>
void all_options(bool solve, int m, int n, cx alpha, unsigned seed)
{
    for (char side : {'L', 'R'})
        for (char uplo : {'U', 'L'})
            for (char op : ops<T>())
                for (char diag : {'N', 'U'}) {
                    Problem p;
                    p.solve = solve;
                    p.side = side;
                    p.uplo = uplo;
                    p.op = op;
                    p.diag = diag;
                    p.m = m;
                    p.n = n;
                    p.alpha = alpha;
                    p.seed = seed++;
                    run_and_check<T>(p);
                }
}

} // namespace tri_test

#endif
