#include "tests/support/emulatorfixture.h"

#include <fcntl.h>
#include <httplib.h>
#include <poll.h>
#include <signal.h>
#include <strings.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <tinyxml.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

#include "tests/support/testenvironment.h"
#include "tests/support/waituntil.h"

namespace pellux_test {

namespace {

constexpr const char* kAddressPrefix = "listening on http://";
constexpr int kStartTimeoutMs = 15000;

std::string DecodeBase64(const std::string& in) {
    std::string out;
    int bits = 0;
    unsigned value = 0;
    static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (char c : in) {
        const size_t digit = alphabet.find(c);
        if (digit == std::string::npos)
            continue;  // padding
        value = (value << 6) | static_cast<unsigned>(digit);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((value >> bits) & 0xFF);
        }
    }
    return out;
}

std::string ChildText(const TiXmlElement* element, const char* name) {
    const TiXmlElement* child = element->FirstChildElement(name);
    return child && child->GetText() ? child->GetText() : std::string();
}

// A value of the reply's root, or of its listed item of that name when one
// is given; "" when absent or not XML.
std::string FindValue(const std::string& reply, const std::string* itemName, const std::string& key) {
    TiXmlDocument document;
    document.Parse(reply.c_str(), nullptr, TIXML_ENCODING_UTF8);
    const TiXmlElement* node = document.Error() ? nullptr : document.RootElement();
    if (node && itemName) {
        node = node->FirstChildElement("item");
        while (node && ChildText(node, "name") != *itemName)
            node = node->NextSiblingElement("item");
    }
    return node ? ChildText(node, key.c_str()) : std::string();
}

httplib::Client NewClient(int port) {
    httplib::Client client("127.0.0.1", port);
    client.set_connection_timeout(5, 0);
    client.set_read_timeout(30, 0);
    return client;
}

// The first line of the child's stdout, or "" after the time-out.
std::string ReadFirstLine(int fd) {
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0)
            continue;
        char c;
        const ssize_t got = read(fd, &c, 1);
        if (got <= 0)
            return std::string();
        if (c == '\n')
            return line;
        line += c;
    }
    return std::string();
}

}  // namespace

std::string EmulatorRequest::Header(const std::string& name) const {
    for (const auto& header : headers) {
        if (strcasecmp(header.first.c_str(), name.c_str()) == 0)
            return header.second;
    }
    return std::string();
}

const EmulatorPart* EmulatorRequest::Part(const std::string& name) const {
    for (const EmulatorPart& part : parts) {
        if (part.name == name)
            return &part;
    }
    return nullptr;
}

bool Emulator::Start(const EmulatorOptions& options, std::string* error) {
    const std::string program = BinaryDir() + "/devserver/pellux-devserver";
    if (access(program.c_str(), X_OK) != 0) {
        *error = "no emulator program at " + program;
        return false;
    }
    m_dataDir = MakeTempDir("emulator");
    std::vector<std::string> args{program,  "--port",  "0",         "--test-hooks",
                                  "--data", m_dataDir, "--hold-ms", std::to_string(options.holdMs)};
    if (options.demo)
        args.push_back("--demo");
    if (!options.updateOffer.empty()) {
        args.push_back("--update-offer");
        args.push_back(options.updateOffer);
    }
    // Built before the fork: the child may only exec.
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) {
        *error = "pipe failed";
        return false;
    }
    const pid_t pid = fork();
    if (pid < 0) {
        close(out[0]);
        close(out[1]);
        *error = "fork failed";
        return false;
    }
    if (pid == 0) {
        // The emulator must not outlive a test process that dies.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        dup2(out[1], STDOUT_FILENO);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(out[1]);
    m_pid = pid;
    const std::string line = ReadFirstLine(out[0]);
    close(out[0]);
    const size_t at = line.find(kAddressPrefix);
    const size_t colon = line.rfind(':');
    if (at == std::string::npos || colon == std::string::npos) {
        *error = "the emulator did not report its address: \"" + line + "\"";
        Stop();
        return false;
    }
    m_port = std::atoi(line.c_str() + colon + 1);
    return m_port > 0;
}

void Emulator::Stop() {
    if (m_pid <= 0)
        return;
    kill(m_pid, SIGTERM);
    int status = 0;
    if (!WaitUntil([&] { return waitpid(m_pid, &status, WNOHANG) == m_pid; }, 5000)) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, &status, 0);
    }
    m_pid = -1;
}

std::vector<EmulatorRequest> Emulator::RequestLog() const {
    std::vector<EmulatorRequest> log;
    auto client = NewClient(m_port);
    auto res = client.Get("/_emu/log");
    if (!res || res->status != 200)
        return log;
    TiXmlDocument document;
    document.Parse(res->body.c_str(), nullptr, TIXML_ENCODING_UTF8);
    const TiXmlElement* root = document.RootElement();
    if (document.Error() || !root)
        return log;
    for (const TiXmlElement* r = root->FirstChildElement("request"); r;
         r = r->NextSiblingElement("request")) {
        EmulatorRequest request;
        request.method = ChildText(r, "method");
        request.target = ChildText(r, "target");
        request.path = ChildText(r, "path");
        for (const TiXmlElement* h = r->FirstChildElement("header"); h; h = h->NextSiblingElement("header"))
            request.headers.emplace_back(ChildText(h, "name"), ChildText(h, "value"));
        request.bodySize = static_cast<size_t>(std::atoll(ChildText(r, "bodySize").c_str()));
        request.body = DecodeBase64(ChildText(r, "body"));
        for (const TiXmlElement* p = r->FirstChildElement("part"); p; p = p->NextSiblingElement("part")) {
            EmulatorPart part;
            part.name = ChildText(p, "name");
            part.filename = ChildText(p, "filename");
            part.content = DecodeBase64(ChildText(p, "content"));
            part.size = static_cast<size_t>(std::atoll(ChildText(p, "size").c_str()));
            request.parts.push_back(std::move(part));
        }
        log.push_back(std::move(request));
    }
    return log;
}

std::vector<EmulatorRequest> Emulator::RequestsTo(const std::string& path) const {
    std::vector<EmulatorRequest> matching;
    for (auto& request : RequestLog()) {
        if (request.path == path)
            matching.push_back(std::move(request));
    }
    return matching;
}

bool Emulator::HookPost(const std::string& target) const {
    auto client = NewClient(m_port);
    auto res = client.Post(target.c_str(), "", "text/plain");
    return res && res->status == 200 && ReplyValue(res->body, "result") == "ok";
}

std::string Emulator::CallOperation(const std::string& path, const EmulatorFields& fields,
                                    const std::string& version) const {
    std::string document = "<?xml version=\"1.0\" encoding=\"utf-8\" ?><xNorle>";
    for (const auto& field : fields) {
        std::string text;
        TiXmlBase::EncodeString(field.second, &text);
        document += "<" + field.first + ">" + text + "</" + field.first + ">";
    }
    document += "</xNorle>";
    auto client = NewClient(m_port);
    auto res = client.Post(path.c_str(), httplib::Headers{{"v", version}, {"User-Agent", "pellux"}}, document,
                           "application/x-www-form-urlencoded");
    return res ? res->body : std::string();
}

EmulatorSession Emulator::Login(const std::string& user, const std::string& password) const {
    const std::string reply = CallOperation("/xsvr/login/", {{"user", user},
                                                             {"password", password},
                                                             {"deviceId", "pellux-test|HOST"},
                                                             {"clientName", "pellux"},
                                                             {"clientVersion", "1.0.0.1"}});
    return EmulatorSession{ReplyValue(reply, "userId"), ReplyValue(reply, "token")};
}

std::string Emulator::ReplyValue(const std::string& reply, const std::string& key) {
    return FindValue(reply, nullptr, key);
}

std::string Emulator::ItemValue(const std::string& reply, const std::string& name, const std::string& key) {
    return FindValue(reply, &name, key);
}

std::string ClientConfigIni(const std::string& address) {
    const std::string& a = address;
    return "[Pellux]\nServerRoot=" + a + "\nPushNotifyRoot=" + a + "\nThumbnailRoot=" + a + "\nUpdate=" + a +
           "/update/check\n[NorleShell]\nWebServerRoot=" + a + "\n[Debug]\nUploadSpeed=0\nDownloadSpeed=0\n";
}

void EmulatorTest::SetUp() {
    std::string error;
    ASSERT_TRUE(m_emulator.Start(Options(), &error)) << error;
    m_configFolder = MakeTempDir("config");
    WriteConfig(ClientConfigIni(m_emulator.Address()));
}

void EmulatorTest::WriteConfig(const std::string& text) const {
    ASSERT_TRUE(WriteFile(m_configFolder + "/config.ini", text));
}

}  // namespace pellux_test
