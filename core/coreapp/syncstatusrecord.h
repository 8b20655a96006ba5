#pragma once
// The fixed-size status record the core posts into the sync center: a type
// word and a body laid out by type (UTF-16 text fields of 260 units with the
// terminator). Copied by value.
#include <cstdint>
#include <cstring>

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
