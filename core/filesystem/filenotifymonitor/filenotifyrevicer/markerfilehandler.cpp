#include "core/filesystem/filenotifymonitor/filenotifyrevicer/markerfilehandler.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "base/log/logfile.h"
#include "base/utility/localpath.h"
#include "core/filesystem/filenotifymonitor/filenotifyrevicer/filenotifyrevicer.h"
#include "core/filesystem/filenotifymonitor/filenotifyrevicer/markerfile.h"
#include "platform/strings.h"

namespace {

constexpr HRESULT kMarkerFileMissing = PELLUX_HR(0x80070002);

// Reads a marker candidate through one descriptor: no link followed, a
// regular file of this user, small enough.
HRESULT ReadMarkerBytes(const std::string& path, std::string& bytes, struct stat& st) {
    int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? kMarkerFileMissing : E_MARKER_NOT_ISSUED;
    HRESULT hr = S_OK;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid() ||
        static_cast<uint64_t>(st.st_size) > kMaxMarkerBytes) {
        hr = E_MARKER_NOT_ISSUED;
    } else {
        bytes.resize(kMaxMarkerBytes + 1);
        size_t have = 0;
        while (have < bytes.size()) {
            ssize_t got = read(fd, &bytes[have], bytes.size() - have);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            have += static_cast<size_t>(got);
        }
        bytes.resize(have);
        if (have > kMaxMarkerBytes)
            hr = E_MARKER_NOT_ISSUED;
    }
    close(fd);
    return hr;
}

}  // namespace

CMarkerFileHandler::CMarkerFileHandler(std::wstring syncRoot, std::shared_ptr<IMarkerDownloader> downloader,
                                       CIssuedMarkers& registry)
    : m_syncRoot(std::move(syncRoot)), m_downloader(std::move(downloader)), m_registry(registry) {}

int32_t CMarkerFileHandler::OnFileNotify(int action, const std::wstring& path, const std::wstring& newPath) {
    m_registry.PurgeExpired();
    std::wstring candidate;
    if (action == kFileNotifyAdded || action == kFileNotifyModified)
        candidate = path;
    else if (action == kFileNotifyRenamed)
        candidate = newPath;
    else
        return 0;
    if (candidate.empty() || IsLocalPathInside(candidate, m_syncRoot))
        return 0;
    std::wstring name;
    if (MarkerTokenFromName(GetFileNameFromPath(name, candidate)).empty())
        return 0;
    HandleMarkerFile(candidate);
    return 0;
}

HRESULT CMarkerFileHandler::HandleMarkerFile(const std::wstring& markerPath) {
    std::wstring name, folder;
    GetFileNameFromPath(name, markerPath);
    GetParentFolder(folder, markerPath);
    const std::wstring token = MarkerTokenFromName(name);
    if (token.empty() || !m_registry.Contains(token))
        return E_MARKER_NOT_ISSUED;

    const std::string path = WideToUtf8(markerPath);
    std::string bytes;
    struct stat st;
    HRESULT hr = ReadMarkerBytes(path, bytes, st);
    if (FAILED(hr))
        return hr;
    // An empty or half-written copy fails here too; its close brings it back.
    if (!m_registry.IsIssued(token, MarkerDigest(bytes)))
        return E_MARKER_NOT_ISSUED;
    std::vector<MarkerRecord> records;
    hr = ParseMarkerText(bytes, records);
    if (FAILED(hr)) {
        PELLUX_LOG_WARNING(L"marker %s could not be read", markerPath);
        return hr;
    }
    m_registry.Consume(token);

    for (const auto& r : records) {
        std::wstring itemName = r.itemPath.substr(
            r.itemPath.rfind(L'\\') == std::wstring::npos ? 0 : r.itemPath.rfind(L'\\') + 1);
        std::wstring destination;
        if (FAILED(JoinLocalName(folder, itemName, destination))) {
            PELLUX_LOG_WARNING(L"marker %s: item name \"%s\" refused", markerPath, itemName);
            continue;
        }
        if (!m_downloader)
            continue;
        if (r.kind == kMarkerKindFolder)
            m_downloader->DownloadFolder(r.itemId, r.parentId, r.itemPath, destination);
        else if (r.kind == kMarkerKindFile)
            m_downloader->Download(r.itemId, r.parentId, r.itemPath, destination);
    }

    // Only the file that was read goes: a file put in its place meanwhile stays.
    struct stat now;
    if (lstat(path.c_str(), &now) == 0 && now.st_dev == st.st_dev && now.st_ino == st.st_ino)
        unlink(path.c_str());
    return S_OK;
}
