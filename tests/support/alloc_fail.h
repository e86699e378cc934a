// Out-of-memory on demand. A test program built with FAIL_ALLOC (see
// tests/CMakeLists.txt) replaces malloc and free for the whole process;
// only the calls the library makes itself are counted, and while armed
// the k-th of them returns null. Allocations of the test, of the C++
// runtime and of the OpenMP runtime are never failed.
#ifndef ZEM_TEST_ALLOC_FAIL_H
#define ZEM_TEST_ALLOC_FAIL_H

#include <gtest/gtest.h>

#include <cstddef>

#include "zem.h"

namespace zem_test {

// Counts the library's allocations from now on; allocation k (0-based)
// and the fails - 1 after it fail, none when k < 0.
void alloc_arm(long k, long long fails = 1);
// Stops counting; true when the armed failure happened.
bool alloc_disarm();
// The library's blocks taken minus those given back since alloc_arm.
long alloc_live();
// The library's allocations since alloc_arm.
long alloc_count();

// Every allocation of the library fails while this lives.
struct NoMemory {
    NoMemory() { alloc_arm(0, 1LL << 40); }
    ~NoMemory() { alloc_disarm(); }
};

// While this lives, every request of the library for more than `bytes`
// fails: sizes that cannot be met fail without touching gigabytes, on
// both builds (on i386 a size that wrapped round would slip under it).
struct AllocLimit {
    explicit AllocLimit(size_t bytes);
    ~AllocLimit();
};

// Runs attempt() once for every allocation it makes, failing allocation k
// in run k, until a run completes without a failure. The work-memory
// cache is emptied before each run and after it, when every block the
// library took must be back (the cache's own table, made once per
// process, is made before). attempt() makes its calls and checks their
// outcome; alloc_failed() tells it whether this run had a failure.
bool alloc_failed();
template <class Attempt>
void for_each_failing_allocation(Attempt attempt, long limit = 1000)
{
    // the work-memory table, which lives as long as the process, first
    _ZEM_SERV_deallocate(_ZEM_SERV_allocate(1));
    for (long k = 0; k < limit; ++k) {
        SCOPED_TRACE(::testing::Message() << "allocation " << k << " fails");
        ZEM_FreeBuffers();
        alloc_arm(k);
        attempt();
        ZEM_FreeBuffers();
        const long live = alloc_live();
        const bool failed = alloc_disarm();
        EXPECT_EQ(live, 0) << "blocks left behind";
        if (!failed)
            return;
    }
    ADD_FAILURE() << "more than " << limit << " allocations";
}

} // namespace zem_test

#endif
