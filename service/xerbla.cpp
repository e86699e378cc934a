// Error lines. The literals carry their own blanks and the format adds one
// more between fields; callers compare these bytes, so they never change.
#include <stdio.h>
#include "service/serv.h"

static const char kLineFormat[] = "%s %01d %s %s\n";

extern "C" ZEM_API void xerbla_(const char *name, const int *code, ...)
{
    int c = *code;
    if (c > 0)
        printf(kLineFormat, "ZEM ERROR : Parameter ", c, " was incorrect on entry to ", name);
    else
        printf(kLineFormat, "ZEM INTERNAL ERROR : Condition ", c, " detected in function ", name);
}
ZEM_ALIAS(xerbla_, XERBLA)
ZEM_ALIAS(xerbla_, xerbla)

extern "C" ZEM_API void cblas_xerbla(const char *name, int position)
{
    printf(kLineFormat, "ZEM ERROR : Parameter ", position, " was incorrect on entry to ", name);
}

// Compiled code of other libraries of the family may refer to these; the
// library itself never stops the process.
extern "C" ZEM_API void _assert(const char *, const char *, int) {}
extern "C" ZEM_API void f_rterr(void) {}
