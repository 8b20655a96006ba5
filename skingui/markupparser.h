#pragma once
// Scanner of the caption markup: plain text with font, a and img tags. There is
// no escape character, so text from users or the service must never come through
// here (see VFormatControl::AddPlainText and AddLink). Works on UTF-16 positions.
#include <QString>

#include "skingui/markupsink.h"

namespace SKINGUI {

class MarkupParser {
public:
    explicit MarkupParser(MarkupSink& sink) : sink_(sink) {}

    void Parse(const QString& text);

    // Each handler gets the position where its construct starts and returns the
    // position of the last character it consumed (text length: parsing ends).
    int ParseText(const QString& text, int pos);
    int ParseFont(const QString& text, int pos);
    int ParseLink(const QString& text, int pos);
    int ParseImg(const QString& text, int pos);

    // Read the quoted value after the "=" at or after *pos in an attribute list.
    // On a missing quote the value is -1 (empty) and *pos becomes -1: the list ends.
    static int GetIntAttr(const QString& attrs, int* pos);
    static QString GetStringAttr(const QString& attrs, int* pos);
    // Integer value text: hex (anything containing "0x") read as 0xRRGGBB and
    // turned into 0x00BBGGRR, else a decimal number as wcstol reads it.
    static int ParseIntValue(const QString& value);

private:
    MarkupSink& sink_;
};

}  // namespace SKINGUI
