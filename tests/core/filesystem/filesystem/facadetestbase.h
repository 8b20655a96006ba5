#pragma once
// The facade against the service emulator with the real parts around it: a
// logged-in demo account, the remote storage behind a forwarding layer, the
// local storage on a fresh database, the task manager, and the core-access
// object with a scripted bridge. Single-file transfers land at a recording
// stand-in for the open-for-edit manager.
#include <memory>
#include <string>
#include <vector>

#include "core/coreapp/coreaccess.h"
#include "core/filesystem/filesystem/filesystem.h"
#include "core/taskmgr/taskmgr.h"
#include "fakefilesync.h"
#include "tests/support/clientfixture.h"
#include "tests/support/closedport.h"

namespace pellux_test {

class FacadeTest : public ServiceClientTest {
protected:
    void SetUp() override {
        ServiceClientTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_EQ(GetCoreAccess().Startup(Utf8ToWide(scratch + "/data"), bridge.get()), S_OK);
        OpenCache();
        TaskMgrTuning tuning;
        tuning.tickMs = 50;
        ASSERT_EQ(CreateTaskMgr(tuning, &taskMgr), S_OK);
        ASSERT_EQ(taskMgr->Init(syncCenter, cache, remote), S_OK);
        syncCenter->AddComponent(taskMgr.get());
        ASSERT_EQ(CreateFileSystem(&facade), S_OK);
        if (UseStandInFileSync()) {
            auto sync = std::make_unique<FakeFileSync>();
            fileSync = sync.get();
            static_cast<CFileSystem*>(facade.get())->SetFileSyncOps(std::move(sync));
        } else {
            ASSERT_EQ(taskMgr->Start(), S_OK);
        }
        ASSERT_EQ(facade->Init(syncCenter, cache, remote, taskMgr), S_OK);
        m_emulator.ClearLog();
    }
    void TearDown() override {
        if (facade)
            facade->UnInit();
        facade.Release();
        if (taskMgr)
            taskMgr->Stop(-1);
        taskMgr.Release();
        ServiceClientTest::TearDown();
        GetCoreAccess().Shutdown();
    }

    // Else the facade keeps its real open-for-edit manager and the task
    // manager runs its queue.
    virtual bool UseStandInFileSync() const { return true; }

    std::string Address() const { return m_emulator.Address(); }
    // Points the client at a port nobody listens on, or back at the emulator.
    void GoOffline() const {
        WriteConfig(ClientConfigIni("http://127.0.0.1:" + std::to_string(ClosedLoopbackPort())));
    }
    void GoOnline() const { WriteConfig(ClientConfigIni(Address())); }
    size_t Requests(const std::string& path) const { return m_emulator.RequestsTo(path).size(); }
    // A plain call with the session token first; the reply's value.
    std::string Call(const std::string& path, EmulatorFields fields, const std::string& key) const {
        fields.insert(fields.begin(), {"token", session.token});
        return Emulator::ReplyValue(m_emulator.CallOperation(path, fields), key);
    }
    // The cached rows of a folder.
    std::vector<RemoteItem> Cached(const std::wstring& folderId) const {
        std::vector<RemoteItem> rows;
        EXPECT_EQ(cache->GetLastSyncSnapshot(folderId, &rows), S_OK);
        return rows;
    }
    // What the bridge was asked (remember keys) and told (message texts).
    std::vector<std::wstring> Asked() const { return BridgeTexts("AskUser"); }
    std::vector<std::wstring> Told() const { return BridgeTexts("ShowMessage"); }
    std::vector<std::wstring> BridgeTexts(const std::string& operation) const {
        std::vector<std::wstring> texts;
        for (const BridgeCall& call : bridge->Calls()) {
            if (call.operation == operation)
                texts.push_back(call.texts.front());
        }
        return texts;
    }
    static std::vector<std::wstring> Names(const std::vector<RemoteItem>& items) {
        std::vector<std::wstring> names;
        for (const RemoteItem& item : items)
            names.push_back(item.name);
        return names;
    }

    CComPtr<ScriptedBridge> bridge = ScriptedBridge::Make();
    CComPtr<ITaskMgr> taskMgr;
    CComPtr<IFileSystem> facade;
    FakeFileSync* fileSync = nullptr;  // owned by the facade; null without the stand-in
};

}  // namespace pellux_test
