#include "base/crypto/cryptodispatch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "tests/support/testenvironment.h"

namespace {

// Run by the test below in a child process; prints which paths it would take.
TEST(CryptoEnvironment, DISABLED_ReportPaths) {
    std::printf("paths: aesni=%d shani=%d\n", UseAesNi() ? 1 : 0, UseShaNi() ? 1 : 0);
}

std::string ChildReport(const std::string& environment) {
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
    if (n <= 0)
        return "";
    self[n] = '\0';
    std::string output;
    pellux_test::RunCommand(
        environment + " '" + std::string(self) +
            "' --gtest_also_run_disabled_tests --gtest_filter=CryptoEnvironment.DISABLED_ReportPaths",
        &output);
    const size_t at = output.find("paths: ");
    return at == std::string::npos ? output : output.substr(at, output.find('\n', at) - at);
}

TEST(CryptoEnvironment, PortableSwitchInTheEnvironmentForcesThePortablePaths) {
    if (!CpuHasAesNi() || !CpuHasShaNi())
        GTEST_SKIP() << "the CPU has no hardware path to turn off";
    EXPECT_EQ(ChildReport("PELLUX_PORTABLE_CRYPTO=1"), "paths: aesni=0 shani=0");
    EXPECT_EQ(ChildReport("PELLUX_PORTABLE_CRYPTO=0"), "paths: aesni=1 shani=1");
    EXPECT_EQ(ChildReport("env -u PELLUX_PORTABLE_CRYPTO"), "paths: aesni=1 shani=1");
}

}  // namespace
