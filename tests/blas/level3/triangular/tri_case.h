// One trsm or trmm problem with random operands, run through the library's
// Fortran entry and compared with the long-double reference.
//
// A is well conditioned (diagonal of size 1 to 2, off-diagonals below 1/k
// for order k), its other triangle holds NaN, and so does its diagonal when
// diag is 'U': reading either would show in the result.
#ifndef ZEM_TEST_TRI_CASE_H
#define ZEM_TEST_TRI_CASE_H

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "tests/reference/level3_ref.h"
#include "zem_blas.h"

namespace tri_test {

using zem_ref::cx;
using zem_ref::ld;

typedef void (*Entry)(const char *, const char *, const char *, const char *, const int *, const int *,
                      const void *, const void *, const int *, void *, const int *);

template <class T>
struct Ty;
#define TRI_TYPE(T, x, cplx, epsilon)                                                        \
    template <>                                                                              \
    struct Ty<T> {                                                                           \
        static constexpr bool complex = cplx;                                                \
        static constexpr ld eps = epsilon;                                                   \
        static const char *prefix() { return #x; }                                           \
        static Entry trsm() { return (Entry)x##trsm_; }                                      \
        static Entry trmm() { return (Entry)x##trmm_; }                                      \
    };
TRI_TYPE(float, s, false, 5.9604644775390625e-8L)
TRI_TYPE(double, d, false, 1.1102230246251565e-16L)
TRI_TYPE(ZEM_Complex8, c, true, 5.9604644775390625e-8L)
TRI_TYPE(ZEM_Complex16, z, true, 1.1102230246251565e-16L)
#undef TRI_TYPE

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
    int lda = 1, ldb = 1;
    std::vector<T> A, B, B0;

    explicit Run(const Problem &pr) : p(pr)
    {
        const int k = p.order() > 0 ? p.order() : 0;
        lda = k + p.pad > 0 ? k + p.pad : 1;
        ldb = p.m + p.pad > 0 ? p.m + p.pad : 1;
        std::mt19937 g(p.seed);
        std::uniform_real_distribution<double> u(-1.0, 1.0);
        const ld nan = std::numeric_limits<ld>::quiet_NaN();
        auto rnd = [&](ld scale) {
            const ld re = u(g), im = Ty<T>::complex ? u(g) : 0;
            return cx{re * scale, im * scale};
        };
        A.resize((size_t)lda * (k > 0 ? k : 1));
        for (int j = 0; j < k; ++j)
            for (int i = 0; i < lda; ++i) {
                cx v = rnd(1.0L / k);
                const bool in = p.uplo == 'U' ? i <= j : i >= j;
                if (i == j) {
                    const cx d = rnd(1);
                    const ld s = 1 + std::fabs(d.re); // size 1 to 2, random sign and phase
                    v = cx{d.re < 0 ? -s : s, Ty<T>::complex ? d.im : 0};
                }
                if (!in || (i == j && p.diag == 'U') || i >= k || p.nan_in_a)
                    v = cx{nan, nan};
                A[i + (size_t)j * lda] = zem_ref::put<T>(v);
            }
        B.resize((size_t)ldb * (p.n > 0 ? p.n : 1));
        for (auto &x : B)
            x = zem_ref::put<T>(rnd(1));
        B0 = B;
    }

    void call(std::vector<T> &b) const
    {
        const T al = zem_ref::put<T>(p.alpha);
        const char side[2] = {p.side, 0}, uplo[2] = {p.uplo, 0}, op[2] = {p.op, 0}, diag[2] = {p.diag, 0};
        (p.solve ? Ty<T>::trsm() : Ty<T>::trmm())(side, uplo, op, diag, &p.m, &p.n, &al, A.data(), &lda, b.data(),
                                                  &ldb);
    }
    void call() { call(B); }

    // Every element within rounding of the reference (exact zeros for
    // alpha = 0); rows beyond m untouched.
    void check() const
    {
        const std::string what = describe(Ty<T>::prefix(), p);
        const bool zero_alpha = p.alpha.re == 0 && p.alpha.im == 0;
        std::vector<cx> a(A.size()), b(B0.size());
        for (size_t i = 0; i < A.size(); ++i)
            a[i] = zem_ref::get(A[i]);
        for (size_t i = 0; i < B0.size(); ++i)
            b[i] = zem_ref::get(B0[i]);
        if (!zero_alpha) {
            if (p.solve)
                l3_ref::ref_trsm(p.side, p.uplo, p.op, p.diag, p.m, p.n, p.alpha, a.data(), lda, b.data(), ldb);
            else
                l3_ref::ref_trmm(p.side, p.uplo, p.op, p.diag, p.m, p.n, p.alpha, a.data(), lda, b.data(), ldb);
        }
        ld top = 0;
        for (int j = 0; j < p.n; ++j)
            for (int i = 0; i < p.m; ++i) {
                const cx w = b[i + (size_t)j * ldb];
                top = std::fmax(top, std::fabs(w.re) + std::fabs(w.im));
            }
        const ld tol = 8 * Ty<T>::eps * (p.order() + 4) * top;
        int bad = 0;
        for (int j = 0; j < p.n && bad < 5; ++j)
            for (int i = 0; i < ldb && bad < 5; ++i) {
                const size_t at = i + (size_t)j * ldb;
                if (i >= p.m) {
                    if (memcmp(&B[at], &B0[at], sizeof(T)) != 0) {
                        ++bad;
                        ADD_FAILURE() << what << ": row " << i << " beyond m changed in column " << j;
                    }
                    continue;
                }
                const cx got = zem_ref::get(B[at]), want = zero_alpha ? cx{0, 0} : b[at];
                const ld err = std::fabs(got.re - want.re) + std::fabs(got.im - want.im);
                const bool ok = zero_alpha ? got.re == 0 && got.im == 0 : err <= tol;
                if (!ok) {
                    ++bad;
                    ADD_FAILURE() << what << ": B(" << i << "," << j << ") = (" << (double)got.re << ","
                                  << (double)got.im << "), want (" << (double)want.re << "," << (double)want.im
                                  << "), tol " << (double)tol;
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

template <class T>
std::vector<char> ops()
{
    return Ty<T>::complex ? std::vector<char>{'N', 'T', 'C'} : std::vector<char>{'N', 'T'};
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
