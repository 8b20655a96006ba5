#include "ui/middlewindow/explorerwindow/dragrecord.h"

#include "base/log/logfile.h"
#include "base/utility/remotepath.h"
#include "base/utility/stringutil.h"

namespace {

bool BreaksRecord(const std::wstring& field) {
    return field.find_first_of(L"|:") != std::wstring::npos;
}

}  // namespace

std::vector<DragRecord> DragRecordsOfRows(const std::vector<CExplorerWindow::SelectedRow>& rows,
                                          int navigateType, const std::wstring& currentPath) {
    std::vector<DragRecord> out;
    for (const CExplorerWindow::SelectedRow& r : rows) {
        if (r.row < 1 || !r.item)
            continue;
        DragRecord record;
        record.isFolder = r.item->isFolder != 0;
        record.navigateType = navigateType;
        record.name = r.item->name;
        record.fileId = r.item->fileId;
        record.parentId = r.item->parentId;
        record.path = JoinRemotePath(currentPath, r.item->name);
        if (BreaksRecord(record.name) || BreaksRecord(record.path) || BreaksRecord(record.fileId) ||
            BreaksRecord(record.parentId)) {
            PELLUX_LOG_WARNING(L"\"%s\" cannot be dragged or copied: its name or path holds \"|\" or \":\"",
                               record.path);
            continue;
        }
        out.push_back(std::move(record));
    }
    return out;
}

std::wstring BuildDragRecordText(const std::vector<DragRecord>& records) {
    std::wstring text;
    for (const DragRecord& r : records) {
        text += std::to_wstring(r.isFolder ? 1 : 0) + L"|" + std::to_wstring(r.navigateType) + L"|" + r.name +
                L"|" + r.fileId + L"|" + r.parentId + L"|" + r.path + L"|:";
    }
    return text;
}

std::vector<DragRecord> ParseDragRecordText(const std::wstring& text) {
    std::vector<std::wstring> parts;
    SplitString(text, L':', parts);
    std::vector<DragRecord> out;
    for (const std::wstring& part : parts) {
        std::vector<std::wstring> fields;
        SplitString(part, L'|', fields);
        if (fields.size() < 6)
            continue;
        DragRecord r;
        r.isFolder = ParseReplyInt(fields[0]) != 0;
        r.navigateType = ParseReplyInt(fields[1]);
        r.name = fields[2];
        r.fileId = fields[3];
        r.parentId = fields[4];
        r.path = fields[5];
        out.push_back(std::move(r));
    }
    return out;
}
