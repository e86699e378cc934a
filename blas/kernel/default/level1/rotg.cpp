// Givens rotation generation: srotg, drotg, crotg, zrotg.
#include <xmmintrin.h>
#include "blas/kernel/default/level1/rot_sparse.h"

using namespace zem_l1;

namespace {

inline long double absl(long double v) { return v < 0 ? -v : v; }
inline float absf(float v) { return __builtin_fabsf(v); }

// Square root by the SSE unit, single precision.
inline float sse_sqrt(float v) { return _mm_cvtss_f32(_mm_sqrt_ss(_mm_set_ss(v))); }

// Modulus of a single-precision complex value in single precision. The
// plain sqrt(re^2 + im^2) is used wherever its squares stay within the
// single-precision range; otherwise the components are first scaled by the
// larger magnitude, so that large or tiny values give their true modulus
// rather than infinity or zero (left to the implementer: users expect a
// finite rotation for every finite input).
float cabs_single(float re, float im)
{
    float sum = re * re + im * im;
    if (sum < 1.0e38f && sum > 1.0e-36f)
        return sse_sqrt(sum);
    float ar = absf(re), ai = absf(im);
    float m = ar > ai ? ar : ai;
    if (!(m > 0.0f) || m > 3.4028235e38f)
        return sum != sum ? sum : m;  // zero, infinite, or NaN (kept as NaN)
    float r = re / m, i = im / m;
    return m * sse_sqrt(r * r + i * i);
}

// (ar, ai) / (d, 0) done as a complex division in single precision, by
// the ratio method: with a real divisor the ratio is 0 and each part is
// divided by d (an infinite part meets 0 in the cross term and turns NaN,
// as a complex division does).
inline void cdiv_by_real(float ar, float ai, float d, float *qr, float *qi)
{
    const float dr = d, di = 0.0f;
    if (absf(dr) >= absf(di)) {
        float ratio = di / dr;
        float den = dr + di * ratio;
        *qr = (ar + ai * ratio) / den;
        *qi = (ai - ar * ratio) / den;
    } else {
        float ratio = dr / di;
        float den = dr * ratio + di;
        *qr = (ar * ratio + ai) / den;
        *qi = (ai * ratio - ar) / den;
    }
}

} // namespace

// r := roe * sqrt(t^2 + 1), t the smaller of a, b over the larger; c := a/r,
// s := b/r; a := r; b := z, the value from which c and s can be recovered.
extern "C" ZEM_API void _ZEM_BLAS_drotg(double *a, double *b, double *c, double *s)
{
    const double a0 = *a, b0 = *b;
    const bool a_larger = absl(a0) > absl(b0);
    const long double roe = a_larger ? a0 : b0;
    if (roe == 0) {
        *c = 1.0;
        *s = 0.0;
        *a = 0.0;
        *b = 0.0;
        return;
    }
    long double t = a_larger ? static_cast<long double>(b0) / a0 : static_cast<long double>(a0) / b0;
    long double r = roe * xsqrt(t * t + 1.0L);
    const double cc = static_cast<double>(a0 / r);
    const double ss = static_cast<double>(b0 / r);
    *c = cc;
    *s = ss;
    *a = static_cast<double>(r);
    if (a_larger)
        *b = ss;
    else if (cc == 0.0)
        *b = 1.0;
    else
        *b = static_cast<double>(1.0L / cc);
}

// The same steps with t, t^2 + 1, r and 1/r rounded to single precision;
// c and s are a and b times the rounded 1/r.
extern "C" ZEM_API void _ZEM_BLAS_srotg(float *a, float *b, float *c, float *s)
{
    const float a0 = *a, b0 = *b;
    const bool a_larger = absf(a0) > absf(b0);
    const float roe = a_larger ? a0 : b0;
    if (roe == 0) {
        *c = 1.0f;
        *s = 0.0f;
        *a = 0.0f;
        *b = 0.0f;
        return;
    }
    const float t = a_larger ? b0 / a0 : a0 / b0;
    const float t2p1 = static_cast<float>(static_cast<long double>(t) * t + 1.0L);
    const float r = static_cast<float>(roe * xsqrt(t2p1));
    const float rinv = static_cast<float>(1.0L / r);
    const float cc = a0 * rinv;
    const float ss = b0 * rinv;
    *c = cc;
    *s = ss;
    *a = r;
    if (a_larger)
        *b = ss;
    else if (cc == 0.0f)
        *b = 1.0f;
    else
        *b = static_cast<float>(1.0L / cc);
}

// Complex rotation: c real, s complex, with c*ca + s*cb = r and
// -conj(s)*ca + c*cb = 0; ca := r. cb is left as it is.
extern "C" ZEM_API void _ZEM_BLAS_zrotg(ZEM_Complex16 *ca, ZEM_Complex16 *cb, double *c, ZEM_Complex16 *s)
{
    const long double ar = ca->real, ai = ca->imag, br = cb->real, bi = cb->imag;
    const long double abs_a = xsqrt(ar * ar + ai * ai);
    if (abs_a == 0) {
        *c = 0.0;
        s->real = 1.0;
        s->imag = 0.0;
        *ca = *cb;
        return;
    }
    const long double abs_b = xsqrt(br * br + bi * bi);
    const long double scale = abs_a + abs_b;
    const long double norm = scale * xsqrt(sq(ar / scale) + sq(ai / scale) + sq(br / scale) + sq(bi / scale));
    const long double alr = ar / abs_a, ali = ai / abs_a;
    *c = static_cast<double>(abs_a / norm);
    // alpha * conj(cb) / norm
    s->real = static_cast<double>((alr * br + ali * bi) / norm);
    s->imag = static_cast<double>((ali * br - alr * bi) / norm);
    ca->real = static_cast<double>(alr * norm);
    ca->imag = static_cast<double>(ali * norm);
}

// Single precision throughout: moduli and square roots by the SSE unit,
// divisions by a real number as complex divisions.
extern "C" ZEM_API void _ZEM_BLAS_crotg(ZEM_Complex8 *ca, ZEM_Complex8 *cb, float *c, ZEM_Complex8 *s)
{
    const float ar = ca->real, ai = ca->imag, br = cb->real, bi = cb->imag;
    const float abs_a = cabs_single(ar, ai);
    if (abs_a == 0) {
        *c = 0.0f;
        s->real = 1.0f;
        s->imag = 0.0f;
        *ca = *cb;
        return;
    }
    const float abs_b = cabs_single(br, bi);
    const float scale = abs_a + abs_b;
    const float q0 = ar / scale, q1 = ai / scale, q2 = br / scale, q3 = bi / scale;
    const float norm = scale * sse_sqrt(q0 * q0 + q1 * q1 + q2 * q2 + q3 * q3);
    float alr, ali;
    cdiv_by_real(ar, ai, abs_a, &alr, &ali);
    *c = abs_a / norm;
    float sr, si;
    cdiv_by_real(alr * br + ali * bi, ali * br - alr * bi, norm, &sr, &si);
    s->real = sr;
    s->imag = si;
    ca->real = alr * norm;
    ca->imag = ali * norm;
}
