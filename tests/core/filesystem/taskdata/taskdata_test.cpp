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

TEST(TaskData, LogInMakersGiveRecordsThatAreNeverTheSame) {
    Held<TaskData_Login> login(MakeLoginTask(L"u", L"p", L"pellux-d", L"pellux", L"1.0.0.1"));
    Held<TaskData_ReLogin> relogin(MakeReLoginTask(L"tok", L"pellux-d"));
    ASSERT_TRUE(login && relogin);
    EXPECT_EQ(login->user + login->operationName, L"uLogin");
    EXPECT_EQ(relogin->token + relogin->operationName, L"tokReLogin");
    EXPECT_FALSE(login->IsSame(login.get()));
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
