#pragma once
// Loopback HTTP fixtures for the transport tests: a cpp-httplib server on a
// free port, and one that keeps what a request brought.
#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/hresult.h"

namespace pellux_test {

class LoopbackServer {
public:
    LoopbackServer() = default;
    ~LoopbackServer() { Stop(); }

    httplib::Server& Routes() { return *m_server; }
    // Binds 127.0.0.1 on a free port and serves on a thread of its own.
    void Start() {
        // One request per connection: a kept-alive one would hold up Stop().
        m_server->set_keep_alive_max_count(1);
        m_port = m_server->bind_to_any_port("127.0.0.1");
        if (m_port <= 0)
            return;  // Port() stays unusable; the test's requests then fail
        m_thread = std::thread([this] { m_server->listen_after_bind(); });
        // Bounded: a server that never comes up must not hang the test program.
        for (int waited = 0; waited < 5000 && !m_server->is_running(); ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    void Stop() {
        stopping = true;
        if (m_thread.joinable()) {
            m_server->stop();
            m_thread.join();
        }
    }
    int Port() const { return m_port; }
    std::wstring Url(const std::string& path) const {
        const std::string url = m_scheme + "://127.0.0.1:" + std::to_string(m_port) + path;
        return std::wstring(url.begin(), url.end());
    }

    // Set when the fixture shuts down: slow handlers end early.
    std::atomic<bool> stopping{false};

protected:
    LoopbackServer(httplib::Server* server, std::string scheme)
        : m_server(server), m_scheme(std::move(scheme)) {}
    std::unique_ptr<httplib::Server> m_server{new httplib::Server};
    std::string m_scheme = "http";

private:
    int m_port = 0;
    std::thread m_thread;
};

// The same over TLS with the given certificate and key files.
class TlsLoopbackServer : public LoopbackServer {
public:
    TlsLoopbackServer(const std::string& certificate, const std::string& key)
        : LoopbackServer(new httplib::SSLServer(certificate.c_str(), key.c_str()), "https") {}
};

// Loopback must never go through a proxy of the machine.
inline void ClearProxyEnvironment() {
    for (const char* name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
        unsetenv(name);
}

// A progress callback that cancels once the flag it is given is set.
inline HRESULT CancelWhenAsked(void* context, int64_t, int64_t, int64_t, int64_t, int64_t) {
    return static_cast<std::atomic<bool>*>(context)->load() ? E_FAIL : S_OK;
}

// Sleeps in small steps so a stopping fixture is not held up.
inline void SleepUnlessStopping(const LoopbackServer& server, int ms) {
    for (int waited = 0; waited < ms && !server.stopping; waited += 20)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

// Streams count bytes of filler in pieces, pausing before each, then ends.
inline void StreamBytes(LoopbackServer& server, httplib::Response& response, size_t count, size_t piece,
                        int pauseMs) {
    response.set_chunked_content_provider(
        "application/octet-stream", [&server, count, piece, pauseMs](size_t offset, httplib::DataSink& sink) {
            if (offset >= count || server.stopping) {
                sink.done();
                return true;
            }
            if (pauseMs > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
            const std::string filler(std::min(piece, count - offset), 'x');
            return sink.write(filler.data(), filler.size());
        });
}

// One request as a capturing server received it; a multipart body comes as its
// parts in the order sent.
struct CapturedRequest {
    std::string method;
    std::string target;
    httplib::Headers headers;
    std::string body;
    std::vector<httplib::MultipartFormData> parts;
    // The first header of that name; "" when absent.
    std::string Header(const std::string& name) const {
        const auto it = headers.find(name);
        return it == headers.end() ? std::string() : it->second;
    }
};

// Answers every request "ok" and keeps the last one, proxied requests included.
class CaptureServer : public LoopbackServer {
public:
    CaptureServer() {
        Routes().Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
            Keep(request, response);
        });
        Routes().Post(".*", [this](const httplib::Request& request, httplib::Response& response,
                                   const httplib::ContentReader& reader) {
            Keep(request, response);
            if (!request.is_multipart_form_data()) {
                reader([this](const char* data, size_t length) {
                    last.body.append(data, length);
                    return true;
                });
                return;
            }
            reader(
                [this](const httplib::MultipartFormData& part) {
                    last.parts.push_back(part);
                    return true;
                },
                [this](const char* data, size_t length) {
                    last.parts.back().content.append(data, length);
                    return true;
                });
        });
        Start();
    }
    CapturedRequest last;

private:
    void Keep(const httplib::Request& request, httplib::Response& response) {
        last = CapturedRequest{request.method, request.target, request.headers, "", {}};
        response.set_content("ok", "text/plain");
    }
};

}  // namespace pellux_test
