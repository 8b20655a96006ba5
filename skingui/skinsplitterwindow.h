#pragma once
// Two panes divided by a draggable bar: CSkinSplitterWindowT<1> has a vertical bar
// (left and right panes), CSkinSplitterWindowT<0> a horizontal one (top and
// bottom panes). The owner learns of a click on the bar and of a finished drag,
// and reads the new position from the splitter.
#include <QPointer>
#include <QWidget>

#include "skingui/splittergeometry.h"

namespace SKINGUI {

class CSkinSplitterWindowImpl : public QWidget {
    Q_OBJECT
public:
    ~CSkinSplitterWindowImpl() override;

    bool IsVertical() const { return vertical_; }
    // The panes become children of the splitter; either may be null.
    void SetSplitterPanes(QWidget* first, QWidget* second);
    QWidget* GetSplitterPane(int index) const;
    // Places the bar under the platform's clamp; -1 centres it. Returns false
    // before the splitter has a size (the position is then kept for later).
    bool SetSplitterPos(int position);
    int GetSplitterPos() const { return geometry_.position; }
    void SetBarWidth(int width);
    int BarWidth() const { return geometry_.barWidth; }
    void SetMinPaneSize(int size) { geometry_.minPane = size; }
    int MinPaneSize() const { return geometry_.minPane; }
    // Full drag moves the panes with the pointer; otherwise a ghost bar follows
    // the pointer and the panes move when the button is released.
    void SetFullDrag(bool on) { fullDrag_ = on; }
    bool FullDrag() const { return fullDrag_; }
    // The bar in splitter coordinates.
    QRect BarRect() const;

signals:
    // Pressed and released on the bar without moving it.
    void barClicked();
    // The bar was dragged to a new position and released there.
    void barMoved(int position);

protected:
    explicit CSkinSplitterWindowImpl(bool vertical, QWidget* parent);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int Along(QPoint point) const { return vertical_ ? point.x() : point.y(); }
    int Length() const { return vertical_ ? width() : height(); }
    void LayoutPanes();
    void PaintBar(QPainter& painter, const QRect& bar);
    void ShowGhost(bool show);

    const bool vertical_;
    SplitterGeometry geometry_;
    QPointer<QWidget> panes_[2];
    QWidget* ghost_ = nullptr;  // halftone bar that follows a ghost drag
    bool fullDrag_ = true;
    bool dragging_ = false;  // the mouse went down on the bar and is still down
    bool moved_ = false;     // the bar moved during the current drag
    bool flatBar_ = false;   // the pointer left: the next paint shows the bar flat, without grip
    int dragOffset_ = 0;     // pointer distance from the bar's first pixel when the drag began
};

template <int Vertical>
class CSkinSplitterWindowT : public CSkinSplitterWindowImpl {
public:
    explicit CSkinSplitterWindowT(QWidget* parent = nullptr)
        : CSkinSplitterWindowImpl(Vertical != 0, parent) {}
};

}  // namespace SKINGUI
