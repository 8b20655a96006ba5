#pragma once
// One libcurl easy handle and the state of the transfer it runs: the plumbing
// under the transport and the service-state check. Used by one thread at a
// time, except Cancel, which any thread may call.
#include <curl/curl.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "core/remotestorage/remotestorage/proxyoptions.h"
#include "platform/hresult.h"

// A download that runs slower than bytesPerSecond for seconds on end ends as
// timed out, so the task's retry rules apply instead of it holding its slot
// until the overall time-out.
struct DownloadStallFloor {
    long bytesPerSecond = 1024;
    long seconds = 60;
};
// Process-wide; tests shorten it.
void SetDownloadStallFloor(const DownloadStallFloor& floor);

class CurlSession {
public:
    // Called on the transferring thread while a transfer runs.
    typedef void (*ProgressFunction)(void* context, CurlSession& session, int64_t downloadTotal,
                                     int64_t downloadNow, int64_t uploadTotal, int64_t uploadNow);

    CurlSession();
    ~CurlSession();
    CurlSession(const CurlSession&) = delete;
    CurlSession& operator=(const CurlSession&) = delete;

    // Creates the easy handle when there is none yet; false when libcurl cannot.
    bool EnsureHandle();

    // Before every operation: clears the cancel flag, the response, the request
    // and all options of the handle.
    void FullReset();

    void SetProgressFunction(ProgressFunction function, void* context);
    // Header lines joined by '&', UTF-8.
    void SetHeaderText(const std::string& text) { m_headerText = text; }
    void SetBody(const std::string& body) {
        m_body = body;
        m_hasBody = true;
    }
    void AddTextPart(const std::string& name, const std::string& contents);
    void AddFilePart(const std::string& name, const std::string& path);
    // Peers of https URLs are verified unless this is turned off (test servers).
    void SetVerifyPeer(bool verify) { m_verifyPeer = verify; }

    // Options that stay for the transfers up to the next full reset.
    CURLcode ApplyProxy(const ProxyOptions& options);
    CURLcode ApplySpeedCaps(uint32_t uploadCap, uint32_t downloadCap);

    CURLcode TextGet(const std::string& url, long timeoutSeconds);
    CURLcode TextPost(const std::string& url, long timeoutSeconds);
    // Writes the body into the open file; posts the stored body when there is
    // one. A body longer than maxBytes (when not negative) ends the transfer
    // with CURLE_WRITE_ERROR, as does a sink (may be empty) that refuses the
    // bytes written.
    using Sink = std::function<bool(const void* bytes, size_t length)>;
    CURLcode Download(const std::string& url, FILE* file, long timeoutSeconds, int64_t maxBytes = -1,
                      const Sink& sink = Sink());
    CURLcode MultipartPost(const std::string& url, long timeoutSeconds);

    // The HTTP status of the last transfer (after redirects); false when unknown.
    bool ResponseStatus(long* status);
    // Bytes per second of the running transfer in one direction.
    int64_t CurrentSpeed(bool download);
    // Text replies stop at kMaxReplyBytes: a longer one ends with CURLE_WRITE_ERROR.
    const std::string& ResponseBody() const { return m_responseBody; }
    // The body decoded from UTF-8, kept until the next reset.
    const std::wstring& ResponseText();
    // The body as text, handed over: the session keeps neither the bytes nor
    // the text, so a large reply is held once rather than three times.
    std::wstring TakeResponseText();

    void Cancel() { m_cancel.store(1); }
    bool IsCancelled() const { return m_cancel.load() != 0; }

private:
    struct FilePart {
        std::string name;
        std::string path;
    };
    class Options;

    void LightReset();
    CURLcode SetCommonOptions(Options& options, const std::string& url, long timeoutSeconds);
    CURLcode TextExchange(const std::string& url, long timeoutSeconds, bool post);
    CURLcode Perform();
    long StallFloorBytesPerSecond() const;
    static size_t AppendBody(char* data, size_t size, size_t count, void* session);
    static size_t AppendHeader(char* data, size_t size, size_t count, void* session);
    static size_t WriteFile(char* data, size_t size, size_t count, void* session);
    static int OnProgress(void* session, curl_off_t downloadTotal, curl_off_t downloadNow,
                          curl_off_t uploadTotal, curl_off_t uploadNow);

    std::string m_responseBody;
    std::string m_responseHeaders;  // collected, never handed out
    CURL* m_handle = nullptr;
    ProgressFunction m_progress = nullptr;
    void* m_progressContext = nullptr;
    std::wstring m_responseText;
    bool m_responseTextReady = false;  // m_responseText holds the decoded body
    std::string m_headerText;
    std::string m_body;
    bool m_hasBody = false;  // a body was given, even an empty one
    std::vector<std::pair<std::string, std::string>> m_textParts;
    std::vector<FilePart> m_fileParts;
    bool m_verifyPeer = true;
    std::atomic<int32_t> m_cancel{0};
    curl_slist* m_headerList = nullptr;  // built per transfer, freed after it
    FILE* m_file = nullptr;              // the running download's destination
    const Sink* m_sink = nullptr;        // sees what m_file gets; null: none
    int64_t m_fileBytes = 0;             // written to m_file so far
    int64_t m_fileLimit = -1;            // most bytes m_file may get; -1: no bound
    uint32_t m_downloadCap = 0;          // bytes per second set by ApplySpeedCaps; 0: none
};

// The result code of a finished transfer; a time-out wins over a cancel.
HRESULT TransferResult(CURLcode code, bool cancelled);
