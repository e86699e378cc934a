// Descriptors and threads: the thread count fixed at commit, parallel
// plans equal to the serial ones, and user threads sharing a descriptor
// through its slots.
#include <omp.h>

#include <atomic>
#include <thread>
#include <vector>

#include "dft/kernel/default/f_dft/dfti_record.h"
#include "tests/dft/dfti/dfti_test_util.h"
#include "zem_service.h"

namespace {

using dfti_test::cld;
using dfti_test::Desc;

// Restores the runtime's thread count at scope exit.
struct Threads {
    int saved = omp_get_max_threads();
    explicit Threads(int n) { omp_set_num_threads(n); }
    ~Threads() { omp_set_num_threads(saved); }
};

std::vector<float> random_floats(size_t n, unsigned seed)
{
    std::vector<cld> c = dfti_test::random_complex(n / 2, seed);
    std::vector<float> x;
    for (auto v : c) {
        x.push_back((float)v.real());
        x.push_back((float)v.imag());
    }
    return x;
}

TEST(Threads, CountChangedAfterCommitIsRefused)
{
    if (ZEM_IN_SERIAL() == 1)
        GTEST_SKIP() << "the library runs serially";
    Threads two(2);
    Desc d;
    int n[2] = {64, 64};
    ASSERT_EQ(DftiCreateDescriptor(&d.h, DFTI_SINGLE, DFTI_COMPLEX, 2, n), 0);
    ASSERT_EQ(DftiCommitDescriptor(d.h), 0);
    EXPECT_EQ(d.h->thread_count, 2);
    std::vector<float> x = random_floats(2 * 64 * 64, 1), before = x;
    omp_set_num_threads(3);
    EXPECT_EQ(DftiComputeForward(d.h, x.data()), DFTI_NUMBER_OF_THREADS_ERROR);
    EXPECT_TRUE(x == before);
    omp_set_num_threads(2);
    EXPECT_EQ(DftiComputeForward(d.h, x.data()), 0);
    // Committed inside a parallel region: one thread.
    int inside = -1;
#pragma omp parallel num_threads(2)
    {
#pragma omp single
        {
            DftiCommitDescriptor(d.h);
            inside = d.h->thread_count;
        }
    }
    EXPECT_EQ(inside, 1);
}

struct Shape {
    std::vector<int> n;
    int howmany;
    bool in_place;
    int ordering = DFTI_ORDERED;
    int domain = DFTI_COMPLEX; // real ones in the Perm layout (n reals a row)
};

class ParallelEqualsSerial : public ::testing::TestWithParam<Shape> {};

TEST_P(ParallelEqualsSerial, WithinRounding)
{
    if (ZEM_IN_SERIAL() == 1)
        GTEST_SKIP() << "the library runs serially";
    const Shape &s = GetParam();
    size_t total = 1;
    for (int v : s.n)
        total *= v;
    const bool real = s.domain == DFTI_REAL;
    const size_t per = real ? total : 2 * total; // floats of one transform
    std::vector<float> x = random_floats(per * s.howmany + 2, 5);
    x.resize(per * s.howmany);
    std::vector<float> result[2];
    for (int threads = 1; threads <= 2; ++threads) {
        Threads t(threads);
        Desc d;
        int dims = (int)s.n.size();
        ASSERT_EQ(dims == 1 ? DftiCreateDescriptor(&d.h, DFTI_SINGLE, s.domain, 1, s.n[0])
                            : DftiCreateDescriptor(&d.h, DFTI_SINGLE, s.domain, dims, s.n.data()),
                  0);
        ASSERT_EQ(DftiSetValue(d.h, DFTI_ORDERING, s.ordering), 0);
        ASSERT_EQ(DftiSetValue(d.h, DFTI_PACKED_FORMAT, DFTI_PERM_FORMAT), 0);
        ASSERT_EQ(DftiSetValue(d.h, DFTI_NUMBER_OF_TRANSFORMS, s.howmany), 0);
        ASSERT_EQ(DftiSetValue(d.h, DFTI_INPUT_DISTANCE, (int)total), 0);
        ASSERT_EQ(DftiSetValue(d.h, DFTI_OUTPUT_DISTANCE, (int)total), 0);
        ASSERT_EQ(DftiSetValue(d.h, DFTI_PLACEMENT, s.in_place ? DFTI_INPLACE : DFTI_NOT_INPLACE), 0);
        ASSERT_EQ(DftiCommitDescriptor(d.h), 0);
        EXPECT_EQ(d.h->thread_count, threads);
        std::vector<float> a = x, b(x.size());
        ASSERT_EQ(s.in_place ? DftiComputeForward(d.h, a.data()) : DftiComputeForward(d.h, a.data(), b.data()), 0);
        result[threads - 1] = s.in_place ? a : b;
        // and back
        std::vector<float> c(x.size());
        ASSERT_EQ(s.in_place ? DftiComputeBackward(d.h, a.data()) : DftiComputeBackward(d.h, b.data(), c.data()), 0);
        std::vector<float> &back = s.in_place ? a : c;
        result[threads - 1].insert(result[threads - 1].end(), back.begin(), back.end());
    }
    double worst = 0, scale = 0;
    for (size_t i = 0; i < result[0].size(); ++i) {
        worst = std::max(worst, (double)std::fabs(result[0][i] - result[1][i]));
        scale = std::max(scale, (double)std::fabs(result[0][i]));
    }
    EXPECT_LE(worst, 1e-6 * scale);
}

INSTANTIATE_TEST_SUITE_P(Shapes, ParallelEqualsSerial,
                         ::testing::Values(Shape{{64, 64}, 1, true}, Shape{{128, 32}, 1, false},
                                           Shape{{32, 32, 32}, 1, true}, Shape{{16, 8, 16, 32}, 1, false},
                                           Shape{{256}, 7, true}, Shape{{8, 8}, 5, false},
                                           Shape{{65536}, 1, true}, Shape{{65536}, 1, true, DFTI_BACKWARD_SCRAMBLED},
                                           Shape{{65536}, 1, false, DFTI_BACKWARD_SCRAMBLED},
                                           Shape{{64, 64}, 1, true, DFTI_ORDERED, DFTI_REAL},
                                           Shape{{96, 100}, 1, false, DFTI_ORDERED, DFTI_REAL},
                                           Shape{{1024}, 8, true, DFTI_ORDERED, DFTI_REAL}));

// Four user threads compute at once with one descriptor; a fifth call
// made while all four slots are busy gets 8, and the descriptor keeps
// working for everyone.
TEST(UserThreads, FourComputeAtOnceAndAFifthIsRefused)
{
    const int n0 = 128, n1 = 128, users = 4;
    Desc d;
    int n[2] = {n1, n0};
    ASSERT_EQ(DftiCreateDescriptor(&d.h, DFTI_SINGLE, DFTI_COMPLEX, 2, n), 0);
    ASSERT_EQ(DftiSetValue(d.h, DFTI_NUMBER_OF_USER_THREADS, users), 0);
    ASSERT_EQ(DftiSetValue(d.h, DFTI_BACKWARD_SCALE, 1.0 / (n0 * n1)), 0);
    ASSERT_EQ(DftiCommitDescriptor(d.h), 0);

    std::atomic<bool> stop(false);
    std::atomic<int> failures(0), rounds(0);
    std::vector<std::thread> workers;
    for (int w = 0; w < users; ++w)
        workers.emplace_back([&, w] {
            std::vector<float> x = random_floats(2 * n0 * n1, 100 + w), y = x;
            // A call refused because the main thread holds a slot is
            // simply made again.
            auto retry = [&](bool fwd) {
                int st;
                do
                    st = fwd ? DftiComputeForward(d.h, y.data()) : DftiComputeBackward(d.h, y.data());
                while (st == DFTI_NUMBER_OF_THREADS_ERROR);
                return st;
            };
            do {
                // forward then backward gives the data back
                y = x;
                if (retry(true) != 0 || retry(false) != 0)
                    ++failures;
                for (size_t i = 0; i < x.size(); i += 97)
                    if (std::fabs(y[i] - x[i]) > 1e-4f)
                        ++failures;
                ++rounds;
            } while (!stop.load());
        });
    std::vector<float> z = random_floats(2 * n0 * n1, 9);
    int refused = 0;
    int attempt = 0;
    for (; attempt < 20000 && refused == 0; ++attempt) {
        int st = DftiComputeForward(d.h, z.data());
        if (st == DFTI_NUMBER_OF_THREADS_ERROR)
            ++refused;
        else
            EXPECT_EQ(st, 0);
    }
    stop = true;
    for (auto &t : workers)
        t.join();
    EXPECT_EQ(refused, 1) << "no moment found with all four slots busy";
    EXPECT_GT(rounds.load(), 0);
    EXPECT_EQ(failures.load(), 0);
    for (int i = 0; i < users; ++i)
        EXPECT_EQ(d.h->user_slots[i], 0);
    std::vector<float> ones(2 * n0 * n1, 0.0f);
    ones[0] = 1.0f;
    ASSERT_EQ(DftiComputeForward(d.h, ones.data()), 0);
    EXPECT_EQ(ones[2 * (n0 * n1 - 1)], 1.0f);
}

} // namespace
