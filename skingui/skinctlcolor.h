#pragma once
// A parent widget that gives its static texts a background colour implements
// this (the static asks once, when it is set up).
#include "skingui/colorref.h"

class QWidget;

namespace SKINGUI {

class ISkinCtlColor {
public:
    virtual ~ISkinCtlColor() = default;
    // Returns false when the parent has no colour for this control.
    virtual bool CtlColorStatic(QWidget* control, ColorRef* background) = 0;
};

}  // namespace SKINGUI
