// symm and hemm for every type against the long-double reference: orders
// of A across the diagonal-block border, every side and uplo, special
// alpha and beta, the ignored imaginary parts of a Hermitian diagonal, and
// two and three threads.
#include <omp.h>

#include "tests/blas/level3/symmetric/sym_case.h"

using namespace sym_test;

namespace {

const int kEnvSet = parallel_environment();

template <class E_, bool HERM, auto FN>
struct Sm {
    typedef E_ E;
    static constexpr bool herm = HERM, cplx = Api<E>::cplx;
    static void call(char side, char uplo, int m, int n, cx alpha, const Mat<E> &a, const Mat<E> &b, cx beta,
                     Mat<E> &c)
    {
        const E al = zem_ref::put<E>(alpha), be = zem_ref::put<E>(beta);
        FN(&side, &uplo, &m, &n, &al, a.v.data(), &a.ld, b.v.data(), &b.ld, &be, c.v.data(), &c.ld);
    }
};
typedef ::testing::Types<Sm<double, false, dsymm_>, Sm<ZEM_Complex16, false, zsymm_>,
                         Sm<ZEM_Complex16, true, zhemm_>, Sm<float, false, ssymm_>, Sm<ZEM_Complex8, false, csymm_>,
                         Sm<ZEM_Complex8, true, chemm_>>
    Routines;

template <class D>
class Symm : public ThreadedTest<D> {};
TYPED_TEST_SUITE(Symm, Routines);

template <class D>
void run(const Case &p)
{
    const int na = p.side == 'L' ? p.m : p.n;
    Operands<typename D::E> o(p, na, na, p.m, p.n, p.m, p.n);
    Mat<typename D::E> &a = o.a, &b = o.b, &c = o.c;
    o.run(p, [&] { D::call(p.side, p.uplo, p.m, p.n, p.alpha, a, b, p.beta, c); });

    std::vector<cx> wa = a.wide(), wb = b.wide(), want = o.c0.wide();
    std::vector<ld> mag(want.size(), 0);
    l3s_ref::symm(p.side, p.uplo, D::herm, p.m, p.n, p.alpha, wa.data(), a.ld, wb.data(), b.ld, p.beta, want.data(),
                  c.ld, mag.data());
    char what[160];
    snprintf(what, sizeof what, "%s%s side=%c uplo=%c m=%d n=%d alpha=(%g,%g) beta=(%g,%g) threads=%d",
             D::cplx ? "complex " : "real ", D::herm ? "hemm" : "symm", p.side, p.uplo, p.m, p.n,
             (double)p.alpha.re, (double)p.alpha.im, (double)p.beta.re, (double)p.beta.im, p.threads);
    compare(what, c, o.c0, want, mag, 2 * zem_test::tol<typename D::E>(na), [](int, int) { return true; });
}

#if defined(__i386__)
const std::vector<int> kOrders = {1, 17, 127, 129};
#else
const std::vector<int> kOrders = {1, 17, 127, 128, 129, 257, 300};
#endif

// Diagonal blocks of 128 and the coupling products on both sides of each.
TYPED_TEST(Symm, OrdersAcrossBlockBorders)
{
    const bool cplx = TypeParam::cplx;
    for (int order : kOrders)
        for (char side : {'L', 'R'})
            for (char uplo : {'U', 'L'}) {
                Case p;
                p.side = side;
                p.uplo = uplo;
                (side == 'L' ? p.m : p.n) = order;
                (side == 'L' ? p.n : p.m) = 23;
                p.alpha = {0.75, cplx ? -0.5 : 0};
                p.beta = {0.5, cplx ? 0.25 : 0};
                p.seed = order + 3 * side + uplo;
                run<TypeParam>(p);
            }
}

// alpha = 0 reads neither A nor B (NaN there) and scales C, or leaves it
// with beta = 1; beta = 0 overwrites NaN in C; m = 0 and n = 0.
TYPED_TEST(Symm, AlphaBetaSpecialValues)
{
    for (int threads : {1, 2})
        for (char side : {'L', 'R'}) {
            for (cx beta : {cx{0, 0}, cx{1, 0}, cx{-2, 0}}) {
                Case p;
                p.side = side;
                p.m = 40;
                p.n = 30;
                p.alpha = {0, 0};
                p.beta = beta;
                p.nan_ab = true;
                p.threads = threads;
                run<TypeParam>(p);
                p.nan_ab = false;
                p.alpha = {1, 0};
                p.nan_c = beta.re == 0;
                run<TypeParam>(p);
            }
            for (int mn : {0, 1}) {
                Case p;
                p.side = side;
                p.m = mn ? 0 : 9;
                p.n = mn ? 9 : 0;
                p.beta = {0, 0};
                run<TypeParam>(p);
            }
        }
}

// Without work memory the diagonal block is expanded a column at a time;
// the products inside fail their own requests as they come.
TYPED_TEST(Symm, WithoutWorkMemory)
{
    for (char side : {'L', 'R'})
        for (char uplo : {'U', 'L'}) {
            Case p;
            p.side = side;
            p.uplo = uplo;
            p.m = side == 'L' ? 130 : 7;
            p.n = side == 'L' ? 7 : 130;
            p.alpha = {0.5, TypeParam::cplx ? 1.0 : 0};
            zem_test::for_each_failing_allocation([&] { run<TypeParam>(p); });
        }
}

// Slabs of columns (side L) or rows (side R), floor chunk, the last slab
// taking the rest.
TYPED_TEST(Symm, ThreadsAgainstReference)
{
    ASSERT_EQ(0, kEnvSet);
    ASSERT_EQ(0, _ZEM_SERV_in_serial());
    for (int threads : {2, 3})
        for (char side : {'L', 'R'})
            for (char uplo : {'U', 'L'})
                for (int other : {2, 50}) {
                    Case p;
                    p.side = side;
                    p.uplo = uplo;
                    (side == 'L' ? p.m : p.n) = 140;
                    (side == 'L' ? p.n : p.m) = other;
                    p.alpha = {1.25, TypeParam::cplx ? 0.5 : 0};
                    p.beta = {1, 0};
                    p.threads = threads;
                    p.seed = threads + other;
                    run<TypeParam>(p);
                }
}

} // namespace
