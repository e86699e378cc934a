// Descriptor life cycles: create with fuzzed precision, domain, dimension
// and lengths; a fuzzed sequence of set and get on every configuration
// parameter (and some that do not exist) with fuzzed values; commit; then
// forward and backward compute on arrays of exactly the extent the
// committed configuration addresses; free. Every argument the library
// reads or writes is allocated at exactly its size, so the address
// sanitizer catches a step outside; statuses must come from the defined
// set.
#include <limits.h>
#include <math.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "zem_dfti.h"

namespace {

struct Input {
    const uint8_t *p;
    size_t n;
    uint8_t byte() { return n ? (n--, *p++) : 0; }
    template <class T> T pick(const T *v, size_t count) { return v[byte() % count]; }
};

const int kCodes[] = {0,  1,  2,  3,  4,  7,  -1, 30, 31, 32, 33, 34, 35, 36, 37, 39, 40, 42, 43, 44,
                      46, 48, 49, 50, 51, 53, 54, 55, 56, 100, 1000, INT_MAX, INT_MIN, 5, 6, 8};
const int kSmall[] = {-1, 0, 1, 2, 3, 4, 5, 8};
const double kScales[] = {1.0, 0.5, 2.0, -1.0, 0.0, 1e-3, 1e300, NAN, INFINITY};

void status(int st)
{
    if (st < 0 || st > 8 || st == 4)
        abort(); // not a status code of the interface
}

// Exactly-sized copies of what set reads.
int *ints(Input &in, int count, int lo, int span)
{
    int *v = (int *)malloc(sizeof(int) * (count > 0 ? count : 1));
    for (int i = 0; i < count; ++i)
        v[i] = lo + in.byte() % span;
    return v;
}

int get_int(DFTI_DESCRIPTOR_HANDLE h, int param)
{
    int v = 0;
    status(DftiGetValue(h, param, &v));
    return v;
}

int get_int(DFTI_DESCRIPTOR_HANDLE h, int param);

void set_or_get(Input &in, DFTI_DESCRIPTOR_HANDLE h, int dims)
{
    const int param = in.byte() % 29;
    const bool set = in.byte() & 1;
    const int count = param == DFTI_LENGTHS ? dims : 1 + dims;
    if (param == DFTI_FORWARD_SCALE || param == DFTI_BACKWARD_SCALE) {
        if (set) {
            status(DftiSetValue(h, param, kScales[in.byte() % 9]));
        } else if (get_int(h, DFTI_PRECISION) == DFTI_SINGLE) {
            float *f = (float *)malloc(sizeof(float));
            status(DftiGetValue(h, param, f));
            free(f);
        } else {
            double *d = (double *)malloc(sizeof(double));
            status(DftiGetValue(h, param, d));
            free(d);
        }
    } else if (param == DFTI_INPUT_STRIDES || param == DFTI_OUTPUT_STRIDES || (param == DFTI_LENGTHS && !set)) {
        int *v = ints(in, count, -3, 12);
        status(set ? DftiSetValue(h, param, v) : DftiGetValue(h, param, v));
        free(v);
    } else if (param == DFTI_DESCRIPTOR_NAME || param == DFTI_VERSION) {
        size_t len = set ? in.byte() % 24 : param == DFTI_VERSION ? DFTI_VERSION_LENGTH : DFTI_MAX_NAME_LENGTH + 1;
        char *s = (char *)malloc(len + 1);
        for (size_t i = 0; i < len; ++i)
            s[i] = (char)(32 + in.byte() % 90);
        s[len] = 0;
        status(set ? DftiSetValue(h, param, s) : DftiGetValue(h, param, s));
        free(s);
    } else if (set) {
        const bool small = param == DFTI_NUMBER_OF_TRANSFORMS || param == DFTI_NUMBER_OF_USER_THREADS;
        int v = small ? in.pick(kSmall, 8) : param == DFTI_INPUT_DISTANCE || param == DFTI_OUTPUT_DISTANCE
                                                 ? (int)in.byte() - 16
                                                 : in.pick(kCodes, sizeof kCodes / sizeof *kCodes);
        status(DftiSetValue(h, param, v));
    } else {
        int *v = (int *)malloc(sizeof(int));
        status(DftiGetValue(h, param, v));
        free(v);
    }
}

// Elements from the lowest to the highest index a layout addresses:
// offset + sum of i_k * stride_k + t * distance over every index. False
// when some index is negative (no array can serve the call).
bool extent(const int *len, const int *strides, int dims, int howmany, int dist, size_t *count)
{
    long long lo = strides[0], hi = strides[0];
    for (int k = 0; k < dims; ++k) {
        const long long span = (long long)(len[k] - 1) * strides[1 + k];
        (span < 0 ? lo : hi) += span;
    }
    if (howmany > 1)
        ((long long)(howmany - 1) * dist < 0 ? lo : hi) += (long long)(howmany - 1) * dist;
    *count = (size_t)(hi + 1);
    return lo >= 0 && hi < (1 << 20);
}

void compute(Input &in, DFTI_DESCRIPTOR_HANDLE h)
{
    const int dims = get_int(h, DFTI_DIMENSION), precision = get_int(h, DFTI_PRECISION);
    const int domain = get_int(h, DFTI_FORWARD_DOMAIN), howmany = get_int(h, DFTI_NUMBER_OF_TRANSFORMS);
    const bool inplace = get_int(h, DFTI_PLACEMENT) != DFTI_NOT_INPLACE, ccs = get_int(h, DFTI_PACKED_FORMAT) == DFTI_CCS_FORMAT;
    int len[7], packed[7], is[8], os[8];
    status(DftiGetValue(h, DFTI_LENGTHS, len));
    status(DftiGetValue(h, DFTI_INPUT_STRIDES, is));
    status(DftiGetValue(h, DFTI_OUTPUT_STRIDES, os));
    const int id = get_int(h, DFTI_INPUT_DISTANCE), od = get_int(h, DFTI_OUTPUT_DISTANCE);
    // lengths and strides are listed slowest first; the packed half
    // spectrum of a real transform: a CCS row takes N0 + 2 reals, two
    // CCS dimensions N1 + 2 rows
    for (int k = 0; k < dims; ++k)
        packed[k] = len[k] + (domain == DFTI_REAL && ccs && k >= dims - 2 ? 2 : 0);
    size_t in_count = 0, out_count = 0, a, b;
    const int *shapes[2] = {len, domain == DFTI_REAL ? packed : len};
    for (const int *shape : shapes) {
        if (!extent(shape, is, dims, howmany, id, &a) || !extent(shape, os, dims, howmany, od, &b))
            return;
        in_count = a > in_count ? a : in_count;
        out_count = b > out_count ? b : out_count;
    }
    // backward reads the spectrum where forward wrote it: both arrays serve
    // both layouts
    in_count = out_count = in_count > out_count ? in_count : out_count;
    const size_t unit = (precision == DFTI_SINGLE ? 4 : 8) * (domain == DFTI_COMPLEX ? 2 : 1);
    uint8_t *x = (uint8_t *)malloc(in_count * unit), *y = (uint8_t *)malloc(inplace ? 1 : out_count * unit);
    for (size_t i = 0; i < in_count * unit; ++i)
        x[i] = in.n ? in.byte() : (uint8_t)i;
    memset(y, 0, inplace ? 1 : out_count * unit);
    status(inplace ? DftiComputeForward(h, x) : DftiComputeForward(h, x, y));
    status(inplace ? DftiComputeBackward(h, x) : DftiComputeBackward(h, y, x));
    free(x);
    free(y);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in{data, size};
    const int precision = in.byte() & 8 ? in.pick(kCodes, sizeof kCodes / sizeof *kCodes) : 35 + (in.byte() & 1);
    const int domain = in.byte() & 8 ? in.pick(kCodes, sizeof kCodes / sizeof *kCodes) : 32 + (in.byte() & 1);
    const int dims = in.byte() % 9; // 1..7 valid
    int *lengths = ints(in, dims, -1, 14);
    long long total = 1;
    for (int k = 0; k < dims; ++k)
        total *= lengths[k] > 0 ? lengths[k] : 1;
    if (total > 4096) {
        free(lengths);
        return 0; // big transforms only cost time
    }
    DFTI_DESCRIPTOR_HANDLE h = nullptr;
    const int st = dims == 1 ? DftiCreateDescriptor(&h, precision, domain, 1, lengths[0])
                             : DftiCreateDescriptor(&h, precision, domain, dims, lengths);
    free(lengths);
    status(st);
    if (st != 0) {
        if (h != nullptr)
            abort();
        return 0;
    }
    const int ops = in.byte() % 12;
    for (int i = 0; i < ops; ++i)
        set_or_get(in, h, dims);
    if (DftiCommitDescriptor(h) == 0)
        compute(in, h);
    status(DftiFreeDescriptor(&h));
    if (h != nullptr)
        abort();
    return 0;
}
