#pragma once
// The service emulator: one HTTP server answering the storage protocol, the
// push poll, content transfers, previews, the update service and the web
// pages, all from one store.
#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "devserver/options.h"

namespace httplib {
class Server;
}

namespace devserver {

struct Service;
class TestHooks;

class DevServer {
public:
    explicit DevServer(const DevServerOptions& options);
    ~DevServer();
    DevServer(const DevServer&) = delete;
    DevServer& operator=(const DevServer&) = delete;

    // Opens the store, seeds it when asked, binds and starts serving.
    bool Start(std::string* error);
    // The bound port (the chosen one when started with port 0).
    int Port() const { return m_port; }
    // "http://HOST:PORT" as printed on start.
    std::string Address() const;
    // Stops serving, answers held polls and removes a temporary data folder.
    void Stop();

private:
    void RegisterRoutes();
    void Reset();

    DevServerOptions m_options;
    std::unique_ptr<Service> m_service;
    std::unique_ptr<httplib::Server> m_http;
    std::unique_ptr<TestHooks> m_hooks;
    std::thread m_thread;
    int m_port = 0;
    std::string m_tempDir;  // set when the data folder is ours to remove
    std::atomic<bool> m_stopping{false};
};

}  // namespace devserver
