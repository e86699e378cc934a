// The engine allocator and zero fill.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "fxrs.h"

TEST(EngineMemory, MallocRejectsEmptyAndAlignsTo32)
{
    EXPECT_EQ(fxrsMalloc_8u(0), nullptr);
    EXPECT_EQ(fxrsMalloc_8u(-5), nullptr);
    for (int len : {1, 3, 31, 32, 33, 100, 4096, 100000}) {
        uint8_t *p = fxrsMalloc_8u(len);
        ASSERT_NE(p, nullptr) << len;
        EXPECT_EQ((uintptr_t)p % 32, 0u) << len;
        memset(p, 0xA5, len); // the whole block is ours
        fxrsFree(p);
    }
    fxrsFree(nullptr);
}

TEST(EngineMemory, ZeroClearsExactlyTheGivenBytes)
{
    // both sides of the streaming threshold, from aligned and odd starts
    for (int len : {1, 7, 8, 9, 20479, 20480, 20481, 65536 + 3}) {
        for (int off : {0, 1, 3, 8}) {
            std::vector<uint8_t> b(len + 64, 0x5A);
            ASSERT_EQ(fxrsZero_8u(b.data() + 16 + off, len), fxrStsNoErr);
            for (int i = 0; i < (int)b.size(); ++i) {
                bool inside = i >= 16 + off && i < 16 + off + len;
                ASSERT_EQ(b[i], inside ? 0 : 0x5A) << "len " << len << " off " << off << " at " << i;
            }
        }
    }
}

TEST(EngineMemory, ZeroStatusCodes)
{
    uint8_t b[4] = {1, 2, 3, 4};
    EXPECT_EQ(fxrsZero_8u(nullptr, 4), fxrStsNullPtrErr);
    EXPECT_EQ(fxrsZero_8u(b, 0), fxrStsSizeErr);
    EXPECT_EQ(fxrsZero_8u(b, -1), fxrStsSizeErr);
    EXPECT_EQ(b[0], 1);
}
