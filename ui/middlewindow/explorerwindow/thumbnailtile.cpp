#include "ui/middlewindow/explorerwindow/thumbnailtile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QSaveFile>
#include <algorithm>
#include <cmath>

#include "base/utility/localpath.h"
#include "ui/mainwindowpanes.h"

namespace {

const QColor kTileFrame(0xD9, 0xD9, 0xD9);

QPixmap BlankTile() {
    QPixmap tile(kTileSide, kTileSide);
    tile.fill(kTileFrame);
    QPainter p(&tile);
    p.fillRect(1, 1, kTileSide - 2, kTileSide - 2, Qt::white);
    return tile;
}

QString ToQt(const std::wstring& s) {
    return QString::fromStdWString(s);
}

}  // namespace

bool IsPictureName(const std::wstring& name) {
    const QString text = ToQt(name);
    const int dot = text.lastIndexOf(u'.');
    if (dot < 0)
        return false;
    const QString ext = text.mid(dot + 1).toLower();
    return ext == u"jpg" || ext == u"bmp" || ext == u"gif" || ext == u"png" || ext == u"jpeg";
}

QSize FitThumbnailSize(QSize picture, int side) {
    const int w = picture.width();
    const int h = picture.height();
    if (w <= 0 || h <= 0)
        return QSize();
    if (w < side && h < side)
        return picture;
    const double ratio = double(w) / double(h);
    int height = side;
    int width = int(height * ratio);
    while (height > 2 && (width > side || width <= 1)) {
        --height;
        width = int(height * ratio);
    }
    // Very long or very tall pictures never satisfy the search: hold both sides.
    return QSize(std::clamp(width, 1, side), std::clamp(height, 1, side));
}

HRESULT GetThumbnailPath(const std::wstring& syncRoot, const RemoteItem& item, int navigateType,
                         std::wstring* out) {
    std::wstring base;
    GetParentFolder(base, syncRoot);
    std::wstring folder = JoinLocalPath(base, L"thumb");
    std::wstring bucket = item.parentId;
    if (bucket.empty()) {
        bucket = navigateType == kNavigateMyFiles        ? L"root"
                 : navigateType == kNavigateShareToOther ? L"ShareToOther"
                                                         : L"ShareToMe";
    }
    std::wstring sub;
    HRESULT hr = JoinLocalName(folder, bucket, sub);
    if (FAILED(hr) || item.fileId.empty())
        return E_INVALIDARG;
    return JoinLocalName(sub, item.fileId + L".jpg", *out);
}

HRESULT GetLocalCopyPath(const std::wstring& syncRoot, const RemoteItem& item, std::wstring* out) {
    std::wstring folder = syncRoot;
    if (!item.parentId.empty()) {
        HRESULT hr = JoinLocalName(syncRoot, item.parentId, folder);
        if (FAILED(hr))
            return hr;
    }
    return JoinLocalName(folder, item.name, *out);
}

bool MakeThumbnailFromLocal(const QString& localPath, const QString& cachePath, int side) {
    QImageReader reader(localPath);
    reader.setAutoTransform(true);
    const QImage picture = reader.read();
    if (picture.isNull())
        return false;
    const QSize size = FitThumbnailSize(picture.size(), side);
    const QImage small = size == picture.size()
                             ? picture
                             : picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QString ext = QFileInfo(localPath).suffix().toLower();
    const bool jpeg = ext == u"jpg" || ext == u"jpeg";
    if (!QDir().mkpath(QFileInfo(cachePath).absolutePath()))
        return false;
    // A half-written cache file would stand for the picture until it is deleted.
    QSaveFile file(cachePath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!small.save(&file, jpeg ? "JPEG" : "PNG") || !file.commit()) {
        file.cancelWriting();
        QFile::remove(cachePath);
        return false;
    }
    return true;
}

QImage LoadThumbnail(const QString& cachePath) {
    QImageReader reader(cachePath);
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

QPixmap MakeImageTile(const QImage& image) {
    QPixmap tile = BlankTile();
    QPainter p(&tile);
    const QImage shown =
        image.width() > kThumbnailSide || image.height() > kThumbnailSide
            ? image.scaled(kThumbnailSide, kThumbnailSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)
            : image;
    p.drawImage((kTileSide - shown.width()) / 2, (kTileSide - shown.height()) / 2, shown);
    return tile;
}

QPixmap MakeIconTile(const QIcon& icon) {
    QPixmap tile = BlankTile();
    QPainter p(&tile);
    icon.paint(&p, QRect((kTileSide - 48) / 2, (kTileSide - 48) / 2, 48, 48));
    return tile;
}

QPixmap MakeStatusTile(const QIcon& icon, int state, const QFont& font) {
    QPixmap tile = MakeIconTile(icon);
    if (state != kThumbnailLoading && state != kThumbnailFailed)
        return tile;
    QPainter p(&tile);
    p.setFont(font);
    p.setPen(QColor(0x60, 0x60, 0x60));
    const QString text =
        state == kThumbnailLoading ? QStringLiteral("加载中...") : QStringLiteral("加载失败");
    const QRect band(0, 0, kTileSide, kTileSide - 5);
    p.drawText(band, Qt::AlignHCenter | Qt::AlignBottom, text);
    return tile;
}
