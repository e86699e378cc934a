// FFT contexts: status codes of InitAlloc, Free, GetBufSize and of the
// transform prologue; reported buffer sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "fxrs.h"

namespace {

template <typename T> struct Fam;
template <> struct Fam<float> {
    typedef Fxrs32fc C;
    typedef FxrsFFTCtx_C_32fc Ctx;
    static FxrStatus init(Ctx **s, int o, int f, int h) { return fxrsFFTInitAlloc_C_32fc(s, o, f, h); }
    static FxrStatus free(Ctx *s) { return fxrsFFTFree_C_32fc(s); }
    static FxrStatus size(const Ctx *s, int *n) { return fxrsFFTGetBufSize_C_32fc(s, n); }
    static FxrStatus fwd(const C *a, C *b, const Ctx *s, uint8_t *w) { return fxrsFFTFwd_CToC_32fc(a, b, s, w); }
    static FxrStatus inv(const C *a, C *b, const Ctx *s, uint8_t *w) { return fxrsFFTInv_CToC_32fc(a, b, s, w); }
};
template <> struct Fam<double> {
    typedef Fxrs64fc C;
    typedef FxrsFFTCtx_C_64fc Ctx;
    static FxrStatus init(Ctx **s, int o, int f, int h) { return fxrsFFTInitAlloc_C_64fc(s, o, f, h); }
    static FxrStatus free(Ctx *s) { return fxrsFFTFree_C_64fc(s); }
    static FxrStatus size(const Ctx *s, int *n) { return fxrsFFTGetBufSize_C_64fc(s, n); }
    static FxrStatus fwd(const C *a, C *b, const Ctx *s, uint8_t *w) { return fxrsFFTFwd_CToC_64fc(a, b, s, w); }
    static FxrStatus inv(const C *a, C *b, const Ctx *s, uint8_t *w) { return fxrsFFTInv_CToC_64fc(a, b, s, w); }
};

template <typename T> class EngineContext : public ::testing::Test {};
typedef ::testing::Types<float, double> Precisions;
TYPED_TEST_SUITE(EngineContext, Precisions);

TYPED_TEST(EngineContext, InitAllocRejectsBadArgumentsAndLeavesOutputAlone)
{
    typedef Fam<TypeParam> F;
    typename F::Ctx *const sentinel = (typename F::Ctx *)(uintptr_t)0x1234;
    typename F::Ctx *s = sentinel;
    EXPECT_EQ(F::init(nullptr, 4, 8, 0), fxrStsNullPtrErr);
    EXPECT_EQ(F::init(&s, 31, 8, 0), fxrStsFftOrderErr);
    EXPECT_EQ(F::init(&s, -1, 8, 0), fxrStsFftOrderErr);
    for (int order : {0, 4, 12})
        for (int flag : {0, 3, 5, 16, -1})
            EXPECT_EQ(F::init(&s, order, flag, 0), fxrStsFftFlagErr) << order << " " << flag;
    EXPECT_EQ(s, sentinel);
}

TYPED_TEST(EngineContext, OrdersBeyondAddressableTablesFailCleanly)
{
    typedef Fam<TypeParam> F;
    typename F::Ctx *const sentinel = (typename F::Ctx *)(uintptr_t)0x1234;
    typename F::Ctx *s = sentinel;
    // their tables exceed what a 32-bit byte count can allocate
    EXPECT_EQ(F::init(&s, 30, 8, 0), fxrStsMemAllocErr);
    EXPECT_EQ(F::init(&s, 28, 2, 0), fxrStsMemAllocErr);
    EXPECT_EQ(s, sentinel);
}

// Work size of one transform as the plans define it: single radix-4 up to
// order 10 needs 8 N bytes, the two-level plans 8192 (single) or none
// (double), a blocked level 4 K complex elements or its rows' need.
int work_size(int order, bool single)
{
    static const int blk32[22] = {0, 0, 0, 0, 5, 6, 7, 8, 8, 8, 10, 10, 10, 10, 8, 8, 10, 10, 10, 10, 10, 10};
    static const int blk64[22] = {0, 0, 0, 4, 5, 6, 7, 7, 8, 9, 9, 9, 8, 8, 9, 9, 9, 9, 9, 9, 9, 9};
    if (order < 4)
        return 0;
    if (single && order <= 10)
        return 8 << order;
    if (!single && order <= 9)
        return 0;
    int k = (single ? blk32 : blk64)[order - 9];
    if (k == 0)
        return single ? 8192 : 0;
    return std::max(work_size(order - k, single), (single ? 32 : 64) << k);
}

TYPED_TEST(EngineContext, BufferSizes)
{
    typedef Fam<TypeParam> F;
    const bool single = sizeof(TypeParam) == 4;
    for (int order = 0; order <= 22; ++order) {
        typename F::Ctx *s = nullptr;
        ASSERT_EQ(F::init(&s, order, 8, 7), fxrStsNoErr) << order;
        int n = -1;
        ASSERT_EQ(F::size(s, &n), fxrStsNoErr);
        const int w = work_size(order, single);
        EXPECT_EQ(n, w ? w + 16 : 0) << order;
        EXPECT_EQ(F::free(s), fxrStsNoErr);
    }
    // the definition's fixed points
    EXPECT_EQ(work_size(10, true) + 16, 8192 + 16);
    EXPECT_EQ(work_size(3, true), 0);
}

TYPED_TEST(EngineContext, PrologueStatusCodes)
{
    typedef Fam<TypeParam> F;
    typedef typename F::C C;
    typename F::Ctx *s = nullptr;
    ASSERT_EQ(F::init(&s, 5, 8, 0), fxrStsNoErr);
    std::vector<C> a(32), b(32);
    int n = 0;
    EXPECT_EQ(F::fwd(a.data(), b.data(), nullptr, nullptr), fxrStsNullPtrErr);
    EXPECT_EQ(F::inv(a.data(), b.data(), nullptr, nullptr), fxrStsNullPtrErr);
    EXPECT_EQ(F::fwd(nullptr, b.data(), s, nullptr), fxrStsNullPtrErr);
    EXPECT_EQ(F::inv(a.data(), nullptr, s, nullptr), fxrStsNullPtrErr);
    EXPECT_EQ(F::size(nullptr, &n), fxrStsNullPtrErr);
    EXPECT_EQ(F::size(s, nullptr), fxrStsNullPtrErr);
    EXPECT_EQ(F::free(nullptr), fxrStsNullPtrErr);

    // contexts of another kind: the other precision, and a record whose
    // tag is that of a real-data context
    alignas(32) int32_t other[64] = {sizeof(TypeParam) == 4 ? 7 : 4};
    alignas(32) int32_t real[64] = {sizeof(TypeParam) == 4 ? 6 : 9};
    for (int32_t *tag : {other, real}) {
        const typename F::Ctx *w = (const typename F::Ctx *)tag;
        EXPECT_EQ(F::fwd(a.data(), b.data(), w, nullptr), fxrStsContextMatchErr);
        EXPECT_EQ(F::inv(nullptr, nullptr, w, nullptr), fxrStsContextMatchErr);
        EXPECT_EQ(F::size(w, &n), fxrStsContextMatchErr);
        EXPECT_EQ(F::free((typename F::Ctx *)tag), fxrStsContextMatchErr);
    }
    EXPECT_EQ(F::free(s), fxrStsNoErr);
}

} // namespace
