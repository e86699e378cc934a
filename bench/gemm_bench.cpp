// Matrix multiply (sgemm, dgemm, cgemm, zgemm) beside OpenBLAS (loaded at
// run time), square problems with 1 and 2 threads: GFLOPS (2mnk real,
// 8mnk complex) per run, then a table of both and the ratio zem/peer.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <omp.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "zem_blas.h"

namespace {

template <class T>
using GemmFn = void (*)(const char *, const char *, const int *, const int *, const int *, const T *, const T *,
                        const int *, const T *, const int *, const T *, T *, const int *);

struct Peer {
    void *h = nullptr;
    GemmFn<float> s = nullptr;
    GemmFn<double> d = nullptr;
    GemmFn<ZEM_Complex8> c = nullptr;
    GemmFn<ZEM_Complex16> z = nullptr;
    void (*threads)(int) = nullptr;
};

Peer &peer()
{
    static Peer p;
    static bool tried = false;
    if (tried)
        return p;
    tried = true;
    p.h = dlopen("libopenblas.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!p.h)
        return p;
    p.s = (GemmFn<float>)dlsym(p.h, "sgemm_");
    p.d = (GemmFn<double>)dlsym(p.h, "dgemm_");
    p.c = (GemmFn<ZEM_Complex8>)dlsym(p.h, "cgemm_");
    p.z = (GemmFn<ZEM_Complex16>)dlsym(p.h, "zgemm_");
    p.threads = (void (*)(int))dlsym(p.h, "openblas_set_num_threads");
    return p;
}

template <class T>
struct Ty;
template <>
struct Ty<float> {
    static constexpr double flops = 2;
    static GemmFn<float> ours() { return sgemm_; }
    static GemmFn<float> theirs() { return peer().s; }
    static float one() { return 1; }
    static float zero() { return 0; }
    static float make(double r, double) { return (float)r; }
};
template <>
struct Ty<double> {
    static constexpr double flops = 2;
    static GemmFn<double> ours() { return dgemm_; }
    static GemmFn<double> theirs() { return peer().d; }
    static double one() { return 1; }
    static double zero() { return 0; }
    static double make(double r, double) { return r; }
};
template <>
struct Ty<ZEM_Complex8> {
    static constexpr double flops = 8;
    static GemmFn<ZEM_Complex8> ours() { return cgemm_; }
    static GemmFn<ZEM_Complex8> theirs() { return peer().c; }
    static ZEM_Complex8 one() { return {1, 0}; }
    static ZEM_Complex8 zero() { return {0, 0}; }
    static ZEM_Complex8 make(double r, double i) { return {(float)r, (float)i}; }
};
template <>
struct Ty<ZEM_Complex16> {
    static constexpr double flops = 8;
    static GemmFn<ZEM_Complex16> ours() { return zgemm_; }
    static GemmFn<ZEM_Complex16> theirs() { return peer().z; }
    static ZEM_Complex16 one() { return {1, 0}; }
    static ZEM_Complex16 zero() { return {0, 0}; }
    static ZEM_Complex16 make(double r, double i) { return {r, i}; }
};

// Seconds per call, by "routine/n/threads", of zem [0] and the peer [1].
std::map<std::string, double> g_time[2];

template <class T>
void run(benchmark::State &st, int who)
{
    const int n = (int)st.range(0), threads = (int)st.range(1);
    GemmFn<T> f = who ? Ty<T>::theirs() : Ty<T>::ours();
    if (!f) {
        st.SkipWithError("peer not installed");
        return;
    }
    omp_set_num_threads(threads);
    if (who && peer().threads)
        peer().threads(threads);
    std::mt19937 g(1);
    std::uniform_real_distribution<double> u(-1, 1);
    std::vector<T> a((size_t)n * n), b(a.size()), c(a.size());
    for (size_t i = 0; i < a.size(); ++i) {
        a[i] = Ty<T>::make(u(g), u(g));
        b[i] = Ty<T>::make(u(g), u(g));
    }
    const T one = Ty<T>::one(), zero = Ty<T>::zero();
    for (auto _ : st) {
        f("N", "N", &n, &n, &n, &one, a.data(), &n, b.data(), &n, &zero, c.data(), &n);
        benchmark::DoNotOptimize(c.data());
    }
    st.counters["GFLOPS"] =
        benchmark::Counter(Ty<T>::flops * n * (double)n * n * (double)st.iterations() * 1e-9, benchmark::Counter::kIsRate);
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &r : runs) {
            if (r.error_occurred || r.run_type != Run::RT_Iteration)
                continue;
            const std::string name = r.benchmark_name();
            const bool theirs = name.rfind("openblas/", 0) == 0;
            const std::string key = name.substr(name.find('/') + 1);
            g_time[theirs][key.substr(0, key.find("/real_time"))] = r.GetAdjustedRealTime();
        }
    }
};

} // namespace

int main(int argc, char **argv)
{
    // parallel mode needs OMP_NUM_THREADS before the library's first call
    setenv("OMP_NUM_THREADS", "2", 0);
    std::vector<std::string> order;
    const char *names[] = {"sgemm", "dgemm", "cgemm", "zgemm"};
    for (int t = 0; t < 4; ++t)
        for (int n : {64, 256, 512})
            for (int threads : {1, 2}) {
                order.push_back(std::string(names[t]) + "/" + std::to_string(n) + "/" + std::to_string(threads));
                for (int who = 0; who < 2; ++who) {
                    const std::string name = std::string(who ? "openblas/" : "zem/") + names[t];
                    benchmark::internal::Benchmark *b = nullptr;
                    switch (t) {
                    case 0: b = benchmark::RegisterBenchmark(name.c_str(), [who](benchmark::State &s) { run<float>(s, who); }); break;
                    case 1: b = benchmark::RegisterBenchmark(name.c_str(), [who](benchmark::State &s) { run<double>(s, who); }); break;
                    case 2: b = benchmark::RegisterBenchmark(name.c_str(), [who](benchmark::State &s) { run<ZEM_Complex8>(s, who); }); break;
                    default: b = benchmark::RegisterBenchmark(name.c_str(), [who](benchmark::State &s) { run<ZEM_Complex16>(s, who); }); break;
                    }
                    b->Args({n, threads})->UseRealTime()->Unit(benchmark::kMillisecond);
                }
            }
    benchmark::Initialize(&argc, argv);
    RatioReporter rep;
    benchmark::RunSpecifiedBenchmarks(&rep);
    printf("\n%-18s %12s %14s %8s\n", "routine/n/threads", "zem GFLOPS", "openblas GFLOPS", "zem/peer");
    for (const std::string &k : order) {
        auto a = g_time[0].find(k), b = g_time[1].find(k);
        if (a == g_time[0].end())
            continue;
        const int n = atoi(k.c_str() + k.find('/') + 1);
        const double fl = (k[0] == 'c' || k[0] == 'z' ? 8.0 : 2.0) * n * (double)n * n * 1e-9;
        // times are in the benchmarks' unit (milliseconds)
        const double ours = fl / (a->second * 1e-3);
        if (b == g_time[1].end())
            printf("%-18s %12.2f %14s %8s\n", k.c_str(), ours, "-", "-");
        else
            printf("%-18s %12.2f %14.2f %8.2f\n", k.c_str(), ours, fl / (b->second * 1e-3), a->second > 0 ? b->second / a->second : 0.0);
    }
    return 0;
}
