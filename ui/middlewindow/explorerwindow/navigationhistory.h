#pragma once
// The explorer's back/forward list. Every entry remembers the folder, its
// parent, its remote path and its section, so going back or forward never
// depends on what the list happens to know about other folders.
#include <string>
#include <vector>

struct HistoryEntry {
    std::wstring parentId;
    // Empty at the root of a section.
    std::wstring folderId;
    // Remote path; "\" is the root of a section.
    std::wstring path;
    int navigateType = 0;
};

class NavigationHistory {
public:
    // Drops every entry after the current one, appends the entry and makes it current.
    void Push(const HistoryEntry& entry);
    bool CanBack() const { return position_ > 0; }
    bool CanForward() const { return position_ + 1 < int(entries_.size()); }
    // Moves one step and returns the entry now current; null when there is no step.
    const HistoryEntry* Back();
    const HistoryEntry* Forward();
    // Null while empty.
    const HistoryEntry* Current() const;
    int Position() const { return position_; }
    int Size() const { return int(entries_.size()); }

    // Look-ups from the front; the empty text when nothing matches.
    std::wstring ParentIdOf(const std::wstring& folderId) const;
    std::wstring PathOf(const std::wstring& folderId, int navigateType) const;
    // The id of the folder shown at that path in that section. False when no
    // entry knows the path; the root "\" is always known (its id is empty).
    bool FolderIdOf(const std::wstring& path, int navigateType, std::wstring* folderId) const;

private:
    std::vector<HistoryEntry> entries_;
    // Index of the current entry; -1 while empty.
    int position_ = -1;
};
