#pragma once
// The only road from the core to the user interface: messages, questions with
// remembered answers and tray balloons. Calls come from any thread.
#include <string>

#include "platform/unknown.h"

struct IMainWindow;

// Answers of AskUser: 1 the default button, 2 the third button, -1 cancel,
// -2 not shown (prompts switched off: callers go ahead).
constexpr int kAskDefault = 1;
constexpr int kAskThird = 2;
constexpr int kAskCancel = -1;
constexpr int kAskNotShown = -2;

struct IShellAdapter : IUnknown {
    PELLUX_INTERFACE_ID(0x6AC03FFE, 0xA947, 0x499F, 0x97, 0xF4, 0xBA, 0x11, 0xFC, 0xCD, 0xDD, 0x7F)

    virtual HRESULT Init(IMainWindow* sink) = 0;
    virtual HRESULT UnInit() = 0;
    virtual HRESULT ShowMessage(const std::wstring& text, const std::wstring& caption) = 0;
    // buttons: one to three captions joined by '|'. Returns the answer.
    virtual int AskUser(const std::wstring& rememberKey, const std::wstring& text,
                        const std::wstring& caption, const std::wstring& buttons, int flag,
                        const std::wstring& checkText, int rememberValue) = 0;
    virtual HRESULT ShowBalloon(const std::wstring& text, const std::wstring& title, uint32_t iconFlags,
                                uint32_t timeoutMs) = 0;
};
