#include "skingui/gdiplusbitmap.h"

#include <QFile>

#include "skingui/skinresources.h"

namespace SKINGUI {

CGdiPlusBitmap::CGdiPlusBitmap() = default;

CGdiPlusBitmap::~CGdiPlusBitmap() {
    Empty();
}

void CGdiPlusBitmap::Empty() {
    bitmap_.reset();
}

CGdiPlusBitmapResource::CGdiPlusBitmapResource() = default;

CGdiPlusBitmapResource::~CGdiPlusBitmapResource() {
    FreeMemory();
    Empty();
}

void CGdiPlusBitmapResource::FreeMemory() {
    memory_ = QByteArray();
}

bool CGdiPlusBitmapResource::LoadResourceImage(int id, const QString& type, const QString& module) {
    Empty();
    FreeMemory();
    const QString root = module.isEmpty() ? SkinResourceRoot() : module;
    QFile file(root + QLatin1Char('/') + type + QLatin1Char('/') + QString::number(id));
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    QByteArray bytes = file.readAll();
    if (bytes.isEmpty()) {
        return false;
    }
    auto image = std::make_unique<QImage>();
    if (!image->loadFromData(bytes) || image->isNull()) {
        return false;
    }
    memory_ = std::move(bytes);
    bitmap_ = std::move(image);
    return true;
}

}  // namespace SKINGUI
