#pragma once
// What the benchmarks share: the run's flag, a scratch folder, the closing
// summary's times and the peak memory of a step.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace pellux_bench {

// Keeps every run's mean time in seconds, by name without the arguments.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            const std::string name = run.benchmark_name();
            seconds[name.substr(0, name.find('/'))] = run.GetAdjustedRealTime() / 1e3;  // reported in ms
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};

// Takes "<flag>N" (e.g. "--items=") into value and hands every other
// argument to Google Benchmark.
inline void Initialize(int argc, char** argv, const char* flag, int* value) {
    std::vector<char*> rest;
    const size_t length = std::strlen(flag);
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], flag, length) == 0)
            *value = std::atoi(argv[i] + length);
        else
            rest.push_back(argv[i]);
    }
    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());
}

// A new folder under PELLUX_BENCH_DIR (default /tmp); empty when it cannot
// be made.
inline std::string MakeBenchDir(const char* prefix) {
    const char* base = std::getenv("PELLUX_BENCH_DIR");
    std::string pattern = std::string(base ? base : "/tmp") + "/" + prefix + "-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return std::string();
    }
    return pattern;
}

// A field of /proc/self/status in MB.
inline double StatusMb(const char* field) {
    std::ifstream status("/proc/self/status");
    const size_t length = std::strlen(field);
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, length, field) == 0)
            return std::atof(line.c_str() + length) / 1024.0;
    }
    return 0;
}

// The resident size now, and its peak since the last ResetPeak.
inline double CurrentMb() {
    return StatusMb("VmRSS:");
}
inline double PeakMb() {
    return StatusMb("VmHWM:");
}

// Hands freed memory back first, so that the next peak counts what the next
// step allocates rather than what an earlier one left in the heap.
inline void ResetPeak() {
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

}  // namespace pellux_bench
