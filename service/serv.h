/* Internal helpers of the service layer shared by every subsystem. */
#ifndef ZEM_SERV_INTERNAL_H
#define ZEM_SERV_INTERNAL_H

#include <stddef.h>
#include <stdint.h>

#include "zem_service.h"

/* Exports `alias` as one more name of the function `target` defined in the
 * same file: one function, several symbols, never a copy. An assembler
 * directive rather than the alias attribute, because the public headers
 * already declare the alias names. */
#define ZEM_ALIAS(target, alias)                                                   \
    __asm__(".globl " #alias "\n\t.type " #alias ", @function\n\t.set " #alias   \
            ", " #target);

/* The steps every exported Fortran-convention entry runs first: read the
 * configuration file once, then apply its serial/parallel setting. */
static inline void zem_entry_prologue(void)
{
    if (__builtin_expect(cfg_file_readed != 1, 0))
        zem_cfg_file(1);
    if (cfg_serial == 1)
        _ZEM_SERV_set_serial();
    if (cfg_serial == 0)
        _ZEM_SERV_set_parallel();
}

/* Byte counts of work memory, saturating at SIZE_MAX: on i386 the product
 * of two dimensions of a few tens of thousands already passes 4 GiB, and a
 * count that wrapped would become a short block written past its end.
 * zem_allocate refuses a saturated count at once (null, like any request
 * the C library cannot meet). */
static inline size_t zem_size_mul(size_t a, size_t b)
{
    size_t r;
    return __builtin_mul_overflow(a, b, &r) ? SIZE_MAX : r;
}

static inline size_t zem_size_add(size_t a, size_t b)
{
    size_t r;
    return __builtin_add_overflow(a, b, &r) ? SIZE_MAX : r;
}

static inline void *zem_allocate(size_t bytes)
{
    return bytes == SIZE_MAX ? NULL : _ZEM_SERV_allocate(bytes);
}

#endif
