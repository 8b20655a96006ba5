// How a reply becomes a result code, and where requests go.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "core/remotestorage/remotestorage/resultcodes.h"
#include "loopbackserver.h"
#include "remotestoragetestbase.h"

namespace pellux_test {
namespace {

class ReplyJudgingTest : public RemoteStorageTest {
protected:
    HRESULT GetSpace(XmlNode& reply) {
        auto record = Record<TaskData_GetSpace>(session.token);
        return storage->GetSpace(record.get(), nullptr, nullptr, &reply);
    }
    void UseRoot(const std::string& root) {
        WriteConfig("[Pellux]\nServerRoot=" + root + "\n[Debug]\nUploadSpeed=0\nDownloadSpeed=0\n");
    }
};

// Only the reply text counts, whatever the status line says; what was read is added to the node.
TEST_F(ReplyJudgingTest, TheReplyTextDecidesTheCode) {
    struct Case {
        std::string body, type;
        int status;
        HRESULT expected;
        std::wstring used;  // the value read back
    };
    const std::string html =
        "<!DOCTYPE html><html><head><title>502</title></head><body><p>Bad<br></body></html>";
    // Nesting deep enough to overflow the stack of a recursive parser is refused.
    std::string bomb = "<?x>";
    for (int i = 0; i < 40000; ++i)
        bomb += "<a>";
    const std::vector<Case> cases{
        {"<xNorle><result>ok</result></xNorle>", "text/xml", 200, S_OK, L""},
        {"<xNorle><result>ok</result><used>3</used></xNorle>", "text/xml", 500, S_OK, L"3"},
        {"<xNorle><result>targetNotExist</result><used>4</used></xNorle>", "text/xml", 200,
         E_RESULT_TARGET_NOT_EXIST, L"4"},
        {"<xNorle><result>serverBusy</result></xNorle>", "text/xml", 503, E_RESULT_SERVER_BUSY, L""},
        {"<xNorle><result>OK</result></xNorle>", "text/xml", 200, E_RESULT_UNKNOWN, L""},
        {"<xNorle><result>noSuchResultName</result></xNorle>", "text/xml", 200, E_RESULT_UNKNOWN, L""},
        {"<?xml version=\"1.0\" encoding=\"utf-8\"?><xNorle><used>1</used></xNorle>", "text/xml", 200,
         E_RESULT_SERVER_ERROR, L"1"},
        {"<xNorle><result></result><used>2</used></xNorle>", "text/xml", 200, E_RESULT_SERVER_ERROR, L"2"},
        {"", "text/xml", 200, E_FAIL, L""},
        {html, "text/html", 200, E_FAIL, L""},
        {html, "text/html", 502, E_FAIL, L""},
        {bomb, "text/xml", 200, E_FAIL, L""},
    };
    // Case n answers under the root ".../n".
    LoopbackServer canned;
    std::atomic<int> hits{0};
    canned.Routes().Post(R"(/(\d+)/xsvr/getSpace/)",
                         [&](const httplib::Request& request, httplib::Response& res) {
                             ++hits;
                             const Case& c = cases.at(std::stoul(request.matches[1]));
                             res.status = c.status;
                             res.set_content(c.body, c.type.c_str());
                         });
    canned.Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body.substr(0, 200) + " status " + std::to_string(c.status));
        UseRoot(WideToUtf8(canned.Url("/" + std::to_string(&c - cases.data()))));
        XmlNode reply;
        reply.AddValue(L"before", L"kept");
        EXPECT_EQ(GetSpace(reply), c.expected);
        EXPECT_EQ(reply.GetValue(L"used"), c.used);
        EXPECT_EQ(reply.GetValue(L"before"), L"kept");
    }
    EXPECT_EQ(hits, static_cast<int>(cases.size()));
}

TEST_F(ReplyJudgingTest, AChangedRootIsUsedByTheNextRequest) {
    LoopbackServer canned;
    std::atomic<int> hits{0};
    canned.Routes().Post("/xsvr/getSpace/", [&](const httplib::Request&, httplib::Response& res) {
        ++hits;
        res.set_content("<xNorle><result>ok</result><used>77</used><total>88</total></xNorle>", "text/xml");
    });
    canned.Start();
    XmlNode first;
    ASSERT_EQ(GetSpace(first), S_OK);
    EXPECT_NE(first.GetValue(L"used"), L"77");
    EXPECT_EQ(m_emulator.RequestsTo("/xsvr/getSpace/").size(), 1u);

    UseRoot(WideToUtf8(canned.Url("")));
    XmlNode second;
    ASSERT_EQ(GetSpace(second), S_OK);
    EXPECT_EQ(second.GetValue(L"used"), L"77");
    EXPECT_EQ(hits, 1);

    UseRoot(m_emulator.Address());
    XmlNode third;
    ASSERT_EQ(GetSpace(third), S_OK);
    EXPECT_EQ(m_emulator.RequestsTo("/xsvr/getSpace/").size(), 2u);
    EXPECT_EQ(hits, 1);
}

}  // namespace
}  // namespace pellux_test
