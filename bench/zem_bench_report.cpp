// zem-bench report: every speed target of the library measured on the
// machine at hand, with the peers (OpenBLAS, FFTW with and without SIMD,
// FFTW's long double) and this machine's SSE and x87 limits measured in the
// same run. The long form prints one row per target as it is measured;
// --short measures the cheaper targets only and prints the count met and
// the worst misses.
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "zem_bench.h"

namespace {

using zembench::Probe;
using zembench::Rate;
using zembench::Target;

// Each probe's rate, measured once per run.
double value(const Probe &p)
{
    static std::map<std::string, Rate> done;
    if (!p.run)
        return 0;
    auto it = done.find(p.key);
    if (it == done.end())
        it = done.emplace(p.key, p.run()).first;
    return p.wall ? it->second.wall : it->second.cpu;
}

struct Result {
    const Target *t;
    double ours, ref, score; // score: what was reached over what is needed
    bool measured;
};

Result evaluate(const Target &t)
{
    Result r{&t, value(t.ours), t.ref.run ? value(t.ref) : 0, 0, true};
    const double reached = t.ref.run ? (r.ref > 0 ? r.ours / r.ref : 0) : r.ours;
    r.measured = r.ours > 0 && (!t.ref.run || r.ref > 0);
    r.score = r.measured ? reached / t.need : 0;
    return r;
}

std::string num(double v)
{
    char b[32];
    snprintf(b, sizeof b, v >= 100 ? "%.0f" : v >= 10 ? "%.1f" : "%.2f", v);
    return b;
}

void print_row(const Result &r)
{
    const Target &t = *r.t;
    const std::string ours = r.ours > 0 ? num(r.ours) : "-";
    std::string ref = "-", ratio = "-", need = ">= " + num(t.need), met = "n/a";
    if (t.ref.run) {
        ref = (r.ref > 0 ? num(r.ref) : "-") + " " + t.ref_name;
        if (r.measured)
            ratio = num(r.ours / r.ref);
        need += "x";
    } else {
        need += " " + t.unit;
    }
    if (r.measured)
        met = r.score >= 1 ? "yes" : "NO";
    printf("%-44s %-6s %9s %-6s %-26s %7s %11s  %s\n", t.what.c_str(), t.issues.c_str(), ours.c_str(),
           t.unit.c_str(), ref.c_str(), ratio.c_str(), need.c_str(), met.c_str());
    fflush(stdout);
}

void usage()
{
    printf("usage: zem-bench report [--short] [--time SECONDS]\n"
           "  every speed target stated in the library's issues, measured here beside the peers and\n"
           "  this machine's SSE and x87 limits; --short: the cheaper targets, a count and the worst misses\n");
}

} // namespace

int zem_bench_report(int argc, char **argv)
{
    bool brief = false;
    double min_time = -1;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--short") == 0)
            brief = true;
        else if (strcmp(argv[i], "--time") == 0 && i + 1 < argc)
            min_time = atof(argv[++i]);
        else {
            usage();
            return strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0 ? 0 : 2;
        }
    }
    if (min_time <= 0)
        min_time = brief ? 0.05 : 0.2;
    const std::vector<Target> all = zembench::targets(min_time);
    const double t0 = zembench::wall_seconds(), c0 = zembench::cpu_seconds();
    printf("zem-bench report%s: %s; one thread unless a row says two; ratio = ours / reference\n",
           brief ? " --short" : "", brief ? "the cheaper targets" : "every target stated in the library's issues");
    auto limit = [&](const char *name) {
        for (const Target &t : all)
            if (t.ref_name == name)
                return value(t.ref);
        return 0.0;
    };
    auto have = [](const char *lib) { return dlopen(lib, RTLD_LAZY | RTLD_LOCAL) != nullptr; };
    printf("peers: OpenBLAS %s; FFTW %s, long double %s. Limits measured now: SSE %.1f GFLOPS, x87 %.2f GFLOPS\n",
           zembench::openblas() ? "loaded" : "missing", have("libfftw3f.so.3") ? "loaded" : "missing",
           have("libfftw3l.so.3") ? "loaded" : "missing", limit("SSE limit"), limit("x87 limit"));
    if (!brief)
        printf("%-44s %-6s %9s %-6s %-26s %7s %11s  %s\n", "case", "issue", "ours", "unit", "peer or limit",
               "ratio", "target", "met");
    std::vector<Result> results;
    for (const Target &t : all) {
        if (brief && !t.in_short)
            continue;
        const double r0 = zembench::wall_seconds();
        results.push_back(evaluate(t));
        if (getenv("ZEM_REPORT_TIMES"))
            fprintf(stderr, "%6.1f s  %s\n", zembench::wall_seconds() - r0, t.what.c_str());
        if (!brief)
            print_row(results.back());
    }
    int met = 0, unmeasured = 0;
    for (const Result &r : results)
        met += r.measured && r.score >= 1, unmeasured += !r.measured;
    printf("%d of %zu targets met (%d not measured: peer missing or no result)%s; %.0f s (%.0f s of CPU)\n", met,
           results.size(), unmeasured, brief ? ", short form" : "", zembench::wall_seconds() - t0,
           zembench::cpu_seconds() - c0);
    std::vector<Result> misses;
    for (const Result &r : results)
        if (r.measured && r.score < 1)
            misses.push_back(r);
    std::sort(misses.begin(), misses.end(), [](const Result &a, const Result &b) { return a.score < b.score; });
    if (!misses.empty())
        printf("worst misses (reached / target):\n");
    for (size_t i = 0; i < misses.size() && i < 6; ++i) {
        const Result &r = misses[i];
        printf("  %-44s #%-6s %.2f of target (%s)\n", r.t->what.c_str(), r.t->issues.c_str(), r.score,
               r.t->ref.run ? (num(r.ours / r.ref) + "x " + r.t->ref_name).c_str()
                            : (num(r.ours) + " " + r.t->unit).c_str());
    }
    return 0;
}
