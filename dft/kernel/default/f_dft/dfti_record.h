// The descriptor record: one block of dimension records, record 0 the
// fastest-varying dimension and the holder of every descriptor-wide
// setting; the handle is the address of record 0. Commit copies the
// settings into the other records, chooses their one-dimensional transform
// functions and owns the engine contexts, tables and scratch it creates.
#ifndef ZEM_DFT_DFTI_RECORD_H
#define ZEM_DFT_DFTI_RECORD_H

#include <stddef.h>
#include <stdint.h>

#include "zem_dfti.h"

typedef struct DFTI_DESCRIPTOR DftiRecord;

// One-dimensional transform of the record's length from src to dst (which
// may be the same array), with this thread's scratch; a DFTI status.
typedef int (*DftiEntry)(const void *src, void *dst, DftiRecord *rec, uint8_t *scratch);

// Slots of the transform entry points.
enum DftiEntrySlot {
    kEntryCBwd = 0,
    kEntryCFwd,
    kEntryZBwd,
    kEntryZFwd,
    kEntrySBwd,
    kEntrySFwd,
    kEntryDBwd,
    kEntryDFwd,
    kEntryCBwdPar,
    kEntryCFwdPar,
    kEntryZBwdPar,
    kEntryZFwdPar,
    kEntrySPackInv,
    kEntrySPackFwd,
    kEntryDPackInv,
    kEntryDPackFwd,
    kEntryCount
};

struct DFTI_DESCRIPTOR {
    char tag[3];
    char name[DFTI_MAX_NAME_LENGTH + 1];
    int forward_sign;
    int forward_domain;
    int precision;
    int number_of_transforms;
    int complex_storage;
    int real_storage;
    int conjugate_even_storage;
    int placement;
    int packed_format;
    int input_stride;
    int output_stride;
    int initialization_effort;
    int workspace;
    int ordering;
    int transpose;
    int dimension;
    int dimension_index;
    int length;
    void *coef_table[4];
    float fwd_scale_s;
    double fwd_scale_d;
    float bwd_scale_s;
    double bwd_scale_d;
    int log2_length;
    int input_offset;
    int output_offset;
    int input_distance;
    int output_distance;
    int engine_flag;
    int cumulative_size;
    DftiRecord *prev;
    DftiRecord *next;
    DftiEntry entry[kEntryCount];
    int longest_length;
    int commit_status;
    void *ctx_c32;
    void *ctx_c64;
    void *ctx_r32;
    void *ctx_r64;
    void *ctx_outord_c32;
    void *ctx_outord_c64;
    int work_size;
    int descriptor_work_size;
    uint8_t *work_buffer;
    int number_of_user_threads;
    int thread_count;
    int direct_candidate;
    int direct_path;
    int *user_slots;
};

inline bool dfti_tag_ok(const DftiRecord *r)
{
    return r->tag[0] == 'D' && r->tag[1] == 'F' && r->tag[2] == 'T';
}

// The Fortran-convention functions call these; the exported names add
// the three name forms around them.
extern "C" {
ZEM_API int _ZEM_DFT_dfti_create_descriptor_highd(DftiRecord **h, const int *prec, const int *dom,
                                          const int *dim, const int *lengths);
ZEM_API int _ZEM_DFT_dfti_create_descriptor_1d(DftiRecord **h, const int *prec, const int *dom,
                                       const int *dim, const int *length);
ZEM_API int _ZEM_DFT_dfti_free_descriptor_external(DftiRecord **h);
ZEM_API int _ZEM_DFT_dfti_commit_descriptor_external(DftiRecord **h);
ZEM_API int _ZEM_DFT_dfti_set_value_intval(DftiRecord **h, const int *param, const int *value);
ZEM_API int _ZEM_DFT_dfti_set_value_intvec(DftiRecord **h, const int *param, const int *values);
ZEM_API int _ZEM_DFT_dfti_set_value_sglval(DftiRecord **h, const int *param, const float *value);
ZEM_API int _ZEM_DFT_dfti_set_value_dblval(DftiRecord **h, const int *param, const double *value);
ZEM_API int _ZEM_DFT_dfti_set_value_chars(DftiRecord **h, const int *param, const char *value);
ZEM_API int _ZEM_DFT_dfti_get_value_intval(DftiRecord **h, const int *param, int *value);
ZEM_API int _ZEM_DFT_dfti_get_value_intvec(DftiRecord **h, const int *param, int *values);
ZEM_API int _ZEM_DFT_dfti_get_value_sglval(DftiRecord **h, const int *param, float *value);
ZEM_API int _ZEM_DFT_dfti_get_value_dblval(DftiRecord **h, const int *param, double *value);
ZEM_API int _ZEM_DFT_dfti_get_value_chars(DftiRecord **h, const int *param, char *value);
ZEM_API int _ZEM_DFT_dfti_error_class_external(const int *status, const int *error_class);
ZEM_API void _ZEM_DFT_dfti_error_message_external(char *result, long result_len, const int *status);
const char *_ZEM_DFT_dfti_error_message(int status);
// Releases what a commit acquired (contexts, tables, slots, work buffer).
void _ZEM_DFT_free_allocated_buffers(DftiRecord *r0);

#define ZEM_DFTI_COMPUTE_DECL(dir, t)                                                      \
    ZEM_API int _ZEM_DFT_dfti_compute_##dir##_##t(DftiRecord **h, void *data);                     \
    ZEM_API int _ZEM_DFT_dfti_compute_##dir##_##t##_out(DftiRecord **h, const void *in, void *out);
ZEM_DFTI_COMPUTE_DECL(forward, c)
ZEM_DFTI_COMPUTE_DECL(forward, z)
ZEM_DFTI_COMPUTE_DECL(forward, s)
ZEM_DFTI_COMPUTE_DECL(forward, d)
ZEM_DFTI_COMPUTE_DECL(backward, c)
ZEM_DFTI_COMPUTE_DECL(backward, z)
ZEM_DFTI_COMPUTE_DECL(backward, s)
ZEM_DFTI_COMPUTE_DECL(backward, d)
#undef ZEM_DFTI_COMPUTE_DECL
}

#endif
