#pragma once
// Loopback HTTP fixtures for the transport tests: a cpp-httplib server on a
// free port, and a raw one that records the exact bytes of one request.
#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

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
    bool Valid() { return m_server->is_valid(); }
};

// Loopback must never go through a proxy of the machine.
inline void ClearProxyEnvironment() {
    for (const char* name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
        unsetenv(name);
}

// An address on a port that was free a moment ago and has no listener now.
inline std::wstring ClosedPortUrl(const std::string& path) {
    LoopbackServer probe;
    probe.Start();
    const std::string url = "http://127.0.0.1:" + std::to_string(probe.Port()) + path;
    return std::wstring(url.begin(), url.end());
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

// Accepts one connection, keeps the request bytes (headers and the body its
// Content-Length announces) and answers with a fixed reply.
class RawCaptureServer {
public:
    explicit RawCaptureServer(
        std::string reply = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok")
        : m_reply(std::move(reply)) {
        m_socket = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        socklen_t length = sizeof(address);
        getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        listen(m_socket, 4);
        m_thread = std::thread([this] { Serve(); });
    }
    ~RawCaptureServer() {
        shutdown(m_socket, SHUT_RDWR);
        close(m_socket);
        if (m_thread.joinable())
            m_thread.join();
    }
    int Port() const { return m_port; }
    std::wstring Url(const std::string& path) const {
        const std::string url = "http://127.0.0.1:" + std::to_string(m_port) + path;
        return std::wstring(url.begin(), url.end());
    }
    // The request as received; valid once the client has its reply.
    std::string Request() {
        if (m_thread.joinable())
            m_thread.join();
        return m_request;
    }

private:
    void Serve() {
        const int client = accept(m_socket, nullptr, nullptr);
        if (client < 0)
            return;
        timeval timeout{5, 0};
        setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
        std::string data;
        char buffer[65536];
        size_t headerEnd = std::string::npos;
        size_t wanted = 0;
        bool continued = false;
        for (;;) {
            if (headerEnd == std::string::npos) {
                headerEnd = data.find("\r\n\r\n");
                if (headerEnd != std::string::npos) {
                    const std::string head = data.substr(0, headerEnd);
                    const size_t at = head.find("Content-Length: ");
                    if (at != std::string::npos)
                        wanted = std::stoul(head.substr(at + 16));
                    if (!continued && head.find("Expect: 100-continue") != std::string::npos) {
                        const char go[] = "HTTP/1.1 100 Continue\r\n\r\n";
                        send(client, go, sizeof(go) - 1, MSG_NOSIGNAL);
                        continued = true;
                    }
                }
            }
            if (headerEnd != std::string::npos && data.size() >= headerEnd + 4 + wanted)
                break;
            const ssize_t got = recv(client, buffer, sizeof(buffer), 0);
            if (got <= 0)
                break;
            data.append(buffer, static_cast<size_t>(got));
        }
        m_request = data;
        send(client, m_reply.data(), m_reply.size(), MSG_NOSIGNAL);
        shutdown(client, SHUT_WR);
        close(client);
    }

    std::string m_reply;
    int m_socket = -1;
    int m_port = 0;
    std::thread m_thread;
    std::string m_request;
};

}  // namespace pellux_test
