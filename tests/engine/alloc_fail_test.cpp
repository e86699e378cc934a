// Planning under memory failure: every allocation an InitAlloc makes is
// failed in turn (the C library's malloc is wrapped in this program only);
// each failure returns fxrStsMemAllocErr, leaves the output pointer alone
// and gives back every block it took.
#include <gtest/gtest.h>

#include <cstddef>

#include "fxrs.h"

#ifndef __SANITIZE_ADDRESS__
extern "C" void *__libc_malloc(size_t);
extern "C" void __libc_free(void *);

namespace {
bool g_armed = false;
long g_countdown = -1; // allocations left before the failing one
long g_live = 0;       // blocks taken minus blocks given back while armed
} // namespace

extern "C" void *malloc(size_t n)
{
    if (g_armed) {
        if (g_countdown-- == 0)
            return nullptr;
        void *p = __libc_malloc(n);
        if (p)
            ++g_live;
        return p;
    }
    return __libc_malloc(n);
}

extern "C" void free(void *p)
{
    if (g_armed && p)
        --g_live;
    __libc_free(p);
}

namespace {

// Fails allocation k = 0, 1, 2, ... of init() until it succeeds; checks
// the status, the untouched output and the balance each time.
template <typename Ctx, typename Init, typename Release>
void fail_each(Init init, Release release, int len)
{
    for (long k = 0;; ++k) {
        SCOPED_TRACE(k);
        Ctx *c = reinterpret_cast<Ctx *>(0x10);
        g_live = 0;
        g_countdown = k;
        g_armed = true;
        const int st = init(&c, len);
        g_armed = false;
        if (st == fxrStsNoErr) {
            ASSERT_GT(k, 0);
            g_armed = true;
            EXPECT_EQ(release(c), fxrStsNoErr);
            g_armed = false;
            EXPECT_EQ(g_live, 0) << "free left blocks behind";
            return;
        }
        EXPECT_EQ(st, fxrStsMemAllocErr);
        EXPECT_EQ(c, reinterpret_cast<Ctx *>(0x10)) << "output written on failure";
        EXPECT_EQ(g_live, 0) << "failed InitAlloc leaked";
        ASSERT_LT(k, 200);
    }
}

// Lengths of every plan: fixed, power of two, factored with a generic
// factor, convolution, direct; real even, odd and power of two.
TEST(EngineAllocFailure, EveryPlanCleansUp)
{
    for (int n : {3, 64, 2048, 298, 45, 151, 10007, 149}) {
        SCOPED_TRACE(n);
        fail_each<FxrsDFTCtx_C_32fc>([](FxrsDFTCtx_C_32fc **c, int l) { return fxrsDFTInitAlloc_C_32fc(c, l, 8, 0); },
                                     fxrsDFTFree_C_32fc, n);
        fail_each<FxrsDFTCtx_C_64fc>([](FxrsDFTCtx_C_64fc **c, int l) { return fxrsDFTInitAlloc_C_64fc(c, l, 2, 0); },
                                     fxrsDFTFree_C_64fc, n);
        fail_each<FxrsDFTOutOrdCtx_C_32fc>(
            [](FxrsDFTOutOrdCtx_C_32fc **c, int l) { return fxrsDFTOutOrdInitAlloc_C_32fc(c, l, 8, 0); },
            fxrsDFTOutOrdFree_C_32fc, n);
    }
    fail_each<FxrsDFTOutOrdCtx_C_64fc>(
        [](FxrsDFTOutOrdCtx_C_64fc **c, int l) { return fxrsDFTOutOrdInitAlloc_C_64fc(c, l, 8, 0); },
        fxrsDFTOutOrdFree_C_64fc, 6000);
    for (int n : {5, 6, 12, 45, 181, 471, 1000, 1024, 2 * 151}) {
        SCOPED_TRACE(n);
        fail_each<FxrsDFTCtx_R_32f>([](FxrsDFTCtx_R_32f **c, int l) { return fxrsDFTInitAlloc_R_32f(c, l, 1, 0); },
                                    fxrsDFTFree_R_32f, n);
        fail_each<FxrsDFTCtx_R_64f>([](FxrsDFTCtx_R_64f **c, int l) { return fxrsDFTInitAlloc_R_64f(c, l, 4, 0); },
                                    fxrsDFTFree_R_64f, n);
    }
    for (int order : {4, 10, 14}) {
        fail_each<FxrsFFTCtx_R_32f>([](FxrsFFTCtx_R_32f **c, int o) { return fxrsFFTInitAlloc_R_32f(c, o, 8, 0); },
                                    fxrsFFTFree_R_32f, order);
        fail_each<FxrsFFTCtx_R_64f>([](FxrsFFTCtx_R_64f **c, int o) { return fxrsFFTInitAlloc_R_64f(c, o, 8, 0); },
                                    fxrsFFTFree_R_64f, order);
    }
}

// A transform that must allocate its own work buffer and cannot fails
// with fxrStsMemAllocErr.
TEST(EngineAllocFailure, TransformWithoutBuffer)
{
    FxrsDFTCtx_C_32fc *c = nullptr;
    ASSERT_EQ(fxrsDFTInitAlloc_C_32fc(&c, 45, 8, 0), fxrStsNoErr);
    Fxrs32fc x[45] = {}, y[45];
    g_countdown = 0;
    g_armed = true;
    const int st = fxrsDFTFwd_CToC_32fc(x, y, c, nullptr);
    g_armed = false;
    EXPECT_EQ(st, fxrStsMemAllocErr);
    EXPECT_EQ(fxrsDFTFree_C_32fc(c), fxrStsNoErr);
}

} // namespace
#else
TEST(EngineAllocFailure, NotUnderTheSanitizer) { GTEST_SKIP() << "the sanitizer owns malloc"; }
#endif
