#include "platform/registrystore.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/atomicfile.h"
#include "platform/filelock.h"
#include "platform/parsedfilecache.h"
#include "platform/strings.h"
#include "platform/xdgfolders.h"

// File layout:
//   [Software\Pellux\12345]
//   UserName=sz:someone@example.org
//   LoginMode=dword:00000001
// Bytes that would break the line structure are written as %HH.
namespace {

const char kHeader[] =
    "; Pellux settings store: [key path], then name=sz:text, name=expand_sz:text or "
    "name=dword:hhhhhhhh; %HH stands for one byte.\n";

// How long a read waits for a writer (or a hung process) holding the lock.
constexpr uint32_t kReadLockWaitMs = 2000;

struct Entry {
    std::wstring name;
    RegistryValue value;
    // A line of a kind this version does not know, kept as it was (its CR
    // included); never empty for such a line.
    std::string rawLine;
};

struct Key {
    std::wstring path;
    std::vector<Entry> entries;
};

struct Document {
    std::vector<std::string> looseLines;  // value lines found before any key
    std::vector<Key> keys;
};

bool MustEscape(unsigned char c, const char* extra) {
    if (c < 0x20 || c == 0x7F || c == '%')
        return true;
    for (const char* p = extra; *p; ++p)
        if (c == static_cast<unsigned char>(*p))
            return true;
    return false;
}

std::string Escape(const std::wstring& text, const char* extra) {
    return PercentEscape(WideToUtf8(text), [extra](unsigned char c) { return MustEscape(c, extra); });
}

std::wstring Unescape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 &&
            HexDigitValue(text[i + 2]) >= 0) {
            out.push_back(static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2])));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return Utf8ToWide(out);
}

bool ParseValue(const std::string& data, RegistryValue* value) {
    auto startsWith = [&data](const char* prefix, size_t n) { return data.compare(0, n, prefix) == 0; };
    if (startsWith("sz:", 3)) {
        *value = RegistryValue::String(Unescape(data.substr(3)), REG_SZ);
        return true;
    }
    if (startsWith("expand_sz:", 10)) {
        *value = RegistryValue::String(Unescape(data.substr(10)), REG_EXPAND_SZ);
        return true;
    }
    if (startsWith("dword:", 6)) {
        std::string digits = data.substr(6);
        if (digits.empty() || digits.size() > 8)
            return false;
        DWORD n = 0;
        for (char c : digits) {
            int v = HexDigitValue(c);
            if (v < 0)
                return false;
            n = n * 16 + static_cast<DWORD>(v);
        }
        *value = RegistryValue::Dword(n);
        return true;
    }
    return false;
}

Document Parse(const std::string& text) {
    Document doc;
    Key* current = nullptr;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        // Lines this reader cannot use are written back byte for byte: with
        // one CR fewer the next read could give them another meaning.
        const std::string raw = text.substr(pos, end - pos);
        pos = end + 1;
        std::string line = raw;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[' && line.back() == ']' && line.size() >= 2) {
            std::wstring path = Unescape(line.substr(1, line.size() - 2));
            current = nullptr;
            for (auto& k : doc.keys) {
                if (CompareNoCase(k.path, path) == 0) {
                    current = &k;
                    break;
                }
            }
            if (!current) {
                doc.keys.push_back(Key{path, {}});
                current = &doc.keys.back();
            }
            continue;
        }
        if (!current) {
            doc.looseLines.push_back(raw);
            continue;
        }
        Entry entry;
        size_t eq = line.find('=');
        if (eq == std::string::npos || !ParseValue(line.substr(eq + 1), &entry.value)) {
            entry.rawLine = raw;
        } else {
            entry.name = Unescape(line.substr(0, eq));
        }
        current->entries.push_back(entry);
    }
    return doc;
}

std::string Serialize(const Document& doc) {
    std::string out = kHeader;
    for (const auto& line : doc.looseLines)
        out += line + "\n";
    for (const auto& key : doc.keys) {
        out += "\n[" + Escape(key.path, "[]") + "]\n";
        for (const auto& e : key.entries) {
            if (!e.rawLine.empty()) {
                out += e.rawLine + "\n";
                continue;
            }
            out += Escape(e.name, "=[];");
            switch (e.value.type) {
                case REG_DWORD: {
                    char buf[16];
                    snprintf(buf, sizeof(buf), "%08x", e.value.number);
                    out += std::string("=dword:") + buf + "\n";
                    break;
                }
                case REG_EXPAND_SZ:
                    out += "=expand_sz:" + Escape(e.value.text, "") + "\n";
                    break;
                default:
                    out += "=sz:" + Escape(e.value.text, "") + "\n";
            }
        }
    }
    return out;
}

const Entry* FindEntry(const Document& doc, const std::wstring& keyPath, const std::wstring& name) {
    for (const auto& k : doc.keys) {
        if (CompareNoCase(k.path, keyPath) != 0)
            continue;
        for (const auto& e : k.entries)
            if (e.rawLine.empty() && CompareNoCase(e.name, name) == 0)
                return &e;
        return nullptr;
    }
    return nullptr;
}

}  // namespace

RegistryValue RegistryValue::String(const std::wstring& text, DWORD type) {
    RegistryValue v;
    v.type = type;
    v.text = text;
    return v;
}

RegistryValue RegistryValue::Dword(DWORD number) {
    RegistryValue v;
    v.type = REG_DWORD;
    v.number = number;
    return v;
}

CRegistryStore::CRegistryStore() : m_path(DefaultFilePath()) {}

CRegistryStore::CRegistryStore(std::string filePath) : m_path(std::move(filePath)) {}

std::string CRegistryStore::DefaultFilePath() {
    const char* over = std::getenv("PELLUX_REGISTRY_FILE");
    if (over && *over)
        return over;
    return GetConfigHomeFolder() + "/Velmoran/registry.ini";
}

bool CRegistryStore::QueryValue(const std::wstring& keyPath, const std::wstring& name,
                                RegistryValue* value) const {
    // Every transfer reads the proxy values: the parsed file is kept until it
    // changes on disk. Writers rename whole files into place, so a store whose
    // lock is held too long or cannot be created (a read-only folder) is still
    // read whole without it.
    static auto* const cache = new CParsedFileCache<Document>;
    const std::string path = m_path;
    const std::shared_ptr<const Document> doc = cache->Get(
        path,
        [&path](std::string* text) {
            CFileLock lock;
            if (lock.Open(path + ".lock"))
                lock.Lock(false, kReadLockWaitMs);
            return ReadWholeFile(path, text);
        },
        Parse);
    if (!doc)
        return false;
    const Entry* e = FindEntry(*doc, keyPath, name);
    if (!e)
        return false;
    if (value)
        *value = e->value;
    return true;
}

HRESULT CRegistryStore::SetValue(const std::wstring& keyPath, const std::wstring& name,
                                 const RegistryValue& value) {
    if (value.type != REG_SZ && value.type != REG_EXPAND_SZ && value.type != REG_DWORD)
        return E_INVALIDARG;
    const std::string folder = ParentFolderOf(m_path);
    if (!MakeDirectories(folder, 0700))
        return E_FAIL;
    CFileLock lock;
    if (!lock.Open(m_path + ".lock") || !lock.Lock(true))
        return E_FAIL;
    std::string text;
    bool missing = false;
    if (!ReadWholeFile(m_path, &text, &missing) && !missing)
        return E_FAIL;
    Document doc = Parse(text);

    Key* key = nullptr;
    for (auto& k : doc.keys) {
        if (CompareNoCase(k.path, keyPath) == 0) {
            key = &k;
            break;
        }
    }
    if (!key) {
        doc.keys.push_back(Key{keyPath, {}});
        key = &doc.keys.back();
    }
    Entry* entry = nullptr;
    for (auto& e : key->entries)
        if (e.rawLine.empty() && CompareNoCase(e.name, name) == 0) {
            entry = &e;
            break;
        }
    if (!entry) {
        key->entries.push_back(Entry{name, {}, {}});
        entry = &key->entries.back();
    }
    entry->value = value;
    return ReplaceWholeFile(m_path, Serialize(doc), 0600, true) ? S_OK : E_FAIL;
}
