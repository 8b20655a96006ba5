// Every service operation over real HTTP against the emulator: the exact
// request it logged, how its reply becomes a result code, and the push long poll.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <memory>

#include "core/remotestorage/remotestorage/remoteoperation.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "loopbackserver.h"
#include "remotestoragetestbase.h"

namespace pellux_test {
namespace {

using OperationCall = std::function<HRESULT(IRemoteStorage&, XmlNode&)>;
template <class T>
using Operation = HRESULT (IRemoteStorage::*)(const T*, TransportProgressCallback, void*, XmlNode*);

// One operation on a new record with the token, filled in by fill.
template <class T, class Fill = void (*)(T&)>
OperationCall Op(
    Operation<T> operation, const std::string& token, Fill fill = [](T&) {}) {
    return [operation, token, fill](IRemoteStorage& s, XmlNode& reply) {
        auto record = Record<T>(token);
        fill(*record);
        return (s.*operation)(record.get(), nullptr, nullptr, &reply);
    };
}

struct OperationCase {
    std::string name;
    std::string path;
    // The fields of the exact request document; none for the GET of the long poll.
    EmulatorFields fields;
    OperationCall call;
    std::string version = "2";
};

// S_OK means the service answered "ok" to the exact document; reading a reply's
// values is one road for every operation, seen at the log-in.
TEST_F(RemoteStorageTest, EveryOperationSendsItsRequestAndReadsItsReply) {
    const std::string docs = IdOf("Documents");
    const std::string welcome = IdOf("welcome.txt");
    const std::string renameMe = New("Folder", "RenameMe");
    const std::string moveMe = New("Folder", "MoveMe");
    const std::string deleteMe = New("Folder", "DeleteMe");
    const std::string purgeMe = New("Folder", "PurgeMe");
    const std::string uploadMe = New("File", "upload.txt");
    XmlNode recycle;
    recycle.Parse(Utf8ToWide(Call("/xsvr/getRecycle/", {{"opVer", "1000000"}, {"size", "128"}})));
    ASSERT_GE(recycle.children.size(), 2u);
    const std::string cleanMe = WideToUtf8(recycle.children[0].GetValue(L"fileId"));
    const std::string recoverMe = WideToUtf8(recycle.children[1].GetValue(L"fileId"));
    const EmulatorSession second = m_emulator.Login("demo", "demo");
    const std::string token = session.token;
    const std::string helloSha1 = "aaf4c61ddcc5e8a2dabede0f3b482cd9aea9434d";

    using S = IRemoteStorage;
    auto Tok = [&](EmulatorFields fields) {
        fields.insert(fields.begin(), {"token", token});
        return fields;
    };
    std::vector<OperationCase> cases;
    cases.push_back({"Login",
                     "/xsvr/login/",
                     {{"user", "demo"},
                      {"password", "demo"},
                      {"deviceId", "pellux-0f|HOST"},
                      {"clientName", "pellux"},
                      {"clientVersion", "1.0.0.1"}},
                     [&](IRemoteStorage& s, XmlNode& reply) {
                         const HRESULT hr = Op(&S::Login, "", [](TaskData_Login& r) {
                             r.user = r.password = L"demo";
                             r.deviceId = L"pellux-0f|HOST";
                             r.clientName = L"pellux";
                             r.clientVersion = L"1.0.0.1";
                         })(s, reply);
                         EXPECT_EQ(reply.GetValue(L"userId"), Utf8ToWide(session.userId));
                         EXPECT_EQ(reply.GetValue(L"nickName"), L"Demo");
                         return hr;
                     }});
    cases.push_back(
        {"ReLogin", "/xsvr/forkToken/",
         EmulatorFields({{"token", second.token}, {"deviceId", "pellux-0f|HOST"}, {"clientName", "pellux"}}),
         Op(&S::ReLogin, second.token, [](TaskData_ReLogin& r) { r.deviceId = L"pellux-0f|HOST"; })});
    cases.push_back({"GetSpace", "/xsvr/getSpace/", Tok({}), Op<TaskData_GetSpace>(&S::GetSpace, token)});
    cases.push_back(
        {"GetMaxVers", "/xsvr/getMaxVers/", Tok({}), Op<TaskData_GetRemoteOptVer>(&S::GetMaxVers, token)});
    cases.push_back({"GetRecycle", "/xsvr/getRecycle/", Tok({{"opVer", "1000000"}, {"size", "128"}}),
                     Op(&S::GetRecycle, token, [](TaskData_GetRecycle& r) {
                         r.opVer = L"1000000";
                         r.size = 128;
                     })});
    cases.push_back(
        {"CleanRecycle", "/xsvr/cleanRecycle/", Tok({{"fileId", cleanMe}}),
         Op(&S::CleanRecycle, token, [&](TaskData_CleanRecycle& r) { r.key = Utf8ToWide(cleanMe); })});
    cases.push_back({"Recover", "/xsvr/recover/", Tok({{"fileId", recoverMe}, {"parentId", ""}}),
                     Op(&S::Recover, token, [&](TaskData_Recover& r) { r.key = Utf8ToWide(recoverMe); })});
    cases.push_back({"PushNotify", "/sync/get", {}, Op(&S::PushNotify, token, [&](TaskData_PushNotify& r) {
                         r.userId = Utf8ToWide(session.userId);
                     })});
    auto fromStart = [](TaskData_ItemSnapshot& r) {
        r.opVer = L"0";
        r.size = L"500";
    };
    const EmulatorFields snapshot = Tok({{"opVer", "0"}, {"size", "500"}});
    cases.push_back({"GetNormalItemSnapshot", "/xsvr/syncFile/", snapshot,
                     Op(&S::GetNormalItemSnapshot, token, fromStart)});
    cases.push_back({"GetDeletedItemSnapshot", "/xsvr/syncDelFile/", snapshot,
                     Op(&S::GetDeletedItemSnapshot, token, fromStart)});
    cases.push_back({"GetAllShareFile out", "/xsvr/asmGetAllSharedFiles/", Tok({{"type", "out"}}),
                     Op<TaskData_GetAllShareFile>(&S::GetAllShareFile, token), "3"});
    cases.push_back({"GetAllShareFile toMe", "/xsvr/asmGetAllSharedFiles/", Tok({{"type", "toMe"}}),
                     Op(&S::GetAllShareFile, token, [](TaskData_GetAllShareFile& r) { r.toMe = 7; }), "3"});
    cases.push_back({"Dir", "/xsvr/dir/", Tok({{"fileId", ""}}), Op<TaskData_Dir>(&S::Dir, token)});
    // The delete operations keep the caller's node as it was.
    cases.push_back(
        {"Delete", "/xsvr/delete/", Tok({{"fileId", deleteMe}}), [&](IRemoteStorage& s, XmlNode& reply) {
             reply.AddValue(L"mine", L"kept");
             const HRESULT hr =
                 Op(&S::Delete, token, [&](TaskData_Delete& r) { r.key = Utf8ToWide(deleteMe); })(s, reply);
             EXPECT_EQ(reply.values.size(), 1u);
             return hr;
         }});
    cases.push_back(
        {"DeleteEx", "/xsvr/deleteEx/", Tok({{"fileId", purgeMe}}), [&](IRemoteStorage& s, XmlNode&) {
             auto r = Record<TaskData_Delete>(token);
             r->key = Utf8ToWide(purgeMe);
             return s.DeleteEx(r.get(), nullptr, nullptr, nullptr);
         }});
    cases.push_back({"Rename", "/xsvr/rename/", Tok({{"fileId", renameMe}, {"name", "Renamed"}}),
                     Op(&S::Rename, token, [&](TaskData_Rename& r) {
                         r.key = Utf8ToWide(renameMe);
                         r.name = L"Renamed";
                     })});
    cases.push_back({"NewFolder", "/xsvr/newFolder/",
                     // Names are escaped in the document.
                     Tok({{"parentId", docs}, {"name", "New &amp; &lt;shiny&gt;"}}),
                     Op(&S::NewFolder, token, [&](TaskData_DirectoryAdd& r) {
                         r.parentId = Utf8ToWide(docs);
                         r.name = L"New & <shiny>";
                     })});
    cases.push_back({"Move", "/xsvr/move/", Tok({{"fileId", moveMe}, {"parentId", docs}, {"name", ""}}),
                     Op(&S::Move, token, [&](TaskData_Move& r) {
                         r.key = Utf8ToWide(moveMe);
                         r.parentId = Utf8ToWide(docs);
                     })});
    cases.push_back({"MoveEx", "/xsvr/move/", Tok({{"fileId", moveMe}, {"parentId", ""}, {"name", "Moved"}}),
                     Op(&S::MoveEx, token, [&](TaskData_Move& r) {
                         r.key = Utf8ToWide(moveMe);
                         r.name = L"Moved";
                     })});
    cases.push_back({"NewFile", "/xsvr/newFile/", Tok({{"parentId", ""}, {"name", "client.txt"}}),
                     Op(&S::NewFile, token, [](TaskData_NewFile& r) { r.name = L"client.txt"; })});
    cases.push_back({"UpdateFile", "/xsvr/requestUpload/",
                     Tok({{"fileVer", "0"}, {"size", "5"}, {"fileId", uploadMe}, {"sha1", helloSha1}}),
                     Op(&S::UpdateFile, token, [&](TaskData_UpdateFile& r) {
                         r.key = Utf8ToWide(uploadMe);
                         r.fileVer = L"0";
                         r.sourceSize = L"5";
                         r.sourceSha1 = Utf8ToWide(helloSha1);
                         r.uploadSize = L"999";
                     })});
    cases.push_back(
        {"FullTextSearch", "/xsvr/fullTextSearch", Tok({{"searchText", "welcome"}, {"searchType", "0"}}),
         Op(&S::FullTextSearch, token, [](TaskData_FullTextSearch& r) { r.searchText = L"welcome"; })});
    cases.push_back(
        {"GetItemInfo", "/xsvr/getItemInfo/", Tok({{"fileId", welcome}}),
         Op(&S::GetItemInfo, token, [&](TaskData_GetItemInfo& r) { r.key = Utf8ToWide(welcome); })});
    cases.push_back({"ShareFile", "/xsvr/asmShare/",
                     Tok({{"fileId", docs},
                          {"sharers", "friend,friend@pellux.test"},
                          {"writable", "true"},
                          {"sendMail", "false"}}),
                     Op(&S::ShareFile, token, [&](TaskData_ShareFile& r) {
                         r.key = Utf8ToWide(docs);
                         r.sharers = {L"friend", L"friend@pellux.test"};
                         r.writable = true;
                     })});
    cases.push_back({"SetFileModTime", "/xsvr/setModTime/",
                     Tok({{"fileId", welcome}, {"modTime", "2025-05-06 07:08:09"}}),
                     Op(&S::SetFileModTime, token, [&](TaskData_UpdateFile& r) {
                         r.key = Utf8ToWide(welcome);
                         r.modTime = L"2025-05-06 07:08:09";
                     })});

    for (const OperationCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(m_emulator.ClearLog());
        TransportUses().clear();
        XmlNode reply;
        EXPECT_EQ(c.call(*storage, reply), S_OK);
        const EmulatorRequest request = OnlyRequest();
        EXPECT_EQ(request.path, c.path);
        EXPECT_EQ(request.Header("v"), c.version);
        EXPECT_EQ(request.Header("User-Agent"), "pellux");
        if (c.fields.empty()) {
            EXPECT_EQ(request.method, "GET");
            EXPECT_EQ(request.target, "/sync/get?uid=" + session.userId);
            EXPECT_EQ(request.bodySize, 0u);
        } else {
            EXPECT_EQ(request.method, "POST");
            EXPECT_EQ(request.target, c.path);
            EXPECT_EQ(request.body, RequestDocument(c.fields));
        }
        // The long poll is held up to 270 seconds, every other operation 30.
        ASSERT_EQ(TransportUses().size(), 1u);
        EXPECT_EQ(TransportUses()[0].kind, "request");
        EXPECT_EQ(TransportUses()[0].timeout, c.fields.empty() ? 270u : 30u);
        EXPECT_TRUE(TransportUses()[0].report);
    }
}

TEST_F(RemoteStorageTest, BadCallsAndATransportThatCannotBeMadeSendNothing) {
    ASSERT_TRUE(m_emulator.ClearLog());
    auto dir = Record<TaskData_Dir>(session.token);
    EXPECT_EQ(storage->Dir(dir.get(), nullptr, nullptr, nullptr), E_POINTER);  // only deletes go without
    EXPECT_EQ(storage->Dir(nullptr, nullptr, nullptr, nullptr), E_POINTER);
    TransportCreator() = [](ITransport**) { return E_OUTOFMEMORY; };
    XmlNode reply;
    EXPECT_EQ(storage->Dir(dir.get(), nullptr, nullptr, &reply), E_OUTOFMEMORY);
    EXPECT_TRUE(m_emulator.RequestLog().empty());
}

// Header values are URL-encoded.
TEST(RemoteOperationTable, HeaderValuesAreUrlEncoded) {
    EXPECT_EQ(BuildRequestHeaders(L"a b"), "v:a%20b&User-Agent:pellux");
}

// Only the reply text counts, whatever the status line says; what was read is added to the node.
// Each case changes the root, which the next request must follow.
TEST_F(RemoteStorageTest, TheReplyTextDecidesTheCode) {
    struct Case {
        std::string body, type;
        int status;
        HRESULT expected;
        std::wstring used;  // the value read back
    };
    const std::string html =
        "<!DOCTYPE html><html><head><title>502</title></head><body><p>Bad<br></body></html>";
    const std::vector<Case> cases{
        {"<xNorle><result>ok</result><used>3</used></xNorle>", "text/xml", 500, S_OK, L"3"},
        {"<xNorle><result>targetNotExist</result><used>4</used></xNorle>", "text/xml", 200,
         E_RESULT_TARGET_NOT_EXIST, L"4"},
        {"<?xml version=\"1.0\" encoding=\"utf-8\"?><xNorle><used>1</used></xNorle>", "text/xml", 200,
         E_RESULT_SERVER_ERROR, L"1"},
        {html, "text/html", 502, E_FAIL, L""},
    };
    // Case n answers under the root ".../n".
    LoopbackServer canned;
    std::atomic<int> hits{0};
    canned.Routes().Post(R"(/(\d+)/xsvr/getSpace/)",
                         [&](const httplib::Request& request, httplib::Response& res) {
                             ++hits;
                             const Case& c = cases.at(std::stoul(request.matches[1]));
                             res.status = c.status;
                             res.set_content(c.body, c.type.c_str());
                         });
    canned.Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body.substr(0, 200) + " status " + std::to_string(c.status));
        WriteConfig(
            "[Pellux]\nServerRoot=" + WideToUtf8(canned.Url("/" + std::to_string(&c - cases.data()))) + "\n");
        XmlNode reply;
        reply.AddValue(L"before", L"kept");
        auto record = Record<TaskData_GetSpace>(session.token);
        EXPECT_EQ(storage->GetSpace(record.get(), nullptr, nullptr, &reply), c.expected);
        EXPECT_EQ(reply.GetValue(L"used"), c.used);
        EXPECT_EQ(reply.GetValue(L"before"), L"kept");
    }
    EXPECT_EQ(hits, static_cast<int>(cases.size()));
}

class PushNotifyTest : public RemoteStorageTest {
protected:
    // Long enough that an answer within the test can only come from a change.
    EmulatorOptions Options() const override {
        EmulatorOptions options;
        options.holdMs = 20000;
        return options;
    }
    HRESULT Poll(XmlNode& reply, TransportProgressCallback progress = nullptr, void* context = nullptr) {
        auto record = Record<TaskData_PushNotify>(session.token);
        record->userId = Utf8ToWide(session.userId);
        return storage->PushNotify(record.get(), progress, context, &reply);
    }
};

// A held poll answers another device's change with the new versions; a
// cancelled one ends within about a second.
TEST_F(PushNotifyTest, HeldPollReturnsTheNewVersionsAfterAChangeAndEndsOnCancel) {
    const EmulatorSession other = m_emulator.Login("demo", "demo");
    XmlNode first;
    ASSERT_EQ(Poll(first), S_OK);
    const std::wstring before = first.GetValue(L"opVer");
    ASSERT_FALSE(before.empty());

    XmlNode held;
    auto poll = std::async(std::launch::async, [&] { return Poll(held); });
    EXPECT_EQ(poll.wait_for(std::chrono::milliseconds(500)), std::future_status::timeout);
    const std::string reply = m_emulator.CallOperation(
        "/xsvr/newFolder/", {{"token", other.token}, {"parentId", ""}, {"name", "From another device"}});
    ASSERT_EQ(Emulator::ReplyValue(reply, "result"), "ok");
    ASSERT_EQ(poll.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    ASSERT_EQ(poll.get(), S_OK);
    EXPECT_EQ(held.GetValue(L"opVer"),
              Utf8ToWide(Emulator::ReplyValue(Call("/xsvr/getMaxVers/", {}), "opVer")));

    std::atomic<bool> stop{false};
    auto cancelled = std::async(std::launch::async, [&] { return Poll(held, &CancelWhenAsked, &stop); });
    ASSERT_EQ(cancelled.wait_for(std::chrono::milliseconds(500)), std::future_status::timeout);
    stop = true;
    // The transport looks at the callback about once a second; allow for a busy machine.
    ASSERT_EQ(cancelled.wait_for(std::chrono::seconds(4)), std::future_status::ready);
    EXPECT_EQ(cancelled.get(), E_CANCELLED);
}

TEST(ServerErrorTable, OnlyExactNamesAreKnown) {
    EXPECT_EQ(ServerErrorTable::Lookup(L"ok"), S_OK);
    EXPECT_EQ(ServerErrorTable::Lookup(L"serverError"), E_RESULT_SERVER_ERROR);
    for (const wchar_t* unknown : {L"OK", L"ok ", L"ServerError", L""})
        EXPECT_EQ(ServerErrorTable::Lookup(unknown), E_RESULT_UNKNOWN) << WideToUtf8(unknown);
    EXPECT_EQ(ServerErrorTable::Lookup(nullptr), E_FAIL);
}

TEST(IsRetryableTaskResult, FinalCodesAndSuccessStopTheAttempts) {
    for (HRESULT code :
         {S_OK, E_CANCELLED, E_RESULT_FILE_VER_CONFLICT, E_RESULT_PARENT_NOT_EXIST, E_RESULT_TARGET_NOT_EXIST,
          E_RESULT_EMPTY_FILE, E_RESULT_OVER_SPACE, E_RESULT_SERVER_DENY_READ_ONLY, E_LOCAL_BUSY})
        EXPECT_FALSE(IsRetryableTaskResult(code)) << std::hex << code;
    for (HRESULT code : {E_TRANSPORT_TIMEOUT, E_CHECKSUM_MISMATCH, E_RESULT_TARGET_EXIST, S_FALSE})
        EXPECT_TRUE(IsRetryableTaskResult(code)) << std::hex << code;
}

}  // namespace
}  // namespace pellux_test
