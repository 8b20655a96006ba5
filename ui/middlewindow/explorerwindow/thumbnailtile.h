#pragma once
// The pieces of the thumbnail view that need no window: which names are
// pictures, where previews are cached, how a local picture becomes a
// preview, and the 96 x 96 tiles the list shows.
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <string>

#include "core/localstorage/localstorage/remoteitem.h"
#include "platform/hresult.h"

constexpr int kThumbnailSide = 94;
constexpr int kTileSide = 96;

// States of a row's tile.
enum ThumbnailState {
    kThumbnailLoading = -1,
    kThumbnailFailed = 0,
    kThumbnailLoaded = 1,
};

// .jpg, .bmp, .gif, .png or .jpeg at the end, whatever the case.
bool IsPictureName(const std::wstring& name);

// The size a picture is shrunk to: pictures smaller than the side on both
// axes keep their size; others keep their aspect and each side stays within
// 1 .. side.
QSize FitThumbnailSize(QSize picture, int side = kThumbnailSide);

// <parent of the sync root>/thumb/<root|ShareToOther|ShareToMe|parent id>/<id>.jpg.
// E_INVALIDARG when an id could not stand as a file name.
HRESULT GetThumbnailPath(const std::wstring& syncRoot, const RemoteItem& item, int navigateType,
                         std::wstring* out);
// Where a local copy of the item would be: <sync root>/<parent id>/<name>.
HRESULT GetLocalCopyPath(const std::wstring& syncRoot, const RemoteItem& item, std::wstring* out);

// Shrinks a local picture into the cache file: JPEG data for JPEG pictures,
// PNG for the others, written whole or not at all. Any thread.
bool MakeThumbnailFromLocal(const QString& localPath, const QString& cachePath, int side = kThumbnailSide);
// Reads a cache file whatever its data (a PNG under the ".jpg" name included).
QImage LoadThumbnail(const QString& cachePath);

// A tile: grey frame, white inside, the image centred at its own size.
QPixmap MakeImageTile(const QImage& image);
// A tile with the icon at 48 x 48 in the middle.
QPixmap MakeIconTile(const QIcon& icon);
// The icon tile with "加载中..." or "加载失败" near its bottom (no text when loaded).
QPixmap MakeStatusTile(const QIcon& icon, int state, const QFont& font);
