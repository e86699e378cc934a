// The argument checks of the level-2 and level-3 forms: every position of
// every check reports one line with the C name and leaves every output
// bit for bit as it was; the order of the tests (level 2 order first,
// level 3 options and dimensions before the order); the leading
// dimensions of the row-major shape; the transpositions each rank-k
// update accepts. And the level-1 forms, which never print.
#include "tests/blas/interface/cblas/cblas_test.h"

namespace {

using namespace cbt;
using zem_test::captured_stdout;
using zem_test::param_line;

template <class T> struct Checks : testing::Test {};
TYPED_TEST_SUITE(Checks, Types);

// One integer argument of a form: its value in a valid call, a value that
// fails its check, and its position in the C argument list.
struct Arg {
    int good, bad, pos;
};

// A form with its integer arguments in order and a call that takes them.
template <class T> struct Form {
    std::string name;
    std::vector<Arg> args;
    void (*call)(const int *v, T *a, T *b, T *c);
};

constexpr int kBig = 256;

template <class T> std::vector<Form<T>> forms()
{
    const bool cx = cplx<T>;
    static const T one = put<T>({1, 0});
    static const R<T> r1 = 1;
    // Options: a bad value is one past the range; order 100.
    const Arg order{CblasColMajor, 100, 1};
    auto opt = [](int good, int pos) { return Arg{good, good == CblasNoTrans ? 114 : 0, pos}; };
    std::vector<Form<T>> f = {
        {cx ? "gemv" : "gemv",
         {order, opt(CblasNoTrans, 2), {3, -1, 3}, {2, -1, 4}, {3, 1, 7}, {1, 0, 9}, {1, 0, 12}},
         [](const int *v, T *a, T *b, T *c) {
             CBT_CALL(gemv, gemv, (CBLAS_LAYOUT)v[0], (CBLAS_TRANSPOSE)v[1], v[2], v[3], sc(one), a, v[4], b, v[5],
                      sc(one), c, v[6]);
         }},
        {"gbmv",
         {order, opt(CblasNoTrans, 2), {3, -1, 3}, {2, -1, 4}, {1, -1, 5}, {1, -1, 6}, {3, 2, 9}, {1, 0, 11},
          {1, 0, 14}},
         [](const int *v, T *a, T *b, T *c) {
             CBT_CALL(gbmv, gbmv, (CBLAS_LAYOUT)v[0], (CBLAS_TRANSPOSE)v[1], v[2], v[3], v[4], v[5], sc(one), a, v[6],
                      b, v[7], sc(one), c, v[8]);
         }},
        {cx ? "geru" : "ger", {order, {3, -1, 2}, {2, -1, 3}, {1, 0, 6}, {1, 0, 8}, {3, 1, 10}},
         [](const int *v, T *a, T *b, T *c) {
             CBT_CALL(ger, geru, (CBLAS_LAYOUT)v[0], v[1], v[2], sc(one), b, v[3], c, v[4], a, v[5]);
         }},
        {cx ? "hemv" : "symv", {order, opt(CblasUpper, 2), {3, -1, 3}, {3, 2, 6}, {1, 0, 8}, {1, 0, 11}},
         [](const int *v, T *a, T *b, T *c) {
             CBT_CALL(symv, hemv, (CBLAS_LAYOUT)v[0], (CBLAS_UPLO)v[1], v[2], sc(one), a, v[3], b, v[4], sc(one), c,
                      v[5]);
         }},
        {cx ? "hbmv" : "sbmv", {order, opt(CblasUpper, 2), {3, -1, 3}, {1, -1, 4}, {2, 1, 7}, {1, 0, 9}, {1, 0, 12}},
         [](const int *v, T *a, T *b, T *c) {
             CBT_CALL(sbmv, hbmv, (CBLAS_LAYOUT)v[0], (CBLAS_UPLO)v[1], v[2], v[3], sc(one), a, v[4], b, v[5],
                      sc(one), c, v[6]);
         }},
        {cx ? "hpmv" : "spmv", {order, opt(CblasUpper, 2), {3, -1, 3}, {1, 0, 7}, {1, 0, 10}},
         [](const int *v, T *a, T *b, T *c) {
             CBT_CALL(spmv, hpmv, (CBLAS_LAYOUT)v[0], (CBLAS_UPLO)v[1], v[2], sc(one), a, b, v[3], sc(one), c, v[4]);
         }},
        {cx ? "her" : "syr", {order, opt(CblasUpper, 2), {3, -1, 3}, {1, 0, 6}, {3, 2, 8}},
         [](const int *v, T *a, T *b, T *) {
             CBT_CALL(syr, her, (CBLAS_LAYOUT)v[0], (CBLAS_UPLO)v[1], v[2], r1, b, v[3], a, v[4]);
         }},
        {cx ? "hpr" : "spr", {order, opt(CblasUpper, 2), {3, -1, 3}, {1, 0, 6}},
         [](const int *v, T *a, T *b, T *) {
             CBT_CALL(spr, hpr, (CBLAS_LAYOUT)v[0], (CBLAS_UPLO)v[1], v[2], r1, b, v[3], a);
         }},
        {cx ? "her2" : "syr2", {order, opt(CblasUpper, 2), {3, -1, 3}, {1, 0, 6}, {1, 0, 8}, {3, 2, 10}},
         [](const int *v, T *a, T *b, T *c) {
             CBT_CALL(syr2, her2, (CBLAS_LAYOUT)v[0], (CBLAS_UPLO)v[1], v[2], sc(one), b, v[3], c, v[4], a, v[5]);
         }},
        {cx ? "hpr2" : "spr2", {order, opt(CblasUpper, 2), {3, -1, 3}, {1, 0, 6}, {1, 0, 8}},
         [](const int *v, T *a, T *b, T *c) {
             CBT_CALL(spr2, hpr2, (CBLAS_LAYOUT)v[0], (CBLAS_UPLO)v[1], v[2], sc(one), b, v[3], c, v[4], a);
         }},
        {"trsv", {order, opt(CblasUpper, 2), opt(CblasNoTrans, 3), opt(CblasNonUnit, 4), {3, -1, 5}, {3, 2, 7},
                  {1, 0, 9}},
         [](const int *v, T *a, T *b, T *) {
             CBT_CALL(trsv, trsv, (CBLAS_LAYOUT)v[0], (CBLAS_UPLO)v[1], (CBLAS_TRANSPOSE)v[2], (CBLAS_DIAG)v[3], v[4],
                      a, v[5], b, v[6]);
         }},
        {"tbmv", {order, opt(CblasUpper, 2), opt(CblasNoTrans, 3), opt(CblasNonUnit, 4), {3, -1, 5}, {1, -1, 6},
                  {2, 1, 8}, {1, 0, 10}},
         [](const int *v, T *a, T *b, T *) {
             CBT_CALL(tbmv, tbmv, (CBLAS_LAYOUT)v[0], (CBLAS_UPLO)v[1], (CBLAS_TRANSPOSE)v[2], (CBLAS_DIAG)v[3], v[4],
                      v[5], a, v[6], b, v[7]);
         }},
        {"tpmv", {order, opt(CblasUpper, 2), opt(CblasNoTrans, 3), opt(CblasNonUnit, 4), {3, -1, 5}, {1, 0, 8}},
         [](const int *v, T *a, T *b, T *) {
             CBT_CALL(tpmv, tpmv, (CBLAS_LAYOUT)v[0], (CBLAS_UPLO)v[1], (CBLAS_TRANSPOSE)v[2], (CBLAS_DIAG)v[3], v[4],
                      a, b, v[5]);
         }},
        // Level 3: the order is tested after the options and dimensions.
        {"gemm", {{CblasColMajor, 100, 1}, opt(CblasNoTrans, 2), opt(CblasNoTrans, 3), {2, -1, 4}, {3, -1, 5},
                  {4, -1, 6}, {4, 1, 9}, {4, 2, 11}, {3, 1, 14}},
         [](const int *v, T *a, T *b, T *c) {
             CBT_CALL(gemm, gemm, (CBLAS_LAYOUT)v[0], (CBLAS_TRANSPOSE)v[1], (CBLAS_TRANSPOSE)v[2], v[3], v[4], v[5],
                      sc(one), a, v[6], b, v[7], sc(one), c, v[8]);
         }},
    };
    if constexpr (cplx<T>)
        f.push_back({"gerc", {order, {3, -1, 2}, {2, -1, 3}, {1, 0, 6}, {1, 0, 8}, {3, 1, 10}},
                     [](const int *v, T *a, T *b, T *c) {
                         CBT_CALL(ger, gerc, (CBLAS_LAYOUT)v[0], v[1], v[2], sc(one), b, v[3], c, v[4], a, v[5]);
                     }});
#if ZEM_HAS_DSYMM
    f.push_back({"symm", {order, opt(CblasLeft, 2), opt(CblasUpper, 3), {3, -1, 4}, {2, -1, 5}, {3, 2, 8},
                          {3, 1, 10}, {3, 1, 13}},
                 [](const int *v, T *a, T *b, T *c) {
                     CBT_CALL(symm, symm, (CBLAS_LAYOUT)v[0], (CBLAS_SIDE)v[1], (CBLAS_UPLO)v[2], v[3], v[4], sc(one),
                              a, v[5], b, v[6], sc(one), c, v[7]);
                 }});
#endif
#if ZEM_HAS_DSYRK
    f.push_back({"syrk", {order, opt(CblasUpper, 2), opt(CblasNoTrans, 3), {3, -1, 4}, {2, -1, 5}, {3, 1, 8},
                          {3, 2, 11}},
                 [](const int *v, T *a, T *, T *c) {
                     CBT_CALL(syrk, syrk, (CBLAS_LAYOUT)v[0], (CBLAS_UPLO)v[1], (CBLAS_TRANSPOSE)v[2], v[3], v[4],
                              sc(one), a, v[5], sc(one), c, v[6]);
                 }});
#endif
#if ZEM_HAS_DSYR2K
    f.push_back({"syr2k", {order, opt(CblasUpper, 2), opt(CblasNoTrans, 3), {3, -1, 4}, {2, -1, 5}, {3, 1, 8},
                           {3, 1, 10}, {3, 2, 13}},
                 [](const int *v, T *a, T *b, T *c) {
                     CBT_CALL(syr2k, syr2k, (CBLAS_LAYOUT)v[0], (CBLAS_UPLO)v[1], (CBLAS_TRANSPOSE)v[2], v[3], v[4],
                              sc(one), a, v[5], b, v[6], sc(one), c, v[7]);
                 }});
#endif
#if ZEM_HAS_DTRSM
    f.push_back({"trsm", {order, opt(CblasLeft, 2), opt(CblasUpper, 3), opt(CblasNoTrans, 4), opt(CblasNonUnit, 5),
                          {3, -1, 6}, {2, -1, 7}, {3, 2, 10}, {3, 1, 12}},
                 [](const int *v, T *a, T *b, T *) {
                     CBT_CALL(trsm, trsm, (CBLAS_LAYOUT)v[0], (CBLAS_SIDE)v[1], (CBLAS_UPLO)v[2],
                              (CBLAS_TRANSPOSE)v[3], (CBLAS_DIAG)v[4], v[5], v[6], sc(one), a, v[7], b, v[8]);
                 }});
#endif
    return f;
}

// Runs a form with the values v on NaN-free random data; returns what it
// printed and whether every buffer kept its bits.
template <class T> std::pair<std::string, bool> run(const Form<T> &f, const std::vector<int> &v)
{
    std::mt19937 g(3);
    std::vector<T> buf[3] = {rnd_vec<T>(kBig, g), rnd_vec<T>(kBig, g), rnd_vec<T>(kBig, g)};
    const std::vector<T> before[3] = {buf[0], buf[1], buf[2]};
    std::string out = captured_stdout([&] { f.call(v.data(), buf[0].data(), buf[1].data(), buf[2].data()); });
    return {out, same_bits(buf[0], before[0]) && same_bits(buf[1], before[1]) && same_bits(buf[2], before[2])};
}

template <class T> std::string cname(const Form<T> &f) { return std::string("cblas_") + Api<T>::prefix + f.name; }

TYPED_TEST(Checks, EveryPositionIsReportedAndChangesNothing)
{
    typedef TypeParam T;
    for (const Form<T> &f : forms<T>()) {
        std::vector<int> good;
        for (const Arg &a : f.args)
            good.push_back(a.good);
        for (int order : {CblasColMajor, CblasRowMajor}) {
            good[0] = order;
            EXPECT_EQ(run(f, good).first, "") << cname(f) << " valid call";
            for (size_t i = 0; i < f.args.size(); ++i) {
                std::vector<int> v = good;
                v[i] = f.args[i].bad;
                auto [out, unchanged] = run(f, v);
                EXPECT_EQ(out, param_line(f.args[i].pos, cname(f))) << "argument " << i;
                EXPECT_TRUE(unchanged) << cname(f) << " argument " << i;
            }
        }
    }
}

// Level 2 reports a bad order before anything else; level 3 reports the
// options and dimensions first, the order before the leading dimensions.
TYPED_TEST(Checks, OrderOfTheTests)
{
    typedef TypeParam T;
    for (const Form<T> &f : forms<T>()) {
        const bool level3 = f.name == "gemm" || f.name == "symm" || f.name == "syrk" || f.name == "syr2k" ||
                            f.name == "trsm";
        std::vector<int> v;
        for (const Arg &a : f.args)
            v.push_back(a.bad); // every argument bad
        const int first_other = f.args[1].pos;
        EXPECT_EQ(run(f, v).first, param_line(level3 ? first_other : 1, cname(f)));
        if (level3) { // only the order and the last leading dimension bad
            for (size_t i = 1; i + 1 < f.args.size(); ++i)
                v[i] = f.args[i].good;
            EXPECT_EQ(run(f, v).first, param_line(1, cname(f)));
        }
    }
}

// Leading dimensions count the rows of the stored matrix in column-major
// order and its columns in row-major order (gemm M = 2, N = 3, K = 4;
// gemv and ger M = 3, N = 2; lda = 2 in each).
TYPED_TEST(Checks, LeadingDimensionsFollowTheLayout)
{
    typedef TypeParam T;
    for (const Form<T> &f : forms<T>()) {
        const bool mm = f.name == "gemm";
        if (!mm && f.name != "gemv" && f.name != "ger" && f.name != "geru")
            continue;
        std::vector<int> v;
        for (const Arg &a : f.args)
            v.push_back(a.good);
        const size_t lda = mm ? 6 : f.name == "gemv" ? 4 : 5;
        v[lda] = 2;
        const std::string bad = param_line(f.args[lda].pos, cname(f));
        EXPECT_EQ(run(f, v).first, mm ? "" : bad) << cname(f);
        v[0] = CblasRowMajor;
        EXPECT_EQ(run(f, v).first, mm ? bad : "") << cname(f);
    }
}

#if ZEM_HAS_DSYRK && ZEM_HAS_ZHERK
TEST(Checks, RankKTranspositions)
{
    float a[64] = {}, c[64] = {};
    ZEM_Complex8 ca[64] = {}, cc[64] = {};
    const ZEM_Complex8 one = {1, 0};
    auto out = [](auto fn) { return captured_stdout(fn); };
    EXPECT_EQ(out([&] { cblas_ssyrk(CblasColMajor, CblasUpper, CblasConjTrans, 2, 2, 1, a, 2, 1, c, 2); }), "");
    EXPECT_EQ(out([&] { cblas_csyrk(CblasColMajor, CblasUpper, CblasConjTrans, 2, 2, &one, ca, 2, &one, cc, 2); }),
              param_line(3, "cblas_csyrk"));
    EXPECT_EQ(out([&] { cblas_cherk(CblasRowMajor, CblasUpper, CblasTrans, 2, 2, 1, ca, 2, 1, cc, 2); }),
              param_line(3, "cblas_cherk"));
    EXPECT_EQ(out([&] { cblas_cherk(CblasRowMajor, CblasLower, CblasConjTrans, 2, 2, 1, ca, 2, 1, cc, 2); }), "");
}
#endif

// Level-1 forms print nothing, whatever their arguments; the index forms
// count from 0 and return 0 for an empty vector or a non-positive
// increment; the sparse forms take 0-based indices.
TEST(Level1, NeverPrintsAndCountsFromZero)
{
    double x[4] = {1, 5, -7, 2}, y[4] = {1, 1, 1, 1};
    ZEM_Complex16 z[2] = {{1, 1}, {2, 2}}, dot;
    std::string out = captured_stdout([&] {
        cblas_daxpy(-3, 2.0, x, 0, y, 0);
        cblas_dscal(4, 2.0, x, 0);
        cblas_dcopy(-1, x, 1, y, 1);
        cblas_zdotc_sub(-2, z, 0, z, 0, &dot);
        EXPECT_EQ(cblas_dnrm2(-1, x, 1), 0.0);
        EXPECT_EQ(cblas_idamax(0, x, 1), 0u);
        EXPECT_EQ(cblas_idamax(4, x, 0), 0u);
        EXPECT_EQ(cblas_idamax(4, x, -1), 0u);
    });
    EXPECT_EQ(out, "");
    const double a[2] = {1, 5}, b[2] = {5, 1};
    EXPECT_EQ(cblas_idamax(2, a, 1), 1u);
    EXPECT_EQ(cblas_idamax(2, b, 1), 0u);
    EXPECT_EQ(cblas_idamin(2, b, 1), 1u);
    EXPECT_EQ(cblas_izamax(2, z, 1), 1u);

    const int indx[2] = {2, 0};
    double d[3] = {1, 2, 3}, v[2] = {10, 20};
    cblas_daxpyi(2, 2.0, v, indx, d);
    EXPECT_EQ(d[0], 41);
    EXPECT_EQ(d[2], 23);
    EXPECT_EQ(cblas_ddoti(2, v, indx, d), 10 * 23 + 20 * 41);
    cblas_dgthrz(2, d, v, indx);
    EXPECT_EQ(v[0], 23);
    EXPECT_EQ(d[2], 0);
    cblas_zdotci_sub(1, z + 1, indx + 1, z, &dot);
    EXPECT_EQ(dot.real, 4); // conj(2+2i)*(1+i) = 4
    EXPECT_EQ(dot.imag, 0);
}

} // namespace
