// The bridge's process-long sink: questions from workers are answered on the
// GUI thread or from remembered values, and a pass's end releases them.
#include "ui/bridgesink.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <future>
#include <thread>

#include "tests/support/scriptedbridge.h"
#include "tests/ui/fakeuservalues.h"

namespace {

using pellux_test::ScriptedBridge;

// Waits on the GUI thread, events flowing, until the future is ready (bounded).
template <class T>
bool Settle(std::future<T>& result) {
    return QTest::qWaitFor(
        [&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 10000);
}

TEST(BridgeSinkTest, AWorkersQuestionIsAnsweredOnTheGuiThreadUnlessRememberedAndAPassEndCancelsIt) {
    ui_test::FakeUserValues values;
    values.values[L"Wizard_Remembered"] = L"2";
    CBridgeSink sink(values);
    CComPtr<ScriptedBridge> window = ScriptedBridge::Make();
    window->SetAnswer(L"Wizard_Asked", 1);
    sink.SetWindow(window.get());

    struct Case {
        std::wstring key;
        int answer;
        size_t windowCalls;
    };
    for (const Case& c : {Case{L"Wizard_Asked", 1, 1}, Case{L"Wizard_Remembered", 2, 1}}) {
        SCOPED_TRACE(std::string(c.key.begin(), c.key.end()));
        std::future<int> answer = std::async(std::launch::async, [&] {
            return sink.AskUser(c.key, L"text", L"caption", L"a|b", 1, L"记住我的选择", -1);
        });
        ASSERT_TRUE(Settle(answer));
        EXPECT_EQ(answer.get(), c.answer);
        EXPECT_EQ(window->Calls().size(), c.windowCalls);
        EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
    }
    EXPECT_EQ(window->Calls()[0].thread, std::this_thread::get_id());

    std::future<HRESULT> shown =
        std::async(std::launch::async, [&] { return sink.ShowBalloon(L"t", L"b", 1, 10); });
    ASSERT_TRUE(Settle(shown));
    EXPECT_EQ(shown.get(), S_OK);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Calls().size() == 2; }, 5000));
    EXPECT_EQ(window->Calls()[1].thread, std::this_thread::get_id());

    // The GUI thread is busy elsewhere (not pumping) while the worker asks.
    std::future<int> answer = std::async(
        std::launch::async, [&] { return sink.AskUser(L"Wizard_Asked", L"t", L"c", L"ok", 1, L"", -1); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    sink.Abort();
    ASSERT_EQ(answer.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(answer.get(), kAskCancel);
    QTest::qWait(20);
    EXPECT_EQ(window->Calls().size(), 2u);

    // Nothing answers between passes.
    sink.SetWindow(nullptr);
    EXPECT_EQ(sink.AskUser(L"Wizard_Asked", L"t", L"c", L"ok", 1, L"", -1), kAskCancel);
    EXPECT_EQ(sink.ShowMessage(L"t", L"c"), E_FAIL);
    EXPECT_EQ(sink.ShowBalloon(L"t", L"c", 0, 0), E_FAIL);

    sink.SetWindow(window.get());
    EXPECT_EQ(sink.AskUser(L"Wizard_Asked", L"t", L"c", L"ok", 1, L"", -1), 1);
}

}  // namespace
