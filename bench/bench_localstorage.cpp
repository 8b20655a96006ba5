// The database cache of the remote tree with one folder of many items: the
// listing written into the cache (every item through AddOrUpdateFileItem in
// one Lock/Unlock transaction, then DeleteStaleChildren) and read back with
// GetLastSyncSnapshot, beside the sqlite3 command-line tool running the same
// select on the same file. Prints the figures and the goal at the end.
//
//   bench_localstorage [--items=100000] [google benchmark flags]
//   PELLUX_BENCH_DIR picks the folder for the database (default /tmp).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/db/db.h"
#include "base/db/dbconfigstore.h"
#include "core/localstorage/localstorage/localstorage.h"
#include "platform/strings.h"

namespace {

int g_items = 100000;
const wchar_t kParent[] = L"bench-folder-0001";
std::string g_dir;
std::string g_dbPath;
CComPtr<ILocalStorage> g_storage;

std::vector<RemoteItem> MakeListing() {
    std::vector<RemoteItem> items(static_cast<size_t>(g_items));
    for (int i = 0; i < g_items; ++i) {
        RemoteItem& item = items[static_cast<size_t>(i)];
        item.isFolder = i % 10 == 0 ? 1 : 0;
        item.fileId = L"id-" + std::to_wstring(1000000 + i);
        item.parentId = kParent;
        item.name = (item.isFolder ? L"文件夹 " : L"report O'Neil ") + std::to_wstring(i) +
                    (item.isFolder ? L"" : L".docx");
        item.createdTime = L"2024-01-02 03:04:05";
        item.modTime = L"2024-02-03 04:05:06";
        if (!item.isFolder) {
            item.sha1 = L"da39a3ee5e6b4b0d3255bfef95601890afd80709";
            item.size = 1234567 + i;
            item.fileVer = 3;
        }
    }
    return items;
}

const std::vector<RemoteItem>& Listing() {
    static const std::vector<RemoteItem> items = MakeListing();
    return items;
}

bool WriteListing(int64_t version) {
    g_storage->SetCurCacheVesion(version);
    if (FAILED(g_storage->Lock()))
        return false;
    bool ok = true;
    for (const RemoteItem& item : Listing())
        ok = ok && SUCCEEDED(g_storage->AddOrUpdateFileItem(item));
    ok = ok && SUCCEEDED(g_storage->DeleteStaleChildren(kParent));
    return SUCCEEDED(g_storage->Unlock()) && ok;
}

// A first listing: every row inserted.
void BM_Cache_ListIntoEmptyCache(benchmark::State& state) {
    int64_t version = 1;
    for (auto _ : state) {
        state.PauseTiming();
        g_storage->ClearLastSnapshot();
        state.ResumeTiming();
        if (!WriteListing(++version))
            state.SkipWithError("write failed");
    }
    state.SetItemsProcessed(state.iterations() * g_items);
}

// A listing again after a push: every row updated.
void BM_Cache_ListOverCachedRows(benchmark::State& state) {
    int64_t version = 100;
    WriteListing(version);
    for (auto _ : state) {
        if (!WriteListing(++version))
            state.SkipWithError("write failed");
    }
    state.SetItemsProcessed(state.iterations() * g_items);
}

void BM_Cache_ReadSnapshot(benchmark::State& state) {
    WriteListing(1000);
    for (auto _ : state) {
        std::vector<RemoteItem> items;
        if (FAILED(g_storage->GetLastSyncSnapshot(kParent, &items)) ||
            static_cast<int>(items.size()) != g_items)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(items.data());
    }
    state.SetItemsProcessed(state.iterations() * g_items);
}

// The same select by the command-line tool, its start-up included.
void BM_Sqlite3Cli_Select(benchmark::State& state) {
    WriteListing(2000);
    const std::string command = "sqlite3 '" + g_dbPath + "' \"SELECT * FROM files WHERE svrparentid = '" +
                                WideToUtf8(kParent) + "'\" > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("sqlite3 failed (package sqlite3)");
    }
    state.SetItemsProcessed(state.iterations() * g_items);
}

BENCHMARK(BM_Cache_ListIntoEmptyCache)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Cache_ListOverCachedRows)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Cache_ReadSnapshot)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_Sqlite3Cli_Select)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// Keeps every run's mean time for the closing lines.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            std::string name = run.benchmark_name();
            name = name.substr(0, name.find('/'));
            seconds[name] = run.GetAdjustedRealTime() / 1e3;  // reported in ms
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--items=", 8) == 0)
            g_items = std::atoi(argv[i] + 8);
        else
            rest.push_back(argv[i]);
    }
    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());

    const char* base = std::getenv("PELLUX_BENCH_DIR");
    std::string pattern = std::string(base ? base : "/tmp") + "/pellux-bench-cache-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    g_dir = pattern;
    g_dbPath = g_dir + "/norle.db";
    if (FAILED(GetDatabase()->Init(Utf8ToWide(g_dbPath))) ||
        FAILED(GetDbConfigStore()->Open(GetDatabase(), L"config")) ||
        FAILED(CreateLocalStorage(&g_storage)) ||
        FAILED(g_storage->Init(Utf8ToWide(g_dir), Utf8ToWide(g_dir + "/root")))) {
        std::fprintf(stderr, "cannot set up the cache in %s\n", g_dir.c_str());
        return 1;
    }
    Listing();  // built before any timing

    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    g_storage.Release();
    CloseUserDatabase();
    std::error_code ec;
    std::filesystem::remove_all(g_dir, ec);

    auto& s = reporter.seconds;
    std::printf("\nA folder of %d items\n", g_items);
    if (s.count("BM_Cache_ListIntoEmptyCache"))
        std::printf("  into an empty cache   %7.3f s\n", s["BM_Cache_ListIntoEmptyCache"]);
    if (s.count("BM_Cache_ListOverCachedRows"))
        std::printf("  over cached rows      %7.3f s\n", s["BM_Cache_ListOverCachedRows"]);
    if (s.count("BM_Cache_ReadSnapshot")) {
        const double read = s["BM_Cache_ReadSnapshot"];
        std::printf("  from the cache        %7.3f s  goal < 1 s  %s\n", read,
                    read < 1.0 ? "ok" : "ABOVE GOAL");
        if (s.count("BM_Sqlite3Cli_Select"))
            std::printf("  sqlite3 tool select   %7.3f s  (cache read %.2fx the tool)\n",
                        s["BM_Sqlite3Cli_Select"], read / s["BM_Sqlite3Cli_Select"]);
    }
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("  peak memory           %7.1f MB\n", usage.ru_maxrss / 1024.0);
    return 0;
}
