#pragma once
// What a drag or a copy carries out of the explorer list: one record per
// selected row. The program's own drop targets read them back as text
// ("kind|type|name|fileId|parentId|path|" each followed by ':'); the marker
// file for the desktop holds the same rows.
#include <string>
#include <vector>

#include "ui/middlewindow/explorerwindow/explorerwindow.h"

struct DragRecord {
    bool isFolder = false;
    // The section the row was dragged from.
    int navigateType = 0;
    std::wstring name;
    std::wstring fileId;
    std::wstring parentId;
    // Remote path: the folder shown joined with the name.
    std::wstring path;
};

// The rows that may leave the list, in list order. Row 0 and rows without an
// item never do; a row whose name or path holds "|" or ":" would break the
// record's fields, so it stays behind with a log line.
std::vector<DragRecord> DragRecordsOfRows(const std::vector<CExplorerWindow::SelectedRow>& rows,
                                          int navigateType, const std::wstring& currentPath);

std::wstring BuildDragRecordText(const std::vector<DragRecord>& records);
// Records with fewer than six fields are skipped.
std::vector<DragRecord> ParseDragRecordText(const std::wstring& text);
