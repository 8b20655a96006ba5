#pragma once
// Windows profile (INI) files: GetPrivateProfileString/Int and
// WritePrivateProfileString semantics on UTF-8 files (a UTF-8 BOM is skipped).
// Section and key names compare without regard to case; names and values are
// trimmed of blanks, and a value enclosed in matching single or double quotes
// loses them. The file is read again on every call; values of any length are
// returned whole. Paths are UTF-8.
#include <string>
#include <utility>
#include <vector>

// The value of the key, or the default (trailing blanks removed) when the
// file, the section or the key is missing.
std::wstring GetProfileString(const std::string& file, const std::wstring& section, const std::wstring& key,
                              const std::wstring& defaultText);
// True when the file holds the key in the section; *value gets its text.
bool FindProfileValue(const std::string& file, const std::wstring& section, const std::wstring& key,
                      std::wstring* value);
// The key's value as an integer: an optional sign, then decimal digits (or
// hexadecimal after "0x") up to the first other character, so "-1" is -1 and
// "12ab" is 12. The default when the key is missing or its value is empty;
// 0 when the value does not start with a number.
int GetProfileInt(const std::string& file, const std::wstring& section, const std::wstring& key,
                  int defaultValue);

// The same reads on profile text already in memory (a file read once through
// a descriptor the caller vetted): every key of the first section with the
// name, in file order, values with their quotes stripped. False when the text
// holds no such section.
bool ReadProfileSectionText(const std::string& bytes, const std::wstring& section,
                            std::vector<std::pair<std::wstring, std::wstring>>* entries);
// A profile value read as GetProfileInt reads it; the default when it is empty.
int ParseProfileInt(const std::wstring& value, int defaultValue);

// Sets the key in the section, creating the file, the section or the key as
// needed and keeping every other line. The file is replaced atomically.
// False when it cannot be written, or when a name or the value holds a line
// break or NUL (it would corrupt the file), the section holds "]", or the
// key is empty, holds "=" or starts with "[" or ";".
bool WriteProfileString(const std::string& file, const std::wstring& section, const std::wstring& key,
                        const std::wstring& value);
