#pragma once
// Whether another program holds a local file, before it is uploaded.
#include <string>

#include "platform/hresult.h"

// S_OK when the file can be read and nobody is seen holding it;
// E_LOCAL_FILE_MISSING when it (or its folder) does not exist; E_LOCAL_BUSY
// when it cannot be opened or is held.
//
// Linux has no exclusive open, so "held" is what can be seen: an advisory
// lock on the file (fcntl record locks, open-file-description locks and
// flock locks, from any process on this machine) or an editor's lock file
// beside it (LibreOffice ".~lock.NAME#", Microsoft Office "~$NAME", Emacs
// ".#NAME", Vim ".NAME.swp"). It cannot see a program that merely has the file
// open or keeps its contents in memory (most editors), locks taken on another
// machine of a network file system, or lock files of other editors.
HRESULT ProbeFileBusy(const std::wstring& path);
