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

#include "zem_blas.h"
#include "tests/reference/gemm_ref.h"

namespace gemm_test {

using gemm_ref::cx;
using gemm_ref::ld;

template <class T>
struct Ty;

template <>
struct Ty<float> {
    static constexpr bool complex = false;
    static constexpr ld eps = 5.9604644775390625e-8L;
    static const char *name() { return "sgemm"; }
    static cx to(float x) { return cx{x, 0}; }
    static float from(cx x) { return (float)x.re; }
    static void gemm(const char *ta, const char *tb, const int *m, const int *n, const int *k, const float *al,
                     const float *a, const int *lda, const float *b, const int *ldb, const float *be, float *c,
                     const int *ldc)
    {
        sgemm_(ta, tb, m, n, k, al, a, lda, b, ldb, be, c, ldc);
    }
};
template <>
struct Ty<double> {
    static constexpr bool complex = false;
    static constexpr ld eps = 1.1102230246251565e-16L;
    static const char *name() { return "dgemm"; }
    static cx to(double x) { return cx{x, 0}; }
    static double from(cx x) { return (double)x.re; }
    static void gemm(const char *ta, const char *tb, const int *m, const int *n, const int *k, const double *al,
                     const double *a, const int *lda, const double *b, const int *ldb, const double *be, double *c,
                     const int *ldc)
    {
        dgemm_(ta, tb, m, n, k, al, a, lda, b, ldb, be, c, ldc);
    }
};
template <>
struct Ty<ZEM_Complex8> {
    static constexpr bool complex = true;
    static constexpr ld eps = 5.9604644775390625e-8L;
    static const char *name() { return "cgemm"; }
    static cx to(ZEM_Complex8 x) { return cx{x.real, x.imag}; }
    static ZEM_Complex8 from(cx x) { return ZEM_Complex8{(float)x.re, (float)x.im}; }
    static void gemm(const char *ta, const char *tb, const int *m, const int *n, const int *k, const ZEM_Complex8 *al,
                     const ZEM_Complex8 *a, const int *lda, const ZEM_Complex8 *b, const int *ldb,
                     const ZEM_Complex8 *be, ZEM_Complex8 *c, const int *ldc)
    {
        cgemm_(ta, tb, m, n, k, al, a, lda, b, ldb, be, c, ldc);
    }
};
template <>
struct Ty<ZEM_Complex16> {
    static constexpr bool complex = true;
    static constexpr ld eps = 1.1102230246251565e-16L;
    static const char *name() { return "zgemm"; }
    static cx to(ZEM_Complex16 x) { return cx{x.real, x.imag}; }
    static ZEM_Complex16 from(cx x) { return ZEM_Complex16{(double)x.re, (double)x.im}; }
    static void gemm(const char *ta, const char *tb, const int *m, const int *n, const int *k,
                     const ZEM_Complex16 *al, const ZEM_Complex16 *a, const int *lda, const ZEM_Complex16 *b,
                     const int *ldb, const ZEM_Complex16 *be, ZEM_Complex16 *c, const int *ldc)
    {
        zgemm_(ta, tb, m, n, k, al, a, lda, b, ldb, be, c, ldc);
    }
};

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
            x = Ty<T>::from(cx{(long double)u(g), Ty<T>::complex ? (long double)u(g) : 0.0L});
    }
    std::vector<cx> wide() const
    {
        std::vector<cx> w(v.size());
        for (size_t i = 0; i < v.size(); ++i)
            w[i] = Ty<T>::to(v[i]);
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
};

inline std::string describe(const char *name, const Problem &p)
{
    char buf[200];
    snprintf(buf, sizeof buf, "%s ta=%c tb=%c m=%d n=%d k=%d alpha=(%g,%g) beta=(%g,%g)", name, p.ta, p.tb, p.m, p.n,
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
                x = Ty<T>::from(cx{std::numeric_limits<ld>::quiet_NaN(), std::numeric_limits<ld>::quiet_NaN()});
        C0 = C;
    }
    void call(Mat<T> &c) const
    {
        const T al = Ty<T>::from(p.alpha), be = Ty<T>::from(p.beta);
        Ty<T>::gemm(&p.ta, &p.tb, &p.m, &p.n, &p.k, &al, A.v.data(), &A.ld, B.v.data(), &B.ld, &be, c.v.data(), &c.ld);
    }
    void call() { call(C); }

    // Every element within rounding of the reference; the rows beyond m of
    // every column untouched.
    void check() const
    {
        const std::string what = describe(Ty<T>::name(), p);
        auto a = A.wide(), b = B.wide(), c = C0.wide();
        std::vector<ld> mag((size_t)C.ld * (p.n > 0 ? p.n : 1), 0);
        char ta = (char)toupper(p.ta), tb = (char)toupper(p.tb);
        if (!Ty<T>::complex) {
            ta = ta == 'N' ? 'N' : 'T';
            tb = tb == 'N' ? 'N' : 'T';
        }
        gemm_ref::magnitude(ta, tb, p.m, p.n, p.k, p.alpha, a.data(), A.ld, b.data(), B.ld, p.beta, c.data(), C.ld,
                            mag.data(), C.ld);
        gemm_ref::gemm(ta, tb, p.m, p.n, p.k, p.alpha, a.data(), A.ld, b.data(), B.ld, p.beta, c.data(), C.ld);
        const ld tol_scale = 4 * Ty<T>::eps * (p.k + 4);
        int bad = 0;
        for (int j = 0; j < p.n && bad < 5; ++j) {
            for (int i = 0; i < C.ld && bad < 5; ++i) {
                const size_t at = (size_t)i + (size_t)j * C.ld;
                const cx got = Ty<T>::to(C.v[at]);
                if (i >= p.m) {
                    if (memcmp(&C.v[at], &C0.v[at], sizeof(T)) != 0) {
                        ++bad;
                        ADD_FAILURE() << what << ": row " << i << " beyond m changed in column " << j;
                    }
                    continue;
                }
                const cx want = c[at];
                const ld tol = tol_scale * mag[at] + 1e-30L;
                const ld err = std::fabs(got.re - want.re) + std::fabs(got.im - want.im);
                if (!(err <= tol)) {
                    ++bad;
                    ADD_FAILURE() << what << ": C(" << i << "," << j << ") = (" << (double)got.re << ","
                                  << (double)got.im << "), want (" << (double)want.re << "," << (double)want.im
                                  << "), err " << (double)err << " tol " << (double)tol;
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
    return Ty<T>::complex ? std::vector<char>{'N', 'T', 'C'} : std::vector<char>{'N', 'T'};
}

} // namespace gemm_test

#endif
