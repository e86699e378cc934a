// Helpers shared by the tests.
#ifndef ZEM_TEST_SUPPORT_H
#define ZEM_TEST_SUPPORT_H

#include <string>
#include <functional>

namespace zem_test {

// A fresh temporary directory, removed with its files on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    const std::string &path() const { return path_; }
    // Writes `content` byte for byte to path()/name; returns the full name.
    std::string write(const std::string &name, const std::string &content) const;
    std::string mkdir(const std::string &name) const;

private:
    std::string path_;
};

// For tests of process-wide first-call state (each such test runs in a
// process of its own): clears the library's environment variables, and
// moves into an empty directory so that no stray zem.cfg is found.
class FreshProcess {
public:
    FreshProcess();
    ~FreshProcess();
    const TempDir &dir() const { return dir_; }

private:
    TempDir dir_;
    std::string old_cwd_;
};

// Runs fn and returns what it printed on standard output.
std::string captured_stdout(const std::function<void()> &fn);

// True when the processor is an emulator's (its brand string says so),
// whose x87 unit computes transcendental instructions and partial
// remainders in double precision only.
bool x87_emulated();

// The error lines the library prints, built independently of it.
std::string param_line(int position, const std::string &name);
std::string internal_line(int code, const std::string &name);

} // namespace zem_test

#endif
