// The open-for-edit manager end to end: the real task manager and file tasks
// against the service emulator, the real local store in a temporary folder.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>

#include "base/db/db.h"
#include "base/db/dbconfigstore.h"
#include "base/settings/inisettings.h"
#include "core/coreapp/coreaccess.h"
#include "core/filesystem/filesystem/filesyncmgr.h"
#include "core/localstorage/localstorage/localstorage.h"
#include "core/remotestorage/remotestorage/filesha1.h"
#include "core/remotestorage/remotestorage/iremotestorage.h"
#include "core/remotestorage/remotestorage/xmlnode.h"
#include "core/taskmgr/taskmgr.h"
#include "platform/strings.h"
#include "tests/support/emulatorfixture.h"
#include "tests/support/fakesynccenter.h"
#include "tests/support/scriptedbridge.h"
#include "tests/support/testenvironment.h"

namespace pellux_test {
namespace {

bool Eventually(const std::function<bool()>& done, int ms = 30000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

class OpenForEditOnTheService : public EmulatorTest {
protected:
    void SetUp() override {
        EmulatorTest::SetUp();
        if (HasFatalFailure())
            return;
        SetIniFolder(Utf8ToWide(ConfigFolder()));
        dir_ = MakeTempDir("e2e");
        root_ = dir_ + "/root";
        setenv("PELLUX_REGISTRY_FILE", (dir_ + "/registry.ini").c_str(), 1);
        ASSERT_EQ(GetCoreAccess().Startup(Utf8ToWide(dir_ + "/data"), bridge_.get()), S_OK);
        session_ = m_emulator.Login("demo", "demo");
        ASSERT_FALSE(session_.token.empty());
        GetDatabase()->SetRetryPauseMs(1);
        ASSERT_EQ(GetDatabase()->Init(Utf8ToWide(dir_ + "/norle.db")), S_OK);
        ASSERT_EQ(GetDbConfigStore()->Open(GetDatabase(), L"config"), S_OK);
        ASSERT_EQ(CreateLocalStorage(&local_), S_OK);
        ASSERT_EQ(local_->Init(Utf8ToWide(dir_), Utf8ToWide(root_)), S_OK);
        CComPtr<IRemoteStorage> remote;
        ASSERT_EQ(CreateRemoteStorage(&remote), S_OK);
        center_->token = Utf8ToWide(session_.token);
        center_->syncRoot = Utf8ToWide(root_);
        center_->AddComponent(local_);
        center_->AddComponent(remote);
        TaskMgrTuning tuning;
        tuning.tickMs = 10;
        ASSERT_EQ(CreateTaskMgr(tuning, &tasks_), S_OK);
        ASSERT_EQ(tasks_->Init(center_, local_, remote), S_OK);
        ASSERT_EQ(tasks_->Start(), S_OK);
        FileSyncTiming timing;
        timing.checkPeriodMs = 20;
        mgr_.SetTiming(timing);
        mgr_.SetFileOpener([this](const std::wstring&) {
            ++opened_;
            return true;
        });
        ASSERT_EQ(mgr_.Init(center_, local_, remote, tasks_), S_OK);
    }
    void TearDown() override {
        mgr_.UnInit();
        if (tasks_)
            tasks_->Stop(-1);
        tasks_.Release();
        local_.Release();
        CloseUserDatabase();
        GetCoreAccess().Shutdown();
        unsetenv("PELLUX_REGISTRY_FILE");
        EmulatorTest::TearDown();
    }
    // The service's item as a listing would put it into the cache.
    void ListIntoCache(const std::wstring& fileId) {
        XmlNode reply;
        ASSERT_EQ(reply.Parse(Utf8ToWide(m_emulator.CallOperation(
                      "/xsvr/getItemInfo/", {{"token", session_.token}, {"fileId", WideToUtf8(fileId)}}))),
                  S_OK);
        RemoteItem item;
        FillRemoteItemFromReply(item, reply);
        ASSERT_EQ(item.fileId, fileId);
        ASSERT_EQ(local_->AddOrUpdateFileItem(item), S_OK);
    }
    std::wstring FinishedKey(bool upload) {
        std::vector<TaskInfo> finished;
        tasks_->GetTaskList(true, &finished);
        for (const TaskInfo& info : finished) {
            if (info.isUpload == (upload ? 1 : 0) && info.result == S_OK)
                return info.key;
        }
        return L"";
    }
    std::wstring Sha1(const std::string& path) {
        std::wstring hex;
        FileSha1Hex(Utf8ToWide(path), std::function<bool()>(), hex);
        return hex;
    }

    std::string dir_, root_;
    EmulatorSession session_;
    CComPtr<ScriptedBridge> bridge_ = ScriptedBridge::Make();
    CComPtr<FakeSyncCenter> center_ = FakeSyncCenter::Make();
    CComPtr<ILocalStorage> local_;
    CComPtr<ITaskMgr> tasks_;
    CFileSyncMgr mgr_;
    std::atomic<int> opened_{0};
};

TEST_F(OpenForEditOnTheService, AnEditIsUploadedAndTheCurrentCopyReopensWithoutATransfer) {
    ASSERT_TRUE(WriteFile(dir_ + "/notes.txt", "first version"));
    ASSERT_EQ(mgr_.Upload(L"", L"", 0, L"\\notes.txt", Utf8ToWide(dir_ + "/notes.txt")), S_OK);
    ASSERT_TRUE(Eventually([&] { return !FinishedKey(true).empty(); }));
    const std::wstring fileId = FinishedKey(true);
    ListIntoCache(fileId);

    // Not in the cache folder yet: downloaded, then opened.
    const std::string local = root_ + "/docs/notes.txt";
    ASSERT_EQ(mgr_.OpenFile(fileId, L"\\notes.txt", Utf8ToWide(local)), S_OK);
    ASSERT_TRUE(Eventually([&] { return opened_ == 1; }));
    EXPECT_EQ(ReadFile(local), "first version");
    EXPECT_EQ(m_emulator.RequestsTo("/xsvr/requestDownload/").size(), 1u);

    // Edited and saved: one new version goes up and the cache follows.
    ASSERT_TRUE(m_emulator.ClearLog());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(WriteFile(local, "second version, longer"));
    RemoteItem item;
    ASSERT_TRUE(Eventually(
        [&] { return SUCCEEDED(local_->GetItemInfo(fileId, &item)) && item.sha1 == Sha1(local); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(m_emulator.RequestsTo("/xsvr/requestUpload/").size(), 1u);
    int version = 0;
    ASSERT_EQ(mgr_.GetOpenFileInfo(fileId, nullptr, nullptr, &version), S_OK);
    EXPECT_EQ(version, item.fileVer);

    // Closed and opened again: the copy is current, nothing is transferred.
    ASSERT_EQ(mgr_.RemoveOpenFile(fileId), S_OK);
    ASSERT_TRUE(m_emulator.ClearLog());
    ASSERT_EQ(mgr_.OpenFile(fileId, L"\\notes.txt", Utf8ToWide(local)), S_OK);
    EXPECT_EQ(opened_, 2);
    EXPECT_EQ(m_emulator.RequestsTo("/xsvr/getItemInfo/").size(), 1u);
    EXPECT_EQ(m_emulator.RequestsTo("/xsvr/requestDownload/").size(), 0u);
    EXPECT_EQ(m_emulator.RequestLog().size(), 1u);
}

}  // namespace
}  // namespace pellux_test
