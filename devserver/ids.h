#pragma once
// Random texts and digests the service hands out: tokens, stubs, file keys
// (lower-case hex, safe in URLs, file names and the client's SQL texts).
#include <string>

namespace devserver {

// n random bytes as 2n lower-case hex digits.
std::string RandomHex(size_t bytes);
// SHA-1 of the bytes as 40 lower-case hex digits.
std::string Sha1Hex(const std::string& bytes);
// Same for a file; empty when the file cannot be read.
std::string FileSha1Hex(const std::string& path);
// The service's time text "YYYY-MM-DD HH:MM:SS" of the current local time.
std::string NowTimeText();
// True for exactly "YYYY-MM-DD HH:MM:SS" with digits in place.
bool IsTimeText(const std::string& text);
// ASCII lower-case copy.
std::string AsciiLower(std::string text);

}  // namespace devserver
