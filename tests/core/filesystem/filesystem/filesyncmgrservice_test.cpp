// The open-for-edit manager end to end: the real task manager and file tasks
// against the service emulator, the real local store in a temporary folder.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/filesystem/filesystem/filesyncmgr.h"
#include "core/remotestorage/remotestorage/filesha1.h"
#include "core/remotestorage/remotestorage/iremotestorage.h"
#include "core/remotestorage/remotestorage/xmlnode.h"
#include "facadetestbase.h"
#include "platform/fileinfo.h"
#include "platform/strings.h"
#include "tests/support/waituntil.h"

namespace pellux_test {
namespace {

// The facade's own manager, with a recording opener and a quick check period.
class OpenForEditOnTheService : public FacadeTest {
protected:
    bool UseStandInFileSync() const override { return false; }
    void SetUp() override {
        FacadeTest::SetUp();
        if (HasFatalFailure())
            return;
        mgr_ = static_cast<CFileSystem*>(facade.get())->FileSyncMgr();
        ASSERT_EQ(mgr_->UnInit(), S_OK);
        FileSyncTiming timing;
        timing.checkPeriodMs = 20;
        mgr_->SetTiming(timing);
        mgr_->SetFileOpener([this](const std::wstring&) {
            ++opened_;
            return true;
        });
        ASSERT_EQ(mgr_->Init(syncCenter, cache, remote, taskMgr), S_OK);
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
        taskMgr->GetTaskList(true, &finished);
        for (const TaskInfo& info : finished) {
            if (info.isUpload == (upload ? 1 : 0) && info.result == S_OK)
                return info.key;
        }
        return L"";
    }

    CFileSyncMgr* mgr_ = nullptr;
    std::atomic<int> opened_{0};
};

TEST_F(OpenForEditOnTheService, AnEditIsUploadedAndTheCurrentCopyReopensWithoutATransfer) {
    ASSERT_TRUE(WriteFile(scratch + "/notes.txt", "first version"));
    ASSERT_EQ(mgr_->Upload(L"", L"", 0, L"\\notes.txt", Utf8ToWide(scratch + "/notes.txt")), S_OK);
    ASSERT_TRUE(WaitUntil([&] { return !FinishedKey(true).empty(); }));
    const std::wstring fileId = FinishedKey(true);
    ListIntoCache(fileId);

    // Not in the cache folder yet: downloaded, then opened.
    const std::string local = scratch + "/root" + "/docs/notes.txt";
    ASSERT_EQ(mgr_->OpenFile(fileId, L"\\notes.txt", Utf8ToWide(local)), S_OK);
    ASSERT_TRUE(WaitUntil([&] { return opened_ == 1; }));
    EXPECT_EQ(ReadFile(local), "first version");
    EXPECT_EQ(m_emulator.RequestsTo("/xsvr/requestDownload/").size(), 1u);

    // Edited and saved: one new version goes up and the cache follows.
    ASSERT_TRUE(m_emulator.ClearLog());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(WriteFile(local, "second version, longer"));
    std::wstring sha1;
    FileSha1Hex(Utf8ToWide(local), std::function<bool()>(), sha1);
    RemoteItem item;
    ASSERT_TRUE(WaitUntil([&] { return SUCCEEDED(cache->GetItemInfo(fileId, &item)) && item.sha1 == sha1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(m_emulator.RequestsTo("/xsvr/requestUpload/").size(), 1u);
    int version = 0;
    ASSERT_EQ(mgr_->GetOpenFileInfo(fileId, nullptr, nullptr, &version), S_OK);
    EXPECT_EQ(version, item.fileVer);

    // Closed and opened again: the copy is current, nothing is transferred.
    ASSERT_EQ(mgr_->RemoveOpenFile(fileId), S_OK);
    ASSERT_TRUE(m_emulator.ClearLog());
    ASSERT_EQ(mgr_->OpenFile(fileId, L"\\notes.txt", Utf8ToWide(local)), S_OK);
    EXPECT_EQ(opened_, 2);
    EXPECT_EQ(m_emulator.RequestsTo("/xsvr/getItemInfo/").size(), 1u);
    EXPECT_EQ(m_emulator.RequestsTo("/xsvr/requestDownload/").size(), 0u);
    EXPECT_EQ(m_emulator.RequestLog().size(), 1u);
}

TEST_F(OpenForEditOnTheService, AFolderDownloadWritesTheTreeThroughTheQueue) {
    std::vector<RemoteItem> root;
    ASSERT_EQ(facade->Dir(L"", &root, true), S_OK);
    std::wstring documents;
    for (const RemoteItem& item : root)
        documents = item.name == L"Documents" ? item.fileId : documents;
    ASSERT_FALSE(documents.empty());
    const std::string local = MakeTempDir() + "/Documents";
    ASSERT_EQ(facade->DownloadFolder(documents, L"", L"\\Documents", Utf8ToWide(local)), S_OK);
    const std::string readme = local + "/readme.txt";
    EXPECT_TRUE(WaitUntil([&] { return !ReadFile(readme).empty(); }));
    EXPECT_EQ(ReadFile(readme), "Welcome to Pellux.\nThis folder holds a few text files.\n");
    EXPECT_TRUE(IsDirectoryPath(local + "/Reports"));
}

}  // namespace
}  // namespace pellux_test
