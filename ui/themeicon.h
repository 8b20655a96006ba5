#pragma once
// Icons from the desktop's freedesktop icon theme, so the program looks at home;
// Breeze stands in when the platform names no theme (offscreen, bare X).
#include <QIcon>
#include <QStyle>
#include <QString>

// The theme's icon of that name, else the style's standard icon.
QIcon ThemeIcon(const QString& name, QStyle::StandardPixmap fallback);
