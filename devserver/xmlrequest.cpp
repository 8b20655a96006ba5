#include "devserver/xmlrequest.h"

#include <tinyxml.h>

#include <mutex>

namespace devserver {

bool XmlRequest::Parse(const std::string& body) {
    m_fields.clear();
    // Names keep their blanks as sent; the setting is process-wide, so set it once.
    static std::once_flag once;
    std::call_once(once, [] { TiXmlBase::SetCondenseWhiteSpace(false); });
    TiXmlDocument doc;
    doc.Parse(body.c_str(), nullptr, TIXML_ENCODING_UTF8);
    if (doc.Error() || body.find('\0') != std::string::npos) {
        return false;
    }
    const TiXmlElement* root = doc.RootElement();
    if (!root || std::string(root->Value()) != "xNorle") {
        return false;
    }
    for (const TiXmlNode* child = root->FirstChild(); child; child = child->NextSibling()) {
        if (child->Type() == TiXmlNode::TINYXML_COMMENT) {
            continue;
        }
        const TiXmlElement* field = child->ToElement();
        if (!field) {
            return false;
        }
        std::string text;
        for (const TiXmlNode* part = field->FirstChild(); part; part = part->NextSibling()) {
            const TiXmlText* t = part->ToText();
            if (!t) {
                return false;
            }
            // Whole, NULs from character references included: "a&#0;b" must
            // not shrink to "a" unseen.
            text.append(t->ValueTStr().c_str(), t->ValueTStr().length());
        }
        m_fields.emplace(field->Value(), text);
    }
    return true;
}

std::string XmlRequest::Get(const std::string& field) const {
    auto it = m_fields.find(field);
    return it == m_fields.end() ? std::string() : it->second;
}

}  // namespace devserver
