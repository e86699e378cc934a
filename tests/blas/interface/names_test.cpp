// Every routine is one function under its three Fortran names, and its
// unchecked form gives what the kernel gives.
#include <dlfcn.h>
#include <cctype>
#include <string>
#include "tests/blas/level1/rs_test.h"

TEST(Entries, ThreeNamesAreOneFunctionBesideUncheckedFormAndKernel)
{
    const char *routines[] = {"SNRM2",  "DNRM2",  "SCNRM2", "DZNRM2", "SROT",   "DROT",   "CSROT",  "ZDROT",
                              "SROTG",  "DROTG",  "CROTG",  "ZROTG",  "SROTM",  "DROTM",  "SROTMG", "DROTMG",
                              "SAXPYI", "DAXPYI", "CAXPYI", "ZAXPYI", "SDOTI",  "DDOTI",  "CDOTCI", "ZDOTCI",
                              "CDOTUI", "ZDOTUI", "SGTHR",  "DGTHR",  "CGTHR",  "ZGTHR",  "SGTHRZ", "DGTHRZ",
                              "CGTHRZ", "ZGTHRZ", "SSCTR",  "DSCTR",  "CSCTR",  "ZSCTR",  "SROTI",  "DROTI"};
    for (const char *up : routines) {
        std::string lo = up;
        for (char &ch : lo)
            ch = char(std::tolower(static_cast<unsigned char>(ch)));
        void *f = dlsym(RTLD_DEFAULT, up);
        ASSERT_NE(f, nullptr) << up;
        EXPECT_EQ(dlsym(RTLD_DEFAULT, lo.c_str()), f) << lo;
        EXPECT_EQ(dlsym(RTLD_DEFAULT, (lo + "_").c_str()), f) << lo << "_";
        EXPECT_NE(dlsym(RTLD_DEFAULT, ("_ZEM_BLAS_F77_" + std::string(up)).c_str()), nullptr) << up;
        EXPECT_NE(dlsym(RTLD_DEFAULT, ("_ZEM_BLAS_" + lo).c_str()), nullptr) << lo;
    }
}

TEST(Entries, UncheckedFormsCallTheKernels)
{
    double x[5] = {1, -2, 3, 0.5, 4}, y[5] = {2, 1, -1, 3, 0.25};
    int n = 5, one = 1, two = 2, idx[3] = {5, 1, 5}, nz = 3;
    EXPECT_EQ(_ZEM_BLAS_F77_DNRM2(&n, x, &one), _ZEM_BLAS_dnrm2(&n, x, &one));
    EXPECT_EQ(_ZEM_BLAS_F77_DDOTI(&nz, x, idx, y), _ZEM_BLAS_ddoti(&nz, x, idx, y));
    ZEM_Complex8 cx[2] = {{1, 2}, {3, -4}}, cy[5] = {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}}, r1, r2;
    _ZEM_BLAS_F77_CDOTCI(&r1, &two, cx, idx, cy);
    _ZEM_BLAS_cdotci(&r2, &two, cx, idx, cy);
    EXPECT_EQ(r1.real, r2.real);
    EXPECT_EQ(r1.imag, r2.imag);
    float sx[2] = {1, 2}, sy[2] = {3, 4}, tx[2] = {1, 2}, ty[2] = {3, 4}, c = 0.6f, s = 0.8f;
    _ZEM_BLAS_F77_SROT(&two, sx, &one, sy, &one, &c, &s);
    _ZEM_BLAS_srot(&two, tx, &one, ty, &one, &c, &s);
    EXPECT_EQ(sx[1], tx[1]);
    EXPECT_EQ(sy[0], ty[0]);
}
