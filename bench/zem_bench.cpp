// zem-bench: the tour of the library's main work; `zem-bench fft` runs
// the transform part (zem_bench_fft.cpp). This file: the matrix-multiply tour. Times sgemm, dgemm, cgemm and zgemm
// of this library over a set of shapes with 1 and 2 threads, beside
// OpenBLAS when it is installed (loaded with dlopen), and prints GFLOPS
// (2mnk for real, 8mnk for complex types; median of the repetitions) and
// the ratio to the peer. --check verifies the result of the timed calls
// against a plain product first. --svg writes a plot of GFLOPS over the
// size of the square problems.
#include <omp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <complex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "zem_bench.h"
#include "zem_blas.h"
#include "zem_service.h"

namespace {

struct Shape {
    int m, n, k;
};

struct Options {
    std::vector<Shape> shapes;
    std::vector<int> threads{1, 2};
    std::string routines = "sdcz";
    bool check = false;
    bool peer = true;
    double min_time = 0.25; // seconds of repetitions per measurement
    int max_reps = 5;
    std::string svg;
};

const std::vector<Shape> kShort = {{64, 64, 64},       {256, 256, 256},  {1000, 1000, 1000},
                                   {1000, 1000, 32},   {2000, 32, 2000}, {32, 2000, 2000}};
const std::vector<Shape> kFull = {{64, 64, 64},       {128, 128, 128},    {256, 256, 256},   {512, 512, 512},
                                  {1000, 1000, 1000}, {1500, 1500, 1500}, {2000, 2000, 2000}, {1000, 1000, 32},
                                  {2000, 32, 2000},   {32, 2000, 2000},   {4000, 16, 16}};

using zembench::GemmFn;
using Peer = zembench::GemmPeer;
template <class T>
using Ty = zembench::GemmTy<T>;

// Values as (re, im) pairs of long double, whatever the type.
inline void parts(float x, long double &r, long double &i) { r = x, i = 0; }
inline void parts(double x, long double &r, long double &i) { r = x, i = 0; }
inline void parts(ZEM_Complex8 x, long double &r, long double &i) { r = x.real, i = x.imag; }
inline void parts(ZEM_Complex16 x, long double &r, long double &i) { r = x.real, i = x.imag; }

template <class T>
std::vector<T> random_matrix(size_t elems, unsigned seed)
{
    std::vector<T> v(elems);
    std::mt19937 g(seed);
    std::uniform_real_distribution<double> u(-1, 1);
    for (auto &x : v) {
        const double r = u(g), i = u(g);
        x = Ty<T>::make(r, i);
    }
    return v;
}

// The plain product C = A*B (column-major, 'N', 'N') checked against c:
// returns the largest error relative to sum |a||b| per element, in units
// of the type's rounding unit times k.
template <class T>
double check_product(const Shape &s, const std::vector<T> &a, const std::vector<T> &b, const std::vector<T> &c)
{
    double worst = 0;
    std::vector<long double> ar(a.size()), ai(a.size());
    for (size_t i = 0; i < a.size(); ++i)
        parts(a[i], ar[i], ai[i]);
    for (int j = 0; j < s.n; ++j) {
        std::vector<long double> sr(s.m, 0), si(s.m, 0), mag(s.m, 0);
        for (int p = 0; p < s.k; ++p) {
            long double br, bi;
            parts(b[p + (size_t)j * s.k], br, bi);
            const long double bm = fabsl(br) + fabsl(bi);
            const long double *xr = &ar[(size_t)p * s.m], *xi = &ai[(size_t)p * s.m];
            for (int i = 0; i < s.m; ++i) {
                sr[i] += xr[i] * br - xi[i] * bi;
                si[i] += xr[i] * bi + xi[i] * br;
                mag[i] += (fabsl(xr[i]) + fabsl(xi[i])) * bm;
            }
        }
        for (int i = 0; i < s.m; ++i) {
            long double cr, ci;
            parts(c[i + (size_t)j * s.m], cr, ci);
            const long double err = fabsl(cr - sr[i]) + fabsl(ci - si[i]);
            const double rel = (double)(err / (mag[i] * Ty<T>::eps * (s.k + 2) + 1e-300L));
            if (!(rel <= worst))
                worst = std::isnan(rel) ? INFINITY : rel;
        }
    }
    return worst;
}

// Median seconds of one call, repeating for about min_time; cpu receives
// the process CPU seconds per call over the repetitions (all threads).
template <class T>
double time_calls(GemmFn<T> f, const Shape &s, const std::vector<T> &a, const std::vector<T> &b, std::vector<T> &c,
                  const Options &o, double &cpu)
{
    const T one = Ty<T>::make(1, 0), zero = Ty<T>::make(0, 0);
    zembench::Repeat r;
    r.min_time = o.min_time;
    r.max_reps = o.max_reps;
    const zembench::Timing t = zembench::measure(
        [&] { f("N", "N", &s.m, &s.n, &s.k, &one, a.data(), &s.m, b.data(), &s.k, &zero, c.data(), &s.m); }, r);
    cpu = t.cpu;
    return t.median;
}

template <class T>
zembench::Rate gemm_rate_of(bool use_peer, const Shape &s, int threads, double min_time)
{
    Peer peer;
    if (use_peer)
        peer.open();
    GemmFn<T> f = use_peer ? Ty<T>::peer(peer) : Ty<T>::ours();
    if (!f)
        return zembench::Rate{0, 0};
    std::vector<T> a = random_matrix<T>((size_t)s.m * s.k, 1), b = random_matrix<T>((size_t)s.k * s.n, 2),
                   c((size_t)s.m * s.n);
    omp_set_num_threads(threads);
    if (peer.set_threads)
        peer.set_threads(threads);
    Options o;
    o.min_time = min_time;
    double cpu = 0;
    const double flops = (Ty<T>::complex ? 8.0 : 2.0) * s.m * s.n * s.k * 1e-9;
    const double wall = time_calls<T>(f, s, a, b, c, o, cpu);
    if (use_peer) // let the peer's spinning workers fall asleep (see run_type)
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    return zembench::Rate{flops / wall, flops / cpu};
}

struct Point {
    std::string routine;
    int threads, size;
    double ours, peer;
};

template <class T>
void run_type(const Options &o, const Peer &peer, std::vector<Point> &plot, int &failures)
{
    for (const Shape &s : o.shapes) {
        const size_t na = (size_t)s.m * s.k, nb = (size_t)s.k * s.n, nc = (size_t)s.m * s.n;
        std::vector<T> a = random_matrix<T>(na, 1), b = random_matrix<T>(nb, 2), c(nc), cp(nc);
        const double flops = (Ty<T>::complex ? 8.0 : 2.0) * s.m * s.n * s.k;
        for (int t : o.threads) {
            omp_set_num_threads(t);
            double cpu = 0, pcpu = 0;
            const double ours = flops / time_calls<T>(Ty<T>::ours(), s, a, b, c, o, cpu) * 1e-9;
            std::string verdict = "-";
            if (o.check) {
                const double w = check_product<T>(s, a, b, c);
                verdict = w <= 1.0 ? "ok" : "FAIL";
                if (w > 1.0)
                    ++failures;
            }
            double theirs = 0;
            GemmFn<T> pf = o.peer ? Ty<T>::peer(peer) : nullptr;
            if (pf) {
                if (peer.set_threads)
                    peer.set_threads(t);
                theirs = flops / time_calls<T>(pf, s, a, b, cp, o, pcpu) * 1e-9;
                // The peer's idle workers keep spinning for a while after a
                // call and would take the cores from the next measurement
                // of ours: let them fall asleep first.
                std::this_thread::sleep_for(std::chrono::milliseconds(250));
            }
            char peer_txt[32] = "-", ratio_txt[32] = "-";
            if (theirs > 0) {
                snprintf(peer_txt, sizeof peer_txt, "%.2f", theirs);
                snprintf(ratio_txt, sizeof ratio_txt, "%.2f", ours / theirs);
            }
            printf("%-6s %6d %6d %6d %4d %10.2f %10.2f %10s %8s  %s\n", Ty<T>::name(), s.m, s.n, s.k, t, ours,
                   cpu > 0 ? flops / cpu * 1e-9 : 0.0, peer_txt, ratio_txt, verdict.c_str());
            fflush(stdout);
            if (s.m == s.n && s.n == s.k)
                plot.push_back(Point{Ty<T>::name(), t, s.n, ours, theirs});
        }
    }
}

// A line chart: one line per routine and thread count (ours solid, the
// peer dashed), GFLOPS over the size of the square problems.
void write_svg(const std::string &file, const std::vector<Point> &pts)
{
    FILE *f = fopen(file.c_str(), "w");
    if (!f) {
        fprintf(stderr, "zem-bench: cannot write %s\n", file.c_str());
        return;
    }
    double gmax = 1;
    int smax = 1;
    for (auto &p : pts) {
        gmax = std::max(gmax, std::max(p.ours, p.peer));
        smax = std::max(smax, p.size);
    }
    const int W = 800, H = 500, L = 60, B = 40;
    auto X = [&](int s) { return L + (double)s / smax * (W - L - 20); };
    auto Y = [&](double g) { return H - B - g / gmax * (H - B - 20); };
    fprintf(f, "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" font-family=\"sans-serif\" "
               "font-size=\"12\">\n<rect width=\"100%%\" height=\"100%%\" fill=\"white\"/>\n", W, H);
    fprintf(f, "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"black\"/>\n", L, H - B, W - 20, H - B);
    fprintf(f, "<line x1=\"%d\" y1=\"20\" x2=\"%d\" y2=\"%d\" stroke=\"black\"/>\n", L, L, H - B);
    fprintf(f, "<text x=\"%d\" y=\"%d\">n (m = n = k)</text>\n", W / 2, H - 8);
    fprintf(f, "<text x=\"5\" y=\"15\">GFLOPS (max %.1f)</text>\n", gmax);
    const char *colors[] = {"#1f77b4", "#d62728", "#2ca02c", "#9467bd", "#ff7f0e", "#8c564b", "#e377c2", "#7f7f7f"};
    std::vector<std::pair<std::string, int>> keys;
    for (auto &p : pts)
        if (std::find(keys.begin(), keys.end(), std::make_pair(p.routine, p.threads)) == keys.end())
            keys.push_back({p.routine, p.threads});
    for (size_t ki = 0; ki < keys.size(); ++ki) {
        const char *col = colors[ki % 8];
        for (int which = 0; which < 2; ++which) {
            std::string path;
            for (auto &p : pts)
                if (p.routine == keys[ki].first && p.threads == keys[ki].second) {
                    const double g = which ? p.peer : p.ours;
                    if (g <= 0)
                        continue;
                    char seg[64];
                    snprintf(seg, sizeof seg, "%s%.1f,%.1f", path.empty() ? "M" : " L", X(p.size), Y(g));
                    path += seg;
                }
            if (!path.empty())
                fprintf(f, "<path d=\"%s\" fill=\"none\" stroke=\"%s\" stroke-width=\"2\"%s/>\n", path.c_str(), col,
                        which ? " stroke-dasharray=\"6,4\"" : "");
        }
        fprintf(f, "<text x=\"%d\" y=\"%d\" fill=\"%s\">%s, %d thread%s (dashed: peer)</text>\n", L + 10,
                (int)(30 + 15 * ki), col, keys[ki].first.c_str(), keys[ki].second, keys[ki].second > 1 ? "s" : "");
    }
    fprintf(f, "</svg>\n");
    fclose(f);
    printf("plot written to %s\n", file.c_str());
}

std::vector<int> int_list(const char *s)
{
    std::vector<int> v;
    for (const char *p = s; *p;) {
        v.push_back(atoi(p));
        const char *q = strchr(p, ',');
        if (!q)
            break;
        p = q + 1;
    }
    return v;
}

void usage()
{
    printf("usage: zem-bench [options]\n"
           "  (no options)        the short tour: 64, 256, 1000 and three thin shapes, 1 and 2 threads\n"
           "  --full              sizes 64 ... 2000 and thin shapes\n"
           "  --sizes N,N,...     square problems of these sizes\n"
           "  --shape MxNxK       add one problem (repeatable)\n"
           "  --threads T,T,...   thread counts (default 1,2)\n"
           "  --routines sdcz     which of sgemm, dgemm, cgemm, zgemm (default all)\n"
           "  --check             verify the result of the timed calls against a plain product\n"
           "  --no-peer           do not load OpenBLAS\n"
           "  --time SECONDS      repetition time per measurement (default 0.25)\n"
           "  --svg FILE          plot GFLOPS over size of the square problems\n"
           "zem-bench fft [--full] [--orders 6,10,...] [--check] [--no-peer] [--time S]\n"
           "                      the FFT engine's complex transforms beside FFTW\n"
           "zem-bench tri [--sizes 1000,2000] [--threads 1,2] [--routines dszc] [--options LLNN] [--no-peer]\n"
           "                      trsm and trmm beside the library's gemm and OpenBLAS\n"
           "zem-bench sym [--sizes N,...] [--threads T,...] [--routines dsyrk,...] [--no-peer] [--time S]\n"
           "                      syrk, herk, syr2k and symm beside the library's gemm and OpenBLAS\n"
           "zem-bench report [--short] [--time S]\n"
           "                      every speed target of the library's issues: ours, peer or limit, ratio, met\n");
}

} // namespace

zembench::Rate zembench::gemm_rate(char type, bool peer, int m, int n, int k, int threads, double min_time)
{
    const Shape s{m, n, k};
    switch (type) {
    case 's': return gemm_rate_of<float>(peer, s, threads, min_time);
    case 'd': return gemm_rate_of<double>(peer, s, threads, min_time);
    case 'c': return gemm_rate_of<ZEM_Complex8>(peer, s, threads, min_time);
    default: return gemm_rate_of<ZEM_Complex16>(peer, s, threads, min_time);
    }
}

int zem_bench_fft(int argc, char **argv);
int zem_bench_tri(int argc, char **argv);
int zem_bench_sym(int argc, char **argv);
int zem_bench_report(int argc, char **argv);

int main(int argc, char **argv)
{
    // The library runs in parallel only with OMP_NUM_THREADS set (every
    // tour, the transforms' two-thread rows included); the thread count
    // itself is chosen per measurement.
    setenv("OMP_NUM_THREADS", "2", 0);
    if (argc > 1 && strcmp(argv[1], "fft") == 0)
        return zem_bench_fft(argc - 1, argv + 1);
    if (argc > 1 && strcmp(argv[1], "tri") == 0)
        return zem_bench_tri(argc - 1, argv + 1);
    if (argc > 1 && strcmp(argv[1], "sym") == 0)
        return zem_bench_sym(argc - 1, argv + 1);
    if (argc > 1 && strcmp(argv[1], "report") == 0)
        return zem_bench_report(argc - 1, argv + 1);
    Options o;
    bool sized = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> const char * {
            if (i + 1 >= argc) {
                fprintf(stderr, "zem-bench: %s needs a value\n", a.c_str());
                exit(2);
            }
            return argv[++i];
        };
        if (a == "--full") {
            o.shapes = kFull;
            sized = true;
        } else if (a == "--sizes") {
            if (!sized)
                o.shapes.clear();
            for (int s : int_list(next()))
                if (s > 0)
                    o.shapes.push_back(Shape{s, s, s});
            sized = true;
        } else if (a == "--shape") {
            if (!sized)
                o.shapes.clear();
            Shape s{0, 0, 0};
            if (sscanf(next(), "%dx%dx%d", &s.m, &s.n, &s.k) != 3 || s.m <= 0 || s.n <= 0 || s.k <= 0) {
                fprintf(stderr, "zem-bench: --shape wants MxNxK with positive sizes\n");
                return 2;
            }
            o.shapes.push_back(s);
            sized = true;
        } else if (a == "--threads") {
            o.threads.clear();
            for (int t : int_list(next()))
                if (t > 0)
                    o.threads.push_back(t);
        } else if (a == "--routines") {
            o.routines = next();
        } else if (a == "--check") {
            o.check = true;
        } else if (a == "--no-peer") {
            o.peer = false;
        } else if (a == "--time") {
            o.min_time = atof(next());
        } else if (a == "--svg") {
            o.svg = next();
        } else if (a == "--help" || a == "-h") {
            usage();
            return 0;
        } else {
            fprintf(stderr, "zem-bench: unknown option %s\n", a.c_str());
            usage();
            return 2;
        }
    }
    if (!sized)
        o.shapes = kShort;
    if (o.threads.empty() || o.shapes.empty()) {
        fprintf(stderr, "zem-bench: nothing to run\n");
        return 2;
    }
    Peer peer;
    if (o.peer)
        peer.open();
    printf("zem-bench: gemm, column-major, transa = transb = N, alpha = 1, beta = 0; GFLOPS, median of repetitions\n");
    printf("peer: %s; library mode: %s (OpenMP maximum %d threads)\n",
           peer.handle ? "OpenBLAS (libopenblas.so.0)" : "none loaded", ZEM_IN_SERIAL() ? "serial" : "parallel",
           omp_get_max_threads());
    printf("(zem/cpu: GFLOPS per second of process CPU time, which a busy machine does not dilute)\n");
    printf("%-6s %6s %6s %6s %4s %10s %10s %10s %8s  %s\n", "", "m", "n", "k", "thr", "zem", "zem/cpu", "peer",
           "zem/peer", o.check ? "check" : "");
    std::vector<Point> plot;
    int failures = 0;
    for (char r : o.routines) {
        switch (r) {
        case 's': run_type<float>(o, peer, plot, failures); break;
        case 'd': run_type<double>(o, peer, plot, failures); break;
        case 'c': run_type<ZEM_Complex8>(o, peer, plot, failures); break;
        case 'z': run_type<ZEM_Complex16>(o, peer, plot, failures); break;
        default: fprintf(stderr, "zem-bench: unknown routine letter %c\n", r); return 2;
        }
    }
    if (!o.svg.empty())
        write_svg(o.svg, plot);
    if (o.check)
        printf("check: %s\n", failures ? "FAILED" : "all results verified");
    return failures ? 1 : 0;
}
