#include "core/coreapp/syncstatusblock.h"

#include "core/remotestorage/remotestorage/xmlnode.h"

SyncStatusRecord CSyncStatusBlock::Get() {
    CAutoLock guard(m_lock);
    if (!m_queue.empty()) {
        SyncStatusRecord record = m_queue.front();
        m_queue.pop_front();
        return record;
    }
    return m_override.type != kSyncStatusNone ? m_override : m_current;
}

void CSyncStatusBlock::Post(const SyncStatusRecord& record, bool queued) {
    CAutoLock guard(m_lock);
    if (!queued) {
        m_current = record;
        return;
    }
    if (m_queue.size() >= kMaxQueued)
        m_queue.pop_front();
    m_queue.push_back(record);
}

void CSyncStatusBlock::SetOverride(const SyncStatusRecord& record) {
    CAutoLock guard(m_lock);
    m_override = record;
}

void CSyncStatusBlock::ClearOverride() {
    CAutoLock guard(m_lock);
    m_override = SyncStatusRecord(kSyncStatusNone);
}

SyncStatusRecord MakeEventRecord(uint32_t type, const XmlNode* tree) {
    SyncStatusRecord record(type);
    if (type != kSyncStatusConflict)
        return record;
    std::wstring orgPath, curPath, kind;
    if (tree) {
        orgPath = tree->GetValue(L"OrgFullPath");
        curPath = tree->GetValue(L"CurFullPath");
        kind = tree->GetValue(L"ConflictType");
    }
    uint32_t conflict = 0;
    if (kind == L"VersionConflict")
        conflict = 1;
    else if (kind == L"NameConflict")
        conflict = 2;
    SetStatusUInt(record, kStatusConflictKindOffset, conflict);
    SetStatusText(record, kStatusConflictOrgPathOffset, orgPath);
    SetStatusText(record, kStatusConflictCurPathOffset, curPath);
    return record;
}
