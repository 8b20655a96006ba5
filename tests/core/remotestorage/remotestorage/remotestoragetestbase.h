#pragma once
// The remote storage against the service emulator: a logged-in demo account,
// the client's settings pointed at the emulator, and helpers that prepare the
// service's state with plain HTTP (not through the code under test).
#include <memory>
#include <string>
#include <vector>

#include "base/settings/inisettings.h"
#include "core/remotestorage/remotestorage/iremotestorage.h"
#include "core/remotestorage/remotestorage/transport.h"
#include "platform/strings.h"
#include "tests/support/emulatorfixture.h"
#include "tests/support/testenvironment.h"

namespace pellux_test {

// What the storage asked of its transports: the emulator sees the requests,
// not the time-outs or whether a failure is reported.
struct TransportUse {
    std::string kind;  // "request", "download" or "upload"
    uint32_t timeout;
    bool report;
};
inline std::vector<TransportUse>& TransportUses() {
    static std::vector<TransportUse> uses;
    return uses;
}

// The real transport, recording each use.
class RecordingTransport final : public CUnknownImpl<ITransport> {
public:
    static HRESULT Create(ITransport** out) {
        auto* recorder = new RecordingTransport();
        recorder->AddRef();
        *out = recorder;
        return CTransport::CreateInstance(&recorder->m_real);
    }
    HRESULT SetProgressCallback(TransportProgressCallback callback, void* context) override {
        return m_real->SetProgressCallback(callback, context);
    }
    HRESULT Request(const wchar_t* url, const wchar_t* headers, const wchar_t* body, std::wstring* reply,
                    uint32_t timeout, bool report) override {
        TransportUses().push_back({"request", timeout, report});
        return m_real->Request(url, headers, body, reply, timeout, report);
    }
    HRESULT Download(const wchar_t* url, const wchar_t* path, const wchar_t* headers, const wchar_t* body,
                     uint32_t timeout) override {
        TransportUses().push_back({"download", timeout, false});
        return m_real->Download(url, path, headers, body, timeout);
    }
    HRESULT Upload(const wchar_t* url, const wchar_t* path, const wchar_t* headers, const wchar_t* fields,
                   std::wstring* reply, uint32_t timeout) override {
        TransportUses().push_back({"upload", timeout, false});
        return m_real->Upload(url, path, headers, fields, reply, timeout);
    }
    HRESULT Cancel(uint32_t unused) override { return m_real->Cancel(unused); }
    HRESULT SetSpeedLimit(uint32_t up, uint32_t down) override { return m_real->SetSpeedLimit(up, down); }
    HRESULT SetMaxDownloadBytes(int64_t maxBytes) override { return m_real->SetMaxDownloadBytes(maxBytes); }
    HRESULT SetDownloadSink(TransportDownloadSink sink) override {
        return m_real->SetDownloadSink(std::move(sink));
    }

private:
    CComPtr<ITransport> m_real;
};

class RemoteStorageTest : public EmulatorTest {
protected:
    void SetUp() override {
        EmulatorTest::SetUp();
        if (HasFatalFailure())
            return;
        TransportCreator() = &RecordingTransport::Create;
        TransportUses().clear();
        SetIniFolder(Utf8ToWide(ConfigFolder()));
        session = m_emulator.Login("demo", "demo");
        ASSERT_FALSE(session.token.empty());
        ASSERT_EQ(CreateRemoteStorage(&storage), S_OK);
        ASSERT_TRUE(storage);
    }

    void TearDown() override {
        TransportCreator() = &CTransport::CreateInstance;
        EmulatorTest::TearDown();
    }

    // A plain call with the session token first; the reply text.
    std::string Call(const std::string& path, EmulatorFields fields) const {
        fields.insert(fields.begin(), {"token", session.token});
        return m_emulator.CallOperation(path, fields);
    }
    // The id of the listed item with that name in a folder ("" = root).
    std::string IdOf(const std::string& name, const std::string& folder = "") const {
        return Emulator::ItemValue(Call("/xsvr/dir/", {{"fileId", folder}}), name, "fileId");
    }
    // A new folder or file in the root; its id.
    std::string New(const std::string& kind, const std::string& name) const {
        return Emulator::ReplyValue(Call("/xsvr/new" + kind + "/", {{"parentId", ""}, {"name", name}}),
                                    "fileId");
    }
    // The only request the emulator logged since the log was cleared.
    EmulatorRequest OnlyRequest() const {
        const std::vector<EmulatorRequest> log = m_emulator.RequestLog();
        EXPECT_EQ(log.size(), 1u);
        return log.empty() ? EmulatorRequest() : log.back();
    }

    EmulatorSession session;
    CComPtr<IRemoteStorage> storage;
};

// A new task record with the session token.
template <class T>
std::unique_ptr<T, void (*)(T*)> Record(const std::string& token) {
    std::unique_ptr<T, void (*)(T*)> record(T::Create(), [](T* r) { r->Release(); });
    record->token = Utf8ToWide(token);
    return record;
}

// The request document exactly as the service expects it.
inline std::string RequestDocument(const EmulatorFields& fields) {
    std::string document = "<?xml version=\"1.0\" encoding=\"utf-8\" ?><xNorle>";
    for (const auto& field : fields)
        document += "<" + field.first + ">" + field.second + "</" + field.first + ">";
    return document + "</xNorle>";
}

}  // namespace pellux_test
