#pragma once
// The task lists of a fake core, with a log of the commands it was given and
// an optional stall of the list calls (a core busy under its own locks).
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "ui/middlewindow/itaskcore.h"

namespace ui_test {

class FakeTaskCore : public ITaskCore {
public:
    bool IsLoggedIn() override { return loggedIn; }
    HRESULT GetTaskList(bool finished, std::vector<TaskInfo>* out) override {
        Stall();
        std::lock_guard<std::mutex> guard(lock);
        *out = finished ? finishedList : unfinishedList;
        return S_OK;
    }
    HRESULT GetOpenFileList(std::vector<TaskInfo>* out) override {
        std::lock_guard<std::mutex> guard(lock);
        *out = openList;
        return S_OK;
    }
    HRESULT CancelAllTasks(const std::wstring& id) override { return Log(L"cancel:" + id); }
    HRESULT ClearTaskList(const std::wstring& id) override { return Log(L"clear:" + id); }
    HRESULT RetryTask(const std::wstring& id) override { return Log(L"retry:" + id); }
    HRESULT RemoveOpenFile(const std::wstring& id) override { return Log(L"remove:" + id); }
    HRESULT UploadOpenFileNow(const std::wstring& id) override { return Log(L"upload:" + id); }

    // List calls wait until Release (at most ten seconds, so nothing hangs).
    void HoldLists() {
        std::lock_guard<std::mutex> guard(lock);
        holding = true;
    }
    void Release() {
        {
            std::lock_guard<std::mutex> guard(lock);
            holding = false;
        }
        wake.notify_all();
    }
    bool WaitUntilStalled() {
        std::unique_lock<std::mutex> guard(lock);
        return wake.wait_for(guard, std::chrono::seconds(10), [this] { return stalled > 0; });
    }
    // Empties every list, under the lock the pollers read them with.
    void ClearLists() {
        std::lock_guard<std::mutex> guard(lock);
        openList.clear();
        unfinishedList.clear();
        finishedList.clear();
    }
    std::vector<std::wstring> Calls() {
        std::lock_guard<std::mutex> guard(lock);
        return calls;
    }

    std::mutex lock;
    std::condition_variable wake;
    bool loggedIn = true, holding = false;
    int stalled = 0;
    std::vector<TaskInfo> openList, unfinishedList, finishedList;
    std::vector<std::wstring> calls;

private:
    void Stall() {
        std::unique_lock<std::mutex> guard(lock);
        if (!holding)
            return;
        ++stalled;
        wake.notify_all();
        wake.wait_for(guard, std::chrono::seconds(10), [this] { return !holding; });
    }
    HRESULT Log(const std::wstring& call) {
        std::lock_guard<std::mutex> guard(lock);
        calls.push_back(call);
        return S_OK;
    }
};

inline TaskInfo Task(const std::wstring& key, const std::wstring& path, bool upload, int64_t done,
                     int64_t total, HRESULT result = S_OK, int flags = 0) {
    return TaskInfo{key, path, upload ? 1 : 0, /*state*/ 0, result, done, total, flags};
}

}  // namespace ui_test
