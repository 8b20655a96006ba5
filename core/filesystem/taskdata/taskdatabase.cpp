#include "core/filesystem/taskdata/taskdatabase.h"

#include <atomic>
#include <cmath>
#include <limits>

#include "platform/tickcount.h"

bool TaskDataBase::IsSameBase(const TaskDataBase& other) const {
    return operationName == other.operationName && key == other.key && itemPath == other.itemPath &&
           isFolder == other.isFolder && isUpload == other.isUpload;
}

std::wstring MakeNewFileKey() {
    static std::atomic<uint64_t> counter{0};
    const uint64_t serial = counter.fetch_add(1, std::memory_order_relaxed);
    return std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(serial);
}

int64_t ProgressBytesFromDouble(double bytes) {
    if (std::isnan(bytes) || bytes <= 0.0)
        return 0;
    // 2^63 is the first double past the range.
    if (bytes >= 9223372036854775808.0)
        return std::numeric_limits<int64_t>::max();
    return static_cast<int64_t>(bytes);
}
