#include "ui/middlewindow/explorerwindow/copyfilestoclipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QUrl>

#include "ui/middlewindow/explorerwindow/dropdatasource.h"

QMimeData* BuildClipboardMimeData(const std::vector<std::wstring>& paths, bool copy) {
    auto* data = new QMimeData();
    data->setData(QStringLiteral("text/uri-list"), UriListOf(paths));
    QByteArray gnome = copy ? "copy" : "cut";
    for (const std::wstring& path : paths)
        gnome += "\n" + QUrl::fromLocalFile(QString::fromStdWString(path)).toEncoded();
    data->setData(QStringLiteral("x-special/gnome-copied-files"), gnome);
    data->setData(QStringLiteral("application/x-kde-cutselection"), copy ? "0" : "1");
    return data;
}

HRESULT CopyFilesToClipboard(const std::vector<std::wstring>& paths, bool copy) {
    if (paths.empty())
        return E_INVALIDARG;
    QApplication::clipboard()->setMimeData(BuildClipboardMimeData(paths, copy));
    return S_OK;
}
