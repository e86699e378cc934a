// Matrix-vector routines beside OpenBLAS (loaded at run time and held to one
// thread: these routines run on the caller's thread): ?gemv N and T at
// n = 500, 2000 and 4000, ?trsv at 2000 and dsymv at 2000. Times are CPU
// times, so that a shared machine's other work does not count, and with
// --benchmark_repetitions the best of the repetitions; the table at the end
// gives the ratio peer/ours (above 1: we are faster) and GFLOPS.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "peers.h"
#include "zem_blas.h"

namespace {

template <class T>
using gemv_fn = void (*) ZEM_P_GEMV(T, T);
template <class T>
using trsv_fn = void (*) ZEM_P_TRMV(T, T);
using dsymv_fn = void (*) ZEM_P_SYMV(double, double);

struct Peer {
    void *h = nullptr;
    gemv_fn<float> sgemv = nullptr;
    gemv_fn<double> dgemv = nullptr;
    gemv_fn<ZEM_Complex8> cgemv = nullptr;
    gemv_fn<ZEM_Complex16> zgemv = nullptr;
    trsv_fn<float> strsv = nullptr;
    trsv_fn<double> dtrsv = nullptr;
    dsymv_fn dsymv = nullptr;

    Peer() : h(zembench::openblas())
    {
        zembench::openblas_one_thread();
        ZEMBENCH_FORTRAN_SYM(sgemv);
        ZEMBENCH_FORTRAN_SYM(dgemv);
        ZEMBENCH_FORTRAN_SYM(cgemv);
        ZEMBENCH_FORTRAN_SYM(zgemv);
        ZEMBENCH_FORTRAN_SYM(strsv);
        ZEMBENCH_FORTRAN_SYM(dtrsv);
        ZEMBENCH_FORTRAN_SYM(dsymv);
    }
};

// OpenBLAS, loaded on first use and held to one thread.
Peer &peer()
{
    static Peer p;
    return p;
}

template <class T>
gemv_fn<T> gemv_of(bool theirs);
template <>
gemv_fn<float> gemv_of<float>(bool t) { return t ? peer().sgemv : sgemv_; }
template <>
gemv_fn<double> gemv_of<double>(bool t) { return t ? peer().dgemv : dgemv_; }
template <>
gemv_fn<ZEM_Complex8> gemv_of<ZEM_Complex8>(bool t) { return t ? peer().cgemv : cgemv_; }
template <>
gemv_fn<ZEM_Complex16> gemv_of<ZEM_Complex16>(bool t) { return t ? peer().zgemv : zgemv_; }

using zembench::fill_pattern;

template <class T, class R>
void bench_gemv(benchmark::State &state, char trans, bool theirs)
{
    const int n = (int)state.range(0), one = 1;
    gemv_fn<T> f = gemv_of<T>(theirs);
    if (!f) {
        state.SkipWithError("libopenblas.so.0 not loaded");
        return;
    }
    const int parts = sizeof(T) / sizeof(R);
    std::vector<R> a((size_t)n * n * parts), x((size_t)n * parts), y((size_t)n * parts);
    fill_pattern(a.data(), a.size(), 1.0);
    fill_pattern(x.data(), x.size(), 1.0);
    fill_pattern(y.data(), y.size(), 1.0);
    R alpha[2] = {(R)0.5, (R)0}, beta[2] = {(R)0, (R)0};
    const char tr[2] = {trans, 0};
    for (auto _ : state) {
        f(tr, &n, &n, (const T *)alpha, (const T *)a.data(), &n, (const T *)x.data(), &one, (const T *)beta,
          (T *)y.data(), &one);
        benchmark::ClobberMemory();
    }
    state.counters["GFLOPS"] =
        benchmark::Counter(2.0 * parts * parts * n * (double)n * state.iterations() * 1e-9, benchmark::Counter::kIsRate);
}

template <class T>
void bench_trsv(benchmark::State &state, char uplo, char trans, bool theirs)
{
    const int n = (int)state.range(0), one = 1;
    trsv_fn<T> f = theirs ? (sizeof(T) == 4 ? (trsv_fn<T>)peer().strsv : (trsv_fn<T>)peer().dtrsv)
                          : (sizeof(T) == 4 ? (trsv_fn<T>)strsv_ : (trsv_fn<T>)dtrsv_);
    if (!f) {
        state.SkipWithError("libopenblas.so.0 not loaded");
        return;
    }
    // A diagonally dominant triangle keeps the solution bounded; x is
    // refreshed outside the timing every iteration.
    std::vector<T> a((size_t)n * n), x0(n), x(n);
    fill_pattern(a.data(), a.size(), 1.0 / n);
    for (int i = 0; i < n; ++i)
        a[i + (size_t)i * n] = (T)2;
    fill_pattern(x0.data(), x0.size(), 1.0);
    const char u[2] = {uplo, 0}, t[2] = {trans, 0};
    for (auto _ : state) {
        state.PauseTiming();
        x = x0;
        state.ResumeTiming();
        f(u, t, "N", &n, a.data(), &n, x.data(), &one);
        benchmark::ClobberMemory();
    }
    state.counters["GFLOPS"] = benchmark::Counter((double)n * n * state.iterations() * 1e-9, benchmark::Counter::kIsRate);
}

void bench_dsymv(benchmark::State &state, char uplo, bool theirs)
{
    const int n = (int)state.range(0), one = 1;
    dsymv_fn f = theirs ? peer().dsymv : dsymv_;
    if (!f) {
        state.SkipWithError("libopenblas.so.0 not loaded");
        return;
    }
    std::vector<double> a((size_t)n * n), x(n), y(n);
    fill_pattern(a.data(), a.size(), 1.0);
    fill_pattern(x.data(), x.size(), 1.0);
    double alpha = 0.5, beta = 0;
    const char u[2] = {uplo, 0};
    for (auto _ : state) {
        f(u, &n, &alpha, a.data(), &n, x.data(), &one, &beta, y.data(), &one);
        benchmark::ClobberMemory();
    }
    state.counters["GFLOPS"] =
        benchmark::Counter(2.0 * n * (double)n * state.iterations() * 1e-9, benchmark::Counter::kIsRate);
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> order;
    auto add = [&](const std::string &r, int n, std::function<void(benchmark::State &, bool)> fn) {
        order.push_back(r + "/" + std::to_string(n));
        for (int who = 0; who < 2; ++who)
            benchmark::RegisterBenchmark((std::string(who ? "openblas/" : "zem/") + r).c_str(),
                                         [fn, who](benchmark::State &st) { fn(st, who != 0); })
                ->Arg(n)
                ->MinTime(0.3);
    };
    for (char t : {'N', 'T'})
        for (int n : {500, 2000, 4000}) {
            std::string s(1, t);
            add("sgemv_" + s, n, [t](benchmark::State &st, bool w) { bench_gemv<float, float>(st, t, w); });
            add("dgemv_" + s, n, [t](benchmark::State &st, bool w) { bench_gemv<double, double>(st, t, w); });
            add("cgemv_" + s, n, [t](benchmark::State &st, bool w) { bench_gemv<ZEM_Complex8, float>(st, t, w); });
            add("zgemv_" + s, n, [t](benchmark::State &st, bool w) { bench_gemv<ZEM_Complex16, double>(st, t, w); });
        }
    for (const char *ut : {"LN", "UT"}) {
        std::string s(ut);
        char u = ut[0], t = ut[1];
        add("strsv_" + s, 2000, [u, t](benchmark::State &st, bool w) { bench_trsv<float>(st, u, t, w); });
        add("dtrsv_" + s, 2000, [u, t](benchmark::State &st, bool w) { bench_trsv<double>(st, u, t, w); });
    }
    for (char u : {'U', 'L'})
        add(std::string("dsymv_") + u, 2000, [u](benchmark::State &st, bool w) { bench_dsymv(st, u, w); });

    benchmark::Initialize(&argc, argv);
    zembench::PairReporter rep(zembench::PairReporter::kCpuTime);
    benchmark::RunSpecifiedBenchmarks(&rep);
    printf("\n%-18s %12s %14s %9s %10s\n", "routine/n", "zem (us)", "openblas (us)", "ratio", "zem GFLOPS");
    rep.rows(order, [&rep](const std::string &k, double ours, const double *theirs) {
        double gf = rep.gflops[k];
        if (!theirs)
            printf("%-18s %12.1f %14s %9s %10.2f\n", k.c_str(), ours / 1e3, "-", "-", gf);
        else
            printf("%-18s %12.1f %14.1f %8.2fx %10.2f\n", k.c_str(), ours / 1e3, *theirs / 1e3, *theirs / ours, gf);
    });
    benchmark::Shutdown();
    return 0;
}
