#include "core/localstorage/localstorage/sharerlist.h"

#include "core/localstorage/localstorage/remoteitem.h"
#include "platform/strings.h"

namespace {

// The separators and the escape's own "%" are written as %HH inside fields, so
// any field reads back as it was. Only these three are undone on reading: text
// written before fields were escaped keeps any other "%" as it is.
std::wstring EscapeField(const std::wstring& field) {
    std::wstring out;
    out.reserve(field.size());
    for (wchar_t c : field) {
        if (c == L'%')
            out += L"%25";
        else if (c == L'|')
            out += L"%7C";
        else if (c == L',')
            out += L"%2C";
        else
            out += c;
    }
    return out;
}

std::wstring UnescapeField(const std::wstring& field) {
    std::wstring out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == L'%' && i + 2 < field.size()) {
            const int high = field[i + 1] < 0x80 ? HexDigitValue(static_cast<char>(field[i + 1])) : -1;
            const int low = field[i + 2] < 0x80 ? HexDigitValue(static_cast<char>(field[i + 2])) : -1;
            const int byte = high >= 0 && low >= 0 ? high * 16 + low : -1;
            if (byte == '%' || byte == '|' || byte == ',') {
                out += static_cast<wchar_t>(byte);
                i += 2;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

}  // namespace

std::wstring FormatSharerList(const std::vector<SharerInfo>& sharers) {
    std::wstring text;
    for (size_t i = 0; i < sharers.size(); ++i) {
        if (i > 0)
            text += L'|';
        const SharerInfo& s = sharers[i];
        text += EscapeField(s.userId) + L"," + std::to_wstring(s.rights) + L"," + EscapeField(s.email) +
                L"," + EscapeField(s.nickName);
    }
    return text;
}

namespace {

// Splits one record at its first three commas; missing fields stay empty.
SharerInfo ParseRecord(const std::wstring& piece) {
    std::wstring fields[4];
    size_t start = 0;
    for (int f = 0; f < 3; ++f) {
        size_t comma = piece.find(L',', start);
        if (comma == std::wstring::npos) {
            fields[f] = piece.substr(start);
            start = piece.size();
            break;
        }
        fields[f] = piece.substr(start, comma - start);
        start = comma + 1;
        if (f == 2)
            fields[3] = piece.substr(start);
    }
    SharerInfo sharer;
    sharer.userId = fields[0];
    sharer.rights = ParseReplyInt(fields[1]);
    sharer.email = fields[2];
    sharer.nickName = fields[3];
    return sharer;
}

void UnescapeFields(SharerInfo& sharer) {
    sharer.userId = UnescapeField(sharer.userId);
    sharer.email = UnescapeField(sharer.email);
    sharer.nickName = UnescapeField(sharer.nickName);
}

size_t CountCommas(const std::wstring& piece) {
    size_t n = 0;
    for (wchar_t c : piece)
        n += c == L',';
    return n;
}

}  // namespace

void ParseSharerList(const std::wstring& text, std::vector<SharerInfo>& sharers) {
    if (text.empty())
        return;
    std::vector<std::wstring> pieces;
    size_t start = 0;
    for (;;) {
        size_t bar = text.find(L'|', start);
        if (bar == std::wstring::npos) {
            pieces.push_back(text.substr(start));
            break;
        }
        pieces.push_back(text.substr(start, bar - start));
        start = bar + 1;
    }
    const size_t first = sharers.size();
    bool haveRecord = false;
    for (const std::wstring& piece : pieces) {
        // The writer never makes a record with fewer than three commas, so
        // such a piece is the rest of a nick name that held a "|" (written
        // before fields were escaped).
        if (haveRecord && CountCommas(piece) < 3) {
            sharers.back().nickName += L"|" + piece;
            continue;
        }
        sharers.push_back(ParseRecord(piece));
        haveRecord = true;
    }
    for (size_t i = first; i < sharers.size(); ++i)
        UnescapeFields(sharers[i]);
}

std::wstring FormatSharerDisplayName(const SharerInfo& sharer) {
    if (CompareNoCase(sharer.nickName, sharer.email) == 0)
        return sharer.nickName;
    return sharer.nickName + L"(" + sharer.email + L")";
}
