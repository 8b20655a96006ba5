#include "ui/middlewindow/explorerwindow/navigationhistory.h"

void NavigationHistory::Push(const HistoryEntry& entry) {
    entries_.resize(size_t(position_ + 1));
    entries_.push_back(entry);
    position_ = int(entries_.size()) - 1;
}

const HistoryEntry* NavigationHistory::Back() {
    if (!CanBack())
        return nullptr;
    return &entries_[size_t(--position_)];
}

const HistoryEntry* NavigationHistory::Forward() {
    if (!CanForward())
        return nullptr;
    return &entries_[size_t(++position_)];
}

const HistoryEntry* NavigationHistory::Current() const {
    return position_ < 0 ? nullptr : &entries_[size_t(position_)];
}

std::wstring NavigationHistory::ParentIdOf(const std::wstring& folderId) const {
    for (const HistoryEntry& e : entries_) {
        if (e.folderId == folderId)
            return e.parentId;
    }
    return std::wstring();
}

std::wstring NavigationHistory::PathOf(const std::wstring& folderId, int navigateType) const {
    if (folderId.empty())
        return L"\\";
    for (const HistoryEntry& e : entries_) {
        if (e.folderId == folderId && e.navigateType == navigateType)
            return e.path;
    }
    return std::wstring();
}

bool NavigationHistory::FolderIdOf(const std::wstring& path, int navigateType, std::wstring* folderId) const {
    if (path == L"\\") {
        folderId->clear();
        return true;
    }
    for (const HistoryEntry& e : entries_) {
        if (e.path == path && e.navigateType == navigateType && !e.folderId.empty()) {
            *folderId = e.folderId;
            return true;
        }
    }
    return false;
}
