#pragma once
// Reads the drag-out and copy-out markers that the monitor sees appear and
// turns each into downloads of the items it names into the marker's folder.
// Only markers this process issued are read (name token and content digest),
// only from regular files of this user of at most kMaxMarkerBytes opened
// without following links; a marker is deleted only once it was read.
#include <cstdint>
#include <memory>
#include <string>

#include "core/filesystem/filenotifymonitor/filenotifyrevicer/issuedmarkers.h"
#include "platform/hresult.h"

// Who downloads the items of a marker (the core-access object): each call
// posts a download of the remote item to the local destination path.
class IMarkerDownloader {
public:
    virtual ~IMarkerDownloader() = default;
    virtual HRESULT Download(const std::wstring& itemId, const std::wstring& parentId,
                             const std::wstring& itemPath, const std::wstring& destination) = 0;
    virtual HRESULT DownloadFolder(const std::wstring& itemId, const std::wstring& parentId,
                                   const std::wstring& itemPath, const std::wstring& destination) = 0;
};

class CMarkerFileHandler {
public:
    // Markers inside syncRoot are never read (the writer puts them there
    // before the shell copies them out).
    CMarkerFileHandler(std::wstring syncRoot, std::shared_ptr<IMarkerDownloader> downloader,
                       CIssuedMarkers& registry = TheIssuedMarkers());

    // The monitor's callback (actions of CFileNotifyRevicer). A marker is
    // complete when its writer closed it (modified) or when it was moved into
    // place (added by a move, or the new name of a rename); an added empty
    // file is tried too and simply does not match yet. Returns 0.
    int32_t OnFileNotify(int action, const std::wstring& path, const std::wstring& newPath);

    // S_OK when the marker was read, its downloads posted and the file
    // deleted; E_MARKER_NOT_ISSUED or E_MARKER_MALFORMED (the file is left
    // alone), or the failure to open it.
    HRESULT HandleMarkerFile(const std::wstring& markerPath);

private:
    std::wstring m_syncRoot;
    std::shared_ptr<IMarkerDownloader> m_downloader;
    CIssuedMarkers& m_registry;
};
