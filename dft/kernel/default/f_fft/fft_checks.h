// Argument checks of the fixed-argument FFT routines: the first bad
// argument is reported through xerbla_ (interposable) with its 1-based
// position and the routine's name as the routine prints it; nonzero
// means the entry returns without computing. Lengths 0 and 1 stop the
// one-dimensional routines silently.
#ifndef ZEM_DFT_FFT_CHECKS_H
#define ZEM_DFT_FFT_CHECKS_H

#include <string.h>

#include "dft/kernel/fft_kernels.h"
#include "service/serv.h"

namespace zem_dft {

inline int report(const char *name, int code)
{
    xerbla_(name, &code, (int)strlen(name));
    return 1;
}

inline bool bad_isign(int isign) { return isign < -2 || isign > 2; }

// n, isign and the table of a one-dimensional routine, at positions pn,
// pn + 1 and pn + 2. A complex table holds n in element 0; a real one
// n/2 in element 0 and in element 2n - 1.
template <class T>
int check_1d(const char *name, int n, int isign, const T *wsave, int pn, bool real)
{
    if (n == 0 || n == 1)
        return 1;
    if (log2_exact(n) < 0)
        return report(name, pn);
    if (bad_isign(isign))
        return report(name, pn + 1);
    if (wsave == nullptr)
        return report(name, pn + 2);
    if (isign != 0) {
        const bool ok = real ? (int)wsave[0] == n / 2 && (int)wsave[2 * (ptrdiff_t)n - 1] == n / 2
                             : (int)wsave[0] == n;
        if (!ok)
            return report(name, pn + 2);
    }
    return 0;
}

// m and n of a two-dimensional routine at positions pm and pm + 1, then
// isign at pm + 2 when the routine has one (complex: only +-1 and +-2).
inline int check_2d(const char *name, int m, int n, const int *isign, int pm)
{
    if (log2_exact(m) < 0)
        return report(name, pm);
    if (log2_exact(n) < 0)
        return report(name, pm + 1);
    if (isign != nullptr) {
        const int s = *isign;
        if (s != 1 && s != -1 && s != 2 && s != -2)
            return report(name, pm + 2);
    }
    return 0;
}

} // namespace zem_dft

// The exported entry under three names: entry prologue, the check when
// checking is on, then the routine proper.
#define ZEM_FFT_ENTRY(UP, lo, PARAMS, ARGS)                                    \
    extern "C" ZEM_API void UP PARAMS                                          \
    {                                                                          \
        zem_entry_prologue();                                                  \
        if (cfg_check == 1 && _ZEM_DFT_errchk_##lo ARGS != 0)                  \
            return;                                                            \
        _ZEM_DFT_##lo ARGS;                                                    \
    }                                                                          \
    ZEM_ALIAS(UP, lo)                                                          \
    ZEM_ALIAS(UP, lo##_)

#endif
