#include "base/filecrypt/filecryptpause.h"

#include <chrono>
#include <mutex>
#include <thread>

namespace {

std::mutex g_lock;
// Never destroyed: a worker abandoned at exit may still be encoding.
FileCryptPause& g_pause = *new FileCryptPause;

void SleepOneMillisecond() {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

}  // namespace

void SetFileCryptPause(FileCryptPause pause) {
    std::lock_guard<std::mutex> hold(g_lock);
    g_pause = std::move(pause);
}

FileCryptPause CurrentFileCryptPause() {
    std::lock_guard<std::mutex> hold(g_lock);
    if (g_pause)
        return g_pause;
    return SleepOneMillisecond;
}
