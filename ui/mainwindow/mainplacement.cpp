#include "ui/mainwindow/mainplacement.h"

#include <QString>
#include <QStringList>
#include <algorithm>

#include "base/utility/formatstring.h"

QRect DefaultPlacement(const QRect& workArea) {
    const int cx = workArea.width();
    const int cy = workArea.height();
    QSize size;
    if (cx >= 1025)
        size = QSize(1000, 700);
    else if (cx >= 801)
        size = QSize(900, 600);
    else
        size = QSize(cx * 8 / 10, cy * 7 / 10);
    return QRect(QPoint(workArea.left() + (cx - size.width()) / 2, workArea.top() + (cy - size.height()) / 2),
                 size);
}

std::wstring FormatPlacement(const QRect& rect) {
    std::wstring text;
    return FormatString(text, L"%d|%d|%d|%d", rect.left(), rect.top(), rect.width(), rect.height());
}

bool ParsePlacement(const std::wstring& text, QRect* rect) {
    const QStringList parts = QString::fromStdWString(text).split('|');
    if (parts.size() < 4)
        return false;
    int values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return false;
    }
    if (values[2] <= 0 || values[3] <= 0)
        return false;
    *rect = QRect(values[0], values[1], values[2], values[3]);
    return true;
}

QRect ClampOntoScreens(const QRect& rect, const std::vector<QRect>& screens) {
    if (screens.empty())
        return rect;
    const QRect* best = &screens.front();
    long long bestArea = 0;
    for (const QRect& screen : screens) {
        const QRect common = screen.intersected(rect);
        const long long area = common.isEmpty() ? 0 : 1LL * common.width() * common.height();
        if (area > bestArea) {
            bestArea = area;
            best = &screen;
        }
    }
    QRect out = rect;
    out.setWidth(std::min(rect.width(), best->width()));
    out.setHeight(std::min(rect.height(), best->height()));
    out.moveLeft(std::clamp(out.left(), best->left(), best->right() + 1 - out.width()));
    out.moveTop(std::clamp(out.top(), best->top(), best->bottom() + 1 - out.height()));
    return out;
}
