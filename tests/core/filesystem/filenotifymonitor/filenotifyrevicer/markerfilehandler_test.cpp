#include "core/filesystem/filenotifymonitor/filenotifyrevicer/markerfilehandler.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "core/filesystem/filenotifymonitor/filenotifyrevicer/filenotifyrevicer.h"
#include "core/filesystem/filenotifymonitor/filenotifyrevicer/markerfile.h"
#include "platform/fileinfo.h"
#include "platform/strings.h"
#include "platform/xdgfolders.h"
#include "tests/core/filesystem/filenotifymonitor/filenotifyrevicer/fakedownloader.h"
#include "tests/support/testenvironment.h"

namespace {

const std::vector<MarkerRecord> kRecords = {
    {L"1", L"d1", L"root", L"\\我的\\Work"},
    {L"0", L"f1", L"d0", L"\\我的\\a b.txt"},
};

std::string WriteMarker(CIssuedMarkers& registry, const std::string& folder, MarkerKind kind,
                        const std::vector<MarkerRecord>& records = kRecords, uint32_t lifetimeMs = 60000) {
    std::wstring path;
    EXPECT_EQ(WriteMarkerFile(Utf8ToWide(folder), kind, records, path, registry, lifetimeMs), S_OK);
    return WideToUtf8(path);
}

std::string NameOf(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

}  // namespace

TEST(MarkerFileHandler, IssuedMarkerBecomesDownloadsIntoItsFolderAndDisappears) {
    CIssuedMarkers registry;
    const std::string tmp = pellux_test::MakeTempDir("issue");
    const std::string drop = pellux_test::MakeTempDir("drop");
    auto downloader = std::make_shared<CFakeDownloader>();
    CMarkerFileHandler handler(L"/nowhere/sync", downloader, registry);

    // Names that would leave the drop folder are refused, the rest served.
    std::vector<MarkerRecord> records = kRecords;
    records.insert(records.end(), {{L"0", L"a", L"p", L"\\x\\.."},
                                   {L"0", L"b", L"p", L"\\x\\../../etc/passwd"},
                                   {L"1", L"c", L"p", L"\\"},
                                   {L"0", L"d", L"p", L"\\x\\."}});
    const std::string marker = WriteMarker(registry, tmp, MarkerKind::kDrag, records);
    struct stat st;
    ASSERT_EQ(stat(marker.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    // The shell copies the marker where the user dropped it.
    const std::string dropped = drop + "/" + NameOf(marker);
    ASSERT_TRUE(pellux_test::WriteFile(dropped, pellux_test::ReadFile(marker)));
    EXPECT_EQ(handler.OnFileNotify(kFileNotifyModified, Utf8ToWide(dropped), L""), 0);
    EXPECT_EQ(downloader->Calls(), (std::vector<std::string>{
                                       "folder d1 root \\我的\\Work > " + drop + "/Work",
                                       "file f1 d0 \\我的\\a b.txt > " + drop + "/a b.txt",
                                   }));
    EXPECT_FALSE(PathExists(dropped));
    // A drag marker serves once.
    ASSERT_TRUE(pellux_test::WriteFile(dropped, pellux_test::ReadFile(marker)));
    EXPECT_EQ(handler.HandleMarkerFile(Utf8ToWide(dropped)), E_MARKER_NOT_ISSUED);
    EXPECT_TRUE(PathExists(dropped));

    // A copy marker serves every paste.
    const std::string copy = WriteMarker(registry, tmp, MarkerKind::kCopy, {kRecords[1]});
    for (const char* sub : {"/p1", "/p2"}) {
        ASSERT_EQ(mkdir((drop + sub).c_str(), 0700), 0);
        const std::string pasted = drop + sub + "/" + NameOf(copy);
        ASSERT_TRUE(pellux_test::WriteFile(pasted, pellux_test::ReadFile(copy)));
        EXPECT_EQ(handler.HandleMarkerFile(Utf8ToWide(pasted)), S_OK);
        EXPECT_FALSE(PathExists(pasted));
    }
    EXPECT_EQ(downloader->Calls().size(), 4u);
}

TEST(MarkerFileHandler, ForeignUnsafeAndBrokenMarkersAreLeftAlone) {
    CIssuedMarkers registry;
    const std::string tmp = pellux_test::MakeTempDir("issue");
    const std::string drop = pellux_test::MakeTempDir("drop");
    const std::string sync = drop + "/sync";
    ASSERT_EQ(mkdir(sync.c_str(), 0700), 0);
    auto downloader = std::make_shared<CFakeDownloader>();
    CMarkerFileHandler handler(Utf8ToWide(sync), downloader, registry);

    // Puts bytes under the name of an issued marker (or a given name) in the drop folder.
    auto drop_as = [&](const std::string& name, const std::string& bytes) {
        pellux_test::WriteFile(drop + "/" + name, bytes);
        return drop + "/" + name;
    };
    auto issue = [&](const std::string& bytes) {
        static int n = 900000;
        std::wstring token = L"_pellux_dragdata_" + std::to_wstring(++n);
        registry.Issue(token, MarkerDigest(bytes), MarkerKind::kDrag);
        return WideToUtf8(token) + ".ini";
    };
    const std::string valid = pellux_test::ReadFile(WriteMarker(registry, tmp, MarkerKind::kCopy));
    const std::string big = valid + "; " + std::string(kMaxMarkerBytes, 'x') + "\n";
    const std::string noCount = "[Files]\n0=0|a|b|\\c\n";
    struct Case {
        const char* what;
        std::function<std::string()> make;  // the path to offer
        HRESULT hr;                         // S_FALSE: offered as a notification
    };
    const std::vector<Case> cases = {
        {"never issued", [&] { return drop_as("_pellux_dragdata_1.ini", valid); }, E_MARKER_NOT_ISSUED},
        {"content changed after issue",
         [&] {
             return drop_as(NameOf(WriteMarker(registry, tmp, MarkerKind::kDrag)), valid + "9=0|x|y|\\z\n");
         },
         E_MARKER_NOT_ISSUED},
        {"expired",
         [&] {
             std::string m = WriteMarker(registry, tmp, MarkerKind::kDrag, kRecords, 0);
             return drop_as(NameOf(m), pellux_test::ReadFile(m));
         },
         E_MARKER_NOT_ISSUED},
        {"a link to an issued marker",
         [&] {
             std::string m = WriteMarker(registry, tmp, MarkerKind::kDrag);
             EXPECT_EQ(symlink(m.c_str(), (drop + "/" + NameOf(m)).c_str()), 0);
             return drop + "/" + NameOf(m);
         },
         E_MARKER_NOT_ISSUED},
        {"larger than a marker may be", [&] { return drop_as(issue(big), big); }, E_MARKER_NOT_ISSUED},
        {"issued but without Count", [&] { return drop_as(issue(noCount), noCount); }, E_MARKER_MALFORMED},
        {"inside the sync root", [&] { return WriteMarker(registry, sync, MarkerKind::kDrag); }, S_FALSE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = c.make();
        const std::string before = pellux_test::ReadFile(path);
        if (c.hr == S_FALSE)
            handler.OnFileNotify(kFileNotifyAdded, Utf8ToWide(path), L"");
        else
            EXPECT_EQ(handler.HandleMarkerFile(Utf8ToWide(path)), c.hr);
        struct stat st;
        EXPECT_EQ(lstat(path.c_str(), &st), 0);
        EXPECT_EQ(pellux_test::ReadFile(path), before);
    }
    EXPECT_EQ(downloader->Calls(), std::vector<std::string>{});
}

TEST(MarkerMonitor, DroppedMarkerIsDownloadedWhileArmedOnly) {
    CIssuedMarkers registry;
    const std::string home = pellux_test::TestHome();
    const std::string sync = home + "/SyncRoot";
    const std::string downloads = home + "/Downloads";
    ASSERT_TRUE(MakeDirectories(sync + "/.tmp", 0700));
    ASSERT_TRUE(MakeDirectories(downloads + "/sub", 0700));
    auto downloader = std::make_shared<CFakeDownloader>();
    CMarkerFileHandler handler(Utf8ToWide(sync), downloader, registry);
    CFileNotifyRevicer monitor(std::make_shared<CInlineExecutor>(), registry);
    monitor.Init(
        Utf8ToWide(sync),
        [&](int action, const std::wstring& path, const std::wstring& newPath, void*) {
            return handler.OnFileNotify(action, path, newPath);
        },
        nullptr);
    ASSERT_EQ(monitor.StartMonitor(), 0);
    EXPECT_FALSE(monitor.IsWatching());

    const std::string marker = WriteMarker(registry, sync + "/.tmp", MarkerKind::kDrag, {kRecords[1]});
    EXPECT_TRUE(monitor.IsWatching());
    // The file manager writes under a temporary name, then renames.
    const std::string part = downloads + "/sub/" + NameOf(marker) + ".part";
    ASSERT_TRUE(pellux_test::WriteFile(part, pellux_test::ReadFile(marker)));
    const std::string dropped = downloads + "/sub/" + NameOf(marker);
    ASSERT_EQ(std::rename(part.c_str(), dropped.c_str()), 0);
    EXPECT_EQ(downloader->WaitFor(1),
              std::vector<std::string>{"file f1 d0 \\我的\\a b.txt > " + downloads + "/sub/a b.txt"});
    for (int i = 0; i < 500 && (PathExists(dropped) || monitor.IsWatching()); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(PathExists(dropped));
    EXPECT_TRUE(PathExists(marker));  // the one inside the sync root is the writer's to remove
    EXPECT_FALSE(monitor.IsWatching());

    // A marker that expired unnoticed is purged while the next one arms the
    // watch; the purge must not call back into the arming.
    WriteMarker(registry, sync + "/.tmp", MarkerKind::kCopy, {kRecords[1]}, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    WriteMarker(registry, sync + "/.tmp", MarkerKind::kCopy, {kRecords[1]});
    EXPECT_TRUE(monitor.IsWatching());
    EXPECT_EQ(monitor.StopMonitor(), 0);
}
