#pragma once
// Which explorer commands may run now: one answer per rule, from the section,
// the selection and, in the shared-with-me section, the user's rights.
#include <functional>
#include <string>
#include <vector>

#include "core/localstorage/localstorage/remoteitem.h"

// The inputs of the rules at one moment.
struct ExplorerRuleState {
    int navigateType = 0;
    // Empty at the root of a section.
    std::wstring parentId;
    // Selected rows in list order; row 0 is the parent row.
    std::vector<int> selectedRows;
    // Id of the first selected row's item; empty when it has none.
    std::wstring firstSelectedId;
    bool newFolderPending = false;
    // Who the item with that id is shared with (first record decides).
    std::function<std::vector<SharerInfo>(const std::wstring& id)> shareRights;
};

class ExplorerRules {
public:
    explicit ExplorerRules(ExplorerRuleState state) : s_(std::move(state)) {}

    bool CanUpload() const;
    bool CanDownload() const;
    bool CanRename() const;
    bool CanDelete() const;
    bool CanMove() const;
    bool CanShare() const;
    bool CanView() const;
    // Also the copy command: a copy-out is a download.
    bool CanCopy() const { return CanDownload(); }

    // The current folder of the shared-with-me section may be written.
    bool WritableHere() const;
    bool ItemWritable(const std::wstring& id) const;

private:
    bool SelectionBelowParentRow() const;
    bool HasWriteRight(const std::wstring& id) const;

    ExplorerRuleState s_;
};
