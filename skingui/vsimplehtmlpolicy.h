#pragma once
// Parsing policy of the markup controls: the same scanner for both page kinds.
#include <QString>

#include "skingui/markupparser.h"

namespace SKINGUI {

template <class Page>
class VSimpleHTMLPolicy {
public:
    static void Parse(MarkupSink& sink, const QString& text) { MarkupParser(sink).Parse(text); }
};

}  // namespace SKINGUI
