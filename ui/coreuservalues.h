#pragma once
// The per-user values of the logged-in user, kept by the core.
#include "ui/iuservalues.h"

class CCoreUserValues : public IUserValues {
public:
    std::wstring GetUserValue(const std::wstring& name, const std::wstring& defaultText) override;
    int GetUserIntValue(const std::wstring& name) override;
    void SetUserValue(const std::wstring& name, const std::wstring& text) override;
};
