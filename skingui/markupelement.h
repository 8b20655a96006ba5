#pragma once
// Element records that parsing markup builds and the page lays out.
#include <QString>
#include <cstdint>

namespace SKINGUI {

enum ElementKind {
    kElementText = 1,   // a run of characters
    kElementImage = 2,  // one cell of a registered image list
};

// Presence mask of a text element: which attributes the markup gave.
enum ElementPresence : uint32_t {
    kHasSize = 1,
    kHasColor = 2,
    kHasBold = 4,
    kHasItalic = 8,
    kHasUnderline = 16,
    kHasSpare = 32,
    kHasFace = 64,
    kHasFourth = 128,
};

// Style bits of a text element.
enum ElementStyle : uint32_t {
    kStyleBold = 1,
    kStyleItalic = 2,
    kStyleUnderline = 4,
    kStyleFourth = 8,
};

// Longest face name and image list name kept (the old fixed 32-unit fields).
constexpr int kMaxFixedName = 31;

struct MarkupElement {
    int kind = kElementText;
    // Text elements.
    uint32_t mask = 0;
    int size = 0;        // points
    uint32_t color = 0;  // 0x00BBGGRR
    uint32_t style = 0;
    int spare = 0;
    QString face;
    QString text;
    // Image elements.
    int width = 0;
    int height = 0;
    QString srcid;
    int index = 0;
    int notDrawn = 0;  // non-zero: skipped when drawing

    bool Has(uint32_t bit) const { return (mask & bit) != 0; }
};

// Kinds of the action records that tags with a name leave on their element.
enum ActionKind {
    kActionNamed = 0,       // a font or img tag with a name
    kActionLink = 0x10000,  // an a tag: clicking reports its name
};

}  // namespace SKINGUI
