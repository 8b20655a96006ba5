#pragma once
// File times as the texts the local storage hands out.
#include <cstdint>
#include <string>

#include "platform/hresult.h"

// A FILETIME value (100 ns units since 1601 UTC) in local time as
// "YYYY-MM-DD hh:mm:ss.fffffff", the fraction in 100 ns units.
std::wstring FormatLocalFileTime(uint64_t fileTime);

// The creation and last-write times of a local file in that form. E_FAIL when
// the path cannot be examined; both texts then keep what they held.
HRESULT FormatFileTime(const std::wstring& path, std::wstring& creationTime, std::wstring& lastWriteTime);
