#pragma once
// A handler that writes every notification as one line ("added a/b.txt",
// relative to a base folder) and lets a test wait for lines with a bound.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/filesystem/filenotifymonitor/filenotifyrevicer/directorychangehandler.h"
#include "core/filesystem/filenotifymonitor/filenotifyrevicer/executor.h"
#include "platform/strings.h"

class CWatchRecorder : public CDirectoryChangeHandler {
public:
    explicit CWatchRecorder(std::string base) : m_base(std::move(base)) {}

    void OnFileAdded(const std::wstring& p) override { Add("added " + Rel(p)); }
    void OnFileRemoved(const std::wstring& p) override { Add("removed " + Rel(p)); }
    void OnFileRenamed(const std::wstring& a, const std::wstring& b) override {
        Add("renamed " + Rel(a) + " > " + Rel(b));
    }
    void OnFileModified(const std::wstring& p) override { Add("modified " + Rel(p)); }
    void OnReadError(uint32_t e, const std::wstring& p) override {
        Add("error " + std::to_string(e) + " " + Rel(p));
    }
    void OnWatchStarted(uint32_t e, const std::wstring& p) override {
        Add("started " + std::to_string(e) + " " + Rel(p));
    }
    void OnWatchStopped(const std::wstring& p) override { Add("stopped " + Rel(p)); }

    // Waits up to 5 s until every expected line was seen, then a little
    // longer for stray ones; returns all lines seen and forgets them.
    std::vector<std::string> Take(const std::vector<std::string>& expected, int settleMs = 150) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cv.wait_for(lock, std::chrono::seconds(5), [&] {
            return std::all_of(expected.begin(), expected.end(), [&](const std::string& e) {
                return std::find(m_lines.begin(), m_lines.end(), e) != m_lines.end();
            });
        });
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
        lock.lock();
        std::vector<std::string> out(m_lines.begin(), m_lines.end());
        m_lines.clear();
        return out;
    }

private:
    std::string Rel(const std::wstring& path) const {
        std::string p = WideToUtf8(path);
        if (p.compare(0, m_base.size() + 1, m_base + "/") == 0)
            return p.substr(m_base.size() + 1);
        return p == m_base ? "." : p;
    }
    void Add(std::string line) {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_lines.push_back(std::move(line));
        m_cv.notify_all();
    }

    std::string m_base;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<std::string> m_lines;
};

// Holds posted tasks until the test runs them, as a GUI thread's queue would.
class CQueueExecutor : public IExecutor {
public:
    void Post(std::function<void()> task) override {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_tasks.push_back(std::move(task));
    }
    size_t Pending() {
        std::lock_guard<std::mutex> guard(m_mutex);
        return m_tasks.size();
    }
    void RunAll() {
        std::deque<std::function<void()>> tasks;
        {
            std::lock_guard<std::mutex> guard(m_mutex);
            tasks.swap(m_tasks);
        }
        for (auto& t : tasks)
            t();
    }

private:
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_tasks;
};
