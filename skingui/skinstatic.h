#pragma once
// The program's label: a markup caption drawn over the parent's background, with
// an optional background fill and frame; links in the caption report clicks.
#include <QFont>
#include <QString>
#include <optional>

#include "skingui/colorref.h"
#include "skingui/skinwindow.h"
#include "skingui/vformatcontrol.h"

namespace SKINGUI {

// Mouse-key flags of a link click (the old MK_ values).
enum MouseKeyFlags : quint32 {
    MK_LBUTTON = 0x1,
    MK_RBUTTON = 0x2,
    MK_SHIFT = 0x4,
    MK_CONTROL = 0x8,
    MK_MBUTTON = 0x10,
};

// Longest window text a static parses when it is set up.
constexpr int kMaxStaticText = 1023;

class CSkinStatic : public CSkinWindow {
    Q_OBJECT
public:
    // Set up at once, as on creation: colours from the parent, `text` parsed.
    explicit CSkinStatic(QWidget* parent = nullptr, const QString& text = QString());
    ~CSkinStatic() override;

    // Asks the parent for the background, takes the system text colour, sizes
    // the page to the widget and parses the window text (at most 1023 units).
    void InitFromWindow();
    // Parses markup with the given start x and alignment, then repaints. Returns 1.
    int SetText(const QString& text, int startX = 0, uint32_t alignment = 0);
    // New window text parsed as the caption (start x and alignment unchanged).
    void SetWindowText(const QString& text);
    // Literal text from users or the service: shown as is, never parsed.
    void SetPlainText(const QString& text);
    const QString& WindowText() const { return windowText_; }

    // kNoColor: no fill (the parent shows through) / no frame.
    void SetBackgroundColor(ColorRef color);
    ColorRef BackgroundColor() const { return background_; }
    void SetFrameColor(ColorRef color);
    ColorRef FrameColor() const { return frame_; }
    void SetTextColor(ColorRef color);
    ColorRef TextColor() const { return textColor_; }
    // Without an own font the parent's font is used at each paint.
    void SetOwnFont(const QFont& font);
    void ClearOwnFont();

    // The caption, for appending literal runs and links; call update() after.
    MultiLineFormatControl& Format() {
        UpdatePageSize();
        return format_;
    }

signals:
    // A link of the caption was clicked: mouse-key flags of the release and the link's name.
    void linkClicked(quint32 flags, const QString& name);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QFont PaintFont() const;
    void UpdatePageSize();

    // kNoColor: the parent shows through / no frame is drawn.
    ColorRef background_ = kNoColor;
    ColorRef frame_ = kNoColor;
    ColorRef textColor_ = 0;
    // Empty: the parent's font at each paint.
    std::optional<QFont> ownFont_;
    QString windowText_;
    MultiLineFormatControl format_;
};

// Mouse-key flags of a mouse event, as a link click reports them.
quint32 MouseKeyFlagsOf(const QMouseEvent* event);

}  // namespace SKINGUI
