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

// Two records of a kind, the second edited with n = 1 or 2.
template <class T>
std::function<TaskDataBase*(int)> Kind(const wchar_t* operation,
                                       std::function<void(T&, int n)> edit = nullptr) {
    return [=](int n) { return Make<T>(operation, [&](T& r) { edit ? edit(r, n) : void(); }); };
}

// The queue drops a record that IsSame as one it holds: the base fields and
// the fields the kind names decide; queries that must run each time never match.
TEST(TaskDataIsSame, BaseAndOwnFieldsDecideAndQueriesNeverMatch) {
    struct Case {
        const char* name;
        std::function<TaskDataBase*(int)> make;
        bool same;
    };
    using Del = TaskData_Delete;
    const std::vector<Case> cases = {
        {"token, local path, sha1 and version are not compared",
         Kind<Del>(L"DeleteFile",
                   [](Del& r, int n) {
                       r.token = r.localPath = r.sha1 = std::to_wstring(n);
                       r.version = n;
                   }),
         true},
        {"operation", Kind<Del>(L"DeleteFile", [](Del& r, int n) { r.operationName += std::to_wstring(n); }),
         false},
        {"folder flag", Kind<Del>(L"DeleteFile", [](Del& r, int n) { r.isFolder = n - 1; }), false},
        {"key", Kind<Del>(L"DeleteFile", [](Del& r, int n) { r.key = std::to_wstring(n); }), false},
        {"path case", Kind<Del>(L"DeleteFile", [](Del& r, int n) { r.itemPath = n == 1 ? L"\\a" : L"\\A"; }),
         false},
        {"direction", Kind<Del>(L"DeleteFile", [](Del& r, int n) { r.isUpload = n - 1; }), false},
        {"another kind with the same base",
         [](int n) -> TaskDataBase* {
             return n == 1 ? static_cast<TaskDataBase*>(Make<Del>(L"DeleteFile"))
                           : Make<TaskData_GetItemInfo>(L"DeleteFile");
         },
         false},
        {"a listing runs each time", Kind<TaskData_Dir>(L"Dir"), false},
        {"space runs each time", Kind<TaskData_GetSpace>(L"GetSpace"), false},
        {"rename to another name",
         Kind<TaskData_Rename>(L"EditFile", [](TaskData_Rename& r, int n) { r.name = std::to_wstring(n); }),
         false},
        {"download to another path",
         Kind<TaskData_DownloadFile>(
             L"DownloadFile", [](TaskData_DownloadFile& r, int n) { r.downloadPath = std::to_wstring(n); }),
         false},
        {"move elsewhere",
         Kind<TaskData_Move>(L"MoveFile", [](TaskData_Move& r, int n) { r.parentId = std::to_wstring(n); }),
         false},
        {"update of another version",
         Kind<TaskData_UpdateFile>(L"UpdateFile",
                                   [](TaskData_UpdateFile& r, int n) { r.fileVer = std::to_wstring(n); }),
         false},
        {"new file into another parent",
         Kind<TaskData_NewFile>(L"UpdateNewFile",
                                [](TaskData_NewFile& r, int n) { r.parentId = std::to_wstring(n); }),
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Held a(c.make(1)), b(c.make(2));
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
    const std::vector<std::pair<double, int64_t>> cases = {{1234.9, 1234},
                                                           {5e9, 5000000000LL},
                                                           {-1.0, 0},
                                                           {std::nan(""), 0},
                                                           {9.2e18, 9200000000000000000LL},
                                                           {9223372036854775808.0, max},
                                                           {INFINITY, max}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        EXPECT_EQ(ProgressBytesFromDouble(c.first), c.second);
    }
}

}  // namespace
