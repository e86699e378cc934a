/* Uses the installed headers and library: a dot product and the version. */
#include <stdio.h>
#include <zem.h>

int main(void) {
    double x[3] = {1, 2, 3}, y[3] = {4, 5, 6};
    int n = 3, inc = 1;
    char text[128];
    ZEMGetVersionString(text, sizeof text);
    printf("ddot = %g\n%s\n", ddot_(&n, x, &inc, y, &inc), text);
    return 0;
}
