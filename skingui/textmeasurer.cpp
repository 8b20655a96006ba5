#include "skingui/textmeasurer.h"

#include <QFontMetrics>

namespace SKINGUI {

QSize FontTextMeasurer::Measure(const QFont& font, const QString& text) const {
    const QFontMetrics metrics(font);
    return QSize(metrics.horizontalAdvance(text), metrics.height());
}

}  // namespace SKINGUI
