// Planning under memory failure: every allocation an InitAlloc makes is
// failed in turn; each failure returns fxrStsMemAllocErr, leaves the
// output pointer alone and gives back every block it took.
#include <gtest/gtest.h>

#include "fxrs.h"
#include "tests/support/alloc_fail.h"

namespace {

using zem_test::alloc_failed;

template <typename Ctx, typename Init, typename Release>
void fail_each(Init init, Release release, int len)
{
    SCOPED_TRACE(len);
    zem_test::for_each_failing_allocation([&] {
        Ctx *c = reinterpret_cast<Ctx *>(0x10);
        const int st = init(&c, len);
        if (!alloc_failed()) {
            ASSERT_EQ(st, fxrStsNoErr);
            EXPECT_EQ(release(c), fxrStsNoErr);
            return;
        }
        EXPECT_EQ(st, fxrStsMemAllocErr);
        EXPECT_EQ(c, reinterpret_cast<Ctx *>(0x10)) << "output written on failure";
    });
}

// Lengths of every plan: fixed, power of two, factored with a generic
// factor, convolution, direct; real even, odd and power of two.
TEST(EngineAllocFailure, EveryPlanCleansUp)
{
    for (int n : {3, 64, 2048, 298, 45, 151, 10007, 149}) {
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
    for (int order : {0, 4, 10, 14}) {
        fail_each<FxrsFFTCtx_C_32fc>([](FxrsFFTCtx_C_32fc **c, int o) { return fxrsFFTInitAlloc_C_32fc(c, o, 8, 0); },
                                     fxrsFFTFree_C_32fc, order);
        fail_each<FxrsFFTCtx_C_64fc>([](FxrsFFTCtx_C_64fc **c, int o) { return fxrsFFTInitAlloc_C_64fc(c, o, 8, 0); },
                                     fxrsFFTFree_C_64fc, order);
        fail_each<FxrsFFTCtx_R_32f>([](FxrsFFTCtx_R_32f **c, int o) { return fxrsFFTInitAlloc_R_32f(c, o, 8, 0); },
                                    fxrsFFTFree_R_32f, order);
        fail_each<FxrsFFTCtx_R_64f>([](FxrsFFTCtx_R_64f **c, int o) { return fxrsFFTInitAlloc_R_64f(c, o, 8, 0); },
                                    fxrsFFTFree_R_64f, order);
    }
}

// A transform that must allocate its own work buffer and cannot fails
// with fxrStsMemAllocErr before touching the destination.
TEST(EngineAllocFailure, TransformWithoutBuffer)
{
    FxrsDFTCtx_C_32fc *c = nullptr;
    ASSERT_EQ(fxrsDFTInitAlloc_C_32fc(&c, 45, 8, 0), fxrStsNoErr);
    Fxrs32fc x[45] = {}, y[45];
    for (Fxrs32fc &v : y)
        v = {7, 7};
    {
        zem_test::NoMemory none;
        EXPECT_EQ(fxrsDFTFwd_CToC_32fc(x, y, c, nullptr), fxrStsMemAllocErr);
    }
    for (const Fxrs32fc &v : y)
        EXPECT_TRUE(v.re == 7 && v.im == 7);
    EXPECT_EQ(fxrsDFTFree_C_32fc(c), fxrStsNoErr);
}

// Lengths whose tables pass the 32-bit byte counts (and, on i386, the
// address space) fail with fxrStsMemAllocErr; requests above 64 MiB are
// refused here, so nothing large is ever touched.
TEST(EngineAllocFailure, SizesBeyondThirtyTwoBits)
{
    zem_test::AllocLimit limit(64 << 20);
    const int big = 1 << 30;
    FxrsFFTCtx_C_32fc *f1 = nullptr;
    FxrsFFTCtx_C_64fc *f2 = nullptr;
    FxrsFFTCtx_R_32f *f3 = nullptr;
    FxrsFFTCtx_R_64f *f4 = nullptr;
    EXPECT_EQ(fxrsFFTInitAlloc_C_32fc(&f1, 30, 8, 0), fxrStsMemAllocErr);
    EXPECT_EQ(fxrsFFTInitAlloc_C_64fc(&f2, 30, 8, 0), fxrStsMemAllocErr);
    EXPECT_EQ(fxrsFFTInitAlloc_R_32f(&f3, 30, 8, 0), fxrStsMemAllocErr);
    EXPECT_EQ(fxrsFFTInitAlloc_R_64f(&f4, 30, 8, 0), fxrStsMemAllocErr);
    // Lengths planned through a power-of-two FFT longer than 2^30 are
    // refused by its order check; the rest by the table sizes.
    auto refused = [](int st) { return st == fxrStsMemAllocErr || st == fxrStsFftOrderErr; };
    for (int n : {big, big + 2, 2147483646, 2147483647}) {
        SCOPED_TRACE(n);
        FxrsDFTCtx_C_32fc *c1 = nullptr;
        FxrsDFTCtx_C_64fc *c2 = nullptr;
        FxrsDFTCtx_R_32f *c3 = nullptr;
        FxrsDFTCtx_R_64f *c4 = nullptr;
        FxrsDFTOutOrdCtx_C_32fc *c5 = nullptr;
        FxrsDFTOutOrdCtx_C_64fc *c6 = nullptr;
        EXPECT_PRED1(refused, fxrsDFTInitAlloc_C_32fc(&c1, n, 8, 0));
        EXPECT_PRED1(refused, fxrsDFTInitAlloc_C_64fc(&c2, n, 8, 0));
        EXPECT_PRED1(refused, fxrsDFTInitAlloc_R_32f(&c3, n, 8, 0));
        EXPECT_PRED1(refused, fxrsDFTInitAlloc_R_64f(&c4, n, 8, 0));
        EXPECT_PRED1(refused, fxrsDFTOutOrdInitAlloc_C_32fc(&c5, n, 8, 0));
        EXPECT_PRED1(refused, fxrsDFTOutOrdInitAlloc_C_64fc(&c6, n, 8, 0));
        EXPECT_TRUE(!c1 && !c2 && !c3 && !c4 && !c5 && !c6);
    }
}

} // namespace
