#include "skingui/action.h"

#include "skingui/colorref.h"
#include "skingui/vstreampage.h"

namespace SKINGUI {

Action::Action() = default;

Action::~Action() {
    RestoreCursor();
}

void Action::SetAction(int element, int kind, const QString& name) {
    if (element < 0) {
        return;
    }
    actions_[element] = ActionRecord{kind, name};
}

const ActionRecord* Action::FindAction(int element) const {
    auto it = actions_.find(element);
    return it == actions_.end() ? nullptr : &it->second;
}

void Action::ResetActions() {
    actions_.clear();
    hovered_ = -1;
    RestoreCursor();
}

int Action::HitTestPage(VStreamPageBase& page, QPoint point, QString* name) {
    const int element = page.ElementFromPoint(point);
    if (element < 0) {
        return 0;
    }
    const ActionRecord* action = FindAction(element);
    if (action != nullptr && action->kind == kActionLink) {
        if (name != nullptr) {
            *name = action->name;
        }
        return kActionLink;
    }
    return page.Element(element)->kind;
}

int Action::TrackLinkHoverPage(VStreamPageBase& page, QPoint point) {
    const int element = page.ElementFromPoint(point);
    const ActionRecord* action = element < 0 ? nullptr : FindAction(element);
    const bool overLink = action != nullptr && action->kind == kActionLink;
    if (overLink && element == hovered_) {
        return 0;
    }
    int result = 0;
    if (hovered_ >= 0) {
        // Also when moving straight onto another link: only one stays underlined.
        page.SetTextElementAttrs(hovered_, nullptr, uint32_t(kNotSet), kNotSet, kNotSet, kNotSet, 0, kNotSet,
                                 kNotSet, nullptr);
        hovered_ = -1;
        result = kLinkHoverChanged;
    }
    if (!overLink) {
        RestoreCursor();
        return result;
    }
    ShowHandCursor();
    page.SetTextElementAttrs(element, nullptr, uint32_t(kNotSet), kNotSet, kNotSet, kNotSet, 1, kNotSet,
                             kNotSet, nullptr);
    hovered_ = element;
    return kLinkHoverChanged;
}

int Action::LeaveLinksPage(VStreamPageBase& page) {
    RestoreCursor();
    if (hovered_ < 0) {
        return 0;
    }
    page.SetTextElementAttrs(hovered_, nullptr, uint32_t(kNotSet), kNotSet, kNotSet, kNotSet, 0, kNotSet,
                             kNotSet, nullptr);
    hovered_ = -1;
    return kLinkHoverChanged;
}

int Action::NotifyLinkClickPage(VStreamPageBase& page, QPoint point, quint32 flags, QString* name) {
    if (!notify_) {
        return 0;
    }
    QString link;
    if (HitTestPage(page, point, &link) != kActionLink) {
        return 0;
    }
    if (name != nullptr) {
        *name = link;
    }
    // A copy: the receiver may replace this control's text or the notify target.
    const LinkNotify notify = notify_;
    notify(flags, link);
    return 1;
}

void Action::ShowHandCursor() {
    if (!cursorWidget_) {
        return;
    }
    if (!cursorSaved_) {
        savedHadCursor_ = cursorWidget_->testAttribute(Qt::WA_SetCursor);
        savedCursor_ = cursorWidget_->cursor();
        cursorSaved_ = true;
    }
    cursorWidget_->setCursor(Qt::PointingHandCursor);
}

void Action::RestoreCursor() {
    if (!cursorSaved_) {
        return;
    }
    cursorSaved_ = false;
    if (!cursorWidget_) {
        return;
    }
    if (savedHadCursor_) {
        cursorWidget_->setCursor(savedCursor_);
    } else {
        cursorWidget_->unsetCursor();
    }
}

}  // namespace SKINGUI
