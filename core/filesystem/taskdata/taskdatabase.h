#pragma once
// Request records: one service operation that somebody wants done, with its
// token, key and arguments, and once queued the outcome of the run. Records
// are heap objects passed by pointer; whoever holds one ends it with Release.
#include <cstdint>
#include <new>
#include <string>

#include "platform/hresult.h"

class TaskDataBase {
public:
    virtual void Release() = 0;
    // A record of the same class with every field copied; null when out of memory.
    virtual TaskDataBase* Clone() const = 0;
    // True when both records describe the same work.
    virtual bool IsSame(const TaskDataBase* other) const = 0;
    virtual int Reserved3(const TaskDataBase* other) const = 0;

    // Kept and copied; nothing reads it.
    int sequence = -1;
    // Selects the operation ("Login", "Dir", "UpdateFile", ...).
    std::wstring operationName;
    std::wstring token;
    // The item id; for a new-file upload a unique key made by MakeNewFileKey.
    std::wstring key;
    // The file version the record ends with.
    int version = 0;
    // The item's path in the remote tree; its last component is the name.
    std::wstring itemPath;
    // The local file a download writes or an upload reads.
    std::wstring localPath;
    std::wstring sha1;
    // 1 when the operation concerns a folder.
    int isFolder = 0;
    // Copied with the record; nothing acts on it.
    int spareFlag = 0;
    // 1 for work that sends local data, 0 for downloads and queries.
    int isUpload = 1;
    // 0 not started, 2 running, 3 finished.
    int state = 0;
    HRESULT result = S_OK;
    // Progress of the running transfer, in bytes.
    int64_t bytesDone = 0;
    int64_t bytesTotal = 0;
    // Bit 0: open the file after the download; bit 1: the download failed and
    // the old cached copy was opened read-only instead.
    int flags = 0;

protected:
    TaskDataBase() = default;
    TaskDataBase(const TaskDataBase&) = default;
    TaskDataBase& operator=(const TaskDataBase&) = default;
    virtual ~TaskDataBase() = default;

    // The part of IsSame that every class shares.
    bool IsSameBase(const TaskDataBase& other) const;
};

constexpr int kTaskStateNotStarted = 0;
constexpr int kTaskStateRunning = 2;
constexpr int kTaskStateFinished = 3;
constexpr int kTaskFlagOpenAfterDownload = 1;
constexpr int kTaskFlagOpenedOldCopy = 2;

// The four operations for a concrete record class T, which supplies
// IsSameOwn(const T&) for its own fields.
template <class T>
class TaskDataBaseImpl : public TaskDataBase {
public:
    // A zero-state record; null when out of memory.
    static T* Create() {
        try {
            return new T();
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }

    void Release() override { delete static_cast<T*>(this); }
    TaskDataBase* Clone() const override {
        try {
            return new T(static_cast<const T&>(*this));
        } catch (const std::bad_alloc&) {
            return nullptr;  // never a half-built copy
        }
    }
    bool IsSame(const TaskDataBase* other) const override {
        const T* same = dynamic_cast<const T*>(other);
        return same && IsSameBase(*same) && static_cast<const T*>(this)->IsSameOwn(*same);
    }
    int Reserved3(const TaskDataBase*) const override { return 0; }
};

// A key for a new-file record: the tick count, a "-" and a process-wide
// counter, so records made within one millisecond still differ. The key only
// names the task locally; it never goes to the service.
std::wstring MakeNewFileKey();

// A transfer's byte count (reported as double) as a record field: NaN and
// negative values give 0, values beyond the 64-bit range the largest one.
int64_t ProgressBytesFromDouble(double bytes);
