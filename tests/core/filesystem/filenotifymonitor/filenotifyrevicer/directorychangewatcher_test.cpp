#include "core/filesystem/filenotifymonitor/filenotifyrevicer/directorychangewatcher.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "core/filesystem/filenotifymonitor/filenotifyrevicer/executor.h"
#include "platform/event.h"
#include "platform/strings.h"
#include "tests/support/testenvironment.h"

namespace {

// A handler that writes every notification as one line ("added a/b.txt",
// relative to a base folder) and lets a test wait for lines with a bound.
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

// Holds the watcher's thread in its first delivery until released.
class CBlockingRecorder : public CWatchRecorder {
public:
    using CWatchRecorder::CWatchRecorder;
    void OnFileAdded(const std::wstring& p) override {
        m_entered.Set();
        m_release.Wait(5000);
        CWatchRecorder::OnFileAdded(p);
    }
    CEvent m_entered{true, false};
    CEvent m_release{true, false};
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

using Lines = std::vector<std::string>;

constexpr uint32_t kNames = kNotifyFileName | kNotifyDirName | kNotifyLastWrite;

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

struct Step {
    const char* what;
    std::function<void(const std::string& dir, const std::string& outside)> act;
    Lines expected;
};

void Write(const std::string& path, const std::string& bytes = "x") {
    ASSERT_TRUE(pellux_test::WriteFile(path, bytes)) << path;
}

void Move(const std::string& from, const std::string& to) {
    ASSERT_EQ(std::rename(from.c_str(), to.c_str()), 0) << from << " > " << to;
}

}  // namespace

TEST(DirectoryChangeWatcher, ReportsEveryChangeInTheTreeWithFullPaths) {
    const std::string dir = pellux_test::MakeTempDir("watch");
    const std::string outside = pellux_test::MakeTempDir("outside");
    mkdir((dir + "/old").c_str(), 0700);
    auto rec = std::make_shared<CWatchRecorder>(dir);
    CDirectoryChangeWatcher watcher(std::make_shared<CInlineExecutor>());
    ASSERT_EQ(watcher.WatchDirectory(Utf8ToWide(dir), kNames, rec, true), 0u);
    EXPECT_EQ(rec->Take({"started 0 ."}), Lines{"started 0 ."});

    // Deep enough that the full path passes 260 characters.
    const std::string deep = "sub2/" + std::string(200, 'd');
    const std::string longName = deep + "/" + std::string(200, 'f');
    const std::vector<Step> steps = {
        {"add", [](auto& d, auto&) { Write(d + "/a.txt"); }, {"added a.txt", "modified a.txt"}},
        {"modify", [](auto& d, auto&) { Write(d + "/a.txt", "yy"); }, {"modified a.txt"}},
        {"folder made after the watch began",
         [](auto& d, auto&) { mkdir((d + "/sub").c_str(), 0700); },
         {"added sub"}},
        {"add in the new folder",
         [](auto& d, auto&) { Write(d + "/sub/b.txt"); },
         {"added sub/b.txt", "modified sub/b.txt"}},
        {"rename", [](auto& d, auto&) { Move(d + "/a.txt", d + "/a2.txt"); }, {"renamed a.txt > a2.txt"}},
        {"rename across folders",
         [](auto& d, auto&) { Move(d + "/a2.txt", d + "/sub/a3.txt"); },
         {"renamed a2.txt > sub/a3.txt"}},
        {"rename a folder", [](auto& d, auto&) { Move(d + "/sub", d + "/sub2"); }, {"renamed sub > sub2"}},
        {"add below the renamed folder",
         [](auto& d, auto&) { Write(d + "/sub2/c.txt"); },
         {"added sub2/c.txt", "modified sub2/c.txt"}},
        {"long paths", [&](auto& d, auto&) { mkdir((d + "/" + deep).c_str(), 0700); }, {"added " + deep}},
        {"long paths",
         [&](auto& d, auto&) { Write(d + "/" + longName); },
         {"added " + longName, "modified " + longName}},
        {"remove", [](auto& d, auto&) { unlink((d + "/sub2/c.txt").c_str()); }, {"removed sub2/c.txt"}},
        {"move out", [](auto& d, auto& o) { Move(d + "/sub2/b.txt", o + "/b.txt"); }, {"removed sub2/b.txt"}},
        {"move in", [](auto& d, auto& o) { Move(o + "/b.txt", d + "/old/b.txt"); }, {"added old/b.txt"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.act(dir, outside);
        EXPECT_EQ(Sorted(rec->Take(step.expected)), Sorted(step.expected));
    }
}

TEST(DirectoryChangeWatcher, SubtreeLimitsLeaveOutDeepHiddenAndExcludedFolders) {
    const std::string dir = pellux_test::MakeTempDir("limits");
    for (const char* sub : {"/d1", "/d1/d2", "/.hidden", "/sync"})
        ASSERT_EQ(mkdir((dir + sub).c_str(), 0700), 0);
    auto rec = std::make_shared<CWatchRecorder>(dir);
    CDirectoryChangeWatcher watcher(std::make_shared<CInlineExecutor>());
    CDirectoryChangeWatcher::SubtreeLimits limits;
    limits.maxDepth = 1;
    limits.skipHidden = true;
    limits.excluded = {Utf8ToWide(dir + "/sync/")};
    watcher.SetSubtreeLimits(limits);
    ASSERT_EQ(watcher.WatchDirectory(Utf8ToWide(dir), kNotifyFileName, rec, true), 0u);
    EXPECT_EQ(watcher.WatchCount(), 2u);  // the folder and d1
    // Folders made later follow the same limits.
    for (const char* sub : {"/.late", "/d1/d3"})
        ASSERT_EQ(mkdir((dir + sub).c_str(), 0700), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    for (const char* file :
         {"/d1/d2/deep.txt", "/.hidden/h.txt", "/sync/s.txt", "/.late/l.txt", "/d1/d3/x.txt", "/d1/seen.txt"})
        Write(dir + file);
    EXPECT_EQ(rec->Take({"added d1/seen.txt"}), (Lines{"started 0 .", "added d1/seen.txt"}));
    EXPECT_EQ(watcher.WatchCount(), 2u);
}

TEST(DirectoryChangeWatcher, WatchingTwiceReplacesTheFirstWatch) {
    const std::string dir = pellux_test::MakeTempDir("twice");
    auto rec = std::make_shared<CWatchRecorder>(dir);
    CDirectoryChangeWatcher watcher(std::make_shared<CInlineExecutor>());
    ASSERT_EQ(watcher.WatchDirectory(Utf8ToWide(dir), kNotifyFileName, rec, true), 0u);
    ASSERT_EQ(watcher.WatchDirectory(Utf8ToWide(dir + "/"), kNotifyFileName, rec, true), 0u);
    EXPECT_TRUE(watcher.IsWatched(Utf8ToWide(dir)));
    Write(dir + "/once.txt");
    EXPECT_EQ(rec->Take({"added once.txt"}),
              (Lines{"started 0 .", "stopped .", "started 0 .", "added once.txt"}));
    // Another folder's watch outlives this one's.
    const std::string other = pellux_test::MakeTempDir("other");
    ASSERT_EQ(watcher.WatchDirectory(Utf8ToWide(other), kNotifyFileName,
                                     std::make_shared<CWatchRecorder>(other), true),
              0u);
    EXPECT_EQ(watcher.WatchCount(), 2u);
    EXPECT_TRUE(watcher.UnwatchDirectory(Utf8ToWide(dir)));
    EXPECT_FALSE(watcher.IsWatched(Utf8ToWide(dir)));
    EXPECT_EQ(watcher.WatchCount(), 1u);
    Write(dir + "/after.txt");
    EXPECT_EQ(rec->Take({"stopped ."}), Lines{"stopped ."});
}

TEST(DirectoryChangeWatcher, BadRequestsFailWithoutAThread) {
    const std::string dir = pellux_test::MakeTempDir("bad");
    Write(dir + "/file");
    struct Case {
        std::string path;
        uint32_t filter;
        bool handler;
        uint32_t error;
    };
    const std::vector<Case> cases = {
        {dir + "/missing", kNames, true, kWatchErrorBadPathname},
        {dir + "/file", kNames, true, kWatchErrorBadPathname},
        {"", kNames, true, kWatchErrorInvalidParameter},
        {dir, 0, true, kWatchErrorInvalidParameter},
        {dir, kNames, false, kWatchErrorInvalidParameter},
    };
    CDirectoryChangeWatcher watcher(std::make_shared<CInlineExecutor>());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        auto rec = c.handler ? std::make_shared<CWatchRecorder>(dir) : nullptr;
        EXPECT_EQ(watcher.WatchDirectory(Utf8ToWide(c.path), c.filter, rec, true), c.error);
        EXPECT_FALSE(watcher.IsThreadRunning());
    }
}

TEST(DirectoryChangeWatcher, NothingIsDeliveredAfterStop) {
    const std::string dir = pellux_test::MakeTempDir("stop");
    auto queue = std::make_shared<CQueueExecutor>();
    auto rec = std::make_shared<CWatchRecorder>(dir);
    CDirectoryChangeWatcher watcher(queue);
    ASSERT_EQ(watcher.WatchDirectory(Utf8ToWide(dir), kNames, rec, true), 0u);
    queue->RunAll();
    EXPECT_EQ(rec->Take({}, 0), Lines{"started 0 ."});
    Write(dir + "/queued.txt");
    for (int i = 0; i < 500 && queue->Pending() < 2; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_GE(queue->Pending(), 2u);  // added and modified wait in the queue
    watcher.Stop();
    EXPECT_FALSE(watcher.IsThreadRunning());
    Write(dir + "/late.txt");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    queue->RunAll();
    EXPECT_EQ(rec->Take({}, 0), Lines{});
}

TEST(DirectoryChangeWatcher, AQueueOverflowIsReportedAndWatchingGoesOn) {
    const std::string dir = pellux_test::MakeTempDir("overflow");
    auto rec = std::make_shared<CBlockingRecorder>(dir);
    CDirectoryChangeWatcher watcher(std::make_shared<CInlineExecutor>());
    ASSERT_EQ(watcher.WatchDirectory(Utf8ToWide(dir), kNames, rec, true), 0u);
    Write(dir + "/first");
    ASSERT_TRUE(rec->m_entered.Wait(5000));
    // More records than the kernel queues (16384 by default); alternating
    // files keep the kernel from merging them.
    int max = std::stoi("0" + pellux_test::ReadFile("/proc/sys/fs/inotify/max_queued_events"));
    FILE* a = std::fopen((dir + "/a").c_str(), "w");
    FILE* b = std::fopen((dir + "/b").c_str(), "w");
    ASSERT_TRUE(a && b);
    for (int i = 0; i <= max / 2 + 16; ++i) {
        std::fputc('x', a);
        std::fflush(a);
        std::fputc('x', b);
        std::fflush(b);
    }
    std::fclose(a);
    std::fclose(b);
    rec->m_release.Set();
    const Lines lines = rec->Take({"error 1022 ."}, 0);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "error 1022 ."), lines.end());
    Write(dir + "/after");
    EXPECT_EQ(rec->Take({"added after"}, 0).front(), "added after");
}
