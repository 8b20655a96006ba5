#pragma once
// Opens a local file with the program the desktop associates with it. The
// core stays free of the toolkit: the UI passes an opener built on its desktop
// services, tests a fake. The desktop hands the file over and returns at once
// (editors are often single-instance), so there is no editor process to wait
// for; the open-for-edit watch judges the end of editing from the file alone.
#include <functional>
#include <string>

// True when the file was handed to a program.
using FileOpener = std::function<bool(const std::wstring& localPath)>;

// The opener used when none is given: xdg-open, started detached.
bool OpenWithDesktop(const std::wstring& localPath);
