#include "ui/mainwindow/hotkey.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
// After Qt: Xlib's macros would clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

namespace {

class CNoHotKey final : public IHotKey {
public:
    bool Register(std::function<void()>) override { return false; }
    void Unregister() override {}
};

// The grab on the root window, once per state of Caps Lock and Num Lock so
// that the key works whichever of them is on.
class CX11HotKey final : public IHotKey, public QAbstractNativeEventFilter {
public:
    explicit CX11HotKey(QNativeInterface::QX11Application* x11) : x11_(x11) {}
    ~CX11HotKey() override { Unregister(); }

    bool Register(std::function<void()> pressed) override {
        if (registered_)
            return true;
        Display* display = x11_->display();
        xcb_connection_t* connection = x11_->connection();
        if (!display || !connection)
            return false;
        keycode_ = XKeysymToKeycode(display, XK_k);
        if (keycode_ == 0)
            return false;
        root_ = DefaultRootWindow(display);
        bool ok = true;
        for (uint16_t extra : kLockStates) {
            xcb_void_cookie_t cookie = xcb_grab_key_checked(
                connection, 1, root_, kModifiers | extra, keycode_, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
            if (xcb_generic_error_t* error = xcb_request_check(connection, cookie)) {
                free(error);
                ok = false;
            }
        }
        if (!ok) {
            Ungrab();
            return false;
        }
        pressed_ = std::move(pressed);
        QCoreApplication::instance()->installNativeEventFilter(this);
        registered_ = true;
        return true;
    }

    void Unregister() override {
        if (!registered_)
            return;
        registered_ = false;
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(this);
        Ungrab();
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t")
            return false;
        auto* event = static_cast<xcb_generic_event_t*>(message);
        if ((event->response_type & ~0x80) != XCB_KEY_PRESS)
            return false;
        auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
        const uint16_t significant =
            XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;
        if (key->detail != keycode_ || (key->state & significant) != kModifiers)
            return false;
        if (pressed_)
            pressed_();
        return true;
    }

private:
    static constexpr uint16_t kModifiers = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
    static constexpr uint16_t kLockStates[4] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                                XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};

    void Ungrab() {
        if (xcb_connection_t* connection = x11_->connection()) {
            for (uint16_t extra : kLockStates)
                xcb_ungrab_key(connection, keycode_, root_, kModifiers | extra);
            xcb_flush(connection);
        }
    }

    QNativeInterface::QX11Application* x11_;
    std::function<void()> pressed_;
    xcb_keycode_t keycode_ = 0;
    xcb_window_t root_ = 0;
    bool registered_ = false;
};

}  // namespace

std::unique_ptr<IHotKey> MakeHotKey() {
    auto* app = qGuiApp;
    if (app && QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>())
            return std::make_unique<CX11HotKey>(x11);
    }
    return std::make_unique<CNoHotKey>();
}
