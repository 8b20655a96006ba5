#include "devserver/xmlreply.h"

namespace devserver {

std::string XmlEscape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

XmlReply::XmlReply(const std::string& result) {
    Value("result", result);
}

XmlReply& XmlReply::Value(const std::string& name, const std::string& text) {
    m_body += "<" + name + ">" + XmlEscape(text) + "</" + name + ">";
    return *this;
}

XmlReply& XmlReply::Value(const std::string& name, int64_t number) {
    return Value(name, std::to_string(number));
}

XmlReply& XmlReply::BeginChild(const std::string& name) {
    m_body += "<" + name + ">";
    m_open.push_back(name);
    return *this;
}

XmlReply& XmlReply::EndChild() {
    if (!m_open.empty()) {
        m_body += "</" + m_open.back() + ">";
        m_open.pop_back();
    }
    return *this;
}

std::string XmlReply::Text() const {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><xNorle>" + m_body + "</xNorle>";
}

}  // namespace devserver
