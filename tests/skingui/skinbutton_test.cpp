#include <gtest/gtest.h>

#include <QSignalSpy>

#include "skingui/drawhelpers.h"
#include "skingui/skinbitmapbutton.h"
#include "skingui/skinbutton.h"
#include "skingui/skincolorbutton.h"
#include "tests/skingui/mouseinput.h"

using namespace SKINGUI;
using skingui_test::Grab;
using skingui_test::Rgb;

namespace {

void Enter(QWidget* w) {
    QEnterEvent ev(QPointF(2, 2), QPointF(2, 2), QPointF(w->mapToGlobal(QPoint(2, 2))));
    QApplication::sendEvent(w, &ev);
}

}  // namespace

TEST(SkinButtonClick, CheckBoxTogglesBeforeItNotifiesSignalsOncePerClickAndAReleaseOutsideCancels) {
    QWidget parent;
    parent.resize(200, 100);
    CSkinButton box(&parent, "Remember", BS_AUTOCHECKBOX);
    box.setGeometry(0, 0, 120, 24);
    box.SetControlId(1005);
    std::vector<int> seenStates;
    QObject::connect(&box, &CSkinButton::bnClicked, [&](int id) {
        EXPECT_EQ(id, 1005);
        seenStates.push_back(box.GetCheck());
    });
    QSignalSpy qtClicks(&box, &QAbstractButton::clicked);
    skingui_test::Click(&box, QPoint(10, 10));
    skingui_test::Click(&box, QPoint(10, 10));
    EXPECT_EQ(seenStates, (std::vector<int>{1, 0}));
    EXPECT_EQ(qtClicks.count(), 2);
    EXPECT_EQ(box.GetCheck(), 0);
    skingui_test::Press(&box, QPoint(10, 10));
    EXPECT_TRUE(box.isDown());
    skingui_test::Release(&box, QPoint(150, 80));
    EXPECT_EQ(seenStates.size(), 2u);
    EXPECT_FALSE(box.isDown());
    EXPECT_EQ(box.GetCheck(), 0);
}

TEST(SkinButtonRadio, CheckingARadioUnchecksOnlyTheRadiosOfItsGroup) {
    QWidget parent;
    auto* a = new CSkinButton(&parent, "A", BS_AUTORADIOBUTTON);
    auto* b = new CSkinButton(&parent, "B", BS_RADIOBUTTON);
    auto* other = new CSkinButton(&parent, "Other group", BS_AUTORADIOBUTTON);
    other->SetGroup(1);
    auto* box = new CSkinButton(&parent, "Box", BS_AUTOCHECKBOX);
    b->setGeometry(0, 30, 80, 24);
    a->SetCheck(BST_CHECKED);
    other->SetCheck(BST_CHECKED);
    box->SetCheck(BST_CHECKED);
    skingui_test::Click(b, QPoint(5, 5));
    EXPECT_EQ(a->GetCheck(), 0);
    EXPECT_EQ(b->GetCheck(), 1);
    EXPECT_EQ(other->GetCheck(), 1);
    EXPECT_EQ(box->GetCheck(), 1);
    // Checking a check box or a push button leaves the radios alone.
    auto* push = new CSkinButton(&parent, "Push");
    push->SetCheck(BST_CHECKED);
    box->SetCheck(BST_UNCHECKED);
    box->SetCheck(BST_CHECKED);
    EXPECT_EQ(b->GetCheck(), 1);
    // Indeterminate keeps only the low four bits.
    box->SetCheck(0x12);
    EXPECT_EQ(box->GetCheck(), 2);
}

TEST(SkinButtonPaint, ProgrammaticCheckChangesRepaintTheButton) {
    skingui_test::RecordingParent parent;
    parent.resize(200, 100);
    auto* box = new CSkinButton(&parent, "x", BS_AUTOCHECKBOX);
    box->setGeometry(10, 10, 80, 24);
    parent.show();
    QApplication::processEvents();
    for (int state : {BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED}) {
        parent.painted = QRegion();
        box->SetCheck(state);
        QApplication::processEvents();
        EXPECT_TRUE(parent.painted.contains(QRect(10, 10, 80, 24))) << state;
    }
}

TEST(SkinButtonLayout, GlyphWidthAndCaptionPage) {
    CSkinButton push(nullptr, "<font bold='1'>OK</font>");
    push.resize(80, 24);
    EXPECT_EQ(push.GlyphWidth(), 0);
    EXPECT_EQ(push.Caption().Width(), 80);
    ASSERT_EQ(push.Caption().ElementCount(), 1);
    EXPECT_TRUE(push.Caption().Element(0)->style & kStyleBold);
    CSkinButton box(nullptr, "x", BS_CHECKBOX);
    box.resize(80, 24);
    EXPECT_EQ(box.GlyphWidth(), 20);
    EXPECT_EQ(box.Caption().Width(), 60);
    box.SetGlyphImageList(std::make_shared<SkinImageList>(QSize(13, 13)));
    EXPECT_EQ(box.GlyphWidth(), 17);
    EXPECT_EQ(box.Caption().Width(), 63);
}

TEST(SkinButtonPaint, PushButtonDrawsNoFrameAndACheckedBoxDrawsItsMark) {
    skingui_test::RedParent parent(200, 80);
    auto* push = new CSkinButton(&parent, "<font bold='1'>OK</font>");
    push->setGeometry(10, 10, 80, 24);
    auto* box = new CSkinButton(&parent, "", BS_AUTOCHECKBOX);
    box->setGeometry(10, 40, 80, 24);
    QImage image = Grab(&parent);
    for (QPoint p :
         {QPoint(10, 10), QPoint(89, 10), QPoint(10, 33), QPoint(89, 33), QPoint(50, 10), QPoint(12, 22)}) {
        EXPECT_EQ(image.pixel(p), qRgb(255, 0, 0)) << p.x() << "," << p.y();
    }
    const QRect glyph(11, 45, 13, 13);
    EXPECT_NE(image.pixel(glyph.topLeft()), qRgb(255, 0, 0));
    const QImage unchecked = image.copy(glyph);
    box->SetCheck(BST_CHECKED);
    image = Grab(&parent);
    EXPECT_NE(image.copy(glyph), unchecked);
}

TEST(SkinColorButton, NormalHotFocusedPushedAndGreyedFacesAndOneSignalPerClick) {
    QWidget window;
    window.resize(200, 100);
    auto* button = new CSkinColorButton(&window, "Go");
    button->setGeometry(10, 10, 80, 30);
    button->SetControlId(1032);
    QSignalSpy clicks(button, &CSkinColorButton::bnClicked);
    window.show();
    const ColorRef face = button->FaceColor();
    QImage image = Grab(button);
    EXPECT_EQ(image.pixel(0, 0), Rgb(0x808080));
    EXPECT_EQ(image.pixel(79, 29), Rgb(0x808080));
    EXPECT_EQ(image.pixel(1, 1), Rgb(LightenColor(face, 100)));
    EXPECT_EQ(image.pixel(1, 28), Rgb(LightenColor(face, 80)));

    Enter(button);
    EXPECT_TRUE(button->IsHot());
    image = Grab(button);
    EXPECT_EQ(image.pixel(1, 1), Rgb(face));
    EXPECT_EQ(image.pixel(2, 2), Rgb(face));
    EXPECT_EQ(image.pixel(78, 15), Rgb(face));
    EXPECT_NE(image.pixel(3, 3), Rgb(face));
    skingui_test::Leave(button);
    EXPECT_FALSE(button->IsHot());

    window.activateWindow();
    button->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(button->hasFocus());
    image = Grab(button);
    EXPECT_EQ(image.pixel(1, 1), Rgb(0xC0C0C0));
    EXPECT_EQ(image.pixel(2, 2), Rgb(0xC0C0C0));
    Enter(button);  // hovered wins over focused
    EXPECT_EQ(Grab(button).pixel(1, 1), Rgb(face));
    skingui_test::Leave(button);

    skingui_test::Press(button, QPoint(40, 15));
    image = Grab(button);
    EXPECT_EQ(image.pixel(1, 1), Rgb(LightenColor(face, 50)));
    EXPECT_EQ(image.pixel(1, 28), Rgb(0xFFFFFF));
    EXPECT_NE(image.pixel(77, 3), image.pixel(76, 3));  // the dotted focus rectangle's right edge
    skingui_test::Release(button, QPoint(40, 15));
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), 1032);

    button->SetFaceColor(0x00FF00);
    button->setEnabled(false);
    image = Grab(button);
    const ColorRef grey = GetSysColor(COLOR_GRAYTEXT);
    EXPECT_EQ(image.pixel(0, 0), Rgb(grey));
    EXPECT_EQ(image.pixel(3, 3), Rgb(LightenColor(grey, 80)));
    EXPECT_EQ(image.pixel(78, 28), Rgb(LightenColor(grey, 80)));
    EXPECT_EQ(image.pixel(79, 15), Rgb(grey));
}

TEST(SkinBitmapButtonImages, StateChoosesTheImageAndMinusOneKeepsTheOldIndex) {
    QWidget window;
    window.resize(100, 100);
    auto* button = new CSkinBitmapButton(&window);
    auto* captioned = new CSkinBitmapButton(&window, "MMMM");  // the text is the caption
    captioned->setGeometry(30, 0, 60, 24);
    EXPECT_GT(skingui_test::CountPixels(Grab(captioned), QRect(0, 0, 60, 24), skingui_test::IsDark), 10);
    auto list = std::make_shared<SkinImageList>(QSize(24, 24));
    for (QColor c : {QColor(Qt::red), QColor(Qt::green), QColor(Qt::blue), QColor(128, 128, 128)}) {
        QPixmap cell(24, 24);
        cell.fill(c);
        list->Add(cell);
    }
    button->SetImageList(list);
    button->setGeometry(0, 0, 24, 24);
    button->SetImages(0, 1, 2, 3);
    EXPECT_EQ(Grab(button).pixel(12, 12), qRgb(255, 0, 0));
    Enter(button);
    EXPECT_EQ(button->CurrentImage(), 2);
    EXPECT_EQ(Grab(button).pixel(12, 12), qRgb(0, 0, 255));
    skingui_test::Press(button, QPoint(5, 5));
    EXPECT_EQ(button->CurrentImage(), 1);
    skingui_test::Release(button, QPoint(5, 5));
    skingui_test::Leave(button);
    button->SetImages(-1, -1, -1, -1);
    button->setEnabled(false);
    EXPECT_EQ(button->CurrentImage(), 3);
    EXPECT_EQ(Grab(button).pixel(12, 12), qRgb(128, 128, 128));
    button->setEnabled(true);
    EXPECT_EQ(button->CurrentImage(), 0);
    QSignalSpy clicks(button, &CSkinBitmapButton::bnClicked);
    skingui_test::Click(button, QPoint(5, 5));
    EXPECT_EQ(clicks.count(), 1);
}
