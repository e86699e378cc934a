// Long-double references for norms, rotations and sparse level 1.
#include "tests/reference/rot_sparse_ref.h"

#include <cmath>

namespace rs_ref {

std::vector<std::ptrdiff_t> offsets(int n, int inc)
{
    std::vector<std::ptrdiff_t> off;
    for (int i = 0; i < n; ++i)
        off.push_back(zem_ref::at(n, inc, i));
    return off;
}

ld nrm2(const ld *x, const std::vector<std::ptrdiff_t> &off, int comps)
{
    ld sum = 0;
    for (std::ptrdiff_t o : off)
        for (int k = 0; k < comps; ++k)
            sum += x[o * comps + k] * x[o * comps + k];
    return std::sqrt(sum);
}

void rot(ld *x, const std::vector<std::ptrdiff_t> &xo, ld *y, const std::vector<std::ptrdiff_t> &yo, int comps,
         ld c, ld s)
{
    for (std::size_t i = 0; i < xo.size(); ++i)
        for (int k = 0; k < comps; ++k) {
            ld &xv = x[xo[i] * comps + k], &yv = y[yo[i] * comps + k];
            ld nx = c * xv + s * yv, ny = c * yv - s * xv;
            xv = nx;
            yv = ny;
        }
}

void rotm_matrix(const ld param[5], ld h[2][2])
{
    ld flag = param[0];
    if (flag == -2) {
        h[0][0] = 1, h[0][1] = 0, h[1][0] = 0, h[1][1] = 1;
    } else if (flag == -1) {
        h[0][0] = param[1], h[1][0] = param[2], h[0][1] = param[3], h[1][1] = param[4];
    } else if (flag == 0) {
        h[0][0] = 1, h[1][0] = param[2], h[0][1] = param[3], h[1][1] = 1;
    } else {
        h[0][0] = param[1], h[1][0] = -1, h[0][1] = 1, h[1][1] = param[4];
    }
}

void rotm(ld *x, const std::vector<std::ptrdiff_t> &xo, ld *y, const std::vector<std::ptrdiff_t> &yo,
          const ld param[5])
{
    ld h[2][2];
    rotm_matrix(param, h);
    for (std::size_t i = 0; i < xo.size(); ++i) {
        ld &xv = x[xo[i]], &yv = y[yo[i]];
        ld nx = h[0][0] * xv + h[0][1] * yv, ny = h[1][0] * xv + h[1][1] * yv;
        xv = nx;
        yv = ny;
    }
}

Givens rotg(ld a, ld b)
{
    Givens g;
    if (a == 0 && b == 0) {
        g.r = 0, g.z = 0, g.c = 1, g.s = 0;
        return g;
    }
    ld roe = std::fabs(a) > std::fabs(b) ? a : b;
    g.r = std::copysign(std::hypot(a, b), roe);
    g.c = a / g.r;
    g.s = b / g.r;
    if (std::fabs(a) > std::fabs(b))
        g.z = g.s;
    else if (g.c == 0)
        g.z = 1;
    else
        g.z = 1 / g.c;
    return g;
}

ComplexGivens crotg(cld a, cld b)
{
    ComplexGivens g;
    if (std::abs(a) == 0) {
        g.c = 0, g.s = 1, g.r = b;
        return g;
    }
    ld norm = std::hypot(std::abs(a), std::abs(b));
    cld alpha = a / std::abs(a);
    g.c = std::abs(a) / norm;
    g.s = alpha * std::conj(b) / norm;
    g.r = alpha * norm;
    return g;
}

void axpyi(int comps, const ld *a, const ld *x, const std::vector<int> &indx, ld *y)
{
    for (std::size_t i = 0; i < indx.size(); ++i) {
        ld *yv = y + std::ptrdiff_t(indx[i] - 1) * comps;
        if (comps == 1) {
            yv[0] += a[0] * x[i];
        } else {
            cld r = cld(yv[0], yv[1]) + cld(a[0], a[1]) * cld(x[2 * i], x[2 * i + 1]);
            yv[0] = r.real(), yv[1] = r.imag();
        }
    }
}

cld doti(int comps, const ld *x, const std::vector<int> &indx, const ld *y, bool conjugate)
{
    cld sum = 0;
    for (std::size_t i = 0; i < indx.size(); ++i) {
        const ld *yv = y + std::ptrdiff_t(indx[i] - 1) * comps;
        cld xv = comps == 1 ? cld(x[i]) : cld(x[2 * i], x[2 * i + 1]);
        cld yc = comps == 1 ? cld(yv[0]) : cld(yv[0], yv[1]);
        sum += (conjugate ? std::conj(xv) : xv) * yc;
    }
    return sum;
}

void gthr(int comps, ld *y, ld *x, const std::vector<int> &indx, bool zero)
{
    for (std::size_t i = 0; i < indx.size(); ++i)
        for (int k = 0; k < comps; ++k) {
            ld &yv = y[std::ptrdiff_t(indx[i] - 1) * comps + k];
            x[i * comps + k] = yv;
            if (zero)
                yv = 0;
        }
}

void sctr(int comps, const ld *x, const std::vector<int> &indx, ld *y)
{
    for (std::size_t i = 0; i < indx.size(); ++i)
        for (int k = 0; k < comps; ++k)
            y[std::ptrdiff_t(indx[i] - 1) * comps + k] = x[i * comps + k];
}

void roti(ld *x, const std::vector<int> &indx, ld *y, ld c, ld s)
{
    for (std::size_t i = 0; i < indx.size(); ++i) {
        ld &yv = y[indx[i] - 1];
        ld nx = c * x[i] + s * yv, ny = c * yv - s * x[i];
        x[i] = nx;
        yv = ny;
    }
}

} // namespace rs_ref
