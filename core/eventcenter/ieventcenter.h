#pragma once
// Follows the service's version changes through the push long-poll.
#include "platform/unknown.h"

struct ISyncCenter;

struct IEventCenter : IUnknown {
    PELLUX_INTERFACE_ID(0x6AC03FFE, 0xA957, 0x499F, 0x97, 0xF4, 0xBA, 0x11, 0xFC, 0xC0, 0xDD, 0x7D)

    virtual HRESULT Init(ISyncCenter* syncCenter) = 0;
    virtual HRESULT UnInit() = 0;
    virtual HRESULT Start() = 0;
    virtual HRESULT Stop() = 0;
};
