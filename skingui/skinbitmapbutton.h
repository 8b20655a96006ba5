#pragma once
// A button drawn from up to four images of an image list (normal, pushed, hover,
// disabled) with a one-line markup caption drawn over the image.
#include <QAbstractButton>
#include <memory>

#include "skingui/skinimagelist.h"
#include "skingui/vformatcontrol.h"

namespace SKINGUI {

class CSkinBitmapButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CSkinBitmapButton(QWidget* parent = nullptr, const QString& text = QString());
    ~CSkinBitmapButton() override;

    void SetImageList(std::shared_ptr<SkinImageList> list);
    std::shared_ptr<SkinImageList> ImageList() const { return images_; }
    // Image indices; -1 keeps the index set before. Sizes the caption page.
    void SetImages(int normal, int pushed = -1, int hover = -1, int disabled = -1);
    // Page = client size; parses the markup.
    int SetCaption(const QString& text, int startX = 0, uint32_t alignment = kAlignCenter);
    // Window text (at most 260 units) as caption, centred.
    void SetCaptionFromWindowText();
    SingleLineFormatControl& Caption() {
        UpdatePageSize();
        return caption_;
    }
    void SetControlId(int id) { controlId_ = id; }
    int ControlId() const { return controlId_; }
    // Index of the image the button shows in its present state (-1 none).
    int CurrentImage() const;
    bool IsHover() const { return hover_; }

    QSize sizeHint() const override;

signals:
    // One per click (BN_CLICKED).
    void bnClicked(int controlId);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void UpdatePageSize();

    std::shared_ptr<SkinImageList> images_;
    // Image indices per state; -1: the normal image stands in.
    int normal_ = -1;
    int pushed_ = -1;
    int hoverImage_ = -1;
    int disabled_ = -1;
    // Reported with every click.
    int controlId_ = 0;
    // True while the pointer is over the button (the hover image shows).
    bool hover_ = false;
    SingleLineFormatControl caption_;
};

}  // namespace SKINGUI
