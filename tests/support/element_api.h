// The library's four element types behind one interface for typed tests:
// what each type is, its BLAS routines under one name per operation, random
// data, strided vectors with guards, and the one tolerance rule for
// comparisons with the long-double references in tests/reference.
#ifndef ZEM_TEST_ELEMENT_API_H
#define ZEM_TEST_ELEMENT_API_H

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tests/reference/element.h"
#include "zem_blas.h"

namespace zem_test {

using zem_ref::cx;
using zem_ref::get;
using zem_ref::ld;
using zem_ref::put;

typedef testing::Types<float, double, ZEM_Complex8, ZEM_Complex16> ElementTypes;
typedef testing::Types<float, double> RealTypes;
typedef testing::Types<ZEM_Complex8, ZEM_Complex16> ComplexTypes;

// The dot products differ in form between real (by value) and complex
// (result through the first argument) types; both come back as cx.
inline cx dot_of(bool, int n, const float *x, int ix, const float *y, int iy) { return {sdot_(&n, x, &ix, y, &iy), 0}; }
inline cx dot_of(bool, int n, const double *x, int ix, const double *y, int iy)
{
    return {ddot_(&n, x, &ix, y, &iy), 0};
}
template <class T, class F>
cx complex_dot(F f, int n, const T *x, int ix, const T *y, int iy)
{
    T r = put<T>({-7, -7});
    f(&r, &n, x, &ix, y, &iy);
    return get(r);
}
inline cx dot_of(bool c, int n, const ZEM_Complex8 *x, int ix, const ZEM_Complex8 *y, int iy)
{
    return complex_dot(c ? cdotc_ : cdotu_, n, x, ix, y, iy);
}
inline cx dot_of(bool c, int n, const ZEM_Complex16 *x, int ix, const ZEM_Complex16 *y, int iy)
{
    return complex_dot(c ? zdotc_ : zdotu_, n, x, ix, y, iy);
}
inline cx doti_of(bool, int nz, const float *x, const int *ix, const float *y) { return {sdoti_(&nz, x, ix, y), 0}; }
inline cx doti_of(bool, int nz, const double *x, const int *ix, const double *y) { return {ddoti_(&nz, x, ix, y), 0}; }
inline cx doti_of(bool c, int nz, const ZEM_Complex8 *x, const int *ix, const ZEM_Complex8 *y)
{
    ZEM_Complex8 r = {7, 7};
    (c ? cdotci_ : cdotui_)(&r, &nz, x, ix, y);
    return get(r);
}
inline cx doti_of(bool c, int nz, const ZEM_Complex16 *x, const int *ix, const ZEM_Complex16 *y)
{
    ZEM_Complex16 r = {7, 7};
    (c ? zdotci_ : zdotui_)(&r, &nz, x, ix, y);
    return get(r);
}

template <class T>
struct Api;

// One type's facts and routines, by their lower-case Fortran names. p: the
// type's prefix; rp, ap: the prefixes of the real-scalar and real-result
// forms (csscal, scasum); gu, gc: the rank-1 updates; sy, sb, sp: the
// symmetric (real) or Hermitian (complex) full, band and packed forms.
#define ZEM_TEST_API(T, R_, CPLX, EPS, p, rp, ap, gu, gc, sy, sb, sp)                                    \
    template <>                                                                                           \
    struct Api<T> {                                                                                       \
        typedef R_ R;                                                                                     \
        static constexpr bool cplx = CPLX;                                                                \
        static constexpr int comps = CPLX ? 2 : 1;                                                        \
        static constexpr ld eps = EPS;                                                                    \
        static constexpr const char *prefix = #p;                                                         \
        static void axpy(int n, cx a, const T *x, int ix, T *y, int iy)                                   \
        {                                                                                                 \
            T al = put<T>(a);                                                                             \
            p##axpy_(&n, &al, x, &ix, y, &iy);                                                            \
        }                                                                                                 \
        static void scal(int n, cx a, T *x, int ix)                                                       \
        {                                                                                                 \
            T al = put<T>(a);                                                                             \
            p##scal_(&n, &al, x, &ix);                                                                    \
        }                                                                                                 \
        static void rscal(int n, R a, T *x, int ix) { rp##scal_(&n, &a, x, &ix); }                       \
        static void copy(int n, const T *x, int ix, T *y, int iy) { p##copy_(&n, x, &ix, y, &iy); }       \
        static void swap(int n, T *x, int ix, T *y, int iy) { p##swap_(&n, x, &ix, y, &iy); }             \
        static cx dot(bool conj, int n, const T *x, int ix, const T *y, int iy)                           \
        {                                                                                                 \
            return dot_of(conj, n, x, ix, y, iy);                                                         \
        }                                                                                                 \
        static ld asum(int n, const T *x, int ix) { return ap##asum_(&n, x, &ix); }                       \
        static ld nrm2(int n, const T *x, int ix) { return ap##nrm2_(&n, x, &ix); }                       \
        static int iamax(int n, const T *x, int ix) { return i##p##amax_(&n, x, &ix); }                   \
        static int iamin(int n, const T *x, int ix) { return i##p##amin_(&n, x, &ix); }                   \
        static void rot(int n, T *x, int ix, T *y, int iy, R c, R s) { rp##rot_(&n, x, &ix, y, &iy, &c, &s); } \
        static void axpyi(int nz, T a, const T *x, const int *ix, T *y) { p##axpyi_(&nz, &a, x, ix, y); } \
        static cx doti(bool conj, int nz, const T *x, const int *ix, const T *y)                          \
        {                                                                                                 \
            return doti_of(conj, nz, x, ix, y);                                                           \
        }                                                                                                 \
        static void gthr(int nz, const T *y, T *x, const int *ix) { p##gthr_(&nz, y, x, ix); }            \
        static void gthrz(int nz, T *y, T *x, const int *ix) { p##gthrz_(&nz, y, x, ix); }                \
        static void sctr(int nz, const T *x, const int *ix, T *y) { p##sctr_(&nz, x, ix, y); }            \
        static constexpr auto gemv = p##gemv_;                                                            \
        static constexpr auto gbmv = p##gbmv_;                                                            \
        static constexpr auto geru = p##gu##_;                                                            \
        static constexpr auto gerc = p##gc##_;                                                            \
        static constexpr auto symv = p##sy##mv_;                                                          \
        static constexpr auto sbmv = p##sb##mv_;                                                          \
        static constexpr auto spmv = p##sp##mv_;                                                          \
        static constexpr auto syr = p##sy##r_;                                                            \
        static constexpr auto spr = p##sp##r_;                                                            \
        static constexpr auto syr2 = p##sy##r2_;                                                          \
        static constexpr auto spr2 = p##sp##r2_;                                                          \
        static constexpr auto trmv = p##trmv_;                                                            \
        static constexpr auto trsv = p##trsv_;                                                            \
        static constexpr auto tbmv = p##tbmv_;                                                            \
        static constexpr auto tbsv = p##tbsv_;                                                            \
        static constexpr auto tpmv = p##tpmv_;                                                            \
        static constexpr auto tpsv = p##tpsv_;                                                            \
        static constexpr auto gemm = p##gemm_;                                                            \
        static constexpr auto trsm = p##trsm_;                                                            \
        static constexpr auto trmm = p##trmm_;                                                            \
    };
ZEM_TEST_API(float, float, false, FLT_EPSILON, s, s, s, ger, ger, sy, sb, sp)
ZEM_TEST_API(double, double, false, DBL_EPSILON, d, d, d, ger, ger, sy, sb, sp)
ZEM_TEST_API(ZEM_Complex8, float, true, FLT_EPSILON, c, cs, sc, geru, gerc, he, hb, hp)
ZEM_TEST_API(ZEM_Complex16, double, true, DBL_EPSILON, z, zd, dz, geru, gerc, he, hb, hp)
#undef ZEM_TEST_API

// The tolerance rule: a result whose longest chain of rounded operations
// has n links (n terms of a sum, n rotations of one pair, ...) is within
// tol<T>(n) of the reference, relative to the magnitudes that enter it.
// Four more links cover the scalings by alpha and beta and a complex
// product's own roundings.
template <class T>
ld tol(ld n)
{
    return Api<T>::eps * (n + 4);
}

// Random values in [-1, 1] (both parts for complex types).
template <class T>
T rnd(std::mt19937 &g)
{
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    double re = u(g), im = Api<T>::cplx ? u(g) : 0;
    return put<T>({re, im});
}

template <class T>
std::vector<T> rnd_vec(size_t len, std::mt19937 &g)
{
    std::vector<T> v(len);
    for (T &e : v)
        e = rnd<T>(g);
    return v;
}

template <class T>
std::vector<cx> image(const std::vector<T> &b)
{
    std::vector<cx> v(b.size());
    for (size_t i = 0; i < b.size(); ++i)
        v[i] = get(b[i]);
    return v;
}

// The components (re[, im]) of every element, as the component references
// take them.
template <class T>
std::vector<ld> parts(const T *b, size_t len)
{
    const typename Api<T>::R *c = reinterpret_cast<const typename Api<T>::R *>(b);
    return std::vector<ld>(c, c + len * Api<T>::comps);
}

template <class T>
T nan_value()
{
    return put<T>({NAN, NAN});
}

// Each element replaced by (|re| + |im|, 0): running a reference on such
// images bounds the magnitudes that enter each result.
inline std::vector<cx> absv(const std::vector<cx> &v)
{
    std::vector<cx> r(v.size());
    for (size_t i = 0; i < v.size(); ++i)
        r[i] = zem_ref::cabs(v[i]);
    return r;
}

inline bool same_bits(const void *a, const void *b, size_t n) { return std::memcmp(a, b, n) == 0; }
template <class T>
bool same_bits(const std::vector<T> &a, const std::vector<T> &b)
{
    return a.size() == b.size() && same_bits(a.data(), b.data(), a.size() * sizeof(T));
}

// A column-major rows x cols matrix with leading dimension rows + pad,
// random entries in [-1, 1] (padding rows included).
template <class T>
struct Mat {
    int rows = 0, cols = 0, ld = 1;
    std::vector<T> v;
    Mat() = default;
    Mat(int r, int c, unsigned seed, int pad = 3) : rows(r), cols(c), ld(r + pad > 0 ? r + pad : 1)
    {
        std::mt19937 g(seed);
        v = rnd_vec<T>((size_t)ld * (c > 0 ? c : 1), g);
    }
    void fill(cx value)
    {
        for (auto &x : v)
            x = put<T>(value);
    }
    // The elements as the element references take them.
    std::vector<cx> wide() const { return image(v); }
    bool same_bits(const Mat &o, size_t at) const { return zem_test::same_bits(&v[at], &o.v[at], sizeof(T)); }
};

// got within tol·bound of want, part by part (bound.re bounds both parts).
inline testing::AssertionResult close(cx got, cx want, cx bound, ld tol)
{
    ld t = tol * bound.re + LDBL_MIN * 1e10L;
    if (std::fabs(got.re - want.re) <= t && std::fabs(got.im - want.im) <= t)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "got (" << (double)got.re << ", " << (double)got.im << ") want ("
                                       << (double)want.re << ", " << (double)want.im << ") bound "
                                       << (double)bound.re << " tol " << (double)tol;
}

// Vectors in plain buffers: n elements with increment inc in a buffer of
// 1 + (n-1)·|inc| elements, element i at zem_ref::at(n, inc, i).
inline size_t span(int n, int inc) { return n <= 0 ? 1 : 1 + (size_t)(n - 1) * (size_t)std::abs(inc); }
inline size_t pos(int n, int inc, int i) { return (size_t)zem_ref::at(n, inc, i); }

template <class T>
std::vector<cx> gather(const std::vector<T> &b, int n, int inc)
{
    std::vector<cx> v(n > 0 ? n : 0);
    for (int i = 0; i < n; ++i)
        v[i] = get(b[pos(n, inc, i)]);
    return v;
}

// The vector in buffer `got` matches `want` element by element, and every
// buffer element that is not part of the vector kept its bits.
template <class T>
void expect_vec(const std::vector<T> &got, const std::vector<T> &before, int n, int inc,
                const std::vector<cx> &want, const std::vector<cx> &bound, ld tol)
{
    std::vector<bool> member(got.size(), false);
    for (int i = 0; i < n; ++i) {
        size_t p = pos(n, inc, i);
        member[p] = true;
        EXPECT_TRUE(close(get(got[p]), want[i], bound[i], tol)) << "element " << i;
    }
    for (size_t p = 0; p < got.size(); ++p)
        EXPECT_TRUE(member[p] || same_bits(&got[p], &before[p], sizeof(T))) << "gap element " << p;
}

// got against want for the elements of the matrix (rows x cols) where
// inside(i, j) holds, within tol_scale times the element's magnitude
// bound mag (|re| + |im| of the error); every other element, padding rows
// included, bit for bit as before. At most five failures reported.
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
            const cx g = get(got.v[at]), w = want[at];
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

// The transposition letters of a type: N and T, and C for complex types.
template <class T>
std::vector<char> ops()
{
    return Api<T>::cplx ? std::vector<char>{'N', 'T', 'C'} : std::vector<char>{'N', 'T'};
}

// A vector of n elements with increment inc, starting `offset` bytes past
// a 64-byte boundary, with G guard elements on both sides; every element,
// guards and gaps included, holds random values in [-1, 1].
template <class T>
class Strided {
public:
    static const int G = 3;
    Strided(int n, int inc, size_t offset, std::mt19937 &rng) : n_(n), inc_(inc)
    {
        len_ = span(n, inc) + 2 * G;
        mem_.resize(len_ * sizeof(T) + 128);
        base_ = (T *)((((uintptr_t)mem_.data() + 63) & ~(uintptr_t)63) + offset);
        for (size_t i = 0; i < len_; ++i)
            base_[i] = rnd<T>(rng);
    }
    T *vec() { return base_ + G; }
    T *all() { return base_; }
    size_t size() const { return len_; }
    // The whole buffer, as the element references and as the component
    // references take it.
    std::vector<cx> image() const { return zem_test::image(std::vector<T>(base_, base_ + len_)); }
    std::vector<ld> parts() const { return zem_test::parts(base_, len_); }
    // The buffer positions of the vector's elements 1..n.
    std::vector<std::ptrdiff_t> off() const
    {
        std::vector<std::ptrdiff_t> o;
        for (int i = 0; i < n_; ++i)
            o.push_back(G + zem_ref::at(n_, inc_, i));
        return o;
    }
    std::vector<unsigned char> bytes() const
    {
        return std::vector<unsigned char>((const unsigned char *)base_, (const unsigned char *)(base_ + len_));
    }
    // The vector's elements within tol·bound of want (images of the whole
    // buffer); every other element kept the bits it had in `before`.
    void expect(const std::vector<unsigned char> &before, const std::vector<cx> &want, const std::vector<cx> &bound,
                ld tol) const
    {
        std::vector<bool> mem = members();
        std::vector<cx> got = image();
        for (size_t i = 0; i < len_; ++i) {
            if (mem[i])
                EXPECT_TRUE(close(got[i], want[i], bound[i], tol)) << "element " << i;
            else
                EXPECT_TRUE(same_bits(&before[i * sizeof(T)], &base_[i], sizeof(T))) << "guard element " << i;
        }
    }
    // The same on components with an absolute tolerance; the others equal.
    void expect(const std::vector<ld> &want, ld tol) const
    {
        std::vector<bool> mem = members();
        std::vector<ld> got = parts();
        for (size_t k = 0; k < got.size(); ++k) {
            if (mem[k / Api<T>::comps])
                EXPECT_LE(std::fabs(got[k] - want[k]), tol) << "component " << k;
            else
                EXPECT_EQ(got[k], want[k]) << "untouched component " << k;
        }
    }

private:
    std::vector<bool> members() const
    {
        std::vector<bool> m(len_, false);
        for (std::ptrdiff_t p : off())
            m[p] = true;
        return m;
    }
    int n_, inc_;
    size_t len_;
    std::vector<unsigned char> mem_;
    T *base_;
};

} // namespace zem_test

#endif
