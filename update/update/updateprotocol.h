#pragma once
// The update service's key=value protocol: the request body, the reply map
// and the download address.
#include <map>
#include <string>

// Header list of the update request.
extern const wchar_t kUpdateRequestHeaders[];
// Where the service is asked when config.ini names no "Update" address.
extern const wchar_t kDefaultUpdateAddress[];

// "UserName=...&UserId=...&Version=...", each value URL-encoded from UTF-8.
std::string BuildUpdateRequestBody(const std::wstring& userName, const std::wstring& userId,
                                   const std::wstring& version);

// Pairs "key=value" joined by '&'; a pair without '=' ends the parsing.
// Values are taken as they stand.
std::map<std::string, std::string> ParseUpdateReply(const std::string& reply);

// The download base joined with the archive name (one backslash between, as
// the service's paths are written), every backslash then turned into '/'.
std::wstring BuildUpdateDownloadAddress(const std::wstring& base);
