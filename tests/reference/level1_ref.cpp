#include "tests/reference/level1_ref.h"

namespace l1_ref {

namespace {

ld magnitude(const cx &v) { return zem_ref::cabs(v).re; }

} // namespace

void axpy(int n, cx alpha, const cx *x, int incx, cx *y, int incy)
{
    for (int i = 0; i < n; ++i) {
        const cx &a = x[at(n, incx, i)];
        cx &b = y[at(n, incy, i)];
        ld re = b.re + (alpha.re * a.re - alpha.im * a.im);
        ld im = b.im + (alpha.re * a.im + alpha.im * a.re);
        b.re = re;
        b.im = im;
    }
}

void scal(int n, cx alpha, cx *x, int incx)
{
    for (int i = 0; i < n; ++i) {
        cx &a = x[at(n, incx, i)];
        ld re = alpha.re * a.re - alpha.im * a.im;
        ld im = alpha.re * a.im + alpha.im * a.re;
        a.re = re;
        a.im = im;
    }
}

void copy(int n, const cx *x, int incx, cx *y, int incy)
{
    for (int i = 0; i < n; ++i)
        y[at(n, incy, i)] = x[at(n, incx, i)];
}

void swap(int n, cx *x, int incx, cx *y, int incy)
{
    for (int i = 0; i < n; ++i) {
        cx t = x[at(n, incx, i)];
        x[at(n, incx, i)] = y[at(n, incy, i)];
        y[at(n, incy, i)] = t;
    }
}

cx dot(int n, const cx *x, int incx, const cx *y, int incy, bool conj, cx start)
{
    cx s = start;
    for (int i = 0; i < n; ++i) {
        cx a = x[at(n, incx, i)];
        const cx &b = y[at(n, incy, i)];
        if (conj)
            a.im = -a.im;
        s.re += a.re * b.re - a.im * b.im;
        s.im += a.re * b.im + a.im * b.re;
    }
    return s;
}

ld asum(int n, const cx *x, int incx)
{
    ld s = 0;
    for (int i = 0; i < n; ++i)
        s += magnitude(x[at(n, incx, i)]);
    return s;
}

int iamax(int n, const cx *x, int incx)
{
    if (n < 1 || incx < 1)
        return 0;
    int best = 0;
    for (int i = 1; i < n; ++i)
        if (magnitude(x[(std::ptrdiff_t)i * incx]) > magnitude(x[(std::ptrdiff_t)best * incx]))
            best = i;
    return best + 1;
}

int iamin(int n, const cx *x, int incx)
{
    if (n < 1 || incx < 1)
        return 0;
    int best = 0;
    for (int i = 1; i < n; ++i)
        if (magnitude(x[(std::ptrdiff_t)i * incx]) < magnitude(x[(std::ptrdiff_t)best * incx]))
            best = i;
    return best + 1;
}

} // namespace l1_ref
