#include "tests/reference/level3_ref.h"

#include <vector>

namespace l3_ref {

namespace {

cx sub(cx a, cx b)
{
    return cx{a.re - b.re, a.im - b.im};
}

cx div(cx a, cx b)
{
    const ld d = b.re * b.re + b.im * b.im;
    return cx{(a.re * b.re + a.im * b.im) / d, (a.im * b.re - a.re * b.im) / d};
}

// op(A) as a dense k x k matrix, zeros outside the triangle.
std::vector<cx> op_tri(char uplo, char op, char diag, int k, const cx *a, std::ptrdiff_t lda)
{
    std::vector<cx> t((size_t)k * k, cx{0, 0});
    for (int j = 0; j < k; ++j)
        for (int i = 0; i < k; ++i) {
            const bool in = uplo == 'U' ? i <= j : i >= j;
            if (!in)
                continue;
            cx v = i == j && diag == 'U' ? cx{1, 0} : a[i + j * lda];
            if (op == 'C')
                v.im = -v.im;
            if (op == 'N')
                t[i + (size_t)j * k] = v;
            else
                t[j + (size_t)i * k] = v;
        }
    return t;
}

// Element (i, j) of B, or of B^T for side R, so that both sides become
// "op(A) acting on columns".
cx &at(char side, cx *b, std::ptrdiff_t ldb, int i, int j)
{
    return side == 'L' ? b[i + j * ldb] : b[j + i * ldb];
}

} // namespace

void ref_trmm(char side, char uplo, char op, char diag, int m, int n, cx alpha, const cx *a, std::ptrdiff_t lda,
              cx *b, std::ptrdiff_t ldb)
{
    const int k = side == 'L' ? m : n, cols = side == 'L' ? n : m;
    std::vector<cx> t = op_tri(uplo, op, diag, k, a, lda);
    std::vector<cx> x(k);
    for (int j = 0; j < cols; ++j) {
        for (int i = 0; i < k; ++i)
            x[i] = at(side, b, ldb, i, j);
        for (int i = 0; i < k; ++i) {
            cx s{0, 0};
            for (int p = 0; p < k; ++p) {
                // side R: row x of B times op(A) is op(A)^T x
                const cx tv = side == 'L' ? t[i + (size_t)p * k] : t[p + (size_t)i * k];
                const cx prod = mul(tv, x[p]);
                s.re += prod.re;
                s.im += prod.im;
            }
            at(side, b, ldb, i, j) = mul(alpha, s);
        }
    }
}

void ref_trsm(char side, char uplo, char op, char diag, int m, int n, cx alpha, const cx *a, std::ptrdiff_t lda,
              cx *b, std::ptrdiff_t ldb)
{
    const int k = side == 'L' ? m : n, cols = side == 'L' ? n : m;
    std::vector<cx> t = op_tri(uplo, op, diag, k, a, lda);
    // the matrix acting on the vectors: op(A), or op(A)^T for side R
    auto s_at = [&](int i, int p) -> const cx & { return side == 'L' ? t[i + (size_t)p * k] : t[p + (size_t)i * k]; };
    // op(A) is upper when uplo 'U' meets op 'N' (or 'L' a transpose); side R
    // works with its transpose
    const bool upper = ((uplo == 'U') == (op == 'N')) == (side == 'L');
    std::vector<cx> x(k);
    for (int j = 0; j < cols; ++j) {
        for (int i = 0; i < k; ++i)
            x[i] = mul(alpha, at(side, b, ldb, i, j));
        for (int q = 0; q < k; ++q) {
            const int i = upper ? k - 1 - q : q;
            cx r = x[i];
            for (int p = upper ? i + 1 : 0; p < (upper ? k : i); ++p)
                r = sub(r, mul(s_at(i, p), x[p]));
            x[i] = div(r, s_at(i, i));
        }
        for (int i = 0; i < k; ++i)
            at(side, b, ldb, i, j) = x[i];
    }
}

} // namespace l3_ref
