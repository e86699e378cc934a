// Compute: the sixteen internal functions (direction, precision, domain,
// placement), their entry checks and the dispatch between the direct
// path, the user-thread slots, the serial driver and the parallel plans.
#include <omp.h>

#include "dft/kernel/default/f_dft/dfti_plan.h"
#include "service/serv.h"

namespace zem_dfti {
namespace {

// The one-dimensional entry of record 0 that the direct path calls.
int direct_slot(const DftiRecord *r0, bool forward)
{
    bool single = r0->precision == DFTI_SINGLE;
    if (r0->forward_domain == DFTI_COMPLEX)
        return single ? (forward ? kEntryCFwd : kEntryCBwd) : (forward ? kEntryZFwd : kEntryZBwd);
    return single ? (forward ? kEntrySFwd : kEntrySBwd) : (forward ? kEntryDFwd : kEntryDBwd);
}

// Bytes of one element of the descriptor's input in its own units.
size_t element_bytes(const DftiRecord *r0)
{
    size_t real = r0->precision == DFTI_SINGLE ? sizeof(float) : sizeof(double);
    return r0->forward_domain == DFTI_COMPLEX ? 2 * real : real;
}

int direct(DftiRecord *r0, bool forward, const void *in, void *out, uint8_t *scratch)
{
    size_t e = element_bytes(r0);
    const uint8_t *a = static_cast<const uint8_t *>(in) + (ptrdiff_t)r0->input_offset * (ptrdiff_t)e;
    uint8_t *b = in == out ? const_cast<uint8_t *>(a)
                           : static_cast<uint8_t *>(out) + (ptrdiff_t)r0->output_offset * (ptrdiff_t)e;
    return r0->entry[direct_slot(r0, forward)](a, b, r0, scratch);
}

// Takes the first free user-thread slot under the library lock; -1 when
// every slot is busy.
int take_slot(DftiRecord *r0)
{
    int slot = -1;
    _ZEM_SERV_lock();
    for (int i = 0; i < r0->number_of_user_threads; ++i)
        if (r0->user_slots[i] == 0) {
            r0->user_slots[i] = 1;
            slot = i;
            break;
        }
    _ZEM_SERV_unlock();
    return slot;
}

void give_slot(DftiRecord *r0, int slot)
{
    _ZEM_SERV_lock();
    r0->user_slots[slot] = 0;
    _ZEM_SERV_unlock();
}

int compute(DftiRecord **h, bool forward, bool complex_domain, bool single, const void *in, void *out)
{
    if (h == nullptr || *h == nullptr || in == nullptr || out == nullptr)
        return DFTI_INCONSISTENT_CONFIGURATION;
    DftiRecord *r0 = *h;
    if (!dfti_tag_ok(r0))
        return DFTI_BAD_DESCRIPTOR;
    if (r0->commit_status == DFTI_UNCOMMITTED)
        return DFTI_INVALID_CONFIGURATION;
    // A function of another domain or precision than the descriptor's
    // would read the data with the wrong element size.
    if ((r0->forward_domain == DFTI_COMPLEX) != complex_domain || (r0->precision == DFTI_SINGLE) != single)
        return DFTI_INCONSISTENT_CONFIGURATION;

    if (r0->direct_path == 1)
        return direct(r0, forward, in, out, r0->work_buffer);

    if (r0->number_of_user_threads > 1) {
        int slot = take_slot(r0);
        if (slot < 0)
            return DFTI_NUMBER_OF_THREADS_ERROR;
        uint8_t *scratch = r0->work_buffer != nullptr
                               ? r0->work_buffer + (ptrdiff_t)slot * r0->descriptor_work_size
                               : nullptr;
        int st = r0->direct_candidate == 1
                     ? direct(r0, forward, in, out, scratch)
                     : run_transforms(r0, forward, in, out, 0, r0->number_of_transforms, scratch);
        give_slot(r0, slot);
        return st;
    }

    if (_ZEM_SERV_in_serial() == 1)
        return run_transforms(r0, forward, in, out, 0, r0->number_of_transforms, r0->work_buffer);
    if (omp_get_max_threads() != r0->thread_count)
        return DFTI_NUMBER_OF_THREADS_ERROR;
    if (r0->thread_count == 1)
        return run_transforms(r0, forward, in, out, 0, r0->number_of_transforms, r0->work_buffer);
    return run_parallel(r0, forward, in, out, r0->thread_count);
}

} // namespace
} // namespace zem_dfti

#define ZEM_DFTI_COMPUTE_DEF(dir, t, FWD, CPX, SGL)                                                   \
    extern "C" ZEM_API int _ZEM_DFT_dfti_compute_##dir##_##t(DftiRecord **h, void *data)              \
    {                                                                                                 \
        return zem_dfti::compute(h, FWD, CPX, SGL, data, data);                                       \
    }                                                                                                 \
    extern "C" ZEM_API int _ZEM_DFT_dfti_compute_##dir##_##t##_out(DftiRecord **h, const void *in,    \
                                                                   void *out)                         \
    {                                                                                                 \
        /* Distinct arrays: the same one given twice is an in-place call. */                          \
        return zem_dfti::compute(h, FWD, CPX, SGL, in, out);                                          \
    }
ZEM_DFTI_COMPUTE_DEF(forward, c, true, true, true)
ZEM_DFTI_COMPUTE_DEF(forward, z, true, true, false)
ZEM_DFTI_COMPUTE_DEF(forward, s, true, false, true)
ZEM_DFTI_COMPUTE_DEF(forward, d, true, false, false)
ZEM_DFTI_COMPUTE_DEF(backward, c, false, true, true)
ZEM_DFTI_COMPUTE_DEF(backward, z, false, true, false)
ZEM_DFTI_COMPUTE_DEF(backward, s, false, false, true)
ZEM_DFTI_COMPUTE_DEF(backward, d, false, false, false)
