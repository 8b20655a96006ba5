#include "core/remotestorage/remotestorage/previewpackage.h"

#include <gtest/gtest.h>
#include <minizip/zip.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <utility>
#include <vector>

#include "platform/strings.h"
#include "tests/support/testenvironment.h"

namespace {

using pellux_test::MakeTempDir;
using pellux_test::ReadFile;
using Entries = std::vector<std::pair<std::string, std::string>>;

// Stored entries keep their bytes as they are, so a test can damage them.
bool BuildZip(const std::string& path, const Entries& entries, bool stored = false) {
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip)
        return false;
    for (const auto& entry : entries) {
        zip_fileinfo info{};
        if (zipOpenNewFileInZip(zip, entry.first.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                stored ? 0 : Z_DEFLATED, stored ? 0 : Z_DEFAULT_COMPRESSION) != ZIP_OK)
            return false;
        zipWriteInFileInZip(zip, entry.second.data(), static_cast<unsigned>(entry.second.size()));
        zipCloseFileInZip(zip);
    }
    return zipClose(zip, nullptr) == ZIP_OK;
}

std::string Picture(char fill, size_t size = 3000) {
    std::string bytes = "\xFF\xD8\xFF\xE0";
    bytes += std::string(size, fill);
    return bytes;
}

bool Exists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

// Overwrites the uncompressed size in the local header and in the central
// directory, so the archive stays coherent and only the data disagrees.
void PatchDeclaredSize(std::string& zip, uint32_t size) {
    const size_t local = zip.find("PK\x03\x04");
    const size_t central = zip.find("PK\x01\x02");
    ASSERT_NE(local, std::string::npos);
    ASSERT_NE(central, std::string::npos);
    for (int i = 0; i < 4; ++i) {
        zip[local + 22 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
        zip[central + 24 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
    }
}

class PreviewPackageTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = MakeTempDir("preview");
        package = dir + "/package.zip";
        cache = dir + "/thumb/root/item.jpg";
    }
    HRESULT Extract() { return ExtractPreviewPicture(Utf8ToWide(package), Utf8ToWide(cache)); }

    std::string dir;
    std::string package;
    std::string cache;
};

TEST_F(PreviewPackageTest, FirstExactJpgEntryIsTakenAndItsFolderCreated) {
    ASSERT_TRUE(BuildZip(package, {{"index.html", "<html></html>"},
                                   {"upper.JPG", Picture('U')},
                                   {"long.jpeg", Picture('L')},
                                   {"pages/first.jpg", Picture('1')},
                                   {"second.jpg", Picture('2')}}));
    ASSERT_EQ(Extract(), S_OK);
    EXPECT_EQ(ReadFile(cache), Picture('1'));
}

TEST_F(PreviewPackageTest, CapitalJpgOrJpegEntriesAreNotPictures) {
    ASSERT_TRUE(BuildZip(package, {{"only.JPG", Picture('U')}}));
    EXPECT_EQ(Extract(), E_FAIL);
    ASSERT_TRUE(BuildZip(package, {{"only.jpeg", Picture('L')}, {"jpg", Picture('N')}}));
    EXPECT_EQ(Extract(), E_FAIL);
    EXPECT_FALSE(Exists(cache));
}

TEST_F(PreviewPackageTest, ReplyThatIsNotAZipFails) {
    ASSERT_TRUE(pellux_test::WriteFile(package, "<html><body>Service unavailable</body></html>"));
    EXPECT_EQ(Extract(), E_FAIL);
    EXPECT_FALSE(Exists(cache));
}

TEST_F(PreviewPackageTest, DamagedPictureFailsItsCrcCheck) {
    ASSERT_TRUE(BuildZip(package, {{"p.jpg", Picture('C')}}, true));
    std::string zip = ReadFile(package);
    const size_t at = zip.find(Picture('C'));
    ASSERT_NE(at, std::string::npos);
    zip[at + 100] ^= 0x5A;
    ASSERT_TRUE(pellux_test::WriteFile(package, zip));
    EXPECT_EQ(Extract(), E_FAIL);
    EXPECT_FALSE(Exists(cache));
}

TEST_F(PreviewPackageTest, DeclaredSizeMustMatchTheBytesRead) {
    ASSERT_TRUE(BuildZip(package, {{"p.jpg", Picture('S')}}, true));
    std::string zip = ReadFile(package);
    std::string longer = zip;
    PatchDeclaredSize(longer, static_cast<uint32_t>(Picture('S').size() + 500));
    ASSERT_TRUE(pellux_test::WriteFile(package, longer));
    EXPECT_EQ(Extract(), E_FAIL);
    EXPECT_FALSE(Exists(cache));
    std::string shorter = zip;
    PatchDeclaredSize(shorter, 100);
    ASSERT_TRUE(pellux_test::WriteFile(package, shorter));
    EXPECT_EQ(Extract(), E_FAIL);
    EXPECT_FALSE(Exists(cache));
}

TEST_F(PreviewPackageTest, OversizedDeclaredSizeIsRefusedBeforeUnpacking) {
    ASSERT_TRUE(BuildZip(package, {{"p.jpg", Picture('B')}}, true));
    std::string zip = ReadFile(package);
    PatchDeclaredSize(zip, 0xFFFFFFF0u);
    ASSERT_TRUE(pellux_test::WriteFile(package, zip));
    EXPECT_EQ(Extract(), E_FAIL);
    EXPECT_FALSE(Exists(cache));
}

TEST_F(PreviewPackageTest, ShortWriteOfTheCacheFileLeavesNoFile) {
    ASSERT_TRUE(BuildZip(package, {{"p.jpg", Picture('W', 20000)}}));
    // A file-size limit makes the write stop part way, as a full disk would.
    signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const HRESULT hr = Extract();
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(hr, E_FAIL);
    EXPECT_FALSE(Exists(cache));
}

TEST_F(PreviewPackageTest, CacheFileThatCannotBeCreatedFails) {
    ASSERT_TRUE(BuildZip(package, {{"p.jpg", Picture('D')}}));
    cache = dir + "/taken";
    ASSERT_EQ(mkdir(cache.c_str(), 0700), 0);
    EXPECT_EQ(Extract(), E_FAIL);
}

}  // namespace
