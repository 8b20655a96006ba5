#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "base/filecrypt/encryptedfile.h"
#include "core/localstorage/localstorage/compresspolicy.h"
#include "core/localstorage/localstorage/filekey.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "tests/core/localstorage/localstorage/localstoragefixture.h"

namespace fs = std::filesystem;
using pellux_test::ReadFile;
using pellux_test::RunCommand;
using pellux_test::WriteFile;

namespace {

// Pairs read second digit first: "1f" is 0xF1.
const std::wstring kKey = L"1f00112233445566778899aabbccddeeff0123456789abcdefABCDEF01234567";

class Files : public LocalStorageTest {
protected:
    void SetUp() override {
        LocalStorageTest::SetUp();
        Open();
        work_ = pellux_test::MakeTempDir("work");
    }
    std::string Path(const std::string& name) const { return work_ + "/" + name; }
    std::string work_;
};

TEST(FileKey, SecondDigitOfEachPairIsTheHighNibble) {
    uint8_t key[kFileKeyBytes] = {};
    ASSERT_EQ(HexKeyToBytes(kKey, key), S_OK);
    // "ab" (22) and "AB" (25) both read 0xBA.
    const std::vector<uint8_t> expected = {0xF1, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99,
                                           0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x10, 0x32, 0x54, 0x76, 0x98,
                                           0xBA, 0xDC, 0xFE, 0xBA, 0xDC, 0xFE, 0x10, 0x32, 0x54, 0x76};
    EXPECT_EQ(std::vector<uint8_t>(key, key + kFileKeyBytes), expected);
    for (const std::wstring& bad : {kKey.substr(1), kKey + L"0", std::wstring(), kKey.substr(0, 62) + L"g0",
                                    kKey.substr(0, 62) + L"0\u0661"}) {
        SCOPED_TRACE(WideToUtf8(bad));
        uint8_t untouched[kFileKeyBytes] = {7};
        EXPECT_EQ(HexKeyToBytes(bad, untouched), E_FAIL);
        EXPECT_EQ(untouched[0], 7);
    }
}

TEST_F(Files, PackingPolicyByContentExtensionAndSize) {
    const uint64_t MiB = 1024 * 1024;
    ASSERT_EQ(RunCommand("cd '" + work_ + "' && printf abc > a && 7z a -bd -t7z in.7z a >/dev/null && " +
                         "7z a -bd -tzip in.zip a >/dev/null"),
              0);
    struct Case {
        std::string name;
        uint64_t size;  // sparse; 0: a copy of the archive named below
        bool pack;
        const char* archive = nullptr;
    };
    const std::vector<Case> cases = {
        {"notes.txt", 10 * MiB, true},
        {"notes.TXT", 10 * MiB + 1, false},
        {"a.odt", 10 * MiB + 1, false},
        {"a.pdf", 6 * MiB, false},
        {"a.pdf", 5 * MiB, true},
        {"a.exe", 4 * MiB, false},
        {"a.dll", 3 * MiB, true},
        {"a.MP3", 10, false},
        {"noext", 30 * MiB, true},
        {"noext", 30 * MiB + 1, false},
        // Archive content counts whatever the name says.
        {"song.mp3", 0, true, "in.7z"},
        {"song.mp3", 0, true, "in.zip"},
    };
    const std::vector<std::string> openFiles = Entries("/proc/self/fd");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + " " + std::to_string(c.size));
        const std::string path = Path("probe");
        if (c.archive) {
            fs::copy_file(Path(c.archive), path, fs::copy_options::overwrite_existing);
        } else {
            ASSERT_TRUE(WriteFile(path, ""));
            ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(c.size)), 0);
        }
        bool pack = !c.pack;
        ASSERT_EQ(ShouldCompressFile(Utf8ToWide(c.name), Utf8ToWide(path), &pack), S_OK);
        EXPECT_EQ(pack, c.pack);
    }
    EXPECT_EQ(Entries("/proc/self/fd"), openFiles);  // every archive probe closed its file
    bool pack = false;
    EXPECT_EQ(ShouldCompressFile(L"x.txt", Utf8ToWide(Path("missing")), &pack), E_FAIL);
}

TEST_F(Files, EncodeAndDecodeRoundTripByteForByte) {
    ASSERT_TRUE(WriteFile(Path("payload"), RandomBytes(300000, 1)));
    ASSERT_EQ(RunCommand("cd '" + work_ + "' && 7z a -bd -t7z content.7z payload >/dev/null && " +
                         "7z a -bd -tzip content.zip payload >/dev/null"),
              0);
    struct Case {
        std::string file;
        std::wstring remoteName;
        bool packed;
    };
    const std::vector<Case> cases = {
        {"payload", L"data.bin", true},        {"payload", L"song.mp3", false},
        {"content.7z", L"song.mp3", true},     {"content.7z", L"archive.7z", true},
        {"content.zip", L"archive.zip", true},
    };
    uint8_t key[kFileKeyBytes];
    ASSERT_EQ(HexKeyToBytes(kKey, key), S_OK);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + " as " + WideToUtf8(c.remoteName));
        const std::string encoded = Path("encoded");
        const std::string decoded = Path("decoded");
        ASSERT_EQ(storage_->EncodeFile(c.remoteName, Utf8ToWide(Path(c.file)), Utf8ToWide(encoded), kKey),
                  S_OK);
        // What travels is the encrypted one-file archive of the content.
        const std::string plain = Path("plain");
        int format = -1;
        ASSERT_TRUE(DecryptFileAnyFormat(key, sizeof(key), Utf8ToWide(encoded), Utf8ToWide(plain), &format));
        EXPECT_EQ(RunCommand("7z t '" + plain + "' >/dev/null 2>&1") == 0 &&
                      ReadFile(plain) != ReadFile(Path(c.file)),
                  c.packed);
        ASSERT_TRUE(WriteFile(decoded, "old contents"));
        ASSERT_EQ(storage_->DecodeFile(Utf8ToWide(encoded), Utf8ToWide(decoded), kKey), S_OK);
        EXPECT_TRUE(ReadFile(decoded) == ReadFile(Path(c.file)));
        fs::remove(plain);
        fs::remove(encoded);
        fs::remove(decoded);
        EXPECT_EQ(Entries(work_), (std::vector<std::string>{"content.7z", "content.zip", "payload"}));
    }
}

TEST_F(Files, FailuresLeaveNoFileBehind) {
    ASSERT_TRUE(WriteFile(Path("src.txt"), RandomBytes(512 << 10, 2)));
    ASSERT_TRUE(WriteFile(Path("encoded"), ""));
    ASSERT_EQ(
        storage_->EncodeFile(L"src.txt", Utf8ToWide(Path("src.txt")), Utf8ToWide(Path("encoded")), kKey),
        S_OK);
    std::string damaged = ReadFile(Path("encoded"));
    damaged[damaged.size() / 2] ^= 1;
    ASSERT_TRUE(WriteFile(Path("damaged"), damaged));
    const std::vector<std::string> before = Entries(work_);
    struct Case {
        const char* what;
        bool decode;
        const char* from;
        const char* to;
        std::wstring key;
        bool cancel;
        HRESULT want;
    };
    const std::vector<Case> cases = {
        {"63-character key", false, "src.txt", "out", kKey.substr(1), false, E_FAIL},
        {"65-character key", true, "encoded", "out", kKey + L"0", false, E_FAIL},
        {"damaged download", true, "damaged", "out", kKey, false, E_FAIL},
        {"destination folder missing", false, "src.txt", "no/out", kKey, false, E_FAIL},
        {"not an encrypted file", true, "src.txt", "out", kKey, false, E_FAIL},
        {"encode cancelled", false, "src.txt", "out", kKey, true, E_ABORT},
        {"decode cancelled", true, "encoded", "out", kKey, true, E_ABORT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring from = Utf8ToWide(Path(c.from));
        const std::wstring to = Utf8ToWide(Path(c.to));
        std::atomic<bool> cancelled{true};
        HRESULT hr;
        if (c.decode && c.cancel)
            hr = storage_->DecodeFileCancelable(from, to, c.key, cancelled);
        else if (c.decode)
            hr = storage_->DecodeFile(from, to, c.key);
        else if (c.cancel)
            hr = storage_->EncodeFileCancelable(L"a", from, to, c.key, cancelled);
        else
            hr = storage_->EncodeFile(L"a", from, to, c.key);
        EXPECT_EQ(hr, c.want);
        EXPECT_EQ(Entries(work_), before);
        EXPECT_TRUE(Entries(root_ + "/.tmp").empty());
    }
}

TEST_F(Files, InitEmptiesTheTemporaryFolderWithoutFollowingLinks) {
    const std::string outside = pellux_test::MakeTempDir("outside");
    ASSERT_TRUE(WriteFile(outside + "/keep.txt", "precious"));
    const std::string tmp = root_ + "/.tmp";
    ASSERT_TRUE(WriteFile(tmp + "/{stale}", "x"));
    fs::create_directories(tmp + "/sub/deeper");
    ASSERT_TRUE(WriteFile(tmp + "/sub/deeper/f", "x"));
    fs::create_directory_symlink(outside, tmp + "/dirlink");
    fs::create_directory_symlink(outside, tmp + "/sub/dirlink");
    fs::create_symlink(outside + "/keep.txt", tmp + "/filelink");

    storage_.Release();
    Open();
    EXPECT_TRUE(Entries(tmp).empty());
    EXPECT_EQ(ReadFile(outside + "/keep.txt"), "precious");

    // The temporary folder itself replaced by a link to elsewhere.
    fs::remove(tmp);
    fs::create_directory_symlink(outside, tmp);
    storage_.Release();
    Open();
    EXPECT_FALSE(fs::is_symlink(tmp));
    EXPECT_TRUE(fs::is_directory(tmp));
    EXPECT_EQ(ReadFile(outside + "/keep.txt"), "precious");

    std::wstring temp;
    ASSERT_EQ(storage_->GetTempFilePath(&temp), S_OK);
    EXPECT_EQ(WideToUtf8(temp).substr(0, tmp.size() + 1), tmp + "/");
}

TEST_F(Files, TemporaryCopiesAndMovesIntoTheCache) {
    fs::create_directories(root_ + "/docs");
    ASSERT_TRUE(WriteFile(root_ + "/docs/a.txt", "contents"));
    std::wstring temp;
    ASSERT_EQ(storage_->CopyFileToTempPathByFullPath(L"docs/a.txt", &temp, true), S_OK);
    EXPECT_EQ(ReadFile(WideToUtf8(temp)), "contents");
    EXPECT_EQ(storage_->CopyFileToTempPathByFullPath(L"docs/none.txt", &temp, true), E_LOCAL_NOT_FOUND);
    // A source that fails to read (address 0 of the memory file) fails the
    // copy as a read error, not a missing file, and leaves nothing.
    const std::vector<std::string> before = Entries(root_ + "/.tmp");
    std::wstring unread;
    EXPECT_EQ(storage_->CopyFileToTempPathByFullPath(L"/proc/self/mem", &unread, false), E_FAIL);
    EXPECT_EQ(Entries(root_ + "/.tmp"), before);

    // Into a new folder, then over an existing file.
    const std::wstring target = Utf8ToWide(root_ + "/new/deep/a.txt");
    ASSERT_EQ(storage_->MoveTempFileToSyncSpace(temp, target, L"a.txt", L""), S_OK);
    EXPECT_EQ(ReadFile(WideToUtf8(target)), "contents");
    ASSERT_TRUE(WriteFile(Path("next"), "newer"));
    ASSERT_EQ(storage_->MoveTempFileToSyncSpace(Utf8ToWide(Path("next")), target, L"a.txt", L""), S_OK);
    EXPECT_EQ(ReadFile(WideToUtf8(target)), "newer");
    EXPECT_FALSE(fs::exists(Path("next")));
    EXPECT_EQ(storage_->MoveTempFileToSyncSpace(Utf8ToWide(Path("next")), target, L"a.txt", L""),
              E_LOCAL_NOT_FOUND);

    // Across file systems (a memory file system, where the machine has one).
    struct stat a {};
    struct stat b {};
    if (::stat("/dev/shm", &a) == 0 && ::stat(root_.c_str(), &b) == 0 && a.st_dev != b.st_dev &&
        ::access("/dev/shm", W_OK) == 0) {
        const std::string shm = "/dev/shm/pellux-ls-" + std::to_string(::getpid());
        ASSERT_TRUE(WriteFile(shm, "from afar"));
        EXPECT_EQ(storage_->MoveTempFileToSyncSpace(Utf8ToWide(shm), target, L"a.txt", L""), S_OK);
        EXPECT_EQ(ReadFile(WideToUtf8(target)), "from afar");
        EXPECT_FALSE(fs::exists(shm));
        EXPECT_EQ(Entries(root_ + "/new/deep"), std::vector<std::string>{"a.txt"});
    }
}

}  // namespace
