#include "base/utility/fileversion.h"

#include "base/utility/formatstring.h"
#include "platform/strings.h"
#include "platform/versionnote.h"

namespace {

BOOL ReadVersion(const std::string& path, WORD& major, WORD& minor, WORD& build, WORD& revision) {
    uint16_t parts[4];
    if (path.empty() || !ReadVersionNote(path, parts))
        return 0;
    major = parts[0];
    minor = parts[1];
    build = parts[2];
    revision = parts[3];
    return 1;
}

}  // namespace

BOOL GetFileVersion(const std::wstring& path, WORD& major, WORD& minor, WORD& build, WORD& revision) {
    return ReadVersion(WideToUtf8(path), major, minor, build, revision);
}

BOOL GetModuleVersion(WORD& major, WORD& minor, WORD& build, WORD& revision) {
    // Opening /proc/self/exe reaches the file this process runs even after an
    // update replaced it on disk; its resolved path would name the new file or
    // nothing at all.
    return ReadVersion("/proc/self/exe", major, minor, build, revision);
}

int CompareVersion(WORD aMajor, WORD aMinor, WORD aBuild, WORD aRevision, WORD bMajor, WORD bMinor,
                   WORD bBuild, WORD bRevision) {
    const WORD a[4] = {aMajor, aMinor, aBuild, aRevision};
    const WORD b[4] = {bMajor, bMinor, bBuild, bRevision};
    for (int i = 0; i < 4; ++i) {
        if (a[i] != b[i])
            return a[i] > b[i] ? 1 : -1;
    }
    return 0;
}

std::wstring& GetVersionString(std::wstring& out) {
    out.clear();
    WORD major, minor, build, revision;
    if (GetModuleVersion(major, minor, build, revision))
        FormatString(out, L"%d.%d.%d.%d", major, minor, build, revision);
    return out;
}
