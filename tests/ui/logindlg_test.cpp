// The log-in dialog against the service emulator, with fake components
// around the real service client.
#include "ui/logindlg.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "core/remotestorage/remotestorage/resultcodes.h"
#include "platform/strings.h"
#include "skingui/skinbutton.h"
#include "tests/support/clientfixture.h"
#include "tests/ui/fakeuservalues.h"

namespace {

using namespace pellux_test;

using ui_test::WithModal;

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
        {E_RESULT_ACCOUNT_NOT_MATCH, wrong}, {E_TRANSPORT_TIMEOUT, network}, {E_TRANSPORT_CONNECT, network},
        {E_TRANSPORT_FAILED, network},       {E_CHECKSUM_MISMATCH, network}, {E_RESULT_SERVER_BUSY, other}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<uint32_t>(c.first));
        EXPECT_EQ(CLoginDlg::FailureText(c.first), c.second);
    }
}

TEST_F(LoginDlgTest, AWrongPasswordIsToldAndTheTypedLogInGoesThrough) {
    CLoginDlg dlg(core);
    QString message;
    auto told = [&](QWidget* box) {
        message = static_cast<QMessageBox*>(box)->text();
        static_cast<QMessageBox*>(box)->accept();
    };
    auto typeTwice = [&](QWidget*) {
        ui_test::SaveScreenshot(&dlg, "logindlg.png");
        EXPECT_TRUE(WithModal([&] { LogIn(dlg, "demo", "not-the-password", true); }, told));
        EXPECT_EQ(dlg.AccountEdit()->text(), "demo");
        LogIn(dlg, "demo", "demo", false);
    };
    EXPECT_TRUE(WithModal([&] { EXPECT_EQ(dlg.Run(), QDialog::Accepted); }, typeTwice));
    EXPECT_EQ(message, CLoginDlg::FailureText(E_RESULT_ACCOUNT_NOT_MATCH));
    EXPECT_TRUE(core.IsLoggedIn());
    std::wstring flag;
    EXPECT_EQ(core.GetUserValue(flag, L"Wizard_OpenFlag", L""), L"0");
}

TEST_F(LoginDlgTest, AStoredSessionLogsInWithoutShowingTheDialog) {
    ASSERT_EQ(core.BindWithLogin(L"demo", L"demo", 1), S_OK);
    ASSERT_EQ(core.Shutdown(), S_OK);
    ASSERT_EQ(core.Startup(dataDir, sink.get()), S_OK);
    CLoginDlg dlg(core);
    EXPECT_FALSE(WithModal([&] { EXPECT_EQ(dlg.Run(), QDialog::Accepted); },
                           [](QWidget* shown) { static_cast<QDialog*>(shown)->reject(); }));
    EXPECT_TRUE(core.IsLoggedIn());
}

TEST_F(LoginDlgTest, LeavingEndsWithTwoAndTheStoredModeIsPreselected) {
    ASSERT_EQ(core.BindWithLogin(L"demo", L"demo", 2), S_OK);
    ASSERT_EQ(core.UnBind(), S_OK);
    CLoginDlg dlg(core);
    bool deleteDataChecked = false;
    auto leave = [&](QWidget*) {
        deleteDataChecked = dlg.DeleteDataRadio()->GetCheck() == SKINGUI::BST_CHECKED;
        dlg.ExitButton()->click();
    };
    EXPECT_TRUE(WithModal([&] { EXPECT_EQ(dlg.Run(), CLoginDlg::kLoginLeft); }, leave));
    EXPECT_TRUE(deleteDataChecked);
    EXPECT_FALSE(core.IsLoggedIn());
}

}  // namespace
