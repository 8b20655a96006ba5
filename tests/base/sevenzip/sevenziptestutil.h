#pragma once
// Shared by the 7z tests: inputs, and the reference 7z program as an oracle.
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
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

// The items of `7z l -slt`, each as its key/value pairs: every item starts
// with its path, below the line that ends the archive's own block.
inline std::vector<std::map<std::string, std::string>> ListItems(const std::string& archive, int* status) {
    std::string out;
    *status = pellux_test::RunCommand("7z l -slt " + Quote(archive), &out);
    std::vector<std::map<std::string, std::string>> items;
    std::istringstream in(out.substr(std::min(out.size(), out.find("\n----------\n"))));
    for (std::string line; std::getline(in, line);) {
        const size_t eq = line.find(" = ");
        if (line.rfind("Path = ", 0) == 0)
            items.emplace_back();
        if (!items.empty() && eq != std::string::npos)
            items.back()[line.substr(0, eq)] = line.substr(eq + 3);
    }
    return items;
}

}  // namespace sevenzip_test
