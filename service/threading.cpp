// Serial or parallel: decided once per process from OMP_NUM_THREADS and
// ZEM_SERIAL, and kept.
#include <stdlib.h>
#include <string.h>
#include "service/serv.h"

namespace {
int g_serial_decision = -1;

bool is_set(const char *v) { return v != nullptr && v[0] != '\0'; }
bool says_yes(const char *v) { return strcmp(v, "YES") == 0 || strcmp(v, "yes") == 0; }
} // namespace

extern "C" ZEM_API int _ZEM_SERV_in_serial(void)
{
    int d = g_serial_decision;
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
    g_serial_decision = d;
    return d;
}

extern "C" ZEM_API int _ZEM_SERV_set_serial(void) { return setenv("ZEM_SERIAL", "YES", 1); }
extern "C" ZEM_API int _ZEM_SERV_set_parallel(void) { return setenv("ZEM_SERIAL", "NO", 1); }

ZEM_ALIAS(_ZEM_SERV_in_serial, ZEM_IN_SERIAL)
ZEM_ALIAS(_ZEM_SERV_in_serial, zem_in_serial)
ZEM_ALIAS(_ZEM_SERV_in_serial, zem_in_serial_)
ZEM_ALIAS(_ZEM_SERV_set_serial, ZEM_SET_SERIAL)
ZEM_ALIAS(_ZEM_SERV_set_serial, zem_set_serial)
ZEM_ALIAS(_ZEM_SERV_set_serial, zem_set_serial_)
ZEM_ALIAS(_ZEM_SERV_set_parallel, ZEM_SET_PARALLEL)
ZEM_ALIAS(_ZEM_SERV_set_parallel, zem_set_parallel)
ZEM_ALIAS(_ZEM_SERV_set_parallel, zem_set_parallel_)
