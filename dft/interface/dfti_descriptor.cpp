// Descriptor life cycle: create, configure, inspect and free, and the
// status texts. Lengths and strides arrive fastest dimension first.
#include <string.h>

#include "dft/kernel/default/f_dft/dfti_record.h"
#include "service/serv.h"

namespace {

constexpr int kMaxDims = 7;

// The message text of every status is its own name.
const char *const kMessages[] = {
    "DFTI_NO_ERROR",
    "DFTI_MEMORY_ERROR",
    "DFTI_INVALID_CONFIGURATION",
    "DFTI_INCONSISTENT_CONFIGURATION",
    "DFTI_MULTITHREADED_ERROR",
    "DFTI_BAD_DESCRIPTOR",
    "DFTI_UNIMPLEMENTED",
    "DFTI_ZEM_INTERNAL_ERROR",
    "DFTI_NUMBER_OF_THREADS_ERROR",
};
char g_blank_message[] = " ";

// Null handle: 3; a block that is not a descriptor: 5; else 0.
int check(DftiRecord **h)
{
    if (h == nullptr || *h == nullptr)
        return DFTI_INCONSISTENT_CONFIGURATION;
    return dfti_tag_ok(*h) ? DFTI_NO_ERROR : DFTI_BAD_DESCRIPTOR;
}

void mark_uncommitted(DftiRecord *r0)
{
    for (DftiRecord *r = r0; r != nullptr; r = r->next)
        r->commit_status = DFTI_UNCOMMITTED;
}

// The record that carries the scale: the first whose length is not 1, or
// record 0 when every length is 1.
DftiRecord *scale_record(DftiRecord *r0)
{
    for (DftiRecord *r = r0; r != nullptr; r = r->next)
        if (r->length != 1)
            return r;
    return r0;
}

// Writes a descriptor-wide int setting into every record.
template <class F> void set_all(DftiRecord *r0, F &&assign)
{
    for (DftiRecord *r = r0; r != nullptr; r = r->next)
        assign(r);
}

int floor_log2(int n)
{
    int p = 0;
    while ((n >> (p + 1)) != 0)
        ++p;
    return p;
}

bool power_of_two(int n) { return n > 0 && (n & (n - 1)) == 0; }

// Products of lengths are kept in 32-bit fields; a product beyond their
// range stays at the largest value rather than wrapping.
int saturating_product(long long a, int b)
{
    long long p = a * b;
    return p > 0x7fffffffLL ? 0x7fffffff : (int)p;
}

int set_scale(DftiRecord **h, int param, double value_d, float value_s)
{
    DftiRecord *r0 = *h;
    if (param != DFTI_FORWARD_SCALE && param != DFTI_BACKWARD_SCALE)
        return DFTI_INCONSISTENT_CONFIGURATION;
    DftiRecord *target = scale_record(r0);
    for (DftiRecord *r = r0; r != nullptr; r = r->next) {
        bool here = r == target;
        float s = here ? value_s : 1.0f;
        double d = here ? value_d : 1.0;
        if (param == DFTI_FORWARD_SCALE) {
            r->fwd_scale_s = s;
            r->fwd_scale_d = d;
        } else {
            r->bwd_scale_s = s;
            r->bwd_scale_d = d;
        }
    }
    return DFTI_NO_ERROR;
}

} // namespace

extern "C" {

const char *_ZEM_DFT_dfti_error_message(int status)
{
    if (status < 0 || status > DFTI_NUMBER_OF_THREADS_ERROR)
        return g_blank_message;
    return kMessages[status];
}

ZEM_API int _ZEM_DFT_dfti_error_class_external(const int *status, const int *error_class)
{
    return *status == *error_class ? 1 : 0;
}

ZEM_API void _ZEM_DFT_dfti_error_message_external(char *result, long, const int *status)
{
    const char *m = *status >= 0 && *status <= DFTI_NUMBER_OF_THREADS_ERROR
                        ? kMessages[*status]
                        : "";
    size_t n = strlen(m);
    memcpy(result, m, n);
    memset(result + n, ' ', DFTI_MAX_MESSAGE_LENGTH - n);
}

ZEM_API int _ZEM_DFT_dfti_create_descriptor_highd(DftiRecord **h, const int *prec,
                                                  const int *dom, const int *dim,
                                                  const int *lengths)
{
    int d = *dim;
    if (d < 1 || d > kMaxDims)
        return DFTI_INCONSISTENT_CONFIGURATION;
    for (int k = 0; k < d; ++k)
        if (lengths[k] < 1)
            return DFTI_INCONSISTENT_CONFIGURATION;
    *h = nullptr;
    DftiRecord *blk = static_cast<DftiRecord *>(_ZEM_SERV_allocate(sizeof(DftiRecord) * d));
    if (blk == nullptr)
        return DFTI_MEMORY_ERROR;
    int status = DFTI_NO_ERROR;
    if (*dom == DFTI_REAL && d > 2)
        status = DFTI_UNIMPLEMENTED;
    else if (*dom == DFTI_CONJUGATE_EVEN)
        status = DFTI_UNIMPLEMENTED;
    else if (*dom != DFTI_COMPLEX && *dom != DFTI_REAL)
        status = DFTI_INCONSISTENT_CONFIGURATION;
    else if (*prec != DFTI_SINGLE && *prec != DFTI_DOUBLE)
        status = DFTI_INCONSISTENT_CONFIGURATION;
    if (status != DFTI_NO_ERROR) {
        _ZEM_SERV_deallocate(blk);
        return status;
    }
    memset(blk, 0, sizeof(DftiRecord) * d);
    long long cumulative = 1;
    int longest = 1;
    for (int k = 0; k < d; ++k) {
        DftiRecord *r = &blk[k];
        // Descriptor-wide settings start equal in every record; commit
        // copies record 0's values over them.
        r->forward_sign = DFTI_NEGATIVE;
        r->forward_domain = *dom;
        r->precision = *prec;
        r->number_of_transforms = 1;
        r->complex_storage = DFTI_COMPLEX_COMPLEX;
        r->real_storage = DFTI_REAL_REAL;
        r->conjugate_even_storage = DFTI_COMPLEX_REAL;
        r->placement = DFTI_INPLACE;
        r->packed_format = DFTI_CCS_FORMAT;
        r->initialization_effort = DFTI_MEDIUM;
        r->workspace = DFTI_ALLOW;
        r->ordering = DFTI_ORDERED;
        r->transpose = DFTI_NONE;
        r->commit_status = DFTI_UNCOMMITTED;
        r->number_of_user_threads = 1;
        r->thread_count = 1;
        r->tag[0] = 'D';
        r->tag[1] = 'F';
        r->tag[2] = 'T';
        r->fwd_scale_s = r->bwd_scale_s = 1.0f;
        r->fwd_scale_d = r->bwd_scale_d = 1.0;
        r->length = lengths[k];
        r->dimension = d;
        r->dimension_index = k;
        r->input_stride = r->output_stride = (int)(cumulative > 0x7fffffffLL ? 0x7fffffff : cumulative);
        cumulative = saturating_product(cumulative, lengths[k]);
        r->cumulative_size = (int)cumulative;
        r->log2_length = floor_log2(lengths[k]);
        r->engine_flag = power_of_two(lengths[k]) ? 0 : 1;
        r->prev = k > 0 ? &blk[k - 1] : nullptr;
        r->next = k + 1 < d ? &blk[k + 1] : nullptr;
        if (lengths[k] > longest)
            longest = lengths[k];
    }
    blk[0].cumulative_size = (int)cumulative;
    for (int k = 0; k < d; ++k)
        blk[k].longest_length = longest;
    *h = blk;
    return DFTI_NO_ERROR;
}

ZEM_API int _ZEM_DFT_dfti_create_descriptor_1d(DftiRecord **h, const int *prec, const int *dom,
                                               const int *dim, const int *length)
{
    return _ZEM_DFT_dfti_create_descriptor_highd(h, prec, dom, dim, length);
}

ZEM_API int _ZEM_DFT_dfti_free_descriptor_external(DftiRecord **h)
{
    int st = check(h);
    if (st != DFTI_NO_ERROR)
        return st;
    _ZEM_DFT_free_allocated_buffers(*h);
    (*h)->tag[0] = 0;
    _ZEM_SERV_deallocate(*h);
    *h = nullptr;
    return DFTI_NO_ERROR;
}

// ---- set ---------------------------------------------------------------

ZEM_API int _ZEM_DFT_dfti_set_value_intval(DftiRecord **h, const int *param, const int *value)
{
    int st = check(h);
    if (st != DFTI_NO_ERROR)
        return st;
    DftiRecord *r0 = *h;
    mark_uncommitted(r0);
    int v = *value;
    switch (*param) {
    case DFTI_NUMBER_OF_TRANSFORMS:
        set_all(r0, [v](DftiRecord *r) { r->number_of_transforms = v; });
        return DFTI_NO_ERROR;
    case DFTI_INPUT_DISTANCE:
        set_all(r0, [v](DftiRecord *r) { r->input_distance = v; });
        return DFTI_NO_ERROR;
    case DFTI_OUTPUT_DISTANCE:
        set_all(r0, [v](DftiRecord *r) { r->output_distance = v; });
        return DFTI_NO_ERROR;
    case DFTI_NUMBER_OF_USER_THREADS:
        set_all(r0, [v](DftiRecord *r) { r->number_of_user_threads = v; });
        return DFTI_NO_ERROR;
    case DFTI_COMPLEX_STORAGE:
        if (v == DFTI_COMPLEX_REAL || v == DFTI_REAL_REAL)
            return DFTI_UNIMPLEMENTED;
        if (v != DFTI_COMPLEX_COMPLEX)
            return DFTI_INCONSISTENT_CONFIGURATION;
        set_all(r0, [v](DftiRecord *r) { r->complex_storage = v; });
        return DFTI_NO_ERROR;
    case DFTI_PLACEMENT:
        if (v != DFTI_INPLACE && v != DFTI_NOT_INPLACE)
            return DFTI_INCONSISTENT_CONFIGURATION;
        set_all(r0, [v](DftiRecord *r) { r->placement = v; });
        return DFTI_NO_ERROR;
    case DFTI_ORDERING:
        if (v == DFTI_FORWARD_SCRAMBLED)
            return DFTI_UNIMPLEMENTED;
        if (v != DFTI_ORDERED && v != DFTI_BACKWARD_SCRAMBLED)
            return DFTI_INCONSISTENT_CONFIGURATION;
        set_all(r0, [v](DftiRecord *r) { r->ordering = v; });
        return DFTI_NO_ERROR;
    case DFTI_PACKED_FORMAT:
        if (v != DFTI_CCS_FORMAT && v != DFTI_PACK_FORMAT && v != DFTI_PERM_FORMAT)
            return DFTI_INCONSISTENT_CONFIGURATION;
        set_all(r0, [v](DftiRecord *r) { r->packed_format = v; });
        return DFTI_NO_ERROR;
    // Named by the interface but fixed in this library.
    case DFTI_FORWARD_DOMAIN:
    case DFTI_DIMENSION:
    case DFTI_LENGTHS:
    case DFTI_PRECISION:
    case DFTI_FORWARD_SIGN:
    case DFTI_REAL_STORAGE:
    case DFTI_CONJUGATE_EVEN_STORAGE:
    case DFTI_INITIALIZATION_EFFORT:
    case DFTI_WORKSPACE:
    case DFTI_TRANSPOSE:
        return DFTI_UNIMPLEMENTED;
    default:
        return DFTI_INCONSISTENT_CONFIGURATION;
    }
}

ZEM_API int _ZEM_DFT_dfti_set_value_intvec(DftiRecord **h, const int *param, const int *values)
{
    int st = check(h);
    if (st != DFTI_NO_ERROR)
        return st;
    DftiRecord *r0 = *h;
    mark_uncommitted(r0);
    if (*param != DFTI_INPUT_STRIDES && *param != DFTI_OUTPUT_STRIDES)
        return DFTI_INCONSISTENT_CONFIGURATION;
    bool in = *param == DFTI_INPUT_STRIDES;
    int k = 0;
    for (DftiRecord *r = r0; r != nullptr; r = r->next, ++k) {
        if (in) {
            r->input_offset = values[0];
            r->input_stride = values[k + 1];
        } else {
            r->output_offset = values[0];
            r->output_stride = values[k + 1];
        }
    }
    return DFTI_NO_ERROR;
}

ZEM_API int _ZEM_DFT_dfti_set_value_sglval(DftiRecord **h, const int *param, const float *value)
{
    int st = check(h);
    if (st != DFTI_NO_ERROR)
        return st;
    mark_uncommitted(*h);
    return set_scale(h, *param, (double)*value, *value);
}

ZEM_API int _ZEM_DFT_dfti_set_value_dblval(DftiRecord **h, const int *param, const double *value)
{
    int st = check(h);
    if (st != DFTI_NO_ERROR)
        return st;
    mark_uncommitted(*h);
    return set_scale(h, *param, *value, (float)*value);
}

// A name longer than the field holds is refused rather than cut, so that
// what reads back is always what was set.
ZEM_API int _ZEM_DFT_dfti_set_value_chars(DftiRecord **h, const int *param, const char *value)
{
    int st = check(h);
    if (st != DFTI_NO_ERROR)
        return st;
    DftiRecord *r0 = *h;
    mark_uncommitted(r0);
    if (*param != DFTI_DESCRIPTOR_NAME || value == nullptr)
        return DFTI_INCONSISTENT_CONFIGURATION;
    size_t n = strnlen(value, DFTI_MAX_NAME_LENGTH + 1);
    if (n > DFTI_MAX_NAME_LENGTH)
        return DFTI_INCONSISTENT_CONFIGURATION;
    memcpy(r0->name, value, n + 1);
    return DFTI_NO_ERROR;
}

// ---- get ---------------------------------------------------------------

ZEM_API int _ZEM_DFT_dfti_get_value_intval(DftiRecord **h, const int *param, int *value)
{
    int st = check(h);
    if (st != DFTI_NO_ERROR)
        return st;
    const DftiRecord *r = *h;
    switch (*param) {
    case DFTI_FORWARD_DOMAIN: *value = r->forward_domain; break;
    case DFTI_DIMENSION: *value = r->dimension; break;
    case DFTI_LENGTHS:
        if (r->dimension != 1)
            return DFTI_INVALID_CONFIGURATION;
        *value = r->length;
        break;
    case DFTI_PRECISION: *value = r->precision; break;
    case DFTI_FORWARD_SIGN: *value = r->forward_sign; break;
    case DFTI_NUMBER_OF_TRANSFORMS: *value = r->number_of_transforms; break;
    case DFTI_COMPLEX_STORAGE: *value = r->complex_storage; break;
    case DFTI_REAL_STORAGE: *value = r->real_storage; break;
    case DFTI_CONJUGATE_EVEN_STORAGE: *value = r->conjugate_even_storage; break;
    case DFTI_PLACEMENT: *value = r->placement; break;
    case DFTI_INPUT_DISTANCE: *value = r->input_distance; break;
    case DFTI_OUTPUT_DISTANCE: *value = r->output_distance; break;
    case DFTI_INITIALIZATION_EFFORT: *value = r->initialization_effort; break;
    case DFTI_WORKSPACE: *value = r->workspace; break;
    case DFTI_ORDERING: *value = r->ordering; break;
    case DFTI_TRANSPOSE: *value = r->transpose; break;
    case DFTI_PACKED_FORMAT: *value = r->packed_format; break;
    case DFTI_COMMIT_STATUS: *value = r->commit_status; break;
    case DFTI_NUMBER_OF_USER_THREADS: *value = r->number_of_user_threads; break;
    default: return DFTI_INCONSISTENT_CONFIGURATION;
    }
    return DFTI_NO_ERROR;
}

ZEM_API int _ZEM_DFT_dfti_get_value_intvec(DftiRecord **h, const int *param, int *values)
{
    int st = check(h);
    if (st != DFTI_NO_ERROR)
        return st;
    const DftiRecord *r0 = *h;
    int k = 0;
    switch (*param) {
    case DFTI_LENGTHS:
        for (const DftiRecord *r = r0; r != nullptr; r = r->next)
            values[k++] = r->length;
        return DFTI_NO_ERROR;
    case DFTI_INPUT_STRIDES:
        values[0] = r0->input_offset;
        for (const DftiRecord *r = r0; r != nullptr; r = r->next)
            values[++k] = r->input_stride;
        return DFTI_NO_ERROR;
    case DFTI_OUTPUT_STRIDES:
        values[0] = r0->output_offset;
        for (const DftiRecord *r = r0; r != nullptr; r = r->next)
            values[++k] = r->output_stride;
        return DFTI_NO_ERROR;
    case DFTI_FORWARD_ORDERING:
    case DFTI_BACKWARD_ORDERING:
        return DFTI_UNIMPLEMENTED;
    default:
        return DFTI_INCONSISTENT_CONFIGURATION;
    }
}

ZEM_API int _ZEM_DFT_dfti_get_value_sglval(DftiRecord **h, const int *param, float *value)
{
    int st = check(h);
    if (st != DFTI_NO_ERROR)
        return st;
    const DftiRecord *r = scale_record(*h);
    if (*param == DFTI_FORWARD_SCALE)
        *value = r->fwd_scale_s;
    else if (*param == DFTI_BACKWARD_SCALE)
        *value = r->bwd_scale_s;
    else
        return DFTI_INCONSISTENT_CONFIGURATION;
    return DFTI_NO_ERROR;
}

ZEM_API int _ZEM_DFT_dfti_get_value_dblval(DftiRecord **h, const int *param, double *value)
{
    int st = check(h);
    if (st != DFTI_NO_ERROR)
        return st;
    const DftiRecord *r = scale_record(*h);
    if (*param == DFTI_FORWARD_SCALE)
        *value = r->fwd_scale_d;
    else if (*param == DFTI_BACKWARD_SCALE)
        *value = r->bwd_scale_d;
    else
        return DFTI_INCONSISTENT_CONFIGURATION;
    return DFTI_NO_ERROR;
}

ZEM_API int _ZEM_DFT_dfti_get_value_chars(DftiRecord **h, const int *param, char *value)
{
    int st = check(h);
    if (st != DFTI_NO_ERROR)
        return st;
    if (*param == DFTI_DESCRIPTOR_NAME) {
        memcpy(value, (*h)->name, strnlen((*h)->name, DFTI_MAX_NAME_LENGTH) + 1);
        return DFTI_NO_ERROR;
    }
    if (*param == DFTI_VERSION) {
        zemgetversionstring_(value, DFTI_VERSION_LENGTH);
        return DFTI_NO_ERROR;
    }
    return DFTI_INCONSISTENT_CONFIGURATION;
}

} // extern "C"
