// How a reply becomes a result code, and where requests go.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>

#include "core/remotestorage/remotestorage/resultcodes.h"
#include "loopbackserver.h"
#include "remotestoragetestbase.h"

namespace pellux_test {
namespace {

std::unique_ptr<TaskData_GetSpace, void (*)(TaskData_GetSpace*)> SpaceRecord(const std::string& token) {
    std::unique_ptr<TaskData_GetSpace, void (*)(TaskData_GetSpace*)> record(
        TaskData_GetSpace::Create(), [](TaskData_GetSpace* r) { r->Release(); });
    record->token = Utf8ToWide(token);
    return record;
}

// A stand-in service that answers every operation with one fixed text.
class CannedService {
public:
    CannedService() {
        m_server.Routes().Post(R"(/.*)", [this](const httplib::Request&, httplib::Response& res) {
            ++hits;
            std::lock_guard<std::mutex> lock(m_mutex);
            res.status = m_status;
            res.set_content(m_body, m_type.c_str());
        });
        m_server.Start();
    }
    void Answer(const std::string& body, const std::string& type = "text/xml", int status = 200) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_body = body;
        m_type = type;
        m_status = status;
    }
    std::string Root() const { return "http://127.0.0.1:" + std::to_string(m_server.Port()); }

    std::atomic<int> hits{0};

private:
    LoopbackServer m_server;
    std::mutex m_mutex;
    std::string m_body;
    std::string m_type = "text/xml";
    int m_status = 200;
};

class ReplyJudgingTest : public RemoteStorageTest {
protected:
    HRESULT GetSpace(XmlNode& reply) {
        auto record = SpaceRecord(session.token);
        return storage->GetSpace(record.get(), nullptr, nullptr, &reply);
    }
    void UseRoot(const std::string& root) {
        WriteConfig("[Pellux]\nServerRoot=" + root + "\n[Debug]\nUploadSpeed=0\nDownloadSpeed=0\n");
    }
};

TEST_F(ReplyJudgingTest, OkWithoutTheUsualValuesIsStillSuccess) {
    ASSERT_TRUE(m_emulator.AddFault("path=/xsvr/getSpace/&result=ok"));
    XmlNode reply;
    EXPECT_EQ(GetSpace(reply), S_OK);
    EXPECT_EQ(reply.GetValue(L"used"), L"");
    EXPECT_EQ(reply.GetValue(L"total"), L"");
}

TEST_F(ReplyJudgingTest, ResultNamesMapToTheirCodes) {
    ASSERT_TRUE(m_emulator.AddFault("path=/xsvr/getSpace/&result=targetNotExist"));
    ASSERT_TRUE(m_emulator.AddFault("path=/xsvr/getSpace/&result=OK"));
    ASSERT_TRUE(m_emulator.AddFault("path=/xsvr/getSpace/&result=noSuchResultName"));
    XmlNode reply;
    EXPECT_EQ(GetSpace(reply), E_RESULT_TARGET_NOT_EXIST);
    EXPECT_EQ(reply.GetValue(L"result"), L"targetNotExist");
    XmlNode upper;
    EXPECT_EQ(GetSpace(upper), E_RESULT_UNKNOWN);
    XmlNode unknown;
    EXPECT_EQ(GetSpace(unknown), E_RESULT_UNKNOWN);
}

TEST_F(ReplyJudgingTest, RepliesWithoutAResultOrWithoutXmlFail) {
    CannedService canned;
    UseRoot(canned.Root());
    XmlNode reply;
    canned.Answer("<?xml version=\"1.0\" encoding=\"utf-8\"?><xNorle><used>1</used></xNorle>");
    EXPECT_EQ(GetSpace(reply), E_RESULT_SERVER_ERROR);
    EXPECT_EQ(reply.GetValue(L"used"), L"1");
    canned.Answer("<xNorle><result></result><used>2</used></xNorle>");
    XmlNode empty;
    EXPECT_EQ(GetSpace(empty), E_RESULT_SERVER_ERROR);
    canned.Answer("");
    XmlNode none;
    EXPECT_EQ(GetSpace(none), E_FAIL);
    canned.Answer(
        "<!DOCTYPE html><html><head><title>502</title></head><body><p>Bad gateway<br></body></html>",
        "text/html");
    XmlNode html;
    html.AddValue(L"before", L"kept");
    EXPECT_EQ(GetSpace(html), E_FAIL);
    EXPECT_EQ(html.values.size(), 1u);
    EXPECT_EQ(canned.hits, 4);
}

// Only the reply text counts for the operations, whatever the status line says.
TEST_F(ReplyJudgingTest, HttpStatusIsNotJudgedOnlyTheReplyText) {
    ASSERT_TRUE(m_emulator.AddFault("path=/xsvr/getSpace/&result=serverBusy&status=503"));
    XmlNode busy;
    EXPECT_EQ(GetSpace(busy), E_RESULT_SERVER_BUSY);
    EXPECT_EQ(busy.GetValue(L"result"), L"serverBusy");
    ASSERT_TRUE(m_emulator.AddFault("path=/xsvr/getSpace/&status=500"));
    XmlNode fine;
    EXPECT_EQ(GetSpace(fine), S_OK);
    EXPECT_FALSE(fine.GetValue(L"total").empty());

    CannedService canned;
    UseRoot(canned.Root());
    canned.Answer("<html><body><h1>502 Bad Gateway</h1><hr></body></html>", "text/html", 502);
    XmlNode page;
    EXPECT_EQ(GetSpace(page), E_FAIL);
    EXPECT_EQ(canned.hits, 1);
}

TEST_F(ReplyJudgingTest, AChangedRootIsUsedByTheNextRequest) {
    CannedService canned;
    canned.Answer("<xNorle><result>ok</result><used>77</used><total>88</total></xNorle>");
    XmlNode first;
    ASSERT_EQ(GetSpace(first), S_OK);
    EXPECT_NE(first.GetValue(L"used"), L"77");
    EXPECT_EQ(m_emulator.RequestsTo("/xsvr/getSpace/").size(), 1u);

    UseRoot(canned.Root());
    XmlNode second;
    ASSERT_EQ(GetSpace(second), S_OK);
    EXPECT_EQ(second.GetValue(L"used"), L"77");
    EXPECT_EQ(canned.hits, 1);

    UseRoot(m_emulator.Address());
    XmlNode third;
    ASSERT_EQ(GetSpace(third), S_OK);
    EXPECT_EQ(m_emulator.RequestsTo("/xsvr/getSpace/").size(), 2u);
    EXPECT_EQ(canned.hits, 1);
}

TEST_F(ReplyJudgingTest, TransportFailuresPassThrough) {
    // A port nobody listens on: bind one, note it, close it.
    int port;
    {
        LoopbackServer gone;
        gone.Start();
        port = gone.Port();
    }
    UseRoot("http://127.0.0.1:" + std::to_string(port));
    XmlNode reply;
    EXPECT_EQ(GetSpace(reply), E_TRANSPORT_CONNECT);

    UseRoot(m_emulator.Address());
    ASSERT_TRUE(m_emulator.AddFault("path=/xsvr/getSpace/&drop=1"));
    XmlNode dropped;
    const HRESULT hr = GetSpace(dropped);
    EXPECT_EQ(hr, E_TRANSPORT_FAILED);
}

}  // namespace
}  // namespace pellux_test
