// Helpers of the symmetric level-3 tests: random column-major matrices of
// the four element types with padded leading dimensions, their long-double
// copies, and the element-by-element comparison with a reference.
#ifndef ZEM_TEST_SYM_CASE_H
#define ZEM_TEST_SYM_CASE_H

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "tests/reference/level3_sym_ref.h"
#include "tests/support/alloc_fail.h"
#include "zem_blas.h"
#include "zem_service.h"

namespace sym_test {

using zem_ref::cx;
using zem_ref::ld;

template <class T>
constexpr bool is_complex = std::is_same<T, ZEM_Complex8>::value || std::is_same<T, ZEM_Complex16>::value;
template <class T>
constexpr ld eps_of = std::is_same<T, float>::value || std::is_same<T, ZEM_Complex8>::value
                          ? 5.9604644775390625e-8L
                          : 1.1102230246251565e-16L;

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

// rows x cols with leading dimension rows + pad; entries in [-1, 1].
template <class T>
struct Mat {
    int rows = 0, cols = 0, ld = 1;
    std::vector<T> v;
    Mat() = default;
    Mat(int r, int c, unsigned seed, int pad = 3) : rows(r), cols(c), ld(r + pad > 0 ? r + pad : 1)
    {
        v.resize((size_t)ld * (c > 0 ? c : 1));
        std::mt19937 g(seed);
        std::uniform_real_distribution<double> u(-1.0, 1.0);
        for (auto &x : v) {
            const zem_ref::ld re = u(g), im = u(g);
            x = zem_ref::put<T>(cx{re, is_complex<T> ? im : 0});
        }
    }
    void fill(cx value)
    {
        for (auto &x : v)
            x = zem_ref::put<T>(value);
    }
    std::vector<cx> wide() const
    {
        std::vector<cx> w(v.size());
        for (size_t i = 0; i < v.size(); ++i)
            w[i] = zem_ref::get(v[i]);
        return w;
    }
    bool same_bits(const Mat &o, size_t at) const { return memcmp(&v[at], &o.v[at], sizeof(T)) == 0; }
};

// got against want for the elements where inside(i, j) holds (within
// tol_scale times the element's magnitude); every other element, padding
// rows included, bit for bit as before. At most five failures reported.
template <class T, class Inside>
void compare(const std::string &what, const Mat<T> &got, const Mat<T> &before, const std::vector<cx> &want,
             const std::vector<ld> &mag, ld tol_scale, Inside inside)
{
    int bad = 0;
    for (int j = 0; j < got.cols && bad < 5; ++j)
        for (int i = 0; i < got.ld && bad < 5; ++i) {
            const size_t at = (size_t)i + (size_t)j * got.ld;
            if (i >= got.rows || !inside(i, j)) {
                if (!got.same_bits(before, at)) {
                    ++bad;
                    ADD_FAILURE() << what << ": element (" << i << "," << j << ") outside the result changed";
                }
                continue;
            }
            const cx g = zem_ref::get(got.v[at]), w = want[at];
            const ld err = std::fabs(g.re - w.re) + std::fabs(g.im - w.im);
            const ld tol = tol_scale * mag[at] + 1e-30L;
            if (!(err <= tol)) {
                ++bad;
                ADD_FAILURE() << what << ": (" << i << "," << j << ") = (" << (double)g.re << "," << (double)g.im
                              << "), want (" << (double)w.re << "," << (double)w.im << "), err " << (double)err
                              << " tol " << (double)tol;
            }
        }
}

} // namespace sym_test

#endif
