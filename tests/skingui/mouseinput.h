#pragma once
// Synthetic mouse input delivered straight to a widget, so tests do not depend
// on the window system placing or focusing anything.
#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

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
inline void Wheel(QWidget* w, QPoint pos, int delta) {
    const QPointF local(pos);
    QWheelEvent ev(local, QPointF(w->mapToGlobal(pos)), QPoint(), QPoint(0, delta), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &ev);
}
inline QRgb Rgb(uint32_t colorRef) {
    return qRgb(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}
// The widget's pixels as 32-bit RGB, ready for pixel checks.
inline QImage Grab(QWidget* w) {
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace skingui_test
