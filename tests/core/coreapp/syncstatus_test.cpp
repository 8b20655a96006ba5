// The status block: which record GetStatus hands out, the conflict record,
// the queue's bound and many producers at once.
#include <gtest/gtest.h>

#include <thread>

#include "core/coreapp/synccenter.h"
#include "core/remotestorage/remotestorage/xmlnode.h"

namespace pellux_test {
namespace {

CComPtr<ISyncCenter> NewCenter() {
    CComPtr<ISyncCenter> center;
    EXPECT_EQ(CreateSyncCenter(CoreComponentMakers(), &center), S_OK);
    return center;
}

uint32_t NextType(ISyncCenter& center) {
    SyncStatusRecord record;
    EXPECT_EQ(center.GetStatus(&record), S_OK);
    return record.type;
}

TEST(SyncStatusTest, QueueComesFirstThenTheOverrideThenTheCurrentRecord) {
    struct Step {
        char op;  // 'c' current, 'q' queued, 'o' override, 'x' clear override
        uint32_t type;
    };
    struct Case {
        std::string name;
        std::vector<Step> steps;
        std::vector<uint32_t> reads;
    };
    const std::vector<Case> cases = {
        {"fresh", {}, {kSyncStatusIdle, kSyncStatusIdle}},
        {"current stays", {{'c', 2}}, {2, 2}},
        {"queue in order, then override",
         {{'q', 11}, {'q', 7}, {'o', 0x20000}, {'c', 3}},
         {11, 7, 0x20000, 0x20000}},
        {"cleared override falls back", {{'c', 3}, {'o', 0x10000}, {'x', 0}}, {3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CComPtr<ISyncCenter> center = NewCenter();
        for (const Step& s : c.steps) {
            if (s.op == 'c' || s.op == 'q')
                center->PostStatus(SyncStatusRecord(s.type), s.op == 'q');
            else if (s.op == 'o')
                center->SetOverrideStatus(SyncStatusRecord(s.type));
            else
                center->ClearOverrideStatus();
        }
        for (uint32_t expected : c.reads)
            EXPECT_EQ(NextType(*center), expected);
    }
}

TEST(SyncStatusTest, ConflictEventsCarryKindAndBothPaths) {
    const std::wstring longPath = L"\\" + std::wstring(300, L'x');
    const std::wstring emoji = std::wstring(258, L'a') + L"\U0001F600";
    struct Case {
        std::wstring kind, org, cur;
        uint32_t expectedKind;
        std::wstring expectedOrg, expectedCur;
    };
    const std::vector<Case> cases = {
        {L"VersionConflict", L"\\a\\文件.txt", L"\\a\\文件(1).txt", 1, L"\\a\\文件.txt", L"\\a\\文件(1).txt"},
        {L"NameConflict", L"\\b", L"\\c", 2, L"\\b", L"\\c"},
        {L"Other", longPath, emoji, 0, longPath.substr(0, 259), std::wstring(258, L'a')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expectedKind);
        XmlNode tree;
        tree.AddValue(L"ConflictType", c.kind);
        tree.AddValue(L"OrgFullPath", c.org);
        tree.AddValue(L"CurFullPath", c.cur);
        CComPtr<ISyncCenter> center = NewCenter();
        ASSERT_EQ(center->FireEvent(kSyncStatusConflict, &tree, true), S_OK);
        SyncStatusRecord record;
        center->GetStatus(&record);
        EXPECT_EQ(record.type, kSyncStatusConflict);
        EXPECT_EQ(GetStatusUInt(record, kStatusConflictKindOffset), c.expectedKind);
        EXPECT_EQ(GetStatusText(record, kStatusConflictOrgPathOffset), c.expectedOrg);
        EXPECT_EQ(GetStatusText(record, kStatusConflictCurPathOffset), c.expectedCur);
    }
}

TEST(SyncStatusTest, ManyProducersKeepTheQueueBoundedAndOrderedPerProducer) {
    CComPtr<ISyncCenter> center = NewCenter();
    constexpr int kProducers = 8;
    constexpr int kEach = 200;
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([&center, p] {
            for (int i = 0; i < kEach; ++i) {
                SyncStatusRecord record(kSyncStatusSessionProblem);
                SetStatusUInt(record, 4, static_cast<uint32_t>(p));
                SetStatusUInt(record, 8, static_cast<uint32_t>(i));
                center->PostStatus(record, true);
                center->PostStatus(SyncStatusRecord(kSyncStatusLoggingIn), false);
            }
        });
    }
    std::thread reader([&center] {
        for (int i = 0; i < kProducers * kEach / 4; ++i)
            NextType(*center);
    });
    for (std::thread& t : producers)
        t.join();
    reader.join();

    std::vector<int> last(kProducers, -1);
    size_t queued = 0;
    SyncStatusRecord record;
    while (center->GetStatus(&record) == S_OK && record.type == kSyncStatusSessionProblem) {
        const uint32_t p = GetStatusUInt(record, 4);
        const int i = static_cast<int>(GetStatusUInt(record, 8));
        ASSERT_LT(p, static_cast<uint32_t>(kProducers));
        EXPECT_GT(i, last[p]);
        last[p] = i;
        ++queued;
    }
    EXPECT_LE(queued, CSyncStatusBlock::kMaxQueued);
    EXPECT_EQ(record.type, kSyncStatusLoggingIn);
}

}  // namespace
}  // namespace pellux_test
