// The names each routine of the table has: a routine marked Y is one
// function under its three Fortran names, beside its kernel, its unchecked
// _ZEM_BLAS_F77_ form (not for the cross product) and its argument check
// (checked routines); a routine marked N exports none of them.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <string>

#include "blas/interface/entry.h"

namespace {

struct Row {
    bool have;
    std::string kind, up, lo;
};

const Row kTable[] = {
#define ZEM_ROUTINE(have, kind, UP, lo, RET, SHAPE, T, R, chk) {#have[0] == 'Y', #kind, #UP, #lo},
#include "zem_blas.def"
#undef ZEM_ROUTINE
};

void *sym(const std::string &name) { return dlsym(RTLD_DEFAULT, name.c_str()); }

TEST(Entries, EveryRoutineHasTheNamesItsTableLineSays)
{
    for (const Row &r : kTable) {
        SCOPED_TRACE(r.up);
        void *f = sym(r.up);
        if (!r.have) {
            for (const std::string &n : {r.up, r.lo, r.lo + "_", "_ZEM_BLAS_F77_" + r.up, "_ZEM_BLAS_" + r.lo})
                EXPECT_EQ(sym(n), nullptr) << n << " exported before its routine lands";
            continue;
        }
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(sym(r.lo), f);
        EXPECT_EQ(sym(r.lo + "_"), f);
        EXPECT_NE(sym("_ZEM_BLAS_" + r.lo), nullptr);
        EXPECT_EQ(sym("_ZEM_BLAS_F77_" + r.up) != nullptr, r.kind != "NF");
        EXPECT_EQ(sym("_ZEM_BLAS_errchk_" + r.lo) != nullptr, r.kind == "CK");
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

} // namespace
