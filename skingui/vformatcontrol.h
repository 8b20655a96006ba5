#pragma once
// The markup caption a control owns: a page of elements plus link behaviour.
//   MultiLineFormatControl  - static texts (several lines)
//   SingleLineFormatControl - buttons, header columns, list cells (one line)
// Program-fixed markup goes through SetText; text that comes from users or the
// service (file names, nick names) goes through AddPlainText / AddLink, because
// the markup has no escape.
#include <QPoint>
#include <QString>

#include "skingui/action.h"
#include "skingui/vsimplehtmlpolicy.h"
#include "skingui/vstreampage.h"

namespace SKINGUI {

// Mouse messages a hosting control forwards (the old message numbers).
enum PageMouseMessage : unsigned {
    kPageMouseMove = 0x200,
    kPageLButtonDown = 0x201,
    kPageLButtonUp = 0x202,
};

template <class Page, class Policy>
class VFormatControl : public Page, public Action {
public:
    // Empties the page and parses the markup. Returns 1.
    int SetText(const QString& text) {
        Reset();
        Policy::Parse(*this, text);
        return 1;
    }
    // Empties the page and shows the text as it is, never parsed.
    void SetPlainText(const QString& text) {
        Reset();
        AddPlainText(text);
    }
    // Appends literal text (no markup) in the context's font and colour.
    int AddPlainText(const QString& text) { return this->AddTextRun(text); }
    // Appends a link run (blue) whose click reports `name`; `text` is literal.
    int AddLink(const QString& name, const QString& text) {
        const int element = this->AddTextRun(text, 0xFF0000);
        SetAction(element, kActionLink, name);
        return element;
    }

    void SetElementAction(int element, int kind, const QString& name) override {
        SetAction(element, kind, name);
    }

    // 0 nothing, kActionLink (name filled in) for a link, else the element's kind.
    int HitTest(QPoint point, QString* name = nullptr) { return HitTestPage(*this, point, name); }
    // kLinkHoverChanged when the hovered link changed (underline and hand cursor follow).
    int TrackLinkHover(QPoint point) { return TrackLinkHoverPage(*this, point); }
    // The mouse left the control: no link stays hovered.
    int LeaveLinks() { return LeaveLinksPage(*this); }
    // Reports a click on a link to the notify target; returns 1 when it did.
    int NotifyLinkClick(QPoint point, quint32 flags, QString* name = nullptr) {
        return NotifyLinkClickPage(*this, point, flags, name);
    }
    // Mouse dispatch for hosting controls; redraw when the result is kLinkHoverChanged.
    int HandleMouseMessage(unsigned message, QPoint point, quint32 flags) {
        switch (message) {
            case kPageMouseMove:
                return TrackLinkHover(point);
            case kPageLButtonDown:
                return HasNotify() ? 1 : 0;
            case kPageLButtonUp:
                return NotifyLinkClick(point, flags);
            default:
                return 0;
        }
    }

private:
    void Reset() {
        this->Clear();
        ResetActions();
    }
};

using MultiLineFormatControl = VFormatControl<VStreamPage<0>, VSimpleHTMLPolicy<VStreamPage<0>>>;
using SingleLineFormatControl = VFormatControl<VStreamPage<1>, VSimpleHTMLPolicy<VStreamPage<1>>>;

}  // namespace SKINGUI
