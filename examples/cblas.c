/* A C program written for the usual CBLAS header: only the include line
 * names this library. Row-major matrices, complex scalars by address. */
#include <stdio.h>
#include "zem_cblas.h" /* in place of cblas.h */

int main(void)
{
    /* C := A*B with A 2-by-3 and B 3-by-2, stored by rows. */
    const double A[6] = {1, 2, 3,
                         4, 5, 6};
    const double B[6] = {7, 8,
                         9, 10,
                         11, 12};
    double C[4] = {0, 0, 0, 0};
    cblas_dgemm(CblasRowMajor, CblasNoTrans, CblasNoTrans, 2, 2, 3, 1.0, A, 3, B, 2, 0.0, C, 2);
    printf("C = [%g %g; %g %g]\n", C[0], C[1], C[2], C[3]);

    /* y := A^H*x for a complex A stored by rows; x is left as it was. */
    const double Z[8] = {1, 1, 2, 0,
                         0, -1, 1, 2}; /* (1+i, 2; -i, 1+2i) */
    const double x[4] = {1, 0, 0, 1};  /* (1, i) */
    double y[4] = {0, 0, 0, 0};
    const double one[2] = {1, 0}, zero[2] = {0, 0};
    cblas_zgemv(CblasRowMajor, CblasConjTrans, 2, 2, one, Z, 2, x, 1, zero, y, 1);
    printf("y = (%g%+gi, %g%+gi), x = (%g%+gi, %g%+gi)\n", y[0], y[1], y[2], y[3], x[0], x[1], x[2], x[3]);

    /* Level 1 and the 0-based index of the largest element. */
    const float v[4] = {3, -9, 4, 1};
    enum CBLAS_ORDER order = CblasColMajor;
    CBLAS_INDEX i = cblas_isamax(4, v, 1);
    printf("sum |v| = %g, largest at %u\n", cblas_sasum(4, v, 1), (unsigned)i);

    /* A bad argument is reported with its position and the C name. */
    cblas_dgemv(order, CblasNoTrans, 2, 3, 1.0, A, 1, x, 1, 0.0, C, 1);
    return 0;
}
