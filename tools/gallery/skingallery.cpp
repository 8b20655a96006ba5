#include "tools/gallery/skingallery.h"

#include <QApplication>
#include <QEnterEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "skingui/drawhelpers.h"
#include "skingui/skinbitmapbutton.h"
#include "skingui/skinbutton.h"
#include "skingui/skincolorbutton.h"
#include "skingui/skinhyperlink.h"
#include "skingui/skinresources.h"
#include "skingui/skinstatic.h"
#include "tools/gallery/galleryimages.h"

using namespace SKINGUI;

namespace gallery {
namespace {

// A pane background drawn with the helpers, as the application panes do.
class GalleryPane : public QWidget {
public:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0xFE, 0xFB, 0xF7));
        DrawLine(painter, 0, 0, width(), 0, 0xFEFEFE);
        FillGradient(painter, QRect(0, 1, width(), 47), 0xFFF5EB, 0xF6E3CE, true);
        DrawLine(painter, 0, 48, width(), 48, 0xF9EDE1);
        DrawLine(painter, 0, 49, width(), 49, 0xCDB8A2);
        DrawRectFrame(painter, 8, 300, width() - 9, height() - 9, 0xCDB8A2);
    }
};

}  // namespace

QImage SkinGallery() {
    RegisterGalleryImages();

    GalleryPane pane;
    pane.resize(520, 420);
    QFont font("Noto Sans CJK SC");
    font.setPixelSize(12);
    pane.setFont(font);

    auto* name = new CSkinStatic(&pane);
    name->setGeometry(12, 14, 300, 24);
    name->SetBackgroundColor(kNoColor);
    name->SetText("<font bold='1' color='0x2b353f' size='11'>Pellux 用户</font>", 0, kAlignLeft);

    const char* headings[] = {
        "<img srcid='group' index='0'/> <font bold='1' color='0xffa10c'>失败的任务</font>",
        "<img srcid='group' index='1'/> <font bold='1' color='0x006c00'>已完成的任务</font>",
        "<img srcid='group' index='2'/> <font bold='1' color='0x4594de'>待处理的任务</font>",
    };
    for (int i = 0; i < 3; ++i) {
        auto* heading = new CSkinStatic(&pane);
        heading->setGeometry(12, 60 + i * 26, 240, 24);
        heading->SetBackgroundColor(kNoColor);
        heading->SetText(headings[i]);
        auto* links = new CSkinStatic(&pane);
        links->setGeometry(260, 60 + i * 26, 240, 24);
        links->SetBackgroundColor(kNoColor);
        links->SetText("<a name='retry'>重试</a> <a name='delete'>清除</a>");
    }
    auto* item = new CSkinStatic(&pane);
    item->setGeometry(12, 142, 240, 22);
    item->SetBackgroundColor(kNoColor);
    item->SetText("<img srcid='item' index='0'/> ");
    item->Format().AddPlainText("report <draft>.docx");  // a user's file name, never parsed
    auto* progress = new CSkinStatic(&pane);
    progress->setGeometry(260, 142, 200, 22);
    progress->SetBackgroundColor(kNoColor);
    progress->SetText("<img srcid='process' index='7'/>");

    auto* framed = new CSkinStatic(&pane);
    framed->setGeometry(12, 170, 488, 52);
    framed->SetBackgroundColor(0xFFFFFF);
    framed->SetFrameColor(0xCDB8A2);
    framed->SetText(
        "正在处理中，请稍候... a multi-line static breaks between characters when the text is "
        "wider than the page, <a name='more'>more</a>",
        4, kAlignTop);

    auto* link = new CSkinHyperLink(&pane, "访问主页", "https://example.invalid/");
    link->setGeometry(12, 226, 120, 20);

    auto* push = new CSkinButton(&pane, "<font bold='1'>登录</font>");
    push->setGeometry(12, 252, 80, 26);
    auto* check = new CSkinButton(&pane, "记住密码", BS_AUTOCHECKBOX);
    check->setGeometry(100, 252, 100, 26);
    check->SetCheck(BST_CHECKED);
    auto* radioA = new CSkinButton(&pane, "上传", BS_AUTORADIOBUTTON);
    radioA->setGeometry(205, 252, 70, 26);
    radioA->SetCheck(BST_CHECKED);
    auto* radioB = new CSkinButton(&pane, "下载", BS_AUTORADIOBUTTON);
    radioB->setGeometry(280, 252, 70, 26);

    auto* bitmap = new CSkinBitmapButton(&pane);
    bitmap->setGeometry(360, 252, 24, 24);
    bitmap->SetImageList(MakeSkinImageList("ICON", {347, 347}, QSize(24, 24)));
    bitmap->SetImages(0, 1, 0, 1);

    const char* captions[] = {"确定", "取消", "悬停", "停用"};
    for (int i = 0; i < 4; ++i) {
        auto* color = new CSkinColorButton(&pane, captions[i]);
        color->setGeometry(20 + i * 120, 310, 100, 30);
        if (i == 1) {
            color->SetFaceColor(0xDE9445);
        }
        if (i == 2) {
            QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
            QApplication::sendEvent(color, &enter);
        }
        if (i == 3) {
            color->setEnabled(false);
        }
    }

    const QImage shot = pane.grab().toImage();
    UnregisterGalleryImages();
    return shot;
}

}  // namespace gallery
