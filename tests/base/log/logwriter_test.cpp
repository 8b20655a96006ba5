#include "base/log/logwriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "platform/namedobject.h"
#include "platform/strings.h"
#include "tests/base/log/logtesthooks.h"
#include "tests/platform/childprocess.h"
#include "tests/support/testenvironment.h"

using namespace pellux_test;

namespace {

std::string Ids() {
    char buf[32];
    std::snprintf(buf, sizeof(buf), "%08x:%08x", static_cast<unsigned>(getpid()),
                  static_cast<unsigned>(syscall(SYS_gettid)));
    return buf;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

void SetMtime(const std::string& path, int64_t seconds) {
    struct timeval tv[2] = {{static_cast<time_t>(seconds), 0}, {static_cast<time_t>(seconds), 0}};
    ASSERT_EQ(utimes(path.c_str(), tv), 0) << path;
}

class LogWriterTest : public testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
        m_dir = MakeTempDir("log");
        m_base = m_dir + "/pellux.log";
        m_writer.SetHooks(TestLogHooks([this] { return m_now; }, [this] { ++m_pauses; }));
    }

    void Configure(int level, uint32_t flags = 0, int keepDays = 0) {
        m_writer.Configure(L"Pellux", Utf8ToWide(m_base).c_str(), level, flags, keepDays);
    }

    std::string m_dir;
    std::string m_base;
    int64_t m_now = kDec5;
    int m_pauses = 0;
    CLogWriter m_writer;
};

}  // namespace

TEST_F(LogWriterTest, LineFormatAtLevelsFourAndTen) {
    Configure(4);
    m_writer.WriteLine(kLogInfo, "/src/core/localstorage.cpp", 42, L"hello \u4e2d\u6587");
    m_writer.WriteLine(kLogWarning, "/src/core/localstorage.cpp", 43, L"not written");
    m_writer.WriteLine(kLogError, "x.cpp", 1, L"");
    EXPECT_EQ(m_writer.DailyPath(), m_dir + "/pellux_2026_12_05.log");
    EXPECT_EQ(ReadFile(m_dir + "/pellux_2026_12_05.log"),
              "2026/12/05 08:09:10 \tI \tPellux \t" + Ids() + " \thello \xe4\xb8\xad\xe6\x96\x87\r\n" +
                  "2026/12/05 08:09:10 \tE \tPellux \t" + Ids() + " \t\r\n");
    EXPECT_EQ(m_pauses, 3);

    // Level ten carries the source and every letter (into the next day's file).
    m_now += 86400;
    Configure(10);
    for (int level = -2; level <= 12; ++level)
        m_writer.WriteLine(level, "/src/base/db.cpp", 7, L"m");
    const std::vector<std::string> lines = Lines(ReadFile(m_dir + "/pellux_2026_12_06.log"));
    ASSERT_EQ(lines.size(), 15u);
    // Levels outside 0..9 are clamped: -2 and -1 write "E", 10 to 12 write "T".
    const std::string letters = "EEENNNIWNRNTTTT";
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i], std::string("2026/12/06 08:09:10 \t") + letters[i] + " \tPellux \t" + Ids() +
                                " \tm \tFL:db.cpp(7)");
    }
    // Windows-style source paths are cut at their last backslash as well.
    m_writer.WriteLine(kLogInfo, "C:\\src\\task.cpp", 9, L"w");
    EXPECT_NE(ReadFile(m_dir + "/pellux_2026_12_06.log").find(" \tw \tFL:task.cpp(9)\r\n"),
              std::string::npos);
}

TEST_F(LogWriterTest, LongLineIsCutInTheMessageAndKeepsItsEnd) {
    const std::wstring message(2000, L'\u4e2d');  // 6000 bytes of UTF-8
    for (int level : {4, 10}) {
        SCOPED_TRACE(level);
        m_now += 86400;  // a fresh file for each level
        Configure(level);
        m_writer.WriteLine(kLogInfo, "/src/long.cpp", 123, message);
        const std::string text = ReadFile(m_writer.DailyPath());
        EXPECT_LE(text.size(), kLogLineMax);
        EXPECT_GE(text.size(), kLogLineMax - 2);
        const std::string end = level > 4 ? " \tFL:long.cpp(123)\r\n" : "\r\n";
        ASSERT_GE(text.size(), end.size());
        EXPECT_EQ(text.substr(text.size() - end.size()), end);
        const std::string head = "\tPellux \t" + Ids() + " \t";
        const size_t start = text.find(head);
        ASSERT_NE(start, std::string::npos);
        const std::string cut =
            text.substr(start + head.size(), text.size() - end.size() - start - head.size());
        EXPECT_EQ(cut.size() % 3, 0u);
        EXPECT_EQ(Utf8ToWide(cut), std::wstring(cut.size() / 3, L'\u4e2d'));
    }
}

TEST_F(LogWriterTest, ANewPathTakesEffectAtOnceAndTheDailyFileFollowsTheFullDate) {
    // Lines written before the start-up configuration must not keep the rest
    // of the day in the program's own file.
    m_writer.WriteLine(kLogError, "a.cpp", 1, L"early");
    const std::string early = m_writer.DailyPath();
    EXPECT_NE(early.find("_2026_12_05"), std::string::npos);
    Configure(4);
    m_writer.WriteLine(kLogInfo, "a.cpp", 1, L"configured");
    EXPECT_EQ(m_writer.DailyPath(), m_dir + "/pellux_2026_12_05.log");
    if (early != m_writer.DailyPath())
        unlink(early.c_str());
    m_now = 1796515199;  // 2026-12-05 23:59:59
    m_writer.WriteLine(kLogInfo, "a.cpp", 1, L"before midnight");
    m_now += 2;  // 2026-12-06 00:00:01
    m_writer.WriteLine(kLogInfo, "a.cpp", 1, L"after midnight");
    m_now += 365 * 86400;  // 2027-12-06: the same day of the year
    m_writer.WriteLine(kLogInfo, "a.cpp", 1, L"a year later");
    EXPECT_NE(ReadFile(m_dir + "/pellux_2026_12_05.log").find("configured"), std::string::npos);
    EXPECT_NE(ReadFile(m_dir + "/pellux_2026_12_05.log").find("before midnight"), std::string::npos);
    EXPECT_NE(ReadFile(m_dir + "/pellux_2026_12_06.log").find("after midnight"), std::string::npos);
    EXPECT_NE(ReadFile(m_dir + "/pellux_2027_12_06.log").find("a year later"), std::string::npos);
    EXPECT_EQ(ListFolder(m_dir).size(), 3u);
}

TEST_F(LogWriterTest, EveryHundredthLineDeletesAnOversizedFile) {
    Configure(4);
    const std::string today = m_dir + "/pellux_2026_12_05.log";
    // 120 MB, and 4 GiB + 100 bytes (whose low 32 bits are only 100).
    for (off_t size : {off_t(120) * 1000 * 1000, (off_t(1) << 32) + 100}) {
        SCOPED_TRACE(size);
        const int fd = open(today.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, size), 0);
        close(fd);
        for (int i = 1; i < 100; ++i)
            m_writer.WriteLine(kLogInfo, "a.cpp", 1, L"filler");
        struct stat st;
        ASSERT_EQ(stat(today.c_str(), &st), 0);
        EXPECT_GT(st.st_size, size);
        m_writer.WriteLine(kLogInfo, "a.cpp", 1, L"the hundredth");
        ASSERT_EQ(stat(today.c_str(), &st), 0);
        ASSERT_LT(st.st_size, 4096);
        const std::vector<std::string> lines = Lines(ReadFile(today));
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_NE(lines[0].find("the hundredth"), std::string::npos);
    }
}

TEST_F(LogWriterTest, PurgeDeletesFilesOlderThanTheKeptDays) {
    const std::string old = m_dir + "/pellux_2026_12_01.log";
    const std::string recent = m_dir + "/pellux_2026_12_03.log";
    const std::string foreign = m_dir + "/notes.txt";
    const std::string sub = m_dir + "/folder";
    for (const std::string& f : {old, recent, foreign})
        ASSERT_TRUE(WriteFile(f, "x"));
    ASSERT_EQ(mkdir(sub.c_str(), 0700), 0);
    SetMtime(old, m_now - 4 * 86400);
    SetMtime(foreign, m_now - 4 * 86400);
    SetMtime(recent, m_now - 2 * 86400);
    SetMtime(sub, m_now - 40 * 86400);

    // A negative number of days keeps everything.
    Configure(4, kLogPurgeOnConfigure, -1);
    EXPECT_EQ(ListFolder(m_dir).size(), 4u);
    // Without the purge bit nothing is deleted either.
    Configure(4, 0, 3);
    EXPECT_EQ(ListFolder(m_dir).size(), 4u);

    Configure(4, 0x10000001, 3);
    EXPECT_EQ(ListFolder(m_dir), (std::set<std::string>{"pellux_2026_12_03.log", "folder"}));
}

TEST_F(LogWriterTest, PurgeReadsRealCreationTimesAndSparesTheMutexFile) {
    m_writer.SetHooks([this] {
        LogWriterHooks hooks = DefaultLogWriterHooks();
        hooks.now = [this] { return m_now; };
        hooks.pause = [] {};
        return hooks;
    }());
    m_now = std::time(nullptr);
    Configure(4);
    m_writer.WriteLine(kLogInfo, "a.cpp", 1, L"x");
    const std::string mutexFile = NamedObjectPath(kLogMutexName, ".mutex");
    ASSERT_FALSE(mutexFile.empty());
    EXPECT_EQ(mutexFile.rfind(m_dir, 0), std::string::npos);
    EXPECT_EQ(access(mutexFile.c_str(), F_OK), 0);
    EXPECT_EQ(ListFolder(m_dir).size(), 1u);

    Configure(4, kLogPurgeOnConfigure, 1);
    EXPECT_EQ(ListFolder(m_dir).size(), 1u);  // a file made today is kept
    m_now += 2 * 86400;
    Configure(4, kLogPurgeOnConfigure, 1);
    EXPECT_TRUE(ListFolder(m_dir).empty());
    EXPECT_EQ(access(mutexFile.c_str(), F_OK), 0);
    m_writer.WriteLine(kLogInfo, "a.cpp", 1, L"still written");
    EXPECT_NE(ReadFile(m_writer.DailyPath()).find("still written"), std::string::npos);
}

TEST_F(LogWriterTest, ConcurrentProcessesKeepEveryLineWhole) {
    const int kProcesses = 4;
    const int kLines = 250;
    const std::wstring padding(600, L'p');
    std::vector<std::unique_ptr<ChildProcess>> children;
    for (int c = 0; c < kProcesses; ++c) {
        children.push_back(std::make_unique<ChildProcess>([&](ChildProcess&) {
            CLogWriter writer;
            writer.SetHooks(TestLogHooks([] { return kDec5; }, [] {}));
            writer.Configure(L"Pellux", Utf8ToWide(m_base).c_str(), 10, 0, 0);
            // Two threads per process share the one writer.
            auto writeRange = [&](int from, int to) {
                for (int i = from; i < to; ++i) {
                    writer.WriteLine(
                        kLogInfo, "child.cpp", c,
                        L"child " + std::to_wstring(c) + L" line " + std::to_wstring(i) + L" " + padding);
                }
            };
            std::thread second(writeRange, kLines / 2, kLines);
            writeRange(0, kLines / 2);
            second.join();
            return true;
        }));
    }
    for (auto& child : children)
        ASSERT_EQ(child->Wait(), 0);
    const std::vector<std::string> lines = Lines(ReadFile(m_dir + "/pellux_2026_12_05.log"));
    ASSERT_EQ(lines.size(), static_cast<size_t>(kProcesses * kLines));
    // Each line: the fixed head, "pid:tid" (17 characters), the rest.
    std::set<std::string> expected;
    for (int c = 0; c < kProcesses; ++c) {
        for (int i = 0; i < kLines; ++i) {
            expected.insert(" \tchild " + std::to_string(c) + " line " + std::to_string(i) + " " +
                            std::string(600, 'p') + " \tFL:child.cpp(" + std::to_string(c) + ")");
        }
    }
    const std::string head = "2026/12/05 08:09:10 \tI \tPellux \t";
    std::set<std::string> seen;
    for (const std::string& line : lines) {
        ASSERT_EQ(line.rfind(head, 0), 0u) << line.substr(0, 120);
        seen.insert(line.substr(std::min(line.size(), head.size() + 17)));
    }
    EXPECT_TRUE(seen == expected) << seen.size() << " distinct lines of " << expected.size();
}
