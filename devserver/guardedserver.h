#pragma once
// The emulator's HTTP server: the head of every request (its first line and
// headers) must arrive within a bound, counted from the connection's start or
// the end of the previous reply on it, so clients that trickle bytes cannot
// hold every worker thread and starve the others.
#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace devserver {

class GuardedHttpServer : public httplib::Server {
public:
    GuardedHttpServer(size_t threads, std::chrono::milliseconds headBound);
    ~GuardedHttpServer() override;

    // The bound port: connections accepted on it are watched.
    void SetPort(int port) { m_port = port; }

private:
    class Queue;
    struct Watched {
        int fd = -1;  // our own duplicate, so the number cannot be reused meanwhile
        bool armed = true;
        std::chrono::steady_clock::time_point deadline;
    };

    // Starts watching the connection accepted last; its key ("" when none).
    std::string WatchNewConnection();
    void Forget(const std::string& peer);
    void Arm(const std::string& peer, bool armed);
    void Watch();

    const size_t m_threads;
    const std::chrono::milliseconds m_headBound;
    int m_port = 0;
    std::mutex m_lock;
    std::condition_variable m_wake;
    std::map<std::string, Watched> m_watched;  // by "address:port" of the client
    std::map<uint64_t, std::string> m_inodes;  // socket inode -> key, of watched connections
    bool m_stop = false;
    std::thread m_watchdog;
};

}  // namespace devserver
