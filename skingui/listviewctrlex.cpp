#include "skingui/listviewctrlex.h"

#include "skingui/headerctrlex.h"
#include "skingui/reportview.h"

namespace SKINGUI {

namespace {

constexpr int kDressedHeaderHeight = 18;

}  // namespace

CListViewCtrlEx::CListViewCtrlEx(QWidget* parent) : QTreeView(parent) {
    header_ = new CHeaderCtrlEx(this);
    setHeader(header_);
    SetUpReportView(*this);
    SetBkColor(GetSysColor(COLOR_WINDOW));
    ApplyBorder();
}

CListViewCtrlEx::~CListViewCtrlEx() = default;

void CListViewCtrlEx::SetSkinStyle(uint32_t flags) {
    style_ = flags;
    if ((flags & kSkinHeader) && !headerDressed_) {
        headerDressed_ = true;
        header_->SetHeaderHeight(kDressedHeaderHeight);
        header_->SetLineColor(borderColor_);
        header_->SetMiddleColor(bkColor_);
        header_->SetFlags(flags & (kFixedColumns | kTransparentHeader));
    }
    ApplyBorder();
}

bool CListViewCtrlEx::SetHeaderHeight(int height) {
    if (!headerDressed_) {
        return false;
    }
    header_->SetHeaderHeight(height);
    return true;
}

bool CListViewCtrlEx::SetSkinBkColor(ColorRef color) {
    if (!headerDressed_) {
        return false;
    }
    header_->SetMiddleColor(color);
    return true;
}

void CListViewCtrlEx::SetBorderColor(ColorRef color) {
    borderColor_ = color;
    ApplyBorder();
}

void CListViewCtrlEx::SetBkColor(ColorRef color) {
    bkColor_ = color;
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Base, color.ToQColor());
    viewport()->setPalette(pal);
    viewport()->setAutoFillBackground(true);
    viewport()->update();
}

int CListViewCtrlEx::SetColumn(int index, const QString& caption, int width, int startX, uint32_t alignment) {
    if (index < 0) {
        return 0;
    }
    // Columns created on the way take the same width and an empty caption.
    for (int c = header_->ColumnCount(); c < index; ++c) {
        header_->SetItemMarkup(c, QString(), width, 0, 0);
    }
    return header_->SetItemMarkup(index, caption, width, startX, alignment);
}

void CListViewCtrlEx::ApplyBorder() {
    ApplyReportBorder(*this, (style_ & kBorder) != 0, borderColor_);
}

}  // namespace SKINGUI
