#include "devserver/testhooks.h"

#include <climits>
#include <cstdlib>

#include "devserver/xmlreply.h"

namespace devserver {

namespace {

std::string Base64(const std::string& in) {
    static const char kTable[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    size_t i = 0;
    while (i + 2 < in.size()) {
        uint32_t v = (static_cast<unsigned char>(in[i]) << 16) |
                     (static_cast<unsigned char>(in[i + 1]) << 8) | static_cast<unsigned char>(in[i + 2]);
        out += kTable[v >> 18];
        out += kTable[(v >> 12) & 63];
        out += kTable[(v >> 6) & 63];
        out += kTable[v & 63];
        i += 3;
    }
    if (i < in.size()) {
        uint32_t v = static_cast<unsigned char>(in[i]) << 16;
        if (i + 1 < in.size()) {
            v |= static_cast<unsigned char>(in[i + 1]) << 8;
        }
        out += kTable[v >> 18];
        out += kTable[(v >> 12) & 63];
        out += i + 1 < in.size() ? kTable[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

size_t LoggedBytes(const LoggedRequest& entry) {
    size_t bytes = entry.body.size();
    for (const LoggedPart& part : entry.parts) {
        bytes += part.content.size();
    }
    return bytes;
}

// Out-of-range numbers become -1, which every caller refuses.
int IntParam(const httplib::Request& req, const char* name, int fallback) {
    if (!req.has_param(name)) {
        return fallback;
    }
    long long value = std::strtoll(req.get_param_value(name).c_str(), nullptr, 10);
    return value < INT_MIN || value > INT_MAX ? -1 : static_cast<int>(value);
}

}  // namespace

std::string NormalisePath(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

void TestHooks::Log(const httplib::Request& req,
                    const std::vector<const httplib::MultipartFormData*>* parts) {
    LoggedRequest entry;
    auto add = [&entry](const httplib::MultipartFormData& part) {
        entry.parts.push_back(LoggedPart{part.name, part.filename, part.content_type,
                                         part.content.substr(0, kLogBodyLimit), part.content.size()});
    };
    if (parts) {
        for (const httplib::MultipartFormData* part : *parts) {
            add(*part);
        }
    } else {
        for (const auto& file : req.files) {
            add(file.second);
        }
    }
    entry.method = req.method;
    entry.target = req.target;
    entry.path = req.path;
    entry.headers = req.headers;
    entry.bodySize = req.body.size();
    entry.body = req.body.substr(0, kLogBodyLimit);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_logBytes += LoggedBytes(entry);
    m_log.push_back(std::move(entry));
    while (m_log.size() > kLogEntries || (m_logBytes > kLogBytes && m_log.size() > 1)) {
        m_logBytes -= LoggedBytes(m_log.front());
        m_log.pop_front();
        ++m_dropped;
    }
}

std::string TestHooks::LogXml() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    XmlReply reply;
    reply.Value("count", static_cast<int64_t>(m_log.size()));
    size_t n = m_dropped;
    for (const auto& e : m_log) {
        reply.BeginChild("request");
        reply.Value("n", static_cast<int64_t>(n++));
        reply.Value("method", e.method);
        reply.Value("target", e.target);
        reply.Value("path", e.path);
        for (const auto& h : e.headers) {
            if (h.first == "REMOTE_ADDR" || h.first == "REMOTE_PORT" || h.first == "LOCAL_ADDR" ||
                h.first == "LOCAL_PORT") {
                continue;
            }
            reply.BeginChild("header").Value("name", h.first).Value("value", h.second).EndChild();
        }
        reply.Value("bodySize", static_cast<int64_t>(e.bodySize));
        reply.Value("body", Base64(e.body));
        for (const LoggedPart& part : e.parts) {
            reply.BeginChild("part")
                .Value("name", part.name)
                .Value("filename", part.filename)
                .Value("contentType", part.contentType)
                .Value("size", static_cast<int64_t>(part.size))
                .Value("content", Base64(part.content))
                .EndChild();
        }
        reply.EndChild();
    }
    return reply.Text();
}

bool TestHooks::LogBody(size_t n, std::string* body) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (n < m_dropped || n - m_dropped >= m_log.size()) {
        return false;
    }
    *body = m_log[n - m_dropped].body;
    return true;
}

void TestHooks::ClearLog() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_dropped += m_log.size();
    m_log.clear();
    m_logBytes = 0;
}

void TestHooks::AddFault(const ScriptedFault& fault) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.push_back(fault);
    m_faults.back().path = NormalisePath(fault.path);
}

bool TestHooks::TakeFault(const std::string& path, ScriptedFault* fault) {
    std::string key = NormalisePath(path);
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_faults.begin(); it != m_faults.end(); ++it) {
        if (it->path == key && it->count > 0) {
            *fault = *it;
            if (--it->count == 0) {
                m_faults.erase(it);
            }
            return true;
        }
    }
    return false;
}

void TestHooks::ClearFaults() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.clear();
}

void TestHooks::Register(httplib::Server& server, std::function<void()> reset) {
    const char* xml = "text/xml; charset=utf-8";
    server.Get("/_emu/log", [this, xml](const httplib::Request&, httplib::Response& res) {
        res.set_content(LogXml(), xml);
    });
    server.Get("/_emu/log/body", [this](const httplib::Request& req, httplib::Response& res) {
        std::string body;
        if (!LogBody(static_cast<size_t>(IntParam(req, "n", -1)), &body)) {
            res.status = 404;
            return;
        }
        res.set_content(body, "application/octet-stream");
    });
    server.Post("/_emu/log/clear", [this, xml](const httplib::Request&, httplib::Response& res) {
        ClearLog();
        res.set_content(XmlReply().Text(), xml);
    });
    server.Post("/_emu/fault", [this, xml](const httplib::Request& req, httplib::Response& res) {
        ScriptedFault f;
        f.path = req.get_param_value("path");
        f.count = IntParam(req, "count", 1);
        f.result = req.get_param_value("result");
        f.delayMs = IntParam(req, "delayMs", 0);
        f.drop = IntParam(req, "drop", 0) != 0;
        f.status = IntParam(req, "status", 0);
        f.corrupt = IntParam(req, "corrupt", 0) != 0;
        if (f.path.empty() || f.path[0] != '/' || f.count <= 0 || f.delayMs < 0 || f.delayMs > 600000 ||
            (f.status != 0 && (f.status < 100 || f.status > 599))) {
            res.set_content(XmlReply("clientBadParams").Text(), xml);
            return;
        }
        AddFault(f);
        res.set_content(XmlReply().Text(), xml);
    });
    server.Post("/_emu/reset", [this, xml, reset](const httplib::Request&, httplib::Response& res) {
        ClearLog();
        ClearFaults();
        reset();
        res.set_content(XmlReply().Text(), xml);
    });
}

}  // namespace devserver
