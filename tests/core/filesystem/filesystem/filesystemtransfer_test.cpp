// Transfers through the facade: the upload size cap, folder uploads and
// folder downloads. The single-file transfers land at a recording stand-in
// for the open-for-edit manager.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "core/remotestorage/remotestorage/resultcodes.h"
#include "facadetestbase.h"
#include "platform/fileinfo.h"
#include "tests/support/testenvironment.h"

namespace pellux_test {
namespace {

TEST_F(FacadeTest, UploadsAbove300MiBAreRefusedWithOneNoticePerRun) {
    const std::string path = MakeTempDir() + "/big.bin";
    const off_t cap = 300 << 20;
    struct Case {
        off_t size;
        HRESULT expected;
        size_t uploadsAfter;
        size_t noticesAfter;
    };
    const std::vector<Case> cases = {
        {cap, S_OK, 1, 0},
        {cap + (1 << 20), E_FAIL, 1, 1},
        {cap + 1, E_FAIL, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        ASSERT_TRUE(WriteFile(path, ""));
        ASSERT_EQ(truncate(path.c_str(), c.size), 0);  // sparse
        EXPECT_EQ(facade->Upload(L"", L"", 0, L"\\big.bin", Utf8ToWide(path)), c.expected);
        EXPECT_EQ(fileSync->Uploads().size(), c.uploadsAfter);
        EXPECT_EQ(Told().size(), c.noticesAfter);
    }
    EXPECT_EQ(Told().front(), L"您要上传的文件“big.bin”大于300M，不允许上传哦~");
}

TEST_F(FacadeTest, FolderUploadAsksOnceMergesWalksPastFailuresAndSkipsLinkedFolders) {
    const std::string root = MakeTempDir() + "/Trip";
    ASSERT_EQ(mkdir(root.c_str(), 0700), 0);
    ASSERT_EQ(mkdir((root + "/sub").c_str(), 0700), 0);
    ASSERT_TRUE(WriteFile(root + "/a.txt", "a"));
    ASSERT_TRUE(WriteFile(root + "/b.txt", "b"));
    ASSERT_TRUE(WriteFile(root + "/sub/c.txt", "c"));
    ASSERT_EQ(symlink((root + "/sub").c_str(), (root + "/linked").c_str()), 0);
    ASSERT_EQ(symlink((root + "/a.txt").c_str(), (root + "/z-link.txt").c_str()), 0);
    fileSync->uploadResult = [](const std::wstring& remotePath) {
        return remotePath == L"\\Trip\\b.txt" ? E_LOCAL_BUSY : S_OK;
    };
    const std::string existing = Call("/xsvr/newFolder/", {{"parentId", ""}, {"name", "Trip"}}, "fileId");

    struct Case {
        int answer;
        HRESULT expected;
        std::vector<std::wstring> uploads;
    };
    const std::vector<Case> cases = {
        {kAskCancel, E_RESULT_TARGET_EXIST, {}},
        {kAskDefault,
         E_LOCAL_BUSY,
         {L"\\Trip\\a.txt", L"\\Trip\\b.txt", L"\\Trip\\sub\\c.txt", L"\\Trip\\z-link.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        bridge->SetAnswer(L"Wizard_UpLoadFolderExist", c.answer);
        const size_t asked = Asked().size();
        const size_t before = fileSync->Uploads().size();
        EXPECT_EQ(facade->UploadFolder(L"", 0, L"\\Trip", Utf8ToWide(root), nullptr), c.expected);
        ASSERT_EQ(Asked().size(), asked + 1);
        EXPECT_EQ(Asked().back(), L"Wizard_UpLoadFolderExist");
        std::vector<std::wstring> uploads;
        for (size_t i = before; i < fileSync->Uploads().size(); ++i)
            uploads.push_back(fileSync->Uploads()[i].remotePath);
        EXPECT_EQ(uploads, c.uploads);
    }
    // The merge went into the existing folder.
    EXPECT_EQ(fileSync->Uploads().front().parentId, Utf8ToWide(existing));
}

TEST_F(FacadeTest, FolderDownloadOfAnEmptyFolderGivesSFalseButAnUnreachableServiceIsAFailure) {
    const std::string empty = Call("/xsvr/newFolder/", {{"parentId", ""}, {"name", "Empty"}}, "fileId");
    for (bool offline : {true, false}) {
        SCOPED_TRACE(offline ? "offline" : "online");
        if (offline)
            GoOffline();
        else
            GoOnline();
        const std::string local = MakeTempDir() + "/Empty";
        EXPECT_EQ(facade->DownloadFolder(Utf8ToWide(empty), L"", L"\\Empty", Utf8ToWide(local)),
                  offline ? E_TRANSPORT_CONNECT : S_FALSE);
        EXPECT_TRUE(IsDirectoryPath(local));
        EXPECT_EQ(fileSync->downloads, 0);
        EXPECT_EQ(facade->GetThumbnail(L"no-such-item", Utf8ToWide(local + ".jpg"), 80, 94),
                  offline ? E_TRANSPORT_CONNECT : E_RESULT_BAD_STUB);
    }
}

}  // namespace
}  // namespace pellux_test
