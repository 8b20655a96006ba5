#include "core/filesystem/filenotifymonitor/filenotifyrevicer/markerfile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cwchar>
#include <map>

#include "base/crypto/sha1.h"
#include "base/utility/formatstring.h"
#include "base/utility/localpath.h"
#include "base/utility/stringutil.h"
#include "platform/fdio.h"
#include "platform/profile.h"
#include "platform/strings.h"
#include "platform/tickcount.h"

namespace {

const wchar_t kSection[] = L"Files";
const wchar_t kCountKey[] = L"Count";

bool FieldIsWritable(const std::wstring& field) {
    return field.find_first_of(std::wstring(L"|\r\n\0", 4)) == std::wstring::npos;
}

}  // namespace

HRESULT ParseMarkerText(const std::string& bytes, std::vector<MarkerRecord>& records) {
    std::vector<std::pair<std::wstring, std::wstring>> entries;
    if (!ReadProfileSectionText(bytes, kSection, &entries))
        return E_MARKER_MALFORMED;
    // Keys compare without regard to case and the first one counts, as the
    // profile reads do.
    std::map<std::wstring, std::wstring> values;
    for (auto& e : entries)
        values.emplace(ToLowerWide(e.first), std::move(e.second));
    auto count = values.find(ToLowerWide(kCountKey));
    if (count == values.end())
        return E_MARKER_MALFORMED;
    int n = ParseProfileInt(count->second, 0);
    if (n > kMaxMarkerRecords)
        n = kMaxMarkerRecords;
    for (int i = 0; i < n; ++i) {
        auto it = values.find(std::to_wstring(i));
        if (it == values.end())
            continue;
        std::vector<std::wstring> fields;
        SplitString(it->second, L'|', fields);
        if (fields.size() != 4)
            continue;
        records.push_back(MarkerRecord{fields[0], fields[1], fields[2], fields[3]});
    }
    return S_OK;
}

std::wstring MarkerTokenFromName(const std::wstring& fileName) {
    // A file manager's temporary copy (".part" and the like) is not the
    // marker yet; its rename to the real name is.
    const std::wstring ext = L".ini";
    if (fileName.size() < ext.size() || fileName.compare(fileName.size() - ext.size(), ext.size(), ext) != 0)
        return std::wstring();
    for (const wchar_t* prefix : {kDragMarkerPrefix, kCopyMarkerPrefix}) {
        size_t at = fileName.find(prefix);
        if (at == std::wstring::npos)
            continue;
        size_t end = at + std::wcslen(prefix);
        size_t digits = end;
        while (digits < fileName.size() && fileName[digits] >= L'0' && fileName[digits] <= L'9')
            ++digits;
        if (digits > end)
            return fileName.substr(at, digits - at);
    }
    return std::wstring();
}

std::wstring MarkerDigest(const std::string& bytes) {
    Sha1Context context;
    Sha1Init(&context);
    Sha1Update(bytes.data(), bytes.size(), &context);
    uint32_t digest[5];
    Sha1Final(&context, digest);
    std::wstring hex;
    return FormatString(hex, L"%08x%08x%08x%08x%08x", digest[0], digest[1], digest[2], digest[3], digest[4]);
}

HRESULT WriteMarkerFile(const std::wstring& folder, MarkerKind kind, const std::vector<MarkerRecord>& records,
                        std::wstring& markerPath, CIssuedMarkers& registry, uint32_t lifetimeMs) {
    if (records.size() > static_cast<size_t>(kMaxMarkerRecords))
        return E_INVALIDARG;
    std::wstring text = L"[Files]\nCount=" + std::to_wstring(records.size()) + L"\n";
    for (size_t i = 0; i < records.size(); ++i) {
        const MarkerRecord& r = records[i];
        if ((r.kind != kMarkerKindFile && r.kind != kMarkerKindFolder) || !FieldIsWritable(r.itemId) ||
            !FieldIsWritable(r.parentId) || !FieldIsWritable(r.itemPath))
            return E_INVALIDARG;
        // Quoted so that blanks at either end of a name survive the reader's trim.
        text += std::to_wstring(i) + L"=\"" + r.kind + L"|" + r.itemId + L"|" + r.parentId + L"|" +
                r.itemPath + L"\"\n";
    }
    const std::string bytes = WideToUtf8(text);

    const wchar_t* prefix = kind == MarkerKind::kDrag ? kDragMarkerPrefix : kCopyMarkerPrefix;
    uint64_t tick = GetTickCount();
    for (int attempt = 0; attempt < 1000; ++attempt, ++tick) {
        const std::wstring token = prefix + std::to_wstring(tick);
        if (registry.Contains(token))
            continue;
        const std::wstring path = JoinLocalPath(folder, token + L".ini");
        // Issued before it exists: a watcher may see the file at once.
        registry.Issue(token, MarkerDigest(bytes), kind, lifetimeMs);
        int fd = open(WideToUtf8(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            const int error = errno;
            registry.Revoke(token);
            if (error == EEXIST)
                continue;
            return E_FAIL;
        }
        bool ok = WriteAllToFd(fd, bytes.data(), bytes.size());
        if (close(fd) != 0)
            ok = false;
        if (!ok) {
            unlink(WideToUtf8(path).c_str());
            registry.Revoke(token);
            return E_FAIL;
        }
        markerPath = path;
        return S_OK;
    }
    return E_FAIL;
}
