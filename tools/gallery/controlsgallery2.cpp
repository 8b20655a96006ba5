#include "tools/gallery/controlsgallery2.h"

#include <QPainter>
#include <QStandardItemModel>

#include "skingui/headerctrlex.h"
#include "skingui/listviewctrlex.h"
#include "skingui/simpleoutbar.h"
#include "skingui/skinedit.h"
#include "skingui/skinimagelist.h"
#include "skingui/skinlistviewctrlex.h"
#include "skingui/skinsplitterwindow.h"
#include "skingui/toolbarctrlex.h"
#include "tools/gallery/galleryimages.h"

using namespace SKINGUI;

namespace gallery {

namespace {

// Simple stand-in artwork: a rounded tile in a colour per image.
std::shared_ptr<SkinImageList> Tiles(QSize size, int count, int lightness) {
    auto list = std::make_shared<SkinImageList>(size);
    for (int i = 0; i < count; ++i) {
        QPixmap cell(size);
        cell.fill(Qt::transparent);
        QPainter p(&cell);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor::fromHsl((i * 47) % 360, lightness < 0 ? 0 : 160, lightness < 0 ? 170 : lightness));
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(size.width() * 0.2, 2, size.width() * 0.6, size.height() - 4), 6, 6);
        p.end();
        list->Add(cell);
    }
    return list;
}

void FillToolBar(CToolBarCtrlEx* bar) {
    const QSize icon(32, 32);
    bar->SetImageList(Tiles(icon, 6, 120));
    bar->SetHotImageList(Tiles(icon, 6, 160));
    bar->SetDisabledImageList(Tiles(icon, 6, -1));
    const char16_t* texts[] = {u"刷新", u"上传", u"下载", u"新建", u"重命名", u"删除"};
    for (int i = 0; i < 6; ++i) {
        if (i == 3) {
            bar->AddSeparator();
        }
        bar->AddButton(10002 + i, i, QString::fromUtf16(texts[i]));
    }
    bar->EnableButton(10007, false);
}

CSimpleOutBar* MakeOutBar() {
    auto* bar = new CSimpleOutBar;
    bar->SetItemImageList(Tiles(QSize(24, 24), 5, 130));
    bar->SetGroupImageList(Tiles(QSize(20, 20), 1, 110));
    bar->AddGroup(QString::fromUtf16(u"我的网盘"), 0);
    const char16_t* items[] = {u"我的文件", u"我共享的", u"共享给我的", u"回收站", u"添加收藏"};
    for (int i = 0; i < 5; ++i) {
        bar->AddItem(0, i, QString::fromUtf16(items[i]));
    }
    bar->SetContentHeight(5 * OutBarLayout::kItemHeight);
    bar->SetSelectedItem(0);
    return bar;
}

CListViewCtrlEx* MakeExplorerList(QObject* owner) {
    auto* list = new CListViewCtrlEx;
    auto* model = new QStandardItemModel(0, 3, owner);
    const char* names[] = {"Budget 2026.xlsx", "Photos", "Notes.txt", "Travel plan.docx"};
    for (const char* name : names) {
        model->appendRow(
            {new QStandardItem(name), new QStandardItem("12 KB"), new QStandardItem("2026-12-01")});
    }
    list->setModel(model);
    list->SetSkinStyle(0x4004);
    list->SetColumn(0, QString::fromUtf16(u"名称"), 220, 6, 0);
    list->SetColumn(1, QString::fromUtf16(u"大小"), 90, 6, 0);
    list->SetColumn(2, QString::fromUtf16(u"修改时间"), 140, 6, 0);
    list->SkinHeader()->setSortIndicatorShown(true);
    list->SkinHeader()->setSortIndicator(0, Qt::AscendingOrder);
    return list;
}

CSkinListViewCtrlEx* MakeTaskList() {
    auto* list = new CSkinListViewCtrlEx;
    list->SetRowHeight(24);
    list->SetSkinStyle(CSkinListViewCtrlEx::kSkinHeader | CSkinListViewCtrlEx::kFixedColumns |
                       CSkinListViewCtrlEx::kTransparentHeader | CSkinListViewCtrlEx::kHorzGrid);
    list->SetColumn(0, QString::fromUtf16(u"<font bold='1'>文件</font>"), 200, 6, 0);
    list->SetColumn(1, QString::fromUtf16(u"<font bold='1'>进度</font>"), 190, 6, 0);
    list->SetColumn(2, QString::fromUtf16(u"<font bold='1'>操作</font>"), 120, 6, 0);
    list->InsertRows(0, 6);
    list->SetRowAttributes(0, 0xF7EFE8, 1, CSkinListViewCtrlEx::kRowGroup);
    list->SetCellText(
        0, 0,
        QString::fromUtf16(
            u"<img srcid='group' index='2'/> <font bold='1' color='0x4594de'>待处理的任务</font>"),
        6, 0);
    list->SetCellText(1, 0, "<img srcid='item' index='0'/> Report.pdf", 6, 0);
    list->SetCellText(1, 1, "<img srcid='process' index='5'/>", 6, 0);
    list->SetCellText(2, 0, "<img srcid='item' index='1'/> Photos.zip", 6, 0);
    list->SetCellText(2, 1, "<img srcid='process' index='9'/>", 6, 0);
    list->SetRowAttributes(3, 0xF7EFE8, 1, CSkinListViewCtrlEx::kRowGroup);
    list->SetCellText(
        3, 0,
        QString::fromUtf16(
            u"<img srcid='group' index='0'/> <font bold='1' color='0xffa10c'>失败的任务</font>"),
        6, 0);
    list->SetCellText(4, 0, "<img srcid='item' index='0'/> Old draft.doc", 6, 0);
    list->SetCellText(4, 2, QString::fromUtf16(u"<a name='retry'>重试</a> <a name='delete'>清除</a>"), 6, 0);
    list->SetCellText(5, 0, "<img srcid='item' index='1'/> Music.mp3", 6, 0);
    list->SetCellText(5, 2, QString::fromUtf16(u"<a name='retry'>重试</a> <a name='delete'>清除</a>"), 6, 0);
    list->setCurrentIndex(list->model()->index(list->MapRowIndex(2, 0), 0));
    return list;
}

}  // namespace

ControlsGallery2::ControlsGallery2() {
    RegisterGalleryImages();

    window = std::make_unique<QWidget>();
    window->resize(900, 560);
    window->setAutoFillBackground(true);
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, QColor(0xE6, 0xEF, 0xF6));
    window->setPalette(pal);

    auto* toolbar = new CToolBarCtrlEx(window.get());
    FillToolBar(toolbar);
    toolbar->setGeometry(0, 0, 900, toolbar->sizeHint().height());
    auto* search = new CSkinEdit(window.get());
    search->setGeometry(690, (toolbar->height() - 27) / 2, 200, 27);

    auto* middle = new CSkinSplitterWindowT<1>(window.get());
    middle->setGeometry(0, toolbar->height(), 900, 560 - toolbar->height());
    middle->SetBarWidth(6);
    auto* content = new CSkinSplitterWindowT<0>;
    content->SetBarWidth(6);
    middle->SetSplitterPanes(MakeOutBar(), content);
    middle->SetSplitterPos(209);
    content->SetSplitterPanes(MakeExplorerList(window.get()), MakeTaskList());
    content->SetSplitterPos(200);
}

ControlsGallery2::~ControlsGallery2() {
    window.reset();
    UnregisterGalleryImages();
}

}  // namespace gallery
