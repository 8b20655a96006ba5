#pragma once
// Hands the versions that the push long-poll reports to the local cache.
#include <cstdint>

#include "platform/unknown.h"

struct IEventCenter;
struct ISyncCenter;

// A version the reply did not carry (ParseReplyVersion gives it): the stored
// one stays as it is.
constexpr int64_t kVersionNotGiven = -1;

struct IEventDispatch : IUnknown {
    PELLUX_INTERFACE_ID(0x6AC03FFE, 0xA957, 0x499F, 0x97, 0xF4, 0xBA, 0x11, 0xFC, 0xC0, 0xDD, 0x7F)

    virtual HRESULT Init(IEventCenter* owner, ISyncCenter* syncCenter) = 0;
    virtual HRESULT UnInit() = 0;
    // A negative version (kVersionNotGiven) leaves that version unchanged. The
    // two trailing values are not read.
    virtual HRESULT XSpaceChange(int64_t opVersion, int64_t shareVersion, int32_t reserved1,
                                 int32_t reserved2) = 0;
};
