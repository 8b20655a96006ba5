// Uploads, downloads and previews through the addresses the service hands out,
// and the file digest they are checked with.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <memory>
#include <functional>

#include "core/remotestorage/remotestorage/filesha1.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "loopbackserver.h"
#include "tests/support/testenvironment.h"
#include "remotestoragetestbase.h"

namespace pellux_test {
namespace {

std::string Sha1Of(const std::string& path) {
    std::wstring hex;
    EXPECT_EQ(FileSha1Hex(Utf8ToWide(path), std::function<bool()>(), hex), S_OK);
    return WideToUtf8(hex);
}

std::string SomeBytes(size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 2654435761u + seed) >> 13);
    return bytes;
}

class TransferTest : public RemoteStorageTest {
protected:
    void SetUp() override {
        RemoteStorageTest::SetUp();
        dir = MakeTempDir("transfer");
    }

    // requestUpload through the storage; fills the record's address and stub.
    void RequestUpload(TaskData_UpdateFile& record, const std::string& fileId, const std::string& fileVer,
                       const std::string& encoded) {
        record.key = Utf8ToWide(fileId);
        record.fileVer = Utf8ToWide(fileVer);
        // Downloads never take more than the announced size plus the format's overhead.
        record.sourceSize = std::to_wstring(encoded.size());
        record.sourceSha1 = L"aaf4c61ddcc5e8a2dabede0f3b482cd9aea9434d";
        record.encodedFilePath = Utf8ToWide(dir + "/{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}");
        ASSERT_TRUE(WriteFile(WideToUtf8(record.encodedFilePath), encoded));
        record.uploadSize = std::to_wstring(encoded.size());
        record.uploadSha1 = Utf8ToWide(Sha1Of(WideToUtf8(record.encodedFilePath)));
        XmlNode reply;
        ASSERT_EQ(storage->UpdateFile(&record, nullptr, nullptr, &reply), S_OK);
        record.uploadAddress = reply.GetValue(L"url");
        record.stub = reply.GetValue(L"stub");
    }
    // A new file entry with one or more versions uploaded through the storage.
    std::string FileWithVersions(const std::string& name, const std::vector<std::string>& blobs) {
        const std::string id = New("File", name);
        for (size_t i = 0; i < blobs.size(); ++i) {
            auto record = Record<TaskData_UpdateFile>(session.token);
            RequestUpload(*record, id, std::to_string(i), blobs[i]);
            XmlNode reply;
            EXPECT_EQ(storage->_UploadFile(record.get(), nullptr, nullptr, &reply), S_OK);
        }
        return id;
    }
    HRESULT Download(const std::string& fileId, int previous, const std::string& path, XmlNode& reply) {
        auto record = Record<TaskData_DownloadFile>(session.token);
        record->key = Utf8ToWide(fileId);
        record->previousVersion = previous;
        record->downloadPath = Utf8ToWide(path);
        return storage->DownloadFile(record.get(), nullptr, nullptr, &reply);
    }
    HRESULT Thumbnail(const std::string& fileId, const std::string& package, const std::string& cache) {
        auto record = Record<TaskData_GetThumbnail>(session.token);
        record->key = Utf8ToWide(fileId);
        record->width = 94;
        record->height = 80;
        record->downloadPath = Utf8ToWide(package);
        record->cachePath = Utf8ToWide(cache);
        return storage->GetThumbnail(record.get(), nullptr, nullptr, nullptr);
    }

    std::string dir;
};

// Failures first, then the upload as handed out.
TEST_F(TransferTest, UploadFailuresMapToTheirCodesAndTheUploadSendsTheQuery) {
    const std::string encoded = SomeBytes(200000, 1);
    auto good = Record<TaskData_UpdateFile>(session.token);
    RequestUpload(*good, New("File", "upload.bin"), "0", encoded);
    LoopbackServer other;
    std::string target;
    other.Routes().Post("/no-result", [&target](const httplib::Request& request, httplib::Response& res) {
        target = request.target;
        res.set_content("<xNorle><fileVer>3</fileVer></xNorle>", "text/xml");
    });
    other.Routes().Post(
        "/empty", [](const httplib::Request&, httplib::Response& res) { res.set_content("", "text/xml"); });
    other.Start();
    struct Case {
        const char* what;
        std::function<void(TaskData_UpdateFile&)> change;
        const char* fault;
        HRESULT expected;
    };
    const std::vector<Case> cases = {
        // The service checks the digest of what arrived.
        {"wrong digest", [](TaskData_UpdateFile& r) { r.uploadSha1 = std::wstring(40, L'0'); }, nullptr,
         E_RESULT_UPLOAD_ERROR},
        {"badStub answered", nullptr, "path=/store/up&result=badStub", E_RESULT_BAD_STUB},
        // The stub reaches the service exactly as it handed it out.
        {"reply without result",
         [&](TaskData_UpdateFile& r) {
             r.uploadAddress = other.Url("/no-result?");
             r.stub = L"a%2B/b=c+d";
         },
         nullptr, E_RESULT_SERVER_ERROR},
        {"empty reply", [&](TaskData_UpdateFile& r) { r.uploadAddress = other.Url("/empty?"); }, nullptr,
         E_FAIL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto record = Record<TaskData_UpdateFile>(session.token);
        *record = *good;
        if (c.change)
            c.change(*record);
        if (c.fault) {
            ASSERT_TRUE(m_emulator.AddFault(c.fault));
        }
        XmlNode reply;
        EXPECT_EQ(storage->_UploadFile(record.get(), nullptr, nullptr, &reply), c.expected);
    }
    EXPECT_EQ(target,
              "/no-result?stub=a%2B/b=c+d&uploadSize=200000&uploadSha1=" + WideToUtf8(good->uploadSha1));

    ASSERT_TRUE(m_emulator.ClearLog());
    TransportUses().clear();
    XmlNode reply;
    ASSERT_EQ(storage->_UploadFile(good.get(), nullptr, nullptr, &reply), S_OK);
    EXPECT_EQ(reply.GetValue(L"fileVer"), L"1");
    // Transfers may take three hours.
    ASSERT_EQ(TransportUses().size(), 1u);
    EXPECT_EQ(TransportUses()[0].kind, "upload");
    EXPECT_EQ(TransportUses()[0].timeout, 10800u);
    const EmulatorRequest request = OnlyRequest();
    const std::string address = WideToUtf8(good->uploadAddress).substr(m_emulator.Address().size());
    EXPECT_EQ(request.target, address + "stub=" + WideToUtf8(good->stub) +
                                  "&uploadSize=200000&uploadSha1=" + WideToUtf8(good->uploadSha1));
    // One part only: the encoded file, under its own name, byte for byte.
    ASSERT_EQ(request.parts.size(), 1u);
    const EmulatorPart* file = request.Part("FileCont");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->filename, "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}");
    EXPECT_EQ(file->size, encoded.size());
    EXPECT_TRUE(file->content == encoded);
}

// The current or the previous version: the address request, then the fetch
// into missing folders, with the file checked against the announced digest.
TEST_F(TransferTest, DownloadAsksForTheAddressThenFetchesAndChecksTheFile) {
    const std::vector<std::string> versions = {SomeBytes(70000, 3), SomeBytes(50000, 4)};
    const std::string id = FileWithVersions("versions.bin", versions);
    for (int previous : {0, 1}) {
        SCOPED_TRACE(previous);
        ASSERT_TRUE(m_emulator.ClearLog());
        TransportUses().clear();
        const std::string path = dir + "/new/folder" + std::to_string(previous) + "/versions.bin";
        XmlNode reply;
        ASSERT_EQ(Download(id, previous, path, reply), S_OK);
        EXPECT_EQ(ReadFile(path), versions[1 - previous]);
        ASSERT_EQ(TransportUses().size(), 2u);
        EXPECT_EQ(TransportUses()[0].timeout, 30u);
        EXPECT_EQ(TransportUses()[1].kind, "download");
        EXPECT_EQ(TransportUses()[1].timeout, 10800u);
        // The reply is the address request's, for the fields the caller reads.
        EXPECT_EQ(reply.GetValue(L"fileKey").size(), 64u);
        const std::vector<EmulatorRequest> log = m_emulator.RequestLog();
        ASSERT_EQ(log.size(), 2u);
        EXPECT_EQ(log[0].target, previous ? "/xsvr/requestDownloadPreviousVer/" : "/xsvr/requestDownload/");
        EXPECT_EQ(log[0].body, RequestDocument({{"token", session.token}, {"fileId", id}}));
        const std::string address = WideToUtf8(reply.GetValue(L"url")).substr(m_emulator.Address().size());
        EXPECT_EQ(log[1].target, address + "stub=" + WideToUtf8(reply.GetValue(L"stub")) +
                                     (previous ? "&bakVer=previousVer" : "&bakVer=nowVer"));
    }
}

// The digest grows while the bytes arrive, inline for small bodies and on a
// helper thread for large ones; the sink sees exactly what the file gets, and a
// corrupted file is caught and left whole for the caller.
TEST_F(TransferTest, StreamedDigestCatchesACorruptedByteAtEverySize) {
    struct Case {
        size_t size;
        bool corrupt;
        bool sink;
    };
    const std::vector<Case> cases = {{1, false, true},     {65537, false, true},   {65537, true, true},
                                     {65537, true, false}, {3000017, false, true}, {3000017, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.size) + (c.corrupt ? " corrupted" : "") +
                     (c.sink ? "" : " without sink"));
        const std::string blob = SomeBytes(c.size, static_cast<unsigned>(c.size));
        const std::string id = FileWithVersions(
            "blob" + std::to_string(c.size) + (c.corrupt ? "c" : "") + (c.sink ? "s" : "") + ".bin", {blob});
        if (c.corrupt) {
            ASSERT_TRUE(m_emulator.AddFault("path=/store/down&corrupt=1"));
        }
        auto record = Record<TaskData_DownloadFile>(session.token);
        record->key = Utf8ToWide(id);
        const std::string path = dir + "/streamed.bin";
        record->downloadPath = Utf8ToWide(path);
        std::string seen;
        const TransportDownloadSink sink = [&seen](const void* bytes, size_t length) {
            seen.append(static_cast<const char*>(bytes), length);
            return true;
        };
        XmlNode reply;
        EXPECT_EQ(c.sink ? storage->DownloadFileStreaming(record.get(), sink, nullptr, nullptr, &reply)
                         : storage->DownloadFile(record.get(), nullptr, nullptr, &reply),
                  c.corrupt ? E_CHECKSUM_MISMATCH : S_OK);
        const std::string written = ReadFile(path);
        EXPECT_TRUE(c.sink ? seen == written : seen.empty());
        EXPECT_EQ(written.size(), blob.size());
        EXPECT_EQ(written == blob, !c.corrupt);
    }
}

// A service whose download reply announces the "compressSha1" the file id names.
TEST_F(TransferTest, CompressSha1IsComparedIgnoringCaseAndMustNotBeEmpty) {
    const std::string content = SomeBytes(1000, 5);
    ASSERT_TRUE(WriteFile(dir + "/content", content));
    std::string upper = Sha1Of(dir + "/content");
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    LoopbackServer service;
    service.Routes().Post(
        "/xsvr/requestDownload/", [&](const httplib::Request& request, httplib::Response& res) {
            const bool wrong = request.body.find("wrong") != std::string::npos;
            const bool empty = request.body.find("empty") != std::string::npos;
            res.set_content("<xNorle><result>ok</result><url>" + WideToUtf8(service.Url("/blob?")) +
                                "</url><stub>s1</stub><compressSha1>" +
                                (wrong   ? "da39a3ee5e6b4b0d3255bfef95601890afd80709"
                                 : empty ? ""
                                         : upper) +
                                "</compressSha1></xNorle>",
                            "text/xml");
        });
    service.Routes().Get("/blob", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(content, "application/octet-stream");
    });
    service.Start();
    WriteConfig("[Pellux]\nServerRoot=" + WideToUtf8(service.Url("")) + "\n");
    for (const auto& c : std::vector<std::pair<std::string, HRESULT>>{
             {"upper", S_OK}, {"empty", E_CHECKSUM_MISMATCH}, {"wrong", E_CHECKSUM_MISMATCH}}) {
        XmlNode reply;
        EXPECT_EQ(Download(c.first, 0, dir + "/" + c.first, reply), c.second) << c.first;
        EXPECT_EQ(ReadFile(dir + "/" + c.first), content) << c.first;
    }
}

TEST_F(TransferTest, ThumbnailPreviewIsFetchedCachedAndNoPackageOrFailedDownloadIsLeft) {
    const std::string sunset = IdOf("sunset.jpg", IdOf("Pictures"));
    ASSERT_TRUE(m_emulator.ClearLog());
    TransportUses().clear();
    const std::string package = dir + "/tmp/package.zip";
    const std::string cache = dir + "/thumb/root/" + sunset + ".jpg";
    ASSERT_EQ(Thumbnail(sunset, package, cache), S_OK);
    ASSERT_EQ(TransportUses().size(), 1u);
    EXPECT_EQ(TransportUses()[0].kind, "download");
    EXPECT_EQ(TransportUses()[0].timeout, 10800u);
    const std::string picture = ReadFile(cache);
    ASSERT_GT(picture.size(), 4u);
    EXPECT_EQ(picture.substr(0, 2), "\xFF\xD8");
    EXPECT_FALSE(std::filesystem::exists(package));

    const EmulatorRequest request = OnlyRequest();
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.target, "/dsAgent/getHtmlPackage/?token=" + session.token + "&fileId=" + sunset +
                                  "&view=pellux&clientWidth=94&clientHeight=80&compress=zip&suff=jpg");
    EXPECT_EQ(request.Header("v"), "2");

    // Failed downloads and previews leave no file.
    XmlNode missing, partial;
    EXPECT_EQ(Download("no-such-item", 0, dir + "/missing.bin", missing), E_RESULT_TARGET_NOT_EXIST);
    EXPECT_FALSE(std::filesystem::exists(dir + "/missing.bin"));
    ASSERT_TRUE(m_emulator.AddFault("path=/store/down&status=206"));
    EXPECT_EQ(Download(IdOf("welcome.txt"), 0, dir + "/partial.bin", partial), E_RESULT_BAD_STUB);
    EXPECT_EQ(Thumbnail("no-such-item", package, dir + "/thumb/a.jpg"), E_RESULT_BAD_STUB);
    EXPECT_FALSE(std::filesystem::exists(package));
}

// Several chunks and a short tail, the callback asked once per chunk and able to
// stop; a missing file or a folder fails and leaves hex alone.
TEST(FileSha1Hex, DigestsInLowerCaseAcrossChunksStopOnRequestAndMissingFilesFail) {
    const std::string dir = MakeTempDir("sha1");
    std::string big;
    for (size_t i = 0; i < 3 * kFileSha1ChunkBytes + 17; ++i)
        big += static_cast<char>((i * 131 + i / 7) & 0xFF);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {big, "c6fbc115686de21dbe4f4e6f7fa697f60fc043c4"},  // as sha1sum gives it
    };
    std::wstring hex;
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteFile(dir + "/f", c.first));
        ASSERT_EQ(FileSha1Hex(Utf8ToWide(dir + "/f"), std::function<bool()>(), hex), S_OK);
        EXPECT_EQ(WideToUtf8(hex), c.second) << c.first.size();
    }
    int calls = 0;
    EXPECT_EQ(FileSha1Hex(
                  Utf8ToWide(dir + "/f"), [&] { return ++calls > 0; }, hex),
              S_OK);
    EXPECT_EQ(calls, 4);
    calls = 0;
    EXPECT_EQ(FileSha1Hex(
                  Utf8ToWide(dir + "/f"), [&] { return ++calls < 1; }, hex),
              E_FAIL);
    EXPECT_EQ(calls, 1);
    // The flag form stops the same way.
    std::atomic<bool> cancel{true};
    EXPECT_EQ(FileSha1Hex(Utf8ToWide(dir + "/f"), cancel, hex), E_FAIL);
    hex = L"untouched";
    EXPECT_EQ(FileSha1Hex(Utf8ToWide(dir + "/none"), std::function<bool()>(), hex), E_FAIL);
    EXPECT_EQ(FileSha1Hex(Utf8ToWide(dir), std::function<bool()>(), hex), E_FAIL);
    EXPECT_EQ(hex, L"untouched");
}

}  // namespace
}  // namespace pellux_test
