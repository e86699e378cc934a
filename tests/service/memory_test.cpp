// The per-thread work-memory cache. Each case runs in a process of its own,
// because the cache switch is decided once per process.
#include <gtest/gtest.h>
#include <malloc.h>
#include <pthread.h>
#include <stdlib.h>
#include <string.h>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>
#include "tests/support/zem_test.h"
#include "zem_service.h"

namespace {

using zem_test::FreshProcess;

TEST(Cache, BestFitThenNeverUsedEntryThenCachedSmallOne)
{
    FreshProcess fresh;
    void *a = _ZEM_SERV_allocate(100);
    void *b = _ZEM_SERV_allocate(200);
    ASSERT_TRUE(a && b);
    memset(a, 1, 100);
    memset(b, 2, 200);
    _ZEM_SERV_deallocate(a);
    _ZEM_SERV_deallocate(b);
    void *c = _ZEM_SERV_allocate(150);
    EXPECT_EQ(c, b);
    void *d = _ZEM_SERV_allocate(300); // takes a never-used entry
    EXPECT_NE(d, a);
    EXPECT_NE(d, b);
    void *e = _ZEM_SERV_allocate(90); // the 100-byte block is still cached
    EXPECT_EQ(e, a);
    for (void *p : {c, d, e})
        _ZEM_SERV_deallocate(p);
    ZEM_FreeBuffers();
}

TEST(Cache, EqualSurplusPicksLowestEntry)
{
    FreshProcess fresh;
    void *p[3];
    for (void *&q : p)
        q = _ZEM_SERV_allocate(64);
    for (int i = 2; i >= 0; --i)
        _ZEM_SERV_deallocate(p[i]);
    EXPECT_EQ(_ZEM_SERV_allocate(64), p[0]);
    EXPECT_EQ(_ZEM_SERV_allocate(60), p[1]);
    ZEM_FreeBuffers();
}

TEST(Cache, RequestNoBlockFitsReplacesSmallestIdleBlock)
{
    FreshProcess fresh;
    void *p[32];
    for (int i = 0; i < 32; ++i)
        ASSERT_NE(p[i] = _ZEM_SERV_allocate(100 * (i + 1)), nullptr);
    for (int i = 0; i < 32; ++i)
        _ZEM_SERV_deallocate(p[i]);
    void *big = _ZEM_SERV_allocate(100000);
    ASSERT_NE(big, nullptr);
    memset(big, 0, 100000);
    // The 100-byte entry was replaced; the best fit for 100 is now 200.
    EXPECT_EQ(_ZEM_SERV_allocate(100), p[1]);
    _ZEM_SERV_freebuffers();
}

TEST(Cache, ThirtyThirdAllocationOfOneThreadIsNull)
{
    FreshProcess fresh;
    std::vector<void *> held;
    for (int i = 0; i < 32; ++i) {
        held.push_back(_ZEM_SERV_allocate(16));
        ASSERT_NE(held.back(), nullptr);
    }
    EXPECT_EQ(_ZEM_SERV_allocate(16), nullptr);
    _ZEM_SERV_deallocate(held[5]);
    EXPECT_EQ(_ZEM_SERV_allocate(8), held[5]);
    for (void *p : held)
        _ZEM_SERV_deallocate(p);
    ZEM_FreeBuffers();
}

TEST(Cache, IdleSlotIsTakenOverByAnotherThread)
{
    FreshProcess fresh;
    void *first = nullptr;
    std::thread([&] {
        first = _ZEM_SERV_allocate(4096);
        _ZEM_SERV_deallocate(first);
    }).join();
    void *second = nullptr;
    std::thread([&] {
        second = _ZEM_SERV_allocate(4000);
        _ZEM_SERV_deallocate(second);
    }).join();
    EXPECT_EQ(first, second);
    ZEM_FreeBuffers();
}

TEST(Cache, BusySlotIsNotShared)
{
    FreshProcess fresh;
    void *mine = _ZEM_SERV_allocate(512);
    void *theirs = nullptr;
    std::thread([&] {
        theirs = _ZEM_SERV_allocate(512);
        // An address the thread does not hold is neither freed nor recorded.
        _ZEM_SERV_deallocate(mine);
        _ZEM_SERV_deallocate(theirs);
    }).join();
    EXPECT_NE(mine, theirs);
    memset(mine, 7, 512); // still ours
    _ZEM_SERV_deallocate(mine);
    ZEM_FreeBuffers();
}

TEST(Cache, FreeAllReturnsEveryBlock)
{
    FreshProcess fresh;
    void *b = _ZEM_SERV_allocate(4000);
    _ZEM_SERV_deallocate(b);
    void *again = _ZEM_SERV_allocate(50);
    EXPECT_EQ(again, b);
    EXPECT_GE(malloc_usable_size(again), 4000u);
    _ZEM_SERV_deallocate(again);
    zem_freebuffers_();
    void *fresh_block = _ZEM_SERV_allocate(50);
    ASSERT_NE(fresh_block, nullptr);
    EXPECT_LT(malloc_usable_size(fresh_block), 4000u);
    _ZEM_SERV_deallocate(fresh_block);
    zem_freebuffers();
}

TEST(Cache, DisabledByEmptyVariable)
{
    FreshProcess fresh;
    setenv("ZEM_DISABLE_FAST_MM", "", 1);
    void *b = _ZEM_SERV_allocate(4000);
    ASSERT_NE(b, nullptr);
    _ZEM_SERV_deallocate(b); // freed at once
    void *small = _ZEM_SERV_allocate(50);
    ASSERT_NE(small, nullptr);
    EXPECT_LT(malloc_usable_size(small), 4000u);
    // No per-thread limit without the cache.
    std::vector<void *> many;
    for (int i = 0; i < 40; ++i)
        many.push_back(_ZEM_SERV_allocate(8));
    for (void *p : many) {
        EXPECT_NE(p, nullptr);
        _ZEM_SERV_deallocate(p);
    }
    _ZEM_SERV_deallocate(small);
    ZEM_FreeBuffers();
}

TEST(Cache, DecisionIsMadeOnFirstUse)
{
    FreshProcess fresh;
    _ZEM_SERV_deallocate(nullptr); // decides: cache on
    setenv("ZEM_DISABLE_FAST_MM", "1", 1);
    void *b = _ZEM_SERV_allocate(3000);
    _ZEM_SERV_deallocate(b);
    EXPECT_EQ(_ZEM_SERV_allocate(10), b);
    ZEM_FreeBuffers();
}

// 514 threads may hold buffers at once; the next one gets null and nothing
// breaks; once they let go, slots are free again. The holders sleep on a
// condition variable (spinning holders starve the creating thread once
// hundreds of them share two cores, most of all under the race detector).
TEST(Cache, FiveHundredFifteenthThreadGetsNull)
{
    FreshProcess fresh;
    constexpr int kThreads = 514;
    struct Ctx {
        std::mutex mu;
        std::condition_variable cv;
        int holding = 0, nulls = 0;
        bool release = false;
    } ctx;
    auto body = [](void *arg) -> void * {
        Ctx *c = static_cast<Ctx *>(arg);
        void *p = _ZEM_SERV_allocate(32);
        {
            std::unique_lock<std::mutex> lk(c->mu);
            c->nulls += p == nullptr;
            ++c->holding;
            c->cv.notify_all();
            c->cv.wait(lk, [c] { return c->release; });
        }
        _ZEM_SERV_deallocate(p);
        return nullptr;
    };
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, 64 * 1024);
    std::vector<pthread_t> threads(kThreads);
    for (pthread_t &t : threads)
        ASSERT_EQ(pthread_create(&t, &attr, +body, &ctx), 0);
    {
        std::unique_lock<std::mutex> lk(ctx.mu);
        ctx.cv.wait(lk, [&] { return ctx.holding == kThreads; });
        EXPECT_EQ(ctx.nulls, 0);
    }
    void *extra = reinterpret_cast<void *>(1);
    std::thread([&] { extra = _ZEM_SERV_allocate(32); }).join();
    EXPECT_EQ(extra, nullptr);
    {
        std::lock_guard<std::mutex> lk(ctx.mu);
        ctx.release = true;
    }
    ctx.cv.notify_all();
    for (pthread_t t : threads)
        pthread_join(t, nullptr);
    pthread_attr_destroy(&attr);
    std::thread([&] {
        extra = _ZEM_SERV_allocate(32);
        _ZEM_SERV_deallocate(extra);
    }).join();
    EXPECT_NE(extra, nullptr);
    ZEM_FreeBuffers();
}

TEST(Lock, SerialisesThreads)
{
    FreshProcess fresh;
    long counter = 0;
    auto work = [&] {
        for (int i = 0; i < 20000; ++i) {
            _ZEM_SERV_lock();
            long v = counter;
            counter = v + 1;
            _ZEM_SERV_unlock();
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_EQ(counter, 40000);
}

} // namespace
