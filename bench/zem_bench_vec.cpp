// Vector and matrix-vector routines for `zem-bench report`: one routine of
// this library or of OpenBLAS (held to one thread), found by its Fortran
// name, timed in CPU seconds per call (these routines run on the caller's
// thread, so a shared machine's other work does not count).
#include <dlfcn.h>
#include <omp.h>

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
    return zembench::measure(call, r).cpu;
}

template <class R>
double level1(const std::string &op, void *f, int n, double min_time)
{
    typedef const int *I;
    std::vector<R> x((size_t)n), y((size_t)n);
    zembench::fill_pattern(x.data(), x.size());
    zembench::fill_pattern(y.data(), y.size(), 0.5);
    const R alpha = (R)1e-7;
    const int one = 1;
    volatile R sink = 0;
    if (op == "axpy")
        return cpu_per_call([&] { ((void (*)(I, const R *, const R *, I, R *, I))f)(&n, &alpha, x.data(), &one,
                                                                                     y.data(), &one); },
                            min_time);
    if (op == "copy")
        return cpu_per_call([&] { ((void (*)(I, const R *, I, R *, I))f)(&n, x.data(), &one, y.data(), &one); },
                            min_time);
    if (op == "dot")
        return cpu_per_call([&] { sink = ((R(*)(I, const R *, I, const R *, I))f)(&n, x.data(), &one, y.data(), &one); },
                            min_time);
    // asum, nrm2
    return cpu_per_call([&] { sink = ((R(*)(I, const R *, I))f)(&n, x.data(), &one); }, min_time);
}

// R: the component type; parts: 1 real, 2 complex.
template <class R>
double gemv(char trans, void *f, int n, size_t parts, double min_time)
{
    std::vector<R> a((size_t)n * n * parts), x((size_t)n * parts), y((size_t)n * parts);
    zembench::fill_pattern(a.data(), a.size(), 1e-3);
    zembench::fill_pattern(x.data(), x.size());
    const R alpha[2] = {1, 0}, beta[2] = {1, 0};
    const int one = 1;
    const char t[2] = {trans, 0};
    typedef void (*Gemv) ZEM_P_GEMV(R, R);
    return cpu_per_call([&] { ((Gemv)f)(t, &n, &n, alpha, a.data(), &n, x.data(), &one, beta, y.data(), &one); },
                        min_time);
}

} // namespace

double zembench::level1_seconds(const char *name, bool peer, int n, double min_time)
{
    void *f = entry(std::string(name) + "_", peer);
    if (!f)
        return 0;
    const std::string op = name + 1;
    return name[0] == 's' ? level1<float>(op, f, n, min_time) : level1<double>(op, f, n, min_time);
}

double zembench::gemv_seconds(char type, char trans, bool peer, int n, double min_time)
{
    void *f = entry(std::string(1, type) + "gemv_", peer);
    if (!f)
        return 0;
    const size_t parts = type == 'c' || type == 'z' ? 2 : 1;
    return type == 's' || type == 'c' ? gemv<float>(trans, f, n, parts, min_time)
                                      : gemv<double>(trans, f, n, parts, min_time);
}
