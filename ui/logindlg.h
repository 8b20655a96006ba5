#pragma once
// The log-in dialog: a silent log-in with the stored token first (the dialog is
// then never seen), else account name, password, log-in mode and the tips
// switch. Ends logged in (QDialog::Accepted) or left (kLoginLeft).
#include <QDialog>
#include <QPixmap>

#include "platform/hresult.h"
#include "skingui/skinctlcolor.h"

class CCoreAccess;
class QLineEdit;
class QPushButton;

namespace SKINGUI {
class CSkinButton;
class CSkinHyperLink;
class CSkinStatic;
}  // namespace SKINGUI

class CLoginDlg : public QDialog, public SKINGUI::ISkinCtlColor {
    Q_OBJECT
public:
    static constexpr int kLoginLeft = 2;

    explicit CLoginDlg(CCoreAccess& core, QWidget* parent = nullptr);
    ~CLoginDlg() override;

    // The silent attempt, then the dialog when that fails: Accepted or kLoginLeft.
    int Run();
    // True when a stored user logged in with the stored token.
    bool TrySilentLogin();
    // The message for a failed typed log-in.
    static QString FailureText(HRESULT hr);

    QLineEdit* AccountEdit() const { return account_; }
    QLineEdit* PasswordEdit() const { return password_; }
    SKINGUI::CSkinButton* KeepDataRadio() const { return keepData_; }
    SKINGUI::CSkinButton* DeleteDataRadio() const { return deleteData_; }
    SKINGUI::CSkinButton* TipsCheck() const { return tips_; }
    QPushButton* LoginButton() const { return login_; }
    QPushButton* ExitButton() const { return exit_; }

    bool CtlColorStatic(QWidget* control, SKINGUI::ColorRef* background) override;

public slots:
    void reject() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void SetUpControls();
    void OnLogin();

    CCoreAccess& core_;
    QLineEdit* account_ = nullptr;
    QLineEdit* password_ = nullptr;
    SKINGUI::CSkinStatic* accountLabel_ = nullptr;
    SKINGUI::CSkinStatic* passwordLabel_ = nullptr;
    SKINGUI::CSkinButton* keepData_ = nullptr;
    SKINGUI::CSkinButton* deleteData_ = nullptr;
    SKINGUI::CSkinButton* tips_ = nullptr;
    SKINGUI::CSkinHyperLink* register_ = nullptr;
    SKINGUI::CSkinHyperLink* resetPassword_ = nullptr;
    QPushButton* login_ = nullptr;
    QPushButton* exit_ = nullptr;
    QPixmap banner_;
};
