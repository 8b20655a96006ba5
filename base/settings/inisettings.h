#pragma once
// Reads of the settings file "config.ini" in the per-user folder. The file is
// read again on every call; a missing file, section or key gives the default.
#include <string>

// Points the settings holder at "config.ini" in the folder; returns 0.
int SetIniFolder(const std::wstring& folder);

// The value of the key, read whole whatever its length.
std::wstring& IniReadString(std::wstring& out, const std::wstring& section, const std::wstring& key,
                            const std::wstring& defaultText);
// The key's value as an integer (a sign is accepted, so "-1" is -1); the
// default when the key is missing or empty.
int IniReadInt(const std::wstring& section, const std::wstring& key, int defaultValue);
