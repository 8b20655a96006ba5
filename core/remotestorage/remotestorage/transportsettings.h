#pragma once
// What a transport reads from the settings file and the registry.
#include <cstdint>
#include <string>

#include "core/remotestorage/remotestorage/proxyoptions.h"

// Read once when a transport is created.
struct TransportSettings {
    uint32_t uploadCap = 0;    // bytes per second; 0 = no cap
    uint32_t downloadCap = 0;  // bytes per second; 0 = no cap
    bool verifyPeer = true;    // false only when [Debug] "VerifyTlsPeer" is 0 (test servers)
};

constexpr uint32_t kDefaultSpeedCap = 0x100000;

// An integer setting as read from its text: empty gives the default, other text
// counts by its leading decimal digits (with an optional sign; none gives 0).
int64_t ParseIntegerSetting(const std::wstring& text, int64_t defaultValue);

// A speed cap: the [Debug] value, or when that is -1/absent the [Pellux] one.
uint32_t ResolveSpeedCap(const std::wstring& debugText, const std::wstring& pelluxText);

TransportSettings ReadTransportSettings();
// Read before every transfer, so a changed proxy takes effect at once.
ProxyRegistryValues ReadProxyRegistryValues();
