#include "skingui/vstreampage.h"

#include <QPainter>
#include <QTextBoundaryFinder>
#include <algorithm>

#include "skingui/imageregistry.h"

namespace SKINGUI {

namespace {

// Drawing sizes outside this range (a hex size reads as 0x100000) are clamped.
constexpr int kMinPoints = 1;
constexpr int kMaxPoints = 72;
constexpr int kPixelsPerInch = 96;

bool Given(int value) {
    return value != kNotSet;
}

QString ElementText(const MarkupElement& element, const PageRun& run) {
    return run.count < 0 ? element.text.mid(run.first) : element.text.mid(run.first, run.count);
}

}  // namespace

VStreamPageBase::VStreamPageBase(bool singleLine)
    : singleLine_(singleLine), measurer_(std::make_shared<FontTextMeasurer>()) {}

VStreamPageBase::~VStreamPageBase() = default;

void VStreamPageBase::SetSize(int width, int height) {
    width_ = width;
    if (height != kUnbounded) {
        height_ = height;
    }
    laidOut_ = false;
}

void VStreamPageBase::SetStartX(int startX) {
    startX_ = startX;
    laidOut_ = false;
}

void VStreamPageBase::SetAlignment(uint32_t alignment) {
    alignment_ = alignment;
    laidOut_ = false;
}

ImageRegistry& VStreamPageBase::Registry() const {
    return registry_ != nullptr ? *registry_ : ImageRegistry::Instance();
}

void VStreamPageBase::SetMeasurer(std::shared_ptr<const ITextMeasurer> measurer) {
    measurer_ = measurer ? std::move(measurer) : std::make_shared<FontTextMeasurer>();
    laidOut_ = false;
}

void VStreamPageBase::SetContext(const QFont& font, ColorRef textColor) {
    if (!(font == contextFont_) || font.resolveMask() != contextFont_.resolveMask()) {
        contextFont_ = font;
        laidOut_ = false;
    }
    contextColor_ = textColor;
}

int VStreamPageBase::AddTextRun(const QString& text, uint32_t color, int size, int bold, int italic,
                                int underline, int fourth, int spare, const QString* face) {
    elements_.emplace_back();
    const int index = int(elements_.size()) - 1;
    SetTextElementAttrs(index, &text, color, size, bold, italic, underline, fourth, spare, face);
    laidOut_ = false;
    return index;
}

int VStreamPageBase::AddImage(const QString& srcid, int index, int width, int height) {
    const std::shared_ptr<SkinImageList> list = Registry().Lookup(srcid);
    if (!list) {
        return -1;
    }
    MarkupElement element;
    element.kind = kElementImage;
    element.width = list->IconSize().width();
    element.height = list->IconSize().height();
    elements_.push_back(element);
    const int at = int(elements_.size()) - 1;
    SetImageElementAttrs(at, &srcid, index, width, height);
    laidOut_ = false;
    return at;
}

bool VStreamPageBase::LookupImageAlias(const QString& srcid, QString* target, int* index) const {
    return Registry().LookupAlias(srcid, target, index);
}

void VStreamPageBase::SetElementAction(int, int, const QString&) {}

void VStreamPageBase::SetTextElementAttrs(int element, const QString* text, uint32_t color, int size,
                                          int bold, int italic, int underline, int fourth, int spare,
                                          const QString* face) {
    if (element < 0 || element >= ElementCount()) {
        return;
    }
    MarkupElement& e = elements_[size_t(element)];
    if (text != nullptr) {
        e.text = *text;
    }
    if (color != uint32_t(kNotSet)) {
        e.color = color;
        e.mask |= kHasColor;
    }
    if (Given(size)) {
        e.size = size;
        e.mask |= kHasSize;
    }
    auto flag = [&](int value, uint32_t presence, uint32_t style) {
        if (!Given(value)) {
            return;
        }
        e.style = (value & 1) ? (e.style | style) : (e.style & ~style);
        e.mask |= presence;
    };
    flag(bold, kHasBold, kStyleBold);
    flag(italic, kHasItalic, kStyleItalic);
    flag(underline, kHasUnderline, kStyleUnderline);
    flag(fourth, kHasFourth, kStyleFourth);
    if (Given(spare)) {
        e.spare = spare;
        e.mask |= kHasSpare;
    }
    if (face != nullptr) {
        e.face = face->left(kMaxFixedName);
        e.mask |= kHasFace;
    }
    laidOut_ = false;
}

void VStreamPageBase::SetImageElementAttrs(int element, const QString* srcid, int index, int width,
                                           int height) {
    if (element < 0 || element >= ElementCount()) {
        return;
    }
    MarkupElement& e = elements_[size_t(element)];
    if (srcid != nullptr) {
        e.srcid = srcid->left(kMaxFixedName);
    }
    if (Given(index)) {
        e.index = index;
    }
    if (Given(width)) {
        e.width = width;
    }
    if (Given(height)) {
        e.height = height;
    }
    laidOut_ = false;
}

const MarkupElement* VStreamPageBase::Element(int index) const {
    if (index < 0 || index >= ElementCount()) {
        return nullptr;
    }
    return &elements_[size_t(index)];
}

void VStreamPageBase::Clear() {
    elements_.clear();
    lines_.clear();
    laidOut_ = false;
}

QFont VStreamPageBase::ElementFont(const MarkupElement& element) const {
    QFont font = contextFont_;
    if (element.Has(kHasSize)) {
        const int points = std::clamp(element.size, kMinPoints, kMaxPoints);
        font.setPixelSize(std::max(1, points * kPixelsPerInch / 72));
    }
    if (element.Has(kHasBold)) {
        font.setWeight((element.style & kStyleBold) ? QFont::Bold : QFont::Normal);
    }
    if (element.Has(kHasItalic)) {
        font.setItalic((element.style & kStyleItalic) != 0);
    }
    if (element.Has(kHasUnderline)) {
        font.setUnderline((element.style & kStyleUnderline) != 0);
    }
    return font;
}

QSize VStreamPageBase::MeasureElement(const MarkupElement& element, const QString& text) const {
    return measurer_->Measure(ElementFont(element), text);
}

int VStreamPageBase::MeasureFittingChars(const MarkupElement& element, const QString& text, int first,
                                         int width, int* fittedWidth, int* height) const {
    const QFont font = ElementFont(element);
    int remaining = width, fitted = 0, tallest = 0, count = 0;
    // Breaks fall between grapheme clusters only: never inside a surrogate pair
    // or between a letter and its combining marks.
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    finder.setPosition(first);
    int at = first;
    while (at < text.size()) {
        int next = finder.toNextBoundary();
        if (next < 0 || next <= at) {
            next = int(text.size());
        }
        const QSize size = measurer_->Measure(font, text.mid(at, next - at));
        remaining -= size.width();
        if (remaining < 1) {
            break;
        }
        fitted += size.width();
        tallest = std::max(tallest, size.height());
        count += next - at;
        at = next;
    }
    if (fittedWidth != nullptr) {
        *fittedWidth = fitted;
    }
    if (height != nullptr) {
        *height = tallest;
    }
    return count;
}

void VStreamPageBase::FinishLine(PageLine& line) {
    int tallest = 0;
    for (const PageRun& run : line.runs) {
        tallest = std::max(tallest, run.rect.height());
    }
    line.height = tallest;
}

bool VStreamPageBase::Layout() {
    if (laidOut_) {
        return true;
    }
    if (width_ <= 0 || height_ <= 0) {
        lines_.clear();
        laidOut_ = true;
        return false;
    }
    if (singleLine_) {
        LayoutSingleLine();
    } else {
        LayoutMultiLine();
    }
    laidOut_ = true;
    return true;
}

void VStreamPageBase::LayoutSingleLine() {
    lines_.assign(1, PageLine());
    PageLine& line = lines_.back();
    int x = startX_;
    for (int i = 0; i < ElementCount(); ++i) {
        const MarkupElement& e = elements_[size_t(i)];
        if (e.kind == kElementText) {
            const QSize size = MeasureElement(e, e.text);
            if (int64_t(x) + size.width() <= width_) {
                line.runs.push_back(PageRun{i, 0, -1, QRect(x, 0, size.width(), size.height())});
                line.width += size.width();
                x += size.width();
                continue;
            }
            const int available = width_ - x;
            int fitted = 0, height = 0;
            const int count = MeasureFittingChars(e, e.text, 0, available, &fitted, &height);
            line.runs.push_back(PageRun{i, 0, count, QRect(x, 0, std::max(available, 0), height)});
            line.width += std::max(available, 0);
            break;
        }
        if (e.height >= height_) {
            break;
        }
        if (int64_t(x) + e.width <= width_) {
            line.runs.push_back(PageRun{i, 0, -1, QRect(x, 0, e.width, e.height)});
            line.width += e.width;
            x += e.width;
            continue;
        }
        const int available = std::max(width_ - x, 0);
        line.runs.push_back(PageRun{i, 0, -1, QRect(x, 0, available, e.height)});
        line.width += available;
        break;
    }
    FinishLine(line);
    AlignLines();
}

void VStreamPageBase::LayoutMultiLine() {
    lines_.assign(1, PageLine());
    int x = startX_, y = 0;
    bool gaveUp = false;
    for (int i = 0; i < ElementCount() && !gaveUp; ++i) {
        const MarkupElement& e = elements_[size_t(i)];
        if (e.kind == kElementImage) {
            if (int64_t(y) + e.height >= height_) {
                break;
            }
            if (int64_t(x) + e.width <= width_) {
                lines_.back().runs.push_back(PageRun{i, 0, -1, QRect(x, y, e.width, e.height)});
                lines_.back().width += e.width;
                x += e.width;
                continue;
            }
            if (e.width > width_) {
                break;
            }
            FinishLine(lines_.back());
            y += lines_.back().height;
            x = 0;
            if (y >= height_) {
                break;
            }
            lines_.emplace_back();
            lines_.back().runs.push_back(PageRun{i, 0, -1, QRect(0, y, e.width, e.height)});
            lines_.back().width += e.width;
            x = e.width;
            continue;
        }
        const QSize whole = MeasureElement(e, e.text);
        if (int64_t(x) + whole.width() <= width_) {
            lines_.back().runs.push_back(PageRun{i, 0, -1, QRect(x, y, whole.width(), whole.height())});
            lines_.back().width += whole.width();
            x += whole.width();
            continue;
        }
        // Break between characters, line after line, while the lines fit.
        int first = 0;
        int left = int(e.text.size());
        int available = width_ - x;
        int fitted = 0, height = 0;
        int count = MeasureFittingChars(e, e.text, first, available, &fitted, &height);
        bool done = false;
        while (int64_t(y) + whole.height() <= height_) {
            if (count > 0) {
                const int n = std::min(count, left);
                lines_.back().runs.push_back(PageRun{i, first, n, QRect(x, y, available, height)});
                lines_.back().width += available;
                first += n;
                left -= n;
                if (left == 0) {
                    // The line counts as full.
                    x += available;
                    done = true;
                    break;
                }
            } else if (x == 0) {
                break;  // not even one character fits on an empty line
            }
            FinishLine(lines_.back());
            y += lines_.back().height;
            lines_.emplace_back();
            x = 0;
            available = width_;
            count = MeasureFittingChars(e, e.text, first, available, &fitted, &height);
        }
        if (!done) {
            if (lines_.size() > 1 && lines_.back().runs.empty()) {
                lines_.pop_back();
            }
            gaveUp = true;
        }
    }
    FinishLine(lines_.back());
    if (!gaveUp) {
        AlignLines();
    }
}

void VStreamPageBase::AlignLines() {
    const uint32_t horizontal = alignment_ & 0xFF;
    const uint32_t vertical = alignment_ & 0xFF00;
    for (PageLine& line : lines_) {
        int dx = 0;
        if (horizontal == kAlignRight) {
            dx = width_ - line.width;
        } else if (horizontal == kAlignCenter) {
            dx = (width_ - line.width) / 2;
        }
        for (PageRun& run : line.runs) {
            int dy = 0;
            if (vertical == kAlignVCenter) {
                dy = int((int64_t(height_) - run.rect.height()) / 2);
            } else if (vertical == kAlignBottom) {
                dy = height_ - run.rect.height();
            }
            run.rect.translate(dx, dy);
        }
    }
}

int VStreamPageBase::Draw(QPainter& painter, const QRect& rect) {
    if (!painter.isActive()) {
        return 0;
    }
    SetContext(painter.font(), ColorRef::FromQColor(painter.pen().color()));
    if (!Layout()) {
        return 0;
    }
    painter.save();
    painter.setBackgroundMode(Qt::TransparentMode);
    for (const PageLine& line : lines_) {
        for (const PageRun& run : line.runs) {
            const MarkupElement& e = elements_[size_t(run.element)];
            const QRect target = run.rect.translated(rect.topLeft());
            if (target.isEmpty()) {
                continue;
            }
            painter.save();
            painter.setClipRect(target, Qt::IntersectClip);
            if (e.kind == kElementText) {
                painter.setFont(ElementFont(e));
                painter.setPen(e.Has(kHasColor) ? ColorRef(e.color).ToQColor() : contextColor_.ToQColor());
                painter.drawText(target, Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs,
                                 ElementText(e, run));
            } else if (e.notDrawn == 0) {
                // Looked up at each draw: a list that left the registry draws nothing.
                if (const std::shared_ptr<SkinImageList> list = Registry().Lookup(e.srcid)) {
                    list->Draw(painter, e.index, target.topLeft());
                }
            }
            painter.restore();
        }
    }
    painter.restore();
    return 1;
}

int VStreamPageBase::ElementFromPoint(QPoint point) {
    Layout();
    if (point.x() > width_ || point.y() > height_) {
        return -1;
    }
    for (const PageLine& line : lines_) {
        for (const PageRun& run : line.runs) {
            if (run.rect.contains(point)) {
                return run.element;
            }
        }
    }
    return -1;
}

}  // namespace SKINGUI
