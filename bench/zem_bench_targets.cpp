// The speed targets stated in this library's issues, as the rows of
// `zem-bench report`: what is measured (with the tours' own measuring
// code), against what (a peer in the same run, a limit of this machine
// measured in the same run, or another of our own figures), and the ratio
// the issue asks for. Add a target here when an issue states one.
#include <stdarg.h>
#include <stdio.h>

#include <cmath>
#include <string>
#include <vector>

#include "zem_bench.h"

namespace zembench {
namespace {

double g_time = 0.2; // seconds of repetitions per measurement

std::string fmt(const char *f, ...) __attribute__((format(printf, 1, 2)));
std::string fmt(const char *f, ...)
{
    char buf[160];
    va_list ap;
    va_start(ap, f);
    vsnprintf(buf, sizeof buf, f, ap);
    va_end(ap);
    return buf;
}

Probe one(const std::string &key, std::function<double()> f, bool wall = false)
{
    return Probe{key, [f] {
                     const double v = f();
                     return Rate{v, v};
                 },
                 wall};
}

// ---- the machine's limits ------------------------------------------------
Probe sse() { return one("limit sse", sse_limit_gflops); }
Probe x87() { return one("limit x87", x87_limit_gflops); }

// ---- level 1 and 2: GB/s streamed (per = bytes) or GFLOPS (per = flops per
// element) --------------------------------------------------------------
Probe l1(const char *name, bool peer, int n, double per)
{
    return one(fmt("l1 %s %d %d %g", name, peer, n, per), [=] {
        const double t = level1_seconds(name, peer, n, g_time);
        return t > 0 ? per * n / t * 1e-9 : 0;
    });
}
double l1_bytes(const char *name)
{
    const std::string op = name + 1;
    const double streams = op == "axpy" ? 3 : op == "dot" || op == "copy" ? 2 : 1;
    return streams * (name[0] == 's' ? 4 : 8);
}

Probe gemv(char type, char trans, bool peer, int n)
{
    return one(fmt("gemv %c %c %d %d", type, trans, peer, n), [=] {
        const double t = gemv_seconds(type, trans, peer, n, g_time);
        return t > 0 ? (type == 'c' || type == 'z' ? 8.0 : 2.0) * n * (double)n / t * 1e-9 : 0;
    });
}

// ---- level 3: GFLOPS, by CPU time with one thread, by wall time with two --
Probe gemm(char type, int m, int n, int k, int threads = 1, bool peer = false)
{
    return Probe{fmt("gemm %c %d %d %d %d %d", type, m, n, k, threads, peer),
                 [=] { return gemm_rate(type, peer, m, n, k, threads, g_time); }, threads > 1};
}
Probe tri(char type, bool solve, int n, int threads)
{
    return Probe{fmt("tri %c %d %d %d", type, solve, n, threads),
                 [=] { return tri_rate(type, solve, false, n, threads, 1); }, threads > 1};
}
Probe sym(const std::string &name, int n, int threads)
{
    return Probe{fmt("sym %s %d %d", name.c_str(), n, threads),
                 [=] { return sym_rate(name.c_str(), false, n, threads, g_time); }, threads > 1};
}

// ---- transforms: "mflops" ------------------------------------------------
FftwApi *fftw(char type)
{
    static FftwApi api[3];
    static int state[3] = {0, 0, 0}; // 0: not tried, 1: loaded, 2: missing
    const int i = type == 's' ? 0 : type == 'd' ? 1 : 2;
    static const char *lib[3] = {"libfftw3f.so.3", "libfftw3.so.3", "libfftw3l.so.3"};
    static const char *prefix[3] = {"fftwf_", "fftw_", "fftwl_"};
    static const size_t elem[3] = {sizeof(Fxrs32fc), sizeof(Fxrs64fc), 2 * sizeof(long double)};
    if (state[i] == 0)
        state[i] = api[i].load(lib[i], prefix[i], elem[i]) ? 1 : 2;
    return state[i] == 1 ? &api[i] : nullptr;
}
// FFTW of type s, d or l (long double), with SIMD or without.
Probe peer_fft(char type, long n, bool simd)
{
    return one(fmt("fftw %c %ld %d", type, n, simd),
               [=] { return fftw_mflops(fftw(type), n, kFftwMeasure | (simd ? 0 : kFftwNoSimd), g_time); });
}
Probe engine(char type, int order)
{
    return one(fmt("engine %c %d", type, order), [=] { return engine_mflops(type, order, g_time); });
}
Probe dft(char type, long n)
{
    return one(fmt("dft %c %ld", type, n), [=] { return dft_mflops(type, n, g_time); });
}
Probe real(char type, long n)
{
    return one(fmt("real %c %ld", type, n), [=] { return real_mflops(type, n, g_time); });
}
Probe legacy(char type, int order)
{
    return one(fmt("legacy %c %d", type, order), [=] { return legacy_mflops(type, order, g_time); });
}
Probe dfti(char type, const std::vector<int> &len, int threads)
{
    return one(fmt("dfti %c %dx%d %d", type, len[0], len.size() > 1 ? len[1] : 1, threads),
               [=] { return dfti_mflops(type, len, threads, g_time); }, threads > 1);
}
Probe dfti_fftw(char type, const std::vector<int> &len, bool simd)
{
    return one(fmt("dfti fftw %c %dx%d %d", type, len[0], len.size() > 1 ? len[1] : 1, simd),
               [=] { return dfti_fftw_mflops(type, len, 1, kFftwMeasure | (simd ? 0 : kFftwNoSimd), g_time); });
}

const char *kTypes = "sdcz";
bool cplx(char t) { return t == 'c' || t == 'z'; }
bool single(char t) { return t == 's' || t == 'c'; }

} // namespace

std::vector<Target> targets(double min_time)
{
    g_time = min_time;
    std::vector<Target> v;
    auto add = [&](const char *issues, bool in_short, const std::string &what, const char *unit, Probe ours,
                   Probe ref, const char *ref_name, double need) {
        v.push_back(Target{issues, in_short, what, unit, ours, ref, ref_name, need});
    };
    const Probe none;
    const char *s_lim = "SSE limit", *x_lim = "x87 limit";

    // Level 1: memory bound at 1e7 against the peer; in cache against the limits.
    for (const char *r : {"saxpy", "daxpy", "sdot", "ddot", "sasum", "dasum", "scopy", "dcopy"})
        add(std::string(r + 1) == "asum" && r[0] == 'd' ? "3, 15" : "3", true, fmt("%s, n = 1e7", r), "GB/s",
            l1(r, false, 10000000, l1_bytes(r)), l1(r, true, 10000000, l1_bytes(r)), "OpenBLAS", 0.9);
    add("15", true, "dnrm2, n = 1e7", "GB/s", l1("dnrm2", false, 10000000, 8), l1("dnrm2", true, 10000000, 8),
        "OpenBLAS", 0.9);
    for (const char *r : {"sdot", "saxpy"})
        add("3", true, fmt("%s, n = 1000 (in cache)", r), "GFLOPS", l1(r, false, 1000, 2), sse(), s_lim, 0.85);
    for (const char *r : {"ddot", "daxpy"})
        add("3", true, fmt("%s, n = 1000 (in cache)", r), "GFLOPS", l1(r, false, 1000, 2), x87(), x_lim, 0.85);

    // Level 2.
    for (char t : {'N', 'T'}) {
        add("4, 15", true, fmt("sgemv %c, n = 4000", t), "GFLOPS", gemv('s', t, false, 4000),
            gemv('s', t, true, 4000), "OpenBLAS", 0.9);
        add("4", true, fmt("dgemv %c, n = 4000", t), "GFLOPS", gemv('d', t, false, 4000), gemv('d', t, true, 4000),
            "OpenBLAS", 0.9);
        add("15", true, fmt("dgemv %c, n = 4000", t), "GFLOPS", gemv('d', t, false, 4000), x87(), x_lim, 0.9);
        add("4", true, fmt("sgemv %c, n = 500 (in cache)", t), "GFLOPS", gemv('s', t, false, 500), sse(), s_lim,
            0.6);
        add("4", true, fmt("dgemv %c, n = 500 (in cache)", t), "GFLOPS", gemv('d', t, false, 500), x87(), x_lim,
            0.8);
    }
    for (char t : {'N', 'T', 'C'}) {
        add("15", true, fmt("zgemv %c, n = 500 (in cache)", t), "GFLOPS", gemv('z', t, false, 500), x87(), x_lim,
            0.85);
        add("15", true, fmt("zgemv %c, n = 4000", t), "GFLOPS", gemv('z', t, false, 4000), x87(), x_lim, 0.8);
        // In cache OpenBLAS's AVX2 code runs faster than SSE allows, so the
        // SSE limit is the measure there; out of cache the peer is.
        add("15", true, fmt("cgemv %c, n = 500 (in cache)", t), "GFLOPS", gemv('c', t, false, 500), sse(), s_lim,
            0.8);
        add("15", true, fmt("cgemv %c, n = 4000", t), "GFLOPS", gemv('c', t, false, 4000), gemv('c', t, true, 4000),
            "OpenBLAS", 0.7);
    }

    // gemm, one thread, against the limit of its instruction set.
    for (char t : std::string(kTypes)) {
        const Probe lim = single(t) ? sse() : x87();
        const char *ln = single(t) ? s_lim : x_lim;
        const double big = t == 's' ? 0.85 : t == 'c' ? 0.80 : 0.85;
        for (int n : {1000, 2000})
            add("5", n == 1000, fmt("%cgemm %d cubed", t, n), "GFLOPS", gemm(t, n, n, n), lim, ln, big);
        add("5", true, fmt("%cgemm 256 cubed", t), "GFLOPS", gemm(t, 256, 256, 256), lim, ln, 0.70);
        const double small = single(t) ? 0.75 : 0.9;
        for (int n : {64, 128, 256})
            add("15", true, fmt("%cgemm %d cubed", t, n), "GFLOPS", gemm(t, n, n, n), lim, ln, small);
        const int thin[3][3] = {{2000, 2000, 64}, {2000, 64, 2000}, {64, 2000, 2000}};
        for (auto &s : thin)
            add("15", true, fmt("%cgemm %dx%dx%d (m x n x k)", t, s[0], s[1], s[2]), "GFLOPS",
                gemm(t, s[0], s[1], s[2]), lim, ln, small);
    }

    // The other level-3 routines at 1000 against our gemm of the same type.
    for (char t : std::string(kTypes)) {
        const Probe g = gemm(t, 1000, 1000, 1000);
        for (bool solve : {true, false})
            add("11", t != 'z', fmt("%ctr%s n = 1000", t, solve ? "sm" : "mm"), "GFLOPS", tri(t, solve, 1000, 1), g,
                "our gemm", 0.8);
        std::vector<std::string> names = {"syrk", "syr2k", "symm"};
        if (cplx(t))
            names.push_back("herk");
        for (const std::string &r : names)
            add("11", t != 'z', fmt("%c%s n = 1000", t, r.c_str()), "GFLOPS", sym(std::string(1, t) + r, 1000, 1), g,
                "our gemm", 0.8);
    }

    // The transform engine's power-of-two FFT: stated figures, and FFTW
    // without SIMD in the same run.
    const int orders[3] = {10, 16, 20};
    const double s_need[3] = {30000, 22000, 10000}, d_need[3] = {2500, 2000, 1200}, nosimd[3] = {2.5, 2.2, 1.4};
    for (int i = 0; i < 3; ++i) {
        const int o = orders[i];
        add("6", o < 20, fmt("single FFT 2^%d", o), "mflops", engine('s', o), none, "", s_need[i]);
        add("6", o < 20, fmt("double FFT 2^%d", o), "mflops", engine('d', o), none, "", d_need[i]);
        add("15", o < 20, fmt("single FFT 2^%d", o), "mflops", engine('s', o), peer_fft('s', 1L << o, false),
            "FFTW no-SIMD", nosimd[i]);
    }
    // Fixed-argument routines against the engine and FFTW's long double.
    for (int o : {10, 16}) {
        add("17", true, fmt("cfft1d 2^%d", o), "mflops", legacy('s', o), engine('s', o), "our engine", 0.8);
        add("15", true, fmt("cfft1d 2^%d", o), "mflops", legacy('s', o), engine('s', o), "our engine", 1.0);
        add("17", true, fmt("zfft1d 2^%d", o), "mflops", legacy('d', o), peer_fft('l', 1L << o, true),
            "FFTW long dbl", 1.5);
    }
    // Any-length and real transforms.
    add("16", true, "single DFT N = 1000", "mflops", dft('s', 1000), peer_fft('s', 1000, false), "FFTW no-SIMD",
        1.8);
    add("16", false, "single DFT N = 100000", "mflops", dft('s', 100000), peer_fft('s', 100000, false),
        "FFTW no-SIMD", 1.6);
    for (char t : {'s', 'd'})
        add("16", true, fmt("%s DFT N = 10007", t == 's' ? "single" : "double"), "mflops", dft(t, 10007),
            dft(t, 16384), "ours at 16384", 1.0 / 3);
    if (fftw('l'))
        add("16", true, "double DFT N = 1000", "mflops", dft('d', 1000), peer_fft('l', 1000, true), "FFTW long dbl",
            1.5);
    else
        add("16", true, "double DFT N = 1000", "mflops", dft('d', 1000), none, "", 1500);
    for (char t : {'s', 'd'})
        for (long n : {1024L, 65536L, 1000L})
            add("16", n == 1024, fmt("%s real N = %ld", t == 's' ? "single" : "double", n), "mflops", real(t, n),
                dft(t, n / 2), "our complex N/2", 0.9);

    // The descriptor interface.
    for (char t : {'s', 'd'})
        for (int n : {1024, 65536})
            add("18", n == 1024, fmt("%s descriptor over engine, N = %d", t == 's' ? "single" : "double", n),
                "x", one(fmt("dfti overhead %c %d", t, n), [=] { return dfti_engine_ratio(t, n, g_time); }), none,
                "", 0.95);
    const std::vector<int> sq = {1024, 1024};
    add("18", false, "single 2-D 1024x1024 descriptor", "mflops", dfti('s', sq, 1), dfti_fftw('s', sq, false),
        "FFTW no-SIMD", 1.2);

    // Two threads against one, same run (wall-clock time).
    for (char t : std::string(kTypes)) {
        Probe one_wall = gemm(t, 2000, 2000, 2000);
        one_wall.wall = true;
        add("5", false, fmt("%cgemm 2000 cubed, 2 threads", t), "GFLOPS", gemm(t, 2000, 2000, 2000, 2), one_wall,
            "1 thread", 1.8);
    }
    // (double complex at 2000 takes minutes per call pair on x87: left to
    // `zem-bench tri --sizes 2000 --routines z`)
    for (char t : {'s', 'd', 'c'})
        for (bool solve : {true, false}) {
            Probe o1 = tri(t, solve, 2000, 1);
            o1.wall = true;
            add("11", false, fmt("%ctr%s n = 2000, 2 threads", t, solve ? "sm" : "mm"), "GFLOPS",
                tri(t, solve, 2000, 2), o1, "1 thread", 1.7);
        }
    for (const char *r : {"ssyrk", "ssyr2k", "ssymm", "dsyrk", "dsyr2k", "dsymm"}) {
        Probe o1 = sym(r, 2000, 1);
        o1.wall = true;
        add("11", false, fmt("%s n = 2000, 2 threads", r), "GFLOPS", sym(r, 2000, 2), o1, "1 thread", 1.7);
    }
    Probe d1 = dfti('s', sq, 1);
    d1.wall = true;
    add("18", false, "single 2-D 1024x1024 descriptor, 2 threads", "mflops", dfti('s', sq, 2), d1, "1 thread", 1.8);
    return v;
}

} // namespace zembench
