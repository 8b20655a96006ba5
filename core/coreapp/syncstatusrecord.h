#pragma once
// The fixed-size status record the core posts into the sync center: a type
// word and a body laid out by type (UTF-16 text fields of 260 units with the
// terminator). Copied by value.
#include <cstdint>
#include <cstring>
#include <string>

constexpr uint32_t kSyncStatusNone = 0;
constexpr uint32_t kSyncStatusIdle = 1;
constexpr uint32_t kSyncStatusLoggingIn = 2;
constexpr uint32_t kSyncStatusLoggedOut = 3;
constexpr uint32_t kSyncStatusConflict = 7;
constexpr uint32_t kSyncStatusSessionProblem = 11;
constexpr uint32_t kSyncStatusNetworkFailing = 0x10000;
constexpr uint32_t kSyncStatusServiceNotice = 0x20000;

struct SyncStatusRecord {
    uint32_t type = 0;
    uint8_t body[1560];
    SyncStatusRecord() { std::memset(body, 0, sizeof(body)); }
    explicit SyncStatusRecord(uint32_t t) : SyncStatusRecord() { type = t; }
};
static_assert(sizeof(SyncStatusRecord) == 1564, "status records keep their fixed size");

// Field offsets from the start of the record (the type word is at 0).
constexpr size_t kStatusConflictKindOffset = 4;  // 1 version, 2 name, 0 other
constexpr size_t kStatusConflictOrgPathOffset = 8;
constexpr size_t kStatusConflictCurPathOffset = 528;
constexpr size_t kStatusSessionCodeOffset = 4;  // the value kStatusSessionCode
constexpr size_t kStatusNoticeTitleOffset = 4;
constexpr size_t kStatusNoticeContentOffset = 524;
constexpr size_t kStatusNoticeUrlOffset = 1044;
constexpr uint32_t kStatusSessionCode = 88;
// Longest text of a field: 260 UTF-16 units with the terminator.
constexpr size_t kStatusTextUnits = 259;

// Writes the text as UTF-16 at the record offset, cut to kStatusTextUnits
// (never inside a surrogate pair) and terminated.
void SetStatusText(SyncStatusRecord& record, size_t offset, const std::wstring& text);
std::wstring GetStatusText(const SyncStatusRecord& record, size_t offset);
// A little-endian 32-bit value at the record offset.
void SetStatusUInt(SyncStatusRecord& record, size_t offset, uint32_t value);
uint32_t GetStatusUInt(const SyncStatusRecord& record, size_t offset);
