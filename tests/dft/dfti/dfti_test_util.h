// Helpers of the descriptor tests: an owned descriptor, random complex
// data, and the long-double reference of a multi-dimensional transform.
#ifndef ZEM_TEST_DFTI_UTIL_H
#define ZEM_TEST_DFTI_UTIL_H

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "tests/reference/dft_ref.h"
#include "zem_dfti.h"

namespace dfti_test {

using zem_ref::cld;

// A descriptor freed at scope exit.
struct Desc {
    DFTI_DESCRIPTOR_HANDLE h = nullptr;
    ~Desc()
    {
        if (h != nullptr) {
            EXPECT_EQ(DftiFreeDescriptor(&h), 0);
        }
    }
};

inline int get_int(DFTI_DESCRIPTOR_HANDLE h, int param)
{
    int v = -12345;
    EXPECT_EQ(DftiGetValue(h, param, &v), 0) << "parameter " << param;
    return v;
}

inline std::vector<cld> random_complex(size_t n, unsigned seed)
{
    std::mt19937 g(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<cld> x(n);
    for (auto &v : x)
        v = cld(u(g), u(g));
    return x;
}

// The transform of a dense array, dimension 0 fastest: the long-double
// one-dimensional transform along every dimension in turn.
inline std::vector<cld> reference_nd(std::vector<cld> x, const std::vector<int> &n, int sign)
{
    ptrdiff_t stride = 1, total = (ptrdiff_t)x.size();
    for (int len : n) {
        std::vector<cld> line(len);
        for (ptrdiff_t base = 0; base < total; ++base) {
            if ((base / stride) % len != 0)
                continue;
            for (int i = 0; i < len; ++i)
                line[i] = x[base + i * stride];
            std::vector<cld> y = zem_ref::dft(line, sign);
            for (int i = 0; i < len; ++i)
                x[base + i * stride] = y[i];
        }
        stride *= len;
    }
    return x;
}

// Largest error relative to the largest reference magnitude.
inline double rel_error(const std::vector<cld> &got, const std::vector<cld> &ref)
{
    long double e = 0, m = 0;
    for (size_t i = 0; i < ref.size(); ++i) {
        e = std::max(e, std::abs(got[i] - ref[i]));
        m = std::max(m, std::abs(ref[i]));
    }
    return (double)(m > 0 ? e / m : e);
}

} // namespace dfti_test

#endif
