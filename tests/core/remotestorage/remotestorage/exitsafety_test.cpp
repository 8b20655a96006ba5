// Quitting while an abandoned worker still logs, reads settings, reports
// transfer results and makes transfer handles: the process-wide objects it
// reaches must outlive the exit, so the worker keeps working to the very end.
#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/log/logwriter.h"
#include "base/settings/inisettings.h"
#include "core/remotestorage/remotestorage/curlsession.h"
#include "core/remotestorage/remotestorage/servicestatemonitor.h"
#include "platform/event.h"
#include "platform/strings.h"
#include "platform/workerthread.h"
#include "tests/platform/childprocess.h"
#include "tests/support/testenvironment.h"

namespace {

// Made before anything process-wide, so set after every static object is gone.
CEvent* g_staticsGone = nullptr;
CEvent* g_lastLineWritten = nullptr;

void AfterStaticDestructors() {
    g_staticsGone->Set();
    g_lastLineWritten->Wait(5000);
}

std::string LogText(const std::string& folder) {
    std::string text;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        text += pellux_test::ReadFile(entry.path().string());
    return text;
}

TEST(ExitSafety, AnAbandonedWorkerStillWorksAfterTheStaticsAreGone) {
    const std::string folder = pellux_test::MakeTempDir("exit");
    const std::string logs = pellux_test::MakeTempDir("exitlogs");
    ASSERT_TRUE(pellux_test::WriteFile(folder + "/config.ini", "[Pellux]\nUploadSpeed=7\n"));
    pellux_test::ChildProcess child([&folder, &logs](pellux_test::ChildProcess&) {
        alarm(20);  // a hang at exit fails the test instead of holding it up
        // Freed memory is overwritten, so use after destruction shows.
        mallopt(M_PERTURB, 0x5A);
        g_staticsGone = new CEvent(true, false);
        g_lastLineWritten = new CEvent(true, false);
        std::atexit(AfterStaticDestructors);
        TheLogWriter().Configure(L"exit", Utf8ToWide(logs + "/exit-with-a-long-name.log").c_str(), 9, 0, 0);
        SetIniFolder(Utf8ToWide(folder));
        CWorkerThread worker;
        CEvent running(true, false);
        worker.Start([&running](const CWorkerThread::StopToken&) {
            // Stops only with the process, as a worker stuck in a transfer would.
            for (bool last = false;; last = g_staticsGone->IsSet()) {
                std::wstring speed;
                IniReadString(speed, L"Pellux", L"UploadSpeed", L"");
                ServiceStateMonitor::Instance().Report(true);
                CurlSession session;
                session.EnsureHandle();
                TheLogWriter().WriteLine(kLogInfo, __FILE__, __LINE__,
                                         (last ? L"last line, speed " : L"working, speed ") + speed);
                if (last) {
                    g_lastLineWritten->Set();
                    return;
                }
                running.Set();
            }
        });
        running.Wait(5000);
        worker.StopAndJoin(10, L"worker did not stop");
        std::exit(0);  // runs the static destructors while the worker goes on
        return true;
    });
    ASSERT_TRUE(child.Started());
    EXPECT_EQ(0, child.Wait());
    EXPECT_NE(std::string::npos, LogText(logs).find("last line, speed 7"));
}

}  // namespace
