// Argument checks of every level-2 and level-3 routine: each position is
// reported with the routine's padded name, only the first failure counts,
// lower-case options pass and zero sizes are valid.
#include <gtest/gtest.h>
#include <functional>
#include <map>
#include <string>
#include <vector>
#include "blas/interface/entry.h"
#include "tests/support/zem_test.h"

namespace {

// Every argument a check may read; defaults form a valid call of any family.
struct Args {
    std::string trans = "N", transa = "N", transb = "N", uplo = "U", side = "L", diag = "N";
    int m = 4, n = 3, k = 2, kl = 1, ku = 1, lda = 5, ldb = 5, ldc = 5, incx = 1, incy = 1;
};

// Converts to whatever data pointer a check's signature wants; checks never
// read the data, and the storage is there should one try.
struct AnyPtr {
    void *p;
    template <class T> operator T *() const { return static_cast<T *>(p); }
};

using Caller = std::function<int(const Args &)>;

struct Routine {
    std::string name;   // upper case, unpadded
    std::string family; // check family from the routine table
    Caller call;
};

double g_storage[64];

// Every checked routine of the table, callable with an Args record. The
// local names are those of the table's argument lists.
std::vector<Routine> all_checked()
{
    std::vector<Routine> out;
#define ZEM_CALLER(UP, lo, SHAPE, chk)                                                     \
    out.push_back(Routine{#UP, #chk, [](const Args &g) {                                   \
                              const char *trans = g.trans.c_str(), *transa = g.transa.c_str(); \
                              const char *transb = g.transb.c_str(), *uplo = g.uplo.c_str();  \
                              const char *side = g.side.c_str(), *diag = g.diag.c_str();      \
                              const int *m = &g.m, *n = &g.n, *k = &g.k, *kl = &g.kl;         \
                              const int *ku = &g.ku, *lda = &g.lda, *ldb = &g.ldb;            \
                              const int *ldc = &g.ldc, *incx = &g.incx, *incy = &g.incy;      \
                              AnyPtr alpha{g_storage}, beta{g_storage}, a{g_storage};         \
                              AnyPtr b{g_storage}, c{g_storage}, x{g_storage}, y{g_storage};  \
                              AnyPtr ap{g_storage};                                           \
                              (void)trans, (void)transa, (void)transb, (void)uplo, (void)side; \
                              (void)diag, (void)m, (void)n, (void)k, (void)kl, (void)ku;      \
                              (void)lda, (void)ldb, (void)ldc, (void)incx, (void)incy;        \
                              (void)alpha, (void)beta, (void)a, (void)b, (void)c, (void)x;    \
                              (void)y, (void)ap;                                              \
                              return _ZEM_BLAS_errchk_##lo ZEM_A_##SHAPE;                     \
                          }});
#define ZEM_IF_CK(UP, lo, SHAPE, chk) ZEM_CALLER(UP, lo, SHAPE, chk)
#define ZEM_IF_L1(UP, lo, SHAPE, chk)
#define ZEM_IF_NF(UP, lo, SHAPE, chk)
#define ZEM_ROUTINE(have, kind, UP, lo, RET, SHAPE, T, R, chk) ZEM_IF_##kind(UP, lo, SHAPE, chk)
#include "zem_blas.def"
#undef ZEM_ROUTINE
    return out;
}

using Mutation = std::function<void(Args &)>;
struct Failure {
    int position;
    Mutation bad;
};

const Mutation bad_trans = [](Args &g) { g.trans = "X"; };
const Mutation bad_uplo = [](Args &g) { g.uplo = "A"; };
const Mutation bad_diag = [](Args &g) { g.diag = "T"; };
const Mutation bad_side = [](Args &g) { g.side = "U"; };

// Positions each family reports, and an argument change that triggers it.
// Listed in increasing position, so the first entries win when combined.
std::map<std::string, std::vector<Failure>> expected_failures()
{
    std::vector<Failure> l2_tri = {{1, bad_uplo}, {2, bad_trans}, {3, bad_diag},
                                   {4, [](Args &g) { g.n = -1; }}};
    std::vector<Failure> syrk = {{1, bad_uplo},
                                 {2, [](Args &g) { g.trans = "Q"; }},
                                 {3, [](Args &g) { g.n = -1; }},
                                 {4, [](Args &g) { g.k = -1; }},
                                 {7, [](Args &g) { g.lda = 2; }},  // n = 3 rows of A
                                 {10, [](Args &g) { g.ldc = 2; }}};
    std::vector<Failure> syr2k = {{1, bad_uplo},
                                  {2, [](Args &g) { g.trans = "Q"; }},
                                  {3, [](Args &g) { g.n = -1; }},
                                  {4, [](Args &g) { g.k = -1; }},
                                  {7, [](Args &g) { g.lda = 2; }},
                                  {9, [](Args &g) { g.ldb = 2; }},
                                  {12, [](Args &g) { g.ldc = 2; }}};
    auto tri = [&](std::vector<Failure> tail) {
        std::vector<Failure> f = l2_tri;
        f.insert(f.end(), tail.begin(), tail.end());
        return f;
    };
    return {
        {"gemm",
         {{1, [](Args &g) { g.transa = "X"; }},
          {2, [](Args &g) { g.transb = "/"; }},
          {3, [](Args &g) { g.m = -1; }},
          {4, [](Args &g) { g.n = -1; }},
          {5, [](Args &g) { g.k = -1; }},
          {8, [](Args &g) { g.lda = 3; }},  // m = 4 rows of A
          {10, [](Args &g) { g.ldb = 1; }}, // k = 2 rows of B
          {13, [](Args &g) { g.ldc = 3; }}}},
        {"gemv",
         {{1, bad_trans},
          {2, [](Args &g) { g.m = -1; }},
          {3, [](Args &g) { g.n = -1; }},
          {6, [](Args &g) { g.lda = 3; }},
          {8, [](Args &g) { g.incx = 0; }},
          {11, [](Args &g) { g.incy = 0; }}}},
        {"gbmv",
         {{1, bad_trans},
          {2, [](Args &g) { g.m = -1; }},
          {3, [](Args &g) { g.n = -1; }},
          {4, [](Args &g) { g.kl = -1; }},
          {5, [](Args &g) { g.ku = -1; }},
          {8, [](Args &g) { g.lda = 2; }}, // kl + ku + 1 = 3
          {10, [](Args &g) { g.incx = 0; }},
          {13, [](Args &g) { g.incy = 0; }}}},
        {"ger",
         {{1, [](Args &g) { g.m = -1; }},
          {2, [](Args &g) { g.n = -1; }},
          {5, [](Args &g) { g.incx = 0; }},
          {7, [](Args &g) { g.incy = 0; }},
          {9, [](Args &g) { g.lda = 3; }}}},
        {"symv",
         {{1, bad_uplo},
          {2, [](Args &g) { g.n = -1; }},
          {5, [](Args &g) { g.lda = 2; }},
          {7, [](Args &g) { g.incx = 0; }},
          {10, [](Args &g) { g.incy = 0; }}}},
        {"sbmv",
         {{1, bad_uplo},
          {2, [](Args &g) { g.n = -1; }},
          {3, [](Args &g) { g.k = -1; }},
          {6, [](Args &g) { g.lda = 2; }}, // k + 1 = 3
          {8, [](Args &g) { g.incx = 0; }},
          {11, [](Args &g) { g.incy = 0; }}}},
        {"spmv",
         {{1, bad_uplo},
          {2, [](Args &g) { g.n = -1; }},
          {6, [](Args &g) { g.incx = 0; }},
          {9, [](Args &g) { g.incy = 0; }}}},
        {"syr",
         {{1, bad_uplo},
          {2, [](Args &g) { g.n = -1; }},
          {5, [](Args &g) { g.incx = 0; }},
          {7, [](Args &g) { g.lda = 2; }}}},
        {"spr", {{1, bad_uplo}, {2, [](Args &g) { g.n = -1; }}, {5, [](Args &g) { g.incx = 0; }}}},
        {"syr2",
         {{1, bad_uplo},
          {2, [](Args &g) { g.n = -1; }},
          {5, [](Args &g) { g.incx = 0; }},
          {7, [](Args &g) { g.incy = 0; }},
          {9, [](Args &g) { g.lda = 2; }}}},
        {"spr2",
         {{1, bad_uplo},
          {2, [](Args &g) { g.n = -1; }},
          {5, [](Args &g) { g.incx = 0; }},
          {7, [](Args &g) { g.incy = 0; }}}},
        {"trmv", tri({{6, [](Args &g) { g.lda = 2; }}, {8, [](Args &g) { g.incx = 0; }}})},
        {"tbmv",
         tri({{5, [](Args &g) { g.k = -1; }},
              {7, [](Args &g) { g.lda = 2; }}, // k + 1 = 3
              {9, [](Args &g) { g.incx = 0; }}})},
        {"tpmv", tri({{7, [](Args &g) { g.incx = 0; }}})},
        {"trmm",
         {{1, bad_side},
          {2, bad_uplo},
          {3, [](Args &g) { g.transa = "B"; }},
          {4, bad_diag},
          {5, [](Args &g) { g.m = -1; }},
          {6, [](Args &g) { g.n = -1; }},
          {9, [](Args &g) { g.lda = 3; }}, // side L: m = 4 rows of A
          {11, [](Args &g) { g.ldb = 3; }}}},
        {"symm",
         {{1, bad_side},
          {2, bad_uplo},
          {3, [](Args &g) { g.m = -1; }},
          {4, [](Args &g) { g.n = -1; }},
          {7, [](Args &g) { g.lda = 3; }},
          {9, [](Args &g) { g.ldb = 3; }},
          {12, [](Args &g) { g.ldc = 3; }}}},
        {"syrk_real", syrk},
        {"syrk_sym", syrk},
        {"syrk_herm", syrk},
        {"syr2k_real", syr2k},
        {"syr2k_sym", syr2k},
        {"syr2k_herm", syr2k},
    };
}

std::string padded(const std::string &name) { return name + std::string(6 - name.size(), ' '); }

class Checks : public testing::TestWithParam<Routine> {
protected:
    // Calls the check and returns its result and printed output.
    std::pair<int, std::string> run(const Args &g)
    {
        int r = -7;
        std::string out = zem_test::captured_stdout([&] { r = GetParam().call(g); });
        return {r, out};
    }
    const std::vector<Failure> &failures()
    {
        static auto table = expected_failures();
        auto it = table.find(GetParam().family);
        EXPECT_NE(it, table.end()) << "no expectations for family " << GetParam().family;
        static const std::vector<Failure> none;
        return it == table.end() ? none : it->second;
    }
};

TEST_P(Checks, ValidCallPassesSilently)
{
    EXPECT_EQ(run(Args{}), std::make_pair(0, std::string()));
}

TEST_P(Checks, EachPositionReportedWithPaddedName)
{
    for (const Failure &f : failures()) {
        Args g;
        f.bad(g);
        EXPECT_EQ(run(g), std::make_pair(1, zem_test::param_line(f.position, padded(GetParam().name))))
            << "position " << f.position;
    }
}

TEST_P(Checks, OnlyFirstFailureReported)
{
    const auto &f = failures();
    for (size_t i = 0; i + 1 < f.size(); ++i) {
        Args g;
        for (size_t j = f.size(); j-- > i;)
            f[j].bad(g);
        EXPECT_EQ(run(g), std::make_pair(1, zem_test::param_line(f[i].position, padded(GetParam().name))))
            << "failures from position " << f[i].position << " on";
    }
}

TEST_P(Checks, LowerCaseOptionsAccepted)
{
    for (const char *u : {"u", "l"})
        for (const char *t : {"n", "t", "c"})
            for (const char *s : {"l", "r"})
                for (const char *d : {"u", "n"}) {
                    Args g;
                    g.uplo = u, g.trans = g.transa = g.transb = t, g.side = s, g.diag = d;
                    g.m = g.n = g.k = 3; // square, so either side or transposition fits
                    const std::string &fam = GetParam().family;
                    if ((fam.find("_sym") != std::string::npos && *t == 'c') ||
                        (fam.find("_herm") != std::string::npos && *t == 't'))
                        continue;
                    EXPECT_EQ(run(g).first, 0) << u << t << s << d;
                }
}

TEST_P(Checks, ZeroSizesAreValid)
{
    Args g;
    g.m = g.n = g.k = g.kl = g.ku = 0;
    g.lda = g.ldb = g.ldc = 1;
    EXPECT_EQ(run(g), std::make_pair(0, std::string()));
}

INSTANTIATE_TEST_SUITE_P(EveryRoutine, Checks, testing::ValuesIn(all_checked()),
                         [](const testing::TestParamInfo<Routine> &i) { return i.param.name; });

TEST(ChecksTable, CoversEveryFamilyAndPrecision)
{
    std::map<std::string, int> per_family;
    for (const Routine &r : all_checked())
        per_family[r.family]++;
    EXPECT_EQ(all_checked().size(), 96u);
    EXPECT_EQ(per_family["gemm"], 4);
    EXPECT_EQ(per_family["trmv"], 8); // trmv and trsv, four precisions each
    EXPECT_EQ(per_family["trmm"], 8);
    EXPECT_EQ(per_family["syrk_herm"], 2);
}

struct TransCase {
    const char *trans;
    int expected;
};

// Which transpositions a rank-k update takes depends on its data type.
TEST(RankKTransposition, RealTakesTAndCComplexSymmetricOnlyTHermitianOnlyC)
{
    const char *uplo = "U";
    int n = 2, k = 2, ld = 2;
    double buf[8] = {};
    auto out = [&](auto check, const char *t) {
        int r = -7;
        std::string s = zem_test::captured_stdout([&] { r = check(t); });
        return std::make_pair(r, s);
    };
    auto dsyrk = [&](const char *t) {
        return _ZEM_BLAS_errchk_dsyrk(uplo, t, &n, &k, buf, buf, &ld, buf, buf, &ld);
    };
    auto csyrk = [&](const char *t) {
        return _ZEM_BLAS_errchk_csyrk(uplo, t, &n, &k, (ZEM_Complex8 *)buf, (ZEM_Complex8 *)buf, &ld,
                                      (ZEM_Complex8 *)buf, (ZEM_Complex8 *)buf, &ld);
    };
    auto cherk = [&](const char *t) {
        return _ZEM_BLAS_errchk_cherk(uplo, t, &n, &k, (float *)buf, (ZEM_Complex8 *)buf, &ld,
                                      (float *)buf, (ZEM_Complex8 *)buf, &ld);
    };
    auto zher2k = [&](const char *t) {
        return _ZEM_BLAS_errchk_zher2k(uplo, t, &n, &k, (ZEM_Complex16 *)buf, (ZEM_Complex16 *)buf, &ld,
                                       (ZEM_Complex16 *)buf, &ld, buf, (ZEM_Complex16 *)buf, &ld);
    };
    EXPECT_EQ(out(dsyrk, "C").first, 0);
    EXPECT_EQ(out(dsyrk, "t").first, 0);
    EXPECT_EQ(out(csyrk, "C"), std::make_pair(1, zem_test::param_line(2, "CSYRK ")));
    EXPECT_EQ(out(csyrk, "T").first, 0);
    EXPECT_EQ(out(cherk, "T"), std::make_pair(1, zem_test::param_line(2, "CHERK ")));
    EXPECT_EQ(out(cherk, "c").first, 0);
    EXPECT_EQ(out(zher2k, "T"), std::make_pair(1, zem_test::param_line(2, "ZHER2K")));
}

TEST(BandChecks, LeadingDimensionHasNoFloorOfOne)
{
    int m = 3, n = 3, kl = 1, ku = 1, lda = 2, inc = 1;
    double buf[16] = {};
    std::string s = zem_test::captured_stdout([&] {
        EXPECT_EQ(_ZEM_BLAS_errchk_dgbmv("N", &m, &n, &kl, &ku, buf, buf, &lda, buf, &inc, buf, buf, &inc), 1);
    });
    EXPECT_EQ(s, zem_test::param_line(8, "DGBMV "));
    // With kl = ku = 0 a band of one diagonal fits in lda = 1.
    kl = ku = 0, lda = 1;
    EXPECT_EQ(_ZEM_BLAS_errchk_dgbmv("N", &m, &n, &kl, &ku, buf, buf, &lda, buf, &inc, buf, buf, &inc), 0);
    int k = 0, zero = 0;
    EXPECT_EQ(_ZEM_BLAS_errchk_dtbmv("U", "N", "N", &n, &k, buf, &lda, buf, &inc), 0);
    lda = 0;
    std::string t = zem_test::captured_stdout([&] {
        EXPECT_EQ(_ZEM_BLAS_errchk_dtbmv("U", "N", "N", &zero, &k, buf, &lda, buf, &inc), 1);
    });
    EXPECT_EQ(t, zem_test::param_line(7, "DTBMV "));
}

TEST(GemmChecks, LeadingDimensionsFollowTransposition)
{
    int m = 2, n = 3, k = 5, lda = 5, ldb = 3, ldc = 2;
    double buf[4] = {};
    // Transposed operands: A has k rows, B has n rows.
    EXPECT_EQ(_ZEM_BLAS_errchk_dgemm("T", "T", &m, &n, &k, buf, buf, &lda, buf, &ldb, buf, buf, &ldc), 0);
    lda = 4;
    std::string s = zem_test::captured_stdout([&] {
        EXPECT_EQ(_ZEM_BLAS_errchk_dgemm("t", "t", &m, &n, &k, buf, buf, &lda, buf, &ldb, buf, buf, &ldc), 1);
    });
    EXPECT_EQ(s, zem_test::param_line(8, "DGEMM "));
    // trmm with side R sizes A by n.
    int tm = 5, tn = 2, tlda = 2, tldb = 5;
    EXPECT_EQ(_ZEM_BLAS_errchk_dtrmm("R", "L", "N", "U", &tm, &tn, buf, buf, &tlda, buf, &tldb), 0);
}

} // namespace
