#include "core/remotestorage/remotestorage/xmlnode.h"

#include <tinyxml.h>

#include "platform/strings.h"

namespace {

// TinyXML folds runs of blanks in text by default, which would turn a file
// named "a  b.txt " into "a b.txt". The switch is process-wide, so set it once
// before any thread can parse.
const bool g_whitespaceKept = [] {
    TiXmlBase::SetCondenseWhiteSpace(false);
    return true;
}();

std::wstring Escape(const std::wstring& text, bool quotes) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        switch (c) {
            case L'&':
                out += L"&amp;";
                break;
            case L'<':
                out += L"&lt;";
                break;
            case L'>':
                out += L"&gt;";
                break;
            case L'"':
                if (quotes)
                    out += L"&quot;";
                else
                    out += c;
                break;
            default:
                out += c;
                break;
        }
    }
    return out;
}

bool IsUrlUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

std::wstring PercentEncode(const std::wstring& text) {
    static const wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring out;
    for (unsigned char c : WideToUtf8(text)) {
        if (IsUrlUnreserved(c)) {
            out += static_cast<wchar_t>(c);
        } else {
            out += L'%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}

std::wstring FromUtf8(const char* text) {
    return text ? Utf8ToWide(std::string(text)) : std::wstring();
}

void Fill(XmlNode& node, const TiXmlElement& element) {
    node.name = FromUtf8(element.Value());
    for (const TiXmlAttribute* a = element.FirstAttribute(); a; a = a->Next())
        node.attributes[FromUtf8(a->Name())] = FromUtf8(a->Value());
    for (const TiXmlElement* child = element.FirstChildElement(); child;
         child = child->NextSiblingElement()) {
        const TiXmlNode* first = child->FirstChild();
        if (first && first->ToText()) {
            node.AddValue(FromUtf8(child->Value()), FromUtf8(first->Value()));
        } else {
            Fill(node.AddChild(std::wstring()), *child);
        }
    }
}

}  // namespace

void XmlNode::Clear() {
    name.clear();
    attributes.clear();
    values.clear();
    children.clear();
}

std::wstring XmlNode::GetValue(const std::wstring& key) const {
    for (const auto& value : values) {
        if (CompareNoCaseAscii(value.first, key) == 0)
            return value.second;
    }
    return std::wstring();
}

void XmlNode::AddValue(const std::wstring& key, const std::wstring& text) {
    values.emplace_back(key, text);
}

XmlNode& XmlNode::AddChild(const std::wstring& childName) {
    children.emplace_back(childName);
    return children.back();
}

std::wstring XmlNode::ToXml() const {
    const std::wstring tag = Escape(name, false);
    std::wstring out = L"<" + tag;
    for (const auto& attribute : attributes)
        out += L" " + Escape(attribute.first, false) + L"=\"" + Escape(attribute.second, true) + L"\"";
    out += L">";
    for (const auto& value : values) {
        const std::wstring key = Escape(value.first, false);
        out += L"<" + key + L">" + Escape(value.second, false) + L"</" + key + L">";
    }
    for (const auto& child : children)
        out += child.ToXml();
    out += L"</" + tag + L">";
    return out;
}

std::wstring XmlNode::ToDocument() const {
    return L"<?xml version=\"1.0\" encoding=\"utf-8\" ?>" + ToXml();
}

std::wstring XmlNode::ToQueryString(wchar_t separator, wchar_t assign) const {
    std::wstring out;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            out += separator;
        out += PercentEncode(values[i].first);
        out += assign;
        out += PercentEncode(values[i].second);
    }
    return out;
}

HRESULT XmlNode::Parse(const std::wstring& text) {
    const std::string utf8 = WideToUtf8(text);
    TiXmlDocument document;
    // The bytes are UTF-8 whatever the declaration says: they were converted
    // from our own wide text. Telling TinyXML so keeps character references
    // above U+007F intact.
    document.Parse(utf8.c_str(), nullptr, TIXML_ENCODING_UTF8);
    if (document.Error())
        return E_FAIL;
    const TiXmlElement* root = document.FirstChildElement();
    if (!root)
        return E_FAIL;
    Fill(*this, *root);
    return S_OK;
}
