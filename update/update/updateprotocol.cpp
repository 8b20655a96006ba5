#include "update/update/updateprotocol.h"

#include <algorithm>

#include "base/utility/urlutil.h"
#include "platform/strings.h"

const wchar_t kUpdateRequestHeaders[] = L"v:1&ITYPE:kv&OTYPE:xml";
const wchar_t kDefaultUpdateAddress[] = L"http://127.0.0.1:8642/update/check";

std::string BuildUpdateRequestBody(const std::wstring& userName, const std::wstring& userId,
                                   const std::wstring& version) {
    std::string name, id, ver;
    UrlEncode(WideToUtf8(userName), name);
    UrlEncode(WideToUtf8(userId), id);
    UrlEncode(WideToUtf8(version), ver);
    return "UserName=" + name + "&UserId=" + id + "&Version=" + ver;
}

std::map<std::string, std::string> ParseUpdateReply(const std::string& reply) {
    std::map<std::string, std::string> pairs;
    size_t start = 0;
    while (start <= reply.size()) {
        size_t end = reply.find('&', start);
        if (end == std::string::npos)
            end = reply.size();
        const std::string pair = reply.substr(start, end - start);
        const size_t eq = pair.find('=');
        if (eq == std::string::npos)
            break;
        pairs[pair.substr(0, eq)] = pair.substr(eq + 1);
        start = end + 1;
    }
    return pairs;
}

std::wstring BuildUpdateDownloadAddress(const std::wstring& base) {
    std::wstring address = base;
    if (address.empty() || address.back() != L'\\')
        address += L'\\';
    address += L"pellux.exe.zip";
    std::replace(address.begin(), address.end(), L'\\', L'/');
    return address;
}
