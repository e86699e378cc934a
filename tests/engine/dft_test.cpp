// Any-length complex DFT, out-of-order DFT, real FFT and real DFT against
// the long-double reference: every plan (fixed kernels, power of two,
// factored with radix 2/3/4/5 and generic factors, convolution, direct),
// both directions, the normalisation flags, in place versus out of place,
// the packed layouts, buffer sizes and status codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "fxrs.h"
#include "tests/reference/dft_ref.h"

namespace {

using zem_ref::cld;

const bool kSmallHost = sizeof(void *) == 4
#ifdef __SANITIZE_ADDRESS__
                        || true
#endif
    ;

// The functions of one precision: C, R and the element suffixes of its
// complex (32fc / 64fc) and real (32f / 64f) families.
template <typename T> struct Fam;
#define ZEM_DFT_FAMILY(T, CS, RS, TOL)                                                         \
    template <> struct Fam<T> {                                                                \
        typedef Fxrs##CS C;                                                                    \
        typedef FxrsDFTCtx_C_##CS Ctx;                                                         \
        typedef FxrsDFTOutOrdCtx_C_##CS OCtx;                                                  \
        typedef FxrsDFTCtx_R_##RS RCtx;                                                        \
        typedef FxrsFFTCtx_R_##RS FCtx;                                                        \
        static constexpr double tol = TOL;                                                     \
        static int init(Ctx **c, int n, int f) { return fxrsDFTInitAlloc_C_##CS(c, n, f, 0); } \
        static int init(OCtx **c, int n, int f)                                                \
        {                                                                                      \
            return fxrsDFTOutOrdInitAlloc_C_##CS(c, n, f, 0);                                  \
        }                                                                                      \
        static int init(RCtx **c, int n, int f) { return fxrsDFTInitAlloc_R_##RS(c, n, f, 0); } \
        static int init(FCtx **c, int n, int f) { return fxrsFFTInitAlloc_R_##RS(c, n, f, 0); } \
        static int release(Ctx *c) { return fxrsDFTFree_C_##CS(c); }                           \
        static int release(OCtx *c) { return fxrsDFTOutOrdFree_C_##CS(c); }                    \
        static int release(RCtx *c) { return fxrsDFTFree_R_##RS(c); }                          \
        static int release(FCtx *c) { return fxrsFFTFree_R_##RS(c); }                          \
        static int size(const Ctx *c, int *s) { return fxrsDFTGetBufSize_C_##CS(c, s); }       \
        static int size(const OCtx *c, int *s) { return fxrsDFTOutOrdGetBufSize_C_##CS(c, s); } \
        static int size(const RCtx *c, int *s) { return fxrsDFTGetBufSize_R_##RS(c, s); }      \
        static int size(const FCtx *c, int *s) { return fxrsFFTGetBufSize_R_##RS(c, s); }      \
        static int run(bool inv, const C *a, C *b, const Ctx *c, uint8_t *w)                   \
        {                                                                                      \
            return inv ? fxrsDFTInv_CToC_##CS(a, b, c, w) : fxrsDFTFwd_CToC_##CS(a, b, c, w);  \
        }                                                                                      \
        static int run(bool inv, const C *a, C *b, const OCtx *c, uint8_t *w)                  \
        {                                                                                      \
            return inv ? fxrsDFTOutOrdInv_CToC_##CS(a, b, c, w)                                \
                       : fxrsDFTOutOrdFwd_CToC_##CS(a, b, c, w);                               \
        }                                                                                      \
        static int run(bool inv, const T *a, T *b, const FCtx *c, uint8_t *w)                  \
        {                                                                                      \
            return inv ? fxrsFFTInv_PermToR_##RS(a, b, c, w) : fxrsFFTFwd_RToPerm_##RS(a, b, c, w); \
        }                                                                                      \
        /* layout 0 Perm, 1 Pack, 2 CCS */                                                     \
        static int run(bool inv, int lay, const T *a, T *b, const RCtx *c, uint8_t *w)         \
        {                                                                                      \
            typedef FxrStatus (*Fn)(const T *, T *, const RCtx *, uint8_t *);                  \
            static const Fn f[2][3] = {                                                        \
                {fxrsDFTFwd_RToPerm_##RS, fxrsDFTFwd_RToPack_##RS, fxrsDFTFwd_RToCCS_##RS},    \
                {fxrsDFTInv_PermToR_##RS, fxrsDFTInv_PackToR_##RS, fxrsDFTInv_CCSToR_##RS}};   \
            return f[inv][lay](a, b, c, w);                                                    \
        }                                                                                      \
    };
ZEM_DFT_FAMILY(float, 32fc, 32f, 1.5e-7)
ZEM_DFT_FAMILY(double, 64fc, 64f, 3e-16)
#undef ZEM_DFT_FAMILY

// Owns one context of any family.
template <typename T, typename Ctx> struct Own {
    Ctx *c = nullptr;
    Own(int n, int flag) { EXPECT_EQ(Fam<T>::init(&c, n, flag), fxrStsNoErr) << "length " << n; }
    ~Own()
    {
        if (c) {
            EXPECT_EQ(Fam<T>::release(c), fxrStsNoErr);
        }
    }
    int bytes() const
    {
        int s = -1;
        EXPECT_EQ(Fam<T>::size(c, &s), fxrStsNoErr);
        return s;
    }
};

std::vector<long double> random_reals(size_t n, unsigned seed)
{
    std::mt19937 g(seed * 7919u + (unsigned)n);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<long double> x(n);
    for (auto &v : x)
        v = u(g);
    return x;
}

template <typename C> std::vector<C> random_complex(size_t n, unsigned seed)
{
    auto r = random_reals(2 * n, seed);
    std::vector<C> x(n);
    for (size_t i = 0; i < n; ++i)
        x[i] = {(decltype(x[i].re))r[2 * i], (decltype(x[i].re))r[2 * i + 1]};
    return x;
}

template <typename C> std::vector<cld> widen(const std::vector<C> &x)
{
    std::vector<cld> y(x.size());
    for (size_t i = 0; i < x.size(); ++i)
        y[i] = cld(x[i].re, x[i].im);
    return y;
}

// Every bin for short lengths, a spread of bins for long ones.
std::vector<long long> bins_of(long long n)
{
    std::vector<long long> b;
    if (n <= (kSmallHost ? 300 : 2100)) {
        for (long long k = 0; k < n; ++k)
            b.push_back(k);
    } else {
        for (long long k : {0LL, 1LL, 2LL, n / 2, n - 1})
            b.push_back(k);
        for (long long k = 3; k < n - 1; k += n / (kSmallHost ? 23 : 61) + 1)
            b.push_back(k);
    }
    return b;
}

// RMS relative error of got[bins[i]] against ref[i] * scale.
template <typename C>
double rms_err(const C *got, const std::vector<cld> &ref, const std::vector<long long> &bins,
               long double scale)
{
    long double num = 0, den = 0;
    for (size_t i = 0; i < bins.size(); ++i) {
        cld r = ref[i] * scale, d = cld(got[bins[i]].re, got[bins[i]].im) - r;
        num += std::norm(d);
        den += std::norm(r);
    }
    return den > 0 ? (double)sqrtl(num / den) : (double)sqrtl(num);
}

double tol_for(double base, long long n) { return base * (2 + std::log2((double)n)); }

std::vector<int> complex_lengths()
{
    std::vector<int> n = {1, 2, 3, 4, 5, 6, 9, 12, 24, 45, 149, 150, 151, 298, 302, 471, 1000, 1024};
    for (int big : {2000, 2001, 5000, 5001, 10007})
        n.push_back(big);
    if (!kSmallHost)
        n.push_back(100000);
    return n;
}

template <typename T> class EngineDft : public ::testing::Test {};
typedef ::testing::Types<float, double> Precisions;
TYPED_TEST_SUITE(EngineDft, Precisions);

// Both directions of every plan against the reference (flag 2: the inverse
// divides by N); in place, a caller buffer at an odd address and a null
// buffer give the same bits; forward then inverse returns the input.
TYPED_TEST(EngineDft, ComplexEveryPlan)
{
    typedef Fam<TypeParam> F;
    typedef typename F::C C;
    for (int n : complex_lengths()) {
        SCOPED_TRACE(n);
        Own<TypeParam, typename F::Ctx> p(n, FXR_FFT_DIV_INV_BY_N);
        const auto x = random_complex<C>(n, 1);
        const auto wide = widen(x);
        const auto bins = bins_of(n);
        const double tol = tol_for(F::tol, n);
        std::vector<uint8_t> buf(p.bytes() + 1);
        for (bool inv : {false, true}) {
            const auto ref = zem_ref::dft_bins(wide, inv ? 1 : -1, bins);
            std::vector<C> y(n), z(x), u(n);
            ASSERT_EQ(F::run(inv, x.data(), y.data(), p.c, nullptr), fxrStsNoErr);
            EXPECT_LE(rms_err(y.data(), ref, bins, inv ? 1.0L / n : 1), tol) << "inv " << inv;
            ASSERT_EQ(F::run(inv, z.data(), z.data(), p.c, nullptr), fxrStsNoErr);
            EXPECT_EQ(memcmp(y.data(), z.data(), n * sizeof(C)), 0) << "in place, inv " << inv;
            ASSERT_EQ(F::run(inv, x.data(), u.data(), p.c, buf.data() + 1), fxrStsNoErr);
            EXPECT_EQ(memcmp(y.data(), u.data(), n * sizeof(C)), 0) << "caller buffer, inv " << inv;
        }
        std::vector<C> y(n);
        ASSERT_EQ(F::run(false, x.data(), y.data(), p.c, nullptr), fxrStsNoErr);
        ASSERT_EQ(F::run(true, y.data(), y.data(), p.c, nullptr), fxrStsNoErr);
        std::vector<long long> all(n);
        for (int k = 0; k < n; ++k)
            all[k] = k;
        EXPECT_LE(rms_err(y.data(), wide, all, 1), 2 * tol) << "round trip";
    }
}

// Flags 1, 2, 4 scale their direction, flag 8 neither, on each plan kind.
TYPED_TEST(EngineDft, NormalisationFlags)
{
    typedef Fam<TypeParam> F;
    typedef typename F::C C;
    for (int n : {3, 16, 45, 149, 151, 298}) {
        SCOPED_TRACE(n);
        const auto x = random_complex<C>(n, 2);
        const auto wide = widen(x);
        const auto bins = bins_of(n);
        const auto fref = zem_ref::dft_bins(wide, -1, bins), iref = zem_ref::dft_bins(wide, 1, bins);
        const long double byN = 1.0L / n, bySqrt = 1.0L / sqrtl((long double)n);
        for (int flag : {1, 2, 4, 8}) {
            SCOPED_TRACE(flag);
            Own<TypeParam, typename F::Ctx> p(n, flag);
            std::vector<C> y(n), z(n);
            ASSERT_EQ(F::run(false, x.data(), y.data(), p.c, nullptr), fxrStsNoErr);
            EXPECT_LE(rms_err(y.data(), fref, bins, flag == 1 ? byN : flag == 4 ? bySqrt : 1),
                      tol_for(F::tol, n));
            ASSERT_EQ(F::run(true, x.data(), z.data(), p.c, nullptr), fxrStsNoErr);
            EXPECT_LE(rms_err(z.data(), iref, bins, flag == 2 ? byN : flag == 4 ? bySqrt : 1),
                      tol_for(F::tol, n));
        }
    }
}

// The out-of-order forward output holds X[k], k = r1 + q1 r2 + q1 q2 r3 +
// ..., at r1 N/q1 + r2 N/(q1 q2) + ..., where q1, q2, ... are the factors
// from the last found to the first; the inverse takes it back. Shorter or
// unfactored lengths stay in natural order.
TYPED_TEST(EngineDft, OutOfOrder)
{
    typedef Fam<TypeParam> F;
    typedef typename F::C C;
    const bool dbl = sizeof(TypeParam) == 8;
    struct Case {
        int n;
        std::vector<int> radices; // q1, q2, ...; empty: natural order
    };
    std::vector<Case> cases = {{12, {}}, {151, {}}, {1024, {}}, {2000, {}}, {5001, {}}};
    if (dbl)
        cases.push_back({4500, {}}); // below the double threshold
    cases.push_back({2100, dbl ? std::vector<int>{} : std::vector<int>{7, 5, 5, 3, 4}});
    cases.push_back({6000, {5, 5, 5, 3, 4, 4}});
    if (!kSmallHost)
        cases.push_back({90090, {13, 11, 7, 5, 3, 3, 2}});
    for (const Case &cs : cases) {
        const int n = cs.n;
        SCOPED_TRACE(n);
        Own<TypeParam, typename F::OCtx> p(n, FXR_FFT_NODIV_BY_ANY);
        const auto x = random_complex<C>(n, 3);
        const auto wide = widen(x);
        const auto bins = bins_of(n);
        const auto ref = zem_ref::dft_bins(wide, -1, bins);
        std::vector<C> y(n);
        ASSERT_EQ(F::run(false, x.data(), y.data(), p.c, nullptr), fxrStsNoErr);
        std::vector<C> ordered(n);
        for (long long k = 0; k < n; ++k) {
            long long pos = k, rest = k, span = n;
            if (!cs.radices.empty()) {
                pos = 0;
                for (int q : cs.radices) {
                    span /= q;
                    pos += (rest % q) * span;
                    rest /= q;
                }
            }
            ordered[k] = y[pos];
        }
        EXPECT_LE(rms_err(ordered.data(), ref, bins, 1), tol_for(F::tol, n));
        std::vector<C> back(n);
        ASSERT_EQ(F::run(true, y.data(), back.data(), p.c, nullptr), fxrStsNoErr);
        std::vector<long long> all(n);
        for (int k = 0; k < n; ++k)
            all[k] = k;
        EXPECT_LE(rms_err(back.data(), wide, all, n), 2 * tol_for(F::tol, n)) << "round trip";
    }
}

// Perm / Pack / CCS positions of X[k] for a real length n.
std::vector<std::pair<int, int>> layout_slots(int n, int lay)
{
    // slot of (re, im) of X[k], -1: not stored (known zero)
    std::vector<std::pair<int, int>> s(n / 2 + 1);
    const bool even = n % 2 == 0;
    for (int k = 0; k <= n / 2; ++k) {
        if (lay == 2) {
            s[k] = {2 * k, 2 * k + 1};
        } else if (k == 0) {
            s[k] = {0, -1};
        } else if (even && k == n / 2) {
            s[k] = {lay == 0 ? 1 : n - 1, -1};
        } else if (lay == 0 && even) {
            s[k] = {2 * k, 2 * k + 1};
        } else {
            s[k] = {2 * k - 1, 2 * k};
        }
    }
    return s;
}

// Every layout forward against the reference; the inverse of each layout
// returns the input (flag 2) without writing its source; the zero slots
// of CCS hold zeros.
TYPED_TEST(EngineDft, RealEveryLayout)
{
    typedef Fam<TypeParam> F;
    typedef TypeParam T;
    // odd lengths: direct (5, 149), factored (9, 15, 45, 2001 past the
    // recursion threshold), convolution (151 is direct for real data, 181,
    // 471, 10007)
    std::vector<int> lengths = {1,   2,   3,   4,   5,   6,    8,    9,    12,   15,   45,
                                149, 151, 180, 181, 471, 1000, 1024, 2001, 2002, 10007};
    if (!kSmallHost)
        lengths.push_back(20014); // 2 * 10007: the convolution plan of the half length
    for (int n : lengths) {
        SCOPED_TRACE(n);
        Own<T, typename F::RCtx> p(n, FXR_FFT_DIV_INV_BY_N);
        const auto xr = random_reals(n, 4);
        std::vector<T> x(xr.begin(), xr.end());
        std::vector<cld> wide(n);
        for (int i = 0; i < n; ++i)
            wide[i] = cld(x[i], 0);
        std::vector<long long> bins;
        for (long long k : bins_of(n))
            if (k <= n / 2)
                bins.push_back(k);
        if (bins.back() != n / 2)
            bins.push_back(n / 2);
        const auto ref = zem_ref::dft_bins(wide, -1, bins);
        std::vector<uint8_t> buf(p.bytes() + 1);
        for (int lay = 0; lay < 3; ++lay) {
            SCOPED_TRACE(lay);
            const int len = lay == 2 ? 2 * (n / 2) + 2 : n;
            std::vector<T> y(len + 1, (T)7), z(len + 1, (T)7);
            ASSERT_EQ(F::run(false, lay, x.data(), y.data(), p.c, nullptr), fxrStsNoErr);
            EXPECT_EQ(y[len], (T)7) << "wrote past the layout";
            const auto slots = layout_slots(n, lay);
            long double num = 0, den = 0;
            for (size_t i = 0; i < bins.size(); ++i) {
                const long long k = bins[i];
                const T im = slots[k].second >= 0 ? y[slots[k].second] : 0;
                if (lay == 2 && (k == 0 || (n % 2 == 0 && k == n / 2))) {
                    EXPECT_EQ(im, 0);
                }
                num += std::norm(cld(y[slots[k].first], im) - ref[i]);
                den += std::norm(ref[i]);
            }
            EXPECT_LE((double)sqrtl(num / den), tol_for(F::tol, n));
            // in place and with a caller buffer: the same bits
            std::copy(x.begin(), x.end(), z.begin());
            ASSERT_EQ(F::run(false, lay, z.data(), z.data(), p.c, buf.data() + 1), fxrStsNoErr);
            EXPECT_EQ(memcmp(y.data(), z.data(), len * sizeof(T)), 0) << "in place";
            const std::vector<T> packed(y);
            std::vector<T> back(n);
            ASSERT_EQ(F::run(true, lay, y.data(), back.data(), p.c, nullptr), fxrStsNoErr);
            EXPECT_EQ(memcmp(packed.data(), y.data(), len * sizeof(T)), 0) << "source written";
            // the inverse against the reference of the stored spectrum
            std::vector<cld> spectrum(n);
            for (int k = 0; 2 * k <= n; ++k) {
                spectrum[k] = cld(y[slots[k].first], slots[k].second >= 0 ? y[slots[k].second] : 0);
                spectrum[(n - k) % n] = std::conj(spectrum[k]);
            }
            const auto ibins = bins_of(n);
            const auto iref = zem_ref::dft_bins(spectrum, 1, ibins);
            long double e = 0, s = 0;
            for (size_t i = 0; i < ibins.size(); ++i) {
                const long double r = iref[i].real() / n, d = back[ibins[i]] - r;
                e += d * d;
                s += r * r;
            }
            EXPECT_LE((double)sqrtl(e / s), tol_for(F::tol, n)) << "inverse";
            // the inverse in place: the same bits as out of place
            std::vector<T> inplace(packed);
            inplace.resize(std::max<size_t>(len, n));
            ASSERT_EQ(F::run(true, lay, inplace.data(), inplace.data(), p.c, nullptr), fxrStsNoErr);
            EXPECT_EQ(memcmp(inplace.data(), back.data(), n * sizeof(T)), 0) << "inverse in place";
        }
    }
}

// The power-of-two real FFT in Perm, every order, both directions.
TYPED_TEST(EngineDft, RealFftEveryOrder)
{
    typedef Fam<TypeParam> F;
    typedef TypeParam T;
    const int maxOrder = kSmallHost ? 14 : 18;
    for (int order = 0; order <= maxOrder; ++order) {
        SCOPED_TRACE(order);
        const int n = 1 << order;
        Own<T, typename F::FCtx> p(order, FXR_FFT_DIV_BY_SQRTN);
        const auto xr = random_reals(n, 5);
        std::vector<T> x(xr.begin(), xr.end()), y(n), back(n);
        std::vector<cld> wide(n);
        for (int i = 0; i < n; ++i)
            wide[i] = cld(x[i], 0);
        std::vector<long long> bins;
        for (long long k : bins_of(n))
            if (k <= n / 2)
                bins.push_back(k);
        const auto ref = zem_ref::dft_bins(wide, -1, bins);
        ASSERT_EQ(F::run(false, x.data(), y.data(), p.c, nullptr), fxrStsNoErr);
        const auto slots = layout_slots(n, 0);
        const long double sc = 1.0L / sqrtl((long double)n);
        long double num = 0, den = 0;
        for (size_t i = 0; i < bins.size(); ++i) {
            const auto sl = slots[bins[i]];
            const cld got(y[sl.first], sl.second >= 0 ? y[sl.second] : 0);
            num += std::norm(got - ref[i] * sc);
            den += std::norm(ref[i] * sc);
        }
        EXPECT_LE((double)sqrtl(num / den), tol_for(F::tol, n));
        ASSERT_EQ(F::run(true, y.data(), back.data(), p.c, nullptr), fxrStsNoErr);
        ASSERT_EQ(F::run(true, y.data(), y.data(), p.c, nullptr), fxrStsNoErr);
        EXPECT_EQ(memcmp(back.data(), y.data(), n * sizeof(T)), 0) << "in place";
        long double e = 0, s = 0;
        for (int i = 0; i < n; ++i) {
            e += (back[i] - (long double)x[i]) * (back[i] - (long double)x[i]);
            s += (long double)x[i] * x[i];
        }
        EXPECT_LE((double)sqrtl(e / s), 2 * tol_for(F::tol, n)) << "round trip";
    }
}

// Work sizes of each plan kind: none for the fixed kernels, the embedded
// FFT's size for powers of two, one buffer of N elements for the direct
// plan.
TYPED_TEST(EngineDft, BufferSizes)
{
    typedef Fam<TypeParam> F;
    const int el = 2 * sizeof(TypeParam);
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ((Own<TypeParam, typename F::Ctx>(n, 8).bytes()), 0) << n;
    EXPECT_EQ((Own<TypeParam, typename F::Ctx>(5, 8).bytes()), el * 5 + 16);
    EXPECT_EQ((Own<TypeParam, typename F::Ctx>(149, 8).bytes()), el * 149 + 16);
    EXPECT_EQ((Own<TypeParam, typename F::Ctx>(298, 8).bytes()), el * (298 + 149) + 16);
    EXPECT_EQ((Own<TypeParam, typename F::Ctx>(12, 8).bytes()), el * 12 + 16);
    const int fft = sizeof(TypeParam) == 4 ? 8 * 1024 + 16 : 0;
    EXPECT_EQ((Own<TypeParam, typename F::Ctx>(1024, 8).bytes()), fft);
    // odd real lengths: N reals for the direct and factored plans, the
    // complex convolution's buffer beyond 180
    const int re = sizeof(TypeParam);
    for (int n : {5, 9, 15, 45, 149, 151, 2001})
        EXPECT_EQ((Own<TypeParam, typename F::RCtx>(n, 8).bytes()), re * n + 16) << n;
    for (int n : {181, 471, 10007})
        EXPECT_EQ((Own<TypeParam, typename F::RCtx>(n, 8).bytes()),
                  (Own<TypeParam, typename F::Ctx>(n, 8).bytes()))
            << n;
    EXPECT_EQ((Own<TypeParam, typename F::RCtx>(3, 8).bytes()), 0);
}

// Status codes of every family: null pointers, lengths, orders, flags,
// contexts of another kind.
TYPED_TEST(EngineDft, StatusCodes)
{
    typedef Fam<TypeParam> F;
    typedef typename F::C C;
    typename F::Ctx *c = nullptr;
    EXPECT_EQ(F::init((typename F::Ctx **)nullptr, 5, 8), fxrStsNullPtrErr);
    EXPECT_EQ(F::init(&c, 0, 8), fxrStsSizeErr);
    EXPECT_EQ(F::init(&c, -3, 8), fxrStsSizeErr);
    EXPECT_EQ(F::init(&c, 5, 3), fxrStsFftFlagErr);
    EXPECT_EQ(c, nullptr);
    typename F::RCtx *r = nullptr;
    EXPECT_EQ(F::init(&r, 0, 8), fxrStsSizeErr);
    EXPECT_EQ(F::init(&r, 6, 0), fxrStsFftFlagErr);
    typename F::FCtx *fr = nullptr;
    EXPECT_EQ(F::init(&fr, 31, 8), fxrStsFftOrderErr);
    EXPECT_EQ(F::init(&fr, -1, 8), fxrStsFftOrderErr);
    EXPECT_EQ(F::init(&fr, 5, 16), fxrStsFftFlagErr);
    Own<TypeParam, typename F::Ctx> p(45, 8);
    Own<TypeParam, typename F::RCtx> q(45, 8);
    Own<TypeParam, typename F::OCtx> o(45, 8);
    std::vector<C> x(45), y(45);
    EXPECT_EQ(F::run(false, x.data(), y.data(), (typename F::Ctx *)nullptr, nullptr), fxrStsNullPtrErr);
    EXPECT_EQ(F::run(false, nullptr, y.data(), p.c, nullptr), fxrStsNullPtrErr);
    EXPECT_EQ(F::run(true, x.data(), nullptr, p.c, nullptr), fxrStsNullPtrErr);
    // a context of another kind
    EXPECT_EQ(F::run(false, x.data(), y.data(), (typename F::Ctx *)q.c, nullptr), fxrStsContextMatchErr);
    EXPECT_EQ(F::run(false, x.data(), y.data(), (typename F::Ctx *)o.c, nullptr), fxrStsContextMatchErr);
    EXPECT_EQ(F::run(false, x.data(), y.data(), (typename F::OCtx *)p.c, nullptr), fxrStsContextMatchErr);
    EXPECT_EQ(F::run(false, 0, (TypeParam *)x.data(), (TypeParam *)y.data(), (typename F::RCtx *)p.c,
                     nullptr),
              fxrStsContextMatchErr);
    EXPECT_EQ(F::run(true, 2, (TypeParam *)nullptr, (TypeParam *)y.data(), q.c, nullptr),
              fxrStsNullPtrErr);
    int s = 0;
    EXPECT_EQ(F::size(p.c, nullptr), fxrStsNullPtrErr);
    EXPECT_EQ(F::size((typename F::Ctx *)nullptr, &s), fxrStsNullPtrErr);
    EXPECT_EQ(F::size((typename F::Ctx *)q.c, &s), fxrStsContextMatchErr);
    EXPECT_EQ(F::release((typename F::Ctx *)q.c), fxrStsContextMatchErr);
    EXPECT_EQ(F::release((typename F::Ctx *)nullptr), fxrStsNullPtrErr);
}

} // namespace
