// Listing one folder of many items through the facade: the service's reply
// (served on loopback from a prepared document, so only the client is timed)
// through Dir into the database cache, and the same listing again from the
// cache; beside Python's ElementTree parsing the same document into one
// record per item. Prints the times, the peak memory of each and the goals.
//
//   bench_dir [--items=100000] [google benchmark flags]
//   PELLUX_BENCH_DIR picks the folder for the database (default /tmp).
#include <benchmark/benchmark.h>
#include <httplib.h>
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/settings/inisettings.h"
#include "core/filesystem/filesystem/filesystem.h"
#include "core/taskmgr/taskmgr.h"
#include "platform/strings.h"
#include "tests/support/fakesynccenter.h"
#include "tests/support/testusercache.h"

namespace {

int g_items = 100000;
std::string g_dir;
std::string g_replyPath;
int64_t g_version = 10;
CComPtr<ILocalStorage> g_cache;
CComPtr<IFileSystem> g_facade;
CComPtr<ITaskMgr> g_taskMgr;

// A reply as the service writes it: folders and files, names with CJK text
// and an apostrophe, every field the listing reads.
std::string MakeReply() {
    std::string reply = "<?xml version=\"1.0\" encoding=\"utf-8\"?><xNorle><result>ok</result>";
    reply.reserve(static_cast<size_t>(g_items) * 420);
    for (int i = 0; i < g_items; ++i) {
        const bool folder = i % 10 == 0;
        const std::string n = std::to_string(1000000 + i);
        reply += "<item><type>";
        reply += folder ? "folder" : "file";
        reply += "</type><fileId>id-" + n + "</fileId><parentId>root-1</parentId><name>";
        reply += folder ? "文件夹 " + n : "report O'Neil " + n + ".docx";
        reply += "</name><size>" + std::to_string(folder ? 0 : 1234567 + i) + "</size><sha1>";
        reply += folder ? "" : "da39a3ee5e6b4b0d3255bfef95601890afd80709";
        reply += "</sha1><fileVer>3</fileVer><opVer>" + n +
                 "</opVer><createdTime>2024-01-02 03:04:05</createdTime>"
                 "<modTime>2024-02-03 04:05:06</modTime><modifier>Demo</modifier><shared>0</shared></item>";
    }
    return reply + "</xNorle>";
}

// The peak resident size since the last reset, in MB.
double PeakMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, 6, "VmHWM:") == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    }
    return 0;
}
double CurrentMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, 6, "VmRSS:") == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    }
    return 0;
}
// Hands freed memory back first, so that the next peak counts what the next
// step allocates rather than what an earlier one left in the heap.
void ResetPeak() {
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

bool ListFromService() {
    g_cache->SetCurCacheVesion(++g_version);  // a push: the cached listing is stale
    std::vector<RemoteItem> items;
    return g_facade->Dir(L"", &items, true) == S_OK && static_cast<int>(items.size()) == g_items;
}

bool ListFromCache() {
    std::vector<RemoteItem> items;
    return g_facade->Dir(L"", &items, false) == S_OK && static_cast<int>(items.size()) == g_items;
}

void BM_Dir_FromServiceIntoCache(benchmark::State& state) {
    for (auto _ : state) {
        if (!ListFromService())
            state.SkipWithError("listing failed");
    }
    state.SetItemsProcessed(state.iterations() * g_items);
}

// The reply path alone, for where the time goes: the request, the parse and
// the records, no cache.
void BM_DirReply_NoCache(benchmark::State& state) {
    for (auto _ : state) {
        TaskData_Dir* record = TaskData_Dir::Create();
        record->operationName = L"Dir";
        XmlNode reply;
        std::vector<RemoteItem> items;
        if (g_taskMgr->ExecuteTask(record, &reply, 1) == S_OK) {
            items.resize(reply.children.size());
            for (size_t i = 0; i < items.size(); ++i)
                FillRemoteItemFromReply(items[i], reply.children[i]);
        }
        record->Release();
        if (static_cast<int>(items.size()) != g_items)
            state.SkipWithError("request failed");
    }
    state.SetItemsProcessed(state.iterations() * g_items);
}

void BM_Dir_FromCache(benchmark::State& state) {
    ListFromService();
    for (auto _ : state) {
        if (!ListFromCache())
            state.SkipWithError("cache read failed");
    }
    state.SetItemsProcessed(state.iterations() * g_items);
}

const char kElementTree[] =
    "import resource, sys, xml.etree.ElementTree as ET\n"
    "root = ET.parse(sys.argv[1]).getroot()\n"
    "items = [{c.tag: c.text for c in item} for item in root.findall('item')]\n"
    "assert len(items) == int(sys.argv[2])\n"
    "print(resource.getrusage(resource.RUSAGE_SELF).ru_maxrss)\n";

// The reference, interpreter start-up included.
void BM_ElementTree_Parse(benchmark::State& state) {
    const std::string command =
        "python3 -c \"$PELLUX_ET\" '" + g_replyPath + "' " + std::to_string(g_items) + " > /dev/null";
    setenv("PELLUX_ET", kElementTree, 1);
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("python3 failed");
    }
    state.SetItemsProcessed(state.iterations() * g_items);
}

BENCHMARK(BM_Dir_FromServiceIntoCache)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_DirReply_NoCache)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Dir_FromCache)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_ElementTree_Parse)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

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
    std::string pattern = std::string(base ? base : "/tmp") + "/pellux-bench-dir-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    g_dir = pattern;
    g_replyPath = g_dir + "/reply.xml";
    const std::string reply = MakeReply();
    std::ofstream(g_replyPath, std::ios::binary) << reply;

    httplib::Server server;
    server.Post("/xsvr/dir/", [&reply](const httplib::Request&, httplib::Response& res) {
        res.set_content(reply, "text/xml");
    });
    server.Post("/xsvr/getMaxVers/", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(
            "<?xml version=\"1.0\" encoding=\"utf-8\"?><xNorle><result>ok</result>"
            "<opVer>" +
                std::to_string(g_version) + "</opVer><shareVer>1</shareVer></xNorle>",
            "text/xml");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread serving([&server] { server.listen_after_bind(); });
    const std::string address = "http://127.0.0.1:" + std::to_string(port);
    std::ofstream(g_dir + "/config.ini")
        << "[Pellux]\nServerRoot=" << address << "\nPushNotifyRoot=" << address
        << "\n[Debug]\nUploadSpeed=0\nDownloadSpeed=0\n";
    SetIniFolder(Utf8ToWide(g_dir));

    g_cache = pellux_test::OpenTestUserCache(g_dir);
    CComPtr<pellux_test::FakeSyncCenter> syncCenter = pellux_test::FakeSyncCenter::Make();
    syncCenter->token = L"bench";
    syncCenter->syncRoot = Utf8ToWide(g_dir + "/root");
    CComPtr<IRemoteStorage> remote;
    CComPtr<ITaskMgr>& taskMgr = g_taskMgr;
    if (!g_cache || FAILED(CreateRemoteStorage(&remote)) || FAILED(CreateTaskMgr(&taskMgr)) ||
        FAILED(taskMgr->Init(syncCenter, g_cache, remote)) || FAILED(CreateFileSystem(&g_facade)) ||
        FAILED(g_facade->Init(syncCenter, g_cache, remote, taskMgr))) {
        std::fprintf(stderr, "cannot set up the facade in %s\n", g_dir.c_str());
        return 1;
    }

    // Peak memory of one listing each way, before the timed runs.
    ListFromService();
    ResetPeak();
    double before = CurrentMb();
    ListFromService();
    const double servicePeak = PeakMb() - before;
    ResetPeak();
    before = CurrentMb();
    ListFromCache();
    const double cachePeak = PeakMb() - before;

    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::string pythonPeak;
    {
        setenv("PELLUX_ET", kElementTree, 1);
        const std::string command =
            "python3 -c \"$PELLUX_ET\" '" + g_replyPath + "' " + std::to_string(g_items);
        if (FILE* pipe = popen(command.c_str(), "r")) {
            char line[64] = {};
            if (std::fgets(line, sizeof(line), pipe))
                pythonPeak = line;
            pclose(pipe);
        }
    }

    g_facade->UnInit();
    g_facade.Release();
    taskMgr.Release();
    g_cache.Release();
    pellux_test::CloseTestUserCache();
    server.stop();
    serving.join();
    std::error_code ec;
    std::filesystem::remove_all(g_dir, ec);

    auto& s = reporter.seconds;
    std::printf("\nA folder of %d items (reply %.1f MB)\n", g_items, reply.size() / 1048576.0);
    const double et = s.count("BM_ElementTree_Parse") ? s["BM_ElementTree_Parse"] : 0;
    if (s.count("BM_Dir_FromServiceIntoCache")) {
        const double listing = s["BM_Dir_FromServiceIntoCache"];
        std::printf(
            "  service into cache    %7.3f s  %s  peak +%.0f MB (goal < 300 MB)\n", listing,
            et > 0 ? ("(" + std::to_string(listing / et).substr(0, 4) + "x ElementTree, goal 1.2x)").c_str()
                   : "",
            servicePeak);
    }
    if (s.count("BM_DirReply_NoCache"))
        std::printf("  of it the reply alone %7.3f s  (request, parse, records)\n", s["BM_DirReply_NoCache"]);
    if (s.count("BM_Dir_FromCache"))
        std::printf("  from the cache        %7.3f s  goal < 1 s  peak +%.0f MB\n", s["BM_Dir_FromCache"],
                    cachePeak);
    if (et > 0)
        std::printf("  ElementTree           %7.3f s  peak %.0f MB (whole interpreter)\n", et,
                    std::atof(pythonPeak.c_str()) / 1024.0);
    return 0;
}
