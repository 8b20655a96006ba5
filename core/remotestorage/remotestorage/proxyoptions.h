#pragma once
// Which proxy a transfer goes through, decided from the registry values under
// "Software\Pellux" before every transfer.
#include <cstdint>
#include <string>

// The registry's proxy values as read (strings default to empty).
struct ProxyRegistryValues {
    std::wstring server;          // "ProxyServerIP"
    std::wstring port;            // "ProxyServerPort"
    std::wstring userName;        // "ProxyServerUserName"
    std::wstring password;        // "ProxyServerPassword"
    uint32_t type = 0xFFFFFFFFu;  // "ProxyServerType": 1 system, 2 manual, else none; absent counts as 1
};

// The libcurl proxy options a transfer gets.
struct ProxyOptions {
    bool httpProxyType = false;  // CURLOPT_PROXYTYPE is set to HTTP: a proxy is used
    std::string proxy;           // CURLOPT_PROXY, always set; "" means no proxy at all
    std::string userPassword;    // CURLOPT_PROXYUSERPWD when not empty
};

constexpr uint32_t kProxySystem = 1;
constexpr uint32_t kProxyManual = 2;

// The system's proxy list for a URL. Linux has no process-wide proxy setting, so
// the environment stands in for it: https_proxy/HTTPS_PROXY for https URLs,
// http_proxy for http ones (no_proxy is honoured by libcurl itself).
std::string SystemProxyListFor(const std::string& url);

// First entry of a proxy list as "host:port" ("80" when it names no port);
// false when the list names no host.
bool ParseSystemProxyList(const std::string& list, std::string* hostAndPort);

ProxyOptions BuildProxyOptions(const ProxyRegistryValues& values, const std::string& systemProxyList);
