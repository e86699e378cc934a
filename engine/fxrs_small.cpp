// Fixed kernels for N = 1, 2, 4, 8 and their scaling forms. Every kernel
// reads all its inputs before writing, so src may equal dst. The double
// kernels compute in extended precision.
#include "engine/fxrs_internal.h"

namespace fxrs {
namespace {

template <typename A> struct Cx {
    A re, im;
};
template <typename A> inline Cx<A> add(Cx<A> a, Cx<A> b) { return {a.re + b.re, a.im + b.im}; }
template <typename A> inline Cx<A> sub(Cx<A> a, Cx<A> b) { return {a.re - b.re, a.im - b.im}; }
// times -i (forward) or +i (inverse)
template <bool Inv, typename A> inline Cx<A> rot(Cx<A> a)
{
    return Inv ? Cx<A>{-a.im, a.re} : Cx<A>{a.im, -a.re};
}

template <typename T, typename A, bool Norm, int N>
inline void load(const T *s, Cx<A> *x, T scale)
{
    for (int i = 0; i < N; ++i) {
        x[i] = {(A)s[2 * i], (A)s[2 * i + 1]};
        if (Norm) {
            x[i].re *= (A)scale;
            x[i].im *= (A)scale;
        }
    }
}

template <typename T, typename A, int N> inline void store(T *d, const Cx<A> *y)
{
    for (int i = 0; i < N; ++i) {
        d[2 * i] = (T)y[i].re;
        d[2 * i + 1] = (T)y[i].im;
    }
}

template <bool Inv, typename A> inline void dft4(const Cx<A> *x, Cx<A> *y)
{
    Cx<A> a = add(x[0], x[2]), b = sub(x[0], x[2]);
    Cx<A> c = add(x[1], x[3]), d = rot<Inv>(sub(x[1], x[3]));
    y[0] = add(a, c);
    y[2] = sub(a, c);
    y[1] = add(b, d);
    y[3] = sub(b, d);
}

template <typename T, typename A, bool Norm>
void k1(const T *s, T *d, T scale)
{
    Cx<A> x[1];
    load<T, A, Norm, 1>(s, x, scale);
    store<T, A, 1>(d, x);
}

template <typename T, typename A, bool Norm>
void k2(const T *s, T *d, T scale)
{
    Cx<A> x[2], y[2];
    load<T, A, Norm, 2>(s, x, scale);
    y[0] = add(x[0], x[1]);
    y[1] = sub(x[0], x[1]);
    store<T, A, 2>(d, y);
}

template <typename T, typename A, bool Inv, bool Norm>
void k4(const T *s, T *d, T scale)
{
    Cx<A> x[4], y[4];
    load<T, A, Norm, 4>(s, x, scale);
    dft4<Inv>(x, y);
    store<T, A, 4>(d, y);
}

// Radix-2 split into two 4-point transforms; odd twiddles use sqrt(2)/2.
template <typename T, typename A, bool Inv, bool Norm>
void k8(const T *s, T *d, T scale)
{
    const A h = (A)0.7071067811865476;
    Cx<A> x[8], e[4], o[4], xe[4], xo[4], y[8];
    load<T, A, Norm, 8>(s, x, scale);
    for (int i = 0; i < 4; ++i) {
        xe[i] = x[2 * i];
        xo[i] = x[2 * i + 1];
    }
    dft4<Inv>(xe, e);
    dft4<Inv>(xo, o);
    Cx<A> t[4];
    t[0] = o[0];
    if (!Inv) {
        t[1] = {(o[1].re + o[1].im) * h, (o[1].im - o[1].re) * h};
        t[3] = {(o[3].im - o[3].re) * h, -(o[3].re + o[3].im) * h};
    } else {
        t[1] = {(o[1].re - o[1].im) * h, (o[1].re + o[1].im) * h};
        t[3] = {-(o[3].re + o[3].im) * h, (o[3].re - o[3].im) * h};
    }
    t[2] = rot<Inv>(o[2]);
    for (int i = 0; i < 4; ++i) {
        y[i] = add(e[i], t[i]);
        y[i + 4] = sub(e[i], t[i]);
    }
    store<T, A, 8>(d, y);
}

template <typename T, typename A, void (*K)(const T *, T *, T)> void plain(const T *s, T *d)
{
    K(s, d, (T)1);
}

} // namespace

const SmallFn32 tbl_cFFTfwd_small_32fc[4] = {
    plain<float, float, k1<float, float, false>>, plain<float, float, k2<float, float, false>>,
    plain<float, float, k4<float, float, false, false>>,
    plain<float, float, k8<float, float, false, false>>};
const SmallFn32 tbl_cFFTinv_small_32fc[4] = {
    plain<float, float, k1<float, float, false>>, plain<float, float, k2<float, float, false>>,
    plain<float, float, k4<float, float, true, false>>,
    plain<float, float, k8<float, float, true, false>>};
const SmallNormFn32 tbl_cFFTfwd_norm_small_32fc[4] = {
    k1<float, float, true>, k2<float, float, true>, k4<float, float, false, true>,
    k8<float, float, false, true>};
const SmallNormFn32 tbl_cFFTinv_norm_small_32fc[4] = {
    k1<float, float, true>, k2<float, float, true>, k4<float, float, true, true>,
    k8<float, float, true, true>};

typedef long double X;
const SmallFn64 tbl_cFFTfwd_small_64fc[4] = {
    plain<double, X, k1<double, X, false>>, plain<double, X, k2<double, X, false>>,
    plain<double, X, k4<double, X, false, false>>, plain<double, X, k8<double, X, false, false>>};
const SmallFn64 tbl_cFFTinv_small_64fc[4] = {
    plain<double, X, k1<double, X, false>>, plain<double, X, k2<double, X, false>>,
    plain<double, X, k4<double, X, true, false>>, plain<double, X, k8<double, X, true, false>>};
const SmallNormFn64 tbl_cFFTfwd_norm_small_64fc[4] = {
    k1<double, X, true>, k2<double, X, true>, k4<double, X, false, true>,
    k8<double, X, false, true>};
const SmallNormFn64 tbl_cFFTinv_norm_small_64fc[4] = {
    k1<double, X, true>, k2<double, X, true>, k4<double, X, true, true>,
    k8<double, X, true, true>};

} // namespace fxrs
