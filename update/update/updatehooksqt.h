#pragma once
// The updater's way to the desktop: message boxes on the GUI thread and
// detached program starts. The balloon goes through the caller's tray.
#include "update/update/update.h"

UpdateHooks MakeDesktopUpdateHooks(std::function<void(const std::wstring& text, const std::wstring& title,
                                                      uint32_t iconFlags, uint32_t timeoutMs)>
                                       showBalloon);
