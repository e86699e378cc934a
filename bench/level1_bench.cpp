// Dense vector kernels beside OpenBLAS (loaded at run time, one thread:
// these kernels run on the caller's thread). For each routine, precision
// and length: our time, the peer's, and the ratio peer/ours (above 1 means
// we are faster), with GFLOPS and GB/s. Run with --benchmark_repetitions=N
// to have the table use the best of N runs.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "peers.h"
#include "zem_blas.h"

namespace {

struct Peer {
    void *h = nullptr;
    void (*saxpy)(const int *, const float *, const float *, const int *, float *, const int *) = nullptr;
    void (*daxpy)(const int *, const double *, const double *, const int *, double *, const int *) = nullptr;
    float (*sdot)(const int *, const float *, const int *, const float *, const int *) = nullptr;
    double (*ddot)(const int *, const double *, const int *, const double *, const int *) = nullptr;
    float (*sasum)(const int *, const float *, const int *) = nullptr;
    double (*dasum)(const int *, const double *, const int *) = nullptr;
    void (*sscal)(const int *, const float *, float *, const int *) = nullptr;
    void (*dscal)(const int *, const double *, double *, const int *) = nullptr;
    void (*scopy)(const int *, const float *, const int *, float *, const int *) = nullptr;
    void (*dcopy)(const int *, const double *, const int *, double *, const int *) = nullptr;
    int (*isamax)(const int *, const float *, const int *) = nullptr;
    int (*idamax)(const int *, const double *, const int *) = nullptr;

    Peer() : h(zembench::openblas())
    {
        zembench::openblas_one_thread();
        ZEMBENCH_FORTRAN_SYM(saxpy);
        ZEMBENCH_FORTRAN_SYM(daxpy);
        ZEMBENCH_FORTRAN_SYM(sdot);
        ZEMBENCH_FORTRAN_SYM(ddot);
        ZEMBENCH_FORTRAN_SYM(sasum);
        ZEMBENCH_FORTRAN_SYM(dasum);
        ZEMBENCH_FORTRAN_SYM(sscal);
        ZEMBENCH_FORTRAN_SYM(dscal);
        ZEMBENCH_FORTRAN_SYM(scopy);
        ZEMBENCH_FORTRAN_SYM(dcopy);
        ZEMBENCH_FORTRAN_SYM(isamax);
        ZEMBENCH_FORTRAN_SYM(idamax);
    }
};

// OpenBLAS, loaded on first use and held to one thread.
Peer &peer()
{
    static Peer p;
    return p;
}

template <class T>
struct Vecs {
    T *x, *y;
    explicit Vecs(size_t n)
    {
        size_t bytes = (n * sizeof(T) + 63) & ~(size_t)63;
        x = (T *)aligned_alloc(64, bytes);
        y = (T *)aligned_alloc(64, bytes);
        zembench::fill_pattern(x, n);
        for (size_t i = 0; i < n; ++i)
            y[i] = (T)(1.0 - (double)((i * 104729) % 1000) / 2000.0);
    }
    ~Vecs()
    {
        free(x);
        free(y);
    }
};

enum Op { AXPY, DOT, ASUM, SCAL, COPY, IAMAX };
const char *op_name[] = {"axpy", "dot", "asum", "scal", "copy", "iamax"};
const double op_flops[] = {2, 2, 1, 1, 0, 1};     // per element
const double op_vectors[] = {3, 2, 1, 2, 2, 1};    // vectors streamed per element

template <class T>
void run(benchmark::State &state, Op op, bool theirs)
{
    const int n = (int)state.range(0), one = 1;
    const bool s = sizeof(T) == 4;
    Peer &p = peer();
    if (theirs && !p.h) {
        state.SkipWithError("libopenblas.so.0 not loaded");
        return;
    }
    Vecs<T> v((size_t)n);
    T alpha = (T)1e-7, minus_one = (T)-1;
    volatile double sink = 0;
    for (auto _ : state) {
        switch (op) {
        case AXPY:
            if (s)
                (theirs ? p.saxpy : saxpy_)(&n, (const float *)&alpha, (const float *)v.x, &one, (float *)v.y, &one);
            else
                (theirs ? p.daxpy : daxpy_)(&n, (const double *)&alpha, (const double *)v.x, &one, (double *)v.y,
                                            &one);
            break;
        case DOT:
            sink = s ? (theirs ? p.sdot : sdot_)(&n, (const float *)v.x, &one, (const float *)v.y, &one)
                     : (theirs ? p.ddot : ddot_)(&n, (const double *)v.x, &one, (const double *)v.y, &one);
            break;
        case ASUM:
            sink = s ? (theirs ? p.sasum : sasum_)(&n, (const float *)v.x, &one)
                     : (theirs ? p.dasum : dasum_)(&n, (const double *)v.x, &one);
            break;
        case SCAL:
            if (s)
                (theirs ? p.sscal : sscal_)(&n, (const float *)&minus_one, (float *)v.x, &one);
            else
                (theirs ? p.dscal : dscal_)(&n, (const double *)&minus_one, (double *)v.x, &one);
            break;
        case COPY:
            if (s)
                (theirs ? p.scopy : scopy_)(&n, (const float *)v.x, &one, (float *)v.y, &one);
            else
                (theirs ? p.dcopy : dcopy_)(&n, (const double *)v.x, &one, (double *)v.y, &one);
            break;
        case IAMAX:
            sink = s ? (theirs ? p.isamax : isamax_)(&n, (const float *)v.x, &one)
                     : (theirs ? p.idamax : idamax_)(&n, (const double *)v.x, &one);
            break;
        }
        benchmark::ClobberMemory();
    }
    (void)sink;
    double it = (double)state.iterations();
    state.counters["GFLOPS"] =
        benchmark::Counter(op_flops[op] * n * it * 1e-9, benchmark::Counter::kIsRate);
    state.counters["GB/s"] =
        benchmark::Counter(op_vectors[op] * sizeof(T) * n * it * 1e-9, benchmark::Counter::kIsRate);
}


} // namespace

int main(int argc, char **argv)
{
    const Op ops[] = {AXPY, DOT, ASUM, SCAL, COPY, IAMAX};
    std::vector<std::string> order;
    for (Op op : ops)
        for (char t : {'s', 'd'}) {
            std::string r = op == IAMAX ? std::string("i") + t + "amax" : t + std::string(op_name[op]);
            for (int n : {1000, 100000, 10000000}) {
                std::string k = r + "/" + std::to_string(n);
                order.push_back(k);
                for (int who = 0; who < 2; ++who) {
                    std::string name = std::string(who ? "openblas/" : "zem/") + r;
                    auto *b = t == 's' ? benchmark::RegisterBenchmark(
                                             name.c_str(), [op, who](benchmark::State &st) { run<float>(st, op, who); })
                                       : benchmark::RegisterBenchmark(
                                             name.c_str(), [op, who](benchmark::State &st) { run<double>(st, op, who); });
                    b->Arg(n)->MinTime(0.2)->UseRealTime();
                }
            }
        }
    benchmark::Initialize(&argc, argv);
    zembench::PairReporter rep(zembench::PairReporter::kRealTime);
    benchmark::RunSpecifiedBenchmarks(&rep);
    printf("\n%-20s %14s %14s %10s\n", "routine/n", "zem (ns)", "openblas (ns)", "ratio");
    rep.rows(order, [](const std::string &k, double ours, const double *theirs) {
        if (!theirs)
            printf("%-20s %14.1f %14s %10s\n", k.c_str(), ours, "-", "-");
        else
            printf("%-20s %14.1f %14.1f %9.2fx\n", k.c_str(), ours, *theirs, *theirs / ours);
    });
    benchmark::Shutdown();
    return 0;
}
