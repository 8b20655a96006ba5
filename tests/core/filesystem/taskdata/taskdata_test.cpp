#include "core/filesystem/taskdata/taskdata.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <set>
#include <thread>
#include <vector>

namespace {

struct Releaser {
    void operator()(TaskDataBase* r) const {
        if (r)
            r->Release();
    }
};
template <class T>
using Held = std::unique_ptr<T, Releaser>;

template <class T>
Held<T> Make(const wchar_t* operation, const wchar_t* key, const wchar_t* itemPath, int isFolder = 0) {
    Held<T> r(T::Create());
    r->operationName = operation;
    r->key = key;
    r->itemPath = itemPath;
    r->isFolder = isFolder;
    return r;
}

template <class T>
void ExpectZeroState() {
    Held<T> r(T::Create());
    ASSERT_TRUE(r);
    EXPECT_EQ(r->sequence, -1);
    EXPECT_EQ(r->operationName, L"");
    EXPECT_EQ(r->token, L"");
    EXPECT_EQ(r->key, L"");
    EXPECT_EQ(r->version, 0);
    EXPECT_EQ(r->isFolder, 0);
    EXPECT_EQ(r->spareFlag, 0);
    EXPECT_EQ(r->isUpload, 1);
    EXPECT_EQ(r->state, 0);
    EXPECT_EQ(r->result, S_OK);
    EXPECT_EQ(r->bytesDone, 0);
    EXPECT_EQ(r->bytesTotal, 0);
    EXPECT_EQ(r->flags, 0);
    EXPECT_EQ(r->Reserved3(r.get()), 0);
}

TEST(TaskData, EveryNewRecordStartsInTheZeroState) {
    ExpectZeroState<TaskData_Login>();
    ExpectZeroState<TaskData_ReLogin>();
    ExpectZeroState<TaskData_GetSpace>();
    ExpectZeroState<TaskData_GetRemoteOptVer>();
    ExpectZeroState<TaskData_Dir>();
    ExpectZeroState<TaskData_GetItemInfo>();
    ExpectZeroState<TaskData_GetRecycle>();
    ExpectZeroState<TaskData_CleanRecycle>();
    ExpectZeroState<TaskData_Recover>();
    ExpectZeroState<TaskData_GetAllShareFile>();
    ExpectZeroState<TaskData_Delete>();
    ExpectZeroState<TaskData_Rename>();
    ExpectZeroState<TaskData_Move>();
    ExpectZeroState<TaskData_DirectoryAdd>();
    ExpectZeroState<TaskData_NewFile>();
    ExpectZeroState<TaskData_UpdateFile>();
    ExpectZeroState<TaskData_DownloadFile>();
    ExpectZeroState<TaskData_GetThumbnail>();
    ExpectZeroState<TaskData_FullTextSearch>();
    ExpectZeroState<TaskData_PushNotify>();
    Held<TaskData_GetRecycle> recycle(TaskData_GetRecycle::Create());
    EXPECT_EQ(recycle->size, 0);
    Held<TaskData_DownloadFile> download(TaskData_DownloadFile::Create());
    EXPECT_EQ(download->previousVersion, 0);
}

TEST(TaskData, LogInMakersFillTheirFields) {
    Held<TaskData_Login> login(MakeLoginTask(L"u", L"p", L"pellux-d", L"pellux", L"1.0.0.1"));
    ASSERT_TRUE(login);
    EXPECT_EQ(login->operationName, L"Login");
    EXPECT_EQ(login->user, L"u");
    EXPECT_EQ(login->password, L"p");
    EXPECT_EQ(login->deviceId, L"pellux-d");
    EXPECT_EQ(login->clientName, L"pellux");
    EXPECT_EQ(login->clientVersion, L"1.0.0.1");
    EXPECT_EQ(login->token, L"");
    EXPECT_FALSE(login->IsSame(login.get()));

    Held<TaskData_ReLogin> relogin(MakeReLoginTask(L"tok", L"pellux-d"));
    EXPECT_EQ(relogin->operationName, L"ReLogin");
    EXPECT_EQ(relogin->token, L"tok");
    EXPECT_EQ(relogin->deviceId, L"pellux-d");
    EXPECT_FALSE(relogin->IsSame(relogin.get()));
}

TEST(TaskDataIsSame, QueriesThatMustRunEachTimeAreNeverTheSame) {
    auto a = Make<TaskData_Dir>(L"Dir", L"7", L"\\a");
    auto b = Make<TaskData_Dir>(L"Dir", L"7", L"\\a");
    EXPECT_FALSE(a->IsSame(b.get()));
    EXPECT_FALSE(a->IsSame(a.get()));
    auto space = Make<TaskData_GetSpace>(L"GetSpace", L"", L"");
    EXPECT_FALSE(space->IsSame(space.get()));
    auto ver = Make<TaskData_GetRemoteOptVer>(L"GetMaxVer", L"", L"");
    EXPECT_FALSE(ver->IsSame(ver.get()));
}

TEST(TaskDataIsSame, BaseFieldsDecideForPlainRecords) {
    auto a = Make<TaskData_Delete>(L"DeleteFile", L"7", L"\\a.txt");
    auto b = Make<TaskData_Delete>(L"DeleteFile", L"7", L"\\a.txt");
    EXPECT_TRUE(a->IsSame(b.get()));
    b->token = L"other";  // not compared
    b->localPath = L"/x";
    b->sha1 = L"ab";
    b->version = 3;
    EXPECT_TRUE(a->IsSame(b.get()));

    auto folder = Make<TaskData_Delete>(L"DeleteDirectory", L"7", L"\\a.txt", 1);
    EXPECT_FALSE(a->IsSame(folder.get()));
    auto kind = Make<TaskData_Delete>(L"DeleteFile", L"7", L"\\a.txt", 1);
    EXPECT_FALSE(a->IsSame(kind.get()));
    auto key = Make<TaskData_Delete>(L"DeleteFile", L"8", L"\\a.txt");
    EXPECT_FALSE(a->IsSame(key.get()));
    auto path = Make<TaskData_Delete>(L"DeleteFile", L"7", L"\\A.txt");
    EXPECT_FALSE(a->IsSame(path.get()));
    b->isUpload = 0;
    EXPECT_FALSE(a->IsSame(b.get()));
    EXPECT_FALSE(a->IsSame(nullptr));

    // Another class with the same base fields is other work.
    auto info = Make<TaskData_GetItemInfo>(L"DeleteFile", L"7", L"\\a.txt");
    EXPECT_FALSE(a->IsSame(info.get()));
    EXPECT_FALSE(info->IsSame(a.get()));
}

TEST(TaskDataIsSame, OwnFieldsCountWhereTheKindSaysSo) {
    auto r1 = Make<TaskData_Rename>(L"EditFile", L"7", L"\\a");
    auto r2 = Make<TaskData_Rename>(L"EditFile", L"7", L"\\a");
    r1->name = L"b";
    r2->name = L"c";
    EXPECT_FALSE(r1->IsSame(r2.get()));
    r2->name = L"b";
    EXPECT_TRUE(r1->IsSame(r2.get()));

    auto d1 = Make<TaskData_DownloadFile>(L"DownloadFile", L"7", L"\\a");
    auto d2 = Make<TaskData_DownloadFile>(L"DownloadFile", L"7", L"\\a");
    d1->downloadPath = L"/tmp/1";
    d2->downloadPath = L"/tmp/2";
    EXPECT_FALSE(d1->IsSame(d2.get()));
    d2->downloadPath = L"/tmp/1";
    d1->name = L"x";
    d2->name = L"y";
    EXPECT_TRUE(d1->IsSame(d2.get()));

    auto m1 = Make<TaskData_Move>(L"MoveFile", L"7", L"\\a");
    auto m2 = Make<TaskData_Move>(L"MoveFile", L"7", L"\\a");
    m1->parentId = L"p";
    m2->parentId = L"p";
    EXPECT_TRUE(m1->IsSame(m2.get()));
    m2->name = L"n";
    EXPECT_FALSE(m1->IsSame(m2.get()));
    m2->name.clear();
    m2->parentId = L"q";
    EXPECT_FALSE(m1->IsSame(m2.get()));

    auto u1 = Make<TaskData_UpdateFile>(L"UpdateFile", L"7", L"\\a");
    auto u2 = Make<TaskData_UpdateFile>(L"UpdateFile", L"7", L"\\a");
    u1->fileVer = L"1";
    u2->fileVer = L"2";
    EXPECT_FALSE(u1->IsSame(u2.get()));
    u2->fileVer = L"1";
    u2->stub = L"other";
    EXPECT_TRUE(u1->IsSame(u2.get()));

    auto n1 = Make<TaskData_NewFile>(L"UpdateNewFile", L"k", L"\\a");
    auto n2 = Make<TaskData_NewFile>(L"UpdateNewFile", L"k", L"\\a");
    n2->parentId = L"other";  // not compared for new files
    EXPECT_TRUE(n1->IsSame(n2.get()));
    n2->name = L"b";
    EXPECT_FALSE(n1->IsSame(n2.get()));

    auto f1 = Make<TaskData_DirectoryAdd>(L"CreateDirectory", L"", L"\\a", 1);
    auto f2 = Make<TaskData_DirectoryAdd>(L"CreateDirectory", L"", L"\\a", 1);
    f2->parentId = L"other";
    EXPECT_FALSE(f1->IsSame(f2.get()));
}

TEST(TaskDataClone, UpdateFileCloneKeepsEveryField) {
    Held<TaskData_UpdateFile> r(TaskData_UpdateFile::Create());
    r->sequence = 4;
    r->operationName = L"UpdateFile";
    r->token = L"t";
    r->key = L"k";
    r->version = 9;
    r->itemPath = L"\\文档\\a.txt";
    r->localPath = L"/c/a.txt";
    r->sha1 = L"da39a3ee5e6b4b0d3255bfef95601890afd80709";
    r->isFolder = 0;
    r->spareFlag = 1;
    r->isUpload = 1;
    r->state = kTaskStateFinished;
    r->result = PELLUX_HR(0x80044001);
    r->bytesDone = 5000000000LL;
    r->bytesTotal = 6000000000LL;
    r->flags = kTaskFlagOpenAfterDownload | kTaskFlagOpenedOldCopy;
    const wchar_t* own[] = {L"fv", L"nm", L"mt", L"enc", L"ss", L"us", L"ssha", L"usha", L"url", L"stub"};
    r->fileVer = own[0];
    r->name = own[1];
    r->modTime = own[2];
    r->encodedFilePath = own[3];
    r->sourceSize = own[4];
    r->uploadSize = own[5];
    r->sourceSha1 = own[6];
    r->uploadSha1 = own[7];
    r->uploadAddress = own[8];
    r->stub = own[9];

    Held<TaskDataBase> copyBase(r->Clone());
    auto* c = dynamic_cast<TaskData_UpdateFile*>(copyBase.get());
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->sequence, 4);
    EXPECT_EQ(c->operationName, L"UpdateFile");
    EXPECT_EQ(c->token, L"t");
    EXPECT_EQ(c->key, L"k");
    EXPECT_EQ(c->version, 9);
    EXPECT_EQ(c->itemPath, r->itemPath);
    EXPECT_EQ(c->localPath, L"/c/a.txt");
    EXPECT_EQ(c->sha1, r->sha1);
    EXPECT_EQ(c->spareFlag, 1);
    EXPECT_EQ(c->state, kTaskStateFinished);
    EXPECT_EQ(c->result, PELLUX_HR(0x80044001));
    EXPECT_EQ(c->bytesDone, 5000000000LL);
    EXPECT_EQ(c->bytesTotal, 6000000000LL);
    EXPECT_EQ(c->flags, 3);
    const std::wstring got[] = {c->fileVer,       c->name,       c->modTime,    c->encodedFilePath,
                                c->sourceSize,    c->uploadSize, c->sourceSha1, c->uploadSha1,
                                c->uploadAddress, c->stub};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(got[i], own[i]);

    // The copy outlives and is independent of its source.
    r.reset();
    EXPECT_EQ(c->stub, L"stub");
}

TEST(TaskDataClone, OwnIntegersAreCopiedForEveryKindThatHasThem) {
    Held<TaskData_GetThumbnail> t(TaskData_GetThumbnail::Create());
    t->height = 96;
    t->width = 128;
    t->cachePath = L"/cache";
    Held<TaskDataBase> tc(t->Clone());
    auto* thumb = dynamic_cast<TaskData_GetThumbnail*>(tc.get());
    ASSERT_NE(thumb, nullptr);
    EXPECT_EQ(thumb->height, 96);
    EXPECT_EQ(thumb->width, 128);
    EXPECT_EQ(thumb->cachePath, L"/cache");

    Held<TaskData_FullTextSearch> s(TaskData_FullTextSearch::Create());
    s->searchText = L"报告";
    s->searchType = 2;
    Held<TaskDataBase> sc(s->Clone());
    auto* search = dynamic_cast<TaskData_FullTextSearch*>(sc.get());
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(search->searchText, L"报告");
    EXPECT_EQ(search->searchType, 2);
}

TEST(NewFileKey, KeysStayUniqueUnderATightLoopOnSeveralThreads) {
    constexpr int kThreads = 4;
    constexpr int kPerThread = 5000;
    std::vector<std::vector<std::wstring>> keys(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&keys, t] {
            for (int i = 0; i < kPerThread; ++i)
                keys[t].push_back(MakeNewFileKey());
        });
    }
    for (auto& thread : threads)
        thread.join();
    std::set<std::wstring> all;
    for (const auto& list : keys)
        all.insert(list.begin(), list.end());
    EXPECT_EQ(all.size(), static_cast<size_t>(kThreads * kPerThread));
    const std::wstring key = *all.begin();
    EXPECT_NE(key.find(L'-'), std::wstring::npos);
    EXPECT_TRUE(iswdigit(key[0]));
}

TEST(ProgressBytes, DoublesClampIntoTheSixtyFourBitRange) {
    EXPECT_EQ(ProgressBytesFromDouble(0.0), 0);
    EXPECT_EQ(ProgressBytesFromDouble(1234.9), 1234);
    EXPECT_EQ(ProgressBytesFromDouble(5e9), 5000000000LL);
    EXPECT_EQ(ProgressBytesFromDouble(-1.0), 0);
    EXPECT_EQ(ProgressBytesFromDouble(std::nan("")), 0);
    EXPECT_EQ(ProgressBytesFromDouble(1e30), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(ProgressBytesFromDouble(INFINITY), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(ProgressBytesFromDouble(-INFINITY), 0);
}

}  // namespace
