// Four single-precision complex values side by side for the SSE paths of
// the DFT and the real transforms: split into four real parts and four
// imaginary parts, with the operations the butterflies need.
#ifndef ZEM_ENGINE_FXRS_DFT_SSE_H
#define ZEM_ENGINE_FXRS_DFT_SSE_H

#include <xmmintrin.h>

#include "engine/fxrs_dft_kernels.h"

namespace fxrs {
namespace dft {

// Four complex values split into four real and four imaginary parts.
struct V {
    typedef float Real;
    __m128 re, im;
};
inline V operator+(V a, V b) { return {_mm_add_ps(a.re, b.re), _mm_add_ps(a.im, b.im)}; }
inline V operator-(V a, V b) { return {_mm_sub_ps(a.re, b.re), _mm_sub_ps(a.im, b.im)}; }
inline V operator*(V a, float s)
{
    const __m128 k = _mm_set1_ps(s);
    return {_mm_mul_ps(a.re, k), _mm_mul_ps(a.im, k)};
}
template <bool Inv> inline V rot(V a)
{
    const __m128 z = _mm_setzero_ps();
    return Inv ? V{_mm_sub_ps(z, a.im), a.re} : V{a.im, _mm_sub_ps(z, a.re)};
}
// a times (wr, wi), or times its conjugate for the inverse
template <bool Inv> inline V vtwiddle(V a, __m128 wr, __m128 wi)
{
    if (Inv)
        return {_mm_add_ps(_mm_mul_ps(a.re, wr), _mm_mul_ps(a.im, wi)),
                _mm_sub_ps(_mm_mul_ps(a.im, wr), _mm_mul_ps(a.re, wi))};
    return {_mm_sub_ps(_mm_mul_ps(a.re, wr), _mm_mul_ps(a.im, wi)),
            _mm_add_ps(_mm_mul_ps(a.re, wi), _mm_mul_ps(a.im, wr))};
}
// four consecutive interleaved complex values (8-byte alignment suffices)
inline V vload(const float *p)
{
    const __m128 a = _mm_loadu_ps(p), b = _mm_loadu_ps(p + 4);
    return {_mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)), _mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1))};
}
inline void vstore(float *p, V v)
{
    _mm_storeu_ps(p, _mm_unpacklo_ps(v.re, v.im));
    _mm_storeu_ps(p + 4, _mm_unpackhi_ps(v.re, v.im));
}
// four complex values from four places, and back
inline V vgather(const float *a, const float *b, const float *c, const float *d)
{
    __m128 x = _mm_setzero_ps(), y = _mm_setzero_ps();
    x = _mm_loadh_pi(_mm_loadl_pi(x, (const __m64 *)a), (const __m64 *)b);
    y = _mm_loadh_pi(_mm_loadl_pi(y, (const __m64 *)c), (const __m64 *)d);
    return {_mm_shuffle_ps(x, y, _MM_SHUFFLE(2, 0, 2, 0)), _mm_shuffle_ps(x, y, _MM_SHUFFLE(3, 1, 3, 1))};
}
inline void vscatter(V v, float *a, float *b, float *c, float *d)
{
    const __m128 x = _mm_unpacklo_ps(v.re, v.im), y = _mm_unpackhi_ps(v.re, v.im);
    _mm_storel_pi((__m64 *)a, x);
    _mm_storeh_pi((__m64 *)b, x);
    _mm_storel_pi((__m64 *)c, y);
    _mm_storeh_pi((__m64 *)d, y);
}

// lanes in reverse order
inline V vrev(V a)
{
    return {_mm_shuffle_ps(a.re, a.re, _MM_SHUFFLE(0, 1, 2, 3)),
            _mm_shuffle_ps(a.im, a.im, _MM_SHUFFLE(0, 1, 2, 3))};
}

} // namespace dft
} // namespace fxrs

#endif
