#include "devserver/devserver.h"

#include <httplib.h>
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "devserver/accounts.h"
#include "devserver/demoseed.h"
#include "devserver/guardedserver.h"
#include "devserver/service.h"
#include "devserver/testhooks.h"
#include "devserver/xmlreply.h"

namespace devserver {

namespace {

// Request documents are small; anything larger is refused before parsing.
constexpr size_t kMaxXmlBody = 64 * 1024;
// Largest body at all: a 300 MiB upload plus the encrypted format's overhead and the form framing.
constexpr size_t kMaxBody = 0x12C00000 + (1 << 20);
constexpr int kThreads = 64;
// Live clients send a request's head in milliseconds; one that trickles it is cut off.
constexpr std::chrono::milliseconds kRequestHeadBound{5000};

void ReplyXml(httplib::Response& res, const std::string& text) {
    res.set_content(text, kXmlType);
}

void HandleXmlOp(Service& service, const XmlOp& op, const httplib::Request& req, httplib::Response& res) {
    if (req.body.size() > kMaxXmlBody) {
        res.status = 413;
        ReplyXml(res, XmlReply("clientBadParams").Text());
        return;
    }
    std::string version = req.get_header_value("v");
    if (!version.empty() && version != op.version) {
        ReplyXml(res, XmlReply("methodVersionNotMatch").Text());
        return;
    }
    OpCall call{req, XmlRequest(), "", ""};
    if (!call.fields.Parse(req.body)) {
        ReplyXml(res, XmlReply("clientBadParams").Text());
        return;
    }
    for (const auto& field : op.required) {
        if (!call.fields.Has(field)) {
            ReplyXml(res, XmlReply("clientBadParams").Text());
            return;
        }
    }
    try {
        if (op.needsToken) {
            std::string token = call.fields.Get("token");
            std::string failure =
                service.store.Run([&](Db& db) { return CheckToken(db, token, &call.userId, &call.device); });
            if (!failure.empty()) {
                ReplyXml(res, XmlReply(failure).Text());
                return;
            }
        }
        ReplyXml(res, op.handler(service, call));
    } catch (const OpFailure& failure) {
        ReplyXml(res, XmlReply(failure.result).Text());
    } catch (const DbError& e) {
        std::fprintf(stderr, "pellux-devserver: %s: database error: %s\n", op.path.c_str(),
                     e.message.c_str());
        ReplyXml(res, XmlReply("serverError").Text());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pellux-devserver: %s: %s\n", op.path.c_str(), e.what());
        ReplyXml(res, XmlReply("serverError").Text());
    }
    service.push.Notify();
}

std::string EscapeRegex(const std::string& path) {
    std::string out;
    for (char c : path) {
        if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos) {
            out += '\\';
        }
        out += c;
    }
    return out;
}

}  // namespace

DevServer::DevServer(const DevServerOptions& options) : m_options(options) {}

DevServer::~DevServer() {
    Stop();
}

std::string DevServer::Address() const {
    return "http://" + m_options.listen + ":" + std::to_string(m_port);
}

bool DevServer::Start(std::string* error) {
    std::string dataDir = m_options.dataDir;
    if (dataDir.empty()) {
        char pattern[] = "/tmp/pellux-devserver-XXXXXX";
        if (!mkdtemp(pattern)) {
            *error = "cannot create a temporary data folder";
            return false;
        }
        dataDir = m_tempDir = pattern;
    }
    m_service = std::make_unique<Service>(m_options);
    if (!m_service->store.Open(dataDir, error)) {
        return false;
    }
    if (m_options.demo) {
        try {
            SeedDemo(*m_service);
        } catch (const DbError& e) {
            *error = "cannot seed the demo accounts: " + e.message;
            return false;
        } catch (const std::exception& e) {
            *error = std::string("cannot seed the demo accounts: ") + e.what();
            return false;
        }
    }
    // Each of the many worker threads would keep a malloc arena of its own,
    // and every large upload body left tens of megabytes in one of them: few
    // arenas, and large blocks mapped on their own so they go back at once.
    mallopt(M_ARENA_MAX, 4);
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    auto guarded = std::make_unique<GuardedHttpServer>(kThreads, kRequestHeadBound);
    GuardedHttpServer* guard = guarded.get();
    m_http = std::move(guarded);
    m_hooks = std::make_unique<TestHooks>();
    m_http->set_payload_max_length(kMaxBody);
    m_http->set_read_timeout(30, 0);
    // A client with a low speed cap may leave a download's socket full for a while.
    m_http->set_write_timeout(30, 0);
    m_http->set_keep_alive_max_count(100);
    // Shorter than the head bound, so an idle kept-alive connection is closed
    // by the library before the watchdog would cut it.
    m_http->set_keep_alive_timeout(2);
    RegisterRoutes();
    if (m_options.port == 0) {
        m_port = m_http->bind_to_any_port(m_options.listen);
        if (m_port <= 0) {
            *error = "cannot listen on " + m_options.listen;
            return false;
        }
    } else {
        if (!m_http->bind_to_port(m_options.listen, m_options.port)) {
            *error = "cannot listen on " + m_options.listen + ":" + std::to_string(m_options.port);
            return false;
        }
        m_port = m_options.port;
    }
    m_service->boundPort = m_port;
    guard->SetPort(m_port);
    m_thread = std::thread([this] { m_http->listen_after_bind(); });
    // A stop before the accept loop runs would be lost, so wait until it does.
    for (int i = 0; i < 5000 && !m_http->is_running(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void DevServer::Stop() {
    if (m_stopping.exchange(true)) {
        return;
    }
    if (m_service) {
        m_service->push.Stop();
    }
    if (m_http) {
        m_http->stop();
    }
    if (m_thread.joinable()) {
        m_thread.join();
    }
    m_http.reset();
    m_service.reset();
    if (!m_tempDir.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(m_tempDir, ec);
    }
}

void DevServer::Reset() {
    m_service->store.Clear();
    m_service->push.Forget();
    if (m_options.demo) {
        SeedDemo(*m_service);
    }
}

void DevServer::RegisterRoutes() {
    Service& service = *m_service;
    TestHooks* hooks = m_options.testHooks ? m_hooks.get() : nullptr;
    const std::atomic<bool>* stopping = &m_stopping;
    RouteAdder add = [this, hooks, stopping](const std::string& method, const std::string& pattern,
                                             RouteHandler handler) {
        using Parts = std::vector<const httplib::MultipartFormData*>;
        auto wrapped = [hooks, stopping, handler](const httplib::Request& req, httplib::Response& res,
                                                  const Parts* parts) {
            ScriptedFault fault;
            bool faulty = false;
            if (hooks) {
                hooks->Log(req, parts);
                faulty = hooks->TakeFault(req.path, &fault);
            }
            if (faulty && fault.delayMs > 0) {
                auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(fault.delayMs);
                while (!stopping->load() && std::chrono::steady_clock::now() < until) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                }
            }
            if (faulty && !fault.result.empty()) {
                ReplyXml(res, XmlReply(fault.result).Text());
            } else {
                try {
                    handler(req, res, faulty && fault.corrupt);
                } catch (const DbError& e) {
                    std::fprintf(stderr, "pellux-devserver: %s: database error: %s\n", req.path.c_str(),
                                 e.message.c_str());
                    res.status = 500;
                    ReplyXml(res, XmlReply("serverError").Text());
                } catch (const std::exception& e) {
                    std::fprintf(stderr, "pellux-devserver: %s: %s\n", req.path.c_str(), e.what());
                    res.status = 500;
                    ReplyXml(res, XmlReply("serverError").Text());
                }
            }
            if (faulty && fault.status != 0) {
                res.status = fault.status;
            }
            if (faulty && fault.corrupt && !res.body.empty()) {
                res.body[res.body.size() / 2] ^= 0x5A;
            }
            if (faulty && fault.drop) {
                std::string body = res.body;
                std::string type = res.get_header_value("Content-Type");
                size_t length = body.size() + 64;
                res.body.clear();
                res.set_content_provider(length, type.empty() ? "application/octet-stream" : type,
                                         [body](size_t offset, size_t, httplib::DataSink& sink) {
                                             if (offset == 0 && !body.empty()) {
                                                 sink.write(body.data(), body.size() / 2);
                                             }
                                             return false;
                                         });
            }
        };
        if (method == "GET") {
            m_http->Get(pattern, [wrapped](const httplib::Request& req, httplib::Response& res) {
                wrapped(req, res, nullptr);
            });
        } else if (method == "UPLOAD") {
            // Reads the parts itself so the log keeps them in the order they were sent.
            m_http->Post(pattern, [wrapped](const httplib::Request& req, httplib::Response& res,
                                            const httplib::ContentReader& reader) {
                httplib::Request full = req;
                std::vector<httplib::MultipartFormData> received;
                bool complete;
                if (req.is_multipart_form_data()) {
                    complete = reader(
                        [&received](const httplib::MultipartFormData& part) {
                            received.push_back(part);
                            return true;
                        },
                        [&received](const char* data, size_t length) {
                            if (!received.empty()) {
                                received.back().content.append(data, length);
                            }
                            return true;
                        });
                } else {
                    complete = reader([&full](const char* data, size_t length) {
                        full.body.append(data, length);
                        return true;
                    });
                }
                Parts order;
                for (auto& part : received) {
                    std::string name = part.name;
                    order.push_back(&full.files.emplace(name, std::move(part))->second);
                }
                if (!complete) {
                    // A body cut short or not well formed: nothing of it is taken as an upload.
                    full.files.clear();
                    order.clear();
                    full.body.clear();
                }
                wrapped(full, res, &order);
            });
        } else {
            m_http->Post(pattern, [wrapped](const httplib::Request& req, httplib::Response& res) {
                wrapped(req, res, nullptr);
            });
        }
    };

    if (hooks) {
        hooks->Register(*m_http, [this] { Reset(); });
    }
    std::vector<XmlOp> ops;
    AddAccountOps(ops);
    AddFileOps(ops);
    AddRecycleOps(ops);
    AddShareOps(ops);
    AddTransferOps(ops);
    for (const XmlOp& op : ops) {
        std::string path = NormalisePath(op.path);
        add("POST", EscapeRegex(path) + "/?",
            [&service, op](const httplib::Request& req, httplib::Response& res, bool) {
                HandleXmlOp(service, op, req, res);
            });
    }
    add("POST", "/xsvr/.*", [](const httplib::Request&, httplib::Response& res, bool) {
        ReplyXml(res, XmlReply("clientNoMethod").Text());
    });
    AddPushRoutes(service, add);
    AddContentRoutes(service, add);
    AddPreviewRoutes(service, add);
    AddPageRoutes(service, add);
}

}  // namespace devserver
