#include "ui/middlewindow/explorerwindow/explorerrules.h"

#include "ui/mainwindowpanes.h"

namespace {

// Ids of the people's entries at the root of the shared-with-me section hold
// an "@": they are no folders anybody can write.
bool IsPlainId(const std::wstring& id) {
    return !id.empty() && id.find(L'@') == std::wstring::npos;
}

}  // namespace

bool ExplorerRules::SelectionBelowParentRow() const {
    return !s_.selectedRows.empty() && s_.selectedRows.front() >= 1;
}

bool ExplorerRules::HasWriteRight(const std::wstring& id) const {
    if (!s_.shareRights)
        return false;
    const std::vector<SharerInfo> sharers = s_.shareRights(id);
    // Rights are a bit set: read and write together still allow writing.
    return !sharers.empty() && (sharers.front().rights & kSharerWrite) != 0;
}

bool ExplorerRules::WritableHere() const {
    return IsPlainId(s_.parentId) && HasWriteRight(s_.parentId);
}

bool ExplorerRules::ItemWritable(const std::wstring& id) const {
    return IsPlainId(id) && IsPlainId(s_.parentId) && HasWriteRight(id);
}

bool ExplorerRules::CanUpload() const {
    if (s_.newFolderPending)
        return false;
    switch (s_.navigateType) {
        case kNavigateMyFiles:
            return true;
        case kNavigateShareToOther:
            return !s_.parentId.empty();
        case kNavigateShareToMe:
            return WritableHere();
        default:
            return false;
    }
}

bool ExplorerRules::CanDownload() const {
    if (s_.newFolderPending || !SelectionBelowParentRow() || s_.navigateType == kNavigateRecycle)
        return false;
    return s_.navigateType != kNavigateShareToMe || !s_.parentId.empty();
}

bool ExplorerRules::CanRename() const {
    if (s_.selectedRows.size() != 1 || !SelectionBelowParentRow())
        return false;
    switch (s_.navigateType) {
        case kNavigateMyFiles:
        case kNavigateShareToOther:
            return true;
        case kNavigateShareToMe:
            return s_.newFolderPending || ItemWritable(s_.firstSelectedId);
        default:
            return false;
    }
}

bool ExplorerRules::CanDelete() const {
    if (s_.newFolderPending || !SelectionBelowParentRow())
        return false;
    if (s_.navigateType == kNavigateShareToMe)
        return ItemWritable(s_.firstSelectedId);
    return true;
}

bool ExplorerRules::CanMove() const {
    if (s_.newFolderPending || !SelectionBelowParentRow())
        return false;
    switch (s_.navigateType) {
        case kNavigateMyFiles:
        case kNavigateRecycle:
            return true;
        case kNavigateShareToMe:
            return WritableHere();
        default:
            return false;
    }
}

bool ExplorerRules::CanShare() const {
    if (s_.newFolderPending || s_.navigateType == kNavigateRecycle || s_.selectedRows.size() != 1 ||
        !SelectionBelowParentRow())
        return false;
    return s_.navigateType != kNavigateShareToMe || !s_.parentId.empty();
}

bool ExplorerRules::CanView() const {
    return !s_.newFolderPending && s_.navigateType != kNavigateRecycle && !s_.selectedRows.empty();
}
