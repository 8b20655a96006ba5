#pragma once
// The request document: a root "xNorle" whose children are the fields, each
// a plain text element. Anything else (nesting, other root, broken XML) is a
// malformed request.
#include <map>
#include <string>

namespace devserver {

class XmlRequest {
public:
    // False when the body is not such a document.
    bool Parse(const std::string& body);
    bool Has(const std::string& field) const { return m_fields.count(field) != 0; }
    // The field's text; empty when absent.
    std::string Get(const std::string& field) const;

private:
    std::map<std::string, std::string> m_fields;
};

}  // namespace devserver
