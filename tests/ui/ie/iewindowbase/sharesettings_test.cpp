// The share-settings page: its address, what GetUserInfo answers, the
// external method table, and the dialog against the emulator's share page.
#include "ui/ie/iewindowbase/sharesettings.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "tests/ui/democore.h"
#include "ui/ie/iewindowbase/sharesettingdlg.h"

using namespace ui_test;

namespace {

TEST(ShareSettings, AddressUserTextAndMethodTable) {
    EXPECT_EQ(ShareSettingsAddress("http://127.0.0.1:8642", "a1b2").toString(),
              "http://127.0.0.1:8642/xweb/sharefile2/?fileId=a1b2&v=2");
    EXPECT_EQ(ShareSettingsAddress("https://h/base", "x&y=1#z").toString(),
              "https://h/base/xweb/sharefile2/?fileId=x%26y%3D1%23z&v=2");
    struct Info {
        QString name, token, id, text;
    };
    const std::vector<Info> infos = {
        {"demo", "tok", "u1", R"({0:["demo"],1:["tok"],2:["u1"]})"},
        {"", "", "", R"({0:["_UNLOGIN_"],1:[""],2:[""]})"},
        {R"(a"b\c)", "</script>", "\n", R"({0:["a\"b\\c"],1:["\u003c/script\u003e"],2:["\n"]})"},
    };
    for (const Info& i : infos) {
        SCOPED_TRACE(i.text.toStdString());
        EXPECT_EQ(UserInfoText(i.name, i.token, i.id), i.text);
    }
    struct Method {
        QString name;
        HRESULT hr;
        int id;
    };
    for (const Method& m :
         {Method{"GetUserInfo", S_OK, 1}, Method{"getuserinfo", S_OK, 1}, Method{"CLOSEWIZARD", S_OK, 2},
          Method{"Navigate", E_FAIL, 0}, Method{"", E_NOTIMPL, 0}}) {
        SCOPED_TRACE(m.name.toStdString());
        int id = 0;
        EXPECT_EQ(ExternalDispIdOf(m.name, &id), m.hr);
        EXPECT_EQ(id, m.id);
    }
    for (int id : {-1, 0, 3})
        EXPECT_EQ(CheckExternalDispId(id), E_INVALIDARG);
    EXPECT_EQ(CheckExternalDispId(2), S_OK);
}

// Runs a script in the page and waits for its value.
QVariant RunScript(QWebEnginePage* page, const QString& script) {
    QVariant result;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 10000)) << script.toStdString();
    return result;
}

class ShareDialogTest : public DemoCoreTest {
protected:
    void SetUp() override {
        DemoCoreTest::SetUp();
        if (HasFatalFailure())
            return;
        // The engine may not start at all here (no GPU process, no sandbox).
        QWebEngineView probe;
        bool loaded = false, ok = false;
        QObject::connect(&probe, &QWebEngineView::loadFinished, [&](bool success) {
            loaded = true;
            ok = success;
        });
        probe.setHtml(QStringLiteral("<p>probe</p>"));
        if (!QTest::qWaitFor([&] { return loaded; }, 30000) || !ok)
            GTEST_SKIP() << "Qt WebEngine cannot start on this machine; the share dialog was not tested";
    }
};

TEST_F(ShareDialogTest, ThePageReadsTheUserAndClosesTheDialog) {
    ASSERT_TRUE(LogIn());
    std::vector<RemoteItem> items;
    ASSERT_EQ(GetCoreAccess().Dir(L"", L"\\", &items, true), S_OK);
    ASSERT_FALSE(items.empty());
    std::wstring name, token, id;
    GetCoreAccess().GetLoginInfo(&name, &token, &id, nullptr);

    QWidget owner;
    ShowShareSettings(&owner, items.front().fileId, token, name);
    auto* dialog = owner.findChild<CShareSettingDlg*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("共享设置（%1）").arg(QString::fromStdWString(name)));
    EXPECT_TRUE(dialog->LoadingLabel()->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->Navigated(); }, 30000));
    QWebEnginePage* page = dialog->View()->page();
    // The page listed the item's sharers with the token it got from the shim.
    const QString title = QStringLiteral("共享设置：") + QString::fromStdWString(items.front().name);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return RunScript(page, "document.getElementById('title').textContent").toString() == title; },
        10000));
    EXPECT_EQ(RunScript(page, "window.external.getuserinfo()").toString(),
              UserInfoText(QString::fromStdWString(name), QString::fromStdWString(token),
                           QString::fromStdWString(id)));
    QTest::qWait(300);
    EXPECT_FALSE(SaveScreenshot(dialog, "sharedialog.png").isEmpty());

    RunScript(page, "document.getElementById('close').click()");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog->isVisible(); }, 10000));

    // Another origin (the same server under another name) learns nothing.
    ShowShareSettings(&owner, items.front().fileId, token, name);
    EXPECT_EQ(owner.findChildren<CShareSettingDlg*>().size(), 1);
    QUrl foreign(QString::fromStdString(m_emulator.Address()));
    foreign.setHost("localhost");
    foreign.setPath("/xweb/sharefile2/");
    foreign.setQuery("fileId=x&v=2");
    dialog->Navigate(foreign);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->Navigated(); }, 30000));
    EXPECT_EQ(RunScript(page, "typeof (window.external && window.external.GetUserInfo)").toString(),
              "undefined");
    EXPECT_EQ(RunScript(page, "JSON.stringify(user)").toString(), R"({"name":"","token":"","id":""})");
    dialog->reject();
}

}  // namespace
