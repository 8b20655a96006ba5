#pragma once
// Test hooks: a log of the requests the server received and faults scripted
// for the next calls of a path. Served under /_emu/ only with --test-hooks.
#include <httplib.h>

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace devserver {

struct ScriptedFault {
    std::string path;      // request path the fault applies to (trailing "/" ignored)
    int count = 1;         // calls left
    std::string result;    // answer this result name instead of running the operation
    int delayMs = 0;       // wait before handling
    bool drop = false;     // close the connection in the middle of the reply
    int status = 0;        // replace the HTTP status of the reply
    bool corrupt = false;  // flip a byte in the middle of the reply body
};

// One part of a multipart request body.
struct LoggedPart {
    std::string name;
    std::string filename;
    std::string contentType;
    std::string content;  // first kLogBodyLimit bytes
    size_t size = 0;
};

struct LoggedRequest {
    std::string method;
    std::string target;  // path and query as sent
    std::string path;
    httplib::Headers headers;
    std::string body;  // first kLogBodyLimit bytes; empty for a multipart body
    size_t bodySize = 0;
    std::vector<LoggedPart> parts;  // a multipart body's parts, in the order sent
};

class TestHooks {
public:
    static constexpr size_t kLogBodyLimit = 1 << 20;
    static constexpr size_t kLogEntries = 2000;
    // Kept bodies and parts together; the oldest entries go first beyond it.
    static constexpr size_t kLogBytes = 256u << 20;

    // cpp-httplib hands a multipart body over as parts keyed by name, losing
    // their order; callers that read the parts themselves pass them in order.
    void Log(const httplib::Request& req,
             const std::vector<const httplib::MultipartFormData*>* parts = nullptr);
    // The log as a reply document, oldest first: each "request" holds method,
    // target, path, header children, bodySize and body (base64), then one
    // "part" child per multipart part (name, filename, contentType, size and
    // content in base64).
    std::string LogXml() const;
    // Body of entry n; false when there is none.
    bool LogBody(size_t n, std::string* body) const;
    void ClearLog();

    void AddFault(const ScriptedFault& fault);
    // The next fault for this path, counted down; false when none is due.
    bool TakeFault(const std::string& path, ScriptedFault* fault);
    void ClearFaults();

    // Registers the /_emu/ endpoints; reset runs after log and faults are cleared.
    void Register(httplib::Server& server, std::function<void()> reset);

private:
    mutable std::mutex m_mutex;
    std::deque<LoggedRequest> m_log;
    size_t m_dropped = 0;   // entries pushed out of the front of the log
    size_t m_logBytes = 0;  // body and part bytes the log holds
    std::vector<ScriptedFault> m_faults;
};

std::string NormalisePath(std::string path);

}  // namespace devserver
