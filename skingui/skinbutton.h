#pragma once
// Push button, check box or radio button whose caption is one line of markup,
// drawn over the parent's background; check boxes and radios draw their glyph.
#include <QAbstractButton>
#include <memory>

#include "skingui/skinimagelist.h"
#include "skingui/vformatcontrol.h"

namespace SKINGUI {

// Button types (the old BS_ numbers).
enum ButtonType {
    BS_PUSHBUTTON = 0,
    BS_DEFPUSHBUTTON = 1,
    BS_CHECKBOX = 2,
    BS_AUTOCHECKBOX = 3,
    BS_RADIOBUTTON = 4,
    BS_AUTORADIOBUTTON = 9,
    BS_OWNERDRAW = 0xB,
};

// Check states (BST_ values).
enum CheckState { BST_UNCHECKED = 0, BST_CHECKED = 1, BST_INDETERMINATE = 2 };

// Longest window text taken as a button caption.
constexpr int kMaxButtonText = 260;

class CSkinButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CSkinButton(QWidget* parent = nullptr, const QString& text = QString(),
                         int type = BS_PUSHBUTTON);
    ~CSkinButton() override;

    // Takes the window text (at most 260 units) as caption, centred both ways.
    void InitSubclassed();
    // Page = client size less the glyph; parses the markup. Returns 1.
    int SetCaption(const QString& text, uint32_t alignment = kAlignCenter, int startX = 0);
    SingleLineFormatControl& Caption() {
        UpdatePageSize();
        return caption_;
    }

    void SetType(int type);
    int Type() const { return type_; }
    bool IsRadio() const;
    bool IsCheckBox() const;
    // Radios with the same parent and group number exclude each other.
    void SetGroup(int group) { group_ = group; }
    int Group() const { return group_; }
    void SetControlId(int id) { controlId_ = id; }
    int ControlId() const { return controlId_; }

    int GetCheck() const { return checkState_; }
    // Sets the check state (0-2) and repaints; checking a radio unchecks the other
    // radios of its group. Returns 1.
    int SetCheck(int state);

    // Optional glyph images: only their width counts (glyph width = icon width + 4).
    void SetGlyphImageList(std::shared_ptr<SkinImageList> list);
    int GlyphWidth() const;
    bool IsHot() const { return hot_; }

    QSize sizeHint() const override;

signals:
    // One per click, after the check state was updated (BN_CLICKED).
    void bnClicked(int controlId);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void OnClicked();
    void UpdatePageSize();
    void DrawGlyph(QPainter& painter, const QRect& glyph, int state) const;

    // Low 4 bits: one of ButtonType.
    int type_ = BS_PUSHBUTTON;
    // Radios with the same parent and group number exclude each other.
    int group_ = 0;
    // Reported with every click.
    int controlId_ = 0;
    // BST_ value.
    int checkState_ = BST_UNCHECKED;
    // True while the pointer is over the button.
    bool hot_ = false;
    SingleLineFormatControl caption_;
    // Null: the glyph is 20 pixels wide.
    std::shared_ptr<SkinImageList> glyphs_;
};

}  // namespace SKINGUI
