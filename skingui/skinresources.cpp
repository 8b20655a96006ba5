#include "skingui/skinresources.h"

static void InitSkinResources() {
    Q_INIT_RESOURCE(skingui);
}

namespace SKINGUI {

QString SkinResourceRoot() {
    // The resources live in a static library: register them before first use.
    static const bool registered = [] {
        InitSkinResources();
        return true;
    }();
    (void)registered;
    return QStringLiteral(":/skingui");
}

QString SkinResourcePath(const QString& type, int id) {
    return SkinResourceRoot() + QLatin1Char('/') + type + QLatin1Char('/') + QString::number(id);
}

QPixmap LoadSkinImage(const QString& type, int id) {
    return QPixmap(SkinResourcePath(type, id));
}

std::shared_ptr<SkinImageList> MakeSkinImageList(const QString& type, std::initializer_list<int> ids,
                                                 QSize iconSize) {
    auto list = std::make_shared<SkinImageList>(iconSize);
    for (int id : ids) {
        list->Add(LoadSkinImage(type, id));
    }
    return list;
}

}  // namespace SKINGUI
