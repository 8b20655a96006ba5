#pragma once
// The libcurl transport behind ITransport: applies the registry's proxy and the
// settings' speed caps to every transfer and maps outcomes to result codes.
#include "core/remotestorage/remotestorage/curlsession.h"
#include "core/remotestorage/remotestorage/itransport.h"
#include "platform/unknown.h"

class CTransport final : public CUnknownImpl<ITransport> {
public:
    // The out pointer holds one reference; E_FAIL when libcurl has no handle to give.
    static HRESULT CreateInstance(ITransport** out);

    HRESULT SetProgressCallback(TransportProgressCallback callback, void* context) override;
    HRESULT Request(const wchar_t* url, const wchar_t* headers, const wchar_t* body, std::wstring* reply,
                    uint32_t timeoutSeconds, bool report) override;
    HRESULT Download(const wchar_t* url, const wchar_t* localPath, const wchar_t* headers,
                     const wchar_t* body, uint32_t timeoutSeconds) override;
    HRESULT Upload(const wchar_t* url, const wchar_t* localPath, const wchar_t* headers,
                   const wchar_t* fields, std::wstring* reply, uint32_t timeoutSeconds) override;
    HRESULT Cancel(uint32_t unused) override;
    HRESULT SetSpeedLimit(uint32_t uploadCap, uint32_t downloadCap) override;
    HRESULT SetMaxDownloadBytes(int64_t maxBytes) override;
    HRESULT SetDownloadSink(TransportDownloadSink sink) override;

private:
    CTransport() = default;
    ~CTransport() override = default;
    HRESULT FinalConstruct();
    // Full reset, then the proxy and the caps for a transfer to url.
    void PrepareTransfer(const std::string& url);
    static void RelayProgress(void* transport, CurlSession& session, int64_t downloadTotal,
                              int64_t downloadNow, int64_t uploadTotal, int64_t uploadNow);

    CurlSession m_session;
    TransportProgressCallback m_callback = nullptr;
    void* m_context = nullptr;
    uint32_t m_uploadCap = 0;         // bytes per second, 0 = no cap
    uint32_t m_downloadCap = 0;       // bytes per second, 0 = no cap
    int64_t m_maxDownloadBytes = -1;  // negative: downloads are not bounded
    TransportDownloadSink m_downloadSink;
};

typedef HRESULT (*TransportCreatorFunction)(ITransport** out);
// The one maker through which the remote storage creates its transports;
// CTransport::CreateInstance unless replaced (tests hand in fakes).
TransportCreatorFunction& TransportCreator();
