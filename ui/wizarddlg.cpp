#include "ui/wizarddlg.h"

#include <QApplication>
#include <QPainter>
#include <QPushButton>
#include <vector>

#include "base/utility/formatstring.h"
#include "base/utility/stringutil.h"
#include "skingui/drawhelpers.h"
#include "skingui/skinbutton.h"
#include "skingui/skinstatic.h"
#include "ui/iuservalues.h"
#include "ui/themeicon.h"

using namespace SKINGUI;

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 170;
constexpr int kBandHeight = 35;
constexpr int kIconSize = 48;
constexpr int kIconLeft = 30;
constexpr int kIconAboveMiddle = 45;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 24;
constexpr int kButtonGap = 8;
constexpr int kMargin = 10;
constexpr int kTextLeft = 96;
constexpr ColorRef kFace = 0xFEFBF7;
constexpr ColorRef kBandTop = 0xFFF3E7;
constexpr ColorRef kBandBottom = 0xF5E4CF;

QString ToQ(const std::wstring& text) {
    return QString::fromStdWString(text);
}

}  // namespace

CWizardDlg::CWizardDlg(IUserValues& values, const WizardPrompt& prompt, QWidget* parent)
    : QDialog(parent), values_(values), prompt_(prompt) {
    setWindowTitle(QStringLiteral("提示"));
    setFixedSize(kWidth, kHeight);
    const int buttonTop = kHeight - kBandHeight + (kBandHeight - kButtonHeight) / 2;
    // From left to right the buttons stand third, OK, cancel.
    const int cancelLeft = kWidth - kMargin - kButtonWidth;
    const int okLeft = cancelLeft - kButtonGap - kButtonWidth;
    const int thirdLeft = okLeft - kButtonGap - kButtonWidth;
    third_ = new QPushButton(this);
    third_->setGeometry(thirdLeft, buttonTop, kButtonWidth, kButtonHeight);
    ok_ = new QPushButton(QStringLiteral("确定"), this);
    ok_->setGeometry(okLeft, buttonTop, kButtonWidth, kButtonHeight);
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("取消"), this);
    cancel_->setGeometry(cancelLeft, buttonTop, kButtonWidth, kButtonHeight);
    connect(ok_, &QPushButton::clicked, this, [this] { EndWithButton(kWizardDefaultButton); });
    connect(third_, &QPushButton::clicked, this, [this] { EndWithButton(kWizardThirdButton); });
    connect(cancel_, &QPushButton::clicked, this, [this] { EndWithButton(kWizardCancel); });

    text_ = new CSkinStatic(this);
    // The first line stands level with the icon's middle.
    text_->setGeometry(kTextLeft, 32, kWidth - kTextLeft - 15, kHeight - kBandHeight - 32 - 30);
    text_->Format().SetAlignment(kAlignLeft | kAlignTop);
    check_ = new CSkinButton(this, QStringLiteral("记住我的选择"), BS_AUTOCHECKBOX);
    check_->SetControlId(kIdCheck);
    check_->setGeometry(kTextLeft, kHeight - kBandHeight - 28, kWidth - kTextLeft - 15, 22);
    icon_ = ThemeIcon(QStringLiteral("dialog-information"), QStyle::SP_MessageBoxInformation)
                .pixmap(kIconSize, kIconSize);
    SetUpControls();
}

CWizardDlg::~CWizardDlg() = default;

void CWizardDlg::SetUpControls() {
    setWindowTitle(ToQ(prompt_.caption));
    text_->SetPlainText(ToQ(prompt_.text));
    check_->setVisible(!prompt_.checkText.empty());
    check_->SetCaption(ToQ(prompt_.checkText), kAlignLeft | kAlignVCenter);
    check_->SetCheck(BST_UNCHECKED);

    std::vector<std::wstring> captions;
    SplitString(prompt_.buttons, L'|', captions);
    if (captions.size() == 1) {
        third_->hide();
        cancel_->hide();
        ok_->setText(ToQ(captions[0]));
        ok_->move(cancel_->pos());
    } else if (captions.size() == 2) {
        third_->hide();
        ok_->setText(ToQ(captions[0]));
        cancel_->setText(ToQ(captions[1]));
    } else if (captions.size() == 3) {
        third_->setText(ToQ(captions[0]));
        ok_->setText(ToQ(captions[1]));
        cancel_->setText(ToQ(captions[2]));
    } else {
        third_->hide();
    }
}

int CWizardDlg::ShowOrReuse() {
    if (!prompt_.checkText.empty()) {
        WizardStored stored;
        stored.openFlagText = values_.GetUserValue(kWizardOpenFlag, L"");
        stored.openFlag = values_.GetUserIntValue(kWizardOpenFlag);
        stored.remembered = values_.GetUserIntValue(prompt_.key);
        if (const std::optional<int> answer = DecideWizard(prompt_, stored))
            return *answer;
    }
    answer_ = kWizardCancel;
    // Owned by no window, the box still comes up over the one the user works in.
    if (parentWidget() == nullptr) {
        if (QWidget* active = QApplication::activeWindow())
            move(active->geometry().center() - rect().center());
    }
    exec();
    return answer_;
}

void CWizardDlg::StoreAnswer(int answer) {
    const std::optional<int> value =
        WizardValueToStore(prompt_, answer, !check_->isHidden() && check_->GetCheck() == BST_CHECKED);
    if (!value)
        return;
    std::wstring text;
    values_.SetUserValue(prompt_.key, FormatString(text, L"%d", *value));
}

QPushButton* CWizardDlg::Button(int id) const {
    switch (id) {
        case kIdOk:
            return ok_;
        case kIdCancel:
            return cancel_;
        case kIdThird:
            return third_;
        default:
            return nullptr;
    }
}

bool CWizardDlg::CtlColorStatic(QWidget*, ColorRef* background) {
    *background = kFace;
    return true;
}

void CWizardDlg::EndWithButton(int answer) {
    StoreAnswer(answer);
    answer_ = answer;
    done(answer == kWizardCancel ? Rejected : Accepted);
}

void CWizardDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kFace.ToQColor());
    FillGradient(painter, QRect(0, height() - kBandHeight, width(), kBandHeight), kBandTop, kBandBottom,
                 true);
    const int iconTop = height() / 2 - kIconAboveMiddle - kIconSize / 2;
    painter.drawPixmap(QRect(kIconLeft, iconTop, kIconSize, kIconSize), icon_);
}
