// The drivers of real descriptors (one and two dimensions). A real row of
// N0 values becomes its packed half spectrum (CCS: N0 + 2 reals, Pack and
// Perm: N0). In two dimensions the rows come first; then the real columns
// (zero frequency, and the highest frequency of even N0) get real
// transforms down the rows, and the (N0 - 1) / 2 complex columns complex
// ones. The backward transform runs the same steps in reverse.
#include <omp.h>

#include "dft/kernel/default/f_dft/dfti_plan.h"
#include "service/serv.h"

namespace zem_dfti {
namespace {

// Columns gathered together in the complex-column pass.
constexpr int kColumnBlock = 4;

template <class R> struct RealJob {
    DftiRecord *r0, *r1;
    ptrdiff_t n0, n1, p0, p1; // lengths and packed widths
    int fmt;
    DftiEntry real0, real1, cplx1;
    uint8_t *scratch;
    R *tmp;
    const R *in;
    R *out;
    ptrdiff_t is0, is1, os0, os1, idist, odist;
    bool in_place;
};

ptrdiff_t packed_width(int fmt, ptrdiff_t n) { return fmt == DFTI_CCS_FORMAT ? n + 2 : n; }
// Real index of the highest-frequency column (even N0).
ptrdiff_t high_column(int fmt, ptrdiff_t n0) { return fmt == DFTI_CCS_FORMAT ? n0 : (fmt == DFTI_PACK_FORMAT ? n0 - 1 : 1); }
// Real index where the complex columns start.
ptrdiff_t complex_start(int fmt, ptrdiff_t n0)
{
    if (fmt == DFTI_CCS_FORMAT)
        return 2;
    if (fmt == DFTI_PACK_FORMAT)
        return 1;
    return n0 % 2 == 0 ? 2 : 1;
}

template <class R> void make_real_job(RealJob<R> &j, DftiRecord *r0, bool forward, const void *in, void *out)
{
    bool single = sizeof(R) == sizeof(float);
    j.r0 = r0;
    j.r1 = r0->next;
    j.fmt = r0->packed_format;
    j.n0 = r0->length;
    j.n1 = j.r1 != nullptr ? j.r1->length : 1;
    j.p0 = packed_width(j.fmt, j.n0);
    j.p1 = packed_width(j.fmt, j.n1);
    int rs = single ? (forward ? kEntrySFwd : kEntrySBwd) : (forward ? kEntryDFwd : kEntryDBwd);
    int cs = single ? (forward ? kEntryCFwd : kEntryCBwd) : (forward ? kEntryZFwd : kEntryZBwd);
    j.real0 = r0->entry[rs];
    j.real1 = j.r1 != nullptr ? j.r1->entry[rs] : nullptr;
    j.cplx1 = j.r1 != nullptr ? j.r1->entry[cs] : nullptr;
    j.scratch = nullptr;
    j.tmp = nullptr;
    j.in_place = in == out;
    j.in = static_cast<const R *>(in) + r0->input_offset;
    j.is0 = r0->input_stride;
    j.is1 = j.r1 != nullptr ? j.r1->input_stride : 0;
    j.idist = r0->input_distance;
    if (j.in_place) {
        j.out = static_cast<R *>(out) + r0->input_offset;
        j.os0 = j.is0;
        j.os1 = j.is1;
        j.odist = j.idist;
    } else {
        j.out = static_cast<R *>(out) + r0->output_offset;
        j.os0 = r0->output_stride;
        j.os1 = j.r1 != nullptr ? j.r1->output_stride : 0;
        j.odist = r0->output_distance;
    }
}

// One real transform from na values at a (stride as) to nb values at b
// (stride bs), through the temporary unless both strides are one.
template <class R>
int real_line(DftiEntry e, DftiRecord *r, const R *a, ptrdiff_t as, ptrdiff_t na, R *b, ptrdiff_t bs,
              ptrdiff_t nb, R *tmp, uint8_t *w)
{
    if (as == 1 && bs == 1)
        return e(a, b, r, w);
    for (ptrdiff_t i = 0; i < na; ++i)
        tmp[i] = a[i * as];
    for (ptrdiff_t i = na; i < nb; ++i) // a packed odd length leaves its last real
        tmp[i] = 0;
    int st = e(tmp, tmp, r, w);
    for (ptrdiff_t i = 0; i < nb; ++i)
        b[i * bs] = tmp[i];
    return st;
}

// Complex columns c in [lo, hi) of length N1: pairs of reals from real
// index astart + 2c of a, transformed, written from bstart + 2c of b.
template <class R>
int complex_columns(const RealJob<R> &j, const R *a, ptrdiff_t as0, ptrdiff_t as1, ptrdiff_t astart, R *b,
                    ptrdiff_t bs0, ptrdiff_t bs1, ptrdiff_t bstart, ptrdiff_t lo, ptrdiff_t hi)
{
    const ptrdiff_t n1 = j.n1;
    R *t = j.tmp;
    for (ptrdiff_t c = lo; c < hi; c += kColumnBlock) {
        ptrdiff_t nb = hi - c < kColumnBlock ? hi - c : kColumnBlock;
        for (ptrdiff_t i = 0; i < n1; ++i)
            for (ptrdiff_t q = 0; q < nb; ++q) {
                const R *src = a + (astart + 2 * (c + q)) * as0 + i * as1;
                t[2 * (q * n1 + i)] = src[0];
                t[2 * (q * n1 + i) + 1] = src[as0];
            }
        int st = DFTI_NO_ERROR;
        for (ptrdiff_t q = 0; q < nb && st == DFTI_NO_ERROR; ++q)
            st = j.cplx1(t + 2 * q * n1, t + 2 * q * n1, j.r1, j.scratch);
        for (ptrdiff_t i = 0; i < n1; ++i)
            for (ptrdiff_t q = 0; q < nb; ++q) {
                R *dst = b + (bstart + 2 * (c + q)) * bs0 + i * bs1;
                dst[0] = t[2 * (q * n1 + i)];
                dst[bs0] = t[2 * (q * n1 + i) + 1];
            }
        if (st != DFTI_NO_ERROR)
            return st;
    }
    return DFTI_NO_ERROR;
}

// ---- the steps of one two-dimensional transform t ----------------------

template <class R> int fwd_rows(const RealJob<R> &j, int t, ptrdiff_t lo, ptrdiff_t hi)
{
    const R *a = j.in + t * j.idist;
    R *x = j.out + t * j.odist;
    for (ptrdiff_t i1 = lo; i1 < hi; ++i1) {
        int st = real_line(j.real0, j.r0, a + i1 * j.is1, j.is0, j.n0, x + i1 * j.os1, j.os0, j.p0, j.tmp,
                           j.scratch);
        if (st != DFTI_NO_ERROR)
            return st;
    }
    return DFTI_NO_ERROR;
}

template <class R> int fwd_real_columns(const RealJob<R> &j, int t)
{
    R *x = j.out + t * j.odist;
    int st = real_line(j.real1, j.r1, x, j.os1, j.n1, x, j.os1, j.p1, j.tmp, j.scratch);
    if (st == DFTI_NO_ERROR && j.n0 % 2 == 0) {
        R *h = x + high_column(j.fmt, j.n0) * j.os0;
        st = real_line(j.real1, j.r1, h, j.os1, j.n1, h, j.os1, j.p1, j.tmp, j.scratch);
    }
    return st;
}

template <class R> int fwd_complex_columns(const RealJob<R> &j, int t, ptrdiff_t lo, ptrdiff_t hi)
{
    R *x = j.out + t * j.odist;
    ptrdiff_t s = complex_start(j.fmt, j.n0);
    return complex_columns(j, x, j.os0, j.os1, s, x, j.os0, j.os1, s, lo, hi);
}

// Backward: out of place from CCS the columns land in the Perm
// arrangement of the output rows.
template <class R> ptrdiff_t out_start(const RealJob<R> &j)
{
    if (!j.in_place && j.fmt == DFTI_CCS_FORMAT)
        return j.n0 % 2 == 0 ? 2 : 1;
    return complex_start(j.fmt, j.n0);
}

template <class R> int bwd_complex_columns(const RealJob<R> &j, int t, ptrdiff_t lo, ptrdiff_t hi)
{
    const R *a = j.in + t * j.idist;
    R *x = j.out + t * j.odist;
    return complex_columns(j, a, j.is0, j.is1, complex_start(j.fmt, j.n0), x, j.os0, j.os1, out_start(j), lo,
                           hi);
}

template <class R> int bwd_real_columns(const RealJob<R> &j, int t)
{
    const R *a = j.in + t * j.idist;
    R *x = j.out + t * j.odist;
    ptrdiff_t nb = j.in_place ? j.p1 : j.n1;
    int st = real_line(j.real1, j.r1, a, j.is1, j.p1, x, j.os1, nb, j.tmp, j.scratch);
    if (st == DFTI_NO_ERROR && j.n0 % 2 == 0) {
        ptrdiff_t hin = high_column(j.fmt, j.n0);
        ptrdiff_t hout = !j.in_place && j.fmt == DFTI_CCS_FORMAT ? 1 : hin;
        st = real_line(j.real1, j.r1, a + hin * j.is0, j.is1, j.p1, x + hout * j.os0, j.os1, nb, j.tmp,
                       j.scratch);
    }
    return st;
}

// The rows of the output, in place; out of place they hold N0 values
// (Perm for a CCS descriptor).
template <class R> int bwd_rows(const RealJob<R> &j, int t, ptrdiff_t lo, ptrdiff_t hi)
{
    R *x = j.out + t * j.odist;
    ptrdiff_t w = j.in_place ? j.p0 : j.n0;
    for (ptrdiff_t i1 = lo; i1 < hi; ++i1) {
        int st = real_line(j.real0, j.r0, x + i1 * j.os1, j.os0, w, x + i1 * j.os1, j.os0, w, j.tmp, j.scratch);
        if (st != DFTI_NO_ERROR)
            return st;
    }
    return DFTI_NO_ERROR;
}

// A single row out of place from CCS (no column pass): the row is turned
// into its Perm arrangement, which the row inverse of such descriptors
// reads.
template <class R> int bwd_single_row(const RealJob<R> &j, int t)
{
    const R *a = j.in + t * j.idist;
    R *x = j.out + t * j.odist;
    if (j.fmt != DFTI_CCS_FORMAT)
        return real_line(j.real0, j.r0, a, j.is0, j.p0, x, j.os0, j.n0, j.tmp, j.scratch);
    R *p = j.tmp + j.p0 + kTempSpare;
    p[0] = a[0];
    if (j.n0 % 2 == 0) {
        if (j.n0 > 1)
            p[1] = a[j.n0 * j.is0];
        for (ptrdiff_t k = 2; k < j.n0; ++k)
            p[k] = a[k * j.is0];
    } else {
        for (ptrdiff_t k = 1; k < j.n0; ++k)
            p[k] = a[(k + 1) * j.is0];
    }
    return real_line(j.real0, j.r0, p, 1, j.n0, x, j.os0, j.n0, j.tmp, j.scratch);
}

template <class R> int one_transform(const RealJob<R> &j, bool forward, int t)
{
    if (j.r1 == nullptr) {
        const R *a = j.in + t * j.idist;
        R *b = j.out + t * j.odist;
        if (forward)
            return real_line(j.real0, j.r0, a, j.is0, j.n0, b, j.os0, j.p0, j.tmp, j.scratch);
        return real_line(j.real0, j.r0, a, j.is0, j.p0, b, j.os0, j.in_place ? j.p0 : j.n0, j.tmp, j.scratch);
    }
    const ptrdiff_t nc = (j.n0 - 1) / 2;
    int st;
    if (forward) {
        st = fwd_rows(j, t, 0, j.n1);
        if (st != DFTI_NO_ERROR || j.n1 < 2)
            return st;
        st = fwd_real_columns(j, t);
        if (st == DFTI_NO_ERROR && j.n0 >= 3)
            st = fwd_complex_columns(j, t, 0, nc);
        return st;
    }
    if (j.n1 < 2)
        return j.in_place ? bwd_rows(j, t, 0, 1) : bwd_single_row(j, t);
    st = j.n0 >= 3 ? bwd_complex_columns(j, t, 0, nc) : DFTI_NO_ERROR;
    if (st == DFTI_NO_ERROR)
        st = bwd_real_columns(j, t);
    if (st == DFTI_NO_ERROR)
        st = bwd_rows(j, t, 0, j.n1);
    return st;
}

size_t real_temp_bytes(const DftiRecord *r0)
{
    return zem_size_mul(zem_size_add(zem_size_mul(8, r0->longest_length), 4 * kTempSpare), 8);
}

template <class R>
int real_transforms(DftiRecord *r0, bool forward, const void *in, void *out, int first, int howmany,
                    uint8_t *scratch)
{
    if (howmany < 1)
        return DFTI_NO_ERROR;
    RealJob<R> j;
    make_real_job(j, r0, forward, in, out);
    Temp temp(real_temp_bytes(r0));
    if (temp.get() == nullptr)
        return DFTI_MEMORY_ERROR;
    j.tmp = static_cast<R *>(temp.get());
    j.scratch = scratch;
    for (int t = first; t < first + howmany; ++t) {
        int st = one_transform(j, forward, t);
        if (st != DFTI_NO_ERROR)
            return st;
    }
    return DFTI_NO_ERROR;
}

// One two-dimensional transform split over T threads: rows and complex
// columns in chunks, the real columns on one thread.
template <class R> int real_2d_parallel(DftiRecord *r0, bool forward, const void *in, void *out, int T)
{
    RealJob<R> proto;
    make_real_job(proto, r0, forward, in, out);
    const ptrdiff_t nc = (proto.n0 - 1) / 2;
    auto phase = [&](ptrdiff_t count, auto &&step) {
        ptrdiff_t chunk = (count + T - 1) / T;
        return parallel_chunks(r0, T, [&](int c, uint8_t *w) {
            ptrdiff_t lo = c * chunk, hi = lo + chunk < count ? lo + chunk : count;
            if (lo >= hi)
                return (int)DFTI_NO_ERROR;
            Temp temp(real_temp_bytes(r0));
            if (temp.get() == nullptr)
                return (int)DFTI_MEMORY_ERROR;
            RealJob<R> j = proto;
            j.tmp = static_cast<R *>(temp.get());
            j.scratch = w;
            return step(j, lo, hi);
        });
    };
    auto serial = [&](auto &&step) {
        Temp temp(real_temp_bytes(r0));
        if (temp.get() == nullptr)
            return (int)DFTI_MEMORY_ERROR;
        RealJob<R> j = proto;
        j.tmp = static_cast<R *>(temp.get());
        j.scratch = r0->work_buffer;
        return step(j);
    };
    int st;
    if (forward) {
        st = phase(proto.n1, [](const RealJob<R> &j, ptrdiff_t lo, ptrdiff_t hi) { return fwd_rows(j, 0, lo, hi); });
        if (st == DFTI_NO_ERROR)
            st = serial([](const RealJob<R> &j) { return fwd_real_columns(j, 0); });
        if (st == DFTI_NO_ERROR && nc > 0)
            st = phase(nc, [](const RealJob<R> &j, ptrdiff_t lo, ptrdiff_t hi) {
                return fwd_complex_columns(j, 0, lo, hi);
            });
        return st;
    }
    st = nc > 0 ? phase(nc, [](const RealJob<R> &j, ptrdiff_t lo, ptrdiff_t hi) {
        return bwd_complex_columns(j, 0, lo, hi);
    })
                : DFTI_NO_ERROR;
    if (st == DFTI_NO_ERROR)
        st = serial([](const RealJob<R> &j) { return bwd_real_columns(j, 0); });
    if (st == DFTI_NO_ERROR)
        st = phase(proto.n1, [](const RealJob<R> &j, ptrdiff_t lo, ptrdiff_t hi) { return bwd_rows(j, 0, lo, hi); });
    return st;
}

template <class R> int real_parallel(DftiRecord *r0, bool forward, const void *in, void *out, int T)
{
    int howmany = r0->number_of_transforms;
    if (howmany < 1)
        return DFTI_NO_ERROR;
    uint8_t *w0 = r0->work_buffer;
    if (howmany > 1) {
        // Many short transforms stay on one thread.
        if ((double)r0->length * howmany < (double)(2LL << T))
            return real_transforms<R>(r0, forward, in, out, 0, howmany, w0);
        return parallel_batches(r0, T, [&](int first, int count, uint8_t *w) {
            return real_transforms<R>(r0, forward, in, out, first, count, w);
        });
    }
    if (r0->dimension == 1 || r0->cumulative_size < kParallel2d || r0->next->length < 2)
        return real_transforms<R>(r0, forward, in, out, 0, 1, w0);
    return real_2d_parallel<R>(r0, forward, in, out, T);
}

} // namespace

int run_real_transforms(DftiRecord *r0, bool forward, const void *in, void *out, int first, int howmany,
                        uint8_t *scratch)
{
    if (r0->precision == DFTI_SINGLE)
        return real_transforms<float>(r0, forward, in, out, first, howmany, scratch);
    return real_transforms<double>(r0, forward, in, out, first, howmany, scratch);
}

int run_real_parallel(DftiRecord *r0, bool forward, const void *in, void *out, int threads)
{
    if (r0->precision == DFTI_SINGLE)
        return real_parallel<float>(r0, forward, in, out, threads);
    return real_parallel<double>(r0, forward, in, out, threads);
}

} // namespace zem_dfti
