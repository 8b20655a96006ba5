// The synchronous road over real HTTP against the emulator: retries after
// transport failures only, and the session token for records without one.
#include <gtest/gtest.h>

#include "core/remotestorage/remotestorage/resultcodes.h"
#include "core/taskmgr/taskmgr.h"
#include "tests/support/clientfixture.h"

namespace pellux_test {
namespace {

template <class T>
std::unique_ptr<T, void (*)(T*)> Record(const std::wstring& operation) {
    std::unique_ptr<T, void (*)(T*)> record(T::Create(), [](T* r) { r->Release(); });
    record->operationName = operation;
    return record;
}

class TaskMgrTest : public ServiceClientTest {
protected:
    void SetUp() override {
        ServiceClientTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_EQ(CreateTaskMgr(&m_mgr), S_OK);
        ASSERT_EQ(m_mgr->Init(syncCenter, nullptr, remote), S_OK);
    }
    void TearDown() override {
        if (m_mgr)
            m_mgr->Stop(-1);
        m_mgr.Release();
        ServiceClientTest::TearDown();
    }

    CComPtr<ITaskMgr> m_mgr;
};

TEST_F(TaskMgrTest, ExecuteTaskTriesAgainOnlyAfterTransportFailures) {
    struct Case {
        const char* name;
        std::string fault;  // for the emulator; "" for none
        int injectedTimeouts;
        int tries;
        HRESULT expected;
        int calls;
        size_t requests;
    };
    const std::vector<Case> cases = {
        {"two time-outs, then the answer", "", 2, 3, S_OK, 3, 1},
        {"two dropped replies, then the answer", "path=/xsvr/dir/&drop=1&count=2", 0, 3, S_OK, 3, 3},
        {"targetNotExist is final", "path=/xsvr/dir/&result=targetNotExist", 0, 3, E_RESULT_TARGET_NOT_EXIST,
         1, 1},
        {"tries used up", "path=/xsvr/dir/&drop=1&count=3", 0, 2, E_TRANSPORT_FAILED, 2, 2},
        {"no tries", "", 0, 0, S_OK, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(m_emulator.ClearLog());
        if (!c.fault.empty()) {
            ASSERT_TRUE(m_emulator.AddFault(c.fault));
        }
        remote->failDirWith = E_TRANSPORT_TIMEOUT;
        remote->failDirs = c.injectedTimeouts;
        const int before = remote->dirCalls;
        auto record = Record<TaskData_Dir>(L"Dir");
        XmlNode reply;
        reply.AddValue(L"stale", L"1");
        EXPECT_EQ(m_mgr->ExecuteTask(record.get(), &reply, c.tries), c.expected);
        EXPECT_EQ(remote->dirCalls - before, c.calls);
        const auto requests = m_emulator.RequestsTo("/xsvr/dir/");
        EXPECT_EQ(requests.size(), c.requests);
        for (const EmulatorRequest& request : requests)
            EXPECT_NE(request.body.find("<token>" + session.token + "</token>"), std::string::npos);
        if (c.expected == S_OK && c.calls > 0) {
            EXPECT_TRUE(reply.GetValue(L"stale").empty()) << "the reply is cleared before each try";
            EXPECT_FALSE(reply.children.empty());
        }
    }
}

TEST_F(TaskMgrTest, LogInKeepsItsEmptyTokenAndAnUnknownOperationSendsNothing) {
    auto login = Record<TaskData_Login>(L"Login");
    login->user = L"demo";
    login->password = L"demo";
    XmlNode loginReply;
    ASSERT_EQ(m_mgr->ExecuteTask(login.get(), &loginReply, 1), S_OK);
    EXPECT_TRUE(login->token.empty());
    EXPECT_FALSE(loginReply.GetValue(L"token").empty());

    auto unknown = Record<TaskData_Dir>(L"NoSuchOperation");
    ASSERT_TRUE(m_emulator.ClearLog());
    EXPECT_EQ(m_mgr->ExecuteTask(unknown.get(), nullptr, 3), S_OK);
    EXPECT_TRUE(m_emulator.RequestLog().empty());
}

}  // namespace
}  // namespace pellux_test
