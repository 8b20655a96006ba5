#include "core/remotestorage/remotestorage/transport.h"

#include <cstdio>
#include <filesystem>
#include <new>

#include "base/log/tracestack.h"
#include "core/remotestorage/remotestorage/formfields.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "core/remotestorage/remotestorage/servicestatemonitor.h"
#include "core/remotestorage/remotestorage/transportsettings.h"
#include "platform/strings.h"

namespace {

std::string Utf8OrEmpty(const wchar_t* text) {
    return text ? WideToUtf8(std::wstring(text)) : std::string();
}

bool IsEmpty(const wchar_t* text) {
    return !text || !*text;
}

// Creates the folders above a file; a file directly in the root needs none.
void CreateParentFolders(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (parent.empty() || parent == parent.root_path())
        return;
    std::error_code error;
    std::filesystem::create_directories(parent, error);
}

}  // namespace

HRESULT CTransport::CreateInstance(ITransport** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    CTransport* transport = new (std::nothrow) CTransport();
    if (!transport)
        return E_FAIL;
    transport->AddRef();
    *out = transport;
    return transport->FinalConstruct();
}

HRESULT CTransport::FinalConstruct() {
    const TransportSettings settings = ReadTransportSettings();
    m_uploadCap = settings.uploadCap;
    m_downloadCap = settings.downloadCap;
    m_session.SetVerifyPeer(settings.verifyPeer);
    return m_session.EnsureHandle() ? S_OK : E_FAIL;
}

HRESULT CTransport::SetProgressCallback(TransportProgressCallback callback, void* context) {
    m_callback = callback;
    m_context = context;
    m_session.SetProgressFunction(&CTransport::RelayProgress, this);
    return S_OK;
}

HRESULT CTransport::Cancel(uint32_t) {
    m_session.Cancel();
    return S_OK;
}

HRESULT CTransport::SetSpeedLimit(uint32_t uploadCap, uint32_t downloadCap) {
    m_uploadCap = uploadCap;
    m_downloadCap = downloadCap;
    return S_OK;
}

HRESULT CTransport::SetMaxDownloadBytes(int64_t maxBytes) {
    m_maxDownloadBytes = maxBytes;
    return S_OK;
}

HRESULT CTransport::SetDownloadSink(TransportDownloadSink sink) {
    m_downloadSink = std::move(sink);
    return S_OK;
}

void CTransport::PrepareTransfer(const std::string& url) {
    m_session.FullReset();
    const ProxyOptions proxy = BuildProxyOptions(ReadProxyRegistryValues(), SystemProxyListFor(url));
    // A proxy option libcurl refuses leaves the caps out; the transfer still runs.
    if (m_session.ApplyProxy(proxy) != CURLE_OK)
        return;
    m_session.ApplySpeedCaps(m_uploadCap, m_downloadCap);
}

HRESULT CTransport::Request(const wchar_t* url, const wchar_t* headers, const wchar_t* body,
                            std::wstring* reply, uint32_t timeoutSeconds, bool report) {
    HRESULT hr = E_FAIL;
    PELLUX_TRACE_SCOPE(L"CTransport::Request()", &hr, L"Url = %s, TimeOut = %u", url, timeoutSeconds);
    const std::string target = Utf8OrEmpty(url);
    PrepareTransfer(target);
    if (headers)
        m_session.SetHeaderText(Utf8OrEmpty(headers));
    CURLcode code;
    if (body) {
        m_session.SetBody(Utf8OrEmpty(body));
        code = m_session.TextPost(target, static_cast<long>(timeoutSeconds));
    } else {
        code = m_session.TextGet(target, static_cast<long>(timeoutSeconds));
    }
    hr = TransferResult(code, m_session.IsCancelled());
    // A failed transfer's partial body is never read as a reply.
    if (reply)
        *reply = SUCCEEDED(hr) ? m_session.TakeResponseText() : std::wstring();
    if (report)
        ReportTransportResult(hr);
    return hr;
}

HRESULT CTransport::Download(const wchar_t* url, const wchar_t* localPath, const wchar_t* headers,
                             const wchar_t* body, uint32_t timeoutSeconds) {
    HRESULT hr = E_FAIL;
    PELLUX_TRACE_SCOPE(L"CTransport::Download()", &hr, L"Url = %s, LocalPath = %s", url, localPath);
    if (IsEmpty(localPath)) {
        ReportTransportResult(hr);
        return hr;
    }
    const std::string path = Utf8OrEmpty(localPath);
    CreateParentFolders(path);
    const std::string target = Utf8OrEmpty(url);
    PrepareTransfer(target);
    if (!IsEmpty(headers))
        m_session.SetHeaderText(Utf8OrEmpty(headers));
    if (!IsEmpty(body))
        m_session.SetBody(Utf8OrEmpty(body));

    hr = E_TRANSPORT_FAILED;
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        const CURLcode code = m_session.Download(target, file, static_cast<long>(timeoutSeconds),
                                                 m_maxDownloadBytes, m_downloadSink);
        long status = 0;
        if (code != CURLE_OK) {
            hr = TransferResult(code, m_session.IsCancelled());
        } else if (!m_session.ResponseStatus(&status)) {
            hr = E_TRANSPORT_FAILED;
        } else {
            hr = status == 200 ? S_OK : E_RESULT_BAD_STUB;
        }
        // Data still buffered may fail to reach the disk: that is no success.
        if (std::fclose(file) != 0 && SUCCEEDED(hr))
            hr = E_TRANSPORT_FAILED;
    }
    ReportTransportResult(hr);
    return hr;
}

HRESULT CTransport::Upload(const wchar_t* url, const wchar_t* localPath, const wchar_t* headers,
                           const wchar_t* fields, std::wstring* reply, uint32_t timeoutSeconds) {
    HRESULT hr = E_FAIL;
    PELLUX_TRACE_SCOPE(L"CTransport::Upload()", &hr, L"Url = %s, LocalPath = %s", url, localPath);
    if (IsEmpty(localPath)) {
        ReportTransportResult(hr);
        return hr;
    }
    const std::string target = Utf8OrEmpty(url);
    PrepareTransfer(target);
    if (!IsEmpty(headers))
        m_session.SetHeaderText(Utf8OrEmpty(headers));
    if (!IsEmpty(fields)) {
        for (const FormField& field : DecodeFormFields(fields))
            m_session.AddTextPart(field.name, field.contents);
    }
    m_session.AddFilePart("FileCont", Utf8OrEmpty(localPath));

    const CURLcode code = m_session.MultipartPost(target, static_cast<long>(timeoutSeconds));
    long status = 0;
    if (code != CURLE_OK) {
        hr = TransferResult(code, m_session.IsCancelled());
    } else if (!m_session.ResponseStatus(&status) || status < 200 || status > 299) {
        hr = E_TRANSPORT_FAILED;
    } else {
        hr = S_OK;
        if (reply)
            *reply = m_session.TakeResponseText();
    }
    ReportTransportResult(hr);
    return hr;
}

void CTransport::RelayProgress(void* transport, CurlSession& session, int64_t downloadTotal,
                               int64_t downloadNow, int64_t uploadTotal, int64_t uploadNow) {
    CTransport* self = static_cast<CTransport*>(transport);
    const int64_t speed = session.CurrentSpeed(downloadTotal > 0);
    if (self->m_callback && self->m_callback(self->m_context, downloadTotal, downloadNow, uploadTotal,
                                             uploadNow, speed) == E_FAIL) {
        session.Cancel();
    }
}

TransportCreatorFunction& TransportCreator() {
    static TransportCreatorFunction creator = &CTransport::CreateInstance;
    return creator;
}
