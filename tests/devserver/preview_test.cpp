// The preview package: a zip whose one ".jpg" entry is the picture scaled to
// the asked size.
#include <unzip.h>

#include <cstdio>

#include "base/filecrypt/encryptedfile.h"
#include "devserver/jpegcodec.h"
#include "emulatorfixture.h"
#include "platform/strings.h"
#include "tests/support/testenvironment.h"

namespace devserver_test {

namespace {

// Entries of a zip held in memory (written to a file for minizip).
std::vector<std::pair<std::string, std::string>> ZipEntries(const std::string& bytes) {
    std::vector<std::pair<std::string, std::string>> entries;
    std::string path = pellux_test::MakeTempDir("zip") + "/package.zip";
    pellux_test::WriteFile(path, bytes);
    unzFile zip = unzOpen(path.c_str());
    if (!zip) {
        return entries;
    }
    for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK; rc = unzGoToNextFile(zip)) {
        char name[256];
        unz_file_info info;
        unzGetCurrentFileInfo(zip, &info, name, sizeof(name), nullptr, 0, nullptr, 0);
        std::string data(info.uncompressed_size, '\0');
        unzOpenCurrentFile(zip);
        int n = unzReadCurrentFile(zip, &data[0], static_cast<unsigned>(data.size()));
        unzCloseCurrentFile(zip);
        data.resize(n < 0 ? 0 : static_cast<size_t>(n));
        entries.emplace_back(name, data);
    }
    unzClose(zip);
    return entries;
}

}  // namespace

TEST_F(EmulatorTest, PreviewPackageHoldsTheScaledPicture) {
    std::string token = Login("demo", "demo");
    std::string pics = Op(token, "/xsvr/dir/", {{"fileId", ""}}).Named("Pictures")["fileId"];
    std::string id = Op(token, "/xsvr/dir/", {{"fileId", pics}}).Named("mountains.jpg")["fileId"];
    auto res = NewClient()->Get(("/dsAgent/getHtmlPackage/?token=" + token + "&fileId=" + id +
                                 "&view=pellux&clientWidth=94&clientHeight=94&compress=zip&suff=jpg")
                                    .c_str());
    ASSERT_TRUE(res);
    ASSERT_EQ(res->status, 200);
    auto entries = ZipEntries(res->body);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].first, id + ".jpg");
    devserver::RgbImage preview;
    ASSERT_TRUE(devserver::DecodeJpeg(entries[0].second, 100000, 100000, &preview));
    // 1024 x 683 fitted into 94 x 94.
    EXPECT_EQ(preview.width, 94);
    EXPECT_EQ(preview.height, 62);
    // The top of the picture is sky blue, the bottom green ridges.
    const unsigned char* top = &preview.pixels[(2 * 94 + 47) * 3];
    const unsigned char* bottom = &preview.pixels[(60 * 94 + 47) * 3];
    EXPECT_GT(top[2], top[0] + 60);
    EXPECT_GT(bottom[1], bottom[2]);
}

TEST_F(EmulatorTest, PreviewOfAnUploadedPictureIsDecryptedWithTheIssuedKey) {
    std::string token = Login("demo", "demo");
    std::string id = NewFile(token, "", "red.jpg");
    devserver::RgbImage red;
    red.width = 200;
    red.height = 100;
    for (int i = 0; i < red.width * red.height; ++i) {
        red.pixels.insert(red.pixels.end(), {230, 20, 20});
    }
    std::string plain;
    ASSERT_TRUE(devserver::EncodeJpeg(red, 90, &plain));
    Reply ask = Op(
        token, "/xsvr/requestUpload/",
        {{"fileVer", "0"}, {"size", std::to_string(plain.size())}, {"fileId", id}, {"sha1", Sha1Of(plain)}});
    ASSERT_EQ(ask.result(), "ok");
    // The client reads each hex pair of the key with its second digit as the high nibble.
    std::string hex = ask.Get("fileKey");
    uint8_t key[32];
    for (int i = 0; i < 32; ++i) {
        key[i] = static_cast<uint8_t>(std::stoi(hex.substr(2 * i + 1, 1), nullptr, 16) * 16 +
                                      std::stoi(hex.substr(2 * i, 1), nullptr, 16));
    }
    std::string dir = pellux_test::MakeTempDir("enc");
    pellux_test::WriteFile(dir + "/plain.jpg", plain);
    ASSERT_TRUE(EncryptFileToHeaderFormat(key, sizeof(key), Utf8ToWide(dir + "/plain.jpg"),
                                          Utf8ToWide(dir + "/enc")));
    std::string blob = pellux_test::ReadFile(dir + "/enc");
    httplib::MultipartFormDataItems parts{{"FileCont", blob, "{X}", "application/octet-stream"}};
    auto up = NewClient()->Post(("/store/up?stub=" + ask.Get("stub") +
                                 "&uploadSize=" + std::to_string(blob.size()) + "&uploadSha1=" + Sha1Of(blob))
                                    .c_str(),
                                parts);
    ASSERT_TRUE(up);
    ASSERT_EQ(ParseReply(up->status, up->body).result(), "ok");

    auto res = NewClient()->Get(("/dsAgent/getHtmlPackage/?token=" + token + "&fileId=" + id +
                                 "&view=pellux&clientWidth=50&clientHeight=50&compress=zip&suff=jpg")
                                    .c_str());
    ASSERT_TRUE(res);
    auto entries = ZipEntries(res->body);
    ASSERT_EQ(entries.size(), 1u);
    devserver::RgbImage preview;
    ASSERT_TRUE(devserver::DecodeJpeg(entries[0].second, 100000, 100000, &preview));
    EXPECT_EQ(preview.width, 50);
    EXPECT_EQ(preview.height, 25);
    const unsigned char* middle = &preview.pixels[(12 * 50 + 25) * 3];
    EXPECT_GT(middle[0], 180);
    EXPECT_LT(middle[1], 80);
}

TEST_F(EmulatorTest, PreviewOfContentThatIsNotAReadablePictureIsANeutralTile) {
    std::string token = Login("demo", "demo");
    std::string id = NewFile(token, "", "fake.jpg");
    ASSERT_EQ(Upload(token, id, 0, "not a picture", "not encrypted").result(), "ok");
    auto res = NewClient()->Get(("/dsAgent/getHtmlPackage/?token=" + token + "&fileId=" + id +
                                 "&view=pellux&clientWidth=40&clientHeight=30&compress=zip&suff=jpg")
                                    .c_str());
    ASSERT_TRUE(res);
    auto entries = ZipEntries(res->body);
    ASSERT_EQ(entries.size(), 1u);
    devserver::RgbImage tile;
    ASSERT_TRUE(devserver::DecodeJpeg(entries[0].second, 100000, 100000, &tile));
    EXPECT_EQ(tile.width, 40);
    EXPECT_EQ(tile.height, 30);
}

TEST_F(EmulatorTest, PreviewRequestErrorsAreHttpFailures) {
    std::string token = Login("demo", "demo");
    std::string id = Op(token, "/xsvr/dir/", {{"fileId", ""}}).Named("welcome.txt")["fileId"];
    auto get = [&](const std::string& query) {
        auto res = NewClient()->Get(("/dsAgent/getHtmlPackage/?" + query).c_str());
        return res ? res->status : 0;
    };
    EXPECT_EQ(
        get("token=bad&fileId=" + id + "&view=pellux&clientWidth=94&clientHeight=94&compress=zip&suff=jpg"),
        403);
    EXPECT_EQ(get("token=" + token +
                  "&fileId=f999999&view=pellux&clientWidth=94&clientHeight=94&compress=zip&suff=jpg"),
              404);
    EXPECT_EQ(get("token=" + token + "&fileId=" + id +
                  "&view=pellux&clientWidth=0&clientHeight=94&compress=zip&suff=jpg"),
              400);
    EXPECT_EQ(get("token=" + token + "&fileId=" + id +
                  "&view=pellux&clientWidth=94&clientHeight=x&compress=zip&suff=jpg"),
              400);
}

}  // namespace devserver_test
