#include "devserver/service.h"

namespace devserver {

std::string Service::BaseUrl(const httplib::Request& req) const {
    std::string host = req.get_header_value("Host");
    bool safe = !host.empty() && host.size() < 256;
    for (char c : host) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                  c == '-' || c == ':' || c == '[' || c == ']';
        safe = safe && ok;
    }
    if (!safe) {
        host = (options.listen == "0.0.0.0" ? std::string("127.0.0.1") : options.listen) + ":" +
               std::to_string(boundPort);
    }
    return "http://" + host;
}

int64_t DecimalField(const OpCall& call, const std::string& name) {
    std::string text = call.fields.Get(name);
    if (text.empty() || text.size() > 18) {
        throw OpFailure{"clientBadParams"};
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            throw OpFailure{"clientBadParams"};
        }
    }
    return std::stoll(text);
}

}  // namespace devserver
