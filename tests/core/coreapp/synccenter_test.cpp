// Log-in, the per-user environment and log-out against the service emulator,
// with fake components around the real service client.
#include "core/coreapp/synccenter.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/log/logfile.h"
#include "base/settings/regsettings.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "platform/fileinfo.h"
#include "platform/strings.h"
#include "tests/support/clientfixture.h"

namespace pellux_test {
namespace {

std::wstring RootValue(const std::wstring& name) {
    std::wstring out;
    return RegReadString(out, L"", name, L"");
}

class SyncCenterTest : public ClientTest {
protected:
    void SetUp() override {
        ClientTest::SetUp();
        if (HasFatalFailure())
            return;
        dataDir = scratch + "/data";
        LogConfigure(L"test", Utf8ToWide(scratch + "/pellux.log").c_str(), 9, 0, -1);
        bridge = ScriptedBridge::Make();
        NewCenter();
    }
    void TearDown() override {
        EndCenter();
        ClientTest::TearDown();
    }
    // A fresh sync center on the same data folder, as the next start of the program.
    void NewCenter(CComPtr<IRemoteStorage> remote = CComPtr<IRemoteStorage>()) {
        EndCenter();
        ASSERT_EQ(CreateSyncCenter(FakeMakers(log, remote), &center), S_OK);
        ASSERT_EQ(center->Init(Utf8ToWide(dataDir), bridge), S_OK);
    }
    void EndCenter() {
        if (!center)
            return;
        center->Stop();
        center->UnInit();
        center.Release();
        CloseUserDatabase();
    }
    std::string UserDir() {
        std::wstring userId;
        center->GetLoginInfo(nullptr, nullptr, &userId, nullptr);
        return dataDir + "/" + WideToUtf8(userId);
    }
    size_t LoginRequests() const {
        return m_emulator.RequestsTo("/xsvr/login/").size() +
               m_emulator.RequestsTo("/xsvr/forkToken/").size();
    }

    std::string dataDir;
    FakeLog log;
    CComPtr<ScriptedBridge> bridge;
    CComPtr<ISyncCenter> center;
};

TEST_F(SyncCenterTest, LoginPreparesTheUserHandsOutEveryComponentAndIsResumedOnTheNextStart) {
    // Missing credentials are refused without a request or a status.
    SyncStatusRecord status;
    for (const auto& [name, password] : {std::pair{L"", L"demo"}, std::pair{L"demo", L""}}) {
        EXPECT_EQ(center->BindWithLogin(name, password, 1), E_FAIL);
        center->GetStatus(&status);
        EXPECT_EQ(status.type, kSyncStatusIdle);
    }
    EXPECT_EQ(LoginRequests(), 0u);
    EXPECT_EQ(center->BindWithLogin(L"demo", L"Wr0ng-Passw0rd!", 1), E_RESULT_ACCOUNT_NOT_MATCH);
    center->GetStatus(&status);
    EXPECT_EQ(status.type, kSyncStatusLoggedOut);

    ASSERT_EQ(center->BindWithLogin(L"demo", L"demo", 1), S_OK);
    center->GetStatus(&status);
    EXPECT_EQ(status.type, kSyncStatusLoggingIn);
    const std::vector<EmulatorRequest> logins = m_emulator.RequestsTo("/xsvr/login/");
    ASSERT_EQ(logins.size(), 2u);
    EXPECT_NE(logins.back().body.find("<deviceId>pellux-"), std::string::npos);

    std::wstring userName, token, userId;
    ASSERT_EQ(center->GetLoginInfo(&userName, &token, &userId, nullptr), S_OK);
    EXPECT_EQ(userName, L"demo@pellux.test");
    EXPECT_FALSE(token.empty());
    EXPECT_EQ(RootValue(L"UserId"), userId);
    EXPECT_TRUE(IsDirectoryPath(UserDir()));
    EXPECT_TRUE(PathExists(UserDir() + "/norle.db"));
    EXPECT_TRUE(IsDirectoryPath(UserDir() + "/Cache"));
    std::wstring syncRoot;
    center->GetSyncRoot(&syncRoot);
    EXPECT_EQ(WideToUtf8(syncRoot), UserDir() + "/Cache");

    for (const IID* iid : {&IEventCenter::Iid(), &IFileSystem::Iid(), &ILocalStorage::Iid(),
                           &IRemoteStorage::Iid(), &ITaskMgr::Iid(), &IShellAdapter::Iid()}) {
        IUnknown* component = nullptr;
        ASSERT_EQ(center->GetInterface(*iid, reinterpret_cast<void**>(&component)), S_OK);
        component->Release();
    }
    EXPECT_TRUE(log.Has("tasks.Start"));
    EXPECT_TRUE(log.Has("events.Start"));

    const std::string logText = ReadFile(TheLogWriter().DailyPath());
    EXPECT_NE(logText.find("-password-"), std::string::npos);
    EXPECT_EQ(logText.find("Wr0ng-Passw0rd!"), std::string::npos);

    // Ending the program closes the user's database.
    const std::filesystem::path db = std::filesystem::canonical(UserDir() + "/norle.db");
    center->UnInit();
    std::error_code ignored;  // descriptors closing meanwhile
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd"))
        EXPECT_NE(std::filesystem::read_symlink(fd.path(), ignored), db);

    // The next start resumes the stored session.
    NewCenter();
    ASSERT_EQ(center->TryLogin(0), S_OK);
    EXPECT_EQ(m_emulator.RequestsTo("/xsvr/forkToken/").size(), 1u);
    EXPECT_EQ(center->GetLoginInfo(nullptr, nullptr, nullptr, nullptr), S_OK);
}

TEST_F(SyncCenterTest, TryLoginRefusesWithoutARequestWhenTheStoredSessionIsUnusable) {
    // The token expired, or the sync root was deleted.
    for (bool expired : {true, false}) {
        SCOPED_TRACE(expired);
        NewCenter();
        ASSERT_EQ(center->BindWithLogin(L"demo", L"demo", 1), S_OK);
        if (expired)
            m_emulator.AddFault("path=/xsvr/forkToken/&result=clientTokenExpired");
        else
            RunCommand("rm -rf '" + UserDir() + "/Cache'");
        NewCenter();
        ASSERT_TRUE(m_emulator.ClearLog());
        EXPECT_EQ(center->TryLogin(0), expired ? E_RESULT_CLIENT_TOKEN_EXPIRED : E_FAIL);
        EXPECT_EQ(center->TryLogin(0), E_FAIL);
        EXPECT_EQ(center->GetLoginInfo(nullptr, nullptr, nullptr, nullptr), S_FALSE);
        EXPECT_EQ(LoginRequests(), expired ? 1u : 0u);
        // After an expired token the user is forgotten altogether.
        EXPECT_EQ(RootValue(L"UserId").empty(), expired);
    }
}

TEST_F(SyncCenterTest, UnBindKeepsOrDeletesTheUsersDataByLoginMode) {
    for (int mode : {1, 2}) {
        SCOPED_TRACE(mode);
        NewCenter();
        ASSERT_EQ(center->BindWithLogin(L"demo", L"demo", mode), S_OK);
        const std::string userDir = UserDir();
        ASSERT_TRUE(WriteFile(userDir + "/Cache/kept.txt", "x"));
        ASSERT_TRUE(WriteFile(dataDir + "/sentinel.txt", "x"));
        log.Clear();
        ASSERT_EQ(center->UnBind(), S_OK);
        // The components came down before anything was deleted or forgotten.
        EXPECT_TRUE(log.Has("files.UnInit"));
        EXPECT_TRUE(log.Has("tasks.UnInit"));
        EXPECT_EQ(log.liveThreads.load(), 0);
        EXPECT_EQ(center->GetLoginInfo(nullptr, nullptr, nullptr, nullptr), S_FALSE);
        EXPECT_EQ(PathExists(userDir + "/norle.db"), mode == 1);
        EXPECT_EQ(PathExists(userDir + "/Cache/kept.txt"), mode == 1);
        EXPECT_EQ(IsDirectoryPath(userDir), mode == 1);
        EXPECT_TRUE(PathExists(dataDir + "/sentinel.txt"));
        ASSERT_TRUE(m_emulator.ClearLog());
        EXPECT_EQ(center->TryLogin(0), E_FAIL);
        EXPECT_EQ(LoginRequests(), 0u);
    }
}

TEST_F(SyncCenterTest, AHostileUserIdCreatesNothing) {
    for (const std::wstring userId : {L"..", L"a/b", L"", L".", L"a\\b"}) {
        SCOPED_TRACE(WideToUtf8(userId));
        CComPtr<IRemoteStorage> remote = ScriptedRemoteStorage([userId](XmlNode* reply) {
            reply->AddValue(L"userId", userId);
            reply->AddValue(L"token", L"t");
            reply->AddValue(L"email", L"e@x");
            return S_OK;
        });
        NewCenter(remote);
        EXPECT_EQ(center->BindWithLogin(L"demo", L"demo", 1), E_FAIL);
        EXPECT_EQ(center->GetLoginInfo(nullptr, nullptr, nullptr, nullptr), S_FALSE);
        std::string listing;
        RunCommand("ls -A '" + dataDir + "'", &listing);
        EXPECT_EQ(listing, "");
        EXPECT_TRUE(RootValue(L"UserId").empty());
    }
}

TEST_F(SyncCenterTest, AFailingComponentTearsTheHalfBuiltEnvironmentDown) {
    ASSERT_TRUE(m_emulator.AddFault("path=/xsvr/getMaxVers/&result=serverBusy&count=1"));
    EXPECT_EQ(center->BindWithLogin(L"demo", L"demo", 1), E_RESULT_SERVER_BUSY);
    EXPECT_EQ(log.liveThreads.load(), 0);
    EXPECT_TRUE(log.Has("tasks.UnInit"));
    EXPECT_FALSE(log.Has("tasks.Start"));
    EXPECT_EQ(center->GetLoginInfo(nullptr, nullptr, nullptr, nullptr), S_FALSE);
    IUnknown* component = nullptr;
    EXPECT_EQ(center->GetInterface(ITaskMgr::Iid(), reinterpret_cast<void**>(&component)), E_FAIL);

    ASSERT_TRUE(m_emulator.ClearLog());
    EXPECT_EQ(center->BindWithLogin(L"demo", L"demo", 1), S_OK);
    EXPECT_EQ(LoginRequests(), 1u);
}

TEST_F(SyncCenterTest, ASessionThatCannotBeStoredFailsTheLogin) {
    const std::string blocker = MakeTempDir("ro") + "/file";
    ASSERT_TRUE(WriteFile(blocker, "x"));
    setenv("PELLUX_REGISTRY_FILE", (blocker + "/registry.ini").c_str(), 1);
    EXPECT_EQ(center->BindWithLogin(L"demo", L"demo", 1), E_FAIL);
    EXPECT_EQ(center->GetLoginInfo(nullptr, nullptr, nullptr, nullptr), S_FALSE);
    EXPECT_FALSE(log.Has("local.Init"));
}

}  // namespace
}  // namespace pellux_test
