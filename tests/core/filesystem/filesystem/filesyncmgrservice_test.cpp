// The open-for-edit manager end to end: the real task manager and file tasks
// against the service emulator, the real local store in a temporary folder.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>

#include "core/coreapp/coreaccess.h"
#include "core/filesystem/filesystem/filesyncmgr.h"
#include "core/remotestorage/remotestorage/filesha1.h"
#include "core/remotestorage/remotestorage/iremotestorage.h"
#include "core/remotestorage/remotestorage/xmlnode.h"
#include "core/taskmgr/taskmgr.h"
#include "platform/strings.h"
#include "tests/support/clientfixture.h"
#include "tests/support/waituntil.h"

namespace pellux_test {
namespace {

class OpenForEditOnTheService : public ServiceClientTest {
protected:
    void SetUp() override {
        ServiceClientTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_EQ(GetCoreAccess().Startup(Utf8ToWide(scratch + "/data"), bridge_.get()), S_OK);
        OpenCache();
        TaskMgrTuning tuning;
        tuning.tickMs = 10;
        ASSERT_EQ(CreateTaskMgr(tuning, &tasks_), S_OK);
        ASSERT_EQ(tasks_->Init(syncCenter, cache, remote), S_OK);
        ASSERT_EQ(tasks_->Start(), S_OK);
        FileSyncTiming timing;
        timing.checkPeriodMs = 20;
        mgr_.SetTiming(timing);
        mgr_.SetFileOpener([this](const std::wstring&) {
            ++opened_;
            return true;
        });
        ASSERT_EQ(mgr_.Init(syncCenter, cache, remote, tasks_), S_OK);
    }
    void TearDown() override {
        mgr_.UnInit();
        if (tasks_)
            tasks_->Stop(-1);
        tasks_.Release();
        ServiceClientTest::TearDown();
        GetCoreAccess().Shutdown();
    }
    // The service's item as a listing would put it into the cache.
    void ListIntoCache(const std::wstring& fileId) {
        XmlNode reply;
        ASSERT_EQ(reply.Parse(Utf8ToWide(m_emulator.CallOperation(
                      "/xsvr/getItemInfo/", {{"token", session.token}, {"fileId", WideToUtf8(fileId)}}))),
                  S_OK);
        RemoteItem item;
        FillRemoteItemFromReply(item, reply);
        ASSERT_EQ(item.fileId, fileId);
        ASSERT_EQ(cache->AddOrUpdateFileItem(item), S_OK);
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

    CComPtr<ScriptedBridge> bridge_ = ScriptedBridge::Make();
    CComPtr<ITaskMgr> tasks_;
    CFileSyncMgr mgr_;
    std::atomic<int> opened_{0};
};

TEST_F(OpenForEditOnTheService, AnEditIsUploadedAndTheCurrentCopyReopensWithoutATransfer) {
    ASSERT_TRUE(WriteFile(scratch + "/notes.txt", "first version"));
    ASSERT_EQ(mgr_.Upload(L"", L"", 0, L"\\notes.txt", Utf8ToWide(scratch + "/notes.txt")), S_OK);
    ASSERT_TRUE(WaitUntil([&] { return !FinishedKey(true).empty(); }));
    const std::wstring fileId = FinishedKey(true);
    ListIntoCache(fileId);

    // Not in the cache folder yet: downloaded, then opened.
    const std::string local = scratch + "/root" + "/docs/notes.txt";
    ASSERT_EQ(mgr_.OpenFile(fileId, L"\\notes.txt", Utf8ToWide(local)), S_OK);
    ASSERT_TRUE(WaitUntil([&] { return opened_ == 1; }));
    EXPECT_EQ(ReadFile(local), "first version");
    EXPECT_EQ(m_emulator.RequestsTo("/xsvr/requestDownload/").size(), 1u);

    // Edited and saved: one new version goes up and the cache follows.
    ASSERT_TRUE(m_emulator.ClearLog());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(WriteFile(local, "second version, longer"));
    RemoteItem item;
    ASSERT_TRUE(
        WaitUntil([&] { return SUCCEEDED(cache->GetItemInfo(fileId, &item)) && item.sha1 == Sha1(local); }));
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
