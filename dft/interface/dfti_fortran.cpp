// The Fortran-convention functions of the descriptor interface: every
// argument by reference, three names each. Each runs the entry prologue
// and calls the internal function of the same name.
#include "dft/kernel/default/f_dft/dfti_record.h"
#include "service/serv.h"

// One exported function `UPPER` with its two lower-case aliases, running
// the prologue and then the internal function.
#define ZEM_DFTI_ENTRY(UPPER, lower, ret, params, args)                         \
    extern "C" ZEM_API ret UPPER params                                         \
    {                                                                           \
        zem_entry_prologue();                                                   \
        return _ZEM_DFT_##lower args;                                           \
    }                                                                           \
    ZEM_ALIAS(UPPER, lower)                                                     \
    ZEM_ALIAS(UPPER, lower##_)

ZEM_DFTI_ENTRY(DFTI_CREATE_DESCRIPTOR_1D, dfti_create_descriptor_1d, int,
               (DFTI_DESCRIPTOR_HANDLE *h, const int *p, const int *d, const int *dim, const int *n),
               (h, p, d, dim, n))
ZEM_DFTI_ENTRY(DFTI_CREATE_DESCRIPTOR_HIGHD, dfti_create_descriptor_highd, int,
               (DFTI_DESCRIPTOR_HANDLE *h, const int *p, const int *d, const int *dim, const int *n),
               (h, p, d, dim, n))
ZEM_DFTI_ENTRY(DFTI_COMMIT_DESCRIPTOR_EXTERNAL, dfti_commit_descriptor_external, int,
               (DFTI_DESCRIPTOR_HANDLE *h), (h))
ZEM_DFTI_ENTRY(DFTI_FREE_DESCRIPTOR_EXTERNAL, dfti_free_descriptor_external, int,
               (DFTI_DESCRIPTOR_HANDLE *h), (h))

#define ZEM_DFTI_COMPUTE_ENTRY(U, l)                                                       \
    ZEM_DFTI_ENTRY(DFTI_COMPUTE_##U, dfti_compute_##l, int,                                \
                   (DFTI_DESCRIPTOR_HANDLE * h, void *x), (h, x))                          \
    ZEM_DFTI_ENTRY(DFTI_COMPUTE_##U##_OUT, dfti_compute_##l##_out, int,                    \
                   (DFTI_DESCRIPTOR_HANDLE * h, const void *x, void *y), (h, x, y))
ZEM_DFTI_COMPUTE_ENTRY(FORWARD_C, forward_c)
ZEM_DFTI_COMPUTE_ENTRY(FORWARD_Z, forward_z)
ZEM_DFTI_COMPUTE_ENTRY(FORWARD_S, forward_s)
ZEM_DFTI_COMPUTE_ENTRY(FORWARD_D, forward_d)
ZEM_DFTI_COMPUTE_ENTRY(BACKWARD_C, backward_c)
ZEM_DFTI_COMPUTE_ENTRY(BACKWARD_Z, backward_z)
ZEM_DFTI_COMPUTE_ENTRY(BACKWARD_S, backward_s)
ZEM_DFTI_COMPUTE_ENTRY(BACKWARD_D, backward_d)

ZEM_DFTI_ENTRY(DFTI_SET_VALUE_INTVAL, dfti_set_value_intval, int,
               (DFTI_DESCRIPTOR_HANDLE *h, const int *p, const int *v), (h, p, v))
ZEM_DFTI_ENTRY(DFTI_SET_VALUE_INTVEC, dfti_set_value_intvec, int,
               (DFTI_DESCRIPTOR_HANDLE *h, const int *p, const int *v), (h, p, v))
ZEM_DFTI_ENTRY(DFTI_SET_VALUE_SGLVAL, dfti_set_value_sglval, int,
               (DFTI_DESCRIPTOR_HANDLE *h, const int *p, const float *v), (h, p, v))
ZEM_DFTI_ENTRY(DFTI_SET_VALUE_DBLVAL, dfti_set_value_dblval, int,
               (DFTI_DESCRIPTOR_HANDLE *h, const int *p, const double *v), (h, p, v))
ZEM_DFTI_ENTRY(DFTI_SET_VALUE_CHARS, dfti_set_value_chars, int,
               (DFTI_DESCRIPTOR_HANDLE *h, const int *p, const char *v, ...), (h, p, v))
ZEM_DFTI_ENTRY(DFTI_GET_VALUE_INTVAL, dfti_get_value_intval, int,
               (DFTI_DESCRIPTOR_HANDLE *h, const int *p, int *v), (h, p, v))
ZEM_DFTI_ENTRY(DFTI_GET_VALUE_INTVEC, dfti_get_value_intvec, int,
               (DFTI_DESCRIPTOR_HANDLE *h, const int *p, int *v), (h, p, v))
ZEM_DFTI_ENTRY(DFTI_GET_VALUE_SGLVAL, dfti_get_value_sglval, int,
               (DFTI_DESCRIPTOR_HANDLE *h, const int *p, float *v), (h, p, v))
ZEM_DFTI_ENTRY(DFTI_GET_VALUE_DBLVAL, dfti_get_value_dblval, int,
               (DFTI_DESCRIPTOR_HANDLE *h, const int *p, double *v), (h, p, v))
ZEM_DFTI_ENTRY(DFTI_GET_VALUE_CHARS, dfti_get_value_chars, int,
               (DFTI_DESCRIPTOR_HANDLE *h, const int *p, char *v, ...), (h, p, v))
ZEM_DFTI_ENTRY(DFTI_ERROR_CLASS_EXTERNAL, dfti_error_class_external, int,
               (const int *status, const int *error_class), (status, error_class))
ZEM_DFTI_ENTRY(DFTI_ERROR_MESSAGE_EXTERNAL, dfti_error_message_external, void,
               (char *result, long result_len, const int *status), (result, result_len, status))
