// The main window logged in to the service emulator's demo account, with the
// about box and the exit prompt, saved under build/screenshots.
#include <gtest/gtest.h>

#include <QLabel>

#include "tests/ui/democore.h"
#include "tests/ui/middlewindow/faketaskcore.h"
#include "skingui/simpleoutbar.h"
#include "ui/mainwindow/aboutdlg.h"
#include "ui/mainwindow/maindlg.h"
#include "ui/mainwindow/shutdowndlg.h"
#include "ui/mainwindow/topwindow.h"
#include "ui/middlewindow/middlewindow.h"
#include "ui/middlewindow/navigatewindow.h"

using namespace ui_test;

namespace {

class NoSession : public ISessionControl {
public:
    bool LogOff() override { return true; }
    bool PowerOff() override { return true; }
    bool SetShutdownInhibit(bool) override { return true; }
};

using ScreenshotTest = DemoCoreTest;

TEST_F(ScreenshotTest, MainWindowAboutAndExitPromptOfTheDemoAccount) {
    struct Life final : ICoreLife {
        HRESULT Startup(const std::wstring&, IMainWindow*) override { return S_OK; }
        HRESULT UnBind() override { return S_OK; }
        HRESULT Shutdown() override { return S_OK; }
    } life;
    CPassControl pass(life, sink);
    MainDlgParts parts;
    parts.session = std::make_unique<NoSession>();
    parts.login = [] { return LogIn(); };
    CMainDlg window(std::move(parts));
    sink.SetWindow(&window);
    window.Create(pass);
    ASSERT_FALSE(pass.Ended());
    window.setGeometry(0, 0, 1000, 700);
    int64_t used = 0, total = 0;
    if (GetCoreAccess().GetSpaceInfo(&used, &total, true) == S_OK)
        window.Top()->SetSpaceInfo(uint64_t(used), uint64_t(total));
    window.SetStatusText(L"已登录");
    Pump(1500);
    EXPECT_EQ(window.Middle()->Navigate()->Bar()->GetGroup(0)->items.size(), 5u);
    EXPECT_FALSE(SaveScreenshot(&window, "mainwindow.png").isEmpty());
    window.resize(500, 400);
    Pump(300);
    EXPECT_FALSE(SaveScreenshot(&window, "mainwindow_small.png").isEmpty());
    window.resize(1000, 700);

    CAboutDlg about(QStringLiteral("token"), &window);
    about.show();
    Pump(100);
    EXPECT_FALSE(SaveScreenshot(&about, "about.png").isEmpty());
    about.close();

    FakeTaskCore pending;
    pending.unfinishedList = {Task(L"t1", L"\\a", true, 1, 2), Task(L"t2", L"\\b", false, 1, 2)};
    pending.openList = {Task(L"f1", L"\\c.docx", true, 0, 0)};
    NoSession session;
    CShutDownDlg prompt(pending, session, nullptr, &window);
    ASSERT_TRUE(prompt.Prepare());
    prompt.show();
    Pump(100);
    EXPECT_FALSE(SaveScreenshot(&prompt, "exitprompt.png").isEmpty());
    prompt.hide();

    sink.SetWindow(nullptr);
    window.CloseApp(kQuitCode);
}

}  // namespace
