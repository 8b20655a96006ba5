#pragma once
// Command-line options of pellux-devserver.
#include <string>
#include <vector>

namespace devserver {

struct DevServerOptions {
    std::string listen = "127.0.0.1";
    int port = 8642;          // 0 picks a free port
    std::string dataDir;      // empty: a temporary folder removed on exit
    bool demo = false;        // seed the demo accounts
    bool testHooks = false;   // serve the /_emu/ endpoints
    int holdMs = 60000;       // longest hold of a push poll
    std::string updateOffer;  // program archive offered by the update service; empty: no update
};

// Parses argv (without the program name). False with a message on bad input.
bool ParseDevServerOptions(const std::vector<std::string>& args, DevServerOptions* options,
                           std::string* error);
const char* DevServerUsage();

}  // namespace devserver
