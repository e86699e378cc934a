// What the zem-bench tours share: one way of timing a call, and the
// measurements each tour makes, exposed so that `zem-bench report` runs
// exactly the code the tours run (zem_bench*.cpp define them).
#ifndef ZEM_BENCH_H
#define ZEM_BENCH_H

#include <time.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "peers.h"

namespace zembench {

inline double wall_seconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Process CPU seconds (all threads): time slices given to other processes
// on a shared machine do not count.
inline double cpu_seconds()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + 1e-9 * ts.tv_nsec;
}

// Seconds per call: the best and the median wall time of the repetitions,
// and process CPU seconds per call over all of them.
struct Timing {
    double best, median, cpu; // wall: best and median of the repetitions; cpu: their mean
    double cpu_best;          // the least CPU time of one repetition
};

struct Repeat {
    double min_time = 0.25; // keep repeating for this long ...
    int min_reps = 1;       // ... and at least this often
    int max_reps = 5;       // but never more often
    int batch = 0;          // calls per repetition; 0: as many as fill about 20 ms
};

// Times call() after one warm-up call; prepare() runs before the warm-up
// and before each repetition, outside the timing. A warm-up that alone
// takes four times min_time is the only repetition (the slow x87 products
// at large sizes take seconds per call).
template <class F, class P>
Timing measure(F &&call, P &&prepare, Repeat r)
{
    prepare();
    const double w0 = wall_seconds(), c0 = cpu_seconds();
    call();
    const double first = std::max(wall_seconds() - w0, 1e-7);
    if (r.min_time > 0 && first >= 4 * r.min_time)
        return Timing{first, first, cpu_seconds() - c0, cpu_seconds() - c0};
    const int batch = r.batch > 0 ? r.batch : std::max(1, std::min(100000, (int)(0.02 / first)));
    std::vector<double> t;
    double cpu = 0, cpu_best = 0;
    const double start = wall_seconds();
    while ((int)t.size() < r.max_reps &&
           ((int)t.size() < r.min_reps || wall_seconds() - start < r.min_time)) {
        prepare();
        const double c1 = cpu_seconds(), t0 = wall_seconds();
        for (int b = 0; b < batch; ++b)
            call();
        t.push_back((wall_seconds() - t0) / batch);
        const double c = (cpu_seconds() - c1) / batch;
        cpu += c;
        cpu_best = t.size() == 1 ? c : std::min(cpu_best, c);
    }
    std::sort(t.begin(), t.end());
    return Timing{t.front(), t[t.size() / 2], cpu / t.size(), cpu_best};
}

template <class F>
Timing measure(F &&call, Repeat r)
{
    return measure(call, [] {}, r);
}

// The best wall seconds of one call, in batches of `batch` calls, over
// repetitions filling min_time (at least three): the transforms' measure.
template <class F>
double best_seconds(F &&call, double min_time, int batch)
{
    Repeat r;
    r.min_time = min_time;
    r.min_reps = 3;
    r.max_reps = 100000;
    r.batch = batch;
    return measure(call, r).best;
}

// A rate (GFLOPS or "mflops") by wall-clock time and by CPU time.
struct Rate {
    double wall, cpu;
};

// ---- the measurements of the tours ---------------------------------------
// Types are the letters s, d, c, z; peer = true measures OpenBLAS or FFTW
// instead of this library (0 when the peer is not installed).

// gemm N N, alpha 1, beta 0, random operands; GFLOPS (2mnk, 8mnk complex),
// median wall time (zem_bench.cpp).
Rate gemm_rate(char type, bool peer, int m, int n, int k, int threads, double min_time);
// trsm (solve) or trmm, side L, lower, N, non-unit, m = n; GFLOPS by m*m*n
// (four times complex), median of reps (zem_bench_tri.cpp).
Rate tri_rate(char type, bool solve, bool peer, int n, int threads, int reps);
// syrk/herk/syr2k/symm by name ("dsyrk", "zherk", ...), uplo U, trans N,
// side L; GFLOPS by the routine's own flop count (zem_bench_sym.cpp).
Rate sym_rate(const char *name, bool peer, int n, int threads, double min_time);
// The engine's in-place forward complex FFT of 2^order points, "mflops"
// by the best time (zem_bench_fft.cpp).
double engine_mflops(char type, int order, double min_time);
// The engine's complex DFT (any length) and real forward transform into
// Perm, "mflops" (real: 2.5 N log2 N) by the best time.
double dft_mflops(char type, long n, double min_time);
double real_mflops(char type, long n, double min_time);
// FFTW's complex in-place forward transform of n points (flags: FFTW
// planner flags); 0 without the peer.
double fftw_mflops(FftwApi *peer, long n, unsigned flags, double min_time);
// cfft1d / zfft1d in place, forward, natural order (zem_bench_fft_legacy.cpp).
double legacy_mflops(char type, int order, double min_time);
// A descriptor's complex in-place forward transform of the given lengths
// (slowest first) with `threads` threads, and FFTW's of the same shape
// (flags as above); "mflops" = 5 N log2 N (zem_bench_dfti.cpp).
double dfti_mflops(char type, const std::vector<int> &lengths, int threads, double min_time);
double dfti_fftw_mflops(char type, const std::vector<int> &lengths, int threads, unsigned flags, double min_time);
// The engine DFT's rate over the descriptor's at 1-D length n (one thread).
double dfti_engine_ratio(char type, int n, double min_time);

// CPU seconds of one call of a level-1 routine by name ("sdot", "dasum",
// ...: axpy, copy, dot, asum, nrm2) on n elements, unit stride, and of
// ?gemv (trans N, T or C) on an n x n matrix (zem_bench_vec.cpp).
double level1_seconds(const char *name, bool peer, int n, double min_time);
double gemv_seconds(char type, char trans, bool peer, int n, double min_time);

// The machine's limits for one core: mulps+addps (SSE) and fmul+fadd (x87)
// with enough independent chains in flight, in GFLOPS (zem_bench_limits.cpp).
double sse_limit_gflops();
double x87_limit_gflops();

// ---- the report of every speed target -------------------------------------

// One measurement: runs once per report however many targets use it
// (targets that share the key share the value). The value is a rate;
// `wall` picks the wall-clock rate, else the CPU-time one.
struct Probe {
    std::string key;
    std::function<Rate()> run;
    bool wall = false;
};

// One speed target stated in the library's issues: ours / ref (or ours
// alone when ref has no run) at least `need`.
struct Target {
    std::string issues; // the issues that state it
    bool in_short;      // measured by `zem-bench report --short` too
    std::string what;
    std::string unit; // of ours and ref
    Probe ours, ref;
    std::string ref_name; // "OpenBLAS", "SSE limit", "our gemm", ...
    double need;
};

// Every target, in the order they are measured: one-thread cases first,
// then those that time two threads (zem_bench_targets.cpp). min_time:
// seconds of repetitions per measurement.
std::vector<Target> targets(double min_time);

} // namespace zembench

#endif
