#include "skingui/reportview.h"

namespace SKINGUI {

void SetUpReportView(QTreeView& view) {
    view.setRootIsDecorated(false);
    view.setItemsExpandable(false);
    view.setIndentation(0);
    view.setUniformRowHeights(true);
    view.setAllColumnsShowFocus(true);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
}

void ApplyReportBorder(QTreeView& view, bool border, ColorRef color) {
    if (border) {
        view.setFrameStyle(QFrame::Box | QFrame::Plain);
        view.setLineWidth(1);
        QPalette pal = view.palette();
        pal.setColor(QPalette::WindowText, color.ToQColor());
        view.setPalette(pal);
    } else {
        view.setFrameStyle(QFrame::NoFrame);
    }
}

}  // namespace SKINGUI
