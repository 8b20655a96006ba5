#pragma once
// Fake file tasks whose attempts follow a script, records that count their
// live copies, and a completion log, for the queue and cluster tests.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/filesystem/taskdata/taskdata.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "core/taskmgr/task/file_task/itask.h"
#include "tests/support/fakecomponents.h"
#include "tests/support/fakesynccenter.h"
#include "tests/support/waituntil.h"

namespace pellux_test {

// A sync center with an idle service client and, unless told otherwise, a
// stand-in local storage: what a task cluster asks for.
inline CComPtr<FakeSyncCenter> TaskSyncCenter(CComPtr<IRemoteStorage> remote, bool withLocalStorage = true) {
    static FakeLog log;
    CComPtr<FakeSyncCenter> sync = FakeSyncCenter::Make();
    sync->token = L"fake-token";
    if (withLocalStorage)
        sync->AddComponent(new FakeLocalStorage(log, "local"));
    sync->AddComponent(remote);
    return sync;
}

class CountedRecord : public TaskDataBaseImpl<CountedRecord> {
public:
    static std::atomic<int>& Live() {
        static std::atomic<int> live{0};
        return live;
    }
    CountedRecord() {
        ++Live();
        operationName = L"DownloadFile";
        isUpload = 0;
    }
    CountedRecord(const CountedRecord& other) : TaskDataBaseImpl<CountedRecord>(other) { ++Live(); }
    ~CountedRecord() override { --Live(); }
    bool IsSameOwn(const CountedRecord&) const { return false; }

    static CountedRecord* Make(const std::wstring& key) {
        CountedRecord* record = Create();
        record->key = key;
        record->itemPath = L"\\" + key;
        return record;
    }
};

struct TaskScript {
    // Results of the attempts in order; the last one repeats; none gives S_OK.
    std::vector<HRESULT> results;
    // Attempts wait until Release (or their task is cancelled).
    bool block = false;
    // Attempts go on waiting when cancelled.
    bool ignoreCancel = false;
    // Runs at the start of each attempt with the task's progress callback.
    std::function<void(TransportProgressCallback, void*)> onExecute;

    std::mutex mutex;
    std::condition_variable changed;
    bool released = false;
    int executions = 0;
    int ended = 0;

    void Release() {
        std::lock_guard<std::mutex> lock(mutex);
        released = true;
        changed.notify_all();
    }
    int Executions() {
        std::lock_guard<std::mutex> lock(mutex);
        return executions;
    }
    int Ended() {
        std::lock_guard<std::mutex> lock(mutex);
        return ended;
    }
};

class ScriptedTask : public ITask {
public:
    ScriptedTask(std::shared_ptr<TaskScript> script, TaskDataBase* record)
        : m_script(std::move(script)), m_record(record) {}

    HRESULT Init(ILocalStorage*, IRemoteStorage*, TransportProgressCallback progress,
                 void* context) override {
        m_progress = progress;
        m_context = context;
        return S_OK;
    }
    HRESULT Execute() override {
        TaskScript& s = *m_script;
        if (s.onExecute)
            s.onExecute(m_progress, m_context);
        std::unique_lock<std::mutex> lock(s.mutex);
        const int attempt = s.executions++;
        if (s.block) {
            s.changed.wait_for(lock, std::chrono::seconds(20),
                               [&] { return s.released || (m_cancelled && !s.ignoreCancel); });
        }
        ++s.ended;
        s.changed.notify_all();
        if (m_cancelled && !s.ignoreCancel)
            return E_CANCELLED;
        if (s.results.empty())
            return S_OK;
        return s.results[std::min<size_t>(attempt, s.results.size() - 1)];
    }
    HRESULT Cancel() override {
        std::lock_guard<std::mutex> lock(m_script->mutex);
        m_cancelled = true;
        m_script->changed.notify_all();
        return S_OK;
    }
    TaskDataBase* GetTaskData() override { return m_record; }

    static TaskMaker Maker(const std::shared_ptr<TaskScript>& script) {
        return [script](TaskDataBase* record) -> ITask* { return new ScriptedTask(script, record); };
    }

private:
    std::shared_ptr<TaskScript> m_script;
    TaskDataBase* m_record;
    TransportProgressCallback m_progress = nullptr;
    void* m_context = nullptr;
    bool m_cancelled = false;  // guarded by the script's mutex
};

// What the completion callbacks saw, in order.
struct Completions {
    struct Entry {
        std::wstring key;
        HRESULT result;
        int state;
    };
    std::mutex mutex;
    std::vector<Entry> entries;

    static void Callback(TaskDataBase* record, void* context) {
        auto* self = static_cast<Completions*>(context);
        std::lock_guard<std::mutex> lock(self->mutex);
        self->entries.push_back({record->key, record->result, record->state});
    }
    size_t Count() {
        std::lock_guard<std::mutex> lock(mutex);
        return entries.size();
    }
    std::vector<Entry> Entries() {
        std::lock_guard<std::mutex> lock(mutex);
        return entries;
    }
};

}  // namespace pellux_test
