// The file tasks end to end: the task manager runs them in clusters against
// the emulator with a real local store in a temporary folder and a scripted
// host for the existing-file question.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <mutex>

#include "core/coreapp/ishelladapter.h"
#include "core/filesystem/taskdata/transferrecords.h"
#include "core/remotestorage/remotestorage/iremotestorage.h"
#include "core/taskmgr/task/file_task/taskfactory.h"
#include "core/taskmgr/taskmgr.h"
#include "platform/strings.h"
#include "tests/core/localstorage/localstorage/localstoragefixture.h"
#include "tests/core/taskmgr/scriptedtask.h"
#include "tests/support/clientfixture.h"

namespace pellux_test {
namespace {

// The scripted bridge answers the question; the commands after it are kept.
class RecordingHost : public IFileTaskHost {
public:
    CComPtr<ScriptedBridge> bridge = ScriptedBridge::Make();

    int AskUser(const std::wstring& key, const std::wstring& text, const std::wstring& caption,
                const std::wstring& buttons, int flag, const std::wstring& checkText, int remember) override {
        return bridge->AskUser(key, text, caption, buttons, flag, checkText, remember);
    }
    HRESULT Delete(bool, const std::wstring& fileId, const std::wstring&) override {
        return Record(L"Delete " + fileId);
    }
    HRESULT Upload(const std::wstring& fileId, const std::wstring&, int, const std::wstring&,
                   const std::wstring&) override {
        return Record(L"Upload " + fileId);
    }
    std::vector<std::wstring> TakeCommands() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return std::move(m_commands);
    }

private:
    HRESULT Record(const std::wstring& command) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_commands.push_back(command);
        return S_OK;
    }
    std::mutex m_mutex;
    std::vector<std::wstring> m_commands;
};

class FileTaskTest : public ServiceClientTest {
protected:
    void SetUp() override {
        ServiceClientTest::SetUp();
        if (HasFatalFailure())
            return;
        m_dir = scratch;
        m_root = scratch + "/root";
        OpenCache();
        TaskMgrTuning tuning;
        tuning.tickMs = 10;
        std::shared_ptr<RecordingHost> host = m_host;
        tuning.taskMaker = [host](TaskDataBase* record) { return CreateFileTask(record, host); };
        ASSERT_EQ(CreateTaskMgr(tuning, &m_mgr), S_OK);
        ASSERT_EQ(m_mgr->Init(syncCenter, cache, remote), S_OK);
        ASSERT_EQ(m_mgr->Start(), S_OK);
    }
    void TearDown() override {
        if (m_mgr) {
            m_mgr->Stop(-1);
        }
        m_mgr.Release();
        ServiceClientTest::TearDown();
    }

    // Runs the record through the queue; its outcome as the callback saw it.
    Completions::Entry Run(TaskDataBase* record) {
        Completions done;
        EXPECT_EQ(m_mgr->AddTask(record, true, &Completions::Callback, &done), S_OK);
        EXPECT_TRUE(WaitUntil([&] { return done.Count() == 1; }, 30000));
        return done.Count() ? done.Entries()[0] : Completions::Entry{L"", E_FAIL, 0};
    }
    std::string LocalFile(const std::string& name, const std::string& bytes) {
        const std::string path = m_dir + "/" + name;
        EXPECT_TRUE(WriteFile(path, bytes));
        return path;
    }
    TaskData_NewFile* NewFileRecord(const std::string& name, const std::string& localPath,
                                    const std::string& parentId = "") {
        return MakeUpdateNewFileTask(Utf8ToWide(parentId), Utf8ToWide("\\" + name), Utf8ToWide(localPath));
    }
    // Uploads a new file; its id.
    std::wstring Upload(const std::string& name, const std::string& bytes) {
        const Completions::Entry done = Run(NewFileRecord(name, LocalFile(name, bytes)));
        EXPECT_EQ(done.result, S_OK);
        return done.key;
    }
    std::string Call(const std::string& path, EmulatorFields fields) const {
        fields.insert(fields.begin(), {"token", session.token});
        return m_emulator.CallOperation(path, fields);
    }

    std::string m_dir;
    std::string m_root;
    std::shared_ptr<RecordingHost> m_host = std::make_shared<RecordingHost>();
    CComPtr<ITaskMgr> m_mgr;
};

TEST_F(FileTaskTest, ANewFileIntoADeletedFolderFailsAndUploadsNothing) {
    const std::string folder =
        Emulator::ReplyValue(Call("/xsvr/newFolder/", {{"parentId", ""}, {"name", "Gone"}}), "fileId");
    ASSERT_FALSE(folder.empty());
    ASSERT_EQ(Emulator::ReplyValue(Call("/xsvr/delete/", {{"fileId", folder}}), "result"), "ok");
    ASSERT_TRUE(m_emulator.ClearLog());
    const Completions::Entry done = Run(NewFileRecord("a.txt", LocalFile("a.txt", "hello"), folder));
    EXPECT_EQ(done.result, E_RESULT_PARENT_NOT_EXIST);
    EXPECT_EQ(m_emulator.RequestsTo("/xsvr/newFile/").size(), 1u);
    EXPECT_TRUE(m_emulator.RequestsTo("/store/up").empty());

    // A local file that is gone by the time the task runs leaves no empty entry behind.
    ASSERT_TRUE(m_emulator.ClearLog());
    const Completions::Entry missing = Run(NewFileRecord("gone.txt", m_dir + "/no-such-file.txt"));
    EXPECT_EQ(missing.result, E_LOCAL_FILE_MISSING);
    EXPECT_TRUE(m_emulator.RequestsTo("/xsvr/newFile/").empty());
}

TEST_F(FileTaskTest, AnExistingFileIsReplacedOrUpdatedOnlyAsAnsweredAndNotWithTheSameContent) {
    const std::string bytes = "the same content\n";
    const std::wstring existing = Upload("same.txt", bytes);
    ASSERT_FALSE(existing.empty());
    struct Case {
        const char* name;
        int answer;
        std::string content;
        bool cancelWhileAsked;
        HRESULT result;
        std::vector<std::wstring> commands;
    };
    const std::vector<Case> cases = {
        {"update", kAskDefault, bytes, false, S_OK, {}},
        {"cancel", kAskCancel, bytes, false, S_OK, {}},
        {"replace", kAskThird, bytes, false, S_OK, {L"Delete " + existing, L"Upload "}},
        {"replace, but the task is cancelled while asked", kAskThird, bytes, true, E_CANCELLED, {}},
        {"update with other content", kAskDefault, "other content\n", false, S_OK, {L"Upload " + existing}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_host->bridge->SetAnswer(L"Wizard_UpLoadFileExist", c.answer);
        if (c.cancelWhileAsked)
            m_host->bridge->Block();
        ASSERT_TRUE(m_emulator.ClearLog());
        const size_t asked = m_host->bridge->Calls().size();
        TaskData_NewFile* record = NewFileRecord("same.txt", LocalFile("same.txt", c.content));
        const std::wstring key = record->key;
        Completions done;
        ASSERT_EQ(m_mgr->AddTask(record, true, &Completions::Callback, &done), S_OK);
        ASSERT_TRUE(m_host->bridge->WaitForCalls(asked + 1));
        if (c.cancelWhileAsked) {
            ASSERT_EQ(m_mgr->CancelTask(key), S_OK);
            m_host->bridge->Unblock();
        }
        ASSERT_TRUE(WaitUntil([&] { return done.Count() == 1; }, 30000));
        EXPECT_EQ(done.Entries()[0].result, c.result);
        const BridgeCall question = m_host->bridge->Calls()[asked];
        EXPECT_EQ(question.texts,
                  (std::vector<std::wstring>{L"Wizard_UpLoadFileExist",
                                             L"same.txt  文件已经存在，请选择以下操作方式。", L"Orvane便携版",
                                             L"替换|更新|取消", L"记住我的选择"}));
        EXPECT_EQ(question.numbers, (std::vector<long long>{1, -1}));
        EXPECT_EQ(m_host->TakeCommands(), c.commands);
        EXPECT_TRUE(m_emulator.RequestsTo("/store/up").empty());
    }
}

TEST_F(FileTaskTest, AHeldFileWaitsASecondAndEndsBusyWithoutRetry) {
    const std::wstring fileId = Upload("held.txt", "version one\n");
    const std::string path = LocalFile("held.txt", "version two\n");
    struct Case {
        const char* name;
        std::function<int()> hold;  // a descriptor to close afterwards, or -1
    };
    const std::vector<Case> cases = {
        {"an open-file-description lock",
         [&] {
             const int fd = open(path.c_str(), O_RDWR);
             struct flock lock {};
             lock.l_type = F_WRLCK;
             lock.l_whence = SEEK_SET;
             EXPECT_EQ(fcntl(fd, F_OFD_SETLK, &lock), 0);
             return fd;
         }},
        {"a flock lock",
         [&] {
             const int fd = open(path.c_str(), O_RDONLY);
             EXPECT_EQ(flock(fd, LOCK_EX), 0);
             return fd;
         }},
        {"an office lock file beside it",
         [&] {
             EXPECT_TRUE(WriteFile(m_dir + "/.~lock.held.txt#", "user"));
             return -1;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int fd = c.hold();
        ASSERT_TRUE(m_emulator.ClearLog());
        const auto start = std::chrono::steady_clock::now();
        const Completions::Entry done =
            Run(MakeUpdateFileTask(fileId, L"\\held.txt", L"1", Utf8ToWide(path)));
        const auto elapsed = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(done.result, E_LOCAL_BUSY);
        EXPECT_GE(elapsed, std::chrono::milliseconds(950));
        EXPECT_LT(elapsed, std::chrono::milliseconds(2900)) << "a busy file is not tried again";
        EXPECT_TRUE(m_emulator.RequestsTo("/xsvr/requestUpload/").empty());
        if (fd >= 0)
            close(fd);
        unlink((m_dir + "/.~lock.held.txt#").c_str());
    }
}

TEST_F(FileTaskTest, ACorruptedDownloadIsTriedThreeTimesAndLeavesNothingBehind) {
    const std::wstring fileId = Upload("blob.bin", RandomBytes(200000, 7));
    ASSERT_TRUE(m_emulator.AddFault("path=/store/down&corrupt=1&count=3"));
    ASSERT_TRUE(m_emulator.ClearLog());
    const std::string target = m_root + "/cache/blob.bin";
    const Completions::Entry done = Run(MakeDownloadFileTask(fileId, L"\\down", Utf8ToWide(target)));
    EXPECT_EQ(done.result, E_LOCAL_FILE_MISSING);
    EXPECT_EQ(m_emulator.RequestsTo("/store/down").size(), 3u);
    EXPECT_TRUE(Entries(m_root + "/.tmp").empty());
    EXPECT_NE(access(target.c_str(), F_OK), 0);
}

TEST_F(FileTaskTest, UploadThenDownloadGivesTheSameBytes) {
    std::string text;
    while (text.size() < 300000)
        text += "a line of text that packs well, " + std::to_string(text.size()) + "\n";
    const std::vector<std::pair<std::string, std::string>> cases = {{"random.bin", RandomBytes(700000, 11)},
                                                                    {"notes.txt", text}};
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        const std::wstring fileId = Upload(name, bytes);
        ASSERT_FALSE(fileId.empty());
        const std::string target = m_root + "/cache/" + name;
        const Completions::Entry done = Run(MakeDownloadFileTask(fileId, L"\\down", Utf8ToWide(target)));
        ASSERT_EQ(done.result, S_OK);
        EXPECT_TRUE(ReadFile(target) == bytes);
        EXPECT_TRUE(Entries(m_root + "/.tmp").empty());
        std::vector<TaskInfo> finished;
        ASSERT_EQ(m_mgr->GetTaskList(true, &finished), S_OK);
        bool listed = false;
        for (const TaskInfo& info : finished)
            listed |= info.key == fileId && info.isUpload == 0 && info.bytesTotal > 0;
        EXPECT_TRUE(listed);
    }
}

}  // namespace
}  // namespace pellux_test
