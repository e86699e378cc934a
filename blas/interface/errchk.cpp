// Argument checks of the level-2 and level-3 entries. Each family tests its
// arguments in increasing position; the first failure is reported through
// xerbla_ (interposable) with the blank-padded routine name, and the entry
// returns without calling the kernel.
#include <string.h>
#include "blas/interface/entry.h"

namespace {

bool opt(const char *c, char want) { return _ZEM_SERV_lsame(c, &want) != 0; }
bool bad_trans(const char *t) { return !opt(t, 'N') && !opt(t, 'T') && !opt(t, 'C'); }
bool bad_uplo(const char *u) { return !opt(u, 'U') && !opt(u, 'L'); }
bool bad_diag(const char *d) { return !opt(d, 'U') && !opt(d, 'N'); }
bool bad_side(const char *s) { return !opt(s, 'L') && !opt(s, 'R'); }
int max1(int v) { return v > 1 ? v : 1; }

// Returns 1 after reporting `code` for `name`, 0 when the code is 0.
int report(const char *name, int code)
{
    if (code == 0)
        return 0;
    char padded[8] = "      ";
    size_t n = strlen(name);
    memcpy(padded, name, n < 6 ? n : 6);
    xerbla_(padded, &code, 6);
    return 1;
}

typedef const int *I;
typedef const char *O;

int gemm(O ta, O tb, I m, I n, I k, I lda, I ldb, I ldc)
{
    if (bad_trans(ta)) return 1;
    if (bad_trans(tb)) return 2;
    if (*m < 0) return 3;
    if (*n < 0) return 4;
    if (*k < 0) return 5;
    int nrowa = opt(ta, 'N') ? *m : *k;
    int nrowb = opt(tb, 'N') ? *k : *n;
    if (*lda < max1(nrowa)) return 8;
    if (*ldb < max1(nrowb)) return 10;
    if (*ldc < max1(*m)) return 13;
    return 0;
}

int gemv(O t, I m, I n, I lda, I incx, I incy)
{
    if (bad_trans(t)) return 1;
    if (*m < 0) return 2;
    if (*n < 0) return 3;
    if (*lda < max1(*m)) return 6;
    if (*incx == 0) return 8;
    if (*incy == 0) return 11;
    return 0;
}

int gbmv(O t, I m, I n, I kl, I ku, I lda, I incx, I incy)
{
    if (bad_trans(t)) return 1;
    if (*m < 0) return 2;
    if (*n < 0) return 3;
    if (*kl < 0) return 4;
    if (*ku < 0) return 5;
    if (*lda < *kl + *ku + 1) return 8;
    if (*incx == 0) return 10;
    if (*incy == 0) return 13;
    return 0;
}

int ger(I m, I n, I incx, I incy, I lda)
{
    if (*m < 0) return 1;
    if (*n < 0) return 2;
    if (*incx == 0) return 5;
    if (*incy == 0) return 7;
    if (*lda < max1(*m)) return 9;
    return 0;
}

int symv(O u, I n, I lda, I incx, I incy)
{
    if (bad_uplo(u)) return 1;
    if (*n < 0) return 2;
    if (*lda < max1(*n)) return 5;
    if (*incx == 0) return 7;
    if (*incy == 0) return 10;
    return 0;
}

int sbmv(O u, I n, I k, I lda, I incx, I incy)
{
    if (bad_uplo(u)) return 1;
    if (*n < 0) return 2;
    if (*k < 0) return 3;
    if (*lda < *k + 1) return 6;
    if (*incx == 0) return 8;
    if (*incy == 0) return 11;
    return 0;
}

int spmv(O u, I n, I incx, I incy)
{
    if (bad_uplo(u)) return 1;
    if (*n < 0) return 2;
    if (*incx == 0) return 6;
    if (*incy == 0) return 9;
    return 0;
}

int syr(O u, I n, I incx, I lda)
{
    if (bad_uplo(u)) return 1;
    if (*n < 0) return 2;
    if (*incx == 0) return 5;
    if (*lda < max1(*n)) return 7;
    return 0;
}

int spr(O u, I n, I incx)
{
    if (bad_uplo(u)) return 1;
    if (*n < 0) return 2;
    if (*incx == 0) return 5;
    return 0;
}

int syr2(O u, I n, I incx, I incy, I lda)
{
    if (bad_uplo(u)) return 1;
    if (*n < 0) return 2;
    if (*incx == 0) return 5;
    if (*incy == 0) return 7;
    if (*lda < max1(*n)) return 9;
    return 0;
}

int spr2(O u, I n, I incx, I incy)
{
    if (bad_uplo(u)) return 1;
    if (*n < 0) return 2;
    if (*incx == 0) return 5;
    if (*incy == 0) return 7;
    return 0;
}

int trmv(O u, O t, O d, I n, I lda, I incx)
{
    if (bad_uplo(u)) return 1;
    if (bad_trans(t)) return 2;
    if (bad_diag(d)) return 3;
    if (*n < 0) return 4;
    if (*lda < max1(*n)) return 6;
    if (*incx == 0) return 8;
    return 0;
}

int tbmv(O u, O t, O d, I n, I k, I lda, I incx)
{
    if (bad_uplo(u)) return 1;
    if (bad_trans(t)) return 2;
    if (bad_diag(d)) return 3;
    if (*n < 0) return 4;
    if (*k < 0) return 5;
    if (*lda < *k + 1) return 7;
    if (*incx == 0) return 9;
    return 0;
}

int tpmv(O u, O t, O d, I n, I incx)
{
    if (bad_uplo(u)) return 1;
    if (bad_trans(t)) return 2;
    if (bad_diag(d)) return 3;
    if (*n < 0) return 4;
    if (*incx == 0) return 7;
    return 0;
}

int trmm(O side, O u, O ta, O d, I m, I n, I lda, I ldb)
{
    if (bad_side(side)) return 1;
    if (bad_uplo(u)) return 2;
    if (bad_trans(ta)) return 3;
    if (bad_diag(d)) return 4;
    if (*m < 0) return 5;
    if (*n < 0) return 6;
    if (*lda < max1(opt(side, 'L') ? *m : *n)) return 9;
    if (*ldb < max1(*m)) return 11;
    return 0;
}

int symm(O side, O u, I m, I n, I lda, I ldb, I ldc)
{
    if (bad_side(side)) return 1;
    if (bad_uplo(u)) return 2;
    if (*m < 0) return 3;
    if (*n < 0) return 4;
    if (*lda < max1(opt(side, 'L') ? *m : *n)) return 7;
    if (*ldb < max1(*m)) return 9;
    if (*ldc < max1(*m)) return 12;
    return 0;
}

// The transposition a rank-k update accepts besides N: T and C for real
// data, T for complex symmetric, C for Hermitian.
enum class KTrans { real, sym, herm };

bool bad_ktrans(O t, KTrans kind)
{
    if (opt(t, 'N')) return false;
    switch (kind) {
    case KTrans::real: return !opt(t, 'T') && !opt(t, 'C');
    case KTrans::sym: return !opt(t, 'T');
    case KTrans::herm: return !opt(t, 'C');
    }
    return true;
}

int syrk(KTrans kind, O u, O t, I n, I k, I lda, I ldc)
{
    if (bad_uplo(u)) return 1;
    if (bad_ktrans(t, kind)) return 2;
    if (*n < 0) return 3;
    if (*k < 0) return 4;
    if (*lda < max1(opt(t, 'N') ? *n : *k)) return 7;
    if (*ldc < max1(*n)) return 10;
    return 0;
}

int syr2k(KTrans kind, O u, O t, I n, I k, I lda, I ldb, I ldc)
{
    if (bad_uplo(u)) return 1;
    if (bad_ktrans(t, kind)) return 2;
    if (*n < 0) return 3;
    if (*k < 0) return 4;
    int nrowa = opt(t, 'N') ? *n : *k;
    if (*lda < max1(nrowa)) return 7;
    if (*ldb < max1(nrowa)) return 9;
    if (*ldc < max1(*n)) return 12;
    return 0;
}

// The arguments each family reads, named as in the shapes' parameter lists.
#define ZEM_CHECK_gemm gemm(transa, transb, m, n, k, lda, ldb, ldc)
#define ZEM_CHECK_gemv gemv(trans, m, n, lda, incx, incy)
#define ZEM_CHECK_gbmv gbmv(trans, m, n, kl, ku, lda, incx, incy)
#define ZEM_CHECK_ger ger(m, n, incx, incy, lda)
#define ZEM_CHECK_symv symv(uplo, n, lda, incx, incy)
#define ZEM_CHECK_sbmv sbmv(uplo, n, k, lda, incx, incy)
#define ZEM_CHECK_spmv spmv(uplo, n, incx, incy)
#define ZEM_CHECK_syr syr(uplo, n, incx, lda)
#define ZEM_CHECK_spr spr(uplo, n, incx)
#define ZEM_CHECK_syr2 syr2(uplo, n, incx, incy, lda)
#define ZEM_CHECK_spr2 spr2(uplo, n, incx, incy)
#define ZEM_CHECK_trmv trmv(uplo, trans, diag, n, lda, incx)
#define ZEM_CHECK_tbmv tbmv(uplo, trans, diag, n, k, lda, incx)
#define ZEM_CHECK_tpmv tpmv(uplo, trans, diag, n, incx)
#define ZEM_CHECK_trmm trmm(side, uplo, transa, diag, m, n, lda, ldb)
#define ZEM_CHECK_symm symm(side, uplo, m, n, lda, ldb, ldc)
#define ZEM_CHECK_syrk_real syrk(KTrans::real, uplo, trans, n, k, lda, ldc)
#define ZEM_CHECK_syrk_sym syrk(KTrans::sym, uplo, trans, n, k, lda, ldc)
#define ZEM_CHECK_syrk_herm syrk(KTrans::herm, uplo, trans, n, k, lda, ldc)
#define ZEM_CHECK_syr2k_real syr2k(KTrans::real, uplo, trans, n, k, lda, ldb, ldc)
#define ZEM_CHECK_syr2k_sym syr2k(KTrans::sym, uplo, trans, n, k, lda, ldb, ldc)
#define ZEM_CHECK_syr2k_herm syr2k(KTrans::herm, uplo, trans, n, k, lda, ldb, ldc)

} // namespace

#define ZEM_ERRCHK_CK(UP, lo, SHAPE, T, R, chk)                                      \
    extern "C" ZEM_API int _ZEM_BLAS_errchk_##lo ZEM_P_##SHAPE(T, R)                 \
    {                                                                                \
        return report(#UP, ZEM_CHECK_##chk);                                         \
    }
#define ZEM_ERRCHK_L1(UP, lo, SHAPE, T, R, chk)
#define ZEM_ERRCHK_NF(UP, lo, SHAPE, T, R, chk)
#define ZEM_ROUTINE(have, kind, UP, lo, RET, SHAPE, T, R, chk) ZEM_ERRCHK_##kind(UP, lo, SHAPE, T, R, chk)
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include "zem_blas.def"
#undef ZEM_ROUTINE
