#pragma once
// The message tree of every request, reply and event payload: an element whose
// scalar fields are text-holding child elements and whose repeated records are
// child elements of their own.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/remotestorage/remotestorage/utf16order.h"
#include "platform/hresult.h"

// The largest reply the client reads (UTF-8 bytes): a listing of a million
// items is about 69 MB.
constexpr size_t kMaxReplyBytes = 128u << 20;

class XmlNode {
public:
    XmlNode() = default;
    explicit XmlNode(const std::wstring& nodeName) : name(nodeName) {}

    void Clear();

    // Text of the first value whose key matches, folding only ASCII letters;
    // "" when there is none.
    std::wstring GetValue(const std::wstring& key) const;
    void AddValue(const std::wstring& key, const std::wstring& text);
    // The reference stays valid until the children change again.
    XmlNode& AddChild(const std::wstring& childName);

    // The element as compact XML, never self-closing.
    std::wstring ToXml() const;
    // The request body: the declaration followed by ToXml().
    std::wstring ToDocument() const;
    // key<assign>text pairs joined by separator; keys and texts stand as given
    // except space, control bytes, "#" and bytes of 0x80 and above (UTF-8),
    // which are percent-encoded.
    std::wstring ToQueryString(wchar_t separator, wchar_t assign) const;

    // S_OK when the text is a well-formed document with a root element; the
    // root's name replaces ours and its fields are appended. E_FAIL leaves the
    // node as it was, also for texts past kMaxReplyBytes, nested too deeply or
    // with too many attributes on one element.
    HRESULT Parse(const std::wstring& text);

    std::wstring name;
    // Ordered by UTF-16 code units; one entry per attribute name.
    std::map<std::wstring, std::wstring, Utf16OrdinalLess> attributes;
    // (key, text) in insertion order; keys may repeat.
    std::vector<std::pair<std::wstring, std::wstring>> values;
    std::vector<XmlNode> children;
};
