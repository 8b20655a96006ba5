#pragma once
// Length limits of texts handed to fixed-size fields (tray tips, balloons,
// progress lines), counted in UTF-16 units as the fields count them.
#include <QString>

// The first maxUnits units of the text; a character whose two units would be
// split is left out whole.
QString CutText(const QString& text, int maxUnits);
