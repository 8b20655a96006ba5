// The navigation pane as the mouse reaches it: the add entry's picker, drags
// over the bar and drops on it, and the context menu over an entry.
#include "ui/middlewindow/navigatewindow.h"

#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>

#include "skingui/simpleoutbar.h"
#include "tests/ui/fakeuservalues.h"
#include "tests/ui/recordingmainwindow.h"
#include "ui/explorerdragmime.h"
#include "ui/middlewindow/navigatemodel.h"

using namespace ui_test;

namespace {

TEST(NavigateWindowInput, PickerAndDropsAddSavedEntriesAndOthersAreRefused) {
    FakeUserValues values;
    RecordingMainWindow main;
    CNavigateWindow pane(&main, values);
    pane.resize(209, 420);
    bool pick = false;
    pane.SetFavoritePicker([&pick](QWidget*, CNavigateWindow::PickedItem* picked) {
        *picked = CNavigateWindow::PickedItem{false, 2, L"a.txt", L"id7", L"p7", L"\\x\\a.txt"};
        return pick;
    });
    QMimeData ours, foreign;
    ours.setData(kExplorerDragMime, QStringLiteral("1|0|照片|id1|root|\\照片|:").toUtf8());
    foreign.setText(QStringLiteral("1|0|evil|id|p|\\evil|:"));
    // how: 0 a click on the add entry, 1 a drag entering, 2 a drop.
    struct Case {
        const char* what;
        int how;
        bool pick;
        const QMimeData* data;
        bool accepted;
        std::wstring last;
    };
    const std::wstring picked = L"0|2|a.txt|id7|p7|\\x\\a.txt";
    const std::vector<Case> cases = {
        {"picker cancelled", 0, false, nullptr, false, L""},
        {"picked", 0, true, nullptr, false, picked},
        {"our drag enters", 1, false, &ours, true, picked},
        {"a foreign drag enters", 1, false, &foreign, false, picked},
        {"a foreign drop", 2, false, &foreign, false, picked},
        {"our drop", 2, false, &ours, true, L"1|0|照片|id1|root|\\照片|"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        pick = c.pick;
        const int before = pane.Model().Count();
        bool accepted = false;
        if (c.how == 0) {
            pane.SelectEntry(CNavigateModel::kBuiltInEntries - 1);
        } else {
            // A drop reaches only the widget that took the drag's entry.
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, c.how == 1 ? c.data : &ours,
                                  Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(pane.Bar(), &enter);
            accepted = enter.isAccepted() && enter.dropAction() == Qt::CopyAction;
            if (c.how == 2) {
                QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, c.data, Qt::LeftButton,
                                Qt::NoModifier);
                QApplication::sendEvent(pane.Bar(), &drop);
                accepted = drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
            }
        }
        EXPECT_EQ(accepted, c.accepted);
        const bool added = !c.last.empty() && (c.how == 0 || c.how == 2) && (c.pick || c.accepted);
        EXPECT_EQ(pane.Model().Count(), before + (added ? 1 : 0));
        const std::wstring stored = values.values[L"NavigateData"];
        EXPECT_EQ(stored.find(c.last + L":") != std::wstring::npos, !c.last.empty());
        if (added)
            EXPECT_EQ(pane.Model().At(pane.Model().Count() - 1).text, c.last);
        if (c.how == 0 && c.pick)
            EXPECT_EQ(pane.Bar()->SelectedItem(), CNavigateModel::kBuiltInEntries - 1);
    }
    // The last entry can only move up; a move down that is refused changes nothing.
    const std::wstring savedBefore = values.values[L"NavigateData"];
    EXPECT_FALSE(pane.RunCommand(CNavigateWindow::kCmdMoveDown, pane.Model().Count() - 1));
    EXPECT_EQ(values.values[L"NavigateData"], savedBefore);
    EXPECT_TRUE(pane.RunCommand(CNavigateWindow::kCmdMoveDown, pane.Model().Count() - 2));
    EXPECT_EQ(pane.Model().At(pane.Model().Count() - 1).text, picked);
    EXPECT_EQ(pane.Bar()->SelectedItem(), pane.Model().Count() - 1);
}

TEST(NavigateWindowInput, ContextMenuOverAnEntryOffersItsCommands) {
    FakeUserValues values;
    RecordingMainWindow main;
    CNavigateWindow pane(&main, values);
    pane.resize(209, 420);
    pane.show();
    QMimeData drag;
    drag.setData(kExplorerDragMime, QStringLiteral("1|0|a|i1|r|\\a|:1|0|b|i2|r|\\b|:").toUtf8());
    ASSERT_TRUE(pane.DropData(&drag));
    struct Case {
        int entry;
        std::vector<bool> enabled;
    };
    for (const Case& c :
         std::vector<Case>{{5, {true, true, true}}, {6, {true, true, false}}, {1, {false, false, false}}}) {
        SCOPED_TRACE(c.entry);
        const QPoint at = pane.Bar()->ItemRect(c.entry).center();
        QContextMenuEvent e(QContextMenuEvent::Mouse, at, pane.Bar()->mapToGlobal(at));
        QApplication::sendEvent(pane.Bar(), &e);
        QMenu* menu = pane.findChild<QMenu*>();
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(menu->isVisible());
        std::vector<bool> enabled;
        for (QAction* a : menu->actions())
            enabled.push_back(a->isEnabled());
        EXPECT_EQ(enabled, c.enabled);
        EXPECT_EQ(pane.Bar()->SelectedItem() == c.entry, c.enabled[0]);
        menu->hide();
    }
}

}  // namespace
