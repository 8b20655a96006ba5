#include <gtest/gtest.h>

#include "skingui/skinwindow.h"
#include "tests/skingui/mouseinput.h"

using namespace SKINGUI;
using skingui_test::RecordingParent;

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
