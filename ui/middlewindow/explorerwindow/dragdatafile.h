#pragma once
// The marker files a drag or a copy hands to the desktop instead of the
// items: written into the sync root's hidden ".tmp" folder, registered with
// the marker monitor, and cleared away when a drag is cancelled or a later
// start finds them left over.
#include <string>
#include <vector>

#include "core/filesystem/filenotifymonitor/filenotifyrevicer/issuedmarkers.h"
#include "platform/hresult.h"
#include "ui/middlewindow/explorerwindow/dragrecord.h"

// The folder the markers are written into.
std::wstring DragDataFolder(const std::wstring& syncRoot);

// Writes the marker of the records (the folder is made when missing).
// E_INVALIDARG when there is no record; the writer's failures otherwise.
HRESULT WriteDragDataFile(const std::wstring& syncRoot, MarkerKind kind,
                          const std::vector<DragRecord>& records, std::wstring& markerPath,
                          CIssuedMarkers& registry = TheIssuedMarkers());

// A drag ended without a drop: its marker goes and is no longer expected.
void DiscardDragDataFile(const std::wstring& markerPath, CIssuedMarkers& registry = TheIssuedMarkers());

// Deletes the markers of earlier runs from the folder (regular files with a
// marker name that the registry does not expect); returns how many went.
int PruneDragDataFiles(const std::wstring& syncRoot, CIssuedMarkers& registry = TheIssuedMarkers());
