#pragma once
// Holds push polls until the polled user's versions change. A poll answers
// at once when the versions differ from the last ones that user was told
// (or on the user's first poll), else it waits for a change or the hold time.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace devserver {

using VersionPair = std::pair<int64_t, int64_t>;  // opVer, shareVer

class PushHub {
public:
    explicit PushHub(int holdMs) : m_holdMs(holdMs) {}
    // Wakes every held poll to look at its versions again.
    void Notify();
    // Answers every held poll now and every later one at once (shutdown).
    void Stop();
    // Forgets what each user was told (test reset).
    void Forget();
    // Blocks until there is something to answer; read() gives the user's
    // current versions and is called without the hub's lock.
    VersionPair Wait(const std::string& userId, const std::function<VersionPair()>& read);

private:
    const int m_holdMs;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    uint64_t m_generation = 0;
    bool m_stopped = false;
    std::map<std::string, VersionPair> m_told;
};

}  // namespace devserver
