// The configuration file: where it is found, how its lines are read, and
// what its keys change. Each case runs in a process of its own.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string>
#include "tests/support/zem_test.h"
#include "zem_service.h"

namespace {

using zem_test::FreshProcess;

TEST(ConfigFile, NoFileKeepsDefaults)
{
    FreshProcess fresh;
    setenv("PATH", fresh.dir().path().c_str(), 1);
    EXPECT_EQ(cfg_file_readed, 0);
    EXPECT_EQ(zem_cfg_file(1), -1);
    EXPECT_EQ(cfg_file_readed, 1);
    EXPECT_EQ(zem_cfg_file(1), 0);
    EXPECT_EQ(cfg_check, 1);
    EXPECT_EQ(cfg_serial, 2);
    EXPECT_EQ(cfg_fpu, 0);
    EXPECT_STREQ(dll_cfg_names[0], "libzem_def.so");
    EXPECT_STREQ(dll_cfg_names[1], "libzem_t1.so");
    EXPECT_STREQ(dll_cfg_names_v[3], "libzem_qeb_t3.so");
    EXPECT_STREQ(dll_cfg_names_l[1], "libzem_lapack64.so");
    EXPECT_STREQ(dll_def_names_l[0], "libzem_lapack32.so");
}

struct CheckCase {
    const char *label;
    std::string content;
    int check;
};

class CheckKey : public testing::TestWithParam<CheckCase> {};

TEST_P(CheckKey, SetsInputCheck)
{
    FreshProcess fresh;
    fresh.dir().write("zem.cfg", GetParam().content);
    EXPECT_EQ(zem_cfg_file(1), 0);
    EXPECT_EQ(cfg_check, GetParam().check);
}

const std::string kLong(5000, 'x');

INSTANTIATE_TEST_SUITE_P(
    Lines, CheckKey,
    testing::Values(
        CheckCase{"plain", "zem_input_check=off\n", 0},
        CheckCase{"upper_with_blanks", "ZEM_INPUT_CHECK = OFF\n", 0},
        CheckCase{"blanks_and_tabs_inside", "  zem_ input\t_check =\tO f F  \n", 0},
        CheckCase{"crlf", "# comment\r\nzem_input_check=off\r\n", 0},
        CheckCase{"no_final_newline", "zem_input_check=off", 0},
        CheckCase{"unknown_value", "zem_input_check=maybe\n", 1},
        CheckCase{"empty_value", "zem_input_check=\n", 1},
        CheckCase{"later_line_wins", "zem_input_check=off\nzem_input_check=on\n", 1},
        CheckCase{"unknown_keys_ignored", "colour=blue\nzem_input_check=off\n[x]\n", 0},
        CheckCase{"prefix_of_line_only", "my_zem_input_check=off\n", 1},
        CheckCase{"long_lines", kLong + "\n" + kLong + "zem_input_check=off\nzem_input_check=off\n", 0},
        CheckCase{"binary_bytes", std::string("\x01\xff\xfe\x00\x80zz\n\x7f\x90\n", 11) + "zem_input_check=off\n", 0},
        CheckCase{"empty_file", "", 1}),
    [](const testing::TestParamInfo<CheckCase> &i) { return i.param.label; });

TEST(ConfigFile, SerialKeyValues)
{
    FreshProcess fresh;
    fresh.dir().write("zem.cfg", "zem_serial = NO\nzem_serial=sometimes\n");
    zem_cfg_file(1);
    EXPECT_EQ(cfg_serial, 0);
}

TEST(ConfigFile, NameKeysReadOnlyInModeZero)
{
    FreshProcess fresh;
    fresh.dir().write("zem.cfg", "ZEM_SSE1SO = /opt/Zem/My Lib.so \t\nzem_lapack64so=Lapack.so\r\n"
                                 "zem_qeb_sse3so=q3.so\nzem_x87so=\n");
    EXPECT_EQ(zem_cfg_file(0), 0);
    // Text after the first '=' of the raw line: case and leading blanks kept,
    // trailing blanks and tabs and the line feed removed.
    EXPECT_STREQ(dll_cfg_names[1], " /opt/Zem/My Lib.so");
    // Only one line end is removed from a name line: of CR LF, the CR stays.
    EXPECT_STREQ(dll_cfg_names_l[1], "Lapack.so\r");
    EXPECT_STREQ(dll_cfg_names_v[3], "q3.so");
    EXPECT_STREQ(dll_cfg_names[0], "libzem_def.so"); // empty value changes nothing
    EXPECT_STREQ(dll_cfg_names[2], "libzem_t2.so");
}

TEST(ConfigFile, NameKeysIgnoredInModeOne)
{
    FreshProcess fresh;
    fresh.dir().write("zem.cfg", "zem_sse1so=other.so\n");
    EXPECT_EQ(zem_cfg_file(1), 0);
    EXPECT_STREQ(dll_cfg_names[1], "libzem_t1.so");
    // Read once: a later call in mode 0 does not read the file again.
    EXPECT_EQ(zem_cfg_file(0), 0);
    EXPECT_STREQ(dll_cfg_names[1], "libzem_t1.so");
}

TEST(ConfigFile, LongNameValueIsCutToTheEntry)
{
    FreshProcess fresh;
    fresh.dir().write("zem.cfg", "zem_sse2so=" + std::string(3000, 'n') + "\n");
    zem_cfg_file(0);
    EXPECT_LT(strlen(dll_cfg_names[2]), 1024u);
}

TEST(ConfigFile, NamedByEnvironment)
{
    FreshProcess fresh;
    std::string f = fresh.dir().write("custom.txt", "zem_input_check=off\n");
    fresh.dir().write("zem.cfg", "zem_input_check=on\n");
    setenv("ZEM_CFG_FILE", f.c_str(), 1);
    EXPECT_EQ(zem_cfg_file(1), 0);
    EXPECT_EQ(cfg_check, 0);
}

TEST(ConfigFile, EmptyEnvironmentNameMeansDefault)
{
    FreshProcess fresh;
    fresh.dir().write("zem.cfg", "zem_input_check=off\n");
    setenv("ZEM_CFG_FILE", "", 1);
    EXPECT_EQ(zem_cfg_file(1), 0);
    EXPECT_EQ(cfg_check, 0);
}

TEST(ConfigFile, MissingNamedFileTriesBackslashSuffix)
{
    FreshProcess fresh;
    fresh.dir().write("settings\\zem.cfg", "zem_input_check=off\n");
    setenv("ZEM_CFG_FILE", "settings", 1);
    EXPECT_EQ(zem_cfg_file(1), 0);
    EXPECT_EQ(cfg_check, 0);
}

TEST(ConfigFile, MissingNamedFileFallsBackToPath)
{
    FreshProcess fresh;
    std::string a = fresh.dir().mkdir("a"), b = fresh.dir().mkdir("b");
    fresh.dir().write("b/zem.cfg", "zem_input_check=off\n");
    setenv("ZEM_CFG_FILE", "nosuch.cfg", 1);
    setenv("PATH", (a + ":" + b + "/").c_str(), 1);
    EXPECT_EQ(zem_cfg_file(1), 0);
    EXPECT_EQ(cfg_check, 0);
}

TEST(ConfigFile, DirectoryNamedByEnvironmentIsPassedOver)
{
    FreshProcess fresh;
    std::string d = fresh.dir().mkdir("confdir");
    std::string p = fresh.dir().mkdir("p");
    fresh.dir().write("p/zem.cfg", "zem_serial=no\n");
    setenv("ZEM_CFG_FILE", d.c_str(), 1);
    setenv("PATH", p.c_str(), 1);
    EXPECT_EQ(zem_cfg_file(1), 0);
    EXPECT_EQ(cfg_serial, 0);
}

TEST(PathSearch, FirstDirectoryHoldingTheFileWins)
{
    FreshProcess fresh;
    std::string a = fresh.dir().mkdir("a"), b = fresh.dir().mkdir("b"), c = fresh.dir().mkdir("c");
    fresh.dir().mkdir("b/zem.cfg"); // a directory of that name does not count
    fresh.dir().write("c/zem.cfg", "zem_serial=yes\n");
    fresh.dir().write("zem.cfg.other", "");
    setenv("ZEM_CFG_FILE", "missing", 1);
    // Trailing blanks of an element are removed.
    setenv("PATH", (a + "  \t:" + b + ":" + c + " :/nonexistent").c_str(), 1);
    EXPECT_EQ(zem_cfg_file(1), 0);
    EXPECT_EQ(cfg_serial, 1);
}

TEST(PathSearch, ElementEndingInDotTakesNameDirectly)
{
    FreshProcess fresh;
    fresh.dir().mkdir("sub");
    fresh.dir().write("sub.zem.cfg", "zem_input_check=off\n");
    setenv("ZEM_CFG_FILE", "missing", 1);
    setenv("PATH", (fresh.dir().path() + "/sub.").c_str(), 1);
    EXPECT_EQ(zem_cfg_file(1), 0);
    EXPECT_EQ(cfg_check, 0);
}

TEST(PathSearch, CurrentDirectoryTriedLast)
{
    FreshProcess fresh;
    fresh.dir().write("zem.cfg", "zem_input_check=off\n");
    std::string a = fresh.dir().mkdir("a");
    fresh.dir().write("a/zem.cfg", "zem_input_check=on\nzem_serial=no\n");
    setenv("ZEM_CFG_FILE", "missing", 1);
    setenv("PATH", a.c_str(), 1);
    EXPECT_EQ(zem_cfg_file(1), 0);
    EXPECT_EQ(cfg_serial, 0);
    EXPECT_EQ(cfg_check, 1);
}

TEST(PathSearch, UnsetPathSearchesCurrentDirectoryOnly)
{
    FreshProcess fresh;
    fresh.dir().write("zem.cfg", "zem_input_check=off\n");
    setenv("ZEM_CFG_FILE", "missing", 1);
    unsetenv("PATH");
    EXPECT_EQ(zem_cfg_file(1), 0);
    EXPECT_EQ(cfg_check, 0);
}

TEST(PathSearch, EmptyPathAndNoFileFindsNothing)
{
    FreshProcess fresh;
    setenv("PATH", "", 1);
    EXPECT_EQ(zem_cfg_file(1), -1);
    EXPECT_EQ(cfg_check, 1);
}

TEST(PathSearch, OverlongPathIsNotSearched)
{
    FreshProcess fresh;
    setenv("ZEM_CFG_FILE", std::string(4000, 'f').c_str(), 1);
    setenv("PATH", std::string(5000, '/').c_str(), 1);
    EXPECT_EQ(zem_cfg_file(1), -1);
}

TEST(EntryPrologue, FirstEntryReadsFileAndChecksCanBeTurnedOff)
{
    FreshProcess fresh;
    fresh.dir().write("zem.cfg", "ZEM_INPUT_CHECK = OFF\n");
    ZEMVersion v;
    zemgetversion_(&v);
    EXPECT_EQ(cfg_file_readed, 1);
    EXPECT_EQ(cfg_check, 0);
}

} // namespace
