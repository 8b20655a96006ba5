#pragma once
// The desktop session as the exit prompt and the main window use it: end it
// by logging off or powering off, and hold off a shut-down while transfers
// or watched files would be lost. The program's goes over D-Bus (logind and
// the desktop's session manager); tests hand a fake.
#include <memory>

class ISessionControl {
public:
    virtual ~ISessionControl() = default;
    // True when the request was accepted.
    virtual bool LogOff() = 0;
    virtual bool PowerOff() = 0;
    // Takes or releases a shut-down inhibitor; true when it now stands as asked.
    virtual bool SetShutdownInhibit(bool on) = 0;
};

std::unique_ptr<ISessionControl> MakeDBusSessionControl();
