#pragma once
// The entries of the navigation pane without any widget: the four sections,
// the add-favourite entry and the user's favourites, each kept as its text
// "kind|type|name|id|parentId|path", stored together as "NavigateData" (every
// text followed by ':').
#include <string>
#include <vector>

class CNavigateModel {
public:
    // The first four entries are the sections; the fifth adds a favourite.
    static constexpr int kFixedEntries = 4;
    static constexpr int kBuiltInEntries = 5;
    static constexpr int kTypeAddFavorite = 5;
    static constexpr int kTypeDropped = 6;

    struct Entry {
        std::wstring text;
        int kind = 0;
        int type = 0;
        std::wstring name;
    };
    struct MenuState {
        bool canDelete = false;
        bool canMoveUp = false;
        bool canMoveDown = false;
    };

    static std::vector<std::wstring> BuiltInTexts();

    // Reads "NavigateData"; empty gives the built-in entries. A list whose
    // fourth entry is not the recycle bin (written before it existed) gets it
    // inserted there. Texts with fewer than six fields are skipped.
    void Load(const std::wstring& data);
    std::wstring Save() const;

    int Count() const { return int(entries_.size()); }
    const Entry& At(int index) const { return entries_[index]; }
    // The fields of an entry's text (at least six for every loaded entry).
    static std::vector<std::wstring> Fields(const std::wstring& text);
    // The section an entry opens: types other than 0-3 and 5 open my files.
    static int OpenType(int type);

    // The dropped records (the explorer's drag text); records with fewer
    // than six fields are skipped. Returns how many were added.
    int AddDropped(const std::wstring& text);
    void Append(const std::wstring& text, int type);
    bool Remove(int index);
    // Swaps with the entry above / below; false when that is not allowed.
    bool MoveUp(int index);
    bool MoveDown(int index);
    // Which context-menu commands apply to the entry under the cursor (-1 none).
    MenuState MenuFor(int index) const;

private:
    bool Add(const std::wstring& text, int typeOverride);

    std::vector<Entry> entries_;
};
