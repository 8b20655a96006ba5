#pragma once
// Where the main window stands: the default size for the screen, the stored
// "_MainWndPos" value ("left|top|width|height") and keeping it on a screen.
#include <QRect>
#include <QSize>
#include <string>
#include <vector>

// Width 1025 or more gives 1000 x 700, 801 to 1024 gives 900 x 600, narrower
// 80 % by 70 %; centred in the work area.
QRect DefaultPlacement(const QRect& workArea);
std::wstring FormatPlacement(const QRect& rect);
// False unless the text holds four numbers with a positive width and height.
bool ParsePlacement(const std::wstring& text, QRect* rect);
// A stored rectangle moved (and shrunk when needed) onto the screen it
// overlaps most, or onto the first screen when it overlaps none.
QRect ClampOntoScreens(const QRect& rect, const std::vector<QRect>& screens);
