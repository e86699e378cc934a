// zem-bench fft, second table: the fixed-argument FFT routines (cfft1d,
// zfft1d in place, natural order; scfft1d, dzfft1d real forward) beside
// the engine's complex FFT of the same length, FFTW of the same precision
// and, for double precision, FFTW's long-double code (the x87 peer).
// "mflops" = 5 N log2 N / t(us) for complex, half that for real; best of
// the repetitions. --check verifies each routine's forward transform
// against a plain long-double DFT (orders up to 12) or a round trip.
#include <dlfcn.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

#include <chrono>
#include <complex>
#include <string>
#include <vector>

#include "fxrs.h"
#include "zem_bench.h"
#include "zem_fft.h"

namespace {

using zembench::Engine;
using zembench::FftwApi;

using zembench::best_seconds;

// FFTW's real-to-complex planner of one precision, beside its complex one.
struct FftwPeer : FftwApi {
    void *(*plan_r2c)(int, void *, void *, unsigned) = nullptr;
    bool open(const char *lib, const char *prefix, size_t elem)
    {
        if (!load(lib, prefix, elem))
            return false;
        plan_r2c = (void *(*)(int, void *, void *, unsigned))dlsym(handle, (std::string(prefix) + "plan_dft_r2c_1d").c_str());
        return plan_r2c != nullptr;
    }
    // Best time of one transform of 2^order points (complex or real).
    double time(int order, bool real, double min_time, int batch)
    {
        const int n = 1 << order;
        const size_t bytes = (2 * (size_t)n + 2) * elem; // elem: bytes of one real
        void *d = alloc(bytes);
        memset(d, 0, bytes);
        void *p = real ? plan_r2c(n, d, d, zembench::kFftwMeasure)
                       : plan(n, d, d, zembench::kFftwForward, zembench::kFftwMeasure);
        double t = best_seconds([&] { execute(p); }, min_time, batch);
        destroy(p);
        release(d);
        return t;
    }
};

template <class R> struct Legacy;
template <> struct Legacy<float> {
    static void c(float *x, int n, int s, float *w) { cfft1d_((ZEM_Complex8 *)x, &n, &s, w); }
    static void r(float *x, int n, int s, float *w) { scfft1d_(x, &n, &s, w); }
    static void rb(float *x, int n, int s, float *w) { csfft1d_(x, &n, &s, w); }
    static constexpr const char *cname = "cfft1d", *rname = "scfft1d";
};
template <> struct Legacy<double> {
    static void c(double *x, int n, int s, double *w) { zfft1d_((ZEM_Complex16 *)x, &n, &s, w); }
    static void r(double *x, int n, int s, double *w) { dzfft1d_(x, &n, &s, w); }
    static void rb(double *x, int n, int s, double *w) { zdfft1d_(x, &n, &s, w); }
    static constexpr const char *cname = "zfft1d", *rname = "dzfft1d";
};

// RMS relative error of the forward transform of x (complex when !real).
template <class R> double check_error(int order, bool real)
{
    const int n = 1 << order;
    std::vector<R> x(2 * (size_t)n + 2), y, w(3 * (size_t)n + 64);
    for (size_t i = 0; i < x.size(); ++i)
        x[i] = (R)(((i * 7919) % 1000) / 500.0 - 1.0);
    if (real)
        x.resize(n + 2);
    y = x;
    (real ? Legacy<R>::r : Legacy<R>::c)(y.data(), n, 0, w.data());
    (real ? Legacy<R>::r : Legacy<R>::c)(y.data(), n, -1, w.data());
    long double err = 0, norm = 0;
    typedef std::complex<long double> C;
    auto in = [&](int j) { return real ? C(x[j], 0) : C(x[2 * j], x[2 * j + 1]); };
    const int outs = real ? n / 2 + 1 : n;
    if (order <= 12) {
        for (int k = 0; k < outs; ++k) {
            C s = 0;
            for (int j = 0; j < n; ++j)
                s += in(j) * std::polar(1.0L, -6.283185307179586476925L * (long double)(((long long)j * k) % n) / n);
            err += std::norm(s - C(y[2 * k], y[2 * k + 1]));
            norm += std::norm(s);
        }
    } else {
        (real ? Legacy<R>::rb : Legacy<R>::c)(y.data(), n, 1, w.data());
        for (int j = 0; j < n; ++j) {
            C got = real ? C(y[j], 0) : C(y[2 * j], y[2 * j + 1]);
            err += std::norm(got - in(j));
            norm += std::norm(in(j));
        }
    }
    return (double)sqrtl(err / (norm > 0 ? norm : 1));
}

void cell(double v) { v > 0 ? printf(" %10.0f", v) : printf(" %10s", "-"); }
void ratio(double a, double b) { b > 0 ? printf(" %9.2f", a / b) : printf(" %9s", "-"); }

// "mflops" of one forward transform of 2^order points (real: the n + 2
// layout, mflops halved), its table built first.
template <class R>
double legacy_rate(int order, bool real, double min_time)
{
    const int n = 1 << order, batch = order < 14 ? 1 << (14 - order) : 1;
    std::vector<R> w(3 * (size_t)n + 64);
    R *x = (R *)fxrsMalloc_8u((int)((2 * (size_t)n + 2) * sizeof(R)));
    for (size_t i = 0; i < 2 * (size_t)n + 2; ++i)
        x[i] = (R)((i % 7) * 0.125);
    auto routine = real ? Legacy<R>::r : Legacy<R>::c;
    routine(x, n, 0, w.data());
    const double t = best_seconds([&] { routine(x, n, -1, w.data()); }, min_time, batch);
    fxrsFree(x);
    return (real ? 2.5 : 5.0) * n * order / 1e6 / t;
}

template <class R>
void run(const std::vector<int> &orders, FftwPeer *peer, FftwPeer *peerl, bool check, double min_time, int &failures)
{
    for (int order : orders) {
        const int batch = order < 14 ? 1 << (14 - order) : 1;
        const double flops = 5.0 * std::ldexp(1.0, order) * order / 1e6;
        // the engine's in-place complex FFT of the same length
        const double eng = zembench::engine_mflops(sizeof(R) == 4 ? 's' : 'd', order, min_time);
        for (bool real : {false, true}) {
            const double f = real ? flops / 2 : flops;
            const double zem = legacy_rate<R>(order, real, min_time);
            printf("%-7s %5d %-8s", Engine<R>::name, order, real ? Legacy<R>::rname : Legacy<R>::cname);
            cell(zem);
            if (!real)
                cell(eng);
            else
                printf(" %10s", "");
            const double p = peer ? f / peer->time(order, real, min_time, batch) : 0;
            const double pl = peerl ? f / peerl->time(order, real, min_time, batch) : 0;
            cell(p);
            if (sizeof(R) == 8)
                cell(pl);
            else
                printf(" %10s", "");
            if (real)
                printf(" %9s", "");
            else
                ratio(zem, eng);
            ratio(zem, p);
            if (sizeof(R) == 8)
                ratio(zem, pl);
            else
                printf(" %9s", "");
            if (check) {
                double e = check_error<R>(order, real);
                bool ok = e <= Engine<R>::tol * (order + 1) * 8;
                failures += ok ? 0 : 1;
                printf("  %s %.1e", ok ? "ok" : "FAILED", e);
            }
            printf("\n");
        }
    }
}

} // namespace

double zembench::legacy_mflops(char type, int order, double min_time)
{
    return type == 's' ? legacy_rate<float>(order, false, min_time) : legacy_rate<double>(order, false, min_time);
}

// The table of the fixed-argument routines, after the engine's.
int zem_bench_fft_legacy(const std::vector<int> &orders, bool use_peer, bool check, double min_time)
{
    FftwPeer f, d, l;
    const bool hf = use_peer && f.open("libfftw3f.so.3", "fftwf_", sizeof(float));
    const bool hd = use_peer && d.open("libfftw3.so.3", "fftw_", sizeof(double));
    const bool hl = use_peer && l.open("libfftw3l.so.3", "fftwl_", sizeof(long double));
    printf("\nfixed-argument routines: in place, forward, natural order (real: n + 2 layout, mflops halved)\n");
    printf("%-7s %5s %-8s %10s %10s %10s %10s %9s %9s %9s\n", "prec", "order", "routine", "zem", "engine",
           "fftw", "fftw-ld", "/engine", "/fftw", "/fftw-ld");
    int failures = 0;
    run<float>(orders, hf ? &f : nullptr, nullptr, check, min_time, failures);
    run<double>(orders, hd ? &d : nullptr, hl ? &l : nullptr, check, min_time, failures);
    return failures;
}
