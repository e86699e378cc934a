// Single complex: packing of alpha*op(A) and copies of op(B) into the split
// layout (groups of eight floats: four real parts, then the four imaginary
// parts of four consecutive depth indices).
#include <xmmintrin.h>

#include "blas/kernel/default/level3/gemm_kernels.h"

namespace {

using namespace zem_kernel::op;

// Row i of the packed block (or column j of the B buffer) holds kb/4 groups.
template <Op OP>
inline ZEM_Complex8 elem(const ZEM_Complex8 *x, ptrdiff_t ld, ptrdiff_t row, ptrdiff_t depth, bool a_side)
{
    // For A: op(A)(row, depth); for B: op(B)(depth, row) with row the column.
    ZEM_Complex8 v;
    if (a_side)
        v = OP == N ? x[row + depth * ld] : x[depth + row * ld];
    else
        v = OP == N ? x[depth + row * ld] : x[row + depth * ld];
    if (OP == C)
        v.imag = -v.imag;
    return v;
}

template <Op OP>
void pack_a(const ZEM_Complex8 *a, ptrdiff_t lda, int mb, int kb, float *buf, ZEM_Complex8 alpha)
{
    const float ar = alpha.real, ai = alpha.imag;
    for (ptrdiff_t i = 0; i < mb; ++i) {
        float *d = buf + i * 2 * (ptrdiff_t)kb;
        for (ptrdiff_t q = 0; q < kb; q += 4, d += 8)
            for (int l = 0; l < 4; ++l) {
                ZEM_Complex8 v = elem<OP>(a, lda, i, q + l, true);
                d[l] = ar * v.real - ai * v.imag;
                d[4 + l] = ar * v.imag + ai * v.real;
            }
    }
}

// op(A) = A on SSE, four rows by four depth indices at a time: alpha times
// each complex value (the same products as above), then real and
// imaginary parts separated and turned by 4x4 transposes. mb is a
// multiple of 4.
template <>
void pack_a<N>(const ZEM_Complex8 *a, ptrdiff_t lda, int mb, int kb, float *buf, ZEM_Complex8 alpha)
{
    const __m128 ar = _mm_set1_ps(alpha.real), ai = _mm_setr_ps(-alpha.imag, alpha.imag, -alpha.imag, alpha.imag);
    for (ptrdiff_t i = 0; i < mb; i += 4) {
        float *d = buf + i * 2 * (ptrdiff_t)kb;
        for (ptrdiff_t q = 0; q < kb; q += 4, d += 8) {
            __m128 re[4], im[4];
            for (int l = 0; l < 4; ++l) {
                const float *src = &a[i + (q + l) * lda].real;
                __m128 v0 = _mm_loadu_ps(src), v1 = _mm_loadu_ps(src + 4);
                // (r, i) -> (ar*r - ai*i, ar*i + ai*r)
                v0 = _mm_add_ps(_mm_mul_ps(ar, v0), _mm_mul_ps(ai, _mm_shuffle_ps(v0, v0, _MM_SHUFFLE(2, 3, 0, 1))));
                v1 = _mm_add_ps(_mm_mul_ps(ar, v1), _mm_mul_ps(ai, _mm_shuffle_ps(v1, v1, _MM_SHUFFLE(2, 3, 0, 1))));
                re[l] = _mm_shuffle_ps(v0, v1, _MM_SHUFFLE(2, 0, 2, 0)); // rows i..i+3 at depth q+l
                im[l] = _mm_shuffle_ps(v0, v1, _MM_SHUFFLE(3, 1, 3, 1));
            }
            _MM_TRANSPOSE4_PS(re[0], re[1], re[2], re[3]);
            _MM_TRANSPOSE4_PS(im[0], im[1], im[2], im[3]);
            for (int r = 0; r < 4; ++r) {
                _mm_store_ps(d + r * 2 * (ptrdiff_t)kb, re[r]);
                _mm_store_ps(d + r * 2 * (ptrdiff_t)kb + 4, im[r]);
            }
        }
    }
}

template <Op OP>
void copy_b(int n, int kb, const ZEM_Complex8 *b, ptrdiff_t ldb, float *buf, ptrdiff_t ldbuf)
{
    for (ptrdiff_t j = 0; j < n; ++j) {
        float *d = buf + j * ldbuf;
        for (ptrdiff_t q = 0; q < kb; q += 4, d += 8)
            for (int l = 0; l < 4; ++l) {
                ZEM_Complex8 v = elem<OP>(b, ldb, j, q + l, false);
                d[l] = v.real;
                d[4 + l] = v.imag;
            }
    }
}

} // namespace

extern "C" void _ZEM_BLAS_cgtran(const ZEM_Complex8 *a, ptrdiff_t lda, int mb, int kb, float *buf, ZEM_Complex8 alpha)
{
    pack_a<N>(a, lda, mb, kb, buf, alpha);
}
extern "C" void _ZEM_BLAS_cgtrat(const ZEM_Complex8 *a, ptrdiff_t lda, int mb, int kb, float *buf, ZEM_Complex8 alpha)
{
    pack_a<T>(a, lda, mb, kb, buf, alpha);
}
extern "C" void _ZEM_BLAS_cgtrac(const ZEM_Complex8 *a, ptrdiff_t lda, int mb, int kb, float *buf, ZEM_Complex8 alpha)
{
    pack_a<C>(a, lda, mb, kb, buf, alpha);
}
extern "C" void _ZEM_BLAS_cgcopybn(int n, int kb, const ZEM_Complex8 *b, ptrdiff_t ldb, float *buf, ptrdiff_t ldbuf)
{
    copy_b<N>(n, kb, b, ldb, buf, ldbuf);
}
extern "C" void _ZEM_BLAS_cgcopybt(int n, int kb, const ZEM_Complex8 *b, ptrdiff_t ldb, float *buf, ptrdiff_t ldbuf)
{
    copy_b<T>(n, kb, b, ldb, buf, ldbuf);
}
extern "C" void _ZEM_BLAS_cgcopybc(int n, int kb, const ZEM_Complex8 *b, ptrdiff_t ldb, float *buf, ptrdiff_t ldbuf)
{
    copy_b<C>(n, kb, b, ldb, buf, ldbuf);
}
