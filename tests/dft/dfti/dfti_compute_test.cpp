// Committed descriptors against the long-double reference: complex
// transforms of one to seven dimensions, batches, strides, offsets and
// distances, in and out of place, with scales; the entry checks of
// compute; the commit decisions; every allocation of a descriptor's life
// failing in turn.
#include <cstring>
#include <vector>

#include "dft/kernel/default/f_dft/dfti_record.h"
#include "tests/dft/dfti/dfti_test_util.h"
#include "tests/support/alloc_fail.h"
#include "zem_service.h"
#include <omp.h>

namespace {

using dfti_test::cld;
using dfti_test::Desc;

struct Case {
    int precision;
    std::vector<int> n; // slowest first, as C callers give them
    int howmany;
    bool in_place;
    bool padded; // strides, offsets and distances with gaps
};

std::ostream &operator<<(std::ostream &o, const Case &c)
{
    o << (c.precision == DFTI_SINGLE ? "single" : "double") << " n=";
    for (int v : c.n)
        o << v << ',';
    return o << " x" << c.howmany << (c.in_place ? " in" : " out") << (c.padded ? " padded" : "");
}

// A data layout: offset, strides (fastest first), distance, in elements.
struct Layout {
    ptrdiff_t offset = 0, distance = 0;
    std::vector<ptrdiff_t> stride;
    ptrdiff_t span = 0; // elements the whole batch occupies
};

Layout make_layout(const std::vector<int> &nfast, int howmany, int gap, int first_stride)
{
    Layout l;
    l.offset = gap;
    ptrdiff_t s = first_stride, extent = 1;
    for (int len : nfast) {
        l.stride.push_back(s);
        extent = s * (len - 1) + extent;
        s = s * len + gap;
    }
    l.distance = extent + gap;
    l.span = l.offset + l.distance * howmany;
    return l;
}

ptrdiff_t position(const Layout &l, const std::vector<int> &nfast, ptrdiff_t t, ptrdiff_t dense)
{
    ptrdiff_t p = l.offset + t * l.distance;
    for (size_t k = 0; k < nfast.size(); ++k) {
        p += (dense % nfast[k]) * l.stride[k];
        dense /= nfast[k];
    }
    return p;
}

void set_layout(DFTI_DESCRIPTOR_HANDLE h, int param, int dist_param, const Layout &l)
{
    std::vector<int> s(1, (int)l.offset);
    for (size_t k = l.stride.size(); k-- > 0;)
        s.push_back((int)l.stride[k]);
    ASSERT_EQ(DftiSetValue(h, param, s.data()), 0);
    ASSERT_EQ(DftiSetValue(h, dist_param, (int)l.distance), 0);
}

class Transforms : public ::testing::TestWithParam<Case> {};

template <class R> void run_case(const Case &c)
{
    std::vector<int> nfast(c.n.rbegin(), c.n.rend());
    ptrdiff_t total = 1;
    for (int v : c.n)
        total *= v;
    Layout in = c.padded ? make_layout(nfast, c.howmany, 3, 2) : make_layout(nfast, c.howmany, 0, 1);
    Layout out = c.in_place || !c.padded ? in : make_layout(nfast, c.howmany, 1, c.howmany > 1 ? 1 : 3);
    const double fscale = 0.5, bscale = 1.0 / (double)total;

    Desc d;
    int dims = (int)c.n.size();
    int st = dims == 1 ? DftiCreateDescriptor(&d.h, c.precision, DFTI_COMPLEX, 1, c.n[0])
                       : DftiCreateDescriptor(&d.h, c.precision, DFTI_COMPLEX, dims, c.n.data());
    ASSERT_EQ(st, 0);
    ASSERT_EQ(DftiSetValue(d.h, DFTI_NUMBER_OF_TRANSFORMS, c.howmany), 0);
    ASSERT_EQ(DftiSetValue(d.h, DFTI_PLACEMENT, c.in_place ? DFTI_INPLACE : DFTI_NOT_INPLACE), 0);
    set_layout(d.h, DFTI_INPUT_STRIDES, DFTI_INPUT_DISTANCE, in);
    set_layout(d.h, DFTI_OUTPUT_STRIDES, DFTI_OUTPUT_DISTANCE, out);
    ASSERT_EQ(DftiSetValue(d.h, DFTI_FORWARD_SCALE, fscale), 0);
    ASSERT_EQ(DftiSetValue(d.h, DFTI_BACKWARD_SCALE, bscale), 0);
    ASSERT_EQ(DftiCommitDescriptor(d.h), 0);

    const R sentinel = (R)777.0;
    for (int forward = 1; forward >= 0; --forward) {
        std::vector<std::vector<cld>> x(c.howmany);
        std::vector<R> a(2 * in.span, sentinel), b(2 * out.span, sentinel);
        for (int t = 0; t < c.howmany; ++t) {
            x[t] = dfti_test::random_complex(total, 11u * t + 7u * forward + (unsigned)total);
            for (ptrdiff_t i = 0; i < total; ++i) {
                ptrdiff_t p = position(in, nfast, t, i);
                a[2 * p] = (R)x[t][i].real();
                a[2 * p + 1] = (R)x[t][i].imag();
            }
        }
        std::vector<R> original = a;
        if (c.in_place)
            st = forward ? DftiComputeForward(d.h, a.data()) : DftiComputeBackward(d.h, a.data());
        else
            st = forward ? DftiComputeForward(d.h, a.data(), b.data())
                         : DftiComputeBackward(d.h, a.data(), b.data());
        ASSERT_EQ(st, 0) << (forward ? "forward" : "backward");
        const std::vector<R> &y = c.in_place ? a : b;
        const Layout &ly = c.in_place ? in : out;
        std::vector<char> touched(ly.span, 0);
        double tol = sizeof(R) == 4 ? 2e-6 : 1e-14;
        for (int t = 0; t < c.howmany; ++t) {
            std::vector<cld> ref = dfti_test::reference_nd(x[t], nfast, forward ? -1 : 1);
            std::vector<cld> got(total);
            for (ptrdiff_t i = 0; i < total; ++i) {
                ptrdiff_t p = position(ly, nfast, t, i);
                touched[p] = 1;
                ref[i] *= (long double)(forward ? fscale : bscale);
                got[i] = cld(y[2 * p], y[2 * p + 1]);
            }
            EXPECT_LT(dfti_test::rel_error(got, ref), tol * (1 + std::log2((double)total)))
                << (forward ? "forward" : "backward") << " transform " << t;
        }
        // Nothing outside the layout is written, and out of place the
        // input stays as it was.
        for (ptrdiff_t p = 0; p < ly.span; ++p)
            if (!touched[p]) {
                ASSERT_EQ(y[2 * p], sentinel) << "element " << p;
                ASSERT_EQ(y[2 * p + 1], sentinel) << "element " << p;
            }
        if (!c.in_place) {
            EXPECT_TRUE(a == original);
        }
    }
}

TEST_P(Transforms, MatchTheReference)
{
    const Case &c = GetParam();
    if (c.precision == DFTI_SINGLE)
        run_case<float>(c);
    else
        run_case<double>(c);
}

const int S = DFTI_SINGLE, D = DFTI_DOUBLE;
INSTANTIATE_TEST_SUITE_P(
    OneDimension, Transforms,
    ::testing::Values(Case{S, {8}, 1, true, false}, Case{S, {1}, 1, true, false},
                      Case{D, {512}, 1, true, false}, Case{S, {1024}, 1, false, false},
                      Case{S, {4096}, 1, true, true}, Case{D, {2048}, 1, false, true},
                      Case{D, {64}, 5, false, true}, Case{S, {128}, 3, true, true},
                      Case{S, {65536}, 1, true, false}, Case{S, {1000}, 1, true, false},
                      Case{D, {1000}, 2, false, true}, Case{S, {7}, 3, false, false},
                      Case{D, {3}, 1, true, true}));
INSTANTIATE_TEST_SUITE_P(
    MoreDimensions, Transforms,
    ::testing::Values(Case{S, {16, 32}, 1, true, false}, Case{S, {64, 128}, 1, true, false}, Case{D, {64, 64}, 1, false, true},
                      Case{S, {64, 64}, 2, true, true}, Case{D, {1, 16}, 1, true, false},
                      Case{S, {16, 1}, 2, false, false}, Case{D, {8, 16, 4}, 1, true, true},
                      Case{S, {32, 32, 32}, 1, false, false}, Case{D, {32, 8, 128}, 1, true, true},
                      Case{D, {4, 8, 2, 16}, 1, true, true}, Case{S, {4, 8, 2, 16}, 3, false, true},
                      Case{S, {2, 2, 4, 2, 2, 4, 2}, 2, false, true},
                      Case{D, {2, 4, 2, 8, 4, 2, 16}, 1, true, false}, Case{S, {12, 10}, 1, false, true},
                      Case{D, {5, 6, 7}, 2, true, true}, Case{S, {45, 30, 27}, 1, true, false},
                      Case{D, {3, 5, 1, 6}, 1, false, false}));

// Scrambled ordering: the forward result may stay in the plan's own
// order; the backward transform takes it back to the data.
struct Scrambled {
    int precision;
    std::vector<int> n;
    bool radix4; // the plan runs on the radix-4 kernels
};

class ScrambledOrder : public ::testing::TestWithParam<Scrambled> {};

TEST_P(ScrambledOrder, ForwardThenBackwardGivesTheDataBack)
{
    const Scrambled &c = GetParam();
    Desc d;
    int dims = (int)c.n.size();
    size_t total = 1;
    for (int v : c.n)
        total *= v;
    ASSERT_EQ(dims == 1 ? DftiCreateDescriptor(&d.h, c.precision, DFTI_COMPLEX, 1, c.n[0])
                        : DftiCreateDescriptor(&d.h, c.precision, DFTI_COMPLEX, dims, c.n.data()),
              0);
    ASSERT_EQ(DftiSetValue(d.h, DFTI_ORDERING, DFTI_BACKWARD_SCRAMBLED), 0);
    ASSERT_EQ(DftiSetValue(d.h, DFTI_FORWARD_SCALE, 2.0), 0);
    ASSERT_EQ(DftiSetValue(d.h, DFTI_BACKWARD_SCALE, 0.5 / (double)total), 0);
    ASSERT_EQ(DftiCommitDescriptor(d.h), 0);
    EXPECT_EQ(d.h->engine_flag, c.radix4 ? 0 : 1);
    EXPECT_EQ(d.h->coef_table[c.precision == DFTI_SINGLE ? 0 : 1] != nullptr, c.radix4);
    std::vector<cld> x = dfti_test::random_complex(total, 3);
    std::vector<cld> X = dfti_test::reference_nd(x, std::vector<int>(c.n.rbegin(), c.n.rend()), -1);
    auto run = [&](auto zero) {
        typedef decltype(zero) R;
        std::vector<R> a(2 * total);
        for (size_t i = 0; i < total; ++i) {
            a[2 * i] = (R)x[i].real();
            a[2 * i + 1] = (R)x[i].imag();
        }
        ASSERT_EQ(DftiComputeForward(d.h, a.data()), 0);
        // Whatever the order, the energy is the reference's (times 4).
        long double e = 0, ref = 0;
        for (size_t i = 0; i < total; ++i) {
            e += (long double)a[2 * i] * a[2 * i] + (long double)a[2 * i + 1] * a[2 * i + 1];
            ref += 4 * std::norm(X[i]);
        }
        EXPECT_NEAR((double)(e / ref), 1.0, sizeof(R) == 4 ? 1e-5 : 1e-12);
        ASSERT_EQ(DftiComputeBackward(d.h, a.data()), 0);
        std::vector<cld> back(total);
        for (size_t i = 0; i < total; ++i)
            back[i] = cld(a[2 * i], a[2 * i + 1]);
        EXPECT_LT(dfti_test::rel_error(back, x), sizeof(R) == 4 ? 1e-5 : 1e-13);
    };
    if (c.precision == DFTI_SINGLE)
        run(0.0f);
    else
        run(0.0);
}

INSTANTIATE_TEST_SUITE_P(Plans, ScrambledOrder,
                         ::testing::Values(Scrambled{DFTI_SINGLE, {65536}, true}, Scrambled{DFTI_DOUBLE, {16384}, true},
                                           Scrambled{DFTI_SINGLE, {2100}, false}, Scrambled{DFTI_DOUBLE, {6000}, false},
                                           Scrambled{DFTI_SINGLE, {3, 2100}, false}));

// Double precision, ordered, long, one dimension on two threads: the mixed
// plan runs the engine for a direction whose scale is one and the
// parallel radix-4 kernels (ordered by the bit reversal) otherwise.
TEST(Commit, MixedPlanForLongOrderedDoubleTransforms)
{
    if (ZEM_IN_SERIAL() == 1 || omp_get_max_threads() < 2)
        GTEST_SKIP() << "needs two threads";
    const int n = 16384;
    std::vector<cld> x = dfti_test::random_complex(n, 8);
    std::vector<cld> X = zem_ref::dft(x, -1);
    for (double scale : {1.0, 0.5}) {
        Desc d;
        ASSERT_EQ(DftiCreateDescriptor(&d.h, DFTI_DOUBLE, DFTI_COMPLEX, 1, n), 0);
        ASSERT_EQ(DftiSetValue(d.h, DFTI_FORWARD_SCALE, scale), 0);
        ASSERT_EQ(DftiSetValue(d.h, DFTI_BACKWARD_SCALE, scale), 0);
        ASSERT_EQ(DftiCommitDescriptor(d.h), 0);
        EXPECT_EQ(d.h->engine_flag, scale == 1.0 ? 1 : 0);
        EXPECT_NE(d.h->ctx_c64, nullptr);
        EXPECT_NE(d.h->coef_table[1], nullptr);
        std::vector<double> a(2 * n);
        for (int i = 0; i < n; ++i) {
            a[2 * i] = (double)x[i].real();
            a[2 * i + 1] = (double)x[i].imag();
        }
        ASSERT_EQ(DftiComputeForward(d.h, a.data()), 0);
        std::vector<cld> got(n), ref(n);
        for (int i = 0; i < n; ++i) {
            got[i] = cld(a[2 * i], a[2 * i + 1]);
            ref[i] = X[i] * (long double)scale;
        }
        EXPECT_LT(dfti_test::rel_error(got, ref), 2e-15) << "scale " << scale;
    }
}

TEST(Compute, EntryChecks)
{
    Desc d;
    ASSERT_EQ(DftiCreateDescriptor(&d.h, DFTI_SINGLE, DFTI_COMPLEX, 1, 16), 0);
    std::vector<float> x(32, 1.0f), y(32);
    EXPECT_EQ(DftiComputeForward(d.h, x.data()), 2); // not committed
    ASSERT_EQ(DftiCommitDescriptor(d.h), 0);
    EXPECT_EQ(DftiComputeForward(d.h, nullptr), 3);
    EXPECT_EQ(DftiComputeForward(nullptr, x.data()), 3);
    EXPECT_EQ(DftiComputeBackward(d.h, x.data()), 0);
    // A function of another precision or domain is refused.
    EXPECT_EQ(DFTI_COMPUTE_FORWARD_Z(&d.h, x.data()), 3);
    EXPECT_EQ(DFTI_COMPUTE_FORWARD_S(&d.h, x.data()), 3);
    EXPECT_EQ(DFTI_COMPUTE_FORWARD_C_OUT(&d.h, x.data(), nullptr), 3);
    // Any set uncommits: compute refuses until the next commit.
    ASSERT_EQ(DftiSetValue(d.h, DFTI_BACKWARD_SCALE, 2.0), 0);
    EXPECT_EQ(DftiComputeForward(d.h, x.data()), 2);
    ASSERT_EQ(DftiCommitDescriptor(d.h), 0);
    EXPECT_EQ(DftiComputeForward(d.h, x.data()), 0);
    d.h->tag[0] = 'Q';
    EXPECT_EQ(DftiComputeForward(d.h, x.data()), 5);
    d.h->tag[0] = 'D';
    // No transform at all: nothing to do.
    ASSERT_EQ(DftiSetValue(d.h, DFTI_NUMBER_OF_TRANSFORMS, 0), 0);
    ASSERT_EQ(DftiCommitDescriptor(d.h), 0);
    std::vector<float> before = x;
    EXPECT_EQ(DftiComputeForward(d.h, x.data()), 0);
    EXPECT_TRUE(x == before);
}

TEST(Commit, DirectPathForOneShortTransform)
{
    Desc d;
    ASSERT_EQ(DftiCreateDescriptor(&d.h, DFTI_SINGLE, DFTI_COMPLEX, 1, 512), 0);
    ASSERT_EQ(DftiCommitDescriptor(d.h), 0);
    EXPECT_EQ(d.h->direct_path, 1);
    ASSERT_EQ(DftiSetValue(d.h, DFTI_NUMBER_OF_TRANSFORMS, 2), 0);
    ASSERT_EQ(DftiCommitDescriptor(d.h), 0);
    EXPECT_EQ(d.h->direct_path, 0);
    EXPECT_EQ(d.h->direct_candidate, 0);

    Desc z;
    ASSERT_EQ(DftiCreateDescriptor(&z.h, DFTI_DOUBLE, DFTI_COMPLEX, 1, 512), 0);
    ASSERT_EQ(DftiCommitDescriptor(z.h), 0);
    EXPECT_EQ(z.h->direct_candidate, 0); // double: below 512 only
    EXPECT_EQ(z.h->commit_status, DFTI_COMMITTED);
}

TEST(Commit, UserThreadSlotsAndTheirScratch)
{
    Desc d;
    int n[2] = {64, 64};
    ASSERT_EQ(DftiCreateDescriptor(&d.h, DFTI_SINGLE, DFTI_COMPLEX, 2, n), 0);
    ASSERT_EQ(DftiSetValue(d.h, DFTI_NUMBER_OF_USER_THREADS, 4), 0);
    ASSERT_EQ(DftiCommitDescriptor(d.h), 0);
    EXPECT_EQ(d.h->thread_count, 1);
    EXPECT_EQ(d.h->direct_path, 0);
    ASSERT_NE(d.h->user_slots, nullptr);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(d.h->user_slots[i], 0);
    EXPECT_GT(d.h->descriptor_work_size, 0);
    EXPECT_NE(d.h->work_buffer, nullptr);
}

// A commit without memory leaves the descriptor uncommitted, with its
// configuration, and usable once memory is back.
TEST(Commit, OutOfMemoryLeavesTheDescriptorUncommittedAndUsable)
{
    Desc d;
    ASSERT_EQ(DftiCreateDescriptor(&d.h, DFTI_SINGLE, DFTI_COMPLEX, 1, 1024), 0);
    ASSERT_EQ(DftiSetValue(d.h, DFTI_FORWARD_SCALE, 2.0), 0);
    ASSERT_EQ(DftiCommitDescriptor(d.h), 0);
    auto *none = new zem_test::NoMemory;
    ASSERT_EQ(DftiSetValue(d.h, DFTI_NUMBER_OF_USER_THREADS, 2), 0);
    EXPECT_EQ(DftiCommitDescriptor(d.h), DFTI_MEMORY_ERROR);
    EXPECT_EQ(dfti_test::get_int(d.h, DFTI_COMMIT_STATUS), DFTI_UNCOMMITTED);
    EXPECT_EQ(d.h->work_buffer, nullptr);
    EXPECT_EQ(d.h->user_slots, nullptr);
    EXPECT_EQ(d.h->ctx_c32, nullptr);
    EXPECT_EQ(d.h->direct_path, 0);
    std::vector<float> x(2048, 0.0f);
    EXPECT_EQ(DftiComputeForward(d.h, x.data()), 2);
    delete none;
    float s = 0;
    EXPECT_EQ(DftiGetValue(d.h, DFTI_FORWARD_SCALE, &s), 0);
    EXPECT_EQ(s, 2.0f);
    EXPECT_EQ(dfti_test::get_int(d.h, DFTI_NUMBER_OF_USER_THREADS), 2);
    ASSERT_EQ(DftiCommitDescriptor(d.h), 0);
    x[0] = 1.0f;
    ASSERT_EQ(DftiComputeForward(d.h, x.data()), 0);
    EXPECT_EQ(x[2 * 1023], 2.0f);
    EXPECT_EQ(x[2 * 1023 + 1], 0.0f);
}

// Create, configure, commit, compute forward and free, with each
// allocation of the sequence failing in turn (descriptor, engine contexts
// and tables, radix-4 tables, user-thread slots, scratch, temporaries of
// compute): the step that meets the failure returns 1 and the rest is not
// done (a failed create leaves a null handle; a failed commit leaves the
// data untouched); when nothing fails, the result is the one computed
// without interference.
struct LifeCase {
    int precision, domain;
    std::vector<int> n;
    int howmany, users;
    bool in_place;
};

TEST(Descriptor, EveryAllocationFailing)
{
    const LifeCase cases[] = {
        {DFTI_SINGLE, DFTI_COMPLEX, {1000}, 1, 1, true},   // direct path, factored engine plan
        {DFTI_DOUBLE, DFTI_COMPLEX, {4096}, 1, 1, true},   // mixed plan, threaded
        {DFTI_SINGLE, DFTI_COMPLEX, {2048}, 2, 1, false},  // radix-4 plan, batch
        {DFTI_SINGLE, DFTI_COMPLEX, {6, 10}, 3, 1, true},  // two dimensions, line temporaries
        {DFTI_DOUBLE, DFTI_COMPLEX, {151}, 1, 2, false},   // user-thread slots
        {DFTI_SINGLE, DFTI_REAL, {181}, 1, 1, true},       // odd real
        {DFTI_DOUBLE, DFTI_REAL, {1024}, 1, 1, true},      // power-of-two real
    };
    for (const LifeCase &c : cases) {
        size_t total = 1;
        for (int v : c.n)
            total *= v;
        const size_t elems = 2 * (total + 2) * c.howmany; // of the precision
        const size_t bytes = elems * (c.precision == DFTI_SINGLE ? 4 : 8);
        std::vector<unsigned char> x0(bytes), want;
        for (size_t i = 0; i < elems; ++i) {
            const double v = std::sin(1.0 + (double)i);
            const float f = (float)v;
            if (c.precision == DFTI_SINGLE)
                std::memcpy(&x0[4 * i], &f, 4);
            else
                std::memcpy(&x0[8 * i], &v, 8);
        }
        // The status of the first step that fails; *failed names that step
        // (1 create, 2 commit, 3 compute), 0 when none did.
        auto life = [&](std::vector<unsigned char> &x, std::vector<unsigned char> &y, int *failed) {
            DFTI_DESCRIPTOR_HANDLE h = nullptr;
            int st = c.n.size() == 1 ? DftiCreateDescriptor(&h, c.precision, c.domain, 1, c.n[0])
                                     : DftiCreateDescriptor(&h, c.precision, c.domain, (int)c.n.size(), c.n.data());
            *failed = 1;
            if (st != 0) {
                EXPECT_EQ(h, nullptr);
                return st;
            }
            if (c.howmany > 1) {
                EXPECT_EQ(DftiSetValue(h, DFTI_NUMBER_OF_TRANSFORMS, c.howmany), 0);
                EXPECT_EQ(DftiSetValue(h, DFTI_INPUT_DISTANCE, (int)total), 0);
                EXPECT_EQ(DftiSetValue(h, DFTI_OUTPUT_DISTANCE, (int)total), 0);
            }
            if (c.users > 1) {
                EXPECT_EQ(DftiSetValue(h, DFTI_NUMBER_OF_USER_THREADS, c.users), 0);
            }
            if (!c.in_place) {
                EXPECT_EQ(DftiSetValue(h, DFTI_PLACEMENT, DFTI_NOT_INPLACE), 0);
            }
            *failed = 2;
            st = DftiCommitDescriptor(h);
            if (st == 0) {
                *failed = 3;
                st = c.in_place ? DftiComputeForward(h, x.data()) : DftiComputeForward(h, x.data(), y.data());
            }
            EXPECT_EQ(DftiFreeDescriptor(&h), 0);
            if (st == 0)
                *failed = 0;
            return st;
        };
        std::vector<unsigned char> wx = x0, wy(bytes);
        int failed = 0;
        ASSERT_EQ(life(wx, wy, &failed), 0);
        want = c.in_place ? wx : wy;
        SCOPED_TRACE(::testing::Message() << "precision " << c.precision << " domain " << c.domain << " n0 " << c.n[0]);
        zem_test::for_each_failing_allocation([&] {
            std::vector<unsigned char> x = x0, y(bytes);
            const int st = life(x, y, &failed);
            if (!zem_test::alloc_failed()) {
                ASSERT_EQ(st, 0);
                EXPECT_TRUE((c.in_place ? x : y) == want) << "result differs";
                return;
            }
            EXPECT_EQ(st, DFTI_MEMORY_ERROR) << "step " << failed;
            if (failed < 3 || !c.in_place) {
                EXPECT_TRUE(x == x0) << "input written at step " << failed;
            }
        });
    }
}

// Lengths and user-thread counts whose byte counts pass 32 bits (and, on
// i386, the address space) make commit fail and leave the descriptor
// uncommitted; requests above 64 MiB are refused here, so nothing large
// is ever touched.
TEST(Descriptor, SizesBeyondThirtyTwoBits)
{
    zem_test::AllocLimit limit(64 << 20);
    struct Big {
        int precision, domain, length, users;
    } cases[] = {
        {DFTI_SINGLE, DFTI_COMPLEX, 1 << 30, 1}, {DFTI_DOUBLE, DFTI_COMPLEX, 1 << 29, 1},
        {DFTI_SINGLE, DFTI_COMPLEX, (1 << 30) + 1, 1}, {DFTI_DOUBLE, DFTI_REAL, 1 << 30, 1},
        {DFTI_SINGLE, DFTI_REAL, 2147483646, 1}, {DFTI_SINGLE, DFTI_COMPLEX, 64, (1 << 30) + 1},
        {DFTI_DOUBLE, DFTI_COMPLEX, 1000, 1 << 28},
    };
    for (const Big &c : cases) {
        SCOPED_TRACE(::testing::Message() << c.precision << " " << c.domain << " " << c.length << " " << c.users);
        Desc d;
        ASSERT_EQ(DftiCreateDescriptor(&d.h, c.precision, c.domain, 1, c.length), 0);
        if (c.users > 1) {
            ASSERT_EQ(DftiSetValue(d.h, DFTI_NUMBER_OF_USER_THREADS, c.users), 0);
        }
        // 7 where the engine refuses the order of the power-of-two FFT a
        // long prime-factor length would need
        const int st = DftiCommitDescriptor(d.h);
        EXPECT_TRUE(st == DFTI_MEMORY_ERROR || st == DFTI_ZEM_INTERNAL_ERROR) << st;
        EXPECT_EQ(dfti_test::get_int(d.h, DFTI_COMMIT_STATUS), DFTI_UNCOMMITTED);
    }
}

} // namespace
