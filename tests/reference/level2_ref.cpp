// Plain long-double references for the matrix-vector routines.
#include "tests/reference/level2_ref.h"

#include <cmath>

namespace l2_ref {

static cx zero() { return {0, 0}; }

mat from_band(int m, int n, int kl, int ku, const cx *ab, int ldab)
{
    mat a((size_t)m * n, zero());
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < m; ++i)
            if (i - j <= kl && j - i <= ku)
                a[i + (size_t)j * m] = ab[(ku + i - j) + (size_t)j * ldab];
    return a;
}

// Element (i, j) of the stored triangle through get(i, j), mirrored.
template <class G>
static mat sym_from(char uplo, int n, bool herm, G get)
{
    mat a((size_t)n * n, zero());
    bool up = uplo == 'U' || uplo == 'u';
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            bool stored = up ? i <= j : i >= j;
            cx v = stored ? get(i, j) : get(j, i);
            if (!stored && herm)
                v = conj(v);
            if (i == j && herm)
                v.im = 0;
            a[i + (size_t)j * n] = v;
        }
    return a;
}

mat from_sym(char uplo, int n, const cx *a, int lda, bool herm)
{
    return sym_from(uplo, n, herm, [&](int i, int j) { return a[i + (size_t)j * lda]; });
}

mat from_sym_band(char uplo, int n, int k, const cx *ab, int ldab, bool herm)
{
    bool up = uplo == 'U' || uplo == 'u';
    return sym_from(uplo, n, herm, [&](int i, int j) {
        int d = i > j ? i - j : j - i;
        if (d > k)
            return zero();
        return up ? ab[(k + i - j) + (size_t)j * ldab] : ab[(i - j) + (size_t)j * ldab];
    });
}

// Offset of (i, j) of the stored triangle in packed storage, counting the
// elements of the earlier columns one by one.
static size_t packed_at(bool up, int n, int i, int j)
{
    size_t off = 0;
    for (int c = 0; c < j; ++c)
        off += up ? (size_t)(c + 1) : (size_t)(n - c);
    return off + (up ? (size_t)i : (size_t)(i - j));
}

mat from_sym_packed(char uplo, int n, const cx *ap, bool herm)
{
    bool up = uplo == 'U' || uplo == 'u';
    return sym_from(uplo, n, herm, [&](int i, int j) { return ap[packed_at(up, n, i, j)]; });
}

template <class G>
static mat tri_from(char uplo, char diag, int n, G get)
{
    mat a((size_t)n * n, zero());
    bool up = uplo == 'U' || uplo == 'u', unit = diag == 'U' || diag == 'u';
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            if (i == j)
                a[i + (size_t)j * n] = unit ? cx{1, 0} : get(i, j);
            else if (up ? i < j : i > j)
                a[i + (size_t)j * n] = get(i, j);
        }
    return a;
}

mat from_tri(char uplo, char diag, int n, const cx *a, int lda)
{
    return tri_from(uplo, diag, n, [&](int i, int j) { return a[i + (size_t)j * lda]; });
}

mat from_tri_band(char uplo, char diag, int n, int k, const cx *ab, int ldab)
{
    bool up = uplo == 'U' || uplo == 'u';
    return tri_from(uplo, diag, n, [&](int i, int j) {
        int d = i > j ? i - j : j - i;
        if (d > k)
            return zero();
        return up ? ab[(k + i - j) + (size_t)j * ldab] : ab[(i - j) + (size_t)j * ldab];
    });
}

mat from_tri_packed(char uplo, char diag, int n, const cx *ap)
{
    bool up = uplo == 'U' || uplo == 'u';
    return tri_from(uplo, diag, n, [&](int i, int j) { return ap[packed_at(up, n, i, j)]; });
}

mat op(char trans, int m, int n, const mat &a)
{
    if (trans == 'N' || trans == 'n')
        return a;
    bool c = trans == 'C' || trans == 'c';
    mat t((size_t)m * n);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < m; ++i) {
            cx v = a[i + (size_t)j * m];
            t[j + (size_t)i * n] = c ? conj(v) : v;
        }
    return t;
}

void matvec(int rows, int cols, cx alpha, const mat &a, const cx *x, cx beta, cx *y)
{
    bool beta0 = beta.re == 0 && beta.im == 0;
    for (int i = 0; i < rows; ++i) {
        cx s = zero();
        for (int j = 0; j < cols; ++j)
            s = add(s, mul(a[i + (size_t)j * rows], x[j]));
        cx r = mul(alpha, s);
        y[i] = beta0 ? r : add(r, mul(beta, y[i]));
    }
}

void trisolve(bool lower, int n, const mat &a, cx *x)
{
    for (int step = 0; step < n; ++step) {
        int i = lower ? step : n - 1 - step;
        cx s = x[i];
        for (int j = 0; j < n; ++j)
            if (lower ? j < i : j > i)
                s = add(s, mul({-1, 0}, mul(a[i + (size_t)j * n], x[j])));
        cx d = a[i + (size_t)i * n];
        ld den = d.re * d.re + d.im * d.im;
        x[i] = {(s.re * d.re + s.im * d.im) / den, (s.im * d.re - s.re * d.im) / den};
    }
}

void rank1(int m, int n, cx alpha, const cx *x, const cx *y, bool conj_y, mat &a)
{
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < m; ++i) {
            cx yj = conj_y ? conj(y[j]) : y[j];
            a[i + (size_t)j * m] = add(a[i + (size_t)j * m], mul(alpha, mul(x[i], yj)));
        }
}

} // namespace l2_ref
