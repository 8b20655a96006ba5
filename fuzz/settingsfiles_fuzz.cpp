// The settings files as a damaged machine leaves them: the configuration file
// and the registry store are read, one value is written, and every other
// value must read back exactly as before.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/atomicfile.h"
#include "platform/profile.h"
#include "platform/registrystore.h"
#include "platform/strings.h"

namespace {

std::string g_folder;

void RemoveFolder() {
    for (const char* name : {"/settings.ini", "/registry.ini", "/registry.ini.lock"})
        unlink((g_folder + name).c_str());
    rmdir(g_folder.c_str());
}

// "%HH" undone, as the registry store writes names.
std::string PercentDecoded(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 &&
            HexDigitValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Section and key names the text may hold: bracketed texts and what comes
// before "=" on each line, as written and decoded, trimmed and not.
void Candidates(const std::string& text, std::set<std::wstring>* sections, std::set<std::wstring>* keys) {
    size_t pos = 0;
    while (pos <= text.size() && sections->size() + keys->size() < 64) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        if (!line.empty() && line[0] == '[') {
            const size_t close = line.find(']');
            const std::string name =
                line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
            sections->insert(Utf8ToWide(name));
            sections->insert(Utf8ToWide(PercentDecoded(name)));
        }
        const size_t eq = line.find('=');
        const std::string name = line.substr(0, eq);
        keys->insert(Utf8ToWide(name));
        keys->insert(Utf8ToWide(PercentDecoded(name)));
    }
    sections->insert(L"Pellux");
    keys->insert(L"v");
}

typedef std::vector<std::pair<bool, std::wstring>> Snapshot;

Snapshot ReadIni(const std::string& file, const std::set<std::wstring>& sections,
                 const std::set<std::wstring>& keys) {
    Snapshot out;
    for (const auto& section : sections) {
        for (const auto& key : keys) {
            std::wstring value;
            const bool found = FindProfileValue(file, section, key, &value);
            out.emplace_back(found, value);
        }
    }
    return out;
}

Snapshot ReadRegistry(const CRegistryStore& store, const std::set<std::wstring>& sections,
                      const std::set<std::wstring>& keys) {
    Snapshot out;
    for (const auto& section : sections) {
        for (const auto& key : keys) {
            RegistryValue value;
            const bool found = store.QueryValue(section, key, &value);
            out.emplace_back(found, std::to_wstring(value.type) + L":" + value.text + L":" +
                                        std::to_wstring(value.number));
        }
    }
    return out;
}

// The configuration file ignores blanks around names; the registry store does not.
std::wstring Trimmed(const std::wstring& text, bool trim) {
    if (!trim)
        return text;
    const wchar_t* blanks = L" \t\r\v\f";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::wstring::npos)
        return std::wstring();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Every entry except those of the written (section, key) must be equal.
void ExpectUnchanged(const Snapshot& before, const Snapshot& after, const std::set<std::wstring>& sections,
                     const std::set<std::wstring>& keys, const std::wstring& section, const std::wstring& key,
                     bool trim) {
    size_t i = 0;
    for (const auto& s : sections) {
        for (const auto& k : keys) {
            const bool written = CompareNoCase(Trimmed(s, trim), Trimmed(section, trim)) == 0 &&
                                 CompareNoCase(Trimmed(k, trim), Trimmed(key, trim)) == 0;
            if (!written && before[i] != after[i])
                abort();
            ++i;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Every write flushes to disk: memory-backed files keep the runs fast.
    const char* tmp = getenv("TMPDIR");
    const char* folder = tmp && *tmp ? tmp : (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
    std::string pattern = std::string(folder) + "/pellux-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data()))
        abort();
    g_folder = pattern;
    atexit(RemoveFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::set<std::wstring> sections, keys;
    Candidates(text, &sections, &keys);
    // The first byte picks the written value among the names found.
    const size_t pick = data[0] % (sections.size() * keys.size());
    const std::wstring section = *std::next(sections.begin(), static_cast<long>(pick / keys.size()));
    const std::wstring key = *std::next(keys.begin(), static_cast<long>(pick % keys.size()));

    const std::string ini = g_folder + "/settings.ini";
    if (!ReplaceWholeFile(ini, text, 0600))
        abort();
    const Snapshot iniBefore = ReadIni(ini, sections, keys);
    if (WriteProfileString(ini, section, key, L"written")) {
        std::wstring value;
        if (!FindProfileValue(ini, section, key, &value) || value != L"written")
            abort();
    }
    ExpectUnchanged(iniBefore, ReadIni(ini, sections, keys), sections, keys, section, key, true);

    const std::string registry = g_folder + "/registry.ini";
    if (!ReplaceWholeFile(registry, text, 0600))
        abort();
    CRegistryStore store(registry);
    const Snapshot regBefore = ReadRegistry(store, sections, keys);
    if (SUCCEEDED(store.SetValue(section, key, RegistryValue::Dword(7)))) {
        RegistryValue value;
        if (!store.QueryValue(section, key, &value) || value.type != REG_DWORD || value.number != 7)
            abort();
    }
    ExpectUnchanged(regBefore, ReadRegistry(store, sections, keys), sections, keys, section, key, false);
    return 0;
}
