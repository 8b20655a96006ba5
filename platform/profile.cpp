#include "platform/profile.h"

#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/atomicfile.h"
#include "platform/parsedfilecache.h"
#include "platform/strings.h"

namespace {

const char kBom[] = "\xEF\xBB\xBF";

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\v' || c == L'\f';
}

std::wstring Trim(const std::wstring& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

std::wstring TrimRight(const std::wstring& s) {
    size_t e = s.size();
    while (e > 0 && IsBlank(s[e - 1]))
        --e;
    return s.substr(0, e);
}

struct Line {
    enum Kind {
        kOther,    // blank, comment or text that names nothing
        kSection,  // "[name]"
        kEntry,    // "key=value", or a bare key without "="
    };
    Kind kind = kOther;
    std::wstring name;   // section or key name, trimmed
    std::wstring value;  // trimmed, quotes not yet stripped
    std::string raw;     // the line as read, for rewriting
};

std::vector<Line> ParseLines(const std::string& bytes, bool* hadBom) {
    size_t pos = 0;
    bool bom = bytes.compare(0, 3, kBom) == 0;
    if (bom)
        pos = 3;
    if (hadBom)
        *hadBom = bom;
    std::vector<Line> lines;
    while (pos < bytes.size()) {
        size_t end = bytes.find('\n', pos);
        if (end == std::string::npos)
            end = bytes.size();
        Line line;
        line.raw = bytes.substr(pos, end - pos);
        pos = end + 1;
        if (!line.raw.empty() && line.raw.back() == '\r')
            line.raw.pop_back();
        std::wstring text = Trim(Utf8ToWide(line.raw));
        if (text.empty() || text[0] == L';') {
            // Kept as kOther.
        } else if (text[0] == L'[') {
            size_t close = text.find(L']');
            if (close != std::wstring::npos) {
                line.kind = Line::kSection;
                line.name = Trim(text.substr(1, close - 1));
            }
        } else {
            line.kind = Line::kEntry;
            size_t eq = text.find(L'=');
            line.name = Trim(text.substr(0, eq));
            if (eq != std::wstring::npos)
                line.value = Trim(text.substr(eq + 1));
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

// Index of the first section header with the name, or -1.
long FindSection(const std::vector<Line>& lines, const std::wstring& section) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].kind == Line::kSection && CompareNoCase(lines[i].name, section) == 0)
            return static_cast<long>(i);
    return -1;
}

std::wstring StripQuotes(const std::wstring& v) {
    if (v.size() >= 2 && (v[0] == L'"' || v[0] == L'\'') && v.back() == v[0])
        return v.substr(1, v.size() - 2);
    return v;
}

bool Contains(const std::wstring& s, const wchar_t* chars) {
    return s.find_first_of(chars) != std::wstring::npos;
}

bool HasNul(const std::wstring& s) {
    return s.find(L'\0') != std::wstring::npos;
}

std::mutex g_writeMutex;

}  // namespace

bool FindProfileValue(const std::string& file, const std::wstring& section, const std::wstring& key,
                      std::wstring* value) {
    // Every request reads several settings: the parsed file is kept until it
    // changes on disk.
    static auto* const cache = new CParsedFileCache<std::vector<Line>>;
    const std::shared_ptr<const std::vector<Line>> parsed = cache->Get(
        file, [&file](std::string* bytes) { return ReadWholeFile(file, bytes); },
        [](const std::string& bytes) { return ParseLines(bytes, nullptr); });
    if (!parsed)
        return false;
    const std::vector<Line>& lines = *parsed;
    // Names are compared trimmed, as the writer stores them.
    long s = FindSection(lines, Trim(section));
    if (s < 0)
        return false;
    std::wstring wantKey = Trim(key);
    for (size_t i = static_cast<size_t>(s) + 1; i < lines.size() && lines[i].kind != Line::kSection; ++i) {
        if (lines[i].kind == Line::kEntry && CompareNoCase(lines[i].name, wantKey) == 0) {
            if (value)
                *value = StripQuotes(lines[i].value);
            return true;
        }
    }
    return false;
}

std::wstring GetProfileString(const std::string& file, const std::wstring& section, const std::wstring& key,
                              const std::wstring& defaultText) {
    std::wstring value;
    if (FindProfileValue(file, section, key, &value))
        return value;
    return TrimRight(defaultText);
}

int GetProfileInt(const std::string& file, const std::wstring& section, const std::wstring& key,
                  int defaultValue) {
    std::wstring v;
    if (!FindProfileValue(file, section, key, &v))
        return defaultValue;
    return ParseProfileInt(v, defaultValue);
}

int ParseProfileInt(const std::wstring& v, int defaultValue) {
    if (v.empty())
        return defaultValue;
    size_t i = 0;
    while (i < v.size() && IsBlank(v[i]))
        ++i;
    bool negative = false;
    if (i < v.size() && (v[i] == L'-' || v[i] == L'+'))
        negative = v[i++] == L'-';
    unsigned base = 10;
    if (i + 1 < v.size() && v[i] == L'0' && (v[i + 1] == L'x' || v[i + 1] == L'X')) {
        base = 16;
        i += 2;
    }
    uint32_t n = 0;  // wraps as the 32-bit read does
    for (; i < v.size(); ++i) {
        wchar_t c = v[i];
        unsigned d;
        if (c >= L'0' && c <= L'9')
            d = static_cast<unsigned>(c - L'0');
        else if (base == 16 && c >= L'a' && c <= L'f')
            d = static_cast<unsigned>(c - L'a' + 10);
        else if (base == 16 && c >= L'A' && c <= L'F')
            d = static_cast<unsigned>(c - L'A' + 10);
        else
            break;
        n = n * base + d;
    }
    if (negative)
        n = 0u - n;
    return static_cast<int>(n);
}

bool ReadProfileSectionText(const std::string& bytes, const std::wstring& section,
                            std::vector<std::pair<std::wstring, std::wstring>>* entries) {
    std::vector<Line> lines = ParseLines(bytes, nullptr);
    long s = FindSection(lines, section);
    if (s < 0)
        return false;
    for (size_t i = static_cast<size_t>(s) + 1; i < lines.size() && lines[i].kind != Line::kSection; ++i)
        if (lines[i].kind == Line::kEntry && entries)
            entries->emplace_back(lines[i].name, StripQuotes(lines[i].value));
    return true;
}

bool WriteProfileString(const std::string& file, const std::wstring& section, const std::wstring& key,
                        const std::wstring& value) {
    const wchar_t* breaks = L"\r\n";
    std::wstring sec = Trim(section), k = Trim(key);
    if (Contains(section, breaks) || Contains(key, breaks) || Contains(value, breaks) || HasNul(section) ||
        HasNul(key) || HasNul(value) || Contains(sec, L"]") || k.empty() || Contains(k, L"=") ||
        k[0] == L'[' || k[0] == L';')
        return false;

    std::lock_guard<std::mutex> guard(g_writeMutex);
    std::string bytes;
    bool missing = false;
    if (!ReadWholeFile(file, &bytes, &missing) && !missing)
        return false;
    bool bom = false;
    std::vector<Line> lines = ParseLines(bytes, &bom);
    std::string entry = WideToUtf8(k) + "=" + WideToUtf8(value);

    long s = FindSection(lines, sec);
    if (s < 0) {
        Line header;
        header.raw = "[" + WideToUtf8(sec) + "]";
        lines.push_back(header);
        Line e;
        e.raw = entry;
        lines.push_back(e);
    } else {
        size_t insertAt = static_cast<size_t>(s) + 1;
        bool replaced = false;
        for (size_t i = insertAt; i < lines.size() && lines[i].kind != Line::kSection; ++i) {
            if (lines[i].kind == Line::kEntry) {
                if (CompareNoCase(lines[i].name, k) == 0) {
                    lines[i].raw = entry;
                    replaced = true;
                    break;
                }
                insertAt = i + 1;
            }
        }
        if (!replaced) {
            Line e;
            e.raw = entry;
            lines.insert(lines.begin() + static_cast<long>(insertAt), e);
        }
    }
    std::string out = bom ? kBom : "";
    for (const auto& line : lines)
        out += line.raw + "\n";
    return ReplaceWholeFile(file, out, 0644);
}
