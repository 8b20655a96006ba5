#include "devserver/guardedserver.h"

#include <dirent.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace devserver {

namespace {

// The client as the library names it in a request.
std::string PeerKey(const std::string& address, int port) {
    return address + ":" + std::to_string(port);
}

int LocalPort(int fd) {
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return -1;
    if (address.ss_family == AF_INET)
        return ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port);
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<sockaddr_in6*>(&address)->sin6_port);
    return -1;
}

std::string PeerKey(int fd) {
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return std::string();
    char host[NI_MAXHOST];
    char port[NI_MAXSERV];
    if (getnameinfo(reinterpret_cast<sockaddr*>(&address), length, host, sizeof(host), port, sizeof(port),
                    NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
        return std::string();
    }
    return PeerKey(host, std::atoi(port));
}

}  // namespace

// Runs each accepted connection on the pool; the library hands over only a
// closure, so the connection is found among the process's sockets just
// before: the listening thread accepts and enqueues one at a time.
class GuardedHttpServer::Queue : public httplib::TaskQueue {
public:
    Queue(GuardedHttpServer& server, size_t threads) : m_server(server), m_pool(threads) {}
    void enqueue(std::function<void()> fn) override {
        const std::string peer = m_server.WatchNewConnection();
        GuardedHttpServer* server = &m_server;
        m_pool.enqueue([server, peer, fn = std::move(fn)] {
            fn();
            server->Forget(peer);
        });
    }
    void shutdown() override { m_pool.shutdown(); }

private:
    GuardedHttpServer& m_server;
    httplib::ThreadPool m_pool;
};

GuardedHttpServer::GuardedHttpServer(size_t threads, std::chrono::milliseconds headBound)
    : m_threads(threads), m_headBound(headBound) {
    new_task_queue = [this] { return new Queue(*this, m_threads); };
    // Kept-alive replies must not wait for the client's delayed acknowledgement.
    set_tcp_nodelay(true);
    set_pre_routing_handler([this](const httplib::Request& req, httplib::Response&) {
        Arm(PeerKey(req.remote_addr, req.remote_port), false);
        return HandlerResponse::Unhandled;
    });
    // Called once a reply is written: the next head is on the clock.
    set_logger([this](const httplib::Request& req, const httplib::Response&) {
        Arm(PeerKey(req.remote_addr, req.remote_port), true);
    });
    m_watchdog = std::thread([this] { Watch(); });
}

GuardedHttpServer::~GuardedHttpServer() {
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_stop = true;
    }
    m_wake.notify_all();
    m_watchdog.join();
    for (auto& entry : m_watched)
        close(entry.second.fd);
}

std::string GuardedHttpServer::WatchNewConnection() {
    DIR* folder = opendir("/proc/self/fd");
    if (!folder)
        return std::string();
    std::string found;
    std::lock_guard<std::mutex> hold(m_lock);
    while (dirent* entry = readdir(folder)) {
        const int fd = std::atoi(entry->d_name);
        struct stat st;
        if (entry->d_name[0] == '.' || fd == dirfd(folder) || fstat(fd, &st) != 0 || !S_ISSOCK(st.st_mode))
            continue;
        if (m_inodes.count(static_cast<uint64_t>(st.st_ino)) || LocalPort(fd) != m_port)
            continue;
        const std::string peer = PeerKey(fd);  // empty for the listening socket
        if (peer.empty())
            continue;
        const int own = dup(fd);
        if (own < 0)
            continue;
        m_watched[peer] = Watched{own, true, std::chrono::steady_clock::now() + m_headBound};
        m_inodes[static_cast<uint64_t>(st.st_ino)] = peer;
        found = peer;
    }
    closedir(folder);
    return found;
}

void GuardedHttpServer::Forget(const std::string& peer) {
    std::lock_guard<std::mutex> hold(m_lock);
    auto found = m_watched.find(peer);
    if (found == m_watched.end())
        return;
    struct stat st;
    if (fstat(found->second.fd, &st) == 0)
        m_inodes.erase(static_cast<uint64_t>(st.st_ino));
    close(found->second.fd);
    m_watched.erase(found);
}

void GuardedHttpServer::Arm(const std::string& peer, bool armed) {
    std::lock_guard<std::mutex> hold(m_lock);
    auto found = m_watched.find(peer);
    if (found == m_watched.end())
        return;
    found->second.armed = armed;
    found->second.deadline = std::chrono::steady_clock::now() + m_headBound;
}

void GuardedHttpServer::Watch() {
    std::unique_lock<std::mutex> hold(m_lock);
    while (!m_stop) {
        m_wake.wait_for(hold, std::chrono::milliseconds(100));
        const auto now = std::chrono::steady_clock::now();
        for (auto it = m_watched.begin(); it != m_watched.end();) {
            Watched& watched = it->second;
            if (watched.armed && watched.deadline <= now) {
                // The blocked read returns and the library closes the connection.
                shutdown(watched.fd, SHUT_RDWR);
                watched.armed = false;
            }
            // A connection that ended unseen (found at another's enqueue) is
            // let go here, so its duplicate does not keep it open.
            sockaddr_storage peer{};
            socklen_t length = sizeof(peer);
            if (getpeername(watched.fd, reinterpret_cast<sockaddr*>(&peer), &length) != 0) {
                struct stat st;
                if (fstat(watched.fd, &st) == 0)
                    m_inodes.erase(static_cast<uint64_t>(st.st_ino));
                close(watched.fd);
                it = m_watched.erase(it);
            } else {
                ++it;
            }
        }
    }
}

}  // namespace devserver
