// The emulator creating files in a folder that already holds many: each create
// looks for a sibling of the same name, so the time per create must not grow
// with the folder.
//
//   bench_emulator [google benchmark flags]
#include <benchmark/benchmark.h>
#include <httplib.h>

#include <memory>
#include <string>

#include "devserver/devserver.h"

namespace {

const httplib::Headers kHeaders{{"v", "2"}, {"User-Agent", "pellux"}};

std::string Document(const std::string& fields) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\" ?><xNorle>" + fields + "</xNorle>";
}

std::string Field(const std::string& body, const std::string& name) {
    const size_t start = body.find("<" + name + ">");
    const size_t end = body.find("</" + name + ">");
    if (start == std::string::npos || end == std::string::npos)
        return std::string();
    return body.substr(start + name.size() + 2, end - start - name.size() - 2);
}

bool NewFile(httplib::Client& client, const std::string& token, const std::string& name) {
    auto res =
        client.Post("/xsvr/newFile/", kHeaders,
                    Document("<token>" + token + "</token><parentId></parentId><name>" + name + "</name>"),
                    "application/x-www-form-urlencoded");
    return res && Field(res->body, "result") == "ok";
}

void BM_CreateInAFolderOf(benchmark::State& state) {
    devserver::DevServerOptions options;
    options.port = 0;
    options.demo = true;
    devserver::DevServer server(options);
    std::string error;
    if (!server.Start(&error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    httplib::Client client("127.0.0.1", server.Port());
    auto login =
        client.Post("/xsvr/login/", kHeaders,
                    Document("<user>demo</user><password>demo</password>"
                             "<deviceId>pellux-0123456789abcdef0123456789abcdef|HOST</deviceId>"
                             "<clientName>pellux</clientName><clientVersion>1.0.0.1</clientVersion>"),
                    "application/x-www-form-urlencoded");
    const std::string token = login ? Field(login->body, "token") : std::string();
    for (int64_t i = 0; i < state.range(0); ++i) {
        if (!NewFile(client, token, "present" + std::to_string(i))) {
            state.SkipWithError("cannot fill the folder");
            return;
        }
    }
    int64_t next = 0;
    for (auto _ : state) {
        if (!NewFile(client, token, "new" + std::to_string(next++))) {
            state.SkipWithError("create failed");
            break;
        }
    }
    server.Stop();
}
BENCHMARK(BM_CreateInAFolderOf)->Arg(100)->Arg(3000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
