// Complex in-place forward FFT, N = 2^6 ... 2^22, both precisions, in
// "mflops" = 5 N log2 N / t(us), with FFTW side by side when installed
// (planned with FFTW_MEASURE, and again with FFTW_NO_SIMD; for double also
// its long-double build, which runs on the x87 unit as ours does).
// FFTW is loaded at run time; nothing extra is linked.
//
//   fft_bench [--min=6] [--max=22] [google-benchmark options]
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "fxrs.h"

namespace {

// ---- FFTW through dlopen -----------------------------------------------

const int kFftwForward = -1;
const unsigned kFftwMeasure = 0, kFftwNoSimd = 1u << 17;

struct Fftw {
    void *lib = nullptr;
    void *(*plan)(int, void *, void *, int, unsigned) = nullptr;
    void (*execute)(void *) = nullptr;
    void (*destroy)(void *) = nullptr;
    void *(*malloc_)(size_t) = nullptr;
    void (*free_)(void *) = nullptr;
    size_t elem = 0; // bytes of one complex element
    bool load(const char *so, const char *prefix, size_t e)
    {
        lib = dlopen(so, RTLD_NOW | RTLD_LOCAL);
        if (!lib)
            return false;
        auto sym = [&](const char *n) { return dlsym(lib, (std::string(prefix) + n).c_str()); };
        plan = (void *(*)(int, void *, void *, int, unsigned))sym("plan_dft_1d");
        execute = (void (*)(void *))sym("execute");
        destroy = (void (*)(void *))sym("destroy_plan");
        malloc_ = (void *(*)(size_t))sym("malloc");
        free_ = (void (*)(void *))sym("free");
        elem = e;
        return plan && execute && destroy && malloc_ && free_;
    }
};
Fftw g_fftwf, g_fftw, g_fftwl;
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

void ours32(benchmark::State &st, int order)
{
    FxrsFFTCtx_C_32fc *s = nullptr;
    if (fxrsFFTInitAlloc_C_32fc(&s, order, FXR_FFT_NODIV_BY_ANY, 0) != fxrStsNoErr) {
        st.SkipWithError("InitAlloc failed");
        return;
    }
    int bs = 0;
    fxrsFFTGetBufSize_C_32fc(s, &bs);
    const size_t N = (size_t)1 << order;
    Fxrs32fc *x = (Fxrs32fc *)fxrsMalloc_8u((int)(N * sizeof(Fxrs32fc)));
    uint8_t *buf = bs ? fxrsMalloc_8u(bs) : nullptr;
    fill((float *)x, 2 * N);
    for (auto _ : st) {
        fxrsFFTFwd_CToC_32fc(x, x, s, buf);
        benchmark::ClobberMemory();
    }
    set_counter(st, order);
    fxrsFree(buf);
    fxrsFree(x);
    fxrsFFTFree_C_32fc(s);
}

void ours64(benchmark::State &st, int order)
{
    FxrsFFTCtx_C_64fc *s = nullptr;
    if (fxrsFFTInitAlloc_C_64fc(&s, order, FXR_FFT_NODIV_BY_ANY, 0) != fxrStsNoErr) {
        st.SkipWithError("InitAlloc failed");
        return;
    }
    int bs = 0;
    fxrsFFTGetBufSize_C_64fc(s, &bs);
    const size_t N = (size_t)1 << order;
    Fxrs64fc *x = (Fxrs64fc *)fxrsMalloc_8u((int)(N * sizeof(Fxrs64fc)));
    uint8_t *buf = bs ? fxrsMalloc_8u(bs) : nullptr;
    fill((double *)x, 2 * N);
    for (auto _ : st) {
        fxrsFFTFwd_CToC_64fc(x, x, s, buf);
        benchmark::ClobberMemory();
    }
    set_counter(st, order);
    fxrsFree(buf);
    fxrsFree(x);
    fxrsFFTFree_C_64fc(s);
}

void fftw(benchmark::State &st, const Fftw *f, int order, unsigned flags)
{
    const size_t N = (size_t)1 << order;
    void *x = f->malloc_(N * f->elem);
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
    f->free_(x);
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
        benchmark::RegisterBenchmark(name("zem", "c32", o).c_str(), ours32, o);
        if (g_has_f) {
            benchmark::RegisterBenchmark(name("fftw", "c32", o).c_str(), fftw, &g_fftwf, o, 0u);
            benchmark::RegisterBenchmark(name("fftw_nosimd", "c32", o).c_str(), fftw, &g_fftwf,
                                         o, kFftwNoSimd);
        }
    }
    for (int o = lo; o <= hi; ++o) {
        benchmark::RegisterBenchmark(name("zem", "c64", o).c_str(), ours64, o);
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
