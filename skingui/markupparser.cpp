#include "skingui/markupparser.h"

#include <cstdint>
#include <functional>

#include "skingui/colorref.h"
#include "skingui/markupelement.h"

namespace SKINGUI {

namespace {

constexpr int64_t kLongMax = 0x7FFFFFFF;
constexpr int64_t kLongMin = -kLongMax - 1;

bool IsSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

int HexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    return -1;
}

// wcstol on a 32-bit long: leading blanks, sign, digits; saturates on overflow.
int64_t StrToLong(const QString& s, int base) {
    int i = 0;
    while (i < s.size() && IsSpace(s[i])) {
        ++i;
    }
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        negative = s[i] == u'-';
        ++i;
    }
    if (base == 16 && i + 1 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X') &&
        i + 2 < s.size() && HexDigit(s[i + 2]) >= 0) {
        i += 2;
    }
    int64_t value = 0;
    bool overflow = false;
    for (; i < s.size(); ++i) {
        const int d = HexDigit(s[i]);
        if (d < 0 || d >= base) {
            break;
        }
        value = value * base + d;
        if (value > kLongMax + 1) {
            overflow = true;
            value = kLongMax + 1;
        }
    }
    if (negative) {
        value = -value;
    }
    if (overflow || value > kLongMax || value < kLongMin) {
        return negative ? kLongMin : kLongMax;
    }
    return value;
}

// Walks a tag's attribute list, handing each name and the position of its value.
void ForEachAttribute(const QString& attrs,
                      const std::function<void(const QString& name, int* pos)>& onValue) {
    int pos = 0;
    while (pos >= 0) {
        while (pos < attrs.size() && attrs[pos] == u' ') {
            ++pos;
        }
        if (pos >= attrs.size()) {
            return;
        }
        const int eq = attrs.indexOf(u'=', pos);
        if (eq < 0) {
            return;
        }
        // Blanks before "=" stay part of the name, which then matches nothing.
        const QString name = attrs.mid(pos, eq - pos);
        pos = eq;
        onValue(name, &pos);
    }
}

// A tag followed by a text run (font, a): its attributes up to ">", then the run
// up to the next tag. Returns the position of the last character consumed.
int ParseRunTag(const QString& text, int pos,
                const std::function<void(const QString& attrs, const QString& name, int* pos)>& onAttr,
                const std::function<void(const QString& run)>& addRun) {
    const int blank = text.indexOf(u' ', pos);
    const int close = text.indexOf(u'>', pos);
    if (blank < 0 || close < 0) {
        return int(text.size());
    }
    const QString attrs = text.mid(blank + 1, close - blank - 1);
    ForEachAttribute(attrs, [&](const QString& name, int* at) { onAttr(attrs, name, at); });
    const int runEnd = text.indexOf(u'<', close + 1);
    addRun(text.mid(close + 1, runEnd < 0 ? -1 : runEnd - close - 1));
    if (runEnd < 0) {
        return int(text.size());
    }
    // Whatever tag ended the run is consumed as the closing tag.
    const int tagEnd = text.indexOf(u'>', runEnd);
    return tagEnd < 0 ? int(text.size()) : tagEnd;
}

}  // namespace

void MarkupParser::Parse(const QString& text) {
    int pos = 0;
    while (pos < text.size()) {
        int last;
        if (text[pos] != u'<') {
            last = ParseText(text, pos);
        } else {
            const int blank = text.indexOf(u' ', pos);
            const QString name = blank < 0 ? text.mid(pos + 1) : text.mid(pos + 1, blank - pos - 1);
            if (name == u"font") {
                last = ParseFont(text, pos);
            } else if (name == u"img") {
                last = ParseImg(text, pos);
            } else if (name == u"a") {
                last = ParseLink(text, pos);
            } else {
                last = pos;  // not a tag of ours: only the "<" goes
            }
        }
        pos = last + 1;
    }
}

int MarkupParser::ParseText(const QString& text, int pos) {
    int end = text.indexOf(u'<', pos);
    if (end < 0) {
        end = int(text.size());
    }
    sink_.AddTextRun(text.mid(pos, end - pos), uint32_t(kNotSet), kNotSet, kNotSet, kNotSet, kNotSet, kNotSet,
                     kNotSet, nullptr);
    return end - 1;
}

int MarkupParser::ParseFont(const QString& text, int pos) {
    QString name;
    int color = kNotSet, size = kNotSet, bold = kNotSet, italic = kNotSet, underline = kNotSet;
    return ParseRunTag(
        text, pos,
        [&](const QString& attrs, const QString& attr, int* at) {
            if (attr == u"name") {
                name = GetStringAttr(attrs, at);
            } else if (attr == u"color") {
                color = GetIntAttr(attrs, at);
            } else if (attr == u"size") {
                size = GetIntAttr(attrs, at);
            } else if (attr == u"bold") {
                bold = GetIntAttr(attrs, at);
            } else if (attr == u"italic") {
                italic = GetIntAttr(attrs, at);
            } else if (attr == u"underline") {
                underline = GetIntAttr(attrs, at);
            } else {
                GetStringAttr(attrs, at);
            }
        },
        [&](const QString& run) {
            const int element = sink_.AddTextRun(run, uint32_t(color), size, bold, italic, underline, kNotSet,
                                                 kNotSet, nullptr);
            if (!name.isEmpty()) {
                sink_.SetElementAction(element, kActionNamed, name);
            }
        });
}

int MarkupParser::ParseLink(const QString& text, int pos) {
    QString name;
    return ParseRunTag(
        text, pos,
        [&](const QString& attrs, const QString& attr, int* at) {
            if (attr == u"name") {
                name = GetStringAttr(attrs, at);
            } else {
                GetStringAttr(attrs, at);
            }
        },
        [&](const QString& run) {
            const int element = sink_.AddTextRun(run, 0xFF0000, kNotSet, kNotSet, kNotSet, kNotSet, kNotSet,
                                                 kNotSet, nullptr);
            sink_.SetElementAction(element, kActionLink, name);
        });
}

int MarkupParser::ParseImg(const QString& text, int pos) {
    const int blank = text.indexOf(u' ', pos);
    const int close = text.indexOf(u"/>", pos);
    if (blank < 0 || close < 0 || close < blank) {
        return int(text.size());
    }
    const QString attrs = text.mid(blank + 1, close - blank - 1);
    QString name, srcid;
    int index = -1;
    ForEachAttribute(attrs, [&](const QString& attr, int* at) {
        if (attr == u"name") {
            name = GetStringAttr(attrs, at);
        } else if (attr == u"srcid") {
            srcid = GetStringAttr(attrs, at);
        } else if (attr == u"index") {
            index = GetIntAttr(attrs, at);
        } else {
            GetStringAttr(attrs, at);
        }
    });
    bool add = true;
    if (index == -1) {
        QString target;
        add = sink_.LookupImageAlias(srcid, &target, &index);
        srcid = target;
    }
    if (add) {
        const int element = sink_.AddImage(srcid, index, kNotSet, kNotSet);
        if (element >= 0 && !name.isEmpty()) {
            sink_.SetElementAction(element, kActionNamed, name);
        }
    }
    return close + 1;
}

QString MarkupParser::GetStringAttr(const QString& attrs, int* pos) {
    const int open = attrs.indexOf(u'\'', *pos);
    const int close = open < 0 ? -1 : attrs.indexOf(u'\'', open + 1);
    if (close < 0) {
        *pos = -1;
        return QString();
    }
    *pos = close + 1;
    return attrs.mid(open + 1, close - open - 1);
}

int MarkupParser::GetIntAttr(const QString& attrs, int* pos) {
    const QString value = GetStringAttr(attrs, pos);
    if (*pos < 0) {
        return -1;
    }
    return ParseIntValue(value);
}

int MarkupParser::ParseIntValue(const QString& value) {
    if (value.contains(u"0x")) {
        const uint32_t rgb = uint32_t(int32_t(StrToLong(value, 16)));
        return int32_t(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
    }
    return int32_t(StrToLong(value, 10));
}

}  // namespace SKINGUI
