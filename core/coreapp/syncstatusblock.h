#pragma once
// The sync center's status: the current record that log-in steps overwrite,
// a queue that components append to, and an override (failing network,
// service notice). Any thread may post; records are copied under the lock.
#include <cstddef>
#include <deque>
#include "core/coreapp/syncstatusrecord.h"
#include "platform/criticalsection.h"

class XmlNode;

class CSyncStatusBlock {
public:
    // Nobody may read the queue for a long time; past this many records the
    // oldest ones are dropped rather than letting it grow without end.
    static constexpr size_t kMaxQueued = 256;

    // The oldest queued record (taken out), else the override when its type
    // is not 0, else the current record.
    SyncStatusRecord Get();
    void Post(const SyncStatusRecord& record, bool queued);
    void SetOverride(const SyncStatusRecord& record);
    void ClearOverride();

private:
    CCriticalSection m_lock{LockRank::kStatus};
    SyncStatusRecord m_current{kSyncStatusIdle};
    SyncStatusRecord m_override{kSyncStatusNone};
    std::deque<SyncStatusRecord> m_queue;
};

// The record of an event: zero-filled with the type; a conflict (type 7)
// carries the tree's "ConflictType", "OrgFullPath" and "CurFullPath".
SyncStatusRecord MakeEventRecord(uint32_t type, const XmlNode* tree);
