#pragma once
// The HTTP transfer object: a text request, a download into a file or a
// multipart upload, run synchronously on the caller's thread; one per request.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/unknown.h"

// Progress of a running transfer (byte counts and bytes per second); returning
// E_FAIL cancels it, any other value lets it go on.
typedef HRESULT (*TransportProgressCallback)(void* context, int64_t downloadTotal, int64_t downloadNow,
                                             int64_t uploadTotal, int64_t uploadNow, int64_t bytesPerSecond);

// Sees every byte of a download body as it is written, in order, on the
// transferring thread; returning false fails the download as a transport
// failure.
using TransportDownloadSink = std::function<bool(const void* bytes, size_t length)>;

struct ITransport : IUnknown {
    PELLUX_INTERFACE_ID(0x81905341, 0x6561, 0x41B7, 0xAB, 0x0B, 0x93, 0x18, 0x20, 0x8E, 0x6A, 0x8C)

    virtual HRESULT SetProgressCallback(TransportProgressCallback callback, void* context) = 0;
    // POST when a body is given (even an empty one), else GET. The HTTP status is
    // not judged; the reply (may be null) gets whatever came back. With report
    // set the result goes to the service-state monitor.
    virtual HRESULT Request(const wchar_t* url, const wchar_t* headers, const wchar_t* body,
                            std::wstring* reply, uint32_t timeoutSeconds, bool report) = 0;
    // Succeeds only on status 200 after redirects; a failed download leaves the
    // partly written file in place.
    virtual HRESULT Download(const wchar_t* url, const wchar_t* localPath, const wchar_t* headers,
                             const wchar_t* body, uint32_t timeoutSeconds) = 0;
    // Multipart POST: text parts from the "k=v&k=v" fields, then the file as
    // "FileCont". Succeeds on a 2xx status; the reply is set only on success.
    virtual HRESULT Upload(const wchar_t* url, const wchar_t* localPath, const wchar_t* headers,
                           const wchar_t* fields, std::wstring* reply, uint32_t timeoutSeconds) = 0;
    // Any thread: stops the running transfer; no effect on one not yet begun.
    virtual HRESULT Cancel(uint32_t unused) = 0;
    // Bytes per second, 0 = no cap; applies from the next transfer on.
    virtual HRESULT SetSpeedLimit(uint32_t uploadCap, uint32_t downloadCap) = 0;
    // The most bytes the next downloads may write (negative: no bound); a
    // longer body fails the download as a transport failure. Transports that
    // cannot bound downloads keep the default.
    virtual HRESULT SetMaxDownloadBytes(int64_t maxBytes) {
        (void)maxBytes;
        return E_NOTIMPL;
    }
    // The sink (may be empty) for the next downloads; transports that cannot
    // hand the bytes on keep none.
    virtual HRESULT SetDownloadSink(TransportDownloadSink sink) {
        (void)sink;
        return E_NOTIMPL;
    }
};
