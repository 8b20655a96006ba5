#pragma once
// The "k=v&k=v" field text of a multipart upload, turned into text parts.
#include <string>
#include <utility>
#include <vector>

// One text part of the form: name and contents, UTF-8 as they go on the wire.
struct FormField {
    std::string name;
    std::string contents;
};

// Splits the field text into (key, percent-decoded value) pairs in text order.
// A key runs up to the next '=', its value up to the next '&'; a trailing piece
// without '=' names no value and is dropped.
std::vector<FormField> DecodeFormFields(const std::wstring& text);

// "%XY" becomes that byte; a '%' without two hex digits becomes '?' and takes
// up to two following characters with it (never past the end); '+' stays.
std::string PercentDecode(const std::string& text);
