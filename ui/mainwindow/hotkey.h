#pragma once
// The global hot key that brings the main window back (Ctrl+Alt+K). Only an
// X11 display lets a program grab a key for the whole desktop; under Wayland
// and offscreen there is none and Register says so.
#include <functional>
#include <memory>

class IHotKey {
public:
    virtual ~IHotKey() = default;
    // False when the key cannot be grabbed here.
    virtual bool Register(std::function<void()> pressed) = 0;
    virtual void Unregister() = 0;
};

// The X11 grab on an X11 display, else a hot key that never registers.
std::unique_ptr<IHotKey> MakeHotKey();
