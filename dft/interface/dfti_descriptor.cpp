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

// The int parameters: the record field each one reads and writes, what a
// set answers when the parameter is fixed in this library (0: settable),
// and for settable ones the status of a value (nullptr: any value).
struct IntField {
    int param;
    int DftiRecord::*field;
    int fixed;
    int (*value_status)(int v);
};
const IntField kIntFields[] = {
    {DFTI_FORWARD_DOMAIN, &DftiRecord::forward_domain, DFTI_UNIMPLEMENTED, nullptr},
    {DFTI_DIMENSION, &DftiRecord::dimension, DFTI_UNIMPLEMENTED, nullptr},
    {DFTI_LENGTHS, &DftiRecord::length, DFTI_UNIMPLEMENTED, nullptr},
    {DFTI_PRECISION, &DftiRecord::precision, DFTI_UNIMPLEMENTED, nullptr},
    {DFTI_FORWARD_SIGN, &DftiRecord::forward_sign, DFTI_UNIMPLEMENTED, nullptr},
    {DFTI_NUMBER_OF_TRANSFORMS, &DftiRecord::number_of_transforms, 0, nullptr},
    {DFTI_COMPLEX_STORAGE, &DftiRecord::complex_storage, 0,
     [](int v) -> int {
         return v == DFTI_COMPLEX_REAL || v == DFTI_REAL_REAL ? DFTI_UNIMPLEMENTED
                : v == DFTI_COMPLEX_COMPLEX                   ? DFTI_NO_ERROR
                                                              : DFTI_INCONSISTENT_CONFIGURATION;
     }},
    {DFTI_REAL_STORAGE, &DftiRecord::real_storage, DFTI_UNIMPLEMENTED, nullptr},
    {DFTI_CONJUGATE_EVEN_STORAGE, &DftiRecord::conjugate_even_storage, DFTI_UNIMPLEMENTED, nullptr},
    {DFTI_PLACEMENT, &DftiRecord::placement, 0,
     [](int v) -> int {
         return v == DFTI_INPLACE || v == DFTI_NOT_INPLACE ? DFTI_NO_ERROR : DFTI_INCONSISTENT_CONFIGURATION;
     }},
    {DFTI_INPUT_DISTANCE, &DftiRecord::input_distance, 0, nullptr},
    {DFTI_OUTPUT_DISTANCE, &DftiRecord::output_distance, 0, nullptr},
    {DFTI_INITIALIZATION_EFFORT, &DftiRecord::initialization_effort, DFTI_UNIMPLEMENTED, nullptr},
    {DFTI_WORKSPACE, &DftiRecord::workspace, DFTI_UNIMPLEMENTED, nullptr},
    {DFTI_ORDERING, &DftiRecord::ordering, 0,
     [](int v) -> int {
         return v == DFTI_FORWARD_SCRAMBLED                          ? DFTI_UNIMPLEMENTED
                : v == DFTI_ORDERED || v == DFTI_BACKWARD_SCRAMBLED ? DFTI_NO_ERROR
                                                                    : DFTI_INCONSISTENT_CONFIGURATION;
     }},
    {DFTI_TRANSPOSE, &DftiRecord::transpose, DFTI_UNIMPLEMENTED, nullptr},
    {DFTI_PACKED_FORMAT, &DftiRecord::packed_format, 0,
     [](int v) -> int {
         return v == DFTI_CCS_FORMAT || v == DFTI_PACK_FORMAT || v == DFTI_PERM_FORMAT
                    ? DFTI_NO_ERROR
                    : DFTI_INCONSISTENT_CONFIGURATION;
     }},
    {DFTI_COMMIT_STATUS, &DftiRecord::commit_status, DFTI_INCONSISTENT_CONFIGURATION, nullptr},
    {DFTI_NUMBER_OF_USER_THREADS, &DftiRecord::number_of_user_threads, 0, nullptr},
};

// The int-vector parameters: the field of record 0 that element 0 holds
// (the offset; none for the lengths), and the field of record k that
// element k (+1 after an offset) holds.
struct VecField {
    int param;
    int DftiRecord::*first;
    int DftiRecord::*each;
};
const VecField kVecFields[] = {
    {DFTI_LENGTHS, nullptr, &DftiRecord::length},
    {DFTI_INPUT_STRIDES, &DftiRecord::input_offset, &DftiRecord::input_stride},
    {DFTI_OUTPUT_STRIDES, &DftiRecord::output_offset, &DftiRecord::output_stride},
};

// The scales, each kept in both widths.
struct ScaleField {
    int param;
    float DftiRecord::*single;
    double DftiRecord::*wide;
};
const ScaleField kScaleFields[] = {
    {DFTI_FORWARD_SCALE, &DftiRecord::fwd_scale_s, &DftiRecord::fwd_scale_d},
    {DFTI_BACKWARD_SCALE, &DftiRecord::bwd_scale_s, &DftiRecord::bwd_scale_d},
};

template <class F, size_t N> const F *field_of(const F (&table)[N], int param)
{
    for (const F &f : table)
        if (f.param == param)
            return &f;
    return nullptr;
}

// The scale goes to the record that carries it; every other record gets 1.
int set_scale(DftiRecord **h, int param, double value_d, float value_s)
{
    const ScaleField *f = field_of(kScaleFields, param);
    if (f == nullptr)
        return DFTI_INCONSISTENT_CONFIGURATION;
    DftiRecord *target = scale_record(*h);
    for (DftiRecord *r = *h; r != nullptr; r = r->next) {
        r->*f->single = r == target ? value_s : 1.0f;
        r->*f->wide = r == target ? value_d : 1.0;
    }
    return DFTI_NO_ERROR;
}

// Reads the scale into whichever of single and wide is given.
int get_scale(DftiRecord **h, int param, float *single, double *wide)
{
    int st = check(h);
    if (st != DFTI_NO_ERROR)
        return st;
    const ScaleField *f = field_of(kScaleFields, param);
    if (f == nullptr)
        return DFTI_INCONSISTENT_CONFIGURATION;
    const DftiRecord *r = scale_record(*h);
    if (single != nullptr)
        *single = r->*f->single;
    else
        *wide = r->*f->wide;
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
    mark_uncommitted(*h);
    const IntField *f = field_of(kIntFields, *param);
    if (f == nullptr)
        return DFTI_INCONSISTENT_CONFIGURATION;
    if (f->fixed != 0)
        return f->fixed;
    const int v = *value;
    st = f->value_status ? f->value_status(v) : DFTI_NO_ERROR;
    if (st != DFTI_NO_ERROR)
        return st;
    // Descriptor-wide settings hold the same value in every record.
    for (DftiRecord *r = *h; r != nullptr; r = r->next)
        r->*f->field = v;
    return DFTI_NO_ERROR;
}

ZEM_API int _ZEM_DFT_dfti_set_value_intvec(DftiRecord **h, const int *param, const int *values)
{
    int st = check(h);
    if (st != DFTI_NO_ERROR)
        return st;
    mark_uncommitted(*h);
    const VecField *f = field_of(kVecFields, *param);
    if (f == nullptr || f->first == nullptr) // the lengths are fixed
        return DFTI_INCONSISTENT_CONFIGURATION;
    int k = 1;
    for (DftiRecord *r = *h; r != nullptr; r = r->next) {
        r->*f->first = values[0];
        r->*f->each = values[k++];
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
    const IntField *f = field_of(kIntFields, *param);
    if (f == nullptr)
        return DFTI_INCONSISTENT_CONFIGURATION;
    if (*param == DFTI_LENGTHS && r->dimension != 1)
        return DFTI_INVALID_CONFIGURATION;
    *value = r->*f->field;
    return DFTI_NO_ERROR;
}

ZEM_API int _ZEM_DFT_dfti_get_value_intvec(DftiRecord **h, const int *param, int *values)
{
    int st = check(h);
    if (st != DFTI_NO_ERROR)
        return st;
    if (*param == DFTI_FORWARD_ORDERING || *param == DFTI_BACKWARD_ORDERING)
        return DFTI_UNIMPLEMENTED;
    const VecField *f = field_of(kVecFields, *param);
    if (f == nullptr)
        return DFTI_INCONSISTENT_CONFIGURATION;
    int k = 0;
    if (f->first != nullptr)
        values[k++] = (*h)->*f->first;
    for (const DftiRecord *r = *h; r != nullptr; r = r->next)
        values[k++] = r->*f->each;
    return DFTI_NO_ERROR;
}

ZEM_API int _ZEM_DFT_dfti_get_value_sglval(DftiRecord **h, const int *param, float *value)
{
    return get_scale(h, *param, value, nullptr);
}

ZEM_API int _ZEM_DFT_dfti_get_value_dblval(DftiRecord **h, const int *param, double *value)
{
    return get_scale(h, *param, nullptr, value);
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
