// The core-access object: its life cycle across passes, the bridge road and
// the file-system forwarders after a real log-in with fake components.
#include "core/coreapp/coreaccess.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/coreapp/shelladapter.h"
#include "tests/support/clientfixture.h"

namespace pellux_test {
namespace {

using CoreAccessTest = FakeCoreTest;

TEST_F(CoreAccessTest, UserIntValuesReadLeadingDecimals) {
    const std::vector<std::pair<std::wstring, int>> cases = {
        {L"12ab", 12}, {L"-2", -2}, {L"", 0}, {L"abc", 0}, {L"99999999999", 2147483647}, {L"7", 7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.first));
        ASSERT_EQ(core.SetUserValue(L"Probe", c.first), S_OK);
        EXPECT_EQ(core.GetUserIntValue(L"Probe"), c.second);
    }
    ASSERT_EQ(core.SetUserIntValue(L"Probe", -15), S_OK);
    std::wstring text;
    EXPECT_EQ(core.GetUserValue(text, L"Probe", L""), L"-15");
}

TEST_F(CoreAccessTest, AskUserPassesItsArgumentsAndTheAnswerUnchanged) {
    sink->SetAnswer(L"Wizard_Skip", -2);
    EXPECT_EQ(core.AskUser(L"Wizard_Skip", L"删除？", L"Orvane便携版", L"a|b|c", 3, L"记住我的选择", 2), -2);
    const BridgeCall call = sink->Calls().back();
    EXPECT_EQ(call.texts, (std::vector<std::wstring>{L"Wizard_Skip", L"删除？", L"Orvane便携版", L"a|b|c",
                                                     L"记住我的选择"}));
    EXPECT_EQ(call.numbers, (std::vector<long long>{3, 2}));
    EXPECT_EQ(core.AskUser(L"Wizard_Unscripted", L"", L"", L"ok", 0, L"", -1), kAskCancel);
}

TEST_F(CoreAccessTest, EachPassGetsAFreshBridgeAndNothingAnswersBetweenPasses) {
    ASSERT_EQ(core.ShowMessage(L"first", L"c"), S_OK);
    EXPECT_EQ(core.Startup(dataDir, sink.get()), E_FAIL);
    ASSERT_EQ(core.Shutdown(), S_OK);
    // A late question after shutdown is cancelled, never taken as "go ahead".
    sink->SetAnswer(L"Wizard_Late", kAskNotShown);
    EXPECT_EQ(core.AskUser(L"Wizard_Late", L"", L"", L"ok", 0, L"", -1), kAskCancel);
    EXPECT_EQ(core.ShowMessage(L"lost", L"c"), E_FAIL);
    EXPECT_EQ(core.ShowBalloon(L"lost", L"t", 1, 1000), E_FAIL);
    EXPECT_FALSE(core.IsLoggedIn());

    CComPtr<ScriptedBridge> next = ScriptedBridge::Make();
    ASSERT_EQ(core.Startup(dataDir, next.get()), S_OK);
    ASSERT_EQ(core.ShowBalloon(L"second", L"t", 2, 3000), S_OK);
    EXPECT_EQ(sink->Calls().size(), 1u);
    ASSERT_EQ(next->Calls().size(), 1u);
    EXPECT_EQ(next->Calls()[0].texts, (std::vector<std::wstring>{L"second", L"t"}));
}

TEST_F(CoreAccessTest, FileCommandsReachTheFileSystemOnlyWhileLoggedIn) {
    using Forward = std::function<HRESULT(CCoreAccess&)>;
    std::vector<RemoteItem> items;
    std::vector<TaskInfo> tasks;
    std::vector<SharerInfo> sharers;
    std::wstring text;
    const std::vector<std::pair<std::string, Forward>> cases = {
        {"GetMaxVer", [&](CCoreAccess& c) { return c.GetMaxVer(&text); }},
        {"Dir", [&](CCoreAccess& c) { return c.Dir(L"id", L"\\path", &items, false); }},
        {"Delete", [&](CCoreAccess& c) { return c.Delete(true, L"id", L"\\p"); }},
        {"Download", [&](CCoreAccess& c) { return c.Download(L"id", L"p", L"\\p", L"/tmp/x"); }},
        {"DownloadFolder", [&](CCoreAccess& c) { return c.DownloadFolder(L"id", L"p", L"\\p", L"/tmp"); }},
        {"UploadFolder", [&](CCoreAccess& c) { return c.UploadFolder(L"p", 0, L"\\p", L"/tmp", nullptr); }},
        {"GetItemShareRight", [&](CCoreAccess& c) { return c.GetItemShareRight(L"id", &sharers); }},
        {"GetTaskList", [&](CCoreAccess& c) { return c.GetTaskList(true, &tasks); }},
        {"UploadOpenFileNow", [&](CCoreAccess& c) { return c.UploadOpenFileNow(L"id"); }},
    };
    EXPECT_FALSE(core.IsLoggedIn());
    ASSERT_EQ(core.BindWithLogin(L"demo", L"demo", 1), S_OK);
    EXPECT_TRUE(core.IsLoggedIn());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        log.Clear();
        EXPECT_EQ(c.second(core), S_OK);
        EXPECT_EQ(log.Events(), std::vector<std::string>{"files." + c.first});
    }
    ASSERT_EQ(core.UnBind(), S_OK);
    EXPECT_FALSE(core.IsLoggedIn());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        EXPECT_EQ(c.second(core), E_FAIL);
    }
    // Nor after the end of the pass.
    ASSERT_EQ(core.BindWithLogin(L"demo", L"demo", 1), S_OK);
    ASSERT_EQ(core.Shutdown(), S_OK);
    EXPECT_EQ(cases[0].second(core), E_FAIL);
}

TEST(ShellAdapterTest, ForwardsToItsSinkAndKeepsItAfterUnInit) {
    CComPtr<IShellAdapter> adapter;
    ASSERT_EQ(CreateShellAdapter(&adapter), S_OK);
    EXPECT_EQ(adapter->ShowMessage(L"t", L"c"), E_FAIL);
    EXPECT_EQ(adapter->AskUser(L"k", L"t", L"c", L"b", 0, L"", -1), kAskCancel);
    CComPtr<ScriptedBridge> sink = ScriptedBridge::Make();
    sink->SetAnswer(L"k", kAskThird);
    ASSERT_EQ(adapter->Init(sink.get()), S_OK);
    ASSERT_EQ(adapter->UnInit(), S_OK);
    EXPECT_EQ(adapter->ShowMessage(L"t", L"c"), S_OK);
    EXPECT_EQ(adapter->AskUser(L"k", L"t", L"c", L"b", 0, L"", -1), kAskThird);
    EXPECT_EQ(adapter->ShowBalloon(L"t", L"c", 1, 2), S_OK);
    EXPECT_EQ(sink->Calls().size(), 3u);
}

}  // namespace
}  // namespace pellux_test
