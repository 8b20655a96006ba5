// The operations that move file contents: upload, download with its SHA-1
// check, and the preview package.
#include <cstdint>
#include <cstdio>

#include "base/log/tracestack.h"
#include "core/remotestorage/remotestorage/downloaddigest.h"
#include "core/remotestorage/remotestorage/filesha1.h"
#include "core/remotestorage/remotestorage/previewpackage.h"
#include "core/remotestorage/remotestorage/remotestorage.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "core/remotestorage/remotestorage/transport.h"
#include "platform/strings.h"

namespace {

using Id = RemoteOperationId;

// "k=v&k=v" of the pairs, appended as it stands: the service's addresses end
// where a query may follow.
std::wstring Query(std::initializer_list<std::pair<const wchar_t*, std::wstring>> pairs) {
    XmlNode node;
    for (const auto& pair : pairs)
        node.AddValue(pair.first, pair.second);
    return node.ToQueryString(L'&', L'=');
}

std::wstring Headers(const RemoteOperation& operation) {
    return Utf8ToWide(BuildRequestHeaders(operation.headerVersion));
}

// The most bytes the content of a file of plainSize may take: the header and
// padding of either encoded format, with room for a packed old-format file
// that grew. Negative (no bound) when the service gave no size.
int64_t MaxContentBytes(const std::wstring& plainSize) {
    if (plainSize.empty())
        return -1;
    const int64_t size = ParseReplyInt64(plainSize);
    if (size < 0)
        return -1;
    const int64_t slack = size / 16 + (64 << 10);
    return size > INT64_MAX - slack ? INT64_MAX : size + slack;
}

// Smaller bodies are hashed on the transferring thread.
constexpr int64_t kThreadedDigestFromBytes = 1 << 20;

HRESULT NewTransport(CComPtr<ITransport>& transport) {
    const HRESULT hr = TransportCreator()(&transport);
    if (FAILED(hr))
        return hr;
    return transport ? S_OK : E_FAIL;
}

}  // namespace

HRESULT CRemoteStorage::_UploadFile(const TaskData_UpdateFile* data, TransportProgressCallback progress,
                                    void* context, XmlNode* reply) {
    const RemoteOperation& operation = GetRemoteOperation(Id::kUploadFile);
    HRESULT hr = E_FAIL;
    PELLUX_TRACE_SCOPE(operation.traceName, &hr, L"Url = %s, Stub = %s, Sha1Check = %s, TempPath = %s",
                       data ? data->uploadAddress : std::wstring(), data ? data->stub : std::wstring(),
                       data ? data->uploadSha1 : std::wstring(),
                       data ? data->encodedFilePath : std::wstring());
    if (!data || !reply)
        return hr = E_POINTER;
    const std::wstring url =
        data->uploadAddress +
        Query({{L"stub", data->stub}, {L"uploadSize", data->uploadSize}, {L"uploadSha1", data->uploadSha1}});
    CComPtr<ITransport> transport;
    hr = NewTransport(transport);
    if (FAILED(hr))
        return hr;
    if (progress)
        transport->SetProgressCallback(progress, context);
    std::wstring text;
    hr = transport->Upload(url.c_str(), data->encodedFilePath.c_str(), Headers(operation).c_str(), nullptr,
                           &text, operation.timeoutSeconds);
    if (FAILED(hr))
        return hr;
    hr = JudgeReplyText(text, *reply);
    return hr;
}

HRESULT CRemoteStorage::_RequestDownload(const TaskData_DownloadFile& data,
                                         TransportProgressCallback progress, void* context, XmlNode& reply) {
    const RemoteOperation& operation = GetRemoteOperation(
        data.previousVersion != 0 ? Id::kRequestDownloadPreviousVer : Id::kRequestDownload);
    const std::wstring document = BuildRequestDocument(operation, {data.token, data.key});
    return _HttpRequest(operation, operation.path, &document, progress, context, reply);
}

HRESULT CRemoteStorage::_DownloadFile(const std::wstring& url, const std::wstring& stub, bool previousVersion,
                                      const std::wstring& downloadPath, int64_t maxBytes,
                                      const TransportDownloadSink& sink, TransportProgressCallback progress,
                                      void* context, bool* sinkSawAll) {
    const RemoteOperation& operation = GetRemoteOperation(Id::kDownloadContent);
    HRESULT hr = E_FAIL;
    PELLUX_TRACE_SCOPE(operation.traceName, &hr, L"szUrl = %s, szStub = %s", url, stub);
    const std::wstring target =
        url + Query({{L"stub", stub}, {L"bakVer", previousVersion ? L"previousVer" : L"nowVer"}});
    CComPtr<ITransport> transport;
    hr = NewTransport(transport);
    if (FAILED(hr))
        return hr;
    if (progress)
        transport->SetProgressCallback(progress, context);
    transport->SetMaxDownloadBytes(maxBytes);
    *sinkSawAll = SUCCEEDED(transport->SetDownloadSink(sink));
    hr = transport->Download(target.c_str(), downloadPath.c_str(), Headers(operation).c_str(), nullptr,
                             operation.timeoutSeconds);
    return hr;
}

HRESULT CRemoteStorage::DownloadFile(const TaskData_DownloadFile* data, TransportProgressCallback progress,
                                     void* context, XmlNode* reply) {
    return DownloadFileStreaming(data, TransportDownloadSink(), progress, context, reply);
}

HRESULT CRemoteStorage::DownloadFileStreaming(const TaskData_DownloadFile* data,
                                              const TransportDownloadSink& sink,
                                              TransportProgressCallback progress, void* context,
                                              XmlNode* reply) {
    HRESULT hr = E_FAIL;
    PELLUX_TRACE_SCOPE(GetRemoteOperation(Id::kRequestDownload).traceName, &hr, L"Id = %s, TempPath = %s",
                       data ? data->key : std::wstring(), data ? data->downloadPath : std::wstring());
    if (!data || !reply)
        return hr = E_POINTER;
    hr = _RequestDownload(*data, progress, context, *reply);
    if (FAILED(hr))
        return hr;
    const std::wstring url = reply->GetValue(L"url");
    const std::wstring stub = reply->GetValue(L"stub");
    const std::wstring expectedSha1 = reply->GetValue(L"compressSha1");
    const int64_t maxBytes = MaxContentBytes(reply->GetValue(L"size"));
    // A transport that cannot show the bytes gets the file read back.
    CDownloadDigest digest(maxBytes < 0 || maxBytes > kThreadedDigestFromBytes);
    if (!digest.Start())
        return hr = E_FAIL;
    const TransportDownloadSink hashing = [&digest, &sink](const void* bytes, size_t length) {
        return digest.Add(bytes, length) && (!sink || sink(bytes, length));
    };
    bool hashed = false;
    hr = _DownloadFile(url, stub, data->previousVersion != 0, data->downloadPath, maxBytes, hashing, progress,
                       context, &hashed);
    std::wstring actualSha1 = digest.Finish();
    if (FAILED(hr))
        return hr;
    if (!hashed && FAILED(FileSha1Hex(data->downloadPath, std::function<bool()>(), actualSha1)))
        return hr = E_FAIL;
    if (actualSha1.empty())
        return hr = E_FAIL;
    // The file stays where it is: the caller decides what a mismatch costs.
    if (expectedSha1.empty() || CompareNoCaseAscii(actualSha1, expectedSha1) != 0)
        return hr = E_CHECKSUM_MISMATCH;
    return hr = S_OK;
}

HRESULT CRemoteStorage::GetThumbnail(const TaskData_GetThumbnail* data, TransportProgressCallback, void*,
                                     XmlNode*) {
    const RemoteOperation& operation = GetRemoteOperation(Id::kGetThumbnail);
    HRESULT hr = E_FAIL;
    PELLUX_TRACE_SCOPE(operation.traceName, &hr,
                       L"Token = %s, Id = %s, height = %ld, width = %ld, downloadPath = %s, cachePath = %s",
                       data ? data->token : std::wstring(), data ? data->key : std::wstring(),
                       data ? data->height : 0, data ? data->width : 0,
                       data ? data->downloadPath : std::wstring(), data ? data->cachePath : std::wstring());
    if (!data)
        return hr = E_POINTER;
    const std::wstring url = ReadServerRoot(operation.root) + operation.path +
                             Query({{L"token", data->token},
                                    {L"fileId", data->key},
                                    {L"view", L"pellux"},
                                    {L"clientWidth", std::to_wstring(static_cast<long>(data->width))},
                                    {L"clientHeight", std::to_wstring(static_cast<long>(data->height))},
                                    {L"compress", L"zip"},
                                    {L"suff", L"jpg"}});
    CComPtr<ITransport> transport;
    hr = NewTransport(transport);
    if (FAILED(hr))
        return hr;
    // No progress callback: a preview fetch is not cancelled.
    hr = transport->Download(url.c_str(), data->downloadPath.c_str(), Headers(operation).c_str(), nullptr,
                             operation.timeoutSeconds);
    if (SUCCEEDED(hr))
        hr = ExtractPreviewPicture(data->downloadPath, data->cachePath);
    // The package is only a carrier: never leave it behind, whatever happened.
    std::remove(WideToUtf8(data->downloadPath).c_str());
    return hr;
}
