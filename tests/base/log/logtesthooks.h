#pragma once
// The log writer's clock and pause under a test's control.
#include <sys/stat.h>

#include <functional>
#include <string>

#include "base/log/logwriter.h"

// 2026-12-05 08:09:10 UTC
constexpr int64_t kDec5 = 1796458150;

// Birth times cannot be set; the modification time stands in.
inline LogWriterHooks TestLogHooks(std::function<int64_t()> now, std::function<void()> pause) {
    LogWriterHooks hooks;
    hooks.now = std::move(now);
    hooks.pause = std::move(pause);
    hooks.creationTime = [](const std::string& path, int64_t* seconds) {
        struct stat st;
        if (stat(path.c_str(), &st) != 0)
            return false;
        *seconds = st.st_mtime;
        return true;
    };
    return hooks;
}
