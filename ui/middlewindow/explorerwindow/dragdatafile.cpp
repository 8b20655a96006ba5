#include "ui/middlewindow/explorerwindow/dragdatafile.h"

#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/log/logfile.h"
#include "base/utility/localpath.h"
#include "core/filesystem/filenotifymonitor/filenotifyrevicer/markerfile.h"
#include "platform/strings.h"

std::wstring DragDataFolder(const std::wstring& syncRoot) {
    return JoinLocalPath(syncRoot, L".tmp");
}

HRESULT WriteDragDataFile(const std::wstring& syncRoot, MarkerKind kind,
                          const std::vector<DragRecord>& records, std::wstring& markerPath,
                          CIssuedMarkers& registry) {
    if (records.empty() || syncRoot.empty())
        return E_INVALIDARG;
    const std::wstring folder = DragDataFolder(syncRoot);
    // Only the user reads what the markers name.
    if (mkdir(WideToUtf8(folder).c_str(), 0700) != 0 && errno != EEXIST)
        return E_FAIL;
    std::vector<MarkerRecord> entries;
    for (const DragRecord& r : records) {
        entries.push_back(
            MarkerRecord{r.isFolder ? kMarkerKindFolder : kMarkerKindFile, r.fileId, r.parentId, r.path});
    }
    const HRESULT hr = WriteMarkerFile(folder, kind, entries, markerPath, registry);
    if (FAILED(hr))
        PELLUX_LOG_WARNING(L"the marker file in %s could not be written (0x%08x)", folder, unsigned(hr));
    return hr;
}

void DiscardDragDataFile(const std::wstring& markerPath, CIssuedMarkers& registry) {
    std::wstring name;
    const std::wstring token = MarkerTokenFromName(GetFileNameFromPath(name, markerPath));
    if (token.empty())
        return;
    unlink(WideToUtf8(markerPath).c_str());
    registry.Revoke(token);
}

int PruneDragDataFiles(const std::wstring& syncRoot, CIssuedMarkers& registry) {
    const std::string folder = WideToUtf8(DragDataFolder(syncRoot));
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return 0;
    int pruned = 0;
    while (dirent* entry = readdir(dir)) {
        const std::wstring token = MarkerTokenFromName(Utf8ToWide(entry->d_name));
        if (token.empty() || registry.Contains(token))
            continue;
        const std::string path = folder + "/" + entry->d_name;
        struct stat st;
        if (lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && unlink(path.c_str()) == 0)
            ++pruned;
    }
    closedir(dir);
    return pruned;
}
