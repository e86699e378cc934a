// Sine and cosine on the x87 unit. fsin/fcos leave arguments of magnitude
// 2^63 and above unchanged and raise C2; those are first reduced by
// repeated partial remainders modulo 2^62*pi held in extended precision.
#include "service/serv.h"

namespace {

// 2^62 * pi as an 80-bit extended value, bytes in memory order.
alignas(16) const unsigned char kPi2p62[10] = {0x35, 0xC2, 0x68, 0x21, 0xA2,
                                               0xDA, 0x0F, 0xC9, 0x3E, 0x40};

#define ZEM_X87_TRIG(insn)                                                     \
    __asm__("" insn "\n\t"                                                     \
            "fnstsw %%ax\n\t"                                                  \
            "testw $0x400, %%ax\n\t"                                           \
            "jz 1f\n\t"                                                        \
            "fldt %2\n\t"                                                      \
            "fxch %%st(1)\n"                                                   \
            "2:\n\t"                                                           \
            "fprem1\n\t"                                                       \
            "fnstsw %%ax\n\t"                                                  \
            "testw $0x400, %%ax\n\t"                                           \
            "jnz 2b\n\t"                                                       \
            "fstp %%st(1)\n\t" insn "\n"                                       \
            "1:"                                                               \
            : "=t"(r)                                                          \
            : "0"(x), "m"(*(const unsigned char(*)[10])kPi2p62)                \
            : "ax", "cc", "st(1)")

__attribute__((noinline)) long double x87_sin(long double x)
{
    long double r;
    ZEM_X87_TRIG("fsin");
    return r;
}

__attribute__((noinline)) long double x87_cos(long double x)
{
    long double r;
    ZEM_X87_TRIG("fcos");
    return r;
}

} // namespace

extern "C" ZEM_API long double _ZEM_SERV_sin(double x) { return x87_sin(x); }
extern "C" ZEM_API long double _ZEM_SERV_cos(double x) { return x87_cos(x); }
extern "C" ZEM_API long double _ZEM_SERV_sinf(float x) { return x87_sin(x); }
extern "C" ZEM_API long double _ZEM_SERV_cosf(float x) { return x87_cos(x); }
