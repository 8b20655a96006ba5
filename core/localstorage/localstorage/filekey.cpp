#include "core/localstorage/localstorage/filekey.h"

#include "base/utility/urlutil.h"

HRESULT HexKeyToBytes(const std::wstring& text, uint8_t (&key)[kFileKeyBytes]) {
    if (text.size() != kFileKeyBytes * 2)
        return E_FAIL;
    uint8_t bytes[kFileKeyBytes] = {};
    for (size_t i = 0; i < kFileKeyBytes; ++i) {
        const wchar_t low = text[2 * i];
        const wchar_t high = text[2 * i + 1];
        const int lowValue = low >= 0 && low < 0x80 ? HexDigitValue(static_cast<char>(low)) : -1;
        const int highValue = high >= 0 && high < 0x80 ? HexDigitValue(static_cast<char>(high)) : -1;
        if (lowValue < 0 || highValue < 0)
            return E_FAIL;
        bytes[i] = static_cast<uint8_t>(highValue * 16 + lowValue);
    }
    for (size_t i = 0; i < kFileKeyBytes; ++i)
        key[i] = bytes[i];
    return S_OK;
}
