// The double-complex ?gemv block kernels on the x87 unit (any increments):
// the same formulas as the generic kernels, arranged so that every value
// stays on the eight-register x87 stack. A pair of complex multipliers
// already takes four registers, so the real and the imaginary halves of a
// block run as two passes over its rows (the second reads the block from
// the first level cache), and the column sums take the values of x as
// memory operands.
#include "blas/kernel/default/level2/level2.h"

// Results leave the x87 registers one double at a time; pairing the stores
// through SSE registers (which the vectoriser would do on x86_64) only adds
// round trips through memory.
#pragma GCC optimize("no-tree-slp-vectorize")

namespace zem_l2 {

typedef long double X;

// y(i) := (a(i,0)·t0 + y(i)) + a(i,1)·t1 over rows 0..m-1 of the two
// columns at a0 and a0 + ld (ld and sy, the step of y, in bytes), the real
// half then the imaginary half of each row, each rounded when stored. The
// four parts of t0 and t1 stay in x87 registers, the products are formed
// from memory operands in the others (at most seven in use).
static inline void zpair(const double *a0, ptrdiff_t ld, double *y, ptrdiff_t sy, ptrdiff_t m, const X t[4])
{
    // stack at the row start: t0.re, t0.im, t1.re, t1.im
    __asm__ volatile("fldt %[t3]\n\tfldt %[t2]\n\tfldt %[t1]\n\tfldt %[t0]\n\t"
                     "test %[m], %[m]\n\tjle 2f\n\t"
                     "1:\n\t"
                     // re: ((ar0·tr0 - ai0·ti0) + yr) + (ar1·tr1 - ai1·ti1)
                     "fldl (%[a])\n\tfmul %%st(1), %%st\n\tfldl 8(%[a])\n\tfmul %%st(3), %%st\n\t"
                     "fsubrp %%st, %%st(1)\n\tfaddl (%[y])\n\t"
                     "fldl (%[a],%[ld],1)\n\tfmul %%st(4), %%st\n\tfldl 8(%[a],%[ld],1)\n\tfmul %%st(6), %%st\n\t"
                     "fsubrp %%st, %%st(1)\n\tfaddp %%st, %%st(1)\n\tfstpl (%[y])\n\t"
                     // im: ((ar0·ti0 + ai0·tr0) + yi) + (ar1·ti1 + ai1·tr1)
                     "fldl (%[a])\n\tfmul %%st(2), %%st\n\tfldl 8(%[a])\n\tfmul %%st(2), %%st\n\t"
                     "faddp %%st, %%st(1)\n\tfaddl 8(%[y])\n\t"
                     "fldl (%[a],%[ld],1)\n\tfmul %%st(5), %%st\n\tfldl 8(%[a],%[ld],1)\n\tfmul %%st(5), %%st\n\t"
                     "faddp %%st, %%st(1)\n\tfaddp %%st, %%st(1)\n\tfstpl 8(%[y])\n\t"
                     "add $16, %[a]\n\tadd %[sy], %[y]\n\tdec %[m]\n\tjnz 1b\n\t"
                     "2:\n\tfstp %%st(0)\n\tfstp %%st(0)\n\tfstp %%st(0)\n\tfstp %%st(0)\n\t"
                     : [a] "+r"(a0), [y] "+r"(y), [m] "+r"(m)
                     : [ld] "r"(ld), [sy] "r"(sy), [t0] "m"(t[0]), [t1] "m"(t[1]), [t2] "m"(t[2]), [t3] "m"(t[3])
                     : "st", "st(1)", "st(2)", "st(3)", "st(4)", "st(5)", "st(6)", "st(7)", "memory", "cc");
}

void zaxpy2_x87(ZEM_Complex16 *c, ptrdiff_t m, const ZEM_Complex16 *x, const ZEM_Complex16 *y, const X t[4])
{
    // x and y as the two columns of zpair, y at its byte distance from x
    zpair((const double *)x, (ptrdiff_t)((uintptr_t)y - (uintptr_t)x), (double *)c,
          (ptrdiff_t)sizeof(ZEM_Complex16), m, t);
}

// y(0..m) += alpha·A·x for columns in pairs: with t0 = alpha·x(j) and
// t1 = alpha·x(j+1), y(i) := (a(i,j)·t0 + y(i)) + a(i,j+1)·t1, each half
// rounded when stored; a last unpaired column alone.
void zgemv_n_x87(ptrdiff_t m, ptrdiff_t n, cv<X> alpha, const ZEM_Complex16 *a, ptrdiff_t lda,
                 const ZEM_Complex16 *x, ptrdiff_t incx, ZEM_Complex16 *y, ptrdiff_t incy)
{
    double *yd = (double *)y;
    const ptrdiff_t sy = 2 * incy;
    ptrdiff_t j = 0;
    for (; j + 2 <= n; j += 2) {
        const cv<X> t0 = alpha * cv<X>{x[j * incx].real, x[j * incx].imag};
        const cv<X> t1 = alpha * cv<X>{x[(j + 1) * incx].real, x[(j + 1) * incx].imag};
        const X t[4] = {t0.re, t0.im, t1.re, t1.im};
        zpair((const double *)(a + j * lda), lda * (ptrdiff_t)sizeof(ZEM_Complex16), yd,
              incy * (ptrdiff_t)sizeof(ZEM_Complex16), m, t);
    }
    if (j < n) {
        const cv<X> t0 = alpha * cv<X>{x[j * incx].real, x[j * incx].imag};
        const double *a0 = (const double *)(a + j * lda);
        for (ptrdiff_t i = 0; i < m; ++i) {
            double &v = yd[i * sy];
            v = (double)((a0[2 * i] * t0.re - a0[2 * i + 1] * t0.im) + v);
        }
        for (ptrdiff_t i = 0; i < m; ++i) {
            double &v = yd[i * sy + 1];
            v = (double)((a0[2 * i] * t0.im + a0[2 * i + 1] * t0.re) + v);
        }
    }
}

// The six sums over rows 0..m-1 of op(a(i,c))·x(i) for the three columns
// c = 0, 1, 2 at a0, a0 + ld, a0 + 2·ld (ld and sx, the step of x, in
// bytes): out = (re, im) of each, formed from 0 in row order. The sums stay
// in six x87 registers for the whole loop, the products are formed in the
// two others from memory operands (the compiler would keep x in registers
// and spill sums). conj(a)·x = (ar·xr + ai·xi, ar·xi - ai·xr),
// a·x = (ar·xr - ai·xi, ar·xi + ai·xr).
#define ZEM_Z87_PRODUCT(col, first, second, combine, acc)                                        \
    "fldl " col "\n\tfmull " first "\n\tfldl 8" col "\n\tfmull " second "\n\t" combine \
    " %%st, %%st(1)\n\tfaddp %%st, %%st(" acc ")\n\t"
#define ZEM_Z87_COLUMN(col, re, im, cjadd, cjsub)                          \
    ZEM_Z87_PRODUCT(col, "(%[x])", "8(%[x])", cjadd, re)                   \
    ZEM_Z87_PRODUCT(col, "8(%[x])", "(%[x])", cjsub, im)
#define ZEM_Z87_SUMS3(cjadd, cjsub)                                                                      \
    "fldz\n\tfldz\n\tfldz\n\tfldz\n\tfldz\n\tfldz\n\t"                                                 \
    "test %[m], %[m]\n\tjle 2f\n\t"                                                                     \
    "1:\n\t" ZEM_Z87_COLUMN("(%[a])", "1", "2", cjadd, cjsub)                                            \
    ZEM_Z87_COLUMN("(%[a],%[ld],1)", "3", "4", cjadd, cjsub)                                             \
    ZEM_Z87_COLUMN("(%[a],%[ld],2)", "5", "6", cjadd, cjsub)                                             \
    "add $16, %[a]\n\tadd %[sx], %[x]\n\tdec %[m]\n\tjnz 1b\n\t"                                          \
    "2:\n\tfstpt %[o0]\n\tfstpt %[o1]\n\tfstpt %[o2]\n\tfstpt %[o3]\n\tfstpt %[o4]\n\tfstpt %[o5]\n\t"

template <bool CJ>
static inline void zsums3(const double *a0, ptrdiff_t ld, const double *x, ptrdiff_t sx, ptrdiff_t m, X out[6])
{
    // re: ar·xr ∓ ai·xi, im: ar·xi ± ai·xr ("fsubrp" leaves st(1) - st(0))
    if (CJ)
        __asm__ volatile(ZEM_Z87_SUMS3("faddp", "fsubrp")
                         : [a] "+r"(a0), [x] "+r"(x), [m] "+r"(m), [o0] "=m"(out[0]), [o1] "=m"(out[1]),
                           [o2] "=m"(out[2]), [o3] "=m"(out[3]), [o4] "=m"(out[4]), [o5] "=m"(out[5])
                         : [ld] "r"(ld), [sx] "r"(sx)
                         : "st", "st(1)", "st(2)", "st(3)", "st(4)", "st(5)", "st(6)", "st(7)", "memory", "cc");
    else
        __asm__ volatile(ZEM_Z87_SUMS3("fsubrp", "faddp")
                         : [a] "+r"(a0), [x] "+r"(x), [m] "+r"(m), [o0] "=m"(out[0]), [o1] "=m"(out[1]),
                           [o2] "=m"(out[2]), [o3] "=m"(out[3]), [o4] "=m"(out[4]), [o5] "=m"(out[5])
                         : [ld] "r"(ld), [sx] "r"(sx)
                         : "st", "st(1)", "st(2)", "st(3)", "st(4)", "st(5)", "st(6)", "st(7)", "memory", "cc");
}
#undef ZEM_Z87_SUMS3
#undef ZEM_Z87_COLUMN
#undef ZEM_Z87_PRODUCT

// y(j) += s·alpha for the column sum s = (re, im), rounded when stored.
static inline void add_scaled(ZEM_Complex16 &y, X re, X im, cv<X> alpha)
{
    const cv<X> v = cv<X>{y.real, y.imag} + cv<X>{re, im} * alpha;
    y.real = (double)v.re;
    y.imag = (double)v.im;
}

// y(j) += alpha·sum over i of op(a(i,j))·x(i), each sum formed from 0 in row
// order (op: conj when CJ); y(j+1) is updated before y(j). Three columns at
// a time keep six sums in flight.
template <bool CJ>
void zgemv_t_x87(ptrdiff_t m, ptrdiff_t n, cv<X> alpha, const ZEM_Complex16 *a, ptrdiff_t lda,
                 const ZEM_Complex16 *x, ptrdiff_t incx, ZEM_Complex16 *y, ptrdiff_t incy)
{
    const double *xd = (const double *)x;
    const ptrdiff_t sx = 2 * incx;
    ptrdiff_t j = 0;
    for (; j + 3 <= n; j += 3) {
        X s[6];
        zsums3<CJ>((const double *)(a + j * lda), lda * (ptrdiff_t)sizeof(ZEM_Complex16), xd,
                   incx * (ptrdiff_t)sizeof(ZEM_Complex16), m, s);
        add_scaled(y[(j + 1) * incy], s[2], s[3], alpha);
        add_scaled(y[j * incy], s[0], s[1], alpha);
        add_scaled(y[(j + 2) * incy], s[4], s[5], alpha);
    }
    for (; j < n; ++j) {
        const double *a0 = (const double *)(a + j * lda);
        X r0 = 0, q0 = 0;
        for (ptrdiff_t i = 0; i < m; ++i) {
            const X xr = xd[i * sx], xi = xd[i * sx + 1];
            r0 = r0 + (CJ ? a0[2 * i] * xr + a0[2 * i + 1] * xi : a0[2 * i] * xr - a0[2 * i + 1] * xi);
            q0 = q0 + (CJ ? a0[2 * i] * xi - a0[2 * i + 1] * xr : a0[2 * i] * xi + a0[2 * i + 1] * xr);
        }
        add_scaled(y[j * incy], r0, q0, alpha);
    }
}

template void zgemv_t_x87<false>(ptrdiff_t, ptrdiff_t, cv<X>, const ZEM_Complex16 *, ptrdiff_t,
                                 const ZEM_Complex16 *, ptrdiff_t, ZEM_Complex16 *, ptrdiff_t);
template void zgemv_t_x87<true>(ptrdiff_t, ptrdiff_t, cv<X>, const ZEM_Complex16 *, ptrdiff_t,
                                const ZEM_Complex16 *, ptrdiff_t, ZEM_Complex16 *, ptrdiff_t);

} // namespace zem_l2
