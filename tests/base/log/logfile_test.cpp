#include "base/log/logfile.h"

#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "base/log/initconfig.h"
#include "base/settings/inisettings.h"
#include "platform/diagnostics.h"
#include "platform/strings.h"
#include "tests/base/basetestutil.h"
#include "tests/base/log/logtesthooks.h"
#include "tests/support/testenvironment.h"

using namespace pellux_test;

namespace {

void MakeFileAged(const std::string& path, int64_t days) {
    ASSERT_TRUE(WriteFile(path, "old"));
    const time_t t = static_cast<time_t>(kDec5 - days * 86400);
    struct timeval tv[2] = {{t, 0}, {t, 0}};
    ASSERT_EQ(utimes(path.c_str(), tv), 0);
}

class LogFileTest : public testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
        m_folder = MakeTempDir("user");
        ASSERT_EQ(mkdir((m_folder + "/log").c_str(), 0700), 0);
        TheLogWriter().SetHooks(TestLogHooks([] { return kDec5; }, [] {}));
    }
    void TearDown() override { TheLogWriter().SetHooks(DefaultLogWriterHooks()); }

    std::string Today() const { return ReadFile(m_folder + "/log/pellux_2026_12_05.log"); }

    std::string m_folder;
};

}  // namespace

// The start-up reads level and days from the folder's settings file, and
// points the settings at it.
TEST_F(LogFileTest, InitConfigAndLogReadsLevelAndDaysFromTheSettingsFile) {
    ASSERT_TRUE(WriteFile(m_folder + "/config.ini",
                          "[Pellux]\r\nLogLevel=4\r\nLogSaveDate=3\r\nWebRoot=http://example.test\r\n"));
    MakeFileAged(m_folder + "/log/pellux_2026_12_01.log", 4);
    MakeFileAged(m_folder + "/log/pellux_2026_12_03.log", 2);
    EXPECT_EQ(InitConfigAndLog(Utf8ToWide(m_folder)), 0);
    std::wstring value;
    EXPECT_EQ(IniReadString(value, L"Pellux", L"WebRoot", L""), L"http://example.test");
    EXPECT_FALSE(FileExists(m_folder + "/log/pellux_2026_12_01.log"));
    EXPECT_TRUE(FileExists(m_folder + "/log/pellux_2026_12_03.log"));

    PELLUX_LOG_INFO(L"started %d of %s", 5, L"\u4e2d");
    PELLUX_LOG_WARNING(L"not at level 4");
    const std::string text = Today();
    EXPECT_EQ(text.rfind("2026/12/05 08:09:10 \tI \tPellux \t", 0), 0u) << text;
    EXPECT_NE(text.find(" \tstarted 5 of \xe4\xb8\xad\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("not at level 4"), std::string::npos);
    EXPECT_EQ(text.find("FL:"), std::string::npos);
}

TEST_F(LogFileTest, DefaultsWriteEveryLevelAndKeepThreeDaysAndTakePlatformLines) {
    ASSERT_EQ(rmdir((m_folder + "/log").c_str()), 0);  // the setup creates it
    SetupLog(Utf8ToWide(m_folder));
    ASSERT_TRUE(FileExists(m_folder + "/log"));
    MakeFileAged(m_folder + "/log/a.log", 4);
    MakeFileAged(m_folder + "/log/b.log", 2);
    SetupLog(Utf8ToWide(m_folder));
    EXPECT_FALSE(FileExists(m_folder + "/log/a.log"));
    EXPECT_TRUE(FileExists(m_folder + "/log/b.log"));

    const int line = __LINE__ + 1;
    PELLUX_LOG_TRACE(L"trace line");
    EXPECT_NE(Today().find(" \tT \tPellux \t"), std::string::npos);
    EXPECT_NE(Today().find(" \ttrace line \tFL:logfile_test.cpp(" + std::to_string(line) + ")\r\n"),
              std::string::npos)
        << Today();
    // The platform layer's lines go to the same file.
    PlatformLog(1, __FILE__, __LINE__, L"\u7ebf\u7a0b\u9000\u51fa\u8d85\u65f6 TimeOut = 20");
    EXPECT_NE(
        Today().find("\xe7\xba\xbf\xe7\xa8\x8b\xe9\x80\x80\xe5\x87\xba\xe8\xb6\x85\xe6\x97\xb6 TimeOut = 20"),
        std::string::npos);
}
