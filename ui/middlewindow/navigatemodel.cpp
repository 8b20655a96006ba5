#include "ui/middlewindow/navigatemodel.h"

#include <cwchar>

namespace {

constexpr int kMinFields = 6;
const wchar_t kRecycleText[] = L"1|3|回收站|||\\";

std::vector<std::wstring> Split(const std::wstring& text, wchar_t separator) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::wstring::npos ? std::wstring::npos : at - start));
        if (at == std::wstring::npos)
            return parts;
        start = at + 1;
    }
}

int Decimal(const std::wstring& text) {
    return static_cast<int>(std::wcstol(text.c_str(), nullptr, 10));
}

}  // namespace

std::vector<std::wstring> CNavigateModel::BuiltInTexts() {
    return {L"1|0|根目录|||\\", L"1|2|别人共享给我的文件|||\\", L"1|1|我共享给别人的文件|||\\", kRecycleText,
            L"1|5|添加收藏文件/目录|||\\"};
}

std::vector<std::wstring> CNavigateModel::Fields(const std::wstring& text) {
    return Split(text, L'|');
}

int CNavigateModel::OpenType(int type) {
    return (type >= 0 && type <= 3) || type == kTypeAddFavorite ? type : 0;
}

bool CNavigateModel::Add(const std::wstring& text, int typeOverride) {
    const std::vector<std::wstring> fields = Fields(text);
    if (fields.size() < kMinFields)
        return false;
    Entry entry;
    entry.text = text;
    entry.kind = Decimal(fields[0]);
    entry.type = typeOverride >= 0 ? typeOverride : Decimal(fields[1]);
    entry.name = fields[2];
    entries_.push_back(std::move(entry));
    return true;
}

void CNavigateModel::Load(const std::wstring& data) {
    entries_.clear();
    std::vector<std::wstring> texts;
    for (std::wstring& text : Split(data, L':'))
        if (Fields(text).size() >= kMinFields)
            texts.push_back(std::move(text));
    if (texts.empty())
        texts = BuiltInTexts();
    if (texts.size() > 3 && texts[3] != kRecycleText) {
        // Lists from before the recycle bin kept "add a favourite" as type 4.
        std::vector<std::wstring> fields = Fields(texts[3]);
        if (fields.size() > 1 && fields[1] == L"4") {
            fields[1] = L"5";
            std::wstring joined;
            for (size_t i = 0; i < fields.size(); ++i)
                joined += (i ? L"|" : L"") + fields[i];
            texts[3] = joined;
        }
        texts.insert(texts.begin() + 3, kRecycleText);
    }
    for (const std::wstring& text : texts)
        Add(text, -1);
}

std::wstring CNavigateModel::Save() const {
    std::wstring data;
    for (const Entry& entry : entries_)
        data += entry.text + L":";
    return data;
}

int CNavigateModel::AddDropped(const std::wstring& text) {
    int added = 0;
    for (const std::wstring& record : Split(text, L':'))
        if (!record.empty() && Add(record, kTypeDropped))
            ++added;
    return added;
}

void CNavigateModel::Append(const std::wstring& text, int type) {
    Add(text, type);
}

bool CNavigateModel::Remove(int index) {
    if (!MenuFor(index).canDelete)
        return false;
    entries_.erase(entries_.begin() + index);
    return true;
}

bool CNavigateModel::MoveUp(int index) {
    if (!MenuFor(index).canMoveUp)
        return false;
    std::swap(entries_[index], entries_[index - 1]);
    return true;
}

bool CNavigateModel::MoveDown(int index) {
    if (!MenuFor(index).canMoveDown)
        return false;
    std::swap(entries_[index], entries_[index + 1]);
    return true;
}

CNavigateModel::MenuState CNavigateModel::MenuFor(int index) const {
    MenuState state;
    if (index < kFixedEntries || index >= Count())
        return state;
    state.canDelete = true;
    state.canMoveUp = index > kFixedEntries;
    state.canMoveDown = index < Count() - 1;
    return state;
}
