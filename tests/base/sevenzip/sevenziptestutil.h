#pragma once
// Shared by the 7z tests: inputs, and the reference 7z program as an oracle.
#include <unistd.h>
#include <zlib.h>

#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/base/basetestutil.h"
#include "tests/support/testenvironment.h"

namespace sevenzip_test {

inline uint32_t Crc(const std::string& bytes) {
    return static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

// Text-like bytes with repeats (compresses) mixed with noise (does not).
inline std::string MixedBytes(size_t size, unsigned seed = 1) {
    std::mt19937 rng(seed);
    std::string out;
    out.reserve(size);
    const std::string words[] = {"alpha ", "beta ", "gamma\n", "\xe4\xb8\xad\xe6\x96\x87 "};
    while (out.size() < size) {
        if (rng() % 4 == 0) {
            for (int i = 0; i < 64 && out.size() < size; ++i)
                out.push_back(static_cast<char>(rng()));
        } else {
            out += words[rng() % 4];
        }
    }
    out.resize(size);
    return out;
}

inline std::string Quote(const std::string& s) {
    return "'" + s + "'";
}

// The items of `7z l -slt`, each as its key/value pairs (the archive's own
// block is left out).
inline std::vector<std::map<std::string, std::string>> ListItems(const std::string& archive, int* status) {
    std::string out;
    *status = pellux_test::RunCommand("7z l -slt " + Quote(archive), &out);
    std::vector<std::map<std::string, std::string>> items;
    const size_t start = out.find("\n----------\n");
    if (start == std::string::npos)
        return items;
    std::istringstream in(out.substr(start + 12));
    std::string line;
    std::map<std::string, std::string> cur;
    while (std::getline(in, line)) {
        if (line.empty()) {
            if (!cur.empty())
                items.push_back(cur);
            cur.clear();
            continue;
        }
        const size_t eq = line.find(" = ");
        if (eq != std::string::npos)
            cur[line.substr(0, eq)] = line.substr(eq + 3);
    }
    if (!cur.empty())
        items.push_back(cur);
    return items;
}

inline bool FileExists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

}  // namespace sevenzip_test
