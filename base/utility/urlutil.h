#pragma once
// Percent-encoding of query values (byte strings, usually UTF-8).
#include <string>

#include "platform/strings.h"  // HexDigitValue

// True for bytes 127 and above and for & space = % . / + ` { } | [ ] " < > \ ^ ;
bool IsUrlReserved(unsigned char byte);

// Writes every reserved byte as "%" and two lowercase hexadecimal digits and
// every other byte as it is; returns the out string.
std::string& UrlEncode(const std::string& text, std::string& out);

// Replaces the out string with the decoded bytes: "%" followed by one or two
// hexadecimal digits gives that byte, a "%" followed by neither gives "?", and
// each "%" uses up to three input bytes without reaching past the input's end.
// Other bytes are copied.
std::string& UrlDecode(const std::string& text, std::string& out);
