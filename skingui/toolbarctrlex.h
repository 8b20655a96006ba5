#pragma once
// The explorer's command bar: buttons with an icon over a caption on a gradient,
// each icon taken from the normal, hot or disabled list by the button's state.
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

#include "skingui/skinimagelist.h"
#include "skingui/toolbarlayout.h"

namespace SKINGUI {

class CToolBarCtrlEx : public QWidget {
    Q_OBJECT
public:
    // State words of a button as the skin reports them.
    enum ButtonStateWord {
        kStateDisabled = 0,  // greyed, never hot or pressed
        kStateNormal = 4,    // enabled, pointer elsewhere
        kStateHot = 5,       // enabled, pointer over it
        kStatePressed = 3,   // mouse button held down on it
    };

    explicit CToolBarCtrlEx(QWidget* parent = nullptr);
    ~CToolBarCtrlEx() override;

    void SetImageList(std::shared_ptr<SkinImageList> list);
    void SetHotImageList(std::shared_ptr<SkinImageList> list);
    void SetDisabledImageList(std::shared_ptr<SkinImageList> list);
    // Drawn at the left edge of every button; a null pixmap removes it.
    void SetDividerBitmap(const QPixmap& bitmap);

    // Appends a button; its index is returned.
    int AddButton(int commandId, int image, const QString& text);
    int AddSeparator();
    int ButtonCount() const { return int(buttons_.size()); }

    void EnableButton(int commandId, bool enabled);
    bool IsButtonEnabled(int commandId) const;
    void HideButton(int commandId, bool hidden);
    bool IsButtonHidden(int commandId) const;
    void SetButtonText(int commandId, const QString& text);
    // Fixes the size of every button; an empty size goes back to fitting icon and caption.
    void SetButtonSize(QSize size);
    QSize ButtonSize() const;

    // Rectangle of the button in toolbar coordinates (menus open under it); empty when hidden or unknown.
    QRect ButtonRect(int commandId) const;
    // Index of the button under the point; -1 over a separator or nothing.
    int HitTest(QPoint point) const;
    int ButtonState(int commandId) const;

    QSize sizeHint() const override;

signals:
    // A button was pressed and released over itself while enabled.
    void commandTriggered(int commandId);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Button {
        int commandId = 0;
        int image = -1;
        QString text;
        bool separator = false;
        bool enabled = true;
        bool hidden = false;
    };

    int IndexOf(int commandId) const;
    void Relayout();
    void SetHot(int index);
    void UpdateButton(int index);

    std::vector<Button> buttons_;
    ToolBarLayout layout_;
    std::shared_ptr<SkinImageList> normal_;
    std::shared_ptr<SkinImageList> hot_;
    std::shared_ptr<SkinImageList> disabled_;
    QPixmap divider_;
    QSize fixedButtonSize_;
    int hotIndex_ = -1;      // enabled button under the pointer; -1 when none
    int pressedIndex_ = -1;  // button the mouse went down on; -1 when none
};

}  // namespace SKINGUI
