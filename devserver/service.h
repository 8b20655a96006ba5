#pragma once
// What every request handler shares: the store, the push hub, the options
// and the XML operation table's plumbing.
#include <httplib.h>

#include <functional>
#include <string>
#include <vector>

#include "devserver/options.h"
#include "devserver/pushhub.h"
#include "devserver/store.h"
#include "devserver/xmlrequest.h"

namespace devserver {

struct Service {
    explicit Service(const DevServerOptions& opts) : options(opts), push(opts.holdMs) {}
    // The address clients reach this server by (from the request's Host header).
    std::string BaseUrl(const httplib::Request& req) const;

    DevServerOptions options;
    int boundPort = 0;
    Store store;
    PushHub push;
};

// One call of an XML operation, its caller already authenticated.
struct OpCall {
    const httplib::Request& http;
    XmlRequest fields;
    std::string userId;  // empty for the log-in operations
    std::string device;
};

// Thrown by a handler to answer with a result name (the transaction rolls back).
struct OpFailure {
    std::string result;
};

using OpHandler = std::function<std::string(Service&, const OpCall&)>;

struct XmlOp {
    std::string path;
    std::string version;                // the "v" header the operation expects
    bool needsToken = true;             // false for log-in and forkToken
    std::vector<std::string> required;  // fields a request must carry
    OpHandler handler;
};

// The operation groups.
void AddAccountOps(std::vector<XmlOp>& ops);
void AddFileOps(std::vector<XmlOp>& ops);
void AddRecycleOps(std::vector<XmlOp>& ops);
void AddShareOps(std::vector<XmlOp>& ops);
void AddTransferOps(std::vector<XmlOp>& ops);

// Parses a non-negative decimal that fits 63 bits; throws clientBadParams otherwise.
int64_t DecimalField(const OpCall& call, const std::string& name);

// A route's handler; corrupt is set when a scripted fault will flip a reply
// byte (handlers that stream their reply load it into the body instead).
using RouteHandler = std::function<void(const httplib::Request&, httplib::Response&, bool corrupt)>;
// Adds a route through the logging and fault wrapper. method: "GET", "POST",
// or "UPLOAD" (a POST whose multipart parts are logged in the order sent).
using RouteAdder = std::function<void(const std::string& method, const std::string& pattern, RouteHandler)>;

// Routes outside the XML operation table.
void AddPushRoutes(Service& service, const RouteAdder& add);
void AddContentRoutes(Service& service, const RouteAdder& add);
void AddPreviewRoutes(Service& service, const RouteAdder& add);
void AddPageRoutes(Service& service, const RouteAdder& add);

constexpr const char* kXmlType = "text/xml; charset=utf-8";

}  // namespace devserver
