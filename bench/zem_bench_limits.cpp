// The arithmetic limits of one core for the two instruction sets the
// library computes with, measured the way a kernel would reach them: many
// independent chains of the instruction mix, so that throughput and not
// latency bounds the loop.
//   SSE: 12 chains of packed single (6 mulps, 6 addps), 4 flops each.
//   x87: 7 chains on the register stack (3 fmul, 4 fadd), 1 flop each.
// The loops are written in assembly so the instruction mix is exactly this
// one. Each limit is the median of five timed runs of about 40 ms; a run's
// wall time is scaled by the share of a CPU the process got meanwhile, so
// time slices that a shared machine gives to other processes do not count.
#include <algorithm>
#include <vector>

#include "zem_bench.h"

namespace {

#if defined(__x86_64__)
const float kOne[4] __attribute__((aligned(16))) = {1.0f, 1.0f, 1.0f, 1.0f};

// 24 SSE instructions (96 flops) per iteration; the values stay at 1 (mul)
// or grow to where adding 1 no longer changes them (add): always finite.
__attribute__((noinline)) void sse_chains(long iters)
{
    __asm__ volatile("movaps %[c], %%xmm12\n\t"
                     "movaps %%xmm12, %%xmm0\n\t movaps %%xmm12, %%xmm1\n\t movaps %%xmm12, %%xmm2\n\t"
                     "movaps %%xmm12, %%xmm3\n\t movaps %%xmm12, %%xmm4\n\t movaps %%xmm12, %%xmm5\n\t"
                     "movaps %%xmm12, %%xmm6\n\t movaps %%xmm12, %%xmm7\n\t movaps %%xmm12, %%xmm8\n\t"
                     "movaps %%xmm12, %%xmm9\n\t movaps %%xmm12, %%xmm10\n\t movaps %%xmm12, %%xmm11\n\t"
                     "0:\n\t"
                     ".rept 2\n\t"
                     "addps %%xmm12, %%xmm0\n\t mulps %%xmm12, %%xmm6\n\t"
                     "addps %%xmm12, %%xmm1\n\t mulps %%xmm12, %%xmm7\n\t"
                     "addps %%xmm12, %%xmm2\n\t mulps %%xmm12, %%xmm8\n\t"
                     "addps %%xmm12, %%xmm3\n\t mulps %%xmm12, %%xmm9\n\t"
                     "addps %%xmm12, %%xmm4\n\t mulps %%xmm12, %%xmm10\n\t"
                     "addps %%xmm12, %%xmm5\n\t mulps %%xmm12, %%xmm11\n\t"
                     ".endr\n\t"
                     "sub $1, %[n]\n\t"
                     "jnz 0b\n\t"
                     : [n] "+r"(iters)
                     : [c] "m"(kOne)
                     : "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8", "xmm9", "xmm10",
                       "xmm11", "xmm12", "cc");
}
constexpr double kSseFlops = 24 * 4;
#endif

const long double kNearOne = 1.0L + 1.0L / (1L << 40);

// 28 x87 instructions (28 flops) per iteration: st(0) holds a constant
// just above 1, st(1)..st(7) are the chains (stable for any realistic run:
// the product grows by 2^-40 per step, the sums by about 1).
__attribute__((noinline)) void x87_chains(long iters)
{
    __asm__ volatile("fld1\n\t fld1\n\t fld1\n\t fld1\n\t fld1\n\t fld1\n\t fld1\n\t"
                     "fldt %[c]\n\t"
                     "0:\n\t"
                     ".rept 4\n\t"
                     "fadd %%st, %%st(1)\n\t fmul %%st, %%st(5)\n\t"
                     "fadd %%st, %%st(2)\n\t fmul %%st, %%st(6)\n\t"
                     "fadd %%st, %%st(3)\n\t fmul %%st, %%st(7)\n\t"
                     "fadd %%st, %%st(4)\n\t"
                     ".endr\n\t"
                     "sub $1, %[n]\n\t"
                     "jnz 0b\n\t"
                     "fstp %%st(0)\n\t fstp %%st(0)\n\t fstp %%st(0)\n\t fstp %%st(0)\n\t"
                     "fstp %%st(0)\n\t fstp %%st(0)\n\t fstp %%st(0)\n\t fstp %%st(0)\n\t"
                     : [n] "+r"(iters)
                     : [c] "m"(kNearOne)
                     : "st", "st(1)", "st(2)", "st(3)", "st(4)", "st(5)", "st(6)", "st(7)", "cc");
}
constexpr double kX87Flops = 28;

// GFLOPS of loop(iters) with `flops` per iteration: the median of five
// runs of about 40 ms, each run's wall time scaled by the process's CPU
// share during it.
double limit(void (*loop)(long), double flops)
{
    long iters = 1000;
    for (;;) { // calibrate to about 40 ms
        const double t0 = zembench::wall_seconds();
        loop(iters);
        const double t = zembench::wall_seconds() - t0;
        if (t > 0.01) {
            iters = std::max(1L, (long)(iters * 0.04 / t));
            break;
        }
        iters *= 4;
    }
    std::vector<double> g;
    for (int r = 0; r < 5; ++r) {
        const double w0 = zembench::wall_seconds(), c0 = zembench::cpu_seconds();
        loop(iters);
        const double w = zembench::wall_seconds() - w0, c = zembench::cpu_seconds() - c0;
        const double share = w > 0 && c > 0 && c < w ? c / w : 1.0;
        g.push_back(flops * iters / (w * share) * 1e-9);
    }
    std::sort(g.begin(), g.end());
    return g[g.size() / 2];
}

} // namespace

double zembench::sse_limit_gflops()
{
#if defined(__x86_64__)
    return limit(sse_chains, kSseFlops);
#else
    return 0;
#endif
}

double zembench::x87_limit_gflops() { return limit(x87_chains, kX87Flops); }
