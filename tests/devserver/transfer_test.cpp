// Uploads, downloads, their checks and previous versions.
#include "emulatorfixture.h"

namespace devserver_test {

TEST_F(EmulatorTest, UploadThenDownloadReturnsTheSameBlob) {
    std::string token = Login("demo", "demo");
    std::string file = NewFile(token, "", "round.bin");
    std::string plain(200000, '\0');
    std::string blob;
    for (size_t i = 0; i < 300000; ++i) {
        blob += static_cast<char>((i * 7919) & 0xFF);
    }
    Reply up = Upload(token, file, 0, plain, blob);
    ASSERT_EQ(up.result(), "ok") << up.body;
    EXPECT_EQ(up.Get("fileVer"), "1");
    Reply ask;
    int status = 0;
    EXPECT_EQ(Download(token, file, &ask, &status), blob);
    EXPECT_EQ(status, 200);
    EXPECT_EQ(ask.Get("compressSha1"), Sha1Of(blob));
    EXPECT_EQ(ask.Get("sha1"), Sha1Of(plain));
    EXPECT_EQ(ask.Get("fileVer"), "1");
    EXPECT_EQ(ask.Get("fileKey").size(), 64u);
    EXPECT_FALSE(ask.Get("modTime").empty());
    ReplyItem listed = Op(token, "/xsvr/dir/", {{"fileId", ""}}).Named("round.bin");
    EXPECT_EQ(listed["size"], "200000");
    EXPECT_EQ(listed["sha1"], Sha1Of(plain));
}

TEST_F(EmulatorTest, DemoBlobsAreEncryptedFilesMatchingTheirDigests) {
    std::string token = Login("demo", "demo");
    std::string id = Op(token, "/xsvr/dir/", {{"fileId", ""}}).Named("welcome.txt")["fileId"];
    Reply ask;
    std::string blob = Download(token, id, &ask);
    EXPECT_EQ(blob.substr(0, 19), "Velmoran_FileHeader");
    EXPECT_EQ(blob.size(), 47u + 32u);  // 29 bytes padded to 32
    EXPECT_EQ(Sha1Of(blob), ask.Get("compressSha1"));
}

TEST_F(EmulatorTest, UploadWithWrongSizeDigestOrStubIsUploadError) {
    std::string token = Login("demo", "demo");
    std::string file = NewFile(token, "", "checked.bin");
    Reply ask = Op(token, "/xsvr/requestUpload/",
                   {{"fileVer", "0"}, {"size", "5"}, {"fileId", file}, {"sha1", Sha1Of("plain")}});
    ASSERT_EQ(ask.result(), "ok");
    auto post = [&](const std::string& query, const std::string& body) {
        httplib::MultipartFormDataItems parts{{"FileCont", body, "{X}", "application/octet-stream"}};
        auto res = NewClient()->Post(("/store/up?" + query).c_str(), parts);
        return res ? ParseReply(res->status, res->body) : Reply();
    };
    std::string stub = ask.Get("stub");
    EXPECT_EQ(post("stub=" + stub + "&uploadSize=4&uploadSha1=" + Sha1Of("blob"), "blobs").result(),
              "uploadError");
    EXPECT_EQ(post("stub=" + stub + "&uploadSize=4&uploadSha1=" + Sha1Of("other"), "blob").result(),
              "uploadError");
    EXPECT_EQ(post("stub=nostub&uploadSize=4&uploadSha1=" + Sha1Of("blob"), "blob").result(), "uploadError");
    EXPECT_EQ(Op(token, "/xsvr/getItemInfo/", {{"fileId", file}}).Get("fileVer"), "0");
    // The stub still works for a correct upload, and only once.
    EXPECT_EQ(post("stub=" + stub + "&uploadSize=4&uploadSha1=" + Sha1Of("BLOB"), "BLOB").result(), "ok");
    EXPECT_EQ(post("stub=" + stub + "&uploadSize=4&uploadSha1=" + Sha1Of("BLOB"), "BLOB").result(),
              "uploadError");
    // Upper-case digests in the query are accepted.
    std::string upper = Sha1Of("blob");
    for (char& c : upper) {
        c = static_cast<char>(toupper(c));
    }
    Reply ask2 = Op(token, "/xsvr/requestUpload/",
                    {{"fileVer", "1"}, {"size", "5"}, {"fileId", file}, {"sha1", Sha1Of("plain")}});
    EXPECT_EQ(post("stub=" + ask2.Get("stub") + "&uploadSize=4&uploadSha1=" + upper, "blob").result(), "ok");
}

TEST_F(EmulatorTest, UploadBodyThatIsNotAWholeFormIsUploadError) {
    std::string token = Login("demo", "demo");
    std::string file = NewFile(token, "", "cut.bin");
    Reply ask = Op(token, "/xsvr/requestUpload/",
                   {{"fileVer", "0"}, {"size", "1"}, {"fileId", file}, {"sha1", Sha1Of("p")}});
    ASSERT_EQ(ask.result(), "ok");
    std::string target = "/store/up?stub=" + ask.Get("stub") + "&uploadSize=1&uploadSha1=" + Sha1Of("a");
    // The file part is complete but the closing boundary never comes.
    std::string cut =
        "--xyz\r\nContent-Disposition: form-data; name=\"FileCont\"; filename=\"a\"\r\n\r\na\r\n--xy";
    for (const auto& [type, body] : std::vector<std::pair<std::string, std::string>>{
             {"multipart/form-data; boundary=xyz", cut}, {"multipart/form-data", "a"}, {"text/plain", "a"}}) {
        auto res = NewClient()->Post(target.c_str(), body, type.c_str());
        ASSERT_TRUE(res) << type;
        EXPECT_EQ(ParseReply(res->status, res->body).result(), "uploadError") << type;
    }
    EXPECT_EQ(Op(token, "/xsvr/getItemInfo/", {{"fileId", file}}).Get("fileVer"), "0");
}

TEST_F(EmulatorTest, StaleBaseVersionIsFileVerConflict) {
    std::string token = Login("demo", "demo");
    std::string file = NewFile(token, "", "versions.txt");
    ASSERT_EQ(Upload(token, file, 0, "v1", "b1").result(), "ok");
    EXPECT_EQ(Upload(token, file, 0, "v2", "b2").result(), "fileVerConflict");
    ASSERT_EQ(Upload(token, file, 1, "v2", "b2").result(), "ok");
    EXPECT_EQ(Op(token, "/xsvr/getItemInfo/", {{"fileId", file}}).Get("fileVer"), "2");
    // Two uploads prepared on the same version: the second content POST loses.
    Reply a = Op(token, "/xsvr/requestUpload/",
                 {{"fileVer", "2"}, {"size", "1"}, {"fileId", file}, {"sha1", Sha1Of("a")}});
    Reply b = Op(token, "/xsvr/requestUpload/",
                 {{"fileVer", "2"}, {"size", "1"}, {"fileId", file}, {"sha1", Sha1Of("b")}});
    auto post = [&](const Reply& ask, const std::string& body) {
        httplib::MultipartFormDataItems parts{{"FileCont", body, "{X}", "application/octet-stream"}};
        auto res = NewClient()->Post(("/store/up?stub=" + ask.Get("stub") + "&uploadSize=" +
                                      std::to_string(body.size()) + "&uploadSha1=" + Sha1Of(body))
                                         .c_str(),
                                     parts);
        return ParseReply(res->status, res->body);
    };
    EXPECT_EQ(post(a, "A").result(), "ok");
    EXPECT_EQ(post(b, "B").result(), "fileVerConflict");
}

TEST_F(EmulatorTest, PreviousVersionStaysDownloadable) {
    std::string token = Login("demo", "demo");
    std::string file = NewFile(token, "", "history.txt");
    EXPECT_EQ(Op(token, "/xsvr/requestDownloadPreviousVer/", {{"fileId", file}}).result(), "emptyFile");
    ASSERT_EQ(Upload(token, file, 0, "first", "blob-first").result(), "ok");
    EXPECT_EQ(Op(token, "/xsvr/requestDownloadPreviousVer/", {{"fileId", file}}).result(), "targetNotExist");
    ASSERT_EQ(Upload(token, file, 1, "second", "blob-second").result(), "ok");
    Reply prev = Op(token, "/xsvr/requestDownloadPreviousVer/", {{"fileId", file}});
    ASSERT_EQ(prev.result(), "ok");
    EXPECT_EQ(prev.Get("fileVer"), "1");
    EXPECT_EQ(prev.Get("sha1"), Sha1Of("first"));
    std::string prefix = "http://127.0.0.1:" + std::to_string(m_port);
    auto res = NewClient()->Get(
        (prev.Get("url").substr(prefix.size()) + "stub=" + prev.Get("stub") + "&bakVer=previousVer").c_str());
    ASSERT_TRUE(res);
    EXPECT_EQ(res->body, "blob-first");
    EXPECT_EQ(Download(token, file), "blob-second");
}

TEST_F(EmulatorTest, DownloadErrors) {
    std::string token = Login("demo", "demo");
    std::string file = NewFile(token, "", "never.txt");
    EXPECT_EQ(Op(token, "/xsvr/requestDownload/", {{"fileId", file}}).result(), "emptyFile");
    EXPECT_EQ(Op(token, "/xsvr/requestDownload/", {{"fileId", "f999999"}}).result(), "targetNotExist");
    std::string folder = NewFolder(token, "", "NotAFile");
    EXPECT_EQ(Op(token, "/xsvr/requestDownload/", {{"fileId", folder}}).result(), "clientBadParams");
    auto res = NewClient()->Get("/store/down?stub=dnothing&bakVer=nowVer");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 404);
    res = NewClient()->Get("/store/down?stub=dnothing&bakVer=other");
    EXPECT_EQ(res->status, 400);
}

TEST_F(EmulatorTest, RequestUploadRefusesBadFieldsAndTooMuchData) {
    std::string token = Login("demo", "demo");
    std::string file = NewFile(token, "", "quota.bin");
    auto ask = [&](const std::string& ver, const std::string& size, const std::string& sha1) {
        return Op(token, "/xsvr/requestUpload/",
                  {{"fileVer", ver}, {"size", size}, {"fileId", file}, {"sha1", sha1}})
            .result();
    };
    EXPECT_EQ(ask("0", "6000000000", Sha1Of("x")), "overSpace");
    EXPECT_EQ(ask("0", "-1", Sha1Of("x")), "clientBadParams");
    EXPECT_EQ(ask("zero", "1", Sha1Of("x")), "clientBadParams");
    EXPECT_EQ(ask("0", "1", "abc"), "clientBadParams");
    EXPECT_EQ(ask("0", "1", Sha1Of("x")), "ok");
    std::string folder = NewFolder(token, "", "Folder");
    EXPECT_EQ(Op(token, "/xsvr/requestUpload/",
                 {{"fileVer", "0"}, {"size", "1"}, {"fileId", folder}, {"sha1", Sha1Of("x")}})
                  .result(),
              "clientBadParams");
}

}  // namespace devserver_test
