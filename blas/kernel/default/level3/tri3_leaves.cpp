// Leaves of ?trsm and ?trmm: one diagonal block of order at most 32 applied
// to a piece of B.
//
// Both sides reduce to one operation on vectors: side L works on the
// columns of B with M = op(A), side R on the rows of B with M = op(A)^T
// (X·op(A) = B is op(A)^T·x = b for every row x of X). The leaf first
// copies M into a small row-major array, conjugated where op(A) = A^H, and
// its diagonal in the computing type (extended precision for d and z), as
// reciprocals for a solve, so that the substitution multiplies and never
// divides. A unit diagonal is never read. Sums run in the computing type,
// several vectors at a time (one load of M serves them all): four (in two
// SSE registers for single complex), or eight in two SSE registers for
// single precision; the rest one at a time.
#include <xmmintrin.h>

#include <type_traits>

#include "blas/kernel/default/level3/triangular3.h"

namespace zem_tri3 {

namespace {

using zem_kernel::element;

template <class T>
inline T conj_of(T v)
{
    return v;
}
template <>
inline ZEM_Complex8 conj_of(ZEM_Complex8 v)
{
    return ZEM_Complex8{v.real, -v.imag};
}
template <>
inline ZEM_Complex16 conj_of(ZEM_Complex16 v)
{
    return ZEM_Complex16{v.real, -v.imag};
}

// The block M in the element type (copies of A, exact), its diagonal in the
// computing type.
template <class T>
struct Block {
    typedef typename element<T>::value V;
    T m[kLeafOrder][kLeafOrder];
    V d[kLeafOrder];
    int order;
    bool upper, unit;
};

template <class V>
inline V recip(V d)
{
    return zem_l2::quot(V(1), d);
}
template <class A>
inline zem_l2::cv<A> recip(zem_l2::cv<A> d)
{
    return zem_l2::quot(zem_l2::cv<A>{1, 0}, d);
}

// M(i, k) = A(i, k) when the vectors are columns and op(A) = A, or rows
// and op(A) = A^T, A^H; A(k, i) otherwise; conjugated for A^H. Only the
// stored triangle (and a non-unit diagonal) is read.
template <class T>
void load(Block<T> &blk, bool left, const char *uplo, char op, bool unit, bool invert, int order, const T *a,
          ptrdiff_t lda)
{
    typedef element<T> E;
    const bool direct = left == (op == 'N');
    const bool conj = op == 'C';
    const bool stored_upper = _ZEM_SERV_lsame(uplo, "U") != 0;
    blk.order = order;
    blk.unit = unit;
    blk.upper = stored_upper == direct;
    for (int i = 0; i < order; ++i) {
        const int k0 = blk.upper ? i + 1 : 0, k1 = blk.upper ? order : i;
        for (int k = k0; k < k1; ++k) {
            const T &v = direct ? a[i + k * lda] : a[k + i * lda];
            blk.m[i][k] = conj ? conj_of(v) : v;
        }
        if (!unit) {
            const typename E::value d = E::load(conj ? conj_of(a[i + i * lda]) : a[i + i * lda]);
            blk.d[i] = invert ? recip(d) : d;
        }
    }
}

// G vectors of B: vector v, element e at b[e * es + v * vs]; each element
// is rounded to the type once it is final, as it is when stored in B.
// (The SSE forms use unaligned loads: callers' stacks need not be aligned
// to 16 bytes on i386.)
template <class T, int G>
struct Vecs {
    T x[kLeafOrder][G];
    void get(const T *b, int order, ptrdiff_t es, ptrdiff_t vs)
    {
        for (int e = 0; e < order; ++e)
            for (int v = 0; v < G; ++v)
                x[e][v] = b[e * es + v * vs];
    }
    void put(T *b, int order, ptrdiff_t es, ptrdiff_t vs) const
    {
        for (int e = 0; e < order; ++e)
            for (int v = 0; v < G; ++v)
                b[e * es + v * vs] = x[e][v];
    }
};

// x := M^-1 x: backward substitution for upper M, forward for lower; the
// sums in the computing type.
template <class T, int G>
void solve(const Block<T> &blk, Vecs<T, G> &w)
{
    typedef element<T> E;
    typedef typename E::value V;
    const int n = blk.order;
    for (int t = 0; t < n; ++t) {
        const int i = blk.upper ? n - 1 - t : t;
        const int k0 = blk.upper ? i + 1 : 0, k1 = blk.upper ? n : i;
        V s[G];
        for (int v = 0; v < G; ++v)
            s[v] = E::load(w.x[i][v]);
        for (int k = k0; k < k1; ++k) {
            const V mik = E::load(blk.m[i][k]);
            for (int v = 0; v < G; ++v)
                s[v] = s[v] - mik * E::load(w.x[k][v]);
        }
        for (int v = 0; v < G; ++v)
            E::store(w.x[i][v], blk.unit ? s[v] : s[v] * blk.d[i]);
    }
}

// x := alpha M x, in place: upper M from the first element (each element
// reads itself and the later ones), lower M from the last.
template <class T, int G>
void multiply(const Block<T> &blk, typename element<T>::value alpha, Vecs<T, G> &w)
{
    typedef element<T> E;
    typedef typename E::value V;
    const int n = blk.order;
    for (int t = 0; t < n; ++t) {
        const int i = blk.upper ? t : n - 1 - t;
        const int k0 = blk.upper ? i + 1 : 0, k1 = blk.upper ? n : i;
        V s[G];
        for (int v = 0; v < G; ++v)
            s[v] = blk.unit ? E::load(w.x[i][v]) : blk.d[i] * E::load(w.x[i][v]);
        for (int k = k0; k < k1; ++k) {
            const V mik = E::load(blk.m[i][k]);
            for (int v = 0; v < G; ++v)
                s[v] = s[v] + mik * E::load(w.x[k][v]);
        }
        for (int v = 0; v < G; ++v)
            E::store(w.x[i][v], alpha * s[v]);
    }
}

// Single precision, eight vectors: the same operations in SSE registers.
template <>
void solve<float, 8>(const Block<float> &blk, Vecs<float, 8> &w)
{
    const int n = blk.order;
    for (int t = 0; t < n; ++t) {
        const int i = blk.upper ? n - 1 - t : t;
        const int k0 = blk.upper ? i + 1 : 0, k1 = blk.upper ? n : i;
        __m128 s0 = _mm_loadu_ps(&w.x[i][0]), s1 = _mm_loadu_ps(&w.x[i][4]);
        for (int k = k0; k < k1; ++k) {
            const __m128 mik = _mm_set1_ps(blk.m[i][k]);
            s0 = _mm_sub_ps(s0, _mm_mul_ps(mik, _mm_loadu_ps(&w.x[k][0])));
            s1 = _mm_sub_ps(s1, _mm_mul_ps(mik, _mm_loadu_ps(&w.x[k][4])));
        }
        if (!blk.unit) {
            const __m128 r = _mm_set1_ps(blk.d[i]);
            s0 = _mm_mul_ps(s0, r);
            s1 = _mm_mul_ps(s1, r);
        }
        _mm_storeu_ps(&w.x[i][0], s0);
        _mm_storeu_ps(&w.x[i][4], s1);
    }
}

template <>
void multiply<float, 8>(const Block<float> &blk, float alpha, Vecs<float, 8> &w)
{
    const int n = blk.order;
    const __m128 al = _mm_set1_ps(alpha);
    for (int t = 0; t < n; ++t) {
        const int i = blk.upper ? t : n - 1 - t;
        const int k0 = blk.upper ? i + 1 : 0, k1 = blk.upper ? n : i;
        __m128 s0 = _mm_loadu_ps(&w.x[i][0]), s1 = _mm_loadu_ps(&w.x[i][4]);
        if (!blk.unit) {
            const __m128 d = _mm_set1_ps(blk.d[i]);
            s0 = _mm_mul_ps(d, s0);
            s1 = _mm_mul_ps(d, s1);
        }
        for (int k = k0; k < k1; ++k) {
            const __m128 mik = _mm_set1_ps(blk.m[i][k]);
            s0 = _mm_add_ps(s0, _mm_mul_ps(mik, _mm_loadu_ps(&w.x[k][0])));
            s1 = _mm_add_ps(s1, _mm_mul_ps(mik, _mm_loadu_ps(&w.x[k][4])));
        }
        _mm_storeu_ps(&w.x[i][0], _mm_mul_ps(al, s0));
        _mm_storeu_ps(&w.x[i][4], _mm_mul_ps(al, s1));
    }
}

// Single complex, four vectors: each row of them is two registers of
// interleaved (re, im) pairs; m·x = re(m)·x + im(m)·(-im x, re x), the
// same products and sums as the scalar form.
inline __m128 cmul(__m128 mr, __m128 mi_signed, __m128 x)
{
    return _mm_add_ps(_mm_mul_ps(mr, x), _mm_mul_ps(mi_signed, _mm_shuffle_ps(x, x, _MM_SHUFFLE(2, 3, 0, 1))));
}
inline void cbroadcast(float re, float im, __m128 &mr, __m128 &mi_signed)
{
    mr = _mm_set1_ps(re);
    mi_signed = _mm_setr_ps(-im, im, -im, im);
}

template <>
void solve<ZEM_Complex8, 4>(const Block<ZEM_Complex8> &blk, Vecs<ZEM_Complex8, 4> &w)
{
    const int n = blk.order;
    for (int t = 0; t < n; ++t) {
        const int i = blk.upper ? n - 1 - t : t;
        const int k0 = blk.upper ? i + 1 : 0, k1 = blk.upper ? n : i;
        float *xi = &w.x[i][0].real;
        __m128 s0 = _mm_loadu_ps(xi), s1 = _mm_loadu_ps(xi + 4), mr, mi;
        for (int k = k0; k < k1; ++k) {
            const float *xk = &w.x[k][0].real;
            cbroadcast(blk.m[i][k].real, blk.m[i][k].imag, mr, mi);
            s0 = _mm_sub_ps(s0, cmul(mr, mi, _mm_loadu_ps(xk)));
            s1 = _mm_sub_ps(s1, cmul(mr, mi, _mm_loadu_ps(xk + 4)));
        }
        if (!blk.unit) {
            cbroadcast(blk.d[i].re, blk.d[i].im, mr, mi);
            s0 = cmul(mr, mi, s0);
            s1 = cmul(mr, mi, s1);
        }
        _mm_storeu_ps(xi, s0);
        _mm_storeu_ps(xi + 4, s1);
    }
}

template <>
void multiply<ZEM_Complex8, 4>(const Block<ZEM_Complex8> &blk, zem_l2::cv<float> alpha, Vecs<ZEM_Complex8, 4> &w)
{
    const int n = blk.order;
    __m128 ar, ai, mr, mi;
    cbroadcast(alpha.re, alpha.im, ar, ai);
    for (int t = 0; t < n; ++t) {
        const int i = blk.upper ? t : n - 1 - t;
        const int k0 = blk.upper ? i + 1 : 0, k1 = blk.upper ? n : i;
        float *xi = &w.x[i][0].real;
        __m128 s0 = _mm_loadu_ps(xi), s1 = _mm_loadu_ps(xi + 4);
        if (!blk.unit) {
            cbroadcast(blk.d[i].re, blk.d[i].im, mr, mi);
            s0 = cmul(mr, mi, s0);
            s1 = cmul(mr, mi, s1);
        }
        for (int k = k0; k < k1; ++k) {
            const float *xk = &w.x[k][0].real;
            cbroadcast(blk.m[i][k].real, blk.m[i][k].imag, mr, mi);
            s0 = _mm_add_ps(s0, cmul(mr, mi, _mm_loadu_ps(xk)));
            s1 = _mm_add_ps(s1, cmul(mr, mi, _mm_loadu_ps(xk + 4)));
        }
        _mm_storeu_ps(xi, cmul(ar, ai, s0));
        _mm_storeu_ps(xi + 4, cmul(ar, ai, s1));
    }
}

template <class T, bool SOLVE>
void leaf(const char *side, const char *uplo, const char *transa, const char *diag, const int *m, const int *n,
          const T *alpha, const T *a, const int *lda, T *b, const int *ldb)
{
    const bool left = _ZEM_SERV_lsame(side, "L") != 0;
    const int order = left ? *m : *n;
    const ptrdiff_t count = left ? *n : *m;
    if (order <= 0 || count <= 0)
        return;
    const ptrdiff_t la = ld_of(lda), lb = ld_of(ldb);
    const ptrdiff_t es = left ? 1 : lb, vs = left ? lb : 1;
    Block<T> blk;
    load(blk, left, uplo, op_letter<T>(transa), _ZEM_SERV_lsame(diag, "N") == 0, SOLVE, order, a, la);
    const typename element<T>::value al = element<T>::load(*alpha); // products only
    constexpr int G = std::is_same<T, float>::value ? 8 : 4;
    ptrdiff_t v = 0;
    for (; v + G <= count; v += G) {
        Vecs<T, G> w;
        w.get(b + v * vs, order, es, vs);
        if (SOLVE)
            solve(blk, w);
        else
            multiply(blk, al, w);
        w.put(b + v * vs, order, es, vs);
    }
    for (; v < count; ++v) {
        Vecs<T, 1> w;
        w.get(b + v * vs, order, es, vs);
        if (SOLVE)
            solve(blk, w);
        else
            multiply(blk, al, w);
        w.put(b + v * vs, order, es, vs);
    }
}

} // namespace

template <class T>
void leaf_solve(const char *side, const char *uplo, const char *transa, const char *diag, const int *m, const int *n,
                const T *a, const int *lda, T *b, const int *ldb)
{
    const T unused{}; // a solve runs with alpha 1, applied by the driver
    leaf<T, true>(side, uplo, transa, diag, m, n, &unused, a, lda, b, ldb);
}

template <class T>
void leaf_multiply(const char *side, const char *uplo, const char *transa, const char *diag, const int *m,
                   const int *n, const T *alpha, const T *a, const int *lda, T *b, const int *ldb)
{
    leaf<T, false>(side, uplo, transa, diag, m, n, alpha, a, lda, b, ldb);
}

} // namespace zem_tri3

// The named leaves: one operation each, the case read from the options.
#define ZEM_TRSM_LEAF(name, T)                                                                            \
    extern "C" void name ZEM_P_TRMM(T, T)                                                                 \
    {                                                                                                     \
        (void)alpha;                                                                                      \
        zem_tri3::leaf_solve<T>(side, uplo, transa, diag, m, n, a, lda, b, ldb);                          \
    }
#define ZEM_TRMM_LEAF(name, T)                                                                            \
    extern "C" void name ZEM_P_TRMM(T, T)                                                                 \
    {                                                                                                     \
        zem_tri3::leaf_multiply<T>(side, uplo, transa, diag, m, n, alpha, a, lda, b, ldb);                \
    }
ZEM_TRSM_LEAF(_ZEM_BLAS_dtrsmlun, double)
ZEM_TRSM_LEAF(_ZEM_BLAS_dtrsmlln, double)
ZEM_TRSM_LEAF(_ZEM_BLAS_dtrsmlt, double)
ZEM_TRSM_LEAF(_ZEM_BLAS_dtrsmrn, double)
ZEM_TRSM_LEAF(_ZEM_BLAS_dtrsmrt, double)
ZEM_TRSM_LEAF(_ZEM_BLAS_strsm_i, float)
ZEM_TRSM_LEAF(_ZEM_BLAS_strsm_blk, float)
ZEM_TRSM_LEAF(_ZEM_BLAS_strsmlt, float)
ZEM_TRSM_LEAF(_ZEM_BLAS_ctrsm_i, ZEM_Complex8)
ZEM_TRSM_LEAF(_ZEM_BLAS_ztrsmlun, ZEM_Complex16)
ZEM_TRSM_LEAF(_ZEM_BLAS_ztrsmlln, ZEM_Complex16)
ZEM_TRSM_LEAF(_ZEM_BLAS_ztrsmlt, ZEM_Complex16)
ZEM_TRSM_LEAF(_ZEM_BLAS_ztrsmrn, ZEM_Complex16)
ZEM_TRSM_LEAF(_ZEM_BLAS_ztrsmrt, ZEM_Complex16)
ZEM_TRMM_LEAF(_ZEM_BLAS_dtrmln, double)
ZEM_TRMM_LEAF(_ZEM_BLAS_dtrmlt, double)
ZEM_TRMM_LEAF(_ZEM_BLAS_dtrmrn, double)
ZEM_TRMM_LEAF(_ZEM_BLAS_dtrmrt, double)
ZEM_TRMM_LEAF(_ZEM_BLAS_strmln, float)
ZEM_TRMM_LEAF(_ZEM_BLAS_strmlt, float)
ZEM_TRMM_LEAF(_ZEM_BLAS_strmm_inn, float)
ZEM_TRMM_LEAF(_ZEM_BLAS_ctrmln, ZEM_Complex8)
ZEM_TRMM_LEAF(_ZEM_BLAS_ctrmlt, ZEM_Complex8)
ZEM_TRMM_LEAF(_ZEM_BLAS_ctrmlc, ZEM_Complex8)
ZEM_TRMM_LEAF(_ZEM_BLAS_ctrmrn, ZEM_Complex8)
ZEM_TRMM_LEAF(_ZEM_BLAS_ctrmrt, ZEM_Complex8)
ZEM_TRMM_LEAF(_ZEM_BLAS_ctrmrc, ZEM_Complex8)
ZEM_TRMM_LEAF(_ZEM_BLAS_ztrmln, ZEM_Complex16)
ZEM_TRMM_LEAF(_ZEM_BLAS_ztrmlt, ZEM_Complex16)
ZEM_TRMM_LEAF(_ZEM_BLAS_ztrmlc, ZEM_Complex16)
ZEM_TRMM_LEAF(_ZEM_BLAS_ztrmrn, ZEM_Complex16)
ZEM_TRMM_LEAF(_ZEM_BLAS_ztrmrt, ZEM_Complex16)
ZEM_TRMM_LEAF(_ZEM_BLAS_ztrmrc, ZEM_Complex16)
