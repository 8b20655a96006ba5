#pragma once
// What the UI bridge forwards to: the main window's plain interface. The Qt
// main window implements it; the bridge holds it without owning it.
#include <cstdint>
#include <string>

#include "platform/hresult.h"

struct IMainWindow {
    virtual HRESULT ShowMessage(const std::wstring& text, const std::wstring& caption) = 0;
    // The answers of IShellAdapter::AskUser (kAskDefault ... kAskNotShown).
    virtual int AskUser(const std::wstring& rememberKey, const std::wstring& text,
                        const std::wstring& caption, const std::wstring& buttons, int flag,
                        const std::wstring& checkText, int rememberValue) = 0;
    virtual HRESULT ShowBalloon(const std::wstring& text, const std::wstring& title, uint32_t iconFlags,
                                uint32_t timeoutMs) = 0;

protected:
    ~IMainWindow() = default;
};
