// Plain long-double references for the symmetric and Hermitian level-3
// routines and the plane-rotation sequences.
#include "tests/reference/level3_sym_ref.h"

#include <cmath>
#include <vector>

namespace l3s_ref {

namespace {

ld mag_of(cx a) { return std::fabs(a.re) + std::fabs(a.im); }
bool is(cx a, ld re) { return a.re == re && a.im == 0; }

// Element (i, p) of op(M), M stored with leading dimension ld.
cx op_at(char trans, const cx *m, std::ptrdiff_t ld, int i, int p)
{
    if (trans == 'N')
        return m[i + p * ld];
    const cx v = m[p + i * ld];
    return trans == 'C' ? conj(v) : v;
}

} // namespace

void rank_update(char uplo, char trans, bool two, bool herm, int n, int k, cx alpha, const cx *a, std::ptrdiff_t lda,
                 const cx *b, std::ptrdiff_t ldb, cx beta, cx *c, std::ptrdiff_t ldc, ld *mag)
{
    if (n <= 0 || ((is(alpha, 0) || k == 0) && is(beta, 1)))
        return;
    const bool up = uplo == 'U';
    const cx alpha2 = herm ? conj(alpha) : alpha;
    for (int j = 0; j < n; ++j)
        for (int i = up ? 0 : j; i < (up ? j + 1 : n); ++i) {
            cx s{0, 0};
            ld m = 0;
            auto term = [&](cx al, const cx *x, std::ptrdiff_t ldx, const cx *y, std::ptrdiff_t ldy) {
                cx t{0, 0};
                ld tm = 0;
                for (int p = 0; p < k; ++p) {
                    const cx u = op_at(trans, x, ldx, i, p);
                    cx v = op_at(trans, y, ldy, j, p);
                    if (herm)
                        v = conj(v);
                    const cx uv = mul(u, v);
                    t.re += uv.re;
                    t.im += uv.im;
                    tm += mag_of(u) * mag_of(v);
                }
                t = mul(al, t);
                s.re += t.re;
                s.im += t.im;
                m += mag_of(al) * tm;
            };
            if (!is(alpha, 0)) { // alpha = 0 does not read A or B
                term(alpha, a, lda, two ? b : a, two ? ldb : lda);
                if (two)
                    term(alpha2, b, ldb, a, lda);
            }
            cx &cij = c[i + j * ldc];
            cx old = is(beta, 0) ? cx{0, 0} : cij;
            if (herm && i == j)
                old.im = 0;
            const cx bc = is(beta, 0) ? cx{0, 0} : mul(beta, old);
            cij = {s.re + bc.re, s.im + bc.im};
            if (herm && i == j)
                cij.im = 0;
            mag[i + j * ldc] = m + mag_of(beta) * mag_of(old);
        }
}

void symm(char side, char uplo, bool herm, int m, int n, cx alpha, const cx *a, std::ptrdiff_t lda, const cx *b,
          std::ptrdiff_t ldb, cx beta, cx *c, std::ptrdiff_t ldc, ld *mag)
{
    const bool left = side == 'L', up = uplo == 'U';
    const int na = left ? m : n;
    auto a_at = [&](int i, int j) {
        const bool stored = up ? i <= j : i >= j;
        cx v = stored ? a[i + j * lda] : a[j + i * lda];
        if (herm && !stored)
            v = conj(v);
        if (herm && i == j)
            v.im = 0;
        return v;
    };
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < m; ++i) {
            cx s{0, 0};
            ld sm = 0;
            for (int p = 0; p < (is(alpha, 0) ? 0 : na); ++p) { // alpha = 0: A, B unread
                const cx x = left ? a_at(i, p) : b[i + p * ldb];
                const cx y = left ? b[p + j * ldb] : a_at(p, j);
                const cx xy = mul(x, y);
                s.re += xy.re;
                s.im += xy.im;
                sm += mag_of(x) * mag_of(y);
            }
            s = mul(alpha, s);
            cx &cij = c[i + j * ldc];
            const cx old = is(beta, 0) ? cx{0, 0} : cij;
            const cx bc = mul(beta, old);
            mag[i + j * ldc] = mag_of(alpha) * sm + mag_of(beta) * mag_of(old);
            cij = {s.re + bc.re, s.im + bc.im};
        }
}

void lasr(char pivot, char direct, int m, int n, const ld *c, const ld *s, cx *a, std::ptrdiff_t lda)
{
    if (m < 2 || n < 1)
        return;
    for (int step = 0; step < m - 1; ++step) {
        const int k = direct == 'F' ? step : m - 2 - step; // 0-based rotation index
        // the rows the rotation mixes: the first takes s·(second) + c·(first)
        int r1, r2;
        if (pivot == 'V')
            r1 = k, r2 = k + 1;
        else if (pivot == 'T')
            r1 = 0, r2 = k + 1;
        else
            r1 = k, r2 = m - 1;
        for (int j = 0; j < n; ++j) {
            cx &x = a[r1 + j * lda], &y = a[r2 + j * lda];
            const cx x0 = x, y0 = y;
            if (pivot == 'B') {
                // (row k, row m) := (c·a_k + s·a_m, c·a_m - s·a_k)
                x = {c[k] * x0.re + s[k] * y0.re, c[k] * x0.im + s[k] * y0.im};
                y = {c[k] * y0.re - s[k] * x0.re, c[k] * y0.im - s[k] * x0.im};
            } else {
                // (row r1, row r2) := (s·a_r2 + c·a_r1, c·a_r2 - s·a_r1)
                x = {s[k] * y0.re + c[k] * x0.re, s[k] * y0.im + c[k] * x0.im};
                y = {c[k] * y0.re - s[k] * x0.re, c[k] * y0.im - s[k] * x0.im};
            }
        }
    }
}

} // namespace l3s_ref
