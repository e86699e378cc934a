/* Zem Numerics Library: every public interface. */
#ifndef ZEM_H
#define ZEM_H

#include "zem_service.h"
#include "zem_blas.h"
#if defined(__has_include)
#if __has_include("fxrs.h")
#include "fxrs.h"
#endif
#endif

#endif
