#include <gtest/gtest.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <sys/wait.h>

#include <csignal>
#include <ctime>
#include <regex>
#include <set>
#include <string>

#include "tests/support/testenvironment.h"
#include "ui/crashcode.h"
#include "ui/crashreport.h"
#include "ui/crashtext.h"

namespace {

void SetAge(const std::string& path, int64_t seconds) {
    const timespec then{time(nullptr) - seconds, 0};
    const timespec times[2] = {then, then};
    utimensat(AT_FDCWD, path.c_str(), times, 0);
}

std::string LocalDumpName(const std::string& prefix, time_t when, int n) {
    struct tm local;
    localtime_r(&when, &local);
    char buffer[512];
    CCrashText name(buffer, sizeof(buffer));
    BuildDumpName(name, prefix.c_str(), CrashTimeOf(when + local.tm_gmtoff), n);
    return name.Text();
}

}  // namespace

TEST(CrashReport, SignalsAndDatesAreNamedAsTheReportsAlwaysNamedThem) {
    struct Case {
        int signal, siCode;
        uint32_t code;
        std::string name;
    };
    const std::vector<Case> cases = {
        {SIGSEGV, SEGV_MAPERR, 0xC0000005, "EXCEPTION_ACCESS_VIOLATION"},
        {SIGBUS, BUS_ADRALN, 0x80000002, "EXCEPTION_DATATYPE_MISALIGNMENT"},
        {SIGFPE, FPE_INTDIV, 0xC0000094, "EXCEPTION_INT_DIVIDE_BY_ZERO"},
        {SIGFPE, FPE_FLTOVF, 0xC0000091, "EXCEPTION_FLT_OVERFLOW "},
        {SIGILL, ILL_PRVOPC, 0xC0000096, "EXCEPTION_PRIV_INSTRUCTION"},
        {SIGTRAP, TRAP_TRACE, 0x80000004, "EXCEPTION_SINGLE_STEP"},
        {SIGABRT, SI_TKILL, 0x40000015, "EXCEPTION_UNKNOWN"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CrashCode code = CrashCodeOf(c.signal, c.siCode);
        EXPECT_EQ(code.code, c.code);
        EXPECT_EQ(code.name, c.name);
    }
    const time_t when = 1267780022;  // 2010-03-05 09:07:02 UTC
    char buffer[128];
    CCrashText name(buffer, sizeof(buffer));
    BuildDumpName(name, "dump/x.exe", CrashTimeOf(when), 0);
    EXPECT_STREQ(name.Text(), "dump/x.exe_2010-03-05-09-07-02.dmp");
    CCrashText second(buffer, sizeof(buffer));
    BuildDumpName(second, "x", CrashTimeOf(when + 86400 * 366), 2);
    EXPECT_STREQ(second.Text(), "x_2011-03-06-09-07-02_2.dmp");
    CCrashText address(buffer, sizeof(buffer));
    address.AddHex(0x7ffd1234abcd0010ull).Add(" ").AddDec(-42, 4);
    EXPECT_STREQ(address.Text(), "7ffd1234abcd0010 -0042");
    // A full buffer drops the rest instead of running over.
    CCrashText full(buffer, 6);
    full.Add("Module=x");
    EXPECT_STREQ(full.Text(), "Modul");
}

TEST(CrashReport, PurgeDeletesEveryFileOlderThanThreeDaysAndKeepsFolders) {
    const std::string folder = pellux_test::MakeTempDir("dump") + "/";
    struct Case {
        std::string name;
        int64_t age;
        bool folder, kept;
    };
    const std::vector<Case> cases = {
        {"pellux_2020-01-01-00-00-00.dmp", 259200 + 60, false, false},
        {"notes.txt", 400000, false, false},
        {"pellux_recent.dmp", 259200 - 60, false, true},
        {"old-folder", 400000, true, true},
    };
    for (const Case& c : cases) {
        const std::string path = folder + c.name;
        if (c.folder)
            mkdir(path.c_str(), 0700);
        else
            pellux_test::WriteFile(path, "x");
        SetAge(path, c.age);
    }
    CCrashReport::PurgeOldDumps(folder, time(nullptr));
    const std::set<std::string> left = pellux_test::ListFolder(folder);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(left.count(c.name), c.kept ? 1u : 0u);
    }
}

TEST(CrashReportDeathTest, EachCrashWritesOneNewTextReportAndEndsWithCodeOne) {
    const std::string home = pellux_test::MakeTempDir("user") + "/";
    const std::string dump = home + "dump/";
    mkdir(dump.c_str(), 0700);
    pellux_test::WriteFile(dump + "stale.dmp", "old");
    SetAge(dump + "stale.dmp", 300000);
    // The box gets the short description; a script stands in for it.
    const std::string boxOut = home + "box.txt";
    const std::string box = home + "box.sh";
    pellux_test::WriteFile(box, "#!/bin/sh\nprintf '%s' \"$1\" > '" + boxOut + "'\n");
    chmod(box.c_str(), 0700);
    auto crash = [&] {
        EXPECT_EXIT(
            {
                CCrashReport::Instance().Install("/opt/pellux/crashtest", true, home, box);
                raise(SIGSEGV);
            },
            testing::ExitedWithCode(1), "");
    };

    crash();
    std::set<std::string> reports = pellux_test::ListFolder(dump);
    ASSERT_EQ(reports.size(), 1u);  // the stale file went at install
    const std::string first = *reports.begin();
    EXPECT_TRUE(std::regex_match(first, std::regex(R"(crashtest_\d{4}-\d{2}-\d{2}-\d{2}-\d{2}-\d{2}\.dmp)")))
        << first;
    const std::string report = pellux_test::ReadFile(dump + first);
    // A raised signal carries no fault address: the process line follows.
    for (const char* part :
         {"Module=/opt/pellux/crashtest\nCode=c0000005\nDescription=EXCEPTION_ACCESS_VIOLATION\nAdddress=",
          "Signal=11 (SIGSEGV)\nSignalCode=-6\nProcess=", "[Registers]", "[Backtrace]", "[Maps]",
          "test_ui"}) {
        EXPECT_NE(report.find(part), std::string::npos) << part;
    }
    const std::string described = pellux_test::ReadFile(boxOut);
    EXPECT_TRUE(
        std::regex_match(described, std::regex("Module=/opt/pellux/crashtest\nCode=c0000005\n"
                                               "Description=EXCEPTION_ACCESS_VIOLATION\nAdddress=[0-9a-f]+")))
        << described;

    // Reports of this very second and the next ones already stand: a second
    // crash within the same second overwrites none of them.
    const time_t now = time(nullptr);
    for (int i = 0; i < 10; ++i) {
        const std::string name = LocalDumpName("crashtest", now + i, 0);
        if (reports.insert(name).second)
            pellux_test::WriteFile(dump + name, "earlier");
    }
    crash();
    std::set<std::string> added = pellux_test::ListFolder(dump);
    for (const std::string& name : reports) {
        EXPECT_EQ(pellux_test::ReadFile(dump + name), name == first ? report : "earlier");
        added.erase(name);
    }
    ASSERT_EQ(added.size(), 1u);
    EXPECT_TRUE(std::regex_match(*added.begin(), std::regex(R"(crashtest_[-0-9]+_1\.dmp)")))
        << *added.begin();
}

TEST(CrashReportDeathTest, TurnedOffItLeavesTheCrashToTheSystemAndWritesNothing) {
    const std::string home = pellux_test::MakeTempDir("off") + "/";
    pellux_test::WriteFile(home + "config.ini", "[Pellux]\nCrashReport=0\n");
    EXPECT_EXIT(
        {
            if (SetupCrashReport(std::wstring(home.begin(), home.end() - 1)))  // no trailing slash
                _exit(3);
            raise(SIGSEGV);
        },
        // The system's way, or a sanitizer's (which may exit with 1 itself).
        [](int status) { return !(WIFEXITED(status) && WEXITSTATUS(status) == 3); }, "");
    EXPECT_FALSE(pellux_test::WriteFile(home + "dump/probe", "x"));
}
