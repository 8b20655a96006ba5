#include "core/filesystem/filesystem/filesyncmgr.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "core/coreapp/coreaccess.h"
#include "core/coreapp/ishelladapter.h"
#include "core/filesystem/filenotifymonitor/filenotifyrevicer/executor.h"
#include "core/filesystem/filenotifymonitor/filenotifyrevicer/markerfile.h"
#include "core/filesystem/taskdata/taskdata.h"
#include "core/remotestorage/remotestorage/filesha1.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "core/remotestorage/remotestorage/xmlnode.h"
#include "core/taskmgr/itaskmgr.h"
#include "platform/strings.h"
#include "tests/core/filesystem/filenotifymonitor/filenotifyrevicer/fakedownloader.h"
#include "tests/support/fakesynccenter.h"
#include "tests/support/scriptedbridge.h"
#include "tests/support/testenvironment.h"
#include "tests/support/testusercache.h"
#include "tests/support/waituntil.h"

namespace fs = std::filesystem;
using pellux_test::ReadFile;
using pellux_test::WaitUntil;
using pellux_test::WriteFile;

namespace {

// Keeps the posted records; the test finishes them as the queue would.
class ScriptedTaskMgr final : public CUnknownImpl<ITaskMgr> {
public:
    struct Posted {
        TaskDataBase* record;
        bool noQueue;
        TaskCompletionCallback callback;
        void* context;
    };
    ~ScriptedTaskMgr() override {
        for (Posted& p : posted)
            p.record->Release();
    }
    HRESULT Init(ISyncCenter*, ILocalStorage*, IRemoteStorage*) override { return S_OK; }
    HRESULT UnInit() override { return S_OK; }
    HRESULT Start() override { return S_OK; }
    HRESULT Stop(int) override { return S_OK; }
    HRESULT ExecuteTask(TaskDataBase* record, XmlNode* reply, int) override {
        EXPECT_EQ(record->operationName, L"GetFileInfo");
        reply->AddValue(L"fileVer", std::to_wstring(serverFileVer.load()));
        return S_OK;
    }
    HRESULT AddTask(TaskDataBase* record, bool noQueue, TaskCompletionCallback callback,
                    void* context) override {
        std::unique_lock<std::mutex> lock(mutex);
        posted.push_back({record, noQueue, callback, context});
        if (completeInline) {
            // As a manager that reports from under its own lock would.
            record->state = kTaskStateFinished;
            callback(record, context);
        }
        return S_OK;
    }
    HRESULT CancelTask(const std::wstring&) override { return E_NOTIMPL; }
    HRESULT GetTaskList(bool, std::vector<TaskInfo>*) override { return E_NOTIMPL; }
    HRESULT RemoveFinishedTask(const std::wstring&) override { return E_NOTIMPL; }
    HRESULT RetryTask(const std::wstring&, TaskCompletionCallback, void*) override { return E_NOTIMPL; }

    std::vector<Posted> Posts() {
        std::lock_guard<std::mutex> lock(mutex);
        return posted;
    }
    size_t Count() { return Posts().size(); }
    // Reports the i-th record finished with the result (from the test thread,
    // as the queue's tick thread would).
    void Finish(size_t i, HRESULT result, int version = 0, const std::wstring& sha1 = L"") {
        Posted p = Posts().at(i);
        p.record->state = kTaskStateFinished;
        p.record->result = result;
        p.record->version = version;
        if (!sha1.empty())
            p.record->sha1 = sha1;
        p.callback(p.record, p.context);
    }

    std::mutex mutex;
    std::vector<Posted> posted;
    std::atomic<int> serverFileVer{3};
    bool completeInline = false;
};

class OpenForEdit : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = pellux_test::MakeTempDir("edit");
        root_ = dir_ + "/root";
        setenv("PELLUX_REGISTRY_FILE", (dir_ + "/registry.ini").c_str(), 1);
        ASSERT_EQ(GetCoreAccess().Startup(Utf8ToWide(dir_ + "/data"), bridge_.get()), S_OK);
        local_ = pellux_test::OpenTestUserCache(dir_);
        ASSERT_TRUE(local_);
        center_ = pellux_test::FakeSyncCenter::Make();
        center_->syncRoot = Utf8ToWide(root_);
        tasks_ = new ScriptedTaskMgr();
        FileSyncTiming timing;
        timing.checkPeriodMs = 10;
        timing.missingPasses = 20;
        timing.busyRetryMs = 50;
        mgr_.SetTiming(timing);
        mgr_.SetFileOpener([this](const std::wstring&) {
            ++opened_;
            return true;
        });
        ASSERT_EQ(mgr_.Init(center_, local_, nullptr, tasks_), S_OK);
    }
    void TearDown() override {
        mgr_.UnInit();
        local_.Release();
        CloseUserDatabase();
        GetCoreAccess().Shutdown();
        unsetenv("PELLUX_REGISTRY_FILE");
    }

    std::wstring Local(const std::string& name) const { return Utf8ToWide(root_ + "/" + name); }
    std::wstring Sha1(const std::string& bytes) {
        WriteFile(dir_ + "/hash", bytes);
        std::wstring hex;
        FileSha1Hex(Utf8ToWide(dir_ + "/hash"), std::function<bool()>(), hex);
        return hex;
    }
    // The service's file as the cache knows it, version 3.
    void Known(const std::wstring& id, const std::string& name, const std::string& content) {
        RemoteItem item;
        item.fileId = id;
        item.parentId = L"root";
        item.name = Utf8ToWide(name);
        item.sha1 = Sha1(content);
        item.size = static_cast<int64_t>(content.size());
        item.fileVer = 3;
        item.createdTime = item.modTime = L"2024-01-01 00:00:00";
        ASSERT_EQ(local_->AddOrUpdateFileItem(item), S_OK);
    }
    // Opens a cached current copy (no transfer) and waits for its entry.
    void OpenCurrent(const std::wstring& id, const std::string& name, const std::string& content) {
        Known(id, name, content);
        ASSERT_TRUE(WriteFile(root_ + "/" + name, content));
        ASSERT_EQ(mgr_.OpenFile(id, L"\\docs\\" + Utf8ToWide(name), Local(name)), S_OK);
        ASSERT_EQ(mgr_.GetOpenFileInfo(id, nullptr, nullptr, nullptr), S_OK);
    }
    static bool Writable(const std::wstring& path) {
        struct stat st {};
        return ::stat(WideToUtf8(path).c_str(), &st) == 0 && (st.st_mode & S_IWUSR) != 0;
    }
    std::vector<std::string> ConflictCopies() {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(root_)) {
            if (e.path().filename().string().find("冲突副本") != std::string::npos)
                names.push_back(e.path().filename().string());
        }
        return names;
    }

    std::string dir_, root_;
    CComPtr<ILocalStorage> local_;
    CComPtr<pellux_test::FakeSyncCenter> center_;
    // What the user was told (message texts), shown (balloon texts) and
    // asked ("key|text|buttons").
    std::vector<std::wstring> Told(const std::string& operation) {
        std::vector<std::wstring> texts;
        for (const pellux_test::BridgeCall& call : bridge_->Calls()) {
            if (call.operation != operation)
                continue;
            texts.push_back(operation == "AskUser"
                                ? call.texts[0] + L"|" + call.texts[1] + L"|" + call.texts[3]
                                : call.texts[0]);
        }
        return texts;
    }
    std::vector<std::wstring> Messages() { return Told("ShowMessage"); }
    std::vector<std::wstring> Balloons() { return Told("ShowBalloon"); }

    CComPtr<pellux_test::ScriptedBridge> bridge_ = pellux_test::ScriptedBridge::Make();
    CComPtr<ScriptedTaskMgr> tasks_;
    CFileSyncMgr mgr_;
    std::atomic<size_t> opened_{0};
};

TEST_F(OpenForEdit, ACurrentCopyIsReusedAnythingElseDownloadedAndEditsAreKept) {
    struct Case {
        const char* what;
        bool cached;
        std::string onDisk;  // "" none
        int serverVersion;
        bool download;
        bool conflictCopy;
    };
    const std::vector<Case> cases = {
        {"current copy", true, "same", 3, false, false},
        {"newer version on the service", true, "same", 4, true, false},
        {"copy edited and never uploaded", true, "edited", 3, true, true},
        {"no copy yet", true, "", 3, true, false},
        {"unknown to the cache", false, "same", 3, true, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(root_);
        fs::create_directories(root_);
        // A name of its own: the copies opened by earlier cases stay watched.
        const std::string name = "a" + std::to_string(++n) + ".txt";
        const std::wstring id = L"f" + std::to_wstring(n);
        if (c.cached)
            Known(id, name, "same");
        if (!c.onDisk.empty()) {
            ASSERT_TRUE(WriteFile(root_ + "/" + name, c.onDisk));
        }
        // Copies kept earlier in these seconds are never overwritten.
        for (std::time_t t = std::time(nullptr), end = t + 3; c.conflictCopy && t < end; ++t) {
            char stamp[32];
            std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H%M%S", std::localtime(&t));
            ASSERT_TRUE(
                WriteFile(root_ + "/a" + std::to_string(n) + " (冲突副本 " + stamp + ").txt", "older"));
        }
        tasks_->serverFileVer = c.serverVersion;
        const size_t posts = tasks_->Count();
        const size_t opens = opened_.load();
        ASSERT_EQ(mgr_.OpenFile(id, L"\\docs\\" + Utf8ToWide(name), Local(name)), S_OK);
        ASSERT_EQ(tasks_->Count() - posts, c.download ? 1u : 0u);
        if (c.download) {
            const auto p = tasks_->Posts().at(posts);
            EXPECT_EQ(p.record->operationName, L"DownloadFile");
            EXPECT_EQ(p.record->key, id);
            EXPECT_EQ(p.record->flags, kTaskFlagOpenAfterDownload);
            EXPECT_TRUE(p.noQueue);
        } else {
            EXPECT_EQ(opened_.load(), opens + 1);
            EXPECT_EQ(mgr_.GetOpenFileInfo(id, nullptr, nullptr, nullptr), S_OK);
        }
        const auto copies = ConflictCopies();
        ASSERT_EQ(copies.size(), c.conflictCopy ? 4u : 0u);
        int kept = 0;
        for (const std::string& copy : copies)
            kept += ReadFile(root_ + "/" + copy) == c.onDisk;
        EXPECT_EQ(kept, c.conflictCopy ? 1 : 0);
    }
    int notes = 0;
    for (const std::wstring& text : Balloons())
        notes += text.find(L"在本机的修改尚未上传，已另存为") != std::wstring::npos;
    EXPECT_EQ(notes, 2);  // one per kept copy
}

TEST_F(OpenForEdit, EachSavedChangeIsUploadedOnceAndAnUnchangedFileNever) {
    struct Case {
        const char* what;
        std::function<void(const std::string& path)> save;
        bool upload;
        bool busyFirst = false;  // the first upload is refused as busy
    };
    const std::vector<Case> cases = {
        {"not touched", [](const std::string&) {}, false},
        {"saved with the same bytes", [](const std::string& p) { WriteFile(p, "v1"); }, false},
        {"saved in place", [](const std::string& p) { WriteFile(p, "v2 longer"); }, true},
        {"saved by rename over it",
         [](const std::string& p) {
             WriteFile(p + ".new", "v2");
             fs::rename(p + ".new", p);
         },
         true},
        {"removed, then written anew",
         [](const std::string& p) {
             fs::remove(p);
             std::this_thread::sleep_for(std::chrono::milliseconds(30));
             WriteFile(p, "v2");
         },
         true},
        {"saved while the service was busy", [](const std::string& p) { WriteFile(p, "v2"); }, true, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring id = L"e" + std::to_wstring(++n);
        const std::string name = "e" + std::to_string(n) + ".txt";
        const size_t posts = tasks_->Count();
        OpenCurrent(id, name, "v1");
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        c.save(root_ + "/" + name);
        if (c.upload) {
            ASSERT_TRUE(WaitUntil([&] { return tasks_->Count() > posts; }));
            if (c.busyFirst) {
                tasks_->Finish(posts, E_LOCAL_BUSY);
                ASSERT_TRUE(WaitUntil([&] { return tasks_->Count() > posts + 1; }));
            }
            const size_t last = posts + c.busyFirst;
            const auto p = tasks_->Posts().at(last);
            EXPECT_EQ(p.record->operationName, L"UpdateFile");
            EXPECT_EQ(p.record->key, id);
            EXPECT_EQ(dynamic_cast<TaskData_UpdateFile*>(p.record)->fileVer, L"3");
            EXPECT_TRUE(p.noQueue);
            tasks_->Finish(last, S_OK, 4, Sha1(ReadFile(root_ + "/" + name)));
        }
        // Many passes later: exactly what was expected, and the entry stays.
        int version = 0;
        EXPECT_TRUE(WaitUntil([&] {
            return mgr_.GetOpenFileInfo(id, nullptr, nullptr, &version) == S_OK &&
                   version == (c.upload ? 4 : 3);
        }));
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        EXPECT_EQ(tasks_->Count() - posts, c.upload ? 1u + c.busyFirst : 0u);
    }
    EXPECT_TRUE(Balloons().empty());  // a retried upload is no failure
}

TEST_F(OpenForEdit, AFailedDownloadOffersTheCachedCopyReadOnly) {
    int n = 0;
    for (int answer : {kAskDefault, kAskNotShown, kAskCancel}) {
        SCOPED_TRACE(answer);
        const bool openedOld = answer != kAskCancel;
        const std::wstring id = L"d" + std::to_wstring(++n);
        const std::string name = "d" + std::to_string(n) + ".txt";
        Known(id, name, "old");
        ASSERT_TRUE(WriteFile(root_ + "/" + name, "old"));
        tasks_->serverFileVer = 9;
        bridge_->SetAnswer(L"Wizard_OpenOldVersion", answer);
        const size_t posts = tasks_->Count();
        const size_t balloons = Balloons().size();
        ASSERT_EQ(mgr_.OpenFile(id, L"\\" + Utf8ToWide(name), Local(name)), S_OK);
        ASSERT_EQ(tasks_->Count(), posts + 1);
        tasks_->Finish(posts, E_TRANSPORT_TIMEOUT);
        ASSERT_TRUE(WaitUntil([&] { return Balloons().size() > balloons; }));
        const auto question = Told("AskUser").back();
        EXPECT_EQ(question, L"Wizard_OpenOldVersion|文件“" + Utf8ToWide(name) +
                                L"”下载失败，您希望打开缓存在您机器上的旧版本吗？|打开旧版本|取消");
        EXPECT_EQ(Balloons().back(),
                  openedOld ? L"正在为您只读打开缓存在您机器上的“" + Utf8ToWide(name) + L"”文件。"
                            : L"下载“" + Utf8ToWide(name) + L"”失败");
        // The balloon comes first, the entry right after it.
        std::vector<TaskInfo> list;
        const auto listed = [&] {
            list.clear();
            mgr_.GetOpenFileList(&list);
            return !list.empty() && list.back().key == id;
        };
        EXPECT_EQ(openedOld ? WaitUntil(listed) : listed(), openedOld);
        if (openedOld) {
            EXPECT_EQ(list.back().flags, kTaskFlagOpenAfterDownload | kTaskFlagOpenedOldCopy);
        }
        EXPECT_EQ(Writable(Local(name)), !openedOld);
    }
    // The old copy is never uploaded, even when written to.
    WriteFile(root_ + "/d1.txt", "changed");
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(tasks_->Count(), 3u);
}

TEST_F(OpenForEdit, FailedTransfersAreReportedInTheUsersWords) {
    struct Case {
        HRESULT code;
        bool upload;
        std::wstring message;
        std::wstring balloon;
    };
    const std::wstring old = L"当前Tessal版本太旧，请重启Tessal，Tessal会自动为您升级。";
    const std::wstring expired = L"您的会话已经过期，为了您的安全，请重新登录Tessal。";
    const std::vector<Case> cases = {
        {E_RESULT_METHOD_VERSION_NOT_MATCH, true, old, old},
        {E_RESULT_CLIENT_TOKEN_EXPIRED, true, expired, expired},
        {E_RESULT_CLIENT_NO_LOGIN, false, expired, expired},
        {E_CANCELLED, true, L"", L"上传“报告.docx”被取消"},
        {E_CANCELLED, false, L"", L"下载“报告.docx”被取消"},
        {E_TRANSPORT_TIMEOUT, true, L"", L"上传“报告.docx”失败"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.balloon);
        Known(L"k", "报告.docx", "x");
        const size_t i = tasks_->Count();
        const size_t messages = Messages().size();
        const size_t balloons = Balloons().size();
        if (c.upload)
            ASSERT_EQ(mgr_.Upload(L"k", L"root", 3, L"\\docs\\报告.docx", Local("报告.docx")), S_OK);
        else
            ASSERT_EQ(mgr_.Download(L"k", L"\\docs\\报告.docx", Local("报告.docx")), S_OK);
        ASSERT_EQ(tasks_->Count(), i + 1);
        EXPECT_FALSE(tasks_->Posts().at(i).noQueue);
        tasks_->Finish(i, c.code);
        ASSERT_TRUE(WaitUntil([&] { return Balloons().size() > balloons; }));
        EXPECT_EQ(Balloons().back(), c.balloon);
        const auto messagesNow = Messages();
        ASSERT_EQ(messagesNow.size(), messages + (c.message.empty() ? 0 : 1));
        if (!c.message.empty()) {
            EXPECT_EQ(messagesNow.back(), c.message);
        }
        RemoteItem item;
        EXPECT_EQ(local_->GetItemInfo(L"k", &item), c.message == expired ? E_FAIL : S_OK);
    }
}

TEST_F(OpenForEdit, TheOpenFileListEndsWithTheFileOrTheUser) {
    OpenCurrent(L"a", "a.txt", "x");
    OpenCurrent(L"b", "b.txt", "y");
    std::vector<TaskInfo> list(1);
    ASSERT_EQ(mgr_.GetOpenFileList(&list), S_OK);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[1].key, L"a");
    EXPECT_EQ(list[1].itemPath, L"\\docs\\a.txt");
    EXPECT_EQ(list[2].key, L"b");
    std::wstring localPath, itemPath;
    int version = 0;
    ASSERT_EQ(mgr_.GetOpenFileInfo(L"a", &localPath, &itemPath, &version), S_OK);
    EXPECT_EQ(localPath, Local("a.txt"));
    EXPECT_EQ(version, 3);
    EXPECT_TRUE(Writable(Local("a.txt")));

    // Not opened twice.
    ASSERT_EQ(mgr_.OpenFile(L"a", L"\\docs\\a.txt", Local("a.txt")), S_OK);
    EXPECT_EQ(opened_.load(), 2u);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"文件“a.txt”已处于打开状态，不能重复打开。"});

    // Uploaded on request, changed or not; the entry stays.
    ASSERT_EQ(mgr_.UploadOpenFileNow(L"a"), S_OK);
    EXPECT_EQ(mgr_.UploadOpenFileNow(L"none"), E_FAIL);
    ASSERT_EQ(tasks_->Count(), 1u);
    EXPECT_EQ(tasks_->Posts().at(0).record->operationName, L"UpdateFile");
    EXPECT_EQ(mgr_.GetOpenFileInfo(L"a", nullptr, nullptr, nullptr), S_OK);

    // Removed by the user: read-only again.
    ASSERT_EQ(mgr_.RemoveOpenFile(L"a"), S_OK);
    EXPECT_EQ(mgr_.GetOpenFileInfo(L"a", nullptr, nullptr, nullptr), E_FAIL);
    EXPECT_FALSE(Writable(Local("a.txt")));

    // Gone from the disk for good: the entry ends with a note, nothing uploaded.
    fs::remove(root_ + "/b.txt");
    ASSERT_TRUE(WaitUntil([&] { return !Balloons().empty(); }));
    EXPECT_EQ(Balloons().back(), L"文件“b.txt”已不存在，不再为您同步它的修改。");
    EXPECT_EQ(mgr_.GetOpenFileInfo(L"b", nullptr, nullptr, nullptr), E_FAIL);
    EXPECT_EQ(tasks_->Count(), 1u);
}

TEST_F(OpenForEdit, CompletionsReportedFromInsideThePostDoNotDeadlock) {
    tasks_->completeInline = true;
    OpenCurrent(L"a", "a.txt", "x");
    std::atomic<bool> stop{false};
    std::thread ui([&] {
        while (!stop) {
            std::vector<TaskInfo> list;
            mgr_.GetOpenFileList(&list);
            mgr_.UploadOpenFileNow(L"a");
        }
    });
    for (int i = 0; i < 20; ++i) {
        WriteFile(root_ + "/a.txt", "edit " + std::to_string(i));
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
    stop = true;
    ui.join();
    EXPECT_GT(tasks_->Count(), 1u);
    EXPECT_EQ(mgr_.UnInit(), S_OK);
}

TEST_F(OpenForEdit, AMarkerDroppedIntoAWatchedFolderBecomesDownloads) {
    auto downloader = std::make_shared<CFakeDownloader>();
    ASSERT_EQ(mgr_.UnInit(), S_OK);
    mgr_.SetMarkerMonitor(std::make_shared<CInlineExecutor>(), downloader);
    ASSERT_EQ(mgr_.Init(center_, local_, nullptr, tasks_), S_OK);
    std::wstring marker;
    ASSERT_EQ(WriteMarkerFile(Utf8ToWide(root_ + "/.tmp"), MarkerKind::kDrag,
                              {{L"0", L"f1", L"d0", L"\\a.txt"}}, marker),
              S_OK);
    // The shell moves the marker to where the user let go.
    const std::string home = pellux_test::TestHome();
    const std::string dropped = home + "/" + fs::path(WideToUtf8(marker)).filename().string();
    fs::rename(WideToUtf8(marker), dropped);
    EXPECT_EQ(downloader->WaitFor(1), std::vector<std::string>{"file f1 d0 \\a.txt > " + home + "/a.txt"});
    EXPECT_TRUE(WaitUntil([&] { return !fs::exists(dropped); }));
}

}  // namespace
