// The transform drivers: every line of every dimension of every transform
// through the records' one-dimensional entry points, serially or split over
// the threads fixed at commit. Lines with a stride other than one are
// gathered into an aligned temporary, transformed there and scattered
// back; lines across dimension 0 are gathered several adjacent ones at a
// time (4 in two dimensions, 8 in more) so that each cache line read
// serves several transforms.
#include <omp.h>
#include <string.h>

#include "dft/kernel/default/f_dft/dfti_plan.h"
#include "service/serv.h"

namespace zem_dfti {

Temp::Temp(size_t bytes) : raw_(bytes > 0 ? zem_allocate(zem_size_add(bytes, kTempAlign)) : nullptr), aligned_(nullptr)
{
    if (raw_ != nullptr)
        aligned_ = reinterpret_cast<void *>(((uintptr_t)raw_ + kTempAlign) & ~(uintptr_t)(kTempAlign - 1));
}

Temp::~Temp()
{
    if (raw_ != nullptr)
        _ZEM_SERV_deallocate(raw_);
}

namespace {

constexpr int kMaxDims = 7;
constexpr ptrdiff_t kPrefetchRows = 16;

template <class R> struct Cx {
    R re, im;
};

// One transform's view of the descriptor: lengths, the strides of the
// layout being transformed in place, and the entry of every dimension.
template <class R> struct Job {
    typedef Cx<R> E;
    int d;
    ptrdiff_t n[kMaxDims];
    ptrdiff_t s[kMaxDims];
    DftiRecord *rec[kMaxDims];
    DftiEntry entry[kMaxDims];
    uint8_t *scratch;
    E *tmp;
};

template <class R> void make_job(Job<R> &j, DftiRecord *r0, bool forward, bool output_layout)
{
    bool single = sizeof(R) == sizeof(float);
    int slot = single ? (forward ? kEntryCFwd : kEntryCBwd) : (forward ? kEntryZFwd : kEntryZBwd);
    j.d = r0->dimension;
    int k = 0;
    for (DftiRecord *r = r0; r != nullptr; r = r->next, ++k) {
        j.n[k] = r->length;
        j.s[k] = output_layout ? r->output_stride : r->input_stride;
        j.rec[k] = r;
        j.entry[k] = r->entry[slot];
    }
    j.scratch = nullptr;
    j.tmp = nullptr;
}

// Calls fn(idx) for every index combination of the dimensions not in
// `skip` (a bit mask), with the index of dimension `split` limited to
// [lo, hi) when split >= 0; stops at the first non-zero status.
template <class F>
int for_each_index(int d, const ptrdiff_t *n, unsigned skip, int split, ptrdiff_t lo, ptrdiff_t hi, F &&fn)
{
    ptrdiff_t idx[kMaxDims] = {0}, first[kMaxDims] = {0}, end[kMaxDims] = {0};
    int dims[kMaxDims], m = 0;
    for (int k = 0; k < d; ++k) {
        if (skip >> k & 1u)
            continue;
        first[k] = k == split ? lo : 0;
        end[k] = k == split ? hi : n[k];
        if (first[k] >= end[k])
            return DFTI_NO_ERROR;
        idx[k] = first[k];
        dims[m++] = k;
    }
    for (;;) {
        int st = fn(idx);
        if (st != DFTI_NO_ERROR)
            return st;
        int q = 0;
        while (q < m) {
            int k = dims[q];
            if (++idx[k] < end[k])
                break;
            idx[k] = first[k];
            ++q;
        }
        if (q == m)
            return DFTI_NO_ERROR;
    }
}

inline ptrdiff_t offset_of(int d, const ptrdiff_t *idx, const ptrdiff_t *s)
{
    ptrdiff_t o = 0;
    for (int k = 0; k < d; ++k)
        o += idx[k] * s[k];
    return o;
}

// One line along dimension k, in place.
template <class R> int line(const Job<R> &j, int k, Cx<R> *p, ptrdiff_t stride)
{
    if (stride == 1)
        return j.entry[k](p, p, j.rec[k], j.scratch);
    ptrdiff_t n = j.n[k];
    Cx<R> *t = j.tmp;
    for (ptrdiff_t i = 0; i < n; ++i)
        t[i] = p[i * stride];
    int st = j.entry[k](t, t, j.rec[k], j.scratch);
    for (ptrdiff_t i = 0; i < n; ++i)
        p[i * stride] = t[i];
    return st;
}

// The lines along dimension k >= 1 that start at p + i0 * s0 for i0 in
// [lo, hi), `block` adjacent ones gathered together when s0 is 1.
template <class R> int lines_across(const Job<R> &j, int k, Cx<R> *p, ptrdiff_t lo, ptrdiff_t hi, int block)
{
    ptrdiff_t nk = j.n[k], sk = j.s[k], s0 = j.s[0];
    if (s0 != 1 || block <= 1) {
        for (ptrdiff_t i0 = lo; i0 < hi; ++i0) {
            int st = line(j, k, p + i0 * s0, sk);
            if (st != DFTI_NO_ERROR)
                return st;
        }
        return DFTI_NO_ERROR;
    }
    Cx<R> *t = j.tmp;
    for (ptrdiff_t i0 = lo; i0 < hi; i0 += block) {
        ptrdiff_t b = hi - i0 < block ? hi - i0 : block;
        Cx<R> *q = p + i0;
        // Rows lie far apart: the lines a few rows ahead are asked for
        // early, which the processor's own prefetching does not do at
        // such strides.
        for (ptrdiff_t i = 0; i < nk; ++i) {
            if (i + kPrefetchRows < nk)
                __builtin_prefetch(q + (i + kPrefetchRows) * sk, 0);
            for (ptrdiff_t c = 0; c < b; ++c)
                t[c * nk + i] = q[i * sk + c];
        }
        int st = DFTI_NO_ERROR;
        for (ptrdiff_t c = 0; c < b && st == DFTI_NO_ERROR; ++c)
            st = j.entry[k](t + c * nk, t + c * nk, j.rec[k], j.scratch);
        for (ptrdiff_t i = 0; i < nk; ++i) {
            if (i + kPrefetchRows < nk)
                __builtin_prefetch(q + (i + kPrefetchRows) * sk, 1);
            for (ptrdiff_t c = 0; c < b; ++c)
                q[i * sk + c] = t[c * nk + i];
        }
        if (st != DFTI_NO_ERROR)
            return st;
    }
    return DFTI_NO_ERROR;
}

// Rows (dimension 0) with index i1 in [lo, hi) of the plane at p.
template <class R> int rows(const Job<R> &j, Cx<R> *p, ptrdiff_t lo, ptrdiff_t hi)
{
    for (ptrdiff_t i1 = lo; i1 < hi; ++i1) {
        int st = line(j, 0, p + i1 * j.s[1], j.s[0]);
        if (st != DFTI_NO_ERROR)
            return st;
    }
    return DFTI_NO_ERROR;
}

// The plane of dimensions 0 and 1 at p: its rows, then its columns.
template <class R> int plane(const Job<R> &j, Cx<R> *p)
{
    int st = rows(j, p, 0, j.n[1]);
    if (st == DFTI_NO_ERROR && j.n[1] >= 2)
        st = lines_across(j, 1, p, 0, j.n[0], kBlock2d);
    return st;
}

// The planes whose index in dimension `split` lies in [lo, hi).
template <class R> int planes(const Job<R> &j, Cx<R> *x, int split, ptrdiff_t lo, ptrdiff_t hi)
{
    return for_each_index(j.d, j.n, 3u, split, lo, hi,
                          [&](const ptrdiff_t *idx) { return plane(j, x + offset_of(j.d, idx, j.s)); });
}

// The lines along dimension k >= 2 whose index in `split` is in [lo, hi).
template <class R> int higher(const Job<R> &j, Cx<R> *x, int k, int split, ptrdiff_t lo, ptrdiff_t hi)
{
    int block = (int)(j.n[0] < kBlockHigher ? j.n[0] : kBlockHigher);
    return for_each_index(j.d, j.n, 1u | 1u << k, split, lo, hi, [&](const ptrdiff_t *idx) {
        return lines_across(j, k, x + offset_of(j.d, idx, j.s), 0, j.n[0], block);
    });
}

// A whole transform in place at x.
template <class R> int transform_in_place(const Job<R> &j, Cx<R> *x)
{
    if (j.d == 1)
        return line(j, 0, x, j.s[0]);
    int st = planes(j, x, -1, 0, 0);
    for (int k = 2; k < j.d && st == DFTI_NO_ERROR; ++k)
        st = higher(j, x, k, -1, 0, 0);
    return st;
}

// Copies the elements of one transform whose index in `split` lies in
// [lo, hi) from the input layout into the output layout.
template <class R>
void copy_layout(int d, const ptrdiff_t *n, const Cx<R> *in, const ptrdiff_t *is, Cx<R> *out,
                 const ptrdiff_t *os, int split, ptrdiff_t lo, ptrdiff_t hi)
{
    ptrdiff_t lo0 = split == 0 ? lo : 0, hi0 = split == 0 ? hi : n[0];
    for_each_index(d, n, 1u, split, lo, hi, [&](const ptrdiff_t *idx) {
        const Cx<R> *a = in + offset_of(d, idx, is);
        Cx<R> *b = out + offset_of(d, idx, os);
        for (ptrdiff_t i = lo0; i < hi0; ++i)
            b[i * os[0]] = a[i * is[0]];
        return DFTI_NO_ERROR;
    });
}

// Temporary elements a transform of this descriptor needs: a gathered
// line in one dimension, blocks of gathered lines in more.
size_t temp_elements(const DftiRecord *r0)
{
    if (r0->dimension == 1)
        return (size_t)r0->length + kTempSpare;
    return zem_size_add(zem_size_mul(r0->longest_length, kBlockHigher), kTempSpare);
}

template <class R> struct Sides {
    const Cx<R> *in;
    Cx<R> *out;
    ptrdiff_t is[kMaxDims], os[kMaxDims];
    ptrdiff_t idist, odist;
    bool in_place;
};

template <class R> void make_sides(Sides<R> &sd, const DftiRecord *r0, const void *in, void *out)
{
    sd.in_place = in == out;
    int k = 0;
    for (const DftiRecord *r = r0; r != nullptr; r = r->next, ++k) {
        sd.is[k] = r->input_stride;
        sd.os[k] = sd.in_place ? r->input_stride : r->output_stride;
    }
    sd.in = static_cast<const Cx<R> *>(in) + r0->input_offset;
    sd.idist = r0->input_distance;
    if (sd.in_place) {
        sd.out = static_cast<Cx<R> *>(out) + r0->input_offset;
        sd.odist = r0->input_distance;
    } else {
        sd.out = static_cast<Cx<R> *>(out) + r0->output_offset;
        sd.odist = r0->output_distance;
    }
}

// One-dimensional out-of-place transform of one line.
template <class R> int line_out(Job<R> &j, const Cx<R> *a, ptrdiff_t is, Cx<R> *b, ptrdiff_t os, bool ordered)
{
    ptrdiff_t n = j.n[0];
    if (os == 1 && is == 1 && ordered)
        return j.entry[0](a, b, j.rec[0], j.scratch);
    if (os == 1) {
        for (ptrdiff_t i = 0; i < n; ++i)
            b[i] = a[i * is];
        return j.entry[0](b, b, j.rec[0], j.scratch);
    }
    Cx<R> *t = j.tmp;
    for (ptrdiff_t i = 0; i < n; ++i)
        t[i] = a[i * is];
    int st = j.entry[0](t, t, j.rec[0], j.scratch);
    for (ptrdiff_t i = 0; i < n; ++i)
        b[i * os] = t[i];
    return st;
}

template <class R>
int complex_transforms(DftiRecord *r0, bool forward, const void *in, void *out, int first, int howmany,
                       uint8_t *scratch)
{
    if (howmany < 1)
        return DFTI_NO_ERROR;
    Sides<R> sd;
    make_sides(sd, r0, in, out);
    Job<R> j;
    make_job(j, r0, forward, !sd.in_place);
    j.scratch = scratch;
    bool need_temp = j.d > 1 || (sd.in_place ? sd.is[0] != 1 : sd.os[0] != 1);
    Temp temp(need_temp ? zem_size_mul(temp_elements(r0), sizeof(Cx<R>)) : 0);
    if (need_temp && temp.get() == nullptr)
        return DFTI_MEMORY_ERROR;
    j.tmp = static_cast<Cx<R> *>(temp.get());
    for (int t = first; t < first + howmany; ++t) {
        const Cx<R> *a = sd.in + t * sd.idist;
        Cx<R> *b = sd.out + t * sd.odist;
        int st;
        if (sd.in_place) {
            st = transform_in_place(j, b);
        } else if (j.d == 1) {
            st = line_out(j, a, sd.is[0], b, sd.os[0], r0->ordering != DFTI_BACKWARD_SCRAMBLED);
        } else {
            copy_layout(j.d, j.n, a, sd.is, b, sd.os, -1, 0, 0);
            st = transform_in_place(j, b);
        }
        if (st != DFTI_NO_ERROR)
            return st;
    }
    return DFTI_NO_ERROR;
}

// ---- parallel plans ----------------------------------------------------

inline ptrdiff_t ceil_div(ptrdiff_t a, ptrdiff_t b) { return (a + b - 1) / b; }

// The dimension other than 0 and k with the most indices: the lines
// along k are split over it.
int split_dimension(int d, const ptrdiff_t *n, int k)
{
    int best = -1;
    for (int q = 1; q < d; ++q)
        if (q != k && (best < 0 || n[q] > n[best]))
            best = q;
    return best;
}

// One transform of two or more dimensions, each pass split into T chunks,
// each pass a region of its own run to completion before the next.
template <class R> int complex_one_parallel(DftiRecord *r0, bool forward, const void *in, void *out, int T)
{
    Sides<R> sd;
    make_sides(sd, r0, in, out);
    Job<R> proto;
    make_job(proto, r0, forward, !sd.in_place);
    const int d = proto.d;
    size_t temp_bytes = zem_size_mul(temp_elements(r0), sizeof(Cx<R>));
    Cx<R> *x = sd.out;

    // Each chunk sets up its own job with its scratch and temporary.
    auto with_job = [&](uint8_t *scratch, auto &&pass) -> int {
        Temp temp(temp_bytes);
        if (temp.get() == nullptr)
            return DFTI_MEMORY_ERROR;
        Job<R> j = proto;
        j.scratch = scratch;
        j.tmp = static_cast<Cx<R> *>(temp.get());
        return pass(j);
    };

    // First pass: rows (two dimensions) or planes (more), split over the
    // last dimension; out of place, each chunk first copies its part.
    int split = d - 1;
    ptrdiff_t chunk = ceil_div(proto.n[split], T);
    int st = parallel_chunks(r0, T, [&](int c, uint8_t *w) {
        ptrdiff_t lo = c * chunk, hi = lo + chunk < proto.n[split] ? lo + chunk : proto.n[split];
        if (lo >= hi)
            return (int)DFTI_NO_ERROR;
        if (!sd.in_place)
            copy_layout(d, proto.n, sd.in, sd.is, x, sd.os, split, lo, hi);
        return with_job(w, [&](Job<R> &j) {
            return d == 2 ? rows(j, x, lo, hi) : planes(j, x, split, lo, hi);
        });
    });
    if (st != DFTI_NO_ERROR)
        return st;
    if (d == 2) {
        if (proto.n[1] == 1)
            return DFTI_NO_ERROR;
        chunk = ceil_div(proto.n[0], T);
        return parallel_chunks(r0, T, [&](int c, uint8_t *w) {
            ptrdiff_t lo = c * chunk, hi = lo + chunk < proto.n[0] ? lo + chunk : proto.n[0];
            if (lo >= hi)
                return (int)DFTI_NO_ERROR;
            return with_job(w, [&](Job<R> &j) { return lines_across(j, 1, x, lo, hi, kBlock2d); });
        });
    }
    for (int k = 2; k < d; ++k) {
        int sp = split_dimension(d, proto.n, k);
        chunk = ceil_div(proto.n[sp], T);
        st = parallel_chunks(r0, T, [&](int c, uint8_t *w) {
            ptrdiff_t lo = c * chunk, hi = lo + chunk < proto.n[sp] ? lo + chunk : proto.n[sp];
            if (lo >= hi)
                return (int)DFTI_NO_ERROR;
            return with_job(w, [&](Job<R> &j) { return higher(j, x, k, sp, lo, hi); });
        });
        if (st != DFTI_NO_ERROR)
            return st;
    }
    return DFTI_NO_ERROR;
}

// One long line through the parallel radix-4 entry (which splits it
// over the threads fixed at commit), gathered first when its stride is
// not one.
template <class R> int radix4_parallel(DftiRecord *r0, bool forward, const void *in, void *out)
{
    bool single = sizeof(R) == sizeof(float);
    DftiEntry e = r0->entry[single ? (forward ? kEntryCFwdPar : kEntryCBwdPar)
                                   : (forward ? kEntryZFwdPar : kEntryZBwdPar)];
    Sides<R> sd;
    make_sides(sd, r0, in, out);
    ptrdiff_t n = r0->length, is = sd.is[0], os = sd.os[0];
    if (is == 1 && os == 1)
        return e(sd.in, sd.out, r0, nullptr);
    Temp temp(zem_size_mul(zem_size_add(2 * (size_t)n, kTempSpare), sizeof(R)));
    if (temp.get() == nullptr)
        return DFTI_MEMORY_ERROR;
    Cx<R> *t = static_cast<Cx<R> *>(temp.get());
    for (ptrdiff_t i = 0; i < n; ++i)
        t[i] = sd.in[i * is];
    int st = e(t, t, r0, nullptr);
    for (ptrdiff_t i = 0; i < n; ++i)
        sd.out[i * os] = t[i];
    return st;
}

template <class R> int complex_parallel(DftiRecord *r0, bool forward, const void *in, void *out, int T)
{
    int howmany = r0->number_of_transforms;
    if (howmany < 1)
        return DFTI_NO_ERROR;
    if (howmany > 1) {
        return parallel_batches(r0, T, [&](int first, int count, uint8_t *w) {
            return complex_transforms<R>(r0, forward, in, out, first, count, w);
        });
    }
    int d = r0->dimension;
    if (d == 1 && r0->engine_flag == 0)
        return radix4_parallel<R>(r0, forward, in, out);
    bool serial = d == 1 || (d == 2 && r0->cumulative_size < kParallel2d) ||
                  (d >= 3 && r0->cumulative_size < kParallelHigher);
    if (serial)
        return complex_transforms<R>(r0, forward, in, out, 0, 1, r0->work_buffer);
    return complex_one_parallel<R>(r0, forward, in, out, T);
}

} // namespace

int run_transforms(DftiRecord *r0, bool forward, const void *in, void *out, int first, int howmany,
                   uint8_t *scratch)
{
    if (r0->forward_domain != DFTI_COMPLEX)
        return run_real_transforms(r0, forward, in, out, first, howmany, scratch);
    if (r0->precision == DFTI_SINGLE)
        return complex_transforms<float>(r0, forward, in, out, first, howmany, scratch);
    return complex_transforms<double>(r0, forward, in, out, first, howmany, scratch);
}

int run_parallel(DftiRecord *r0, bool forward, const void *in, void *out, int threads)
{
    if (r0->forward_domain != DFTI_COMPLEX)
        return run_real_parallel(r0, forward, in, out, threads);
    if (r0->precision == DFTI_SINGLE)
        return complex_parallel<float>(r0, forward, in, out, threads);
    return complex_parallel<double>(r0, forward, in, out, threads);
}

} // namespace zem_dfti
