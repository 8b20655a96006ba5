#include "core/coreapp/shelladapter.h"

#include <new>

HRESULT CreateShellAdapter(IShellAdapter** out) {
    if (!out)
        return E_POINTER;
    CShellAdapter* adapter = new (std::nothrow) CShellAdapter();
    if (!adapter)
        return E_FAIL;
    adapter->AddRef();
    *out = adapter;
    return S_OK;
}

HRESULT CShellAdapter::Init(IMainWindow* sink) {
    m_sink = sink;
    return S_OK;
}

HRESULT CShellAdapter::UnInit() {
    return S_OK;
}

HRESULT CShellAdapter::ShowMessage(const std::wstring& text, const std::wstring& caption) {
    IMainWindow* sink = m_sink;
    return sink ? sink->ShowMessage(text, caption) : E_FAIL;
}

int CShellAdapter::AskUser(const std::wstring& rememberKey, const std::wstring& text,
                           const std::wstring& caption, const std::wstring& buttons, int flag,
                           const std::wstring& checkText, int rememberValue) {
    IMainWindow* sink = m_sink;
    return sink ? sink->AskUser(rememberKey, text, caption, buttons, flag, checkText, rememberValue)
                : kAskCancel;
}

HRESULT CShellAdapter::ShowBalloon(const std::wstring& text, const std::wstring& title, uint32_t iconFlags,
                                   uint32_t timeoutMs) {
    IMainWindow* sink = m_sink;
    return sink ? sink->ShowBalloon(text, title, iconFlags, timeoutMs) : E_FAIL;
}
