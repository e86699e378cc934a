// Many callers at once: eight callers run a mix of level-1, 2 and 3
// routines and transforms (engine contexts shared by all, descriptors
// shared through their user-thread slots or made per call), and every
// result equals, bit for bit, the same call made alone beforehand in the
// same calling context. The callers are application threads, or OpenMP
// threads of regions opened by application threads (where the library runs
// serially). Afterwards ZEM_FreeBuffers gives all work memory back; the
// address-sanitizer build checks at exit that nothing leaked.
//
// The work-memory cache and the threading decision are what every call
// shares, hence the place of this test.
#include <omp.h>

#include <atomic>
#include <string>
#include <thread>

#include "fxrs.h"
#include "tests/support/element_api.h"
#include "zem_dfti.h"
#include "zem_service.h"

namespace {

using namespace zem_test;

// Rounds per caller: a few seconds natively and under the race detector.
#if defined(__i386__)
constexpr int kRounds = 4; // the emulator
#else
constexpr int kRounds = 12;
#endif
constexpr int kCallers = 8;

typedef std::vector<unsigned char> Bytes;

template <class T>
void append(Bytes &out, const T *p, size_t n)
{
    const unsigned char *b = reinterpret_cast<const unsigned char *>(p);
    out.insert(out.end(), b, b + n * sizeof(T));
}
template <class T>
void append(Bytes &out, const std::vector<T> &v)
{
    append(out, v.data(), v.size());
}

// Each job makes its inputs from its own seed, so callers share nothing
// but the library and the contexts below.
template <class T>
Bytes level1(unsigned seed)
{
    std::mt19937 g(seed);
    const int n = 999;
    std::vector<T> x = rnd_vec<T>(n, g), y = rnd_vec<T>(2 * n, g);
    Api<T>::axpy(n, {0.75, -0.5}, x.data(), 1, y.data(), 2);
    Api<T>::scal(n, {-1.5, 0.25}, y.data(), -2);
    const cx d = Api<T>::dot(true, n, x.data(), 1, y.data(), -2);
    // float or double results, exact as doubles (a long double has padding)
    const double scalars[3] = {(double)d.re, (double)d.im, (double)Api<T>::nrm2(n, y.data(), 2)};
    Bytes out;
    append(out, y);
    append(out, scalars, 3);
    return out;
}

template <class T>
Bytes level2(unsigned seed)
{
    std::mt19937 g(seed);
    const int m = 200, n = 150, one = 1;
    std::vector<T> a = rnd_vec<T>((size_t)m * n, g), x = rnd_vec<T>(m, g), y = rnd_vec<T>(n, g);
    const T al = put<T>({1.25, 0.5}), be = put<T>({-0.5, 0});
    Api<T>::gemv(Api<T>::cplx ? "C" : "T", &m, &n, &al, a.data(), &m, x.data(), &one, &be, y.data(), &one);
    Api<T>::geru(&m, &n, &al, x.data(), &one, y.data(), &one, a.data(), &m);
    Bytes out;
    append(out, y);
    append(out, a);
    return out;
}

// Orders above the size gate, so that each call outside a region runs its
// own two-thread team.
template <class T>
Bytes level3(unsigned seed)
{
    std::mt19937 g(seed);
    const int m = 70, n = 50, k = 40;
    std::vector<T> a = rnd_vec<T>((size_t)k * m, g), b = rnd_vec<T>((size_t)k * n, g), c = rnd_vec<T>((size_t)m * n, g);
    const T al = put<T>({0.5, -1}), be = put<T>({2, 0.25});
    const char *ta = Api<T>::cplx ? "C" : "T";
    Api<T>::gemm(ta, "N", &m, &n, &k, &al, a.data(), &k, b.data(), &k, &be, c.data(), &m);
    Bytes out;
    append(out, c);
    return out;
}

Bytes rank_update_and_triangle(unsigned seed)
{
    std::mt19937 g(seed);
    const int n = 90, k = 40;
    std::vector<double> a = rnd_vec<double>((size_t)n * k, g), c = rnd_vec<double>((size_t)n * n, g);
    const double al = -0.5, be = 1.5;
    dsyrk_("U", "N", &n, &k, &al, a.data(), &n, &be, c.data(), &n);
    std::vector<ZEM_Complex16> t = rnd_vec<ZEM_Complex16>((size_t)n * n, g), b = rnd_vec<ZEM_Complex16>((size_t)n * k, g);
    const ZEM_Complex16 zal = {0.5, 0.25};
    ztrmm_("L", "L", "C", "N", &n, &k, &zal, t.data(), &n, b.data(), &n);
    Bytes out;
    append(out, c);
    append(out, b);
    return out;
}

// Transforms: engine FFT contexts made once and shared, a DFT context made
// per call, a descriptor shared through eight user-thread slots and one
// made, committed and freed per call.
struct Shared {
    FxrsFFTCtx_C_32fc *fft_c = nullptr;
    FxrsFFTCtx_R_64f *fft_r = nullptr;
    DFTI_DESCRIPTOR_HANDLE slots = nullptr;
};
Shared g_shared;

Bytes engine(unsigned seed)
{
    std::mt19937 g(seed);
    std::vector<ZEM_Complex8> c = rnd_vec<ZEM_Complex8>(1024, g);
    std::vector<double> r = rnd_vec<double>(512, g), perm(512);
    std::vector<ZEM_Complex16> d = rnd_vec<ZEM_Complex16>(360, g);
    Fxrs32fc *cp = reinterpret_cast<Fxrs32fc *>(c.data());
    Fxrs64fc *dp = reinterpret_cast<Fxrs64fc *>(d.data());
    FxrsDFTCtx_C_64fc *dft = nullptr;
    int st = fxrsFFTFwd_CToC_32fc(cp, cp, g_shared.fft_c, nullptr);
    st |= fxrsFFTFwd_RToPerm_64f(r.data(), perm.data(), g_shared.fft_r, nullptr);
    st |= fxrsDFTInitAlloc_C_64fc(&dft, 360, FXR_FFT_DIV_INV_BY_N, 0);
    if (st == 0)
        st |= fxrsDFTFwd_CToC_64fc(dp, dp, dft, nullptr);
    fxrsDFTFree_C_64fc(dft);
    Bytes out;
    append(out, &st, 1);
    append(out, c);
    append(out, perm);
    append(out, d);
    return out;
}

Bytes descriptors(unsigned seed)
{
    std::mt19937 g(seed);
    std::vector<ZEM_Complex8> x = rnd_vec<ZEM_Complex8>(32 * 48, g);
    std::vector<ZEM_Complex16> y = rnd_vec<ZEM_Complex16>(1000, g);
    int st = DftiComputeForward(g_shared.slots, x.data());
    DFTI_DESCRIPTOR_HANDLE own = nullptr;
    st |= DftiCreateDescriptor(&own, DFTI_DOUBLE, DFTI_COMPLEX, 1, 1000);
    st |= DftiSetValue(own, DFTI_BACKWARD_SCALE, 1e-3);
    st |= DftiCommitDescriptor(own);
    st |= DftiComputeBackward(own, y.data());
    st |= DftiFreeDescriptor(&own);
    Bytes out;
    append(out, &st, 1);
    append(out, x);
    append(out, y);
    return out;
}

struct Job {
    const char *name;
    Bytes (*run)(unsigned seed);
};
const Job kJobs[] = {{"s level 1", level1<float>},
                     {"z level 1", level1<ZEM_Complex16>},
                     {"d level 2", level2<double>},
                     {"c level 2", level2<ZEM_Complex8>},
                     {"s gemm", level3<float>},
                     {"d gemm", level3<double>},
                     {"c gemm", level3<ZEM_Complex8>},
                     {"z gemm", level3<ZEM_Complex16>},
                     {"dsyrk, ztrmm", rank_update_and_triangle},
                     {"engine", engine},
                     {"descriptors", descriptors}};
constexpr int kJobCount = sizeof(kJobs) / sizeof(kJobs[0]);

// The callers: `apps` application threads, each opening an OpenMP region
// of `team` threads when team > 1 (every one of them a caller).
struct Callers {
    int apps, team;
};

// The shared contexts and descriptor live for one test; ZEM_FreeBuffers
// comes after the descriptor is freed, since it returns every cached
// buffer, the ones a live descriptor holds included.
class Concurrency : public ::testing::TestWithParam<Callers> {
protected:
    void SetUp() override
    {
        ASSERT_EQ(fxrsFFTInitAlloc_C_32fc(&g_shared.fft_c, 10, FXR_FFT_DIV_INV_BY_N, 0), 0);
        ASSERT_EQ(fxrsFFTInitAlloc_R_64f(&g_shared.fft_r, 9, FXR_FFT_DIV_INV_BY_N, 0), 0);
        int n[2] = {32, 48};
        ASSERT_EQ(DftiCreateDescriptor(&g_shared.slots, DFTI_SINGLE, DFTI_COMPLEX, 2, n), 0);
        ASSERT_EQ(DftiSetValue(g_shared.slots, DFTI_NUMBER_OF_USER_THREADS, kCallers), 0);
        ASSERT_EQ(DftiCommitDescriptor(g_shared.slots), 0);
    }
    void TearDown() override
    {
        EXPECT_EQ(fxrsFFTFree_C_32fc(g_shared.fft_c), 0);
        EXPECT_EQ(fxrsFFTFree_R_64f(g_shared.fft_r), 0);
        EXPECT_EQ(DftiFreeDescriptor(&g_shared.slots), 0);
        ZEM_FreeBuffers();
    }
};

// Runs body(caller) on every caller of the given arrangement at once.
template <class F>
void on_callers(Callers c, F body)
{
    std::vector<std::thread> apps;
    for (int a = 0; a < c.apps; ++a)
        apps.emplace_back([=] {
            if (c.team == 1) {
                body(a);
                return;
            }
#pragma omp parallel num_threads(c.team)
            body(a * c.team + omp_get_thread_num());
        });
    for (std::thread &t : apps)
        t.join();
}

TEST_P(Concurrency, EveryResultEqualsTheCallMadeAlone)
{
    const Callers c = GetParam();
    ASSERT_EQ(c.apps * c.team, kCallers);
    // Alone: one call at a time, from a caller of the same kind.
    std::vector<Bytes> alone(kJobCount);
    on_callers({1, c.team}, [&](int who) {
        if (who == 0)
            for (int j = 0; j < kJobCount; ++j)
                alone[j] = kJobs[j].run(100 + j);
    });
    std::atomic<int> differ[kJobCount] = {}, calls(0);
    on_callers(c, [&](int who) {
        for (int r = 0; r < kRounds; ++r) {
            const int j = (who + r) % kJobCount;
            if (kJobs[j].run(100 + j) != alone[j])
                ++differ[j];
            ++calls;
        }
    });
    EXPECT_EQ(calls.load(), kCallers * kRounds);
    for (int j = 0; j < kJobCount; ++j)
        EXPECT_EQ(differ[j].load(), 0) << kJobs[j].name;
}

INSTANTIATE_TEST_SUITE_P(Arrangements, Concurrency, ::testing::Values(Callers{8, 1}, Callers{2, 4}),
                         [](const ::testing::TestParamInfo<Callers> &i) {
                             return std::to_string(i.param.apps) + "Apps" + std::to_string(i.param.team) +
                                    "OpenMPThreadsEach";
                         });

} // namespace
