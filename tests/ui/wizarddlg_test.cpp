#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <functional>

#include "skingui/skinbutton.h"
#include "tests/ui/fakeuservalues.h"
#include "ui/wizarddlg.h"

namespace {

using ui_test::FakeUserValues;

WizardPrompt Prompt(const std::wstring& key, const std::wstring& buttons, int flag, const std::wstring& check,
                    int remember) {
    const std::wstring text =
        L"/home/用户/文档/2026年第三季度财务报告-最终版-修订稿.xlsx  文件已经存在，请选择以下操作方式。";
    return WizardPrompt{key, text, L"Orvane便携版", buttons, flag, check, remember};
}

// Asks through a real box; `act` runs once the box is up.
int Ask(FakeUserValues& values, const WizardPrompt& prompt, std::function<void(CWizardDlg&)> act,
        bool* shown = nullptr) {
    CWizardDlg box(values, prompt);
    int answer = 0;
    const bool seen = ui_test::WithModal([&] { answer = box.ShowOrReuse(); }, [&](QWidget*) { act(box); });
    if (shown != nullptr)
        *shown = seen;
    return answer;
}

// The buttons the box shows, left to right.
std::vector<QPushButton*> VisibleButtons(CWizardDlg& box) {
    std::vector<QPushButton*> buttons;
    for (int id : {CWizardDlg::kIdThird, CWizardDlg::kIdOk, CWizardDlg::kIdCancel}) {
        if (box.Button(id)->isVisibleTo(&box))
            buttons.push_back(box.Button(id));
    }
    std::sort(buttons.begin(), buttons.end(), [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
    return buttons;
}

}  // namespace

TEST(WizardDecide, RememberedAnswersAndTipsModeDecideWhetherTheBoxShows) {
    const std::wstring check = L"下次不再提示";
    const WizardPrompt noCheck = Prompt(L"Wizard_DeleteFiles", L"确定|取消", 0, L"", 0);
    const WizardPrompt question = Prompt(L"Wizard_MoveFileExist", L"a|b|c", 1, check, -1);
    const WizardPrompt tip = Prompt(L"Wizard_CloseMainWnd", L"确定", 0, check, -1);
    struct Case {
        const char* name;
        WizardPrompt prompt;
        WizardStored stored;
        std::optional<int> expected;
    };
    const std::vector<Case> cases = {
        {"no check box: always asked", noCheck, {L"0", 0, 1}, {}},
        {"remembered answer", question, {L"0", 0, 2}, 2},
        {"remembered -2", Prompt(L"Wizard_OpenFolder", L"a|b", 0, check, -2), {L"", 0, -2}, -2},
        {"tips on by default", tip, {L"", 0, 0}, {}},
        {"tips on", tip, {L"1", 1, 0}, {}},
        {"tips off hides a tip", tip, {L"0", 0, 0}, -2},
        {"any other value is off", Prompt(L"Wizard_OpenFiles", L"确定", 0, check, -1), {L"2", 2, 0}, -2},
        {"tips off still asks questions", question, {L"0", 0, 0}, {}},
        {"replacing a local file is always asked",
         Prompt(L"Wizard_DownLoadFileExist", L"替换|取消", 0, check, -1),
         {L"0", 0, 0},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DecideWizard(c.prompt, c.stored), c.expected);
    }
}

TEST(WizardDecide, OnlyATickedButtonAnswerIsStoredAndCancelNeverBecomesAYes) {
    const std::wstring check = L"下次不再提示";
    const WizardPrompt question = Prompt(L"Wizard_MoveFileExist", L"a|b|c", 1, check, -1);
    const WizardPrompt emptyBin = Prompt(L"Wizard_DeleteFiles", L"确定|取消", 1, check, 1);
    struct Case {
        const char* name;
        WizardPrompt prompt;
        int answer;
        bool ticked;
        std::optional<int> expected;
    };
    const std::vector<Case> cases = {
        {"not ticked", question, 2, false, {}},
        {"the answer itself", question, 2, true, 2},
        {"a remembered cancel", question, -1, true, -1},
        {"fixed value whatever the button", Prompt(L"Wizard_OpenFolder", L"a|b", 0, check, -2), -1, true, -2},
        {"empty bin: yes is kept", emptyBin, 1, true, 1},
        {"empty bin: cancel is not", emptyBin, -1, true, {}},
        {"no check box", Prompt(L"Wizard_DeleteFiles", L"确定|取消", 0, L"", 0), 1, true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(WizardValueToStore(c.prompt, c.answer, c.ticked), c.expected);
    }
}

TEST(WizardBox, CaptionsGiveTheirButtonsLeftToRightWithTheirAnswers) {
    struct Case {
        std::wstring buttons;
        std::vector<QString> texts;
        std::vector<int> answers;
    };
    const std::vector<Case> cases = {
        {L"确定", {"确定"}, {1}},
        {L"确定|取消", {"确定", "取消"}, {1, -1}},
        {L"替换|更新|取消", {"替换", "更新", "取消"}, {2, 1, -1}},
    };
    FakeUserValues values;
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromStdWString(c.buttons).toStdString());
        for (size_t i = 0; i < c.texts.size(); ++i) {
            const WizardPrompt prompt = Prompt(L"Wizard_MoveFileExist", c.buttons, 1, L"", -1);
            std::vector<QString> texts;
            int rightEdge = 0;
            const int answer = Ask(values, prompt, [&](CWizardDlg& box) {
                const std::vector<QPushButton*> buttons = VisibleButtons(box);
                for (QPushButton* b : buttons)
                    texts.push_back(b->text());
                rightEdge = buttons.back()->geometry().right();
                EXPECT_FALSE(box.CheckBox()->isVisibleTo(&box));
                QTest::mouseClick(buttons[i], Qt::LeftButton);
            });
            EXPECT_EQ(texts, c.texts);
            EXPECT_EQ(answer, c.answers[i]);
            // The right-most button stands in the same place whatever the count.
            EXPECT_EQ(rightEdge,
                      CWizardDlg(values, prompt).Button(CWizardDlg::kIdCancel)->geometry().right());
        }
    }
    EXPECT_TRUE(values.values.empty());
}

TEST(WizardBox, ATickedButtonIsRememberedWhileEscapeStoresNothing) {
    FakeUserValues values;
    const WizardPrompt prompt = Prompt(L"Wizard_MoveFileExist", L"替换|更新|取消", 1, L"记住我的选择", -1);
    auto tickAnd = [](std::function<void(CWizardDlg&)> end) {
        return [end](CWizardDlg& box) {
            QTest::mouseClick(box.CheckBox(), Qt::LeftButton, {}, QPoint(5, 10));
            EXPECT_EQ(box.CheckBox()->GetCheck(), SKINGUI::BST_CHECKED);
            end(box);
        };
    };
    EXPECT_EQ(Ask(values, prompt, tickAnd([](CWizardDlg& box) { QTest::keyClick(&box, Qt::Key_Escape); })),
              -1);
    EXPECT_EQ(Ask(values, prompt, tickAnd([](CWizardDlg& box) { box.close(); })), -1);
    EXPECT_TRUE(values.values.empty());

    EXPECT_EQ(Ask(values, prompt, tickAnd([](CWizardDlg& box) {
                      EXPECT_FALSE(ui_test::SaveScreenshot(&box, "ui_wizard_three_buttons.png").isEmpty());
                      QTest::mouseClick(box.Button(CWizardDlg::kIdThird), Qt::LeftButton);
                  })),
              2);
    EXPECT_EQ(values.values[L"Wizard_MoveFileExist"], L"2");
    // From now on the answer comes back without a box.
    bool shown = true;
    EXPECT_EQ(Ask(
                  values, prompt, [](CWizardDlg& box) { box.reject(); }, &shown),
              2);
    EXPECT_FALSE(shown);

    // Ticking "do not show again" and cancelling the empty-bin question keeps asking.
    const WizardPrompt emptyBin = Prompt(L"Wizard_DeleteFiles", L"确定|取消", 1, L"下次不再提示", 1);
    EXPECT_EQ(Ask(values, emptyBin, tickAnd([](CWizardDlg& box) {
                      QTest::mouseClick(box.Button(CWizardDlg::kIdCancel), Qt::LeftButton);
                  })),
              -1);
    EXPECT_EQ(values.values.count(L"Wizard_DeleteFiles"), 0u);
}
