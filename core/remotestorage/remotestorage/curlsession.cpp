#include "core/remotestorage/remotestorage/curlsession.h"

#include <csignal>

#include "core/remotestorage/remotestorage/resultcodes.h"
#include "core/remotestorage/remotestorage/xmlnode.h"
#include "platform/strings.h"

namespace {

// libcurl's global state is set up before main, while the process has one
// thread: doing it lazily from the first session races when sessions are made
// on several threads. Writes to a peer that went away must not kill the
// process either.
// The state is never cleaned up: a worker abandoned at exit may still be in a
// transfer while static objects are destroyed.
const bool g_curlGlobal = [] {
    std::signal(SIGPIPE, SIG_IGN);
    curl_global_init(CURL_GLOBAL_ALL);
    return true;
}();

std::atomic<long> g_stallBytesPerSecond{DownloadStallFloor().bytesPerSecond};
std::atomic<long> g_stallSeconds{DownloadStallFloor().seconds};

// Header lines are only collected; a peer sending endless ones is cut off.
constexpr size_t kMaxHeaderBytes = 1u << 20;

// Large file bodies arrive in pieces this big (libcurl's default is 16 KB):
// fewer calls into the file and the sink for the same bytes. A capped
// download keeps the default: libcurl paces between reads, and one large
// read would take a small body in at once.
constexpr long kDownloadBufferBytes = 512L << 10;

// The limit later libcurl releases apply by default.
constexpr long kMaxRedirects = 30;

}  // namespace

void SetDownloadStallFloor(const DownloadStallFloor& floor) {
    g_stallBytesPerSecond.store(floor.bytesPerSecond);
    g_stallSeconds.store(floor.seconds);
}

// Sets options in order and keeps the first failure; later ones are skipped.
class CurlSession::Options {
public:
    explicit Options(CURL* handle) : m_handle(handle) {}
    template <class T>
    Options& Set(CURLoption option, T value) {
        if (m_result == CURLE_OK)
            m_result = curl_easy_setopt(m_handle, option, value);
        return *this;
    }
    CURLcode Result() const { return m_result; }
    CURLcode Fail(CURLcode code) {
        if (m_result == CURLE_OK)
            m_result = code;
        return m_result;
    }

private:
    CURL* m_handle;
    CURLcode m_result = CURLE_OK;
};

CurlSession::CurlSession() = default;

CurlSession::~CurlSession() {
    if (m_headerList)
        curl_slist_free_all(m_headerList);
    if (m_handle)
        curl_easy_cleanup(m_handle);
}

bool CurlSession::EnsureHandle() {
    if (!m_handle)
        m_handle = curl_easy_init();
    return m_handle != nullptr;
}

void CurlSession::FullReset() {
    LightReset();
    m_responseHeaders.clear();
    m_headerText.clear();
    m_body.clear();
    m_hasBody = false;
    m_textParts.clear();
    m_fileParts.clear();
    m_downloadCap = 0;
    if (m_handle)
        curl_easy_reset(m_handle);
}

void CurlSession::LightReset() {
    m_cancel.store(0);
    m_responseBody.clear();
    m_responseText.clear();
    m_responseTextReady = false;
}

void CurlSession::SetProgressFunction(ProgressFunction function, void* context) {
    m_progress = function;
    m_progressContext = context;
}

void CurlSession::AddTextPart(const std::string& name, const std::string& contents) {
    m_textParts.emplace_back(name, contents);
}

void CurlSession::AddFilePart(const std::string& name, const std::string& path) {
    m_fileParts.push_back(FilePart{name, path});
}

CURLcode CurlSession::ApplyProxy(const ProxyOptions& proxy) {
    if (!EnsureHandle())
        return CURLE_FAILED_INIT;
    Options options(m_handle);
    if (proxy.httpProxyType)
        options.Set(CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
    options.Set(CURLOPT_PROXY, proxy.proxy.c_str());
    if (!proxy.userPassword.empty())
        options.Set(CURLOPT_PROXYUSERPWD, proxy.userPassword.c_str());
    return options.Result();
}

CURLcode CurlSession::ApplySpeedCaps(uint32_t uploadCap, uint32_t downloadCap) {
    if (!EnsureHandle())
        return CURLE_FAILED_INIT;
    Options options(m_handle);
    if (uploadCap != 0)
        options.Set(CURLOPT_MAX_SEND_SPEED_LARGE, static_cast<curl_off_t>(uploadCap));
    if (downloadCap != 0)
        options.Set(CURLOPT_MAX_RECV_SPEED_LARGE, static_cast<curl_off_t>(downloadCap));
    m_downloadCap = downloadCap;
    return options.Result();
}

CURLcode CurlSession::SetCommonOptions(Options& options, const std::string& url, long timeoutSeconds) {
    if (m_headerList) {
        curl_slist_free_all(m_headerList);
        m_headerList = nullptr;
    }
    if (!m_headerText.empty()) {
        size_t start = 0;
        for (;;) {
            const size_t end = m_headerText.find('&', start);
            const std::string line = m_headerText.substr(start, end == std::string::npos ? end : end - start);
            curl_slist* grown = curl_slist_append(m_headerList, line.c_str());
            if (!grown)
                return options.Fail(CURLE_OUT_OF_MEMORY);
            m_headerList = grown;
            if (end == std::string::npos)
                break;
            start = end + 1;
        }
    }
    options.Set(CURLOPT_URL, url.c_str());
    if (m_headerList)
        options.Set(CURLOPT_HTTPHEADER, m_headerList);
    options.Set(CURLOPT_NOPROGRESS, 0L)
        .Set(CURLOPT_XFERINFOFUNCTION, &CurlSession::OnProgress)
        .Set(CURLOPT_XFERINFODATA, static_cast<void*>(this))
        .Set(CURLOPT_TIMEOUT, timeoutSeconds)
        .Set(CURLOPT_NOSIGNAL, 1L)
        // Addresses handed out by the service must never reach local files or other schemes.
        .Set(CURLOPT_PROTOCOLS_STR, "http,https")
        .Set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https")
        .Set(CURLOPT_SSL_VERIFYPEER, m_verifyPeer ? 1L : 0L)
        .Set(CURLOPT_SSL_VERIFYHOST, m_verifyPeer ? 2L : 0L);
    return options.Result();
}

CURLcode CurlSession::Perform() {
    const CURLcode code = curl_easy_perform(m_handle);
    if (m_headerList) {
        curl_slist_free_all(m_headerList);
        m_headerList = nullptr;
    }
    return code;
}

CURLcode CurlSession::TextGet(const std::string& url, long timeoutSeconds) {
    return TextExchange(url, timeoutSeconds, false);
}

CURLcode CurlSession::TextPost(const std::string& url, long timeoutSeconds) {
    return TextExchange(url, timeoutSeconds, true);
}

CURLcode CurlSession::TextExchange(const std::string& url, long timeoutSeconds, bool post) {
    if (!EnsureHandle())
        return CURLE_FAILED_INIT;
    LightReset();
    Options options(m_handle);
    if (SetCommonOptions(options, url, timeoutSeconds) != CURLE_OK)
        return options.Result();
    if (post) {
        options.Set(CURLOPT_POST, 1L)
            .Set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(m_body.size()))
            .Set(CURLOPT_POSTFIELDS, m_body.c_str());
    }
    options.Set(CURLOPT_WRITEFUNCTION, &CurlSession::AppendBody)
        .Set(CURLOPT_WRITEDATA, static_cast<void*>(this))
        .Set(CURLOPT_HEADERFUNCTION, &CurlSession::AppendHeader)
        .Set(CURLOPT_HEADERDATA, static_cast<void*>(this));
    if (options.Result() != CURLE_OK)
        return options.Result();
    return Perform();
}

long CurlSession::StallFloorBytesPerSecond() const {
    // A user's own low cap is no stall: the floor stays well under it.
    const long floor = g_stallBytesPerSecond.load();
    if (m_downloadCap != 0 && static_cast<uint64_t>(floor) > m_downloadCap / 2)
        return static_cast<long>(m_downloadCap / 2);
    return floor;
}

CURLcode CurlSession::Download(const std::string& url, FILE* file, long timeoutSeconds, int64_t maxBytes,
                               const Sink& sink) {
    if (!EnsureHandle())
        return CURLE_FAILED_INIT;
    m_file = file;
    m_sink = sink ? &sink : nullptr;
    m_fileBytes = 0;
    m_fileLimit = maxBytes;
    Options options(m_handle);
    if (SetCommonOptions(options, url, timeoutSeconds) != CURLE_OK)
        return options.Result();
    if (m_hasBody) {
        options.Set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(m_body.size()))
            .Set(CURLOPT_POSTFIELDS, m_body.c_str());
    }
    // This libcurl follows redirects without end by default: a loop would run
    // until the time-out.
    options.Set(CURLOPT_WRITEFUNCTION, &CurlSession::WriteFile)
        .Set(CURLOPT_WRITEDATA, static_cast<void*>(this))
        .Set(CURLOPT_FOLLOWLOCATION, 1L)
        .Set(CURLOPT_MAXREDIRS, kMaxRedirects)
        .Set(CURLOPT_BUFFERSIZE,
             m_downloadCap == 0 ? kDownloadBufferBytes : static_cast<long>(CURL_MAX_WRITE_SIZE))
        .Set(CURLOPT_LOW_SPEED_LIMIT, StallFloorBytesPerSecond())
        .Set(CURLOPT_LOW_SPEED_TIME, g_stallSeconds.load());
    if (options.Result() != CURLE_OK)
        return options.Result();
    const CURLcode code = Perform();
    m_file = nullptr;
    m_sink = nullptr;
    return code;
}

CURLcode CurlSession::MultipartPost(const std::string& url, long timeoutSeconds) {
    if (!EnsureHandle())
        return CURLE_FAILED_INIT;
    LightReset();
    curl_mime* form = curl_mime_init(m_handle);
    if (!form)
        return CURLE_OUT_OF_MEMORY;
    CURLcode code = CURLE_OK;
    for (const auto& text : m_textParts) {
        curl_mimepart* part = curl_mime_addpart(form);
        if (!part)
            code = CURLE_OUT_OF_MEMORY;
        if (code == CURLE_OK)
            code = curl_mime_name(part, text.first.c_str());
        if (code == CURLE_OK)
            code = curl_mime_data(part, text.second.data(), text.second.size());
        if (code != CURLE_OK)
            break;
    }
    // File parts go last: the service reads the form in that order.
    for (const auto& file : m_fileParts) {
        if (code != CURLE_OK)
            break;
        curl_mimepart* part = curl_mime_addpart(form);
        if (!part)
            code = CURLE_OUT_OF_MEMORY;
        if (code == CURLE_OK)
            code = curl_mime_name(part, file.name.c_str());
        if (code == CURLE_OK)
            code = curl_mime_filedata(part, file.path.c_str());
    }
    if (code == CURLE_OK) {
        Options options(m_handle);
        code = SetCommonOptions(options, url, timeoutSeconds);
        options.Set(CURLOPT_MIMEPOST, form)
            .Set(CURLOPT_WRITEFUNCTION, &CurlSession::AppendBody)
            .Set(CURLOPT_WRITEDATA, static_cast<void*>(this));
        if (code == CURLE_OK)
            code = options.Result() == CURLE_OK ? Perform() : options.Result();
        curl_easy_setopt(m_handle, CURLOPT_MIMEPOST, static_cast<curl_mime*>(nullptr));
    }
    curl_mime_free(form);
    return code;
}

bool CurlSession::ResponseStatus(long* status) {
    if (!m_handle)
        return false;
    return curl_easy_getinfo(m_handle, CURLINFO_RESPONSE_CODE, status) == CURLE_OK;
}

int64_t CurlSession::CurrentSpeed(bool download) {
    curl_off_t speed = 0;
    if (!m_handle)
        return 0;
    if (curl_easy_getinfo(m_handle, download ? CURLINFO_SPEED_DOWNLOAD_T : CURLINFO_SPEED_UPLOAD_T, &speed) !=
        CURLE_OK) {
        return 0;
    }
    return speed;
}

const std::wstring& CurlSession::ResponseText() {
    if (!m_responseTextReady) {
        m_responseText = Utf8ToWide(m_responseBody);
        m_responseTextReady = true;
    }
    return m_responseText;
}

std::wstring CurlSession::TakeResponseText() {
    std::wstring text = m_responseTextReady ? std::move(m_responseText) : Utf8ToWide(m_responseBody);
    std::string().swap(m_responseBody);
    std::wstring().swap(m_responseText);
    m_responseTextReady = false;
    return text;
}

// No exception may leave a callback: it would unwind through libcurl's C
// frames. Returning less than given ends the transfer with CURLE_WRITE_ERROR.
size_t CurlSession::AppendBody(char* data, size_t size, size_t count, void* session) {
    std::string& body = static_cast<CurlSession*>(session)->m_responseBody;
    const size_t bytes = size * count;
    if (bytes > kMaxReplyBytes - body.size())
        return 0;
    try {
        body.append(data, bytes);
    } catch (...) {
        return 0;
    }
    return bytes;
}

size_t CurlSession::AppendHeader(char* data, size_t size, size_t count, void* session) {
    std::string& headers = static_cast<CurlSession*>(session)->m_responseHeaders;
    const size_t bytes = size * count;
    if (bytes > kMaxHeaderBytes - headers.size())
        return 0;
    try {
        headers.append(data, bytes);
    } catch (...) {
        return 0;
    }
    return bytes;
}

size_t CurlSession::WriteFile(char* data, size_t size, size_t count, void* session) {
    CurlSession* self = static_cast<CurlSession*>(session);
    const size_t bytes = size * count;
    if (self->m_fileLimit >= 0 && static_cast<int64_t>(bytes) > self->m_fileLimit - self->m_fileBytes)
        return 0;
    const size_t written = std::fwrite(data, 1, bytes, self->m_file);
    self->m_fileBytes += static_cast<int64_t>(written);
    if (written != bytes || !self->m_sink)
        return written;
    try {
        return (*self->m_sink)(data, bytes) ? bytes : 0;
    } catch (...) {
        return 0;
    }
}

int CurlSession::OnProgress(void* session, curl_off_t downloadTotal, curl_off_t downloadNow,
                            curl_off_t uploadTotal, curl_off_t uploadNow) {
    CurlSession* self = static_cast<CurlSession*>(session);
    if (self->m_progress) {
        try {
            self->m_progress(self->m_progressContext, *self, downloadTotal, downloadNow, uploadTotal,
                             uploadNow);
        } catch (...) {
            return 1;
        }
    }
    return self->m_cancel.load() != 0 ? 1 : 0;
}

HRESULT TransferResult(CURLcode code, bool cancelled) {
    if (code == CURLE_OK)
        return S_OK;
    if (code == CURLE_OPERATION_TIMEDOUT)
        return E_TRANSPORT_TIMEOUT;
    if (code == CURLE_ABORTED_BY_CALLBACK || cancelled)
        return E_CANCELLED;
    if (code == CURLE_COULDNT_RESOLVE_PROXY || code == CURLE_COULDNT_RESOLVE_HOST ||
        code == CURLE_COULDNT_CONNECT) {
        return E_TRANSPORT_CONNECT;
    }
    return E_TRANSPORT_FAILED;
}
