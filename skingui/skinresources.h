#pragma once
// The program's own artwork, stored as Qt resources under ":/skingui/<type>/<id>"
// (types "ICON", "BITMAP", "RCDATA"), keyed by the resource ids the windows use.
#include <QPixmap>
#include <QSize>
#include <QString>
#include <initializer_list>
#include <memory>

#include "skingui/skinimagelist.h"

namespace SKINGUI {

// Folder that holds the program's resources, by type.
QString SkinResourceRoot();
QString SkinResourcePath(const QString& type, int id);
// Null when there is no such resource or it is not an image.
QPixmap LoadSkinImage(const QString& type, int id);
// An image list of `iconSize` cells filled with the given resources in order.
std::shared_ptr<SkinImageList> MakeSkinImageList(const QString& type, std::initializer_list<int> ids,
                                                 QSize iconSize);

}  // namespace SKINGUI
