// The log-in dialog against the service emulator, with fake components
// around the real service client.
#include "ui/logindlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "core/remotestorage/remotestorage/resultcodes.h"
#include "platform/strings.h"
#include "skingui/skinbutton.h"
#include "tests/support/clientfixture.h"
#include "tests/ui/fakeuservalues.h"

namespace {

using namespace pellux_test;

// Runs the action on the next modal window that comes up (polled, bounded).
void WhenModal(std::function<void(QWidget*)> action, int triesLeft = 500) {
    QTimer::singleShot(20, [action, triesLeft] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            action(modal);
        } else if (triesLeft > 0) {
            WhenModal(action, triesLeft - 1);
        } else {
            ADD_FAILURE() << "no window came up";
        }
    });
}

class LoginDlgTest : public FakeCoreTest {
protected:
    // Types into the dialog and presses "登录".
    static void LogIn(CLoginDlg& dlg, const QString& account, const QString& password, bool tips) {
        dlg.AccountEdit()->setText(account);
        dlg.PasswordEdit()->setText(password);
        dlg.TipsCheck()->SetCheck(tips ? SKINGUI::BST_CHECKED : SKINGUI::BST_UNCHECKED);
        dlg.LoginButton()->click();
    }
};

TEST(LoginDlgTextTest, EachFailureHasItsMessage) {
    const QString wrong = QStringLiteral("用户不存在或密码错误，请重新输入用户名或密码，然后重新登录。");
    const QString network = QStringLiteral("网络错误，请确保您的电脑正常联网，然后尝试重新登录。");
    const QString other = QStringLiteral("登录时发生错误，请尝试重新登录。");
    const std::vector<std::pair<HRESULT, QString>> cases = {
        {E_RESULT_ACCOUNT_NOT_MATCH, wrong}, {E_TRANSPORT_TIMEOUT, network},
        {E_TRANSPORT_CONNECT, network},      {E_TRANSPORT_FAILED, network},
        {E_CHECKSUM_MISMATCH, network},      {E_FAIL, other},
        {E_RESULT_SERVER_BUSY, other},       {E_RESULT_ACCOUNT_NOT_ACTIVE, other}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<uint32_t>(c.first));
        EXPECT_EQ(CLoginDlg::FailureText(c.first), c.second);
    }
}

TEST_F(LoginDlgTest, AWrongPasswordIsToldAndTheTypedLogInGoesThrough) {
    CLoginDlg dlg(core);
    QString message;
    WhenModal([&](QWidget*) {
        ui_test::SaveScreenshot(&dlg, "logindlg.png");
        WhenModal([&](QWidget* box) {
            message = static_cast<QMessageBox*>(box)->text();
            static_cast<QMessageBox*>(box)->accept();
        });
        LogIn(dlg, "demo", "not-the-password", true);
        EXPECT_EQ(dlg.AccountEdit()->text(), "demo");
        LogIn(dlg, "demo", "demo", false);
    });
    EXPECT_EQ(dlg.Run(), QDialog::Accepted);
    EXPECT_EQ(message, CLoginDlg::FailureText(E_RESULT_ACCOUNT_NOT_MATCH));
    EXPECT_TRUE(core.IsLoggedIn());
    EXPECT_EQ(core.GetUserIntValue(L"Wizard_OpenFlag"), 0);
    std::wstring flag;
    EXPECT_EQ(core.GetUserValue(flag, L"Wizard_OpenFlag", L""), L"0");
}

TEST_F(LoginDlgTest, AStoredSessionLogsInWithoutShowingTheDialog) {
    ASSERT_EQ(core.BindWithLogin(L"demo", L"demo", 1), S_OK);
    ASSERT_EQ(core.Shutdown(), S_OK);
    ASSERT_EQ(core.Startup(dataDir, sink.get()), S_OK);
    CLoginDlg dlg(core);
    bool shown = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (dlg.isVisible()) {
            shown = true;
            dlg.reject();
        }
    });
    watch.start(1);
    EXPECT_EQ(dlg.Run(), QDialog::Accepted);
    EXPECT_FALSE(shown);
    EXPECT_TRUE(core.IsLoggedIn());
}

TEST_F(LoginDlgTest, LeavingEndsWithTwoAndTheStoredModeIsPreselected) {
    ASSERT_EQ(core.BindWithLogin(L"demo", L"demo", 2), S_OK);
    ASSERT_EQ(core.UnBind(), S_OK);
    CLoginDlg dlg(core);
    bool deleteDataChecked = false;
    WhenModal([&](QWidget*) {
        deleteDataChecked = dlg.DeleteDataRadio()->GetCheck() == SKINGUI::BST_CHECKED;
        dlg.ExitButton()->click();
    });
    EXPECT_EQ(dlg.Run(), CLoginDlg::kLoginLeft);
    EXPECT_TRUE(deleteDataChecked);
    EXPECT_FALSE(core.IsLoggedIn());
}

}  // namespace
