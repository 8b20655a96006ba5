#include "core/remotestorage/remotestorage/resultcodes.h"

#include <gtest/gtest.h>

#include <set>

namespace {

struct Entry {
    const wchar_t* name;
    uint32_t code;
};

// The service's result names and their codes, written out independently of the table.
const Entry kExpected[] = {
    {L"ok", 0},
    {L"clientBadParams", 0x80041001},
    {L"serverDeny", 0x80041002},
    {L"serverBusy", 0x80041003},
    {L"clientTooFrequent", 0x80041004},
    {L"clientNoMethod", 0x80041005},
    {L"accountServerError", 0x80041006},
    {L"accountNotActive", 0x80041007},
    {L"dataOperationFailed", 0x80041008},
    {L"permissionDenied", 0x80041009},
    {L"serverDenyReadOnly", 0x8004100A},
    {L"failureToApplyStub", 0x8004100B},
    {L"badStub", 0x8004100C},
    {L"getFileKeyFailed", 0x8004100D},
    {L"storageError", 0x8004100E},
    {L"getFileInfoFailed", 0x8004100F},
    {L"serverError", 0x80041011},
    {L"clientTokenExpired", 0x80041012},
    {L"methodVersionNotMatch", 0x80041013},
    {L"accountNotMatch", 0x80041015},
    {L"clientNoLogin", 0x80041016},
    {L"errorDeny", 0x80041017},
    {L"targetExist", 0x80041018},
    {L"targetNotExist", 0x80041019},
    {L"overSpace", 0x8004101A},
    {L"fileVerConflict", 0x8004101B},
    {L"forbidden", 0x8004101C},
    {L"parentNotExist", 0x8004101D},
    {L"emptyFile", 0x80041020},
    {L"folderNonEmpty", 0x80041021},
    {L"uploadError", 0x80041022},
    {L"fileMissInAgent", 0x80041023},
    {L"timeout", 0x80041024},
    {L"wssError", 0x80041025},
};

TEST(ServerErrorTable, EveryNameRoundTripsToItsCodeAndNothingElseIsInTheTable) {
    const auto& entries = ServerErrorTable::Entries();
    ASSERT_EQ(entries.size(), 34u);
    std::set<HRESULT> codes;
    for (const Entry& e : kExpected) {
        EXPECT_EQ(ServerErrorTable::Lookup(e.name), PELLUX_HR(e.code)) << std::hex << e.code;
        auto it = entries.find(e.name);
        ASSERT_NE(it, entries.end());
        EXPECT_EQ(it->second, PELLUX_HR(e.code));
        codes.insert(it->second);
    }
    EXPECT_EQ(codes.size(), 34u);  // no two names share a code
}

TEST(ServerErrorTable, NamesCompareExactlySoOnlyLowerCaseOkSucceeds) {
    EXPECT_EQ(ServerErrorTable::Lookup(L"ok"), S_OK);
    EXPECT_EQ(ServerErrorTable::Lookup(L"OK"), E_RESULT_UNKNOWN);
    EXPECT_EQ(ServerErrorTable::Lookup(L"ok "), E_RESULT_UNKNOWN);
    EXPECT_EQ(ServerErrorTable::Lookup(L"ServerError"), E_RESULT_UNKNOWN);
    EXPECT_EQ(ServerErrorTable::Lookup(L"serverError"), PELLUX_HR(0x80041011));
    EXPECT_EQ(ServerErrorTable::Lookup(L""), E_RESULT_UNKNOWN);
    EXPECT_EQ(ServerErrorTable::Lookup(nullptr), E_FAIL);
}

TEST(IsRetryableTaskResult, FinalCodesAndSuccessStopTheAttempts) {
    const uint32_t finals[] = {0x80041014, 0x8004101B, 0x8004101D, 0x80041019,
                               0x80041020, 0x8004101A, 0x8004100A, 0x80046002};
    EXPECT_FALSE(IsRetryableTaskResult(S_OK));
    for (uint32_t code : finals)
        EXPECT_FALSE(IsRetryableTaskResult(PELLUX_HR(code))) << std::hex << code;
    const uint32_t retryable[] = {0x80044001, 0x80044002, 0x80044003, 0x80044004, 0x80041011,
                                  0x8004101F, 0x80004005, 0x80041018, 0x8004100B, 0x80041010};
    for (uint32_t code : retryable)
        EXPECT_TRUE(IsRetryableTaskResult(PELLUX_HR(code))) << std::hex << code;
    EXPECT_TRUE(IsRetryableTaskResult(S_FALSE));
}

}  // namespace
