// What every BLAS kernel (levels 1, 2 and 3) knows about its data, in one
// place: the element traits of the four data types (component type,
// working type, complex or not, loads and stores in the working type), the
// start of a vector walked with a negative increment, the decoding of the
// option letters, and the prefetch helper.
#ifndef ZEM_BLAS_KERNEL_ELEMENT_H
#define ZEM_BLAS_KERNEL_ELEMENT_H

#include <stddef.h>
#include <stdint.h>

#include "zem_blas.h"

namespace zem_kernel {

// The x87 extended format: double-precision data are computed in it and
// rounded when stored.
typedef long double xreal;

// ---- element traits --------------------------------------------------------

// A complex value of the working type, (re, im).
template <class A>
struct cv {
    A re, im;
};

template <class A>
static inline cv<A> operator+(cv<A> a, cv<A> b) { return {a.re + b.re, a.im + b.im}; }
template <class A>
static inline cv<A> operator-(cv<A> a, cv<A> b) { return {a.re - b.re, a.im - b.im}; }
template <class A>
static inline cv<A> operator*(cv<A> a, cv<A> b) { return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re}; }
template <class A>
static inline cv<A> operator*(cv<A> a, A r) { return {a.re * r, a.im * r}; }

// element<T>: comp, the component type of the storage (float or double);
// work, the type the kernels compute in (single precision stays single,
// double precision is computed in extended precision); value, a working
// value (work, or a cv<work> pair for complex data); is_complex; load and
// store between an element and a working value (store rounds), and one.
template <class T>
struct element;

template <class T, class W>
struct real_element {
    typedef T comp;
    typedef W work;
    typedef W value;
    static const bool is_complex = false;
    static value load(const T &p) { return p; }
    static void store(T &p, value v) { p = (T)v; }
    static value one() { return 1; }
};
template <class T, class R, class W>
struct complex_element {
    typedef R comp;
    typedef W work;
    typedef cv<W> value;
    static const bool is_complex = true;
    static value load(const T &p) { return {p.real, p.imag}; }
    static void store(T &p, value v)
    {
        p.real = (R)v.re;
        p.imag = (R)v.im;
    }
    static value one() { return {1, 0}; }
};

template <>
struct element<float> : real_element<float, float> {};
template <>
struct element<double> : real_element<double, xreal> {};
template <>
struct element<ZEM_Complex8> : complex_element<ZEM_Complex8, float, float> {};
template <>
struct element<ZEM_Complex16> : complex_element<ZEM_Complex16, double, xreal> {};

// ---- vectors ---------------------------------------------------------------

// Offset (in elements) of element 1 of an n-element vector with increment
// inc: a negative increment starts at the far end, (1 - n)·inc.
static inline ptrdiff_t first_offset(ptrdiff_t n, ptrdiff_t inc)
{
    return inc < 0 ? (1 - n) * inc : 0;
}

// Element 1 of such a vector stored from base.
template <class T>
static inline T *first_element(T *base, ptrdiff_t n, ptrdiff_t inc)
{
    return base + first_offset(n, inc);
}

// ---- option letters ----------------------------------------------------------
// Only the first character counts, in either case.

static inline bool is_letter(const char *c, char upper)
{
    return *c == upper || *c == upper - 'A' + 'a';
}
static inline bool is_upper(const char *c) { return is_letter(c, 'U'); }
static inline bool is_notrans(const char *c) { return is_letter(c, 'N'); }
static inline bool is_conjtrans(const char *c) { return is_letter(c, 'C'); }
static inline bool is_nonunit(const char *c) { return is_letter(c, 'N'); }

// op(X) of a matrix operand: X, its transpose or its conjugate transpose.
namespace op {
enum Op { N = 0, T = 1, C = 2 };
}
using op::Op;

// The matrix-multiply decoding: 'N' X, 'T' the transpose, any other letter
// the conjugate transpose (which real data treat as the transpose).
static inline Op op_of(char t)
{
    return is_letter(&t, 'N') ? op::N : is_letter(&t, 'T') ? op::T : op::C;
}

// ---- prefetch ----------------------------------------------------------------

// Fetches the cache line of base[off] ahead of its use: into every cache
// level, or (Stream) past the caches that a single pass would only pollute.
// The address is formed as an integer, so no out-of-range pointer is ever
// computed, and the instruction is an asm statement that the compiler
// keeps where it is written (it has been seen to drop prefetch intrinsics
// whose addresses it cannot relate to any later access). A prefetch never
// faults.
// The body of an x87 loop over groups of four doubles at %[p] (count in
// %[g]), for accumulators kept on the x87 stack: each element is loaded,
// transformed by OP (an x87 instruction on st(0), with its "\n\t") and
// added into the accumulator at st(A1) ... st(A4) as seen after the load.
// The loop reads 512 bytes ahead.
#define ZEM_X87_GROUPS4(OP, A1, A2, A3, A4)                                 \
    "1:\n\t"                                                                 \
    "prefetcht0 512(%[p])\n\t"                                              \
    "fldl (%[p])\n\t" OP "faddp %%st, %%st(" #A1 ")\n\t"                      \
    "fldl 8(%[p])\n\t" OP "faddp %%st, %%st(" #A2 ")\n\t"                     \
    "fldl 16(%[p])\n\t" OP "faddp %%st, %%st(" #A3 ")\n\t"                    \
    "fldl 24(%[p])\n\t" OP "faddp %%st, %%st(" #A4 ")\n\t"                    \
    "add $32, %[p]\n\t"                                                      \
    "dec %[g]\n\t"                                                           \
    "jnz 1b\n\t"
#define ZEM_X87_CLOBBERS "st", "st(1)", "st(2)", "st(3)", "st(4)", "st(5)", "st(6)", "st(7)", "cc"

enum PrefetchHint { Keep, Stream };

template <PrefetchHint H = Keep, class T>
static inline __attribute__((always_inline)) void prefetch(const T *base, ptrdiff_t off = 0)
{
    const char *p = (const char *)((uintptr_t)base + (uintptr_t)(off * (ptrdiff_t)sizeof(T)));
    if (H == Stream)
        __asm__ volatile("prefetchnta %0" : : "m"(*p));
    else
        __asm__ volatile("prefetcht0 %0" : : "m"(*p));
}

} // namespace zem_kernel

#endif
