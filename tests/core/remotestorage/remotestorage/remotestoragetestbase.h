#pragma once
// The remote storage against the service emulator: a logged-in demo account,
// the client's settings pointed at the emulator, and helpers that prepare the
// service's state with plain HTTP (not through the code under test).
#include <string>
#include <vector>

#include "base/settings/inisettings.h"
#include "core/remotestorage/remotestorage/iremotestorage.h"
#include "platform/strings.h"
#include "tests/support/emulatorfixture.h"
#include "tests/support/testenvironment.h"

namespace pellux_test {

class RemoteStorageTest : public EmulatorTest {
protected:
    void SetUp() override {
        EmulatorTest::SetUp();
        if (HasFatalFailure())
            return;
        SetIniFolder(Utf8ToWide(ConfigFolder()));
        session = m_emulator.Login("demo", "demo");
        ASSERT_FALSE(session.token.empty());
        ASSERT_EQ(CreateRemoteStorage(&storage), S_OK);
        ASSERT_TRUE(storage);
    }

    std::wstring Token() const { return Utf8ToWide(session.token); }

    // A plain call with the session token first; the parsed reply.
    XmlNode Call(const std::string& path, EmulatorFields fields) const {
        fields.insert(fields.begin(), {"token", session.token});
        XmlNode reply;
        reply.Parse(Utf8ToWide(m_emulator.CallOperation(path, fields)));
        return reply;
    }
    // The id of the listed item with that name in a folder ("" = root).
    std::string IdOf(const std::string& name, const std::string& folder = "") const {
        const XmlNode reply = Call("/xsvr/dir/", {{"fileId", folder}});
        for (const XmlNode& item : reply.children) {
            if (item.GetValue(L"name") == Utf8ToWide(name))
                return WideToUtf8(item.GetValue(L"fileId"));
        }
        ADD_FAILURE() << "no item " << name;
        return std::string();
    }
    std::string NewFolder(const std::string& name, const std::string& parent = "") const {
        return WideToUtf8(
            Call("/xsvr/newFolder/", {{"parentId", parent}, {"name", name}}).GetValue(L"fileId"));
    }
    std::string NewFile(const std::string& name, const std::string& parent = "") const {
        return WideToUtf8(Call("/xsvr/newFile/", {{"parentId", parent}, {"name", name}}).GetValue(L"fileId"));
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

// The request document exactly as the service expects it.
inline std::string RequestDocument(const EmulatorFields& fields) {
    std::string document = "<?xml version=\"1.0\" encoding=\"utf-8\" ?><xNorle>";
    for (const auto& field : fields)
        document += "<" + field.first + ">" + field.second + "</" + field.first + ">";
    return document + "</xNorle>";
}

}  // namespace pellux_test
