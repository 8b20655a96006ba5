#pragma once
// Runs a test once on the hardware paths and once on the portable paths.
#include <gtest/gtest.h>

#include "base/crypto/cryptodispatch.h"

class BothCryptoPaths : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { SetPortableCryptoForced(GetParam()); }
    void TearDown() override { SetPortableCryptoForced(false); }
};

inline std::string CryptoPathName(const ::testing::TestParamInfo<bool>& info) {
    return info.param ? "Portable" : "Hardware";
}

#define PELLUX_BOTH_CRYPTO_PATHS(suite) \
    INSTANTIATE_TEST_SUITE_P(Paths, suite, ::testing::Values(false, true), CryptoPathName)
