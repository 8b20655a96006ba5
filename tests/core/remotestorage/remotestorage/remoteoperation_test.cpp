// What each operation hands the transport (address, headers, body, time-out),
// seen through a stand-in transport.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/settings/inisettings.h"
#include "core/remotestorage/remotestorage/filesha1.h"
#include "core/remotestorage/remotestorage/iremotestorage.h"
#include "core/remotestorage/remotestorage/remoteoperation.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "core/remotestorage/remotestorage/transport.h"
#include "platform/strings.h"
#include "tests/support/testenvironment.h"

namespace pellux_test {
namespace {

struct Exchange {
    std::string kind;  // "request", "download" or "upload"
    std::wstring url;
    std::wstring headers;
    bool hasBody = false;
    std::wstring body;
    uint32_t timeout = 0;
    bool report = false;
};

struct FakeService {
    std::vector<Exchange> exchanges;
    std::wstring reply = L"<xNorle><result>ok</result></xNorle>";
    std::string downloadBytes;
    HRESULT createResult = S_OK;
};
FakeService* g_service = nullptr;

class FakeTransport final : public CUnknownImpl<ITransport> {
public:
    HRESULT SetProgressCallback(TransportProgressCallback, void*) override { return S_OK; }
    HRESULT Request(const wchar_t* url, const wchar_t* headers, const wchar_t* body, std::wstring* reply,
                    uint32_t timeout, bool report) override {
        g_service->exchanges.push_back(
            {"request", url, headers ? headers : L"", body != nullptr, body ? body : L"", timeout, report});
        *reply = g_service->reply;
        return S_OK;
    }
    HRESULT Download(const wchar_t* url, const wchar_t* localPath, const wchar_t* headers,
                     const wchar_t* body, uint32_t timeout) override {
        g_service->exchanges.push_back(
            {"download", url, headers ? headers : L"", body != nullptr, L"", timeout});
        return WriteFile(WideToUtf8(localPath), g_service->downloadBytes) ? S_OK : E_FAIL;
    }
    HRESULT Upload(const wchar_t* url, const wchar_t*, const wchar_t* headers, const wchar_t* fields,
                   std::wstring* reply, uint32_t timeout) override {
        g_service->exchanges.push_back(
            {"upload", url, headers ? headers : L"", fields != nullptr, L"", timeout});
        *reply = g_service->reply;
        return S_OK;
    }
    HRESULT Cancel(uint32_t) override { return S_OK; }
    HRESULT SetSpeedLimit(uint32_t, uint32_t) override { return S_OK; }
};

HRESULT MakeFake(ITransport** out) {
    if (FAILED(g_service->createResult))
        return g_service->createResult;
    *out = new FakeTransport();
    (*out)->AddRef();
    return S_OK;
}

template <class T>
std::unique_ptr<T, void (*)(T*)> Record() {
    std::unique_ptr<T, void (*)(T*)> record(T::Create(), [](T* r) { r->Release(); });
    record->token = L"T";
    return record;
}

class RemoteOperationTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_service = &service;
        saved = TransportCreator();
        TransportCreator() = &MakeFake;
        folder = MakeTempDir("ini");
        ASSERT_TRUE(WriteFile(folder + "/config.ini",
                              "[Pellux]\nServerRoot=http://fs.test\nPushNotifyRoot=http://push.test:81\n"
                              "ThumbnailRoot=http://thumb.test\n"));
        SetIniFolder(Utf8ToWide(folder));
        ASSERT_EQ(CreateRemoteStorage(&storage), S_OK);
    }
    void TearDown() override {
        TransportCreator() = saved;
        g_service = nullptr;
    }

    FakeService service;
    TransportCreatorFunction saved = nullptr;
    std::string folder;
    CComPtr<IRemoteStorage> storage;
};

// The exact documents are checked against the emulator; here what it cannot
// see: the kind of exchange, whether a body goes, the time-out and the report flag.
TEST_F(RemoteOperationTest, EachOperationPicksItsExchangeTimeOutAndAddress) {
    XmlNode reply;
    auto maxVers = Record<TaskData_GetRemoteOptVer>();
    ASSERT_EQ(storage->GetMaxVers(maxVers.get(), nullptr, nullptr, &reply), S_OK);
    auto push = Record<TaskData_PushNotify>();
    push->userId = L"42";
    ASSERT_EQ(storage->PushNotify(push.get(), nullptr, nullptr, &reply), S_OK);
    auto upload = Record<TaskData_UpdateFile>();
    upload->uploadAddress = L"http://up.test/store?";
    upload->stub = L"s";
    upload->uploadSize = L"100";
    upload->uploadSha1 = L"h";
    ASSERT_EQ(storage->_UploadFile(upload.get(), nullptr, nullptr, &reply), S_OK);
    service.downloadBytes = "abc";
    service.reply =
        L"<xNorle><result>ok</result><url>http://down.test/get?</url><stub>d</stub>"
        L"<compressSha1>A9993E364706816ABA3E25717850C26C9CD0D89D</compressSha1></xNorle>";
    auto download = Record<TaskData_DownloadFile>();
    download->downloadPath = Utf8ToWide(folder + "/down.bin");
    ASSERT_EQ(storage->DownloadFile(download.get(), nullptr, nullptr, &reply), S_OK);
    auto thumb = Record<TaskData_GetThumbnail>();
    thumb->key = L"f1";
    thumb->width = 94;
    thumb->height = -1;
    thumb->downloadPath = Utf8ToWide(folder + "/pkg.zip");
    thumb->cachePath = Utf8ToWide(folder + "/thumb.jpg");
    EXPECT_EQ(storage->GetThumbnail(thumb.get(), nullptr, nullptr, nullptr), E_FAIL);

    const std::vector<Exchange> expected{
        {"request", L"http://fs.test/xsvr/getMaxVers/", L"v:2&User-Agent:pellux", true, L"", 30, true},
        {"request", L"http://push.test:81/sync/get?uid=42", L"v:2&User-Agent:pellux", false, L"", 270, true},
        {"upload", L"http://up.test/store?stub=s&uploadSize=100&uploadSha1=h", L"v:2&User-Agent:pellux",
         false, L"", 10800, false},
        {"request", L"http://fs.test/xsvr/requestDownload/", L"v:2&User-Agent:pellux", true, L"", 30, true},
        {"download", L"http://down.test/get?stub=d&bakVer=nowVer", L"v:2&User-Agent:pellux", false, L"",
         10800, false},
        {"download",
         L"http://thumb.test/dsAgent/getHtmlPackage/?token=T&fileId=f1&view=pellux&clientWidth=94"
         L"&clientHeight=-1&compress=zip&suff=jpg",
         L"v:2&User-Agent:pellux", false, L"", 10800, false},
    };
    ASSERT_EQ(service.exchanges.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Exchange& got = service.exchanges[i];
        SCOPED_TRACE(WideToUtf8(expected[i].url));
        EXPECT_EQ(got.kind, expected[i].kind);
        EXPECT_EQ(got.url, expected[i].url);
        EXPECT_EQ(got.headers, expected[i].headers);
        EXPECT_EQ(got.hasBody, expected[i].hasBody);
        EXPECT_EQ(got.timeout, expected[i].timeout);
        if (got.kind == "request")
            EXPECT_EQ(got.report, expected[i].report);
    }
}

TEST_F(RemoteOperationTest, TransportThatCannotBeMadeGivesItsCode) {
    service.createResult = E_OUTOFMEMORY;
    auto space = Record<TaskData_GetSpace>();
    XmlNode reply;
    EXPECT_EQ(storage->GetSpace(space.get(), nullptr, nullptr, &reply), E_OUTOFMEMORY);
    EXPECT_TRUE(service.exchanges.empty());
}

TEST_F(RemoteOperationTest, OnlyTheDeleteOperationsGoWithoutAReplyNode) {
    auto del = Record<TaskData_Delete>();
    EXPECT_EQ(storage->Delete(del.get(), nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(storage->DeleteEx(del.get(), nullptr, nullptr, nullptr), S_OK);
    auto dir = Record<TaskData_Dir>();
    EXPECT_EQ(storage->Dir(dir.get(), nullptr, nullptr, nullptr), E_POINTER);
    EXPECT_EQ(storage->Dir(nullptr, nullptr, nullptr, nullptr), E_POINTER);
    EXPECT_EQ(service.exchanges.size(), 2u);
}

TEST(RemoteOperationTable, EveryOperationHasItsDescriptorInOrder) {
    const auto& table = RemoteOperations();
    for (size_t i = 0; i < table.size(); ++i)
        EXPECT_EQ(static_cast<size_t>(table[i].id), i);
    EXPECT_EQ(BuildRequestHeaders(L"2"), "v:2&User-Agent:pellux");
    // Header values are URL-encoded.
    EXPECT_EQ(BuildRequestHeaders(L"a b"), "v:a%20b&User-Agent:pellux");
}

}  // namespace
}  // namespace pellux_test
