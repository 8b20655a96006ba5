#include "ui/textcut.h"

QString CutText(const QString& text, int maxUnits) {
    if (maxUnits <= 0)
        return QString();
    if (text.size() <= maxUnits)
        return text;
    QString cut = text.left(maxUnits);
    if (cut.back().isHighSurrogate())
        cut.chop(1);
    return cut;
}
