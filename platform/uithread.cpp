#include "platform/uithread.h"

#include <atomic>
#include <thread>

namespace {
std::atomic<std::thread::id> g_uiThread{std::thread::id()};
}

void MarkUiThread() {
    g_uiThread.store(std::this_thread::get_id());
}

bool IsUiThread() {
    return g_uiThread.load() == std::this_thread::get_id();
}
