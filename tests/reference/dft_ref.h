// Long-double discrete Fourier transforms for the engine tests, written
// for clarity: a direct O(N^2) sum and a recursive radix-2 transform for
// large powers of two. sign = -1: forward, +1: inverse; no scaling.
#ifndef ZEM_TEST_DFT_REF_H
#define ZEM_TEST_DFT_REF_H

#include <complex>
#include <vector>

namespace zem_ref {

typedef std::complex<long double> cld;

std::vector<cld> dft_direct(const std::vector<cld> &x, int sign);
// x.size() must be a power of two.
std::vector<cld> fft_pow2(const std::vector<cld> &x, int sign);
// Direct sum for N up to 64, the radix-2 transform beyond.
std::vector<cld> dft(const std::vector<cld> &x, int sign);

// The bins k of bins only, each a direct sum: O(N) per bin, for lengths
// too long for the whole direct transform.
std::vector<cld> dft_bins(const std::vector<cld> &x, int sign, const std::vector<long long> &bins);

} // namespace zem_ref

#endif
