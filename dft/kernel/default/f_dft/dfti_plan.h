// What commit and compute share: the thresholds that decide plans, the
// one-dimensional entry points, the engine plan kinds and the drivers.
#ifndef ZEM_DFT_DFTI_PLAN_H
#define ZEM_DFT_DFTI_PLAN_H

#include <stddef.h>
#include <stdint.h>

#include "dft/kernel/default/f_dft/dfti_record.h"

namespace zem_dfti {

// ---- thresholds -------------------------------------------------------
// Direct path: one short one-dimensional transform with unit strides.
constexpr int kDirectComplexSingle = 1024; // length below
constexpr int kDirectComplexDouble = 512;  // length below
constexpr int kDirectCcsSingle = 8192;     // length at most
constexpr int kDirectCcsDouble = 4096;     // length at most
// Radix-4 plans for long unordered powers of two (length above).
constexpr int kRadix4Single = 32768;
constexpr int kRadix4Double = 8192;
// Parallel plans: points below which one transform stays on one thread.
constexpr int kParallel2d = 2048;
constexpr int kParallelHigher = 32000;
// Adjacent lines gathered together across dimension 0.
constexpr int kBlock2d = 4;
constexpr int kBlockHigher = 8;
// Temporaries: alignment and spare elements.
constexpr int kTempAlign = 32;
constexpr int kTempSpare = 32;

// Status of an engine call in the descriptor's terms.
int transfer_engine_status(int engine_status);

// Releases one engine context of any kind (told by its kind tag).
void free_engine_context(void *ctx);

// ---- engine plan kinds: how one dimension runs through the engine. -----
// Chosen at commit from the length, precision and ordering; init creates
// the record's context and sets its work size, fwd/bwd fill the entries.
struct EngineKind {
    int (*init)(DftiRecord *r);
    DftiEntry fwd;
    DftiEntry bwd;
};
const EngineKind *engine_kind_complex(const DftiRecord *r, bool single, bool ordered);

// The radix-4 kernels: coefficient table and serial and parallel entries.
struct RadixKind {
    int (*init)(DftiRecord *r);
    DftiEntry fwd, bwd, fwd_par, bwd_par;
};
const RadixKind *radix_kind(bool single);

// Real transforms: the real context, and the entries that run the packed
// format function of slots 12 to 15 and scale.
struct RealKind {
    int (*init)(DftiRecord *r);
    DftiEntry fwd, bwd;
};
const RealKind *real_kind(bool single);
DftiEntry packed_function(bool single, int packed_format, bool forward);

// ---- compute ---------------------------------------------------------------
// A 32-byte aligned temporary from the work-memory cache, released on
// scope exit from the thread that took it.
class Temp {
public:
    explicit Temp(size_t bytes);
    ~Temp();
    Temp(const Temp &) = delete;
    Temp &operator=(const Temp &) = delete;
    void *get() const { return aligned_; }

private:
    void *raw_;
    void *aligned_;
};

// Runs `howmany` transforms from transform `first` on, forward or backward,
// with one thread's scratch (the transform driver). in == out: in place.
int run_transforms(DftiRecord *r0, bool forward, const void *in, void *out, int first,
                   int howmany, uint8_t *scratch);
// The parallel plans for thread count T >= 2.
int run_parallel(DftiRecord *r0, bool forward, const void *in, void *out, int threads);
// The same for real descriptors (one and two dimensions, packed formats).
int run_real_transforms(DftiRecord *r0, bool forward, const void *in, void *out, int first,
                        int howmany, uint8_t *scratch);
int run_real_parallel(DftiRecord *r0, bool forward, const void *in, void *out, int threads);

// Runs body(c, scratch slice c) for the chunks c = 0 .. parts-1, chunk c
// on thread c; the first non-zero status of any chunk is the result.
template <class F> int parallel_chunks(DftiRecord *r0, int parts, F &&body)
{
    int result = DFTI_NO_ERROR;
    uint8_t *wb = r0->work_buffer;
    ptrdiff_t slice = r0->descriptor_work_size;
#pragma omp parallel for schedule(static) num_threads(parts)
    for (int c = 0; c < parts; ++c) {
        int st = body(c, wb != nullptr ? wb + c * slice : nullptr);
        if (st != DFTI_NO_ERROR) {
#pragma omp critical
            if (result == DFTI_NO_ERROR)
                result = st;
        }
    }
    return result;
}

// The descriptor's transforms split over up to T threads in consecutive
// batches of equal size (the last one shorter): batch(first, count,
// scratch) runs one batch with its thread's slice of the work buffer.
template <class F> int parallel_batches(DftiRecord *r0, int T, F &&batch)
{
    const int howmany = r0->number_of_transforms;
    const int parts = T < howmany ? T : howmany;
    const int chunk = (howmany + parts - 1) / parts;
    return parallel_chunks(r0, parts, [&](int c, uint8_t *w) {
        const int first = c * chunk, count = howmany - first < chunk ? howmany - first : chunk;
        return count > 0 ? batch(first, count, w) : (int)DFTI_NO_ERROR;
    });
}

} // namespace zem_dfti

#endif
