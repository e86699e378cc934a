// Matrix multiply (sgemm, dgemm, cgemm, zgemm) beside OpenBLAS (loaded at
// run time), square problems with 1 and 2 threads: GFLOPS (2mnk real,
// 8mnk complex) per run, then a table of both and the ratio zem/peer.
#include <benchmark/benchmark.h>
#include <omp.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "peers.h"
#include "zem_blas.h"

namespace {

using zembench::GemmFn;
using zembench::GemmTy;

// OpenBLAS, loaded on first use.
zembench::GemmPeer &peer()
{
    static zembench::GemmPeer p = [] {
        zembench::GemmPeer q;
        q.open();
        return q;
    }();
    return p;
}

template <class T>
void run(benchmark::State &st, int who)
{
    const int n = (int)st.range(0), threads = (int)st.range(1);
    GemmFn<T> f = who ? GemmTy<T>::peer(peer()) : GemmTy<T>::ours();
    if (!f) {
        st.SkipWithError("peer not installed");
        return;
    }
    omp_set_num_threads(threads);
    if (who && peer().set_threads)
        peer().set_threads(threads);
    std::mt19937 g(1);
    std::uniform_real_distribution<double> u(-1, 1);
    std::vector<T> a((size_t)n * n), b(a.size()), c(a.size());
    for (size_t i = 0; i < a.size(); ++i) {
        a[i] = GemmTy<T>::make(u(g), u(g));
        b[i] = GemmTy<T>::make(u(g), u(g));
    }
    const T one = GemmTy<T>::make(1, 0), zero = GemmTy<T>::make(0, 0);
    for (auto _ : st) {
        f("N", "N", &n, &n, &n, &one, a.data(), &n, b.data(), &n, &zero, c.data(), &n);
        benchmark::DoNotOptimize(c.data());
    }
    st.counters["GFLOPS"] =
        benchmark::Counter(GemmTy<T>::flops * n * (double)n * n * (double)st.iterations() * 1e-9, benchmark::Counter::kIsRate);
}

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
    // the last run of each benchmark counts
    zembench::PairReporter rep(zembench::PairReporter::kRealTime, zembench::PairReporter::kLast);
    benchmark::RunSpecifiedBenchmarks(&rep);
    printf("\n%-18s %12s %14s %8s\n", "routine/n/threads", "zem GFLOPS", "openblas GFLOPS", "zem/peer");
    rep.rows(order, [](const std::string &k, double a, const double *b) {
        const int n = atoi(k.c_str() + k.find('/') + 1);
        const double fl = (k[0] == 'c' || k[0] == 'z' ? 8.0 : 2.0) * n * (double)n * n * 1e-9;
        // times are in the benchmarks' unit (milliseconds)
        const double ours = fl / (a * 1e-3);
        if (!b)
            printf("%-18s %12.2f %14s %8s\n", k.c_str(), ours, "-", "-");
        else
            printf("%-18s %12.2f %14.2f %8.2f\n", k.c_str(), ours, fl / (*b * 1e-3), a > 0 ? *b / a : 0.0);
    });
    return 0;
}
