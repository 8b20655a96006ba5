#include "core/filesystem/taskdata/taskdata.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
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
using Held = std::unique_ptr<TaskDataBase, Releaser>;

template <class T>
T* Make(const wchar_t* operation, std::function<void(T&)> edit = nullptr) {
    T* r = T::Create();
    r->operationName = operation;
    r->key = L"7";
    r->itemPath = L"\\a.txt";
    if (edit)
        edit(*r);
    return r;
}

// The queue drops a record that IsSame as one it holds: the base fields and
// the fields the kind names decide; queries that must run each time never match.
TEST(TaskDataIsSame, BaseAndOwnFieldsDecideAndQueriesNeverMatch) {
    struct Case {
        const char* name;
        std::function<TaskDataBase*()> a, b;
        bool same;
    };
    using Del = TaskData_Delete;
    const std::vector<Case> cases = {
        {"equal deletes", [] { return Make<Del>(L"DeleteFile"); }, [] { return Make<Del>(L"DeleteFile"); },
         true},
        {"token, local path, sha1 and version are not compared", [] { return Make<Del>(L"DeleteFile"); },
         [] {
             return Make<Del>(L"DeleteFile", [](Del& r) {
                 r.token = L"o";
                 r.localPath = L"/x";
                 r.sha1 = L"ab";
                 r.version = 3;
             });
         },
         true},
        {"operation", [] { return Make<Del>(L"DeleteFile"); }, [] { return Make<Del>(L"DeleteDirectory"); },
         false},
        {"folder flag", [] { return Make<Del>(L"DeleteFile"); },
         [] { return Make<Del>(L"DeleteFile", [](Del& r) { r.isFolder = 1; }); }, false},
        {"key", [] { return Make<Del>(L"DeleteFile"); },
         [] { return Make<Del>(L"DeleteFile", [](Del& r) { r.key = L"8"; }); }, false},
        {"path case", [] { return Make<Del>(L"DeleteFile"); },
         [] { return Make<Del>(L"DeleteFile", [](Del& r) { r.itemPath = L"\\A.txt"; }); }, false},
        {"direction", [] { return Make<Del>(L"DeleteFile"); },
         [] { return Make<Del>(L"DeleteFile", [](Del& r) { r.isUpload = 0; }); }, false},
        {"another kind with the same base", [] { return Make<Del>(L"DeleteFile"); },
         [] { return Make<TaskData_GetItemInfo>(L"DeleteFile"); }, false},
        {"a listing runs each time", [] { return Make<TaskData_Dir>(L"Dir"); },
         [] { return Make<TaskData_Dir>(L"Dir"); }, false},
        {"space runs each time", [] { return Make<TaskData_GetSpace>(L"GetSpace"); },
         [] { return Make<TaskData_GetSpace>(L"GetSpace"); }, false},
        {"rename to another name",
         [] { return Make<TaskData_Rename>(L"EditFile", [](TaskData_Rename& r) { r.name = L"b"; }); },
         [] { return Make<TaskData_Rename>(L"EditFile", [](TaskData_Rename& r) { r.name = L"c"; }); }, false},
        {"download to another path",
         [] {
             return Make<TaskData_DownloadFile>(L"DownloadFile",
                                                [](TaskData_DownloadFile& r) { r.downloadPath = L"1"; });
         },
         [] {
             return Make<TaskData_DownloadFile>(L"DownloadFile",
                                                [](TaskData_DownloadFile& r) { r.downloadPath = L"2"; });
         },
         false},
        {"move elsewhere",
         [] { return Make<TaskData_Move>(L"MoveFile", [](TaskData_Move& r) { r.parentId = L"p"; }); },
         [] { return Make<TaskData_Move>(L"MoveFile", [](TaskData_Move& r) { r.parentId = L"q"; }); }, false},
        {"update of another version",
         [] {
             return Make<TaskData_UpdateFile>(L"UpdateFile",
                                              [](TaskData_UpdateFile& r) { r.fileVer = L"1"; });
         },
         [] {
             return Make<TaskData_UpdateFile>(L"UpdateFile",
                                              [](TaskData_UpdateFile& r) { r.fileVer = L"2"; });
         },
         false},
        {"new file into another parent", [] { return Make<TaskData_NewFile>(L"UpdateNewFile"); },
         [] {
             return Make<TaskData_NewFile>(L"UpdateNewFile", [](TaskData_NewFile& r) { r.parentId = L"o"; });
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Held a(c.a()), b(c.b());
        EXPECT_EQ(a->IsSame(b.get()), c.same);
        EXPECT_EQ(b->IsSame(a.get()), c.same);
        EXPECT_FALSE(a->IsSame(nullptr));
    }
}

TEST(TaskDataClone, TheCopyKeepsItsKindAndOwnFieldsAndOutlivesItsSource) {
    Held source(Make<TaskData_UpdateFile>(L"UpdateFile", [](TaskData_UpdateFile& r) {
        r.bytesDone = 5000000000LL;
        r.stub = L"stub";
    }));
    Held copy(source->Clone());
    source.reset();
    auto* c = dynamic_cast<TaskData_UpdateFile*>(copy.get());
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->bytesDone, 5000000000LL);
    EXPECT_EQ(c->stub, L"stub");
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
}

TEST(ProgressBytes, DoublesClampIntoTheSixtyFourBitRange) {
    const int64_t max = std::numeric_limits<int64_t>::max();
    const std::vector<std::pair<double, int64_t>> cases = {{0.0, 0},
                                                           {1234.9, 1234},
                                                           {5e9, 5000000000LL},
                                                           {-1.0, 0},
                                                           {std::nan(""), 0},
                                                           {9.2e18, 9200000000000000000LL},
                                                           {9223372036854775808.0, max},
                                                           {INFINITY, max},
                                                           {-INFINITY, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        EXPECT_EQ(ProgressBytesFromDouble(c.first), c.second);
    }
}

}  // namespace
