// Packing of op(A) into micro-panels of two rows (real and imaginary parts
// adjacent, alpha not applied) and copies of op(B) = B^T or B^H into the B
// buffer, for the double-complex matrix-multiply driver.
#include "blas/kernel/default/level3/gemm_kernels.h"

namespace {

// Double complex, P = 2, no alpha; CONJ conjugates while packing.
template <bool TRANS, bool CONJ>
void zpack(const ZEM_Complex16 *a, ptrdiff_t lda, int mb, int kb, double *buf)
{
    for (ptrdiff_t i = 0; i < mb; ++i) {
        double *d = buf + 2 * ((i / 2) * 2 * (ptrdiff_t)kb + i % 2);
        for (ptrdiff_t p = 0; p < kb; ++p) {
            const ZEM_Complex16 &x = TRANS ? a[p + i * lda] : a[i + p * lda];
            d[4 * p] = x.real;
            d[4 * p + 1] = CONJ ? -x.imag : x.imag;
        }
    }
}

template <bool CONJ>
void zcopy_bt(int n, int kb, const ZEM_Complex16 *b, ptrdiff_t ldb, ZEM_Complex16 *buf, ptrdiff_t ldbuf)
{
    for (ptrdiff_t p = 0; p < kb; ++p) {
        const ZEM_Complex16 *s = b + p * ldb;
        for (ptrdiff_t j = 0; j < n; ++j) {
            ZEM_Complex16 &d = buf[j * ldbuf + p];
            d.real = s[j].real;
            d.imag = CONJ ? -s[j].imag : s[j].imag;
        }
    }
}

} // namespace

extern "C" void _ZEM_BLAS_zgtran(const ZEM_Complex16 *a, ptrdiff_t lda, int mb, int kb, double *buf)
{
    zpack<false, false>(a, lda, mb, kb, buf);
}
extern "C" void _ZEM_BLAS_zgtrat(const ZEM_Complex16 *a, ptrdiff_t lda, int mb, int kb, double *buf)
{
    zpack<true, false>(a, lda, mb, kb, buf);
}
extern "C" void _ZEM_BLAS_zgtrac(const ZEM_Complex16 *a, ptrdiff_t lda, int mb, int kb, double *buf)
{
    zpack<true, true>(a, lda, mb, kb, buf);
}
extern "C" void _ZEM_BLAS_zgtrbt(int n, int kb, const ZEM_Complex16 *b, ptrdiff_t ldb, ZEM_Complex16 *buf,
                                 ptrdiff_t ldbuf)
{
    zcopy_bt<false>(n, kb, b, ldb, buf, ldbuf);
}
extern "C" void _ZEM_BLAS_zgtrbc(int n, int kb, const ZEM_Complex16 *b, ptrdiff_t ldb, ZEM_Complex16 *buf,
                                 ptrdiff_t ldbuf)
{
    zcopy_bt<true>(n, kb, b, ldb, buf, ldbuf);
}
