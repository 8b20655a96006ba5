#include "ui/middlewindow/explorerwindow/dropdatasource.h"

#include <QDrag>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include "ui/explorerdragmime.h"
#include "ui/middlewindow/explorerwindow/dragdatafile.h"

QByteArray UriListOf(const std::vector<std::wstring>& paths) {
    QByteArray bytes;
    for (const std::wstring& path : paths)
        bytes += QUrl::fromLocalFile(QString::fromStdWString(path)).toEncoded() + "\r\n";
    return bytes;
}

QMimeData* BuildDragMimeData(const std::wstring& recordText, const std::vector<std::wstring>& paths) {
    auto* data = new QMimeData();
    if (!recordText.empty())
        data->setData(QString::fromLatin1(kExplorerDragMime), QString::fromStdWString(recordText).toUtf8());
    if (!paths.empty())
        data->setData(QStringLiteral("text/uri-list"), UriListOf(paths));
    return data;
}

void CDropDataSource::SetText(const std::wstring& text) {
    text_ = text;
}

void CDropDataSource::SetFiles(const std::wstring& name, const std::vector<std::wstring>& paths) {
    name_ = name;
    files_ = paths;
}

void CDropDataSource::SetPixmap(const QPixmap& pixmap) {
    pixmap_ = pixmap;
}

QMimeData* CDropDataSource::MimeData() const {
    return BuildDragMimeData(text_, files_);
}

HRESULT CDropDataSource::DoDragDrop(QWidget* source, Qt::DropActions allowed, Qt::DropAction* effect) {
    if (!HasData())
        return E_FAIL;
    auto* drag = new QDrag(source);
    drag->setMimeData(MimeData());
    if (!pixmap_.isNull()) {
        drag->setPixmap(pixmap_);
        drag->setHotSpot(QPoint(pixmap_.width() / 2, pixmap_.height() / 2));
    }
    const Qt::DropAction result = drag->exec(allowed, Qt::CopyAction);
    drag->deleteLater();
    if (effect)
        *effect = result;
    // A drop on the program's own list answers "nothing happened" too: the
    // marker served no desktop either way.
    if (result == Qt::IgnoreAction && !name_.empty())
        DiscardDragDataFile(name_);
    return S_OK;
}
