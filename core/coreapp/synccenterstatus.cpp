// Status records, per-user values and the current log-in.
#include "base/settings/regsettings.h"
#include "core/coreapp/synccenter.h"

HRESULT CSyncCenter::GetStatus(SyncStatusRecord* out) {
    if (!out)
        return E_POINTER;
    *out = m_status.Get();
    return S_OK;
}

HRESULT CSyncCenter::PostStatus(const SyncStatusRecord& record, bool queued) {
    m_status.Post(record, queued);
    return S_OK;
}

HRESULT CSyncCenter::FireEvent(uint32_t type, const XmlNode* tree, bool queued) {
    return PostStatus(MakeEventRecord(type, tree), queued);
}

HRESULT CSyncCenter::SetOverrideStatus(const SyncStatusRecord& record) {
    m_status.SetOverride(record);
    return S_OK;
}

HRESULT CSyncCenter::ClearOverrideStatus() {
    m_status.ClearOverride();
    return S_OK;
}

HRESULT CSyncCenter::GetUserValue(std::wstring* out, const std::wstring& name, const std::wstring& def) {
    if (!out)
        return E_POINTER;
    RegReadString(*out, _UserId(), name, def);
    return S_OK;
}

HRESULT CSyncCenter::SetUserValue(const std::wstring& name, const std::wstring& text) {
    return RegWriteString(_UserId(), name, text);
}

HRESULT CSyncCenter::GetSyncRoot(std::wstring* out) {
    return GetUserValue(out, L"SyncRoot", L"");
}

HRESULT CSyncCenter::GetLoginInfo(std::wstring* userName, std::wstring* token, std::wstring* userId,
                                  std::wstring* nickName) {
    if (!m_loggedIn)
        return S_FALSE;
    const std::wstring id = _UserId();
    if (userName)
        RegReadString(*userName, id, L"UserName", L"");
    if (token)
        RegReadString(*token, id, kTokenValueName, L"");
    if (userId)
        *userId = id;
    if (nickName)
        RegReadString(*nickName, id, L"NickName", L"");
    return S_OK;
}
