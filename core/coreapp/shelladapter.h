#pragma once
// The UI bridge: forwards every call of the core to the main window's
// IMainWindow, arguments and results unchanged.
#include <atomic>

#include "core/coreapp/imainwindow.h"
#include "core/coreapp/ishelladapter.h"

class CShellAdapter final : public CUnknownImpl<IShellAdapter> {
public:
    HRESULT Init(IMainWindow* sink) override;
    // The sink is kept: a late call still reaches the window it was bound to.
    HRESULT UnInit() override;
    // Without a sink: E_FAIL.
    HRESULT ShowMessage(const std::wstring& text, const std::wstring& caption) override;
    // Without a sink: kAskCancel, so a caller never takes silence for "go ahead".
    int AskUser(const std::wstring& rememberKey, const std::wstring& text, const std::wstring& caption,
                const std::wstring& buttons, int flag, const std::wstring& checkText,
                int rememberValue) override;
    // Without a sink: E_FAIL.
    HRESULT ShowBalloon(const std::wstring& text, const std::wstring& title, uint32_t iconFlags,
                        uint32_t timeoutMs) override;

private:
    friend HRESULT CreateShellAdapter(IShellAdapter** out);
    CShellAdapter() = default;
    ~CShellAdapter() override = default;

    // Set once by Init before the bridge is handed out; not owned.
    std::atomic<IMainWindow*> m_sink{nullptr};
};

// The out pointer receives one reference; E_FAIL (out untouched) when the
// object cannot be made.
HRESULT CreateShellAdapter(IShellAdapter** out);
