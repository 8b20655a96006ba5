// Quitting while an abandoned worker still logs, reads settings, reports
// transfer results and makes transfer handles: the process-wide objects it
// reaches must outlive the exit, so the process ends cleanly every time.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "base/log/logwriter.h"
#include "base/settings/inisettings.h"
#include "core/remotestorage/remotestorage/curlsession.h"
#include "core/remotestorage/remotestorage/servicestatemonitor.h"
#include "platform/strings.h"
#include "platform/workerthread.h"
#include "tests/platform/childprocess.h"
#include "tests/support/testenvironment.h"

namespace {

TEST(ExitSafety, ExitWithAnAbandonedWorkerEndsCleanly) {
    const std::string folder = pellux_test::MakeTempDir("exit");
    ASSERT_TRUE(pellux_test::WriteFile(folder + "/config.ini", "[Pellux]\nUploadSpeed=1\n"));
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        pellux_test::ChildProcess child([&folder](pellux_test::ChildProcess&) {
            alarm(20);  // a hang at exit fails the round instead of the test program
            TheLogWriter().Configure(L"exit", Utf8ToWide(folder + "/exit.log").c_str(), 9, 0, 0);
            SetIniFolder(Utf8ToWide(folder));
            CWorkerThread worker;
            CEvent running(true, false);
            worker.Start([&running](const CWorkerThread::StopToken&) {
                // Stops only with the process, as a worker stuck in a transfer would.
                for (;;) {
                    TheLogWriter().WriteLine(kLogInfo, __FILE__, __LINE__, L"still working");
                    std::wstring speed;
                    IniReadString(speed, L"Pellux", L"UploadSpeed", L"");
                    ServiceStateMonitor::Instance().Report(true);
                    CurlSession session;
                    session.EnsureHandle();
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
    }
}

}  // namespace
