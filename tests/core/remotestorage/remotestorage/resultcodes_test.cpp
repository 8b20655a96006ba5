#include "core/remotestorage/remotestorage/resultcodes.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/strings.h"

namespace {

TEST(ServerErrorTable, EveryNameRoundTripsAndOnlyExactNamesAreKnown) {
    std::set<HRESULT> codes;
    for (const auto& entry : ServerErrorTable::Entries()) {
        EXPECT_EQ(ServerErrorTable::Lookup(entry.first.c_str()), entry.second) << WideToUtf8(entry.first);
        codes.insert(entry.second);
    }
    EXPECT_EQ(codes.size(), 34u);  // no two names share a code
    EXPECT_EQ(ServerErrorTable::Lookup(L"ok"), S_OK);
    EXPECT_EQ(ServerErrorTable::Lookup(L"serverError"), E_RESULT_SERVER_ERROR);
    for (const wchar_t* unknown : {L"OK", L"ok ", L"ServerError", L""})
        EXPECT_EQ(ServerErrorTable::Lookup(unknown), E_RESULT_UNKNOWN) << WideToUtf8(unknown);
    EXPECT_EQ(ServerErrorTable::Lookup(nullptr), E_FAIL);
}

TEST(IsRetryableTaskResult, FinalCodesAndSuccessStopTheAttempts) {
    for (HRESULT code :
         {S_OK, E_CANCELLED, E_RESULT_FILE_VER_CONFLICT, E_RESULT_PARENT_NOT_EXIST, E_RESULT_TARGET_NOT_EXIST,
          E_RESULT_EMPTY_FILE, E_RESULT_OVER_SPACE, E_RESULT_SERVER_DENY_READ_ONLY, E_LOCAL_BUSY})
        EXPECT_FALSE(IsRetryableTaskResult(code)) << std::hex << code;
    for (HRESULT code : {E_TRANSPORT_TIMEOUT, E_TRANSPORT_CONNECT, E_TRANSPORT_FAILED, E_CHECKSUM_MISMATCH,
                         E_RESULT_SERVER_ERROR, E_LOCAL_FILE_MISSING, E_FAIL, E_RESULT_TARGET_EXIST,
                         E_RESULT_FAILURE_TO_APPLY_STUB, E_RESULT_UNKNOWN, S_FALSE})
        EXPECT_TRUE(IsRetryableTaskResult(code)) << std::hex << code;
}

}  // namespace
