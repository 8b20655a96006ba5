#include "core/remotestorage/remotestorage/proxyoptions.h"

#include <cstdlib>

#include "platform/strings.h"

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    const std::string p(prefix);
    return text.size() >= p.size() && CompareNoCaseAscii(text.substr(0, p.size()), p) == 0;
}

}  // namespace

std::string SystemProxyListFor(const std::string& url) {
    if (StartsWithNoCase(url, "https://")) {
        std::string list = Env("https_proxy");
        return list.empty() ? Env("HTTPS_PROXY") : list;
    }
    // Only the lower-case name: HTTP_PROXY may be set by a CGI request header.
    return Env("http_proxy");
}

bool ParseSystemProxyList(const std::string& list, std::string* hostAndPort) {
    std::string entry = list.substr(0, list.find(' '));
    // Environment entries may be written as URLs: keep only the authority.
    const size_t scheme = entry.find("://");
    if (scheme != std::string::npos)
        entry.erase(0, scheme + 3);
    const size_t slash = entry.find('/');
    if (slash != std::string::npos)
        entry.erase(slash);
    std::string host = entry;
    std::string port = "80";
    const size_t colon = entry.rfind(':');
    const size_t bracket = entry.rfind(']');
    if (colon != std::string::npos && (bracket == std::string::npos || colon > bracket)) {
        host = entry.substr(0, colon);
        if (colon + 1 < entry.size())
            port = entry.substr(colon + 1);
    }
    if (host.empty())
        return false;
    *hostAndPort = host + ":" + port;
    return true;
}

ProxyOptions BuildProxyOptions(const ProxyRegistryValues& values, const std::string& systemProxyList) {
    ProxyOptions options;
    const uint32_t type = values.type == 0xFFFFFFFFu ? kProxySystem : values.type;
    if (type == kProxySystem) {
        std::string hostAndPort;
        if (ParseSystemProxyList(systemProxyList, &hostAndPort)) {
            options.httpProxyType = true;
            options.proxy = hostAndPort;
        }
    } else if (type == kProxyManual) {
        options.httpProxyType = true;
        options.proxy = WideToUtf8(values.server) + ":" + WideToUtf8(values.port);
        if (!values.userName.empty()) {
            options.userPassword = WideToUtf8(values.userName) + ":" + WideToUtf8(values.password);
        }
    }
    return options;
}
