// Work memory: up to 32 cached buffers per thread, handed out again by
// best fit, so that repeated calls reuse their work memory. One spin lock
// guards the slot table; a thread works on its own slot without it.
#include <pthread.h>
#include <sched.h>
#include <stdlib.h>
#include <string.h>
#include "service/serv.h"

namespace {

constexpr int kMaxSlots = 514;
constexpr int kEntries = 32;
constexpr int kSlotGrowth = 4;

// Sizes are size_t, which is the 32-bit unsigned word on i386 and lets the
// x86_64 build hand out buffers beyond 4 GiB.
struct Slot {
    void *addr[kEntries];
    size_t size[kEntries];
    unsigned char in_use[kEntries];
    pthread_t owner;  // 0: free
};

int g_fast = -1;          // -1 undecided, 1 cache on, 0 cache off
int g_table_created = -1; // -1 not yet, 1 created
int g_active = 2;
int g_lock_word = 0;
Slot *g_slots = nullptr;

// The first use may come from several threads at once (the threads of a
// parallel region): each then reads the environment and stores the same
// decision, through atomic accesses.
bool cache_on()
{
    int fast = __atomic_load_n(&g_fast, __ATOMIC_RELAXED);
    if (fast == -1) {
        fast = getenv("ZEM_DISABLE_FAST_MM") != nullptr ? 0 : 1;
        __atomic_store_n(&g_fast, fast, __ATOMIC_RELAXED);
    }
    return fast == 1;
}

bool same_thread(pthread_t a, pthread_t b) { return a != 0 && pthread_equal(a, b); }

// Called with the lock held. The slot the caller may use, or null.
Slot *claim_slot(pthread_t self)
{
    if (g_table_created != 1) {
        g_slots = static_cast<Slot *>(malloc(sizeof(Slot) * kMaxSlots));
        if (g_slots == nullptr)
            return nullptr;
        memset(g_slots, 0, sizeof(Slot) * 2);
        g_active = 2;
        g_table_created = 1;
    }
    for (int i = 0; i < g_active; ++i)
        if (same_thread(g_slots[i].owner, self))
            return &g_slots[i];
    for (int i = 0; i < g_active; ++i)
        if (g_slots[i].owner == 0) {
            g_slots[i].owner = self;
            return &g_slots[i];
        }
    if (g_active > kMaxSlots - 1)
        return nullptr;
    memset(&g_slots[g_active], 0, sizeof(Slot) * kSlotGrowth);
    Slot *s = &g_slots[g_active];
    g_active += kSlotGrowth;
    s->owner = self;
    return s;
}

Slot *find_own_slot(pthread_t self)
{
    if (g_table_created != 1)
        return nullptr;
    for (int i = 0; i < g_active; ++i)
        if (same_thread(g_slots[i].owner, self))
            return &g_slots[i];
    return nullptr;
}

// Runs on the caller's own slot, without the lock.
void *take_entry(Slot *s, size_t size)
{
    int best = -1;
    for (int e = 0; e < kEntries; ++e) {
        if (s->in_use[e] || s->size[e] < size)
            continue;
        if (best < 0 || s->size[e] - size < s->size[best] - size)
            best = e;
    }
    if (best >= 0) {
        s->in_use[best] = 1;
        return s->addr[best];
    }
    int smallest = -1;
    for (int e = 0; e < kEntries; ++e)
        if (!s->in_use[e] && (smallest < 0 || s->size[e] < s->size[smallest]))
            smallest = e;
    if (smallest < 0)
        return nullptr;
    free(s->addr[smallest]);
    // A failed malloc leaves the entry held with no memory until free-all,
    // so the caller sees null and nothing is written through it.
    s->addr[smallest] = malloc(size == 0 ? 1 : size);
    s->size[smallest] = s->addr[smallest] != nullptr ? size : 0;
    s->in_use[smallest] = 1;
    return s->addr[smallest];
}

} // namespace

// A waiting thread reads the word and tries the exchange only when it looks
// free, pausing between reads; after kSpinsBeforeYield reads it yields the
// processor between them instead. Our choice: a pure spin lets hundreds of
// waiting threads starve a holder that was preempted inside its few
// instructions (with more threads than processors, the holder then gets
// one time slice in hundreds).
const int kSpinsBeforeYield = 64;

extern "C" ZEM_API void _ZEM_SERV_lock(void)
{
    for (int spins = 0;; ++spins) {
        int expected = 0;
        if (__atomic_load_n(&g_lock_word, __ATOMIC_RELAXED) == 0 &&
            __atomic_compare_exchange_n(&g_lock_word, &expected, 1, false, __ATOMIC_ACQUIRE, __ATOMIC_RELAXED))
            return;
        if (spins < kSpinsBeforeYield)
            __asm__ volatile("pause");
        else
            sched_yield();
    }
}

extern "C" ZEM_API void _ZEM_SERV_unlock(void)
{
    __atomic_store_n(&g_lock_word, 0, __ATOMIC_RELEASE);
}

extern "C" ZEM_API void *_ZEM_SERV_allocate(size_t size)
{
    if (!cache_on())
        return malloc(size);
    pthread_t self = pthread_self();
    _ZEM_SERV_lock();
    Slot *s = claim_slot(self);
    _ZEM_SERV_unlock();
    if (s == nullptr)
        return nullptr;
    return take_entry(s, size);
}

extern "C" ZEM_API void _ZEM_SERV_deallocate(void *p)
{
    if (!cache_on()) {
        free(p);
        return;
    }
    pthread_t self = pthread_self();
    _ZEM_SERV_lock();
    Slot *s = find_own_slot(self);
    if (s != nullptr) {
        bool busy = false;
        bool cleared = false;
        for (int e = 0; e < kEntries; ++e) {
            if (!cleared && p != nullptr && s->addr[e] == p) {
                s->in_use[e] = 0;
                cleared = true;
            }
            busy = busy || s->in_use[e];
        }
        if (!busy)
            s->owner = 0;
    }
    _ZEM_SERV_unlock();
}

extern "C" ZEM_API void _ZEM_SERV_freebuffers(void)
{
    if (!cache_on())
        return;
    _ZEM_SERV_lock();
    if (g_table_created == 1) {
        for (int i = 0; i < g_active; ++i) {
            Slot &s = g_slots[i];
            for (int e = 0; e < kEntries; ++e) {
                s.in_use[e] = 0;
                s.size[e] = 0;
                free(s.addr[e]);
                s.addr[e] = nullptr;
            }
            s.owner = 0;
        }
    }
    _ZEM_SERV_unlock();
}

extern "C" ZEM_API void ZEM_FreeBuffers(void)
{
    zem_entry_prologue();
    _ZEM_SERV_freebuffers();
}
ZEM_ALIAS(ZEM_FreeBuffers, zem_freebuffers)
ZEM_ALIAS(ZEM_FreeBuffers, zem_freebuffers_)
