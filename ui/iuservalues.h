#pragma once
// The per-user text values that windows keep through the core (window layout,
// remembered prompt answers). The program hands the core-access object in;
// tests hand a map.
#include <string>

class IUserValues {
public:
    virtual ~IUserValues() = default;
    // The stored text, or defaultText when the value is missing.
    virtual std::wstring GetUserValue(const std::wstring& name, const std::wstring& defaultText) = 0;
    // The stored text read as a decimal number (leading digits); 0 when missing or empty.
    virtual int GetUserIntValue(const std::wstring& name) = 0;
    virtual void SetUserValue(const std::wstring& name, const std::wstring& text) = 0;
};
