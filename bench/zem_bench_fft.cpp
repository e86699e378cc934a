// zem-bench fft: the transform part of the tour. Times the engine's
// in-place forward complex FFT of 2^order points in single and double
// precision, beside FFTW when it is installed (loaded with dlopen, planned
// with FFTW_MEASURE), and prints "mflops" = 5 N log2 N / t(us), best of
// the repetitions. --check first verifies every transform against a plain
// long-double DFT (orders up to 12) or a forward-inverse round trip.
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <chrono>
#include <complex>
#include <random>
#include <string>
#include <vector>

#include "fxrs.h"
#include "peers.h"

namespace {

using zembench::Engine;
using zembench::FftwApi;
using zembench::kFftwForward;
using zembench::kFftwMeasure;

double seconds_now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Best time of one call over repetitions filling about min_time seconds;
// small transforms are timed in batches so the clock can resolve them.
template <class F>
double best_time(F &&call, double min_time, int batch)
{
    call();
    double best = 1e30, start = seconds_now();
    int reps = 0;
    do {
        double t0 = seconds_now();
        for (int b = 0; b < batch; ++b)
            call();
        double t = (seconds_now() - t0) / batch;
        best = t < best ? t : best;
        ++reps;
    } while ((seconds_now() - start < min_time || reps < 3) && reps < 100000);
    return best;
}

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

template <class R>
void run_precision(const std::vector<int> &orders, FftwApi *peer, bool check, double min_time, int &failures)
{
    using E = Engine<R>;
    using C = typename E::C;
    for (int order : orders) {
        typename E::Ctx *ctx = nullptr;
        if (E::init(&ctx, order) != 0) {
            printf("%-7s %5d  (no context: not enough memory)\n", E::name, order);
            continue;
        }
        int bytes = 0;
        E::bufsize(ctx, &bytes);
        uint8_t *buf = bytes > 0 ? fxrsMalloc_8u(bytes) : nullptr;
        const size_t n = size_t(1) << order;
        C *data = (C *)fxrsMalloc_8u((int)(n * sizeof(C)));
        for (size_t i = 0; i < n; ++i)
            data[i] = C{R(i % 7) * R(0.125), R(i % 5) * R(-0.25)};
        std::string verdict;
        if (check) {
            double e = check_error<R>(order, ctx, buf);
            bool ok = e <= E::tol * (order > 0 ? order : 1) * 4;
            failures += ok ? 0 : 1;
            char text[48];
            snprintf(text, sizeof text, "%s %.1e", ok ? "ok" : "FAILED", e);
            verdict = text;
        }
        const int batch = order < 14 ? 1 << (14 - order) : 1;
        double zem = mflops(order, best_time([&] { E::fwd(data, ctx, buf); }, min_time, batch));
        double ref = 0;
        if (peer) {
            void *pd = peer->alloc(n * sizeof(C));
            void *plan = peer->plan((int)n, pd, pd, kFftwForward, kFftwMeasure);
            memset(pd, 0, n * sizeof(C));
            ref = mflops(order, best_time([&] { peer->execute(plan); }, min_time, batch));
            peer->destroy(plan);
            peer->release(pd);
        }
        if (ref > 0)
            printf("%-7s %5d %12.0f %12.0f %10.2f  %s\n", E::name, order, zem, ref, zem / ref, verdict.c_str());
        else
            printf("%-7s %5d %12.0f %12s %10s  %s\n", E::name, order, zem, "-", "-", verdict.c_str());
        fxrsFree(data);
        fxrsFree(buf);
        E::release(ctx);
    }
}

} // namespace

int zem_bench_dfti(double min_time);
int zem_bench_fft_legacy(const std::vector<int> &orders, bool use_peer, bool check, double min_time);

int zem_bench_fft(int argc, char **argv)
{
    std::vector<int> orders = {6, 10, 16, 20};
    bool check = false, use_peer = true, dfti_only = false;
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
        } else if (a == "--no-peer") {
            use_peer = false;
        } else if (a == "--time" && i + 1 < argc) {
            min_time = atof(argv[++i]);
        } else {
            printf("usage: zem-bench fft [--full] [--orders 6,10,...] [--check] [--no-peer] [--time SECONDS] [--dfti]\n");
            return a == "--help" || a == "-h" ? 0 : 2;
        }
    }
    if (dfti_only)
        return zem_bench_dfti(min_time);
    FftwApi fftwf, fftw;
    bool have_f = use_peer && fftwf.load("libfftw3f.so.3", "fftwf_", sizeof(Fxrs32fc));
    bool have_d = use_peer && fftw.load("libfftw3.so.3", "fftw_", sizeof(Fxrs64fc));
    printf("zem-bench fft: in-place forward complex FFT of N = 2^order points; \"mflops\" = 5 N log2 N / t(us), best of repetitions\n");
    printf("peer: %s\n", have_f || have_d ? "FFTW (planned with FFTW_MEASURE)" : "none loaded");
    printf("%-7s %5s %12s %12s %10s  %s\n", "prec", "order", "zem", "peer", "zem/peer", check ? "check (rms rel. error)" : "");
    int failures = 0;
    run_precision<float>(orders, have_f ? &fftwf : nullptr, check, min_time, failures);
    run_precision<double>(orders, have_d ? &fftw : nullptr, check, min_time, failures);
    failures += zem_bench_fft_legacy(orders, use_peer, check, min_time);
    if (check)
        printf("check: %s\n", failures ? "FAILED" : "all transforms verified");
    return failures ? 1 : 0;
}
