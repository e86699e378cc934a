// Option characters: the first byte of each argument, letters compared
// without regard to case, anything else compared as is.
#include "service/serv.h"

extern "C" ZEM_API int _ZEM_SERV_lsame(const char *a, const char *b, ...)
{
    unsigned char ca = (unsigned char)*a;
    unsigned char cb = (unsigned char)*b;
    bool letter = (ca >= 'A' && ca <= 'Z') || (ca >= 'a' && ca <= 'z');
    if (!letter)
        return ca == cb ? -1 : 0;
    if (ca >= 'A' && ca <= 'Z')
        ca += 32;
    if (cb >= 'A' && cb <= 'Z')
        cb += 32;
    return ca == cb ? -1 : 0;
}

extern "C" ZEM_API int LSAME(const char *a, const char *b, ...)
{
    zem_entry_prologue();
    return _ZEM_SERV_lsame(a, b);
}
ZEM_ALIAS(LSAME, lsame)
ZEM_ALIAS(LSAME, lsame_)
