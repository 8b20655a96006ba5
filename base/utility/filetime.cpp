#include "base/utility/filetime.h"

#include <ctime>

#include "base/utility/formatstring.h"
#include "platform/fileinfo.h"
#include "platform/strings.h"

std::wstring FormatLocalFileTime(uint64_t fileTime) {
    time_t seconds = static_cast<time_t>(FileTimeToUnixSeconds(fileTime));
    struct tm local = {};
    localtime_r(&seconds, &local);
    std::wstring out;
    return FormatString(out, L"%04d-%02d-%02d %02d:%02d:%02d.%07d", local.tm_year + 1900, local.tm_mon + 1,
                        local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                        static_cast<int>(fileTime % 10000000));
}

HRESULT FormatFileTime(const std::wstring& path, std::wstring& creationTime, std::wstring& lastWriteTime) {
    FileAttributeData data;
    if (!GetFileAttributeData(WideToUtf8(path), &data))
        return E_FAIL;
    creationTime = FormatLocalFileTime(data.creationTime);
    lastWriteTime = FormatLocalFileTime(data.lastWriteTime);
    return S_OK;
}
