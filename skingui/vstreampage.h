#pragma once
// A page of markup elements laid out in a rectangle: on one line (buttons, header
// columns, list cells) or on several (static texts), drawn, and hit-tested.
#include <QFont>
#include <QRect>
#include <QString>
#include <memory>
#include <vector>

#include "skingui/colorref.h"
#include "skingui/markupelement.h"
#include "skingui/markupsink.h"
#include "skingui/textmeasurer.h"

class QPainter;

namespace SKINGUI {

class ImageRegistry;

// Alignment word: low byte horizontal, second byte vertical.
enum PageAlignment : uint32_t {
    kAlignLeft = 0,
    kAlignRight = 1,
    kAlignCenter = 2,
    kAlignVCenter = 0,
    kAlignTop = 0x100,
    kAlignBottom = 0x200,
};

// One placed piece of an element, in page coordinates.
struct PageRun {
    int element = 0;
    int first = 0;   // first UTF-16 unit of the element's text
    int count = -1;  // UTF-16 units; -1 = the whole text
    QRect rect;
};

struct PageLine {
    int width = 0;   // sum of its runs' widths
    int height = 0;  // tallest run
    std::vector<PageRun> runs;
};

class VStreamPageBase : public MarkupSink {
public:
    static constexpr int kUnbounded = 0x7FFFFFFF;

    ~VStreamPageBase() override;

    bool IsSingleLine() const { return singleLine_; }

    // The height stays unchanged when kUnbounded is passed.
    void SetSize(int width, int height = kUnbounded);
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetStartX(int startX);
    int StartX() const { return startX_; }
    void SetAlignment(uint32_t alignment);
    uint32_t Alignment() const { return alignment_; }

    // Registry that img elements are looked up in (the process-wide one by default).
    void SetImageRegistry(ImageRegistry* registry) { registry_ = registry; }
    ImageRegistry& Registry() const;
    // Measurer for layout (font metrics by default).
    void SetMeasurer(std::shared_ptr<const ITextMeasurer> measurer);
    // Font and text colour that unset attributes take; drawing sets them from the painter.
    void SetContext(const QFont& font, ColorRef textColor);
    const QFont& ContextFont() const { return contextFont_; }

    // MarkupSink: appending elements.
    int AddTextRun(const QString& text, uint32_t color = uint32_t(kNotSet), int size = kNotSet,
                   int bold = kNotSet, int italic = kNotSet, int underline = kNotSet, int fourth = kNotSet,
                   int spare = kNotSet, const QString* face = nullptr) override;
    int AddImage(const QString& srcid, int index, int width = kNotSet, int height = kNotSet) override;
    bool LookupImageAlias(const QString& srcid, QString* target, int* index) const override;
    void SetElementAction(int element, int kind, const QString& name) override;

    // Arguments equal to kNotSet (or null) leave their field unchanged.
    void SetTextElementAttrs(int element, const QString* text, uint32_t color, int size, int bold, int italic,
                             int underline, int fourth, int spare, const QString* face);
    void SetImageElementAttrs(int element, const QString* srcid, int index, int width, int height);

    int ElementCount() const { return int(elements_.size()); }
    // Null when out of range.
    const MarkupElement* Element(int index) const;
    // Empties elements and lines.
    void Clear();

    // Lays out when needed; false when the page has nothing to lay out into.
    bool Layout();
    bool IsLaidOut() const { return laidOut_; }
    const std::vector<PageLine>& Lines() const { return lines_; }

    // Draws every run offset by the rectangle's top-left, laying out first when
    // needed; the painter's font and pen colour are the context. Returns 1, or 0
    // when layout failed.
    int Draw(QPainter& painter, const QRect& rect);
    int DrawStatic(QPainter& painter, const QRect& rect) { return Draw(painter, rect); }

    // Element under a point in page coordinates, -1 for none.
    int ElementFromPoint(QPoint point);

    // Font a text element is drawn in, over the context font. Sizes are clamped
    // to a sane range for drawing (the stored size is kept as given).
    QFont ElementFont(const MarkupElement& element) const;
    // Whole grapheme clusters of `text` from `first` that fit into `width` with at
    // least a pixel to spare; returns the UTF-16 units and the fitted size.
    int MeasureFittingChars(const MarkupElement& element, const QString& text, int first, int width,
                            int* fittedWidth, int* height) const;

protected:
    explicit VStreamPageBase(bool singleLine);

private:
    void LayoutSingleLine();
    void LayoutMultiLine();
    void AlignLines();
    QSize MeasureElement(const MarkupElement& element, const QString& text) const;
    static void FinishLine(PageLine& line);

    const bool singleLine_;
    // 0: the lines must be rebuilt before the next draw or hit test.
    bool laidOut_ = false;
    // Page size in pixels; kUnbounded until the owner sets it.
    int width_ = kUnbounded;
    int height_ = kUnbounded;
    // Where the first run of the first line begins.
    int startX_ = 0;
    // PageAlignment bits: low byte horizontal, second byte vertical.
    uint32_t alignment_ = 0;
    std::vector<MarkupElement> elements_;
    // Null: the process-wide registry.
    ImageRegistry* registry_ = nullptr;
    std::shared_ptr<const ITextMeasurer> measurer_;
    // Font and colour of the last drawing context; unset attributes take them.
    QFont contextFont_;
    ColorRef contextColor_ = 0;
    std::vector<PageLine> lines_;
};

// kSingleLine 1: one line (buttons, header columns, list cells); 0: several lines.
template <int kSingleLine>
class VStreamPage : public VStreamPageBase {
public:
    VStreamPage() : VStreamPageBase(kSingleLine != 0) {}
};

}  // namespace SKINGUI
