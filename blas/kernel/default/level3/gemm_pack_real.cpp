// Packing of alpha*op(A) into micro-panels (four rows for double, sixteen
// for single) and copies of op(B) into the B buffer, for the real
// matrix-multiply drivers.
#include <xmmintrin.h>

#include "blas/kernel/default/level3/gemm_kernels.h"

namespace {

// The next column of A (mb values from src + lda): every cache line of it,
// so that a column read from memory arrives whole.
template <class T>
inline void prefetch_column(const T *src, ptrdiff_t lda, int mb)
{
    for (int q = 0; q < mb; q += 64 / (int)sizeof(T))
        zem_kernel::prefetch(src, lda + q);
    zem_kernel::prefetch(src, lda + mb - 1);
}

// op(A) = A: walk the depth columns of A and, inside each, the groups of P
// consecutive rows, storing alpha times each group at its micro-panel.
// kp is the micro-panel stride (kp = kb when not padded).
template <class T, int P>
void pack_n(const T *a, ptrdiff_t lda, int mb, int kb, int kp, T *buf, T alpha)
{
    const int groups = mb / P;
    for (ptrdiff_t p = 0; p < kb; ++p) {
        const T *src = a + p * lda;
        prefetch_column(src, lda, mb);
        T *dst = buf + p * P;
        for (int g = 0; g < groups; ++g) {
            const T *s = src + (ptrdiff_t)g * P;
            T *d = dst + (ptrdiff_t)g * P * kp;
            for (int r = 0; r < P; ++r)
                d[r] = alpha * s[r];
        }
    }
}

// Single precision on SSE: four rows per vector (the packed block is
// 16-byte aligned, A need not be).
template <>
void pack_n<float, 16>(const float *a, ptrdiff_t lda, int mb, int kb, int kp, float *buf, float alpha)
{
    const int groups = mb / 16;
    const __m128 al = _mm_set1_ps(alpha);
    for (ptrdiff_t p = 0; p < kb; ++p) {
        const float *src = a + p * lda;
        prefetch_column(src, lda, mb);
        float *dst = buf + p * 16;
        for (int g = 0; g < groups; ++g) {
            const float *s = src + (ptrdiff_t)g * 16;
            float *d = dst + (ptrdiff_t)g * 16 * kp;
            _mm_store_ps(d, _mm_mul_ps(al, _mm_loadu_ps(s)));
            _mm_store_ps(d + 4, _mm_mul_ps(al, _mm_loadu_ps(s + 4)));
            _mm_store_ps(d + 8, _mm_mul_ps(al, _mm_loadu_ps(s + 8)));
            _mm_store_ps(d + 12, _mm_mul_ps(al, _mm_loadu_ps(s + 12)));
        }
    }
}

// op(A) = A^T: row i of op(A) is column i of the stored A, read with unit
// stride and stored P positions apart.
template <class T, int P>
void pack_t(const T *a, ptrdiff_t lda, int mb, int kb, int kp, T *buf, T alpha)
{
    for (ptrdiff_t i = 0; i < mb; ++i) {
        const T *src = a + i * lda;
        zem_kernel::prefetch(src, lda);
        T *d = buf + (i / P) * P * (ptrdiff_t)kp + i % P;
        for (ptrdiff_t p = 0; p < kb; ++p)
            d[p * P] = alpha * src[p];
    }
}

// Single precision: four rows by four depth indices at a time, turned
// with a 4x4 transpose; the depth left over (kb mod 4) singly.
template <>
void pack_t<float, 16>(const float *a, ptrdiff_t lda, int mb, int kb, int kp, float *buf, float alpha)
{
    const __m128 al = _mm_set1_ps(alpha);
    for (ptrdiff_t i = 0; i + 4 <= mb; i += 4) {
        const float *s0 = a + i * lda, *s1 = s0 + lda, *s2 = s1 + lda, *s3 = s2 + lda;
        float *d = buf + (i / 16) * 16 * (ptrdiff_t)kp + i % 16;
        ptrdiff_t p = 0;
        for (; p + 4 <= kb; p += 4) {
            __m128 r0 = _mm_loadu_ps(s0 + p), r1 = _mm_loadu_ps(s1 + p), r2 = _mm_loadu_ps(s2 + p),
                   r3 = _mm_loadu_ps(s3 + p);
            _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
            _mm_store_ps(d + p * 16, _mm_mul_ps(al, r0));
            _mm_store_ps(d + (p + 1) * 16, _mm_mul_ps(al, r1));
            _mm_store_ps(d + (p + 2) * 16, _mm_mul_ps(al, r2));
            _mm_store_ps(d + (p + 3) * 16, _mm_mul_ps(al, r3));
        }
        for (; p < kb; ++p) {
            d[p * 16] = alpha * s0[p];
            d[p * 16 + 1] = alpha * s1[p];
            d[p * 16 + 2] = alpha * s2[p];
            d[p * 16 + 3] = alpha * s3[p];
        }
    }
}

// op(B) = B^T: buf[j*ldbuf + p] = B(j, p), eight depth indices at a time.
template <class T>
void copy_bt(int n, int kb, int kp, const T *b, ptrdiff_t ldb, T *buf, ptrdiff_t ldbuf)
{
    int p = 0;
    for (; p + 8 <= kb; p += 8) {
        const T *s = b + p * ldb;
        for (ptrdiff_t j = 0; j < n; ++j) {
            T *d = buf + j * ldbuf + p;
            for (int q = 0; q < 8; ++q)
                d[q] = s[j + q * ldb];
        }
    }
    for (; p < kb; ++p)
        for (ptrdiff_t j = 0; j < n; ++j)
            buf[j * ldbuf + p] = b[j + p * ldb];
    for (ptrdiff_t j = 0; j < n; ++j)
        for (int q = kb; q < kp; ++q)
            buf[j * ldbuf + q] = T(0);
}

// op(B) = B: column by column, then zeros up to depth kp.
template <class T>
void copy_bn(int n, int kb, int kp, const T *b, ptrdiff_t ldb, T *buf, ptrdiff_t ldbuf)
{
    for (ptrdiff_t j = 0; j < n; ++j) {
        const T *s = b + j * ldb;
        T *d = buf + j * ldbuf;
        for (int p = 0; p < kb; ++p)
            d[p] = s[p];
        for (int p = kb; p < kp; ++p)
            d[p] = T(0);
    }
}

} // namespace

#define ZEM_REAL_PACKS(x, T, P)                                                                   \
    extern "C" void _ZEM_BLAS_##x##gtran(const T *a, ptrdiff_t lda, int mb, int kb, T *buf, T alpha) \
    {                                                                                             \
        pack_n<T, P>(a, lda, mb, kb, kb, buf, alpha);                                             \
    }                                                                                             \
    extern "C" void _ZEM_BLAS_##x##gtrat(const T *a, ptrdiff_t lda, int mb, int kb, T *buf, T alpha) \
    {                                                                                             \
        pack_t<T, P>(a, lda, mb, kb, kb, buf, alpha);                                             \
    }                                                                                             \
    extern "C" void _ZEM_BLAS_##x##gtranp(const T *a, ptrdiff_t lda, int mb, int kb, int kp, T *buf, T alpha) \
    {                                                                                             \
        pack_n<T, P>(a, lda, mb, kb, kp, buf, alpha);                                             \
    }                                                                                             \
    extern "C" void _ZEM_BLAS_##x##gtratp(const T *a, ptrdiff_t lda, int mb, int kb, int kp, T *buf, T alpha) \
    {                                                                                             \
        pack_t<T, P>(a, lda, mb, kb, kp, buf, alpha);                                             \
    }                                                                                             \
    extern "C" void _ZEM_BLAS_##x##gtrbn(int n, int kb, const T *b, ptrdiff_t ldb, T *buf, ptrdiff_t ldbuf) \
    {                                                                                             \
        copy_bt<T>(n, kb, kb, b, ldb, buf, ldbuf);                                                \
    }                                                                                             \
    extern "C" void _ZEM_BLAS_##x##gtrbnp(int n, int kb, int kp, const T *b, ptrdiff_t ldb, T *buf, ptrdiff_t ldbuf) \
    {                                                                                             \
        copy_bn<T>(n, kb, kp, b, ldb, buf, ldbuf);                                                \
    }                                                                                             \
    extern "C" void _ZEM_BLAS_##x##gtrbtp(int n, int kb, int kp, const T *b, ptrdiff_t ldb, T *buf, ptrdiff_t ldbuf) \
    {                                                                                             \
        copy_bt<T>(n, kb, kp, b, ldb, buf, ldbuf);                                                \
    }

ZEM_REAL_PACKS(d, double, 4)
ZEM_REAL_PACKS(s, float, 16)
