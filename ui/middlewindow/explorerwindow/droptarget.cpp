#include "ui/middlewindow/explorerwindow/droptarget.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include "ui/explorerdragmime.h"

void CDropTarget::Register(QWidget* window) {
    Revoke();
    window_ = window;
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

void CDropTarget::Revoke() {
    if (!window_)
        return;
    window_->removeEventFilter(this);
    window_->setAcceptDrops(false);
    window_ = nullptr;
}

bool CDropTarget::eventFilter(QObject* watched, QEvent* event) {
    if (watched != window_)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop: {
            auto* e = static_cast<QDropEvent*>(event);
            if (!(e->possibleActions() & (Qt::CopyAction | Qt::LinkAction))) {
                e->ignore();
                return true;
            }
            e->setDropAction(e->possibleActions() & Qt::CopyAction ? Qt::CopyAction : Qt::LinkAction);
            e->accept();
            if (event->type() != QEvent::Drop || !sink_)
                return true;
            const QMimeData* data = e->mimeData();
            if (data->hasFormat(kExplorerDragMime))
                sink_->OnDropText(QString::fromUtf8(data->data(kExplorerDragMime)).toStdWString());
            std::vector<std::wstring> paths;
            for (const QUrl& url : data->urls()) {
                if (url.isLocalFile())
                    paths.push_back(QDir::cleanPath(url.toLocalFile()).toStdWString());
            }
            if (!paths.empty())
                sink_->OnDropFiles(paths);
            return true;
        }
        case QEvent::DragLeave:
            return true;
        default:
            return QObject::eventFilter(watched, event);
    }
}
