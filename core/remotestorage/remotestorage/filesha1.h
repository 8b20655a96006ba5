#pragma once
// SHA-1 of a file's contents as 40 lower-case hexadecimal digits, the form the
// service compares for uploads and downloads.
#include <atomic>
#include <functional>
#include <string>

#include "platform/hresult.h"

struct Sha1Context;

// Finishes a digest grown elsewhere and gives it in the same form.
std::wstring FinalSha1Hex(Sha1Context* context);

// Bytes read and hashed between two looks at the cancel callback.
constexpr size_t kFileSha1ChunkBytes = 65536;

// goOn (may be empty) is asked after every chunk and stops hashing with
// E_FAIL when it returns false. E_FAIL also when the file cannot be opened or
// read; hex is set only on success.
HRESULT FileSha1Hex(const std::wstring& path, const std::function<bool()>& goOn, std::wstring& hex);
// The same, stopped within one chunk once the flag is set from any thread.
HRESULT FileSha1Hex(const std::wstring& path, const std::atomic<bool>& cancel, std::wstring& hex);
