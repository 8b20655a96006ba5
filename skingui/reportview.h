#pragma once
// What the explorer's file list and the task list do alike to their tree views:
// they behave as flat report lists with whole-row selection and may wear a thin
// coloured border.
#include <QTreeView>

#include "skingui/colorref.h"

namespace SKINGUI {

// Flat rows, no expand decoration, whole rows selected, several at a time.
void SetUpReportView(QTreeView& view);
// A 1-pixel box frame in the given colour, or no frame when border is false.
void ApplyReportBorder(QTreeView& view, bool border, ColorRef color);

}  // namespace SKINGUI
