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

#include "peers.h"
#include "zem_blas.h"

namespace {

double cpu_seconds()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + 1e-9 * ts.tv_nsec;
}

// Median seconds of one call, repeating for about min_time; cpu receives
// the process CPU seconds per call (all threads), which a busy machine
// does not dilute.
double median_seconds(const std::function<void()> &call, double min_time, double &cpu)
{
    auto now = [] { return std::chrono::steady_clock::now(); };
    auto t0 = now();
    call(); // warm-up
    const double first = std::max(std::chrono::duration<double>(now() - t0).count(), 1e-7);
    const int reps = std::max(1, std::min(7, (int)(min_time / first)));
    std::vector<double> times;
    const double c0 = cpu_seconds();
    for (int r = 0; r < reps; ++r) {
        t0 = now();
        call();
        times.push_back(std::chrono::duration<double>(now() - t0).count());
    }
    cpu = (cpu_seconds() - c0) / reps;
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

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

template <class T, class R>
void run(const Routine &r, int n, int threads, bool peer, double min_time)
{
    const bool cplx = r.type == 'c' || r.type == 'z';
    const size_t nn = (size_t)n * n;
    std::vector<T> a = random_values<T, R>(nn, 1), b = random_values<T, R>(nn, 2), c(nn);
    const double one[2] = {1, 0}, zero[2] = {0, 0};
    const float onef[2] = {1, 0}, zerof[2] = {0, 0};
    const bool single = r.type == 's' || r.type == 'c';
    const void *al = single ? (const void *)onef : (const void *)one;
    const void *be = single ? (const void *)zerof : (const void *)zero;
    const double nd = n, mult = cplx ? 4 : 1;
    const double flops = mult * (r.kind == 'k' ? nd * (nd + 1) * nd : 2 * nd * nd * nd);
    auto call_of = [&](void *f) -> std::function<void()> {
        if (r.kind == 'k')
            return [&, f] { ((SyrkFn<T>)f)("U", "N", &n, &n, al, a.data(), &n, be, c.data(), &n); };
        if (r.kind == '2')
            return [&, f] {
                ((Syr2kFn<T>)f)("U", "N", &n, &n, (const T *)al, a.data(), &n, b.data(), &n, be, c.data(), &n);
            };
        return [&, f] {
            ((SymmFn<T>)f)("L", "U", &n, &n, (const T *)al, a.data(), &n, b.data(), &n, (const T *)be, c.data(), &n);
        };
    };
    // the library's own gemm of the same type, n^3 (2mnk counted)
    void *gemm = r.type == 's' ? (void *)sgemm_ : r.type == 'd' ? (void *)dgemm_ : r.type == 'c' ? (void *)cgemm_
                                                                                               : (void *)zgemm_;
    auto gemm_call = [&] {
        ((zembench::GemmFn<T>)gemm)("N", "N", &n, &n, &n, (const T *)al, a.data(), &n, b.data(), &n, (const T *)be,
                                     c.data(), &n);
    };
    omp_set_num_threads(threads);
    double cpu = 0, gcpu = 0, pcpu = 0;
    const double gflops = mult * 2 * nd * nd * nd;
    const double ours = flops / median_seconds(call_of(r.ours), min_time, cpu) * 1e-9;
    const double g = gflops / median_seconds(gemm_call, min_time, gcpu) * 1e-9;
    double theirs = 0;
    void *pf = nullptr;
    if (peer)
        zembench::openblas_sym(pf, (std::string(r.name) + "_").c_str());
    if (pf) {
        if (auto set = zembench::openblas_set_threads())
            set(threads);
        theirs = flops / median_seconds(call_of(pf), min_time, pcpu) * 1e-9;
        std::this_thread::sleep_for(std::chrono::milliseconds(250)); // let the peer's workers sleep
    }
    char ptxt[32] = "-", rtxt[32] = "-";
    if (theirs > 0) {
        snprintf(ptxt, sizeof ptxt, "%.2f", theirs);
        snprintf(rtxt, sizeof rtxt, "%.2f", ours / theirs);
    }
    const double oc = flops / cpu * 1e-9, gc = gflops / gcpu * 1e-9;
    printf("%-7s %6d %4d %10.2f %10.2f %8.2f %10.2f %10.2f %8.2f %10s %8s\n", r.name, n, threads, ours, g, ours / g,
           oc, gc, oc / gc, ptxt, rtxt);
    fflush(stdout);
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
                switch (r.type) {
                case 's': run<float, float>(r, n, t, peer, min_time); break;
                case 'd': run<double, double>(r, n, t, peer, min_time); break;
                case 'c': run<ZEM_Complex8, float>(r, n, t, peer, min_time); break;
                default: run<ZEM_Complex16, double>(r, n, t, peer, min_time); break;
                }
    }
    return 0;
}
