/* Internal helpers of the service layer shared by every subsystem. */
#ifndef ZEM_SERV_INTERNAL_H
#define ZEM_SERV_INTERNAL_H

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

#endif
