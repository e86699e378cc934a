// `zem-bench sym`: the symmetric and Hermitian level-3 routines (syrk,
// herk, syr2k, symm) of this library at square sizes, beside the
// library's own gemm of the same type and OpenBLAS (when installed).
// GFLOPS use each routine's own flop count: syrk and herk n(n+1)k, syr2k
// 2n^2k, symm (side L) 2m^2n, gemm 2mnk, four times that for complex
// types. Calls: uplo U, trans N, side L, alpha 1, beta 0.
#include <omp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "zem_bench.h"
#include "zem_blas.h"

namespace {

// R is the component type: T is R (real) or a pair of R (complex).
template <class T, class R>
std::vector<T> random_values(size_t n, unsigned seed)
{
    std::vector<T> v(n);
    std::mt19937 g(seed);
    std::uniform_real_distribution<double> u(-1, 1);
    for (auto &x : v) {
        R *p = (R *)&x;
        p[0] = (R)u(g);
        if (sizeof(T) == 2 * sizeof(R))
            p[1] = (R)u(g);
    }
    return v;
}

template <class T>
using SyrkFn = void (*)(const char *, const char *, const int *, const int *, const void *, const T *, const int *,
                        const void *, T *, const int *);
template <class T>
using Syr2kFn = void (*)(const char *, const char *, const int *, const int *, const T *, const T *, const int *,
                         const T *, const int *, const void *, T *, const int *);
template <class T>
using SymmFn = void (*)(const char *, const char *, const int *, const int *, const T *, const T *, const int *,
                        const T *, const int *, const T *, T *, const int *);

struct Routine {
    const char *name;  // lower case; the peer's entry is name + "_"
    char kind;         // k: syrk/herk, 2: syr2k, s: symm
    char type;         // s, d, c, z
    void *ours;
};

#define ZEM_R(name, kind, type) Routine{#name, kind, type, (void *)name##_}
const Routine kRoutines[] = {ZEM_R(dsyrk, 'k', 'd'),  ZEM_R(zherk, 'k', 'z'),  ZEM_R(dsyr2k, '2', 'd'),
                             ZEM_R(dsymm, 's', 'd'),  ZEM_R(ssyrk, 'k', 's'),  ZEM_R(ssyr2k, '2', 's'),
                             ZEM_R(ssymm, 's', 's'),  ZEM_R(zsyrk, 'k', 'z'),  ZEM_R(zsyr2k, '2', 'z'),
                             ZEM_R(zsymm, 's', 'z'),  ZEM_R(cherk, 'k', 'c'),  ZEM_R(csyrk, 'k', 'c'),
                             ZEM_R(csyr2k, '2', 'c'), ZEM_R(csymm, 's', 'c')};
#undef ZEM_R

// GFLOPS of routine r through entry f (ours or the peer's), or of the
// library's gemm of the same type and size (gemm true, 2mnk counted), by
// the median wall time and by CPU time; 0 when f is missing.
template <class T, class R>
zembench::Rate rate(const Routine &r, void *f, bool gemm, int n, int threads, double min_time)
{
    if (!f)
        return zembench::Rate{0, 0};
    const bool cplx = r.type == 'c' || r.type == 'z';
    const size_t nn = (size_t)n * n;
    std::vector<T> a = random_values<T, R>(nn, 1), b = random_values<T, R>(nn, 2), c(nn);
    const double one[2] = {1, 0}, zero[2] = {0, 0};
    const float onef[2] = {1, 0}, zerof[2] = {0, 0};
    const bool single = r.type == 's' || r.type == 'c';
    const void *al = single ? (const void *)onef : (const void *)one;
    const void *be = single ? (const void *)zerof : (const void *)zero;
    const double nd = n, mult = cplx ? 4 : 1;
    const double flops = 1e-9 * mult * (gemm || r.kind != 'k' ? 2 * nd * nd * nd : nd * (nd + 1) * nd);
    std::function<void()> call;
    if (gemm)
        call = [&] {
            ((zembench::GemmFn<T>)f)("N", "N", &n, &n, &n, (const T *)al, a.data(), &n, b.data(), &n,
                                      (const T *)be, c.data(), &n);
        };
    else if (r.kind == 'k')
        call = [&] { ((SyrkFn<T>)f)("U", "N", &n, &n, al, a.data(), &n, be, c.data(), &n); };
    else if (r.kind == '2')
        call = [&] {
            ((Syr2kFn<T>)f)("U", "N", &n, &n, (const T *)al, a.data(), &n, b.data(), &n, be, c.data(), &n);
        };
    else
        call = [&] {
            ((SymmFn<T>)f)("L", "U", &n, &n, (const T *)al, a.data(), &n, b.data(), &n, (const T *)be, c.data(), &n);
        };
    omp_set_num_threads(threads);
    zembench::Repeat rep;
    rep.min_time = min_time;
    rep.max_reps = 7;
    rep.batch = 1;
    const zembench::Timing t = zembench::measure(call, rep);
    return zembench::Rate{flops / t.median, flops / t.cpu};
}

// The peer's entry of r (nullptr when not loaded), held to `threads`.
void *peer_of(const Routine &r, int threads)
{
    void *pf = nullptr;
    zembench::openblas_sym(pf, (std::string(r.name) + "_").c_str());
    if (auto set = pf ? zembench::openblas_set_threads() : nullptr)
        set(threads);
    return pf;
}

void *gemm_of(char type)
{
    return type == 's' ? (void *)sgemm_ : type == 'd' ? (void *)dgemm_ : type == 'c' ? (void *)cgemm_ : (void *)zgemm_;
}

template <class T, class R>
void run(const Routine &r, int n, int threads, bool peer, double min_time)
{
    const zembench::Rate ours = rate<T, R>(r, r.ours, false, n, threads, min_time);
    const zembench::Rate g = rate<T, R>(r, gemm_of(r.type), true, n, threads, min_time);
    double theirs = 0;
    if (void *pf = peer ? peer_of(r, threads) : nullptr) {
        theirs = rate<T, R>(r, pf, false, n, threads, min_time).wall;
        std::this_thread::sleep_for(std::chrono::milliseconds(250)); // let the peer's workers sleep
    }
    char ptxt[32] = "-", rtxt[32] = "-";
    if (theirs > 0) {
        snprintf(ptxt, sizeof ptxt, "%.2f", theirs);
        snprintf(rtxt, sizeof rtxt, "%.2f", ours.wall / theirs);
    }
    printf("%-7s %6d %4d %10.2f %10.2f %8.2f %10.2f %10.2f %8.2f %10s %8s\n", r.name, n, threads, ours.wall, g.wall,
           ours.wall / g.wall, ours.cpu, g.cpu, ours.cpu / g.cpu, ptxt, rtxt);
    fflush(stdout);
}

template <class F>
auto by_type(char type, F f)
{
    switch (type) {
    case 's': return f(float(), float());
    case 'd': return f(double(), double());
    case 'c': return f(ZEM_Complex8(), float());
    default: return f(ZEM_Complex16(), double());
    }
}

std::vector<std::string> split(const char *s)
{
    std::vector<std::string> v;
    std::string cur;
    for (const char *p = s;; ++p) {
        if (*p == ',' || *p == 0) {
            if (!cur.empty())
                v.push_back(cur);
            cur.clear();
            if (*p == 0)
                break;
        } else {
            cur += *p;
        }
    }
    return v;
}

} // namespace

zembench::Rate zembench::sym_rate(const char *name, bool peer, int n, int threads, double min_time)
{
    for (const Routine &r : kRoutines)
        if (strcmp(r.name, name) == 0)
            return by_type(r.type, [&](auto t0, auto r0) {
                return rate<decltype(t0), decltype(r0)>(r, peer ? peer_of(r, threads) : r.ours, false, n, threads,
                                                        min_time);
            });
    return zembench::Rate{0, 0};
}

int zem_bench_sym(int argc, char **argv)
{
    setenv("OMP_NUM_THREADS", "2", 0);
    std::vector<int> sizes{1000}, threads{1, 2};
    std::vector<std::string> names;
    bool peer = true;
    double min_time = 0.5;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const char *v = i + 1 < argc ? argv[i + 1] : "";
        if (a == "--sizes" || a == "--threads") {
            std::vector<int> &dst = a == "--sizes" ? sizes : threads;
            dst.clear();
            for (auto &s : split(v))
                if (atoi(s.c_str()) > 0)
                    dst.push_back(atoi(s.c_str()));
            ++i;
        } else if (a == "--routines") {
            names = split(v);
            ++i;
        } else if (a == "--no-peer") {
            peer = false;
        } else if (a == "--time") {
            min_time = atof(v);
            ++i;
        } else {
            printf("usage: zem-bench sym [--sizes N,...] [--threads T,...] [--routines dsyrk,zherk,...] "
                   "[--no-peer] [--time S]\n");
            return a == "--help" || a == "-h" ? 0 : 2;
        }
    }
    printf("zem-bench sym: uplo U, trans N, side L, alpha 1, beta 0; GFLOPS by each routine's own flop count, "
           "median of repetitions\n");
    printf("peer: %s\n", peer && zembench::openblas() ? "OpenBLAS (libopenblas.so.0)" : "none loaded");
    printf("(/cpu: GFLOPS per second of process CPU time, all threads)\n");
    printf("%-7s %6s %4s %10s %10s %8s %10s %10s %8s %10s %8s\n", "", "n", "thr", "zem", "zem-gemm", "/gemm",
           "zem/cpu", "gemm/cpu", "/gemm", "peer", "zem/peer");
    for (const Routine &r : kRoutines) {
        if (!names.empty() && std::find(names.begin(), names.end(), r.name) == names.end())
            continue;
        for (int n : sizes)
            for (int t : threads)
                by_type(r.type, [&](auto t0, auto r0) {
                    run<decltype(t0), decltype(r0)>(r, n, t, peer, min_time);
                    return 0;
                });
    }
    return 0;
}
