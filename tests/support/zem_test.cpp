#include "tests/support/zem_test.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>
#include <sys/stat.h>
#include <cpuid.h>
#include <fstream>

namespace zem_test {

TempDir::TempDir()
{
    const char *base = getenv("TMPDIR");
    std::string templ = std::string(base && *base ? base : "/tmp") + "/zemtest.XXXXXX";
    char *p = mkdtemp(&templ[0]);
    if (p == nullptr)
        abort();
    path_ = p;
}

TempDir::~TempDir()
{
    std::string cmd = "rm -rf '" + path_ + "'";
    if (system(cmd.c_str()) != 0)
        fprintf(stderr, "could not remove %s\n", path_.c_str());
}

std::string TempDir::write(const std::string &name, const std::string &content) const
{
    std::string full = path_ + "/" + name;
    std::ofstream f(full, std::ios::binary);
    f.write(content.data(), (std::streamsize)content.size());
    return full;
}

std::string TempDir::mkdir(const std::string &name) const
{
    std::string full = path_ + "/" + name;
    ::mkdir(full.c_str(), 0755);
    return full;
}

FreshProcess::FreshProcess()
{
    for (const char *v : {"OMP_NUM_THREADS", "omp_num_threads", "ZEM_SERIAL", "ZEM_CFG_FILE",
                          "ZEM_DISABLE_FAST_MM"})
        unsetenv(v);
    char buf[4096];
    if (getcwd(buf, sizeof buf) != nullptr)
        old_cwd_ = buf;
    if (chdir(dir_.path().c_str()) != 0)
        abort();
}

FreshProcess::~FreshProcess()
{
    if (!old_cwd_.empty() && chdir(old_cwd_.c_str()) != 0)
        fprintf(stderr, "could not return to %s\n", old_cwd_.c_str());
}

std::string captured_stdout(const std::function<void()> &fn)
{
    fflush(stdout);
    testing::internal::CaptureStdout();
    fn();
    fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

bool x87_emulated()
{
    unsigned int r[12] = {};
    if (__get_cpuid_max(0x80000000u, nullptr) < 0x80000004u)
        return false;
    for (unsigned int i = 0; i < 3; ++i)
        __cpuid(0x80000002u + i, r[4 * i], r[4 * i + 1], r[4 * i + 2], r[4 * i + 3]);
    char brand[49];
    memcpy(brand, r, 48);
    brand[48] = '\0';
    return strstr(brand, "QEMU") != nullptr;
}

std::string param_line(int position, const std::string &name)
{
    return "ZEM ERROR : Parameter  " + std::to_string(position) + "  was incorrect on entry to  " +
           name + "\n";
}

std::string internal_line(int code, const std::string &name)
{
    return "ZEM INTERNAL ERROR : Condition  " + std::to_string(code) + "  detected in function  " +
           name + "\n";
}

} // namespace zem_test
