// pellux-devserver: the local emulator of the storage service.
#include <signal.h>

#include <cstdio>
#include <string>
#include <vector>

#include "devserver/devserver.h"

int main(int argc, char** argv) {
    devserver::DevServerOptions options;
    std::string error;
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const auto& a : args) {
        if (a == "--help" || a == "-h") {
            std::fputs(devserver::DevServerUsage(), stdout);
            return 0;
        }
    }
    if (!devserver::ParseDevServerOptions(args, &options, &error)) {
        std::fprintf(stderr, "pellux-devserver: %s\n%s", error.c_str(), devserver::DevServerUsage());
        return 2;
    }
    // Stop on SIGINT/SIGTERM through sigwait so the temporary data folder is removed.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    devserver::DevServer server(options);
    if (!server.Start(&error)) {
        std::fprintf(stderr, "pellux-devserver: %s\n", error.c_str());
        return 1;
    }
    std::printf("listening on %s\n", server.Address().c_str());
    std::fflush(stdout);
    if (options.demo) {
        std::fprintf(stderr, "demo accounts: demo / demo, friend / friend\n");
    }
    int received = 0;
    sigwait(&signals, &received);
    server.Stop();
    return 0;
}
