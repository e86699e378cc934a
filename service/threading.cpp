// Serial or parallel: decided once per process from OMP_NUM_THREADS and
// ZEM_SERIAL, and kept.
//
// A process that forks after parallel work leaves its child with an OpenMP
// runtime whose worker threads did not come along: the child's first
// parallel region would wait for them for ever. So once the decision is
// "parallel", a fork handler turns the child serial; processes that never
// fork keep the decision as made.
#include <pthread.h>
#include <stdlib.h>
#include <string.h>
#include "service/serv.h"

namespace {
int g_serial_decision = -1;
int g_fork_handler_set = 0;

void child_runs_serially(void) { __atomic_store_n(&g_serial_decision, 1, __ATOMIC_RELAXED); }

// Writes ZEM_SERIAL only when its value would change: a write of the
// environment racing with another thread's read of it is a crash in the C
// library, and the entries ask for the same value on every call.
int set_serial_value(const char *value)
{
    const char *now = getenv("ZEM_SERIAL");
    if (now != nullptr && strcmp(now, value) == 0)
        return 0;
    return setenv("ZEM_SERIAL", value, 1);
}

bool is_set(const char *v) { return v != nullptr && v[0] != '\0'; }
bool says_yes(const char *v) { return strcmp(v, "YES") == 0 || strcmp(v, "yes") == 0; }
} // namespace

// The first decision may be made by several threads at once; each reaches
// the same one, and the decision word is accessed atomically.
extern "C" ZEM_API int _ZEM_SERV_in_serial(void)
{
    int d = __atomic_load_n(&g_serial_decision, __ATOMIC_RELAXED);
    if (d != -1)
        return d;
    const char *t = getenv("OMP_NUM_THREADS");
    if (t == nullptr)
        t = getenv("omp_num_threads");
    const char *s = getenv("ZEM_SERIAL");
    if (is_set(t))
        d = (is_set(s) && says_yes(s)) ? 1 : 0;
    else
        d = (is_set(s) && !says_yes(s)) ? 0 : 1;
    if (d == 0 && !__atomic_exchange_n(&g_fork_handler_set, 1, __ATOMIC_ACQ_REL))
        pthread_atfork(nullptr, nullptr, child_runs_serially);
    __atomic_store_n(&g_serial_decision, d, __ATOMIC_RELAXED);
    return d;
}

extern "C" ZEM_API int _ZEM_SERV_set_serial(void) { return set_serial_value("YES"); }
extern "C" ZEM_API int _ZEM_SERV_set_parallel(void) { return set_serial_value("NO"); }

ZEM_ALIAS(_ZEM_SERV_in_serial, ZEM_IN_SERIAL)
ZEM_ALIAS(_ZEM_SERV_in_serial, zem_in_serial)
ZEM_ALIAS(_ZEM_SERV_in_serial, zem_in_serial_)
ZEM_ALIAS(_ZEM_SERV_set_serial, ZEM_SET_SERIAL)
ZEM_ALIAS(_ZEM_SERV_set_serial, zem_set_serial)
ZEM_ALIAS(_ZEM_SERV_set_serial, zem_set_serial_)
ZEM_ALIAS(_ZEM_SERV_set_parallel, ZEM_SET_PARALLEL)
ZEM_ALIAS(_ZEM_SERV_set_parallel, zem_set_parallel)
ZEM_ALIAS(_ZEM_SERV_set_parallel, zem_set_parallel_)
