// Power-of-two complex FFT against the long-double reference: accuracy of
// every order in both directions, the normalisation flags, in place versus
// out of place, null versus caller buffer, 8-byte aligned single data.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "fxrs.h"
#include "tests/reference/dft_ref.h"

namespace {

using zem_ref::cld;

// qemu runs the 32-bit build, and the sanitizer build is slow: keep their
// sizes modest.
#ifdef __SANITIZE_ADDRESS__
const int kMaxOrder = 16;
#else
const int kMaxOrder = sizeof(void *) == 4 ? 16 : 22;
#endif

template <typename T> struct Fam;
template <> struct Fam<float> {
    typedef Fxrs32fc C;
    typedef FxrsFFTCtx_C_32fc Ctx;
    static constexpr double tol = 2e-7;
    static FxrStatus init(Ctx **s, int o, int f) { return fxrsFFTInitAlloc_C_32fc(s, o, f, 0); }
    static FxrStatus free(Ctx *s) { return fxrsFFTFree_C_32fc(s); }
    static int size(const Ctx *s) { int n = -1; fxrsFFTGetBufSize_C_32fc(s, &n); return n; }
    static FxrStatus run(bool inv, const C *a, C *b, const Ctx *s, uint8_t *w)
    {
        return inv ? fxrsFFTInv_CToC_32fc(a, b, s, w) : fxrsFFTFwd_CToC_32fc(a, b, s, w);
    }
};
template <> struct Fam<double> {
    typedef Fxrs64fc C;
    typedef FxrsFFTCtx_C_64fc Ctx;
    static constexpr double tol = 4e-16;
    static FxrStatus init(Ctx **s, int o, int f) { return fxrsFFTInitAlloc_C_64fc(s, o, f, 0); }
    static FxrStatus free(Ctx *s) { return fxrsFFTFree_C_64fc(s); }
    static int size(const Ctx *s) { int n = -1; fxrsFFTGetBufSize_C_64fc(s, &n); return n; }
    static FxrStatus run(bool inv, const C *a, C *b, const Ctx *s, uint8_t *w)
    {
        return inv ? fxrsFFTInv_CToC_64fc(a, b, s, w) : fxrsFFTFwd_CToC_64fc(a, b, s, w);
    }
};

// Owns a context for one order and flag.
template <typename T> struct Plan {
    typedef Fam<T> F;
    typename F::Ctx *s = nullptr;
    Plan(int order, int flag) { EXPECT_EQ(F::init(&s, order, flag), fxrStsNoErr); }
    ~Plan()
    {
        if (s) {
            EXPECT_EQ(F::free(s), fxrStsNoErr);
        }
    }
};

template <typename C> std::vector<C> random_data(int order, unsigned seed)
{
    std::mt19937 g(seed * 7919u + (unsigned)order);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<C> x((size_t)1 << order);
    for (auto &c : x) {
        c.re = u(g);
        c.im = u(g);
    }
    return x;
}

template <typename C> std::vector<cld> widen(const std::vector<C> &x)
{
    std::vector<cld> y(x.size());
    for (size_t i = 0; i < x.size(); ++i)
        y[i] = cld(x[i].re, x[i].im);
    return y;
}

// RMS relative error of y against ref * scale.
template <typename C> double rms_err(const C *y, const std::vector<cld> &ref, long double scale)
{
    long double num = 0, den = 0;
    for (size_t i = 0; i < ref.size(); ++i) {
        cld r = ref[i] * scale, d = cld(y[i].re, y[i].im) - r;
        num += std::norm(d);
        den += std::norm(r);
    }
    return den > 0 ? (double)sqrtl(num / den) : (double)sqrtl(num);
}

template <typename C> bool same_bits(const C *a, const C *b, size_t n)
{
    return memcmp(a, b, n * sizeof(C)) == 0;
}

template <typename T> class EngineFft : public ::testing::Test {};
typedef ::testing::Types<float, double> Precisions;
TYPED_TEST_SUITE(EngineFft, Precisions);

// Every order in both directions (flag 2: the inverse divides by N), out of
// place and in place, with the engine's own buffer and with a caller buffer
// at an odd address; forward then inverse returns the input.
TYPED_TEST(EngineFft, MatchesReferenceEveryOrder)
{
    typedef Fam<TypeParam> F;
    typedef typename F::C C;
    for (int order = 0; order <= kMaxOrder; ++order) {
        SCOPED_TRACE(order);
        const size_t N = (size_t)1 << order;
        const double tol = F::tol * std::max(order, 1);
        Plan<TypeParam> p(order, FXR_FFT_DIV_INV_BY_N);
        const auto x = random_data<C>(order, 1);
        const auto wide = widen(x);
        const auto fref = zem_ref::dft(wide, -1);
        // the inverse transform is the forward one at index (N - k) mod N
        std::vector<cld> iref(N);
        for (size_t k = 0; k < N; ++k)
            iref[k] = fref[(N - k) % N];
        std::vector<uint8_t> buf(F::size(p.s) + 1);
        std::vector<C> y(N);
        for (bool inv : {false, true}) {
            std::vector<C> z(x), u(N);
            ASSERT_EQ(F::run(inv, x.data(), y.data(), p.s, nullptr), fxrStsNoErr);
            EXPECT_LE(rms_err(y.data(), inv ? iref : fref, inv ? 1.0L / N : 1), tol)
                << "inv " << inv;
            ASSERT_EQ(F::run(inv, z.data(), z.data(), p.s, nullptr), fxrStsNoErr);
            EXPECT_TRUE(same_bits(y.data(), z.data(), N)) << "in place differs, inv " << inv;
            ASSERT_EQ(F::run(inv, x.data(), u.data(), p.s, buf.data() + 1), fxrStsNoErr);
            EXPECT_TRUE(same_bits(y.data(), u.data(), N)) << "caller buffer differs, inv " << inv;
        }
        ASSERT_EQ(F::run(false, x.data(), y.data(), p.s, nullptr), fxrStsNoErr);
        ASSERT_EQ(F::run(true, y.data(), y.data(), p.s, nullptr), fxrStsNoErr);
        EXPECT_LE(rms_err(y.data(), wide, 1), 2 * tol) << "round trip";
    }
}

// Flags 1, 2, 4 scale the chosen direction, computed against the reference;
// flag 2 round trip returns the input.
TYPED_TEST(EngineFft, NormalisationFlags)
{
    typedef Fam<TypeParam> F;
    typedef typename F::C C;
    for (int order : {0, 1, 2, 3, 4, 5, 8, 9, 10, 11, 12, 13, 14}) {
        SCOPED_TRACE(order);
        const size_t N = (size_t)1 << order;
        const auto x = random_data<C>(order, 2);
        const auto wide = widen(x);
        const auto fref = zem_ref::dft(wide, -1), iref = zem_ref::dft(wide, 1);
        const long double byN = 1.0L / N, bySqrt = 1.0L / sqrtl((long double)N);
        const double tol = F::tol * std::max(order, 1) * 1.5;
        for (int flag : {1, 2, 4, 8}) {
            SCOPED_TRACE(flag);
            Plan<TypeParam> p(order, flag);
            long double fs = flag == 1 ? byN : flag == 4 ? bySqrt : 1;
            long double is = flag == 2 ? byN : flag == 4 ? bySqrt : 1;
            std::vector<C> y(N), z(N);
            ASSERT_EQ(F::run(false, x.data(), y.data(), p.s, nullptr), fxrStsNoErr);
            EXPECT_LE(rms_err(y.data(), fref, fs), tol);
            ASSERT_EQ(F::run(true, x.data(), z.data(), p.s, nullptr), fxrStsNoErr);
            EXPECT_LE(rms_err(z.data(), iref, is), tol);
            if (flag == 2 || flag == 4) { // forward then inverse: the input again
                ASSERT_EQ(F::run(true, y.data(), y.data(), p.s, nullptr), fxrStsNoErr);
                EXPECT_LE(rms_err(y.data(), wide, 1), 2 * tol);
            }
        }
    }
}

// Single-precision data aligned to 8 bytes only give the same values.
TEST(EngineFftSingle, EightByteAlignedData)
{
    for (int order = 0; order <= std::min(kMaxOrder, 16); ++order) {
        SCOPED_TRACE(order);
        const size_t N = (size_t)1 << order;
        Plan<float> p(order, FXR_FFT_DIV_BY_SQRTN);
        const auto x = random_data<Fxrs32fc>(order, 4);
        // data at 8 bytes past a 16-byte boundary
        std::vector<float> s(2 * N + 8), d(2 * N + 8);
        auto at8 = [](float *p) { return (Fxrs32fc *)((((uintptr_t)p + 15) & ~(uintptr_t)15) + 8); };
        Fxrs32fc *sa = at8(s.data()), *da = at8(d.data());
        ASSERT_EQ((uintptr_t)sa % 16, 8u);
        for (bool inv : {false, true}) {
            std::vector<Fxrs32fc> ref(N);
            ASSERT_EQ(Fam<float>::run(inv, x.data(), ref.data(), p.s, nullptr), fxrStsNoErr);
            memcpy(sa, x.data(), N * sizeof(Fxrs32fc));
            ASSERT_EQ(Fam<float>::run(inv, sa, da, p.s, nullptr), fxrStsNoErr);
            EXPECT_TRUE(same_bits(ref.data(), da, N)) << "out of place, inv " << inv;
            ASSERT_EQ(Fam<float>::run(inv, sa, sa, p.s, nullptr), fxrStsNoErr);
            EXPECT_TRUE(same_bits(ref.data(), sa, N)) << "in place, inv " << inv;
        }
    }
}

// N = 1 copies (or scales) its element even with a buffer argument.
TYPED_TEST(EngineFft, OrderZero)
{
    typedef Fam<TypeParam> F;
    typename F::C x{3, -4}, y{0, 0};
    Plan<TypeParam> a(0, FXR_FFT_NODIV_BY_ANY), b(0, FXR_FFT_DIV_FWD_BY_N);
    uint8_t junk[64];
    ASSERT_EQ(F::run(false, &x, &y, a.s, junk), fxrStsNoErr);
    EXPECT_EQ(y.re, 3);
    EXPECT_EQ(y.im, -4);
    ASSERT_EQ(F::run(false, &x, &y, b.s, nullptr), fxrStsNoErr);
    EXPECT_EQ(y.re, 3);
    ASSERT_EQ(F::run(true, &x, &y, b.s, nullptr), fxrStsNoErr);
    EXPECT_EQ(y.im, -4);
}

// One context serves several threads at once, each with its own buffer or
// none; every thread gets the serial result.
TYPED_TEST(EngineFft, OneContextManyThreads)
{
    typedef Fam<TypeParam> F;
    typedef typename F::C C;
    for (int order : {6, 10, 13}) {
        SCOPED_TRACE(order);
        const size_t N = (size_t)1 << order;
        Plan<TypeParam> p(order, FXR_FFT_DIV_BY_SQRTN);
        const auto x = random_data<C>(order, 6);
        std::vector<C> want(N);
        ASSERT_EQ(F::run(false, x.data(), want.data(), p.s, nullptr), fxrStsNoErr);
        std::vector<std::vector<C>> got(4, std::vector<C>(N));
        std::vector<std::thread> th;
        for (int t = 0; t < 4; ++t)
            th.emplace_back([&, t] {
                std::vector<uint8_t> buf(F::size(p.s) + 1);
                for (int rep = 0; rep < 5; ++rep)
                    F::run(false, x.data(), got[t].data(), p.s, t % 2 ? buf.data() : nullptr);
            });
        for (auto &t : th)
            t.join();
        for (int t = 0; t < 4; ++t)
            EXPECT_TRUE(same_bits(want.data(), got[t].data(), N)) << "thread " << t;
    }
}

// The reference's radix-2 form agrees with its direct sum.
TEST(EngineReference, RadixTwoMatchesDirectSum)
{
    const auto x = widen(random_data<Fxrs64fc>(8, 5));
    const auto a = zem_ref::fft_pow2(x, -1), b = zem_ref::dft_direct(x, -1);
    long double e = 0;
    for (size_t i = 0; i < a.size(); ++i)
        e = std::max(e, std::abs(a[i] - b[i]));
    EXPECT_LT((double)e, 1e-15);
}

} // namespace
