#pragma once
// The facade against the service emulator: a logged-in demo account, the real
// remote storage behind a forwarding layer, the in-memory cache, a task
// manager that runs the short operations, and a recording bridge.
#include <memory>
#include <string>
#include <vector>

#include "base/settings/inisettings.h"
#include "core/filesystem/filesystem/filesystem.h"
#include "fakebridge.h"
#include "fakefilesync.h"
#include "platform/strings.h"
#include "tests/support/closedport.h"
#include "tests/support/emulatorfixture.h"
#include "tests/support/fakelocalstorage.h"
#include "tests/support/fakesynccenter.h"
#include "tests/support/faketaskmgr.h"
#include "tests/support/forwardingremotestorage.h"

namespace pellux_test {

class FacadeTest : public EmulatorTest {
protected:
    void SetUp() override {
        EmulatorTest::SetUp();
        if (HasFatalFailure())
            return;
        SetIniFolder(Utf8ToWide(ConfigFolder()));
        session = m_emulator.Login("demo", "demo");
        ASSERT_FALSE(session.token.empty());
        CComPtr<IRemoteStorage> real;
        ASSERT_EQ(CreateRemoteStorage(&real), S_OK);
        remote = CComPtr<ForwardingRemoteStorage>(new ForwardingRemoteStorage(real));
        taskMgr = FakeTaskMgr::Make(remote.get(), L"");
        syncCenter->token = Utf8ToWide(session.token);
        syncCenter->AddComponent(bridge.get());
        syncCenter->AddComponent(taskMgr.get());
        ASSERT_EQ(CreateFileSystem(&facade), S_OK);
        auto sync = std::make_unique<FakeFileSync>();
        fileSync = sync.get();
        static_cast<CFileSystem*>(facade.get())->SetFileSyncOps(std::move(sync));
        ASSERT_EQ(facade->Init(syncCenter, cache, remote, taskMgr), S_OK);
        m_emulator.ClearLog();
    }

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
    static std::vector<std::wstring> Names(const std::vector<RemoteItem>& items) {
        std::vector<std::wstring> names;
        for (const RemoteItem& item : items)
            names.push_back(item.name);
        return names;
    }

    EmulatorSession session;
    CComPtr<FakeSyncCenter> syncCenter = FakeSyncCenter::Make();
    CComPtr<FakeLocalStorage> cache = FakeLocalStorage::Make();
    CComPtr<FakeBridge> bridge = FakeBridge::Make();
    CComPtr<ForwardingRemoteStorage> remote;
    CComPtr<FakeTaskMgr> taskMgr;
    CComPtr<IFileSystem> facade;
    FakeFileSync* fileSync = nullptr;  // owned by the facade
};

}  // namespace pellux_test
