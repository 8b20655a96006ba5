#pragma once
// The one question box of the program: a text, one to three buttons and an
// optional check box that makes the answer permanent under a "Wizard_" value.
#include <QDialog>

#include "skingui/skinctlcolor.h"
#include "ui/wizardprompt.h"

class IUserValues;
class QPushButton;

namespace SKINGUI {
class CSkinButton;
class CSkinStatic;
}  // namespace SKINGUI

class CWizardDlg : public QDialog, public SKINGUI::ISkinCtlColor {
    Q_OBJECT
public:
    // Control ids of the box.
    enum ControlId { kIdOk = 1, kIdCancel = 2, kIdCheck = 1019, kIdText = 1020, kIdThird = 1021 };

    CWizardDlg(IUserValues& values, const WizardPrompt& prompt, QWidget* parent = nullptr);
    ~CWizardDlg() override;

    // Returns a remembered or suppressed answer at once, else shows the box
    // modally and returns the answer of the button that ended it (-1 for
    // Escape and the close box).
    int ShowOrReuse();
    // Stores the answer when the check box is ticked; called when a button ends the box.
    void StoreAnswer(int answer);

    // The widgets, for whoever drives the box (tests, screenshots).
    QPushButton* Button(int id) const;
    SKINGUI::CSkinButton* CheckBox() const { return check_; }
    SKINGUI::CSkinStatic* TextControl() const { return text_; }

    bool CtlColorStatic(QWidget* control, SKINGUI::ColorRef* background) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void SetUpControls();
    void EndWithButton(int answer);

    IUserValues& values_;
    WizardPrompt prompt_;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* third_ = nullptr;
    SKINGUI::CSkinButton* check_ = nullptr;
    SKINGUI::CSkinStatic* text_ = nullptr;
    QPixmap icon_;
    // Escape and the close box end the box with cancel and store nothing.
    int answer_ = kWizardCancel;
};
