#pragma once
// Conversions between the core's wide strings and UTF-8 (wire, database, files).
// Invalid input is replaced by U+FFFD, never a crash.
#include <cstdint>
#include <functional>
#include <string>

std::wstring Utf8ToWide(const std::string& text);
std::wstring Utf8ToWide(const char* text, size_t length);
std::string WideToUtf8(const std::wstring& text);
std::string WideToUtf8(const wchar_t* text, size_t length);

// UTF-16 code units (Qt, positions that count as on Windows) for the wide text.
std::u16string WideToUtf16(const std::wstring& text);
std::wstring Utf16ToWide(const std::u16string& text);

// Ordinal comparison that folds only ASCII A-Z / a-z; returns <0, 0, >0.
int CompareNoCaseAscii(const std::wstring& a, const std::wstring& b);
int CompareNoCaseAscii(const std::string& a, const std::string& b);
// Case-insensitive comparison over the whole Unicode range (simple case folding
// through towlower), as Windows compares registry and INI names.
int CompareNoCase(const std::wstring& a, const std::wstring& b);
std::wstring ToLowerWide(const std::wstring& text);

// The value of one hexadecimal digit (either case), or -1.
int HexDigitValue(char c);
// The one "%HH" escaper: every byte for which escape holds becomes "%" and two
// hexadecimal digits (upper case unless lowerCase), the rest stays.
std::string PercentEscape(const std::string& bytes, const std::function<bool(unsigned char)>& escape,
                          bool lowerCase = false);

// The one decimal parser for numbers from the service, files and settings:
// blanks, an optional sign and the leading digits, saturated at the type's
// range; 0 when there are no digits.
int64_t ParseReplyInt64(const std::wstring& text);
int ParseReplyInt(const std::wstring& text);
