#pragma once
// A marker downloader that records the downloads it is asked for.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "core/filesystem/filenotifymonitor/filenotifyrevicer/markerfilehandler.h"
#include "platform/strings.h"

// Writes each call as "file id parent path > destination".
class CFakeDownloader : public IMarkerDownloader {
public:
    HRESULT Download(const std::wstring& id, const std::wstring& parent, const std::wstring& path,
                     const std::wstring& destination) override {
        return Add("file", id, parent, path, destination);
    }
    HRESULT DownloadFolder(const std::wstring& id, const std::wstring& parent, const std::wstring& path,
                           const std::wstring& destination) override {
        return Add("folder", id, parent, path, destination);
    }
    std::vector<std::string> WaitFor(size_t n) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cv.wait_for(lock, std::chrono::seconds(5), [&] { return m_calls.size() >= n; });
        return m_calls;
    }
    std::vector<std::string> Calls() { return WaitFor(0); }

private:
    HRESULT Add(const char* kind, const std::wstring& id, const std::wstring& parent,
                const std::wstring& path, const std::wstring& destination) {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_calls.push_back(std::string(kind) + " " +
                          WideToUtf8(id + L" " + parent + L" " + path + L" > " + destination));
        m_cv.notify_all();
        return S_OK;
    }
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::vector<std::string> m_calls;
};
