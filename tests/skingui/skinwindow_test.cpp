#include <gtest/gtest.h>

#include <QApplication>
#include <QPaintEvent>

#include "skingui/skinwindow.h"

using namespace SKINGUI;

namespace {

class RecordingParent : public QWidget {
public:
    QRegion painted;

protected:
    void paintEvent(QPaintEvent* event) override { painted += event->region(); }
};

}  // namespace

TEST(SkinWindowBase, InvalidateInParentRepaintsTheParentUnderTheControlOnly) {
    RecordingParent parent;
    parent.resize(200, 100);
    auto* child = new CSkinWindow(&parent);
    child->setGeometry(30, 20, 40, 10);
    parent.show();
    QApplication::processEvents();
    parent.painted = QRegion();
    child->InvalidateInParent();
    QApplication::processEvents();
    EXPECT_EQ(parent.painted.boundingRect(), QRect(30, 20, 40, 10));

    CSkinWindow orphan;
    orphan.InvalidateInParent();  // no parent: nothing to do, nothing breaks
    InvalidateInParent(nullptr);
}
