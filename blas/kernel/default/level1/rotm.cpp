// Modified rotations: srotm, drotm apply the matrix H held in param;
// srotmg, drotmg generate it. param = (flag, h11, h21, h12, h22):
//   flag -1: H = (h11 h12; h21 h22)
//   flag  0: H = (1 h12; h21 1)
//   flag  1: H = (h11 1; -1 h22)
//   flag -2: H = identity
#include "blas/kernel/default/level1/rot_sparse.h"

using namespace zem_l1;

namespace {

// W is the working precision: float for single precision (single results
// lane by lane), long double for double precision (x87 extended).
template <typename T, typename W>
void rotm(const int *n, T *x, const int *incx, T *y, const int *incy, const T *param)
{
    const ptrdiff_t nn = *n, ix = *incx, iy = *incy;
    const T flag = param[0];
    if (nn < 1 || flag == T(-2))
        return;
    // Any other negative flag is taken as the full matrix, any other
    // positive one as the diagonal form (left to the implementer: the sign
    // decides, as the flag values are defined).
    W h11, h21, h12, h22;
    if (flag < 0) {
        h11 = param[1];
        h21 = param[2];
        h12 = param[3];
        h22 = param[4];
    } else if (flag == 0) {
        h11 = 1;
        h21 = param[2];
        h12 = param[3];
        h22 = 1;
    } else {
        h11 = param[1];
        h21 = -1;
        h12 = 1;
        h22 = param[4];
    }
    if (ix == 1 && iy == 1) {
        ptrdiff_t i = 0;
        for (; nn - i >= 4; i += 4) {
            for (int k = 0; k < 4; ++k) {
                const W w = x[i + k], z = y[i + k];
                x[i + k] = static_cast<T>(w * h11 + z * h12);
                y[i + k] = static_cast<T>(w * h21 + z * h22);
            }
        }
        for (; i < nn; ++i) {
            const W w = x[i], z = y[i];
            x[i] = static_cast<T>(w * h11 + z * h12);
            y[i] = static_cast<T>(w * h21 + z * h22);
        }
        return;
    }
    T *px = first_element(x, nn, ix);
    T *py = first_element(y, nn, iy);
    for (ptrdiff_t i = 0; i < nn; ++i, px += ix, py += iy) {
        const W w = *px, z = *py;
        *px = static_cast<T>(w * h11 + z * h12);
        *py = static_cast<T>(w * h21 + z * h22);
    }
}

template <typename W>
inline W absw(W v)
{
    return v < 0 ? -v : v;
}

template <typename W>
inline bool finite_w(W v)
{
    return v - v == 0;
}

// Generation of H with rescaling of d1 and d2 into [1/gam^2, gam^2],
// gam = 4096.
template <typename T, typename W>
void rotmg(T *d1p, T *d2p, T *x1p, const T *y1p, T *param)
{
    const W gam = 4096.0L, gamsq = 16777216.0L;
    const W rgamsq = static_cast<W>(5.960464477539e-08);

    W d1 = *d1p, d2 = *d2p, x1 = *x1p;
    const W y1 = *y1p;
    W flag, h11 = 0, h21 = 0, h12 = 0, h22 = 0;

    if (d1 < 0) {
        flag = -1;
        d1 = d2 = x1 = 0;
    } else {
        const W p2 = d2 * y1;
        if (p2 == 0) {
            param[0] = T(-2);
            return;
        }
        const W p1 = d1 * x1;
        const W q2 = p2 * y1;
        const W q1 = p1 * x1;
        if (absw(q1) > absw(q2)) {
            h21 = -y1 / x1;
            h12 = p2 / p1;
            const W u = 1 - h12 * h21;
            flag = 0;
            d1 = d1 / u;
            d2 = d2 / u;
            x1 = x1 * u;
        } else if (q2 < 0) {
            flag = -1;
            h11 = h21 = h12 = h22 = 0;
            d1 = d2 = x1 = 0;
        } else {
            flag = 1;
            h11 = p1 / p2;
            h22 = x1 / y1;
            const W u = 1 + h11 * h22;
            const W t = d2 / u;
            d2 = d1 / u;
            d1 = t;
            x1 = y1 * u;
        }

        // The loops stop on an infinite or NaN value, which no rescaling
        // can bring into range (left to the implementer: such input would
        // otherwise never leave the loop).
        while (d1 != 0 && finite_w(d1) && (d1 <= rgamsq || d1 >= gamsq)) {
            if (flag == 0) {
                h11 = 1;
                h22 = 1;
            } else if (flag > 0) {
                h21 = -1;
                h12 = 1;
            }
            flag = -1;
            if (d1 <= rgamsq) {
                d1 = d1 * gamsq;
                x1 = x1 / gam;
                h11 = h11 / gam;
                h12 = h12 / gam;
            } else {
                d1 = d1 / gamsq;
                x1 = x1 * gam;
                h11 = h11 * gam;
                h12 = h12 * gam;
            }
        }
        // d2 may be negative: its magnitude is brought into range.
        while (d2 != 0 && finite_w(d2) && (absw(d2) <= rgamsq || absw(d2) >= gamsq)) {
            if (flag == 0) {
                h11 = 1;
                h22 = 1;
            } else if (flag > 0) {
                h21 = -1;
                h12 = 1;
            }
            flag = -1;
            if (absw(d2) <= rgamsq) {
                d2 = d2 * gamsq;
                h21 = h21 / gam;
                h22 = h22 / gam;
            } else {
                d2 = d2 / gamsq;
                h21 = h21 * gam;
                h22 = h22 * gam;
            }
        }
    }

    *d1p = static_cast<T>(d1);
    *d2p = static_cast<T>(d2);
    *x1p = static_cast<T>(x1);
    param[0] = static_cast<T>(flag);
    if (flag < 0) {
        param[1] = static_cast<T>(h11);
        param[2] = static_cast<T>(h21);
        param[3] = static_cast<T>(h12);
        param[4] = static_cast<T>(h22);
    } else if (flag == 0) {
        param[2] = static_cast<T>(h21);
        param[3] = static_cast<T>(h12);
    } else {
        param[1] = static_cast<T>(h11);
        param[4] = static_cast<T>(h22);
    }
}

} // namespace

extern "C" ZEM_API void _ZEM_BLAS_srotm(const int *n, float *x, const int *incx, float *y, const int *incy,
                                        const float *param)
{
    rotm<float, float>(n, x, incx, y, incy, param);
}

extern "C" ZEM_API void _ZEM_BLAS_drotm(const int *n, double *x, const int *incx, double *y, const int *incy,
                                        const double *param)
{
    rotm<double, long double>(n, x, incx, y, incy, param);
}

extern "C" ZEM_API void _ZEM_BLAS_srotmg(float *d1, float *d2, float *x1, const float *y1, float *param)
{
    rotmg<float, float>(d1, d2, x1, y1, param);
}

extern "C" ZEM_API void _ZEM_BLAS_drotmg(double *d1, double *d2, double *x1, const double *y1, double *param)
{
    rotmg<double, long double>(d1, d2, x1, y1, param);
}
