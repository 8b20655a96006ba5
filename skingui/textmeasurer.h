#pragma once
// How a page measures text; layout tests swap in a measurer that needs no fonts.
#include <QFont>
#include <QSize>
#include <QString>

namespace SKINGUI {

class ITextMeasurer {
public:
    virtual ~ITextMeasurer() = default;
    // Width and height of `text` drawn on one line in `font`.
    virtual QSize Measure(const QFont& font, const QString& text) const = 0;
};

// Measures with the font's metrics.
class FontTextMeasurer : public ITextMeasurer {
public:
    QSize Measure(const QFont& font, const QString& text) const override;
};

}  // namespace SKINGUI
