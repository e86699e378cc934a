// zem-bench tri: the triangular level-3 routines, trsm and trmm, of this
// library beside its own gemm of the same type and size and beside
// OpenBLAS when it is installed. Square problems (m = n), by default side
// L, lower triangle, op(A) = A, non-unit diagonal (--options SUTD), alpha 1; GFLOPS counted with each
// routine's own flop count (m*m*n for real trsm and trmm, four times that
// for complex; 2mnk for gemm, 8mnk complex); median of the repetitions.
// B is restored before each timed call (outside the timing). The "cpu"
// columns count process CPU seconds instead of wall seconds, which a busy
// machine does not dilute (the one-thread ratio to gemm is best read there).
#include <omp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "zem_bench.h"
#include "zem_blas.h"

namespace {

template <class T>
using TriFn = void (*)(const char *, const char *, const char *, const char *, const int *, const int *, const T *,
                       const T *, const int *, T *, const int *);
template <class T>
using Ty = zembench::GemmTy<T>;

template <class T>
struct Tri;
#define ZEMBENCH_TRI(T, x)                                                     \
    template <>                                                                \
    struct Tri<T> {                                                            \
        static TriFn<T> ours(bool solve) { return solve ? x##trsm_ : x##trmm_; } \
        static TriFn<T> peer(bool solve)                                       \
        {                                                                      \
            TriFn<T> f = nullptr;                                              \
            zembench::openblas_sym(f, solve ? #x "trsm_" : #x "trmm_");        \
            return f;                                                          \
        }                                                                      \
    };
ZEMBENCH_TRI(float, s)
ZEMBENCH_TRI(double, d)
ZEMBENCH_TRI(ZEM_Complex8, c)
ZEMBENCH_TRI(ZEM_Complex16, z)
#undef ZEMBENCH_TRI

struct Opts {
    std::vector<int> sizes{1000, 2000};
    std::vector<int> threads{1, 2};
    std::string routines = "dszc";
    bool peer = true;
    int reps = 3;
    char opt[5] = "LLNN"; // side, uplo, op, diag
};

struct Time {
    double wall, cpu;
};

// Median wall and CPU seconds of `reps` calls of f, each after restore().
template <class F, class R>
Time median_time(int reps, F f, R restore)
{
    zembench::Repeat r;
    r.min_time = 0;
    r.min_reps = r.max_reps = reps;
    r.batch = 1;
    const zembench::Timing t = zembench::measure(f, restore, r);
    return Time{t.median, t.cpu};
}

// A well-conditioned triangular a (unit-sized diagonal) and a random b0,
// n x n.
template <class T>
void tri_operands(int n, std::vector<T> &a, std::vector<T> &b0)
{
    const size_t nn = (size_t)n * n;
    std::mt19937 g(7);
    std::uniform_real_distribution<double> u(-1, 1);
    a.resize(nn);
    b0.resize(nn);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const double s = i == j ? 1.5 : 1.0 / n; // well conditioned
            a[i + (size_t)j * n] = Ty<T>::make(s * (i == j ? 1 : u(g)), i == j ? 0 : s * u(g));
        }
    for (auto &x : b0)
        x = Ty<T>::make(u(g), u(g));
}

// trsm (solve) or trmm of f with options opt (side, uplo, op, diag) on n x n
// operands; B restored from b0 before each call.
template <class T>
Time tri_time(TriFn<T> f, const char *opt, int n, const std::vector<T> &a, const std::vector<T> &b0, int reps)
{
    std::vector<T> b(b0.size());
    const T one = Ty<T>::make(1, 0);
    const char side[2] = {opt[0], 0}, uplo[2] = {opt[1], 0}, op[2] = {opt[2], 0}, diag[2] = {opt[3], 0};
    return median_time(reps, [&] { f(side, uplo, op, diag, &n, &n, &one, a.data(), &n, b.data(), &n); },
                       [&] { std::copy(b0.begin(), b0.end(), b.begin()); });
}

template <class T>
zembench::Rate tri_rate_of(bool solve, bool peer, int n, int threads, int reps)
{
    TriFn<T> f = peer ? Tri<T>::peer(solve) : Tri<T>::ours(solve);
    if (!f)
        return zembench::Rate{0, 0};
    std::vector<T> a, b0;
    tri_operands(n, a, b0);
    omp_set_num_threads(threads);
    if (auto set = peer ? zembench::openblas_set_threads() : nullptr)
        set(threads);
    const Time t = tri_time(f, "LLNN", n, a, b0, reps);
    if (peer)
        std::this_thread::sleep_for(std::chrono::milliseconds(250)); // let its workers sleep
    const double flops = (Ty<T>::complex ? 4.0 : 1.0) * n * n * (double)n * 1e-9;
    return zembench::Rate{flops / t.wall, flops / t.cpu};
}

template <class T>
void run(const Opts &o)
{
    for (int n : o.sizes) {
        const size_t nn = (size_t)n * n;
        std::vector<T> a, b0, c(nn);
        tri_operands(n, a, b0);
        const T one = Ty<T>::make(1, 0), zero = Ty<T>::make(0, 0);
        const double unit = Ty<T>::complex ? 4.0 : 1.0;
        for (int t : o.threads) {
            omp_set_num_threads(t);
            const Time tg = median_time(o.reps, [&] {
                Ty<T>::ours()("N", "N", &n, &n, &n, &one, a.data(), &n, b0.data(), &n, &zero, c.data(), &n);
            }, [] {});
            const double flops = unit * nn * n; // trsm, trmm; gemm twice that
            const double gemm = 2 * flops / tg.wall * 1e-9, gemm_cpu = 2 * flops / tg.cpu * 1e-9;
            for (bool solve : {true, false}) {
                const Time to = tri_time(Tri<T>::ours(solve), o.opt, n, a, b0, o.reps);
                const double ours = flops / to.wall * 1e-9, ours_cpu = flops / to.cpu * 1e-9;
                double theirs = 0;
                TriFn<T> pf = o.peer ? Tri<T>::peer(solve) : nullptr;
                if (pf) {
                    if (auto set = zembench::openblas_set_threads())
                        set(t);
                    theirs = flops / tri_time(pf, o.opt, n, a, b0, o.reps).wall * 1e-9;
                    std::this_thread::sleep_for(std::chrono::milliseconds(250)); // let its workers sleep
                }
                char peer_txt[32] = "-", ratio_txt[32] = "-";
                if (theirs > 0) {
                    snprintf(peer_txt, sizeof peer_txt, "%.2f", theirs);
                    snprintf(ratio_txt, sizeof ratio_txt, "%.2f", ours / theirs);
                }
                printf("%ctr%s %6d %4d %9.2f %9.2f %7.2f %9.2f %9.2f %7.2f %9s %8s\n", Ty<T>::name()[0],
                       solve ? "sm" : "mm", n, t, ours, gemm, ours / gemm, ours_cpu, gemm_cpu, ours_cpu / gemm_cpu,
                       peer_txt, ratio_txt);
                fflush(stdout);
            }
        }
    }
}

std::vector<int> ints(const char *s)
{
    std::vector<int> v;
    for (const char *p = s; p && *p; p = strchr(p, ',') ? strchr(p, ',') + 1 : nullptr)
        if (atoi(p) > 0)
            v.push_back(atoi(p));
    return v;
}

} // namespace

zembench::Rate zembench::tri_rate(char type, bool solve, bool peer, int n, int threads, int reps)
{
    switch (type) {
    case 's': return tri_rate_of<float>(solve, peer, n, threads, reps);
    case 'd': return tri_rate_of<double>(solve, peer, n, threads, reps);
    case 'c': return tri_rate_of<ZEM_Complex8>(solve, peer, n, threads, reps);
    default: return tri_rate_of<ZEM_Complex16>(solve, peer, n, threads, reps);
    }
}

int zem_bench_tri(int argc, char **argv)
{
    setenv("OMP_NUM_THREADS", "2", 0);
    Opts o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const char *v = i + 1 < argc ? argv[i + 1] : nullptr;
        if (a == "--sizes" && v)
            o.sizes = ints(argv[++i]);
        else if (a == "--threads" && v)
            o.threads = ints(argv[++i]);
        else if (a == "--routines" && v)
            o.routines = argv[++i];
        else if (a == "--reps" && v)
            o.reps = std::max(1, atoi(argv[++i]));
        else if (a == "--options" && v && strlen(v) == 4)
            memcpy(o.opt, argv[++i], 4);
        else if (a == "--no-peer")
            o.peer = false;
        else {
            fprintf(stderr, "usage: zem-bench tri [--sizes N,..] [--threads T,..] [--routines dszc] [--reps R] "
                            "[--options SUTD] [--no-peer]\n");
            return 2;
        }
    }
    printf("zem-bench tri: side %c, uplo %c, op %c, diag %c, m = n, alpha 1; GFLOPS, median of %d calls\n", o.opt[0],
           o.opt[1], o.opt[2], o.opt[3], o.reps);
    printf("peer: %s\n", zembench::openblas() ? "OpenBLAS (libopenblas.so.0)" : "none loaded");
    printf("%-6s %6s %4s %9s %9s %7s %9s %9s %7s %9s %8s\n", "", "n", "thr", "zem", "gemm", "/gemm", "zem/cpu",
           "gemm/cpu", "/gemm", "peer", "zem/peer");
    for (char r : o.routines) {
        switch (r) {
        case 's': run<float>(o); break;
        case 'd': run<double>(o); break;
        case 'c': run<ZEM_Complex8>(o); break;
        case 'z': run<ZEM_Complex16>(o); break;
        default: fprintf(stderr, "zem-bench tri: unknown routine letter %c\n", r); return 2;
        }
    }
    return 0;
}
