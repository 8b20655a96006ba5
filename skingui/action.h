#pragma once
// Link behaviour of a markup control: which elements are links or named, who is
// told about link clicks, and the hovered link with its hand cursor.
#include <QCursor>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>

#include "skingui/markupelement.h"

namespace SKINGUI {

class VStreamPageBase;

// Result of TrackLinkHover: the hovered link changed, the caller redraws.
constexpr int kLinkHoverChanged = 3;

struct ActionRecord {
    int kind = kActionNamed;
    QString name;
};

class Action {
public:
    // Receives a link click: `flags` as the caller passes them (mouse-key flags of
    // a static text, MAKELONG(row, column) of a list cell) and the link's name.
    using LinkNotify = std::function<void(quint32 flags, const QString& name)>;

    Action();
    virtual ~Action();

    void SetAction(int element, int kind, const QString& name);
    // Null when the element has no action record.
    const ActionRecord* FindAction(int element) const;

    // No notify target: links do nothing.
    void SetNotify(LinkNotify notify) { notify_ = std::move(notify); }
    bool HasNotify() const { return static_cast<bool>(notify_); }
    // Widget whose cursor becomes the hand while a link is hovered.
    void SetCursorWidget(QWidget* widget) { cursorWidget_ = widget; }
    // Element index of the hovered link of this control, -1 for none.
    int HoveredLink() const { return hovered_; }

protected:
    int HitTestPage(VStreamPageBase& page, QPoint point, QString* name);
    int TrackLinkHoverPage(VStreamPageBase& page, QPoint point);
    int LeaveLinksPage(VStreamPageBase& page);
    int NotifyLinkClickPage(VStreamPageBase& page, QPoint point, quint32 flags, QString* name);
    // Forgets actions and hover (the elements are about to go).
    void ResetActions();

private:
    void ShowHandCursor();
    void RestoreCursor();

    // Element index -> action; only elements from named tags and links have one.
    std::map<int, ActionRecord> actions_;
    // Empty: link clicks go nowhere.
    LinkNotify notify_;
    // Null: the cursor is left alone.
    QPointer<QWidget> cursorWidget_;
    // True while the hand cursor replaces the one saved here.
    bool cursorSaved_ = false;
    bool savedHadCursor_ = false;
    QCursor savedCursor_;
    // Per control: a process-wide index would let one page clear another's underline.
    int hovered_ = -1;
};

}  // namespace SKINGUI
