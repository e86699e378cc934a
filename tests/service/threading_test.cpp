// The serial/parallel decision and the entry prologue's use of the
// configuration file. Each case runs in a process of its own.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <omp.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>
#include <thread>
#include <vector>
#include "tests/support/zem_test.h"
#include "zem.h"

// Counts the library's writes of the environment (this program's setenv
// comes first in symbol lookup), forwarding each to the C library.
static int g_setenv_calls = 0;
extern "C" int setenv(const char *name, const char *value, int overwrite)
{
    using fn = int (*)(const char *, const char *, int);
    static fn real = (fn)dlsym(RTLD_NEXT, "setenv");
    __atomic_add_fetch(&g_setenv_calls, 1, __ATOMIC_RELAXED);
    return real(name, value, overwrite);
}

namespace {

struct EnvCase {
    const char *label;
    const char *omp;       // OMP_NUM_THREADS, nullptr: unset
    const char *omp_lower; // omp_num_threads
    const char *serial;    // ZEM_SERIAL
    int expected;
};

void set_or_unset(const char *name, const char *value)
{
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

class Decision : public testing::TestWithParam<EnvCase> {};

TEST_P(Decision, FromEnvironment)
{
    zem_test::FreshProcess fresh;
    const EnvCase &c = GetParam();
    set_or_unset("OMP_NUM_THREADS", c.omp);
    set_or_unset("omp_num_threads", c.omp_lower);
    set_or_unset("ZEM_SERIAL", c.serial);
    EXPECT_EQ(_ZEM_SERV_in_serial(), c.expected);
    EXPECT_EQ(ZEM_IN_SERIAL(), c.expected);
    EXPECT_EQ(zem_in_serial_(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Decision,
    testing::Values(EnvCase{"nothing_set", nullptr, nullptr, nullptr, 1},
                    EnvCase{"threads", "4", nullptr, nullptr, 0},
                    EnvCase{"threads_serial_YES", "4", nullptr, "YES", 1},
                    EnvCase{"threads_serial_yes", "4", nullptr, "yes", 1},
                    EnvCase{"threads_serial_Yes", "4", nullptr, "Yes", 0},
                    EnvCase{"threads_serial_empty", "4", nullptr, "", 0},
                    EnvCase{"threads_serial_NO", "4", nullptr, "NO", 0},
                    EnvCase{"lowercase_threads", nullptr, "2", nullptr, 0},
                    EnvCase{"empty_threads", "", nullptr, nullptr, 1},
                    EnvCase{"empty_threads_lowercase_set", "", "2", nullptr, 1},
                    EnvCase{"serial_NO", nullptr, nullptr, "NO", 0},
                    EnvCase{"serial_maybe", nullptr, nullptr, "maybe", 0},
                    EnvCase{"serial_YES", nullptr, nullptr, "YES", 1},
                    EnvCase{"serial_yes", nullptr, nullptr, "yes", 1},
                    EnvCase{"serial_empty", nullptr, nullptr, "", 1},
                    EnvCase{"threads_value_unread", "0", nullptr, nullptr, 0}),
    [](const testing::TestParamInfo<EnvCase> &i) { return i.param.label; });

TEST(Decision, MadeOnceAndKept)
{
    zem_test::FreshProcess fresh;
    setenv("OMP_NUM_THREADS", "2", 1);
    EXPECT_EQ(_ZEM_SERV_in_serial(), 0);
    EXPECT_EQ(_ZEM_SERV_set_serial(), 0);
    EXPECT_STREQ(getenv("ZEM_SERIAL"), "YES");
    EXPECT_EQ(_ZEM_SERV_in_serial(), 0);
}

TEST(Decision, SetSerialBeforeFirstDecisionCounts)
{
    zem_test::FreshProcess fresh;
    setenv("OMP_NUM_THREADS", "2", 1);
    setenv("ZEM_SERIAL", "NO", 1);
    EXPECT_EQ(ZEM_SET_SERIAL(), 0);
    EXPECT_STREQ(getenv("ZEM_SERIAL"), "YES");
    EXPECT_EQ(_ZEM_SERV_in_serial(), 1);
}

TEST(Decision, SetParallelReplacesValue)
{
    zem_test::FreshProcess fresh;
    setenv("ZEM_SERIAL", "YES", 1);
    EXPECT_EQ(zem_set_parallel_(), 0);
    EXPECT_STREQ(getenv("ZEM_SERIAL"), "NO");
    EXPECT_EQ(_ZEM_SERV_in_serial(), 0);
}

struct FileCase {
    const char *label;
    const char *line;
    const char *serial_after; // ZEM_SERIAL after an entry ran; nullptr: unset
};

class PrologueFromFile : public testing::TestWithParam<FileCase> {};

// The prologue of an exported entry applies the file's zem_serial setting.
TEST_P(PrologueFromFile, SetsEnvironmentBeforeWork)
{
    zem_test::FreshProcess fresh;
    const FileCase &c = GetParam();
    fresh.dir().write("zem.cfg", c.line);
    EXPECT_EQ(LSAME("a", "A"), -1);
    EXPECT_EQ(cfg_file_readed, 1);
    const char *now = getenv("ZEM_SERIAL");
    if (c.serial_after) {
        ASSERT_NE(now, nullptr);
        EXPECT_STREQ(now, c.serial_after);
        // The variable is written again on every entry.
        setenv("ZEM_SERIAL", "changed", 1);
        ZEM_FreeBuffers();
        EXPECT_STREQ(getenv("ZEM_SERIAL"), c.serial_after);
    } else {
        EXPECT_EQ(now, nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, PrologueFromFile,
    testing::Values(FileCase{"yes", "zem_serial=yes\n", "YES"},
                    FileCase{"blanks_and_case", "ZEM_SERIAL = Yes\n", "YES"},
                    FileCase{"no", "zem_serial=NO\n", "NO"},
                    FileCase{"omp", "zem_serial=omp\n", nullptr},
                    FileCase{"maybe", "zem_serial=maybe\n", nullptr},
                    FileCase{"empty_value", "zem_serial=\n", nullptr}),
    [](const testing::TestParamInfo<FileCase> &i) { return i.param.label; });

// Many threads entering at once with the file's setting: the variable is
// written once and then only read, never rewritten under another thread.
TEST(PrologueFromFile, ManyThreadsNeverRewriteTheVariable)
{
    zem_test::FreshProcess fresh;
    fresh.dir().write("zem.cfg", "zem_serial=yes\n");
    float x[4] = {1, 2, 3, 4};
    int n = 4, inc = 1;
    int writes = g_setenv_calls;
    EXPECT_FLOAT_EQ(sdot_(&n, x, &inc, x, &inc), 30.0f);
    EXPECT_EQ(g_setenv_calls, writes + 1);
    const char *first = getenv("ZEM_SERIAL");
    ASSERT_NE(first, nullptr);
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; t++)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 2000; i++) {
                if (t % 2)
                    EXPECT_FLOAT_EQ(sdot_(&n, x, &inc, x, &inc), 30.0f);
                else
                    EXPECT_EQ(getenv("ZEM_SERIAL"), first);
            }
        });
    for (auto &th : threads)
        th.join();
    EXPECT_EQ(g_setenv_calls, writes + 1);
    EXPECT_EQ(getenv("ZEM_SERIAL"), first);
    EXPECT_STREQ(first, "YES");
}

// A child forked after parallel work computes serially instead of waiting
// for the parent's worker threads; the parent goes on in parallel.
TEST(Decision, ForkAfterParallelWork)
{
    zem_test::FreshProcess fresh;
    setenv("OMP_NUM_THREADS", "2", 1);
    omp_set_num_threads(2);
    const int n = 300;
    std::vector<double> a(n * n, 1.0), b(n * n, 2.0), c(n * n);
    double one = 1, zero = 0;
    auto gemm = [&] {
        dgemm_("N", "N", &n, &n, &n, &one, a.data(), &n, b.data(), &n, &zero, c.data(), &n);
        return c[0] == 600.0 && c[n * n - 1] == 600.0;
    };
    ASSERT_TRUE(gemm());
    ASSERT_EQ(_ZEM_SERV_in_serial(), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        alarm(60); // a hang ends as a signal, never as a stuck test
        std::fill(c.begin(), c.end(), 0.0);
        _exit(gemm() && _ZEM_SERV_in_serial() == 1 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << "child ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::fill(c.begin(), c.end(), 0.0);
    EXPECT_TRUE(gemm());
    EXPECT_EQ(_ZEM_SERV_in_serial(), 0);
}

TEST(PrologueFromFile, ThreadingEntriesDoNotReadTheFile)
{
    zem_test::FreshProcess fresh;
    fresh.dir().write("zem.cfg", "zem_serial=yes\n");
    _ZEM_SERV_in_serial();
    ZEM_SET_PARALLEL();
    EXPECT_EQ(cfg_file_readed, 0);
    EXPECT_STREQ(getenv("ZEM_SERIAL"), "NO");
}

TEST(PrologueFromFile, ForcedSerialWinsOverThreads)
{
    zem_test::FreshProcess fresh;
    setenv("OMP_NUM_THREADS", "8", 1);
    fresh.dir().write("zem.cfg", "zem_serial=yes\r\n");
    char buf[8];
    ZEMGetVersionString(buf, (int)sizeof buf);
    EXPECT_EQ(_ZEM_SERV_in_serial(), 1);
}

} // namespace
