// What the benchmark programs share: the peers loaded at run time with
// dlopen (OpenBLAS, FFTW), the gemm and FFT-engine calls of each type, a
// deterministic fill, and (for the Google Benchmark programs, which include
// <benchmark/benchmark.h> before this file) the reporter that pairs our
// runs with the peer's for the closing ratio tables.
#ifndef ZEM_BENCH_PEERS_H
#define ZEM_BENCH_PEERS_H

#include <dlfcn.h>
#include <stddef.h>

#include <map>
#include <string>
#include <vector>

#include "fxrs.h"
#include "zem_blas.h"

namespace zembench {

// ---- OpenBLAS ----------------------------------------------------------

// The library's handle, opened on first use; nullptr when not installed.
inline void *openblas()
{
    static void *handle = dlopen("libopenblas.so.0", RTLD_NOW | RTLD_LOCAL);
    return handle;
}

// One OpenBLAS entry point by its symbol name, typed as f; nullptr when
// the library or the name is missing.
template <class F>
inline void openblas_sym(F &f, const char *name)
{
    void *h = openblas();
    f = h ? (F)dlsym(h, name) : nullptr;
}

// Fills the member f with OpenBLAS's Fortran entry of that name ("f_").
#define ZEMBENCH_FORTRAN_SYM(f) zembench::openblas_sym(f, #f "_")

// Its thread-count setter (nullptr when missing).
inline void (*openblas_set_threads())(int)
{
    void (*set)(int) = nullptr;
    openblas_sym(set, "openblas_set_num_threads");
    return set;
}

// Holds OpenBLAS to one thread, for routines that run on the caller's.
inline void openblas_one_thread()
{
    if (auto set = openblas_set_threads())
        set(1);
}

// ---- gemm of each type, ours and the peer's ------------------------------

template <class T>
using GemmFn = void (*)(const char *, const char *, const int *, const int *, const int *, const T *, const T *,
                        const int *, const T *, const int *, const T *, T *, const int *);

struct GemmPeer {
    void *handle = nullptr;
    GemmFn<float> s = nullptr;
    GemmFn<double> d = nullptr;
    GemmFn<ZEM_Complex8> c = nullptr;
    GemmFn<ZEM_Complex16> z = nullptr;
    void (*set_threads)(int) = nullptr;

    void open()
    {
        handle = openblas();
        openblas_sym(s, "sgemm_");
        openblas_sym(d, "dgemm_");
        openblas_sym(c, "cgemm_");
        openblas_sym(z, "zgemm_");
        set_threads = openblas_set_threads();
    }
};

template <class T>
struct GemmTy;
template <>
struct GemmTy<float> {
    static constexpr bool complex = false;
    static constexpr double flops = 2; // per m*n*k
    static constexpr double eps = 5.96e-8;
    static const char *name() { return "sgemm"; }
    static GemmFn<float> ours() { return sgemm_; }
    static GemmFn<float> peer(const GemmPeer &p) { return p.s; }
    static float make(double r, double) { return (float)r; }
};
template <>
struct GemmTy<double> {
    static constexpr bool complex = false;
    static constexpr double flops = 2;
    static constexpr double eps = 1.11e-16;
    static const char *name() { return "dgemm"; }
    static GemmFn<double> ours() { return dgemm_; }
    static GemmFn<double> peer(const GemmPeer &p) { return p.d; }
    static double make(double r, double) { return r; }
};
template <>
struct GemmTy<ZEM_Complex8> {
    static constexpr bool complex = true;
    static constexpr double flops = 8;
    static constexpr double eps = 5.96e-8;
    static const char *name() { return "cgemm"; }
    static GemmFn<ZEM_Complex8> ours() { return cgemm_; }
    static GemmFn<ZEM_Complex8> peer(const GemmPeer &p) { return p.c; }
    static ZEM_Complex8 make(double r, double i) { return ZEM_Complex8{(float)r, (float)i}; }
};
template <>
struct GemmTy<ZEM_Complex16> {
    static constexpr bool complex = true;
    static constexpr double flops = 8;
    static constexpr double eps = 1.11e-16;
    static const char *name() { return "zgemm"; }
    static GemmFn<ZEM_Complex16> ours() { return zgemm_; }
    static GemmFn<ZEM_Complex16> peer(const GemmPeer &p) { return p.z; }
    static ZEM_Complex16 make(double r, double i) { return ZEM_Complex16{r, i}; }
};

// ---- FFTW ----------------------------------------------------------------

constexpr int kFftwForward = -1;
constexpr unsigned kFftwMeasure = 0, kFftwNoSimd = 1u << 17;

// The planner entry points of one precision, found at run time.
struct FftwApi {
    void *handle = nullptr;
    void *(*plan)(int, void *, void *, int, unsigned) = nullptr;
    void (*execute)(void *) = nullptr;
    void (*destroy)(void *) = nullptr;
    void *(*alloc)(size_t) = nullptr;
    void (*release)(void *) = nullptr;
    size_t elem = 0; // bytes of one complex element

    bool load(const char *lib, const char *prefix, size_t elem_bytes)
    {
        handle = dlopen(lib, RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return false;
        auto sym = [&](const char *name) { return dlsym(handle, (std::string(prefix) + name).c_str()); };
        plan = (void *(*)(int, void *, void *, int, unsigned))sym("plan_dft_1d");
        execute = (void (*)(void *))sym("execute");
        destroy = (void (*)(void *))sym("destroy_plan");
        alloc = (void *(*)(size_t))sym("malloc");
        release = (void (*)(void *))sym("free");
        elem = elem_bytes;
        return plan && execute && destroy && alloc && release;
    }
};

// ---- the FFT engine's complex transforms of one precision ----------------

template <class R>
struct Engine;
template <>
struct Engine<float> {
    using C = Fxrs32fc;
    using Ctx = FxrsFFTCtx_C_32fc;
    static FxrStatus init(Ctx **c, int order) { return fxrsFFTInitAlloc_C_32fc(c, order, FXR_FFT_NODIV_BY_ANY, 0); }
    static FxrStatus bufsize(Ctx *c, int *s) { return fxrsFFTGetBufSize_C_32fc(c, s); }
    static FxrStatus fwd(C *d, Ctx *c, uint8_t *b) { return fxrsFFTFwd_CToC_32fc(d, d, c, b); }
    static FxrStatus inv(C *d, Ctx *c, uint8_t *b) { return fxrsFFTInv_CToC_32fc(d, d, c, b); }
    static void release(Ctx *c) { fxrsFFTFree_C_32fc(c); }
    static constexpr const char *name = "single";
    static constexpr double tol = 2e-7;
};
template <>
struct Engine<double> {
    using C = Fxrs64fc;
    using Ctx = FxrsFFTCtx_C_64fc;
    static FxrStatus init(Ctx **c, int order) { return fxrsFFTInitAlloc_C_64fc(c, order, FXR_FFT_NODIV_BY_ANY, 0); }
    static FxrStatus bufsize(Ctx *c, int *s) { return fxrsFFTGetBufSize_C_64fc(c, s); }
    static FxrStatus fwd(C *d, Ctx *c, uint8_t *b) { return fxrsFFTFwd_CToC_64fc(d, d, c, b); }
    static FxrStatus inv(C *d, Ctx *c, uint8_t *b) { return fxrsFFTInv_CToC_64fc(d, d, c, b); }
    static void release(Ctx *c) { fxrsFFTFree_C_64fc(c); }
    static constexpr const char *name = "double";
    static constexpr double tol = 4e-16;
};

// ---- data ------------------------------------------------------------------

// A fixed pattern in scale * [0.5, 1.5): the same data every run.
template <class R>
inline void fill_pattern(R *p, size_t count, double scale = 1.0)
{
    for (size_t i = 0; i < count; ++i)
        p[i] = (R)(scale * (0.5 + (double)((i * 7919) % 1000) / 1000.0));
}

} // namespace zembench

#ifdef BENCHMARK_BENCHMARK_H_
namespace zembench {

// Pairs our runs ("zem/<routine>") with the peer's ("openblas/<routine>")
// by "<routine>/<args>": time[0] is ours, time[1] the peer's, in the
// benchmarks' unit; gflops holds our best "GFLOPS" counter where there is
// one. With --benchmark_repetitions the best run counts (kBest: on a shared
// machine the fastest run is the one least disturbed) or the last (kLast).
class PairReporter : public benchmark::ConsoleReporter {
public:
    enum Clock { kRealTime, kCpuTime };
    enum Keep { kBest, kLast };
    explicit PairReporter(Clock clock, Keep keep = kBest) : clock_(clock), keep_(keep) {}

    std::map<std::string, double> time[2];
    std::map<std::string, double> gflops;

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &r : runs) {
            if (r.error_occurred || r.run_type != Run::RT_Iteration)
                continue;
            const std::string &f = r.run_name.function_name;
            const std::string k = f.substr(f.find('/') + 1) + "/" + r.run_name.args;
            auto &m = time[f.rfind("openblas", 0) == 0 ? 1 : 0];
            const double t = clock_ == kCpuTime ? r.GetAdjustedCPUTime() : r.GetAdjustedRealTime();
            if (keep_ == kLast || !m.count(k) || t < m[k])
                m[k] = t;
            if (f.rfind("zem", 0) == 0) {
                auto c = r.counters.find("GFLOPS");
                const double gf = c == r.counters.end() ? 0 : (double)c->second;
                if (gf > gflops[k])
                    gflops[k] = gf;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Calls row(key, ours, peer) for each key of order that has our time,
    // in that order; peer is nullptr where the peer did not run.
    template <class Row>
    void rows(const std::vector<std::string> &order, Row row) const
    {
        for (const std::string &k : order) {
            auto a = time[0].find(k), b = time[1].find(k);
            if (a != time[0].end())
                row(k, a->second, b == time[1].end() ? nullptr : &b->second);
        }
    }

private:
    Clock clock_;
    Keep keep_;
};

} // namespace zembench
#endif

#endif
