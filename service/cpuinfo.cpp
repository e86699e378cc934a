// Processor facts from CPUID, computed on first use and kept.
#include <cpuid.h>
#include "service/serv.h"

namespace {

int g_ht = -1;
int g_l2 = -1;

struct L2Descriptor {
    unsigned char byte;
    int code;
};

const L2Descriptor kL2Table[] = {
    {0x40, 0}, {0x41, 1}, {0x79, 1}, {0x42, 2}, {0x7A, 2}, {0x82, 2}, {0x43, 3}, {0x7B, 3},
    {0x44, 4}, {0x7C, 4}, {0x84, 4}, {0x45, 5}, {0x85, 5},
};

} // namespace

// Decodes the four leaf-2 registers; -1 when no descriptor names a
// second-level cache. Registers with bit 31 set carry no descriptors, and
// the lowest byte of EAX is the repeat count.
extern "C" int zem_l2_code_from_leaf2(const unsigned int regs[4])
{
    int code = -1;
    for (int r = 0; r < 4; ++r) {
        if (regs[r] & 0x80000000u)
            continue;
        for (int b = (r == 0) ? 1 : 0; b < 4; ++b) {
            unsigned char d = (unsigned char)(regs[r] >> (8 * b));
            for (const L2Descriptor &e : kL2Table)
                if (e.byte == d)
                    code = e.code;
        }
    }
    return code;
}

extern "C" ZEM_API int _ZEM_SERV_getcpuht(void)
{
    unsigned int a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d))
        return 0;
    if (!(d & (1u << 28)))
        return 0;
    return ((b >> 16) & 0xFFu) > 1 ? 1 : 0;
}

extern "C" ZEM_API int _ZEM_SERV_verifyht(void)
{
    if (g_ht == -1)
        g_ht = _ZEM_SERV_getcpuht();
    return g_ht;
}

extern "C" ZEM_API void _ZEM_SERV_getcputlbcache(unsigned int regs[4])
{
    unsigned int a = 0, b = 0, c = 0, d = 0;
    if (__get_cpuid_max(0, nullptr) >= 2)
        __cpuid(2, a, b, c, d);
    regs[0] = a;
    regs[1] = b;
    regs[2] = c;
    regs[3] = d;
}

extern "C" ZEM_API int _ZEM_SERV_l2cache(void)
{
    if (g_l2 != -1)
        return g_l2;
    unsigned int regs[4];
    _ZEM_SERV_getcputlbcache(regs);
    int code = zem_l2_code_from_leaf2(regs);
    if (code != -1)
        g_l2 = code;
    return code;
}
