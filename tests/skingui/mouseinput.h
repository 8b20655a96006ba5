#pragma once
// Synthetic mouse input delivered straight to a widget, so tests do not depend
// on the window system placing or focusing anything; pixel checks, solid image
// lists, a font-free measurer for layout and parents that show what their children paint.
#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QWidget>
#include <memory>

#include "skingui/skinimagelist.h"
#include "skingui/textmeasurer.h"

namespace skingui_test {

inline void SendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
                      Qt::MouseButtons buttons = Qt::NoButton) {
    const QPointF local(pos);
    const QPointF global(w->mapToGlobal(pos));
    QMouseEvent ev(type, local, local, global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &ev);
}

inline void Move(QWidget* w, QPoint pos, Qt::MouseButtons buttons = Qt::NoButton) {
    SendMouse(w, QEvent::MouseMove, pos, Qt::NoButton, buttons);
}
inline void Press(QWidget* w, QPoint pos) {
    SendMouse(w, QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton);
}
inline void Release(QWidget* w, QPoint pos) {
    SendMouse(w, QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton);
}
inline void Click(QWidget* w, QPoint pos) {
    Press(w, pos);
    Release(w, pos);
}
inline void Leave(QWidget* w) {
    QEvent ev(QEvent::Leave);
    QApplication::sendEvent(w, &ev);
}
inline QRgb Rgb(uint32_t colorRef) {
    return qRgb(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}
// The widget's pixels as 32-bit RGB, ready for pixel checks.
inline QImage Grab(QWidget* w) {
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// How many pixels inside `area` pass `test`.
template <class Test>
int CountPixels(const QImage& image, const QRect& area, Test test) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            n += test(image.pixel(x, y)) ? 1 : 0;
    }
    return n;
}
inline bool IsDark(QRgb p) {
    return qGray(p) < 60;
}

// An image list of `cells` cells filled with one colour.
inline std::shared_ptr<SKINGUI::SkinImageList> SolidList(QSize size, QColor color, int cells = 1) {
    auto list = std::make_shared<SKINGUI::SkinImageList>(size);
    for (int i = 0; i < cells; ++i) {
        QPixmap cell(size);
        cell.fill(color);
        list->Add(cell);
    }
    return list;
}

// 10 pixels per UTF-16 unit, 14 high: layout without fonts.
class FakeMeasurer : public SKINGUI::ITextMeasurer {
public:
    QSize Measure(const QFont&, const QString& text) const override {
        return QSize(10 * int(text.size()), 14);
    }
};

// A parent filled red, so whatever its children leave unpainted shows red.
class RedParent : public QWidget {
public:
    RedParent(int width, int height) {
        QPalette palette;
        palette.setColor(QPalette::Window, Qt::red);
        setPalette(palette);
        setAutoFillBackground(true);
        resize(width, height);
    }
};

// A parent that records what it was asked to repaint.
class RecordingParent : public QWidget {
public:
    QRegion painted;

protected:
    void paintEvent(QPaintEvent* event) override { painted += event->region(); }
};

}  // namespace skingui_test
