// Upload and download of one large file through the file tasks against the
// service emulator on loopback, beside curl posting and fetching the same
// encoded bytes to and from the same emulator in the same run; then each step
// of the two directions alone, to show where the time goes. Prints the rate
// ratios against curl and the goal at the end.
//
//   bench_filetask [--mb=100] [google benchmark flags]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/db/db.h"
#include "base/db/dbconfigstore.h"
#include "base/settings/inisettings.h"
#include "core/coreapp/ishelladapter.h"
#include "core/filesystem/taskdata/taskdata.h"
#include "core/localstorage/localstorage/localstorage.h"
#include "core/remotestorage/remotestorage/filesha1.h"
#include "core/remotestorage/remotestorage/iremotestorage.h"
#include "core/taskmgr/task/file_task/taskfactory.h"
#include "platform/strings.h"
#include "tests/support/emulatorfixture.h"
#include "tests/support/testenvironment.h"

namespace {

using pellux_test::Emulator;

int g_megabytes = 100;
Emulator g_emulator;
pellux_test::EmulatorSession g_session;
std::string g_dir;
std::string g_source;   // the plain file
std::string g_encoded;  // the same, encoded as the upload sends it
std::string g_fileId;
std::string g_sourceSha1;
std::string g_encodedSha1;
int64_t g_fileVer = 0;
CComPtr<ILocalStorage> g_local;
CComPtr<IRemoteStorage> g_remote;
const wchar_t kKey[] = L"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f";

// The existing-file question never comes up: the file exists from the start.
class SilentHost : public IFileTaskHost {
public:
    int AskUser(const std::wstring&, const std::wstring&, const std::wstring&, const std::wstring&, int,
                const std::wstring&, int) override {
        return kAskNotShown;
    }
    HRESULT Delete(bool, const std::wstring&, const std::wstring&) override { return E_NOTIMPL; }
    HRESULT Upload(const std::wstring&, const std::wstring&, int, const std::wstring&,
                   const std::wstring&) override {
        return E_NOTIMPL;
    }
};

template <class T>
using Owned = std::unique_ptr<T, void (*)(T*)>;
template <class T>
Owned<T> NewRecord() {
    return Owned<T>(T::Create(), [](T* r) { r->Release(); });
}

std::string Call(const std::string& path, pellux_test::EmulatorFields fields) {
    fields.insert(fields.begin(), {"token", g_session.token});
    return g_emulator.CallOperation(path, fields);
}

bool RunTask(TaskDataBase* record) {
    std::unique_ptr<ITask> task(CreateFileTask(record, std::make_shared<SilentHost>()));
    return task && SUCCEEDED(task->Init(g_local, g_remote, nullptr, nullptr)) && SUCCEEDED(task->Execute());
}

bool Shell(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

void SetBytes(benchmark::State& state) {
    state.SetBytesProcessed(state.iterations() * int64_t(g_megabytes) * 1000000);
}

// --- the whole transfers ---------------------------------------------------

void BM_FileTask_Upload(benchmark::State& state) {
    for (auto _ : state) {
        auto record = NewRecord<TaskData_UpdateFile>();
        record->operationName = L"UpdateFile";
        record->key = Utf8ToWide(g_fileId);
        record->name = L"big.bin";
        record->fileVer = std::to_wstring(g_fileVer);
        record->localPath = Utf8ToWide(g_source);
        record->token = Utf8ToWide(g_session.token);
        if (!RunTask(record.get())) {
            state.SkipWithError("upload task failed");
            break;
        }
        g_fileVer = record->version;
    }
    SetBytes(state);
}

void BM_Curl_Upload(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        const std::string reply =
            Call("/xsvr/requestUpload/", {{"fileVer", std::to_string(g_fileVer)},
                                          {"size", std::to_string(g_megabytes * 1000000)},
                                          {"fileId", g_fileId},
                                          {"sha1", g_sourceSha1}});
        const std::string url = Emulator::ReplyValue(reply, "url") +
                                "stub=" + Emulator::ReplyValue(reply, "stub") +
                                "&uploadSize=" + std::to_string(pellux_test::ReadFile(g_encoded).size()) +
                                "&uploadSha1=" + g_encodedSha1;
        state.ResumeTiming();
        if (!Shell("curl -sf -o '" + g_dir + "/curl-up.xml' -H 'v: 2' -A pellux -F 'FileCont=@" + g_encoded +
                   ";filename=big.bin' '" + url + "'")) {
            state.SkipWithError("curl upload failed (package curl)");
            break;
        }
        state.PauseTiming();
        g_fileVer = std::atoll(
            Emulator::ReplyValue(pellux_test::ReadFile(g_dir + "/curl-up.xml"), "fileVer").c_str());
        state.ResumeTiming();
    }
    SetBytes(state);
}

void BM_FileTask_Download(benchmark::State& state) {
    for (auto _ : state) {
        auto record = NewRecord<TaskData_DownloadFile>();
        record->operationName = L"DownloadFile";
        record->key = Utf8ToWide(g_fileId);
        record->name = L"big.bin";
        record->localPath = Utf8ToWide(g_dir + "/root/cache/big.bin");
        record->token = Utf8ToWide(g_session.token);
        record->isUpload = 0;
        if (!RunTask(record.get())) {
            state.SkipWithError("download task failed");
            break;
        }
    }
    SetBytes(state);
}

void BM_Curl_Download(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        const std::string reply = Call("/xsvr/requestDownload/", {{"fileId", g_fileId}});
        const std::string url = Emulator::ReplyValue(reply, "url") +
                                "stub=" + Emulator::ReplyValue(reply, "stub") + "&bakVer=nowVer";
        state.ResumeTiming();
        if (!Shell("curl -sf -o '" + g_dir + "/curl-down.bin' -H 'v: 2' -A pellux '" + url + "'")) {
            state.SkipWithError("curl download failed (package curl)");
            break;
        }
    }
    SetBytes(state);
}

// --- the steps alone --------------------------------------------------------

void BM_Step_CopyToTemp(benchmark::State& state) {
    for (auto _ : state) {
        std::wstring copy;
        if (FAILED(g_local->CopyFileToTempPathByFullPath(Utf8ToWide(g_source), &copy, false)))
            state.SkipWithError("copy failed");
        state.PauseTiming();
        std::remove(WideToUtf8(copy).c_str());
        state.ResumeTiming();
    }
    SetBytes(state);
}

void BM_Step_Sha1(benchmark::State& state) {
    for (auto _ : state) {
        std::wstring hex;
        if (FAILED(FileSha1Hex(Utf8ToWide(g_source), std::function<bool()>(), hex)))
            state.SkipWithError("hash failed");
    }
    SetBytes(state);
}

void BM_Step_Encode(benchmark::State& state) {
    const std::wstring out = Utf8ToWide(g_dir + "/root/.tmp/encoded.step");
    for (auto _ : state) {
        if (FAILED(g_local->EncodeFile(L"big.bin", Utf8ToWide(g_source), out, kKey)))
            state.SkipWithError("encode failed");
    }
    std::remove(WideToUtf8(out).c_str());
    SetBytes(state);
}

void BM_Step_Decode(benchmark::State& state) {
    const std::wstring in = Utf8ToWide(g_dir + "/encoded.step");
    const std::wstring out = Utf8ToWide(g_dir + "/root/.tmp/decoded.step");
    g_local->EncodeFile(L"big.bin", Utf8ToWide(g_source), in, kKey);
    for (auto _ : state) {
        if (FAILED(g_local->DecodeFile(in, out, kKey)))
            state.SkipWithError("decode failed");
    }
    std::remove(WideToUtf8(in).c_str());
    std::remove(WideToUtf8(out).c_str());
    SetBytes(state);
}

// The content POST alone (the upload address is asked for untimed).
void BM_Step_UploadTransfer(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto record = NewRecord<TaskData_UpdateFile>();
        record->token = Utf8ToWide(g_session.token);
        record->key = Utf8ToWide(g_fileId);
        record->fileVer = std::to_wstring(g_fileVer);
        record->sourceSize = std::to_wstring(g_megabytes * 1000000);
        record->sourceSha1 = Utf8ToWide(g_sourceSha1);
        XmlNode request;
        g_remote->UpdateFile(record.get(), nullptr, nullptr, &request);
        record->stub = request.GetValue(L"stub");
        record->uploadAddress = request.GetValue(L"url");
        record->encodedFilePath = Utf8ToWide(g_encoded);
        record->uploadSize = std::to_wstring(pellux_test::ReadFile(g_encoded).size());
        record->uploadSha1 = Utf8ToWide(g_encodedSha1);
        state.ResumeTiming();
        XmlNode reply;
        if (FAILED(g_remote->_UploadFile(record.get(), nullptr, nullptr, &reply))) {
            state.SkipWithError("upload failed");
            break;
        }
        g_fileVer = std::atoll(WideToUtf8(reply.GetValue(L"fileVer")).c_str());
    }
    SetBytes(state);
}

// The address request, the content GET and the remote storage's digest check.
void BM_Step_DownloadTransfer(benchmark::State& state) {
    for (auto _ : state) {
        auto record = NewRecord<TaskData_DownloadFile>();
        record->token = Utf8ToWide(g_session.token);
        record->key = Utf8ToWide(g_fileId);
        record->downloadPath = Utf8ToWide(g_dir + "/root/.tmp/download.step");
        XmlNode reply;
        if (FAILED(g_remote->DownloadFile(record.get(), nullptr, nullptr, &reply))) {
            state.SkipWithError("download failed");
            break;
        }
    }
    std::remove((g_dir + "/root/.tmp/download.step").c_str());
    SetBytes(state);
}

// Downloads first: curl's uploads store content under a key the service made
// up, which a decoding download could not read afterwards.
BENCHMARK(BM_FileTask_Download)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Curl_Download)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_FileTask_Upload)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Curl_Upload)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Step_CopyToTemp)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Step_Sha1)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Step_Encode)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Step_Decode)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Step_UploadTransfer)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Step_DownloadTransfer)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            std::string name = run.benchmark_name();
            seconds[name.substr(0, name.find('/'))] = run.GetAdjustedRealTime() / 1e3;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};

bool SetUp() {
    pellux_test::SetUpTestHome();
    std::string error;
    pellux_test::EmulatorOptions options;
    if (!g_emulator.Start(options, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    g_dir = pellux_test::MakeTempDir("bench-filetask");
    if (!pellux_test::WriteFile(g_dir + "/config.ini", pellux_test::ClientConfigIni(g_emulator.Address())))
        return false;
    SetIniFolder(Utf8ToWide(g_dir));
    g_session = g_emulator.Login("demo", "demo");
    if (g_session.token.empty())
        return false;
    if (FAILED(GetDatabase()->Init(Utf8ToWide(g_dir + "/norle.db"))) ||
        FAILED(GetDbConfigStore()->Open(GetDatabase(), L"config")) || FAILED(CreateLocalStorage(&g_local)) ||
        FAILED(g_local->Init(Utf8ToWide(g_dir), Utf8ToWide(g_dir + "/root"))) ||
        FAILED(CreateRemoteStorage(&g_remote)))
        return false;

    std::string bytes(static_cast<size_t>(g_megabytes) * 1000000, '\0');
    std::mt19937_64 random(42);
    for (size_t i = 0; i + 8 <= bytes.size(); i += 8) {
        const uint64_t word = random();
        std::memcpy(&bytes[i], &word, 8);
    }
    g_source = g_dir + "/big.bin";
    if (!pellux_test::WriteFile(g_source, bytes))
        return false;
    g_fileId =
        Emulator::ReplyValue(Call("/xsvr/newFile/", {{"parentId", ""}, {"name", "big.bin"}}), "fileId");
    std::wstring hex;
    FileSha1Hex(Utf8ToWide(g_source), std::function<bool()>(), hex);
    g_sourceSha1 = WideToUtf8(hex);
    // The bytes curl sends: the file as the upload task encodes it.
    g_encoded = g_dir + "/big.encoded";
    if (g_fileId.empty() ||
        FAILED(g_local->EncodeFile(L"big.bin", Utf8ToWide(g_source), Utf8ToWide(g_encoded), kKey)))
        return false;
    FileSha1Hex(Utf8ToWide(g_encoded), std::function<bool()>(), hex);
    g_encodedSha1 = WideToUtf8(hex);
    // A first version, so downloads have content from the start.
    auto record = NewRecord<TaskData_UpdateFile>();
    record->operationName = L"UpdateFile";
    record->key = Utf8ToWide(g_fileId);
    record->name = L"big.bin";
    record->fileVer = L"0";
    record->localPath = Utf8ToWide(g_source);
    record->token = Utf8ToWide(g_session.token);
    if (!RunTask(record.get()))
        return false;
    g_fileVer = record->version;
    return true;
}

void Line(const char* label, std::map<std::string, double>& s, const std::string& name) {
    if (s.count(name))
        std::printf("  %-34s %7.3f s  %7.1f MB/s\n", label, s[name], g_megabytes / s[name]);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--mb=", 5) == 0)
            g_megabytes = std::atoi(argv[i] + 5);
        else
            rest.push_back(argv[i]);
    }
    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    if (!SetUp()) {
        std::fprintf(stderr, "cannot set up the emulator, the store or the %d MB file\n", g_megabytes);
        return 1;
    }
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    g_local.Release();
    g_remote.Release();
    CloseUserDatabase();
    g_emulator.Stop();

    auto& s = reporter.seconds;
    std::printf("\nA %d MB file over loopback against the emulator\n", g_megabytes);
    Line("upload through the file task", s, "BM_FileTask_Upload");
    Line("upload by curl (same encoded bytes)", s, "BM_Curl_Upload");
    Line("download through the file task", s, "BM_FileTask_Download");
    Line("download by curl", s, "BM_Curl_Download");
    std::printf("Steps alone\n");
    Line("copy into the temporary folder", s, "BM_Step_CopyToTemp");
    Line("one SHA-1 pass", s, "BM_Step_Sha1");
    Line("encode (EncodeFile)", s, "BM_Step_Encode");
    Line("decode (DecodeFile)", s, "BM_Step_Decode");
    Line("content POST (remote storage)", s, "BM_Step_UploadTransfer");
    Line("download + digest (remote storage)", s, "BM_Step_DownloadTransfer");
    for (const char* direction : {"Upload", "Download"}) {
        const std::string task = std::string("BM_FileTask_") + direction;
        const std::string curl = std::string("BM_Curl_") + direction;
        if (s.count(task) && s.count(curl)) {
            const double ratio = s[curl] / s[task];
            std::printf("%-8s rate %.2fx curl  goal >= 0.8x  %s\n", direction, ratio,
                        ratio >= 0.8 ? "ok" : "BELOW GOAL");
        }
    }
    return 0;
}
