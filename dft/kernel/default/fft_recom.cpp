// Recombination of the real transforms. The n reals are transformed as
// n/2 complex values z; with Z their spectrum, N = n/2 and the table pair
// (a, b) = (0.5 cos(2 pi k/n), 0.5 (1 - sin(2 pi k/n))), A = b - i a:
//   X(k)   = conj Z(N-k) + A (Z(k) - conj Z(N-k))
//   X(N-k) = conj Z(k) + conj(A) (Z(N-k) - conj Z(k))
// for k = 1 .. N/2 - 1, X(N/2) = conj Z(N/2), X(0) and X(N) from the real
// and imaginary parts of Z(0). Backward the same pairs with A conjugated
// give Z back from X (the factor 0.5 is in the table).
#include "dft/kernel/fft_kernels.h"

namespace zem_dft {
namespace {

template <class T, class W>
void fwd(T *x, int n, const T *r)
{
    const ptrdiff_t N = n / 2;
    for (ptrdiff_t k = 1; k < N / 2; ++k) {
        const W a = r[2 * (k - 1)], b = r[2 * (k - 1) + 1];
        T *zk = x + 2 * k, *zm = x + 2 * (N - k);
        const W zkr = zk[0], zki = zk[1], zmr = zm[0], zmi = zm[1];
        const W dr = zkr - zmr, di = zki + zmi;
        zk[0] = (T)(zmr + (b * dr + a * di));
        zk[1] = (T)(-zmi + (b * di - a * dr));
        zm[0] = (T)(zkr - (b * dr + a * di));
        zm[1] = (T)(-zki + (b * di - a * dr));
    }
    if (N >= 2)
        x[N + 1] = -x[N + 1];
    const W z0r = x[0], z0i = x[1];
    x[0] = (T)(z0r + z0i);
    x[1] = 0;
    x[n] = (T)(z0r - z0i);
    x[n + 1] = 0;
}

template <class T, class W>
void bwd(T *x, int n, const T *r)
{
    const ptrdiff_t N = n / 2;
    for (ptrdiff_t k = 1; k < N / 2; ++k) {
        const W a = r[2 * (k - 1)], b = r[2 * (k - 1) + 1];
        T *xk = x + 2 * k, *xm = x + 2 * (N - k);
        const W xkr = xk[0], xki = xk[1], xmr = xm[0], xmi = xm[1];
        const W dr = xkr - xmr, di = xki + xmi;
        xk[0] = (T)(xmr + (b * dr - a * di));
        xk[1] = (T)(-xmi + (b * di + a * dr));
        xm[0] = (T)(xkr - (b * dr - a * di));
        xm[1] = (T)(-xki + (b * di + a * dr));
    }
    if (N >= 2)
        x[N + 1] = -x[N + 1];
    const W x0 = x[0], xn = x[n];
    x[0] = (T)((W)0.5 * (x0 + xn));
    x[1] = (T)((W)0.5 * (x0 - xn));
}

} // namespace

void real_fwd_c(float *x, int n, const float *r) { fwd<float, float>(x, n, r); }
void real_bwd_c(float *x, int n, const float *r) { bwd<float, float>(x, n, r); }
void real_fwd_z(double *x, int n, const double *r) { fwd<double, long double>(x, n, r); }
void real_bwd_z(double *x, int n, const double *r) { bwd<double, long double>(x, n, r); }

} // namespace zem_dft
