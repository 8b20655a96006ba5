#include "devserver/options.h"

#include <cstdlib>

namespace devserver {

namespace {

bool ParseInt(const std::string& text, int low, int high, int* out) {
    if (text.empty() || text.size() > 9) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    int v = std::atoi(text.c_str());
    if (v < low || v > high) {
        return false;
    }
    *out = v;
    return true;
}

}  // namespace

const char* DevServerUsage() {
    return "usage: pellux-devserver [--listen ADDR] [--port N] [--data DIR] [--demo] [--test-hooks]\n"
           "                        [--hold-ms N] [--update-offer ZIP]\n";
}

bool ParseDevServerOptions(const std::vector<std::string>& args, DevServerOptions* options,
                           std::string* error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto next = [&](std::string* value) {
            if (i + 1 >= args.size()) {
                *error = a + " needs a value";
                return false;
            }
            *value = args[++i];
            return true;
        };
        std::string value;
        if (a == "--demo") {
            options->demo = true;
        } else if (a == "--test-hooks") {
            options->testHooks = true;
        } else if (a == "--listen") {
            if (!next(&options->listen)) {
                return false;
            }
        } else if (a == "--data") {
            if (!next(&options->dataDir)) {
                return false;
            }
        } else if (a == "--update-offer") {
            if (!next(&options->updateOffer)) {
                return false;
            }
        } else if (a == "--port") {
            if (!next(&value) || !ParseInt(value, 0, 65535, &options->port)) {
                *error = "--port needs a number from 0 to 65535";
                return false;
            }
        } else if (a == "--hold-ms") {
            if (!next(&value) || !ParseInt(value, 1, 600000, &options->holdMs)) {
                *error = "--hold-ms needs a number from 1 to 600000";
                return false;
            }
        } else {
            *error = "unknown option " + a;
            return false;
        }
    }
    return true;
}

}  // namespace devserver
