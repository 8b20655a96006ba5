// Packing small files takes memory in proportion to the file, not to the
// largest dictionary, and the archives still read back, also with 7z.
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "base/sevenzip/sevenzipreader.h"
#include "base/sevenzip/sevenzipwriter.h"
#include "platform/strings.h"
#include "tests/platform/childprocess.h"
#include "tests/support/testenvironment.h"

namespace {

// The address space the process holds now (bytes).
uint64_t AddressSpace() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, 7, "VmSize:") == 0)
            return std::stoull(line.substr(7)) * 1024;
    }
    return 0;
}

TEST(SevenZipSmallInput, PacksWithinAFewMegabytesAndReadsBack) {
    const std::string folder = pellux_test::MakeTempDir("small7z");
    for (size_t size : {size_t(0), size_t(1), size_t(1000), size_t(100000)}) {
        SCOPED_TRACE(size);
        std::string data;
        for (size_t i = 0; i < size; ++i)
            data += static_cast<char>('a' + (i * 7 + i / 13) % 26);
        const std::string source = folder + "/source.bin", archive = folder + "/source.7z";
        ASSERT_TRUE(pellux_test::WriteFile(source, data));
        std::remove(archive.c_str());
        // The 16 MiB dictionary's tables alone take far more than this.
        pellux_test::ChildProcess child([&](pellux_test::ChildProcess&) {
            const rlim_t limit = AddressSpace() + (24u << 20);
            const rlimit bound{limit, limit};
            return setrlimit(RLIMIT_AS, &bound) == 0 &&
                   CompressFileTo7z(Utf8ToWide(archive), Utf8ToWide(source)) == 1;
        });
        ASSERT_TRUE(child.Started());
        ASSERT_EQ(0, child.Wait());
        const std::string back = folder + "/back.bin";
        ASSERT_EQ(1, ExtractFirstFileFrom7z(Utf8ToWide(back), Utf8ToWide(archive)));
        EXPECT_TRUE(pellux_test::ReadFile(back) == data);
        if (pellux_test::HaveProgram("7z")) {
            std::string out;
            EXPECT_EQ(0, pellux_test::RunCommand("7z t " + archive, &out)) << out;
        }
    }
}

}  // namespace
