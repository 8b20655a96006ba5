#include "core/remotestorage/remotestorage/xmlnode.h"

#include <tinyxml.h>

#include <cstring>

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

// Values the service hands out (stubs, ids) go back exactly as given; only
// bytes that cannot stand in a URL at all are encoded.
bool MustPercentEncode(unsigned char c) {
    return c <= 0x20 || c == 0x7F || c >= 0x80 || c == '#';
}

std::wstring PercentEncode(const std::wstring& text) {
    const std::string encoded = PercentEscape(WideToUtf8(text), MustPercentEncode);
    return std::wstring(encoded.begin(), encoded.end());
}

// TinyXML parses (and frees) nested elements recursively, so a reply nested
// deeply enough overflows the stack. Messages nest a few levels; refuse
// anything past this before TinyXML sees it.
constexpr int kMaxNesting = 256;
// TinyXML compares each attribute with all earlier ones of its element, so an
// element with very many of them keeps the thread busy for minutes. Messages
// carry a handful.
constexpr size_t kMaxAttributes = 256;

// Skips to just past the terminator; false when the text ends first.
bool SkipPast(const std::string& text, size_t& pos, const char* terminator) {
    size_t end = text.find(terminator, pos);
    if (end == std::string::npos)
        return false;
    pos = end + std::strlen(terminator);
    return true;
}

bool IsNameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || (c & 0x80) != 0;
}

// False when elements open deeper than kMaxNesting, an element has more than
// kMaxAttributes attributes, or a markup construct has no end. Markup is cut
// where TinyXML cuts it, so the scan never sees fewer open elements than the
// parser will; anything it cannot follow is refused.
bool MarkupWithinLimits(const std::string& text) {
    int depth = 0;
    size_t pos = 0;
    while ((pos = text.find('<', pos)) != std::string::npos) {
        if (text.compare(pos, 4, "<!--") == 0) {
            if (!SkipPast(text, pos, "-->"))
                return false;
        } else if (text.compare(pos, 9, "<![CDATA[") == 0) {
            if (!SkipPast(text, pos, "]]>"))
                return false;
        } else if (text.compare(pos, 2, "</") == 0) {
            if (depth > 0)
                --depth;
            if (!SkipPast(text, pos, ">"))
                return false;
        } else if (pos + 1 < text.size() && IsNameStart(text[pos + 1])) {
            // An opening tag: find its end outside quoted attribute values.
            char quote = 0;
            size_t attributes = 0;
            size_t i = pos + 1;
            for (; i < text.size(); ++i) {
                char c = text[i];
                if (quote) {
                    if (c == quote)
                        quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '=') {
                    if (++attributes > kMaxAttributes)
                        return false;
                } else if (c == '>') {
                    break;
                }
            }
            if (i >= text.size())
                return false;
            if (text[i - 1] != '/' && ++depth > kMaxNesting)
                return false;
            pos = i + 1;
        } else {
            // "<?", "<!" and anything else TinyXML takes as a declaration or
            // unknown markup, which ends at the first ">". Only a declaration's
            // quoted values could make the parser read past it: refuse those.
            const size_t end = text.find('>', pos);
            if (end == std::string::npos)
                return false;
            if (text[pos + 1] == '?') {
                char quote = 0;
                for (size_t i = pos + 2; i < end; ++i) {
                    if (quote) {
                        quote = text[i] == quote ? 0 : quote;
                    } else if (text[i] == '"' || text[i] == '\'') {
                        quote = text[i];
                    }
                }
                if (quote)
                    return false;
            }
            pos = end + 1;
        }
    }
    return true;
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
    if (text.size() > kMaxReplyBytes)
        return E_FAIL;
    const std::string utf8 = WideToUtf8(text);
    if (utf8.size() > kMaxReplyBytes || !MarkupWithinLimits(utf8))
        return E_FAIL;
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
