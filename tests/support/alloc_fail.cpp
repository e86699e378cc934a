// The malloc and free of a FAIL_ALLOC test program (see alloc_fail.h).
// They forward to the C library's allocator, or to the address
// sanitizer's when it owns the heap. The library's requests are told
// apart by their return address; the blocks it obtained are remembered
// by address, since a free may reach here through another library's tail
// call (the OpenMP runtime's, say) and its return address tell nothing.
#include "tests/support/alloc_fail.h"

#include <dlfcn.h>
#include <link.h>

#include <atomic>
#include <cstdint>

#ifdef __SANITIZE_ADDRESS__
extern "C" void *__interceptor_malloc(size_t);
extern "C" void __interceptor_free(void *);
#define REAL_MALLOC __interceptor_malloc
#define REAL_FREE __interceptor_free
#else
extern "C" void *__libc_malloc(size_t);
extern "C" void __libc_free(void *);
#define REAL_MALLOC __libc_malloc
#define REAL_FREE __libc_free
#endif

namespace {

std::atomic<bool> g_armed{false};
std::atomic<long long> g_left{-1}; // allocations before the failing ones
long long g_fails = 1;
std::atomic<long> g_count{0}, g_live{0};
constexpr int kBlocks = 4096;
std::atomic<void *> g_blocks[kBlocks]; // the library's blocks taken while armed
std::atomic<bool> g_failed{false};
std::atomic<size_t> g_limit{0}; // 0: none
uintptr_t g_lo = 0, g_hi = 0;    // the library's code
// Set for good by the first arming or limit: until then malloc and free only
// forward, reading nothing but this flag (plainly, see below).
bool g_used = false;

int find_library(dl_phdr_info *info, size_t, void *base)
{
    if (info->dlpi_addr != reinterpret_cast<uintptr_t>(base))
        return 0;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr) &ph = info->dlpi_phdr[i];
        if (ph.p_type == PT_LOAD && (ph.p_flags & PF_X)) {
            g_lo = info->dlpi_addr + ph.p_vaddr;
            g_hi = g_lo + ph.p_memsz;
        }
    }
    return 1;
}

void find_library_once()
{
    if (g_hi != 0)
        return;
    Dl_info info;
    if (dladdr(reinterpret_cast<void *>(&ZEM_FreeBuffers), &info) && info.dli_fbase)
        dl_iterate_phdr(find_library, info.dli_fbase);
}

void remember(void *p)
{
    for (auto &b : g_blocks) {
        void *none = nullptr;
        if (b.compare_exchange_strong(none, p)) {
            ++g_live;
            return;
        }
    }
}

void forget(void *p)
{
    for (auto &b : g_blocks) {
        void *mine = p;
        if (b.compare_exchange_strong(mine, nullptr)) {
            --g_live;
            return;
        }
    }
}

bool from_library(void *ret)
{
    const uintptr_t a = reinterpret_cast<uintptr_t>(ret);
    return a >= g_lo && a < g_hi;
}

} // namespace

#ifndef ZEM_ALLOC_FAIL_OFF
// The dynamic loader calls malloc before the address sanitizer has mapped
// its shadow memory, so these two must not be instrumented.
#ifdef __SANITIZE_ADDRESS__
#define ZEM_NOT_INSTRUMENTED __attribute__((no_sanitize_address))
#else
#define ZEM_NOT_INSTRUMENTED
#endif

extern "C" ZEM_NOT_INSTRUMENTED void *malloc(size_t n)
{
    if (!__atomic_load_n(&g_used, __ATOMIC_RELAXED))
        return REAL_MALLOC(n);
    const size_t limit = g_limit.load(std::memory_order_relaxed);
    if (limit != 0 && n > limit && from_library(__builtin_return_address(0)))
        return nullptr;
    if (g_armed.load(std::memory_order_relaxed) && from_library(__builtin_return_address(0))) {
        ++g_count;
        const long long left = g_left.fetch_sub(1);
        if (left <= 0 && left > -g_fails) {
            g_failed = true;
            return nullptr;
        }
        void *p = REAL_MALLOC(n);
        if (p)
            remember(p);
        return p;
    }
    return REAL_MALLOC(n);
}

extern "C" ZEM_NOT_INSTRUMENTED void free(void *p)
{
    if (p && __atomic_load_n(&g_used, __ATOMIC_RELAXED) && g_armed.load(std::memory_order_relaxed))
        forget(p);
    REAL_FREE(p);
}
#endif

namespace zem_test {

void alloc_arm(long k, long long fails)
{
    find_library_once();
    g_count = 0;
    g_live = 0;
    for (auto &b : g_blocks)
        b = nullptr;
    g_failed = false;
    g_left = k < 0 ? -(1LL << 50) : k;
    g_fails = fails;
    __atomic_store_n(&g_used, true, __ATOMIC_RELAXED);
    g_armed = true;
}

bool alloc_disarm()
{
    g_armed = false;
    return g_failed;
}

AllocLimit::AllocLimit(size_t bytes)
{
    find_library_once();
    __atomic_store_n(&g_used, true, __ATOMIC_RELAXED);
    g_limit = bytes;
}

AllocLimit::~AllocLimit() { g_limit = 0; }

bool alloc_failed() { return g_failed; }
long alloc_live() { return g_live; }
long alloc_count() { return g_count; }

} // namespace zem_test
