#pragma once
// Builds a reply document: root "xNorle" with scalar values and "item"
// children, compact, UTF-8 with its declaration.
#include <cstdint>
#include <string>
#include <vector>

namespace devserver {

class XmlReply {
public:
    explicit XmlReply(const std::string& result = "ok");
    XmlReply& Value(const std::string& name, const std::string& text);
    XmlReply& Value(const std::string& name, int64_t number);
    // Opens an "item" (or other) child; values go into it until EndChild.
    XmlReply& BeginChild(const std::string& name = "item");
    XmlReply& EndChild();
    std::string Text() const;

private:
    std::string m_body;
    std::vector<std::string> m_open;
};

// Escapes "&", "<" and ">" (and quotes for attribute use).
std::string XmlEscape(const std::string& text);

}  // namespace devserver
