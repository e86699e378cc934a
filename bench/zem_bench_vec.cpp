// Vector and matrix-vector routines for `zem-bench report`: one routine of
// this library or of OpenBLAS (held to one thread), found by its Fortran
// name, timed in CPU seconds per call (these routines run on the caller's
// thread, so a shared machine's other work does not count). Ours and the
// peer's are measured in alternating rounds and each keeps its least time:
// these memory-bound calls also slow down whenever something else on the
// host takes the memory bus, and two means measured seconds apart swing
// with it.
#include <dlfcn.h>
#include <omp.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "zem_bench.h"

namespace {

// The entry `name` ("sdot_") of OpenBLAS (peer) or of this library.
void *entry(const std::string &name, bool peer)
{
    if (!peer)
        return dlsym(RTLD_DEFAULT, name.c_str());
    void *f = nullptr;
    zembench::openblas_sym(f, name.c_str());
    zembench::openblas_one_thread();
    return f;
}

template <class F>
double cpu_per_call(F &&call, double min_time)
{
    omp_set_num_threads(1);
    zembench::Repeat r;
    r.min_time = min_time;
    r.max_reps = 50;
    return zembench::measure(call, r).cpu_best;
}

// Seconds per call of ours (call(f[0])) and of the peer (call(f[1])),
// measured in four alternating rounds, the best round of each: both see
// the same spells of a busy memory bus. A missing entry gives 0.
struct Pair {
    double ours = 0, peer = 0;
};
template <class C>
Pair alternating(void *const f[2], C &&call, double min_time)
{
    Pair p;
    double *t[2] = {&p.ours, &p.peer};
    for (int round = 0; round < 4; ++round)
        for (int k = 0; k < 2; ++k)
            if (f[k]) {
                const double s = cpu_per_call([&] { call(f[k]); }, min_time / 4);
                *t[k] = round == 0 ? s : std::min(*t[k], s);
            }
    return p;
}

template <class R>
Pair level1(const std::string &op, void *const f[2], int n, double min_time)
{
    typedef const int *I;
    std::vector<R> x((size_t)n), y((size_t)n);
    zembench::fill_pattern(x.data(), x.size());
    zembench::fill_pattern(y.data(), y.size(), 0.5);
    const R alpha = (R)1e-7;
    const int one = 1;
    volatile R sink = 0;
    return alternating(f, [&](void *g) {
        if (op == "axpy")
            ((void (*)(I, const R *, const R *, I, R *, I))g)(&n, &alpha, x.data(), &one, y.data(), &one);
        else if (op == "copy")
            ((void (*)(I, const R *, I, R *, I))g)(&n, x.data(), &one, y.data(), &one);
        else if (op == "dot")
            sink = ((R(*)(I, const R *, I, const R *, I))g)(&n, x.data(), &one, y.data(), &one);
        else // asum, nrm2
            sink = ((R(*)(I, const R *, I))g)(&n, x.data(), &one);
    }, min_time);
}

// R: the component type; parts: 1 real, 2 complex.
template <class R>
Pair gemv(char trans, void *const f[2], int n, size_t parts, double min_time)
{
    std::vector<R> a((size_t)n * n * parts), x((size_t)n * parts), y((size_t)n * parts);
    zembench::fill_pattern(a.data(), a.size(), 1e-3);
    zembench::fill_pattern(x.data(), x.size());
    const R alpha[2] = {1, 0}, beta[2] = {1, 0};
    const int one = 1;
    const char t[2] = {trans, 0};
    typedef void (*Gemv) ZEM_P_GEMV(R, R);
    return alternating(f, [&](void *g) {
        ((Gemv)g)(t, &n, &n, alpha, a.data(), &n, x.data(), &one, beta, y.data(), &one);
    }, min_time);
}

// Both measurements of one case, made once per run.
template <class M>
double cached(const std::string &key, bool peer, M &&measure)
{
    static std::map<std::string, Pair> done;
    auto it = done.find(key);
    if (it == done.end())
        it = done.emplace(key, measure()).first;
    return peer ? it->second.peer : it->second.ours;
}

} // namespace

double zembench::level1_seconds(const char *name, bool peer, int n, double min_time)
{
    return cached(std::string(name) + " " + std::to_string(n), peer, [&] {
        void *const f[2] = {entry(std::string(name) + "_", false), entry(std::string(name) + "_", true)};
        const std::string op = name + 1;
        return name[0] == 's' ? level1<float>(op, f, n, min_time) : level1<double>(op, f, n, min_time);
    });
}

double zembench::gemv_seconds(char type, char trans, bool peer, int n, double min_time)
{
    return cached(std::string(1, type) + trans + " " + std::to_string(n), peer, [&] {
        const std::string name = std::string(1, type) + "gemv_";
        void *const f[2] = {entry(name, false), entry(name, true)};
        const size_t parts = type == 'c' || type == 'z' ? 2 : 1;
        return type == 's' || type == 'c' ? gemv<float>(trans, f, n, parts, min_time)
                                          : gemv<double>(trans, f, n, parts, min_time);
    });
}
