// The exported Fortran-convention entries, generated from the routine
// table: for every routine whose kernel exists, one entry function under
// three names and its unchecked _ZEM_BLAS_F77_ form.
#include "blas/interface/entry.h"

#define ZEM_UNCHECKED_FORM(UP, lo, RET, SHAPE, T, R)           \
    extern "C" ZEM_API RET _ZEM_BLAS_F77_##UP ZEM_P_##SHAPE(T, R) \
    {                                                          \
        zem_entry_prologue();                                  \
        return _ZEM_BLAS_##lo ZEM_A_##SHAPE;                   \
    }

#define ZEM_THREE_NAMES(UP, lo) ZEM_ALIAS(UP, lo) ZEM_ALIAS(UP, lo##_)

// The entry proper of a routine without argument check, under three names.
#define ZEM_PLAIN_ENTRY(UP, lo, RET, SHAPE, T, R)    \
    extern "C" ZEM_API RET UP ZEM_P_##SHAPE(T, R)    \
    {                                                \
        zem_entry_prologue();                        \
        return _ZEM_BLAS_##lo ZEM_A_##SHAPE;         \
    }                                                \
    ZEM_THREE_NAMES(UP, lo)

// Level 1, sparse level 1 and rotation sequences: no argument check.
#define ZEM_ENTRY_L1(UP, lo, RET, SHAPE, T, R) \
    ZEM_PLAIN_ENTRY(UP, lo, RET, SHAPE, T, R)  \
    ZEM_UNCHECKED_FORM(UP, lo, RET, SHAPE, T, R)

// Levels 2 and 3: a rejected call returns before the kernel touches anything.
#define ZEM_ENTRY_CK(UP, lo, RET, SHAPE, T, R)                              \
    extern "C" ZEM_API RET UP ZEM_P_##SHAPE(T, R)                           \
    {                                                                       \
        zem_entry_prologue();                                               \
        if (cfg_check == 1 && _ZEM_BLAS_errchk_##lo ZEM_A_##SHAPE != 0)     \
            return;                                                         \
        _ZEM_BLAS_##lo ZEM_A_##SHAPE;                                       \
    }                                                                       \
    ZEM_THREE_NAMES(UP, lo)                                                 \
    ZEM_UNCHECKED_FORM(UP, lo, RET, SHAPE, T, R)

// The cross product: no argument check and no unchecked form.
#define ZEM_ENTRY_NF(UP, lo, RET, SHAPE, T, R) ZEM_PLAIN_ENTRY(UP, lo, RET, SHAPE, T, R)

#define ZEM_ENTRY_Y(kind, UP, lo, RET, SHAPE, T, R) ZEM_ENTRY_##kind(UP, lo, RET, SHAPE, T, R)
#define ZEM_ENTRY_N(kind, UP, lo, RET, SHAPE, T, R)
#define ZEM_ROUTINE(have, kind, UP, lo, RET, SHAPE, T, R, chk) ZEM_ENTRY_##have(kind, UP, lo, RET, SHAPE, T, R)
#include "zem_blas.def"
#undef ZEM_ROUTINE
