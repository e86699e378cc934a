// Euclidean norms snrm2 and dnrm2 (unit stride) beside OpenBLAS, loaded at
// run time, at n = 1e3, 1e5 and 1e7. After the usual table the program
// prints the CPU-time ratio of each pair (OpenBLAS time / ours: above 1 means
// we are faster).
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>
#include "peers.h"
#include "zem_blas.h"

namespace {

typedef float (*snrm2_fn)(int, const float *, int);
typedef double (*dnrm2_fn)(int, const double *, int);
snrm2_fn peer_snrm2;
dnrm2_fn peer_dnrm2;

template <typename T> const std::vector<T> &data(std::size_t n)
{
    static std::map<std::size_t, std::vector<T>> cache;
    std::vector<T> &v = cache[n];
    if (v.empty()) {
        std::mt19937 g(1);
        std::uniform_real_distribution<double> u(-1, 1);
        v.resize(n);
        for (T &e : v)
            e = T(u(g));
    }
    return v;
}

template <typename T, typename F> void run(benchmark::State &st, F call)
{
    const int n = int(st.range(0));
    const std::vector<T> &x = data<T>(n);
    for (auto _ : st)
        benchmark::DoNotOptimize(call(n, x.data()));
    st.SetBytesProcessed(int64_t(st.iterations()) * n * int64_t(sizeof(T)));
}

void zem_s(benchmark::State &st)
{
    run<float>(st, [](int n, const float *x) { int one = 1; return snrm2_(&n, x, &one); });
}
void zem_d(benchmark::State &st)
{
    run<double>(st, [](int n, const double *x) { int one = 1; return dnrm2_(&n, x, &one); });
}
void peer_s(benchmark::State &st)
{
    run<float>(st, [](int n, const float *x) { return peer_snrm2(n, x, 1); });
}
void peer_d(benchmark::State &st)
{
    run<double>(st, [](int n, const double *x) { return peer_dnrm2(n, x, 1); });
}

// Remembers the CPU time per iteration of every benchmark for the ratio
// table (both sides run on one thread; CPU time is steadier than wall
// time on a shared machine).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> times;
    void ReportRuns(const std::vector<Run> &runs) override
    {
        // With repetitions, the median stands for the run.
        for (const Run &r : runs)
            if (r.run_type == Run::RT_Iteration || r.aggregate_name == "median")
                times[r.run_name.str()] = r.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (zembench::openblas()) {
        zembench::openblas_sym(peer_snrm2, "cblas_snrm2");
        zembench::openblas_sym(peer_dnrm2, "cblas_dnrm2");
        zembench::openblas_one_thread();
    } else {
        std::printf("libopenblas.so.0 not found: timing this library alone\n");
    }
    const std::vector<int64_t> sizes = {1000, 100000, 10000000};
    for (int64_t n : sizes) {
        benchmark::RegisterBenchmark("snrm2/zem", zem_s)->Arg(n);
        if (peer_snrm2)
            benchmark::RegisterBenchmark("snrm2/openblas", peer_s)->Arg(n);
        benchmark::RegisterBenchmark("dnrm2/zem", zem_d)->Arg(n);
        if (peer_dnrm2)
            benchmark::RegisterBenchmark("dnrm2/openblas", peer_d)->Arg(n);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter rep;
    benchmark::RunSpecifiedBenchmarks(&rep);
    if (peer_snrm2 && peer_dnrm2) {
        std::printf("\nratio openblas time / zem time (> 1: zem faster)\n");
        for (const char *r : {"snrm2", "dnrm2"})
            for (int64_t n : sizes) {
                std::string tail = "/" + std::to_string(n);
                auto z = rep.times.find(std::string(r) + "/zem" + tail);
                auto o = rep.times.find(std::string(r) + "/openblas" + tail);
                if (z != rep.times.end() && o != rep.times.end())
                    std::printf("  %s n=%-9lld %6.2f\n", r, static_cast<long long>(n), o->second / z->second);
            }
    }
    benchmark::Shutdown();
    return 0;
}
