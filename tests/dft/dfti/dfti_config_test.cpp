// Descriptor configuration: defaults, the set and get rules with their
// status codes, the dimension order of the C functions, the scales' home
// record, names, version, status texts and free.
#include <cstring>
#include <string>

#include "dft/kernel/default/f_dft/dfti_record.h"
#include "tests/dft/dfti/dfti_test_util.h"

namespace {

using dfti_test::Desc;
using dfti_test::get_int;

struct Kind {
    int precision, domain;
};

class Defaults : public ::testing::TestWithParam<Kind> {};

TEST_P(Defaults, FreshDescriptorReadsBackTheDefaults)
{
    Kind k = GetParam();
    Desc d;
    ASSERT_EQ(DftiCreateDescriptor(&d.h, k.precision, k.domain, 1, 100), 0);
    const std::pair<int, int> expected[] = {
        {DFTI_FORWARD_DOMAIN, k.domain}, {DFTI_DIMENSION, 1}, {DFTI_LENGTHS, 100},
        {DFTI_PRECISION, k.precision}, {DFTI_FORWARD_SIGN, 37}, {DFTI_NUMBER_OF_TRANSFORMS, 1},
        {DFTI_COMPLEX_STORAGE, 39}, {DFTI_REAL_STORAGE, 42}, {DFTI_CONJUGATE_EVEN_STORAGE, 40},
        {DFTI_PLACEMENT, 43}, {DFTI_PACKED_FORMAT, 54}, {DFTI_INPUT_DISTANCE, 0},
        {DFTI_OUTPUT_DISTANCE, 0}, {DFTI_INITIALIZATION_EFFORT, 46}, {DFTI_WORKSPACE, 51},
        {DFTI_ORDERING, 48}, {DFTI_TRANSPOSE, 53}, {DFTI_COMMIT_STATUS, 31},
        {DFTI_NUMBER_OF_USER_THREADS, 1}};
    for (auto e : expected)
        EXPECT_EQ(get_int(d.h, e.first), e.second) << "parameter " << e.first;
    for (int p : {DFTI_FORWARD_SCALE, DFTI_BACKWARD_SCALE}) {
        if (k.precision == DFTI_SINGLE) {
            float s = 0;
            EXPECT_EQ(DftiGetValue(d.h, p, &s), 0);
            EXPECT_EQ(s, 1.0f);
        } else {
            double s = 0;
            EXPECT_EQ(DftiGetValue(d.h, p, &s), 0);
            EXPECT_EQ(s, 1.0);
        }
    }
    for (int p : {DFTI_INPUT_STRIDES, DFTI_OUTPUT_STRIDES}) {
        int s[2] = {-1, -1};
        EXPECT_EQ(DftiGetValue(d.h, p, s), 0);
        EXPECT_EQ(s[0], 0);
        EXPECT_EQ(s[1], 1);
    }
    char name[DFTI_MAX_NAME_LENGTH + 1] = "x";
    EXPECT_EQ(DftiGetValue(d.h, DFTI_DESCRIPTOR_NAME, name), 0);
    EXPECT_STREQ(name, "");
    // 100 is not a power of two: the engine flag says so.
    EXPECT_EQ(d.h->engine_flag, 1);
    EXPECT_EQ(d.h->log2_length, 6);
}

INSTANTIATE_TEST_SUITE_P(Kinds, Defaults,
                         ::testing::Values(Kind{35, 32}, Kind{36, 32}, Kind{35, 33}, Kind{36, 33}));

// One int set through DftiSetValue: its status, whether the value is
// kept, and the descriptor left uncommitted whatever the outcome.
struct IntSet {
    int param, value, status;
};

class IntSets : public ::testing::TestWithParam<IntSet> {};

TEST_P(IntSets, StatusValueAndCommitState)
{
    IntSet c = GetParam();
    Desc d;
    ASSERT_EQ(DftiCreateDescriptor(&d.h, DFTI_SINGLE, DFTI_COMPLEX, 1, 64), 0);
    ASSERT_EQ(DftiCommitDescriptor(d.h), 0);
    ASSERT_EQ(get_int(d.h, DFTI_COMMIT_STATUS), DFTI_COMMITTED);
    // Large enough for any get (the version text included).
    int before[64] = {0}, after[64] = {0};
    bool readable = c.param != DFTI_LENGTHS && DftiGetValue(d.h, c.param, before) == 0;
    EXPECT_EQ(DftiSetValue(d.h, c.param, c.value), c.status);
    bool c_refuses_at_once = c.param == DFTI_DIMENSION || c.param == DFTI_LENGTHS;
    EXPECT_EQ(get_int(d.h, DFTI_COMMIT_STATUS), c_refuses_at_once ? DFTI_COMMITTED : DFTI_UNCOMMITTED);
    if (c.status == 0) {
        EXPECT_EQ(DftiGetValue(d.h, c.param, after), 0);
        EXPECT_EQ(after[0], c.value);
    } else if (readable && c.param != DFTI_COMMIT_STATUS) {
        EXPECT_EQ(DftiGetValue(d.h, c.param, after), 0);
        EXPECT_EQ(after[0], before[0]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, IntSets,
    ::testing::Values(IntSet{DFTI_NUMBER_OF_TRANSFORMS, 5, 0}, IntSet{DFTI_NUMBER_OF_TRANSFORMS, -2, 0},
                      IntSet{DFTI_INPUT_DISTANCE, 70, 0}, IntSet{DFTI_OUTPUT_DISTANCE, 80, 0},
                      IntSet{DFTI_NUMBER_OF_USER_THREADS, 4, 0}, IntSet{DFTI_COMPLEX_STORAGE, 39, 0},
                      IntSet{DFTI_COMPLEX_STORAGE, 42, 6}, IntSet{DFTI_COMPLEX_STORAGE, 40, 6},
                      IntSet{DFTI_COMPLEX_STORAGE, 41, 3}, IntSet{DFTI_PLACEMENT, 44, 0},
                      IntSet{DFTI_PLACEMENT, 45, 3}, IntSet{DFTI_ORDERING, 49, 0},
                      IntSet{DFTI_ORDERING, 50, 6}, IntSet{DFTI_ORDERING, 47, 3},
                      IntSet{DFTI_PACKED_FORMAT, 56, 0}, IntSet{DFTI_PACKED_FORMAT, 55, 0},
                      IntSet{DFTI_PACKED_FORMAT, 57, 3}, IntSet{DFTI_FORWARD_DOMAIN, 33, 6},
                      IntSet{DFTI_PRECISION, 36, 6}, IntSet{DFTI_FORWARD_SIGN, 37, 6},
                      IntSet{DFTI_REAL_STORAGE, 42, 6}, IntSet{DFTI_CONJUGATE_EVEN_STORAGE, 40, 6},
                      IntSet{DFTI_INITIALIZATION_EFFORT, 46, 6}, IntSet{DFTI_WORKSPACE, 51, 6},
                      IntSet{DFTI_TRANSPOSE, 53, 6}, IntSet{DFTI_DIMENSION, 2, 6},
                      IntSet{DFTI_LENGTHS, 8, 6}, IntSet{DFTI_COMMIT_STATUS, 30, 3},
                      IntSet{DFTI_VERSION, 0, 3}, IntSet{DFTI_FORWARD_ORDERING, 48, 3},
                      IntSet{DFTI_BACKWARD_ORDERING, 48, 3}, IntSet{27, 0, 3}, IntSet{-1, 0, 3}));

TEST(Get, CodesThatCannotBeReadAsAskedFor)
{
    Desc d;
    ASSERT_EQ(DftiCreateDescriptor(&d.h, DFTI_DOUBLE, DFTI_COMPLEX, 1, 16), 0);
    int v[8];
    EXPECT_EQ(DftiGetValue(d.h, DFTI_FORWARD_ORDERING, v), 6);
    EXPECT_EQ(DftiGetValue(d.h, DFTI_BACKWARD_ORDERING, v), 6);
    EXPECT_EQ(DftiGetValue(d.h, 27, v), 3);
    EXPECT_EQ(DftiGetValue(d.h, -3, v), 3);
    // The Fortran forms by value type.
    int p = DFTI_FORWARD_SCALE;
    EXPECT_EQ(DFTI_GET_VALUE_INTVAL(&d.h, &p, v), 3);
    p = DFTI_PLACEMENT;
    EXPECT_EQ(DFTI_GET_VALUE_INTVEC(&d.h, &p, v), 3);
    float f;
    EXPECT_EQ(dfti_get_value_sglval_(&d.h, &p, &f), 3);
    EXPECT_EQ(get_int(d.h, DFTI_COMMIT_STATUS), 31);

    Desc d2;
    int n2[2] = {3, 5};
    ASSERT_EQ(DftiCreateDescriptor(&d2.h, DFTI_SINGLE, DFTI_COMPLEX, 2, n2), 0);
    p = DFTI_LENGTHS;
    EXPECT_EQ(dfti_get_value_intval(&d2.h, &p, v), 2);
}

TEST(Create, LengthsAndStridesComeSlowestFirstAndAreKeptFastestFirst)
{
    Desc d;
    int n[2] = {4, 8};
    ASSERT_EQ(DftiCreateDescriptor(&d.h, DFTI_SINGLE, DFTI_COMPLEX, 2, n), 0);
    EXPECT_EQ(d.h[0].length, 8);
    EXPECT_EQ(d.h[1].length, 4);
    EXPECT_EQ(d.h[0].cumulative_size, 32);
    EXPECT_EQ(d.h[1].cumulative_size, 32);
    EXPECT_EQ(d.h[1].longest_length, 8);
    int s[3], len[2];
    EXPECT_EQ(DftiGetValue(d.h, DFTI_INPUT_STRIDES, s), 0);
    EXPECT_EQ(std::vector<int>(s, s + 3), (std::vector<int>{0, 8, 1}));
    EXPECT_EQ(DftiGetValue(d.h, DFTI_LENGTHS, len), 0);
    EXPECT_EQ(std::vector<int>(len, len + 2), (std::vector<int>{4, 8}));

    // Strides set slowest first are stored fastest first, offset in front.
    int given[3] = {5, 40, 2};
    EXPECT_EQ(DftiSetValue(d.h, DFTI_OUTPUT_STRIDES, given), 0);
    EXPECT_EQ(d.h[0].output_stride, 2);
    EXPECT_EQ(d.h[1].output_stride, 40);
    EXPECT_EQ(d.h[1].output_offset, 5);
    int back[3];
    EXPECT_EQ(DftiGetValue(d.h, DFTI_OUTPUT_STRIDES, back), 0);
    EXPECT_EQ(std::vector<int>(back, back + 3), (std::vector<int>{5, 40, 2}));
    int internal[3], p = DFTI_OUTPUT_STRIDES;
    EXPECT_EQ(DFTI_GET_VALUE_INTVEC(&d.h, &p, internal), 0);
    EXPECT_EQ(std::vector<int>(internal, internal + 3), (std::vector<int>{5, 2, 40}));
}

struct BadCreate {
    int precision, domain, dimension, length, status;
};
class CreateRefused : public ::testing::TestWithParam<BadCreate> {};

TEST_P(CreateRefused, LeavesTheHandleNull)
{
    BadCreate c = GetParam();
    DFTI_DESCRIPTOR_HANDLE h = reinterpret_cast<DFTI_DESCRIPTOR_HANDLE>(&c);
    int n[7] = {c.length, 4, 4, 4, 4, 4, 4};
    int st = c.dimension == 1 ? DftiCreateDescriptor(&h, c.precision, c.domain, 1, c.length)
                              : DftiCreateDescriptor(&h, c.precision, c.domain, c.dimension, n);
    EXPECT_EQ(st, c.status);
    if (c.dimension >= 1 && c.dimension <= 7 && c.length >= 1) {
        EXPECT_EQ(h, nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CreateRefused,
                         ::testing::Values(BadCreate{35, 33, 3, 4, 6}, BadCreate{35, 34, 1, 4, 6},
                                           BadCreate{35, 31, 1, 4, 3}, BadCreate{37, 32, 1, 4, 3},
                                           BadCreate{35, 32, 1, 0, 3}, BadCreate{36, 32, 2, -1, 3},
                                           BadCreate{35, 32, 0, 4, 3}, BadCreate{35, 32, 8, 4, 3}));

TEST(Scale, LivesInTheFirstRecordLongerThanOne)
{
    for (int prec : {DFTI_SINGLE, DFTI_DOUBLE}) {
        Desc d;
        int n[2] = {16, 1}; // slowest first: record 0 has length 1
        ASSERT_EQ(DftiCreateDescriptor(&d.h, prec, DFTI_COMPLEX, 2, n), 0);
        EXPECT_EQ(DftiSetValue(d.h, DFTI_FORWARD_SCALE, 0.5), 0);
        EXPECT_EQ(d.h[1].fwd_scale_s, 0.5f);
        EXPECT_EQ(d.h[1].fwd_scale_d, 0.5);
        EXPECT_EQ(d.h[0].fwd_scale_d, 1.0);
        EXPECT_EQ(d.h[1].bwd_scale_d, 1.0);
        double dv = 0;
        float fv = 0;
        if (prec == DFTI_SINGLE) {
            EXPECT_EQ(DftiGetValue(d.h, DFTI_FORWARD_SCALE, &fv), 0);
            EXPECT_EQ(fv, 0.5f);
        } else {
            EXPECT_EQ(DftiGetValue(d.h, DFTI_FORWARD_SCALE, &dv), 0);
            EXPECT_EQ(dv, 0.5);
        }
        // Every length 1: record 0 holds it.
        Desc one;
        int ones[3] = {1, 1, 1};
        ASSERT_EQ(DftiCreateDescriptor(&one.h, prec, DFTI_COMPLEX, 3, ones), 0);
        EXPECT_EQ(DftiSetValue(one.h, DFTI_BACKWARD_SCALE, 0.25), 0);
        EXPECT_EQ(one.h[0].bwd_scale_d, 0.25);
        int p = DFTI_PLACEMENT;
        EXPECT_EQ(DFTI_SET_VALUE_DBLVAL(&one.h, &p, &dv), 3);
    }
}

TEST(Name, SetGetAndTheTwelveCharacterLimit)
{
    Desc d;
    ASSERT_EQ(DftiCreateDescriptor(&d.h, DFTI_SINGLE, DFTI_REAL, 1, 8), 0);
    char got[DFTI_MAX_NAME_LENGTH + 1];
    EXPECT_EQ(DftiSetValue(d.h, DFTI_DESCRIPTOR_NAME, "twelve chars"), 0);
    EXPECT_EQ(DftiGetValue(d.h, DFTI_DESCRIPTOR_NAME, got), 0);
    EXPECT_STREQ(got, "twelve chars");
    EXPECT_EQ(DftiSetValue(d.h, DFTI_DESCRIPTOR_NAME, "thirteen char"), 3);
    EXPECT_EQ(DftiGetValue(d.h, DFTI_DESCRIPTOR_NAME, got), 0);
    EXPECT_STREQ(got, "twelve chars");
    int p = DFTI_PLACEMENT;
    EXPECT_EQ(DFTI_SET_VALUE_CHARS(&d.h, &p, "x", 1), 3);
}

TEST(Version, ReadsWhateverTheHandle)
{
    char c_form[DFTI_VERSION_LENGTH], f_form[DFTI_VERSION_LENGTH];
    memset(c_form, 'x', sizeof c_form);
    EXPECT_EQ(DftiGetValue(nullptr, DFTI_VERSION, c_form), 0);
    ASSERT_NE(memchr(c_form, 0, sizeof c_form), nullptr);
    EXPECT_GT(strlen(c_form), 0u);
    Desc d;
    ASSERT_EQ(DftiCreateDescriptor(&d.h, DFTI_SINGLE, DFTI_COMPLEX, 1, 8), 0);
    int p = DFTI_VERSION;
    EXPECT_EQ(DFTI_GET_VALUE_CHARS(&d.h, &p, f_form, 198), 0);
    // The Fortran form is blank-padded to the full length, no terminator.
    EXPECT_EQ(std::string(f_form, strlen(c_form)), std::string(c_form));
    EXPECT_EQ(f_form[DFTI_VERSION_LENGTH - 1], ' ');
}

TEST(Messages, TextsByteForByte)
{
    const char *names[] = {"DFTI_NO_ERROR", "DFTI_MEMORY_ERROR", "DFTI_INVALID_CONFIGURATION",
                           "DFTI_INCONSISTENT_CONFIGURATION", "DFTI_MULTITHREADED_ERROR",
                           "DFTI_BAD_DESCRIPTOR", "DFTI_UNIMPLEMENTED", "DFTI_ZEM_INTERNAL_ERROR",
                           "DFTI_NUMBER_OF_THREADS_ERROR"};
    for (int s = 0; s <= 8; ++s) {
        EXPECT_STREQ(DftiErrorMessage(s), names[s]);
        char f[41];
        f[40] = 0;
        dfti_error_message_external_(f, 40, &s);
        EXPECT_EQ(std::string(f), std::string(names[s]) + std::string(40 - strlen(names[s]), ' '));
        EXPECT_EQ(DftiErrorClass(s, s), 1);
        EXPECT_EQ(DftiErrorClass(s, (s + 1) % 9), 0);
    }
    for (int s : {9, -1}) {
        EXPECT_STREQ(DftiErrorMessage(s), " ");
        char f[41];
        f[40] = 0;
        DFTI_ERROR_MESSAGE_EXTERNAL(f, 40, &s);
        EXPECT_EQ(std::string(f), std::string(40, ' '));
    }
    int a = 1, b = 1;
    EXPECT_EQ(dfti_error_class_external(&a, &b), 1);
}

TEST(Handles, NullBadTagAndFree)
{
    int v = 0;
    EXPECT_EQ(DftiGetValue(nullptr, DFTI_PLACEMENT, &v), 3);
    EXPECT_EQ(DftiSetValue(nullptr, DFTI_PLACEMENT, 44), 3);
    EXPECT_EQ(DftiCommitDescriptor(nullptr), 3);
    DFTI_DESCRIPTOR_HANDLE none = nullptr;
    EXPECT_EQ(DftiFreeDescriptor(&none), 3);

    Desc d;
    ASSERT_EQ(DftiCreateDescriptor(&d.h, DFTI_SINGLE, DFTI_COMPLEX, 1, 8), 0);
    d.h->tag[1] = 'X';
    DFTI_DESCRIPTOR_HANDLE same = d.h;
    EXPECT_EQ(DftiFreeDescriptor(&same), 5);
    EXPECT_EQ(same, d.h);
    EXPECT_EQ(DftiSetValue(d.h, DFTI_PLACEMENT, 44), 5);
    EXPECT_EQ(DftiGetValue(d.h, DFTI_PLACEMENT, &v), 5);
    EXPECT_EQ(DftiCommitDescriptor(d.h), 5);
    d.h->tag[1] = 'F';
    EXPECT_EQ(DftiFreeDescriptor(&d.h), 0);
    EXPECT_EQ(d.h, nullptr);
}

TEST(FortranForms, ThreeNamesAreOneFunctionAndLengthsComeFastestFirst)
{
    EXPECT_EQ((void *)&DFTI_SET_VALUE_INTVAL, (void *)&dfti_set_value_intval);
    EXPECT_EQ((void *)&DFTI_SET_VALUE_INTVAL, (void *)&dfti_set_value_intval_);
    EXPECT_EQ((void *)&DFTI_COMPUTE_BACKWARD_Z_OUT, (void *)&dfti_compute_backward_z_out_);
    Desc d;
    int prec = DFTI_DOUBLE, dom = DFTI_COMPLEX, dim = 3, n[3] = {2, 3, 5};
    ASSERT_EQ(dfti_create_descriptor_highd_(&d.h, &prec, &dom, &dim, n), 0);
    EXPECT_EQ(d.h[0].length, 2);
    EXPECT_EQ(d.h[2].input_stride, 6);
    int len[3];
    EXPECT_EQ(DftiGetValue(d.h, DFTI_LENGTHS, len), 0);
    EXPECT_EQ(std::vector<int>(len, len + 3), (std::vector<int>{5, 3, 2}));
    int p = DFTI_NUMBER_OF_TRANSFORMS, v = 3;
    EXPECT_EQ(DFTI_SET_VALUE_INTVAL(&d.h, &p, &v), 0);
    EXPECT_EQ(d.h[2].number_of_transforms, 3);
    Desc one;
    int m = 12, one_dim = 1;
    ASSERT_EQ(DFTI_CREATE_DESCRIPTOR_1D(&one.h, &prec, &dom, &one_dim, &m), 0);
    EXPECT_EQ(get_int(one.h, DFTI_LENGTHS), 12);
}

} // namespace
