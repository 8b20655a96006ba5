#pragma once
// Header of the task list: flat items in a background colour with markup
// captions that may hold icons and links.
#include "skingui/headerctrlbase.h"

namespace SKINGUI {

class CSkinHeaderCtrlEx : public CHeaderCtrlBase {
    Q_OBJECT
public:
    explicit CSkinHeaderCtrlEx(QWidget* parent = nullptr);
    ~CSkinHeaderCtrlEx() override;

    void SetBkColor(ColorRef color);
    ColorRef BkColor() const { return bkColor_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ColorRef bkColor_ = 0xFFFFFF;
};

}  // namespace SKINGUI
