#include "emulatorfixture.h"

#include <openssl/evp.h>
#include <tinyxml.h>

#include <mutex>

#include "tests/support/testenvironment.h"

namespace devserver_test {

std::string Sha1Of(const std::string& bytes) {
    unsigned char md[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    EVP_Digest(bytes.data(), bytes.size(), md, &len, EVP_sha1(), nullptr);
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    for (unsigned i = 0; i < len; ++i) {
        out += kHex[md[i] >> 4];
        out += kHex[md[i] & 15];
    }
    return out;
}

std::string RequestDocument(const Fields& fields) {
    auto escape = [](const std::string& text) {
        std::string out;
        for (char c : text) {
            out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : std::string(1, c);
        }
        return out;
    };
    std::string doc = "<?xml version=\"1.0\" encoding=\"utf-8\" ?><xNorle>";
    for (const auto& f : fields) {
        doc += "<" + f.first + ">" + escape(f.second) + "</" + f.first + ">";
    }
    return doc + "</xNorle>";
}

namespace {

std::map<std::string, std::string> Values(const TiXmlElement* element) {
    std::map<std::string, std::string> values;
    for (const TiXmlElement* c = element->FirstChildElement(); c; c = c->NextSiblingElement()) {
        const TiXmlNode* first = c->FirstChild();
        if (first && first->ToText()) {
            values.emplace(c->Value(), first->Value());
        } else if (!first) {
            values.emplace(c->Value(), "");
        }
    }
    return values;
}

}  // namespace

Reply ParseReply(int status, const std::string& body) {
    Reply reply;
    reply.status = status;
    reply.body = body;
    static std::once_flag once;
    std::call_once(once, [] { TiXmlBase::SetCondenseWhiteSpace(false); });
    TiXmlDocument doc;
    doc.Parse(body.c_str(), nullptr, TIXML_ENCODING_UTF8);
    const TiXmlElement* root = doc.RootElement();
    if (doc.Error() || !root) {
        return reply;
    }
    reply.parsed = true;
    reply.values = Values(root);
    for (const TiXmlElement* c = root->FirstChildElement("item"); c; c = c->NextSiblingElement("item")) {
        ReplyItem item;
        item.values = Values(c);
        for (const TiXmlElement* s = c->FirstChildElement("sharer"); s; s = s->NextSiblingElement("sharer")) {
            item.sharers.push_back(Values(s));
        }
        reply.items.push_back(item);
    }
    return reply;
}

ReplyItem Reply::Named(const std::string& name) const {
    for (const auto& item : items) {
        if (item["name"] == name) {
            return item;
        }
    }
    ADD_FAILURE() << "no item named " << name << " in " << body;
    return {};
}

bool Reply::HasNamed(const std::string& name) const {
    for (const auto& item : items) {
        if (item["name"] == name) {
            return true;
        }
    }
    return false;
}

void EmulatorTest::StartServer(bool demo, int holdMs) {
    devserver::DevServerOptions options;
    options.port = 0;
    options.demo = demo;
    options.testHooks = true;
    options.holdMs = holdMs;
    options.dataDir = pellux_test::MakeTempDir("emu");
    m_server = std::make_unique<devserver::DevServer>(options);
    std::string error;
    ASSERT_TRUE(m_server->Start(&error)) << error;
    m_port = m_server->Port();
}

void EmulatorTest::StopServer() {
    if (m_server) {
        m_server->Stop();
        m_server.reset();
    }
}

std::unique_ptr<httplib::Client> EmulatorTest::NewClient() const {
    auto client = std::make_unique<httplib::Client>("127.0.0.1", m_port);
    client->set_read_timeout(20, 0);
    client->set_connection_timeout(5, 0);
    return client;
}

Reply EmulatorTest::Call(const std::string& path, const Fields& fields, const std::string& version) {
    auto client = NewClient();
    httplib::Headers headers{{"v", version}, {"User-Agent", "pellux"}};
    auto res =
        client->Post(path.c_str(), headers, RequestDocument(fields), "application/x-www-form-urlencoded");
    if (!res) {
        ADD_FAILURE() << "no reply from " << path;
        return {};
    }
    return ParseReply(res->status, res->body);
}

Reply EmulatorTest::Op(const std::string& token, const std::string& path, Fields fields,
                       const std::string& version) {
    fields.insert(fields.begin(), {"token", token});
    return Call(path, fields, version);
}

Reply EmulatorTest::Get(const std::string& target) {
    auto client = NewClient();
    auto res = client->Get(target.c_str());
    if (!res) {
        return {};
    }
    return ParseReply(res->status, res->body);
}

std::string EmulatorTest::Login(const std::string& user, const std::string& password) {
    Reply r = Call("/xsvr/login/", {{"user", user},
                                    {"password", password},
                                    {"deviceId", "pellux-0123456789abcdef0123456789abcdef|HOST"},
                                    {"clientName", "pellux"},
                                    {"clientVersion", "1.0.0.1"}});
    EXPECT_EQ(r.result(), "ok") << r.body;
    return r.Get("token");
}

int64_t EmulatorTest::OpVer(const std::string& token) {
    Reply r = Op(token, "/xsvr/getMaxVers/", {});
    EXPECT_EQ(r.result(), "ok");
    return std::stoll(r.Get("opVer").empty() ? "-1" : r.Get("opVer"));
}

int64_t EmulatorTest::ShareVer(const std::string& token) {
    Reply r = Op(token, "/xsvr/getMaxVers/", {});
    return std::stoll(r.Get("shareVer").empty() ? "-1" : r.Get("shareVer"));
}

std::string EmulatorTest::NewFolder(const std::string& token, const std::string& parent,
                                    const std::string& name) {
    Reply r = Op(token, "/xsvr/newFolder/", {{"parentId", parent}, {"name", name}});
    EXPECT_EQ(r.result(), "ok") << r.body;
    return r.Get("fileId");
}

std::string EmulatorTest::NewFile(const std::string& token, const std::string& parent,
                                  const std::string& name) {
    Reply r = Op(token, "/xsvr/newFile/", {{"parentId", parent}, {"name", name}});
    EXPECT_EQ(r.result(), "ok") << r.body;
    return r.Get("fileId");
}

Reply EmulatorTest::Upload(const std::string& token, const std::string& fileId, int64_t baseVer,
                           const std::string& plain, const std::string& blob) {
    Reply ask = Op(token, "/xsvr/requestUpload/",
                   {{"fileVer", std::to_string(baseVer)},
                    {"size", std::to_string(plain.size())},
                    {"fileId", fileId},
                    {"sha1", Sha1Of(plain)}});
    if (ask.result() != "ok") {
        return ask;
    }
    EXPECT_EQ(ask.Get("fileKey").size(), 64u);
    std::string url = ask.Get("url");
    std::string prefix = "http://127.0.0.1:" + std::to_string(m_port);
    EXPECT_EQ(url.substr(0, prefix.size()), prefix);
    EXPECT_EQ(url.back(), '?');
    std::string target = url.substr(prefix.size()) + "stub=" + ask.Get("stub") +
                         "&uploadSize=" + std::to_string(blob.size()) + "&uploadSha1=" + Sha1Of(blob);
    auto client = NewClient();
    httplib::MultipartFormDataItems parts{
        {"FileCont", blob, "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}", "application/octet-stream"}};
    auto res = client->Post(target.c_str(), httplib::Headers{{"v", "2"}, {"User-Agent", "pellux"}}, parts);
    if (!res) {
        ADD_FAILURE() << "no reply from the upload";
        return {};
    }
    return ParseReply(res->status, res->body);
}

std::string EmulatorTest::Download(const std::string& token, const std::string& fileId, Reply* request,
                                   int* status) {
    Reply ask = Op(token, "/xsvr/requestDownload/", {{"fileId", fileId}});
    if (request) {
        *request = ask;
    }
    if (ask.result() != "ok") {
        return "";
    }
    std::string prefix = "http://127.0.0.1:" + std::to_string(m_port);
    std::string target = ask.Get("url").substr(prefix.size()) + "stub=" + ask.Get("stub") + "&bakVer=nowVer";
    auto res = NewClient()->Get(target.c_str());
    if (status) {
        *status = res ? res->status : 0;
    }
    return res ? res->body : "";
}

void EmulatorTest::Fault(const std::string& query) {
    auto res = NewClient()->Post(("/_emu/fault?" + query).c_str(), "", "text/plain");
    ASSERT_TRUE(res);
    ASSERT_NE(res->body.find("<result>ok</result>"), std::string::npos) << res->body;
}

}  // namespace devserver_test
