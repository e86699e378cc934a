// Commit: fixes the thread count, decides the direct path, plans every
// dimension (engine or radix-4 kernels, chosen per dimension through a
// table of planners), creates the contexts and tables, and allocates the
// scratch of every thread. A failed commit gives back what it took and
// leaves the descriptor uncommitted with its configuration intact.
#include <omp.h>
#include <string.h>

#include "dft/kernel/default/f_dft/dfti_plan.h"
#include "service/serv.h"

namespace zem_dfti {
namespace {

// What the planners need to know besides the record itself.
struct CommitFacts {
    bool single;
    bool ordered;
    bool compact;      // out of place with unit strides on both sides
    bool multi_1d;     // one dimension and more than one thread
};

bool power_of_two(int n) { return n > 0 && (n & (n - 1)) == 0; }

// ---- planners: one per plan kind --------------------------------------

int plan_engine(DftiRecord *r, const CommitFacts &f)
{
    const EngineKind *k = engine_kind_complex(r, f.single, f.ordered);
    r->engine_flag = 1;
    int st = k->init(r);
    if (st != DFTI_NO_ERROR)
        return st;
    r->entry[f.single ? kEntryCFwd : kEntryZFwd] = k->fwd;
    r->entry[f.single ? kEntryCBwd : kEntryZBwd] = k->bwd;
    return DFTI_NO_ERROR;
}

int plan_radix4(DftiRecord *r, const CommitFacts &f)
{
    const RadixKind *k = radix_kind(f.single);
    r->engine_flag = 0;
    int st = k->init(r);
    if (st != DFTI_NO_ERROR)
        return st;
    r->entry[f.single ? kEntryCFwd : kEntryZFwd] = k->fwd;
    r->entry[f.single ? kEntryCBwd : kEntryZBwd] = k->bwd;
    r->entry[f.single ? kEntryCFwdPar : kEntryZFwdPar] = k->fwd_par;
    r->entry[f.single ? kEntryCBwdPar : kEntryZBwdPar] = k->bwd_par;
    return DFTI_NO_ERROR;
}

// Double precision, ordered, long, one dimension on several threads: the
// parallel radix-4 entries, and for each direction the engine when its
// scale is one (the engine then runs on one thread), else the kernels.
int plan_mixed(DftiRecord *r, const CommitFacts &f)
{
    int st = plan_radix4(r, f);
    if (st != DFTI_NO_ERROR)
        return st;
    const EngineKind *k = engine_kind_complex(r, false, true);
    st = k->init(r);
    if (st != DFTI_NO_ERROR)
        return st;
    bool fwd_one = r->fwd_scale_d == 1.0, bwd_one = r->bwd_scale_d == 1.0;
    if (fwd_one)
        r->entry[kEntryZFwd] = k->fwd;
    if (bwd_one)
        r->entry[kEntryZBwd] = k->bwd;
    r->engine_flag = fwd_one || bwd_one ? 1 : 0;
    return DFTI_NO_ERROR;
}

// Real descriptors: record 1 of two first gets the complex plan of the
// half-spectrum columns (always natural order from the engine, or the
// radix-4 kernels for long single-precision columns), then every record
// its real plan.
int plan_real(DftiRecord *r, const CommitFacts &f)
{
    if (r->packed_format != DFTI_CCS_FORMAT && r->packed_format != DFTI_PACK_FORMAT &&
        r->packed_format != DFTI_PERM_FORMAT)
        return DFTI_UNIMPLEMENTED;
    if (r->dimension_index == 1) {
        const DftiRecord *r0 = r->prev;
        bool compact = r->placement == DFTI_NOT_INPLACE && r0->input_stride == 1 && r0->output_stride == 1;
        int st = f.single && power_of_two(r->length) && r->length > kRadix4Single && !compact
                     ? plan_radix4(r, f)
                     : plan_engine(r, f);
        if (st != DFTI_NO_ERROR)
            return st;
    }
    const RealKind *k = real_kind(f.single);
    int st = k->init(r);
    if (st != DFTI_NO_ERROR)
        return st;
    r->engine_flag = power_of_two(r->length) ? 0 : 1;
    r->entry[f.single ? kEntrySFwd : kEntryDFwd] = k->fwd;
    r->entry[f.single ? kEntrySBwd : kEntryDBwd] = k->bwd;
    // Out of place from CCS in two dimensions, the column pass leaves the
    // rows in the Perm arrangement, which the row inverse then reads.
    bool rows_from_perm = r->dimension == 2 && r->dimension_index == 0 &&
                          r->packed_format == DFTI_CCS_FORMAT && r->placement == DFTI_NOT_INPLACE;
    r->entry[f.single ? kEntrySPackFwd : kEntryDPackFwd] = packed_function(f.single, r->packed_format, true);
    r->entry[f.single ? kEntrySPackInv : kEntryDPackInv] =
        packed_function(f.single, rows_from_perm ? DFTI_PERM_FORMAT : r->packed_format, false);
    return DFTI_NO_ERROR;
}

enum PlanKind { kPlanEngine, kPlanRadix4, kPlanMixed, kPlanReal };
typedef int (*Planner)(DftiRecord *, const CommitFacts &);
const Planner kPlanners[] = {plan_engine, plan_radix4, plan_mixed, plan_real};

PlanKind choose_plan(const DftiRecord *r, const CommitFacts &f)
{
    if (r->forward_domain != DFTI_COMPLEX)
        return kPlanReal;
    int n = r->length;
    if (!power_of_two(n))
        return kPlanEngine;
    if (f.single)
        return !f.ordered && n > kRadix4Single ? kPlanRadix4 : kPlanEngine;
    if (!f.ordered && n > kRadix4Double)
        return kPlanRadix4;
    if (f.ordered && n > kRadix4Double && !f.compact && f.multi_1d)
        return kPlanMixed;
    return kPlanEngine;
}

int direct_candidate(const DftiRecord *r0)
{
    bool unit = r0->input_stride == 1 && r0->output_stride == 1;
    bool single = r0->precision == DFTI_SINGLE;
    int n = r0->length;
    if (r0->dimension != 1 || !unit)
        return 0;
    if (r0->forward_domain == DFTI_COMPLEX) {
        if (r0->number_of_transforms != 1)
            return 0;
        return n < (single ? kDirectComplexSingle : kDirectComplexDouble) ? 1 : 0;
    }
    if (r0->packed_format == DFTI_CCS_FORMAT && n > (single ? kDirectCcsSingle : kDirectCcsDouble))
        return 0;
    // Real: the number of transforms, so 1 only for one transform.
    return r0->number_of_transforms;
}

// Settings that record 0 holds for the whole descriptor.
void copy_settings(DftiRecord *r, const DftiRecord *r0)
{
    r->input_offset = r0->input_offset;
    r->output_offset = r0->output_offset;
    r->input_distance = r0->input_distance;
    r->output_distance = r0->output_distance;
    r->precision = r0->precision;
    r->forward_domain = r0->forward_domain;
    r->ordering = r0->ordering;
    r->forward_sign = r0->forward_sign;
    r->complex_storage = r0->complex_storage;
    r->packed_format = r0->packed_format;
    r->number_of_transforms = r0->number_of_transforms;
    r->placement = r0->placement;
    r->workspace = r0->workspace;
    r->transpose = r0->transpose;
    r->initialization_effort = r0->initialization_effort;
}

int commit(DftiRecord *r0)
{
    _ZEM_DFT_free_allocated_buffers(r0);
    for (DftiRecord *r = r0; r != nullptr; r = r->next) {
        r->commit_status = DFTI_UNCOMMITTED;
        r->work_size = 0;
        for (int e = 0; e < kEntryCount; ++e)
            r->entry[e] = nullptr;
    }
    r0->descriptor_work_size = 0;
    r0->direct_path = 0;
    r0->direct_candidate = direct_candidate(r0);

    int users = r0->number_of_user_threads;
    if (users > 1) {
        r0->thread_count = 1;
        r0->user_slots = static_cast<int *>(zem_allocate(zem_size_mul(sizeof(int), users)));
        if (r0->user_slots == nullptr)
            return DFTI_MEMORY_ERROR;
        memset(r0->user_slots, 0, sizeof(int) * (size_t)users);
    } else {
        r0->direct_path = r0->direct_candidate == 1 ? 1 : 0;
        r0->thread_count = (_ZEM_SERV_in_serial() == 1 || omp_in_parallel()) ? 1 : omp_get_max_threads();
    }

    CommitFacts f;
    f.single = r0->precision == DFTI_SINGLE;
    f.ordered = r0->ordering == DFTI_ORDERED;
    f.compact = r0->placement == DFTI_NOT_INPLACE && r0->input_stride == 1 && r0->output_stride == 1;
    f.multi_1d = r0->thread_count > 1 && r0->dimension == 1;
    for (DftiRecord *r = r0; r != nullptr; r = r->next) {
        copy_settings(r, r0);
        int st = kPlanners[choose_plan(r, f)](r, f);
        if (st != DFTI_NO_ERROR)
            return st;
        if (r->work_size > r0->descriptor_work_size)
            r0->descriptor_work_size = r->work_size;
    }

    if (r0->descriptor_work_size >= 1) {
        size_t slices = (size_t)(users > 1 ? users : r0->thread_count);
        size_t each = (size_t)r0->descriptor_work_size;
        if (slices != 0 && each > (size_t)-1 / 2 / slices)
            return DFTI_MEMORY_ERROR;
        r0->work_buffer = static_cast<uint8_t *>(_ZEM_SERV_allocate(each * slices));
        if (r0->work_buffer == nullptr)
            return DFTI_MEMORY_ERROR;
    }
    for (DftiRecord *r = r0; r != nullptr; r = r->next)
        r->commit_status = DFTI_COMMITTED;
    return DFTI_NO_ERROR;
}

} // namespace
} // namespace zem_dfti

extern "C" {

void _ZEM_DFT_free_allocated_buffers(DftiRecord *r0)
{
    if (r0->work_buffer != nullptr)
        _ZEM_SERV_deallocate(r0->work_buffer);
    r0->work_buffer = nullptr;
    if (r0->user_slots != nullptr)
        _ZEM_SERV_deallocate(r0->user_slots);
    r0->user_slots = nullptr;
    DftiRecord *last = r0;
    while (last->next != nullptr)
        last = last->next;
    for (DftiRecord *r = last; r != nullptr; r = r->prev) {
        void **ctx[] = {&r->ctx_c32, &r->ctx_c64, &r->ctx_r32, &r->ctx_r64,
                        &r->ctx_outord_c32, &r->ctx_outord_c64};
        for (void **c : ctx) {
            zem_dfti::free_engine_context(*c);
            *c = nullptr;
        }
        for (void *&t : r->coef_table) {
            if (t != nullptr)
                _ZEM_SERV_deallocate(t);
            t = nullptr;
        }
    }
}

ZEM_API int _ZEM_DFT_dfti_commit_descriptor_external(DftiRecord **h)
{
    if (h == nullptr || *h == nullptr)
        return DFTI_INCONSISTENT_CONFIGURATION;
    DftiRecord *r0 = *h;
    if (!dfti_tag_ok(r0))
        return DFTI_BAD_DESCRIPTOR;
    int st = zem_dfti::commit(r0);
    if (st != DFTI_NO_ERROR) {
        _ZEM_DFT_free_allocated_buffers(r0);
        r0->direct_path = 0;
        for (DftiRecord *r = r0; r != nullptr; r = r->next)
            r->commit_status = DFTI_UNCOMMITTED;
    }
    return st;
}

} // extern "C"
