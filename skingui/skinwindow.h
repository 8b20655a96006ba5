#pragma once
// Window base of every skinned control: a child widget that paints itself.
#include <QWidget>

namespace SKINGUI {

// Repaints the part of the parent under `widget`; the controls that draw over
// their parent's background use it so the background is drawn first. Nothing
// happens without a parent.
void InvalidateInParent(QWidget* widget);

class CSkinWindow : public QWidget {
    Q_OBJECT
public:
    explicit CSkinWindow(QWidget* parent = nullptr);
    ~CSkinWindow() override;

    virtual void InvalidateInParent();
};

}  // namespace SKINGUI
