// Shared pieces of the norm, rotation and sparse level-1 tests: per-type
// traits and calls, and strided vectors in buffers with gaps.
#ifndef ZEM_TEST_RS_TEST_H
#define ZEM_TEST_RS_TEST_H

#include <gtest/gtest.h>
#include <cfloat>
#include <cstddef>
#include <random>
#include <vector>
#include "blas/interface/entry.h"
#include "tests/reference/rot_sparse_ref.h"

extern "C" void _ZEM_BLAS_srotin(const int *n, float *x, const int *incx, float *y, const int *incy,
                                 const float *c, const float *s);

namespace rs_test {

typedef long double ld;

template <typename T> struct Ty;
template <> struct Ty<float> {
    typedef float R;
    static constexpr int comps = 1;
};
template <> struct Ty<double> {
    typedef double R;
    static constexpr int comps = 1;
};
template <> struct Ty<ZEM_Complex8> {
    typedef float R;
    static constexpr int comps = 2;
};
template <> struct Ty<ZEM_Complex16> {
    typedef double R;
    static constexpr int comps = 2;
};
template <typename T> using RealOf = typename Ty<T>::R;
template <typename T> constexpr ld eps() { return sizeof(RealOf<T>) == 4 ? FLT_EPSILON : DBL_EPSILON; }

inline const std::vector<int> &increments()
{
    static const std::vector<int> v = {1, -1, 2, -3, 0};
    return v;
}

// n elements with increment inc, `shift` elements past the start of the
// allocation, random components in [-1, 1] everywhere, gaps included.
template <typename T> struct Vec {
    std::vector<T> store;
    T *base;
    int n, inc;
    std::vector<std::ptrdiff_t> off;
    std::size_t span;

    Vec(int n_, int inc_, int shift, std::mt19937 &g) : n(n_), inc(inc_), off(rs_ref::offsets(n_, inc_))
    {
        span = n > 0 ? std::size_t(n - 1) * (inc < 0 ? -inc : inc) + 1 : 0;
        store.resize(span + shift + 2);
        base = store.data() + shift;
        std::uniform_real_distribution<double> u(-1.0, 1.0);
        RealOf<T> *all = reinterpret_cast<RealOf<T> *>(store.data());
        for (std::size_t k = 0; k < store.size() * Ty<T>::comps; ++k)
            all[k] = RealOf<T>(u(g));
    }
    RealOf<T> *comp() const { return reinterpret_cast<RealOf<T> *>(base); }
    std::size_t ncomp() const { return (store.size() - (base - store.data())) * Ty<T>::comps; }
    std::vector<ld> as_ld() const
    {
        std::vector<ld> v(ncomp());
        for (std::size_t k = 0; k < v.size(); ++k)
            v[k] = comp()[k];
        return v;
    }
    // Components inside the vector within tol of ref; all others unchanged.
    void expect_near(const std::vector<ld> &ref, ld tol) const
    {
        std::vector<bool> touched(ncomp(), false);
        for (std::ptrdiff_t o : off)
            for (int k = 0; k < Ty<T>::comps; ++k)
                touched[o * Ty<T>::comps + k] = true;
        for (std::size_t k = 0; k < ref.size(); ++k) {
            if (touched[k])
                EXPECT_LE(std::fabs(comp()[k] - ref[k]), tol) << "component " << k;
            else
                EXPECT_EQ(comp()[k], ref[k]) << "untouched component " << k;
        }
    }
};

// Calls through the lower-case Fortran names, one overload per type.
inline float nrm2(int n, const float *x, int inc) { return snrm2_(&n, x, &inc); }
inline double nrm2(int n, const double *x, int inc) { return dnrm2_(&n, x, &inc); }
inline float nrm2(int n, const ZEM_Complex8 *x, int inc) { return scnrm2_(&n, x, &inc); }
inline double nrm2(int n, const ZEM_Complex16 *x, int inc) { return dznrm2_(&n, x, &inc); }

inline void rot(int n, float *x, int ix, float *y, int iy, float c, float s) { srot_(&n, x, &ix, y, &iy, &c, &s); }
inline void rot(int n, double *x, int ix, double *y, int iy, double c, double s)
{
    drot_(&n, x, &ix, y, &iy, &c, &s);
}
inline void rot(int n, ZEM_Complex8 *x, int ix, ZEM_Complex8 *y, int iy, float c, float s)
{
    csrot_(&n, x, &ix, y, &iy, &c, &s);
}
inline void rot(int n, ZEM_Complex16 *x, int ix, ZEM_Complex16 *y, int iy, double c, double s)
{
    zdrot_(&n, x, &ix, y, &iy, &c, &s);
}

} // namespace rs_test

#endif
