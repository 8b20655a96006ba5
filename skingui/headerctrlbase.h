#pragma once
// What the explorer's header and the task list's header share: a fixed height,
// one single-line markup caption per column (owned here and nowhere else), a
// line colour, and the flags for fixed widths, a frame and transparent captions.
#include <QHeaderView>
#include <functional>
#include <memory>
#include <vector>

#include "skingui/colorref.h"
#include "skingui/vformatcontrol.h"

namespace SKINGUI {

class CHeaderCtrlBase : public QHeaderView {
    Q_OBJECT
public:
    enum HeaderFlags : uint32_t {
        kFixedWidths = 8,               // the user cannot resize columns
        kFrame = 0x2000,                // a hollow frame in the line colour around the header
        kTransparentCaptions = 0x4000,  // captions drawn without their own background
    };

    ~CHeaderCtrlBase() override;

    void SetFlags(uint32_t flags);
    uint32_t Flags() const { return flags_; }
    // Height of the header inside its list; resizes it at once.
    void SetHeaderHeight(int height);
    int HeaderHeight() const { return height_; }
    void SetLineColor(ColorRef color);
    ColorRef LineColor() const { return lineColor_; }

    // Sets the caption markup of a column: width -1 keeps the width; the page is
    // the column's width by the header's height and starts at startX.
    int SetItemMarkup(int column, const QString& text, int width, int startX, uint32_t alignment);
    // Width of a column as stored (applied once the column exists in the model).
    void SetItemWidth(int column, int width);
    int ItemWidth(int column) const;
    // Columns that have a caption slot.
    int ColumnCount() const { return int(pages_.size()); }
    // Null when the column has no caption.
    SingleLineFormatControl* ColumnPage(int column) const;

    QSize sizeHint() const override;

protected:
    CHeaderCtrlBase(QWidget* parent);

    // Draws the caption of a column into its item rectangle.
    void DrawCaption(QPainter& painter, int column, const QRect& itemRect);
    // Paints the shown items left to right: background (fillItem), grid lines in the
    // line colour, caption, then decorate (may be empty). Returns the right edge of
    // the last item, -1 when none is shown.
    int PaintItems(QPainter& painter, int h, const std::function<void(const QRect& item)>& fillItem,
                   const std::function<void(int column, const QRect& item)>& decorate);
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void GrowSlots(int columns);
    void ApplyWidths();

    uint32_t flags_ = 0;
    int height_ = 30;
    ColorRef lineColor_ = 0x808080;
    std::vector<std::unique_ptr<SingleLineFormatControl>> pages_;
    std::vector<int> widths_;  // -1: the column keeps the width the view gives it
};

}  // namespace SKINGUI
