// The navigation pane's entries: built-ins, the stored list and its
// migration, drops from the explorer, and the context-menu rules.
#include "ui/middlewindow/navigatemodel.h"

#include <gtest/gtest.h>

#include <QMimeData>

#include "tests/ui/fakeuservalues.h"
#include "tests/ui/recordingmainwindow.h"
#include "ui/explorerdragmime.h"
#include "ui/mainwindowpanes.h"
#include "ui/middlewindow/navigatewindow.h"

using namespace ui_test;

namespace {

std::vector<std::wstring> Texts(const CNavigateModel& model) {
    std::vector<std::wstring> texts;
    for (int i = 0; i < model.Count(); ++i)
        texts.push_back(model.At(i).text);
    return texts;
}

TEST(NavigateModel, LoadsBuiltInsStoredListsAndMigratesOldOnes) {
    const std::vector<std::wstring> builtIns = CNavigateModel::BuiltInTexts();
    const std::wstring fav = L"0|0|a4.txt|id4|p4|\\x4\\a4.txt";
    struct Case {
        const char* name;
        std::wstring data;
        std::vector<std::wstring> texts;
    };
    const std::vector<Case> cases = {
        {"empty", L"", builtIns},
        {"round trip", CNavigateModel().Save() + L"", builtIns},
        {"stored with a favourite",
         builtIns[0] + L":" + builtIns[1] + L":" + builtIns[2] + L":" + builtIns[3] + L":" + builtIns[4] +
             L":" + fav + L":",
         {builtIns[0], builtIns[1], builtIns[2], builtIns[3], builtIns[4], fav}},
        {"before the recycle bin: only the type field changes",
         builtIns[0] + L":" + builtIns[1] + L":" + builtIns[2] + L":1|4|添加收藏4|||\\:" + fav + L":",
         {builtIns[0], builtIns[1], builtIns[2], builtIns[3], L"1|5|添加收藏4|||\\", fav}},
        {"short records are skipped",
         builtIns[0] + L":1|0|x:" + builtIns[1] + L":" + builtIns[2] + L":" + builtIns[3] + L":",
         {builtIns[0], builtIns[1], builtIns[2], builtIns[3]}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CNavigateModel model;
        model.Load(c.data);
        EXPECT_EQ(Texts(model), c.texts);
        CNavigateModel again;
        again.Load(model.Save());
        EXPECT_EQ(Texts(again), c.texts);
    }
    EXPECT_EQ(CNavigateModel::OpenType(6), 0);
    EXPECT_EQ(CNavigateModel::OpenType(5), 5);
}

TEST(NavigateModel, MenuRulesGuardTheSectionsAndTheEnds) {
    struct Case {
        int count, index;
        bool del, up, down;
    };
    const std::vector<Case> cases = {
        {7, -1, false, false, false}, {7, 0, false, false, false}, {7, 3, false, false, false},
        {7, 4, true, false, true},    {7, 5, true, true, true},    {7, 6, true, true, false},
        {5, 4, true, false, false},   {7, 7, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.count) + ":" + std::to_string(c.index));
        CNavigateModel model;
        model.Load(L"");
        for (int i = model.Count(); i < c.count; ++i)
            model.Append(L"1|0|f" + std::to_wstring(i) + L"|i|p|\\f", -1);
        const CNavigateModel::MenuState state = model.MenuFor(c.index);
        EXPECT_EQ(state.canDelete, c.del);
        EXPECT_EQ(state.canMoveUp, c.up);
        EXPECT_EQ(state.canMoveDown, c.down);
    }
}

class CountingValues : public FakeUserValues {
public:
    void SetUserValue(const std::wstring& name, const std::wstring& text) override {
        ++writes[name];
        FakeUserValues::SetUserValue(name, text);
    }
    std::map<std::wstring, int> writes;
};

TEST(NavigateWindow, DropsOpensAndCommandsSaveTheList) {
    CountingValues values;
    RecordingMainWindow main;
    main.answer = 1;
    CNavigateWindow pane(&main, values);
    pane.resize(209, 420);
    // Two rows dragged from the explorer: added at the end, saved once.
    QMimeData drag;
    drag.setData(kExplorerDragMime,
                 QStringLiteral("1|0|照片|id1|root|\\照片|:0|0|notes.txt|id2|root|\\notes.txt|:").toUtf8());
    EXPECT_TRUE(pane.DropData(&drag));
    EXPECT_EQ(values.writes[L"NavigateData"], 1);
    const std::wstring& data = values.values[L"NavigateData"];
    const std::wstring tail = L"\\:1|0|照片|id1|root|\\照片|:0|0|notes.txt|id2|root|\\notes.txt|:";
    EXPECT_EQ(data.substr(data.size() - tail.size()), tail);
    ASSERT_EQ(pane.Model().Count(), 7);
    EXPECT_EQ(pane.Model().At(6).type, CNavigateModel::kTypeDropped);
    SaveScreenshot(&pane, "navigatepane.png");

    pane.SelectEntry(6);
    pane.SelectEntry(3);
    EXPECT_EQ(main.opened, (std::vector<std::wstring>{L"0,id2,root,\\notes.txt,0", L"3,,,\\,1"}));
    pane.SelectEntry(4);
    EXPECT_EQ(main.asked, std::vector<std::wstring>{L"Wizard_AddFavorite"});

    // Built-in entries stay; the others move and go, and the list is saved.
    EXPECT_FALSE(pane.RunCommand(CNavigateWindow::kCmdDelete, 2));
    EXPECT_TRUE(pane.RunCommand(CNavigateWindow::kCmdMoveUp, 6));
    EXPECT_EQ(pane.Model().At(5).name, L"notes.txt");
    EXPECT_TRUE(pane.RunCommand(CNavigateWindow::kCmdDelete, 5));
    EXPECT_EQ(pane.Model().Count(), 6);
    EXPECT_EQ(values.writes[L"NavigateData"], 3);
    CNavigateModel stored;
    stored.Load(values.values[L"NavigateData"]);
    EXPECT_EQ(stored.At(5).name, L"照片");
}

}  // namespace
