#pragma once
// File operations of the local store on local paths ("/"), with their
// failures turned into the local result codes the tasks report.
#include <sys/stat.h>

#include <string>

#include "platform/hresult.h"

// 0 for 0; 0x80046001 for a missing file or folder; 0x80046002 for a file
// that is busy, locked, refused or on another device; 0x80046003 for an
// existing one; E_FAIL otherwise.
HRESULT LocalResultFromErrno(int err);

// A fresh name for a temporary file: 38 characters, upper-case hexadecimal in
// braces ({XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}), from random bits.
std::wstring NewTempFileName();

// Copies the contents of a regular file over the destination (created or
// replaced). A failed copy leaves no destination behind.
HRESULT CopyLocalFile(const std::wstring& source, const std::wstring& destination);

// Moves a file onto the destination, replacing a file there, and waits until
// the move is on disk. Across file systems the bytes go to a hidden file in the
// destination's folder first, which is flushed and renamed into place before
// the source is removed, so the destination is never seen half written.
HRESULT MoveLocalFileReplacing(const std::wstring& source, const std::wstring& destination);

// Removes everything inside the folder, never following a symbolic link: a
// link is removed itself, whatever it points at. Failures do not stop the walk.
void EmptyFolderNoFollow(const std::wstring& folder);

// Removes a file if it is there; failures are ignored (clean-up paths).
void RemoveFileQuietly(const std::wstring& path);

// What tells that a file was changed: which file it is, its size and its
// change times. Any write moves the change time, and the kernel stamps it
// finely once it has been read, so comparing two of these catches a change
// between them without reading the contents twice.
struct FileState {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    struct timespec modified {};
    struct timespec changed {};
};

// E_FAIL when the path is no regular file that can be examined.
HRESULT ReadFileState(const std::wstring& path, FileState& state);
bool SameFileState(const FileState& a, const FileState& b);
