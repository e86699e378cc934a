/* Internal declarations generated from the routine table: kernels,
 * unchecked entries and argument checks. */
#ifndef ZEM_BLAS_ENTRY_H
#define ZEM_BLAS_ENTRY_H

#include "zem_blas.h"
#include "service/serv.h"

extern "C" {

/* Kernels: the same arguments as their entry. Declared for every routine so
 * that a kernel written later must match its table line. */
#define ZEM_ROUTINE(have, kind, UP, lo, RET, SHAPE, T, R, chk) \
    ZEM_API RET _ZEM_BLAS_##lo ZEM_P_##SHAPE(T, R);
#include "zem_blas.def"
#undef ZEM_ROUTINE

/* Unchecked entries (CBLAS uses them) and argument checks. */
#define ZEM_DECL_L1(UP, lo, RET, SHAPE, T, R) ZEM_API RET _ZEM_BLAS_F77_##UP ZEM_P_##SHAPE(T, R);
#define ZEM_DECL_CK(UP, lo, RET, SHAPE, T, R) \
    ZEM_DECL_L1(UP, lo, RET, SHAPE, T, R)    \
    ZEM_API int _ZEM_BLAS_errchk_##lo ZEM_P_##SHAPE(T, R);
#define ZEM_DECL_NF(UP, lo, RET, SHAPE, T, R)
#define ZEM_ROUTINE(have, kind, UP, lo, RET, SHAPE, T, R, chk) ZEM_DECL_##kind(UP, lo, RET, SHAPE, T, R)
#include "zem_blas.def"
#undef ZEM_ROUTINE
#undef ZEM_DECL_L1
#undef ZEM_DECL_CK
#undef ZEM_DECL_NF

} // extern "C"

#endif
