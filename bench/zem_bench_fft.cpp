// zem-bench fft: the transform part of the tour. Times the engine's
// in-place forward complex FFT of 2^order points in single and double
// precision, beside FFTW when it is installed (loaded with dlopen, planned
// with FFTW_MEASURE), and prints "mflops" = 5 N log2 N / t(us), best of
// the repetitions. --check first verifies every transform against a plain
// long-double DFT (orders up to 12) or a forward-inverse round trip.
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <dlfcn.h>
#include <string.h>

#include <chrono>
#include <complex>
#include <random>
#include <string>
#include <vector>

#include "fxrs.h"
#include "zem_bench.h"

namespace {

using zembench::Engine;
using zembench::FftwApi;
using zembench::kFftwForward;
using zembench::kFftwMeasure;
using zembench::kFftwNoSimd;

using zembench::best_seconds;

double peer_complex(FftwApi *peer, long n, unsigned flags, double min_time);

double mflops(int order, double seconds)
{
    double n = std::ldexp(1.0, order);
    return 5.0 * n * order / (seconds * 1e6);
}

// RMS relative error of the engine's forward transform against a plain
// long-double DFT (small orders) or of a forward-inverse round trip.
template <class R>
double check_error(int order, typename Engine<R>::Ctx *ctx, uint8_t *buf)
{
    using C = typename Engine<R>::C;
    const size_t n = size_t(1) << order;
    std::mt19937 gen(order);
    std::uniform_real_distribution<R> dist(-1, 1);
    std::vector<C> x(n), y;
    for (C &v : x)
        v = C{dist(gen), dist(gen)};
    y = x;
    Engine<R>::fwd(y.data(), ctx, buf);
    long double err = 0, norm = 0;
    if (order <= 12) {
        const long double two_pi = 6.283185307179586476925286766559L;
        for (size_t k = 0; k < n; ++k) {
            std::complex<long double> s = 0;
            for (size_t j = 0; j < n; ++j) {
                long double a = -two_pi * (long double)((j * k) % n) / (long double)n;
                s += std::complex<long double>(x[j].re, x[j].im) * std::complex<long double>(cosl(a), sinl(a));
            }
            err += std::norm(s - std::complex<long double>(y[k].re, y[k].im));
            norm += std::norm(s);
        }
    } else {
        Engine<R>::inv(y.data(), ctx, buf);
        for (size_t j = 0; j < n; ++j) {
            std::complex<long double> back(y[j].re / (long double)n, y[j].im / (long double)n);
            std::complex<long double> orig(x[j].re, x[j].im);
            err += std::norm(back - orig);
            norm += std::norm(orig);
        }
    }
    return (double)sqrtl(err / (norm > 0 ? norm : 1));
}

// The engine's context, work buffer and data for 2^order points (no
// context when memory is short).
template <class R>
struct EngineRun {
    using E = Engine<R>;
    typename E::Ctx *ctx = nullptr;
    uint8_t *buf = nullptr;
    typename E::C *data = nullptr;
    int order;
    explicit EngineRun(int ord) : order(ord)
    {
        if (E::init(&ctx, order) != 0) {
            ctx = nullptr;
            return;
        }
        int bytes = 0;
        E::bufsize(ctx, &bytes);
        buf = bytes > 0 ? fxrsMalloc_8u(bytes) : nullptr;
        const size_t n = size_t(1) << order;
        data = (typename E::C *)fxrsMalloc_8u((int)(n * sizeof(typename E::C)));
        for (size_t i = 0; i < n; ++i)
            data[i] = typename E::C{R(i % 7) * R(0.125), R(i % 5) * R(-0.25)};
    }
    ~EngineRun()
    {
        fxrsFree(data);
        fxrsFree(buf);
        if (ctx)
            E::release(ctx);
    }
    double rate(double min_time)
    {
        const int batch = order < 14 ? 1 << (14 - order) : 1;
        return mflops(order, best_seconds([&] { E::fwd(data, ctx, buf); }, min_time, batch));
    }
};

template <class R>
void run_precision(const std::vector<int> &orders, FftwApi *peer, bool check, double min_time, int &failures)
{
    using E = Engine<R>;
    for (int order : orders) {
        EngineRun<R> run(order);
        if (!run.ctx) {
            printf("%-7s %5d  (no context: not enough memory)\n", E::name, order);
            continue;
        }
        const size_t n = size_t(1) << order;
        std::string verdict;
        if (check) {
            double e = check_error<R>(order, run.ctx, run.buf);
            bool ok = e <= E::tol * (order > 0 ? order : 1) * 4;
            failures += ok ? 0 : 1;
            char text[48];
            snprintf(text, sizeof text, "%s %.1e", ok ? "ok" : "FAILED", e);
            verdict = text;
        }
        double zem = run.rate(min_time);
        const double ref = peer_complex(peer, (long)n, kFftwMeasure, min_time);
        if (ref > 0)
            printf("%-7s %5d %12.0f %12.0f %10.2f  %s\n", E::name, order, zem, ref, zem / ref, verdict.c_str());
        else
            printf("%-7s %5d %12.0f %12s %10s  %s\n", E::name, order, zem, "-", "-", verdict.c_str());
    }
}

// ---- any-length complex DFT and real transforms ---------------------------

// Our complex DFT of one precision, in place, forward, unscaled.
template <class R> struct Dft;
template <> struct Dft<float> {
    using C = Fxrs32fc;
    using Ctx = FxrsDFTCtx_C_32fc;
    static FxrStatus init(Ctx **c, int n) { return fxrsDFTInitAlloc_C_32fc(c, n, FXR_FFT_NODIV_BY_ANY, 0); }
    static FxrStatus size(Ctx *c, int *s) { return fxrsDFTGetBufSize_C_32fc(c, s); }
    static FxrStatus fwd(C *d, Ctx *c, uint8_t *b) { return fxrsDFTFwd_CToC_32fc(d, d, c, b); }
    static void release(Ctx *c) { fxrsDFTFree_C_32fc(c); }
};
template <> struct Dft<double> {
    using C = Fxrs64fc;
    using Ctx = FxrsDFTCtx_C_64fc;
    static FxrStatus init(Ctx **c, int n) { return fxrsDFTInitAlloc_C_64fc(c, n, FXR_FFT_NODIV_BY_ANY, 0); }
    static FxrStatus size(Ctx *c, int *s) { return fxrsDFTGetBufSize_C_64fc(c, s); }
    static FxrStatus fwd(C *d, Ctx *c, uint8_t *b) { return fxrsDFTFwd_CToC_64fc(d, d, c, b); }
    static void release(Ctx *c) { fxrsDFTFree_C_64fc(c); }
};

// Our real transform of one precision, forward into Perm, unscaled: the
// real FFT for powers of two, the real DFT otherwise.
template <class R> struct Real;
template <> struct Real<float> {
    using Ctx = FxrsDFTCtx_R_32f;
    static FxrStatus init(Ctx **c, int n) { return fxrsDFTInitAlloc_R_32f(c, n, FXR_FFT_NODIV_BY_ANY, 0); }
    static FxrStatus size(Ctx *c, int *s) { return fxrsDFTGetBufSize_R_32f(c, s); }
    static FxrStatus fwd(const float *x, float *y, Ctx *c, uint8_t *b) { return fxrsDFTFwd_RToPerm_32f(x, y, c, b); }
    static void release(Ctx *c) { fxrsDFTFree_R_32f(c); }
};
template <> struct Real<double> {
    using Ctx = FxrsDFTCtx_R_64f;
    static FxrStatus init(Ctx **c, int n) { return fxrsDFTInitAlloc_R_64f(c, n, FXR_FFT_NODIV_BY_ANY, 0); }
    static FxrStatus size(Ctx *c, int *s) { return fxrsDFTGetBufSize_R_64f(c, s); }
    static FxrStatus fwd(const double *x, double *y, Ctx *c, uint8_t *b) { return fxrsDFTFwd_RToPerm_64f(x, y, c, b); }
    static void release(Ctx *c) { fxrsDFTFree_R_64f(c); }
};

double mflops_n(long n, double seconds, bool real)
{
    return (real ? 2.5 : 5.0) * (double)n * std::log2((double)n) / (seconds * 1e6);
}

// The peer's complex in-place forward transform of n points (flags:
// measure, or measure without SIMD); 0 when it has none.
double peer_complex(FftwApi *peer, long n, unsigned flags, double min_time)
{
    if (!peer)
        return 0;
    void *pd = peer->alloc(n * peer->elem);
    void *plan = peer->plan((int)n, pd, pd, kFftwForward, flags);
    double r = 0;
    if (plan) {
        memset(pd, 0, n * peer->elem);
        r = mflops_n(n, best_seconds([&] { peer->execute(plan); }, min_time, n < 16384 ? 16 : 1), false);
        peer->destroy(plan);
    }
    peer->release(pd);
    return r;
}

// The peer's real-to-complex forward transform of n points, out of place.
double peer_real(FftwApi *peer, long n, unsigned flags, double min_time)
{
    if (!peer)
        return 0;
    typedef void *(*R2c)(int, void *, void *, unsigned);
    R2c r2c = (R2c)dlsym(peer->handle, peer->elem == 8 ? "fftwf_plan_dft_r2c_1d"
                                      : peer->elem == 16 ? "fftw_plan_dft_r2c_1d"
                                                         : "fftwl_plan_dft_r2c_1d");
    if (!r2c)
        return 0;
    void *in = peer->alloc(n * peer->elem / 2), *out = peer->alloc((n / 2 + 1) * peer->elem);
    void *plan = r2c((int)n, in, out, flags);
    double r = 0;
    if (plan) {
        memset(in, 0, n * peer->elem / 2);
        r = mflops_n(n, best_seconds([&] { peer->execute(plan); }, min_time, n < 16384 ? 16 : 1), true);
        peer->destroy(plan);
    }
    peer->release(in);
    peer->release(out);
    return r;
}

template <class R> double ours_complex(long n, double min_time)
{
    using D = Dft<R>;
    typename D::Ctx *ctx = nullptr;
    if (D::init(&ctx, (int)n) != 0)
        return 0;
    int bytes = 0;
    D::size(ctx, &bytes);
    uint8_t *buf = bytes > 0 ? fxrsMalloc_8u(bytes) : nullptr;
    typename D::C *d = (typename D::C *)fxrsMalloc_8u((int)(n * sizeof(typename D::C)));
    for (long i = 0; i < n; ++i)
        d[i] = typename D::C{R(i % 7) * R(0.125), R(i % 5) * R(-0.25)};
    double r = mflops_n(n, best_seconds([&] { D::fwd(d, ctx, buf); }, min_time, n < 16384 ? 16 : 1), false);
    fxrsFree(d);
    fxrsFree(buf);
    D::release(ctx);
    return r;
}

template <class R> double ours_real(long n, double min_time)
{
    using D = Real<R>;
    typename D::Ctx *ctx = nullptr;
    if (D::init(&ctx, (int)n) != 0)
        return 0;
    int bytes = 0;
    D::size(ctx, &bytes);
    uint8_t *buf = bytes > 0 ? fxrsMalloc_8u(bytes) : nullptr;
    R *x = (R *)fxrsMalloc_8u((int)(n * sizeof(R))), *y = (R *)fxrsMalloc_8u((int)(n * sizeof(R)));
    for (long i = 0; i < n; ++i)
        x[i] = R(i % 7) * R(0.125);
    double r = mflops_n(n, best_seconds([&] { D::fwd(x, y, ctx, buf); }, min_time, n < 16384 ? 16 : 1), true);
    fxrsFree(x);
    fxrsFree(y);
    fxrsFree(buf);
    D::release(ctx);
    return r;
}

void cell(double v)
{
    if (v > 0)
        printf(" %9.0f", v);
    else
        printf(" %9s", "-");
}
void ratio(double a, double b)
{
    if (a > 0 && b > 0)
        printf(" %8.2f", a / b);
    else
        printf(" %8s", "-");
}

// Complex DFT of any length: ours beside the peer with and without SIMD
// (and, in double, the peer's long-double build); the last column is our
// rate against our own at 16384 points (a power of two).
template <class R>
void dft_table(const char *name, const std::vector<long> &lens, FftwApi *peer, FftwApi *peerL,
               double min_time)
{
    const double ref16k = ours_complex<R>(16384, min_time);
    for (long n : lens) {
        const double z = ours_complex<R>(n, min_time);
        const double p = peer_complex(peer, n, kFftwMeasure, min_time);
        const double q = peer_complex(peer, n, kFftwMeasure | kFftwNoSimd, min_time);
        const double l = peerL ? peer_complex(peerL, n, kFftwMeasure, min_time) : 0;
        printf("%-7s %7ld", name, n);
        cell(z), cell(p), cell(q), cell(l);
        ratio(z, p), ratio(z, q), ratio(z, l), ratio(z, ref16k);
        printf("\n");
    }
}

// Real transforms: ours beside the peer's real transform (with and without
// SIMD) and beside our own complex transform of half the length.
template <class R>
void real_table(const char *name, const std::vector<long> &lens, FftwApi *peer, double min_time)
{
    for (long n : lens) {
        const double z = ours_real<R>(n, min_time);
        const double half = ours_complex<R>(n / 2, min_time);
        const double p = peer_real(peer, n, kFftwMeasure, min_time);
        const double q = peer_real(peer, n, kFftwMeasure | kFftwNoSimd, min_time);
        printf("%-7s %7ld", name, n);
        cell(z), cell(half), cell(p), cell(q);
        ratio(z, half), ratio(z, p), ratio(z, q);
        printf("\n");
    }
}

void run_dft(FftwApi *pf, FftwApi *pd, FftwApi *pl, double min_time)
{
    const std::vector<long> lens = {1000, 1536, 3000, 10007, 100000};
    printf("\ncomplex DFT, in-place forward, any length; \"mflops\" = 5 N log2 N / t(us)\n");
    printf("%-7s %7s %9s %9s %9s %9s %8s %8s %8s %8s\n", "prec", "N", "zem", "peer", "peer-nos",
           "peer-ld", "/peer", "/nosimd", "/ld", "/own16k");
    dft_table<float>("single", lens, pf, nullptr, min_time);
    dft_table<double>("double", lens, pd, pl, min_time);
    const std::vector<long> rl = {256, 1024, 4096, 65536, 1048576, 1000};
    printf("\nreal forward transform into Perm; \"mflops\" = 2.5 N log2 N / t(us); half = our complex DFT of N/2\n");
    printf("%-7s %7s %9s %9s %9s %9s %8s %8s %8s\n", "prec", "N", "zem", "half", "peer", "peer-nos",
           "/half", "/peer", "/nosimd");
    real_table<float>("single", rl, pf, min_time);
    real_table<double>("double", rl, pd, min_time);
}

} // namespace

double zembench::engine_mflops(char type, int order, double min_time)
{
    if (type == 's') {
        EngineRun<float> run(order);
        return run.ctx ? run.rate(min_time) : 0;
    }
    EngineRun<double> run(order);
    return run.ctx ? run.rate(min_time) : 0;
}

double zembench::dft_mflops(char type, long n, double min_time)
{
    return type == 's' ? ours_complex<float>(n, min_time) : ours_complex<double>(n, min_time);
}

double zembench::real_mflops(char type, long n, double min_time)
{
    return type == 's' ? ours_real<float>(n, min_time) : ours_real<double>(n, min_time);
}

double zembench::fftw_mflops(FftwApi *peer, long n, unsigned flags, double min_time)
{
    return peer_complex(peer, n, flags, min_time);
}

int zem_bench_dfti(double min_time);
int zem_bench_fft_legacy(const std::vector<int> &orders, bool use_peer, bool check, double min_time);

int zem_bench_fft(int argc, char **argv)
{
    std::vector<int> orders = {6, 10, 16, 20};
    bool check = false, use_peer = true, dft = true, pow2 = true, dfti_only = false;
    double min_time = 0.2;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--full") {
            orders.clear();
            for (int o = 6; o <= 22; ++o)
                orders.push_back(o);
        } else if (a == "--orders" && i + 1 < argc) {
            orders.clear();
            for (char *p = argv[++i]; *p;) {
                orders.push_back((int)strtol(p, &p, 10));
                if (*p == ',')
                    ++p;
                else
                    break;
            }
        } else if (a == "--dfti") {
            dfti_only = true;
        } else if (a == "--check") {
            check = true;
        } else if (a == "--dft-only") {
            pow2 = false;
        } else if (a == "--no-dft") {
            dft = false;
        } else if (a == "--no-peer") {
            use_peer = false;
        } else if (a == "--time" && i + 1 < argc) {
            min_time = atof(argv[++i]);
        } else {
            printf("usage: zem-bench fft [--full] [--orders 6,10,...] [--check] [--no-peer] [--time SECONDS]"
                   " [--dft-only | --no-dft] [--dfti]\n");
            return a == "--help" || a == "-h" ? 0 : 2;
        }
    }
    if (dfti_only)
        return zem_bench_dfti(min_time);
    FftwApi fftwf, fftw;
    bool have_f = use_peer && fftwf.load("libfftw3f.so.3", "fftwf_", sizeof(Fxrs32fc));
    bool have_d = use_peer && fftw.load("libfftw3.so.3", "fftw_", sizeof(Fxrs64fc));
    FftwApi fftwl;
    bool have_l = use_peer && fftwl.load("libfftw3l.so.3", "fftwl_", 2 * sizeof(long double));
    printf("zem-bench fft: in-place forward complex FFT of N = 2^order points; \"mflops\" = 5 N log2 N / t(us), best of repetitions\n");
    printf("peer: %s\n", have_f || have_d ? "FFTW (planned with FFTW_MEASURE)" : "none loaded");
    printf("%-7s %5s %12s %12s %10s  %s\n", "prec", "order", "zem", "peer", "zem/peer", check ? "check (rms rel. error)" : "");
    int failures = 0;
    if (pow2) {
        run_precision<float>(orders, have_f ? &fftwf : nullptr, check, min_time, failures);
        run_precision<double>(orders, have_d ? &fftw : nullptr, check, min_time, failures);
        failures += zem_bench_fft_legacy(orders, use_peer, check, min_time);
    }
    if (dft)
        run_dft(have_f ? &fftwf : nullptr, have_d ? &fftw : nullptr, have_l ? &fftwl : nullptr, min_time);
    if (check)
        printf("check: %s\n", failures ? "FAILED" : "all transforms verified");
    return failures ? 1 : 0;
}
