#include "base/log/tracestack.h"

#include <gtest/gtest.h>

namespace {

uint32_t g_ticks = 0;
uint32_t FakeTicks() {
    return g_ticks;
}

class TraceStackTest : public testing::Test {
protected:
    void SetUp() override { SetTraceTickSource(FakeTicks); }
    void TearDown() override { SetTraceTickSource(nullptr); }
};

}  // namespace

TEST_F(TraceStackTest, ReportsEntryResultAndElapsedTime) {
    testing::internal::CaptureStderr();
    {
        HRESULT hr = S_OK;
        g_ticks = 1000;
        CTraceStack scope("/src/a.cpp", 10, L"CLocalStorage::EncodeFile()", &hr, L"SrcFile = /tmp/\u4e2d", 0);
        hr = E_FAIL;  // read when the scope ends
        g_ticks = 2005;
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "CTraceStack In, CLocalStorage::EncodeFile() : SrcFile = /tmp/\xe4\xb8\xad\n"
              "CTraceStack Out,CLocalStorage::EncodeFile() : hr = 80004005, UserTime: 1'.5'");
}

TEST_F(TraceStackTest, ElapsedTimeSurvivesTheTickCounterWrappingAndQuietScopesPrintNothing) {
    testing::internal::CaptureStderr();
    {
        g_ticks = 0xFFFFFF00u;
        CTraceStack scope("a.cpp", 1, L"CFileSystem::Dir()", nullptr, L"szParentId = 7", 0);
        HRESULT hr = E_FAIL;
        // The program's own scopes are quiet: they print nothing.
        PELLUX_TRACE_SCOPE(L"CFileSystem::NewFolder()", &hr, L"szParentId = %s", L"1");
        g_ticks = 5;
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "CTraceStack In, CFileSystem::Dir() : szParentId = 7\n"
              "CTraceStack Out,CFileSystem::Dir() : UserTime: 0'.261''");
}
