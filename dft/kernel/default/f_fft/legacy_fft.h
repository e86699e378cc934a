// The fixed-argument FFT routines written once for both precisions and
// both data forms (interleaved complex, or real and imaginary parts in
// two arrays): the one-dimensional complex transform with its isign
// protocol, the two-dimensional complex transform, and the real
// transforms with their recombination.
#ifndef ZEM_DFT_LEGACY_FFT_H
#define ZEM_DFT_LEGACY_FFT_H

#include <omp.h>
#include <string.h>

#include "blas/interface/entry.h"
#include "dft/kernel/fft_kernels.h"
#include "zem_fft.h"

namespace zem_dft {

// Thresholds of the threading decision (log2 of the points).
constexpr int kMinParallelLg1D = 11;
constexpr int kMinParallelLg2D = 11;
int fft_pieces(int p);
int fft2d_threads(int lgm, int lgn, bool sized);

template <class T> struct Prec;
template <> struct Prec<float> {
    static void coef(int p, float *t) { _ZEM_DFT_coef4r22(p, t); }
    static void rec(int n, float *w) { _ZEM_DFT_csreccoef(n, w); }
    static void fwd(Buf<float> x, bool s, int p, const float *t, int P) { fwd_c(x, s, p, t, P); }
    static void bwd(Buf<float> x, bool s, int p, const float *t, float sc, int P) { bwd_c(x, s, p, t, sc, P); }
    static void bitrev(Buf<float> x, bool s, int p) { bitrev_c(x, s, p); }
    static void real_fwd(float *x, int n, const float *w) { real_fwd_c(x, n, real_pairs_c(w, n)); }
    static void real_bwd(float *x, int n, const float *w) { real_bwd_c(x, n, real_pairs_c(w, n)); }
    static void copy(int n, const float *x, int incx, float *y, int incy) { _ZEM_BLAS_scopy(&n, x, &incx, y, &incy); }
    static void copyc(int n, const float *x, int incx, float *y, int incy)
    {
        _ZEM_BLAS_ccopy(&n, (const ZEM_Complex8 *)x, &incx, (ZEM_Complex8 *)y, &incy);
    }
};
template <> struct Prec<double> {
    static void coef(int p, double *t) { _ZEM_DFT_coef4r22_z(p, t); }
    static void rec(int n, double *w) { _ZEM_DFT_zdreccoef(n, w); }
    static void fwd(Buf<double> x, bool s, int p, const double *t, int P) { fwd_z(x, s, p, t, P); }
    static void bwd(Buf<double> x, bool s, int p, const double *t, double sc, int P) { bwd_z(x, s, p, t, sc, P); }
    static void bitrev(Buf<double> x, bool s, int p) { bitrev_z(x, s, p); }
    static void real_fwd(double *x, int n, const double *w) { real_fwd_z(x, n, real_pairs_z(w, n)); }
    static void real_bwd(double *x, int n, const double *w) { real_bwd_z(x, n, real_pairs_z(w, n)); }
    static void copy(int n, const double *x, int incx, double *y, int incy) { _ZEM_BLAS_dcopy(&n, x, &incx, y, &incy); }
    static void copyc(int n, const double *x, int incx, double *y, int incy)
    {
        _ZEM_BLAS_zcopy(&n, (const ZEM_Complex16 *)x, &incx, (ZEM_Complex16 *)y, &incy);
    }
};

// Reals a complex table of 2^p points may take (its bound plus the room
// to reach a 32-byte boundary).
template <class T> inline size_t table_reals(int p)
{
    return zem_size_add(zem_size_mul(3, (size_t)1 << p), 32 + 32 / sizeof(T));
}

// The bytes of tables and per-thread rows, plus the room to reach a
// 32-byte boundary; SIZE_MAX when they do not fit.
template <class T> inline size_t tables_and_rows(size_t tables, size_t row, int threads)
{
    return zem_size_add(zem_size_mul(zem_size_add(tables, zem_size_mul(row, threads)), sizeof(T)), 32);
}

template <class T> inline T *align32(void *p)
{
    return (T *)(((uintptr_t)p + 31) & ~(uintptr_t)31);
}

// ---- one-dimensional complex --------------------------------------------------
template <class T>
void transform(Buf<T> x, bool split, int p, int isign, const T *tab, int pieces)
{
    if (isign < 0) {
        Prec<T>::fwd(x, split, p, tab, pieces);
        if (isign != -2)
            Prec<T>::bitrev(x, split, p);
    } else {
        if (isign != 2)
            Prec<T>::bitrev(x, split, p);
        Prec<T>::bwd(x, split, p, tab, (T)1 / (T)((ptrdiff_t)1 << p), pieces);
    }
}

template <class T>
void fft1d(Buf<T> x, bool split, int n, int isign, T *wsave)
{
    const int p = log2_exact(n);
    // With checking switched off, what the checks refuse still does nothing.
    if (p < 1 || isign < -2 || isign > 2 || wsave == nullptr)
        return;
    if (isign == 0) {
        Prec<T>::coef(p, wsave);
        return;
    }
    if (x.a == nullptr || (split && x.b == nullptr) || (int)wsave[0] != n)
        return;
    transform(x, split, p, isign, wsave, fft_pieces(p));
}

// ---- two-dimensional complex ----------------------------------------------------
// Rows are gathered kRowGroup at a time: the neighbouring rows' values share
// the cache lines the gather reads.
constexpr int kRowGroup = 4;

// g rows of n complex values: point j of row r has its real part at
// re[r sr + j ld] and its imaginary part at im[r sr + j ld].
template <class T> struct Rows {
    T *re, *im;
    ptrdiff_t sr, ld;
};

// Copies g rows into buf (row r at buf + 2nr, interleaved or split) or back.
template <class T>
void rows_io(const Rows<T> &s, int g, int n, T *buf, bool split, bool in)
{
    const ptrdiff_t d = split ? 1 : 2, im = split ? n : 1;
    for (ptrdiff_t j = 0; j < n; ++j) {
        const ptrdiff_t o = j * s.ld;
        for (int r = 0; r < g; ++r) {
            T *b = buf + 2 * (ptrdiff_t)n * r + j * d;
            if (in)
                b[0] = s.re[r * s.sr + o], b[im] = s.im[r * s.sr + o];
            else
                s.re[r * s.sr + o] = b[0], s.im[r * s.sr + o] = b[im];
        }
    }
}

// Gathers g rows, transforms each (2^ln points, isign, table tab), scatters.
template <class T>
void complex_rows(const Rows<T> &s, int g, int n, bool split, int ln, int isign, const T *tab, T *buf)
{
    rows_io(s, g, n, buf, split, true);
    for (int r = 0; r < g; ++r) {
        T *b = buf + 2 * (ptrdiff_t)n * r;
        transform(Buf<T>{b, split ? b + n : nullptr}, split, ln, isign, tab, 1);
    }
    rows_io(s, g, n, buf, split, false);
}

// Columns (m points, contiguous) then rows (n points at stride m, gathered
// into a buffer of the thread), in one parallel region when it pays.
template <class T>
void fft2d(Buf<T> x, bool split, int m, int n, int isign, const char *name)
{
    const int lm = log2_exact(m), ln = log2_exact(n);
    if (lm < 0 || ln < 0 || isign == 0 || isign < -2 || isign > 2)
        return;
    const int threads = fft2d_threads(lm, ln, true), g = m < kRowGroup ? m : kRowGroup;
    const size_t tm = table_reals<T>(lm), tn = table_reals<T>(ln), row = zem_size_add(zem_size_mul(2 * (size_t)n, g), 8);
    void *mem = zem_allocate(tables_and_rows<T>(zem_size_add(tm, tn), row, threads));
    if (mem == nullptr) {
        const int code = 0;
        xerbla_(name, &code, (int)strlen(name));
        return;
    }
    T *tabm = align32<T>(mem), *tabn = tabm + tm, *rows = tabn + tn;
    Prec<T>::coef(lm, tabm);
    Prec<T>::coef(ln, tabn);
    const ptrdiff_t cstride = split ? m : 2 * (ptrdiff_t)m; // reals from column to column
#pragma omp parallel num_threads(threads) if (threads > 1)
    {
        T *buf = rows + row * omp_get_thread_num();
#pragma omp for schedule(static)
        for (int j = 0; j < n; ++j)
            if (lm > 0)
                transform(Buf<T>{x.a + j * cstride, split ? x.b + j * cstride : nullptr}, split, lm, isign, tabm, 1);
#pragma omp for schedule(static)
        for (int i = 0; i < m; i += g) {
            if (ln == 0)
                continue;
            const Rows<T> r = split ? Rows<T>{x.a + i, x.b + i, 1, m} : Rows<T>{x.a + 2 * i, x.a + 2 * i + 1, 2, 2 * (ptrdiff_t)m};
            complex_rows(r, g, n, split, ln, isign, tabn, buf);
        }
    }
    _ZEM_SERV_deallocate(mem);
}

// ---- one-dimensional real ---------------------------------------------------------
// n + 2 reals at x: the n/2 complex transform with the table at wsave, then
// the recombination (forward); the mirror image backward.
template <class T>
void real1d(T *x, int p, bool forward, const T *wsave, int pieces)
{
    const int n = 1 << p;
    const Buf<T> z{x, nullptr};
    if (forward) {
        if (p >= 2)
            transform(z, false, p - 1, -1, wsave, pieces);
        Prec<T>::real_fwd(x, n, wsave);
    } else {
        Prec<T>::real_bwd(x, n, wsave);
        if (p >= 2)
            transform(z, false, p - 1, 1, wsave, pieces);
    }
}

template <class T>
void real_tables(int p, T *wsave)
{
    Prec<T>::coef(p - 1, wsave);
    Prec<T>::rec(1 << p, wsave);
}

// A real table built for n: n/2 in element 0 and in element 2n - 1.
template <class T> inline bool real_table_fits(const T *wsave, int n)
{
    return (int)wsave[0] == n / 2 && (int)wsave[2 * (ptrdiff_t)n - 1] == n / 2;
}

template <class T>
void real1d_entry(T *x, int n, int isign, T *wsave, bool forward)
{
    const int p = log2_exact(n);
    if (p < 1 || isign < -2 || isign > 2 || wsave == nullptr)
        return;
    if (isign == 0)
        real_tables(p, wsave);
    else if (x != nullptr && real_table_fits(wsave, n))
        real1d(x, p, forward, wsave, fft_pieces(p - 1));
}

// The split half spectrum: n + 2 reals through a temporary in the stored
// order (tmp holds n + 2 reals).
template <class T>
void real1d_split(T *x, int p, bool forward, const T *wsave, T *tmp, int pieces)
{
    const ptrdiff_t n = (ptrdiff_t)1 << p, h = n / 2 + 1;
    if (forward) {
        for (ptrdiff_t k = 0; k < n; ++k)
            tmp[k] = x[k];
        real1d(tmp, p, true, wsave, pieces);
        for (ptrdiff_t k = 0; k < h; ++k)
            x[k] = tmp[2 * k], x[h + k] = tmp[2 * k + 1];
    } else {
        for (ptrdiff_t k = 0; k < h; ++k)
            tmp[2 * k] = x[k], tmp[2 * k + 1] = x[h + k];
        real1d(tmp, p, false, wsave, pieces);
        for (ptrdiff_t k = 0; k < n; ++k)
            x[k] = tmp[k];
    }
}

template <class T>
void real1d_split_entry(T *x, int n, int isign, T *wsave, bool forward, const char *name)
{
    const int p = log2_exact(n);
    if (p < 1 || isign < -2 || isign > 2 || wsave == nullptr)
        return;
    if (isign == 0) {
        real_tables(p, wsave);
        return;
    }
    if (x == nullptr || !real_table_fits(wsave, n))
        return;
    void *mem = zem_allocate(zem_size_add(zem_size_mul((size_t)n + 2, sizeof(T)), 32));
    if (mem == nullptr) {
        const int code = 0;
        xerbla_(name, &code, (int)strlen(name));
        return;
    }
    real1d_split(x, p, forward, wsave, align32<T>(mem), fft_pieces(p - 1));
    _ZEM_SERV_deallocate(mem);
}

// ---- two-dimensional real ------------------------------------------------------------
// m x n reals, leading dimension m + 2. Columns first (forward), then the
// two real rows (frequencies 0 and m/2) and the complex rows; backward the
// other way round. Split: every column and the real rows keep real parts
// first, imaginary parts after them; complex row k has its real parts at
// element k and its imaginary parts at element m/2 + 1 + k.
template <class T>
void real2d(T *x, int m, int n, bool forward, bool split, const char *name)
{
    const int lm = log2_exact(m), ln = log2_exact(n);
    if (x == nullptr || lm < 0 || ln < 0)
        return;
    const int threads = fft2d_threads(lm, ln, false);
    const ptrdiff_t ld = (ptrdiff_t)m + 2;
    const size_t tm = 2 * (size_t)m + 16, tn = 2 * (size_t)n + 16;
    const size_t tc = table_reals<T>(ln); // complex rows
    // gather buffer (a group of complex rows or a real row), split temporary
    const size_t row = zem_size_add(zem_size_mul(2 * (size_t)n, kRowGroup + 1), zem_size_add(4 * (size_t)m, 48));
    void *mem = zem_allocate(tables_and_rows<T>(zem_size_add(zem_size_add(tm, tn), tc), row, threads));
    if (mem == nullptr) {
        const int code = 0;
        xerbla_(name, &code, (int)strlen(name));
        return;
    }
    T *tabm = align32<T>(mem), *tabn = tabm + tm, *tabc = tabn + tn, *rows = tabc + tc;
    Prec<T>::coef(ln, tabc);
    if (lm > 0)
        real_tables(lm, tabm);
    if (ln > 0)
        real_tables(ln, tabn);
    const int half = m / 2;
    // Row tasks: the real rows (0, and m/2 when m >= 2), then the complex rows.
    const int realRows = lm > 0 ? 2 : 1;
    const int groups = half > 1 ? (half - 1 + kRowGroup - 1) / kRowGroup : 0, tasks = ln > 0 ? realRows + groups : 0;
#pragma omp parallel num_threads(threads) if (threads > 1)
    {
        T *buf = rows + row * omp_get_thread_num(), *tmp = align32<T>(buf + 2 * (ptrdiff_t)n * kRowGroup + 4);
        auto column = [&](int j) {
            if (lm == 0)
                return;
            T *c = x + j * ld;
            if (split)
                real1d_split(c, lm, forward, tabm, tmp, 1);
            else
                real1d(c, lm, forward, tabm, 1);
        };
        auto row_task = [&](int t) {
            if (t < realRows) {
                // element of the column where the real row lives
                const ptrdiff_t e = t == 0 ? 0 : split ? half : m;
                if (forward) {
                    Prec<T>::copy(n, x + e, (int)ld, buf, 1);
                    if (split)
                        real1d_split(buf, ln, true, tabn, tmp, 1);
                    else
                        real1d(buf, ln, true, tabn, 1);
                    Prec<T>::copy(n + 2, buf, 1, x + e, (int)ld);
                } else {
                    Prec<T>::copy(n + 2, x + e, (int)ld, buf, 1);
                    if (split)
                        real1d_split(buf, ln, false, tabn, tmp, 1);
                    else
                        real1d(buf, ln, false, tabn, 1);
                    Prec<T>::copy(n, buf, 1, x + e, (int)ld);
                }
                return;
            }
            // complex rows k .. k + g - 1
            const int k = 1 + kRowGroup * (t - realRows), g = half - k < kRowGroup ? half - k : kRowGroup;
            const Rows<T> r = split ? Rows<T>{x + k, x + half + 1 + k, 1, ld} : Rows<T>{x + 2 * k, x + 2 * k + 1, 2, ld};
            complex_rows(r, g, n, split, ln, forward ? -1 : 1, tabc, buf);
        };
        if (forward) {
#pragma omp for schedule(static)
            for (int j = 0; j < n; ++j)
                column(j);
#pragma omp for schedule(static)
            for (int t = 0; t < tasks; ++t)
                row_task(t);
        } else {
#pragma omp for schedule(static)
            for (int t = 0; t < tasks; ++t)
                row_task(t);
#pragma omp for schedule(static)
            for (int j = 0; j < n; ++j)
                column(j);
        }
    }
    _ZEM_SERV_deallocate(mem);
}

} // namespace zem_dft

#endif
