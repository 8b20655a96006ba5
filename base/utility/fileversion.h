#pragma once
// Program versions (major.minor.build.revision) as stamped into programs by
// the build (platform/versionnote.h).
#include <string>

#include "platform/hresult.h"

// Reads the version of a program file; non-zero on success. The parts are
// written only on success; a file without a version gives 0.
BOOL GetFileVersion(const std::wstring& path, WORD& major, WORD& minor, WORD& build, WORD& revision);
// As GetFileVersion for the running program's own file.
BOOL GetModuleVersion(WORD& major, WORD& minor, WORD& build, WORD& revision);
// 1 when version a is newer than b, 0 when equal, -1 when older; parts
// compare as unsigned numbers from major to revision.
int CompareVersion(WORD aMajor, WORD aMinor, WORD aBuild, WORD aRevision, WORD bMajor, WORD bMinor,
                   WORD bBuild, WORD bRevision);
// The running program's version as "%d.%d.%d.%d", or empty when it has none.
std::wstring& GetVersionString(std::wstring& out);
