#include "core/remotestorage/remotestorage/previewpackage.h"

#include <gtest/gtest.h>
#include <minizip/zip.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
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

// The first exact ".jpg" entry is taken and its folder created; packages
// without a sound picture fail without leaving a cache file.
TEST_F(PreviewPackageTest, FirstExactJpgEntryIsTakenAndPackagesWithoutASoundPictureFail) {
    ASSERT_TRUE(BuildZip(package, {{"index.html", "<html></html>"},
                                   {"upper.JPG", Picture('U')},
                                   {"long.jpeg", Picture('L')},
                                   {"pages/first.jpg", Picture('1')},
                                   {"second.jpg", Picture('2')}}));
    ASSERT_EQ(Extract(), S_OK);
    EXPECT_EQ(ReadFile(cache), Picture('1'));
    ASSERT_EQ(std::remove(cache.c_str()), 0);
    auto zip = [&](const Entries& entries, bool stored) {
        EXPECT_TRUE(BuildZip(package, entries, stored));
        return ReadFile(package);
    };
    auto declaring = [&](uint32_t size) {
        std::string bytes = zip({{"p.jpg", Picture('S')}}, true);
        PatchDeclaredSize(bytes, size);
        return bytes;
    };
    std::string damaged = zip({{"p.jpg", Picture('C')}}, true);
    damaged[damaged.find(Picture('C')) + 100] ^= 0x5A;  // fails its CRC check
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"capital JPG", zip({{"only.JPG", Picture('U')}}, false)},
        {"jpeg or a bare jpg", zip({{"only.jpeg", Picture('L')}, {"jpg", Picture('N')}}, false)},
        {"not a zip", "<html><body>Service unavailable</body></html>"},
        {"damaged picture", damaged},
        {"declared longer than read", declaring(static_cast<uint32_t>(Picture('S').size() + 500))},
        {"declared shorter than read", declaring(100)},
        {"declared oversized", declaring(0xFFFFFFF0u)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        ASSERT_TRUE(pellux_test::WriteFile(package, c.second));
        EXPECT_EQ(Extract(), E_FAIL);
        EXPECT_FALSE(std::filesystem::exists(cache));
    }
}

// A cache file cut short (as on a full disk) is removed; one that cannot be made fails.
TEST_F(PreviewPackageTest, ACacheFileThatCannotBeWrittenWholeFailsAndLeavesNothing) {
    ASSERT_TRUE(BuildZip(package, {{"p.jpg", Picture('W', 20000)}}));
    signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const HRESULT hr = Extract();
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(hr, E_FAIL);
    EXPECT_FALSE(std::filesystem::exists(cache));
    cache = dir + "/taken";
    ASSERT_EQ(mkdir(cache.c_str(), 0700), 0);
    EXPECT_EQ(Extract(), E_FAIL);
}

}  // namespace
