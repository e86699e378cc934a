// Long-double reference transforms for the engine tests.
#include "tests/reference/dft_ref.h"

#include <algorithm>
#include <cmath>

namespace zem_ref {

namespace {
const long double kTwoPi = 6.283185307179586476925286766559L;

// e^(sign 2 pi i k/n) with the angle reduced to the first octant's
// neighbourhood through k mod n.
cld root(long long k, long long n, int sign)
{
    k %= n;
    long double a = kTwoPi * (long double)k / (long double)n;
    return cld(cosl(a), sign * sinl(a));
}

} // namespace

std::vector<cld> dft_direct(const std::vector<cld> &x, int sign)
{
    const long long n = (long long)x.size();
    std::vector<cld> y(n), w(n);
    for (long long m = 0; m < n; ++m)
        w[m] = root(m, n, sign);
    for (long long k = 0; k < n; ++k) {
        cld s = 0;
        for (long long j = 0; j < n; ++j)
            s += x[j] * w[(j * k) % n];
        y[k] = s;
    }
    return y;
}

std::vector<cld> dft_bins(const std::vector<cld> &x, int sign, const std::vector<long long> &bins)
{
    const long long n = (long long)x.size();
    std::vector<cld> w(n), y;
    for (long long m = 0; m < n; ++m)
        w[m] = root(m, n, sign);
    for (long long k : bins) {
        cld s = 0;
        for (long long j = 0, at = 0; j < n; ++j, at = (at + k) % n)
            s += x[j] * w[at];
        y.push_back(s);
    }
    return y;
}

// Iterative radix-2: bit-reversed copy, then butterflies of span 1, 2, 4 ...
std::vector<cld> fft_pow2(const std::vector<cld> &x, int sign)
{
    const long long n = (long long)x.size();
    int bits = 0;
    while ((1LL << bits) < n)
        ++bits;
    std::vector<cld> y(n), w(n / 2 + 1);
    for (long long i = 0; i < n; ++i) {
        long long r = 0;
        for (int b = 0; b < bits; ++b)
            r |= ((i >> b) & 1) << (bits - 1 - b);
        y[r] = x[i];
    }
    for (long long k = 0; k < n / 2; ++k)
        w[k] = root(k, n, sign);
    // spans below 4096 block by block (in cache), the rest over the array
    auto pass = [&](long long lo, long long hi, long long span) {
        const long long step = n / (2 * span);
        for (long long b = lo; b < hi; b += 2 * span)
            for (long long k = 0; k < span; ++k) {
                const cld t = w[k * step], o = y[b + k + span], e = y[b + k];
                const long double pr = t.real() * o.real() - t.imag() * o.imag();
                const long double pi = t.real() * o.imag() + t.imag() * o.real();
                y[b + k] = cld(e.real() + pr, e.imag() + pi);
                y[b + k + span] = cld(e.real() - pr, e.imag() - pi);
            }
    };
    const long long blk = std::min(n, 4096LL);
    for (long long lo = 0; lo < n; lo += blk)
        for (long long span = 1; span < blk; span *= 2)
            pass(lo, lo + blk, span);
    for (long long span = blk; span < n; span *= 2)
        pass(0, n, span);
    return y;
}

std::vector<cld> dft(const std::vector<cld> &x, int sign)
{
    const size_t n = x.size();
    if (n > 64 && (n & (n - 1)) == 0)
        return fft_pow2(x, sign);
    return dft_direct(x, sign);
}

} // namespace zem_ref
