// The C functions of the descriptor interface. They take lengths and
// strides slowest dimension first, reverse them, and call the
// Fortran-convention functions, which run the entry prologue.
#include <stdarg.h>
#include <string.h>

#include "dft/kernel/default/f_dft/dfti_record.h"
#include "service/serv.h"

namespace {

constexpr int kMaxDims = 7;

// The record 0 fields the C functions read before the internal checks:
// null gives 3, a block that is not a descriptor 5.
int c_check(DFTI_DESCRIPTOR_HANDLE h)
{
    if (h == nullptr)
        return DFTI_INCONSISTENT_CONFIGURATION;
    return dfti_tag_ok(h) ? DFTI_NO_ERROR : DFTI_BAD_DESCRIPTOR;
}

int dims_of(DFTI_DESCRIPTOR_HANDLE h)
{
    int d = h->dimension;
    return d < 1 ? 1 : (d > kMaxDims ? kMaxDims : d);
}

typedef int (*InPlace)(DFTI_DESCRIPTOR_HANDLE *, void *);
typedef int (*OutOfPlace)(DFTI_DESCRIPTOR_HANDLE *, const void *, void *);

int compute(DFTI_DESCRIPTOR_HANDLE h, void *data, va_list ap, const InPlace in[4],
            const OutOfPlace out[4])
{
    int st = c_check(h);
    if (st != DFTI_NO_ERROR)
        return st;
    int which = (h->forward_domain == DFTI_COMPLEX ? 0 : 2) + (h->precision == DFTI_SINGLE ? 0 : 1);
    if (h->placement == DFTI_INPLACE)
        return in[which](&h, data);
    void *y = va_arg(ap, void *);
    return out[which](&h, data, y);
}

const InPlace kForwardIn[4] = {DFTI_COMPUTE_FORWARD_C, DFTI_COMPUTE_FORWARD_Z,
                               DFTI_COMPUTE_FORWARD_S, DFTI_COMPUTE_FORWARD_D};
const OutOfPlace kForwardOut[4] = {DFTI_COMPUTE_FORWARD_C_OUT, DFTI_COMPUTE_FORWARD_Z_OUT,
                                   DFTI_COMPUTE_FORWARD_S_OUT, DFTI_COMPUTE_FORWARD_D_OUT};
const InPlace kBackwardIn[4] = {DFTI_COMPUTE_BACKWARD_C, DFTI_COMPUTE_BACKWARD_Z,
                                DFTI_COMPUTE_BACKWARD_S, DFTI_COMPUTE_BACKWARD_D};
const OutOfPlace kBackwardOut[4] = {DFTI_COMPUTE_BACKWARD_C_OUT, DFTI_COMPUTE_BACKWARD_Z_OUT,
                                    DFTI_COMPUTE_BACKWARD_S_OUT, DFTI_COMPUTE_BACKWARD_D_OUT};

} // namespace

extern "C" {

ZEM_API int DftiCreateDescriptor(DFTI_DESCRIPTOR_HANDLE *handle, int precision, int domain,
                                 int dimension, ...)
{
    if (dimension < 1 || dimension > kMaxDims)
        return DFTI_INCONSISTENT_CONFIGURATION;
    int lengths[kMaxDims];
    va_list ap;
    va_start(ap, dimension);
    if (dimension == 1) {
        lengths[0] = va_arg(ap, int);
    } else {
        const int *given = va_arg(ap, const int *);
        for (int k = 0; k < dimension; ++k)
            lengths[k] = given[dimension - 1 - k];
    }
    va_end(ap);
    return DFTI_CREATE_DESCRIPTOR_HIGHD(handle, &precision, &domain, &dimension, lengths);
}

ZEM_API int DftiCommitDescriptor(DFTI_DESCRIPTOR_HANDLE handle)
{
    return DFTI_COMMIT_DESCRIPTOR_EXTERNAL(&handle);
}

ZEM_API int DftiComputeForward(DFTI_DESCRIPTOR_HANDLE handle, void *data, ...)
{
    va_list ap;
    va_start(ap, data);
    int st = compute(handle, data, ap, kForwardIn, kForwardOut);
    va_end(ap);
    return st;
}

ZEM_API int DftiComputeBackward(DFTI_DESCRIPTOR_HANDLE handle, void *data, ...)
{
    va_list ap;
    va_start(ap, data);
    int st = compute(handle, data, ap, kBackwardIn, kBackwardOut);
    va_end(ap);
    return st;
}

ZEM_API int DftiFreeDescriptor(DFTI_DESCRIPTOR_HANDLE *handle)
{
    return DFTI_FREE_DESCRIPTOR_EXTERNAL(handle);
}

ZEM_API int DftiSetValue(DFTI_DESCRIPTOR_HANDLE handle, int param, ...)
{
    if (param == DFTI_DIMENSION || param == DFTI_LENGTHS)
        return DFTI_UNIMPLEMENTED;
    int st = c_check(handle);
    if (st != DFTI_NO_ERROR)
        return st;
    va_list ap;
    va_start(ap, param);
    switch (param) {
    case DFTI_FORWARD_SCALE:
    case DFTI_BACKWARD_SCALE: {
        double v = va_arg(ap, double);
        if (handle->precision == DFTI_SINGLE) {
            float f = (float)v;
            st = DFTI_SET_VALUE_SGLVAL(&handle, &param, &f);
        } else {
            st = DFTI_SET_VALUE_DBLVAL(&handle, &param, &v);
        }
        break;
    }
    case DFTI_INPUT_STRIDES:
    case DFTI_OUTPUT_STRIDES: {
        const int *given = va_arg(ap, const int *);
        int d = dims_of(handle);
        int v[kMaxDims + 1];
        v[0] = given[0];
        for (int k = 0; k < d; ++k)
            v[k + 1] = given[d - k];
        st = DFTI_SET_VALUE_INTVEC(&handle, &param, v);
        break;
    }
    case DFTI_DESCRIPTOR_NAME: {
        const char *s = va_arg(ap, const char *);
        st = DFTI_SET_VALUE_CHARS(&handle, &param, s);
        break;
    }
    default: {
        int v = va_arg(ap, int);
        st = DFTI_SET_VALUE_INTVAL(&handle, &param, &v);
        break;
    }
    }
    va_end(ap);
    return st;
}

ZEM_API int DftiGetValue(DFTI_DESCRIPTOR_HANDLE handle, int param, ...)
{
    va_list ap;
    va_start(ap, param);
    void *dst = va_arg(ap, void *);
    va_end(ap);
    if (param == DFTI_VERSION) {
        ZEMGetVersionString(static_cast<char *>(dst), DFTI_VERSION_LENGTH);
        return DFTI_NO_ERROR;
    }
    int st = c_check(handle);
    if (st != DFTI_NO_ERROR)
        return st;
    int d = dims_of(handle);
    switch (param) {
    case DFTI_LENGTHS: {
        if (d == 1)
            return DFTI_GET_VALUE_INTVAL(&handle, &param, static_cast<int *>(dst));
        int v[kMaxDims];
        st = DFTI_GET_VALUE_INTVEC(&handle, &param, v);
        if (st == DFTI_NO_ERROR)
            for (int k = 0; k < d; ++k)
                static_cast<int *>(dst)[k] = v[d - 1 - k];
        return st;
    }
    case DFTI_FORWARD_SCALE:
    case DFTI_BACKWARD_SCALE:
        if (handle->precision == DFTI_SINGLE)
            return DFTI_GET_VALUE_SGLVAL(&handle, &param, static_cast<float *>(dst));
        return DFTI_GET_VALUE_DBLVAL(&handle, &param, static_cast<double *>(dst));
    case DFTI_INPUT_STRIDES:
    case DFTI_OUTPUT_STRIDES: {
        int v[kMaxDims + 1];
        st = DFTI_GET_VALUE_INTVEC(&handle, &param, v);
        if (st == DFTI_NO_ERROR) {
            int *out = static_cast<int *>(dst);
            out[0] = v[0];
            for (int k = 0; k < d; ++k)
                out[k + 1] = v[d - k];
        }
        return st;
    }
    case DFTI_DESCRIPTOR_NAME:
        return DFTI_GET_VALUE_CHARS(&handle, &param, static_cast<char *>(dst));
    case DFTI_FORWARD_ORDERING:
    case DFTI_BACKWARD_ORDERING:
        return DFTI_GET_VALUE_INTVEC(&handle, &param, static_cast<int *>(dst));
    case DFTI_FORWARD_DOMAIN: case DFTI_DIMENSION: case DFTI_PRECISION:
    case DFTI_FORWARD_SIGN: case DFTI_NUMBER_OF_TRANSFORMS: case DFTI_COMPLEX_STORAGE:
    case DFTI_REAL_STORAGE: case DFTI_CONJUGATE_EVEN_STORAGE: case DFTI_PLACEMENT:
    case DFTI_INPUT_DISTANCE: case DFTI_OUTPUT_DISTANCE: case DFTI_INITIALIZATION_EFFORT:
    case DFTI_WORKSPACE: case DFTI_ORDERING: case DFTI_TRANSPOSE: case DFTI_PACKED_FORMAT:
    case DFTI_COMMIT_STATUS: case DFTI_NUMBER_OF_USER_THREADS:
        return DFTI_GET_VALUE_INTVAL(&handle, &param, static_cast<int *>(dst));
    default:
        return DFTI_INCONSISTENT_CONFIGURATION;
    }
}

ZEM_API int DftiErrorClass(int status, int error_class)
{
    return DFTI_ERROR_CLASS_EXTERNAL(&status, &error_class);
}

ZEM_API char *DftiErrorMessage(int status)
{
    return const_cast<char *>(_ZEM_DFT_dfti_error_message(status));
}

} // extern "C"
