#include "ui/middlewindow/explorerwindow/droptargetctrl.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

CDropTargetCtrl::CDropTargetCtrl(QWidget* control, QStringList formats)
    : QObject(control), control_(control), formats_(std::move(formats)) {
    control->setAcceptDrops(true);
    control->installEventFilter(this);
}

bool CDropTargetCtrl::ComputeDropEffect(bool formatAccepted, Qt::KeyboardModifiers keys,
                                        Qt::DropActions allowed, Qt::DropAction* effect) {
    Qt::DropAction chosen = Qt::IgnoreAction;
    const bool ctrl = keys & Qt::ControlModifier;
    const bool shift = keys & Qt::ShiftModifier;
    if (formatAccepted) {
        if (ctrl || shift) {
            const Qt::DropAction asked = ctrl && shift ? Qt::LinkAction
                                         : ctrl        ? Qt::CopyAction
                                                       : Qt::MoveAction;
            chosen = allowed & asked ? asked : Qt::IgnoreAction;
        } else {
            for (Qt::DropAction a : {Qt::CopyAction, Qt::MoveAction, Qt::LinkAction}) {
                if (allowed & a) {
                    chosen = a;
                    break;
                }
            }
        }
    }
    if (effect)
        *effect = chosen;
    return chosen != Qt::IgnoreAction;
}

bool CDropTargetCtrl::Offers(const QMimeData* data, const QString& format) {
    if (!data || !data->hasFormat(format))
        return false;
    if (format != QLatin1String("text/uri-list"))
        return true;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            return true;
    }
    return false;
}

Qt::DropAction CDropTargetCtrl::Effect(const QDropEvent* event) const {
    Qt::DropAction effect = Qt::IgnoreAction;
    ComputeDropEffect(!chosen_.isEmpty(), event->modifiers(), event->possibleActions(), &effect);
    // The source would delete what it offered after a move.
    if (effect == Qt::MoveAction)
        effect = event->possibleActions() & Qt::CopyAction ? Qt::CopyAction : Qt::IgnoreAction;
    return effect;
}

void CDropTargetCtrl::Answer(QDropEvent* event) {
    event->setDropAction(Effect(event));
    // Accepted even when refused, so that no window behind the control
    // takes a drag this control turned down.
    event->accept();
}

bool CDropTargetCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (watched != control_)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::DragEnter: {
            auto* e = static_cast<QDragEnterEvent*>(event);
            chosen_.clear();
            for (const QString& format : formats_) {
                if (Offers(e->mimeData(), format)) {
                    chosen_ = format;
                    break;
                }
            }
            if (!chosen_.isEmpty())
                OnDragOver(e->position().toPoint());
            Answer(e);
            return true;
        }
        case QEvent::DragMove: {
            auto* e = static_cast<QDragMoveEvent*>(event);
            if (!chosen_.isEmpty())
                OnDragOver(e->position().toPoint());
            Answer(e);
            return true;
        }
        case QEvent::DragLeave:
            OnDragLeave();
            chosen_.clear();
            return true;
        case QEvent::Drop: {
            auto* e = static_cast<QDropEvent*>(event);
            const Qt::DropAction effect = Effect(e);
            const QString chosen = chosen_;
            chosen_.clear();
            if (effect != Qt::IgnoreAction)
                OnDrop(chosen, e->mimeData(), e->position().toPoint(), effect);
            OnDragLeave();
            e->setDropAction(Qt::IgnoreAction);
            e->ignore();
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
    }
}
