// Complex in-place forward FFT, N = 2^6 ... 2^22, both precisions, in
// "mflops" = 5 N log2 N / t(us), with FFTW side by side when installed
// (planned with FFTW_MEASURE, and again with FFTW_NO_SIMD; for double also
// its long-double build, which runs on the x87 unit as ours does).
// FFTW is loaded at run time; nothing extra is linked.
//
//   fft_bench [--min=6] [--max=22] [google-benchmark options]
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "fxrs.h"
#include "peers.h"

namespace {

using zembench::FftwApi;
using zembench::kFftwForward;
using zembench::kFftwMeasure;
using zembench::kFftwNoSimd;
FftwApi g_fftwf, g_fftw, g_fftwl;
bool g_has_f, g_has_d, g_has_l;

double flops(int order) { return 5.0 * std::ldexp(1.0, order) * order; }

void set_counter(benchmark::State &st, int order)
{
    st.counters["mflops"] = benchmark::Counter(flops(order) / 1e6,
                                               benchmark::Counter::kIsIterationInvariantRate);
}

template <typename T> void fill(T *x, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        x[i] = (T)std::sin(0.37 * (double)i) * (T)0.5;
}

template <class R>
void ours(benchmark::State &st, int order)
{
    using E = zembench::Engine<R>;
    typename E::Ctx *s = nullptr;
    if (E::init(&s, order) != fxrStsNoErr) {
        st.SkipWithError("InitAlloc failed");
        return;
    }
    int bs = 0;
    E::bufsize(s, &bs);
    const size_t N = (size_t)1 << order;
    typename E::C *x = (typename E::C *)fxrsMalloc_8u((int)(N * sizeof(typename E::C)));
    uint8_t *buf = bs ? fxrsMalloc_8u(bs) : nullptr;
    fill((R *)x, 2 * N);
    for (auto _ : st) {
        E::fwd(x, s, buf);
        benchmark::ClobberMemory();
    }
    set_counter(st, order);
    fxrsFree(buf);
    fxrsFree(x);
    E::release(s);
}

void fftw(benchmark::State &st, const FftwApi *f, int order, unsigned flags)
{
    const size_t N = (size_t)1 << order;
    void *x = f->alloc(N * f->elem);
    memset(x, 0, N * f->elem);
    void *p = f->plan((int)N, x, x, kFftwForward, kFftwMeasure | flags);
    if (f->elem == 8)
        fill((float *)x, 2 * N);
    else if (f->elem == 16)
        fill((double *)x, 2 * N);
    else
        fill((long double *)x, 2 * N);
    for (auto _ : st) {
        f->execute(p);
        benchmark::ClobberMemory();
    }
    set_counter(st, order);
    f->destroy(p);
    f->release(x);
}

// Collects every run's mflops for the closing ratio table.
class Collect : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> mflops;
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &r : runs) {
            auto it = r.counters.find("mflops");
            if (it != r.counters.end() && !r.error_occurred)
                mflops[r.benchmark_name()] = it->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

std::string name(const char *who, const char *prec, int order)
{
    char b[64];
    snprintf(b, sizeof b, "%s/%s/%d", who, prec, order);
    return b;
}

} // namespace

int main(int argc, char **argv)
{
    int lo = 6, hi = 22;
    std::vector<char *> rest;
    for (int i = 0; i < argc; ++i) {
        if (!strncmp(argv[i], "--min=", 6))
            lo = atoi(argv[i] + 6);
        else if (!strncmp(argv[i], "--max=", 6))
            hi = atoi(argv[i] + 6);
        else
            rest.push_back(argv[i]);
    }
    int rc = (int)rest.size();
    g_has_f = g_fftwf.load("libfftw3f.so.3", "fftwf_", 8);
    g_has_d = g_fftw.load("libfftw3.so.3", "fftw_", 16);
    g_has_l = g_fftwl.load("libfftw3l.so.3", "fftwl_", 2 * sizeof(long double));
    for (int o = lo; o <= hi; ++o) {
        benchmark::RegisterBenchmark(name("zem", "c32", o).c_str(), ours<float>, o);
        if (g_has_f) {
            benchmark::RegisterBenchmark(name("fftw", "c32", o).c_str(), fftw, &g_fftwf, o, 0u);
            benchmark::RegisterBenchmark(name("fftw_nosimd", "c32", o).c_str(), fftw, &g_fftwf,
                                         o, kFftwNoSimd);
        }
    }
    for (int o = lo; o <= hi; ++o) {
        benchmark::RegisterBenchmark(name("zem", "c64", o).c_str(), ours<double>, o);
        if (g_has_d) {
            benchmark::RegisterBenchmark(name("fftw", "c64", o).c_str(), fftw, &g_fftw, o, 0u);
            benchmark::RegisterBenchmark(name("fftw_nosimd", "c64", o).c_str(), fftw, &g_fftw, o,
                                         kFftwNoSimd);
        }
        if (g_has_l)
            benchmark::RegisterBenchmark(name("fftw_x87", "c64", o).c_str(), fftw, &g_fftwl, o,
                                         0u);
    }
    benchmark::Initialize(&rc, rest.data());
    Collect rep;
    benchmark::RunSpecifiedBenchmarks(&rep);

    // Ratio table: ours over each peer (above 1: ours is faster).
    printf("\n%-5s %5s %10s %10s %8s %12s %8s %10s %8s\n", "prec", "log2N", "zem", "fftw",
           "ratio", "fftw_nosimd", "ratio", "fftw_x87", "ratio");
    for (const char *prec : {"c32", "c64"})
        for (int o = lo; o <= hi; ++o) {
            auto get = [&](const char *who) {
                auto it = rep.mflops.find(name(who, prec, o));
                return it == rep.mflops.end() ? 0.0 : it->second;
            };
            double z = get("zem"), f = get("fftw"), n = get("fftw_nosimd"), l = get("fftw_x87");
            if (z == 0)
                continue;
            auto ratio = [&](double p) { return p > 0 ? z / p : 0.0; };
            printf("%-5s %5d %10.0f %10.0f %8.2f %12.0f %8.2f %10.0f %8.2f\n", prec, o, z, f,
                   ratio(f), n, ratio(n), l, ratio(l));
        }
    benchmark::Shutdown();
    return 0;
}
