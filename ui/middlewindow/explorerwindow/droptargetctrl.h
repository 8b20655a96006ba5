#pragma once
// A drop target for one control: it accepts the formats of its list in order
// of preference, applies the key-state rule for the drop effect and hands the
// chosen format to OnDrop. Whatever OnDrop did, the source is told that
// nothing happened, so it never deletes anything after a drop here; while
// the cursor moves it is never told Move either.
#include <QObject>
#include <QPoint>
#include <QStringList>

class QDropEvent;
class QMimeData;
class QWidget;

class CDropTargetCtrl : public QObject {
    Q_OBJECT
public:
    // Watches the control's drag events (the viewport of an item view).
    CDropTargetCtrl(QWidget* control, QStringList formats);

    // The effect rule: none without an accepted format; Ctrl and Shift ask
    // for link, Ctrl alone for copy, Shift alone for move, and an effect the
    // source does not allow gives none; without keys copy, else move, else
    // link. True when the effect is not none.
    static bool ComputeDropEffect(bool formatAccepted, Qt::KeyboardModifiers keys, Qt::DropActions allowed,
                                  Qt::DropAction* effect);

    // True when the data offers the format: a text/uri-list only with at
    // least one local file.
    static bool Offers(const QMimeData* data, const QString& format);

    const QString& ChosenFormat() const { return chosen_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Hover feedback while a drag with an accepted format moves over the
    // control, and when it leaves.
    virtual void OnDragOver(const QPoint& pos) { (void)pos; }
    virtual void OnDragLeave() {}
    // The drop of data in the chosen format at pos (control coordinates).
    virtual void OnDrop(const QString& format, const QMimeData* data, const QPoint& pos,
                        Qt::DropAction effect) = 0;

    QWidget* control_;

private:
    // The rule's effect as the source may hear it: a move becomes a copy,
    // or nothing when the source allows no copy.
    Qt::DropAction Effect(const QDropEvent* event) const;
    void Answer(QDropEvent* event);

    QStringList formats_;
    QString chosen_;
};
