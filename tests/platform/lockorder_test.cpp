// The lock-order check that debug builds run on every ranked lock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/lockorder.h"

namespace {

TEST(LockOrder, OnlyALockRankedAtOrBelowOneHeldBreaksTheOrder) {
    int a, b, c;  // the locks' addresses
    struct Step {
        char op;  // 't' take, 'r' release
        const void* lock;
        LockRank rank;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::vector<std::pair<LockRank, LockRank>> broken;
    };
    const LockRank mgr = LockRank::kTaskMgr, cluster = LockRank::kTaskCluster, db = LockRank::kDatabase;
    const std::vector<Case> cases = {
        {"outermost first", {{'t', &a, mgr}, {'t', &b, cluster}, {'t', &c, db}}, {}},
        {"inner then outer", {{'t', &b, cluster}, {'t', &a, mgr}}, {{cluster, mgr}}},
        {"the worst held is named", {{'t', &a, mgr}, {'t', &c, db}, {'t', &b, cluster}}, {{db, cluster}}},
        {"re-entering a held lock", {{'t', &a, mgr}, {'t', &b, cluster}, {'t', &a, mgr}}, {}},
        {"two locks of one rank", {{'t', &a, mgr}, {'t', &b, mgr}}, {{mgr, mgr}}},
        {"after release", {{'t', &b, cluster}, {'r', &b, cluster}, {'t', &a, mgr}}, {}},
        {"unranked locks are not checked", {{'t', &c, db}, {'t', &a, LockRank::kNone}}, {}},
    };
    std::vector<std::pair<LockRank, LockRank>> broken;
    SetLockOrderViolationHandler([&](LockRank held, LockRank taken) { broken.emplace_back(held, taken); });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        broken.clear();
        std::vector<const void*> taken;
        for (const Step& s : c.steps) {
            if (s.op == 'r') {
                LockOrderReleased(s.lock);
                continue;
            }
            LockOrderCheck(s.lock, s.rank);
            LockOrderTaken(s.lock, s.rank);
            taken.push_back(s.lock);
        }
        for (auto it = taken.rbegin(); it != taken.rend(); ++it)
            LockOrderReleased(*it);
        EXPECT_EQ(broken, c.broken);
    }
    SetLockOrderViolationHandler(nullptr);
}

}  // namespace
