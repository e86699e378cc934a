/* Zem Numerics Library: the descriptor interface of the Fourier transforms.
 *
 * A transform is described once in a descriptor (precision, forward domain,
 * dimension, lengths and further settings), planned by a commit, and then
 * computed any number of times, forward or backward, in place or out of
 * place. Every function returns a status code (0: success).
 *
 * The C functions take lengths and strides slowest dimension first; the
 * Fortran-convention functions (every argument by reference, three names
 * each) take them fastest dimension first. All integers are 32-bit.
 */
#ifndef ZEM_DFTI_H
#define ZEM_DFTI_H

#ifndef ZEM_API
#define ZEM_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- configuration parameters --------------------------------------- */

enum DFTI_CONFIG_PARAM {
    DFTI_FORWARD_DOMAIN = 0,
    DFTI_DIMENSION = 1,
    DFTI_LENGTHS = 2,
    DFTI_PRECISION = 3,
    DFTI_FORWARD_SCALE = 4,
    DFTI_BACKWARD_SCALE = 5,
    DFTI_FORWARD_SIGN = 6,
    DFTI_NUMBER_OF_TRANSFORMS = 7,
    DFTI_COMPLEX_STORAGE = 8,
    DFTI_REAL_STORAGE = 9,
    DFTI_CONJUGATE_EVEN_STORAGE = 10,
    DFTI_PLACEMENT = 11,
    DFTI_INPUT_STRIDES = 12,
    DFTI_OUTPUT_STRIDES = 13,
    DFTI_INPUT_DISTANCE = 14,
    DFTI_OUTPUT_DISTANCE = 15,
    DFTI_INITIALIZATION_EFFORT = 16,
    DFTI_WORKSPACE = 17,
    DFTI_ORDERING = 18,
    DFTI_TRANSPOSE = 19,
    DFTI_DESCRIPTOR_NAME = 20,
    DFTI_PACKED_FORMAT = 21,
    DFTI_COMMIT_STATUS = 22,
    DFTI_VERSION = 23,
    DFTI_FORWARD_ORDERING = 24,
    DFTI_BACKWARD_ORDERING = 25,
    DFTI_NUMBER_OF_USER_THREADS = 26
};

/* ---- configuration values --------------------------------------------- */

enum DFTI_CONFIG_VALUE {
    DFTI_COMMITTED = 30,
    DFTI_UNCOMMITTED = 31,
    DFTI_COMPLEX = 32,
    DFTI_REAL = 33,
    DFTI_CONJUGATE_EVEN = 34,
    DFTI_SINGLE = 35,
    DFTI_DOUBLE = 36,
    DFTI_NEGATIVE = 37,
    DFTI_COMPLEX_COMPLEX = 39,
    DFTI_COMPLEX_REAL = 40,
    DFTI_REAL_REAL = 42,
    DFTI_INPLACE = 43,
    DFTI_NOT_INPLACE = 44,
    DFTI_MEDIUM = 46,
    DFTI_ORDERED = 48,
    DFTI_BACKWARD_SCRAMBLED = 49,
    DFTI_FORWARD_SCRAMBLED = 50,
    DFTI_ALLOW = 51,
    DFTI_NONE = 53,
    DFTI_CCS_FORMAT = 54,
    DFTI_PACK_FORMAT = 55,
    DFTI_PERM_FORMAT = 56
};

/* ---- status codes ------------------------------------------------------ */

enum {
    DFTI_NO_ERROR = 0,
    DFTI_MEMORY_ERROR = 1,
    DFTI_INVALID_CONFIGURATION = 2,
    DFTI_INCONSISTENT_CONFIGURATION = 3,
    DFTI_MULTITHREADED_ERROR = 4,
    DFTI_BAD_DESCRIPTOR = 5,
    DFTI_UNIMPLEMENTED = 6,
    DFTI_ZEM_INTERNAL_ERROR = 7,
    DFTI_NUMBER_OF_THREADS_ERROR = 8
};

/* Characters a descriptor name holds (plus its terminator), and the room
 * DFTI_VERSION and the Fortran error message need. */
#define DFTI_MAX_NAME_LENGTH 12
#define DFTI_VERSION_LENGTH 198
#define DFTI_MAX_MESSAGE_LENGTH 40

/* The handle: the address of the descriptor's first dimension record. */
typedef struct DFTI_DESCRIPTOR *DFTI_DESCRIPTOR_HANDLE;

/* ---- C functions --------------------------------------------------------- */

/* ... : the length (int) when dimension is 1, else the address of the
 * dimension lengths, slowest first. */
ZEM_API int DftiCreateDescriptor(DFTI_DESCRIPTOR_HANDLE *handle, int precision, int domain,
                                 int dimension, ...);
ZEM_API int DftiCommitDescriptor(DFTI_DESCRIPTOR_HANDLE handle);
/* ... : the output array when the placement is DFTI_NOT_INPLACE. */
ZEM_API int DftiComputeForward(DFTI_DESCRIPTOR_HANDLE handle, void *data, ...);
ZEM_API int DftiComputeBackward(DFTI_DESCRIPTOR_HANDLE handle, void *data, ...);
/* ... : an int; a double for the two scales; the address of 1 + dimension
 * ints (offset, then strides slowest first) for the strides; the address
 * of a NUL-terminated string for the name. */
ZEM_API int DftiSetValue(DFTI_DESCRIPTOR_HANDLE handle, int param, ...);
/* ... : the address of the destination (a float for single-precision
 * scales, a double otherwise; DFTI_VERSION_LENGTH characters for the
 * version; DFTI_MAX_NAME_LENGTH + 1 for the name). */
ZEM_API int DftiGetValue(DFTI_DESCRIPTOR_HANDLE handle, int param, ...);
ZEM_API int DftiFreeDescriptor(DFTI_DESCRIPTOR_HANDLE *handle);
/* 1 when status equals error_class, else 0. */
ZEM_API int DftiErrorClass(int status, int error_class);
/* The name of the status, or " " for an unknown status. */
ZEM_API char *DftiErrorMessage(int status);

/* ---- Fortran-convention functions ----------------------------------------
 * Each under three names: upper case, lower case, lower case with a
 * trailing underscore. Lengths and strides fastest dimension first. */

#define ZEM_DFTI_F77(UPPER, lower, lower_, ret, args)                          \
    ZEM_API ret UPPER args;                                                    \
    ZEM_API ret lower args;                                                    \
    ZEM_API ret lower_ args;

ZEM_DFTI_F77(DFTI_CREATE_DESCRIPTOR_1D, dfti_create_descriptor_1d, dfti_create_descriptor_1d_,
             int, (DFTI_DESCRIPTOR_HANDLE *handle, const int *precision, const int *domain,
                   const int *dimension, const int *length))
ZEM_DFTI_F77(DFTI_CREATE_DESCRIPTOR_HIGHD, dfti_create_descriptor_highd,
             dfti_create_descriptor_highd_, int,
             (DFTI_DESCRIPTOR_HANDLE *handle, const int *precision, const int *domain,
              const int *dimension, const int *lengths))
ZEM_DFTI_F77(DFTI_COMMIT_DESCRIPTOR_EXTERNAL, dfti_commit_descriptor_external,
             dfti_commit_descriptor_external_, int, (DFTI_DESCRIPTOR_HANDLE *handle))
ZEM_DFTI_F77(DFTI_FREE_DESCRIPTOR_EXTERNAL, dfti_free_descriptor_external,
             dfti_free_descriptor_external_, int, (DFTI_DESCRIPTOR_HANDLE *handle))

#define ZEM_DFTI_F77_COMPUTE(U, l)                                                            \
    ZEM_DFTI_F77(DFTI_COMPUTE_##U, dfti_compute_##l, dfti_compute_##l##_, int,               \
                 (DFTI_DESCRIPTOR_HANDLE * handle, void *data))                               \
    ZEM_DFTI_F77(DFTI_COMPUTE_##U##_OUT, dfti_compute_##l##_out, dfti_compute_##l##_out_, int, \
                 (DFTI_DESCRIPTOR_HANDLE * handle, const void *in, void *out))
ZEM_DFTI_F77_COMPUTE(FORWARD_C, forward_c)
ZEM_DFTI_F77_COMPUTE(FORWARD_Z, forward_z)
ZEM_DFTI_F77_COMPUTE(FORWARD_S, forward_s)
ZEM_DFTI_F77_COMPUTE(FORWARD_D, forward_d)
ZEM_DFTI_F77_COMPUTE(BACKWARD_C, backward_c)
ZEM_DFTI_F77_COMPUTE(BACKWARD_Z, backward_z)
ZEM_DFTI_F77_COMPUTE(BACKWARD_S, backward_s)
ZEM_DFTI_F77_COMPUTE(BACKWARD_D, backward_d)
#undef ZEM_DFTI_F77_COMPUTE

ZEM_DFTI_F77(DFTI_SET_VALUE_INTVAL, dfti_set_value_intval, dfti_set_value_intval_, int,
             (DFTI_DESCRIPTOR_HANDLE *handle, const int *param, const int *value))
ZEM_DFTI_F77(DFTI_SET_VALUE_INTVEC, dfti_set_value_intvec, dfti_set_value_intvec_, int,
             (DFTI_DESCRIPTOR_HANDLE *handle, const int *param, const int *values))
ZEM_DFTI_F77(DFTI_SET_VALUE_SGLVAL, dfti_set_value_sglval, dfti_set_value_sglval_, int,
             (DFTI_DESCRIPTOR_HANDLE *handle, const int *param, const float *value))
ZEM_DFTI_F77(DFTI_SET_VALUE_DBLVAL, dfti_set_value_dblval, dfti_set_value_dblval_, int,
             (DFTI_DESCRIPTOR_HANDLE *handle, const int *param, const double *value))
ZEM_DFTI_F77(DFTI_SET_VALUE_CHARS, dfti_set_value_chars, dfti_set_value_chars_, int,
             (DFTI_DESCRIPTOR_HANDLE *handle, const int *param, const char *value, ...))
ZEM_DFTI_F77(DFTI_GET_VALUE_INTVAL, dfti_get_value_intval, dfti_get_value_intval_, int,
             (DFTI_DESCRIPTOR_HANDLE *handle, const int *param, int *value))
ZEM_DFTI_F77(DFTI_GET_VALUE_INTVEC, dfti_get_value_intvec, dfti_get_value_intvec_, int,
             (DFTI_DESCRIPTOR_HANDLE *handle, const int *param, int *values))
ZEM_DFTI_F77(DFTI_GET_VALUE_SGLVAL, dfti_get_value_sglval, dfti_get_value_sglval_, int,
             (DFTI_DESCRIPTOR_HANDLE *handle, const int *param, float *value))
ZEM_DFTI_F77(DFTI_GET_VALUE_DBLVAL, dfti_get_value_dblval, dfti_get_value_dblval_, int,
             (DFTI_DESCRIPTOR_HANDLE *handle, const int *param, double *value))
ZEM_DFTI_F77(DFTI_GET_VALUE_CHARS, dfti_get_value_chars, dfti_get_value_chars_, int,
             (DFTI_DESCRIPTOR_HANDLE *handle, const int *param, char *value, ...))
ZEM_DFTI_F77(DFTI_ERROR_CLASS_EXTERNAL, dfti_error_class_external, dfti_error_class_external_,
             int, (const int *status, const int *error_class))
/* A character function: the 40-character result (blank-padded) goes to
 * `result`; its hidden length argument is not used. */
ZEM_DFTI_F77(DFTI_ERROR_MESSAGE_EXTERNAL, dfti_error_message_external,
             dfti_error_message_external_, void, (char *result, long result_len, const int *status))

#undef ZEM_DFTI_F77

#ifdef __cplusplus
}
#endif
#endif
