// The dense vector routines of the four element types behind one interface
// for typed tests, and test buffers with guard elements around a vector.
#ifndef ZEM_TEST_LEVEL1_API_H
#define ZEM_TEST_LEVEL1_API_H

#include <cfloat>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "tests/reference/level1_ref.h"
#include "zem_blas.h"

namespace l1t {

using l1_ref::cx;
using l1_ref::ld;

using zem_ref::get;
using zem_ref::put;

template <class T>
struct Api;

// The routines shared by all four types, by their Fortran entry names.
#define L1T_API(T, Rt, CPLX, EPS, AXPY, SCAL, RSCAL, COPY, SWAP, ASUM, IMAX, IMIN)        \
    typedef Rt R;                                                                          \
    static constexpr bool cplx = CPLX;                                                     \
    static constexpr ld eps = EPS;                                                         \
    static cx get(const T &v) { return l1t::get(v); }                                      \
    static T put(cx v) { return l1t::put<T>(v); }                                          \
    static void axpy(int n, cx a, const T *x, int ix, T *y, int iy)                        \
    {                                                                                      \
        T al = put(a);                                                                     \
        AXPY(&n, &al, x, &ix, y, &iy);                                                     \
    }                                                                                      \
    static void scal(int n, cx a, T *x, int ix)                                            \
    {                                                                                      \
        T al = put(a);                                                                     \
        SCAL(&n, &al, x, &ix);                                                             \
    }                                                                                      \
    static void rscal(int n, Rt a, T *x, int ix) { RSCAL(&n, &a, x, &ix); }                \
    static void copy(int n, const T *x, int ix, T *y, int iy) { COPY(&n, x, &ix, y, &iy); } \
    static void swap(int n, T *x, int ix, T *y, int iy) { SWAP(&n, x, &ix, y, &iy); }       \
    static ld asum(int n, const T *x, int ix) { return ASUM(&n, x, &ix); }                  \
    static int iamax(int n, const T *x, int ix) { return IMAX(&n, x, &ix); }                \
    static int iamin(int n, const T *x, int ix) { return IMIN(&n, x, &ix); }

template <>
struct Api<float> {
    L1T_API(float, float, false, FLT_EPSILON, saxpy_, sscal_, sscal_, scopy_, sswap_, sasum_, isamax_, isamin_)
    static cx dot(bool, int n, const float *x, int ix, const float *y, int iy) { return {sdot_(&n, x, &ix, y, &iy), 0}; }
};

template <>
struct Api<double> {
    L1T_API(double, double, false, DBL_EPSILON, daxpy_, dscal_, dscal_, dcopy_, dswap_, dasum_, idamax_, idamin_)
    static cx dot(bool, int n, const double *x, int ix, const double *y, int iy)
    {
        return {ddot_(&n, x, &ix, y, &iy), 0};
    }
};

template <>
struct Api<ZEM_Complex8> {
    L1T_API(ZEM_Complex8, float, true, FLT_EPSILON, caxpy_, cscal_, csscal_, ccopy_, cswap_, scasum_, icamax_,
            icamin_)
    static cx dot(bool conj, int n, const ZEM_Complex8 *x, int ix, const ZEM_Complex8 *y, int iy)
    {
        ZEM_Complex8 r = {-7.0f, -7.0f};
        (conj ? cdotc_ : cdotu_)(&r, &n, x, &ix, y, &iy);
        return get(r);
    }
};

template <>
struct Api<ZEM_Complex16> {
    L1T_API(ZEM_Complex16, double, true, DBL_EPSILON, zaxpy_, zscal_, zdscal_, zcopy_, zswap_, dzasum_, izamax_,
            izamin_)
    static cx dot(bool conj, int n, const ZEM_Complex16 *x, int ix, const ZEM_Complex16 *y, int iy)
    {
        ZEM_Complex16 r = {-7.0, -7.0};
        (conj ? zdotc_ : zdotu_)(&r, &n, x, &ix, y, &iy);
        return get(r);
    }
};

#undef L1T_API

// A vector of n elements with increment inc, starting `offset` bytes past
// a 64-byte boundary, with G guard elements on both sides. All elements
// hold random values in [-1, 1].
template <class T>
class Buf {
public:
    static const int G = 3;
    Buf(int n, int inc, size_t offset, std::mt19937 &rng) : n_(n), inc_(inc)
    {
        long span = n > 0 ? 1 + (long)(n - 1) * (inc < 0 ? -inc : inc) : 1;
        len_ = (size_t)span + 2 * G;
        mem_.resize(len_ * sizeof(T) + 128);
        uintptr_t p = ((uintptr_t)mem_.data() + 63) & ~(uintptr_t)63;
        base_ = (T *)(p + offset);
        std::uniform_real_distribution<double> d(-1.0, 1.0);
        for (size_t i = 0; i < len_; ++i) {
            cx v = {(ld)d(rng), Api<T>::cplx ? (ld)d(rng) : 0};
            base_[i] = Api<T>::put(v);
        }
    }
    T *vec() { return base_ + G; }
    T *all() { return base_; }
    size_t size() const { return len_; }
    // The whole buffer as complex long doubles.
    std::vector<cx> image() const
    {
        std::vector<cx> v(len_);
        for (size_t i = 0; i < len_; ++i)
            v[i] = Api<T>::get(base_[i]);
        return v;
    }
    // Which buffer elements belong to the vector.
    std::vector<bool> members() const
    {
        std::vector<bool> m(len_, false);
        for (int i = 0; i < n_; ++i)
            m[G + l1_ref::at(n_, inc_, i)] = true;
        return m;
    }
    std::vector<unsigned char> bytes() const
    {
        return std::vector<unsigned char>((const unsigned char *)base_, (const unsigned char *)(base_ + len_));
    }

private:
    int n_, inc_;
    size_t len_;
    std::vector<unsigned char> mem_;
    T *base_;
};

// Each element replaced by (abs(re) + abs(im), 0): running a reference on
// such images bounds the magnitudes that enter each result.
inline std::vector<cx> absolute(const std::vector<cx> &v)
{
    std::vector<cx> a(v.size());
    for (size_t i = 0; i < v.size(); ++i)
        a[i] = {(v[i].re < 0 ? -v[i].re : v[i].re) + (v[i].im < 0 ? -v[i].im : v[i].im), 0};
    return a;
}

inline ld absl(ld v) { return v < 0 ? -v : v; }

} // namespace l1t

#endif
