#pragma once
// The per-file key the service hands out as 64 hexadecimal characters.
#include <cstdint>
#include <string>

#include "platform/hresult.h"

constexpr size_t kFileKeyBytes = 32;

// Reads the text into 32 bytes. Within each pair of characters the SECOND is
// the high nibble ("1f" gives 0xF1): every file already stored on the service
// was encrypted with keys read this way. E_FAIL (key untouched) when the text
// is not exactly 64 hexadecimal digits.
HRESULT HexKeyToBytes(const std::wstring& text, uint8_t (&key)[kFileKeyBytes]);
