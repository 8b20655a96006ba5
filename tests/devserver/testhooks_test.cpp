// The /_emu/ test hooks: request log, scripted faults and reset.
#include <tinyxml.h>

#include <chrono>

#include "emulatorfixture.h"

namespace devserver_test {

TEST_F(EmulatorTest, RequestLogKeepsMethodPathHeadersAndExactBody) {
    std::string token = Login("demo", "demo");
    ASSERT_TRUE(NewClient()->Post("/_emu/log/clear", "", "text/plain"));
    Fields fields{{"token", token}, {"fileId", ""}};
    Call("/xsvr/dir/", fields);
    Reply log = Get("/_emu/log");
    ASSERT_EQ(log.result(), "ok");
    EXPECT_EQ(log.Get("count"), "1");
    EXPECT_NE(log.body.find("<method>POST</method>"), std::string::npos);
    EXPECT_NE(log.body.find("<path>/xsvr/dir/</path>"), std::string::npos);
    EXPECT_NE(log.body.find("<name>v</name><value>2</value>"), std::string::npos);
    EXPECT_NE(log.body.find("<name>User-Agent</name><value>pellux</value>"), std::string::npos);
    std::string n = log.body.substr(log.body.find("<n>") + 3);
    n = n.substr(0, n.find('<'));
    auto body = NewClient()->Get(("/_emu/log/body?n=" + n).c_str());
    ASSERT_TRUE(body);
    EXPECT_EQ(body->body, RequestDocument(fields));
    // Query strings are logged as sent.
    Get("/sync/get?uid=1001");
    EXPECT_NE(Get("/_emu/log").body.find("<target>/sync/get?uid=1001</target>"), std::string::npos);
}

namespace {

std::string Unbase64(const std::string& in) {
    static const std::string kTable = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned value = 0;
    int bits = 0;
    for (char c : in) {
        size_t digit = kTable.find(c);
        if (digit == std::string::npos) {
            continue;
        }
        value = (value << 6) | static_cast<unsigned>(digit);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((value >> bits) & 0xFF);
        }
    }
    return out;
}

std::string Text(const TiXmlElement* parent, const char* name) {
    const TiXmlElement* e = parent->FirstChildElement(name);
    return e && e->GetText() ? e->GetText() : "";
}

}  // namespace

TEST_F(EmulatorTest, RequestLogKeepsTheUploadPartsInTheOrderSent) {
    std::string token = Login("demo", "demo");
    std::string file = NewFile(token, "", "logged.bin");
    std::string blob;
    for (int i = 0; i < 5000; ++i) {
        blob += static_cast<char>(i * 31);
    }
    Reply ask = Op(token, "/xsvr/requestUpload/",
                   {{"fileVer", "0"}, {"size", "3"}, {"fileId", file}, {"sha1", Sha1Of("abc")}});
    ASSERT_EQ(ask.result(), "ok");
    ASSERT_TRUE(NewClient()->Post("/_emu/log/clear", "", "text/plain"));
    // A text part named after the file part: sorted by name it would come second.
    httplib::MultipartFormDataItems parts{
        {"zeta", "a=b&c", "", ""},
        {"FileCont", blob, "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}", "application/octet-stream"}};
    std::string target = "/store/up?stub=" + ask.Get("stub") + "&uploadSize=" + std::to_string(blob.size()) +
                         "&uploadSha1=" + Sha1Of(blob);
    auto res = NewClient()->Post(target.c_str(), parts);
    ASSERT_TRUE(res);
    EXPECT_EQ(ParseReply(res->status, res->body).result(), "ok") << res->body;

    auto log = NewClient()->Get("/_emu/log");
    ASSERT_TRUE(log);
    TiXmlDocument doc;
    doc.Parse(log->body.c_str(), nullptr, TIXML_ENCODING_UTF8);
    ASSERT_FALSE(doc.Error()) << log->body;
    const TiXmlElement* request = doc.RootElement()->FirstChildElement("request");
    ASSERT_NE(request, nullptr);
    EXPECT_EQ(Text(request, "target"), target);
    std::vector<const TiXmlElement*> logged;
    for (const TiXmlElement* p = request->FirstChildElement("part"); p; p = p->NextSiblingElement("part")) {
        logged.push_back(p);
    }
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(Text(logged[0], "name"), "zeta");
    EXPECT_EQ(Unbase64(Text(logged[0], "content")), "a=b&c");
    EXPECT_EQ(Text(logged[1], "name"), "FileCont");
    EXPECT_EQ(Text(logged[1], "filename"), "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}");
    EXPECT_EQ(Text(logged[1], "contentType"), "application/octet-stream");
    EXPECT_EQ(Text(logged[1], "size"), std::to_string(blob.size()));
    EXPECT_EQ(Unbase64(Text(logged[1], "content")), blob);
    // The upload itself went through as usual.
    EXPECT_EQ(Download(token, file), blob);
}

TEST_F(EmulatorTest, ScriptedResultAppliesToTheNextNCallsOnly) {
    std::string token = Login("demo", "demo");
    Fault("path=/xsvr/dir/&count=2&result=serverBusy");
    EXPECT_EQ(Op(token, "/xsvr/dir/", {{"fileId", ""}}).result(), "serverBusy");
    EXPECT_EQ(Op(token, "/xsvr/getSpace/", {}).result(), "ok");
    EXPECT_EQ(Op(token, "/xsvr/dir/", {{"fileId", ""}}).result(), "serverBusy");
    EXPECT_EQ(Op(token, "/xsvr/dir/", {{"fileId", ""}}).result(), "ok");
}

TEST_F(EmulatorTest, ScriptedStatusDelayDropAndCorruption) {
    std::string token = Login("demo", "demo");
    Fault("path=/xsvr/getSpace/&status=500");
    Reply r = Op(token, "/xsvr/getSpace/", {});
    EXPECT_EQ(r.status, 500);
    EXPECT_EQ(r.result(), "ok");  // the body is still the operation's reply

    Fault("path=/xsvr/getSpace/&delayMs=400");
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Op(token, "/xsvr/getSpace/", {}).result(), "ok");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(380));

    std::string id = Op(token, "/xsvr/dir/", {{"fileId", ""}}).Named("welcome.txt")["fileId"];
    Reply ask = Op(token, "/xsvr/requestDownload/", {{"fileId", id}});
    std::string target = "/store/down?stub=" + ask.Get("stub") + "&bakVer=nowVer";
    Fault("path=/store/down&corrupt=1");
    auto bad = NewClient()->Get(target.c_str());
    ASSERT_TRUE(bad);
    EXPECT_EQ(bad->status, 200);
    EXPECT_NE(Sha1Of(bad->body), ask.Get("compressSha1"));
    // A stub serves one download: the next one needs a new address.
    ask = Op(token, "/xsvr/requestDownload/", {{"fileId", id}});
    target = "/store/down?stub=" + ask.Get("stub") + "&bakVer=nowVer";
    auto good = NewClient()->Get(target.c_str());
    EXPECT_EQ(Sha1Of(good->body), ask.Get("compressSha1"));

    Fault("path=/store/down&drop=1");
    auto dropped = NewClient()->Get(target.c_str());
    EXPECT_FALSE(dropped);
    EXPECT_TRUE(NewClient()->Get(target.c_str()));
}

TEST_F(EmulatorTest, BadFaultRequestsAreRefused) {
    auto res = NewClient()->Post("/_emu/fault?path=nodash&result=x", "", "text/plain");
    ASSERT_TRUE(res);
    EXPECT_NE(res->body.find("clientBadParams"), std::string::npos);
    res = NewClient()->Post("/_emu/fault?path=/xsvr/dir/&status=42", "", "text/plain");
    EXPECT_NE(res->body.find("clientBadParams"), std::string::npos);
    // Past the int range, not wrapped round into a plausible count.
    res =
        NewClient()->Post("/_emu/fault?path=/xsvr/dir/&count=4294967297&result=serverBusy", "", "text/plain");
    EXPECT_NE(res->body.find("clientBadParams"), std::string::npos);
}

TEST_F(EmulatorTest, ResetRestoresTheSeededState) {
    std::string token = Login("demo", "demo");
    NewFolder(token, "", "Temporary");
    Fault("path=/xsvr/dir/&count=5&result=serverBusy");
    ASSERT_TRUE(NewClient()->Post("/_emu/reset", "", "text/plain"));
    EXPECT_EQ(Op(token, "/xsvr/dir/", {{"fileId", ""}}).result(), "clientNoLogin");
    std::string fresh = Login("demo", "demo");
    Reply root = Op(fresh, "/xsvr/dir/", {{"fileId", ""}});
    EXPECT_EQ(root.result(), "ok");
    EXPECT_FALSE(root.HasNamed("Temporary"));
    EXPECT_TRUE(root.HasNamed("Documents"));
    EXPECT_EQ(Get("/_emu/log").Get("count"), "3");
}

TEST(EmulatorWithoutHooks, TestHookEndpointsAreAbsent) {
    devserver::DevServerOptions options;
    options.port = 0;
    devserver::DevServer server(options);
    std::string error;
    ASSERT_TRUE(server.Start(&error)) << error;
    httplib::Client client("127.0.0.1", server.Port());
    auto res = client.Get("/_emu/log");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 404);
    res = client.Post("/_emu/reset", "", "text/plain");
    EXPECT_EQ(res->status, 404);
}

}  // namespace devserver_test
