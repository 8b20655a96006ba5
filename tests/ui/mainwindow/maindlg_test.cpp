// The main window with a fake core, session, tray and log-in: placement,
// panes, the close box, restart, the exit prompt and the end of the session;
// then logged in to the emulator's demo account for the screenshots under
// build/screenshots.
#include "ui/mainwindow/maindlg.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include "skingui/colorref.h"
#include "skingui/simpleoutbar.h"
#include "skingui/skinbutton.h"
#include "tests/ui/democore.h"
#include "tests/ui/faketraybackend.h"
#include "tests/ui/fakeuservalues.h"
#include "tests/ui/middlewindow/faketaskcore.h"
#include "ui/bridgesink.h"
#include "ui/mainwindow/aboutdlg.h"
#include "ui/mainwindow/bottomwindow.h"
#include "ui/mainwindow/shutdowndlg.h"
#include "ui/mainwindow/topwindow.h"
#include "ui/middlewindow/middlewindow.h"
#include "ui/middlewindow/navigatewindow.h"
#include "ui/wizarddlg.h"

using namespace ui_test;

namespace {

// The session actions, each with the number of core commands before it.
using SessionLog = std::vector<std::string>;

class FakeSession : public ISessionControl {
public:
    FakeSession(SessionLog& log, FakeTaskCore& core) : log_(log), core_(core) {}
    bool LogOff() override { return Note("logoff"); }
    bool PowerOff() override { return Note("poweroff"); }
    bool SetShutdownInhibit(bool on) override { return Note(on ? "inhibit" : "release"); }

private:
    bool Note(const char* call) {
        log_.push_back(std::string(call) + "@" + std::to_string(core_.Calls().size()));
        return true;
    }
    SessionLog& log_;
    FakeTaskCore& core_;
};

struct QuietCore final : ICoreLife {
    HRESULT Startup(const std::wstring&, IMainWindow*) override { return S_OK; }
    HRESULT UnBind() override { return S_OK; }
    HRESULT Shutdown() override { return S_OK; }
};

class MainDlgTest : public ::testing::Test {
protected:
    std::unique_ptr<CMainDlg> Make(CPassControl& pass, bool loginOk = true, bool trayAvailable = true) {
        MainDlgParts parts;
        parts.values = &values;
        parts.core = core;
        parts.session = std::make_unique<FakeSession>(session, *core);
        tray.available = trayAvailable;
        parts.tray = std::make_unique<FakeTrayBackend>(tray);
        parts.login = [loginOk] { return loginOk; };
        parts.stopWorker = [this] { core->ClearTaskList(L"worker-stopped"); };
        auto window = std::make_unique<CMainDlg>(std::move(parts));
        window->Create(pass);
        return window;
    }

    FakeUserValues values;
    std::shared_ptr<FakeTaskCore> core = std::make_shared<FakeTaskCore>();
    SessionLog session;
    TrayLog tray;
    QuietCore life;
    CBridgeSink sink{values};
};

TEST_F(MainDlgTest, ALeftLogInEndsThePassWithoutPlacementOrPanes) {
    CPassControl pass(life, sink);
    auto window = Make(pass, false);
    EXPECT_TRUE(pass.Ended());
    EXPECT_EQ(pass.Result(), kLoginCancelledCode);
    EXPECT_EQ(window->Middle(), nullptr);
    EXPECT_TRUE(values.values.empty());
}

TEST_F(MainDlgTest, PlacementIsStoredUnlessMaximisedAndPanesFollowTheSize) {
    {
        CPassControl pass(life, sink);
        auto window = Make(pass);
        window->setGeometry(60, 40, 700, 500);
        QApplication::processEvents();
        EXPECT_EQ(window->Top()->geometry(), QRect(0, 0, 700, 53));
        EXPECT_EQ(window->Middle()->geometry(), QRect(0, 53, 700, 417));
        EXPECT_EQ(window->Bottom()->geometry(), QRect(0, 470, 700, 30));
        void* pane = nullptr;
        window->GetPane(kPaneMiddle, &pane);
        EXPECT_EQ(pane, static_cast<IMiddleWindow*>(window->Middle()));
        pane = &values;
        window->GetPane(7, &pane);
        EXPECT_EQ(pane, &values);
        window->CloseApp(kQuitCode);
        EXPECT_EQ(pass.Result(), kQuitCode);
    }
    EXPECT_EQ(values.values[L"_MainWndPos"], L"60|40|700|500");
    EXPECT_EQ(values.values[L"_MidSplitPos"], L"209");
    EXPECT_EQ(values.values[L"_TaskHeaderWidth"], L"200|200|200");
    {
        CPassControl pass(life, sink);
        auto window = Make(pass);
        EXPECT_EQ(window->geometry(), QRect(60, 40, 700, 500));
        window->showMaximized();
        window->CloseApp(kQuitCode);
    }
    EXPECT_EQ(values.values[L"_MainWndPos"], L"60|40|700|500");
}

TEST_F(MainDlgTest, TheCloseBoxAsksOnceAndHidesToTheTrayWhileARestartEndsThePass) {
    CPassControl pass(life, sink);
    auto window = Make(pass);
    ASSERT_TRUE(window->isVisible());
    EXPECT_TRUE(WithModal([&] { window->close(); },
                          [](QWidget* modal) {
                              auto* box = qobject_cast<CWizardDlg*>(modal);
                              ASSERT_NE(box, nullptr);
                              box->CheckBox()->click();
                              box->Button(CWizardDlg::kIdOk)->click();
                          }));
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(values.values[L"Wizard_CloseMainWnd"].empty());
    window->BringBack();
    EXPECT_FALSE(WithModal([&] { window->close(); }, [](QWidget*) {}));
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(pass.Ended());
    // Switching user from the account menu ends the event loop with the restart code.
    QAction* switchUser = window->Top()->AccountMenu()->actions().value(1);
    ASSERT_TRUE(switchUser && switchUser->data() == int(CTopWindow::kCmdSwitchUser));
    switchUser->trigger();
    EXPECT_FALSE(pass.Ended());
    EXPECT_EQ(pass.Exec(), kRestartCode);

    // With no notification area the window is minimised, not hidden, and no tip comes up.
    values.values.clear();
    CPassControl noTrayPass(life, sink);
    auto noTray = Make(noTrayPass, true, false);
    EXPECT_FALSE(WithModal([&] { noTray->close(); }, [](QWidget*) {}));
    EXPECT_TRUE(noTray->isVisible());
    EXPECT_TRUE(noTray->isMinimized());
    noTray->CloseApp(kQuitCode);
}

TEST_F(MainDlgTest, QuittingWithPendingWorkAsksFirst) {
    struct Case {
        const char* name;
        int tasks;
        bool loggedIn, confirm, shown, closes;
        std::vector<std::wstring> calls;
    };
    const std::vector<Case> cases = {
        {"nothing pending", 0, true, false, false, true, {}},
        {"logged out", 2, false, false, false, true, {}},
        {"confirmed", 2, true, true, true, true, {L"cancel:", L"clear:worker-stopped"}},
        {"kept open", 2, true, false, true, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        core = std::make_shared<FakeTaskCore>();
        core->loggedIn = c.loggedIn;
        for (int i = 0; i < c.tasks; ++i)
            core->unfinishedList.push_back(Task(L"t" + std::to_wstring(i), L"\\f", true, 1, 2));
        CPassControl pass(life, sink);
        auto window = Make(pass);
        QString message;
        const bool shown = WithModal([&] { window->OnCommand(CMainDlg::kCmdQuit); },
                                     [&](QWidget* modal) {
                                         auto* box = qobject_cast<CShutDownDlg*>(modal);
                                         ASSERT_NE(box, nullptr);
                                         message = box->Message()->text();
                                         (c.confirm ? box->OkButton() : box->CancelButton())->click();
                                     });
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(pass.Ended(), c.closes);
        EXPECT_EQ(core->Calls(), c.calls);
        if (c.shown) {
            EXPECT_TRUE(message.contains(QStringLiteral("您还有 2 个任务未完成")));
        }
        if (!pass.Ended()) {
            core->ClearLists();
            window->CloseApp(kQuitCode);
        }
    }
}

TEST_F(MainDlgTest, TheEndOfTheSessionIsRefusedUntilConfirmedThenTheSessionEnds) {
    core->openList = {Task(L"f1", L"\\plan.docx", true, 0, 0)};
    CPassControl pass(life, sink);
    auto window = Make(pass);
    // A watched file holds the shut-down off while it is there.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !session.empty(); }, 5000));
    EXPECT_EQ(session, std::vector<std::string>{"inhibit@0"});
    session.clear();
    EXPECT_FALSE(window->QueryEndSession(kEndSessionLogoff));
    CShutDownDlg* prompt = window->ShutDown();
    ASSERT_TRUE(prompt->isVisible());
    EXPECT_EQ(prompt->windowTitle(), QStringLiteral("注销提示"));
    EXPECT_TRUE(prompt->Message()->text().endsWith(QStringLiteral("您确定要现在关机吗？")));
    // While it is up, the desktop's next question is let through.
    EXPECT_TRUE(window->QueryEndSession(kEndSessionLogoff));
    prompt->CancelButton()->click();
    EXPECT_FALSE(prompt->isVisible());
    EXPECT_TRUE(session.empty());

    EXPECT_FALSE(window->QueryEndSession(0));
    EXPECT_EQ(prompt->windowTitle(), QStringLiteral("关机提示"));
    prompt->OkButton()->click();
    EXPECT_FALSE(prompt->isVisible());
    // Tasks cancelled and the worker stopped before the power-off.
    EXPECT_EQ(core->Calls(), (std::vector<std::wstring>{L"cancel:", L"clear:worker-stopped"}));
    EXPECT_EQ(session, std::vector<std::string>{"poweroff@2"});
    core->ClearLists();
    window->CloseApp(kQuitCode);
    EXPECT_EQ(session.back(), "release@2");
}

TEST_F(MainDlgTest, TheSpaceBarIsDrawnToItsShare) {
    CPassControl pass(life, sink);
    auto window = Make(pass);
    window->resize(800, 560);
    const QColor bar = SKINGUI::ColorRef(0x00E7A2).ToQColor();
    struct Case {
        uint64_t used, total;
        int pixels;
    };
    for (const Case& c : {Case{1, 4, 10}, Case{3, 4, 30}, Case{9, 4, 40}, Case{5, 0, 0}}) {
        SCOPED_TRACE(c.pixels);
        window->Top()->SetSpaceInfo(c.used, c.total);
        const QImage image = window->Top()->grab().toImage();
        const int dpr = int(image.devicePixelRatio());
        if (c.pixels > 0) {
            EXPECT_EQ(image.pixelColor((55 + c.pixels - 1) * dpr, 35 * dpr), bar);
        }
        EXPECT_NE(image.pixelColor((55 + c.pixels) * dpr, 35 * dpr), bar);
    }
    window->CloseApp(kQuitCode);
}

using ScreenshotTest = DemoCoreTest;

TEST_F(ScreenshotTest, MainWindowAboutAndExitPromptOfTheDemoAccount) {
    QuietCore life;
    CPassControl pass(life, sink);
    SessionLog log;
    FakeTaskCore pending;
    MainDlgParts parts;
    parts.session = std::make_unique<FakeSession>(log, pending);
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
    QTest::qWait(1500);
    EXPECT_EQ(window.Middle()->Navigate()->Bar()->GetGroup(0)->items.size(), 5u);
    EXPECT_FALSE(SaveScreenshot(&window, "mainwindow.png").isEmpty());
    window.resize(500, 400);
    QTest::qWait(300);
    EXPECT_FALSE(SaveScreenshot(&window, "mainwindow_small.png").isEmpty());
    window.resize(1000, 700);

    CAboutDlg about(QStringLiteral("token"), &window);
    about.show();
    QTest::qWait(100);
    EXPECT_FALSE(SaveScreenshot(&about, "about.png").isEmpty());
    about.close();

    pending.unfinishedList = {Task(L"t1", L"\\a", true, 1, 2), Task(L"t2", L"\\b", false, 1, 2)};
    pending.openList = {Task(L"f1", L"\\c.docx", true, 0, 0)};
    FakeSession session(log, pending);
    CShutDownDlg prompt(pending, session, nullptr, &window);
    ASSERT_TRUE(prompt.Prepare());
    prompt.show();
    QTest::qWait(100);
    EXPECT_FALSE(SaveScreenshot(&prompt, "exitprompt.png").isEmpty());
    prompt.hide();

    sink.SetWindow(nullptr);
    window.CloseApp(kQuitCode);
    // Without values of its own the window keeps its placement in the user's.
    std::wstring placement;
    EXPECT_FALSE(GetCoreAccess().GetUserValue(placement, L"_MainWndPos", L"").empty());
}

}  // namespace
