// The rank-k and rank-2k updates (syrk, herk, syr2k, her2k for every type)
// against the long-double reference: orders across the diagonal-block
// borders, every uplo and trans, the other triangle bit for bit, special
// alpha and beta, the real diagonal of the Hermitian forms, and two and
// three threads.
#include <omp.h>

#include "tests/blas/level3/symmetric/sym_case.h"

using namespace sym_test;

namespace {

const int kEnvSet = parallel_environment();

template <class E_, class R_, bool TWO, auto FN>
struct Rk {
    typedef E_ E;
    typedef R_ R; // type of beta (and of alpha for the rank-k forms)
    static constexpr bool two = TWO, cplx = Api<E>::cplx;
    static constexpr bool herm = cplx && !std::is_same<E, R>::value;
    static void call(char uplo, char trans, int n, int k, cx alpha, const Mat<E> &a, const Mat<E> &b, cx beta,
                     Mat<E> &c)
    {
        const R be = zem_ref::put<R>(beta);
        if constexpr (TWO) {
            const E al = zem_ref::put<E>(alpha);
            FN(&uplo, &trans, &n, &k, &al, a.v.data(), &a.ld, b.v.data(), &b.ld, &be, c.v.data(), &c.ld);
        } else {
            const R al = zem_ref::put<R>(alpha);
            FN(&uplo, &trans, &n, &k, &al, a.v.data(), &a.ld, &be, c.v.data(), &c.ld);
        }
    }
};

typedef ::testing::Types<
    Rk<double, double, false, dsyrk_>, Rk<ZEM_Complex16, double, false, zherk_>,
    Rk<double, double, true, dsyr2k_>, Rk<ZEM_Complex16, double, true, zher2k_>,
    Rk<ZEM_Complex16, ZEM_Complex16, false, zsyrk_>, Rk<ZEM_Complex16, ZEM_Complex16, true, zsyr2k_>,
    Rk<float, float, false, ssyrk_>, Rk<ZEM_Complex8, float, false, cherk_>, Rk<float, float, true, ssyr2k_>,
    Rk<ZEM_Complex8, float, true, cher2k_>, Rk<ZEM_Complex8, ZEM_Complex8, false, csyrk_>,
    Rk<ZEM_Complex8, ZEM_Complex8, true, csyr2k_>>
    Routines;

template <class D>
class RankUpdate : public ThreadedTest<D> {};
TYPED_TEST_SUITE(RankUpdate, Routines);

// The letter of the transposed form: T for the symmetric, C for the
// Hermitian routines (real routines take either).
template <class D>
char trans_letter()
{
    return D::herm ? 'C' : 'T';
}

template <class D>
void run(const Case &p)
{
    const bool nt = p.trans == 'N';
    const int ar = nt ? p.n : p.k, ac = nt ? p.k : p.n;
    Operands<typename D::E> o(p, ar, ac, ar, ac, p.n, p.n);
    Mat<typename D::E> &a = o.a, &b = o.b, &c = o.c;
    o.run(p, [&] { D::call(p.uplo, p.trans, p.n, p.k, p.alpha, a, b, p.beta, c); });

    std::vector<cx> wa = a.wide(), wb = b.wide(), want = o.c0.wide();
    std::vector<ld> mag(want.size(), 0);
    const char rt = nt ? 'N' : D::cplx ? p.trans : 'T';
    l3s_ref::rank_update(p.uplo, rt, D::two, D::herm, p.n, p.k, p.alpha, wa.data(), a.ld, wb.data(), b.ld, p.beta,
                         want.data(), c.ld, mag.data());
    char what[160];
    snprintf(what, sizeof what, "%s%s%s uplo=%c trans=%c n=%d k=%d alpha=(%g,%g) beta=%g threads=%d",
             D::cplx ? "complex " : "real ", D::herm ? "Hermitian" : "symmetric", D::two ? " rank-2k" : " rank-k",
             p.uplo, p.trans, p.n, p.k, (double)p.alpha.re, (double)p.alpha.im, (double)p.beta.re, p.threads);
    const bool up = p.uplo == 'U';
    const ld tol = 2 * zem_test::tol<typename D::E>((D::two ? 2 : 1) * p.k);
    compare(what, c, o.c0, want, mag, tol, [&](int i, int j) { return up ? i <= j : i >= j; });
    // a Hermitian result has a real diagonal, unless nothing was done
    const bool nothing = (p.k == 0 || (p.alpha.re == 0 && p.alpha.im == 0)) && p.beta.re == 1;
    if (D::herm && !nothing)
        for (int j = 0; j < p.n; ++j)
            if (zem_ref::get(c.v[j + (size_t)j * c.ld]).im != 0) {
                ADD_FAILURE() << what << ": diagonal element " << j << " not real";
                break;
            }
}

#if defined(__i386__)
const std::vector<int> kOrders = {1, 17, 33, 63, 65, 129};
#else
const std::vector<int> kOrders = {1, 16, 17, 31, 32, 33, 63, 64, 65, 127, 128, 129, 255, 256, 257};
#endif

// Serial drivers: diagonal blocks of 32, 64 and 128 and the rectangles
// beside them, both triangles, both forms of op.
TYPED_TEST(RankUpdate, OrdersAcrossBlockBorders)
{
    for (int n : kOrders)
        for (char uplo : {'U', 'L'})
            for (char trans : {'N', trans_letter<TypeParam>()}) {
                Case p;
                p.uplo = uplo;
                p.trans = trans;
                p.n = n;
                p.k = n % 2 ? 45 : 70;
                p.alpha = {0.75, TypeParam::cplx && !TypeParam::herm ? -0.5 : 0};
                if (TypeParam::two && TypeParam::cplx)
                    p.alpha.im = 0.25;
                p.beta = {0.5, TypeParam::cplx && !TypeParam::herm ? 0.25 : 0};
                p.seed = n + 7 * uplo + trans;
                run<TypeParam>(p);
            }
}

// Lower-case letters; the real routines take C as a transpose.
TYPED_TEST(RankUpdate, OptionLetters)
{
    for (char uplo : {'u', 'l'})
        for (char trans : {'n', (char)tolower(trans_letter<TypeParam>())}) {
            Case p;
            p.uplo = uplo;
            p.trans = trans;
            p.n = 20;
            p.k = 9;
            Case q = p; // the reference takes upper case
            q.uplo = (char)toupper(uplo);
            q.trans = (char)toupper(trans);
            typedef typename TypeParam::E E;
            Mat<E> a(trans == 'n' ? 20 : 9, trans == 'n' ? 9 : 20, 3), c1(20, 20, 4), c2 = c1;
            TypeParam::call(p.uplo, p.trans, 20, 9, p.alpha, a, a, p.beta, c1);
            TypeParam::call(q.uplo, q.trans, 20, 9, q.alpha, a, a, q.beta, c2);
            EXPECT_EQ(0, memcmp(c1.v.data(), c2.v.data(), c1.v.size() * sizeof(E))) << uplo << trans;
        }
    if (!TypeParam::cplx) {
        Case p;
        p.trans = 'C';
        p.n = 40;
        p.k = 20;
        run<TypeParam>(p);
    }
}

// alpha = 0 does not read A or B; beta = 0 does not read C; beta = 1 and
// k = 0; n = 0 does nothing; a Hermitian diagonal becomes real even with
// beta = 1 (run() checks it). Below and above the parallel size gate.
TYPED_TEST(RankUpdate, AlphaBetaSpecialValues)
{
    for (int n : {0, 5, 40})
        for (int threads : {1, 2})
            for (char uplo : {'U', 'L'}) {
                for (cx beta : {cx{0, 0}, cx{1, 0}, cx{2, 0}}) {
                    Case p; // alpha = 0 with NaN in A and B
                    p.uplo = uplo;
                    p.n = n;
                    p.k = 7;
                    p.alpha = {0, 0};
                    p.beta = beta;
                    p.nan_ab = true;
                    p.threads = threads;
                    run<TypeParam>(p);
                    p.nan_ab = false; // k = 0
                    p.alpha = {1, 0};
                    p.k = 0;
                    run<TypeParam>(p);
                }
                Case p; // beta = 0 with NaN in C, and beta = 1
                p.uplo = uplo;
                p.trans = trans_letter<TypeParam>();
                p.n = n;
                p.k = 19;
                p.beta = {0, 0};
                p.nan_c = true;
                p.threads = threads;
                run<TypeParam>(p);
                p.nan_c = false;
                p.beta = {1, 0};
                p.alpha = {-1, 0};
                run<TypeParam>(p);
            }
}

// Two and three threads: one diagonal block per thread (ceiling chunk),
// the rectangles beside them by gemm with the routine's beta.
TYPED_TEST(RankUpdate, ThreadsAgainstReference)
{
    ASSERT_EQ(0, kEnvSet);
    ASSERT_EQ(0, _ZEM_SERV_in_serial());
#if defined(__i386__) || defined(ZEM_RACE_DETECTOR) // the emulator, the race detector: the smaller orders
    const std::vector<int> orders = {17, 70};
#else
    const std::vector<int> orders = {17, 70, 257};
#endif
    for (int threads : {2, 3})
        for (int n : orders)
            for (char uplo : {'U', 'L'})
                for (char trans : {'N', trans_letter<TypeParam>()}) {
                    Case p;
                    p.uplo = uplo;
                    p.trans = trans;
                    p.n = n;
                    p.k = 33;
                    p.alpha = {-0.5, TypeParam::two && TypeParam::cplx ? 0.5 : 0};
                    p.beta = {TypeParam::herm ? 1.0L : 0.25L, 0};
                    p.threads = threads;
                    p.seed = n * threads;
                    run<TypeParam>(p);
                }
}

// Without work memory the diagonal blocks are multiplied column by column
// straight into C: the same result.
TYPED_TEST(RankUpdate, WithoutWorkMemory)
{
    for (char uplo : {'U', 'L'}) {
        Case p;
        p.uplo = uplo;
        p.trans = trans_letter<TypeParam>();
        p.n = 70;
        p.k = 20;
        zem_test::for_each_failing_allocation([&] { run<TypeParam>(p); });
    }
}

} // namespace
