// zem-bench fft --dfti: descriptor transforms (one to three dimensions)
// beside FFTW with one and two threads, and the descriptor's overhead over
// the engine call it makes. "mflops" = 5 N log2 N / t(us) for complex
// transforms, N the number of points, best of the repetitions.
#include <dlfcn.h>
#include <math.h>
#include <omp.h>
#include <stdio.h>
#include <string.h>

#include <chrono>
#include <string>
#include <vector>

#include "fxrs.h"
#include "zem_bench.h"
#include "zem_dfti.h"

namespace {

using zembench::FftwApi;

using zembench::best_seconds;

double mflops(double points, double seconds) { return 5.0 * points * log2(points) / (seconds * 1e6); }

// The multi-dimensional planner and the thread switch of one FFTW precision.
struct FftwNd {
    void *(*plan)(int, const int *, void *, void *, int, unsigned) = nullptr;
    int (*init_threads)() = nullptr;
    void (*with_threads)(int) = nullptr;
    bool load(const FftwApi &api, const char *threads_lib, const char *prefix)
    {
        if (api.handle == nullptr)
            return false;
        plan = (void *(*)(int, const int *, void *, void *, int, unsigned))dlsym(
            api.handle, (std::string(prefix) + "plan_dft").c_str());
        void *t = dlopen(threads_lib, RTLD_NOW | RTLD_LOCAL);
        if (t) {
            init_threads = (int (*)())dlsym(t, (std::string(prefix) + "init_threads").c_str());
            with_threads = (void (*)(int))dlsym(t, (std::string(prefix) + "plan_with_nthreads").c_str());
            if (init_threads)
                init_threads();
        }
        return plan != nullptr;
    }
};

struct Shape {
    std::vector<int> n; // slowest first
    double points() const
    {
        double p = 1;
        for (int v : n)
            p *= v;
        return p;
    }
    std::string text() const
    {
        std::string s;
        for (size_t i = 0; i < n.size(); ++i)
            s += (i ? "x" : "") + std::to_string(n[i]);
        return s;
    }
};

// One descriptor transform timed in place; 0 when commit refuses it.
double time_dfti(int precision, const Shape &s, int threads, double min_time, int *status)
{
    omp_set_num_threads(threads);
    DFTI_DESCRIPTOR_HANDLE h = nullptr;
    int dims = (int)s.n.size();
    int st = dims == 1 ? DftiCreateDescriptor(&h, precision, DFTI_COMPLEX, 1, s.n[0])
                       : DftiCreateDescriptor(&h, precision, DFTI_COMPLEX, dims, s.n.data());
    if (st == 0)
        st = DftiCommitDescriptor(h);
    *status = st;
    double r = 0;
    if (st == 0) {
        size_t reals = 2 * (size_t)s.points();
        size_t bytes = reals * (precision == DFTI_SINGLE ? 4 : 8);
        void *data = fxrsMalloc_8u((int)bytes);
        if (precision == DFTI_SINGLE)
            zembench::fill_pattern((float *)data, reals, 1e-3);
        else
            zembench::fill_pattern((double *)data, reals, 1e-3);
        int batch = s.points() < 16384 ? (int)(16384 / s.points()) : 1;
        r = mflops(s.points(), best_seconds([&] { DftiComputeForward(h, data); }, min_time, batch));
        fxrsFree(data);
    }
    if (h)
        DftiFreeDescriptor(&h);
    return r;
}

double time_fftw(FftwApi &api, FftwNd &nd, const Shape &s, int threads, unsigned flags, double min_time)
{
    if (nd.plan == nullptr || (threads > 1 && nd.with_threads == nullptr))
        return 0;
    if (nd.with_threads)
        nd.with_threads(threads);
    void *d = api.alloc((size_t)s.points() * api.elem);
    void *p = nd.plan((int)s.n.size(), s.n.data(), d, d, zembench::kFftwForward, flags);
    memset(d, 0, (size_t)s.points() * api.elem);
    int batch = s.points() < 16384 ? (int)(16384 / s.points()) : 1;
    double r = mflops(s.points(), best_seconds([&] { api.execute(p); }, min_time, batch));
    api.destroy(p);
    api.release(d);
    if (nd.with_threads)
        nd.with_threads(1);
    return r;
}

// The descriptor against the engine function it calls (the complex DFT
// of the record's context), 1-D length 1024.
template <class R> struct Dft;
template <> struct Dft<float> {
    typedef FxrsDFTCtx_C_32fc Ctx;
    typedef Fxrs32fc C;
    static int init(Ctx **c, int n) { return fxrsDFTInitAlloc_C_32fc(c, n, FXR_FFT_NODIV_BY_ANY, 0); }
    static int size(Ctx *c, int *b) { return fxrsDFTGetBufSize_C_32fc(c, b); }
    static int fwd(C *d, Ctx *c, uint8_t *b) { return fxrsDFTFwd_CToC_32fc(d, d, c, b); }
    static void release(Ctx *c) { fxrsDFTFree_C_32fc(c); }
    static constexpr const char *name = "single";
};
template <> struct Dft<double> {
    typedef FxrsDFTCtx_C_64fc Ctx;
    typedef Fxrs64fc C;
    static int init(Ctx **c, int n) { return fxrsDFTInitAlloc_C_64fc(c, n, FXR_FFT_NODIV_BY_ANY, 0); }
    static int size(Ctx *c, int *b) { return fxrsDFTGetBufSize_C_64fc(c, b); }
    static int fwd(C *d, Ctx *c, uint8_t *b) { return fxrsDFTFwd_CToC_64fc(d, d, c, b); }
    static void release(Ctx *c) { fxrsDFTFree_C_64fc(c); }
    static constexpr const char *name = "double";
};

// The engine call's time over the descriptor's (one thread), best of
// five interleaved rounds.
template <class R> double overhead(int n, double min_time)
{
    using E = Dft<R>;
    typename E::Ctx *ctx = nullptr;
    E::init(&ctx, n);
    int bytes = 0;
    E::size(ctx, &bytes);
    uint8_t *buf = bytes > 0 ? fxrsMalloc_8u(bytes) : nullptr;
    typename E::C *data = (typename E::C *)fxrsMalloc_8u(n * (int)sizeof(typename E::C));
    zembench::fill_pattern((R *)data, 2 * (size_t)n, 1e-3);
    omp_set_num_threads(1);
    DFTI_DESCRIPTOR_HANDLE h = nullptr;
    DftiCreateDescriptor(&h, sizeof(R) == 4 ? DFTI_SINGLE : DFTI_DOUBLE, DFTI_COMPLEX, 1, n);
    DftiCommitDescriptor(h);
    double te = 1e30, td = 1e30;
    int batch = n < 16384 ? 16384 / n : 1;
    for (int round = 0; round < 5; ++round) { // interleaved, so drift hits both alike
        te = fmin(te, best_seconds([&] { E::fwd(data, ctx, buf); }, min_time, batch));
        td = fmin(td, best_seconds([&] { DftiComputeForward(h, data); }, min_time, batch));
    }
    DftiFreeDescriptor(&h);
    fxrsFree(data);
    fxrsFree(buf);
    E::release(ctx);
    return te / td;
}

// Real forward transforms (out of place, CCS) beside FFTW's r2c;
// "mflops" = 2.5 N log2 N / t(us).
double time_dfti_real(int precision, const Shape &s, int threads, double min_time, int *status)
{
    omp_set_num_threads(threads);
    DFTI_DESCRIPTOR_HANDLE h = nullptr;
    int dims = (int)s.n.size();
    int st = dims == 1 ? DftiCreateDescriptor(&h, precision, DFTI_REAL, 1, s.n[0])
                       : DftiCreateDescriptor(&h, precision, DFTI_REAL, dims, s.n.data());
    int n0 = s.n.back(), rows = dims == 2 ? s.n[0] : 1;
    if (st == 0 && dims == 2) {
        int in[3] = {0, n0, 1}, out[3] = {0, n0 + 2, 1};
        DftiSetValue(h, DFTI_INPUT_STRIDES, in);
        DftiSetValue(h, DFTI_OUTPUT_STRIDES, out);
    }
    if (st == 0)
        st = DftiSetValue(h, DFTI_PLACEMENT, DFTI_NOT_INPLACE);
    if (st == 0)
        st = DftiCommitDescriptor(h);
    *status = st;
    double r = 0;
    if (st == 0) {
        size_t e = precision == DFTI_SINGLE ? 4 : 8;
        size_t in_reals = (size_t)s.points(), out_reals = (size_t)(n0 + 2) * (rows + 2);
        void *a = fxrsMalloc_8u((int)(in_reals * e)), *b = fxrsMalloc_8u((int)(out_reals * e));
        if (precision == DFTI_SINGLE)
            zembench::fill_pattern((float *)a, in_reals, 1e-3);
        else
            zembench::fill_pattern((double *)a, in_reals, 1e-3);
        int batch = s.points() < 16384 ? (int)(16384 / s.points()) : 1;
        r = 0.5 * mflops(s.points(), best_seconds([&] { DftiComputeForward(h, a, b); }, min_time, batch));
        fxrsFree(a);
        fxrsFree(b);
    }
    if (h)
        DftiFreeDescriptor(&h);
    return r;
}

double time_fftw_real(FftwApi &api, const Shape &s, int threads, unsigned flags, double min_time, bool single)
{
    typedef void *(*PlanR2c)(int, const int *, void *, void *, unsigned);
    PlanR2c plan = (PlanR2c)dlsym(api.handle, single ? "fftwf_plan_dft_r2c" : "fftw_plan_dft_r2c");
    typedef void (*WithThreads)(int);
    void *tl = dlopen(single ? "libfftw3f_threads.so.3" : "libfftw3_threads.so.3", RTLD_NOW | RTLD_LOCAL);
    WithThreads with = tl ? (WithThreads)dlsym(tl, single ? "fftwf_plan_with_nthreads" : "fftw_plan_with_nthreads")
                          : nullptr;
    if (plan == nullptr || (threads > 1 && with == nullptr))
        return 0;
    if (with)
        with(threads);
    size_t e = single ? 4 : 8;
    int n0 = s.n.back(), rows = s.n.size() == 2 ? s.n[0] : 1;
    void *a = api.alloc((size_t)s.points() * e), *b = api.alloc((size_t)(n0 / 2 + 1) * rows * 2 * e);
    void *p = plan((int)s.n.size(), s.n.data(), a, b, flags);
    memset(a, 0, (size_t)s.points() * e);
    int batch = s.points() < 16384 ? (int)(16384 / s.points()) : 1;
    double r = 0.5 * mflops(s.points(), best_seconds([&] { api.execute(p); }, min_time, batch));
    api.destroy(p);
    api.release(a);
    api.release(b);
    if (with)
        with(1);
    return r;
}

} // namespace

double zembench::dfti_mflops(char type, const std::vector<int> &lengths, int threads, double min_time)
{
    int status = 0;
    const double r = time_dfti(type == 's' ? DFTI_SINGLE : DFTI_DOUBLE, Shape{lengths}, threads, min_time, &status);
    return status ? 0 : r;
}

double zembench::dfti_fftw_mflops(char type, const std::vector<int> &lengths, int threads, unsigned flags,
                                  double min_time)
{
    static FftwApi api[2];
    static FftwNd nd[2];
    static bool loaded[2] = {false, false}, have[2] = {false, false};
    const int i = type == 's' ? 0 : 1;
    if (!loaded[i]) {
        loaded[i] = true;
        have[i] = i == 0 ? api[0].load("libfftw3f.so.3", "fftwf_", sizeof(Fxrs32fc)) &&
                               nd[0].load(api[0], "libfftw3f_threads.so.3", "fftwf_")
                         : api[1].load("libfftw3.so.3", "fftw_", sizeof(Fxrs64fc)) &&
                               nd[1].load(api[1], "libfftw3_threads.so.3", "fftw_");
    }
    return have[i] ? time_fftw(api[i], nd[i], Shape{lengths}, threads, flags, min_time) : 0;
}

double zembench::dfti_engine_ratio(char type, int n, double min_time)
{
    return type == 's' ? overhead<float>(n, min_time) : overhead<double>(n, min_time);
}

int zem_bench_dfti(double min_time)
{
    FftwApi f32, f64;
    FftwNd n32, n64;
    bool p32 = f32.load("libfftw3f.so.3", "fftwf_", sizeof(Fxrs32fc)) &&
               n32.load(f32, "libfftw3f_threads.so.3", "fftwf_");
    bool p64 = f64.load("libfftw3.so.3", "fftw_", sizeof(Fxrs64fc)) &&
               n64.load(f64, "libfftw3_threads.so.3", "fftw_");
    const Shape shapes[] = {{{1024}}, {{1000}}, {{65536}}, {{256, 256}}, {{1024, 1024}}, {{64, 64, 64}}};
    int saved = omp_get_max_threads();
    printf("\nzem-bench fft --dfti: in-place forward complex descriptor transforms; mflops = 5 N log2 N / t(us)\n");
    printf("peer: %s; fftw-ns = FFTW without SIMD\n", p32 || p64 ? "FFTW (FFTW_MEASURE)" : "none loaded");
    printf("%-7s %-10s %3s %10s %10s %10s %9s %9s\n", "prec", "shape", "thr", "zem", "fftw", "fftw-ns",
           "zem/fftw", "zem/ns");
    for (int prec : {DFTI_SINGLE, DFTI_DOUBLE}) {
        FftwApi &api = prec == DFTI_SINGLE ? f32 : f64;
        FftwNd &nd = prec == DFTI_SINGLE ? n32 : n64;
        bool peer = prec == DFTI_SINGLE ? p32 : p64;
        for (const Shape &s : shapes)
            for (int threads = 1; threads <= 2; ++threads) {
                int st = 0;
                double z = time_dfti(prec, s, threads, min_time, &st);
                double p = peer ? time_fftw(api, nd, s, threads, zembench::kFftwMeasure, min_time) : 0;
                double q = peer ? time_fftw(api, nd, s, threads, zembench::kFftwMeasure | zembench::kFftwNoSimd,
                                            min_time)
                                : 0;
                const char *name = prec == DFTI_SINGLE ? "single" : "double";
                if (st != 0) {
                    printf("%-7s %-10s %3d %10s %10.0f %10.0f  (commit: %s)\n", name, s.text().c_str(), threads,
                           "-", p, q, DftiErrorMessage(st));
                    continue;
                }
                printf("%-7s %-10s %3d %10.0f %10.0f %10.0f %9.2f %9.2f\n", name, s.text().c_str(), threads, z, p,
                       q, p > 0 ? z / p : 0.0, q > 0 ? z / q : 0.0);
            }
    }
    printf("\nreal forward transforms (out of place, CCS); mflops = 2.5 N log2 N / t(us)\n");
    const Shape real_shapes[] = {{{1024}}, {{1000}}, {{65536}}, {{256, 256}}, {{1024, 1024}}};
    for (int prec : {DFTI_SINGLE, DFTI_DOUBLE}) {
        FftwApi &api = prec == DFTI_SINGLE ? f32 : f64;
        bool peer = prec == DFTI_SINGLE ? p32 : p64;
        for (const Shape &s : real_shapes)
            for (int threads = 1; threads <= 2; ++threads) {
                int st = 0;
                double z = time_dfti_real(prec, s, threads, min_time, &st);
                bool single = prec == DFTI_SINGLE;
                double p = peer ? time_fftw_real(api, s, threads, zembench::kFftwMeasure, min_time, single) : 0;
                double q = peer ? time_fftw_real(api, s, threads, zembench::kFftwMeasure | zembench::kFftwNoSimd,
                                                 min_time, single)
                                : 0;
                printf("%-7s %-10s %3d %10.0f %10.0f %10.0f %9.2f %9.2f%s%s\n", single ? "single" : "double",
                       s.text().c_str(), threads, z, p, q, p > 0 ? z / p : 0.0, q > 0 ? z / q : 0.0,
                       st ? "  commit: " : "", st ? DftiErrorMessage(st) : "");
            }
    }
    printf("\ndescriptor overhead over the engine call, one thread\n");
    for (int n : {1024, 65536})
        printf("single  %6d: descriptor %+.1f%% time\n", n, 100.0 * (1 / overhead<float>(n, min_time) - 1.0));
    for (int n : {1024, 65536})
        printf("double  %6d: descriptor %+.1f%% time\n", n, 100.0 * (1 / overhead<double>(n, min_time) - 1.0));
    omp_set_num_threads(saved);
    return 0;
}
