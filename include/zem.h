/* Zem Numerics Library: every public interface. */
#ifndef ZEM_H
#define ZEM_H

#include "zem_service.h"
#include "zem_blas.h"
#include "zem_cblas.h"
#include "fxrs.h"
#include "zem_dfti.h"
#include "zem_fft.h"

#endif
