#pragma once
// The status band at the bottom of the main window, with its size grip.
#include <QWidget>

#include "skingui/skinctlcolor.h"
#include "ui/mainwindowpanes.h"

namespace SKINGUI {
class CSkinStatic;
}

class CBottomWindow : public QWidget, public IBottomWindow, public SKINGUI::ISkinCtlColor {
    Q_OBJECT
public:
    static constexpr int kHeight = 30;

    explicit CBottomWindow(QWidget* parent = nullptr);
    // Program-made markup.
    void SetStatusText(const QString& markup);
    SKINGUI::CSkinStatic* Status() const { return status_; }
    bool CtlColorStatic(QWidget* control, SKINGUI::ColorRef* background) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    SKINGUI::CSkinStatic* status_ = nullptr;
};
