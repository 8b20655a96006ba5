#pragma once
// A flat button painted with gradients of one face colour.
#include <QAbstractButton>

#include "skingui/colorref.h"

namespace SKINGUI {

class CSkinColorButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CSkinColorButton(QWidget* parent = nullptr, const QString& text = QString());
    ~CSkinColorButton() override;

    void SetTextColor(ColorRef color);
    ColorRef TextColor() const { return textColor_; }
    void SetBorderColor(ColorRef color);
    ColorRef BorderColor() const { return borderColor_; }
    void SetFaceColor(ColorRef color);
    ColorRef FaceColor() const { return faceColor_; }
    void SetOutlineColor(ColorRef color);
    ColorRef OutlineColor() const { return outlineColor_; }
    bool IsHot() const { return hot_; }
    void SetControlId(int id) { controlId_ = id; }
    int ControlId() const { return controlId_; }

    QSize sizeHint() const override;

signals:
    // One per click (BN_CLICKED).
    void bnClicked(int controlId);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void DrawFocusRect(QPainter& painter, const QRect& rect) const;

    ColorRef textColor_ = 0x000000;
    ColorRef borderColor_ = 0x808080;
    ColorRef faceColor_ = 0x4080FF;
    ColorRef outlineColor_ = 0xC0C0C0;
    // Reported with every click.
    int controlId_ = 0;
    // True while the pointer is over the button.
    bool hot_ = false;
};

}  // namespace SKINGUI
